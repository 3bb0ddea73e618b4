#include "settings/AtomicFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ScopedFileSizeLimit.h"
#include "SettingsTestSupport.h"
#include "settings/Writers.h"

namespace {

using settings_test::Entries;
using settings_test::TempFolder;
using testsupport::ScopedFileSizeLimit;

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        ADD_FAILURE() << "stat failed for " << path;
    }
    return info.st_mode & 07777;
}

// Sets the process umask for one test and puts the previous one back.
class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : m_previous(::umask(mask)) {}
    ~ScopedUmask() { ::umask(m_previous); }

private:
    mode_t m_previous;
};

settings::Tables OneAccount() {
    settings::Tables tables;
    tables.AccountTable[0] = settings_test::MakeAccount("a", "secret");
    tables.AccountCount = 1;
    return tables;
}

TEST(AtomicFile, AccountsFileIsOwnerOnly) {
    ScopedUmask mask(0);
    TempFolder folder;
    settings::SaveAccounts(folder.Folder(), OneAccount());
    EXPECT_EQ(ModeOf(folder.File("Accounts.ini")), 0600u);
}

TEST(AtomicFile, AccountsFileBecomesOwnerOnlyWhenReplacingAReadableOne) {
    ScopedUmask mask(022);
    TempFolder folder;
    folder.Write("Accounts.ini", "old");
    ::chmod(folder.File("Accounts.ini").c_str(), 0644);
    settings::SaveAccounts(folder.Folder(), OneAccount());
    EXPECT_EQ(ModeOf(folder.File("Accounts.ini")), 0600u);
}

TEST(AtomicFile, OtherFilesFollowTheUmask) {
    ScopedUmask mask(027);
    TempFolder folder;
    settings::Tables tables;
    settings::SaveFilters(folder.Folder(), {"x"}, "0", false, tables);
    EXPECT_EQ(ModeOf(folder.File("VrFilter.ini")), 0640u);
}

// Saving over a file keeps the mode its owner gave it, whatever the umask says.
TEST(AtomicFile, ReplacedFileKeepsItsMode) {
    struct Row {
        const char* name;
        const char* file;
        mode_t before;
        mode_t mask;
    };
    const Row rows[] = {
        {"private main settings stay private", "Vorla.ini", 0600, 022},
        {"group-readable filters stay group-readable", "VrFilter.ini", 0640, 0},
        {"private accounts stay private", "Accounts.ini", 0600, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScopedUmask mask(row.mask);
        TempFolder folder;
        folder.Write(row.file, "old");
        ::chmod(folder.File(row.file).c_str(), row.before);
        settings::Tables tables = OneAccount();
        settings::SaveConfig(folder.Folder(), settings::Config{});
        settings::SaveAccounts(folder.Folder(), tables);
        settings::SaveFilters(folder.Folder(), {"x"}, "0", false, tables);
        EXPECT_EQ(ModeOf(folder.File(row.file)), row.before);
    }
}

TEST(AtomicFile, FailedWriteKeepsPreviousFileAndLeavesNothingBehind) {
    TempFolder folder;
    folder.Write("Vorla.ini", "current_skin = /old/\r\n");
    const std::string bigger(64 * 1024, 'x');
    {
        ScopedFileSizeLimit limit(4096);
        EXPECT_THROW(settings::WriteFileAtomically(folder.File("Vorla.ini"), bigger, 0644),
                     settings::SettingsWriteError);
    }
    EXPECT_EQ(folder.Read("Vorla.ini"), "current_skin = /old/\r\n");
    EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"Vorla.ini"});
}

TEST(AtomicFile, FailedRenameLeavesNothingBehind) {
    TempFolder folder;
    std::filesystem::create_directory(folder.Path() / "Vorla.ini");
    EXPECT_THROW(settings::WriteFileAtomically(folder.File("Vorla.ini"), "x", 0644),
                 settings::SettingsWriteError);
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "Vorla.ini"));
    EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"Vorla.ini"});
}

TEST(AtomicFile, MissingFolderNamesTheFile) {
    TempFolder folder;
    try {
        settings::WriteFileAtomically(folder.File("nowhere/Vorla.ini"), "x", 0644);
        FAIL() << "no error for a missing folder";
    } catch (const settings::SettingsWriteError& error) {
        EXPECT_NE(std::string(error.what()).find("nowhere/Vorla.ini"), std::string::npos);
    }
}

}  // namespace
