#include "monitor/SettingsFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include "Files.h"
#include "MonitorFakes.h"
#include "settings/AtomicFile.h"
#include "settings/LitConfig.h"

namespace monitor::test {
namespace {

namespace fs = std::filesystem;

using testsupport::ReadFile;

unsigned ModeOf(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// A program folder and an empty home folder side by side in one temporary folder.
class SettingsFolderTest : public ::testing::Test {
protected:
    SettingsFolderTest() : m_root(m_temp.Path()) {
        fs::create_directories(m_root / "program");
        fs::create_directories(m_root / "home");
    }
    ~SettingsFolderTest() override {
        // The folder that a test made read-only must be emptied by the temporary folder.
        fs::permissions(m_root / "program", fs::perms::owner_all, fs::perm_options::add);
    }
    std::string Program() const { return (m_root / "program").string() + "/"; }
    std::string Home() const { return (m_root / "home").string(); }
    void WriteProgramIni(const std::string& text) {
        std::ofstream(m_root / "program/Vorla.ini", std::ios::binary) << text;
    }

    testsupport::TempFolder m_temp;
    fs::path m_root;
};

TEST_F(SettingsFolderTest, VorlaHomeWinsOverEverything) {
    EXPECT_EQ(ChooseSettingsFolder(Program(), {"/srv/vorla-settings", "/cfg", Home()}),
              "/srv/vorla-settings/");
    EXPECT_EQ(ChooseSettingsFolder(Program(), {"relative", "", Home()}),
              (fs::current_path() / "relative").string() + "/")
        << "made absolute before start-up changes into the program folder";
}

TEST_F(SettingsFolderTest, AWritableProgramFolderKeepsItsSettings) {
    EXPECT_EQ(ChooseSettingsFolder(Program(), {"", "/cfg", Home()}), Program());
}

TEST_F(SettingsFolderTest, AnUnwritableProgramFolderSendsThemToTheConfigFolder) {
    // A missing folder cannot be written to, whoever runs the test; a read-only one only
    // stops a user without root's rights.
    const std::string missing = Program() + "gone/";
    EXPECT_EQ(ChooseSettingsFolder(missing, {"", "/cfg", Home()}), "/cfg/vorla/");
    EXPECT_EQ(ChooseSettingsFolder(missing, {"", "", Home()}), Home() + "/.config/vorla/");
    EXPECT_EQ(ChooseSettingsFolder(missing, {"", "relative/cfg", Home()}),
              Home() + "/.config/vorla/")
        << "a relative XDG_CONFIG_HOME is ignored";
    fs::permissions(m_root / "program", fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(Program().c_str(), W_OK) != 0) {
        EXPECT_EQ(ChooseSettingsFolder(Program(), {"", "/cfg", Home()}), "/cfg/vorla/");
    }
}

TEST_F(SettingsFolderTest, FirstStartCreatesAPrivateFolderSeededWithTheInstalledSkins) {
    WriteProgramIni(
        "current_skin = skins/default/\r\nautocheck =1\r\nminutes = 7\r\n"
        "posX = 70\r\nwavsnd = empty\r\n");
    const std::string folder = Home() + "/.config/vorla/";
    PrepareSettingsFolder(folder, Program());

    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(ModeOf(Home() + "/.config"), 0700u);
    const std::string seeded = ReadFile(folder + "Vorla.ini");
    EXPECT_NE(seeded.find("current_skin = " + Program() + "skins/default/\r\n"), std::string::npos)
        << seeded;
    EXPECT_NE(seeded.find("skin_dir = " + Program() + "skins\r\n"), std::string::npos) << seeded;
    EXPECT_NE(seeded.find("minutes = 7\r\n"), std::string::npos) << seeded;
    EXPECT_NE(seeded.find("posX = 70\r\n"), std::string::npos) << seeded;
    EXPECT_NE(seeded.find("sendorg =0\r\n"), std::string::npos) << "every key is written";

    // The user's own settings are never seeded over.
    std::ofstream(folder + "Vorla.ini", std::ios::binary) << "current_skin = /mine/\r\n";
    PrepareSettingsFolder(folder, Program());
    EXPECT_EQ(ReadFile(folder + "Vorla.ini"), "current_skin = /mine/\r\n");
}

TEST_F(SettingsFolderTest, SeedKeepsAbsolutePathsAndNeedsAUsableSettingsFile) {
    WriteProgramIni("current_skin = /opt/skins/blue/\r\nskin_dir = /opt/skins\r\n");
    const std::string first = Home() + "/a/";
    PrepareSettingsFolder(first, Program());
    const std::string seeded = ReadFile(first + "Vorla.ini");
    EXPECT_NE(seeded.find("current_skin = /opt/skins/blue/\r\n"), std::string::npos) << seeded;
    EXPECT_NE(seeded.find("skin_dir = /opt/skins\r\n"), std::string::npos) << seeded;

    // Without "current_skin" there is nothing to seed: start-up reports the missing setting.
    WriteProgramIni("autocheck =1\r\n");
    const std::string second = Home() + "/b/";
    PrepareSettingsFolder(second, Program());
    EXPECT_TRUE(fs::is_directory(second));
    EXPECT_FALSE(fs::exists(second + "Vorla.ini"));
}

TEST_F(SettingsFolderTest, AFolderThatCannotBeMadeIsNamedInTheError) {
    std::ofstream(Home() + "/file") << "x";
    try {
        PrepareSettingsFolder(Home() + "/file/vorla/", Program());
        FAIL() << "no error";
    } catch (const settings::SettingsWriteError& e) {
        EXPECT_NE(std::string(e.what()).find(Home() + "/file/vorla/"), std::string::npos)
            << e.what();
    }
}

// The monitor on separate folders: what it writes goes to the settings folder, what it reads
// of the program stays in the program folder.
class SeparateFoldersTest : public MonitorTest {
protected:
    SeparateFoldersTest() {
        const MonitorParts parts{view,         pop,  dialUp, downloader, timer,
                                 tickerTimers, pump, shell,  autorun,    mailto};
        jobs = std::make_unique<MonitorJobs>(commun, parts, m_program.Folder(), Folder());
        vorla = std::make_unique<TVorla>(*jobs, parts);
        jobs->HandOver.SetMessageWindow(messageWindow);
    }

    testsupport::TempFolder m_program;
};

TEST_F(SeparateFoldersTest, SettingsGoToTheSettingsFolderHelpComesFromTheProgramFolder) {
    ASSERT_TRUE(Start({}, {"minutes = 9"}));
    EXPECT_EQ(jobs->Shared.Config.minutes, 9);
    jobs->Menu.AideClick();
    EXPECT_EQ(shell.opened.back(), m_program.File("vrhelp.html"));
    jobs->Shared.Config.autorun = true;
    vorla->SetAutorun();
    EXPECT_EQ(autorun.log.back(), "enable " + m_program.File("vorla"));
    vorla->Exit1Click();
    EXPECT_NE(ReadFile("Vorla.ini").find("posX = 120\r\n"), std::string::npos);
    EXPECT_FALSE(m_program.Exists("Vorla.ini"));
}

}  // namespace
}  // namespace monitor::test
