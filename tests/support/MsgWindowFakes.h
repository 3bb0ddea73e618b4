#pragma once
// The main window and the desktop window as the message window's logic sees them, recorded.
// Header only: for tests that link msgwindow.
#include <string>
#include <vector>

#include "msgwindow/MsgList.h"

namespace testsupport {

class FakeMainWindow final : public monitor::MainWindowLink {
public:
    void DrawStatus(const std::string& text) override { drawn.push_back(text); }
    void CheckNextAccount(bool check) override { redisplays.push_back(check); }
    monitor::ScreenPoint Place() override { return place; }

    std::vector<std::string> drawn;
    std::vector<bool> redisplays;
    monitor::ScreenPoint place{120, 80};
};

class FakeMsgView final : public msgwindow::MsgListView {
public:
    void CloseWindow() override { ++closes; }
    int Left() override { return left; }
    int Top() override { return 200; }
    void ShowReplyPanel(bool visible) override { panelVisible = visible; }

    int closes = 0;
    bool panelVisible = true;
    int left = 300;
};

}  // namespace testsupport
