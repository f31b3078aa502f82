#pragma once

#include "framework/resources/FontRes.h"
#include "framework/resources/ImageRes.h"
#include "framework/resources/ResourceManagerException.h"
#include "framework/resources/SoundRes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace Quillo
{

class ImageFont;
class MemoryImage;
class ResourceHost;
class XMLParser;
struct XMLElement;

// Knows every image, sound and font of the manifest by id, in named groups.
// Groups are loaded one resource at a time (so a loading screen can show
// progress) and deleted again; lookups of missing ids throw. Errors are
// collected as one text in which the first error wins.
class ResourceManager
{
public:
    // Without a host the defaults load plain memory images and no sounds.
    explicit ResourceManager(ResourceHost* host = nullptr);
    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    virtual bool DoLoadImage(ImageRes& res);
    virtual bool DoLoadFont(FontRes& res);
    virtual ~ResourceManager();
    virtual void StartLoadResources(const std::string& group);
    virtual bool LoadResources(const std::string& group);
    virtual MemoryImage* GetImageOrFail(const std::string& id);
    virtual int32_t GetSoundOrFail(const std::string& id);
    virtual ImageFont* GetFontOrFail(const std::string& id);

    void SetHost(ResourceHost* host);

    bool ParseResourcesFile(const std::string& path);
    // Loads the next resource of the current group: true when one was
    // loaded, false when none is left or an error occurred.
    bool LoadNextResource();
    // Drops what the group loaded (every group for an empty name).
    void DeleteResources(const std::string& group);
    // Null when the id is unknown or not loaded; records no error.
    ImageFont* GetFont(const std::string& id);

    int CountImages(const std::string& group) const;
    int CountSounds(const std::string& group) const;
    int CountFonts(const std::string& group) const;
    int CountResources(const std::string& group) const;

    bool HadError() const { return m_hadError; }
    const std::string& GetErrorText() const { return m_errorText; }

    const std::map<std::string, std::unique_ptr<ImageRes>>& Images() const { return m_images; }
    const std::map<std::string, std::unique_ptr<SoundRes>>& Sounds() const { return m_sounds; }
    const std::map<std::string, std::unique_ptr<FontRes>>& Fonts() const { return m_fonts; }

private:
    // Records an error unless one is already recorded; false for chaining.
    bool Fail(const std::string& text);

    bool ParseManifest();
    bool ParseGroup();
    bool ParseSetDefaults(const XMLElement& element);
    bool ParseCommon(BaseRes& res, const XMLElement& element, std::string& id);
    bool ParseImage(const XMLElement& element);
    bool ParseSound(const XMLElement& element);
    bool ParseFont(const XMLElement& element);
    bool LoadSound(SoundRes& res);
    bool InGroup(const BaseRes& res) const;

    ResourceHost* m_host;
    std::map<std::string, std::unique_ptr<ImageRes>> m_images;
    std::map<std::string, std::unique_ptr<SoundRes>> m_sounds;
    std::map<std::string, std::unique_ptr<FontRes>> m_fonts;
    std::map<std::string, std::unique_ptr<ImageRes>>::iterator m_imageCursor;
    std::map<std::string, std::unique_ptr<SoundRes>>::iterator m_soundCursor;
    std::map<std::string, std::unique_ptr<FontRes>>::iterator m_fontCursor;
    int32_t m_nextSoundId = 0;
    std::unique_ptr<XMLParser> m_parser;
    std::string m_errorText;
    bool m_hadError = false;
    std::string m_currentGroup;
    std::string m_defaultPath;
    std::string m_defaultIdPrefix;
};

} // namespace Quillo
