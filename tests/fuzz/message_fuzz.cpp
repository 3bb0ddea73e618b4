// The message parser: any raw message parses, the same from its list of lines as in place
// from one buffer whose read pages are handed back as it goes, and no decoded header word
// leaves a control character in Subject, FromName or an attachment's file name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ControlChars.h"
#include "mail/MailError.h"
#include "mail/MsgJson.h"
#include "mail/QelMsg.h"

using testsupport::HasControl;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string raw(reinterpret_cast<const char*>(data), size);
    mail::TQelMsg message;
    message.RawMail = mail::SplitLines(raw);
    message.ParseMessage();
    const std::string json = mail::MessageToJson(message);
    platform::ReleasableBuffer pages;
    pages.Append(raw.data(), raw.size());
    mail::TQelMsg inPlace;
    inPlace.ParseRawText(pages.View(), &pages);
    if (mail::MessageToJson(inPlace) != json)
        std::abort();
    if (HasControl(message.Subject) || HasControl(message.FromName))
        std::abort();
    for (std::size_t i = 0; i < message.AttachedFiles.Count(); ++i) {
        const std::string& name = message.AttachedFiles.Items(i).FileName;
        if (HasControl(name) || name.find('/') != std::string::npos || name == "." ||
            name == ".." || name.size() > 255)
            std::abort();
    }
    return 0;
}
