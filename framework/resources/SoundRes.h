#pragma once

#include "framework/resources/BaseRes.h"

#include <cstdint>

namespace Quillo
{

struct SoundRes : BaseRes
{
    void DeleteResource() override { soundId = -1; }

    int32_t soundId = -1;  // -1: not loaded
    double volume = -1.0;  // -1: not given
    int32_t pan = 0;
    // The sound manager slot this record was given when it first loaded;
    // loading it again reuses the slot so that reloading groups cannot use
    // up the manager's 256 ids.
    int32_t slot = -1;
};

} // namespace Quillo
