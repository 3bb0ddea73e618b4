#include "monitor/StatusDisplay.h"

#include "settings/FindInSkin.h"
#include "skin/PictureLoader.h"
#include "skin/SkinError.h"

namespace monitor {

namespace {

// A picture of the skin into one of the window's images; false when it cannot be loaded.
bool LoadInto(skin::SkinImage& image, const std::string& path) {
    try {
        image.Shown = skin::LoadSkinPicture(path);
    } catch (const skin::SkinError&) {
        return false;
    }
    return true;
}

}  // namespace

StatusDisplay::StatusDisplay(Commun& shared, const MonitorFaces& faces, skin::MainWindowSkin& skin,
                             skin::TStatusTicker& ticker, std::function<void()> endSession)
    : m_commun(shared),
      m_view(faces.status),
      m_tray(faces.tray),
      m_fatal{faces.dialogs, faces.exit},
      m_skin(skin),
      m_ticker(ticker),
      m_endSession(std::move(endSession)) {}

void StatusDisplay::ReportError(const std::string& text) {
    m_commun.SetErrorNotice(text);
    m_ticker.TickerText = text;
}

void StatusDisplay::DrawStatus(const std::string& text) {
    m_ticker.DrawSkinText(skin::TextImage::Status, text, 0);
    m_view.DrawStatus(text);
}

void StatusDisplay::DrawCount(int count) {
    DrawCount(std::to_string(count));
}

void StatusDisplay::DrawCount(const std::string& count) {
    m_ticker.DrawSkinText(skin::TextImage::Count, count, 0);
    m_view.DrawCount(count);
}

namespace {

bool CheckFailed(Commun& shared) {
    return shared.IsAccount(shared.CurrentAccount) &&
           shared.Account(shared.CurrentAccount).LastCount == settings::kCheckFailed;
}

std::string MessagesText(int count) {
    return std::to_string(count) + (count == 1 ? " message" : " messages");
}

}  // namespace

bool StatusDisplay::MailWaiting() const {
    return m_commun.IsConnected && m_commun.WaitingCount > 0 && !CheckFailed(m_commun);
}

TrayIcon StatusDisplay::CurrentTrayIcon() const {
    if (!m_commun.IsConnected) {
        return TrayIcon::VrDis;
    }
    return MailWaiting() ? TrayIcon::VrMail : TrayIcon::VrCon;
}

std::string StatusDisplay::CountText() const {
    if (!m_commun.IsConnected) {
        return "0";
    }
    return CheckFailed(m_commun) ? "-" : std::to_string(m_commun.WaitingCount);
}

std::string StatusDisplay::TrayToolTip() const {
    std::string tip = "Vorla";
    if (!m_commun.IsConnected) {
        return tip + "\nDisconnected";
    }
    const settings::Tables& tables = m_commun.Tables;
    for (int n = 0; n < tables.AccountCount; ++n) {
        const settings::AccountRecord& account = tables.AccountTable[n];
        // The check takes an inactive account when it is the only one.
        if (account.acc_name.empty() || (account.inactive && tables.AccountCount > 1)) {
            continue;
        }
        tip += "\n" + account.acc_name + ": ";
        if (account.LastCount >= 0) {
            tip += MessagesText(account.LastCount);
        } else if (account.LastCount == settings::kCheckFailed) {
            tip += account.LastError.empty() ? "check failed" : account.LastError;
        } else {
            tip += "not checked yet";
        }
    }
    return tip;
}

void StatusDisplay::ShowTrayToolTip() {
    m_tray.SetTrayToolTip(TrayToolTip());
}

void StatusDisplay::ShowMailState() {
    ShowFlagOrEnd(MailWaiting() ? FlagPicture::GotMail : FlagPicture::NoMail, true);
    m_tray.SetTrayIcon(CurrentTrayIcon());
    ShowTrayToolTip();
    DrawCount(CountText());
}

void StatusDisplay::ShowFlagOrEnd(FlagPicture picture, bool quitPop) {
    const std::string& path =
        picture == FlagPicture::GotMail ? m_skin.GotMailPath : m_skin.NoMailPath;
    if (LoadInto(m_skin.FLAG, path)) {
        m_view.FlagChanged(picture);
        return;
    }
    if (quitPop) {
        m_endSession();
    }
    settings::ReportFatal(m_fatal, skin::kMailPictureFailed);
}

void StatusDisplay::ShowOnlineOrEnd(bool online, bool quitPop) {
    if (LoadInto(m_skin.Online, online ? m_skin.OnlinePath : m_skin.OfflinePath)) {
        m_view.OnlineChanged(online);
        return;
    }
    if (quitPop) {
        m_endSession();
    }
    settings::ReportFatal(m_fatal, skin::kOnlinePictureFailed);
}

void StatusDisplay::ShowConnectionState() {
    ShowFlagOrEnd(MailWaiting() ? FlagPicture::GotMail : FlagPicture::NoMail, true);
    ShowTrayToolTip();
    if (m_commun.IsConnected) {
        DrawStatus(m_ticker.StatusText);
        DrawCount(CountText());
        m_view.SetOnlineHint("Connected");
        // The tray follows the flag, so a redraw (a skin switch) keeps the mail icon.
        m_tray.SetTrayIcon(CurrentTrayIcon());
        ShowOnlineOrEnd(true, true);
    } else {
        m_ticker.StatusText = "Disconnected";
        DrawStatus(m_ticker.StatusText);
        DrawCount(0);
        m_view.SetOnlineHint("Disconnected");
        m_tray.SetTrayIcon(TrayIcon::VrDis);
        ShowOnlineOrEnd(false, false);
    }
}

void StatusDisplay::ShowMessageCount() {
    const std::string name = m_commun.IsAccount(m_commun.CurrentAccount)
                                 ? m_commun.Account(m_commun.CurrentAccount).acc_name
                                 : "";
    m_ticker.StatusText = name + " " + MessagesText(m_commun.WaitingCount);
    DrawStatus(m_ticker.StatusText);
}

void StatusDisplay::AfficheTray(bool modify) {
    if (!m_commun.Config.icon_tray) {
        m_tray.RemoveTrayIcon();
        return;
    }
    // The icon shows what the flag shows: a dialog closed while mail waits keeps the mail icon.
    ShowTrayToolTip();
    m_tray.ShowTrayIcon(CurrentTrayIcon(), modify);
}

bool StatusDisplay::TrayMissing() {
    return (m_commun.Config.icon_tray || m_commun.Config.hidden) && !m_tray.HasSystemTray();
}

void StatusDisplay::SayTrayMissingOnce() {
    if (m_trayMissingSaid || !TrayMissing()) {
        return;
    }
    m_trayMissingSaid = true;
    // Drawn at once, then scrolled through once by the ticker before its next item.
    m_ticker.TickerText = kNoSystemTray;
    m_ticker.ScrollOffset = 0;
    DrawStatus(kNoSystemTray);
    m_ticker.Pause();
}

}  // namespace monitor
