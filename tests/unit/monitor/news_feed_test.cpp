#include "MonitorFakes.h"

#include "monitor/NewsFeed.h"

namespace monitor::test {
namespace {

TEST(NewsFormatTest, ParseNewsServerFields) {
    struct Row {
        const char* name;
        const char* line;
        NewsServer expected;
    };
    const Row rows[] = {
        {"four fields, trimmed",
         " Daily | http://d.example/ | Daily news |d.example/n.txt ",
         {"Daily", "http://d.example/", "Daily news", "d.example/n.txt"}},
        {"no bar at all: every field but the last is empty",
         "just a name",
         {"", "", "", "just a name"}},
        {"two fields", "A|B", {"A", "", "", "B"}},
        {"empty fields", "|||", {"", "", "", ""}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const NewsServer server = ParseNewsServer(row.line);
        EXPECT_EQ(server.Name, row.expected.Name);
        EXPECT_EQ(server.WebAddress, row.expected.WebAddress);
        EXPECT_EQ(server.Description, row.expected.Description);
        EXPECT_EQ(server.NewsFile, row.expected.NewsFile);
    }
}

TEST(NewsFormatTest, EntriesOfAFile) {
    struct Row {
        const char* name;
        std::string content;
        std::vector<std::string> expected;
    };
    const std::vector<std::string> three = {" one ", " two ", " three "};
    const Row rows[] = {
        {"CR LF line ends", "one\r\ntwo\r\nthree\r\n", three},
        {"LF only", "one\ntwo\nthree\n", three},
        {"CR only, no end on the last line", "one\rtwo\rthree", three},
        {"Ctrl-Z ends the file", "one\r\ntwo\r\nthree\r\n\x1aignored\r\n", three},
        {"empty file", "", {}},
        {"blank lines give no entry", "\r\n\n\r\n", {}},
        {"an endless line is cut",
         std::string(5000, 'a') + "\r\nb\r\n",
         {" " + std::string(1024, 'a') + " ", " b "}},
        {"a long text keeps its link",
         std::string(2000, 'a') + "###http://x.org/\r\n",
         {" " + std::string(1024, 'a') + "###http://x.org/ "}},
        {"an endless link is dropped, not cut",
         "news###http://x.org/" + std::string(2000, 'a'),
         {" news "}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(SplitNewsEntries(row.content), row.expected);
    }
}

TEST(NewsFormatTest, BuiltInTextsUseTheNewsHost) {
    EXPECT_EQ(ServerListAddress(), std::string(VORLA_NEWS_HOST_FOR_TEST) + "/Vorla/lstsrven.txt");
    const NewsServer server = ParseNewsServer(DefaultServerLine());
    EXPECT_EQ(server.Name, "Vorla");
    EXPECT_EQ(server.NewsFile,
              std::string("http://") + VORLA_NEWS_HOST_FOR_TEST + "/Vorla/vorlaen.txt");
    EXPECT_EQ(skin::ItemLink(CreditItem()),
              std::string("http://") + VORLA_NEWS_HOST_FOR_TEST + "/Vorla/");
    EXPECT_EQ(SkinGalleryAddress(),
              std::string("http://") + VORLA_NEWS_HOST_FOR_TEST + "/Vorla/skins/welcome.htm");
}

class NewsFeedTest : public MonitorTest {
protected:
    void Connect() {
        Box("pop.test").Fill(0);
        ASSERT_TRUE(Start({{"Box", "pop.test"}}));
        jobs->Cycle.ConnectClick();
        ASSERT_TRUE(jobs->Shared.IsConnected);
    }
    std::string DefaultNewsUrl() const { return ParseNewsServer(DefaultServerLine()).NewsFile; }
    bool Exists(const char* file) const { return std::filesystem::exists(Folder() + file); }
};

TEST_F(NewsFeedTest, NotConnectedShowsOnlyTheCreditItem) {
    ASSERT_TRUE(Start({{"Box", "pop.test"}}));
    EXPECT_TRUE(downloader.urls.empty());
    EXPECT_EQ(jobs->Ticker.NewsLines, std::vector<std::string>{CreditItem()});
    EXPECT_EQ(jobs->Ticker.TickerText, skin::ItemText(CreditItem()));
}

TEST_F(NewsFeedTest, ConnectingReadsTheServerListAndTheNews) {
    downloader.bodies[ServerListAddress()] =
        "One|http://1/|first|1.example/n.txt\r\nTwo|http://2/|second|2.example/n.txt\r\n";
    downloader.bodies[std::string("http://") + VORLA_NEWS_HOST_FOR_TEST + "/Vorla/vorlaen.txt"] =
        "first item###http://example.org/a\r\nsecond item\r\n";
    Connect();
    EXPECT_EQ(downloader.urls, (std::vector<std::string>{ServerListAddress(), DefaultNewsUrl()}));
    ASSERT_EQ(jobs->News.NewsServers.size(), 3u);
    EXPECT_EQ(jobs->News.NewsServers[0], DefaultServerLine());
    EXPECT_EQ(jobs->Ticker.NewsLines,
              (std::vector<std::string>{" first item###http://example.org/a ", " second item "}));
    EXPECT_EQ(jobs->Ticker.TickerText, " first item");
    EXPECT_EQ(view.Count("status reading news servers..."), 1);
    EXPECT_EQ(view.Count("status reading news..."), 1);
    EXPECT_FALSE(Exists(kServerListFile));
    EXPECT_FALSE(Exists(kNewsFile));

    const auto& menu = jobs->Menu.PopMnuPopup();
    ASSERT_EQ(menu.NewsItems.size(), 3u);
    EXPECT_EQ(menu.NewsItems[2].Caption, "Two");
    EXPECT_EQ(menu.NewsItems[2].Tag, 2);

    downloader.bodies["2.example/n.txt"] = "from two\n";
    jobs->News.NewsServerClick(2);
    EXPECT_EQ(jobs->Shared.Config.srv_news, 2);
    EXPECT_EQ(jobs->Ticker.NewsLines, std::vector<std::string>{" from two "});
}

TEST_F(NewsFeedTest, FailedOrEmptyDownloadGivesOneCreditItem) {
    Connect();
    EXPECT_EQ(jobs->Ticker.NewsLines, std::vector<std::string>{CreditItem()}) << "download failed";

    downloader.bodies[DefaultNewsUrl()] = "";
    jobs->News.LitVrNews();
    EXPECT_EQ(jobs->Ticker.NewsLines, std::vector<std::string>{CreditItem()}) << "empty file";
}

TEST_F(NewsFeedTest, LeftoverServerListIsReadEvenWhenDisconnected) {
    ASSERT_TRUE(Start({{"Box", "pop.test"}}));
    WriteFile(kServerListFile, "Old|http://o/|old|o.example/n.txt\r\n");
    jobs->News.Actualiser1Click();
    EXPECT_TRUE(downloader.urls.empty());
    EXPECT_EQ(jobs->News.NewsServers.size(), 2u);
    EXPECT_FALSE(Exists(kServerListFile));
}

TEST_F(NewsFeedTest, ServerIndexPastTheListFallsBackToTheDefaultServer) {
    downloader.bodies[DefaultNewsUrl()] = "default news\r\n";
    Connect();
    jobs->Shared.Config.srv_news = 9;
    jobs->News.LitVrNews();
    EXPECT_EQ(downloader.urls.back(), DefaultNewsUrl());
    EXPECT_EQ(jobs->Ticker.NewsLines, std::vector<std::string>{" default news "});
    EXPECT_EQ(jobs->Shared.Config.srv_news, 9) << "the choice is kept for a list that grows again";
}

TEST_F(NewsFeedTest, NewsFileIsReadOnlyUpToTheDownloadLimit) {
    downloader.bodies[DefaultNewsUrl()] =
        "first\r\n" + std::string(1024 * 1024, 'x') + "\r\nbeyond the limit\r\n";
    Connect();
    ASSERT_EQ(jobs->Ticker.NewsLines.size(), 2u);
    EXPECT_EQ(jobs->Ticker.NewsLines[0], " first ");
    EXPECT_EQ(jobs->Ticker.NewsLines[1].find("beyond"), std::string::npos);
    EXPECT_FALSE(Exists(kNewsFile));
}

TEST_F(NewsFeedTest, UpperCaseMarkerIsNoLink) {
    downloader.bodies[DefaultNewsUrl()] = "shout###HTTP://example.org/\r\n";
    Connect();
    EXPECT_EQ(jobs->Ticker.TickerText, " shout###HTTP://example.org/ ");
}

TEST_F(NewsFeedTest, AClickOpensOnlyAWebLink) {
    downloader.bodies[DefaultNewsUrl()] =
        "page###https://example.org/\r\nfile###http:/etc/passwd\r\n";
    Connect();
    for (const int index : {0, 1}) {
        jobs->Ticker.NewsIndex = index;
        jobs->Ticker.StatusMouseDown({.Left = true});
    }
    EXPECT_EQ(shell.opened, std::vector<std::string>{"https://example.org/"});
}

TEST_F(NewsFeedTest, ZeroSizeDownloadReplacesTheItemsWithTheCredit) {
    Connect();
    jobs->Ticker.NewsLines = {" a ", " b "};
    jobs->News.GetNewsDoneFile(Folder() + kNewsFile, 12);
    EXPECT_EQ(jobs->Ticker.NewsLines.size(), 2u);
    jobs->News.GetNewsDoneFile(Folder() + kNewsFile, 0);
    EXPECT_EQ(jobs->Ticker.NewsLines, std::vector<std::string>{CreditItem()});
}

TEST_F(NewsFeedTest, NewsWithoutADeclaredLengthFollowTheCreditItem) {
    downloader.bodies[DefaultNewsUrl()] = "one\r\ntwo\r\n";
    downloader.declared[DefaultNewsUrl()] = 0;
    Connect();
    EXPECT_EQ(jobs->Ticker.NewsLines, (std::vector<std::string>{CreditItem(), " one ", " two "}));

    downloader.bodies[DefaultNewsUrl()] = "";
    jobs->News.LitVrNews();
    EXPECT_EQ(jobs->Ticker.NewsLines, std::vector<std::string>{CreditItem()})
        << "an empty file adds no second one";
}

}  // namespace
}  // namespace monitor::test
