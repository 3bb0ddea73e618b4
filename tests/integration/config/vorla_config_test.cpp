#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "DovecotServer.h"
#include "Files.h"
#include "ScopedEnv.h"
#include "TempFolder.h"
#include "settings/FindInSkin.h"
#include "settings/Scramble.h"

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

struct ToolRun {
    std::string out;
    int status = -1;
};

class VorlaConfigTest : public ::testing::Test {
protected:
    VorlaConfigTest() {
        WriteFile("Vorla.ini", "current_skin = " + std::string(VORLA_SKINS) +
                                   "/default\r\nskin_dir = " + VORLA_SKINS +
                                   "\r\nicon_tray =1\r\nautorun =0\r\n");
    }
    std::string Folder() const { return m_folder.Folder(); }
    void WriteFile(const std::string& name, const std::string& text) const {
        m_folder.Write(name, text);
    }
    std::string ReadFile(const std::string& name) const { return m_folder.Read(name); }

    // Runs a tool on the folder with the actions as its input; stdout only.
    ToolRun Tool(const std::string& tool, const std::string& arguments,
                 const std::string& actions = "") const {
        WriteFile("actions.txt", actions);
        const std::string command = "XDG_CONFIG_HOME=" + Folder() + "xdg " + tool + " " +
                                    arguments + " < " + Folder() + "actions.txt 2>/dev/null";
        ToolRun run;
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[4096];
        while (pipe != nullptr && fgets(buffer, sizeof buffer, pipe) != nullptr) {
            run.out += buffer;
        }
        const int raw = pipe != nullptr ? pclose(pipe) : -1;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return run;
    }
    ToolRun Config(const std::string& actions) const {
        return Tool(VORLA_CONFIG, Folder(), actions);
    }

private:
    testsupport::TempFolder m_folder;
};

TEST_F(VorlaConfigTest, PrintsMessagesDialogsAndControlStatesInTheStatedForm) {
    const ToolRun run = Config(
        "show MenuBtn\n"
        "menu 1\n"
        "set NAccount home\n"
        "click AddAcc\n"
        "show ChkHide\n"
        "click SndBr\n"
        "menu 2\n"
        "show ScrollSpeed\n"
        "set FilterEdit\n"
        "show FilterEdit\n"
        "close\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "show: MenuBtn text=Main Options enabled=1\n"
              "message: Please fill all fields of your account!\n"
              "show: ChkHide text=&Hide Vorla on startup checked=0 enabled=1\n"
              "dialog: open Wav files (*.wav) | *.wav\n"
              "show: ScrollSpeed text=Slow enabled=1 index=0 items=Slow|Normal|Fast\n"
              "show: FilterEdit text= enabled=1\n");
    EXPECT_FALSE(fs::exists(Folder() + "Accounts.ini"));
}

TEST_F(VorlaConfigTest, OkWithATypedAccountAsksAndTakesTheAnswerGivenBeforeIt) {
    const std::string typed = "menu 1\nset NAccount Home\nset HostTxt pop.home\nset UserName me\n";
    const std::string question = "question: Add the account Home before closing?\n";
    const ToolRun cancelled = Config(typed + "ok\nshow NAccount\nanswer no\nok\n");
    EXPECT_EQ(cancelled.status, 0);
    EXPECT_EQ(cancelled.out, question + "show: NAccount text=Home enabled=1\n" + question);
    EXPECT_FALSE(fs::exists(Folder() + "Accounts.ini"));

    const ToolRun added = Config(typed + "answer yes\nok\n");
    EXPECT_EQ(added.out, question);
    EXPECT_EQ(settings::FindInSkin(Folder() + "Accounts.ini", "[Account1]", "acc_name"), "Home");
    EXPECT_EQ(settings::FindInSkin(Folder() + "Accounts.ini", "[Account1]", "host_name"),
              "pop.home");
}

TEST_F(VorlaConfigTest, CloseWritesNothingAndOkWritesTheSettingsAndTheAutorunEntry) {
    const std::string before = ReadFile("Vorla.ini");
    Config("choose ScrollSpeed 2\nclick ChkAutorun\nclose\n");
    EXPECT_EQ(ReadFile("Vorla.ini"), before);
    EXPECT_FALSE(fs::exists(Folder() + "xdg/autostart/Vorla.desktop"));

    Config("choose ScrollSpeed 2\nclick ChkAutorun\nset PortEdit none\n");  // ends as Close
    EXPECT_EQ(ReadFile("Vorla.ini"), before);

    const ToolRun ok = Config("choose ScrollSpeed 2\nclick ChkAutorun\nset PortEdit none\nok\n");
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(settings::FindInSkin(Folder() + "Vorla.ini", "", "speed"), "2");
    EXPECT_EQ(settings::FindInSkin(Folder() + "Vorla.ini", "", "smtpport"), "25");
    EXPECT_EQ(settings::FindInSkin(Folder() + "Vorla.ini", "", "autorun"), "1");
    EXPECT_TRUE(fs::exists(Folder() + "xdg/autostart/Vorla.desktop"));
    EXPECT_EQ(settings::FindInSkin(Folder() + "VrFilter.ini", "[Misc]", "auth_fltr"), "0");
}

