#include "framework/resources/ResourceManager.h"

#include "framework/audio/SoundManager.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/ImageLib.h"
#include "framework/resources/ResourceHost.h"
#include "framework/resources/XMLParser.h"

#include <algorithm>

namespace Quillo
{

ResourceManager::ResourceManager(ResourceHost* host)
    : m_host(host ? host : &ResourceHost::Default())
{
    StartLoadResources("");
}

ResourceManager::~ResourceManager() = default;

void ResourceManager::SetHost(ResourceHost* host)
{
    m_host = host ? host : &ResourceHost::Default();
}

bool ResourceManager::Fail(const std::string& text)
{
    if (m_hadError)
        return false;
    m_hadError = true;
    m_errorText = text;
    if (m_parser)
    {
        if (m_parser->GetLineNum() > 0)
            m_errorText += " on Line " + std::to_string(m_parser->GetLineNum());
        if (!m_parser->GetFileName().empty())
            m_errorText += " in File '" + m_parser->GetFileName() + "'";
    }
    return false;
}

bool ResourceManager::InGroup(const BaseRes& res) const
{
    return m_currentGroup.empty() || res.group == m_currentGroup;
}

void ResourceManager::StartLoadResources(const std::string& group)
{
    m_currentGroup = group;
    m_imageCursor = m_images.begin();
    m_soundCursor = m_sounds.begin();
    m_fontCursor = m_fonts.begin();
}

bool ResourceManager::LoadNextResource()
{
    if (m_hadError)
        return false;
    while (m_imageCursor != m_images.end())
    {
        ImageRes& res = *(m_imageCursor++)->second;
        if (res.fromProgram || !InGroup(res) || res.image)
            continue;
        return DoLoadImage(res);
    }
    while (m_soundCursor != m_sounds.end())
    {
        SoundRes& res = *(m_soundCursor++)->second;
        if (res.fromProgram || !InGroup(res) || res.soundId >= 0)
            continue;
        return LoadSound(res);
    }
    while (m_fontCursor != m_fonts.end())
    {
        FontRes& res = *(m_fontCursor++)->second;
        if (res.fromProgram || !InGroup(res) || res.font)
            continue;
        return DoLoadFont(res);
    }
    return false;
}

bool ResourceManager::LoadResources(const std::string& group)
{
    m_errorText.clear();
    m_hadError = false;
    StartLoadResources(group);
    while (LoadNextResource())
    {
    }
    return !m_hadError;
}

bool ResourceManager::DoLoadImage(ImageRes& res)
{
    const bool lookForAlpha = res.useAlpha && res.alphaImagePath.empty() && res.alphaGridPath.empty();
    std::unique_ptr<ImageLib::Image> picture = ImageLib::GetImage(res.path, lookForAlpha);
    if (!picture)
        return Fail("Failed to load image: " + res.path);
    const size_t pixelCount = size_t(picture->width) * size_t(picture->height);

    if (!res.alphaImagePath.empty())
    {
        std::unique_ptr<ImageLib::Image> alpha = ImageLib::GetImage(res.alphaImagePath, false);
        if (!alpha)
            return Fail("Failed to load image: " + res.alphaImagePath);
        if (alpha->width != picture->width || alpha->height != picture->height)
            return Fail("AlphaImage size mismatch between " + res.path + " and " + res.alphaImagePath);
        for (size_t i = 0; i < pixelCount; ++i)
            picture->bits[i] = (picture->bits[i] & 0x00FFFFFF) | ((alpha->bits[i] & 0xFF) << 24);
    }

    if (!res.alphaGridPath.empty())
    {
        std::unique_ptr<ImageLib::Image> grid = ImageLib::GetImage(res.alphaGridPath, false);
        if (!grid)
            return Fail("Failed to load image: " + res.alphaGridPath);
        const int celWidth = picture->width / res.cols;
        const int celHeight = picture->height / res.rows;
        if (grid->width != celWidth || grid->height != celHeight)
            return Fail("GridAlphaImage size mismatch between " + res.path + " and " + res.alphaGridPath);
        for (int row = 0; row < res.rows; ++row)
        {
            for (int col = 0; col < res.cols; ++col)
            {
                for (int y = 0; y < celHeight; ++y)
                {
                    uint32_t* dst = picture->bits.get() +
                                    size_t(row * celHeight + y) * picture->width + size_t(col) * celWidth;
                    const uint32_t* src = grid->bits.get() + size_t(y) * celWidth;
                    for (int x = 0; x < celWidth; ++x)
                        dst[x] = (dst[x] & 0x00FFFFFF) | ((src[x] & 0xFF) << 24);
                }
            }
        }
    }

    std::unique_ptr<MemoryImage> image = m_host->CreateDisplayImage();
    if (!image)
        return Fail("Failed to load image: " + res.path);
    image->SetBits(picture->bits.get(), picture->width, picture->height);
    // Pictures stay in memory here, so a display surface needs nothing more
    // than up-to-date alpha flags.
    if (res.ddSurface)
        image->CommitAlphaFlags();
    if (res.palletize)
        image->ConvertToPalette();
    if (res.animInfo.animType != AnimInfo::AnimNone)
        image->animInfo = std::make_unique<AnimInfo>(res.animInfo);
    image->numRows = res.rows;
    image->numCols = res.cols;
    res.image = std::move(image);
    return true;
}

bool ResourceManager::LoadSound(SoundRes& res)
{
    SoundManager* sounds = m_host->GetSoundManager();
    const int32_t id = res.slot >= 0 ? res.slot : m_nextSoundId;
    if (!sounds || !sounds->LoadEffect(id, res.path))
        return Fail("Failed to load sound: " + res.path);
    if (res.volume >= 0.0)
        sounds->SetEffectBaseVolume(id, res.volume);
    if (res.pan != 0)
        sounds->SetEffectBasePan(id, res.pan);
    if (res.slot < 0)
    {
        res.slot = id;
        ++m_nextSoundId;
    }
    res.soundId = id;
    return true;
}

bool ResourceManager::DoLoadFont(FontRes& res)
{
    std::unique_ptr<ImageFont> font;
    std::shared_ptr<MemoryImage> strip;
    if (!res.imagePath.empty())
    {
        strip = m_host->LoadDisplayImage(res.imagePath);
        if (!strip)
            return Fail("Failed to load image: " + res.imagePath);
        font = std::make_unique<ImageFont>(*m_host, strip, res.path);
    }
    else if (res.path.rfind("!ref:", 0) == 0)
    {
        const std::string refId = res.path.substr(5);
        ImageFont* ref = GetFont(refId);
        if (!ref)
            return Fail("Ref font not found: " + refId);
        font = std::make_unique<ImageFont>(*ref);
    }
    else
        font = std::make_unique<ImageFont>(*m_host, res.path);

    if (!font->IsLoaded())
        return Fail("Failed to load font: " + res.path);

    const std::string separators = ", \r\n\t";
    size_t start = 0;
    while (start < res.tags.size())
    {
        const size_t end = res.tags.find_first_of(separators, start);
        const size_t stop = end == std::string::npos ? res.tags.size() : end;
        if (stop > start)
            font->AddTag(res.tags.substr(start, stop - start));
        start = stop + 1;
    }
    res.stripImage = std::move(strip);
    res.font = std::move(font);
    return true;
}

MemoryImage* ResourceManager::GetImageOrFail(const std::string& id)
{
    auto it = m_images.find(id);
    if (it == m_images.end() || !it->second->image)
    {
        const std::string text = "Image resource not found: " + id;
        Fail(text);
        throw ResourceManagerException(text);
    }
    return it->second->image.get();
}

int32_t ResourceManager::GetSoundOrFail(const std::string& id)
{
    auto it = m_sounds.find(id);
    if (it == m_sounds.end() || it->second->soundId < 0)
    {
        const std::string text = "Sound resource not found: " + id;
        Fail(text);
        throw ResourceManagerException(text);
    }
    return it->second->soundId;
}

ImageFont* ResourceManager::GetFontOrFail(const std::string& id)
{
    ImageFont* font = GetFont(id);
    if (!font)
    {
        const std::string text = "Font resource not found: " + id;
        Fail(text);
        throw ResourceManagerException(text);
    }
    return font;
}

ImageFont* ResourceManager::GetFont(const std::string& id)
{
    auto it = m_fonts.find(id);
    return it == m_fonts.end() ? nullptr : it->second->font.get();
}

namespace
{

template <typename Map>
int CountIn(const Map& map, const std::string& group)
{
    if (group.empty())
        return static_cast<int>(map.size());
    return static_cast<int>(std::count_if(map.begin(), map.end(), [&](const auto& entry) {
        return entry.second->group == group && !entry.second->fromProgram;
    }));
}

} // namespace

int ResourceManager::CountImages(const std::string& group) const
{
    return CountIn(m_images, group);
}

int ResourceManager::CountSounds(const std::string& group) const
{
    return CountIn(m_sounds, group);
}

int ResourceManager::CountFonts(const std::string& group) const
{
    return CountIn(m_fonts, group);
}

int ResourceManager::CountResources(const std::string& group) const
{
    return CountImages(group) + CountSounds(group) + CountFonts(group);
}

void ResourceManager::DeleteResources(const std::string& group)
{
    auto matches = [&](const BaseRes& res) { return group.empty() || res.group == group; };
    for (auto& [id, res] : m_images)
    {
        if (matches(*res))
            res->DeleteResource();
    }
    SoundManager* sounds = m_host->GetSoundManager();
    for (auto& [id, res] : m_sounds)
    {
        if (!matches(*res))
            continue;
        // The sound manager keeps the samples until told otherwise.
        if (res->soundId >= 0 && sounds)
            sounds->UnloadEffect(res->soundId);
        res->DeleteResource();
    }
    // A font cloned by "!ref:" shares its data, glyph images and strip with
    // the original, so either may be deleted first.
    for (auto& [id, res] : m_fonts)
    {
        if (matches(*res))
            res->DeleteResource();
    }
}

} // namespace Quillo
