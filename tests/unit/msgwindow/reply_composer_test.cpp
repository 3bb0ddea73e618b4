// The reply composer: filling the panel, the identity menu, sending through a scripted SMTP
// server, and the panel staying open when a send does not go through.
#include <gtest/gtest.h>

#include "MsgListFixture.h"
#include "RecordingShell.h"
#include "SmtpPeer.h"
#include "TempFolder.h"
#include "app/composition/QelSmtpClient.h"
#include "mail/QelSMTP.h"
#include "msgwindow/ReplyComposer.h"

namespace msgwindow::test {
namespace {

using Lines = std::vector<std::string>;

Lines Join(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ReplyTest : public MsgListTest {
protected:
    ReplyTest() {
        state.Config.vrmail = true;
        state.Config.sendorg = true;
        state.Config.smtphost = "smtp.example.net";
        state.Config.smtpport = 2525;
        state.Config.smtp_tls_mode = "off";  // the scripted peer is a plain server
        AddAccount(1, "Home", "Bob Stone", "bob@example.net", Signature("home", "-- \nBob"));
    }

    std::string Signature(const std::string& name, const std::string& text) {
        folder.Write(name + ".txt", text);
        return folder.File(name + ".txt");
    }
    void AddAccount(int number, const std::string& account, const std::string& name,
                    const std::string& address, const std::string& signature) {
        settings::AccountRecord& record =
            state.Tables.AccountTable[static_cast<std::size_t>(number - 1)];
        record.acc_name = account;
        record.auth_name = name;
        record.auth_addr = address;
        record.auth_sign = signature;
        record.isign = true;
        state.Tables.AccountCount = std::max(state.Tables.AccountCount, number);
    }
    void Show(const std::string& raw) {
        box.Add(raw);
        OpenMailbox();
    }
    Lines Body() const { return panel.body.Lines(); }
    std::string Status() const { return mainWindow.drawn.empty() ? "" : mainWindow.drawn.back(); }

    testsupport::TempFolder folder;
    testsupport::SmtpPeer peer;
    testsupport::SmtpPeerFactory smtpFactory{peer};
    mail::TQelSMTP smtp{smtpFactory, pump, clock};
    app::QelSmtpClient sender{smtp};
    testsupport::RecordingShell shell;
    ReplyPanelFields panel;
    TReplyComposer& composer = list.AttachComposer({sender, shell, panel});
};

const char* const kAnnMessage =
    "From: \"Ann\" <ann@example.org>\nTo: bob@example.net\nCC: Carl <carl@example.org>, "
    "dora@example.org\nSubject: lunch\nMessage-ID: <m2@example.org>\n"
    "In-Reply-To: <m1@example.net>\n\nline 1\nline 2\n";

TEST_F(ReplyTest, FillsThePanelInOrderWithAndWithoutTheQuote) {
    Show(kAnnMessage);
    list.ReplyClick();
    EXPECT_TRUE(list.Composing);
    EXPECT_TRUE(view.panelVisible);
    EXPECT_EQ(Status(), "new message");
    EXPECT_EQ(panel.to.Text(), "ann@example.org");
    EXPECT_EQ(panel.from.Text(), "bob@example.net");
    EXPECT_EQ(panel.subj.Text(), "Re: lunch");
    EXPECT_EQ(Body(), (Lines{"-- ", "Bob", "", kOriginalMessage, "> line 1", "> line 2"}));
    EXPECT_EQ(panel.focus, "MailBody") << "the filled address takes no typing";
    EXPECT_EQ(panel.body.caretResets, 1);

    // Without sendorg: the signature only, no subject.
    state.Config.sendorg = false;
    list.CloseMsgClick();
    list.ReplyClick();
    EXPECT_EQ(panel.subj.Text(), "");
    EXPECT_EQ(Body(), (Lines{"-- ", "Bob"}));
}

TEST_F(ReplyTest, QuoteWithoutSubjectAndStoppingBeforeHtml) {
    Show("From: ann@example.org\n\nfirst\nsecond <!DOCTYPE html>\nthird\n");
    list.ReplyClick();
    EXPECT_EQ(panel.subj.Text(), "");
    EXPECT_EQ(Body(), (Lines{"-- ", "Bob", "", kOriginalMessage, "> first"}));
}

// A ";" in the subject is text, and a comment after the address is not part of it.
TEST_F(ReplyTest, AnswersTheBareAddressWithTheWholeSubject) {
    Show("From: bbb@ddd.com (John X. Doe)\nSubject: Re: agenda; budget\n\nbody\n");
    EXPECT_EQ(Memo()[0], "From : John X. Doe");
    EXPECT_EQ(Memo()[1], "Addr : bbb@ddd.com");
    EXPECT_EQ(Memo()[2], "Subj : Re: agenda; budget");
    list.ReplyClick();
    EXPECT_EQ(panel.to.Text(), "bbb@ddd.com");
    EXPECT_EQ(panel.subj.Text(), "Re: Re: agenda; budget");
}

TEST_F(ReplyTest, NotepadModeOpensWithTheSignatureOnly) {
    state.NotepadMode = true;
    list.ReplyClick();
    EXPECT_TRUE(list.Composing);
    EXPECT_EQ(panel.to.Text(), "");
    EXPECT_EQ(panel.subj.Text(), "");
    EXPECT_EQ(Body(), (Lines{"-- ", "Bob"}));
    EXPECT_EQ(panel.focus, "MailTo");
}

TEST_F(ReplyTest, UnreadableSignatureIsLeftOutSilently) {
    state.Tables.AccountTable[0].auth_sign = folder.File("missing.txt");
    Show(kAnnMessage);
    list.ReplyClick();
    EXPECT_EQ(Body(), (Lines{"", kOriginalMessage, "> line 1", "> line 2"}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ReplyTest, IdentityMenuListsTheAccountsAndKeepsTheTypedText) {
    AddAccount(2, "Work", "B. Stone", "stone@work.example", Signature("work", "Work sig"));
    AddAccount(3, "Club", "", "", "");
    Show(kAnnMessage);
    list.ReplyClick();
    panel.to.SetText("typed@example.org");
    panel.subj.SetText("Re: lunch at one");
    panel.body.ReplaceLines(0, 0, {"See you", ""});
    skin::ShiftState right;
    right.Right = true;
    composer.DeMouseDown(right);
    EXPECT_TRUE(panel.menu.empty());
    skin::ShiftState left;
    left.Left = true;
    composer.DeMouseDown(left);
    ASSERT_EQ(panel.menu.size(), 3u);
    EXPECT_EQ(panel.menu[0].Caption, "Home (bob@example.net)");
    EXPECT_EQ(panel.menu[1].Caption, "Work (stone@work.example)");
    EXPECT_EQ(panel.menu[2].Caption, "Club ()");
    const Lines quote{"", kOriginalMessage, "> line 1", "> line 2"};
    const struct {
        const char* name;
        int tag;
        const char* from;
        Lines body;
    } switches[] = {
        {"signature swapped in place", 2, "stone@work.example",
         Join({"See you", "", "Work sig"}, quote)},
        {"an identity without one drops it", 3, "", Join({"See you", ""}, quote)},
        {"and the next one's goes before the quote", 1, "bob@example.net",
         Join({"See you", "", "-- ", "Bob"}, quote)},
    };
    for (const auto& row : switches) {
        composer.MnuReplyClick(row.tag);
        EXPECT_EQ(list.IdentityAccount, row.tag) << row.name;
        EXPECT_TRUE(list.Composing) << row.name;
        EXPECT_EQ(panel.from.Text(), row.from) << row.name;
        EXPECT_EQ(panel.to.Text(), "typed@example.org") << row.name;
        EXPECT_EQ(panel.subj.Text(), "Re: lunch at one") << row.name;
        EXPECT_EQ(Body(), row.body) << row.name;
    }

    // A signature the user changed is left alone; the new one is added before the quote.
    panel.body.ReplaceLines(3, 1, {"Bobby"});
    composer.MnuReplyClick(2);
    EXPECT_EQ(Body(), Join({"See you", "", "-- ", "Bobby", "Work sig"}, quote));
}

// The original's References (folded over lines) come before its Message-ID; a long thread keeps
// its first message and the latest ones.
TEST_F(ReplyTest, ReplyCarriesTheThreadOn) {
    std::string references = "References: <r0@x>";
    std::string expected = "<r0@x>";
    for (int i = 1; i < 30; ++i) {
        references += "\n <r" + std::to_string(i) + "@x>";
        if (i >= 11)
            expected += " <r" + std::to_string(i) + "@x>";
    }
    Show("From: ann@example.org\nSubject: s\n" + references +
         "\nIn-Reply-To: <r29@x>\nMessage-ID: <m@x>\n\nbody\n");
    list.ReplyClick();
    list.ReplyClick();
    ASSERT_EQ(peer.deliveries.size(), 1u);
    EXPECT_EQ(testsupport::SmtpPeer::Header(peer.deliveries[0], "References"), expected + " <m@x>");
}

TEST_F(ReplyTest, SendsTheReplyAndClosesThePanel) {
    Show(kAnnMessage);
    list.ReplyClick();
    panel.subj.SetText("Re: lunch \xC3\xA0 midi");  // "à" fits ISO-8859-1
    list.ReplyClick();
    ASSERT_EQ(peer.deliveries.size(), 2u);  // the To list, then the CC list
    EXPECT_EQ(peer.host, "smtp.example.net");
    EXPECT_EQ(peer.port, 2525);
    const testsupport::SmtpPeer::Delivery& sent = peer.deliveries[0];
    EXPECT_EQ(sent.sender, "bob@example.net");
    EXPECT_EQ(sent.recipients, Lines{"ann@example.org"});
    EXPECT_EQ(peer.deliveries[1].recipients, (Lines{"carl@example.org", "dora@example.org"}));
    EXPECT_EQ(testsupport::SmtpPeer::Header(sent, "In-Reply-To"), "<m2@example.org>");
    // Without References of its own, the original's single In-Reply-To starts the thread.
    EXPECT_EQ(testsupport::SmtpPeer::Header(sent, "References"),
              "<m1@example.net> <m2@example.org>");
    EXPECT_EQ(testsupport::SmtpPeer::Header(sent, "From"),
              "=?ISO-8859-1?B?Qm9iIFN0b25l?= <bob@example.net>");
    EXPECT_EQ(testsupport::SmtpPeer::Header(sent, "Subject"),
              "=?ISO-8859-1?B?UmU6IGx1bmNoIOAgbWlkaQ==?=");
    EXPECT_EQ(testsupport::SmtpPeer::Header(sent, "Content-Type"),
              "Text/Plain; charset=ISO-8859-1");
    EXPECT_EQ(testsupport::SmtpPeer::DecodedBody(sent),
              (Lines{"-- ", "Bob", "", kOriginalMessage, "> line 1", "> line 2"}));
    EXPECT_EQ(Status(), "message sent");
    EXPECT_FALSE(list.Composing);
    EXPECT_FALSE(view.panelVisible);
    EXPECT_EQ(peer.commands.back(), "QUIT");
    // The displayed message is left as it was: a second reply goes to its sender again.
    list.ReplyClick();
    EXPECT_EQ(panel.to.Text(), "ann@example.org");
}

TEST_F(ReplyTest, TextBeyondLatin1GoesOutInUtf8) {
    state.Tables.AccountTable[0].auth_name = "Bj\xC3\xB6rn";
    state.NotepadMode = true;
    list.ReplyClick();
    panel.to.SetText("ann@example.org");
    panel.body.Add("\xE2\x82\xAC 5");  // the euro sign is not in ISO-8859-1
    list.ReplyClick();
    ASSERT_EQ(peer.deliveries.size(), 1u);
    const testsupport::SmtpPeer::Delivery& sent = peer.deliveries[0];
    EXPECT_EQ(testsupport::SmtpPeer::Header(sent, "From"),
              "=?UTF-8?B?QmrDtnJu?= <bob@example.net>");
    EXPECT_EQ(testsupport::SmtpPeer::Header(sent, "Content-Type"), "Text/Plain; charset=UTF-8");
    EXPECT_EQ(testsupport::SmtpPeer::DecodedBody(sent).back(), "\xE2\x82\xAC 5");
    EXPECT_EQ(testsupport::SmtpPeer::Header(sent, "In-Reply-To"), "");
}

TEST_F(ReplyTest, ProgressIsShownWithTheSizeAndCappedAt100) {
    Show(kAnnMessage);
    list.ReplyClick();
    std::vector<std::string> progress;
    peer.onDataLine = [&] {
        if (progress.empty())
            progress.push_back(Status());
    };
    list.Mesg->Size = 3000;
    smtp.OnSendProgress(&smtp, 120);
    EXPECT_EQ(Status(), "sending 100% sur 0K");  // no send runs: no message size
    list.ReplyClick();
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress[0], "new message");
    bool sawSize = false;
    for (const std::string& text : mainWindow.drawn)
        sawSize = sawSize || text == "sending 100% sur 2K";
    EXPECT_TRUE(sawSize);
}

TEST_F(ReplyTest, PanelStaysOpenWhenNothingGoesOut) {
    Show(kAnnMessage);
    list.ReplyClick();

    panel.to.SetText("  ");
    list.ReplyClick();
    EXPECT_EQ(peer.sessions, 0);
    EXPECT_TRUE(list.Composing);

    panel.to.SetText("nobody@example.org");
    peer.refused = {"nobody@example.org"};
    list.ReplyClick();
    EXPECT_TRUE(peer.deliveries.empty());
    EXPECT_EQ(Status(), "5.1.1 No such user here");
    EXPECT_TRUE(list.Composing);
    EXPECT_TRUE(view.panelVisible);

    // An identity without an address: refused by the client, in a message box.
    state.Tables.AccountTable[0].auth_addr = "";
    list.ReplyClick();
    EXPECT_EQ(dialogs.messages, Lines{"\"From\" field not specified."});
    EXPECT_TRUE(list.Composing);
    EXPECT_EQ(peer.sessions, 2);
    EXPECT_EQ(peer.commands.back(), "QUIT");
}

TEST_F(ReplyTest, DeleteCancelsAndASecondReplyIsHeldOff) {
    Show(kAnnMessage);
    list.ReplyClick();
    int lines = 0;
    peer.onDataLine = [&] {
        if (++lines == 2) {
            list.ReplyClick();  // held off: no second session
            list.DeleteClick();
        }
    };
    list.ReplyClick();
    EXPECT_EQ(peer.sessions, 1);
    EXPECT_TRUE(peer.deliveries.empty());
    EXPECT_TRUE(list.Composing);
    EXPECT_EQ(Status(), "Aborted.");
    EXPECT_EQ(box.Count(), 1);  // Delete while composing deletes no message
    EXPECT_NE(peer.commands.back(), "QUIT");
}

TEST_F(ReplyTest, WithoutTheBuiltInSenderReplyOpensAMailtoLink) {
    state.Config.vrmail = false;
    Show("From:    ann@example.org  \n\nhi\n");
    list.Mesg->From = "  ann@example.org ";
    list.ReplyClick();
    EXPECT_EQ(shell.opened, Lines{"mailto:ann@example.org"});
    EXPECT_FALSE(list.Composing);
    state.NotepadMode = true;
    list.ReplyClick();
    EXPECT_EQ(shell.opened.size(), 1u);
}

TEST_F(ReplyTest, AMailtoLinkNamesTheSenderAloneOrIsNotOpened) {
    state.Config.vrmail = false;
    Show("From: <x?attach=/etc/passwd&to=evil@evil.example>\n\nhi\n");
    list.ReplyClick();
    EXPECT_EQ(shell.opened, Lines{"mailto:x%3Fattach%3D%2Fetc%2Fpasswd%26to%3Devil@evil.example"});

    list.Mesg->From = "a@x.org?attach=/etc/passwd";
    list.ReplyClick();
    EXPECT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(Status(), "\"a@x.org?attach=/etc/passwd\" is not a valid address.");
}

}  // namespace
}  // namespace msgwindow::test
