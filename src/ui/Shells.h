#pragma once
// The configuration dialog TConfig and the message window TMsgList as empty windows, until
// their own pages and views are built; they open and close like the real ones.
#include <QDialog>

#include "monitor/Services.h"

namespace ui {

class ConfigDialogShell final : public QDialog {
    Q_OBJECT
public:
    explicit ConfigDialogShell(QWidget* parent = nullptr);
};

class MessageWindowShell final : public QDialog, public monitor::MessageWindow {
    Q_OBJECT
public:
    explicit MessageWindowShell(QWidget* parent = nullptr);
    bool IsVisible() override { return isVisible(); }
    void DisplayMessage(int, bool) override {}
    void ShowModal() override { exec(); }
    long long CurrentMessageSize() override { return 0; }
};

}  // namespace ui
