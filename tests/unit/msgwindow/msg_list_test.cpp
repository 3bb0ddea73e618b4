// Browsing: the memo layout, paging, deleting, filters, the read items and notepad mode.
#include <gtest/gtest.h>

#include "MsgListFixture.h"

namespace msgwindow::test {
namespace {

using Lines = std::vector<std::string>;

Lines HeaderBlock(const std::string& subject, std::size_t size) {
    return {"From : \"Ann\" ",
            "Addr : ann@example.org",
            "Subj : " + subject,
            "Date : Mon, 7 Dec 2026 10:00:00 +0100",
            "Size : " + std::to_string(size) + " bytes",
            kRule};
}

Lines Join(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(MsgListTest, ShowsTheHeaderBlockAndTheBody) {
    box.Add(Simple("hello", "line 1\nline 2\n"));
    OpenMailbox();
    EXPECT_EQ(Memo(), Join(HeaderBlock("hello", box.Raw(1).size()), {"line 1", "line 2"}));
    EXPECT_EQ(list.CurrentMsg, 1);
    EXPECT_GT(memo.caretResets, 0);
}

TEST_F(MsgListTest, PagingWrapsAroundBothWays) {
    for (const char* s : {"one", "two", "three"})
        box.Add(Simple(s));
    OpenMailbox();
    list.PrevClick();
    EXPECT_EQ(list.CurrentMsg, 3);
    EXPECT_EQ(Memo()[2], "Subj : three");
    list.NextClick();
    EXPECT_EQ(list.CurrentMsg, 1);
    EXPECT_EQ(Memo()[2], "Subj : one");
    list.NextClick();
    EXPECT_EQ(Memo()[2], "Subj : two");
}

TEST_F(MsgListTest, MailModeKeysPageAndTheStatusLineShowsThePlace) {
    for (const char* s : {"one", "two", "three"})
        box.Add(Simple(s));
    OpenMailbox();
    EXPECT_EQ(mainWindow.drawn.back(), "1 of 3");
    const struct {
        MsgKey key;
        int shown;
    } presses[] = {{MsgKey::Right, 2},
                   {MsgKey::PageDown, 3},
                   {MsgKey::PageUp, 2},
                   {MsgKey::Left, 1},
                   {MsgKey::Left, 3}};
    for (const auto& press : presses) {
        EXPECT_TRUE(list.MessKeyDown(press.key));
        EXPECT_EQ(list.CurrentMsg, press.shown);
        EXPECT_EQ(mainWindow.drawn.back(), std::to_string(press.shown) + " of 3");
    }
    // While composing the keys belong to the reply panel, in notepad mode to the note.
    list.Composing = true;
    EXPECT_FALSE(list.MessKeyDown(MsgKey::Right));
    list.Composing = false;
    state.NotepadMode = true;
    EXPECT_FALSE(list.MessKeyDown(MsgKey::PageDown));
    EXPECT_EQ(list.CurrentMsg, 3);
    EXPECT_EQ(memo.pageDowns, 0) << "the memo pages by itself";
}

TEST_F(MsgListTest, DeleteAsksFirstOnlyWhenConfirmDeleteIsSet) {
    for (const char* s : {"one", "two", "three"})
        box.Add(Simple(s));
    OpenMailbox();
    state.Config.confirm_delete = true;
    list.DeleteClick();  // no answer given: No
    EXPECT_EQ(dialogs.questions, std::vector<std::string>{kConfirmDelete});
    EXPECT_EQ(Sent("DELE"), 0);
    EXPECT_EQ(Memo()[2], "Subj : one");
    dialogs.questionAnswers = {platform::Answer::Yes};
    list.DeleteClick();
    EXPECT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(box.Count(), 2);
    state.Config.confirm_delete = false;
    list.DeleteClick();
    EXPECT_EQ(dialogs.questions.size(), 2u) << "no question without the setting";
    EXPECT_EQ(box.Count(), 1);
    // The note of notepad mode is cleared without a question: nothing leaves the server.
    state.Config.confirm_delete = true;
    state.NotepadMode = true;
    list.DeleteClick();
    EXPECT_EQ(dialogs.questions.size(), 2u);
}

TEST_F(MsgListTest, PagingAnEmptyMailboxShowsEmpty) {
    box.Add(Simple("one"));
    OpenMailbox();
    state.WaitingCount = 0;
    list.NextClick();
    EXPECT_EQ(Memo(), Lines{"empty"});
    EXPECT_EQ(list.CurrentMsg, 0);
    EXPECT_EQ(Sent("TOP"), 1) << "only the opening's";
}

TEST_F(MsgListTest, DeletingTheLastOfThreeShowsTheFirst) {
    for (const char* s : {"one", "two", "three"})
        box.Add(Simple(s));
    OpenMailbox();
    list.PrevClick();
    list.DeleteClick();
    EXPECT_EQ(box.Count(), 2) << "QUIT made the server remove it";
    EXPECT_EQ(state.WaitingCount, 2);
    EXPECT_EQ(mainWindow.redisplays, std::vector<bool>{false});
    EXPECT_EQ(list.CurrentMsg, 1);
    EXPECT_EQ(Memo()[2], "Subj : one");
}

TEST_F(MsgListTest, DeletingTheFirstShowsTheFollowingOne) {
    for (const char* s : {"one", "two", "three"})
        box.Add(Simple(s));
    OpenMailbox();
    list.DeleteClick();
    EXPECT_EQ(list.CurrentMsg, 1);
    EXPECT_EQ(Memo()[2], "Subj : two");
    EXPECT_TRUE(pop.Connected) << "a new session for the next pages";
}

TEST_F(MsgListTest, DeletingTheOnlyMessageShowsEmpty) {
    box.Add(Simple("only"));
    OpenMailbox();
    list.DeleteClick();
    EXPECT_EQ(box.Count(), 0);
    EXPECT_EQ(state.WaitingCount, 0);
    EXPECT_EQ(Memo(), Lines{"empty"});
    list.DeleteClick();
    EXPECT_EQ(Sent("DELE"), 1) << "nothing shown, nothing deleted";
}

TEST_F(MsgListTest, SizeLimitCountsWholeKilobytesAndNeedsTheFilterSwitch) {
    box.Add(MessageOfSize("big", 11264));
    box.Add(MessageOfSize("under", 11263));
    box.Add(MessageOfSize("huge", 50 * 1024));
    state.Config.max_size = 10;
    state.Config.filter = true;
    OpenMailbox();
    EXPECT_EQ(Memo().front(), kFilteredBanner) << "11,264 bytes is 11 KB";
    list.NextClick();
    EXPECT_EQ(Memo()[2], "Subj : under") << "11,263 bytes is 10 KB";

    state.Config.filter = false;
    list.NextClick();
    EXPECT_EQ(Memo()[2], "Subj : huge");
    state.Config.filter = true;
    state.Config.max_size = 0;
    list.DisplayMessage(3, false);
    EXPECT_EQ(Memo()[2], "Subj : huge");
}

TEST_F(MsgListTest, FilteredMessageShowsTheWarningAndReadMailTheBody) {
    box.Add(Simple("Money for FREE", "buy now\n"));
    state.Config.filter = true;
    state.Tables.FilterTable[0] = "free money";
    state.Tables.FilterCount = 1;
    OpenMailbox();
    const std::size_t size = box.Raw(1).size();
    EXPECT_EQ(Memo(),
              (Lines{kFilteredBanner, "From : \"Ann\" ", "Addr : ann@example.org",
                     "Subj : Money for FREE", "Date : Mon, 7 Dec 2026 10:00:00 +0100",
                     "Size : " + std::to_string(size) + " bytes", kFilteredBanner, "",
                     "Clic on the button Delete", "or", "Choose Read Message in the popup menu"}));
    EXPECT_EQ(Sent("RETR"), 0);
    list.readmailClick();
    EXPECT_EQ(Memo(), Join(HeaderBlock("Money for FREE", size), {"buy now"}));
}

TEST_F(MsgListTest, SenderFilterOnlyWithAuthFilter) {
    box.Add(Simple("hello"));
    state.Config.filter = true;
    state.Tables.FilterTable[0] = "ANN@";
    state.Tables.FilterCount = 1;
    OpenMailbox();
    EXPECT_EQ(Memo()[2], "Subj : hello");
    state.Config.auth_fltr = true;
    list.DisplayMessage(1, false);
    EXPECT_EQ(Memo().front(), kFilteredBanner);
}

TEST_F(MsgListTest, HeaderOnlyThenReadMail) {
    box.Add(Simple("hello", "the body\n"));
    state.Config.header_only = true;
    OpenMailbox();
    EXPECT_EQ(Memo(), HeaderBlock("hello", box.Raw(1).size()));
    EXPECT_EQ(Sent("RETR"), 0);
    list.readmailClick();
    EXPECT_EQ(Memo(), Join(HeaderBlock("hello", box.Raw(1).size()), {"the body"}));
}

TEST_F(MsgListTest, ReadlgFetchesNblgLinesAndReadFullMailTheWhole) {
    box.Add(Simple("long", "1\n2\n3\n4\n5\n6\n7\n"));
    state.Config.readlg = true;
    state.Config.nblg = 5;
    OpenMailbox();
    EXPECT_EQ(box.commands.back(), "TOP 1 5");
    EXPECT_EQ(Memo(), Join(HeaderBlock("long", box.Raw(1).size()),
                           {"*** 5 lines read ***", "", "1", "2", "3", "4", "5"}));
    list.ReadAllMailClick();
    EXPECT_EQ(Memo(),
              Join(HeaderBlock("long", box.Raw(1).size()), {"1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_TRUE(state.Config.readlg);
}

TEST_F(MsgListTest, DoctypeLineEndsTheShownBody) {
    box.Add(Simple("html", "one\ntwo\n<html><!DOCTYPE html>\nthree\n"));
    box.Add(Simple("text", "see <!doctype> here\n"));
    OpenMailbox();
    const Lines shown = Memo();
    EXPECT_EQ(Lines(shown.end() - 3, shown.end()), (Lines{"one", "two", "*** HTML EMAIL ***"}));
    list.NextClick();
    EXPECT_EQ(Memo().back(), "see <!doctype> here");
}

TEST_F(MsgListTest, AttachmentLineListsEveryNameWithATrailingBlank) {
    box.Add(
        "From: a@b.c\nSubject: files\nContent-Type: multipart/mixed; boundary=\"XX\"\n\n"
        "--XX\nContent-Type: text/plain\n\nsee files\n"
        "--XX\nContent-Type: application/zip; name=\"a.zip\"\nContent-Transfer-Encoding: "
        "base64\n\nUEsDBA==\n"
        "--XX\nContent-Type: application/pdf; name=\"b.pdf\"\nContent-Transfer-Encoding: "
        "base64\n\nJVBERg==\n--XX--\n");
    OpenMailbox();
    const Lines shown = Memo();
    ASSERT_GE(shown.size(), 9u);
    EXPECT_EQ(shown[6], "a.zip b.pdf ");
    EXPECT_EQ(shown[7], kRule);
    EXPECT_EQ(shown[8], "see files");
    EXPECT_TRUE(list.MnuMsgPopup()[2].Enabled);
}

TEST_F(MsgListTest, ChangedMailboxEndsTheSessionIntoNotepadMode) {
    box.Add(Simple("one"));
    box.Add(Simple("two"));
    OpenMailbox();
    box.onCommand = [](const std::string& command) {
        return command.rfind("TOP", 0) == 0 ? "-ERR There's no message 2." : "";
    };
    list.NextClick();
    EXPECT_EQ(Memo(), Lines{kAlreadyRead});
    EXPECT_TRUE(state.NotepadMode);
    EXPECT_EQ(state.ErrorNotice(), "");
    EXPECT_EQ(mainWindow.drawn.back(), "notepad");
    EXPECT_FALSE(memo.readOnly) << "a notepad takes typing";
    EXPECT_EQ(list.CurrentMsg, 2) << "paging moved it before the fetch";
    EXPECT_FALSE(pop.Connected);
}

// A connection that breaks during a fetch is no changed mailbox: the window says what broke.
TEST_F(MsgListTest, BrokenFetchShowsItsOwnFailure) {
    const struct {
        const char* name;
        std::size_t dropAfterBytes;
    } rows[] = {
        {"during the header", 20},
        {"during the body", 200},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        box.messages.clear();
        box.Add(Simple("one"));
        box.Add(Simple("two", std::string(5000, 'z') + "\n"));
        OpenMailbox();
        box.dropAfterBytes = row.dropAfterBytes;
        list.NextClick();
        box.dropAfterBytes = 0;
        EXPECT_EQ(Memo(), Lines{"Connection closed by the server."});
        EXPECT_TRUE(state.NotepadMode);
        EXPECT_EQ(mainWindow.drawn.back(), "notepad");
        EXPECT_FALSE(pop.Connected);
    }
}

TEST_F(MsgListTest, NotepadModeScrollsClearsAndEnablesOpen) {
    state.NotepadMode = true;
    memo.Add("a note");
    list.NextClick();
    list.PrevClick();
    EXPECT_EQ(memo.pageDowns, 1);
    EXPECT_EQ(memo.pageUps, 1);
    EXPECT_TRUE(box.commands.empty());
    const auto items = list.MnuMsgPopup();
    EXPECT_FALSE(items[0].Enabled) << items[0].Caption;
    EXPECT_TRUE(items[3].Enabled) << items[3].Caption;
    list.Files().NoteFile = "/tmp/n.txt";
    list.DeleteClick();
    EXPECT_TRUE(Memo().empty());
    EXPECT_EQ(list.Files().NoteFile, "");
}

TEST_F(MsgListTest, ClicksDuringAFetchAreHeldOff) {
    box.Add(Simple("one", std::string(5000, 'z') + "\n"));
    box.Add(Simple("two"));
    box.chunkSize = 512;
    int clicks = 0;
    pump.onPump = [&] {
        if (!list.Busy())
            return;
        ++clicks;
        list.NextClick();
        list.PrevClick();
        list.DeleteClick();
        list.readmailClick();
        list.CloseMsgClick();
    };
    OpenMailbox();
    EXPECT_GT(clicks, 3);
    EXPECT_EQ(Sent("TOP"), 1);
    EXPECT_EQ(Sent("RETR"), 1);
    EXPECT_EQ(Sent("DELE"), 0);
    EXPECT_EQ(view.closes, 0);
    EXPECT_EQ(list.CurrentMsg, 1);
    EXPECT_EQ(Memo()[2], "Subj : one");
    EXPECT_FALSE(list.Busy());
}

TEST_F(MsgListTest, BigMessageKeepsTheWindowAliveWhileItArrives) {
    std::string body;
    for (int i = 0; i < 40000; ++i)
        body += "line " + std::to_string(i) + " of a big message, long enough to count\n";
    box.Add(Simple("big", body));
    std::vector<std::uint16_t> progress;
    popClient.OnRetrieveProgress = [&](unsigned p) {
        progress.push_back(static_cast<std::uint16_t>(p));
    };
    int pumpsDuringFetch = 0;
    pump.onPump = [&] { pumpsDuringFetch += list.Busy() ? 1 : 0; };
    OpenMailbox();
    EXPECT_GT(pumpsDuringFetch, static_cast<int>(box.Raw(1).size() / 1024) - 10)
        << "events run between the pieces";
    EXPECT_GE(progress.size(), 10u);
    EXPECT_EQ(Memo().size(), 6u + 40000u);
    EXPECT_EQ(Memo().back(), "line 39999 of a big message, long enough to count");
}

TEST_F(MsgListTest, FetchWithoutSessionRaisesForTheHandOverAndBoxesForAClick) {
    box.Add(Simple("one"));
    box.Add(Simple("two"));
    state.WaitingCount = 2;
    EXPECT_THROW(list.DisplayMessage(1, false), monitor::PopError);
    list.NextClick();
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Not connected."});
}

TEST_F(MsgListTest, PopupItemsFollowModeReadlgAndNote) {
    box.Add(Simple("one"));
    OpenMailbox();
    auto items = list.MnuMsgPopup();
    std::vector<std::string> captions;
    for (const auto& item : items)
        captions.push_back(item.Caption + (item.Enabled ? "=on" : "=off"));
    EXPECT_EQ(captions, (std::vector<std::string>{"Read Mail=on", "Read full mail=off",
                                                  "Save attachments=off", "Open file=off",
                                                  "Save=off", "Save as...=on", "Close window=on"}));
    list.Files().NoteFile = "/home/u/notes.txt";
    EXPECT_EQ(list.MnuMsgPopup()[4].Caption, "Save notes.txt");
    EXPECT_TRUE(list.MnuMsgPopup()[4].Enabled);
}

TEST_F(MsgListTest, CloseStoresThePositionOrClosesTheReplyPanel) {
    list.Composing = true;
    state.StatusText = "Home 1 message";
    list.CloseMsgClick();
    EXPECT_EQ(view.closes, 0);
    EXPECT_FALSE(view.panelVisible);
    EXPECT_EQ(mainWindow.drawn.back(), "Home 1 message");
    list.CloseMsgClick();
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(state.Config.memo_posx, 300);
    EXPECT_EQ(state.Config.memo_posy, 200);
}

}  // namespace
}  // namespace msgwindow::test
