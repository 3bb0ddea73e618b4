#pragma once
// A program folder of its own for each test, with copies of the shipped default skin under
// the names a test asks for, and recording fakes for everything that would leave the program.
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

#include "app/Program.h"
#include "FakeMailto.h"
#include "RecordingAutorun.h"
#include "RecordingDialogs.h"
#include "RecordingShell.h"
#include "platform/Desktop.h"
#include "platform/MemoryRasApi.h"

namespace uitest {

class SilentSound final : public platform::Sound {
public:
    void PlayFile(const std::string& path) override { played.push_back(path); }
    std::vector<std::string> played;
};

struct SkinCopy {
    std::string name;
    bool broken = false;  // its "main" picture is missing
};

// Lays out the folder, with skin_dir pointing at its "skins" and current_skin at the first
// skin, and starts the program in it. moreSettings are further "key = value" lines of Vorla.ini.
// With settingsApart the settings live in the folder's "settings" instead, as when installed.
// The desktop has a tray unless trayPresent is false.
class ProgramFixture {
public:
    explicit ProgramFixture(const std::vector<SkinCopy>& skins,
                            const std::vector<std::string>& moreSettings = {},
                            bool settingsApart = false, bool trayPresent = true);
    ~ProgramFixture();

    bool Started() const { return m_started; }
    app::Program& Program() { return *m_program; }
    std::string SkinFolder(const std::string& name) const;
    std::string Folder() const;
    // Ends in "/".
    const std::string& SettingsFolder() const { return m_settingsFolder; }

    testsupport::RecordingDialogs dialogs;
    SilentSound sound;
    testsupport::RecordingShell shell;

private:
    QTemporaryDir m_dir;
    std::string m_settingsFolder;
    testsupport::RecordingAutorun m_autorun;
    testsupport::FakeMailto m_mailto;
    platform::MemoryRasApi m_dialUp;
    std::unique_ptr<app::Program> m_program;
    bool m_started = false;
};

}  // namespace uitest
