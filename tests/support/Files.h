#pragma once
// Whole files as bytes: the inputs a test writes and what the code under test wrote.
#include <string>

namespace testsupport {

// The file's bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);
// Writes bytes as the whole file; throws std::runtime_error when it cannot.
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace testsupport