TEST_F(VorlaConfigTest, ABrokenSkinGivesWayToTheOldOneAndAGoodOneIsRecordedOnOk) {
    const std::string skins = Folder() + "skins/";
    fs::create_directories(skins);
    fs::copy(std::string(VORLA_SKINS) + "/default", skins + "broken", fs::copy_options::recursive);
    fs::copy(std::string(VORLA_SKINS) + "/default", skins + "other", fs::copy_options::recursive);
    // Without a message window background a skin is fatal at start-up; here it must not be.
    std::string ini = testsupport::ReadFile(skins + "broken/skin.ini");
    ini.erase(ini.find("msgbkng"), std::string("msgbkng").size());
    testsupport::WriteFile(skins + "broken/skin.ini", ini);
    WriteFile("Vorla.ini", "current_skin = " + std::string(VORLA_SKINS) +
                               "/default\r\nskin_dir = " + skins + "\r\n");

    const ToolRun broken = Config("menu 3\nanswer " + skins + "broken/skin.ini\nclick Browse\n" +
                                  "set Password abc\nshow Password\nok\n");
    EXPECT_EQ(broken.status, 0);
    EXPECT_EQ(broken.out,
              "dialog: open Ini files (*.ini) | *.ini\n"
              "message: -Err :  Invalid SKIN.INI, check the bitmaps.\n"
              "show: Password text=*** enabled=1\n");
    EXPECT_EQ(settings::FindInSkin(Folder() + "Vorla.ini", "", "current_skin"),
              std::string(VORLA_SKINS) + "/default/");

    Config("answer " + skins + "other/skin.ini\nclick Browse\nok\n");
    EXPECT_EQ(settings::FindInSkin(Folder() + "Vorla.ini", "", "current_skin"), skins + "other/");
}

TEST_F(VorlaConfigTest, ALinkEndsTheDialogAndTheLinesAfterItAreIgnored) {
    const ToolRun run = Config("menu 3\nclick SkWeb\nshow MenuBtn\nok\n");
    EXPECT_THAT(run.out, HasSubstr("shell: http"));
    EXPECT_THAT(run.out, Not(HasSubstr("show:")));
    EXPECT_FALSE(fs::exists(Folder() + "VrFilter.ini")) << "OK was never pressed";
}

TEST_F(VorlaConfigTest, TextsOfADownloadedSkinArePrintedWithTheirControlBytesEscaped) {
    const std::string skin = Folder() + "skins/evil/";
    fs::create_directories(skin);
    fs::copy(std::string(VORLA_SKINS) + "/default", skin, fs::copy_options::recursive);
    std::string ini = ReadFile("skins/evil/skin.ini");
    ini.replace(ini.find("skin_name=Midnight"), 18, "skin_name=x\x1b]0;pwned\x07\x1b[2J");
    WriteFile("skins/evil/skin.ini", ini);
    WriteFile("Vorla.ini", "current_skin = " + skin + "\r\n");
    const ToolRun run = Config("menu 3\nshow SkName\nclose\n");
    EXPECT_THAT(run.out, HasSubstr("show: SkName text=x\\x1B]0;pwned\\x07\\x1B[2J\n"));
    EXPECT_THAT(run.out, Not(HasSubstr("\x1b")));
}

