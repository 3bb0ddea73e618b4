#pragma once
// How the mail client is found and started: the user's own command or the mailto handler.
#include <string>
#include <vector>

namespace monitor {

struct ProgramCall {
    std::string Program;  // empty: nothing to start
    std::vector<std::string> Arguments;
};

// The user's "program,parameters" text split at its first comma; the parameters are split
// into arguments at blanks (double quotes group). The marker "empty" or a blank text gives
// no program.
ProgramCall SplitOwnClient(const std::string& text);

// The registered mailto command turned into the program to start. A command naming a ".exe"
// (any case) starts what comes up to and including it, without a leading double quote and
// without the rest, and "-mail" for Netscape. Any other command is a desktop entry's Exec=
// line: all of it is started, field codes and Flatpak markers removed (SplitExecLine), so
// Snap and Flatpak mail programs start. An empty command gives no program.
ProgramCall MailtoProgram(const std::string& command);

}  // namespace monitor
