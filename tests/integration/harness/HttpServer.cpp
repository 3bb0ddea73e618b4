#include "HttpServer.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "DovecotServer.h"
#include "Files.h"

namespace harness {

HttpServer::HttpServer() {
    m_folder = MakeTempFolder("vorla-http-");
    m_served = m_folder + "/www";
    std::filesystem::create_directories(m_served);
    m_process = std::make_unique<ServerProcess>(ServerProcess::Options{
        {"/usr/bin/python3", "-u", std::string(VORLA_HARNESS_DIR) + "/http_server.py",
         "--directory", m_served},
        {},
        m_folder,
        m_folder + "/stderr.log"});
    m_process->Start();
    const auto port = m_process->ReadPort(std::chrono::seconds(15));
    if (!port) {
        const std::string text = testsupport::ReadFile(m_folder + "/stderr.log");
        Stop();
        throw std::runtime_error("HTTP server did not start: " + text);
    }
    m_port = *port;
}

HttpServer::~HttpServer() {
    Stop();
    RemoveTree(m_folder);
}

void HttpServer::Stop() {
    if (m_process)
        m_process->Stop();
}

void HttpServer::AddFile(const std::string& name, const std::string& content) const {
    testsupport::WriteFile(m_served + "/" + name, content);
}

}  // namespace harness
