// Reading of INI files with the private-profile semantics: "[section]" and "key=value" lines,
// names matched ignoring ASCII case, the first matching section and key win, white space
// around names and values trimmed, one pair of surrounding quotes removed from a value;
// LF or CRLF; UTF-8 with or without BOM, or UTF-16LE with BOM.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// Text values are cut to this many UTF-16 code units, never inside a character.
inline constexpr int kProfileTextLimit = 63;

// An optional sign and decimal digits; text that is not a number reads 0; a missing file,
// section or key gives `default_value`.
int GetPrivateProfileInt(const std::string& section, const std::string& key, int default_value,
                         const std::string& file);

// The value exactly as the file holds it (trimmed and unquoted, not cut); nothing for a
// missing file, section or key. For tools that report what the reads below make of a file.
std::optional<std::string> GetPrivateProfileValue(const std::string& section,
                                                  const std::string& key, const std::string& file);

// The names of every section in file order, duplicates included; empty for a missing file.
std::vector<std::string> GetPrivateProfileSectionNames(const std::string& file);

// The names of the keys of the first section of that name, in file order, duplicates
// included; empty for a missing file or section.
std::vector<std::string> GetPrivateProfileKeyNames(const std::string& section,
                                                   const std::string& file);

// The value, cut to kProfileTextLimit code units; a missing file, section or key gives
// `default_value` (cut the same way).
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& default_value, const std::string& file);

}  // namespace platform
