#include "ui/msgwindow/MsgWindow.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "ui/controls/Pictures.h"

namespace uimsgwindow {

MsgWindow::MsgWindow(MsgWindowParts parts, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Tool),
      m_skin(parts.skin),
      m_memo(new MemoEdit(this)),
      m_fileDialogs(this, parts.notesFolder),
      m_smtp(parts.QMail),
      m_mailPan(new ReplyPanelWidget(this)) {
    setWindowTitle(QStringLiteral("Vorla"));
    setObjectName(QStringLiteral("MsgList"));
    m_list = std::make_unique<msgwindow::TMsgList>(
        msgwindow::MsgListParts{parts.state, parts.mainWindow, parts.POP, *m_memo, *this,
                                parts.dialogs, m_fileDialogs, parts.pump});
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i] = new uicontrols::ImgBtnWidget(this, m_list->Buttons[i]);
    m_mailPan->SetComposer(m_list->AttachComposer({m_smtp, parts.shell, *m_mailPan}));
    m_memo->installEventFilter(this);
    m_memo->setAccessibleName(QStringLiteral("Message"));
    Wire();
}

MsgWindow::~MsgWindow() {
    // The buttons draw from the logic's states: they go first.
    for (uicontrols::ImgBtnWidget*& button : m_buttons) {
        delete button;
        button = nullptr;
    }
}

void MsgWindow::Wire() {
    msgwindow::TMsgList& list = *m_list;
    connect(m_buttons[skin::kPrevBtn], &uicontrols::ImgBtnWidget::Clicked, this,
            [&list] { list.PrevClick(); });
    connect(m_buttons[skin::kNextBtn], &uicontrols::ImgBtnWidget::Clicked, this,
            [&list] { list.NextClick(); });
    connect(m_buttons[skin::kDeleteBtn], &uicontrols::ImgBtnWidget::Clicked, this,
            [&list] { list.DeleteClick(); });
    connect(m_buttons[skin::kExitBtn], &uicontrols::ImgBtnWidget::Clicked, this,
            [&list] { list.CloseMsgClick(); });
    connect(m_buttons[skin::kReplyBtn], &uicontrols::ImgBtnWidget::Clicked, this,
            [&list] { list.ReplyClick(); });
}

void MsgWindow::ApplyFormShow() {
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->geometry()
                             : QRect(0, 0, 1024, 768);
    const msgwindow::MsgWindowPlacement placement =
        m_list->FormShow(m_skin, screen.width(), screen.height());
    move(placement.Left, placement.Top);
    m_memo->setGeometry(placement.MemoX, placement.MemoY, placement.MemoWidth,
                        placement.MemoHeight);
    QFont font(QString::fromStdString(placement.FontName));
    font.setPointSize(placement.FontSize > 0 ? placement.FontSize : 7);
    font.setBold(placement.Bold);
    font.setItalic(placement.Italic);
    m_memo->setFont(font);
    const std::uint32_t c = placement.FontColor;
    QPalette palette = m_memo->palette();
    palette.setColor(QPalette::Text, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    m_memo->setPalette(palette);
    for (uicontrols::ImgBtnWidget* button : m_buttons)
        button->SyncGeometry();
    setWindowFlag(Qt::WindowStaysOnTopHint, placement.TopMost);
    m_background = uicontrols::ToQImage(m_skin.MsgBackground);
    setFixedSize(placement.Width, placement.Height);
    if (placement.Shape)
        setMask(uicontrols::ToRegion(*placement.Shape));
    else
        clearMask();
}

void MsgWindow::ShowReplyPanel(bool visible) {
    if (visible) {
        m_mailPan->LayOver(m_memo->geometry());
        m_mailPan->raise();
    }
    m_mailPan->setVisible(visible);
}

void MsgWindow::DisplayMessage(int index, bool forceRead) {
    m_list->DisplayMessage(index, forceRead);
}

void MsgWindow::ShowModal() {
    ApplyFormShow();
    exec();
}

void MsgWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_background);
}

void MsgWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_dragFrom = event->globalPosition().toPoint();
    QDialog::mousePressEvent(event);
}

void MsgWindow::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::LeftButton && event->modifiers() == Qt::NoModifier) {
        const QPoint now = event->globalPosition().toPoint();
        move(pos() + (now - m_dragFrom));
        m_dragFrom = now;
    }
}

void MsgWindow::contextMenuEvent(QContextMenuEvent* event) {
    PopupMenu(event->globalPos());
}

bool MsgWindow::PagingKey(const QKeyEvent& event) {
    if (event.modifiers() != Qt::NoModifier && event.modifiers() != Qt::KeypadModifier)
        return false;
    switch (event.key()) {
        case Qt::Key_Left:
            return m_list->MessKeyDown(msgwindow::MsgKey::Left);
        case Qt::Key_Right:
            return m_list->MessKeyDown(msgwindow::MsgKey::Right);
        case Qt::Key_PageUp:
            return m_list->MessKeyDown(msgwindow::MsgKey::PageUp);
        case Qt::Key_PageDown:
            return m_list->MessKeyDown(msgwindow::MsgKey::PageDown);
        default:
            return false;
    }
}

bool MsgWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_memo && event->type() == QEvent::KeyPress &&
        PagingKey(static_cast<const QKeyEvent&>(*event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void MsgWindow::keyPressEvent(QKeyEvent* event) {
    if (!PagingKey(*event))
        QDialog::keyPressEvent(event);
}

void MsgWindow::reject() {
    // Escape closes the window the way its close button does.
    m_list->CloseMsgClick();
}

void MsgWindow::PopupMenu(const QPoint& at) {
    m_menu.clear();
    msgwindow::TMsgList& list = *m_list;
    msgwindow::MessageFiles& files = list.Files();
    for (const msgwindow::MsgMenuEntry& entry : list.MnuMsgPopup()) {
        QAction* action = m_menu.addAction(QString::fromStdString(entry.Caption));
        action->setEnabled(entry.Enabled);
        switch (entry.Item) {
            case msgwindow::MsgMenuItem::Readmail:
                connect(action, &QAction::triggered, this, [&list] { list.readmailClick(); });
                break;
            case msgwindow::MsgMenuItem::ReadAllMail:
                connect(action, &QAction::triggered, this, [&list] { list.ReadAllMailClick(); });
                break;
            case msgwindow::MsgMenuItem::Save:
                connect(action, &QAction::triggered, this, [&files] { files.SaveClick(); });
                m_menu.addSeparator();
                break;
            case msgwindow::MsgMenuItem::OpenMemo:
                connect(action, &QAction::triggered, this, [&files] { files.OpenMemoClick(); });
                break;
            case msgwindow::MsgMenuItem::QuickSav:
                connect(action, &QAction::triggered, this, [&files] { files.QuickSavClick(); });
                break;
            case msgwindow::MsgMenuItem::SavMemo:
                connect(action, &QAction::triggered, this, [&files] { files.SavMemoClick(); });
                m_menu.addSeparator();
                break;
            case msgwindow::MsgMenuItem::CloseMsg:
                connect(action, &QAction::triggered, this, [&list] { list.CloseMsgClick(); });
                break;
        }
    }
    m_menu.popup(at);
}

}  // namespace uimsgwindow
