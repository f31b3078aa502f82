#include "framework/graphics/FontData.h"

#include "framework/graphics/FontDescriptorReader.h"
#include "framework/graphics/FontDescriptorText.h"
#include "framework/graphics/FontHost.h"
#include "framework/graphics/ListDataElement.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SingleDataElement.h"
#include "framework/platform/FileSystem.h"

#include <algorithm>

// The commands of the descriptor language.

namespace Quillo
{

using namespace FontDescriptorText;

void FontData::Execute(const ListDataElement& statement)
{
    const auto& v = statement.elements;
    if (v.empty())
        return;
    const std::string* commandToken = AsSingle(*v[0]);
    if (!commandToken)
        throw FontDescriptorError("Missing Command");
    const std::string command = Upper(*commandToken);

    Marks marks;
    auto expect = [&](size_t count) {
        if (v.size() != count)
            throw FontDescriptorError("Invalid Number of Parameters");
    };
    // Runs fn on each pair of valid elements of two lists of any kinds.
    auto pairs = [&](auto& a, auto& b, auto fn) {
        if (a.size() != b.size())
            marks.sizeMismatch = true;
        for (size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        {
            if (a[i] && b[i])
                fn(*a[i], *b[i]);
        }
    };
    if (command == "DEFINE")
    {
        expect(3);
        const std::string* name = AsSingle(*v[1]);
        if (!name || StartsLikeNumber(*name) || StartsWithQuote(*name))
            TypeError();
        std::unique_ptr<DataElement> value;
        if (v[2]->IsList())
        {
            size_t budget = kMaxValues;
            value = Dereference(static_cast<const ListDataElement&>(*v[2]), budget, 1);
        }
        else if (const DataElement* define = FindDefine(*AsSingle(*v[2])))
            value = define->Duplicate();
        else
            value = v[2]->Duplicate();
        defines[Upper(*name)] = std::move(value);
    }
    else if (command == "CREATEHORZSPANRECTLIST")
    {
        expect(4);
        const std::string* name = AsSingle(*v[1]);
        if (!name)
            TypeError();
        const auto rect = GetInts(*v[2], marks);
        if (rect.size() != 4 || marks.typeError)
            TypeError();
        auto list = std::make_unique<ListDataElement>();
        int64_t x = *rect[0];
        for (const auto& width : GetInts(*v[3], marks))
        {
            if (!width)
                continue;
            auto r = std::make_unique<ListDataElement>();
            for (int64_t n : {x, int64_t(*rect[1]), int64_t(*width), int64_t(*rect[3])})
                r->elements.push_back(std::make_unique<SingleDataElement>(std::to_string(n)));
            list->elements.push_back(std::move(r));
            x = std::clamp<int64_t>(x + *width, INT32_MIN, INT32_MAX);
        }
        defines[Upper(*name)] = std::move(list);
    }
    else if (command == "SETDEFAULTPOINTSIZE")
    {
        expect(2);
        defaultPointSize = GetIntParam(*v[1]);
    }
    else if (command == "SETCHARMAP")
    {
        expect(3);
        auto from = GetChars(*v[1], marks);
        auto to = GetChars(*v[2], marks);
        pairs(from, to, [&](uint16_t a, uint16_t b) { charMap[a] = b; });
    }
    else if (command == "CREATELAYER")
    {
        expect(2);
        const std::string* name = AsSingle(*v[1]);
        if (!name)
            TypeError();
        if (layersByName.count(Upper(*name)))
            throw FontDescriptorError("Layer Already Exists");
        AddLayer(Upper(*name));
    }
    else if (command == "CREATELAYERFROM")
    {
        expect(3);
        const std::string* name = AsSingle(*v[1]);
        if (!name)
            TypeError();
        const FontLayer& source = GetLayer(*v[2]);
        if (layersByName.count(Upper(*name)))
            throw FontDescriptorError("Layer Already Exists");
        FontLayer copy = source;
        FontLayer& layer = AddLayer(Upper(*name));
        copy.name = layer.name;
        layer = std::move(copy);
    }
    else if (command == "LAYERREQUIRETAGS" || command == "LAYEREXCLUDETAGS")
    {
        expect(3);
        FontLayer& layer = GetLayer(*v[1]);
        auto& target = command == "LAYERREQUIRETAGS" ? layer.requiredTags : layer.excludedTags;
        for (auto& tag : GetTexts(*v[2], marks))
        {
            if (tag)
                target.push_back(Upper(*tag));
        }
    }
    else if (command == "LAYERPOINTRANGE")
    {
        expect(4);
        FontLayer& layer = GetLayer(*v[1]);
        layer.minPointSize = GetIntParam(*v[2]);
        layer.maxPointSize = GetIntParam(*v[3]);
    }
    else if (command == "LAYERSETPOINTSIZE")
    {
        expect(3);
        GetLayer(*v[1]).pointSize = GetIntParam(*v[2]);
    }
    else if (command == "LAYERSETIMAGE")
    {
        expect(3);
        FontLayer& layer = GetLayer(*v[1]);
        const std::string file = GetText(*v[2]);
        const size_t slash = descriptorPath.find_last_of("/\\");
        const std::string dir = slash == std::string::npos ? "" : descriptorPath.substr(0, slash + 1);
        const std::string path = FileSystem::NormalizePath(dir + file);
        auto it = imageCache.find(path);
        if (it == imageCache.end())
        {
            std::unique_ptr<MemoryImage> image = app.LoadDisplayImage(path);
            if (!image)
                throw FontDescriptorError("Failed to Load Image");
            image->ConvertToPalette();
            it = imageCache.emplace(path, std::move(image)).first;
        }
        layer.image = it->second.get();
    }
    else if (command == "LAYERSETDRAWMODE")
    {
        expect(3);
        FontLayer& layer = GetLayer(*v[1]);
        const int32_t mode = GetIntParam(*v[2]);
        if (mode != 0 && mode != 1)
            TypeError();
        layer.drawMode = mode;
    }
    else if (command == "LAYERSETCOLORMULT")
    {
        expect(3);
        FontLayer& layer = GetLayer(*v[1]);
        layer.colorMult = GetColorParam(*v[2]);
    }
    else if (command == "LAYERSETCOLORADD")
    {
        expect(3);
        FontLayer& layer = GetLayer(*v[1]);
        layer.colorAdd = GetColorParam(*v[2]);
    }
    else if (command == "LAYERSETASCENT")
    {
        expect(3);
        GetLayer(*v[1]).ascent = GetIntParam(*v[2]);
    }
    else if (command == "LAYERSETASCENTPADDING")
    {
        expect(3);
        GetLayer(*v[1]).ascentPadding = GetIntParam(*v[2]);
    }
    else if (command == "LAYERSETLINESPACINGOFFSET")
    {
        expect(3);
        GetLayer(*v[1]).lineSpacingOffset = GetIntParam(*v[2]);
    }
    else if (command == "LAYERSETOFFSET")
    {
        expect(3);
        FontLayer& layer = GetLayer(*v[1]);
        const auto offset = GetInts(*v[2], marks);
        if (offset.size() != 2 || marks.typeError)
            TypeError();
        layer.offsetX = *offset[0];
        layer.offsetY = *offset[1];
    }
    else if (command == "LAYERSETCHARWIDTHS")
    {
        expect(4);
        FontLayer& layer = GetLayer(*v[1]);
        auto chars = GetChars(*v[2], marks);
        auto widths = GetInts(*v[3], marks);
        pairs(chars, widths, [&](uint16_t c, int32_t w) { layer.glyphs[c].width = w; });
    }
    else if (command == "LAYERSETSPACING")
    {
        expect(3);
        GetLayer(*v[1]).spacing = GetIntParam(*v[2]);
    }
    else if (command == "LAYERSETIMAGEMAP")
    {
        expect(4);
        FontLayer& layer = GetLayer(*v[1]);
        if (!layer.image)
            throw FontDescriptorError("Layer image not set");
        auto chars = GetChars(*v[2], marks);
        auto rects = GetIntLists(*v[3], 4, marks);
        pairs(chars, rects, [&](uint16_t c, const std::vector<int32_t>& r) {
            // Negative sizes would pass the edge test and later draw garbage.
            if (r[0] < 0 || r[1] < 0 || r[2] < 0 || r[3] < 0 ||
                int64_t(r[0]) + r[2] > layer.image->width || int64_t(r[1]) + r[3] > layer.image->height)
                throw FontDescriptorError("Image rectangle out of bounds");
            layer.glyphs[c].imageRect = Rect{r[0], r[1], r[2], r[3]};
        });
        int64_t measured = 0;
        for (const FontGlyph& glyph : layer.glyphs)
            measured = std::max(measured, int64_t(glyph.imageRect.height) + glyph.offsetY);
        layer.measuredHeight = static_cast<int32_t>(std::min<int64_t>(measured, INT32_MAX));
    }
    else if (command == "LAYERSETCHAROFFSETS")
    {
        expect(4);
        FontLayer& layer = GetLayer(*v[1]);
        auto chars = GetChars(*v[2], marks);
        auto offsets = GetIntLists(*v[3], 2, marks);
        pairs(chars, offsets, [&](uint16_t c, const std::vector<int32_t>& o) {
            layer.glyphs[c].offsetX = o[0];
            layer.glyphs[c].offsetY = o[1];
        });
    }
    else if (command == "LAYERSETKERNINGPAIRS")
    {
        expect(4);
        FontLayer& layer = GetLayer(*v[1]);
        auto texts = GetTexts(*v[2], marks);
        auto values = GetInts(*v[3], marks);
        std::vector<std::optional<std::array<uint16_t, 2>>> charPairs;
        for (const auto& text : texts)
        {
            charPairs.push_back(text ? CharPair(*text) : std::nullopt);
            if (text && !charPairs.back())
                marks.typeError = true;
        }
        pairs(charPairs, values, [&](const std::array<uint16_t, 2>& pair, int32_t value) {
            layer.glyphs[pair[0]].kerning[pair[1]] = static_cast<int8_t>(value);
        });
    }
    else if (command == "LAYERSETBASEORDER")
    {
        expect(3);
        GetLayer(*v[1]).baseOrder = GetIntParam(*v[2]);
    }
    else if (command == "LAYERSETCHARORDERS")
    {
        expect(4);
        FontLayer& layer = GetLayer(*v[1]);
        auto chars = GetChars(*v[2], marks);
        auto orders = GetInts(*v[3], marks);
        pairs(chars, orders, [&](uint16_t c, int32_t order) { layer.glyphs[c].order = order; });
    }
    else
        throw FontDescriptorError("Unknown Command");

    if (marks.typeError)
        TypeError();
    if (marks.sizeMismatch)
        throw FontDescriptorError("List Size Mismatch");
}

} // namespace Quillo
