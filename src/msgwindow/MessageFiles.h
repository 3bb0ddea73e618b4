#pragma once
// MessageFiles: the files behind the message window's popup menu. It saves the attachments of
// the message on display and keeps the memo as a note: "Save as...", a quick save to the note
// it came from, and a text file opened into the notepad. Like the window's other handlers it
// never lets an error out: it shows it in a message box or, for a note, drops it.
#include <string>

#include "monitor/Commun.h"
#include "msgwindow/Memo.h"
#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"

namespace msgwindow {

class TMsgList;
struct MsgListParts;

inline constexpr const char* kInvalidOp = "Invalid op.";
inline constexpr const char* kSaveFilter = "text (*.txt)|*.txt|all (*.*)|*.*";
inline constexpr const char* kOpenFilter = "text file (*.txt)|*.txt|all (*.*)|*.*";

// The file name "Save as..." proposes for a message: its subject (UTF-8) with path separators
// and characters other file systems refuse replaced by "_", without leading or trailing dots
// and blanks, at most 100 bytes; empty when nothing is left.
std::string NoteNameFromSubject(const std::string& subject);

class MessageFiles {
public:
    // The owner tells which message is on display and which menu items are enabled now.
    MessageFiles(const TMsgList& owner, const MsgListParts& parts);
    MessageFiles(const MessageFiles&) = delete;
    MessageFiles& operator=(const MessageFiles&) = delete;

    void SaveClick();
    void SavMemoClick();
    void QuickSavClick();
    void OpenMemoClick();
    // Writes the memo's lines, each ended by CR LF, replacing the file whole; false when the
    // file cannot be written (which the window does not report).
    bool WriteNote(const std::string& fileName);

    // The note the memo was last saved to or opened from; a new message on display, or a
    // cleared notepad, forgets it.
    std::string NoteFile;
    platform::FileDialogState SaveDlg{kSaveFilter, 1, "", ""};
    platform::FileDialogState Open{kOpenFilter, 1, "", "txt"};

private:
    const TMsgList& m_owner;
    monitor::Commun& m_state;
    Memo& m_mess;
    platform::Dialogs& m_dialogs;
    platform::FileDialogs& m_fileDialogs;
};

}  // namespace msgwindow
