#include "net/HTTPGet.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "DovecotServer.h"
#include "Files.h"
#include "HttpServer.h"
#include "ScopedEnv.h"
#include "TempFolder.h"
#include "platform/QueuedSynchronizer.h"

using namespace std::chrono_literals;

namespace {

using testsupport::ReadFile;

std::string Pattern(std::size_t size) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i)
        text += static_cast<char>('a' + i % 26);
    return text;
}

class HttpGetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The system's proxy settings apply to downloads; none must stand between the test and
        // its own server.
        setenv("no_proxy", "127.0.0.1", 1);
        setenv("NO_PROXY", "127.0.0.1", 1);
        server = std::make_unique<harness::HttpServer>();
        server->AddFile("news.txt", "first item\r\nsecond item\r\n");
        server->AddFile("big.bin", Pattern(5000));
        server->AddFile("empty.txt", "");
    }
    static void TearDownTestSuite() { server.reset(); }

    HttpGetTest() {
        target = folder.File("VrNews.Txt");
        get.Port = server->Port();
        get.FileName = target;
        get.WaitThread = true;
        get.OnDoneFile = [this](net::THTTPGet& sender, const std::string& name, std::int64_t size) {
            EXPECT_EQ(&sender, &get);
            EXPECT_EQ(std::this_thread::get_id(), windowThread);
            doneFiles.push_back({name, size});
        };
        get.OnError = [this](net::THTTPGet&) {
            EXPECT_EQ(std::this_thread::get_id(), windowThread);
            ++errors;
        };
    }

    // Runs a download of that path on the test server and waits for it.
    void Fetch(const std::string& path) {
        get.URL = "http://127.0.0.1" + path;
        get.DownloadFile();
        ASSERT_FALSE(get.Running());
    }

    // The request as the server's echo path saw it.
    std::string EchoedRequest() {
        Fetch("/echo");
        EXPECT_TRUE(get.Result());
        return ReadFile(target);
    }

    static inline std::unique_ptr<harness::HttpServer> server;
    platform::QueuedSynchronizer window;
    std::thread::id windowThread = std::this_thread::get_id();
    testsupport::TempFolder folder;
    std::string target;
    std::vector<std::pair<std::string, std::int64_t>> doneFiles;
    int errors = 0;
    net::THTTPGet get{window, window};
};

TEST_F(HttpGetTest, BodyWithContentLengthReachesTheFile) {
    get.BinaryData = true;
    Fetch("/news.txt");
    EXPECT_TRUE(get.Result());
    EXPECT_EQ(errors, 0);
    ASSERT_EQ(doneFiles.size(), 1u);
    EXPECT_EQ(doneFiles[0].first, target);
    EXPECT_EQ(doneFiles[0].second, 25);
    EXPECT_EQ(ReadFile(target), "first item\r\nsecond item\r\n");
}

TEST_F(HttpGetTest, AddressWithoutSchemeIsFetchedTheSameWay) {
    get.URL = "127.0.0.1/news.txt";
    get.DownloadFile();
    EXPECT_TRUE(get.Result());
    EXPECT_EQ(ReadFile(target), "first item\r\nsecond item\r\n");
}

TEST_F(HttpGetTest, ProgressComesInBlocksOnTheWorkerThread) {
    std::vector<std::int64_t> received;
    std::vector<std::int64_t> totals;
    bool onWorker = true;
    get.OnProgress = [&](net::THTTPGetThread&, std::int64_t total, std::int64_t soFar) {
        onWorker = onWorker && std::this_thread::get_id() != windowThread;
        totals.push_back(total);
        received.push_back(soFar);
    };
    Fetch("/big.bin");
    ASSERT_TRUE(get.Result());
    EXPECT_EQ(ReadFile(target), Pattern(5000));
    ASSERT_GE(received.size(), 5u) << "5000 bytes take at least five blocks of 1025";
    EXPECT_EQ(received.back(), 5000);
    for (std::size_t i = 0; i < received.size(); ++i) {
        const std::int64_t block = received[i] - (i ? received[i - 1] : 0);
        EXPECT_GT(block, 0);
        EXPECT_LE(block, 1025);
        EXPECT_EQ(totals[i], 5000);
    }
    EXPECT_TRUE(onWorker);
}

