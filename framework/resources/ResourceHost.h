#pragma once

#include "framework/graphics/FontHost.h"

#include <memory>

namespace Quillo
{

class MemoryImage;
class SoundManager;

// What the resource manager asks of the application besides what fonts ask:
// the display images that receive loaded pictures and the sound manager.
// The defaults (tools and tests) make plain memory images and load no sounds.
class ResourceHost : public FontHost
{
public:
    // An empty image made for the display, to be filled with SetBits.
    virtual std::unique_ptr<MemoryImage> CreateDisplayImage();
    // Null when there is none; sounds then fail to load.
    virtual SoundManager* GetSoundManager() { return nullptr; }

    // The host used when none is given.
    static ResourceHost& Default();
};

} // namespace Quillo
