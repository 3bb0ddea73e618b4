#include "ui/MainWindow.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "ui/Mouse.h"

namespace ui {

namespace {

constexpr Qt::WindowFlags kWindowFlags = Qt::Tool | Qt::FramelessWindowHint;

}  // namespace

MainWindow::MainWindow()
    : QWidget(nullptr, kWindowFlags),
      m_connect(new ImgBtnWidget(this)),
      m_disconnect(new ImgBtnWidget(this)),
      m_refresh(new ImgBtnWidget(this)),
      m_mail(new ImgBtnWidget(this)),
      m_status(new SkinImage(this)),
      m_count(new SkinImage(this)),
      m_online(new SkinImage(this)),
      m_flag(new SkinImage(this)) {
    setWindowTitle(QStringLiteral("Vorla"));
    // The background covers every visible pixel: nothing is erased before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setObjectName(QStringLiteral("TVorla"));
    m_connect->setObjectName(QStringLiteral("Connect"));
    m_connect->SetHint("Connect to POP server");
    m_disconnect->setObjectName(QStringLiteral("Disconnect"));
    m_disconnect->SetHint("Hang-up the line");
    m_refresh->setObjectName(QStringLiteral("RefreshBtn"));
    m_refresh->SetHint("Check for Messages");
    m_mail->setObjectName(QStringLiteral("MAIL"));
    m_mail->SetHint("Run mail client");
    m_status->setObjectName(QStringLiteral("STATBMP"));
    m_count->setObjectName(QStringLiteral("NBMSGBMP"));
    m_count->setToolTip(QStringLiteral("NB Messages"));
    m_online->setObjectName(QStringLiteral("Online"));
    m_flag->setObjectName(QStringLiteral("FLAG"));
    resize(0, 0);
}

void MainWindow::SetBackground(const QImage& background) {
    m_background = background;
    setFixedSize(background.size());
    update();
}

void MainWindow::SetOutline(const QRegion& outline) {
    setMask(outline);
    update();
}

void MainWindow::ApplyOnTop(bool on) {
    if (IsOnTop() == on) {
        return;
    }
    // Changing the flags re-creates the native window hidden; put it back as it was.
    const QPoint position = pos();
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    move(position);
    if (wasVisible) {
        show();
        if (on) {
            raise();
        }
    }
}

bool MainWindow::IsOnTop() const {
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void MainWindow::paintEvent(QPaintEvent*) {
    if (beforePaint && !beforePaint()) {
        return;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_background);
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->globalPosition().toPoint();
    m_drag.MouseDown(ShiftStateOf(*event, false), {p.x(), p.y()});
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->globalPosition().toPoint();
    skin::WindowBox box{x(), y(), width(), height()};
    const QScreen* display = screen();
    const QSize screenSize = display != nullptr ? display->geometry().size() : QSize();
    if (m_drag.MouseMove(ShiftStateOf(*event, false), {p.x(), p.y()}, box, screenSize.width(),
                         screenSize.height())) {
        move(box.Left, box.Top);
    }
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt's default would handle it as a plain press; the drag rules see it as a double click.
    const QPoint p = event->globalPosition().toPoint();
    m_drag.MouseDown(ShiftStateOf(*event, true), {p.x(), p.y()});
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    emit ContextMenuRequested(event->globalPos());
}

}  // namespace ui
