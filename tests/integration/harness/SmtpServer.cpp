#include "SmtpServer.h"

#include <filesystem>
#include <fstream>

#include "Files.h"
#include "TestCertificate.h"

namespace harness {

namespace {

using testsupport::ReadFile;

}  // namespace

SmtpServer::SmtpServer(const Options& options) : PythonServer("vorla-smtp-") {
    std::filesystem::create_directories(m_folder + "/out");
    std::vector<std::string> arguments{m_folder + "/out"};
    if (options.tls != Tls::None) {
        const TestCertificate certificate = MakeTestCertificate(m_folder);
        m_fingerprint = certificate.fingerprint;
        arguments.insert(arguments.end(), {options.tls == Tls::StartTls ? "--starttls" : "--smtps",
                                           certificate.certFile, certificate.keyFile});
    }
    if (options.auth)
        arguments.push_back("--auth");
    if (!options.plainMechanism)
        arguments.push_back("--no-plain");
    Launch("SMTP server", "smtp_sink.py", arguments);
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
