// The scripted mailbox itself, driven by the real client: what the other tests rely on.
#include <gtest/gtest.h>

#include <algorithm>

#include "FakeClock.h"
#include "FakeEventPump.h"
#include "Pop3Mailbox.h"
#include "mail/QelPOP3.h"

namespace {

class Pop3MailboxTest : public ::testing::Test {
protected:
    Pop3MailboxTest() : factory(box), pop(factory, pump, clock) {
        pop.Host = "127.0.0.1";
        pop.OnError = [this](mail::TObject*, int error, const std::string&) {
            errors.push_back(error);
        };
    }

    void Session() {
        pop.Connect();
        ASSERT_TRUE(pop.Login("bob", "secret"));
        pop.GetMailCount();
    }

    testsupport::Pop3Mailbox box;
    testsupport::Pop3MailboxFactory factory;
    testsupport::FakeEventPump pump;
    testsupport::FakeClock clock;
    mail::TQelPOP pop;
    std::vector<int> errors;
};

TEST_F(Pop3MailboxTest, CountsTopAndRetrieveWithDotStuffing) {
    box.Add("From: a@x.org\nSubject: one\n\nfirst\n.hidden dot\n..\nlast\n");
    box.Add("Subject: two\n\nbody\n");
    Session();
    EXPECT_EQ(pop.MessageCount, 2u);
    EXPECT_FALSE(pop.LastSupported);

    auto top = pop.RetrieveTop(1, 0);
    EXPECT_EQ(top->Subject, "one");
    EXPECT_TRUE(top->Text.empty());
    EXPECT_EQ(top->Size, static_cast<long long>(box.Raw(1).size()));

    auto whole = pop.RetrieveMessage(1);
    EXPECT_EQ(whole->Text, (mail::TextLines{"first", ".hidden dot", "..", "last"}));
    EXPECT_TRUE(errors.empty());
}

TEST_F(Pop3MailboxTest, DeletionsTakeEffectAtQuitOnly) {
    box.Add("Subject: one\n\na\n");
    box.Add("Subject: two\n\nb\n");
    Session();
    pop.DeleteMessage(1);
    EXPECT_EQ(box.Count(), 2) << "not before QUIT";
    pop.Quit();
    ASSERT_EQ(box.Count(), 1);
    EXPECT_NE(box.Raw(1).find("two"), std::string::npos);

    Session();
    pop.DeleteMessage(1);
    pop.Connect();  // the session ends without QUIT
    EXPECT_EQ(box.Count(), 1);
}

TEST_F(Pop3MailboxTest, RefusalsRunTheClientsFailurePath) {
    box.Add("Subject: one\n\na\n");
    pop.Connect();
    EXPECT_FALSE(pop.Login("bob", "wrong"));
    EXPECT_EQ(errors, (std::vector<int>{mail::TQelPOP::kErrLogin}));

    Session();
    auto missing = pop.RetrieveTop(7, 0);
    EXPECT_FALSE(pop.Connected);
    EXPECT_EQ(errors.back(), mail::TQelPOP::kErrRetrieve);
}

TEST_F(Pop3MailboxTest, BigMessageArrivesInPiecesWithProgress) {
    std::string body;
    for (int i = 0; i < 400; ++i)
        body += "line " + std::to_string(i) + " of a long message\n";
    box.Add("Subject: big\n\n" + body);
    box.chunkSize = 300;
    std::vector<std::uint16_t> progress;
    pop.OnRetrieveProgress = [&](mail::TObject*, std::uint16_t p) { progress.push_back(p); };
    Session();
    auto message = pop.RetrieveMessage(1);
    EXPECT_EQ(message->Text.size(), 400u);
    ASSERT_GE(progress.size(), 9u);
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_GE(progress.back(), 100);
    EXPECT_GE(pump.calls, 10) << "the client pumps between the pieces";
}

}  // namespace
