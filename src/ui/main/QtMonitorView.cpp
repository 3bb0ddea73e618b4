#include "ui/main/QtMonitorView.h"

#include <QApplication>
#include <QCursor>
#include <QFont>
#include <QMenu>
#include <QSystemTrayIcon>

#include "ui/controls/Pictures.h"
#include "ui/controls/Text.h"

namespace uimain {

namespace {

QIcon TrayPicture(monitor::TrayIcon icon) {
    switch (icon) {
        case monitor::TrayIcon::VrCon:
            return QIcon(QStringLiteral(":/tray/VrCon.png"));
        case monitor::TrayIcon::VrMail:
            return QIcon(QStringLiteral(":/tray/VrMail.png"));
        case monitor::TrayIcon::VrDis:
            break;
    }
    return QIcon(QStringLiteral(":/tray/VrDis.png"));
}

QIcon MenuIcon(monitor::MenuPicture picture) {
    switch (picture) {
        case monitor::MenuPicture::SmallOk:
            return QIcon(QStringLiteral(":/tray/VrCon.png"));
        case monitor::MenuPicture::SmallErr:
            return QIcon(QStringLiteral(":/tray/VrDis.png"));
        case monitor::MenuPicture::None:
            break;
    }
    return {};
}

// Menu captions come from folder and account names: "&" is text there, not a mnemonic.
QString MenuCaption(const std::string& text) {
    return uicontrols::ToQString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

QtMonitorView::QtMonitorView(platform::Sound& sound, platform::Dialogs& dialogs,
                             platform::ExitRequest& exitRequest)
    : m_sound(sound),
      m_dialogs(dialogs),
      m_exitRequest(exitRequest),
      m_tray(new QSystemTrayIcon(this)) {
    m_tray->setToolTip(QStringLiteral("Vorla"));
    m_tray->setIcon(TrayPicture(monitor::TrayIcon::VrDis));
}

QtMonitorView::~QtMonitorView() = default;

void QtMonitorView::Attach(monitor::TVorla& vorla) {
    m_skin = &vorla.Skin();
    m_window = std::make_unique<MainWindow>(vorla.Skin());
}

void QtMonitorView::ShowMessage(const std::string& text) {
    m_dialogs.ShowMessage(text);
}

bool QtMonitorView::Ask(const std::string& text) {
    return m_dialogs.Ask(text);
}

platform::Answer QtMonitorView::AskYesNoCancel(const std::string& text) {
    return m_dialogs.AskYesNoCancel(text);
}

void QtMonitorView::RequestExit() {
    m_exitRequest.RequestExit();
}

void QtMonitorView::DrawStatus(const std::string&) {
    TextImageChanged(skin::TextImage::Status);
}

void QtMonitorView::DrawCount(const std::string&) {
    TextImageChanged(skin::TextImage::Count);
}

void QtMonitorView::TextImageChanged(skin::TextImage image) {
    if (image == skin::TextImage::Status) {
        // STATBMP carries its own copy of the background: shown as drawn. The ticker redraws
        // it up to 200 times a second, each time from a timer event: it is painted there.
        uicontrols::ImageWidget& status = m_window->STATBMP();
        status.ShowNow(m_skin->STATBMP.Shown.Image);
        if (m_skin->STATBMP.Hint != m_statusHint) {
            m_statusHint = m_skin->STATBMP.Hint;
            status.SetHint(uicontrols::ToQString(m_statusHint));
        }
        status.SetHandCursor(m_skin->STATBMP.HandCursor);
    } else {
        m_window->NBMSGBMP().SetImage(uicontrols::KeyedImage(m_skin->NBMSGBMP.Shown.Image));
    }
}

void QtMonitorView::FlagChanged(monitor::FlagPicture) {
    ShowImage(m_window->FLAG(), m_skin->FLAG);
}

void QtMonitorView::OnlineChanged(bool) {
    ShowImage(m_window->Online(), m_skin->Online);
}

void QtMonitorView::SkinLoaded() {
    m_window->ApplySkin();
}

void QtMonitorView::SetOnlineHint(const std::string& hint) {
    m_skin->Online.Hint = hint;
    m_window->Online().setToolTip(uicontrols::ToQString(hint));
}

void QtMonitorView::SetTrayIcon(monitor::TrayIcon icon) {
    m_tray->setIcon(TrayPicture(icon));
}

void QtMonitorView::ShowTrayIcon(monitor::TrayIcon icon, bool) {
    m_tray->setIcon(TrayPicture(icon));
    m_tray->show();
}

void QtMonitorView::RemoveTrayIcon() {
    m_tray->hide();
}

void QtMonitorView::SetTrayToolTip(const std::string& text) {
    m_tray->setToolTip(uicontrols::ToQString(text));
}

bool QtMonitorView::HasSystemTray() {
    return systemTrayAvailable && systemTrayAvailable();
}

bool QtMonitorView::IsWindowVisible() {
    return m_window->isVisible();
}

void QtMonitorView::ShowWindow() {
    m_window->show();
}

void QtMonitorView::HideWindow() {
    m_window->hide();
}

void QtMonitorView::BringToFront() {
    m_window->raise();
    m_window->activateWindow();
}

void QtMonitorView::Repaint() {
    m_window->update();
}

void QtMonitorView::CloseMainWindow() {
    // Tool windows do not end the application when they close: end it here.
    m_window->close();
    QCoreApplication::exit(0);
}

monitor::WindowPosition QtMonitorView::Position() {
    return {m_window->x(), m_window->y()};
}

void QtMonitorView::ApplyOnTop(bool on) {
    m_window->ApplyOnTop(on);
}

void QtMonitorView::SetBusyCursor(bool busy) {
    if (busy == m_busyCursor) {
        return;
    }
    m_busyCursor = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtMonitorView::SetButtonsEnabled(bool enabled) {
    for (uicontrols::ImgBtnWidget* button : {&m_window->Connect(), &m_window->Disconnect(),
                                             &m_window->RefreshBtn(), &m_window->MAIL()}) {
        button->SetButtonEnabled(enabled);
    }
    m_window->FLAG().setEnabled(enabled);
}

void QtMonitorView::PlaySound(const std::string& file) {
    m_sound.PlayFile(file);
}

void QtMonitorView::PopupAccountMenu(const std::vector<monitor::AccountMenuItem>& items) {
    // The previous menu may be the one whose item handler is running (a right click on
    // RefreshBtn during a long check): it goes when that handler has returned.
    if (m_accountMenu) {
        m_accountMenu.release()->deleteLater();
    }
    m_accountMenu = std::make_unique<QMenu>();
    for (const monitor::AccountMenuItem& item : items) {
        if (item.Caption == "-") {
            m_accountMenu->addSeparator();
            continue;
        }
        QAction* action =
            m_accountMenu->addAction(MenuIcon(item.Picture), MenuCaption(item.Caption));
        if (item.IsDefault) {
            QFont bold = action->font();
            bold.setBold(true);
            action->setFont(bold);
        }
        const int tag = item.Tag;
        connect(action, &QAction::triggered, this, [this, tag] {
            if (accountMenuClick) {
                accountMenuClick(tag);
            }
        });
    }
    m_accountMenu->popup(QCursor::pos());
}

void QtMonitorView::PopupMainMenu() {
    if (m_mainMenu != nullptr) {
        m_mainMenu->popup(QCursor::pos());
    }
}

void QtMonitorView::ShowImage(uicontrols::ImageWidget& widget, const skin::SkinImage& image) {
    widget.SetImage(uicontrols::TransparentImage(image.Shown));
    widget.SetHint(uicontrols::ToQString(image.Hint));
    widget.SetHandCursor(image.HandCursor);
}

}  // namespace uimain
