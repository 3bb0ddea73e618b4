// The SMTP client against a server that says anything: greeting, HELO, one message to To, Cc
// and Bcc lists, and QUIT end in success, a reported failure or MailError, never in a crash,
// a hang or unbounded memory.
#include <cstddef>
#include <cstdint>

#include "ServerScript.h"
#include "mail/QelSMTP.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::ScriptedServer server(data, size);
    mail::TQelSMTP smtp(server.factory, server.pump, server.clock);
    smtp.Host = "127.0.0.1";
    mail::TQelMsg message;
    message.From = "ann@example.org";
    message.UserName = "Ann";
    message.SendTo = "bob@example.org, carl@example.org";
    message.CC = "dan@example.org";
    message.BCC = "eve@example.org";
    message.Subject = "Hello";
    message.Text = {"one line", ".", "last"};
    try {
        smtp.Connect();
        if (smtp.Failed)
            return 0;
        smtp.SendMessage(message);
        smtp.Quit();
    } catch (const mail::MailError&) {
    }
    return 0;
}
