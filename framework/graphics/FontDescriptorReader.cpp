#include "framework/graphics/FontDescriptorReader.h"

#include "framework/graphics/SingleDataElement.h"

#include <vector>

namespace Quillo
{

bool FontDescriptorReader::NextStatement(std::string& statement, int& line)
{
    statement.clear();
    if (m_pos >= m_text.size())
        return false;
    bool inSingle = false;
    bool inDouble = false;
    while (m_pos < m_text.size())
    {
        const char c = m_text[m_pos++];
        if (c == '\r')
            continue;
        const bool quoted = inSingle || inDouble;
        if (m_atLineStart && !quoted)
        {
            if (c == ' ' || c == '\t')
                continue;
            if (c == '#')
            {
                while (m_pos < m_text.size() && m_text[m_pos] != '\n')
                    ++m_pos;
                continue;
            }
            if (c != '\n')
                m_atLineStart = false;
        }
        if (c == '\n')
        {
            ++m_lineEnds;
            m_atLineStart = true;
            statement += c;
            continue;
        }
        if (quoted)
        {
            if (c == '\\' && m_pos < m_text.size())
            {
                const char next = m_text[m_pos++];
                statement += c;
                statement += next;
                if (next == '\n')
                    ++m_lineEnds;
                continue;
            }
            if (c == '\'' && inSingle)
                inSingle = false;
            else if (c == '"' && inDouble)
                inDouble = false;
            statement += c;
            continue;
        }
        if (c == ';')
        {
            line = m_lineEnds + 1;
            return true;
        }
        if (c == '\'')
            inSingle = true;
        else if (c == '"')
            inDouble = true;
        statement += c;
    }
    line = m_lineEnds + 1;
    return true;
}

std::unique_ptr<ListDataElement> FontDescriptorReader::Tokenize(std::string_view s)
{
    auto root = std::make_unique<ListDataElement>();
    std::vector<ListDataElement*> open{root.get()};
    std::string token;
    bool inSingle = false;
    bool inDouble = false;

    auto flush = [&] {
        if (!token.empty())
        {
            open.back()->elements.push_back(std::make_unique<SingleDataElement>(token));
            token.clear();
        }
    };

    for (size_t i = 0; i < s.size(); ++i)
    {
        const char c = s[i];
        if (c == '\\')
        {
            if (i + 1 < s.size())
                token += s[++i];
            continue;
        }
        if (inSingle || inDouble)
        {
            token += c;
            if (c == '\'' && inSingle)
                inSingle = false;
            else if (c == '"' && inDouble)
                inDouble = false;
            continue;
        }
        switch (c)
        {
        case '\'':
            inSingle = true;
            token += c;
            break;
        case '"':
            inDouble = true;
            token += c;
            break;
        case ' ':
        case '\t':
        case '\n':
        case ',':
            flush();
            break;
        case '(':
        {
            if (!token.empty())
                throw FontDescriptorError("Unexpected List Start");
            if (static_cast<int>(open.size()) > kMaxListDepth)
                throw FontDescriptorError("List Nested Too Deeply");
            auto list = std::make_unique<ListDataElement>();
            ListDataElement* raw = list.get();
            open.back()->elements.push_back(std::move(list));
            open.push_back(raw);
            break;
        }
        case ')':
            flush();
            if (open.size() == 1)
                throw FontDescriptorError("Unexpected List End");
            open.pop_back();
            break;
        default:
            token += c;
            break;
        }
    }
    if (inSingle)
        throw FontDescriptorError("Unterminated Single Quotes");
    if (inDouble)
        throw FontDescriptorError("Unterminated Double Quotes");
    flush();
    if (open.size() > 1)
        throw FontDescriptorError("Unterminated List");
    return root;
}

} // namespace Quillo
