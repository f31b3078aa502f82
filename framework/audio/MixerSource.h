#pragma once

namespace Quillo
{

// Something that adds its own sound to the mix (the music). Called on the
// audio thread with the output lock held: it must not block, allocate or
// touch files.
class MixerSource
{
public:
    virtual ~MixerSource() = default;

    // Adds `frames` interleaved stereo frames, at full scale ±1.0, to `mix`.
    virtual void MixInto(float* mix, int frames) = 0;
};

} // namespace Quillo
