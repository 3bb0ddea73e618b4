#pragma once
// A test server written in Python (one of this folder's scripts under Debian's /usr/bin/python3:
// a python3 earlier in PATH may not see the packages the scripts import), in a temporary folder
// of its own that goes with it; the server's stderr is kept there in stderr.log.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ServerProcess.h"

namespace harness {

class PythonServer {
public:
    PythonServer(const PythonServer&) = delete;
    PythonServer& operator=(const PythonServer&) = delete;

    std::uint16_t Port() const { return m_port; }
    void Stop();

protected:
    // Makes the folder, named with the prefix.
    explicit PythonServer(const std::string& prefix);
    ~PythonServer();
    // Starts the script with the arguments and waits for the port it prints; throws
    // std::runtime_error "<what> did not start: <its stderr>" when none comes.
    void Launch(const std::string& what, const std::string& script,
                const std::vector<std::string>& arguments);

    const std::string m_folder;

private:
    std::uint16_t m_port = 0;
    std::unique_ptr<ServerProcess> m_process;
};

}  // namespace harness
