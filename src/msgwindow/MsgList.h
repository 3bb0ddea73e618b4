#pragma once
// TMsgList: the logic of the message window. It pages through the waiting messages on the
// server through the main window's POP3 session, shows a fixed text layout in its memo,
// deletes messages and serves as a notepad without a session; its MessageFiles save the
// attachments and keep the notes. Handlers carry the names of the window events the desktop
// shell forwards to them; the handlers never let an error out (it is shown in a message box),
// DisplayMessage does, for the main window's hand-over.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mail/QelMsg.h"
#include "monitor/Commun.h"
#include "monitor/Services.h"
#include "msgwindow/Memo.h"
#include "msgwindow/MessageFiles.h"
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/FileDialogs.h"
#include "skin/SkinModel.h"

namespace msgwindow {

class TReplyComposer;
struct ReplyParts;

inline constexpr const char* kFilteredBanner = "***** FILTERED MESSAGE ! *****";
inline constexpr const char* kRule = "-------------------------------";
inline constexpr const char* kAlreadyRead = "Messages already read !";
inline constexpr const char* kConfirmDelete = "Delete this message from the server?";

// The keys of the memo that page through the messages in mail mode.
enum class MsgKey { Left, Right, PageUp, PageDown };

// A window's place and size on the screen.
struct WindowBox {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// Where a window of this size opens that has no place of its own: right of the main window, or
// left of it when the screen has no room on the right, and inside the screen.
WindowBox BesideMainWindow(const WindowBox& main, int width, int height, int screenWidth,
                           int screenHeight);

// What the window needs from the desktop beyond its memo.
class MsgListView {
public:
    virtual ~MsgListView() = default;
    // Closes the (modal) window.
    virtual void CloseWindow() = 0;
    // The window's left and top on the screen.
    virtual int Left() = 0;
    virtual int Top() = 0;
    // Shows or hides the reply panel `MailPan`.
    virtual void ShowReplyPanel(bool visible) = 0;
};

// The parts the window works with; they must outlive it.
struct MsgListParts {
    monitor::Commun& state;
    monitor::MainWindowLink& mainWindow;
    // The main window's client, already pointed at the current account.
    monitor::PopClient& POP;
    Memo& Mess;
    MsgListView& view;
    platform::Dialogs& dialogs;
    platform::FileDialogs& fileDialogs;
    platform::EventPump& pump;
};

// The items of the popup menu `MnuMsg` in order; separators are not listed.
enum class MsgMenuItem { Readmail, ReadAllMail, Save, OpenMemo, QuickSav, SavMemo, CloseMsg };

struct MsgMenuEntry {
    MsgMenuItem Item;
    std::string Caption;
    bool Enabled = false;
};

// Everything FormShow decided for the desktop window to apply.
struct MsgWindowPlacement {
    int Left = 0;
    int Top = 0;
    int Width = 0;  // of the skin's message-window background
    int Height = 0;
    std::optional<skin::Region> Shape;
    int MemoX = 0, MemoY = 0, MemoWidth = 0, MemoHeight = 0;
    std::uint32_t FontColor = 0;
    std::string FontName;
    int FontSize = 0;
    bool Bold = false;
    bool Italic = false;
    bool TopMost = false;
};

class TMsgList {
public:
    explicit TMsgList(MsgListParts parts);
    ~TMsgList();
    TMsgList(const TMsgList&) = delete;
    TMsgList& operator=(const TMsgList&) = delete;

    // Fetches and shows message number (0 shows "empty"). forceRead skips the preview of its
    // headers, so neither the filters nor "header only" hold the message back. Raises
    // monitor::PopError ("Not connected.") and the other errors of the fetch; refuses (does
    // nothing) while a fetch or delete runs.
    void DisplayMessage(int number, bool forceRead);

    void PrevClick();
    void NextClick();
    // A paging key pressed in the memo: in mail mode it pages through the messages and is
    // used up (true); in notepad mode and while composing it is the memo's (false).
    bool MessKeyDown(MsgKey key);
    void DeleteClick();
    void readmailClick();
    void ReadAllMailClick();
    // The items' states, evaluated now; the QuickSav caption follows the note's file.
    std::vector<MsgMenuEntry> MnuMsgPopup() const;
    // Whether the item can be chosen now; its handler does nothing otherwise.
    bool ItemEnabled(MsgMenuItem item) const;
    void CloseMsgClick();
    // Places the window and the memo and loads the buttons' pictures from the skin; a
    // picture that fails shows one message box and leaves the buttons after it unchanged.
    MsgWindowPlacement FormShow(const skin::MainWindowSkin& skin, int screenWidth,
                                int screenHeight);

    // The handlers of the attachment and note items, and the note's file.
    MessageFiles& Files() { return m_files; }

    // Reply: gives the window its reply panel and SMTP client; until then ReplyClick does
    // nothing. Returns the composer, which the desktop forwards the panel's events to.
    TReplyComposer& AttachComposer(ReplyParts parts);
    void ReplyClick();

    // True while a fetch or delete runs on the client: clicks arriving then are held off.
    bool Busy() const { return m_busy; }

    // The buttons PrevBtn, NextBtn, ReplyBtn, DeleteBtn and ExitBtn, in skin::MsgButton order.
    std::array<skin::TImgBtn, skin::kMsgButtonCount> Buttons;

    int CurrentMsg = 0;
    int IdentityAccount = 1;
    bool Composing = false;
    // The message on display; each fetch replaces it.
    std::unique_ptr<mail::TQelMsg> Mesg;

private:
    class BusyScope;

    void Show(int number, bool forceRead, bool readlg);
    // After a fetch: a failure reported during it ends the session into notepad mode, with
    // "Messages already read !" when the server refused the message (the mailbox changed
    // under the window), else the failure's own text. True when it did.
    bool EndIfFetchFailed();
    // NextClick and PrevClick: a page of the note, or the next or previous message with
    // wrap-around.
    void Page(bool forward);
    void AddHeaderBlock(const std::string& size);
    void AddBody();
    // "2 of 5" on the main window's status line once message number is shown.
    void ShowPlace(int number);
    bool MemoHasLines() const;
    // Runs a handler's work; an error is shown in a message box instead of leaving.
    template <typename Work>
    void Guard(Work work);

    monitor::Commun& m_state;
    monitor::MainWindowLink& m_main;
    monitor::PopClient& m_pop;
    Memo& m_mess;
    MsgListView& m_view;
    platform::Dialogs& m_dialogs;
    platform::FileDialogs& m_fileDialogs;
    platform::EventPump& m_pump;
    bool m_busy = false;
    std::unique_ptr<TReplyComposer> m_composer;
    MessageFiles m_files;
};

}  // namespace msgwindow
