#include <gtest/gtest.h>

#include "DovecotServer.h"
#include "DovecotSuiteTest.h"
#include "TestMessages.h"
#include "mail/PosixTransport.h"
#include "mail/QelPOP3.h"

namespace {

using mail::TQelPOP;

std::string FirstRaw() {
    // As stored: the server stuffs the dots on the wire, the client must undo exactly that.
    return mailit::PlainMessage("first", "line 1\r\nline 2\r\n.two dots\r\n.\r\nline 5\r\n");
}

class DovecotTest : public harness::DovecotSuiteTest {
protected:
    static void SetUpTestSuite() { Serve(false, {FirstRaw(), mailit::MultipartMessage()}); }

    DovecotTest() {
        pop.OnError = [this](mail::TObject*, int e, const std::string& m) {
            error = e;
            errorText = m;
        };
    }

    void LogIn() {
        pop.Connect();
        ASSERT_FALSE(pop.Failed) << pop.ReplyText;
        ASSERT_TRUE(pop.Login(Server().User(), Server().Pass())) << errorText;
    }

    int error = 0;
    std::string errorText;
};

TEST_F(DovecotTest, StatAndLast) {
    LogIn();
    pop.GetMailCount();
    EXPECT_EQ(pop.MessageCount, 2u);
    // Dovecot has no LAST: the count stays, nothing is reported.
    EXPECT_FALSE(pop.LastSupported);
    EXPECT_EQ(pop.NewMessageCount, 0);
    EXPECT_EQ(error, 0);
    EXPECT_TRUE(pop.Connected);
    pop.Quit();
    EXPECT_FALSE(pop.Connected);
    EXPECT_FALSE(pop.Failed);
}

TEST_F(DovecotTest, TopWithoutLinesGivesTheHeader) {
    LogIn();
    auto msg = pop.RetrieveTop(1, 0);
    EXPECT_EQ(msg->Subject, "first");
    EXPECT_EQ(msg->From, "ann@example.org");
    EXPECT_TRUE(msg->Text.empty());
    EXPECT_EQ(msg->Size, static_cast<long long>(FirstRaw().size())) << "the LIST size";
    pop.Quit();
}

TEST_F(DovecotTest, TopWithLinesAndUnstuffing) {
    LogIn();
    auto msg = pop.RetrieveTop(1, 3);
    EXPECT_EQ(msg->Text, (mail::TextLines{"line 1", "line 2", ".two dots"}));
    auto whole = pop.RetrieveMessage(1);
    EXPECT_EQ(whole->Text, (mail::TextLines{"line 1", "line 2", ".two dots", ".", "line 5"}));
    pop.Quit();
}

TEST_F(DovecotTest, RetrieveMultipartWithIntactAttachment) {
    pop.GetUIDLsOnRetrieve = true;
    std::vector<std::uint16_t> progress;
    pop.OnRetrieveProgress = [&](mail::TObject*, std::uint16_t p) { progress.push_back(p); };
    LogIn();
    auto msg = pop.RetrieveMessage(2);
    EXPECT_EQ(msg->Subject, "with attachment");
    EXPECT_EQ(msg->Text, (mail::TextLines{"See the file.", ".leading dot"}));
    ASSERT_EQ(msg->AttachedFiles.Count(), 1u);
    EXPECT_EQ(msg->AttachedFiles.Items(0).FileName, "all.bin");
    EXPECT_TRUE(msg->AttachedFiles.Items(0).Data.Bytes() == mailit::AttachmentBytes())
        << "attachment damaged";
    EXPECT_FALSE(msg->UIDL.empty());
    EXPECT_EQ(msg->UIDL, pop.GetUIDL(2));
    ASSERT_FALSE(progress.empty());
    EXPECT_GE(progress.back(), 100);
    EXPECT_GT(progress.size(), 3u) << "a 14 KB message arrives in many chunks";
    pop.Quit();
    EXPECT_EQ(error, 0);
}

TEST_F(DovecotTest, WrongPasswordGives2001WithTheServerText) {
    pop.Connect();
    EXPECT_FALSE(pop.Login(Server().User(), "wrong"));
    EXPECT_EQ(error, 2001);
    EXPECT_EQ(errorText, "[AUTH] Authentication failed.");
    EXPECT_FALSE(pop.Connected);
}

TEST_F(DovecotTest, RefusedRetrieveOfAMissingMessage) {
    LogIn();
    auto msg = pop.RetrieveMessage(99);
    EXPECT_EQ(error, 2004);
    EXPECT_TRUE(msg->RawMail.empty());
    EXPECT_FALSE(pop.Connected);
}

TEST(DovecotDelete, DeleteThenQuitRemovesTheMessage) {
    harness::DovecotServer server;
    server.AddMessage(mailit::PlainMessage("keep", "a\r\n"));
    server.AddMessage(mailit::PlainMessage("remove", "b\r\n"));
    mail::PosixTransportFactory factory;
    platform::NullEventPump pump;
    TQelPOP pop(factory, pump);
    server.PointAt(pop);
    pop.Connect();
    ASSERT_TRUE(pop.Login(server.User(), server.Pass()));
    pop.GetMailCount();
    pop.DeleteMessage(2);
    EXPECT_EQ(pop.MessageCount, 1u);
    EXPECT_EQ(pop.DeletedList, (mail::StringList{"2"}));
    pop.Quit();
    EXPECT_EQ(server.MessageFiles(), 1);
    pop.Connect();
    ASSERT_TRUE(pop.Login(server.User(), server.Pass()));
    pop.GetMailCount();
    EXPECT_EQ(pop.MessageCount, 1u);
    EXPECT_EQ(pop.RetrieveTop(1, 0)->Subject, "keep");
    pop.Quit();
}

}  // namespace
