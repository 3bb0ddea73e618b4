#pragma once
// The command-line face of the two mail clients: one POP3 action or one SMTP send per run.
#include <iosfwd>
#include <string>
#include <vector>

namespace vorlamailtool {

// Runs the tool on its arguments (without the program name); returns the exit code: 0 done,
// 1 a mail failure (its OnError text on err), 2 a usage error.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vorlamailtool
