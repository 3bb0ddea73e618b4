#include "DovecotServer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "Files.h"
#include "TestCertificate.h"
#include "mail/QelIMAP.h"
#include "mail/QelPOP3.h"
#include "settings/Scramble.h"

namespace harness {

namespace fs = std::filesystem;

namespace {

using testsupport::ReadFile;
using testsupport::WriteFile;

constexpr unsigned kNobody = 65534;  // Dovecot refuses mail access as uid 0

void Own(const std::string& path) {
    if (::geteuid() == 0 && ::chown(path.c_str(), kNobody, kNobody) != 0)
        throw std::runtime_error("cannot chown " + path);
}

// The TLS lines and the POP3S listener when a certificate is given.
struct TlsSetup {
    const TestCertificate* certificate = nullptr;
    std::uint16_t popsPort = 0;
    std::uint16_t imapsPort = 0;
};

std::string SslLines(const TlsSetup& tls) {
    if (tls.certificate == nullptr)
        return "ssl = no\n";
    return "ssl = yes\nssl_cert = <" + tls.certificate->certFile + "\nssl_key = <" +
           tls.certificate->keyFile +
           "\nssl_dh = </usr/share/dovecot/dh.pem\nssl_min_protocol = TLSv1.2\n";
}

std::string PopsListener(const TlsSetup& tls) {
    if (tls.certificate == nullptr)
        return "";
    return "  inet_listener pop3s {\n    address = 127.0.0.1\n    port = " +
           std::to_string(tls.popsPort) + "\n    ssl = yes\n  }\n";
}

// The IMAP listener, and IMAPS beside it when a certificate is given. IDLE looks at the
// Maildir every second besides its change notifications.
std::string ImapLines(std::uint16_t port, const TlsSetup& tls) {
    std::string imaps;
    if (tls.certificate != nullptr)
        imaps = "  inet_listener imaps {\n    address = 127.0.0.1\n    port = " +
                std::to_string(tls.imapsPort) + "\n    ssl = yes\n  }\n";
    return "mailbox_idle_check_interval = 1 secs\n"
           "service imap-login {\n  chroot =\n  inet_listener imap {\n    address = 127.0.0.1\n"
           "    port = " +
           std::to_string(port) + "\n  }\n" + imaps + "}\n";
}

std::string Config(const std::string& folder, const std::string& baseDir, std::uint16_t port,
                   std::uint16_t imapPort, const TlsSetup& tls) {
    return "protocols = pop3 imap\n"
           "listen = 127.0.0.1\n"
           "base_dir = " +
           baseDir +
           "\n"
           "state_dir = " +
           folder +
           "/state\n"
           "log_path = " +
           folder +
           "/dovecot.log\n"
           "info_log_path = " +
           folder + "/dovecot.log\n" + SslLines(tls) +
           "disable_plaintext_auth = no\n"
           "auth_mechanisms = plain login xoauth2\n"
           "auth_failure_delay = 0\n"
           "mail_location = maildir:~/Maildir\n"
           "pop3_uidl_format = %08Xu%08Xv\n"
           "passdb {\n  driver = passwd-file\n  mechanisms = plain login\n  args = " +
           folder +
           "/passwd\n}\n"
           // XOAUTH2 hands its bearer token to the passdb as the password; only this file
           // holds tokens, and only XOAUTH2 reaches it.
           "passdb {\n  driver = passwd-file\n  mechanisms = xoauth2\n  args = " +
           folder +
           "/tokens\n}\n"
           "userdb {\n  driver = passwd-file\n  args = " +
           folder +
           "/passwd\n}\n"
           "service anvil {\n  chroot =\n}\n"
           "service pop3-login {\n  chroot =\n  inet_listener pop3 {\n    address = 127.0.0.1\n    "
           "port = " +
           std::to_string(port) + "\n  }\n" + PopsListener(tls) + "}\n" + ImapLines(imapPort, tls);
}

}  // namespace

void RemoveTree(const std::string& path) {
    std::error_code ec;
    fs::remove_all(path, ec);
}

std::string MakeTempFolder(const std::string& prefix) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed for " + pattern);
    ::chmod(pattern.c_str(), 0755);
    return pattern;
}

