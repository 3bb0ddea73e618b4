#include "ui/config/ConfigWindow.h"

namespace uiconfig {

ConfigWindow::ConfigWindow(ConfigWindowParts parts, QWidget* parent)
    : m_owner(parts.owner),
      m_files(parent),
      m_logic(parts.config, parts.tables, std::move(parts.settingsFolder),
              {parts.dialogs, parts.shell, m_files, parts.skinHost, parts.preview}),
      m_dialog(m_logic, parent) {}

void ConfigWindow::Config1Click() {
    config::Config1Click(m_owner, m_logic);
}

}  // namespace uiconfig
