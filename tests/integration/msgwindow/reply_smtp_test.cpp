// The reply composer against a real SMTP server (aiosmtpd): what arrives, and a refusal.
#include <gtest/gtest.h>

#include "MsgWindowFakes.h"
#include "Pop3Mailbox.h"
#include "RecordingDialogs.h"
#include "RecordingShell.h"
#include "SmtpServer.h"
#include "TempFolder.h"
#include "app/composition/ComponentAdapters.h"
#include "app/composition/QelSmtpClient.h"
#include "mail/PosixTransport.h"
#include "mail/QelSMTP.h"
#include "msgwindow/Charset.h"
#include "msgwindow/MsgList.h"
#include "msgwindow/ReplyComposer.h"

namespace {

using Lines = std::vector<std::string>;

mail::StringList SplitCrLf(const std::string& data) {
    mail::StringList lines;
    std::size_t from = 0, eol;
    while ((eol = data.find("\r\n", from)) != std::string::npos) {
        lines.push_back(data.substr(from, eol - from));
        from = eol + 2;
    }
    return lines;
}

std::string HeaderValue(const std::string& data, const std::string& name) {
    for (const std::string& line : SplitCrLf(data)) {
        if (line.empty())
            break;
        if (line.rfind(name + ": ", 0) == 0)
            return line.substr(name.size() + 2);
    }
    return "";
}

class ReplySmtpTest : public ::testing::Test {
protected:
    ReplySmtpTest() {
        pop.Host = "127.0.0.1";  // the scripted mailbox stands for a server on this machine
        state.IsConnected = true;
        state.CurrentAccount = 1;
        state.Config.vrmail = true;
        state.Config.sendorg = true;
        state.Config.smtphost = "127.0.0.1";
        state.Config.smtpport = server.Port();
        state.Tables.AccountCount = 1;
        settings::AccountRecord& home = state.Tables.AccountTable[0];
        home.acc_name = "Home";
        home.user_name = box.user;
        home.password = box.password;
        state.PopAccount = 1;
        home.auth_name = "Bob Stone";
        home.auth_addr = "bob@example.net";
        home.isign = true;
        folder.Write("sig.txt", "-- \r\nBob\r\n");
        home.auth_sign = folder.File("sig.txt");
        smtp.TimeOut = 10000;
    }

    void ShowAndReply() {
        box.Add(
            "From: Ann <ann@example.org>\nTo: bob@example.net\nCC: carl@example.org\n"
            "Subject: lunch\nMessage-ID: <m2@example.org>\nIn-Reply-To: <m1@example.net>\n\n"
            "see you\n");
        pop.Connect();
        ASSERT_TRUE(pop.Login(box.user, box.password));
        pop.GetMailCount();
        state.WaitingCount = static_cast<int>(pop.MessageCount);
        list.DisplayMessage(1, false);
        list.ReplyClick();
        ASSERT_TRUE(list.Composing);
    }

    harness::SmtpServer server;
    testsupport::TempFolder folder;
    testsupport::Pop3Mailbox box;
    testsupport::Pop3MailboxFactory popFactory{box};
    mail::PosixTransportFactory transports;
    platform::NullEventPump pump;
    mail::TQelPOP pop{popFactory, pump};
    app::QelPopClient popClient{pop};
    mail::TQelSMTP smtp{transports, pump};
    app::QelSmtpClient sender{smtp};
    monitor::Commun state;
    testsupport::FakeMainWindow mainWindow;
    msgwindow::MemoLines memo;
    testsupport::FakeMsgView view;
    testsupport::RecordingDialogs dialogs;
    testsupport::RecordingShell shell;
    msgwindow::ReplyPanelFields panel;
    msgwindow::TMsgList list{{state, mainWindow, popClient, memo, view, dialogs, dialogs, pump}};
    msgwindow::TReplyComposer& composer = list.AttachComposer({sender, shell, panel});
};

TEST_F(ReplySmtpTest, ReplyArrivesWithIdentitySignatureQuoteAndThreading) {
    ShowAndReply();
    list.ReplyClick();
    EXPECT_EQ(mainWindow.drawn.back(), "message sent");
    EXPECT_FALSE(list.Composing);
    const std::vector<harness::SmtpServer::Delivery> sent = server.Deliveries();
    ASSERT_EQ(sent.size(), 2u) << "one transaction for To, one for CC";
    EXPECT_EQ(sent[0].mailFrom, "bob@example.net");
    EXPECT_EQ(sent[0].rcptTo, Lines{"ann@example.org"});
    EXPECT_EQ(sent[1].rcptTo, Lines{"carl@example.org"});

    const std::string& data = sent[0].data;
    EXPECT_EQ(HeaderValue(data, "In-Reply-To"), "<m2@example.org>");
    EXPECT_EQ(msgwindow::DecodeHeaderWordsToUtf8(HeaderValue(data, "From")),
              "Bob Stone <bob@example.net>");
    EXPECT_EQ(mail::SplitAddressList(HeaderValue(data, "CC")), Lines{"carl@example.org"});
    mail::TQelMsg received;
    received.RawMail = SplitCrLf(data);
    received.ParseMessage();
    EXPECT_EQ(received.Subject, "Re: lunch");
    EXPECT_EQ(received.Text,
              (mail::TextLines{"-- ", "Bob", "", "--- Original Message ---", "> see you"}));
    pop.Quit();
}

TEST_F(ReplySmtpTest, RefusedRecipientKeepsThePanelWithTheServersText) {
    ShowAndReply();
    panel.to.SetText("nobody@example.org");
    list.ReplyClick();
    EXPECT_TRUE(server.Deliveries().empty());
    EXPECT_TRUE(list.Composing);
    EXPECT_TRUE(view.panelVisible);
    EXPECT_EQ(mainWindow.drawn.back(), "5.1.1 No such user here");
    // The next send starts afresh and goes through.
    panel.to.SetText("ann@example.org");
    list.ReplyClick();
    EXPECT_EQ(mainWindow.drawn.back(), "message sent");
    EXPECT_EQ(server.Deliveries().size(), 2u);
    pop.Quit();
}

}  // namespace
