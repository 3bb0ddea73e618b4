#include "MonitorFakes.h"

#include "monitor/MailClient.h"

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
        {"desktop entry without .exe keeps the first word",
         "thunderbird -compose",
         "thunderbird",
         {}},
        {"quoted desktop program", "\"/opt/My Mail/mail\" --new", "/opt/My Mail/mail", {}},
        {"no handler", "", "", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const ProgramCall call = MailtoProgram(row.input);
        EXPECT_EQ(call.Program, row.program);
        EXPECT_EQ(call.Arguments, row.arguments);
    }
}

class MailClickTest : public MonitorTest {};

TEST_F(MailClickTest, OwnClientIsStartedAndTheCounterReset) {
    ASSERT_TRUE(Start(
        {{"Box", "pop.test"}},
        {"run_my_client =1", "my_mail_client = /usr/bin/mutt,-y", "reset =1", "icon_tray =1"}));
    pop.boxes["pop.test"].count = 3;
    vorla->ConnectClick();
    vorla->MAILClick();
    EXPECT_EQ(shell.log, std::vector<std::string>{"start /usr/bin/mutt [-y]"});
    EXPECT_EQ(vorla->WaitingCount, 0);
    EXPECT_EQ(vorla->Tables.AccountTable[0].LastCount, 0);
    EXPECT_EQ(vorla->Ticker.StatusText, "Box empty");
    EXPECT_EQ(view.Last("count "), "count 0");
    EXPECT_EQ(view.Last("flag "), "flag nomail");
    EXPECT_EQ(view.calls.back(), "tray-modify connected");
}

TEST_F(MailClickTest, WithoutResetNothingChangesInTheWindow) {
    ASSERT_TRUE(Start({{"Box", "pop.test"}}, {"reset =0"}));
    mailto.command = "evolution %U";
    pop.boxes["pop.test"].count = 3;
    vorla->ConnectClick();
    const auto before = view.calls.size();
    vorla->MAILClick();
    EXPECT_EQ(shell.log, std::vector<std::string>{"start evolution"});
    EXPECT_EQ(view.calls.size(), before);
    EXPECT_EQ(vorla->WaitingCount, 3);
}

TEST_F(MailClickTest, ResetBeforeAnyCheckAndWithoutAHandler) {
    ASSERT_TRUE(Start({{"Box", "pop.test"}}, {"reset =1"}));
    mailto.command = "evolution";
    vorla->MAILClick();
    EXPECT_EQ(vorla->CurrentAccount, kNoAccountYet);
    EXPECT_EQ(vorla->Tables.AccountTable[0].LastCount, settings::kNotCheckedYet);

    pop.boxes["pop.test"].count = 2;
    vorla->ConnectClick();
    mailto.command.clear();
    shell.log.clear();
    vorla->MAILClick();
    EXPECT_TRUE(shell.log.empty());
    EXPECT_FALSE(view.Last("message ").empty());
    EXPECT_EQ(vorla->WaitingCount, 2) << "nothing was started, so the mail is still unseen";
}

}  // namespace
}  // namespace monitor::test
