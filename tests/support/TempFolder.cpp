#include "TempFolder.h"

#include <stdlib.h>

#include <stdexcept>

#include "Files.h"

namespace fs = std::filesystem;

namespace testsupport {

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "vorla-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_folder = pattern + "/";
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::remove_all(m_folder, ec);
}

void TempFolder::Write(const std::string& name, const std::string& bytes) const {
    fs::create_directories(fs::path(File(name)).parent_path());
    WriteFile(File(name), bytes);
}

std::string TempFolder::Read(const std::string& name) const {
    return ReadFile(File(name));
}

bool TempFolder::Exists(const std::string& name) const {
    return fs::exists(File(name));
}

void TempFolder::CopyFrom(const std::string& folder) const {
    for (const auto& entry : fs::directory_iterator(folder))
        fs::copy_file(entry.path(), fs::path(m_folder) / entry.path().filename());
}

}  // namespace testsupport
