#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Spindrel::Datagen
{

class DataWriter;

// The entries of a language file as the game reads them: lines shorter
// than two characters and lines starting with '-' are skipped.
std::vector<std::string> LanguageEntries(std::string_view file);

// Checks one translation against the English texts and returns the reason
// it cannot ship, or an empty string. A translation holds the specified
// texts (at least 74) and no more than English; every text carries the
// conversions of its English text in the same order; the file is UTF-8
// without carriage returns, and every letter is one the image fonts draw.
std::string TranslationProblem(std::string_view file);

// Copies every "<code>.txt" of the folder to "bin/lang_<code>.txt" once it
// passes TranslationProblem; throws naming the file and text otherwise.
void WriteTranslations(const DataWriter& out, const std::string& folder);

} // namespace Spindrel::Datagen
