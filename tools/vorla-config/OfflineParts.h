#pragma once
// The parts of the main window that would leave the machine, replaced for a run that never
// goes on line: no POP3 session, no dialling, no download, no message window.
#include <string>

#include "config/ConfigServices.h"
#include "monitor/Services.h"

namespace vorlaconfig {

inline constexpr const char* kOffline = "vorla-config does not connect";

// Every connection attempt fails at once.
class OfflinePop final : public monitor::PopClient {
public:
    void SetServer(const std::string&, const std::string&) override {}
    void Connect() override;
    bool Login(const std::string&, const std::string&) override { return false; }
    void GetMailCount() override {}
    std::unique_ptr<mail::TQelMsg> RetrieveTop(std::uint32_t, std::uint32_t) override {
        throw monitor::PopError(kOffline);
    }
    std::unique_ptr<mail::TQelMsg> RetrieveMessage(std::uint32_t) override {
        throw monitor::PopError(kOffline);
    }
    void DeleteMessage(std::uint32_t) override { throw monitor::PopError(kOffline); }
    void Quit() override {}
    bool Failed() const override { return m_failed; }
    bool Connected() const override { return false; }
    int MessageCount() const override { return 0; }
    std::string ReplyStatus() const override { return "-ERR"; }
    std::string ReplyText() const override { return {}; }
    void Abort() override {}

private:
    bool m_failed = false;
};

// Lists the real dial-up entries but never dials.
class OfflineDialUp final : public monitor::DialUp {
public:
    explicit OfflineDialUp(monitor::DialUp& entries) : m_entries(entries) {}
    void RefreshEntries() override { m_entries.RefreshEntries(); }
    std::vector<std::string> Entries() const override { return m_entries.Entries(); }
    void Dial(int) override { throw monitor::DialUpError(kOffline); }
    void HangUp(int) override {}
    int ConnectionState(const std::string&) override { return 0; }
    std::string LastError() const override { return kOffline; }

private:
    monitor::DialUp& m_entries;
};

class NoMessageWindow final : public config::MessagePreview {
public:
    bool IsVisible() override { return false; }
    void ShowPreview() override {}
    void Hide() override {}
};

}  // namespace vorlaconfig
