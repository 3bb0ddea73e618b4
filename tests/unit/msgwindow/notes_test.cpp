// Saving attachments and notes, opening notes, and the names proposed for attachments.
#include <gtest/gtest.h>

#include "MsgListFixture.h"
#include "TempFolder.h"
#include "msgwindow/AttachmentName.h"

namespace msgwindow::test {
namespace {

std::string WithAttachments(const std::vector<std::pair<std::string, std::string>>& files) {
    std::string raw =
        "From: a@b.c\nSubject: files\nContent-Type: multipart/mixed; boundary=\"XX\"\n\n"
        "--XX\nContent-Type: text/plain\n\nsee files\n";
    for (const auto& [name, base64] : files)
        raw += "--XX\nContent-Type: application/octet-stream; name=\"" + name +
               "\"\nContent-Transfer-Encoding: base64\n\n" + base64 + "\n";
    return raw + "--XX--\n";
}

class NotesTest : public MsgListTest {
protected:
    testsupport::TempFolder folder;
    MessageFiles& files = list.Files();
};

TEST(AttachmentName, OnlyTheFileNamePartAndNeverAWayOut) {
    struct Row {
        const char* name;
        std::string given;
        std::string proposed;
    } rows[] = {
        {"plain", "report.pdf", "report.pdf"},
        {"unix folders", "../../.bashrc", ".bashrc"},
        {"windows folders", "C:\\Users\\x\\evil.exe", "evil.exe"},
        {"dot dot", "..", "attachment3"},
        {"dot", ".", "attachment3"},
        {"folder only", "a/b/", "attachment3"},
        {"nothing", "", "attachment3"},
        {"control character", "a\nb.txt", "attachment3"},
        {"escape", "x\x1b[31m.txt", "attachment3"},
        {"8-bit name kept", "r\xc3\xa9sum\xc3\xa9.pdf", "r\xc3\xa9sum\xc3\xa9.pdf"},
        {"right-to-left override", "\u202Eexe.txt", "exe.txt"},
        {"marks, embeddings and isolates", "a\u200Eb\u200Fc\u202Ad\u2066e\u2069.txt", "abcde.txt"},
        {"nothing but controls", "\u202E\u202C", "attachment3"},
        {"override before dot dot", "\u202E..", "attachment3"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SafeAttachmentName(row.given, 3), row.proposed) << row.name;
}

TEST_F(NotesTest, SavesEachConfirmedAttachmentAndSkipsACancelledOne) {
    box.Add(WithAttachments({{"a.bin", "QUFB"}, {"b.bin", "QkJC"}, {"c.bin", "Q0ND"}}));
    OpenMailbox();
    dialogs.answers = {folder.File("a.bin"), std::nullopt, folder.File("c.bin")};
    files.SaveClick();
    EXPECT_EQ(dialogs.proposed, (std::vector<std::string>{"a.bin", "b.bin", "c.bin"}));
    EXPECT_EQ(folder.Read("a.bin"), "AAA");
    EXPECT_FALSE(folder.Exists("b.bin"));
    EXPECT_EQ(folder.Read("c.bin"), "CCC");
    EXPECT_EQ(files.SaveDlg.FilterIndex, 2) << "the all-files filter stays chosen";
}

TEST(AttachmentName, NumberedBeforeTheExtension) {
    struct Row {
        const char* name;
        std::string given;
        std::string numbered;
    } rows[] = {
        {"extension", "a.txt", "a (2).txt"},
        {"last extension only", "x.tar.gz", "x.tar (2).gz"},
        {"no extension", "README", "README (2)"},
        {"leading dot starts no extension", ".profile", ".profile (2)"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(NumberedName(row.given, 2), row.numbered) << row.name;
}

TEST_F(NotesTest, AttachmentsOfOneNameAreProposedUnderTwoNames) {
    box.Add(WithAttachments({{"a.txt", "QUFB"}, {"a.txt", "QkJC"}, {"a (2).txt", "Q0ND"}}));
    OpenMailbox();
    dialogs.answers = {folder.File("a.txt"), folder.File("a (2).txt")};
    files.SaveClick();
    EXPECT_EQ(dialogs.proposed, (std::vector<std::string>{"a.txt", "a (2).txt", "a (2) (2).txt"}));
    EXPECT_EQ(folder.Read("a.txt"), "AAA");
    EXPECT_EQ(folder.Read("a (2).txt"), "BBB");
}

TEST_F(NotesTest, HostileNamesAreProposedSafely) {
    // The parser already drops "/" and "\", replaces ".." and turns a decoded line break
    // into a blank; what reaches the dialog must still not be a way out.
    box.Add(WithAttachments({{"..", "QUFB"}, {"=?utf-8?Q?a=0Ab?=", "QkJC"}}));
    OpenMailbox();
    dialogs.answers = {std::nullopt, std::nullopt};
    files.SaveClick();
    EXPECT_EQ(dialogs.proposed, (std::vector<std::string>{"attachment1", "a b"}));
}

TEST_F(NotesTest, EmptyAttachmentIsAnInvalidOpAndEndsThePass) {
    box.Add(WithAttachments({{"empty.bin", ""}, {"b.bin", "QkJC"}}));
    OpenMailbox();
    dialogs.answers = {folder.File("empty.bin"), folder.File("b.bin")};
    files.SaveClick();
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Invalid op."});
    EXPECT_EQ(dialogs.proposed.size(), 1u);
    EXPECT_FALSE(folder.Exists("b.bin"));
}

TEST_F(NotesTest, UnwritableAttachmentShowsTheFileSystemError) {
    box.Add(WithAttachments({{"a.bin", "QUFB"}, {"b.bin", "QkJC"}}));
    OpenMailbox();
    dialogs.answers = {folder.File("missing/a.bin"), folder.File("b.bin")};
    files.SaveClick();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("missing/a.bin"), std::string::npos) << dialogs.messages[0];
    EXPECT_EQ(dialogs.proposed.size(), 1u);
}

TEST(NoteName, SaveAsProposesTheSubjectMadeSafe) {
    struct Row {
        const char* name;
        std::string subject;
        std::string proposed;
    } rows[] = {
        {"plain", "Lunch on Friday", "Lunch on Friday"},
        {"separators", "Re: a/b\\c", "Re_ a_b_c"},
        {"no way out", "../../etc", "_.._etc"},
        {"hidden file", ".profile", "profile"},
        {"only dots", " .. ", ""},
        {"folded header", "two\tparts\r\n", "two parts"},
        {"shell characters", "a*b?\"c\"<d>|e", "a_b__c__d__e"},
        {"8-bit kept, cut between characters", std::string(99, 'x') + "\xc3\xa9tail",
         std::string(99, 'x')},
    };
    for (const Row& row : rows)
        EXPECT_EQ(NoteNameFromSubject(row.subject), row.proposed) << row.name;
}

TEST_F(NotesTest, SaveAsOffersAMessageUnderItsSubject) {
    box.Add(Simple("Lunch: Friday?"));
    OpenMailbox();
    files.SavMemoClick();
    EXPECT_EQ(dialogs.proposed, std::vector<std::string>{"Lunch_ Friday_"});
}

TEST_F(NotesTest, SaveAsAppendsTxtOnlyWithTheTextFilter) {
    state.NotepadMode = true;
    memo.Add("note");
    dialogs.answers = {folder.File("notes"), folder.File("notes.TXT.bak")};
    files.SavMemoClick();
    EXPECT_EQ(files.NoteFile, folder.File("notes.txt"));
    EXPECT_EQ(folder.Read("notes.txt"), "note\r\n");
    files.SavMemoClick();
    EXPECT_EQ(folder.Read("notes.TXT.bak"), "note\r\n");

    files.SaveDlg.FilterIndex = 2;
    dialogs.answers = {folder.File("plain")};
    files.SavMemoClick();
    EXPECT_EQ(folder.Read("plain"), "note\r\n");
    EXPECT_EQ(dialogs.proposed.back(), "") << "the name is emptied first";
}

TEST_F(NotesTest, OpenThenQuickSaveRewritesWithCrLfInUtf8) {
    state.NotepadMode = true;
    folder.Write("n.txt", "one\ntwo caf\xe9\r\nthree");
    dialogs.answers = {folder.File("n.txt")};
    files.OpenMemoClick();
    EXPECT_EQ(Memo(), (std::vector<std::string>{"one", "two caf\xc3\xa9", "three"}));
    EXPECT_EQ(files.NoteFile, folder.File("n.txt"));
    EXPECT_EQ(files.Open.FilterIndex, 1);
    EXPECT_EQ(list.MnuMsgPopup()[4].Caption, "Save n.txt");
    files.QuickSavClick();
    EXPECT_EQ(folder.Read("n.txt"), "one\r\ntwo caf\xc3\xa9\r\nthree\r\n");
}

TEST_F(NotesTest, FailuresAreSilentAndLoseNothing) {
    state.NotepadMode = true;
    memo.Add("kept");
    files.NoteFile = folder.File("gone/n.txt");
    files.QuickSavClick();
    EXPECT_EQ(files.NoteFile, folder.File("gone/n.txt"));
    dialogs.answers = {folder.File("no-such-file.txt")};
    files.OpenMemoClick();
    EXPECT_EQ(Memo(), std::vector<std::string>{"kept"});
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(NotesTest, ShowingAMessageForgetsTheNote) {
    box.Add(Simple("one"));
    files.NoteFile = folder.File("n.txt");
    OpenMailbox();
    EXPECT_EQ(files.NoteFile, "");
    const auto items = list.MnuMsgPopup();
    EXPECT_EQ(items[4].Caption, "Save");
    EXPECT_FALSE(items[4].Enabled);
    EXPECT_TRUE(items[5].Enabled);
}

}  // namespace
}  // namespace msgwindow::test
