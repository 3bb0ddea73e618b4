#pragma once
// The fixed texts of the configuration dialog.
#include <string>

namespace config {

inline constexpr const char* kAccountExists = "Account already exists!";
inline constexpr const char* kFillAllFields = "Please fill all fields of your account!";
inline constexpr const char* kAccountsFull = "Accounts full (10 max.)";

// OK with an account typed into the fields but not added.
inline std::string AddAccountQuestion(const std::string& name) {
    return "Add the account " + name + " before closing?";
}
inline constexpr const char* kMaxFilters = "Max. filters reached";
inline constexpr const char* kBadFingerprint =
    "The certificate fingerprint must be 64 hexadecimal digits (pairs may be separated by "
    "colons), or empty to check the certificate against the system's store.";
inline constexpr const char* kBadQuietHours =
    "Quiet hours are written HH:MM-HH:MM (for instance 22:00-07:00), or left empty.";

// The shared open dialog's filter lists. Programs here carry no extension, so the program
// filter shows every file.
inline constexpr const char* kSoundFilter = "Wav files (*.wav) | *.wav";
inline constexpr const char* kProgramFilter = "All files (*) | *";
inline constexpr const char* kSkinFilter = "Ini files (*.ini) | *.ini";
inline constexpr const char* kInitialFilters = "skins (*.ini)|*.ini|text (*.txt)|*.txt";

inline constexpr const char* kSkinFolderCaption = "Sélection du répertoire de skins";
inline constexpr const char* kProposedSkinFile = "Skin.ini";
inline constexpr const char* kNoSignature = "...";

}  // namespace config
