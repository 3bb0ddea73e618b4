#include "MonitorFakes.h"

#include <unistd.h>

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

void FakePump::ProcessMessages() {
    const auto now = Clock::now();
    m_maxGap = std::max(m_maxGap, now - m_last);
    m_last = now;
    ++pumps;
    if (onPump) {
        auto hook = onPump;
        hook();
        // Time spent in a handler is the window's own work, not a wait without pumping.
        m_last = Clock::now();
    }
}

void FakePump::StartTiming() {
    m_start = m_last = Clock::now();
    m_maxGap = {};
}

long long FakePump::ElapsedMs() const {
    using std::chrono::duration_cast;
    return duration_cast<std::chrono::milliseconds>(Clock::now() - m_start).count();
}

long long FakePump::MaxGapMs() const {
    using std::chrono::duration_cast;
    const auto gap = std::max(m_maxGap, Clock::now() - m_last);
    return duration_cast<std::chrono::milliseconds>(gap).count();
}

void FakePop::Fail(int error, const std::string& text) {
    m_failed = true;
    m_connected = false;
    if (OnError) {
        OnError(error, text);
    }
}

void FakePop::Connect() {
    log.push_back("connect " + m_host + ":" + m_port);
    m_count = 0;
    m_failed = false;
    m_aborted = false;
    m_text.clear();
    m_pump.ProcessMessages();
    const auto box = boxes.find(m_host);
    if (box == boxes.end() || box->second.refuseConnect) {
        m_status.clear();
        Fail(111, "Connection refused");
        return;
    }
    if (box->second.closeAtGreeting) {
        m_status.clear();
        m_text = "Connection closed by the server.";
        m_failed = true;
        return;
    }
    if (box->second.silent) {
        // Bounded like the real client's time-out.
        for (int slice = 0; slice < 1000 && !m_aborted; ++slice) {
            m_pump.ProcessMessages();
        }
        const std::string reason = m_aborted ? "Operation canceled (125)" : "Timed out (110)";
        Fail(m_aborted ? 125 : 110, m_text);
        throw PopError("Erreur socket Windows : " + reason + ", avec l'API 'recv'");
    }
    if (box->second.resetAtGreeting) {
        // The real client reports the reset with the text of its previous reply, then raises.
        Fail(104, m_text);
        throw PopError("Erreur socket Windows : Connection reset by peer (104), avec l'API 'recv'");
    }
    m_connected = true;
    m_status = "+OK";
}

bool FakePop::Login() {
    if (!m_connected) {
        throw PopError("Invalid Op. Not connected.");
    }
    log.push_back("login " + m_user);
    if (boxes[m_host].refuseLogin) {
        m_status = "-ERR";
        Fail(2001, "[AUTH] Authentication failed.");
        return false;
    }
    return true;
}

void FakePop::GetMailCount() {
    log.push_back("stat");
    if (boxes[m_host].refuseStat) {
        m_status = "-ERR";
        Fail(2006, "STAT refused");
        return;
    }
    m_count = boxes[m_host].count;
    // Like servers that dropped LAST: the last reply is a refusal, the session stays open.
    m_status = "-ERR";
    m_failed = true;
}

void FakePop::Quit() {
    if (m_connected) {
        log.push_back("quit");
        m_connected = false;
    }
}

int FakePop::Connects() const {
    return static_cast<int>(std::count_if(
        log.begin(), log.end(), [](const std::string& l) { return l.rfind("connect ", 0) == 0; }));
}

void FakeDialUp::Dial(int index) {
    log.push_back("dial " + std::to_string(index));
    if (!dialError.empty()) {
        m_lastError = dialError;
        throw DialUpError(dialError);
    }
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

bool FakeShell::StartProgram(const std::string& program, const std::vector<std::string>& args) {
    std::string line = "start " + program;
    for (const auto& arg : args) {
        line += " [" + arg + "]";
    }
    log.push_back(line);
    return !startFails;
}

MonitorTest::MonitorTest() {
    char pattern[] = "/tmp/vorla-monitor-XXXXXX";
    m_folder = mkdtemp(pattern);
    MakeVorla(pop);
}

void MonitorTest::MakeVorla(PopClient& popClient) {
    MakeVorla(popClient, dialUp);
}

void MonitorTest::MakeVorla(PopClient& popClient, DialUp& rasc) {
    // A fresh monitor is a fresh program: it starts from a fresh shared state.
    commun = Commun{};
    vorla = std::make_unique<TVorla>(commun,
                                     MonitorParts{view, popClient, rasc, downloader, timer,
                                                  tickerTimers, pump, shell, autorun, mailto},
                                     Folder());
    vorla->SetMessageWindow(messageWindow);
}

MonitorTest::~MonitorTest() {
    vorla.reset();
    std::filesystem::remove_all(m_folder);
}

void MonitorTest::WriteFile(const std::string& name, const std::string& content) {
    std::ofstream(m_folder / name, std::ios::binary) << content;
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
