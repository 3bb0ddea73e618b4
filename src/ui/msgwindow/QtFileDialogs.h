#pragma once
// The open and save dialogs as Qt file dialogs: "caption|pattern|..." filters, the chosen
// filter and the last name kept in the dialog state between uses.
#include <QString>
#include <QStringList>

#include "platform/FileDialogs.h"

class QWidget;

namespace ui {

// "text (*.txt)|*.txt|all (*.*)|*.*" as Qt name filters: "text (*.txt)", "all (*)".
QStringList NameFilters(const std::string& filter);

class QtFileDialogs final : public platform::FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent) : m_parent(parent) {}
    bool ExecuteSave(platform::FileDialogState& dialog) override;
    bool ExecuteOpen(platform::FileDialogState& dialog) override;

private:
    bool Execute(platform::FileDialogState& dialog, bool save);

    QWidget* m_parent;
};

}  // namespace ui
