#pragma once
// The dial-up control and the check timer as the monitor drives them, scripted and recorded.
// Header only: for tests that link the monitor.
#include <string>
#include <vector>

#include "monitor/Services.h"

namespace testsupport {

class FakeDialUp final : public monitor::DialUp {
public:
    std::vector<std::string> entries;
    std::string dialError;  // non-empty: Dial fails with this LastError
    int state = DialUp::kConnected;
    std::vector<std::string> log;  // "refresh", "dial N", "hangup N", "state NAME"

    void RefreshEntries() override { log.push_back("refresh"); }
    std::vector<std::string> Entries() const override { return entries; }
    void Dial(int index) override {
        log.push_back("dial " + std::to_string(index));
        if (!dialError.empty()) {
            m_lastError = dialError;
            throw monitor::DialUpError(dialError);
        }
    }
    void HangUp(int index) override { log.push_back("hangup " + std::to_string(index)); }
    int ConnectionState(const std::string& name) override {
        log.push_back("state " + name);
        return state;
    }
    std::string LastError() const override { return m_lastError; }

private:
    std::string m_lastError;
};

class FakeTimer final : public monitor::TimerSwitch {
public:
    bool enabled = false;
    int interval = 0;
    void SetEnabled(bool value) override { enabled = value; }
    bool Enabled() const override { return enabled; }
    void SetInterval(int ms) override { interval = ms; }
};

}  // namespace testsupport
