#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "MonitorFakes.h"

namespace monitor::test {
namespace {

// While it lives, no file of the process may grow past a few bytes: a write of the settings
// fails as on a full disk, whoever runs the test (root passes every permission check).
class TinyFileLimit {
public:
    TinyFileLimit() {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tiny = m_old;
        tiny.rlim_cur = 8;
        setrlimit(RLIMIT_FSIZE, &tiny);
    }
    ~TinyFileLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldSignal);
    }
    TinyFileLimit(const TinyFileLimit&) = delete;
    TinyFileLimit& operator=(const TinyFileLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldSignal)(int) = nullptr;
};

// Catches what is written to standard error meanwhile, through a pipe, since the file limit
// above would cut a capture into a file short.
class StderrPipe {
public:
    StderrPipe() {
        if (::pipe(m_pipe) == 0) {
            m_saved = ::dup(STDERR_FILENO);
            ::dup2(m_pipe[1], STDERR_FILENO);
        }
    }
    ~StderrPipe() { static_cast<void>(Text()); }
    StderrPipe(const StderrPipe&) = delete;
    StderrPipe& operator=(const StderrPipe&) = delete;

    // Ends the capture; what was written, at most a pipe's buffer.
    std::string Text() {
        if (m_saved >= 0) {
            std::fflush(stderr);
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
            ::close(m_pipe[1]);
            m_saved = -1;
            char buffer[4096];
            for (ssize_t got = 0; (got = ::read(m_pipe[0], buffer, sizeof buffer)) > 0;) {
                m_text.append(buffer, static_cast<std::size_t>(got));
            }
            ::close(m_pipe[0]);
        }
        return m_text;
    }

private:
    int m_pipe[2] = {-1, -1};
    int m_saved = -1;
    std::string m_text;
};

class SessionEndTest : public MonitorTest {
protected:
    std::string ReadIni() const { return ReadFile("Vorla.ini"); }
    std::string WriteFailure() const {
        return "Cannot write " + Folder() + "Vorla.ini: " + std::strerror(EFBIG);
    }
};

TEST_F(SessionEndTest, ExitWithAnUnwritableSettingsFileTellsOnceAndEnds) {
    ASSERT_TRUE(Start({}, {"icon_tray =1"}));
    const std::string before = ReadIni();
    {
        TinyFileLimit limit;
        vorla->Exit1Click();
    }
    EXPECT_EQ(view.With("message "), std::vector<std::string>{"message " + WriteFailure()});
    EXPECT_EQ(view.calls.back(), "close");
    EXPECT_EQ(view.Count("tray-remove"), 1);
    EXPECT_EQ(ReadIni(), before) << "the old file stays whole";
}

TEST_F(SessionEndTest, SessionEndWithAnUnwritableSettingsFileWaitsForNobody) {
    ASSERT_TRUE(Start({}));
    const std::string before = ReadIni();
    StderrPipe stderrPipe;
    {
        TinyFileLimit limit;
        EXPECT_TRUE(vorla->QueryEndSession());
    }
    const std::string reported = stderrPipe.Text();
    EXPECT_TRUE(view.With("message ").empty());
    EXPECT_EQ(view.calls.back(), "close");
    EXPECT_NE(reported.find(WriteFailure()), std::string::npos) << reported;
    EXPECT_EQ(ReadIni(), before);
}

TEST_F(SessionEndTest, CheckpointSavesAndGoesOn) {
    ASSERT_TRUE(Start({}, {"icon_tray =1", "autocheck =1"}));
    vorla->CommitData();
    const std::string saved = ReadIni();
    EXPECT_NE(saved.find("posX = 120\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("icon_tray =1\r\n"), std::string::npos) << saved;
    EXPECT_EQ(view.Count("close"), 0);
    EXPECT_EQ(view.Count("tray-remove"), 0);
    EXPECT_TRUE(jobs->Ticker.Scroll.Enabled()) << "the program runs on";
}

}  // namespace
}  // namespace monitor::test
