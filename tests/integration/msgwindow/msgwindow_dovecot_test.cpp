#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>

#include "DovecotServer.h"
#include "MsgWindowFakes.h"
#include "PopFaultServer.h"
#include "RecordingDialogs.h"
#include "SmtpServer.h"
#include "TempFolder.h"
#include "app/composition/ComponentAdapters.h"
#include "mail/PosixTransport.h"
#include "mail/QelMIME.h"
#include "msgwindow/MsgList.h"
#include "platform/EventPump.h"

namespace {

std::string Message(const std::string& subject, const std::string& body = "body\r\n") {
    return "From: Ann <ann@example.org>\r\nTo: vorla@example.org\r\nSubject: " + subject +
           "\r\n\r\n" + body;
}

// Every byte value, so a decoding fault cannot hide.
std::string AllBytes() {
    std::string bytes;
    for (int i = 0; i < 256 * 4; ++i)
        bytes += static_cast<char>(i % 256);
    return bytes;
}

std::string WithAttachment(const std::string& name, const std::string& content) {
    return "From: a@example.org\r\nSubject: file\r\nContent-Type: multipart/mixed; "
           "boundary=\"BB\"\r\n\r\n--BB\r\nContent-Type: text/plain\r\n\r\nsee file\r\n--BB\r\n"
           "Content-Type: application/octet-stream; name=\"" +
           name + "\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" + mail::EncodeBase64(content) +
           "\r\n--BB--\r\n";
}

class MsgWindowDovecotTest : public ::testing::Test {
protected:
    MsgWindowDovecotTest() {
        pop.TimeOut = 10000;
        state.IsConnected = true;
        state.CurrentAccount = 1;
        popClient.OnError = [this](int, const std::string& text) {
            state.SetErrorNotice("Dove " + pop.ReplyStatus + " " + text);
        };
    }

    void Open() {
        server.PointAt(pop);
        // The account the client points at: the window logs in again with it after a delete.
        state.Tables.AccountCount = 1;
        state.Tables.AccountTable[0].user_name = server.User();
        state.Tables.AccountTable[0].password = server.Pass();
        state.PopAccount = 1;
        pop.Connect();
        ASSERT_TRUE(pop.Login(server.User(), server.Pass()));
        pop.GetMailCount();
        state.WaitingCount = static_cast<int>(pop.MessageCount);
        list.DisplayMessage(1, false);
    }
    std::string Subject() const { return memo.Lines().at(2); }

