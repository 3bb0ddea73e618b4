#pragma once
// How the tools print a text that came from a file or a server: control bytes that a terminal
// would obey (a title change, a cleared screen) are shown as escapes instead.
#include <string>
#include <string_view>

namespace console {

enum class LineEnds {
    Hex,    // CR and LF as \x0D and \x0A, like every other control byte
    Named,  // CR and LF as \r and \n, so that a text of several lines reads on one line
};

// The text with every control byte (below 32 except TAB, and 127) written as \xNN and a
// backslash as \\, so that what is printed cannot be mistaken for an escape.
std::string Printable(std::string_view text, LineEnds lineEnds = LineEnds::Hex);

}  // namespace console
