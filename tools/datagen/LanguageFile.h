#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Spindrel::Datagen
{

class DataWriter;

// One entry of the language file and the conversions its use passes in
// (for example "dd" for two integers, "" for none).
struct TextEntry
{
    std::string_view text;
    std::string_view placeholders;
};

// The 80 English texts, in table order.
const std::vector<TextEntry>& EnglishTexts();

// The conversions of a text in order ("%d" gives 'd'); "%%" is a literal
// percent sign and yields nothing. A '%' that starts no known conversion
// yields '?'.
std::string Placeholders(std::string_view text);

// Writes bin/lng.opt and bin/lang_en.txt; throws when a text's
// placeholders do not match its use.
void WriteLanguageFiles(const DataWriter& out);

} // namespace Spindrel::Datagen
