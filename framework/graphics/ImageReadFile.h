#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Quillo::ImageLib
{

// The bytes of an image file named as the data names it ("gfx\\x.png"),
// looked up case-insensitively; nothing when it cannot be read.
std::optional<std::vector<uint8_t>> ReadImageFile(const std::string& fileName);

} // namespace Quillo::ImageLib
