#pragma once
// The configuration dialog as the desktop program owns it: the logic on the main window's
// settings, its Qt face, the desktop file dialogs and the main window's skin, and "Configure"
// run as one call.
#include <QWidget>

#include <memory>

#include "config/TConfig.h"
#include "config/VorlaLink.h"
#include "ui/config/ConfigDialog.h"
#include "ui/config/QtConfigFileDialogs.h"

namespace ui {

struct ConfigWindowParts {
    monitor::TVorla& vorla;
    monitor::MonitorView& view;
    monitor::DialUp& dialUp;
    monitor::TimerSwitch& timer;
    platform::Dialogs& dialogs;
    platform::Shell& shell;
    config::MessagePreview& preview;
};

class ConfigWindow {
public:
    explicit ConfigWindow(ConfigWindowParts parts, QWidget* parent = nullptr);

    // "Configure": stops the timers, fills and shows the dialog modally, takes and applies the
    // settings after OK, and restarts the timers.
    void Config1Click();

    config::TConfig& Logic() { return m_logic; }
    ConfigDialog& Dialog() { return m_dialog; }

private:
    ConfigWindowParts m_parts;
    QtConfigFileDialogs m_files;
    config::VorlaSkinHost m_skinHost;
    config::TConfig m_logic;
    ConfigDialog m_dialog;
};

}  // namespace ui