TEST_F(HttpGetTest, MissingLength) {
    struct Row {
        const char* name;
        bool binaryData;
        bool success;
    };
    for (const Row row : {Row{"binary data needs a length", true, false},
                          Row{"text goes ahead without one", false, true}}) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(target);
        doneFiles.clear();
        errors = 0;
        get.BinaryData = row.binaryData;
        Fetch("/nolength/news.txt");
        EXPECT_EQ(get.Result(), row.success);
        if (row.success) {
            ASSERT_EQ(doneFiles.size(), 1u);
            EXPECT_EQ(doneFiles[0].second, 0) << "no length was declared";
            EXPECT_EQ(ReadFile(target), "first item\r\nsecond item\r\n");
        } else {
            EXPECT_EQ(errors, 1);
            EXPECT_TRUE(doneFiles.empty());
            EXPECT_FALSE(std::filesystem::exists(target)) << "nothing is written";
        }
    }
}

TEST_F(HttpGetTest, LengthThatIsNotANumberFails) {
    for (bool binaryData : {true, false}) {
        SCOPED_TRACE(binaryData ? "binary" : "text");
        errors = 0;
        get.BinaryData = binaryData;
        Fetch("/badlength/news.txt");
        EXPECT_FALSE(get.Result());
        EXPECT_EQ(errors, 1);
        EXPECT_TRUE(doneFiles.empty());
        EXPECT_FALSE(std::filesystem::exists(target));
    }
}

TEST_F(HttpGetTest, NotFoundPageCountsAsADownload) {
    get.BinaryData = true;
    Fetch("/no-such-file.txt");
    EXPECT_TRUE(get.Result()) << "status codes are not examined";
    ASSERT_EQ(doneFiles.size(), 1u);
    const std::string page = ReadFile(target);
    EXPECT_NE(page.find("404"), std::string::npos) << page;
    EXPECT_EQ(doneFiles[0].second, static_cast<std::int64_t>(page.size()));
}

TEST_F(HttpGetTest, EmptyBodyFailsButLeavesAnEmptyFile) {
    std::ofstream(target) << "left from an earlier run";
    Fetch("/empty.txt");
    EXPECT_FALSE(get.Result());
    EXPECT_EQ(errors, 1);
    ASSERT_TRUE(std::filesystem::exists(target));
    EXPECT_EQ(std::filesystem::file_size(target), 0u);
}

TEST_F(HttpGetTest, OlderLongerFileIsOverwritten) {
    std::ofstream(target) << Pattern(3000);
    Fetch("/news.txt");
    EXPECT_EQ(ReadFile(target), "first item\r\nsecond item\r\n");
}

// A link planted at the download's name must not let the body overwrite the file it names.
TEST_F(HttpGetTest, LinkAtTheFileNameIsReplacedNotFollowed) {
    const std::string victim = folder.File("victim.txt");
    testsupport::WriteFile(victim, "keep me");
    std::filesystem::create_symlink(victim, target);
    Fetch("/news.txt");
    EXPECT_TRUE(get.Result());
    EXPECT_EQ(ReadFile(victim), "keep me");
    EXPECT_FALSE(std::filesystem::is_symlink(target));
    EXPECT_EQ(ReadFile(target), "first item\r\nsecond item\r\n");
}

TEST_F(HttpGetTest, BodyCutShortOfItsLengthFails) {
    Fetch("/short/news.txt");
    EXPECT_FALSE(get.Result());
    EXPECT_EQ(errors, 1);
    EXPECT_TRUE(doneFiles.empty());
}

