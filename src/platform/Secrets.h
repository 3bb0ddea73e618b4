#pragma once
// Keeping passwords out of core files and out of memory that has been given back.
#include <string>

namespace platform {

// Makes the process non-dumpable: a crash writes no core file, and other processes of the same
// user cannot read its memory. Called first thing by every program that handles passwords.
void MakeNonDumpable();

// Overwrites every byte the text holds, in a way the compiler cannot drop, and empties it.
void SecureClear(std::string& secret);

}  // namespace platform
