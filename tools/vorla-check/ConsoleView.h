#pragma once
// The main window of vorla-check: every request of the monitor becomes one output line that
// starts with a fixed word; requests without a visible effect here print nothing.
#include <ostream>
#include <string>

#include "monitor/MonitorView.h"
#include "monitor/Services.h"

namespace vorlacheck {

class ConsoleView final : public monitor::MonitorView {
public:
    explicit ConsoleView(std::ostream& out) : m_out(out) {}

    // One line: the word, a blank, the text with CR and LF written as \r and \n.
    void Print(const std::string& word, const std::string& text);

    void ShowMessage(const std::string& text) override { Print("message", text); }
    void RequestExit() override { m_exitRequested = true; }
    void DrawStatus(const std::string& text) override { Print("status", text); }
    void DrawCount(int count) override { Print("count", std::to_string(count)); }
    void TextImageChanged(skin::TextImage) override {}
    void FlagChanged(monitor::FlagPicture picture) override;
    void OnlineChanged(bool online) override {
        Print("online", online ? "connected" : "disconnected");
    }
    void SkinLoaded() override {}
    void SetOnlineHint(const std::string&) override {}
    void SetTrayIcon(monitor::TrayIcon icon) override { Print("tray", TrayName(icon)); }
    void ShowTrayIcon(monitor::TrayIcon icon, bool) override { Print("tray", TrayName(icon)); }
    void RemoveTrayIcon() override {}
    bool IsWindowVisible() override { return m_visible; }
    void ShowWindow() override;
    void HideWindow() override { m_visible = false; }
    void BringToFront() override {}
    void Repaint() override {}
    void CloseMainWindow() override {}
    monitor::WindowPosition Position() override { return {}; }
    void ApplyOnTop(bool) override {}
    void SetBusyCursor(bool) override {}
    void SetButtonsEnabled(bool) override {}
    void PlaySound(const std::string& file) override { Print("sound", file); }
    void PopupAccountMenu(const std::vector<monitor::AccountMenuItem>&) override {}
    void PopupMainMenu() override {}

    bool ExitRequested() const { return m_exitRequested; }

private:
    static std::string TrayName(monitor::TrayIcon icon);

    std::ostream& m_out;
    bool m_visible = true;
    bool m_exitRequested = false;
};

// The check timer as a switch: vorla-check fires its ticks itself.
class ManualTimer final : public monitor::TimerSwitch {
public:
    void SetEnabled(bool enabled) override { m_enabled = enabled; }
    bool Enabled() const override { return m_enabled; }
    void SetInterval(int) override {}

private:
    bool m_enabled = false;
};

// Downloads nothing: --no-news, so that a run touches no network but the mail servers.
class NoDownloads final : public monitor::HttpDownloader {
public:
    void DownloadFile(const std::string&, const std::string&) override {}
};

}  // namespace vorlacheck
