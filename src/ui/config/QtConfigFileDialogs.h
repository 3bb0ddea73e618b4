#pragma once
// The desktop's open-file dialog and folder picker for the configuration dialog.
#include <QString>

#include "config/ConfigServices.h"

class QWidget;

namespace uiconfig {

class QtConfigFileDialogs final : public config::FileDialogs {
public:
    explicit QtConfigFileDialogs(QWidget* parent) : m_parent(parent) {}
    std::optional<std::string> OpenFile(const config::OpenRequest& request) override;
    std::optional<std::string> PickFolder(const std::string& caption) override;

private:
    QWidget* m_parent;
};

// A filter list in Qt's form, "Description (pattern)" entries separated by ";;".
QString QtFilterList(const std::string& filter);

}  // namespace uiconfig
