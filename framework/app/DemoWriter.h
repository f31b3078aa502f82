#pragma once

#include "framework/app/BitWriter.h"
#include "framework/app/DemoCommand.h"
#include "framework/app/DemoMarker.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace Quillo
{

// Writes demo records, each stamped with the update number it belongs to,
// and lays out the whole demo file.
class DemoWriter
{
public:
    static constexpr uint32_t kMagic = 0x42BEEF78;
    static constexpr uint32_t kVersion = 2;
    // Mouse coordinates have 12 bits in the file.
    static constexpr int kMaxCoordinate = 4095;
    // Bits of a character beyond Latin-1: every Unicode code point fits.
    static constexpr int kWideCharBits = 21;

    // No record when the position is unchanged; short form for moves of
    // at most 31 pixels each way, else the absolute position. Coordinates
    // are clamped to 0..4095 so that negative drag positions cannot wrap.
    void MouseMove(uint32_t update, int x, int y);
    void MouseButton(uint32_t update, bool down, int clickCode);
    void Activate(uint32_t update, bool active);
    void Minimize(uint32_t update, bool minimized);
    void KeyDown(uint32_t update, int key);
    void KeyUp(uint32_t update, int key);
    void KeyChar(uint32_t update, int ch);
    void Close(uint32_t update);
    void MouseEnter(uint32_t update);
    void MouseLeave(uint32_t update);
    void LoadingDone(uint32_t update);
    void SettingsRead(uint32_t update, bool ok, uint32_t type, const uint8_t* data, size_t length);
    void SettingsWrite(uint32_t update, bool ok);
    void FileExists(uint32_t update, bool ok);
    void FileRead(uint32_t update, bool ok, const uint8_t* data, size_t length);
    void Sync(uint32_t update, const uint8_t* data, size_t length);
    void Wheel(uint32_t update, int notches);
    void Display(uint32_t update, bool windowed, int refreshRate);

    void AddMarker(std::string_view text, uint32_t update);

    std::vector<uint8_t> FileBytes(uint32_t seed, std::string_view productVersion, uint32_t totalUpdates) const;

    const BitWriter& Records() const { return m_bits; }

    static int ClampCoordinate(int v) { return v < 0 ? 0 : v > kMaxCoordinate ? kMaxCoordinate : v; }

private:
    void Timing(uint32_t update);
    void Long(uint32_t update, DemoCommand command);
    void Short(uint32_t update, int command);

    BitWriter m_bits;
    uint32_t m_lastUpdate = 0;
    int m_x = 0;
    int m_y = 0;
    std::vector<DemoMarker> m_markers;
};

} // namespace Quillo
