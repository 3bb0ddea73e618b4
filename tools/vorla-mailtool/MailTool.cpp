#include "MailTool.h"

#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string_view>

#include "mail/LineCursor.h"
#include "mail/MsgJson.h"
#include "mail/PosixTransport.h"
#include "mail/QelPOP3.h"
#include "mail/QelSMTP.h"

namespace mailtool {

namespace {

const char* kUsage =
    "usage: vorla-mailtool [--trace] [--timeout MS] pop3 HOST PORT USER PASS stat|top N LINES|retr "
    "N|dele N|uidl N\n"
    "       vorla-mailtool [--trace] [--timeout MS] smtp HOST PORT --from ADDR --to LIST [--cc "
    "LIST] [--bcc LIST]\n"
    "                      [--name NAME] [--subject TEXT] [--body FILE] [--attach FILE]... "
    "[--base64]\n"
    "                      [--user USER --pass PASS] [--oauth-command CMD]\n"
    "  security options, before the command: [--tls-mode auto|tls|starttls|off] "
    "[--fingerprint HEX] [--oauth-command CMD]\n";

struct Common {
    bool trace = false;
    std::uint32_t timeout = 60000;
    mail::TlsMode tlsMode = mail::TlsMode::Auto;
    std::string fingerprint;
    std::string oauthCommand;
};

bool IsTlsMode(const std::string& text) {
    return text == "auto" || text == "tls" || text == "starttls" || text == "off";
}

template <class Client>
void Secure(Client& client, const Common& common) {
    client.Security = common.tlsMode;
    client.TlsFingerprint = common.fingerprint;
    client.OAuthCommand = common.oauthCommand;
}

std::optional<std::uint32_t> Number(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return static_cast<std::uint32_t>(std::stoul(text));
}

std::string Chomp(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
        s.pop_back();
    return s;
}

// Wires the trace and the error report of a client to the streams.
template <class Client>
void Wire(Client& client, const Common& common, std::ostream& err, bool& reported) {
    if (common.trace) {
        client.OnSendTextToSocket = [&err](mail::TObject*, const std::string& s) {
            err << "> " << Chomp(s) << "\n";
        };
        client.OnReceiveTextFromSocket = [&err](mail::TObject*, const std::string& s) {
            err << "< " << Chomp(s) << "\n";
        };
    }
    client.OnError = [&err, &reported](mail::TObject*, int error, const std::string& msg) {
        err << "error " << error << ": " << msg << "\n";
        reported = true;
    };
}

int Pop3(const std::vector<std::string>& a, const Common& common, std::ostream& out,
         std::ostream& err) {
    if (a.size() < 5)
        return err << kUsage, 2;
    const std::string& action = a[4];
    std::optional<std::uint32_t> n, lines;
    if (action == "top" || action == "retr" || action == "dele" || action == "uidl") {
        if (a.size() < 6 || !(n = Number(a[5])))
            return err << kUsage, 2;
        if (action == "top" && (a.size() < 7 || !(lines = Number(a[6]))))
            return err << kUsage, 2;
    } else if (action != "stat") {
        return err << kUsage, 2;
    }

    mail::PosixTransportFactory factory;
    platform::NullEventPump pump;
    mail::TQelPOP pop(factory, pump);
    pop.Host = a[0];
    pop.Port = a[1];
    pop.UserId = a[2];
    pop.UserPasswd = a[3];
    pop.TimeOut = common.timeout;
    Secure(pop, common);
    bool reported = false;
    Wire(pop, common, err, reported);

    pop.Connect();
    if (pop.Failed) {
        if (!reported)
            err << "error: " << pop.ReplyStatus << " " << pop.ReplyText << "\n";
        pop.Quit();
        return 1;
    }
    if (!pop.Login())
        return 1;
    if (action == "stat") {
        pop.GetMailCount();
        if (reported)
            return 1;
        out << "count=" << pop.MessageCount << " new=" << pop.NewMessageCount
            << " last_supported=" << (pop.LastSupported ? 1 : 0) << "\n";
    } else if (action == "top" || action == "retr") {
        auto message = action == "top" ? pop.RetrieveTop(*n, *lines) : pop.RetrieveMessage(*n);
        if (reported)
            return 1;
        out << mail::MessageToJson(*message, message->Size) << "\n";
    } else if (action == "dele") {
        pop.DeleteMessage(*n);
        if (reported)
            return 1;
    } else {
        const std::string id = pop.GetUIDL(*n);
        if (reported)
            return 1;
        out << id << "\n";
    }
    pop.Quit();
    return reported ? 1 : 0;
}

bool ReadLines(const std::string& path, mail::TextLines& lines, std::ostream& err) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        err << "cannot read " << path << "\n";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    const std::string content = text.str();
    lines.clear();
    mail::LineCursor cursor(content);
    for (std::string_view line; cursor.Next(line);)
        lines.push_back(line);
    return true;
}

int Smtp(const std::vector<std::string>& a, Common common, std::ostream& err) {
    if (a.size() < 2)
        return err << kUsage, 2;
    mail::TQelMsg message;
    std::string user, pass;
    for (std::size_t i = 2; i < a.size(); ++i) {
        const std::string& opt = a[i];
        if (opt == "--base64") {
            message.TextEncoding = mail::TTextEncoding::teBase64;
            continue;
        }
        if (i + 1 >= a.size())
            return err << kUsage, 2;
        const std::string& value = a[++i];
        if (opt == "--from")
            message.From = value;
        else if (opt == "--to")
            message.SendTo = value;
        else if (opt == "--cc")
            message.CC = value;
        else if (opt == "--bcc")
            message.BCC = value;
        else if (opt == "--name")
            message.UserName = value;
        else if (opt == "--subject")
            message.Subject = value;
        else if (opt == "--body") {
            if (!ReadLines(value, message.Text, err))
                return 1;
        } else if (opt == "--attach")
            message.AttachedFiles.AddFile(value);
        else if (opt == "--user")
            user = value;
        else if (opt == "--pass")
            pass = value;
        else if (opt == "--oauth-command")
            common.oauthCommand = value;
        else
            return err << kUsage, 2;
    }

    mail::PosixTransportFactory factory;
    platform::NullEventPump pump;
    mail::TQelSMTP smtp(factory, pump);
    smtp.Host = a[0];
    smtp.Port = a[1];
    smtp.TimeOut = common.timeout;
    Secure(smtp, common);
    smtp.UserId = user;
    smtp.UserPasswd = pass;
    bool reported = false;
    Wire(smtp, common, err, reported);
    smtp.Connect();
    if (smtp.Failed) {
        if (!reported)
            err << "error: " << smtp.ReplyCode << " " << smtp.ReplyText << "\n";
        return 1;
    }
    const bool sent = smtp.SendMessage(message);
    smtp.Quit();
    return sent && !reported ? 0 : 1;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Common common;
    std::size_t i = 0;
    for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
        if (args[i] == "--trace") {
            common.trace = true;
        } else if (args[i] == "--timeout" && i + 1 < args.size() && Number(args[i + 1])) {
            common.timeout = *Number(args[++i]);
        } else if (args[i] == "--tls-mode" && i + 1 < args.size() && IsTlsMode(args[i + 1])) {
            common.tlsMode = mail::ParseTlsMode(args[++i]);
        } else if (args[i] == "--fingerprint" && i + 1 < args.size()) {
            common.fingerprint = args[++i];
        } else if (args[i] == "--oauth-command" && i + 1 < args.size()) {
            common.oauthCommand = args[++i];
        } else {
            err << kUsage;
            return 2;
        }
    }
    if (i >= args.size())
        return err << kUsage, 2;
    const std::string command = args[i];
    std::vector<std::string> rest(args.begin() + static_cast<long>(i) + 1, args.end());
    // --trace may also follow the command.
    for (auto it = rest.begin(); it != rest.end();) {
        if (*it == "--trace") {
            common.trace = true;
            it = rest.erase(it);
        } else {
            ++it;
        }
    }
    try {
        if (command == "pop3")
            return Pop3(rest, common, out, err);
        if (command == "smtp")
            return Smtp(rest, common, err);
    } catch (const std::exception& e) {
        // A socket failure fired OnError before the exception; the exception names the call.
        err << e.what() << "\n";
        return 1;
    }
    err << kUsage;
    return 2;
}

}  // namespace mailtool
