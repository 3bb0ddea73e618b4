#include "PythonServer.h"

#include <chrono>

#include "DovecotServer.h"

namespace harness {

PythonServer::PythonServer(const std::string& prefix) : m_folder(MakeTempFolder(prefix)) {}

PythonServer::~PythonServer() {
    Stop();
    RemoveTree(m_folder);
}

void PythonServer::Stop() {
    if (m_process)
        m_process->Stop();
}

void PythonServer::Launch(const std::string& what, const std::string& script,
                          const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{"/usr/bin/python3", "-u",
                                  std::string(VORLA_HARNESS_DIR) + "/" + script};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    m_process = std::make_unique<ServerProcess>(
        ServerProcess::Options{argv, {}, m_folder, m_folder + "/stderr.log"});
    m_port = m_process->StartForPort(what, std::chrono::seconds(15));
}

}  // namespace harness
