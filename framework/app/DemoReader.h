#pragma once

#include "framework/app/BitReader.h"
#include "framework/app/DemoHeader.h"
#include "framework/app/DemoRecord.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Quillo
{

// Reads a demo file: checks the header and then decodes the records one by
// one. Every length in the file is checked against what is left, so a
// truncated or hostile file is refused or its stream just ends early.
class DemoReader
{
public:
    // Checks the whole header. On failure `error` holds the text shown to
    // the player: "Invalid demo file." or "This demo file appears to be for
    // '<version>'".
    bool Open(std::vector<uint8_t> fileBytes, std::string_view runningVersion, std::string& error);

    // As Open, reading the file first ("Demo file not found: <name>").
    bool OpenFile(const std::string& path, std::string_view runningVersion, std::string& error);

    const DemoHeader& Header() const { return m_header; }

    // The next record with its absolute update number (fillers are folded
    // in). False at the end of the stream, or when a record is cut short or
    // unknown: the stream then ends for good.
    bool Next(DemoRecord& out);

private:
    std::vector<uint8_t> m_data;
    DemoHeader m_header;
    BitReader m_bits;
    uint32_t m_update = 0;
    bool m_ended = false;
};

} // namespace Quillo
