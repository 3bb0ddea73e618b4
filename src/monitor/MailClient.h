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

// The registered mailto command turned into the program to start: up to and including the
// first ".exe" (any case) without a leading double quote, and "-mail" for Netscape. A
// command without ".exe" (the usual desktop entry) starts its first word without the rest,
// as the ".exe" rule drops the arguments. An empty command gives no program.
ProgramCall MailtoProgram(const std::string& command);

}  // namespace monitor
