#include "TempFolder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

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
    std::ofstream out(File(name), std::ios::binary);
    out << bytes;
}

std::string TempFolder::Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool TempFolder::Exists(const std::string& name) const {
    return fs::exists(File(name));
}

}  // namespace testsupport
