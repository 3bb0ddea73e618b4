#include "HttpServer.h"

#include <filesystem>
#include <fstream>

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
    m_port = m_process->StartForPort("HTTP server", std::chrono::seconds(15));
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
