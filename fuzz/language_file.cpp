// Language files: any text gives at least the table's texts, each within the
// line limit and none of them a skipped line.
#include "game/app/TextTable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using Spindrel::TextTable;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TextTable table;
    int warnings = 0;
    table.LoadLanguage(text, [&warnings](const std::string&) { ++warnings; });
    if (table.Count() < TextTable::kTextCount || warnings > 1)
        std::abort();
    for (int i = 0; i < table.Count(); ++i)
    {
        const std::string& entry = table.GetText(i);
        if (entry.size() > TextTable::kLineLimit || entry.size() < 2 || entry.front() == '-')
            std::abort();
    }
    if (table.GetText(-1) != TextTable::kNotLoaded || table.GetText(table.Count()) != TextTable::kNotLoaded)
        std::abort();
    return 0;
}
