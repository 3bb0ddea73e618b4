#include "mail/TokenCommand.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "mail/MailError.h"
#include "mail/qel_util.h"

namespace mail {

namespace {

constexpr int kSliceMs = 50;
constexpr std::size_t kMaxTokenLine = 64 * 1024;

// Ends the child: at once when it overstayed, otherwise it has a moment to exit on its own.
// The child leads its own process group, so what the command started in the background ends
// with it instead of living on under init.
int Reap(pid_t pid, bool kill) {
    if (kill)
        ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

}  // namespace

std::string RunTokenCommand(const std::string& command, std::uint32_t timeoutMs,
                            platform::EventPump& pump, Clock& clock) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        throw MailError(std::string("The token command cannot start: ") + std::strerror(errno));
    const pid_t pid = ::fork();
    if (pid < 0) {
        const int error = errno;
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        throw MailError(std::string("The token command cannot start: ") + std::strerror(error));
    }
    if (pid == 0) {
        ::setpgid(0, 0);
        ::dup2(pipeFds[1], STDOUT_FILENO);
        const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
        if (null >= 0) {
            ::dup2(null, STDIN_FILENO);
        }
        // Whatever the program or its libraries opened stays with the program.
        ::closefrom(STDERR_FILENO + 1);
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Set on both sides, so the group exists before either goes on.
    ::setpgid(pid, pid);
    ::close(pipeFds[1]);
    std::string output;
    const std::int64_t start = clock.NowMs();
    bool ended = false;
    bool late = false;
    while (output.find('\n') == std::string::npos && output.size() < kMaxTokenLine) {
        if (clock.NowMs() - start >= static_cast<std::int64_t>(timeoutMs)) {
            late = true;
            break;
        }
        pollfd p{pipeFds[0], POLLIN, 0};
        const int r = ::poll(&p, 1, kSliceMs);
        if (r > 0) {
            char buffer[4096];
            const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
            if (n == 0) {
                ended = true;
                break;
            }
            if (n > 0)
                output.append(buffer, static_cast<std::size_t>(n));
            else if (errno != EINTR && errno != EAGAIN)
                break;
        }
        pump.ProcessMessages();
    }
    ::close(pipeFds[0]);
    // Its first line is all we take; a command that lingers after it is ended.
    const int status = Reap(pid, !ended);
    if (late)
        throw MailError("The token command did not answer within " + std::to_string(timeoutMs) +
                        " ms.");
    if (ended && WIFEXITED(status) && WEXITSTATUS(status) != 0)
        throw MailError("The token command failed with exit code " +
                        std::to_string(WEXITSTATUS(status)) + ".");
    const std::string token = Trim(output.substr(0, output.find('\n')));
    if (token.empty())
        throw MailError("The token command printed no token.");
    return token;
}

std::string Base64Line(const std::string& bytes) {
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                  reinterpret_cast<const unsigned char*>(bytes.data()),
                                  static_cast<int>(bytes.size()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::string XOAuth2Response(const std::string& user, const std::string& token) {
    return Base64Line("user=" + user + "\x01" + "auth=Bearer " + token + "\x01\x01");
}

}  // namespace mail
