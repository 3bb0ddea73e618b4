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

namespace uimain {

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

    uicontrols::ImgBtnWidget& Connect() { return *m_connect; }
    uicontrols::ImgBtnWidget& Disconnect() { return *m_disconnect; }
    uicontrols::ImgBtnWidget& RefreshBtn() { return *m_refresh; }
    uicontrols::ImgBtnWidget& MAIL() { return *m_mail; }
    uicontrols::ImageWidget& STATBMP() { return *m_status; }
    uicontrols::ImageWidget& NBMSGBMP() { return *m_count; }
    uicontrols::ImageWidget& Online() { return *m_online; }
    uicontrols::ImageWidget& FLAG() { return *m_flag; }

signals:
    // A right click or the menu key on the surface or an element without a menu of its own.
    void ContextMenuRequested(QPoint screenPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    skin::MainWindowSkin& m_skin;
    QImage m_background;
    skin::WindowDrag m_drag;
    uicontrols::ImgBtnWidget* m_connect;
    uicontrols::ImgBtnWidget* m_disconnect;
    uicontrols::ImgBtnWidget* m_refresh;
    uicontrols::ImgBtnWidget* m_mail;
    uicontrols::ImageWidget* m_status;
    uicontrols::ImageWidget* m_count;
    uicontrols::ImageWidget* m_online;
    uicontrols::ImageWidget* m_flag;
};

}  // namespace uimain
