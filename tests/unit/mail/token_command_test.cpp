#include "mail/TokenCommand.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "FakeEventPump.h"
#include "TempFolder.h"
#include "mail/MailError.h"

using namespace std::chrono_literals;

namespace {

// Gone, or a zombie that only waits for init to collect it.
bool Ended(pid_t pid) {
    if (::kill(pid, 0) != 0 && errno == ESRCH) {
        return true;
    }
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto close = line.rfind(')');
    return close != std::string::npos && line.size() > close + 2 && line[close + 2] == 'Z';
}

// A command that overstays its time-out takes what it started in the background with it.
TEST(RunTokenCommand, TimeOutEndsWhatTheCommandStarted) {
    testsupport::TempFolder folder;
    testsupport::FakeEventPump pump;
    const std::string pidFile = folder.File("pid");
    EXPECT_THROW(
        mail::RunTokenCommand("sleep 57 & echo $! > " + pidFile + "; sleep 100", 300, pump),
        mail::MailError);
    pid_t background = 0;
    std::ifstream(pidFile) >> background;
    ASSERT_GT(background, 0);
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!Ended(background) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    const bool ended = Ended(background);
    if (!ended) {
        ::kill(background, SIGKILL);
    }
    EXPECT_TRUE(ended) << "pid " << background << " outlived the time-out";
}

// A descriptor the program holds open (here one opened without close-on-exec, as a library
// might) is not handed to the command.
TEST(RunTokenCommand, CommandInheritsNoDescriptor) {
    testsupport::FakeEventPump pump;
    // Far above what the shell itself opens while it lists its descriptors.
    const int opened = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(opened, 0);
    const int held = ::fcntl(opened, F_DUPFD, 40);
    ::close(opened);
    ASSERT_GE(held, 40);
    const std::string listed = mail::RunTokenCommand(
        "for f in /proc/$$/fd/*; do printf '%s ' \"${f##*/}\"; done; echo", 5000, pump);
    ::close(held);
    std::istringstream words(listed);
    std::vector<int> fds;
    for (int fd = 0; words >> fd;) {
        fds.push_back(fd);
    }
    EXPECT_FALSE(fds.empty()) << listed;
    EXPECT_EQ(std::count(fds.begin(), fds.end(), held), 0) << listed;
}

}  // namespace
