#include "framework/app/DemoFileGateway.h"

#include "framework/app/DemoSession.h"

#include <cstdint>

namespace Quillo
{

bool DemoFileGateway::Exists(const std::string& path)
{
    return m_demo.CheckThrough([&] { return Direct().Exists(path); });
}

std::optional<std::vector<uint8_t>> DemoFileGateway::Read(const std::string& path, size_t maxBytes,
                                                          bool& truncated)
{
    // One byte beyond the limit is kept, so that playback knows the file
    // was longer without the recording holding all of it.
    const size_t limit = maxBytes < SIZE_MAX ? maxBytes + 1 : maxBytes;
    std::vector<uint8_t> data;
    const bool ok = m_demo.ReadThrough(
        [&]() {
            bool longer = false;
            return Direct().Read(path, limit, longer);
        },
        data);
    truncated = false;
    if (!ok)
        return std::nullopt;
    if (data.size() > maxBytes)
    {
        data.resize(maxBytes);
        truncated = true;
    }
    return data;
}

bool DemoFileGateway::Write(const std::string& path, const uint8_t* data, size_t size)
{
    return m_demo.ChangeUnlessPlaying([&] { return Direct().Write(path, data, size); });
}

bool DemoFileGateway::Append(const std::string& path, std::string_view text)
{
    return m_demo.ChangeUnlessPlaying([&] { return Direct().Append(path, text); });
}

bool DemoFileGateway::Remove(const std::string& path)
{
    return m_demo.ChangeUnlessPlaying([&] { return Direct().Remove(path); });
}

bool DemoFileGateway::Rename(const std::string& from, const std::string& to)
{
    return m_demo.ChangeUnlessPlaying([&] { return Direct().Rename(from, to); });
}

bool DemoFileGateway::MakeDirectories(const std::string& path)
{
    return m_demo.ChangeUnlessPlaying([&] { return Direct().MakeDirectories(path); });
}

} // namespace Quillo
