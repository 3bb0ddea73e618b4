#pragma once
// The state and sizing rules of the skinned two-picture button; the Qt button draws from it.
#include <array>
#include <functional>
#include <string>

#include "skin/Bitmap.h"

namespace skin {

// What one paint of a TImgBtn draws, in the button's own coordinates.
struct ImgBtnPaint {
    struct Line {
        int Y;
        int FromX;  // both ends drawn
        int ToX;
    };
    bool HasCaption = false;
    int CaptionX = 0;
    int CaptionY = 0;
    bool HoverColours = false;  // caption and arrow in Color, else in the font's colour
    std::array<Line, 4> Arrow{};
    const Picture* Shown = nullptr;  // null: no picture; drawn with KeyColour transparent
    int PictureX = 0;
    int PictureY = 0;
};

class TImgBtn {
public:
    Picture PicOff;  // normal picture
    Picture PicOn;   // hover picture
    bool Frame = false;
    Pixel FrameColor = Rgb(240, 240, 240);  // kept with the control, never drawn
    std::string Caption;
    std::string Hint;
    bool ShowHint = true;
    bool Enabled = true;
    int Left = 0;
    int Top = 0;
    int Width = 20;
    int Height = 20;

    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;
    std::function<void()> OnRepaint;  // the shell repaints the control

    bool MouseInside() const { return m_mouseInside; }
    bool Normal() const { return m_normal; }
    bool Pressed() const { return m_pressed; }

    void SetPicOff(const Picture& picture);
    void SetPicOn(const Picture& picture);

    // Mouse notifications; a disabled button gets none and keeps its picture.
    void MouseEnter();
    void MouseLeave();
    void MouseDown();
    void MouseUp();

    // Applies the sizing rules of a paint and says what to draw. textWidth and textHeight are
    // the caption's extent in the button's font (0 when there is no caption).
    ImgBtnPaint Paint(int textWidth, int textHeight);

private:
    void Repaint() const;

    bool m_mouseInside = false;
    bool m_normal = true;
    bool m_pressed = false;
};

}  // namespace skin
