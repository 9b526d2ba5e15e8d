#pragma once

// Every file the program names is a relative Windows-style path ("Telvo\img\x.png"), written in
// whatever case the caller happened to use. These functions map such a name to a real file:
// separators become '/', and each component is matched case-insensitively (ASCII letters) against
// what exists, so "Telvo\img" and "telvo\IMG" name one folder.
//
// Two folders hold the files. Reads look in the user data folder first, then in the installed
// data folder; writes always go to the user data folder.
//   user data folder:      $QARRUM_HOME, else GenericDataLocation/qarrum (~/.local/share/qarrum)
//   installed data folder: $QARRUM_DATA, else found from the executable: <bindir>/../data in a
//                          build tree, <prefix>/share/qarrum when installed
//
// A name that could leave its folder (absolute, a drive letter, a ".." component, a NUL byte) is
// refused: the resolvers return nothing.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

std::filesystem::path UserDataFolder();
std::filesystem::path InstalledDataFolder();

// Pins both folders, ignoring the environment; for tests and tools. ClearDataFolders undoes it.
void SetDataFolders(const std::filesystem::path& userFolder, const std::filesystem::path& installedFolder);
void ClearDataFolders();

// The existing file or folder the name refers to, user data folder first.
std::optional<std::filesystem::path> ResolveForReading(std::string_view relativePath);

// Where to write the file the name refers to, inside the user data folder. Missing parent folders
// are created; an existing folder or file whose name differs only in case is reused. Nothing is
// returned when the name is refused or a folder cannot be created.
std::optional<std::filesystem::path> ResolveForWriting(std::string_view relativePath);

// Turns text from outside (a user name from the network) into one harmless file-name component:
// path separators and control characters become '_', leading dots become '_', and the result is
// cut to at most 64 bytes on a character boundary. Empty text gives "unnamed". The input is UTF-8.
std::string SafeFileNameComponent(std::string_view name);
