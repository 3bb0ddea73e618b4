#pragma once
// A private HTTP server on 127.0.0.1 for tests (Python's http.server through http_server.py):
// it serves the files of a temporary folder, plus the special paths the script describes.
#include <string>

#include "PythonServer.h"

namespace harness {

class HttpServer : public PythonServer {
public:
    // Starts the server; throws std::runtime_error when it does not report its port.
    HttpServer();
    // The folder whose files are served.
    const std::string& Folder() const { return m_served; }
    // Writes a file into the served folder.
    void AddFile(const std::string& name, const std::string& content) const;

private:
    std::string m_served;
};

}  // namespace harness
