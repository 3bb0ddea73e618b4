#pragma once
// Recording stand-ins for what the configuration dialog reaches: the message box, the shell,
// the file dialogs, the main window's skin and the message window preview.
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "RecordingDialogs.h"
#include "RecordingShell.h"
#include "config/ConfigServices.h"
#include "settings/Config.h"

namespace config::test {

using testsupport::RecordingDialogs;
using testsupport::RecordingShell;

// Answers each file or folder dialog with the next scripted answer (nothing: cancelled).
class ScriptedFileDialogs final : public FileDialogs {
public:
    std::optional<std::string> OpenFile(const OpenRequest& request) override {
        requests.push_back(request);
        return Next();
    }
    std::optional<std::string> PickFolder(const std::string& caption) override {
        folderCaptions.push_back(caption);
        return Next();
    }
    std::deque<std::optional<std::string>> answers;
    std::vector<OpenRequest> requests;
    std::vector<std::string> folderCaptions;

private:
    std::optional<std::string> Next() {
        if (answers.empty()) {
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Loads every skin folder but those listed as broken; records the folders it was asked for.
class FakeSkinHost final : public SkinHost {
public:
    explicit FakeSkinHost(const settings::Config& config) : m_config(config) {}
    bool IsMainWindowVisible() override { return visible; }
    void ShowMainWindow() override { visible = true; }
    bool LoadSkin() override {
        loaded.push_back(m_config.SkinFolder);
        return broken.count(m_config.SkinFolder) == 0;
    }
    void RepaintMainWindow() override { ++repaints; }

    bool visible = true;
    std::set<std::string> broken;
    std::vector<std::string> loaded;
    int repaints = 0;

private:
    const settings::Config& m_config;
};

class FakePreview final : public MessagePreview {
public:
    bool IsVisible() override { return visible; }
    void ShowPreview() override { visible = true; }
    void Hide() override { visible = false; }
    bool visible = false;
};

}  // namespace config::test
