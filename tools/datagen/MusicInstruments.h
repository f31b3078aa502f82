#pragma once

#include "tools/datagen/XmModule.h"

#include <vector>

namespace Spindrel::Datagen
{

// Instrument numbers (1-based, as the patterns name them).
enum Instrument : uint8_t
{
    kLead = 1,
    kKeys,
    kPad,
    kBass,
    kKick,
    kSnare,
    kHat,
};

// The synthesised instruments, in the order of the numbers above.
std::vector<XmInstrument> MakeMusicInstruments();

} // namespace Spindrel::Datagen
