#include "ConfigTestSupport.h"

namespace config::test {

ConfigTest::ConfigTest() {
    settings.SkinFolder = MakeSkin("first");
    settings.SkinDir = Folder() + "skins";
    dialog = std::make_unique<TConfig>(
        settings, tables, Folder(),
        ConfigServices{dialogs, shell, files, skinHost, preview, &keyring});
}

ConfigTest::~ConfigTest() {
    dialog.reset();
}

std::string ConfigTest::ReadFile(const std::string& name) const {
    return m_folder.Read(name);
}

void ConfigTest::WriteFile(const std::string& name, const std::string& content) const {
    m_folder.Write(name, content);
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
