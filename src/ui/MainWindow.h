#pragma once
// The main monitor window's surface: a frameless tool window (no task-bar button) that is the
// skin's background picture cut to its outline, with the skinned buttons and images on it.
// It paints the background without erasing, drags by the plain drag rules of the skin library
// and reports clicks and presses; what they mean is the core's business.
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QWidget>

#include <functional>

#include "monitor/Monitor.h"
#include "skin/MainSurface.h"
#include "ui/ImgBtnWidget.h"
#include "ui/SkinImage.h"

namespace ui {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow();

    // Takes the size of the picture; the outline comes separately from the core's region.
    void SetBackground(const QImage& background);
    const QImage& Background() const { return m_background; }
    void SetOutline(const QRegion& outline);

    // Asked on every paint; false means draw nothing (the first paint of a hidden start).
    std::function<bool()> beforePaint;

    // Top-most or not, keeping position, size and visibility.
    void ApplyOnTop(bool on);
    bool IsOnTop() const;

    ImgBtnWidget& Connect() { return *m_connect; }
    ImgBtnWidget& Disconnect() { return *m_disconnect; }
    ImgBtnWidget& RefreshBtn() { return *m_refresh; }
    ImgBtnWidget& MAIL() { return *m_mail; }
    SkinImage& STATBMP() { return *m_status; }
    SkinImage& NBMSGBMP() { return *m_count; }
    SkinImage& Online() { return *m_online; }
    SkinImage& FLAG() { return *m_flag; }

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
    QImage m_background;
    skin::WindowDrag m_drag;
    ImgBtnWidget* m_connect;
    ImgBtnWidget* m_disconnect;
    ImgBtnWidget* m_refresh;
    ImgBtnWidget* m_mail;
    SkinImage* m_status;
    SkinImage* m_count;
    SkinImage* m_online;
    SkinImage* m_flag;
};

}  // namespace ui
