#include "ui/config/ConfigWindow.h"

namespace ui {

ConfigWindow::ConfigWindow(ConfigWindowParts parts, QWidget* parent)
    : m_parts(parts),
      m_files(parent),
      m_skinHost(parts.vorla, parts.view),
      m_logic(parts.vorla.Shared().Config, parts.vorla.Shared().Tables,
              parts.vorla.SettingsFolder(),
              {parts.dialogs, parts.shell, m_files, m_skinHost, parts.preview}),
      m_dialog(m_logic, parent) {}

void ConfigWindow::Config1Click() {
    config::VorlaConfigOwner owner({m_parts.vorla, m_parts.view, m_parts.dialUp, m_parts.timer,
                                    [this](config::TConfig&) { m_dialog.ShowModal(); }});
    config::Config1Click(owner, m_logic);
}

}  // namespace ui
