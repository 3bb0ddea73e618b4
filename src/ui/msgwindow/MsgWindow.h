#pragma once
// The message window `MsgList` on the desktop: a borderless window shaped by the skin's
// message-window picture, the five skinned buttons, the memo and the popup menu `MnuMsg`.
// It draws what TMsgList decides and forwards the events to its handlers; it is also the
// message window the main window hands over to.
#include <QDialog>
#include <QImage>
#include <QMenu>
#include <QPoint>

#include <array>
#include <memory>

#include "monitor/Services.h"
#include "msgwindow/MsgList.h"
#include "msgwindow/ReplyComposer.h"
#include "platform/Desktop.h"
#include "ui/controls/ImgBtnWidget.h"
#include "ui/msgwindow/MemoEdit.h"
#include "ui/msgwindow/QtFileDialogs.h"
#include "ui/msgwindow/ReplyPanelWidget.h"

namespace uimsgwindow {

// What the window borrows from the program; everything must outlive it.
struct MsgWindowParts {
    monitor::Commun& state;
    monitor::MainWindowLink& mainWindow;
    monitor::PopClient& POP;
    // The client for replies; it serves this window only.
    mail::TQelSMTP& QMail;
    // Opens a "mailto:" link.
    platform::Shell& shell;
    platform::Dialogs& dialogs;
    platform::EventPump& pump;
    // The current skin (the main window's); read each time the window is shown.
    const skin::MainWindowSkin& skin;
    // Where the note and attachment dialogs open first: the user's download folder, never the
    // settings folder with the account passwords.
    std::string notesFolder = {};
};

class MsgWindow final : public QDialog,
                        public msgwindow::MsgListView,
                        public monitor::MessageWindow {
    Q_OBJECT
public:
    explicit MsgWindow(MsgWindowParts parts, QWidget* parent = nullptr);
    ~MsgWindow() override;

    msgwindow::TMsgList& Logic() { return *m_list; }
    MemoEdit& Mess() { return *m_memo; }
    uicontrols::ImgBtnWidget& Button(skin::MsgButton which) { return *m_buttons[which]; }
    ReplyPanelWidget& MailPan() { return *m_mailPan; }
    mail::TQelSMTP& QMail() { return m_smtp; }
    // The popup menu as it was last opened.
    QMenu& MnuMsg() { return m_menu; }

    // Applies FormShow: place, skin, stacking and shape. Called by ShowModal and by a
    // non-modal show (the skin preview).
    void ApplyFormShow();
    // Rebuilds the popup menu from MnuMsgPopup and pops it up at a screen position.
    void PopupMenu(const QPoint& at);

    // msgwindow::MsgListView
    void CloseWindow() override { done(QDialog::Accepted); }
    int Left() override { return x(); }
    int Top() override { return y(); }
    void ShowReplyPanel(bool visible) override;

    // monitor::MessageWindow
    bool IsVisible() override { return isVisible(); }
    void DisplayMessage(int index, bool forceRead) override;
    void ShowModal() override;
    long long CurrentMessageSize() override { return m_list->Mesg->Size; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // The memo's paging keys go to the logic first.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void Wire();
    // True when the logic used the key to page through the messages.
    bool PagingKey(const QKeyEvent& event);

    const skin::MainWindowSkin& m_skin;
    MemoEdit* m_memo;
    QtFileDialogs m_fileDialogs;
    std::unique_ptr<msgwindow::TMsgList> m_list;
    mail::TQelSMTP& m_smtp;
    ReplyPanelWidget* m_mailPan;
    std::array<uicontrols::ImgBtnWidget*, skin::kMsgButtonCount> m_buttons{};
    QImage m_background;
    QMenu m_menu;
    QPoint m_dragFrom;
};

}  // namespace uimsgwindow
