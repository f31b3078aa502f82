#include "framework/app/DemoReader.h"

#include "framework/app/DemoWriter.h"
#include "framework/platform/FileSystem.h"

namespace Quillo
{

namespace
{

constexpr const char* kInvalid = "Invalid demo file.";
// Only this much of the stored product version is compared.
constexpr size_t kVersionLimit = 255;

} // namespace

bool DemoReader::OpenFile(const std::string& path, std::string_view runningVersion, std::string& error)
{
    auto bytes = FileSystem::ReadFile(path);
    if (!bytes)
    {
        error = "Demo file not found: " + path;
        return false;
    }
    return Open(std::move(*bytes), runningVersion, error);
}

bool DemoReader::Open(std::vector<uint8_t> fileBytes, std::string_view runningVersion, std::string& error)
{
    m_data = std::move(fileBytes);
    m_header = DemoHeader();
    m_bits = BitReader();
    m_update = 0;
    m_ended = true;

    BitReader in(m_data.data(), m_data.size());
    if (in.Read32() != DemoWriter::kMagic || in.Overrun())
    {
        error = kInvalid;
        return false;
    }
    m_header.version = in.Read32();
    m_header.seed = in.Read32();
    const uint16_t versionLength = in.Read16();
    std::vector<uint8_t> version;
    // The whole stored text is consumed even when only its start is used.
    if (in.Overrun() || m_header.version == 0 || !in.ReadBytes(versionLength, version))
    {
        error = kInvalid;
        return false;
    }
    if (version.size() > kVersionLimit)
        version.resize(kVersionLimit);
    m_header.productVersion.assign(version.begin(), version.end());
    if (m_header.productVersion != runningVersion.substr(0, kVersionLimit))
    {
        error = "This demo file appears to be for '" + m_header.productVersion + "'";
        return false;
    }

    if (m_header.version >= 2)
    {
        const uint32_t blockLength = in.Read32();
        if (in.Overrun() || blockLength >= in.BitsLeft() / 8)
        {
            error = kInvalid;
            return false;
        }
        const size_t blockStart = m_data.size() - in.BitsLeft() / 8;
        BitReader block(m_data.data() + blockStart, blockLength);
        const uint32_t count = block.Read32();
        for (uint32_t i = 0; i < count && !block.Overrun(); ++i)
        {
            DemoMarker marker;
            std::vector<uint8_t> text;
            const uint16_t textLength = block.Read16();
            if (!block.ReadBytes(textLength, text))
                break;
            marker.text.assign(text.begin(), text.end());
            marker.update = block.Read32();
            if (!block.Overrun())
                m_header.markers.push_back(std::move(marker));
        }
        if (block.Overrun() || m_header.markers.size() != count)
        {
            error = kInvalid;
            return false;
        }
        std::vector<uint8_t> skipped;
        in.ReadBytes(blockLength, skipped);
    }

    if (in.BitsLeft() / 8 < 5)
    {
        error = kInvalid;
        return false;
    }
    m_header.totalUpdates = in.Read32();
    const size_t recordStart = m_data.size() - in.BitsLeft() / 8;
    m_bits = BitReader(m_data.data() + recordStart, m_data.size() - recordStart);
    m_ended = false;
    return true;
}

bool DemoReader::Next(DemoRecord& out)
{
    while (!m_ended)
    {
        const uint32_t delta = m_bits.ReadBits(4);
        const bool shortForm = m_bits.ReadBits(1) != 0;
        DemoRecord r;
        if (shortForm)
        {
            if (m_bits.ReadBits(1) == 0)
            {
                r.command = DemoCommand::MouseDelta;
                r.x = m_bits.ReadSigned(6);
                r.y = m_bits.ReadSigned(6);
            }
            else
            {
                r.command = DemoCommand::MouseButton;
                r.flag = m_bits.ReadBits(1) != 0;
                r.value = m_bits.ReadSigned(3);
            }
        }
        else
        {
            r.command = static_cast<DemoCommand>(m_bits.ReadBits(5));
            switch (r.command)
            {
            case DemoCommand::MouseMove:
                r.x = static_cast<int32_t>(m_bits.ReadBits(12));
                r.y = static_cast<int32_t>(m_bits.ReadBits(12));
                break;
            case DemoCommand::Activate:
            case DemoCommand::SettingsWrite:
            case DemoCommand::FileExists:
                r.flag = m_bits.ReadBits(1) != 0;
                break;
            case DemoCommand::Minimize:
                r.flag = m_bits.ReadFlag();
                break;
            case DemoCommand::KeyDown:
            case DemoCommand::KeyUp:
            case DemoCommand::KeyChar:
                r.value = m_bits.ReadByte();
                break;
            case DemoCommand::KeyCharWide:
                r.value = static_cast<int32_t>(m_bits.ReadBits(DemoWriter::kWideCharBits));
                break;
            case DemoCommand::Close:
            case DemoCommand::MouseEnter:
            case DemoCommand::MouseLeave:
            case DemoCommand::LoadingDone:
            case DemoCommand::Filler:
                break;
            case DemoCommand::SettingsRead:
                r.flag = m_bits.ReadBits(1) != 0;
                if (r.flag)
                {
                    r.type = m_bits.Read32();
                    m_bits.ReadBytes(m_bits.Read32(), r.bytes);
                }
                break;
            case DemoCommand::FileRead:
                r.flag = m_bits.ReadBits(1) != 0;
                if (r.flag)
                    m_bits.ReadBytes(m_bits.Read32(), r.bytes);
                break;
            case DemoCommand::Sync:
                m_bits.ReadBytes(m_bits.Read32(), r.bytes);
                break;
            case DemoCommand::Wheel:
                r.value = m_bits.ReadSigned(8);
                break;
            case DemoCommand::Display:
                r.flag = m_bits.ReadFlag();
                r.value = m_bits.ReadByte();
                break;
            default:
                // A command this reader does not know has a payload of
                // unknown size: nothing after it can be trusted.
                m_ended = true;
                return false;
            }
        }
        if (m_bits.Overrun())
        {
            m_ended = true;
            return false;
        }
        m_update += delta;
        if (r.command == DemoCommand::Filler)
            continue;
        r.update = m_update;
        out = std::move(r);
        return true;
    }
    return false;
}

} // namespace Quillo
