#pragma once

// The application profile: the player's own integer settings (section "GameOption"), kept in an
// INI file in the user's configuration folder (GenericConfigLocation/qarrum/qarrum.ini, ~/.config/qarrum/qarrum.ini).
// Tests and tools point a store at a file of their own.

#include <filesystem>
#include <string_view>

class ProfileStore {
public:
    // The store on DefaultProfileFile().
    ProfileStore();
    explicit ProfileStore(std::filesystem::path file);

    static std::filesystem::path DefaultProfileFile();

    const std::filesystem::path& File() const { return m_file; }
    void SetFile(std::filesystem::path file) { m_file = std::move(file); }

    // A missing value, and one that is not a whole decimal number in the int range, gives the
    // default: the profile is ours, so anything else there is damage, not a setting.
    int GetProfileInt(std::string_view section, std::string_view key, int defaultValue) const;
    // Stores the value as "%d", creating the folder and the file when needed.
    bool WriteProfileInt(std::string_view section, std::string_view key, int value);

private:
    std::filesystem::path m_file;
};