    harness::DovecotServer server;
    mail::PosixTransportFactory transports;
    platform::NullEventPump pump;
    mail::TQelPOP pop{transports, pump};
    app::QelPopClient popClient{pop};
    monitor::Commun state;
    testsupport::FakeMainWindow mainWindow;
    msgwindow::MemoLines memo;
    testsupport::FakeMsgView view;
    testsupport::RecordingDialogs dialogs;
    msgwindow::TMsgList list{{state, mainWindow, popClient, memo, view, dialogs, dialogs, pump}};
};

TEST_F(MsgWindowDovecotTest, PagesReadsAndDeletesOnTheServer) {
    for (const char* subject : {"one", "two", "three"})
        server.AddMessage(Message(subject));
    state.Config.header_only = true;
    Open();
    EXPECT_EQ(Subject(), "Subj : one");
    EXPECT_EQ(memo.Lines().size(), 6u) << "header only";
    list.PrevClick();
    EXPECT_EQ(Subject(), "Subj : three");
    list.readmailClick();
    EXPECT_EQ(memo.Lines().back(), "body");

    list.DeleteClick();
    EXPECT_EQ(server.MessageFiles(), 2) << "gone from the Maildir after the QUIT";
    EXPECT_EQ(state.WaitingCount, 2);
    EXPECT_EQ(Subject(), "Subj : one");
    list.NextClick();
    EXPECT_EQ(Subject(), "Subj : two");
    EXPECT_EQ(state.ErrorNotice(), "");
    pop.Quit();
}

TEST_F(MsgWindowDovecotTest, SavesAnAttachmentByteForByte) {
    server.AddMessage(WithAttachment("data.bin", AllBytes()));
    Open();
    testsupport::TempFolder folder;
    dialogs.answers = {folder.File("data.bin")};
    list.Files().SaveClick();
    EXPECT_EQ(dialogs.proposed, std::vector<std::string>{"data.bin"});
    EXPECT_EQ(folder.Read("data.bin"), AllBytes());
    EXPECT_TRUE(dialogs.messages.empty());
    pop.Quit();
}

// Runs vorla-msgwindow and returns its standard output; status receives the exit code.
std::string RunTool(const std::string& arguments, int& status) {
    const std::string command = std::string(VORLA_MSGWINDOW) + " " + arguments;
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    while (pipe && fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    const int raw = pipe ? pclose(pipe) : -1;
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

// The same account on POP3 and on IMAP (unseen messages counted): the window shows, pages,
// saves and deletes with the same texts, and IMAP reading leaves the messages unseen.
struct MailboxRow {
    std::string name;
    bool imap;
};

void PrintTo(const MailboxRow& row, std::ostream* out) {
    *out << row.name;
}

class VorlaMsgWindowMailbox : public ::testing::TestWithParam<MailboxRow> {};

INSTANTIATE_TEST_SUITE_P(Protocols, VorlaMsgWindowMailbox,
                         ::testing::Values(MailboxRow{"Pop3", false}, MailboxRow{"Imap", true}),
                         [](const auto& info) { return info.param.name; });

TEST_P(VorlaMsgWindowMailbox, PrintsEachStepAndWritesNoSettings) {
    harness::DovecotServer server;
    std::string big;
    for (int i = 0; i < 1000; ++i)
        big += std::string(70, 'b') + "\r\n";
    const std::string two = Message("two", big);
    server.AddMessage(Message("one"));
    server.AddMessage(two);
    server.AddMessage(WithAttachment("x.bin", "XYZ"));
    testsupport::TempFolder home;
    testsupport::TempFolder saved;
    const std::string ini =
        "current_skin = " VORLA_SKINS "/default/\r\nfilter =0\r\nconfirm_delete =1\r\n";
    home.Write("Vorla.ini", ini);
    home.Write("Accounts.ini",
               GetParam().imap ? server.Account(1, "Dove", server.ImapPort(), "protocol = imap\r\n")
                               : server.DoveAccount());
    // Saving into a folder without a dialog keeps the file that is there.
    saved.Write("x.bin", "kept");
    int status = -1;
    const std::string output = RunTool(
        home.Folder() + " delete answer:yes delete prev menu saveatt:" + saved.Folder() + " close",
        status);
    EXPECT_EQ(status, 0) << output;
    // Delete asks first; without an answer the question is answered No.
    const std::string question = "question: Delete this message from the server?\n";
    EXPECT_NE(output.find(question + "== delete\nmemo: From : Ann \nmemo: Addr : "
                                     "ann@example.org\nmemo: Subj : one\n"),
              std::string::npos)
        << output;
    const std::size_t answered = output.find("== answer:yes\n");
    ASSERT_NE(answered, std::string::npos) << output;
    EXPECT_NE(output.find(question + "== delete\nmemo: From : Ann \nmemo: Addr : "
                                     "ann@example.org\nmemo: Subj : two\n",
                          answered),
              std::string::npos)
        << output;
    // Once a message is shown, the status line says which of how many it is.
    EXPECT_NE(output.find("status: 1 of 2\ncount: 2\n== prev\n"), std::string::npos) << output;
    EXPECT_NE(output.find("status: 2 of 2\ncount: 2\nmenu: Read Mail=on\n"), std::string::npos)
        << output;
    EXPECT_NE(output.find("menu: Read Mail=on\nmenu: Read full mail=off\nmenu: Save "
                          "attachments=on\nmenu: Open file=off\nmenu: Save=off\nmenu: Save "
                          "as...=on\nmenu: Close window=on\n== menu\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("dialog: save x.bin\n== saveatt:"), std::string::npos) << output;
    EXPECT_NE(output.find("status: Dove 2 messages\ncount: 2\n"), std::string::npos) << output;
    EXPECT_EQ(saved.Read("x.bin"), "kept");
    EXPECT_EQ(saved.Read("x (2).bin"), "XYZ");
    EXPECT_EQ(server.MessageFiles(), 2);
    if (GetParam().imap) {
        EXPECT_EQ(server.SeenMessageFiles(), 0) << "reading sets no \\Seen";
    }
    EXPECT_EQ(home.Read("Vorla.ini"), ini);
}

// A server that counts three messages and then falls silent holds the window no longer
// than --timeout: opening the mailbox gives up and the window does not open.
TEST(VorlaMsgWindow, TimeOutBoundsASilentServer) {
    using Behaviour = harness::PopFaultServer::Behaviour;
    harness::PopFaultServer server({Behaviour::Answer, Behaviour::Answer, Behaviour::Silent});
    testsupport::TempFolder home;
    home.Write("Vorla.ini", "current_skin = " VORLA_SKINS "/default/\r\n");
    home.Write("Accounts.ini",
               "[Account1]\r\nacc_name = Box\r\nhost_name = 127.0.0.1\r\n"
               "user_name = u\r\nport_number = " +
                   std::to_string(server.Port()) + "\r\n");
    int status = -1;
    const auto start = std::chrono::steady_clock::now();
    const std::string output = RunTool(home.Folder() + " --timeout 500 close", status);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("message: Not connected."), std::string::npos) << output;
    EXPECT_LT(elapsed, std::chrono::seconds(20)) << "the default time-out of 60 s was used";
}

TEST(VorlaMsgWindow, NotepadModeWithoutMail) {
    harness::DovecotServer server;
    testsupport::TempFolder home;
    home.Write("Vorla.ini", "current_skin = " VORLA_SKINS "/default/\r\n");
    home.Write("Accounts.ini", server.DoveAccount());
    home.Write("note.txt", "first\r\nsecond\r\n");
    int status = -1;
    const std::string output = RunTool(
        home.Folder() + " open:" + home.File("note.txt") + " saveas:" + home.File("copy"), status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output.substr(0, output.find("== open:")),
              "== open\nstatus: notepad\ncount: 0\ndialog: open\n")
        << output;
    EXPECT_NE(output.find("memo: first\nmemo: second\nstatus: notepad\n"), std::string::npos)
        << output;
    EXPECT_EQ(home.Read("copy.txt"), "first\r\nsecond\r\n");
}

TEST(VorlaMsgWindow, WritesAndSendsANoteThroughThePanel) {
    harness::DovecotServer server;
    harness::SmtpServer smtp;
    testsupport::TempFolder home;
    home.Write("Vorla.ini", "current_skin = " VORLA_SKINS
                            "/default/\r\nvrmail =1\r\n"
                            "smtphost = 127.0.0.1\r\nsmtpport = " +
                                std::to_string(smtp.Port()) + "\r\n");
    home.Write("Accounts.ini", server.DoveAccount() + "auth_addr = bob@example.net\r\n");
    int status = -1;
    const std::string output = RunTool(home.Folder() +
                                           " reply to:ann@example.org 'subj:Gr\xC3\xBC\xC3\x9F"
                                           "e' 'body:a\\nb' send",
                                       status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("from: bob@example.net\nto: ann@example.org\nsubj: Gr\xC3\xBC\xC3\x9F"
                          "e\nbody: a\nbody: b\nstatus: new message\ncount: 0\n== send\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("== send\nstatus: message sent\n"), std::string::npos) << output;
    ASSERT_EQ(smtp.Deliveries().size(), 1u);
    EXPECT_NE(smtp.Deliveries()[0].data.find("Subject: =?ISO-8859-1?B?R3L832U=?="),
              std::string::npos);
}

}  // namespace
