#include "MonitorFakes.h"

#include <algorithm>

namespace monitor::test {

std::vector<std::string> RecordingView::With(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& call : calls) {
        if (call.rfind(prefix, 0) == 0) {
            found.push_back(call);
        }
    }
    return found;
}

std::string RecordingView::Last(const std::string& prefix) const {
    const auto found = With(prefix);
    return found.empty() ? std::string() : found.back();
}

int RecordingView::Count(const std::string& line) const {
    return static_cast<int>(std::count(calls.begin(), calls.end(), line));
}

std::string RecordingView::Name(TrayIcon icon) {
    switch (icon) {
        case TrayIcon::VrDis:
            return "disconnected";
        case TrayIcon::VrCon:
            return "connected";
        case TrayIcon::VrMail:
            return "mail";
    }
    return "?";
}

void FakeDownloader::DownloadFile(const std::string& url, const std::string& fileName) {
    urls.push_back(url);
    if (during) {
        during();
    }
    const auto body = bodies.find(url);
    if (body == bodies.end()) {
        return;
    }
    std::ofstream(fileName, std::ios::binary) << body->second;
    if (OnDoneFile) {
        const auto length = declared.find(url);
        OnDoneFile(fileName, length != declared.end()
                                 ? length->second
                                 : static_cast<long long>(body->second.size()));
    }
}

void FakeMessageWindow::DisplayMessage(int index, bool) {
    log.push_back("display " + std::to_string(index));
    if (!displayError.empty()) {
        throw std::runtime_error(displayError);
    }
}

void FakeMessageWindow::ShowModal() {
    log.push_back("modal");
    if (whileShown) {
        whileShown();
    }
}

MonitorTest::MonitorTest() {
    MakeVorla(pop);
}

testsupport::Pop3Mailbox& MonitorTest::Box(const std::string& host) {
    const bool made = servers.hosts.count(host) == 0;
    testsupport::Pop3Mailbox& box = servers[host];
    if (made) {
        box.user.clear();
        box.password.clear();
        box.clock = &clock;
    }
    return box;
}

std::vector<std::string> MonitorTest::Logins() const {
    std::vector<std::string> users;
    for (const auto& line : servers.log)
        if (line.rfind("USER ", 0) == 0)
            users.push_back(line.substr(5));
    return users;
}

void MonitorTest::MakeVorla(PopClient& popClient) {
    MakeVorla(popClient, dialUp);
}

void MonitorTest::MakeVorla(PopClient& popClient, DialUp& rasc) {
    // A fresh monitor is a fresh program: it starts from a fresh shared state.
    commun = Commun{};
    vorla.reset();
    const MonitorParts parts{view,         popClient, rasc,  downloader, timer,
                             tickerTimers, pump,      shell, autorun,    mailto};
    jobs = std::make_unique<MonitorJobs>(commun, parts, Folder());
    vorla = std::make_unique<TVorla>(*jobs, parts);
    jobs->HandOver.SetMessageWindow(messageWindow);
}

MonitorTest::~MonitorTest() {
    vorla.reset();
    jobs.reset();
}

void MonitorTest::WriteFile(const std::string& name, const std::string& content) {
    m_folder.Write(name, content);
}

void MonitorTest::WriteSettings(const std::vector<TestAccount>& accounts,
                                const std::vector<std::string>& extra) {
    std::string ini = "current_skin = " VORLA_SKINS "/default/\r\n";
    for (const auto& line : extra) {
        ini += line + "\r\n";
    }
    WriteFile("Vorla.ini", ini);
    std::string acc;
    for (std::size_t i = 0; i < accounts.size(); ++i) {
        acc += "\r\n[Account" + std::to_string(i + 1) + "]\r\n";
        acc += "acc_name = " + accounts[i].name + "\r\n";
        acc += "host_name = " + accounts[i].host + "\r\n";
        acc += "user_name = user" + std::to_string(i + 1) + "\r\n";
        acc += "port_number = 110\r\n";
        acc += "tls_mode = off\r\n";
        acc += std::string("inactive = ") + (accounts[i].inactive ? "1" : "0") + "\r\n";
    }
    WriteFile("Accounts.ini", acc);
}

bool MonitorTest::Start(const std::vector<TestAccount>& accounts,
                        const std::vector<std::string>& extra) {
    WriteSettings(accounts, extra);
    return vorla->FormCreate();
}

}  // namespace monitor::test
