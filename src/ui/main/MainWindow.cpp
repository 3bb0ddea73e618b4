#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "ui/controls/Mouse.h"
#include "ui/controls/Pictures.h"
#include "ui/controls/Text.h"

namespace uimain {

namespace {

constexpr Qt::WindowFlags kWindowFlags = Qt::Tool | Qt::FramelessWindowHint;

uicontrols::ImgBtnWidget* NewButton(QWidget* parent, skin::TImgBtn& state, const char* name) {
    auto* button = new uicontrols::ImgBtnWidget(parent, state);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

uicontrols::ImageWidget* NewImage(QWidget* parent, const char* name) {
    auto* image = new uicontrols::ImageWidget(parent);
    image->setObjectName(QString::fromLatin1(name));
    return image;
}

}  // namespace

MainWindow::MainWindow(skin::MainWindowSkin& skin)
    : QWidget(nullptr, kWindowFlags),
      m_skin(skin),
      m_connect(NewButton(this, skin.Connect, "Connect")),
      m_disconnect(NewButton(this, skin.Disconnect, "Disconnect")),
      m_refresh(NewButton(this, skin.RefreshBtn, "RefreshBtn")),
      m_mail(NewButton(this, skin.MAIL, "MAIL")),
      m_status(NewImage(this, "STATBMP")),
      m_count(NewImage(this, "NBMSGBMP")),
      m_online(NewImage(this, "Online")),
      m_flag(NewImage(this, "FLAG")) {
    setObjectName(QStringLiteral("TVorla"));
    setWindowTitle(QStringLiteral("Vorla"));
    // The background covers every visible pixel: nothing is erased before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // A tool window is rarely the active one; its buttons still name themselves.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    m_count->setToolTip(uicontrols::ToQString(skin.NBMSGBMP.Hint));
    resize(0, 0);
}

void MainWindow::ApplySkin() {
    m_background = uicontrols::ToQImage(m_skin.Background);
    setFixedSize(m_skin.WindowWidth, m_skin.WindowHeight);
    move(m_skin.WindowLeft, m_skin.WindowTop);
    setMask(m_skin.WindowRegion ? uicontrols::ToRegion(*m_skin.WindowRegion) : QRegion());
    for (uicontrols::ImgBtnWidget* button : {m_connect, m_disconnect, m_refresh, m_mail}) {
        button->SyncGeometry();
        button->update();
    }
    m_status->move(m_skin.STATBMP.Left, m_skin.STATBMP.Top);
    m_count->move(m_skin.NBMSGBMP.Left, m_skin.NBMSGBMP.Top);
    m_online->move(m_skin.Online.Left, m_skin.Online.Top);
    m_flag->move(m_skin.FLAG.Left, m_skin.FLAG.Top);
    m_flag->SetImage(uicontrols::TransparentImage(m_skin.FLAG.Shown));
    m_flag->setToolTip(uicontrols::ToQString(m_skin.FLAG.Hint));
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
    m_drag.MouseDown(uicontrols::ShiftStateOf(*event, false), {p.x(), p.y()});
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->globalPosition().toPoint();
    skin::WindowBox box{x(), y(), width(), height()};
    // The screen the window is on, with its place among the others.
    const QScreen* display = screen();
    const QRect area = display != nullptr ? display->geometry() : QRect();
    if (m_drag.MouseMove(uicontrols::ShiftStateOf(*event, false), {p.x(), p.y()}, box,
                         {area.x(), area.y(), area.width(), area.height()})) {
        move(box.Left, box.Top);
    }
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt's default would handle it as a plain press; the drag rules see it as a double click.
    const QPoint p = event->globalPosition().toPoint();
    m_drag.MouseDown(uicontrols::ShiftStateOf(*event, true), {p.x(), p.y()});
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    // A press that opened a menu of its own (RefreshBtn's account menu) has been answered.
    if (QApplication::activePopupWidget() != nullptr) {
        return;
    }
    emit ContextMenuRequested(event->globalPos());
}

}  // namespace uimain
