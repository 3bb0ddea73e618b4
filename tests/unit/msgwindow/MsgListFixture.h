#pragma once
// A message window over the scripted mailbox, with the main window's side played by the
// fixture: it opens the session as the hand-over does and records what is drawn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeClock.h"
#include "FakeEventPump.h"
#include "MsgWindowFakes.h"
#include "Pop3Mailbox.h"
#include "RecordingDialogs.h"
#include "app/composition/ComponentAdapters.h"
#include "msgwindow/MsgList.h"

namespace msgwindow::test {

class MsgListTest : public ::testing::Test {
protected:
    MsgListTest();

    // Connect, login and count as the main window does, then DisplayMessage(1, false).
    void OpenMailbox();
    // A message of exactly size bytes on the server (CRLF counted).
    static std::string MessageOfSize(const std::string& subject, std::size_t size);
    static std::string Simple(const std::string& subject, const std::string& body = "body\n");
    std::vector<std::string> Memo() const { return memo.Lines(); }
    // The commands of one verb the server received ("TOP", "RETR", ...).
    int Sent(const std::string& verb) const;

    testsupport::Pop3Mailbox box;
    testsupport::Pop3MailboxFactory factory{box};
    testsupport::FakeEventPump pump;
    testsupport::FakeClock clock;
    mail::TQelPOP pop{factory, pump, clock};
    // The program's adapter, the one seam the check goes through too.
    app::QelPopClient popClient{pop};
    monitor::Commun state;
    testsupport::FakeMainWindow mainWindow;
    MemoLines memo;
    testsupport::FakeMsgView view;
    testsupport::RecordingDialogs dialogs;
    TMsgList list{{state, mainWindow, popClient, memo, view, dialogs, dialogs, pump}};
};

}  // namespace msgwindow::test
