// The header field decoders: encoded words, address items and lists, header parameters
// (RFC 2231 sections and encoded values too) and continuation lines, boundaries, reply
// numbers, quoted-printable and base64. Decoded words never bring a control character into a
// text that had none.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ControlChars.h"
#include "mail/MimeParams.h"
#include "mail/QelMIME.h"
#include "mail/qel_util.h"

using testsupport::HasControl;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string decoded = mail::DecodeHeaderWords(text);
    if (!HasControl(text) && HasControl(decoded))
        std::abort();
    mail::FormatAddressList(text);
    mail::SplitAddressList(text);
    mail::ExtractAddress(text, true);
    mail::ExtractDisplayName(text, true);
    mail::StripQuotes(text);
    mail::GetHeaderParam("NAME", text);
    mail::GetHeaderText("SUBJECT:", text);
    mail::SplitMailbox(text);
    mail::MimeValue(text);
    std::string value;
    mail::GetMimeParam(text, "filename", value);
    mail::ExtractBoundary(text);
    mail::ExtractNumber(text, 2, 100);
    mail::IsIPAddress(text);
    mail::DecodeQuotedPrintable(text, true);
    mail::DecodeQuotedPrintable(text, false);
    mail::DecodeBase64(text);
    const mail::StringList lines = mail::SplitLines(text);
    std::string line;
    for (const char* key : {"FROM:", "SUBJECT:", "DATE:", "CONTENT-TYPE:"})
        mail::FindHeader(key, lines, line);
    mail::StringList block = lines;
    mail::SkipHeaderBlock(block);
    return 0;
}
