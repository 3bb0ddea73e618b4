// The IMAP response reader and client against a server that says anything. The input is read
// twice: once straight through the reader with small limits, cut into receives at NUL bytes,
// and once as the replies of a whole session (greeting, login, examine, count, header and
// message fetch, select, delete, idle, logout). Each ends in responses, a reported failure or
// MailError, never in a crash, a hang or unbounded memory.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "ServerScript.h"
#include "mail/ImapResponse.h"
#include "mail/QelIMAP.h"

namespace {

void ReadAll(const std::uint8_t* data, std::size_t size) {
    mail::ImapReader reader(4096, 65536);
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t from = 0;
    while (from <= input.size()) {
        const std::size_t end = std::min(input.find('\0', from), input.size());
        reader.Feed(input.substr(from, end - from));
        mail::ImapResponse response;
        while (reader.Next(response) == mail::ImapReader::Result::Response)
            for (mail::ImapValue& value : response.values)
                if (value.IsList())
                    mail::FetchItem(value, "BODY[]");
        from = end + 1;
    }
    mail::DecodeImapFolder(input);
    mail::EncodeImapFolder(input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ReadAll(data, size);
    fuzzing::ScriptedServer server(data, size);
    mail::TQelIMAP imap(server.factory, server.pump, server.clock);
    imap.Host = "127.0.0.1";
    try {
        imap.Connect();
        if (imap.Failed || !imap.Login("bob", "secret") || !imap.Examine("INBOX"))
            return 0;
        imap.GetMailCount(true);
        imap.FetchHeader(1);
        imap.FetchMessage(1);
        if (!imap.Select("INBOX"))
            return 0;
        imap.DeleteMessage(1);
        imap.Idle(1000, [](std::uint32_t) { return false; });
        imap.Logout();
    } catch (const mail::MailError&) {
    }
    return 0;
}