TEST_F(VorlaConfigTest, AStartUpThatEndsTheProgramExitsWith2) {
    WriteFile("Vorla.ini", "speed = 1\r\n");
    const ToolRun run = Config("ok\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.out, HasSubstr("message: -Err : VORLA.INI path not found"));
}

TEST_F(VorlaConfigTest, AnAccountAddedInTheDialogIsTheOneTheNextCheckUses) {
    harness::DovecotServer server;
    server.AddMessage("Subject: one\r\n\r\nbody\r\n");
    server.AddMessage("Subject: two\r\n\r\nbody\r\n");
    const ToolRun added =
        Config("menu 1\nset NAccount Dove\nset HostTxt 127.0.0.1\nset UserName " + server.User() +
               "\nset Password " + server.Pass() + "\nset PortTxt " +
               std::to_string(server.Port()) + "\nclick AddAcc\nclose\n");
    ASSERT_EQ(added.out, "");

    const ToolRun check = Tool(VORLA_CHECK, Folder() + " --no-news");
    EXPECT_EQ(check.status, 0);
    EXPECT_THAT(check.out, HasSubstr("count 2"));
    EXPECT_THAT(check.out, HasSubstr("account 1 2"));
}

TEST_F(VorlaConfigTest, AnAccountSecuredInTheDialogIsCheckedOverPop3sWithItsPin) {
    harness::DovecotServer server(true);
    server.AddMessage("Subject: one\r\n\r\nbody\r\n");
    const std::string fields = "menu 1\nset NAccount Secure\nset HostTxt 127.0.0.1\nset UserName " +
                               server.User() + "\nset Password " + server.Pass() +
                               "\nset PortTxt " + std::to_string(server.PopsPort()) +
                               "\nchoose TlsMode 1\n";
    const ToolRun typo = Config(fields + "set TlsFingerprint " + server.Fingerprint().substr(3) +
                                "\nclick AddAcc\nshow TlsMode\nclose\n");
    EXPECT_THAT(typo.out, HasSubstr("message: The certificate fingerprint must be 64 hexadecimal"));
    EXPECT_THAT(typo.out, HasSubstr("show: TlsMode text=TLS enabled=1 index=1 "
                                    "items=Auto|TLS|STARTTLS|None\n"));
    EXPECT_FALSE(fs::exists(Folder() + "Accounts.ini"));

    const ToolRun added =
        Config(fields + "set TlsFingerprint " + server.Fingerprint() + "\nclick AddAcc\nclose\n");
    ASSERT_EQ(added.out, "");
    EXPECT_EQ(settings::FindKeyInSection(Folder() + "Accounts.ini", "[Account1]", "tls_mode"),
              "tls");

    const ToolRun check = Tool(VORLA_CHECK, Folder() + " --no-news");
    EXPECT_EQ(check.status, 0);
    EXPECT_THAT(check.out, HasSubstr("account 1 1"));

    // The same account logging in with a token instead of its password.
    Config("menu 1\nchoose LstAcc 0\nset Password\nset OAuthCommand echo " +
           harness::DovecotServer::Token() + "\nclick Modify\nclose\n");
    EXPECT_EQ(settings::FindKeyInSection(Folder() + "Accounts.ini", "[Account1]", "oauth_command"),
              "echo " + harness::DovecotServer::Token());
    EXPECT_EQ(settings::FindInSkin(Folder() + "Accounts.ini", "[Account1]", "password"),
              settings::kEmptyMarker);
    const ToolRun tokenCheck = Tool(VORLA_CHECK, Folder() + " --no-news");
    EXPECT_EQ(tokenCheck.status, 0);
    EXPECT_THAT(tokenCheck.out, HasSubstr("account 1 1"));
}

// The desktop keyring through libsecret's own file backend: what the dialog moves in is what
// secret-tool finds and what the check logs in with; without a keyring the check fails and
// nothing moves.
TEST_F(VorlaConfigTest, PasswordsMovedIntoTheKeyringAreWhereSecretToolAndTheCheckFindThem) {
    harness::DovecotServer server;
    server.AddMessage("Subject: one\r\n\r\nbody\r\n");
    testsupport::TempFolder keyringFolder;
    const testsupport::ScopedEnv backend("SECRET_BACKEND", "file");
    const testsupport::ScopedEnv file("SECRET_FILE_TEST_PATH", keyringFolder.Folder() + "keyring");
    const testsupport::ScopedEnv unlock("SECRET_FILE_TEST_PASSWORD", "unlock");
    const std::string lookup =
        "secret-tool lookup server 127.0.0.1 user " + server.User() + " protocol pop3 2>/dev/null";
    const std::string pass = server.Pass();
    const auto settingsHolding = [&](const std::string& text) {
        std::string found;
        for (const auto& entry : fs::directory_iterator(Folder())) {
            if (ReadFile(entry.path().filename()).find(text) != std::string::npos) {
                found += entry.path().filename().string() + " ";
            }
        }
        return found;
    };

    const ToolRun moved =
        Config("menu 1\nset NAccount Dove\nset HostTxt 127.0.0.1\nset UserName " + server.User() +
               "\nset Password " + pass + "\nset PortTxt " + std::to_string(server.Port()) +
               "\nclick AddAcc\nmenu 0\nclick ChkKeyring\nok\n");
    ASSERT_EQ(moved.out, "");
    EXPECT_EQ(Tool(lookup, "").out, pass);
    EXPECT_EQ(settingsHolding(pass) + settingsHolding(settings::ScramblePassword(pass)), "");
    EXPECT_THAT(ReadFile("Accounts.ini"), HasSubstr("password_store = keyring\r\n"));
    EXPECT_THAT(ReadFile("Vorla.ini"), HasSubstr("use_keyring =1\r\n"));
    EXPECT_THAT(Tool(VORLA_CHECK, Folder() + " --no-news").out, HasSubstr("account 1 1"));

    {
        const std::string accounts = ReadFile("Accounts.ini");
        const testsupport::ScopedEnv noBackend("SECRET_BACKEND", "service");
        const testsupport::ScopedEnv noBus("DBUS_SESSION_BUS_ADDRESS",
                                           "unix:path=" + Folder() + "no-bus");
        const ToolRun away = Tool(VORLA_CHECK, Folder() + " --no-news");
        EXPECT_THAT(away.out, HasSubstr("account 1 -1"));
        EXPECT_THAT(away.out, HasSubstr("keyring"));
        EXPECT_EQ(ReadFile("Accounts.ini"), accounts);
    }

    ASSERT_EQ(Config("click ChkKeyring\nok\n").out, "");
    EXPECT_EQ(Tool(lookup, "").out, "") << "the item stays after the move out";
    EXPECT_THAT(ReadFile("Accounts.ini"), HasSubstr(settings::ScramblePassword(pass)));
    EXPECT_THAT(Tool(VORLA_CHECK, Folder() + " --no-news").out, HasSubstr("account 1 1"));
}

}  // namespace
