#pragma once
// Recording and scripted stand-ins for everything TVorla drives, and a fixture that builds a
// monitor on a temporary settings folder with the shipped default skin.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "monitor/Monitor.h"
#include "platform/WindowTimer.h"

namespace monitor::test {

// Every call of the view as one line, in order.
class RecordingView final : public MonitorView {
public:
    std::vector<std::string> calls;
    bool visible = true;

    void Record(std::string line) { calls.push_back(std::move(line)); }
    // The calls that begin with prefix.
    std::vector<std::string> With(const std::string& prefix) const;
    std::string Last(const std::string& prefix) const;
    int Count(const std::string& line) const;

    void ShowMessage(const std::string& text) override { Record("message " + text); }
    void RequestExit() override { Record("exit"); }
    void DrawStatus(const std::string& text) override { Record("status " + text); }
    void DrawCount(int count) override { Record("count " + std::to_string(count)); }
    void TextImageChanged(skin::TextImage) override {}
    void FlagChanged(FlagPicture p) override {
        Record(p == FlagPicture::GotMail ? "flag gotmail" : "flag nomail");
    }
    void OnlineChanged(bool online) override {
        Record(online ? "online-picture on" : "online-picture off");
    }
    void SkinLoaded() override { Record("skin"); }
    void SetOnlineHint(const std::string& hint) override { Record("hint " + hint); }
    void SetTrayIcon(TrayIcon icon) override { Record("tray " + Name(icon)); }
    void ShowTrayIcon(TrayIcon icon, bool modify) override {
        Record(std::string(modify ? "tray-modify " : "tray-add ") + Name(icon));
    }
    void RemoveTrayIcon() override { Record("tray-remove"); }
    bool IsWindowVisible() override { return visible; }
    void ShowWindow() override {
        visible = true;
        Record("show");
    }
    void HideWindow() override {
        visible = false;
        Record("hide");
    }
    void BringToFront() override { Record("front"); }
    void Repaint() override { Record("repaint"); }
    void CloseMainWindow() override { Record("close"); }
    WindowPosition Position() override { return {120, 80}; }
    void ApplyOnTop(bool on) override { Record(on ? "ontop 1" : "ontop 0"); }
    void SetBusyCursor(bool) override {}
    void SetButtonsEnabled(bool enabled) override {
        Record(enabled ? "buttons on" : "buttons off");
    }
    void PlaySound(const std::string& file) override { Record("sound " + file); }
    void PopupAccountMenu(const std::vector<AccountMenuItem>& items) override {
        accountMenu = items;
    }
    void PopupMainMenu() override { Record("main-menu"); }

    std::vector<AccountMenuItem> accountMenu;

    static std::string Name(TrayIcon icon);
};

// A mailbox as the fake POP3 client finds it on a host.
struct FakeMailbox {
    int count = 0;
    bool refuseConnect = false;  // the server cannot be reached
    bool refuseLogin = false;
    bool refuseStat = false;
    // The connection breaks at the greeting: the client reports it and raises.
    bool resetAtGreeting = false;
    // The connection closes before the greeting: a failure the client reports through no
    // event, only through Failed and its reply text.
    bool closeAtGreeting = false;
    // The server accepts and never answers: the greeting wait pumps until the call is aborted.
    bool silent = false;
};

// A POP3 client that answers from scripted mailboxes, keyed by host name, and pumps the
// event loop where the real client waits.
class FakePop final : public PopClient {
public:
    explicit FakePop(platform::EventPump& pump) : m_pump(pump) {}
    std::map<std::string, FakeMailbox> boxes;
    std::vector<std::string> log;  // "connect HOST:PORT", "login USER", "stat", "quit"

    void SetServer(const std::string& host, const std::string& port) override {
        m_host = host;
        m_port = port;
    }
    void SetLogin(const std::string& user, const std::string& password) override {
        m_user = user;
        m_password = password;
    }
    void Connect() override;
    bool Login() override;
    void GetMailCount() override;
    void Quit() override;
    bool Failed() const override { return m_failed; }
    bool Connected() const override { return m_connected; }
    int MessageCount() const override { return m_count; }
    std::string ReplyStatus() const override { return m_status; }
    std::string ReplyText() const override { return m_text; }
    void Abort() override { m_aborted = true; }
    int Connects() const;

private:
    void Fail(int error, const std::string& text);

