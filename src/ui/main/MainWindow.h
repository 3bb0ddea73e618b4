#pragma once
// The main monitor window's surface: a frameless tool window (no task-bar button) that is the
// skin's background picture cut to its outline, with the skinned buttons and images on it.
// It paints the background without erasing, drags by the skin library's drag rules and
// reports clicks and presses; what they mean is the core's business.
#include <QPoint>
#include <QWidget>

#include <functional>

#include "skin/MainSurface.h"
#include "skin/SkinModel.h"
#include "ui/controls/ImageWidget.h"
#include "ui/controls/ImgBtnWidget.h"

namespace ui {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The skin model holds the buttons' state; it must outlive the window.
    explicit MainWindow(skin::MainWindowSkin& skin);

    // Takes size, outline, position, button pictures and places, and image places from the
    // model after a skin load.
    void ApplySkin();

    // Asked on every paint; false means draw nothing (the first paint of a hidden start).
    std::function<bool()> beforePaint;

    // Top-most or not, keeping position, size and visibility.
    void ApplyOnTop(bool on);
    bool IsOnTop() const;

    ImgBtnWidget& Connect() { return *m_connect; }
    ImgBtnWidget& Disconnect() { return *m_disconnect; }
    ImgBtnWidget& RefreshBtn() { return *m_refresh; }
    ImgBtnWidget& MAIL() { return *m_mail; }
    ImageWidget& STATBMP() { return *m_status; }
    ImageWidget& NBMSGBMP() { return *m_count; }
    ImageWidget& Online() { return *m_online; }
    ImageWidget& FLAG() { return *m_flag; }

signals:
    // A right click, the menu key or Shift+F10 on the surface or an element without a menu of
    // its own.
    void ContextMenuRequested(QPoint screenPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    skin::MainWindowSkin& m_skin;
    QImage m_background;
    skin::WindowDrag m_drag;
    ImgBtnWidget* m_connect;
    ImgBtnWidget* m_disconnect;
    ImgBtnWidget* m_refresh;
    ImgBtnWidget* m_mail;
    ImageWidget* m_status;
    ImageWidget* m_count;
    ImageWidget* m_online;
    ImageWidget* m_flag;
};

}  // namespace ui
