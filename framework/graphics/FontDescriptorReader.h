#pragma once

#include "framework/graphics/ListDataElement.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace Quillo
{

// A descriptor statement that cannot be carried out; the message is one of
// the descriptor language's error texts.
class FontDescriptorError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Cuts a font descriptor into statements and statements into values.
class FontDescriptorReader
{
public:
    // Lists nest at most this deep, which bounds every walk over a value.
    static constexpr int kMaxListDepth = 32;

    explicit FontDescriptorReader(std::string_view text) : m_text(text) {}

    // The next statement without its ';' and the line it ends on; false when
    // the text is used up. Comment lines and carriage returns are dropped.
    bool NextStatement(std::string& statement, int& line);

    // Splits a statement into its top-level values; throws FontDescriptorError.
    static std::unique_ptr<ListDataElement> Tokenize(std::string_view statement);

private:
    std::string_view m_text;
    size_t m_pos = 0;
    int m_lineEnds = 0;
    bool m_atLineStart = true;
};

} // namespace Quillo
