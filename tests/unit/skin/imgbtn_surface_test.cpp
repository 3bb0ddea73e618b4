#include <gtest/gtest.h>

#include "skin/ImgBtn.h"
#include "skin/MainSurface.h"

namespace {

using skin::Bitmap;
using skin::Picture;
using skin::PictureFormat;

Picture Pic(int w, int h) {
    return Picture{Bitmap(w, h), PictureFormat::Bitmap};
}

TEST(TImgBtn, WithoutCaptionTakesTheSizeOfPicOn) {
    skin::TImgBtn button;
    EXPECT_EQ(button.Width, 20);
    EXPECT_EQ(button.Height, 20);
    button.SetPicOff(Pic(10, 8));
    button.SetPicOn(Pic(12, 9));
    const skin::ImgBtnPaint paint = button.Paint(0, 0);
    EXPECT_EQ(button.Width, 12);
    EXPECT_EQ(button.Height, 9);
    EXPECT_EQ(paint.Shown, &button.PicOff);
    EXPECT_FALSE(paint.HasCaption);
}

TEST(TImgBtn, HoverShowsPicOnUnlessItIsEmpty) {
    skin::TImgBtn button;
    int repaints = 0;
    std::vector<std::string> events;
    button.OnRepaint = [&] { ++repaints; };
    button.OnMouseEnter = [&] { events.push_back("enter:" + std::to_string(repaints)); };
    button.OnMouseLeave = [&] { events.push_back("leave"); };
    button.SetPicOff(Pic(10, 8));
    button.MouseEnter();
    EXPECT_FALSE(button.Normal());
    EXPECT_TRUE(button.MouseInside());
    EXPECT_EQ(button.Paint(0, 0).Shown, &button.PicOff);
    EXPECT_EQ(button.Width, 10);
    button.SetPicOn(Pic(10, 8));
    EXPECT_EQ(button.Paint(0, 0).Shown, &button.PicOn);
    button.MouseDown();
    EXPECT_TRUE(button.Pressed());
    button.MouseLeave();
    EXPECT_FALSE(button.Pressed());
    EXPECT_TRUE(button.Normal());
    EXPECT_EQ(button.Paint(0, 0).Shown, &button.PicOff);
    const std::vector<std::string> expected = {"enter:2", "leave"};
    EXPECT_EQ(events, expected);
}

TEST(TImgBtn, DisabledButtonKeepsItsPicture) {
    skin::TImgBtn button;
    button.SetPicOff(Pic(4, 4));
    button.SetPicOn(Pic(4, 4));
    button.Enabled = false;
    button.MouseEnter();
    button.MouseDown();
    EXPECT_TRUE(button.Normal());
    EXPECT_FALSE(button.Pressed());
    EXPECT_EQ(button.Paint(0, 0).Shown, &button.PicOff);
}

TEST(TImgBtn, CaptionWithFrameAndArrowGeometry) {
    skin::TImgBtn button;
    button.Width = 33;
    button.Height = 11;
    button.Frame = true;
    button.Caption = "from";
    button.SetPicOff(Pic(5, 5));
    const skin::ImgBtnPaint paint = button.Paint(20, 7);
    EXPECT_EQ(paint.PictureX, 3);
    EXPECT_EQ(paint.PictureY, 2);  // (11 - 7) / 2, before the height follows the picture
    EXPECT_EQ(button.Height, 11);  // 5 + 6
    EXPECT_EQ(button.Width, 33);
    EXPECT_EQ(paint.CaptionX, 3 + 5 + 3);
    EXPECT_EQ(paint.CaptionY, 2);
    const int x = paint.CaptionX + 20;
    EXPECT_EQ(paint.Arrow[0].Y, 5);
    EXPECT_EQ(paint.Arrow[0].FromX, x + 3);
    EXPECT_EQ(paint.Arrow[0].ToX, x + 9);
    EXPECT_EQ(paint.Arrow[3].Y, 8);
    EXPECT_EQ(paint.Arrow[3].FromX, x + 6);
    EXPECT_EQ(paint.Arrow[3].ToX, x + 6);
    EXPECT_FALSE(paint.HoverColours);
    button.MouseEnter();
    EXPECT_TRUE(button.Paint(20, 7).HoverColours);
}

TEST(TImgBtn, EmptyPicOffDrawsOnlyTheCaptionAndKeepsItsSize) {
    skin::TImgBtn button;
    button.Caption = "x";
    const skin::ImgBtnPaint paint = button.Paint(6, 8);
    EXPECT_EQ(paint.Shown, nullptr);
    EXPECT_TRUE(paint.HasCaption);
    EXPECT_EQ(paint.CaptionX, 3);
    EXPECT_EQ(button.Width, 20);
    EXPECT_EQ(button.Height, 20);
}

// Two screens side by side, the second right of the first, and one above and left of both.
constexpr skin::WindowBox kFirst{0, 0, 1024, 768};
constexpr skin::WindowBox kSecond{1024, 0, 1280, 1024};
constexpr skin::WindowBox kUpperLeft{-1280, -1024, 1280, 1024};

TEST(WindowDrag, SnapsToAnEdgeOfItsScreenWhenMovingTowardsIt) {
    struct Row {
        const char* name;
        skin::WindowBox screen;
        skin::Point from;
        skin::Point to;
        skin::WindowBox start;
        int left;
        int top;
    };
    const Row rows[] = {
        {"left edge within 9 pixels", kFirst, {100, 100}, {95, 100}, {14, 200, 100, 40}, 0, 200},
        {"left edge at 10 pixels stays",
         kFirst,
         {100, 100},
         {96, 100},
         {14, 200, 100, 40},
         10,
         200},
        {"moving right away from the edge",
         kFirst,
         {100, 100},
         {103, 100},
         {0, 200, 100, 40},
         3,
         200},
        {"top edge", kFirst, {100, 100}, {100, 98}, {300, 8, 100, 40}, 300, 0},
        {"right edge", kFirst, {100, 100}, {102, 100}, {918, 200, 100, 40}, 924, 200},
        {"bottom edge", kFirst, {100, 100}, {100, 101}, {300, 720, 100, 40}, 300, 728},
        {"plain move", kFirst, {100, 100}, {130, 80}, {300, 300, 100, 40}, 330, 280},
        {"second screen: a move right in its middle",
         kSecond,
         {1600, 100},
         {1603, 100},
         {1500, 200, 100, 40},
         1503,
         200},
        {"second screen: its left edge",
         kSecond,
         {1100, 100},
         {1098, 100},
         {1030, 200, 100, 40},
         1024,
         200},
        {"second screen: its right edge",
         kSecond,
         {2250, 100},
         {2252, 100},
         {2200, 200, 100, 40},
         2204,
         200},
        {"second screen: its bottom edge",
         kSecond,
         {1600, 900},
         {1600, 902},
         {1500, 980, 100, 40},
         1500,
         984},
        {"negative origin: its top edge",
         kUpperLeft,
         {-500, -900},
         {-500, -902},
         {-600, -1020, 100, 40},
         -600,
         -1024},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        skin::WindowDrag drag;
        skin::WindowBox box = row.start;
        drag.MouseDown({.Left = true}, row.from);
        EXPECT_TRUE(drag.MouseMove({.Left = true}, row.to, box, row.screen));
        EXPECT_EQ(box.Left, row.left);
        EXPECT_EQ(box.Top, row.top);
    }
}

TEST(WindowDrag, OtherButtonsAndModifiersDoNotMove) {
    skin::WindowDrag drag;
    skin::WindowBox box{300, 300, 100, 40};
    drag.MouseDown({.Left = true}, {100, 100});
    for (const skin::ShiftState shift :
         {skin::ShiftState{.Left = true, .Shift = true}, skin::ShiftState{.Right = true},
          skin::ShiftState{.Left = true, .Ctrl = true}}) {
        EXPECT_FALSE(drag.MouseMove(shift, {150, 150}, box, kFirst));
    }
    EXPECT_EQ(box.Left, 300);
    EXPECT_EQ(box.Top, 300);
    drag.MouseMove({.Left = true}, {101, 100}, box, kFirst);
    EXPECT_EQ(box.Left, 301);
}

TEST(MainWindowPaint, StartHiddenHidesAtTheFirstPaintOnly) {
    bool pending = true;
    EXPECT_EQ(skin::MainWindowPaint(true, pending), skin::PaintAction::HideAndStopTicker);
    EXPECT_FALSE(pending);
    EXPECT_EQ(skin::MainWindowPaint(true, pending), skin::PaintAction::DrawBackground);
    bool shown = true;
    EXPECT_EQ(skin::MainWindowPaint(false, shown), skin::PaintAction::DrawBackground);
    EXPECT_TRUE(shown);
}

}  // namespace
