#pragma once
// PopMnu, the main popup menu: the fixed items, and the Skins and News submenus rebuilt from
// the logic's menu data each time the menu opens. Every item only forwards its click.
#include <QMenu>

#include <functional>
#include <string>

#include "monitor/PopupMenu.h"

namespace uimain {

struct MainMenuHandlers {
    std::function<const monitor::MainMenuModel&()> PopMnuPopup;
    std::function<void()> Config1Click;
    std::function<void()> OtherSkinClick;
    std::function<void(const std::string&)> SwitchSkinClick;
    std::function<void()> Actualiser1Click;
    std::function<void(int)> NewsServerClick;
    std::function<void()> OnTopClick;
    std::function<void()> AideClick;
    std::function<void()> Exit1Click;
};

class MainMenu : public QMenu {
    Q_OBJECT
public:
    explicit MainMenu(MainMenuHandlers handlers, QWidget* parent = nullptr);

    QMenu& SkinMnu() { return *m_skins; }
    QMenu& NewsMnu() { return *m_news; }
    QAction& OnTop() { return *m_onTop; }
    // Rebuilds both submenus and the check mark from the logic's data (done when it opens).
    void Rebuild();

private:
    MainMenuHandlers m_handlers;
    QMenu* m_skins;
    QMenu* m_news;
    QAction* m_onTop;
};

}  // namespace uimain
