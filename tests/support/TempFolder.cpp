#include "TempFolder.h"

#include <stdlib.h>

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
    const fs::path path = File(name);
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::string TempFolder::Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool TempFolder::Exists(const std::string& name) const {
    return fs::exists(File(name));
}

void TempFolder::CopyFrom(const std::string& folder) const {
    for (const auto& entry : fs::directory_iterator(folder))
        fs::copy_file(entry.path(), fs::path(m_folder) / entry.path().filename());
}

}  // namespace testsupport
