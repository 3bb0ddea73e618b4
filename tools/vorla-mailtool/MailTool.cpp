#include "MailTool.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string_view>

#include "TerminalText.h"
#include "mail/LineCursor.h"
#include "mail/MsgJson.h"
#include "mail/PosixTransport.h"
#include "mail/QelPOP3.h"
#include "mail/QelSMTP.h"

namespace vorlamailtool {

namespace {

const char* kUsage =
    "usage: vorla-mailtool [--trace] [--timeout MS] pop3 HOST PORT USER [PASS] stat|top N LINES|"
    "retr N|dele N|uidl N\n"
    "       vorla-mailtool [--trace] [--timeout MS] smtp HOST PORT --from ADDR --to LIST [--cc "
    "LIST] [--bcc LIST]\n"
    "                      [--name NAME] [--subject TEXT] [--body FILE] [--attach FILE]... "
    "[--base64]\n"
    "                      [--user USER [--pass PASS]] [--oauth-command CMD]\n"
    "  security options, before the command: [--tls-mode auto|tls|starttls|off] "
    "[--fingerprint HEX] [--oauth-command CMD]\n"
    "  password without PASS: [--pass-fd N] before the command reads it as one line from file\n"
    "  descriptor N; otherwise it is taken from the environment variable VORLA_PASSWORD\n";

struct Common {
    bool trace = false;
    std::uint32_t timeout = 60000;
    mail::TlsMode tlsMode = mail::TlsMode::Auto;
    std::string fingerprint;
    std::string oauthCommand;
    // The password given by --pass-fd or VORLA_PASSWORD, for a command that names none.
    std::string password;
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

// Server texts, and anything else that did not come from the user, reach the terminal as
// console::Printable shows them.
std::string Shown(const std::string& text) {
    return console::Printable(text);
}

// The first line read from the descriptor, without its line end; the descriptor is closed.
std::optional<std::string> ReadPasswordLine(int fd) {
    std::string line;
    char c = 0;
    ssize_t got = 0;
    while ((got = ::read(fd, &c, 1)) == 1 && c != '\n')
        line += c;
    ::close(fd);
    if (got < 0)
        return std::nullopt;
    return Chomp(std::move(line));
}

// The password of a command that does not name it: from --pass-fd, else from VORLA_PASSWORD,
// which is then taken out of the environment so that a token command does not inherit it.
bool TakePassword(std::optional<std::uint32_t> fd, Common& common, std::ostream& err) {
    if (fd) {
        const std::optional<std::string> line = ReadPasswordLine(static_cast<int>(*fd));
        if (!line) {
            err << "cannot read the password from file descriptor " << *fd << "\n";
            return false;
        }
        common.password = *line;
    } else if (const char* value = std::getenv("VORLA_PASSWORD")) {
        common.password = value;
    }
    ::unsetenv("VORLA_PASSWORD");
    return true;
}

bool IsPop3Action(const std::string& word) {
    return word == "stat" || word == "top" || word == "retr" || word == "dele" || word == "uidl";
}

// True when the words after USER are an action and its numbers alone, so that the password
// is not among them.
bool NamesNoPassword(const std::vector<std::string>& a) {
    if (a.size() < 4 || !IsPop3Action(a[3]))
        return false;
    const std::size_t numbers = a[3] == "stat" ? 0 : a[3] == "top" ? 2 : 1;
    if (a.size() != 4 + numbers)
        return false;
    for (std::size_t i = 4; i < a.size(); ++i)
        if (!Number(a[i]))
            return false;
    return true;
}

// Wires the trace and the error report of a client to the streams.
template <class Client>
void Wire(Client& client, const Common& common, std::ostream& err, bool& reported) {
    if (common.trace) {
        client.OnSendTextToSocket = [&err](mail::TObject*, const std::string& s) {
            err << "> " << Shown(Chomp(s)) << "\n";
        };
        client.OnReceiveTextFromSocket = [&err](mail::TObject*, const std::string& s) {
            err << "< " << Shown(Chomp(s)) << "\n";
        };
    }
    client.OnError = [&err, &reported](mail::TObject*, int error, const std::string& msg) {
        err << "error " << error << ": " << Shown(msg) << "\n";
        reported = true;
    };
}

int Pop3(std::vector<std::string> a, const Common& common, std::ostream& out, std::ostream& err) {
    if (NamesNoPassword(a))
        a.insert(a.begin() + 3, common.password);
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
    pop.TimeOut = common.timeout;
    Secure(pop, common);
    bool reported = false;
    Wire(pop, common, err, reported);

    pop.Connect();
    if (pop.Failed) {
        if (!reported)
            err << "error: " << Shown(pop.ReplyStatus) << " " << Shown(pop.ReplyText) << "\n";
        pop.Quit();
        return 1;
    }
    if (!pop.Login(a[2], a[3]))
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
        out << Shown(id) << "\n";
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
    std::string user;
    std::optional<std::string> pass;
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
    smtp.UserPasswd = pass ? *pass : common.password;
    bool reported = false;
    Wire(smtp, common, err, reported);
    smtp.Connect();
    if (smtp.Failed) {
        if (!reported)
            err << "error: " << smtp.ReplyCode << " " << Shown(smtp.ReplyText) << "\n";
        return 1;
    }
    const bool sent = smtp.SendMessage(message);
    smtp.Quit();
    return sent && !reported ? 0 : 1;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Common common;
    std::optional<std::uint32_t> passFd;
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
        } else if (args[i] == "--pass-fd" && i + 1 < args.size() && Number(args[i + 1])) {
            passFd = Number(args[++i]);
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
    if (!TakePassword(passFd, common, err))
        return 2;
    try {
        if (command == "pop3")
            return Pop3(rest, common, out, err);
        if (command == "smtp")
            return Smtp(rest, common, err);
    } catch (const std::exception& e) {
        // A socket failure fired OnError before the exception; the exception names the call.
        err << Shown(e.what()) << "\n";
        return 1;
    }
    err << kUsage;
    return 2;
}

}  // namespace vorlamailtool
