#pragma once
// The Exec= key of desktop entry files (XDG Desktop Entry Specification): writing one program
// path into it, and reading a whole command line out of it.
#include <string>
#include <vector>

namespace platform {

// An argument as an Exec= value holds it: in double quotes, with '"', '`', '$' and '\' escaped
// by a backslash, '%' written "%%", and then the string escapes of the key's value applied
// (every backslash doubled, control characters as "\n", "\t", "\r").
std::string QuoteExecArgument(const std::string& argument);

// The program and its arguments of an Exec= value as it stands in its file: string escapes
// decoded, quoted arguments unquoted, the arguments holding a field code ("%u", "%U",
// "--to=%u", ...) and Flatpak's "@@u" / "@@" markers dropped, "%%" read as "%". Empty for an
// empty value or an open quote.
std::vector<std::string> SplitExecLine(const std::string& value);

}  // namespace platform
