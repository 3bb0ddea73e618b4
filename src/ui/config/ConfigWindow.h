#pragma once
// The configuration dialog as the desktop program owns it: the logic on the main window's
// settings, its Qt face, the desktop file dialogs, and "Configure" run as one call. It reaches
// the main window only through the skin host and the config owner it is given.
#include <QWidget>

#include <memory>
#include <string>

#include "config/ConfigSession.h"
#include "config/TConfig.h"
#include "ui/config/ConfigDialog.h"
#include "ui/config/QtConfigFileDialogs.h"

namespace uiconfig {

struct ConfigWindowParts {
    settings::Config& config;
    settings::Tables& tables;
    // Where the settings are written; ends in "/".
    std::string settingsFolder;
    config::SkinHost& skinHost;
    // Its ShowModal is given this window's dialog to show modally.
    config::ConfigOwner& owner;
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
    config::ConfigOwner& m_owner;
    QtConfigFileDialogs m_files;
    config::TConfig m_logic;
    ConfigDialog m_dialog;
};

}  // namespace uiconfig
