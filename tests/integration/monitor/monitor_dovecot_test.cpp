#include "DovecotServer.h"
#include "MonitorFakes.h"
#include "RunVorlaCheck.h"
#include "app/composition/ComponentAdapters.h"
#include "mail/PosixTransport.h"
#include "mail/QelPOP3.h"
#include "settings/Scramble.h"

namespace monitor::test {
namespace {

std::string Message(const std::string& subject) {
    return "From: a@example.org\r\nTo: vorla@example.org\r\nSubject: " + subject +
           "\r\n\r\nbody\r\n";
}

class MonitorDovecotTest : public MonitorTest {
protected:
    MonitorDovecotTest() : realPop(transports, pump), popClient(realPop) {
        realPop.TimeOut = 10000;
        MakeVorla(popClient);
    }

    // Vorla.ini with the sound on, and account 1 "Dove" on the server, then the extra text.
    void WriteFor(harness::DovecotServer& server, const std::string& moreAccounts = "") {
        WriteSettings({}, {"playsnd =1", "wavsnd = /sounds/mail.wav", "autocheck =1"});
        WriteFile("Accounts.ini", server.DoveAccount() + moreAccounts);
    }

    bool StartOn(harness::DovecotServer& server) {
        WriteFor(server);
        return vorla->FormCreate();
    }

    mail::PosixTransportFactory transports;
    mail::TQelPOP realPop;
    app::QelPopClient popClient;
};

TEST_F(MonitorDovecotTest, ChecksCountAndPlayTheSoundOncePerNewMessage) {
    harness::DovecotServer server;
    server.AddMessage(Message("one"));
    server.AddMessage(Message("two"));
    ASSERT_TRUE(StartOn(server));

    jobs->Cycle.ConnectClick();
    ASSERT_TRUE(jobs->Shared.IsConnected) << jobs->Shared.ErrorNotice();
    EXPECT_EQ(jobs->Shared.WaitingCount, 2);
    EXPECT_EQ(jobs->Ticker.StatusText, "Dove 2 messages");
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, 2);
    EXPECT_EQ(jobs->Shared.ErrorNotice(), "") << "Dovecot refuses LAST; that is no failure";
    EXPECT_EQ(view.Count("sound /sounds/mail.wav"), 1);

    jobs->Cycle.TimerTimer();
    EXPECT_EQ(view.Count("sound /sounds/mail.wav"), 1) << "no new message";

    server.AddMessage(Message("three"));
    jobs->Cycle.TimerTimer();
    EXPECT_EQ(jobs->Shared.WaitingCount, 3);
    EXPECT_EQ(view.Count("sound /sounds/mail.wav"), 2) << "the added message";
    jobs->Cycle.TimerTimer();
    EXPECT_EQ(view.Count("sound /sounds/mail.wav"), 2);
}

TEST_F(MonitorDovecotTest, StoppedServerGivesTheErrorAndAFailedCount) {
    harness::DovecotServer server;
    server.AddMessage(Message("one"));
    ASSERT_TRUE(StartOn(server));
    jobs->Cycle.ConnectClick();
    ASSERT_TRUE(jobs->Shared.IsConnected) << jobs->Shared.ErrorNotice();

    server.Stop();
    jobs->Cycle.TimerTimer();
    EXPECT_EQ(jobs->Shared.ErrorNotice().rfind("Dove ", 0), 0u) << jobs->Shared.ErrorNotice();
    EXPECT_NE(jobs->Shared.ErrorNotice().find("Connection refused"), std::string::npos)
        << jobs->Shared.ErrorNotice();
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, settings::kCheckFailed);
    EXPECT_EQ(jobs->Shared.WaitingCount, 1) << "the count of the last good check stays";
    EXPECT_EQ(jobs->Ticker.StatusText, jobs->Shared.ErrorNotice());
    EXPECT_TRUE(jobs->Shared.IsConnected);
}

TEST_F(MonitorDovecotTest, WrongPasswordIsTheServersText) {
    harness::DovecotServer server;
    ASSERT_TRUE(StartOn(server));
    jobs->Shared.Tables.AccountTable[0].password = "wrong";
    jobs->Cycle.ConnectClick();
    ASSERT_TRUE(jobs->Shared.IsConnected);
    EXPECT_EQ(jobs->Shared.ErrorNotice(), "Dove -ERR [AUTH] Authentication failed.");
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, settings::kCheckFailed);
}

TEST_F(MonitorDovecotTest, VorlaCheckPrintsTheCycle) {
    harness::DovecotServer server;
    server.AddMessage(Message("one"));
    WriteFor(server,
             "[Account2]\r\nacc_name = Gone\r\nhost_name = 127.0.0.1\r\nuser_name = "
             "x\r\nport_number = " +
                 std::to_string(harness::ServerProcess::FreePort()) + "\r\n");
    const std::string before = ReadFile("Vorla.ini");
    int status = -1;
    const std::string output = RunVorlaCheck(Folder() + " --ticks 1 --no-news", status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("status checking Dove\nstatus Dove 1 message\ntray mail\nflag gotmail\n"
                          "sound /sounds/mail.wav\ncount 1\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("status checking Gone\nerror Gone "), std::string::npos) << output;
    EXPECT_NE(output.find("account 1 1\naccount 2 -1\n"), std::string::npos) << output;
    EXPECT_EQ(ReadFile("Vorla.ini"), before) << "vorla-check never writes the settings";

    EXPECT_NE(RunVorlaCheck(Folder() + "missing", status)
                  .find("message -Err : VORLA.INI path not found\\r"),
              std::string::npos);
    EXPECT_EQ(status, 2);
}

}  // namespace
}  // namespace monitor::test

namespace monitor::test {
namespace {

// POP3S accounts through vorla-check: the pinned one counts, the unpinned one fails with the
// reason and the fingerprint in the error notice.
TEST_F(MonitorDovecotTest, VorlaCheckOverPop3sPinnedAndRefused) {
    harness::DovecotServer server(true);
    server.AddMessage(Message("one"));
    WriteSettings({}, {});
    std::string accounts;
    for (int n : {1, 2}) {
        accounts += "[Account" + std::to_string(n) + "]\r\nacc_name = Tls" + std::to_string(n) +
                    "\r\nhost_name = 127.0.0.1\r\nuser_name = " + server.User() +
                    "\r\npassword = " + settings::ScramblePassword(server.Pass()) +
                    "\r\nport_number = " + std::to_string(server.PopsPort()) +
                    "\r\nisign = 0\r\ntls_mode = tls\r\ntls_fingerprint = " +
                    (n == 1 ? server.Fingerprint() : "") + "\r\n";
    }
    WriteFile("Accounts.ini", accounts);
    int status = -1;
    const std::string output =
        RunVorlaCheck(Folder() + " --ticks 1 --no-news --timeout 10000", status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("account 1 1\naccount 2 -1\n"), std::string::npos) << output;
    EXPECT_NE(output.find("error Tls2 "), std::string::npos) << output;
    EXPECT_NE(output.find("The certificate of 127.0.0.1 is not trusted"), std::string::npos)
        << output;
    EXPECT_NE(output.find(server.Fingerprint()), std::string::npos) << output;
}

}  // namespace
}  // namespace monitor::test
