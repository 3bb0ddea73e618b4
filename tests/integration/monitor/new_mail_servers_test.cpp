#include "DovecotServer.h"
#include "MonitorFakes.h"
#include "PopFaultServer.h"
#include "RunVorlaCheck.h"

namespace monitor::test {
namespace {

const std::vector<std::string> kAnnounce = {"playsnd =1", "wavsnd = /sounds/mail.wav",
                                            "announce_new =1", "notify =1"};

class NewMailServersTest : public MonitorTest {
protected:
    // One vorla-check run on the fixture's folder; each run is a program start.
    std::string Check() {
        int status = -1;
        const std::string output = RunVorlaCheck(Folder() + " --no-news --timeout 10000", status);
        EXPECT_EQ(status, 0) << output;
        return output;
    }
};

TEST_F(NewMailServersTest, DovecotMailIsAnnouncedOnceAcrossRestarts) {
    harness::DovecotServer server;
    server.AddMessage("From: \"Ann\" <ann@example.org>\r\nSubject: one\r\n\r\nbody\r\n");
    server.AddMessage("From: bob@example.org\r\nSubject: two\r\n\r\nbody\r\n");
    WriteSettings({}, kAnnounce);
    WriteFile("Accounts.ini", server.DoveAccount());

    const std::string first = Check();
    EXPECT_NE(first.find("flag gotmail\nsound /sounds/mail.wav\nnotify Dove: 2 new messages\n"
                         "notify-line Ann \u2014 one\nnotify-line bob@example.org \u2014 two\n"
                         "count 2\n"),
              std::string::npos)
        << first;

    const std::string again = Check();
    EXPECT_NE(again.find("status Dove 2 messages\n"), std::string::npos) << again;
    EXPECT_EQ(again.find("sound "), std::string::npos) << again;
    EXPECT_EQ(again.find("notify"), std::string::npos) << again;

    server.AddMessage("From: cy@example.org\r\nSubject: three\r\n\r\nbody\r\n");
    const std::string third = Check();
    EXPECT_NE(third.find("notify Dove: 1 new message\nnotify-line cy@example.org \u2014 three\n"),
              std::string::npos)
        << third;
}

TEST_F(NewMailServersTest, AServerWithoutUidlIsReadByDigests) {
    harness::PopFaultServer server({harness::PopFaultServer::Behaviour::NoUidl});
    WriteSettings({}, kAnnounce);
    WriteFile("Accounts.ini",
              "[Account1]\r\nacc_name = Old\r\nhost_name = 127.0.0.1\r\nuser_name = u\r\n"
              "port_number = " +
                  std::to_string(server.Port()) + "\r\n");
    const std::string first = Check();
    EXPECT_NE(first.find("notify Old: 3 new messages\nnotify-line Old Server \u2014 message 1\n"),
              std::string::npos)
        << first;
    const std::string again = Check();
    EXPECT_NE(again.find("status Old 3 messages\n"), std::string::npos) << again;
    EXPECT_EQ(again.find("notify"), std::string::npos) << again;
    EXPECT_EQ(again.find("error"), std::string::npos) << again;
}

}  // namespace
}  // namespace monitor::test
