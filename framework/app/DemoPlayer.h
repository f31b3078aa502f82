#pragma once

#include "framework/app/DemoReader.h"
#include "framework/app/DemoSink.h"

#include <cstdint>
#include <optional>

namespace Quillo
{

// Feeds a demo's records back at their update numbers.
//
// Input records go to a DemoSink. Result records (settings reads and
// writes, file tests and reads, kept-in-step values) are taken by the call
// that made them: the input loop stops at one that is due now and leaves it
// for that call, and drops one whose moment has passed without the call
// (the run has drifted from the recording; it must not block the rest).
class DemoPlayer
{
public:
    explicit DemoPlayer(DemoReader reader);

    const DemoHeader& Header() const { return m_reader.Header(); }

    // Applies every input record due at `updateCount` (or before it).
    // Right before an update runs, `beforeUpdate` also drops results due
    // now: their call did not come, and the input behind them belongs
    // before this update.
    void ApplyDue(uint32_t updateCount, DemoSink& sink, bool beforeUpdate = false);

    // Takes the next record when it is a `command` result due at or
    // before `updateCount`.
    std::optional<DemoRecord> TakeResult(DemoCommand command, uint32_t updateCount);

    // Takes the first display record when it is next in the stream.
    bool TakeDisplay(bool& windowed, int& refreshRate);

    bool AtEnd() const { return !m_next.has_value(); }
    // Update number of the next record, if any.
    std::optional<uint32_t> NextUpdate() const;

    bool LoadingDonePlayed() const { return m_loadingDonePlayed; }
    int MouseX() const { return m_x; }
    int MouseY() const { return m_y; }

private:
    void Advance();
    void Dispatch(const DemoRecord& r, DemoSink& sink);

    DemoReader m_reader;
    std::optional<DemoRecord> m_next;
    int m_x = 0;
    int m_y = 0;
    bool m_loadingDonePlayed = false;
};

} // namespace Quillo
