#pragma once
// The commands of vorla-settings: "dump DIR" and "rewrite DIR".
#include <ostream>
#include <string>
#include <vector>

namespace vorlasettings {

inline constexpr int kToolUsageError = 1;
inline constexpr int kToolFatal = 2;
inline constexpr int kToolWriteFailed = 3;

// Runs one command (args without the program name); returns the exit status.
// dump: reads DIR as the program does at start-up (LitConfig, then the window positions as
// the skin load reads them) and prints every value to out.
// rewrite: the same reading, then the three writers into DIR.
// A fatal settings fault prints its message to err, writes nothing and returns kToolFatal.
int RunSettingsTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vorlasettings
