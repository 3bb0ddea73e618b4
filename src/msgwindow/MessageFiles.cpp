#include "msgwindow/MessageFiles.h"

#include <set>
#include <string_view>

#include "mail/qel_util.h"
#include "msgwindow/AttachmentName.h"
#include "msgwindow/Charset.h"
#include "msgwindow/MessageText.h"
#include "msgwindow/MsgList.h"
#include "platform/FileRead.h"
#include "settings/AtomicFile.h"

namespace msgwindow {

std::string NoteNameFromSubject(const std::string& subject) {
    constexpr std::size_t kMaxName = 100;
    std::string name;
    for (const char c : subject) {
        const auto byte = static_cast<unsigned char>(c);
        // Path separators and what other file systems refuse become "_"; control characters
        // (a folded header's tab) become blanks.
        if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            name += '_';
        else if (byte < 0x20 || byte == 0x7F)
            name += ' ';
        else
            name += c;
    }
    // No hidden file, no "." or "..", no name that only looks empty.
    const std::size_t start = name.find_first_not_of(". ");
    if (start == std::string::npos)
        return "";
    name = name.substr(start, name.find_last_not_of(". ") + 1 - start);
    if (name.size() > kMaxName) {
        std::size_t cut = kMaxName;
        // Cut before a UTF-8 continuation byte's sequence, not inside it.
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name = name.substr(0, name.find_last_not_of(". ", cut - 1) + 1);
    }
    return name;
}

MessageFiles::MessageFiles(const TMsgList& owner, const MsgListParts& parts)
    : m_owner(owner),
      m_state(parts.state),
      m_mess(parts.Mess),
      m_dialogs(parts.dialogs),
      m_fileDialogs(parts.fileDialogs) {}

void MessageFiles::SaveClick() {
    if (m_owner.Busy() || m_owner.CurrentMsg == 0 || !m_owner.ItemEnabled(MsgMenuItem::Save))
        return;
    SaveDlg.FilterIndex = 2;
    // Two attachments of one name are proposed under two names, so that saving both into
    // one folder keeps both.
    std::set<std::string> proposed;
    const auto taken = [&proposed](const std::string& name) { return proposed.count(name) != 0; };
    for (std::size_t i = 0; i < m_owner.Mesg->AttachedFiles.Count(); ++i) {
        const mail::TAttachedFile& file = m_owner.Mesg->AttachedFiles.Items(i);
        SaveDlg.FileName = FreeName(SafeAttachmentName(file.FileName, i + 1), taken);
        proposed.insert(SaveDlg.FileName);
        if (!m_fileDialogs.ExecuteSave(SaveDlg))
            continue;
        if (file.Data.Size() == 0) {
            m_dialogs.ShowMessage(kInvalidOp);
            return;
        }
        try {
            file.SaveToFile(SaveDlg.FileName);
        } catch (const std::exception& e) {
            m_dialogs.ShowMessage(e.what());
            return;
        }
    }
}

void MessageFiles::SavMemoClick() {
    if (!m_owner.ItemEnabled(MsgMenuItem::SavMemo))
        return;
    // A message is offered under its subject; a note under no name.
    SaveDlg.FileName = m_state.NotepadMode || m_owner.CurrentMsg == 0
                           ? ""
                           : NoteNameFromSubject(HeaderForDisplay(*m_owner.Mesg).Subject);
    if (!m_fileDialogs.ExecuteSave(SaveDlg))
        return;
    NoteFile = SaveDlg.FileName;
    if (SaveDlg.FilterIndex == 1 && mail::LowerCase(NoteFile).find(".txt") == std::string::npos)
        NoteFile += ".txt";
    WriteNote(NoteFile);
}

void MessageFiles::QuickSavClick() {
    if (!m_owner.ItemEnabled(MsgMenuItem::QuickSav))
        return;
    WriteNote(NoteFile);
}

void MessageFiles::OpenMemoClick() {
    if (!m_owner.ItemEnabled(MsgMenuItem::OpenMemo))
        return;
    Open.FilterIndex = 1;
    if (!m_fileDialogs.ExecuteOpen(Open))
        return;
    // A file that cannot be read (or is no regular file) is not reported and leaves the memo
    // as it was.
    const auto content = platform::TryReadFile(Open.FileName);
    if (!content)
        return;
    NoteFile.clear();
    m_mess.Clear();
    for (const std::string& line : mail::SplitLines(*content))
        m_mess.Add(UndeclaredToUtf8(line));
    m_mess.CaretToStart();
    NoteFile = Open.FileName;
}

bool MessageFiles::WriteNote(const std::string& fileName) {
    std::string content;
    for (const std::string& line : m_mess.Lines())
        content += line + "\r\n";
    try {
        settings::WriteFileAtomically(fileName, content, 0644);
        return true;
    } catch (const settings::SettingsWriteError&) {
        // A note that cannot be written is not reported; the file stays as it was.
        return false;
    }
}

}  // namespace msgwindow
