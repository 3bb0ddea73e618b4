#pragma once
// The open and save dialogs as Qt file dialogs: "caption|pattern|..." filters, the chosen
// filter and the last name kept in the dialog state between uses.
#include <QString>
#include <QStringList>

#include <string>

#include "platform/FileDialogs.h"

class QWidget;

namespace uimsgwindow {

// "text (*.txt)|*.txt|all (*.*)|*.*" as Qt name filters: "text (*.txt)", "all (*)".
QStringList NameFilters(const std::string& filter);

class QtFileDialogs final : public platform::FileDialogs {
public:
    // A dialog without a full path of its own opens in defaultFolder (when not empty).
    explicit QtFileDialogs(QWidget* parent, std::string defaultFolder = {})
        : m_parent(parent), m_defaultFolder(std::move(defaultFolder)) {}
    bool ExecuteSave(platform::FileDialogState& dialog) override;
    bool ExecuteOpen(platform::FileDialogState& dialog) override;

private:
    bool Execute(platform::FileDialogState& dialog, bool save);

    QWidget* m_parent;
    std::string m_defaultFolder;
};

}  // namespace uimsgwindow
