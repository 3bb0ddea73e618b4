#pragma once
// Recording and scripted stand-ins for the monitor's own seams, and a fixture that builds a
// monitor on a temporary settings folder with the shipped default skin. It checks mail with
// the real POP3 client, through the program's adapter, against scripted mailboxes.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "FakeEventPump.h"
#include "FakeMailto.h"
#include "MonitorServiceFakes.h"
#include "Pop3Mailbox.h"
#include "RecordingAutorun.h"
#include "RecordingShell.h"
#include "TempFolder.h"
#include "app/composition/ComponentAdapters.h"
#include "mail/QelPOP3.h"
#include "monitor/TVorla.h"
#include "platform/WindowTimer.h"

namespace monitor::test {

// Every call of the view as one line, in order.
class RecordingView final : public MonitorView {
public:
    std::vector<std::string> calls;
    bool visible = true;
    bool hasTray = true;

    void Record(std::string line) { calls.push_back(std::move(line)); }
    // The calls that begin with prefix.
    std::vector<std::string> With(const std::string& prefix) const;
    std::string Last(const std::string& prefix) const;
    int Count(const std::string& line) const;

    void ShowMessage(const std::string& text) override { Record("message " + text); }
    // Recorded as "question TEXT"; answered from answers in order, else No (Cancel).
    bool Ask(const std::string& text) override {
        return NextAnswer(text, platform::Answer::No) == platform::Answer::Yes;
    }
    platform::Answer AskYesNoCancel(const std::string& text) override {
        return NextAnswer(text, platform::Answer::Cancel);
    }
    std::deque<platform::Answer> answers;
    void RequestExit() override { Record("exit"); }
    void DrawStatus(const std::string& text) override { Record("status " + text); }
    void DrawCount(const std::string& count) override { Record("count " + count); }
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
    void SetTrayToolTip(const std::string& text) override { Record("tip " + text); }
    bool HasSystemTray() override { return hasTray; }
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

private:
    platform::Answer NextAnswer(const std::string& text, platform::Answer unanswered) {
        Record("question " + text);
        if (answers.empty())
            return unanswered;
        const platform::Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

using testsupport::FakeDialUp;
using testsupport::FakeTimer;

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

// The client's text for a server that refuses the connection.
inline const std::string kRefused =
    "Erreur socket Windows : Connection refused (111), avec l'API 'connect'";

struct TestAccount {
    std::string name;
    std::string host;
    bool inactive = false;
};

// A temporary program folder with settings files, and a TVorla on it. The accounts' servers
// are plain POP3 servers: the mailbox of a host is Box(host), and a host without one refuses.
class MonitorTest : public ::testing::Test {
protected:
    MonitorTest();
    ~MonitorTest() override;

    // Writes Vorla.ini (the default skin plus the extra lines) and Accounts.ini.
    void WriteSettings(const std::vector<TestAccount>& accounts,
                       const std::vector<std::string>& extra = {});
    void WriteFile(const std::string& name, const std::string& content);
    // The bytes of a file of the folder; empty when it cannot be read.
    std::string ReadFile(const std::string& name) const { return m_folder.Read(name); }
    // WriteSettings, then FormCreate; true when start-up succeeded.
    bool Start(const std::vector<TestAccount>& accounts,
               const std::vector<std::string>& extra = {});
    std::string Folder() const { return m_folder.Folder(); }
    // The mailbox on host, made empty on first use; it takes every account's login (the test
    // accounts have no password).
    testsupport::Pop3Mailbox& Box(const std::string& host);
    // The user names that logged in, on any host, in order.
    std::vector<std::string> Logins() const;
    // A fresh TVorla on the fixture's fakes and folder, checking through popClient (and
    // dialling through rasc).
    void MakeVorla(PopClient& popClient);
    void MakeVorla(PopClient& popClient, DialUp& rasc);

    RecordingView view;
    testsupport::FakeEventPump pump;
    testsupport::FakeClock clock;
    testsupport::Pop3Servers servers;
    mail::TQelPOP client{servers, pump, clock};
    app::QelPopClient pop{client};
    FakeDialUp dialUp;
    FakeDownloader downloader;
    FakeTimer timer;
    FakeMessageWindow messageWindow;
    testsupport::RecordingShell shell;
    testsupport::RecordingAutorun autorun;
    testsupport::FakeMailto mailto;
    platform::IdleTimerHost tickerTimers;
    Commun commun;
    std::unique_ptr<MonitorJobs> jobs;
    std::unique_ptr<TVorla> vorla;

private:
    testsupport::TempFolder m_folder;
};

}  // namespace monitor::test