    platform::EventPump& m_pump;
    std::string m_host, m_port, m_user, m_password, m_status, m_text;
    bool m_failed = false;
    bool m_aborted = false;
    bool m_connected = false;
    int m_count = 0;
};

class FakeDialUp final : public DialUp {
public:
    std::vector<std::string> entries;
    std::string dialError;  // non-empty: Dial fails with this LastError
    int state = DialUp::kConnected;
    std::vector<std::string> log;  // "dial N", "hangup N", "state NAME"

    void RefreshEntries() override { log.push_back("refresh"); }
    std::vector<std::string> Entries() const override { return entries; }
    void Dial(int index) override;
    void HangUp(int index) override { log.push_back("hangup " + std::to_string(index)); }
    int ConnectionState(const std::string& name) override {
        log.push_back("state " + name);
        return state;
    }
    std::string LastError() const override { return m_lastError; }

private:
    std::string m_lastError;
};

// Writes the scripted body of a URL into the file, as a finished download leaves it.
class FakeDownloader final : public HttpDownloader {
public:
    std::map<std::string, std::string> bodies;  // url -> body; a missing url fails
    std::map<std::string, long long>
        declared;  // url -> length told to OnDoneFile; default the body size
    std::vector<std::string> urls;
    std::function<void()> during;  // runs inside the download, as a pumped event would

    void DownloadFile(const std::string& url, const std::string& fileName) override;
};

class FakeTimer final : public TimerSwitch {
public:
    bool enabled = false;
    int interval = 0;
    void SetEnabled(bool value) override { enabled = value; }
    bool Enabled() const override { return enabled; }
    void SetInterval(int ms) override { interval = ms; }
};

class FakeMessageWindow final : public MessageWindow {
public:
    bool visible = false;
    std::string displayError;  // non-empty: DisplayMessage raises it
    long long size = 0;
    std::vector<std::string> log;
    std::function<void()> whileShown;

    bool IsVisible() override { return visible; }
    void DisplayMessage(int index, bool) override;
    void ShowModal() override;
    long long CurrentMessageSize() override { return size; }
};

// Counts pumps and runs the test's hook there: a click arriving during a wait. It also
// measures, on the real clock, the longest time the window went without a pump.
class FakePump final : public platform::EventPump {
public:
    std::function<void()> onPump;
    int pumps = 0;
    void ProcessMessages() override;

    // Starts measuring now.
    void StartTiming();
    // Milliseconds since StartTiming.
    long long ElapsedMs() const;
    // The longest gap between StartTiming, the pumps since and now, in milliseconds.
    long long MaxGapMs() const;

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point m_start = Clock::now();
    Clock::time_point m_last = m_start;
    Clock::duration m_maxGap{};
};

class FakeShell final : public platform::Shell {
public:
    std::vector<std::string> log;
    bool startFails = false;  // StartProgram reports that nothing started
    bool OpenDocument(const std::string& target) override {
        log.push_back("open " + target);
        return true;
    }
    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override;
};

class FakeAutorun final : public platform::Autorun {
public:
    std::vector<std::string> log;
    void Enable(const std::string& path) override { log.push_back("enable " + path); }
    void Disable() override { log.push_back("disable"); }
};

class FakeMailto final : public platform::MailtoHandler {
public:
    std::string command;
    std::string Command() override { return command; }
};

struct TestAccount {
    std::string name;
    std::string host;
    bool inactive = false;
};

// A temporary program folder with settings files, and a TVorla on it.
class MonitorTest : public ::testing::Test {
protected:
    MonitorTest();
    ~MonitorTest() override;

    // Writes Vorla.ini (the default skin plus the extra lines) and Accounts.ini.
    void WriteSettings(const std::vector<TestAccount>& accounts,
                       const std::vector<std::string>& extra = {});
    void WriteFile(const std::string& name, const std::string& content);
    // WriteSettings, then FormCreate; true when start-up succeeded.
    bool Start(const std::vector<TestAccount>& accounts,
               const std::vector<std::string>& extra = {});
    std::string Folder() const { return m_folder.string() + "/"; }
    // A fresh TVorla on the fixture's fakes and folder, checking through popClient (and
    // dialling through rasc).
    void MakeVorla(PopClient& popClient);
    void MakeVorla(PopClient& popClient, DialUp& rasc);

    RecordingView view;
    FakePump pump;
    FakePop pop{pump};
    FakeDialUp dialUp;
    FakeDownloader downloader;
    FakeTimer timer;
    FakeMessageWindow messageWindow;
    FakeShell shell;
    FakeAutorun autorun;
    FakeMailto mailto;
    platform::IdleTimerHost tickerTimers;
    Commun commun;
    std::unique_ptr<TVorla> vorla;

private:
    std::filesystem::path m_folder;
};

}  // namespace monitor::test
