#include "SetupTool.h"

#include <atomic>

namespace setuptool {

namespace {

void PrintServer(const char* name, const autoconfig::Server& server, std::ostream& out) {
    out << name << ": " << server.Host << ' ' << server.Port << ' '
        << autoconfig::SecurityWord(server.Mode) << ' ' << server.Login << '\n';
}

}  // namespace

void PrintFound(const autoconfig::Found& found, std::ostream& out) {
    out << "source: " << autoconfig::SourceWord(found.From) << '\n';
    if (found.Pop3) {
        PrintServer("pop3", *found.Pop3, out);
    } else {
        // An IMAP server is named by its own line, so that a reader of "pop3:" is not misled.
        out << "protocol: imap\n";
        PrintServer("imap", *found.Imap, out);
    }
    if (found.Smtp)
        PrintServer("smtp", *found.Smtp, out);
    out << "oauth2: " << (found.OAuth2 ? "yes" : "no") << '\n';
}

int Run(const std::vector<std::string>& args, const autoconfig::SearchOptions& options,
        std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "Usage: vorla-setup ADDRESS\n";
        return 2;
    }
    const auto address = autoconfig::ParseAddress(args[0]);
    if (!address) {
        err << "Not an e-mail address: " << args[0] << '\n';
        return 2;
    }
    const std::atomic<bool> stop{false};
    const auto found = autoconfig::FindSettings(*address, options, stop);
    if (!found || !found->Incoming()) {
        if (found)
            err << found->Note << '\n';
        out << "not found\n";
        return 1;
    }
    PrintFound(*found, out);
    return 0;
}

}  // namespace setuptool
