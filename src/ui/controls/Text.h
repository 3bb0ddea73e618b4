#pragma once
// The core keeps text as 8-bit bytes; only the shell converts them for display.
#include <QString>

#include <string>

namespace uicontrols {

// Bytes that are valid UTF-8 show as UTF-8, anything else as Windows-1252.
QString ToQString(const std::string& bytes);

}  // namespace uicontrols
