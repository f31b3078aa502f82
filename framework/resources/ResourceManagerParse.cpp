#include "framework/resources/ResourceManager.h"

#include "framework/resources/XMLParser.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace Quillo
{

namespace
{

constexpr int32_t kMaxCelsPerSide = 65536;

// The C library's decimal conversion: leading blanks skipped, trailing text
// ignored, 0 without digits; out-of-range values saturate.
int32_t ToInt(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int64_t value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
    {
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t(INT32_MAX) + 1);
        ++i;
    }
    value = negative ? -value : value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

double ToReal(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    if (i < text.size() && text[i] == '+')
        ++i;
    double value = 0.0;
    std::from_chars(text.data() + i, text.data() + text.size(), value);
    return value;
}

std::vector<int32_t> ToIntList(std::string_view text)
{
    std::vector<int32_t> out;
    size_t start = 0;
    for (;;)
    {
        const size_t comma = text.find(',', start);
        out.push_back(ToInt(text.substr(start, comma == std::string_view::npos ? std::string_view::npos
                                                                                : comma - start)));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return out;
}

std::string WithoutTrailingSlash(std::string value)
{
    if (!value.empty() && (value.back() == '/' || value.back() == '\\'))
        value.pop_back();
    return value;
}

const std::string* Attribute(const XMLElement& element, const char* name)
{
    auto it = element.attributes.find(name);
    return it == element.attributes.end() ? nullptr : &it->second;
}

} // namespace

bool ResourceManager::ParseResourcesFile(const std::string& path)
{
    m_parser = std::make_unique<XMLParser>();
    if (!m_parser->OpenFile(path))
        Fail("Resource file not found: " + path);
    else
    {
        XMLElement element;
        bool found = false;
        while (m_parser->NextElement(element))
        {
            if (element.type == XMLElement::Type::Start)
            {
                found = true;
                break;
            }
        }
        // An empty or unreadable manifest is an error, not an empty game.
        if (!m_parser->HasFailed())
        {
            if (!found || element.value != "ResourceManifest")
                Fail("Expecting ResourceManifest tag");
            else
                ParseManifest();
        }
    }
    if (m_parser->HasFailed())
        Fail(m_parser->GetErrorText());
    m_parser.reset();
    return !m_hadError;
}

bool ResourceManager::ParseManifest()
{
    XMLElement element;
    while (m_parser->NextElement(element))
    {
        if (element.type == XMLElement::Type::Start)
        {
            if (element.value != "Resources")
                return Fail("Invalid Section '" + element.value + "'");
            const std::string* id = Attribute(element, "id");
            if (!id)
                return Fail("No id specified.");
            m_currentGroup = *id;
            if (!ParseGroup())
                return false;
        }
        else if (element.type == XMLElement::Type::Text)
            return Fail("Element Not Expected '" + element.value + "'");
        else if (element.type == XMLElement::Type::End)
            return true;
    }
    // A manifest cut short would leave the game without its last resources.
    return m_parser->HasFailed() ? false : Fail("Unexpected End of File");
}

bool ResourceManager::ParseGroup()
{
    XMLElement element;
    while (m_parser->NextElement(element))
    {
        if (element.type == XMLElement::Type::Start)
        {
            bool ok;
            if (element.value == "Image")
                ok = ParseImage(element);
            else if (element.value == "Sound")
                ok = ParseSound(element);
            else if (element.value == "Font")
                ok = ParseFont(element);
            else if (element.value == "SetDefaults")
                ok = ParseSetDefaults(element);
            else
                return Fail("Invalid Section '" + element.value + "'");
            if (!ok)
                return false;
            XMLElement end;
            if (!m_parser->NextElement(end))
                return m_parser->HasFailed() ? false : Fail("Unexpected element found.");
            if (end.type != XMLElement::Type::End || end.value != element.value)
                return Fail("Unexpected element found.");
        }
        else if (element.type == XMLElement::Type::Text)
            return Fail("Element Not Expected '" + element.value + "'");
        else if (element.type == XMLElement::Type::End)
            return true;
    }
    return m_parser->HasFailed() ? false : Fail("Unexpected End of File");
}

bool ResourceManager::ParseSetDefaults(const XMLElement& element)
{
    if (const std::string* path = Attribute(element, "path"))
    {
        // An empty path means no prefix at all, not the file-system root.
        const std::string dir = WithoutTrailingSlash(*path);
        m_defaultPath = dir.empty() ? std::string() : dir + "/";
    }
    if (const std::string* prefix = Attribute(element, "idprefix"))
        m_defaultIdPrefix = WithoutTrailingSlash(*prefix);
    return true;
}

bool ResourceManager::ParseCommon(BaseRes& res, const XMLElement& element, std::string& id)
{
    const std::string* path = Attribute(element, "path");
    if (!path)
        return Fail("No path specified.");
    if (!path->empty() && (*path)[0] == '!')
    {
        res.path = *path;
        res.fromProgram = *path == "!program";
    }
    else
        res.path = m_defaultPath + *path;

    if (const std::string* given = Attribute(element, "id"))
        id = m_defaultIdPrefix + *given;
    else
    {
        std::string name = res.path;
        const size_t slash = name.find_last_of("/\\");
        if (slash != std::string::npos)
            name.erase(0, slash + 1);
        const size_t dot = name.rfind('.');
        if (dot != std::string::npos)
            name.erase(dot);
        id = m_defaultIdPrefix + name;
    }
    res.group = m_currentGroup;
    res.xmlAttributes = element.attributes;
    return true;
}

bool ResourceManager::ParseImage(const XMLElement& element)
{
    auto res = std::make_unique<ImageRes>();
    std::string id;
    if (!ParseCommon(*res, element, id))
        return false;
    if (m_images.count(id))
        return Fail("Resource already defined.");

    auto has = [&](const char* name) { return Attribute(element, name) != nullptr; };
    res->useAlpha = !has("noalpha");
    res->palletize = !has("nopal");
    res->ddSurface = has("ddsurface");
    res->useA4R4G4B4 = has("a4r4g4b4");
    res->useA8R8G8B8 = has("a8r8g8b8");
    res->minSubdivide = has("minsubdivide");
    if (const std::string* value = Attribute(element, "alphaimage"))
        res->alphaImagePath = m_defaultPath + *value;
    if (const std::string* value = Attribute(element, "alphagrid"))
        res->alphaGridPath = m_defaultPath + *value;
    // A grid of no cels would divide by zero when cels are cut out.
    if (const std::string* value = Attribute(element, "rows"))
        res->rows = std::clamp(ToInt(*value), 1, kMaxCelsPerSide);
    if (const std::string* value = Attribute(element, "cols"))
        res->cols = std::clamp(ToInt(*value), 1, kMaxCelsPerSide);

    if (const std::string* anim = Attribute(element, "anim"))
    {
        AnimInfo& info = res->animInfo;
        if (*anim == "none")
            info.animType = AnimInfo::AnimNone;
        else if (*anim == "once")
            info.animType = AnimInfo::AnimOnce;
        else if (*anim == "loop")
            info.animType = AnimInfo::AnimLoop;
        else if (*anim == "pingpong")
            info.animType = AnimInfo::AnimPingPong;
        else
            return Fail("Invalid animation type.");
        if (info.animType != AnimInfo::AnimNone)
        {
            int32_t beginDelay = 0;
            int32_t endDelay = 0;
            if (const std::string* value = Attribute(element, "framedelay"))
                info.frameDelay = ToInt(*value);
            if (const std::string* value = Attribute(element, "begindelay"))
                beginDelay = ToInt(*value);
            if (const std::string* value = Attribute(element, "enddelay"))
                endDelay = ToInt(*value);
            if (const std::string* value = Attribute(element, "perframedelay"))
                info.perFrameDelay = ToIntList(*value);
            if (const std::string* value = Attribute(element, "framemap"))
                info.frameMap = ToIntList(*value);
            info.Compute(std::max(res->rows, res->cols), beginDelay, endDelay);
        }
    }
    m_images.emplace(id, std::move(res));
    return true;
}

bool ResourceManager::ParseSound(const XMLElement& element)
{
    auto res = std::make_unique<SoundRes>();
    std::string id;
    if (!ParseCommon(*res, element, id))
        return false;
    if (m_sounds.count(id))
        return Fail("Resource already defined.");
    if (const std::string* value = Attribute(element, "volume"))
        res->volume = ToReal(*value);
    if (const std::string* value = Attribute(element, "pan"))
        res->pan = ToInt(*value);
    m_sounds.emplace(id, std::move(res));
    return true;
}

bool ResourceManager::ParseFont(const XMLElement& element)
{
    auto res = std::make_unique<FontRes>();
    std::string id;
    if (!ParseCommon(*res, element, id))
        return false;
    if (m_fonts.count(id))
        return Fail("Resource already defined.");
    if (const std::string* value = Attribute(element, "image"))
        res->imagePath = m_defaultPath + *value;
    if (const std::string* value = Attribute(element, "tags"))
        res->tags = *value;
    m_fonts.emplace(id, std::move(res));
    return true;
}

} // namespace Quillo
