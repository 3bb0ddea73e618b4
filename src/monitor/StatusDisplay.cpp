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

StatusDisplay::StatusDisplay(Commun& shared, MonitorView& view, skin::MainWindowSkin& skin,
                             skin::TStatusTicker& ticker, std::function<void()> endSession)
    : m_commun(shared),
      m_view(view),
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
    m_ticker.DrawSkinText(skin::TextImage::Count, std::to_string(count), 0);
    m_view.DrawCount(count);
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
    settings::ReportFatal({m_view, m_view}, skin::kMailPictureFailed);
}

void StatusDisplay::ShowOnlineOrEnd(bool online, bool quitPop) {
    if (LoadInto(m_skin.Online, online ? m_skin.OnlinePath : m_skin.OfflinePath)) {
        m_view.OnlineChanged(online);
        return;
    }
    if (quitPop) {
        m_endSession();
    }
    settings::ReportFatal({m_view, m_view}, skin::kOnlinePictureFailed);
}

void StatusDisplay::ShowConnectionState() {
    ShowFlagOrEnd(m_commun.WaitingCount < 1 ? FlagPicture::NoMail : FlagPicture::GotMail, true);
    if (m_commun.IsConnected) {
        DrawStatus(m_ticker.StatusText);
        DrawCount(m_commun.WaitingCount);
        m_view.SetOnlineHint("Connected");
        // The tray follows the flag, so a redraw (a skin switch) keeps the mail icon.
        m_view.SetTrayIcon(m_commun.WaitingCount < 1 ? TrayIcon::VrCon : TrayIcon::VrMail);
        ShowOnlineOrEnd(true, true);
    } else {
        m_ticker.StatusText = "Disconnected";
        DrawStatus(m_ticker.StatusText);
        DrawCount(0);
        m_view.SetOnlineHint("Disconnected");
        m_view.SetTrayIcon(TrayIcon::VrDis);
        ShowOnlineOrEnd(false, false);
    }
}

void StatusDisplay::ShowMessageCount() {
    const std::string name = m_commun.IsAccount(m_commun.CurrentAccount)
                                 ? m_commun.Account(m_commun.CurrentAccount).acc_name
                                 : "";
    m_ticker.StatusText = name + " " + std::to_string(m_commun.WaitingCount) +
                          (m_commun.WaitingCount == 1 ? " message" : " messages");
    DrawStatus(m_ticker.StatusText);
}

void StatusDisplay::AfficheTray(bool modify) {
    if (!m_commun.Config.icon_tray) {
        m_view.RemoveTrayIcon();
        return;
    }
    m_view.ShowTrayIcon(m_commun.IsConnected ? TrayIcon::VrCon : TrayIcon::VrDis, modify);
}

}  // namespace monitor
