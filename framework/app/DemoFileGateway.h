#pragma once

#include "framework/app/FileGateway.h"

namespace Quillo
{

class DemoSession;

// The application's file gateway: recording keeps what every check and
// read found; playback answers them from the recording and makes no
// change to any file (the player's files are not the demo's).
class DemoFileGateway final : public FileGateway
{
public:
    explicit DemoFileGateway(DemoSession& demo) : m_demo(demo) {}

    bool Exists(const std::string& path) override;
    std::optional<std::vector<uint8_t>> Read(const std::string& path, size_t maxBytes, bool& truncated) override;
    bool Write(const std::string& path, const uint8_t* data, size_t size) override;
    bool Append(const std::string& path, std::string_view text) override;
    bool Remove(const std::string& path) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool MakeDirectories(const std::string& path) override;

private:
    DemoSession& m_demo;
};

} // namespace Quillo
