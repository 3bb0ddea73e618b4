#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it.
#include <filesystem>
#include <string>

namespace testsupport {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, ending in "/".
    const std::string& Folder() const { return m_folder; }
    std::filesystem::path Path() const { return m_folder; }
    std::string File(const std::string& name) const { return m_folder + name; }
    // Writes the file, making the folders on its way; throws when it cannot.
    void Write(const std::string& name, const std::string& bytes) const;
    // The file's bytes; empty when it cannot be read.
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;
    // Copies the files of folder into this one.
    void CopyFrom(const std::string& folder) const;

private:
    std::string m_folder;
};

}  // namespace testsupport
