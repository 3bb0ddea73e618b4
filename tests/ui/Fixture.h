#pragma once
// A program folder of its own for each test, with copies of the shipped default skin under
// the names a test asks for, and fakes for everything that would leave the program.
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

#include "app/Program.h"
#include "platform/Desktop.h"
#include "platform/Dialogs.h"
#include "platform/MemoryRasApi.h"

namespace uitest {

class RecordingDialogs final : public platform::Dialogs {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

class SilentSound final : public platform::Sound {
public:
    void PlayFile(const std::string& path) override { played.push_back(path); }
    std::vector<std::string> played;
};

class RecordingShell final : public platform::Shell {
public:
    bool OpenDocument(const std::string& target) override {
        opened.push_back(target);
        return true;
    }
    bool StartProgram(const std::string& program, const std::vector<std::string>&) override {
        opened.push_back(program);
        return true;
    }
    std::vector<std::string> opened;
};

class NoAutorun final : public platform::Autorun {
public:
    void Enable(const std::string&) override {}
    void Disable() override {}
};

class NoMailto final : public platform::MailtoHandler {
public:
    std::string Command() override { return {}; }
};

struct SkinCopy {
    std::string name;
    bool broken = false;  // its "main" picture is missing
};

// Lays out the folder, with skin_dir pointing at its "skins" and current_skin at the first
// skin, and starts the program in it. moreSettings are further "key = value" lines of Vorla.ini.
// With settingsApart the settings live in the folder's "settings" instead, as when installed.
class ProgramFixture {
public:
    explicit ProgramFixture(const std::vector<SkinCopy>& skins,
                            const std::vector<std::string>& moreSettings = {},
                            bool settingsApart = false);
    ~ProgramFixture();

    bool Started() const { return m_started; }
    app::Program& Program() { return *m_program; }
    std::string SkinFolder(const std::string& name) const;
    std::string Folder() const;
    // Ends in "/".
    const std::string& SettingsFolder() const { return m_settingsFolder; }

    RecordingDialogs dialogs;
    SilentSound sound;
    RecordingShell shell;

private:
    QTemporaryDir m_dir;
    std::string m_settingsFolder;
    NoAutorun m_autorun;
    NoMailto m_mailto;
    platform::MemoryRasApi m_dialUp;
    std::unique_ptr<app::Program> m_program;
    bool m_started = false;
};

}  // namespace uitest