TEST_F(HttpGetTest, RedirectIsFollowed) {
    Fetch("/redirect/news.txt");
    EXPECT_TRUE(get.Result());
    EXPECT_EQ(ReadFile(target), "first item\r\nsecond item\r\n");
    ASSERT_EQ(doneFiles.size(), 1u);
    EXPECT_EQ(doneFiles[0].second, 25) << "the length of the final response";
}

TEST_F(HttpGetTest, RequestIsAnUncachedHttp10Get) {
    get.Referer = "http://vorla.example/";
    const std::string request = EchoedRequest();
    EXPECT_EQ(request.rfind("GET /echo HTTP/1.0\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("User-Agent: Vorla\n"), std::string::npos) << request;
    EXPECT_NE(request.find("Referer: http://vorla.example/\n"), std::string::npos) << request;
    EXPECT_NE(request.find("Pragma: no-cache\n"), std::string::npos) << request;
    EXPECT_EQ(request.find("Accept:"), std::string::npos) << request;
    EXPECT_EQ(request.find("Authorization:"), std::string::npos) << request;
}

TEST_F(HttpGetTest, EmptyAgentSendsNone) {
    get.Agent = "";
    EXPECT_EQ(EchoedRequest().find("User-Agent:"), std::string::npos);
}

TEST_F(HttpGetTest, CredentialsAreSent) {
    get.UserName = "jdoe";
    get.Password = "secret";
    // "jdoe:secret" in base64.
    EXPECT_NE(EchoedRequest().find("Authorization: Basic amRvZTpzZWNyZXQ=\n"), std::string::npos);
}

TEST_F(HttpGetTest, PostQueryTravelsAsTheBodyOfAGet) {
    get.PostQuery = "lang=en&v=1";
    const std::string request = EchoedRequest();
    EXPECT_EQ(request.rfind("GET /echo HTTP/1.0\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("Content-Length: 11\n"), std::string::npos) << request;
    EXPECT_EQ(request.substr(request.size() - 11), "lang=en&v=1");
}

TEST_F(HttpGetTest, RefusedConnectionFails) {
    get.Port = harness::ServerProcess::FreePort();
    Fetch("/news.txt");
    EXPECT_FALSE(get.Result());
    EXPECT_EQ(errors, 1);
}

TEST_F(HttpGetTest, UnwritableFileFails) {
    get.FileName = folder.File("no-such-folder/VrNews.Txt");
    Fetch("/news.txt");
    EXPECT_FALSE(get.Result());
    EXPECT_EQ(errors, 1);
}

TEST_F(HttpGetTest, CompletionWaitsForTheWindowThreadAndASecondStartIsIgnored) {
    get.WaitThread = false;
    get.URL = "http://127.0.0.1/news.txt";
    get.DownloadFile();
    get.URL = "http://127.0.0.1/big.bin";
    get.DownloadFile();
    EXPECT_TRUE(get.Running());

    ASSERT_TRUE(window.WaitForCall(30s));
    EXPECT_TRUE(doneFiles.empty())
        << "nothing is raised before the window thread runs the completion";
    window.ProcessMessages();
    EXPECT_FALSE(get.Running());
    ASSERT_EQ(doneFiles.size(), 1u);
    EXPECT_EQ(ReadFile(target), "first item\r\nsecond item\r\n");

    get.DownloadFile();
    ASSERT_TRUE(window.WaitForCall(30s));
    window.ProcessMessages();
    EXPECT_EQ(ReadFile(target), Pattern(5000)) << "after the completion the next download starts";
}

TEST_F(HttpGetTest, CompletionStoresTheResultRaisesThenClearsTheWorker) {
    const std::string first = target;
    get.WaitThread = false;
    get.URL = "http://127.0.0.1/news.txt";
    get.OnDoneFile = [&](net::THTTPGet& sender, const std::string& name, std::int64_t size) {
        EXPECT_TRUE(sender.Result());
        EXPECT_TRUE(sender.Running()) << "the worker is cleared only after the event";
        sender.DownloadFile();
        doneFiles.push_back({name, size});
    };
    get.DownloadFile();
    get.FileName = folder.File("changed.txt");

    ASSERT_TRUE(window.WaitForCall(30s));
    window.ProcessMessages();
    EXPECT_FALSE(get.Running()) << "the start from inside the event was ignored";
    ASSERT_EQ(doneFiles.size(), 1u);
    EXPECT_EQ(doneFiles[0].first, first) << "the worker's own copy of the file name";
    EXPECT_EQ(ReadFile(first), "first item\r\nsecond item\r\n");
    EXPECT_FALSE(std::filesystem::exists(get.FileName));
}

TEST_F(HttpGetTest, DripFeedingServerRunsIntoTheDeadline) {
    // 25 bytes at ten a second would arrive in full after 2.5 s; the low-speed limit alone lets
    // such a server go on for ever.
    get.Deadline = 300ms;
    Fetch("/drip/news.txt");
    EXPECT_FALSE(get.Result());
    EXPECT_EQ(errors, 1);
    EXPECT_TRUE(doneFiles.empty());
}

TEST_F(HttpGetTest, BodyOverTheSizeLimitFails) {
    struct Row {
        const char* name;
        const char* path;
        std::int64_t limit;
        bool success;
    };
    const Row rows[] = {
        {"declared longer than the limit", "/big.bin", 4999, false},
        {"no length declared, the body grows past the limit", "/nolength/big.bin", 4999, false},
        {"exactly the limit", "/big.bin", 5000, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(target);
        doneFiles.clear();
        errors = 0;
        get.SizeLimit = row.limit;
        Fetch(row.path);
        EXPECT_EQ(get.Result(), row.success);
        EXPECT_EQ(errors, row.success ? 0 : 1);
        if (std::filesystem::exists(target)) {
            EXPECT_LE(static_cast<std::int64_t>(std::filesystem::file_size(target)), row.limit);
        }
    }
}

TEST_F(HttpGetTest, ReservedNamesAreNeverAskedFor) {
    // Every download goes through the test server as the system's HTTP proxy: a name is then
    // not looked up here, and a request that leaves for it reaches the test server.
    const testsupport::ScopedEnv proxy("http_proxy",
                                       "http://127.0.0.1:" + std::to_string(server->Port()));
    struct Row {
        const char* name;
        const char* url;
        bool asked;
    };
    const Row rows[] = {
        {"an ordinary name goes out", "http://news.vorla.net/news.txt", true},
        {"the built-in placeholder", "http://news.vorla.example/Vorla/vorlaen.txt", false},
        {"capitals and the root's dot", "NEWS.INVALID./x.txt", false},
        {"a test name", "http://a.test/x.txt", false},
        {"redirected to one", "http://127.0.0.1/away/news.vorla.example/x.txt", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove(target);
        errors = 0;
        doneFiles.clear();
        get.URL = row.url;
        get.DownloadFile();
        EXPECT_EQ(get.Result(), row.asked);
        EXPECT_EQ(errors, row.asked ? 0 : 1);
        EXPECT_EQ(std::filesystem::exists(target), row.asked);
    }
}

TEST_F(HttpGetTest, DestroyedDuringATransferEndsItWithoutEvents) {
    std::mutex mutex;
    std::condition_variable changed;
    bool started = false;
    auto local = std::make_unique<net::THTTPGet>(window, window);
    local->Port = server->Port();
    local->FileName = target;
    local->URL = "http://127.0.0.1/stall/news.txt";
    local->OnProgress = [&](net::THTTPGetThread&, std::int64_t, std::int64_t) {
        std::lock_guard lock(mutex);
        started = true;
        changed.notify_all();
    };
    local->OnDoneFile = [&](net::THTTPGet&, const std::string&, std::int64_t) { ++errors; };
    local->OnError = [&](net::THTTPGet&) { ++errors; };
    local->DownloadFile();
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 30s, [&] { return started; }));
    }
    const auto destroying = std::chrono::steady_clock::now();
    local.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - destroying, 20s)
        << "the stalled transfer was aborted";
    EXPECT_EQ(errors, 0);
}

}  // namespace
