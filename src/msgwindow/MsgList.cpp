#include "msgwindow/MsgList.h"

#include <algorithm>
#include <exception>

#include "msgwindow/Charset.h"
#include "msgwindow/Filters.h"
#include "msgwindow/MessageText.h"
#include "msgwindow/ReplyComposer.h"
#include "skin/PictureLoader.h"

namespace msgwindow {

namespace {

// The filter result: which tests flagged the message.
constexpr int kSubjectMatched = 1;
constexpr int kSenderMatched = 2;
constexpr int kTooLarge = 4;

}  // namespace

// Marks the client in use for the life of a fetch or delete.
class TMsgList::BusyScope {
public:
    explicit BusyScope(TMsgList& owner) : m_owner(owner) { owner.m_busy = true; }
    ~BusyScope() { m_owner.m_busy = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    TMsgList& m_owner;
};

WindowBox BesideMainWindow(const WindowBox& main, int width, int height, int screenWidth,
                           int screenHeight) {
    WindowBox box{main.Left + main.Width, main.Top, width, height};
    if (box.Left + width > screenWidth)
        box.Left = main.Left - width;
    // No room on either side: as far right as the screen allows, over the main window.
    if (box.Left < 0)
        box.Left = screenWidth - width;
    box.Left = std::max(0, box.Left);
    box.Top = std::max(0, std::min(box.Top, screenHeight - height));
    return box;
}

TMsgList::TMsgList(MsgListParts parts)
    : Mesg(std::make_unique<mail::TQelMsg>()),
      m_state(parts.state),
      m_main(parts.mainWindow),
      m_pop(parts.POP),
      m_mess(parts.Mess),
      m_view(parts.view),
      m_dialogs(parts.dialogs),
      m_fileDialogs(parts.fileDialogs),
      m_pump(parts.pump),
      m_files(*this, parts) {
    static const char* const kHints[skin::kMsgButtonCount] = {"Previous", "Next", "Reply",
                                                              "Delete from server", "Close"};
    for (std::size_t i = 0; i < Buttons.size(); ++i)
        Buttons[i].Hint = kHints[i];
}

TMsgList::~TMsgList() = default;

template <typename Work>
void TMsgList::Guard(Work work) {
    try {
        work();
    } catch (const std::exception& e) {
        m_dialogs.ShowMessage(e.what());
    }
}

void TMsgList::DisplayMessage(int number, bool forceRead) {
    Show(number, forceRead, m_state.Config.readlg);
}

void TMsgList::Show(int number, bool forceRead, bool readlg) {
    if (m_busy)
        return;
    const settings::Config& config = m_state.Config;
    if (number == 0) {
        m_mess.Clear();
        m_mess.Add("empty");
        m_mess.CaretToStart();
        CurrentMsg = 0;
        return;
    }
    BusyScope busy(*this);
    m_files.NoteFile.clear();
    int filtered = 0;
    std::string size;
    if (!forceRead) {
        m_pump.ProcessMessages();
        Mesg = m_pop.RetrieveTop(static_cast<std::uint32_t>(number), 0);
        if (EndIfFetchFailed())
            return;
        size = std::to_string(Mesg->Size);
        if (config.filter) {
            if (!PassesFilters(m_state.Tables, Mesg->Subject))
                filtered |= kSubjectMatched;
            if (config.auth_fltr && !PassesFilters(m_state.Tables, Mesg->From))
                filtered |= kSenderMatched;
            if (config.max_size != 0 && Mesg->Size / 1024 > config.max_size)
                filtered |= kTooLarge;
        }
    }
    if (filtered != 0) {
        const HeaderText header = HeaderForDisplay(*Mesg);
        m_mess.Clear();
        m_mess.Add(kFilteredBanner);
        m_mess.Add("From : " + header.FromName);
        m_mess.Add("Addr : " + header.From);
        m_mess.Add("Subj : " + header.Subject);
        m_mess.Add("Date : " + header.Date);
        m_mess.Add("Size : " + size + " bytes");
        m_mess.Add(kFilteredBanner);
        m_mess.Add("");
        m_mess.Add("Clic on the button Delete\r\nor\r\nChoose Read Message in the popup menu");
        m_mess.CaretToStart();
        CurrentMsg = number;
        ShowPlace(number);
        return;
    }
    const bool headerOnly = config.header_only && !forceRead;
    if (!headerOnly) {
        m_mess.Clear();
        m_mess.Add("reading message...");
        m_pump.ProcessMessages();
        const auto index = static_cast<std::uint32_t>(number);
        // nblg goes out as a 16-bit value, as the line count of TOP always did.
        Mesg = readlg ? m_pop.RetrieveTop(index, static_cast<std::uint16_t>(config.nblg))
                      : m_pop.RetrieveMessage(index);
        if (EndIfFetchFailed())
            return;
        size = std::to_string(Mesg->Size);
    }
    AddHeaderBlock(size);
    if (!headerOnly) {
        if (Mesg->AttachedFiles.Count() > 0) {
            std::string names;
            for (std::size_t i = 0; i < Mesg->AttachedFiles.Count(); ++i)
                names += UndeclaredToUtf8(Mesg->AttachedFiles.Items(i).FileName) + " ";
            m_mess.Add(names);
            m_mess.Add(kRule);
        }
        if (readlg) {
            m_mess.Add("*** " + std::to_string(config.nblg) + " lines read ***");
            m_mess.Add("");
        }
        AddBody();
    }
    m_mess.CaretToStart();
    CurrentMsg = number;
    ShowPlace(number);
}

void TMsgList::ShowPlace(int number) {
    m_main.DrawStatus(std::to_string(number) + " of " + std::to_string(m_state.WaitingCount));
}

bool TMsgList::EndIfFetchFailed() {
    if (m_state.NotepadMode || m_state.ErrorNotice().empty())
        return false;
    // Only the server's refusal says the message is gone; a broken connection or a protocol
    // failure ended the session with a reason of its own.
    const bool refused = m_pop.ReplyStatus() == "-ERR";
    m_pop.Quit();
    m_state.NotepadMode = true;
    m_mess.SetReadOnly(false);
    m_mess.Clear();
    m_mess.Add(refused ? std::string(kAlreadyRead) : m_pop.ReplyText());
    m_state.ClearErrorNotice();
    m_main.DrawStatus("notepad");
    return true;
}

void TMsgList::AddHeaderBlock(const std::string& size) {
    const HeaderText header = HeaderForDisplay(*Mesg);
    m_mess.Clear();
    m_mess.Add("From : " + header.FromName);
    m_mess.Add("Addr : " + header.From);
    m_mess.Add("Subj : " + header.Subject);
    m_mess.Add("Date : " + header.Date);
    m_mess.Add("Size : " + size + " bytes");
    m_mess.Add(kRule);
}

void TMsgList::AddBody() {
    BodyLines body(*Mesg);
    for (std::size_t i = 0; i < Mesg->Text.size(); ++i) {
        if (Mesg->Text[i].find("<!DOCTYPE") != std::string_view::npos) {
            m_mess.Add("*** HTML EMAIL ***");
            return;
        }
        m_mess.Add(body.Line(i));
    }
}

void TMsgList::NextClick() {
    Page(true);
}

void TMsgList::PrevClick() {
    Page(false);
}

bool TMsgList::MessKeyDown(MsgKey key) {
    if (m_state.NotepadMode || Composing)
        return false;
    if (key == MsgKey::Left || key == MsgKey::PageUp)
        PrevClick();
    else
        NextClick();
    return true;
}

void TMsgList::Page(bool forward) {
    if (m_state.NotepadMode) {
        if (forward)
            m_mess.PageDown();
        else
            m_mess.PageUp();
        return;
    }
    if (m_busy)
        return;
    const int n = m_state.WaitingCount;
    Guard([&] {
        if (n <= 0) {
            DisplayMessage(0, false);
            return;
        }
        if (forward)
            CurrentMsg = CurrentMsg + 1 > n ? 1 : CurrentMsg + 1;
        else
            // A number past the end (after the mailbox shrank) goes to the last message too.
            CurrentMsg = CurrentMsg - 1 >= 1 && CurrentMsg - 1 <= n ? CurrentMsg - 1 : n;
        DisplayMessage(CurrentMsg, false);
    });
}

void TMsgList::DeleteClick() {
    if (Composing) {
        if (m_composer)
            m_composer->Abort();
        return;
    }
    if (m_state.NotepadMode) {
        m_mess.Clear();
        m_files.NoteFile.clear();
        return;
    }
    // Nothing is shown ("empty"): there is nothing to delete.
    if (m_busy || CurrentMsg == 0)
        return;
    if (m_state.Config.confirm_delete && !m_dialogs.Ask(kConfirmDelete))
        return;
    Guard([&] {
        {
            BusyScope busy(*this);
            m_pop.DeleteMessage(static_cast<std::uint32_t>(CurrentMsg));
            m_pop.Quit();
            // The results are not tested: a failure is in ErrorNotice and the count is 0.
            m_pop.Connect();
            if (m_pop.Connected() && monitor::LoginAsPopAccount(m_pop, m_state))
                m_pop.GetMailCount();
            m_state.WaitingCount = m_pop.MessageCount();
        }
        m_main.CheckNextAccount(false);
        const int n = m_state.WaitingCount;
        if (n > 0)
            DisplayMessage(n < CurrentMsg ? 1 : CurrentMsg, false);
        else
            DisplayMessage(0, false);
    });
}

TReplyComposer& TMsgList::AttachComposer(ReplyParts parts) {
    m_composer = std::make_unique<TReplyComposer>(
        ReplyHost{*this, m_state, m_main, m_view, m_dialogs, m_pump}, parts);
    return *m_composer;
}

void TMsgList::ReplyClick() {
    // A fetch or delete in progress holds the click off like the other buttons'.
    if (m_composer && !m_busy)
        m_composer->ReplyClick();
}

void TMsgList::readmailClick() {
    if (m_busy || !ItemEnabled(MsgMenuItem::Readmail))
        return;
    Guard([&] { Show(CurrentMsg, true, m_state.Config.readlg); });
}

void TMsgList::ReadAllMailClick() {
    if (m_busy || !ItemEnabled(MsgMenuItem::ReadAllMail))
        return;
    Guard([&] { Show(CurrentMsg, true, false); });
}

bool TMsgList::MemoHasLines() const {
    return !m_mess.Lines().empty();
}

bool TMsgList::ItemEnabled(MsgMenuItem item) const {
    const bool notepad = m_state.NotepadMode;
    switch (item) {
        case MsgMenuItem::Readmail:
            return !notepad;
        case MsgMenuItem::ReadAllMail:
            return !notepad && m_state.Config.readlg;
        case MsgMenuItem::Save:
            return !notepad && Mesg->AttachedFiles.Count() > 0;
        case MsgMenuItem::OpenMemo:
            return notepad;
        case MsgMenuItem::QuickSav:
            return !m_files.NoteFile.empty() && MemoHasLines();
        case MsgMenuItem::SavMemo:
            return MemoHasLines();
        case MsgMenuItem::CloseMsg:
            return true;
    }
    return false;
}

std::vector<MsgMenuEntry> TMsgList::MnuMsgPopup() const {
    std::string quickSav = "Save";
    if (ItemEnabled(MsgMenuItem::QuickSav))
        quickSav = "Save " + m_files.NoteFile.substr(m_files.NoteFile.find_last_of('/') + 1);
    std::vector<MsgMenuEntry> entries = {
        {MsgMenuItem::Readmail, "Read Mail"},    {MsgMenuItem::ReadAllMail, "Read full mail"},
        {MsgMenuItem::Save, "Save attachments"}, {MsgMenuItem::OpenMemo, "Open file"},
        {MsgMenuItem::QuickSav, quickSav},       {MsgMenuItem::SavMemo, "Save as..."},
        {MsgMenuItem::CloseMsg, "Close window"}};
    for (MsgMenuEntry& entry : entries)
        entry.Enabled = ItemEnabled(entry.Item);
    return entries;
}

void TMsgList::CloseMsgClick() {
    if (Composing) {
        m_view.ShowReplyPanel(false);
        Composing = false;
        m_main.DrawStatus(m_state.StatusText);
        return;
    }
    // Closing inside a fetch would end the session under it; the click is held off.
    if (m_busy)
        return;
    m_state.Config.memo_posx = m_view.Left();
    m_state.Config.memo_posy = m_view.Top();
    m_state.Config.memo_pos_saved = true;
    m_view.CloseWindow();
}

MsgWindowPlacement TMsgList::FormShow(const skin::MainWindowSkin& skin, int screenWidth,
                                      int screenHeight) {
    m_view.ShowReplyPanel(false);
    Composing = false;
    // A message is read, not edited; the notepad is for typing.
    m_mess.SetReadOnly(!m_state.NotepadMode);
    IdentityAccount = m_state.CurrentAccount == monitor::kNoAccountYet ? 1 : m_state.CurrentAccount;

    MsgWindowPlacement placement;
    placement.Width = skin.MsgBackground.Width();
    placement.Height = skin.MsgBackground.Height();
    if (m_state.Config.memo_pos_saved) {
        placement.Left = m_state.Config.memo_posx;
        placement.Top = m_state.Config.memo_posy;
        skin::ClampMsgWindowPosition(placement.Left, placement.Top, screenWidth, screenHeight);
    } else {
        const monitor::ScreenPoint main = m_main.Place();
        const WindowBox mainBox{main.Left, main.Top, skin.Background.Width(),
                                skin.Background.Height()};
        const WindowBox beside =
            BesideMainWindow(mainBox, placement.Width, placement.Height, screenWidth, screenHeight);
        placement.Left = beside.Left;
        placement.Top = beside.Top;
    }

    const skin::MsgWindowSkin& msg = skin.MsgWindow;
    placement.MemoX = msg.MemoX;
    placement.MemoY = msg.MemoY;
    placement.MemoWidth = msg.MemoWidth;
    placement.MemoHeight = msg.MemoHeight;
    placement.FontColor = msg.FontColor;
    placement.FontName = msg.FontName;
    placement.FontSize = msg.FontSize;
    placement.Bold = skin::IsBoldStyle(msg.FontStyle);
    placement.Italic = skin::IsItalicStyle(msg.FontStyle);

    for (std::size_t i = 0; i < Buttons.size(); ++i) {
        const skin::MsgButtonSkin& from = msg.Buttons[i];
        try {
            skin::Picture normal = skin::LoadSkinPicture(from.NormalPath);
            skin::Picture hover = skin::LoadSkinPicture(from.HoverPath);
            Buttons[i].SetPicOff(normal);
            Buttons[i].SetPicOn(hover);
            Buttons[i].Left = from.X;
            Buttons[i].Top = from.Y;
        } catch (const std::exception&) {
            // The remaining buttons keep what they show; the window still opens.
            m_dialogs.ShowMessage(skin::kInvalidSkin);
            break;
        }
    }
    placement.TopMost = m_state.Config.ontop;
    placement.Shape = skin::RegionFromBitmap(skin.MsgBackground, skin::KeyColour, 0);
    return placement;
}

}  // namespace msgwindow
