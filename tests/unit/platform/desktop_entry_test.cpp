#include "platform/DesktopEntry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ExecRow {
    const char* name;
    std::string value;
    std::vector<std::string> expected;
};

TEST(SplitExecLine, Rows) {
    const ExecRow rows[] = {
        {"plain", "thunderbird %u", {"thunderbird"}},
        {"plain with options", "evolution --component=mail %U", {"evolution", "--component=mail"}},
        {"Snap",
         "env BAMF_DESKTOP_FILE_HINT=/var/lib/snapd/desktop/applications/"
         "thunderbird_thunderbird.desktop /snap/bin/thunderbird %u",
         {"env",
          "BAMF_DESKTOP_FILE_HINT=/var/lib/snapd/desktop/applications/"
          "thunderbird_thunderbird.desktop",
          "/snap/bin/thunderbird"}},
        {"Flatpak",
         "/usr/bin/flatpak run --branch=stable --arch=x86_64 --command=thunderbird "
         "--file-forwarding org.mozilla.Thunderbird @@u %u @@",
         {"/usr/bin/flatpak", "run", "--branch=stable", "--arch=x86_64", "--command=thunderbird",
          "--file-forwarding", "org.mozilla.Thunderbird"}},
        {"quoted program with blanks",
         "\"/opt/My Mail/mail\" --compose %U",
         {"/opt/My Mail/mail", "--compose"}},
        {"escapes inside quotes",
         R"("/opt/a \\"b\\" \\$c \\\\d" -x)",
         {R"(/opt/a "b" $c \d)", "-x"}},
        {"string escapes come before the quoting", R"("/opt/a\sb" c\sd)", {"/opt/a b", "c", "d"}},
        {"literal percent", "mutt -e 100%% %F", {"mutt", "-e", "100%"}},
        {"code inside a word drops the word", "mail --to=%u -x", {"mail", "-x"}},
        {"quoted empty argument stays", "run \"\" x", {"run", "", "x"}},
        {"quoted marker is an argument", "run \"@@u\"", {"run", "@@u"}},
        {"open quote is malformed", "\"/opt/mail -x", {}},
        {"empty", "", {}},
    };
    for (const ExecRow& row : rows) {
        EXPECT_EQ(platform::SplitExecLine(row.value), row.expected)
            << row.name << ": " << row.value;
    }
}

TEST(QuoteExecArgument, ReadsBackAsTheSameOneArgument) {
    const std::vector<std::string> paths = {
        "/usr/lib/vorla/vorla",
        "/home/ann/My Programs/vorla/vorla",
        "/tmp/a \"quoted\" folder/vorla",
        "/tmp/$HOME `x` back\\slash 50%/vorla",
        "/tmp/tab\there;&|<>*?#()~'/vorla",
    };
    for (const std::string& path : paths) {
        const std::string quoted = platform::QuoteExecArgument(path);
        EXPECT_EQ(platform::SplitExecLine(quoted), std::vector<std::string>{path}) << quoted;
    }
    EXPECT_EQ(platform::QuoteExecArgument("/a b/\"c\""), R"("/a b/\\"c\\"")");
}

}  // namespace
