#pragma once
// The "Change Skin" page: shows a skin's information, applies a chosen skin at once (with the
// previous one back when it cannot be applied) and remembers the skin in use when the dialog
// was shown, so that Close can bring it back.
#include <string>

#include "config/ConfigServices.h"
#include "config/DialogContext.h"
#include "config/OpenDialog.h"

namespace config {

class SkinPage {
public:
    SkinPage(DialogContext& context, SharedOpenDialog& open, FileDialogs& files, SkinHost& host,
             MessagePreview& preview)
        : m_context(context), m_open(open), m_files(files), m_host(host), m_preview(preview) {}

    // The dialog is shown: the skin in use is remembered and nothing counts as changed.
    void Remember();
    // The page is opened: the information of the current skin's "skin.ini".
    void Show();
    // Fills the information labels from a "skin.ini"; false (the error shown) when unreadable.
    bool ReadSkinInfo(const std::string& fileName);
    void BrowseClick();
    void BrSkinClick();
    void HidePreview();
    // Close: the skin in use when the dialog was shown comes back, when another was applied.
    void RestoreSkin();

    bool SkinChanged() const { return m_skinChanged; }

private:
    DialogContext& m_context;
    SharedOpenDialog& m_open;
    FileDialogs& m_files;
    SkinHost& m_host;
    MessagePreview& m_preview;
    std::string m_savedSkinFolder;
    bool m_skinChanged = false;
};

}  // namespace config
