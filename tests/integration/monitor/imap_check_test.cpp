// IMAP accounts through vorla-check against the harness Dovecot: what is counted, what is
// announced, and the secure ways in.
#include "DovecotServer.h"
#include "MonitorFakes.h"
#include "RunVorlaCheck.h"

namespace monitor::test {
namespace {

std::string Message(const std::string& subject) {
    return "From: a@example.org\r\nTo: vorla@example.org\r\nSubject: " + subject +
           "\r\n\r\nbody\r\n";
}

class ImapCheckTest : public MonitorTest {
protected:
    // One vorla-check run on the fixture's folder; each run is a program start.
    std::string Check(const std::string& options = "") {
        int status = -1;
        const std::string output =
            RunVorlaCheck(Folder() + " --no-news --timeout 10000" + options, status);
        EXPECT_EQ(status, 0) << output;
        return output;
    }
};

// IMAPS with the pinned certificate counts the unseen messages, STARTTLS all of them; a
// message flagged \Seen elsewhere leaves the first count only.
TEST_F(ImapCheckTest, CountsUnseenAndAllOverImapsAndStartTls) {
    harness::DovecotServer server(true);
    const std::string first = server.AddMessage(Message("one"));
    server.AddMessage(Message("two"));
    server.AddMessage(Message("read"), true);
    const std::string pin = "tls_fingerprint = " + server.Fingerprint() + "\r\n";
    WriteSettings({}, {});
    WriteFile("Accounts.ini", server.Account(1, "Unseen", server.ImapsPort(),
                                             "tls_mode = tls\r\n" + pin + "protocol = imap\r\n") +
                                  server.Account(2, "All", server.ImapPort(),
                                                 "tls_mode = starttls\r\n" + pin +
                                                     "protocol = imap\r\nimap_count = all\r\n"));
    const std::string before = Check(" --ticks 1");
    EXPECT_NE(before.find("status Unseen 2 messages\n"), std::string::npos) << before;
    EXPECT_NE(before.find("account 1 2\naccount 2 3\n"), std::string::npos) << before;
    EXPECT_EQ(before.find("error"), std::string::npos) << before;

    server.MarkSeen(first);
    const std::string after = Check(" --ticks 1");
    EXPECT_NE(after.find("account 1 1\naccount 2 3\n"), std::string::npos) << after;
}

// New mail is told by UID; a folder renumbered under a new UIDVALIDITY announces nothing of
// what it holds, and mail after that is told again.
TEST_F(ImapCheckTest, AnnouncesNewUidsAndNothingAfterRenumbering) {
    harness::DovecotServer server;
    server.AddMessage(Message("one"));
    WriteSettings({}, {"playsnd =1", "wavsnd = /sounds/mail.wav", "announce_new =1", "notify =1"});
    WriteFile("Accounts.ini", server.Account(1, "Imap", server.ImapPort(), "protocol = imap\r\n"));
    const std::string first = Check();
    EXPECT_NE(first.find("notify Imap: 1 new message\nnotify-line a@example.org \u2014 one\n"),
              std::string::npos)
        << first;

    server.AddMessage(Message("two"));
    const std::string second = Check();
    EXPECT_NE(second.find("notify Imap: 1 new message\nnotify-line a@example.org \u2014 two\n"),
              std::string::npos)
        << second;

    // Renumbered, the three take UIDs 1 to 3: the third is present, so taken as seen too.
    server.AddMessage(Message("three"));
    server.RenumberUids();
    const std::string renumbered = Check();
    EXPECT_NE(renumbered.find("account 1 3\n"), std::string::npos) << renumbered;
    EXPECT_EQ(renumbered.find("notify"), std::string::npos) << renumbered;
    EXPECT_EQ(renumbered.find("sound"), std::string::npos) << renumbered;

    server.AddMessage(Message("four"));
    const std::string fourth = Check();
    EXPECT_NE(fourth.find("notify Imap: 1 new message\nnotify-line a@example.org \u2014 four\n"),
              std::string::npos)
        << fourth;
}

}  // namespace
}  // namespace monitor::test
