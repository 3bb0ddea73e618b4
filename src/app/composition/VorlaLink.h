#pragma once
// The main window's logic (TVorla and its jobs) as the configuration dialog and its sequence
// reach it.
// The desktop program and the headless tool use the same two adapters.
#include <functional>

#include "config/ConfigServices.h"
#include "config/ConfigSession.h"
#include "monitor/TVorla.h"

namespace app {

// The main window's skin, switched by the skin page. A skin that cannot be applied gives
// false here instead of ending the program, so the dialog can bring the previous one back.
class VorlaSkinHost final : public config::SkinHost {
public:
    VorlaSkinHost(monitor::MonitorJobs& jobs, monitor::WindowView& view)
        : m_jobs(jobs), m_view(view) {}

    bool IsMainWindowVisible() override { return m_view.IsWindowVisible(); }
    void ShowMainWindow() override { m_view.ShowWindow(); }
    bool LoadSkin() override { return m_jobs.Skins.Try(m_jobs.SettingsFolder); }
    void RepaintMainWindow() override { m_view.Repaint(); }

private:
    monitor::MonitorJobs& m_jobs;
    monitor::WindowView& m_view;
};

// The parts of the main window that "Configure" uses. showModal shows the dialog and
// returns when it has ended.
struct VorlaParts {
    monitor::TVorla& vorla;
    monitor::MonitorJobs& jobs;
    monitor::DialUp& dialUp;
    monitor::TimerSwitch& timer;
    std::function<void(config::TConfig&)> showModal;
};

class VorlaConfigOwner final : public config::ConfigOwner {
public:
    explicit VorlaConfigOwner(VorlaParts parts) : m_parts(std::move(parts)) {}

    void StopTimers() override { m_parts.jobs.Timers.StopTimers(); }
    void StartTimers() override { m_parts.jobs.Timers.StartTimers(); }
    std::vector<std::string> DialUpEntries() override { return m_parts.dialUp.Entries(); }
    std::vector<std::string> NewsServers() override { return m_parts.jobs.News.NewsServers; }
    void ShowModal(config::TConfig& dialog) override { m_parts.showModal(dialog); }
    void ApplyTickerSpeed(int speed) override;
    void ApplyCheckInterval(int minutes) override;
    void SaveConfig() override { m_parts.vorla.SaveSettings(); }
    void LitVrNews() override { m_parts.jobs.News.LitVrNews(); }
    void AfficheTray(bool modify) override { m_parts.jobs.Status.AfficheTray(modify); }
    void SetAutorun() override { m_parts.vorla.SetAutorun(); }
    void ShowMailState() override;
    void AccountsChanged() override { m_parts.jobs.Cycle.WatchAccounts(); }

private:
    VorlaParts m_parts;
};

}  // namespace app
