#include "ProgramFixture.h"

#include <filesystem>
#include <fstream>

namespace uitest {

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

}  // namespace

ProgramFixture::ProgramFixture(const std::vector<SkinCopy>& skins,
                               const std::vector<std::string>& moreSettings, bool settingsApart,
                               bool trayPresent) {
    const fs::path folder = Folder();
    m_settingsFolder = Folder() + (settingsApart ? "/settings/" : "/");
    fs::create_directories(m_settingsFolder);
    const fs::path shipped = fs::path(VORLA_SOURCE_DIR) / "skins" / "default";
    for (const SkinCopy& skin : skins) {
        const fs::path target = folder / "skins" / skin.name;
        fs::create_directories(target);
        fs::copy(shipped, target, fs::copy_options::recursive);
        if (skin.broken) {
            fs::remove(target / "main.bmp");
        }
    }
    std::string ini = "current_skin = " + SkinFolder(skins.front().name) +
                      "\r\nskin_dir = " + (folder / "skins").string() +
                      "\r\nicon_tray =1\r\nspeed = 1\r\n";
    for (const std::string& line : moreSettings) {
        ini += line + "\r\n";
    }
    WriteFile(fs::path(m_settingsFolder) / "Vorla.ini", ini);
    m_program = std::make_unique<app::Program>(
        app::DesktopServices{sound, shell, m_autorun, m_mailto, dialogs, m_dialUp}, Folder() + "/",
        m_settingsFolder);
    m_program->View().systemTrayAvailable = [trayPresent] { return trayPresent; };
    m_started = m_program->Start();
    if (m_started) {
        m_program->Show();
    }
}

ProgramFixture::~ProgramFixture() = default;

std::string ProgramFixture::Folder() const {
    return m_dir.path().toStdString();
}

std::string ProgramFixture::SkinFolder(const std::string& name) const {
    return Folder() + "/skins/" + name + "/";
}

}  // namespace uitest