DovecotServer::DovecotServer(bool tls) {
    m_folder = MakeTempFolder("vorla-dovecot-");
    // Its unix sockets fail past 108 bytes of path: keep the base folder short.
    m_baseDir = MakeTempFolder("vdc");
    const std::string home = m_folder + "/home";
    for (const char* sub : {"/home", "/home/Maildir", "/home/Maildir/new", "/home/Maildir/cur",
                            "/home/Maildir/tmp", "/state"})
        fs::create_directories(m_folder + sub);
    for (const char* sub :
         {"/home", "/home/Maildir", "/home/Maildir/new", "/home/Maildir/cur", "/home/Maildir/tmp"})
        Own(m_folder + sub);
    const unsigned uid = ::geteuid() == 0 ? kNobody : ::geteuid();
    const unsigned gid = ::geteuid() == 0 ? kNobody : ::getegid();
    WriteFile(m_folder + "/passwd", m_user + ":{PLAIN}" + m_pass + ":" + std::to_string(uid) + ":" +
                                        std::to_string(gid) + "::" + home + "::\n");
    WriteFile(m_folder + "/tokens", m_user + ":{PLAIN}" + Token() + "\n");
    m_port = ServerProcess::FreePort();
    TlsSetup setup;
    TestCertificate certificate;
    if (tls) {
        certificate = MakeTestCertificate(m_folder);
        m_fingerprint = certificate.fingerprint;
        m_popsPort = ServerProcess::FreePort();
        m_imapsPort = ServerProcess::FreePort();
        setup = {&certificate, m_popsPort, m_imapsPort};
    }
    m_imapPort = ServerProcess::FreePort();
    WriteFile(m_folder + "/dovecot.conf", Config(m_folder, m_baseDir, m_port, m_imapPort, setup));

    m_process = std::make_unique<ServerProcess>(
        ServerProcess::Options{{"/usr/sbin/dovecot", "-F", "-c", m_folder + "/dovecot.conf"},
                               {},
                               m_folder,
                               m_folder + "/dovecot.stderr"});
    m_process->Start();
    // Each login service opens its own listeners: wait for all of them.
    bool answers = true;
    for (const std::uint16_t port : {m_port, m_imapPort, m_popsPort, m_imapsPort})
        answers = answers && (port == 0 || m_process->WaitForPort(port, std::chrono::seconds(15)));
    if (!answers) {
        const std::string text = ReadFile(m_folder + "/dovecot.log");
        const std::string errText = ReadFile(m_folder + "/dovecot.stderr");
        Stop();
        throw std::runtime_error("dovecot did not answer on port " + std::to_string(m_port) + ": " +
                                 text + errText);
    }
}

void DovecotServer::PointAt(mail::TQelPOP& pop) const {
    pop.Host = "127.0.0.1";
    pop.Port = std::to_string(m_port);
}

void DovecotServer::PointAt(mail::TQelIMAP& imap) const {
    imap.Host = "127.0.0.1";
    imap.Port = std::to_string(m_imapPort);
}

std::string DovecotServer::DoveAccount() const {
    return Account(1, "Dove", m_port);
}

std::string DovecotServer::Account(int number, const std::string& name, std::uint16_t port,
                                   const std::string& keys) const {
    return "[Account" + std::to_string(number) + "]\r\nacc_name = " + name +
           "\r\nhost_name = 127.0.0.1\r\nuser_name = " + m_user +
           "\r\npassword = " + settings::ScramblePassword(m_pass) +
           "\r\nport_number = " + std::to_string(port) + "\r\n" + keys;
}

DovecotServer::~DovecotServer() {
    Stop();
    RemoveTree(m_folder);
    RemoveTree(m_baseDir);
}

void DovecotServer::Stop() {
    if (m_process)
        m_process->Stop(std::chrono::seconds(10));
}

std::string DovecotServer::AddMessage(const std::string& raw, bool seen) {
    // Maildir names sort in the order the messages were added.
    ++m_added;
    char name[64];
    std::snprintf(name, sizeof name, "%010d.M%dP%d.vorla", 1700000000 + m_added, m_added,
                  static_cast<int>(::getpid()));
    const std::string tmpPath = m_folder + "/home/Maildir/tmp/" + name;
    // A message already seen lies in cur with the flag in its name, as a reader leaves it.
    const std::string newPath = m_folder + (seen ? "/home/Maildir/cur/" : "/home/Maildir/new/") +
                                name + (seen ? ":2,S" : "");
    WriteFile(tmpPath, raw);
    Own(tmpPath);
    fs::rename(tmpPath, newPath);
    return name;
}

int DovecotServer::MessageFiles() const {
    int count = 0;
    for (const char* sub : {"/home/Maildir/new", "/home/Maildir/cur"})
        for (const auto& entry : fs::directory_iterator(m_folder + sub))
            if (entry.is_regular_file())
                ++count;
    return count;
}

int DovecotServer::SeenMessageFiles() const {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(m_folder + "/home/Maildir/cur")) {
        const std::string name = entry.path().filename().string();
        const std::size_t info = name.find(":2,");
        if (info != std::string::npos && name.find('S', info) != std::string::npos)
            ++count;
    }
    return count;
}

void DovecotServer::MarkSeen(const std::string& fileName) {
    const std::string maildir = m_folder + "/home/Maildir/";
    // Dovecot may have moved it to cur already, with flags of its own after the name.
    for (const char* sub : {"new", "cur"}) {
        for (const auto& entry : fs::directory_iterator(maildir + sub)) {
            if (entry.path().filename().string().rfind(fileName, 0) == 0) {
                fs::rename(entry.path(), maildir + "cur/" + fileName + ":2,S");
                return;
            }
        }
    }
    throw std::runtime_error("no message file " + fileName);
}

void DovecotServer::RenumberUids() {
    for (const auto& entry : fs::directory_iterator(m_folder + "/home/Maildir")) {
        const std::string name = entry.path().filename().string();
        if (name == "dovecot-uidlist" || name.rfind("dovecot.index", 0) == 0)
            fs::remove(entry.path());
    }
}

}  // namespace harness
