// The main window and the message window share one state: what the window leaves in it is
// what the main window acts on once the window has closed.
#include <algorithm>

#include <gtest/gtest.h>

#include "MonitorFakes.h"

namespace monitor::test {
namespace {

class HandOverTest : public MonitorTest {
protected:
    long Quits() const { return std::count(servers.log.begin(), servers.log.end(), "QUIT"); }
};

TEST_F(HandOverTest, TheWindowsNotepadSwitchKeepsTheMainWindowOffTheSession) {
    ASSERT_TRUE(Start({{"Box1", "pop1.test"}}));
    Box("pop1.test").Fill(2);
    jobs->Cycle.ConnectClick();
    servers.log.clear();

    jobs->HandOver.FLAGMouseDown({.Left = true, .Double = true});
    EXPECT_EQ(Quits(), 1) << "the main window ends the session it opened for the window";
    EXPECT_EQ(commun.WaitingCount, 2);

    // The mailbox changed under the window: it ended the session itself and went on as a
    // notepad with nothing waiting.
    messageWindow.whileShown = [&] {
        ASSERT_FALSE(commun.NotepadMode);
        commun.NotepadMode = true;
        commun.WaitingCount = 0;
    };
    jobs->HandOver.FLAGMouseDown({.Left = true, .Double = true});
    EXPECT_EQ(Quits(), 1) << "no second QUIT after the window's own end of the session";
    EXPECT_TRUE(commun.NotepadMode);
    EXPECT_EQ(commun.WaitingCount, 0) << "the window's count is not replaced by the server's";
    EXPECT_EQ(jobs->Ticker.StatusText, "Box1 empty");
    EXPECT_EQ(view.Last("flag "), "flag nomail");
}

}  // namespace
}  // namespace monitor::test
