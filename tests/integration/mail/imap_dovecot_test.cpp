#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "DovecotServer.h"
#include "DovecotSuiteTest.h"
#include "TestMessages.h"
#include "mail/QelIMAP.h"

namespace {

using mail::TlsMode;
using mail::TQelIMAP;

// A fixture of IMAP sessions against the suite's Dovecot.
class ImapSession : public harness::DovecotSuiteTest {
protected:
    ImapSession() {
        Server().PointAt(imap);
        imap.TimeOut = 10000;
        imap.OnError = [this](mail::TObject*, int e, const std::string& m) {
            error = e;
            errorText = m;
        };
    }

    // Logs in and opens INBOX, by SELECT when it is to be changed.
    void Open(bool select = false) {
        imap.Connect();
        ASSERT_FALSE(imap.Failed) << imap.ReplyText;
        ASSERT_TRUE(imap.Login(Server().User(), Server().Pass())) << errorText;
        ASSERT_TRUE(select ? imap.Select("INBOX") : imap.Examine("INBOX")) << errorText;
    }

    std::uint32_t UnseenNow() {
        TQelIMAP other(factory, pump);
        Server().PointAt(other);
        other.Connect();
        EXPECT_TRUE(other.Login(Server().User(), Server().Pass()));
        EXPECT_TRUE(other.Examine("INBOX"));
        other.GetMailCount(true);
        other.Logout();
        return other.MessageCount;
    }

    TQelIMAP imap{factory, pump};
    int error = 0;
    std::string errorText;
};

class ImapDovecotTest : public ImapSession {
protected:
    static void SetUpTestSuite() {
        Serve(false, {});
        Server().AddMessage(mailit::PlainMessage("read before", "old\r\n"), true);
        Server().AddMessage(mailit::PlainMessage("first", "line 1\r\n.dot\r\n"));
        Server().AddMessage(mailit::MultipartMessage());
    }
};

TEST_F(ImapDovecotTest, CountsUnseenAndAllAndReadsWithoutSettingSeen) {
    Open();
    EXPECT_EQ(imap.Exists, 3u);
    EXPECT_NE(imap.UidValidity, 0u);
    imap.GetMailCount(false);
    EXPECT_EQ(imap.MessageCount, 3u);
    imap.GetMailCount(true);
    ASSERT_EQ(imap.Uids.size(), 2u);
    EXPECT_EQ(imap.MessageCount, 2u);

    auto header = imap.FetchHeader(imap.Uids[0]);
    EXPECT_EQ(header->Subject, "first");
    EXPECT_TRUE(header->Text.empty());
    auto whole = imap.FetchMessage(imap.Uids[1]);
    EXPECT_EQ(whole->Subject, "with attachment");
    ASSERT_EQ(whole->AttachedFiles.Count(), 1u);
    EXPECT_EQ(whole->Size, static_cast<long long>(mailit::MultipartMessage().size()));
    imap.Logout();
    EXPECT_FALSE(imap.Connected);
    EXPECT_EQ(error, 0) << errorText;
    EXPECT_EQ(UnseenNow(), 2u) << "reading set \\Seen";
}

TEST_F(ImapDovecotTest, DeleteRemovesThatMessageOnly) {
    const int before = Server().MessageFiles();
    Server().AddMessage(mailit::PlainMessage("to delete", "x\r\n"));
    Open(true);
    const std::vector<std::uint32_t> all = imap.Search("ALL");
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(imap.FetchHeader(all.back())->Subject, "to delete");
    EXPECT_TRUE(imap.DeleteMessage(all.back())) << errorText;
    imap.Logout();
    EXPECT_EQ(Server().MessageFiles(), before);
    EXPECT_EQ(error, 0) << errorText;
}

TEST_F(ImapDovecotTest, IdleHearsOfADeliveryAtOnce) {
    Open(true);
    const std::uint32_t before = imap.Exists;
    std::chrono::steady_clock::time_point delivered;
    std::thread delivery([&delivered] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        delivered = std::chrono::steady_clock::now();
        Server().AddMessage(mailit::PlainMessage("pushed", "new\r\n"));
    });
    std::uint32_t heard = 0;
    const bool idled = imap.Idle(8000, [&heard](std::uint32_t exists) {
        heard = exists;
        return true;
    });
    const auto after = std::chrono::steady_clock::now();
    delivery.join();
    ASSERT_TRUE(idled) << errorText;
    EXPECT_EQ(heard, before + 1);
    std::printf(
        "delivery to EXISTS in IDLE: %lld ms\n",
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(after - delivered).count()));
    // Leave the folder as the other tests expect it.
    const std::vector<std::uint32_t> all = imap.Search("ALL");
    ASSERT_FALSE(all.empty());
    EXPECT_TRUE(imap.DeleteMessage(all.back())) << errorText;
    imap.Logout();
}

TEST_F(ImapDovecotTest, TokenCommandLogsInWithXOAuth2) {
    imap.OAuthCommand = "echo " + harness::DovecotServer::Token();
    imap.Connect();
    EXPECT_TRUE(imap.Login(Server().User(), "")) << errorText;
    EXPECT_TRUE(imap.Examine("INBOX")) << errorText;
    imap.Logout();

    imap.OAuthCommand = "echo " + Server().Pass();
    imap.Connect();
    EXPECT_FALSE(imap.Login(Server().User(), ""));
    EXPECT_EQ(error, TQelIMAP::kErrLogin);
}

class ImapTlsTest : public ImapSession {
protected:
    static void SetUpTestSuite() { Serve(true, {mailit::PlainMessage("secure", "x\r\n")}); }
};

TEST_F(ImapTlsTest, ImapsAndStartTlsWithThePinnedCertificate) {
    struct Row {
        const char* name;
        TlsMode mode;
        std::uint16_t port;
        std::string pin;
        bool opens;
    } rows[] = {
        {"IMAPS", TlsMode::Tls, Server().ImapsPort(), Server().Fingerprint(), true},
        {"STARTTLS", TlsMode::StartTls, Server().ImapPort(), Server().Fingerprint(), true},
        {"IMAPS, wrong pin", TlsMode::Tls, Server().ImapsPort(), std::string(64, 'A'), false},
        {"STARTTLS, wrong pin", TlsMode::StartTls, Server().ImapPort(), std::string(64, 'A'),
         false},
    };
    for (const Row& row : rows) {
        error = 0;
        imap.Security = row.mode;
        imap.Port = std::to_string(row.port);
        imap.TlsFingerprint = row.pin;
        std::string sent;
        imap.OnSendTextToSocket = [&sent](mail::TObject*, const std::string& s) { sent += s; };
        imap.Connect();
        const bool opened =
            !imap.Failed && imap.Login(Server().User(), Server().Pass()) && imap.Examine("INBOX");
        EXPECT_EQ(opened, row.opens) << row.name << ": " << errorText;
        if (opened)
            EXPECT_EQ(imap.Exists, 1u) << row.name;
        else
            EXPECT_EQ(sent.find("LOGIN"), std::string::npos) << row.name << ": " << sent;
        imap.Logout();
    }
}

}  // namespace
