// Push through vorla-check against the harness Dovecot: a message dropped into the Maildir while
// the program waits on line is checked and announced without a tick of the timer.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "DovecotServer.h"
#include "MonitorFakes.h"

namespace monitor::test {
namespace {

std::string Message(const std::string& subject) {
    return "From: a@example.org\r\nTo: vorla@example.org\r\nSubject: " + subject +
           "\r\n\r\nbody\r\n";
}

// The IMAP logins in the server's log so far.
int ImapLogins(const harness::DovecotServer& server) {
    std::ifstream log(server.Folder() + "/dovecot.log");
    int count = 0;
    for (std::string line; std::getline(log, line);) {
        count += line.find("imap-login: Info: Login:") != std::string::npos ? 1 : 0;
    }
    return count;
}

// Waits, within 10 s, until the push connection (the login after the check's) is in, and a
// moment more for it to reach IDLE.
void AwaitPushConnection(const harness::DovecotServer& server) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ImapLogins(server) < 2 && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

class ImapPushTest : public MonitorTest {};

TEST_F(ImapPushTest, ADeliveryWhileOnLineIsCheckedAndAnnouncedAtOnce) {
    harness::DovecotServer server;
    server.AddMessage(Message("one"));
    WriteSettings({}, {"announce_new =1", "notify =1"});
    WriteFile("Accounts.ini", server.Account(1, "Imap", server.ImapPort(),
                                             "protocol = imap\r\nimap_count = all\r\n"));
    // No ticks: only push can bring a second check.
    const std::string command =
        std::string(VORLA_CHECK) + " " + Folder() + " --no-news --timeout 10000 --idle 10 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    bool delivered = false;
    while (fgets(buffer, sizeof buffer, pipe)) {
        output += buffer;
        // The first check is done; the IDLE connection opens right after it.
        if (!delivered && output.find("status Imap 1 message\n") != std::string::npos) {
            AwaitPushConnection(server);
            server.AddMessage(Message("pushed"));
            delivered = true;
        }
    }
    EXPECT_EQ(pclose(pipe), 0) << output;
    ASSERT_TRUE(delivered) << output;
    EXPECT_NE(output.find("status Imap 2 messages\n"), std::string::npos) << output;
    EXPECT_NE(output.find("notify Imap: 1 new message\nnotify-line a@example.org \u2014 pushed\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("account 1 2\n"), std::string::npos) << output;
}

}  // namespace
}  // namespace monitor::test
