#pragma once

// The co-operation configuration: a few key/value settings with which an operator brands the
// client, for instance the customer-service address ("customerServiceURL") and a path prefix for
// operator-specific resources ("swfPrefix").
//
// The pointer file "Hubra2011\CoOpConfig.xml" names the main configuration file (top-level element
// "config") and optionally an extra one ("extraConfig"); without a usable pointer file the main file
// is "Hubra2011\qzgame.xml". Each configuration file holds one top-level element whose element
// children are the entries: name -> text. The extra file is loaded after the main one, so its
// entries replace the main file's. Next to any configuration file an encrypted variant (its name
// with ".qz" appended, whole-file form of the general category) takes its place.
//
// All names are game paths, found through the data folders (DataPaths.h). Problems are shown to the
// player as error messages (ErrorMessage.h) with the caption "CoOperatingConfig"; nothing throws.

#include "support/QZResourceManager.h"

#include <map>
#include <string>
#include <string_view>

class CoOperatingConfig {
public:
    static constexpr std::string_view kPointerFile = "Hubra2011\\CoOpConfig.xml";
    static constexpr std::string_view kDefaultMainFile = "Hubra2011\\qzgame.xml";

    // The process's configuration, read on the first call.
    static CoOperatingConfig& GetInstance();

    // Reads the files now; the data folders must be settled before.
    CoOperatingConfig();

    CoOperatingConfig(const CoOperatingConfig&) = delete;
    CoOperatingConfig& operator=(const CoOperatingConfig&) = delete;

    // The value of `key`, or, after a message naming the key, an empty text.
    std::string GetValue(const std::string& key) const;

    // head + swfPrefix + tail when that file (or its ".qz" variant) exists, else head + tail.
    std::string GetSwfPath(std::string_view head, std::string_view tail) const;

    const std::map<std::string, std::string>& Values() const { return m_values; }

private:
    // Adds the file's entries; on failure shows the load message and keeps what was added before.
    void LoadFile(const std::string& path);

    QZResourceManager m_resources;
    std::map<std::string, std::string> m_values;
};
