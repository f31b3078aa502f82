#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Quillo
{

// The file calls for what a program keeps for its player (profiles, saved
// games, records, its log). The application's gateway records what they
// read into a demo and, while one plays, answers from the recording and
// leaves the real files alone; Direct() is the plain one for tools and
// tests.
class FileGateway
{
public:
    virtual ~FileGateway() = default;

    // The exact name (no case-insensitive lookup).
    virtual bool Exists(const std::string& path) = 0;
    // At most maxBytes bytes; truncated tells whether the file held more.
    virtual std::optional<std::vector<uint8_t>> Read(const std::string& path, size_t maxBytes,
                                                     bool& truncated) = 0;
    // Atomic: a failed write leaves the old file whole.
    virtual bool Write(const std::string& path, const uint8_t* data, size_t size) = 0;
    virtual bool Append(const std::string& path, std::string_view text) = 0;
    virtual bool Remove(const std::string& path) = 0;
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    virtual bool MakeDirectories(const std::string& path) = 0;

    // The file system itself.
    static FileGateway& Direct();
};

} // namespace Quillo
