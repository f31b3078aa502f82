#pragma once

#include "framework/platform/SettingsType.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Quillo
{

struct SettingsValue
{
    std::string name;
    SettingsType type = SettingsType::Integer;
    std::vector<uint8_t> data;
};

// The text form of a settings store:
//
//   # QuilloSettings 1
//   []
//   MusicVolume=dword:85
//   [Test3D]
//   FailureReason=sz:No%20hardware%203D%20path
//   Blob=binary:0aff
//
// A section is a key path below the product key ("" for the product key,
// components joined with "\"). Names and string bytes outside
// [A-Za-z0-9._-] are written as %XX. Lines that do not parse are skipped
// (and so dropped when the document is written back); key paths and value
// names compare case-insensitively.
class SettingsDocument
{
public:
    static SettingsDocument Parse(std::string_view text);
    std::string Serialize() const;

    bool HasKey(std::string_view path) const;
    // Creates the key and every missing parent.
    void CreateKey(std::string_view path);

    const SettingsValue* Find(std::string_view path, std::string_view name) const;
    // Creates the key when missing.
    void Set(std::string_view path, std::string_view name, SettingsType type, const uint8_t* data, size_t length);
    bool Erase(std::string_view path, std::string_view name);

    // Splits "A\\B\" into its non-empty components and joins them with "\".
    static std::string CanonicalPath(std::string_view path);
    static std::string Encode(std::string_view bytes);
    // False when a "%" is not followed by two hex digits.
    static bool Decode(std::string_view text, std::string& out);

private:
    struct Section
    {
        std::string path;
        std::vector<SettingsValue> values;
    };

    Section* FindSection(std::string_view canonicalPath);
    const Section* FindSection(std::string_view canonicalPath) const;
    Section& EnsureSection(const std::string& canonicalPath);

    std::vector<Section> m_sections;
};

} // namespace Quillo
