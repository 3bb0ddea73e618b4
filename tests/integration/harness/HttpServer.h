#pragma once
// A private HTTP server on 127.0.0.1 for tests (Python's http.server through http_server.py):
// it serves the files of a temporary folder, plus the special paths the script describes.
#include <cstdint>
#include <memory>
#include <string>

#include "ServerProcess.h"

namespace harness {

class HttpServer {
public:
    // Starts the server; throws std::runtime_error when it does not report its port.
    HttpServer();
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    std::uint16_t Port() const { return m_port; }
    // The folder whose files are served.
    const std::string& Folder() const { return m_served; }
    // Writes a file into the served folder.
    void AddFile(const std::string& name, const std::string& content) const;
    void Stop();

private:
    std::string m_folder;
    std::string m_served;
    std::uint16_t m_port = 0;
    std::unique_ptr<ServerProcess> m_process;
};

}  // namespace harness
