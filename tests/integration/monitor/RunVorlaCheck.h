#pragma once
// Runs the vorla-check tool of the build on arguments and returns what it printed.
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace monitor::test {

// status receives the exit code, or -1 when the tool did not exit by itself (a signal).
inline std::string RunVorlaCheck(const std::string& arguments, int& status) {
    const std::string command = std::string(VORLA_CHECK) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    while (pipe && fgets(buffer, sizeof buffer, pipe)) {
        output += buffer;
    }
    const int raw = pipe ? pclose(pipe) : -1;
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return output;
}

}  // namespace monitor::test
