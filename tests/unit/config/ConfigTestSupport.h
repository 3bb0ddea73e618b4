#pragma once
// A configuration dialog on a temporary settings folder, with the recording stand-ins.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ConfigFakes.h"
#include "MemorySecretStore.h"
#include "TempFolder.h"
#include "config/ConfigSession.h"
#include "config/TConfig.h"

namespace config::test {

class ConfigTest : public ::testing::Test {
protected:
    ConfigTest();
    ~ConfigTest() override;

    std::string Folder() const { return m_folder.Folder(); }
    std::string ReadFile(const std::string& name) const;
    void WriteFile(const std::string& name, const std::string& content) const;
    // A skin folder under the settings folder with a skin.ini naming the skin.
    std::string MakeSkin(const std::string& name) const;

    // Fills and shows the dialog as "Configure" does, without the owner's part.
    void Open(const std::vector<std::string>& dialUp = {},
              const std::vector<std::string>& news = {});
    // Types the fields of an account and presses "&Add".
    void AddAccount(const std::string& name, const std::string& port = "110");
    void Set(const std::string& name, const std::string& text);
    std::vector<std::string> AccountNames() const;

    settings::Config settings;
    settings::Tables tables;
    RecordingDialogs dialogs;
    RecordingShell shell;
    ScriptedFileDialogs files;
    FakeSkinHost skinHost{settings};
    FakePreview preview;
    testsupport::MemorySecretStore keyring;
    std::unique_ptr<TConfig> dialog;

private:
    testsupport::TempFolder m_folder;
};

}  // namespace config::test
