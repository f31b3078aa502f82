#include "framework/app/DemoWriter.h"

#include <algorithm>

namespace Quillo
{

void DemoWriter::Timing(uint32_t update)
{
    // Gaps of more than 15 steps are bridged by fillers of 15 each.
    while (update > m_lastUpdate && update - m_lastUpdate > 15)
    {
        m_bits.WriteBits(15, 4);
        m_bits.WriteBits(0, 1);
        m_bits.WriteBits(static_cast<uint32_t>(DemoCommand::Filler), 5);
        m_lastUpdate += 15;
    }
    m_bits.WriteBits(update > m_lastUpdate ? update - m_lastUpdate : 0, 4);
    m_lastUpdate = std::max(update, m_lastUpdate);
}

void DemoWriter::Long(uint32_t update, DemoCommand command)
{
    Timing(update);
    m_bits.WriteBits(0, 1);
    m_bits.WriteBits(static_cast<uint32_t>(command), 5);
}

void DemoWriter::Short(uint32_t update, int command)
{
    Timing(update);
    m_bits.WriteBits(1, 1);
    m_bits.WriteBits(static_cast<uint32_t>(command), 1);
}

void DemoWriter::MouseMove(uint32_t update, int x, int y)
{
    x = ClampCoordinate(x);
    y = ClampCoordinate(y);
    const int dx = x - m_x;
    const int dy = y - m_y;
    if (dx == 0 && dy == 0)
        return;
    if (dx >= -31 && dx <= 31 && dy >= -31 && dy <= 31)
    {
        Short(update, 0);
        m_bits.WriteBits(static_cast<uint32_t>(dx), 6);
        m_bits.WriteBits(static_cast<uint32_t>(dy), 6);
    }
    else
    {
        Long(update, DemoCommand::MouseMove);
        m_bits.WriteBits(static_cast<uint32_t>(x), 12);
        m_bits.WriteBits(static_cast<uint32_t>(y), 12);
    }
    m_x = x;
    m_y = y;
}

void DemoWriter::MouseButton(uint32_t update, bool down, int clickCode)
{
    Short(update, 1);
    m_bits.WriteBits(down ? 1 : 0, 1);
    m_bits.WriteBits(static_cast<uint32_t>(clickCode), 3);
}

void DemoWriter::Activate(uint32_t update, bool active)
{
    Long(update, DemoCommand::Activate);
    m_bits.WriteBits(active ? 1 : 0, 1);
}

void DemoWriter::Minimize(uint32_t update, bool minimized)
{
    Long(update, DemoCommand::Minimize);
    m_bits.WriteFlag(minimized);
}

void DemoWriter::KeyDown(uint32_t update, int key)
{
    Long(update, DemoCommand::KeyDown);
    m_bits.WriteByte(static_cast<uint8_t>(key));
}

void DemoWriter::KeyUp(uint32_t update, int key)
{
    Long(update, DemoCommand::KeyUp);
    m_bits.WriteByte(static_cast<uint8_t>(key));
}

void DemoWriter::KeyChar(uint32_t update, int ch)
{
    // Latin-1 characters keep the one-byte record every demo has used.
    if (ch >= 0 && ch <= 0xFF)
    {
        Long(update, DemoCommand::KeyChar);
        m_bits.WriteByte(static_cast<uint8_t>(ch));
        return;
    }
    Long(update, DemoCommand::KeyCharWide);
    m_bits.WriteBits(static_cast<uint32_t>(ch) & 0x1FFFFF, kWideCharBits);
}

void DemoWriter::Close(uint32_t update)
{
    Long(update, DemoCommand::Close);
}

void DemoWriter::MouseEnter(uint32_t update)
{
    Long(update, DemoCommand::MouseEnter);
}

void DemoWriter::MouseLeave(uint32_t update)
{
    Long(update, DemoCommand::MouseLeave);
}

void DemoWriter::LoadingDone(uint32_t update)
{
    Long(update, DemoCommand::LoadingDone);
}

void DemoWriter::SettingsRead(uint32_t update, bool ok, uint32_t type, const uint8_t* data, size_t length)
{
    Long(update, DemoCommand::SettingsRead);
    m_bits.WriteBits(ok ? 1 : 0, 1);
    if (!ok)
        return;
    m_bits.Write32(type);
    m_bits.Write32(static_cast<uint32_t>(length));
    m_bits.WriteBytes(data, length);
}

void DemoWriter::SettingsWrite(uint32_t update, bool ok)
{
    Long(update, DemoCommand::SettingsWrite);
    m_bits.WriteBits(ok ? 1 : 0, 1);
}

void DemoWriter::FileExists(uint32_t update, bool ok)
{
    Long(update, DemoCommand::FileExists);
    m_bits.WriteBits(ok ? 1 : 0, 1);
}

void DemoWriter::FileRead(uint32_t update, bool ok, const uint8_t* data, size_t length)
{
    Long(update, DemoCommand::FileRead);
    m_bits.WriteBits(ok ? 1 : 0, 1);
    if (!ok)
        return;
    m_bits.Write32(static_cast<uint32_t>(length));
    m_bits.WriteBytes(data, length);
}

void DemoWriter::Sync(uint32_t update, const uint8_t* data, size_t length)
{
    Long(update, DemoCommand::Sync);
    m_bits.Write32(static_cast<uint32_t>(length));
    m_bits.WriteBytes(data, length);
}

void DemoWriter::Wheel(uint32_t update, int notches)
{
    Long(update, DemoCommand::Wheel);
    m_bits.WriteBits(static_cast<uint32_t>(std::clamp(notches, -128, 127)), 8);
}

void DemoWriter::Display(uint32_t update, bool windowed, int refreshRate)
{
    Long(update, DemoCommand::Display);
    m_bits.WriteFlag(windowed);
    m_bits.WriteByte(static_cast<uint8_t>(std::clamp(refreshRate, 0, 255)));
}

void DemoWriter::AddMarker(std::string_view text, uint32_t update)
{
    m_markers.push_back(DemoMarker{std::string(text.substr(0, 0xFFFF)), update});
}

std::vector<uint8_t> DemoWriter::FileBytes(uint32_t seed, std::string_view productVersion,
                                           uint32_t totalUpdates) const
{
    BitWriter out;
    out.Write32(kMagic);
    out.Write32(kVersion);
    out.Write32(seed);
    const std::string_view version = productVersion.substr(0, 0xFFFF);
    out.Write16(static_cast<uint16_t>(version.size()));
    out.WriteBytes(reinterpret_cast<const uint8_t*>(version.data()), version.size());

    BitWriter markers;
    markers.Write32(static_cast<uint32_t>(m_markers.size()));
    for (const DemoMarker& m : m_markers)
    {
        markers.Write16(static_cast<uint16_t>(m.text.size()));
        markers.WriteBytes(reinterpret_cast<const uint8_t*>(m.text.data()), m.text.size());
        markers.Write32(m.update);
    }
    out.Write32(static_cast<uint32_t>(markers.Bytes().size()));
    out.WriteBytes(markers.Bytes().data(), markers.Bytes().size());

    out.Write32(totalUpdates);
    std::vector<uint8_t> bytes = out.Bytes();
    bytes.insert(bytes.end(), m_bits.Bytes().begin(), m_bits.Bytes().end());
    return bytes;
}

} // namespace Quillo
