#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Spindrel::Datagen
{

// Writes the generated files below the output folder, creating folders as
// needed. A failed write throws, so the build step fails instead of leaving
// a half-made data folder that looks complete.
class DataWriter
{
public:
    explicit DataWriter(std::string root);

    void Write(std::string_view relativePath, const std::vector<uint8_t>& bytes) const;
    void Write(std::string_view relativePath, std::string_view text) const;

private:
    std::string m_root;
};

} // namespace Spindrel::Datagen
