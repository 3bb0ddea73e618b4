#include "monitor/Monitor.h"

#include <algorithm>

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

void TVorla::DrawStatus(const std::string& text) {
    Ticker.DrawSkinText(skin::TextImage::Status, text, 0);
    m_view.DrawStatus(text);
}

void TVorla::DrawCount(int count) {
    Ticker.DrawSkinText(skin::TextImage::Count, std::to_string(count), 0);
    m_view.DrawCount(count);
}

void TVorla::ShowFlagOrEnd(FlagPicture picture, bool quitPop) {
    const std::string& path = picture == FlagPicture::GotMail ? Skin.GotMailPath : Skin.NoMailPath;
    if (LoadInto(Skin.FLAG, path)) {
        m_view.FlagChanged(picture);
        return;
    }
    if (quitPop) {
        QuitSession();
    }
    settings::ReportFatal({m_view, m_view}, skin::kMailPictureFailed);
}

void TVorla::ShowOnlineOrEnd(bool online, bool quitPop) {
    if (LoadInto(Skin.Online, online ? Skin.OnlinePath : Skin.OfflinePath)) {
        m_view.OnlineChanged(online);
        return;
    }
    if (quitPop) {
        QuitSession();
    }
    settings::ReportFatal({m_view, m_view}, skin::kOnlinePictureFailed);
}

void TVorla::ShowConnectionState() {
    ShowFlagOrEnd(m_commun.WaitingCount < 1 ? FlagPicture::NoMail : FlagPicture::GotMail, true);
    if (m_commun.IsConnected) {
        DrawStatus(Ticker.StatusText);
        DrawCount(m_commun.WaitingCount);
        m_view.SetOnlineHint("Connected");
        // The tray follows the flag, so a redraw (a skin switch) keeps the mail icon.
        m_view.SetTrayIcon(m_commun.WaitingCount < 1 ? TrayIcon::VrCon : TrayIcon::VrMail);
        ShowOnlineOrEnd(true, true);
    } else {
        Ticker.StatusText = "Disconnected";
        DrawStatus(Ticker.StatusText);
        DrawCount(0);
        m_view.SetOnlineHint("Disconnected");
        m_view.SetTrayIcon(TrayIcon::VrDis);
        ShowOnlineOrEnd(false, false);
    }
}

void TVorla::ShowMessageCount() {
    const std::string name =
        IsAccount(m_commun.CurrentAccount) ? Account(m_commun.CurrentAccount).acc_name : "";
    Ticker.StatusText = name + " " + std::to_string(m_commun.WaitingCount) +
                        (m_commun.WaitingCount == 1 ? " message" : " messages");
    DrawStatus(Ticker.StatusText);
}

void TVorla::POPRetrieveProgress(unsigned percent) {
    const unsigned shown = std::min(percent, 100u);
    const long long size = m_messageWindow ? m_messageWindow->CurrentMessageSize() : 0;
    const long long kilobytes = size / 1024;
    DrawStatus("reading " + std::to_string(shown) + "% sur " + std::to_string(kilobytes) + "K");
}

}  // namespace monitor
