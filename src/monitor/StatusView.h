#pragma once
// The status part of the main window's face: which of the skin's pictures the status display
// has just drawn into, and the online hint.
#include <string>

#include "skin/SkinText.h"

namespace monitor {

// The picture of the mail flag `FLAG`, taken from the skin's "[youhavemail]" section.
enum class FlagPicture { GotMail, NoMail };

class StatusView {
public:
    virtual ~StatusView() = default;
    // The pictures live in TVorla::Skin; these calls say which one has just changed.
    // A text was drawn into the status line `STATBMP` at offset 0 with the status font.
    virtual void DrawStatus(const std::string& text) = 0;
    // A count was drawn into `NBMSGBMP` with the count font: a number, or "-" when the check
    // of the account failed.
    virtual void DrawCount(const std::string& count) = 0;
    // The ticker drew into one of the two text images on its own.
    virtual void TextImageChanged(skin::TextImage image) = 0;
    // `FLAG` shows the skin's mail or no-mail picture now.
    virtual void FlagChanged(FlagPicture picture) = 0;
    // `Online` shows the skin's online or not-online picture now.
    virtual void OnlineChanged(bool online) = 0;
    // A skin was loaded into TVorla::Skin: size, shape, place and pictures of both windows.
    virtual void SkinLoaded() = 0;
    virtual void SetOnlineHint(const std::string& hint) = 0;
};

}  // namespace monitor
