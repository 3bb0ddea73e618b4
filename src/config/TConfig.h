#pragma once
// TConfig: the logic of the configuration dialog. It holds the dialog's controls as plain
// state; the Qt dialog and the headless tool show that state and hand every user action to
// Click, SetText, Choose or MnuClick. Accounts, filters, identities and the skin are applied
// at once; the other settings wait for OK (ReadConfigDialog).
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "config/AccountEditor.h"
#include "config/ConfigServices.h"
#include "config/DialogContext.h"
#include "config/FilterPage.h"
#include "config/FindSettingsPage.h"
#include "config/IdentityPage.h"
#include "config/KeyringMoves.h"
#include "config/OpenDialog.h"
#include "config/SkinPage.h"
#include "platform/Desktop.h"

namespace config {

enum class DialogResult { Pending, Ok, Cancel };

// Everything the dialog reaches besides the settings; all must outlive it.
struct ConfigServices {
    platform::Dialogs& dialogs;
    platform::Shell& shell;
    FileDialogs& files;
    SkinHost& skinHost;
    MessagePreview& preview;
    // Where account passwords go while the keyring box is checked; null: no keyring.
    platform::SecretStore* secrets = nullptr;
};

class TConfig {
public:
    // folder is the settings folder; config and tables are the main window's.
    TConfig(settings::Config& config, settings::Tables& tables, std::string folder,
            ConfigServices services);
    TConfig(const TConfig&) = delete;
    TConfig& operator=(const TConfig&) = delete;

    // Before each showing: every mapped setting into its control, and the lists.
    void FillConfigDialog(const std::vector<std::string>& dialUpEntries,
                          const std::vector<std::string>& newsServers);
    // After OK: every mapped control into its setting, and the account passwords moved into or
    // out of the keyring as its box says. True when the autorun flag changed.
    bool ReadConfigDialog();

    // The dialog is shown: it opens on "Main Options", remembering the skin in use.
    void FormShow();
    // A page-menu item by its tag.
    void MnuClick(int tag);

    // User actions on a control by name. A disabled control, or one of an ended dialog, takes
    // none. Click toggles a check box or checks a radio button as the click does, and runs
    // the control's handler; false when the control took no click. UnknownControl for a name
    // the dialog does not have.
    bool Click(const std::string& name);
    // The user replaced the text of an edit; false when the control is no edit. A new text
    // runs the edit's OnChange.
    bool SetText(const std::string& name, const std::string& text);
    // The user chose an entry of a list; false when there is no such entry.
    bool Choose(const std::string& name, int index);

    // A press of the left button on a list, before any choice.
    void MouseDown(const std::string& name);

    // The search behind "Find settings"; it must outlive the dialog. Null disables the button.
    void SetSettingsSearch(SettingsSearch* search) { m_find.SetSearch(search); }

    void OKClick();
    void CancelClick();
    void ChkTrayClick();

    DialogControls Controls;
    DialogResult Result() const { return m_result; }
    // The control that the logic last put the focus in.
    const std::string& Focused() const { return m_context.Focused; }
    settings::Config& Settings() { return m_context.Config; }
    bool SkinChanged() const { return m_skin.SkinChanged(); }

private:
    void SndBrClick();
    void BrClientClick();
    void LinkClick(const std::string& name);
    // The control's OnChange, when it has one.
    void RunChange(const std::string& name);
    void BrowseInto(const char* filter, const std::string& edit);
    // OK with an account typed but not added asks whether to add it first; false when the
    // dialog stays open (Cancel, or an account that could not be added).
    bool KeepTypedAccount();
    void End(DialogResult result) {
        m_find.Stop();
        m_result = result;
    }

    DialogContext m_context;
    ConfigServices m_services;
    SharedOpenDialog m_open;
    KeyringMoves m_keyring{m_context, m_services.secrets};
    AccountEditor m_accounts{m_context, m_keyring};
    FilterPage m_filters{m_context};
    IdentityPage m_identities{m_context, m_open};
    SkinPage m_skin;
    FindSettingsPage m_find{m_context};
    std::map<std::string, std::function<void()>> m_clicks;
    std::map<std::string, std::function<void()>> m_changes;
    DialogResult m_result = DialogResult::Pending;
    // A handler is running: the keyring's wait lets the windows paint, and a click that arrives
    // then must not start a second change of the same accounts.
    bool m_handling = false;
    struct HandlingScope {
        explicit HandlingScope(bool& flag) : m_flag(flag) { m_flag = true; }
        ~HandlingScope() { m_flag = false; }
        HandlingScope(const HandlingScope&) = delete;
        HandlingScope& operator=(const HandlingScope&) = delete;
        bool& m_flag;
    };
};

}  // namespace config
