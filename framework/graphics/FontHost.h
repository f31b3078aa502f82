#pragma once

#include <memory>
#include <string>

namespace Quillo
{

class MemoryImage;

// What image fonts ask of the application: loading their glyph images and
// reporting a broken descriptor. The application overrides both; the
// defaults (used by tools and tests) load plain memory images and keep
// error reports to themselves.
class FontHost
{
public:
    virtual ~FontHost() = default;

    // Loads an image file (with its alpha companion); null when it cannot.
    virtual std::unique_ptr<MemoryImage> LoadDisplayImage(const std::string& path);
    virtual void ShowFatalError(const std::string& text) { (void)text; }

    // The host used when none is given.
    static FontHost& Default();
};

} // namespace Quillo
