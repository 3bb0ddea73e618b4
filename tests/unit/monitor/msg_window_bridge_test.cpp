// The message window works on the bridge's copy of the shared state: what it changes there,
// the notice it clears included, is what the main window has after it.
#include <gtest/gtest.h>

#include "MonitorFakes.h"
#include "monitor/MsgWindowBridge.h"

namespace monitor::test {
namespace {

class MsgWindowBridgeTest : public MonitorTest {
protected:
    // Connects to one account whose login is refused, which leaves a notice.
    void StartWithNotice() {
        ASSERT_TRUE(Start({{"Box1", "pop1.test"}}));
        Box("pop1.test").password = "changed";  // the login is refused
        vorla->ConnectClick();
        ASSERT_FALSE(vorla->ErrorNotice().empty());
        bridge.Attach(*vorla, messageWindow);
    }

    MsgWindowBridge bridge{view};
};

TEST_F(MsgWindowBridgeTest, ANoticeTheWindowClearsIsGoneFromTheMainWindow) {
    StartWithNotice();
    const std::string notice = vorla->ErrorNotice();
    messageWindow.whileShown = [&] {
        EXPECT_EQ(bridge.State().ErrorNotice, notice);
        bridge.State().ErrorNotice.clear();
        bridge.State().NotepadMode = true;
    };
    bridge.ShowModal();
    EXPECT_EQ(vorla->ErrorNotice(), "");
    EXPECT_TRUE(vorla->NotepadMode);
}

TEST_F(MsgWindowBridgeTest, ANoticeKeptOrRaisedWhileShownStays) {
    StartWithNotice();
    const std::string notice = vorla->ErrorNotice();
    bridge.ShowModal();
    EXPECT_EQ(vorla->ErrorNotice(), notice);

    messageWindow.whileShown = [&] {
        bridge.State().ErrorNotice.clear();
        vorla->POPError(0, "broken");
        EXPECT_NE(bridge.State().ErrorNotice, "");
    };
    bridge.ShowModal();
    EXPECT_NE(vorla->ErrorNotice(), "");
    EXPECT_NE(vorla->ErrorNotice().find("broken"), std::string::npos);
}

}  // namespace
}  // namespace monitor::test
