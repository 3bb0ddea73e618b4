#include "ConfigTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace config::test {

namespace fs = std::filesystem;

ConfigTest::ConfigTest() {
    std::string pattern = (fs::temp_directory_path() / "vorla-config-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_folder = pattern;
    settings.SkinFolder = MakeSkin("first");
    settings.SkinDir = Folder() + "skins";
    dialog = std::make_unique<TConfig>(settings, tables, Folder(),
                                       ConfigServices{dialogs, shell, files, skinHost, preview});
}

ConfigTest::~ConfigTest() {
    dialog.reset();
    std::error_code error;
    fs::remove_all(m_folder, error);
}

std::string ConfigTest::ReadFile(const std::string& name) const {
    std::ifstream in(m_folder / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void ConfigTest::WriteFile(const std::string& name, const std::string& content) const {
    fs::create_directories((m_folder / name).parent_path());
    std::ofstream(m_folder / name, std::ios::binary) << content;
}

std::string ConfigTest::MakeSkin(const std::string& name) const {
    WriteFile("skins/" + name + "/skin.ini", "skin_name = " + name + "\r\nskin_mail = a@" + name +
                                                 "\r\nskin_web = http://" + name + "\r\n");
    return Folder() + "skins/" + name + "/";
}

void ConfigTest::Open(const std::vector<std::string>& dialUp,
                      const std::vector<std::string>& news) {
    dialog->FillConfigDialog(dialUp, news);
    dialog->FormShow();
}

void ConfigTest::Set(const std::string& name, const std::string& text) {
    ASSERT_TRUE(dialog->SetText(name, text)) << name;
}

void ConfigTest::AddAccount(const std::string& name, const std::string& port) {
    Set("NAccount", name);
    Set("HostTxt", "pop." + name);
    Set("UserName", name);
    Set("Password", "pw-" + name);
    Set("PortTxt", port);
    dialog->Click("AddAcc");
}

std::vector<std::string> ConfigTest::AccountNames() const {
    std::vector<std::string> names;
    for (int n = 0; n < tables.AccountCount; ++n) {
        names.push_back(tables.AccountTable[n].acc_name);
    }
    return names;
}

}  // namespace config::test
