#include "SettingsTool.h"

#include "SettingsDump.h"
#include "settings/AtomicFile.h"
#include "settings/LitConfig.h"
#include "settings/Writers.h"

namespace vorlasettings {

namespace {

// What would be the desktop program's message box is one line on the error stream.
class StreamDialogs final : public platform::Dialogs {
public:
    explicit StreamDialogs(std::ostream& err) : m_err(err) {}
    void ShowMessage(const std::string& text) override { m_err << text << '\n'; }
    // Reading and writing settings asks nothing; a question would be answered No.
    bool Ask(const std::string&) override { return false; }
    platform::Answer AskYesNoCancel(const std::string&) override {
        return platform::Answer::Cancel;
    }

private:
    std::ostream& m_err;
};

// The tool ends by returning from RunSettingsTool once FatalSettingsError has unwound.
class ReturnOnExit final : public platform::ExitRequest {
public:
    void RequestExit() override {}
};

// What the skin load shows when a window position in "Vorla.ini" does not convert.
constexpr const char* kInvalidSkin = "-Err :  Invalid SKIN.INI, check the bitmaps.";

int Usage(std::ostream& err) {
    err << "usage: vorla-settings dump DIR\n"
           "       vorla-settings rewrite DIR\n"
           "dump prints every setting read from DIR as name=value lines;\n"
           "rewrite reads DIR and writes its three settings files back.\n";
    return kToolUsageError;
}

void Rewrite(const std::string& folder, const settings::Config& config,
             const settings::Tables& tables) {
    const std::vector<std::string> filters(tables.FilterTable.begin(),
                                           tables.FilterTable.begin() + tables.FilterCount);
    settings::Tables written = tables;
    settings::SaveConfig(folder, config);
    settings::SaveAccounts(folder, written);
    settings::SaveFilters(folder, filters, std::to_string(config.max_size), config.auth_fltr,
                          written);
}

}  // namespace

int RunSettingsTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2 || (args[0] != "dump" && args[0] != "rewrite")) {
        return Usage(err);
    }
    const std::string& folder = args[1];
    StreamDialogs dialogs(err);
    ReturnOnExit exitRequest;
    settings::Config config;
    settings::Tables tables;
    try {
        settings::LitConfig(folder, config, tables, {dialogs, exitRequest});
        if (!settings::ReadWindowPositions(folder, config)) {
            err << kInvalidSkin << '\n';
            return kToolFatal;
        }
        if (args[0] == "rewrite") {
            Rewrite(folder, config, tables);
            return 0;
        }
        DumpSettings(out, config, tables);
        out.flush();
        return out ? 0 : kToolWriteFailed;
    } catch (const settings::FatalSettingsError&) {
        return kToolFatal;
    } catch (const settings::SettingsWriteError& error) {
        err << error.what() << '\n';
        return kToolWriteFailed;
    }
}

}  // namespace vorlasettings
