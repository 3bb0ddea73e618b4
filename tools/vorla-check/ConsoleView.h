#pragma once
// The main window of vorla-check: every request of the monitor becomes one output line that
// starts with a fixed word; requests without a visible effect here print nothing.
#include <ostream>
#include <string>

#include "ConsoleFaces.h"
#include "monitor/Notifier.h"

namespace vorlacheck {

class ConsoleView final : public console::QuietStatus,
                          public console::QuietTray,
                          public console::QuietWindow,
                          public monitor::SoundPlayer,
                          public console::ConsoleBoxes,
                          public monitor::Notifier {
public:
    using ConsoleBoxes::ConsoleBoxes;

    // Every part of the main window's face is this one.
    monitor::MonitorFaces Faces() { return {*this, *this, *this, *this, *this, *this}; }

    // One line: the word, a blank, the text as console::OneLine writes it.
    void Print(const std::string& word, const std::string& text);

    void ShowMessage(const std::string& text) override { Print("message", text); }
    void DrawStatus(const std::string& text) override { Print("status", text); }
    void DrawCount(const std::string& count) override { Print("count", count); }
    void FlagChanged(monitor::FlagPicture picture) override;
    void OnlineChanged(bool online) override {
        Print("online", online ? "connected" : "disconnected");
    }
    void SetTrayIcon(monitor::TrayIcon icon) override { Print("tray", TrayName(icon)); }
    void ShowTrayIcon(monitor::TrayIcon icon, bool) override { Print("tray", TrayName(icon)); }
    void ShowWindow() override;
    void PlaySound(const std::string& file) override { Print("sound", file); }
    // "notify SUMMARY", then one "notify-line TEXT" for each line of the body.
    void Notify(const monitor::NewMailNotice& notice) override;

private:
    static std::string TrayName(monitor::TrayIcon icon);
};

}  // namespace vorlacheck
