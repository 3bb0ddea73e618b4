#include "ui/main/MainMenu.h"

#include <QApplication>
#include <QStyle>

#include "ui/controls/Text.h"

namespace uimain {

namespace {

// Folder and server names are text: "&" must not turn into a mnemonic.
QString Caption(const std::string& text) {
    return uicontrols::ToQString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QIcon StandardIcon(QStyle::StandardPixmap pixmap) {
    return QApplication::style()->standardIcon(pixmap);
}

// Deletes every item after the first two (the fixed item and its separator).
void KeepFixedItems(QMenu& menu) {
    const QList<QAction*> actions = menu.actions();
    for (qsizetype i = 2; i < actions.size(); ++i) {
        menu.removeAction(actions[i]);
        delete actions[i];
    }
}

void Call(const std::function<void()>& handler) {
    if (handler) {
        handler();
    }
}

}  // namespace

MainMenu::MainMenu(MainMenuHandlers handlers, QWidget* parent)
    : QMenu(parent), m_handlers(std::move(handlers)) {
    setObjectName(QStringLiteral("PopMnu"));
    addAction(QStringLiteral("Configure"), this, [this] {
        Call(m_handlers.Config1Click);
    })->setObjectName(QStringLiteral("Config1"));
    addSeparator();
    m_skins = addMenu(StandardIcon(QStyle::SP_DirIcon), QStringLiteral("Skins"));
    m_skins->setObjectName(QStringLiteral("SkinMnu"));
    m_skins
        ->addAction(StandardIcon(QStyle::SP_DriveNetIcon), QStringLiteral("Get other skins..."),
                    this, [this] { Call(m_handlers.OtherSkinClick); })
        ->setObjectName(QStringLiteral("Otherskin"));
    m_skins->addSeparator();
    m_news = addMenu(StandardIcon(QStyle::SP_FileDialogDetailedView), QStringLiteral("News"));
    m_news->setObjectName(QStringLiteral("NewsMnu"));
    m_news
        ->addAction(StandardIcon(QStyle::SP_BrowserReload), QStringLiteral("Refresh List"), this,
                    [this] { Call(m_handlers.Actualiser1Click); })
        ->setObjectName(QStringLiteral("Actualiser1"));
    m_news->addSeparator();
    addSeparator();
    m_onTop = addAction(QStringLiteral("On Top"), this, [this] { Call(m_handlers.OnTopClick); });
    m_onTop->setObjectName(QStringLiteral("OnTop"));
    m_onTop->setCheckable(true);
    addAction(StandardIcon(QStyle::SP_DialogHelpButton), QStringLiteral("&Help"), this, [this] {
        Call(m_handlers.AideClick);
    })->setObjectName(QStringLiteral("Aide"));
    addSeparator();
    addAction(QStringLiteral("Exit"), this, [this] {
        Call(m_handlers.Exit1Click);
    })->setObjectName(QStringLiteral("Exit1"));
    connect(this, &QMenu::aboutToShow, this, &MainMenu::Rebuild);
}

void MainMenu::Rebuild() {
    if (!m_handlers.PopMnuPopup) {
        return;
    }
    const monitor::MainMenuModel& model = m_handlers.PopMnuPopup();
    KeepFixedItems(*m_news);
    for (const monitor::NewsMenuItem& item : model.NewsItems) {
        const int tag = item.Tag;
        QAction* action = m_news->addAction(Caption(item.Caption), this, [this, tag] {
            if (m_handlers.NewsServerClick) {
                m_handlers.NewsServerClick(tag);
            }
        });
        action->setData(tag);
    }
    KeepFixedItems(*m_skins);
    for (const std::string& name : model.SkinItems) {
        QAction* action = m_skins->addAction(Caption(name), this, [this, name] {
            if (m_handlers.SwitchSkinClick) {
                m_handlers.SwitchSkinClick(name);
            }
        });
        // The skin in use carries the check mark.
        action->setCheckable(name == model.CurrentSkin);
        action->setChecked(name == model.CurrentSkin);
    }
    m_onTop->setChecked(model.OnTopChecked);
}

}  // namespace uimain
