// The keyring's calls are bounded: a Secret Service that never answers gives up the call, and
// the windows keep being served meanwhile.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include <gtest/gtest.h>

#include "FakeEventPump.h"
#include "ScopedEnv.h"
#include "TempFolder.h"
#include "platform/LibsecretStore.h"

namespace {

// A session bus that takes connections and never says a word.
class SilentBus {
public:
    explicit SilentBus(const std::string& path) : m_socket(::socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        bound = m_socket >= 0 &&
                ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                ::listen(m_socket, 8) == 0;
    }
    ~SilentBus() { ::close(m_socket); }
    SilentBus(const SilentBus&) = delete;
    SilentBus& operator=(const SilentBus&) = delete;

    bool bound = false;

private:
    int m_socket;
};

TEST(LibsecretStore, AKeyringThatNeverAnswersIsGivenUpWhileThePumpRuns) {
    // A short path: a unix socket's path holds at most 107 bytes.
    testsupport::TempFolder folder;
    const std::string path = folder.Folder() + "bus";
    SilentBus bus(path);
    ASSERT_TRUE(bus.bound) << path;
    const testsupport::ScopedEnv address("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + path);
    const testsupport::ScopedEnv backend("SECRET_BACKEND", "service");
    testsupport::FakeEventPump pump;
    platform::LibsecretStore store(pump, std::chrono::milliseconds(300));

    std::string password = "untouched";
    const platform::SecretReply reply =
        store.Lookup({"alice", "pop.example.org", "pop3", 110}, password);
    EXPECT_EQ(reply.Status, platform::SecretStatus::Unavailable);
    EXPECT_EQ(reply.Error, "no answer within 1 s");
    EXPECT_EQ(password, "untouched");
    EXPECT_GT(pump.calls, 0);
}

}  // namespace
