#include "skin/ImgBtn.h"

namespace skin {

void TImgBtn::Repaint() const {
    if (OnRepaint) {
        OnRepaint();
    }
}

void TImgBtn::SetPicOff(const Picture& picture) {
    PicOff = picture;
    Repaint();
}

void TImgBtn::SetPicOn(const Picture& picture) {
    PicOn = picture;
    Repaint();
}

void TImgBtn::MouseEnter() {
    if (!Enabled) {
        return;
    }
    m_mouseInside = true;
    m_normal = false;
    Repaint();
    if (OnMouseEnter) {
        OnMouseEnter();
    }
}

void TImgBtn::MouseLeave() {
    if (!Enabled) {
        return;
    }
    m_mouseInside = false;
    m_normal = true;
    m_pressed = false;
    Repaint();
    if (OnMouseLeave) {
        OnMouseLeave();
    }
}

void TImgBtn::MouseDown() {
    if (!Enabled) {
        return;
    }
    m_pressed = true;
    Repaint();
}

void TImgBtn::MouseUp() {
    if (!Enabled) {
        return;
    }
    m_pressed = false;
    Repaint();
}

ImgBtnPaint TImgBtn::Paint(int textWidth, int textHeight) {
    ImgBtnPaint paint;
    const int a = Frame ? 3 : 0;
    const int y = Frame ? (Height - textHeight) / 2 : 0;
    if (!PicOff.Empty()) {
        if (!Caption.empty()) {
            Height = PicOff.Height() + 6;
        } else {
            // An empty hover picture would shrink the button to nothing; it keeps the size of
            // the picture it actually shows.
            const Picture& sized = PicOn.Empty() ? PicOff : PicOn;
            Width = sized.Width();
            Height = sized.Height();
        }
    }
    if (!Caption.empty()) {
        paint.HasCaption = true;
        paint.HoverColours = !m_normal;
        paint.CaptionX = a + PicOff.Width() + 3;
        paint.CaptionY = y;
        const int x = paint.CaptionX + textWidth;
        const int m = Height / 2;
        paint.Arrow = {{{m, x + 3, x + 9},
                        {m + 1, x + 4, x + 8},
                        {m + 2, x + 5, x + 7},
                        {m + 3, x + 6, x + 6}}};
    }
    if (!PicOff.Empty()) {
        paint.Shown = (!m_normal && !PicOn.Empty()) ? &PicOn : &PicOff;
        paint.PictureX = a;
        paint.PictureY = y;
    }
    return paint;
}

}  // namespace skin
