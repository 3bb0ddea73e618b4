#include "platform/Desktop.h"
#include "platform/DesktopEntry.h"
#include "platform/LinuxDesktop.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include "ScopedEnv.h"
#include "TempFolder.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

namespace {

struct SplitRow {
    const char* name;
    const char* text;
    std::vector<std::string> expected;
};

TEST(SplitArguments, Rows) {
    const SplitRow rows[] = {
        {"empty", "", {}},
        {"blanks only", "   ", {}},
        {"one word", "-mail", {"-mail"}},
        {"several blanks between", "a  b\tc", {"a", "b", "c"}},
        {"quoted blanks stay",
         "\"/opt/my mail/client\" -compose",
         {"/opt/my mail/client", "-compose"}},
        {"empty quotes give an empty argument", "a \"\" b", {"a", "", "b"}},
        {"unclosed quote runs to the end", "\"a b", {"a b"}},
    };
    for (const SplitRow& row : rows) {
        EXPECT_EQ(platform::SplitArguments(row.text), row.expected) << row.name;
    }
}

TEST(XdgMailtoHandler, ExecLineIsTheEntrysValueAsWritten) {
    const std::string desktop =
        "[Desktop Action Compose]\r\nExec=wrong --compose\r\n"
        "[Desktop Entry]\r\nName=Mail\r\nTryExec=x\r\nExec=/usr/bin/thunderbird -compose %u\r\n";
    EXPECT_EQ(platform::XdgMailtoHandler::ExecLine(desktop), "/usr/bin/thunderbird -compose %u");
    EXPECT_EQ(platform::XdgMailtoHandler::ExecLine("[Desktop Entry]\nExec = mutt 100%% %U\n"),
              "mutt 100%% %U");
    EXPECT_EQ(platform::XdgMailtoHandler::ExecLine("[Desktop Entry]\nName=x\n"), "");
}

// desktop-file-validate's verdict on a file, or nothing when the tool is not installed.
std::optional<int> Validate(const std::filesystem::path& file) {
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0) {
        return std::nullopt;
    }
    const std::string command = "desktop-file-validate '" + file.string() + "'";
    return std::system(command.c_str());
}

// A program we start (the user's mail client) inherits no descriptor of ours, even one a
// library opened without close-on-exec.
TEST(XdgShell, StartedProgramInheritsNoDescriptor) {
    testsupport::TempFolder folder;
    const int opened = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(opened, 0);
    const int held = ::fcntl(opened, F_DUPFD, 40);
    ::close(opened);
    ASSERT_GE(held, 40);
    const std::string listing = folder.File("fds");
    platform::XdgShell shell;
    ASSERT_TRUE(shell.StartProgram(
        "/bin/sh", {"-c", "for f in /proc/$$/fd/*; do printf '%s ' \"${f##*/}\"; done > " +
                              listing + ".part; mv " + listing + ".part " + listing}));
    ::close(held);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(listing) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::ifstream in(listing);
    std::vector<int> fds;
    for (int fd = 0; in >> fd;) {
        fds.push_back(fd);
    }
    ASSERT_FALSE(fds.empty());
    EXPECT_EQ(std::count(fds.begin(), fds.end(), held), 0);
}

TEST(XdgAutorun, EntryStartsAProgramInAFolderWithABlankAndAQuote) {
    const testsupport::TempFolder temp;
    const std::filesystem::path folder = temp.Path();
    const testsupport::ScopedEnv config("XDG_CONFIG_HOME", temp.Folder());
    const std::string program = (folder / "My \"Mail\" $HOME 100%").string() + "/vorla";
    platform::XdgAutorun autorun;
    autorun.Enable(program);
    const auto entry = folder / "autostart/Vorla.desktop";
    std::ifstream file(entry);
    ASSERT_TRUE(file.good());
    std::stringstream text;
    text << file.rdbuf();
    const std::string exec = platform::XdgMailtoHandler::ExecLine(text.str());
    EXPECT_EQ(platform::SplitExecLine(exec), std::vector<std::string>{program}) << exec;
    const auto verdict = Validate(entry);
    autorun.Disable();
    EXPECT_FALSE(std::filesystem::exists(entry));
    autorun.Disable();  // removing a missing entry is not an error
    if (!verdict) {
        GTEST_SKIP() << "desktop-file-validate is not installed (package desktop-file-utils)";
    }
    EXPECT_EQ(*verdict, 0) << text.str();
}

// The file dialogs of the message window start here: the download folder the user named,
// else the home folder.
TEST(DownloadFolder, TheNamedFolderWhenItExistsElseHome) {
    const testsupport::TempFolder temp;
    const testsupport::ScopedEnv home("HOME", temp.Folder() + "home");
    const testsupport::ScopedEnv config("XDG_CONFIG_HOME", temp.Folder() + "config");
    temp.Write("config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"$HOME/Fetched\"\n");
    std::filesystem::create_directories(temp.Path() / "home/Fetched");
    if (std::system("command -v xdg-user-dir >/dev/null") != 0) {
        GTEST_SKIP() << "xdg-user-dir is not installed (package xdg-user-dirs)";
    }
    EXPECT_EQ(platform::DownloadFolder(), temp.Folder() + "home/Fetched/");
    std::filesystem::remove(temp.Path() / "home/Fetched");
    EXPECT_EQ(platform::DownloadFolder(), temp.Folder() + "home/");
}

}  // namespace

#include "platform/LocalHost.h"

namespace {

TEST(LocalHost, AddressIsDottedIpv4OrEmpty) {
    EXPECT_FALSE(platform::LocalHostName().empty());
    const std::string address = platform::LocalHostAddress();
    if (!address.empty()) {
        in_addr parsed{};
        EXPECT_EQ(inet_pton(AF_INET, address.c_str(), &parsed), 1) << address;
    }
}

}  // namespace
