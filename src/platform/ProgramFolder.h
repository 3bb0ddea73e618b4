#pragma once
#include <string>

namespace platform {

// The folder of the running executable, ending in "/": the skins and the help page are there.
std::string ProgramFolder();

// Resolves a file named by a skin or settings file: the exact name when it exists, otherwise
// the first entry of the same folder whose name matches ignoring letter case, otherwise the
// name unchanged. Every folder along the path is matched the same way.
std::string ResolveCaseInsensitive(const std::string& path);

}  // namespace platform
