#pragma once

#include "framework/graphics/DataElement.h"
#include "framework/graphics/FontLayer.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Quillo
{

class FontHost;
class ListDataElement;
class MemoryImage;

// A parsed font descriptor (or glyph strip), shared by an image font and
// all its clones: the layers with their glyphs, the character map, the
// defines, and the glyph images, each loaded once.
class FontData
{
public:
    explicit FontData(FontHost& host);
    FontData(const FontData&) = delete;
    FontData& operator=(const FontData&) = delete;
    ~FontData();

    // Reads a descriptor file. The first failing statement is reported to
    // the host and leaves the data unloaded with no layers; so does a file
    // that defines no glyph (emptied, or cut before its first glyph).
    bool Load(const std::string& descriptorPath);
    // The same for descriptor text already in memory; image files are
    // still resolved against the directory of descriptorPath.
    bool LoadDescriptor(const std::string& descriptorPath, std::string_view text);
    // The older one-layer form: a glyph strip and a text file of widths.
    bool LoadLegacy(std::shared_ptr<MemoryImage> strip, const std::string& widthsPath);

    // The define in text form; empty for an unknown name.
    std::string GetDefineText(const std::string& name) const;
    // Whether any layer has a glyph that advances: without one, text would
    // show nothing or every glyph on top of the first.
    bool DefinesGlyphs() const;
    // The full text of the last error reported, empty if none.
    const std::string& GetErrorText() const { return m_errorText; }

    FontHost& app;
    bool loaded = false;
    int32_t defaultPointSize = 0;
    std::array<uint16_t, kFontCharCount> charMap{};
    std::vector<std::unique_ptr<FontLayer>> layers;
    std::map<std::string, FontLayer*> layersByName;
    std::map<std::string, std::unique_ptr<DataElement>> defines;
    std::map<std::string, std::unique_ptr<MemoryImage>> imageCache;
    std::string descriptorPath;
    // The glyph strip of the older form, kept alive for every clone.
    std::shared_ptr<MemoryImage> stripImage;

private:
    // Marks gathered while one statement runs.
    struct Marks
    {
        bool typeError = false;
        bool sizeMismatch = false;
    };

    void Reset();
    void Fail(const std::string& message);
    // Reports an error of the whole descriptor, not of one statement.
    void FailDescriptor(const std::string& message);
    void Report(const std::string& text);
    void Execute(const ListDataElement& statement);

    const DataElement* FindDefine(const std::string& token) const;
    std::string GetText(const DataElement& value) const;
    std::unique_ptr<ListDataElement> Dereference(const ListDataElement& list, size_t& budget,
                                                 int depth) const;
    std::unique_ptr<ListDataElement> GetList(const DataElement& value) const;
    std::vector<std::optional<std::string>> GetTexts(const DataElement& value, Marks& marks) const;
    std::vector<std::optional<int32_t>> GetInts(const DataElement& value, Marks& marks) const;
    std::vector<std::optional<double>> GetReals(const DataElement& value, Marks& marks) const;
    // Elements that must themselves be lists of exactly count integers.
    std::vector<std::optional<std::vector<int32_t>>> GetIntLists(const DataElement& value,
                                                                 size_t count,
                                                                 Marks& marks) const;
    // Character texts: a text of exactly `count` bytes is that many Latin-1
    // letters, as older descriptors wrote them; any other is read as UTF-8
    // and must hold `count` characters, each with a glyph slot.
    static std::optional<std::vector<uint16_t>> CharsOf(std::string_view text, size_t count);
    static std::optional<std::array<uint16_t, 2>> CharPair(std::string_view text);
    std::vector<std::optional<uint16_t>> GetChars(const DataElement& value, Marks& marks) const;
    int32_t GetIntParam(const DataElement& value) const;
    FontLayer& GetLayer(const DataElement& value) const;
    Color GetColorParam(const DataElement& value) const;
    FontLayer& AddLayer(const std::string& name);

    std::string m_errorPrefix;
    std::string m_statement;
    int m_statementLine = 0;
    std::string m_errorText;
};

} // namespace Quillo
