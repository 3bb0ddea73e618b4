#include "HttpServer.h"

#include <filesystem>

#include "Files.h"

namespace harness {

HttpServer::HttpServer() : PythonServer("vorla-http-"), m_served(m_folder + "/www") {
    std::filesystem::create_directories(m_served);
    Launch("HTTP server", "http_server.py", {"--directory", m_served});
}

void HttpServer::AddFile(const std::string& name, const std::string& content) const {
    testsupport::WriteFile(m_served + "/" + name, content);
}

}  // namespace harness
