#include "SmtpServer.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "DovecotServer.h"
#include "Files.h"
#include "TestCertificate.h"

namespace harness {

namespace {

using testsupport::ReadFile;

}  // namespace

SmtpServer::SmtpServer(const Options& options) {
    m_folder = MakeTempFolder("vorla-smtp-");
    std::filesystem::create_directories(m_folder + "/out");
    // Debian's python: a python3 earlier in PATH may not see the aiosmtpd package.
    std::vector<std::string> command{"/usr/bin/python3", "-u",
                                     std::string(VORLA_HARNESS_DIR) + "/smtp_sink.py",
                                     m_folder + "/out"};
    if (options.tls != Tls::None) {
        const TestCertificate certificate = MakeTestCertificate(m_folder);
        m_fingerprint = certificate.fingerprint;
        command.insert(command.end(), {options.tls == Tls::StartTls ? "--starttls" : "--smtps",
                                       certificate.certFile, certificate.keyFile});
    }
    if (options.auth)
        command.push_back("--auth");
    if (!options.plainMechanism)
        command.push_back("--no-plain");
    m_process = std::make_unique<ServerProcess>(
        ServerProcess::Options{command, {}, m_folder, m_folder + "/stderr.log"});
    m_port = m_process->StartForPort("SMTP server", std::chrono::seconds(15));
}

SmtpServer::~SmtpServer() {
    Stop();
    RemoveTree(m_folder);
}

void SmtpServer::Stop() {
    if (m_process)
        m_process->Stop();
}

std::vector<SmtpServer::Delivery> SmtpServer::Deliveries() const {
    std::vector<Delivery> out;
    for (int n = 1;; ++n) {
        const std::string base = m_folder + "/out/" + std::to_string(n);
        if (!std::filesystem::exists(base + ".eml"))
            break;
        Delivery d;
        std::ifstream env(base + ".envelope");
        std::getline(env, d.mailFrom);
        for (std::string line; std::getline(env, line);)
            d.rcptTo.push_back(line);
        d.data = ReadFile(base + ".eml");
        out.push_back(std::move(d));
    }
    return out;
}

}  // namespace harness
