#pragma once
// "Vorla Configuration": the Qt face of TConfig. Every control of the logic has a widget of the
// same objectName; the widgets forward the user's actions to the logic and show its state
// after each one. The page menu opens from MenuBtn.
#include <QDialog>

#include <map>
#include <string>

#include "config/TConfig.h"

class QMenu;
class QToolButton;
class QPushButton;

namespace uiconfig {

class ConfigDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ConfigDialog(config::TConfig& logic, QWidget* parent = nullptr);
    ~ConfigDialog() override;

    // Shows the logic's state in every widget.
    void Sync();
    // The page menu, as MenuBtn opens it.
    QMenu& PageMenu() { return *m_pageMenu; }
    // Shows the dialog modally as "Configure" does; returns once it has ended.
    void ShowModal();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* MakeWidget(const std::string& name, const config::Control& control, QWidget* page);
    void BuildPage(const std::string& page, QWidget* panel);
    void BuildPageMenu();
    // Runs a user action on the logic, shows the result and ends the dialog when it ended.
    void Act(const std::function<void()>& action);
    // Shows the logic's state in every widget, leaving the focus and default button alone.
    void SyncWidgets();
    void SyncWidget(const std::string& name, const config::Control& control);
    void EndIfEnded();

    config::TConfig& m_logic;
    std::map<std::string, QWidget*> m_widgets;
    QMenu* m_pageMenu = nullptr;
    QToolButton* m_menuBtn = nullptr;
    bool m_syncing = false;
};

}  // namespace uiconfig
