#include "platform/Desktop.h"
#include "platform/LinuxDesktop.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

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

TEST(XdgMailtoHandler, ExecLineDropsFieldCodesAndOtherSections) {
    const std::string desktop =
        "[Desktop Action Compose]\r\nExec=wrong --compose\r\n"
        "[Desktop Entry]\r\nName=Mail\r\nExec=/usr/bin/thunderbird -compose %u\r\n";
    EXPECT_EQ(platform::XdgMailtoHandler::ExecLine(desktop), "/usr/bin/thunderbird -compose");
    EXPECT_EQ(platform::XdgMailtoHandler::ExecLine("[Desktop Entry]\nExec=mutt 100%% %U\n"),
              "mutt 100%");
    EXPECT_EQ(platform::XdgMailtoHandler::ExecLine("[Desktop Entry]\nName=x\n"), "");
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
            hadOld_ = true;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (hadOld_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::string old_;
    bool hadOld_ = false;
};

std::filesystem::path MakeTempFolder() {
    char pattern[] = "/tmp/vorla-platform-XXXXXX";
    return mkdtemp(pattern);
}

TEST(XdgAutorun, WritesAndRemovesTheEntry) {
    const auto folder = MakeTempFolder();
    ScopedEnv config("XDG_CONFIG_HOME", folder.string());
    platform::XdgAutorun autorun;
    autorun.Enable("/opt/vorla/vorla");
    std::ifstream entry(folder / "autostart/Vorla.desktop");
    ASSERT_TRUE(entry.good());
    std::stringstream text;
    text << entry.rdbuf();
    EXPECT_NE(text.str().find("\nExec=/opt/vorla/vorla\n"), std::string::npos);
    autorun.Disable();
    EXPECT_FALSE(std::filesystem::exists(folder / "autostart/Vorla.desktop"));
    autorun.Disable();  // removing a missing entry is not an error
    std::filesystem::remove_all(folder);
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
