#pragma once
// "Find settings" on the "Incoming Mails" page: the account's POP3 (or, for a provider without
// POP3, IMAP) and SMTP settings found from its e-mail address and filled into the fields, to be
// added as any typed account.
#include <functional>
#include <optional>

#include "autoconfig/Address.h"
#include "autoconfig/Settings.h"
#include "config/DialogContext.h"

namespace config {

// The search run off the window thread; the Qt dialog gives one, tests give their own.
class SettingsSearch {
public:
    using Done = std::function<void(const std::optional<autoconfig::Found>&)>;
    virtual ~SettingsSearch() = default;
    // Starts a search for the address; done runs on the window thread once it has ended,
    // unless Cancel came first.
    virtual void Start(const autoconfig::Address& address, Done done) = 0;
    // Stops the running search; its done does not run.
    virtual void Cancel() = 0;
};

// The line that says where found settings came from, with what the user should judge.
std::string FoundText(const autoconfig::Found& found, const std::string& domain);

class FindSettingsPage {
public:
    explicit FindSettingsPage(DialogContext& context) : m_context(context) {}

    // Without a search the button stays disabled.
    void SetSearch(SettingsSearch* search);
    // Starts a search, or stops the one running.
    void BtnFindClick();
    // Stops a running search: the dialog ends.
    void Stop();
    bool Searching() const { return m_searching; }

private:
    void Finished(const autoconfig::Address& address,
                  const std::optional<autoconfig::Found>& found);
    void Fill(const autoconfig::Found& found, const std::string& domain);
    void ShowSearching(bool searching);

    DialogContext& m_context;
    SettingsSearch* m_search = nullptr;
    bool m_searching = false;
};

}  // namespace config
