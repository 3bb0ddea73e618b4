#include "MonitorFakes.h"

#include "monitor/MailClient.h"
#include "platform/LinuxDesktop.h"

namespace monitor::test {
namespace {

struct CallRow {
    const char* name;
    std::string input;
    std::string program;
    std::vector<std::string> arguments;
};

TEST(MailClientTest, OwnClientSplitsAtTheFirstComma) {
    const CallRow rows[] = {
        {"program and switch", "/usr/bin/mutt,-f =inbox", "/usr/bin/mutt", {"-f", "=inbox"}},
        {"no comma", "/usr/bin/claws-mail", "/usr/bin/claws-mail", {}},
        {"second comma stays in the parameters", "mail,-a,b", "mail", {"-a,b"}},
        {"quoted parameter", "run,\"my box\" -x", "run", {"my box", "-x"}},
        {"marker gives nothing", "empty", "", {}},
        {"blank gives nothing", "  ", "", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ProgramCall call = SplitOwnClient(row.input);
        EXPECT_EQ(call.Program, row.program);
        EXPECT_EQ(call.Arguments, row.arguments);
    }
}

TEST(MailClientTest, RegisteredCommandBecomesTheProgram) {
    const CallRow rows[] = {
        {"quoted path with arguments",
         "\"C:\\Mail\\client.exe\" /compose %1",
         "C:\\Mail\\client.exe",
         {}},
        {"Netscape in any case",
         "C:\\NS\\NETSCAPE.EXE -compose",
         "C:\\NS\\NETSCAPE.EXE",
         {"-mail"}},
        {"desktop entry starts its whole line",
         "thunderbird -compose %u",
         "thunderbird",
         {"-compose"}},
        {"quoted desktop program", "\"/opt/My Mail/mail\" --new", "/opt/My Mail/mail", {"--new"}},
        {".exe inside a Flatpak name is no Windows program",
         "flatpak run org.example.Exempt @@u %u @@",
         "flatpak",
         {"run", "org.example.Exempt"}},
        {"no handler", "", "", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ProgramCall call = MailtoProgram(row.input);
        EXPECT_EQ(call.Program, row.program);
        EXPECT_EQ(call.Arguments, row.arguments);
    }
}

// The Exec= lines of the mail programs as Snap, Flatpak and Debian install them.
TEST(MailClientTest, RegisteredDesktopFilesStartTheirWholeExecLine) {
    struct FileRow {
        const char* name;
        std::string desktopFile;
        std::string program;
        std::vector<std::string> arguments;
    };
    const FileRow rows[] = {
        {"Snap",
         "[Desktop Entry]\nName=Thunderbird\nExec=env BAMF_DESKTOP_FILE_HINT=/var/lib/snapd/"
         "desktop/applications/thunderbird_thunderbird.desktop /snap/bin/thunderbird %u\n"
         "[Desktop Action ComposeMessage]\nExec=/snap/bin/thunderbird -compose\n",
         "env",
         {"BAMF_DESKTOP_FILE_HINT=/var/lib/snapd/desktop/applications/"
          "thunderbird_thunderbird.desktop",
          "/snap/bin/thunderbird"}},
        {"Flatpak",
         "[Desktop Entry]\nName=Thunderbird\nExec=/usr/bin/flatpak run --branch=stable "
         "--arch=x86_64 --command=thunderbird --file-forwarding org.mozilla.Thunderbird @@u %u "
         "@@\nX-Flatpak=org.mozilla.Thunderbird\n",
         "/usr/bin/flatpak",
         {"run", "--branch=stable", "--arch=x86_64", "--command=thunderbird", "--file-forwarding",
          "org.mozilla.Thunderbird"}},
        {"plain", "[Desktop Entry]\nName=Evolution\nExec=evolution %U\n", "evolution", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ProgramCall call =
            MailtoProgram(platform::XdgMailtoHandler::ExecLine(row.desktopFile));
        EXPECT_EQ(call.Program, row.program);
        EXPECT_EQ(call.Arguments, row.arguments);
    }
}

class MailClickTest : public MonitorTest {};

TEST_F(MailClickTest, AFailedLaunchResetsNoCounter) {
    ASSERT_TRUE(Start({{"Box", "pop.test"}}, {"reset =1"}));
    mailto.command = "/opt/gone/mail %u";
    Box("pop.test").Fill(3);
    jobs->Cycle.ConnectClick();
    shell.fails = true;
    const auto before = view.calls.size();
    jobs->MailClient.MAILClick();
    EXPECT_EQ(shell.started, std::vector<std::string>{"/opt/gone/mail"});
    EXPECT_EQ(jobs->Shared.WaitingCount, 3);
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, 3);
    ASSERT_EQ(view.calls.size(), before + 1);
    EXPECT_EQ(view.calls.back(), "message The mail program could not be started: /opt/gone/mail");
}

TEST_F(MailClickTest, OwnClientIsStartedAndTheCounterReset) {
    ASSERT_TRUE(Start(
        {{"Box", "pop.test"}},
        {"run_my_client =1", "my_mail_client = /usr/bin/mutt,-y", "reset =1", "icon_tray =1"}));
    Box("pop.test").Fill(3);
    jobs->Cycle.ConnectClick();
    jobs->MailClient.MAILClick();
    EXPECT_EQ(shell.started, std::vector<std::string>{"/usr/bin/mutt [-y]"});
    EXPECT_EQ(jobs->Shared.WaitingCount, 0);
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, 0);
    EXPECT_EQ(jobs->Ticker.StatusText, "Box empty");
    EXPECT_EQ(view.Last("count "), "count 0");
    EXPECT_EQ(view.Last("flag "), "flag nomail");
    EXPECT_EQ(view.calls.back(), "tray-modify connected");
}

TEST_F(MailClickTest, WithoutResetNothingChangesInTheWindow) {
    ASSERT_TRUE(Start({{"Box", "pop.test"}}, {"reset =0"}));
    mailto.command = "evolution %U";
    Box("pop.test").Fill(3);
    jobs->Cycle.ConnectClick();
    const auto before = view.calls.size();
    jobs->MailClient.MAILClick();
    EXPECT_EQ(shell.started, std::vector<std::string>{"evolution"});
    EXPECT_EQ(view.calls.size(), before);
    EXPECT_EQ(jobs->Shared.WaitingCount, 3);
}

TEST_F(MailClickTest, ResetBeforeAnyCheckAndWithoutAHandler) {
    ASSERT_TRUE(Start({{"Box", "pop.test"}}, {"reset =1"}));
    mailto.command = "evolution";
    jobs->MailClient.MAILClick();
    EXPECT_EQ(jobs->Shared.CurrentAccount, kNoAccountYet);
    EXPECT_EQ(jobs->Shared.Tables.AccountTable[0].LastCount, settings::kNotCheckedYet);

    Box("pop.test").Fill(2);
    jobs->Cycle.ConnectClick();
    mailto.command.clear();
    shell.started.clear();
    jobs->MailClient.MAILClick();
    EXPECT_TRUE(shell.started.empty());
    EXPECT_FALSE(view.Last("message ").empty());
    EXPECT_EQ(jobs->Shared.WaitingCount, 2) << "nothing was started, so the mail is still unseen";
}

}  // namespace
}  // namespace monitor::test
