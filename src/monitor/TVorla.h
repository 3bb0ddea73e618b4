#pragma once
// TVorla: the main monitor window's start and end. It reads the settings and the skin, puts
// the window's jobs (MonitorJobs) on line, and saves and closes at the end; it also answers
// the tray icon and what the message window asks of the main window. Everything shows through
// the MonitorFaces. The handlers carry the names of the window events that the desktop shell
// forwards to them.
#include <string>

#include "monitor/MonitorJobs.h"

namespace monitor {

enum class TrayEvent { LeftDown, RightDown, Other };

// The main window is also what the message window reports back to.
class TVorla final : public MainWindowLink {
public:
    // jobs and the parts must outlive the monitor.
    TVorla(MonitorJobs& jobs, const MonitorParts& parts);
    TVorla(const TVorla&) = delete;
    TVorla& operator=(const TVorla&) = delete;

    // Start-up and shut-down. FormCreate returns false when the program ends.
    // With goOnLine false the connection and the news wait for GoOnLine, so that a window
    // can be shown first.
    bool FormCreate(bool goOnLine = true);
    bool Init(bool goOnLine = true);
    void GoOnLine();
    void ShutDown();
    void Exit1Click();
    bool QueryEndSession();
    // Writes "Vorla.ini" with the window's position; throws SettingsWriteError.
    void SaveSettings();
    // A session checkpoint: the settings are saved and the program goes on.
    void CommitData();
    void FirstPaint();
    void SetAutorun();
    void TrayCallback(TrayEvent event);
    // With false, ShutDown leaves "Vorla.ini" alone (the command-line check).
    void SetSaveOnShutDown(bool save) { m_saveOnShutDown = save; }

    // What the message window asks of the main window.
    void CheckNextAccount(bool check) override { m_jobs.Cycle.CheckNextAccount(check); }
    void DrawStatus(const std::string& text) override { m_jobs.Status.DrawStatus(text); }
    ScreenPoint Place() override {
        const WindowPosition position = m_view.window.Position();
        return {position.Left, position.Top};
    }

private:
    MonitorJobs& m_jobs;
    Commun& m_commun;
    MonitorFaces m_view;
    DialUp& m_rasc;
    platform::Autorun& m_autorun;
    bool m_saveOnShutDown = true;
};

}  // namespace monitor
