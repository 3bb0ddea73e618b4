#include "skin/SkinShot.h"

#include "skin/Drawing.h"
#include "skin/PictureLoader.h"
#include "skin/Region.h"

namespace skin {

namespace {

void CutToRegion(Bitmap& window, const Bitmap& background) {
    const auto region = RegionFromBitmap(background, KeyColour, 0);
    if (!region) {
        return;
    }
    Bitmap inside(window.Width(), window.Height(), KeyColour);
    for (const Rect& r : region->Rects()) {
        CopyRect(inside, r.Left, r.Top, window, r.Left, r.Top, r.Width, r.Height);
    }
    window = std::move(inside);
}

void DrawButton(Bitmap& window, TImgBtn button) {
    const ImgBtnPaint paint = button.Paint(0, 0);
    if (paint.Shown != nullptr) {
        DrawTransparent(window, button.Left + paint.PictureX, button.Top + paint.PictureY,
                        paint.Shown->Image, KeyColour);
    }
}

}  // namespace

bool DrawSkinImageText(MainWindowSkin& skin, FontCache& fonts, TextImage image,
                       std::string_view text, int offset) {
    const bool status = image == TextImage::Status;
    SkinImage& target = status ? skin.STATBMP : skin.NBMSGBMP;
    TextDrawing drawing;
    drawing.Kind = image;
    drawing.CellWidth = status ? skin.StatusCellWidth : skin.CountCellWidth;
    drawing.CellHeight = status ? skin.StatusCellHeight : skin.CountCellHeight;
    drawing.MaxChar = skin.MaxChar;
    drawing.Font = &fonts.Font(status ? skin.StatusFontPath : skin.CountFontPath, skin.Loads);
    drawing.Background = &skin.Background;
    drawing.Left = target.Left;
    drawing.Top = target.Top;
    const bool pastEnd = RenderSkinText(drawing, text, offset, target.Shown.Image);
    target.Shown.Format = PictureFormat::Bitmap;
    return pastEnd;
}

Bitmap RenderMainWindow(MainWindowSkin& skin, FontCache& fonts, const MainShotOptions& options) {
    Bitmap window = skin.Background;
    for (const TImgBtn* button : {&skin.Connect, &skin.Disconnect, &skin.RefreshBtn, &skin.MAIL}) {
        DrawButton(window, *button);
    }
    skin.Online.Shown = LoadSkinPicture(options.Online ? skin.OnlinePath : skin.OfflinePath);
    DrawPictureTransparent(window, skin.Online.Left, skin.Online.Top, skin.Online.Shown);
    skin.FLAG.Shown = LoadSkinPicture(options.Mail ? skin.GotMailPath : skin.NoMailPath);
    DrawPictureTransparent(window, skin.FLAG.Left, skin.FLAG.Top, skin.FLAG.Shown);
    DrawSkinImageText(skin, fonts, TextImage::Count, options.Count, 0);
    DrawPictureTransparent(window, skin.NBMSGBMP.Left, skin.NBMSGBMP.Top, skin.NBMSGBMP.Shown);
    DrawSkinImageText(skin, fonts, TextImage::Status, options.Status, options.Offset);
    const Bitmap& status = skin.STATBMP.Shown.Image;
    CopyRect(window, skin.STATBMP.Left, skin.STATBMP.Top, status, 0, 0, status.Width(),
             status.Height());
    CutToRegion(window, skin.Background);
    return window;
}

Bitmap RenderMsgWindow(const MainWindowSkin& skin) {
    Bitmap window = skin.MsgBackground;
    for (const MsgButtonSkin& b : skin.MsgWindow.Buttons) {
        const Picture normal = LoadSkinPicture(b.NormalPath);
        DrawTransparent(window, b.X, b.Y, normal.Image, KeyColour);
    }
    CutToRegion(window, skin.MsgBackground);
    return window;
}

}  // namespace skin
