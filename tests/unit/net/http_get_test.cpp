#include "net/HTTPGet.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/QueuedSynchronizer.h"

using namespace std::chrono_literals;

namespace {

// Downloads that fail before any connection is made, so no server is needed.
class HttpGetWithoutServer : public ::testing::Test {
protected:
    HttpGetWithoutServer() {
        target = std::filesystem::temp_directory_path() /
                 ("vorla-net-" + std::to_string(::getpid()) + ".txt");
        std::filesystem::remove(target);
        get.FileName = target.string();
        get.OnDoneFile = [this](net::THTTPGet&, const std::string&, std::int64_t) { ++done; };
        get.OnError = [this](net::THTTPGet& sender) {
            EXPECT_EQ(&sender, &get);
            EXPECT_EQ(std::this_thread::get_id(), windowThread);
            ++errors;
        };
    }
    ~HttpGetWithoutServer() override { std::filesystem::remove(target); }

    platform::QueuedSynchronizer window;
    std::thread::id windowThread = std::this_thread::get_id();
    std::filesystem::path target;
    int done = 0;
    int errors = 0;
    net::THTTPGet get{window, window};
};

TEST_F(HttpGetWithoutServer, AddressesThatCannotBeConnectedFailOnTheWindowThread) {
    struct Row {
        const char* name;
        const char* url;
    };
    const Row rows[] = {
        {"no path, so no host", "news.example"},
        {"secure scheme", "https://127.0.0.1/x"},
        {"explicit port", "http://127.0.0.1:8080/x"},
        {"credentials in the host", "http://user@127.0.0.1/x"},
    };
    get.WaitThread = true;
    int expectedErrors = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        get.URL = row.url;
        get.DownloadFile();
        EXPECT_FALSE(get.Running());
        EXPECT_FALSE(get.Result());
        EXPECT_EQ(errors, ++expectedErrors);
        EXPECT_EQ(done, 0);
        EXPECT_FALSE(std::filesystem::exists(target));
    }
}

TEST_F(HttpGetWithoutServer, SecondDownloadWhileOneRunsIsIgnored) {
    get.URL = "no-host";
    get.DownloadFile();
    ASSERT_TRUE(get.Running());
    get.URL = "http://127.0.0.1:1/other";
    get.DownloadFile();

    ASSERT_TRUE(window.WaitForCall(10s));
    window.ProcessMessages();
    EXPECT_FALSE(get.Running());
    EXPECT_EQ(errors, 1);
}

TEST_F(HttpGetWithoutServer, HandlerRunningDuringTheWaitCannotStartAnother) {
    int pumped = 0;
    window.OnProcessMessages = [&] {
        ++pumped;
        get.DownloadFile();
    };
    get.WaitThread = true;
    get.URL = "no-host";
    get.DownloadFile();
    EXPECT_GE(pumped, 1);
    EXPECT_EQ(errors, 1);
    EXPECT_FALSE(get.Running());
    // The destructor waits for the worker's end by pumping too: the handler goes with `pumped`.
    window.OnProcessMessages = nullptr;
}

TEST_F(HttpGetWithoutServer, OnErrorSeesTheResultStoredAndTheDownloadStillRunning) {
    bool seen = false;
    get.OnError = [&](net::THTTPGet& sender) {
        seen = true;
        EXPECT_FALSE(sender.Result());
        EXPECT_TRUE(sender.Running()) << "the worker is cleared only after the event";
        sender.URL = "other-host";
        sender.DownloadFile();
        ++errors;
    };
    get.URL = "no-host";
    get.DownloadFile();
    ASSERT_TRUE(window.WaitForCall(10s));
    window.ProcessMessages();
    EXPECT_TRUE(seen);
    EXPECT_FALSE(get.Running()) << "the start from inside the event was ignored";
    EXPECT_EQ(window.PendingCalls(), 0u);
    EXPECT_EQ(errors, 1);
}

TEST_F(HttpGetWithoutServer, DestroyedWhileItsCompletionIsPendingRaisesNothing) {
    {
        net::THTTPGet local(window, window);
        local.URL = "no-host";
        local.OnError = [this](net::THTTPGet&) { ++errors; };
        local.DownloadFile();
        ASSERT_TRUE(window.WaitForCall(10s));
    }
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(window.PendingCalls(), 0u);
}

TEST(QueuedSynchronizer, WorkerCallsRunOnlyWhenTheOwnerPumps) {
    platform::QueuedSynchronizer window;
    std::thread::id ranOn;
    bool returned = false;
    std::thread worker([&] {
        window.Synchronize([&] { ranOn = std::this_thread::get_id(); });
        returned = true;
    });
    ASSERT_TRUE(window.WaitForCall(10s));
    EXPECT_EQ(window.PendingCalls(), 1u);
    window.ProcessMessages();
    worker.join();
    EXPECT_TRUE(returned);
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(QueuedSynchronizer, OwnerCallsRunAtOnce) {
    platform::QueuedSynchronizer window;
    bool ran = false;
    window.Synchronize([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_EQ(window.PendingCalls(), 0u);
}

TEST(QueuedSynchronizer, ThrowingCallReleasesItsWorkerAndKeepsTheRest) {
    platform::QueuedSynchronizer window;
    std::thread first([&] { window.Synchronize([] { throw std::runtime_error("boom"); }); });
    ASSERT_TRUE(window.WaitForCall(10s));
    bool secondRan = false;
    std::thread second;
    // The second call is queued only after the first, so the order is fixed.
    second = std::thread([&] { window.Synchronize([&] { secondRan = true; }); });
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (window.PendingCalls() < 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_EQ(window.PendingCalls(), 2u);

    EXPECT_THROW(window.ProcessMessages(), std::runtime_error);
    first.join();
    EXPECT_FALSE(secondRan);
    EXPECT_EQ(window.PendingCalls(), 1u);
    window.ProcessMessages();
    second.join();
    EXPECT_TRUE(secondRan);
}

}  // namespace
