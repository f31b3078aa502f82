#include "framework/resources/XMLParser.h"

#include "framework/platform/FileSystem.h"

#include <optional>

namespace Quillo
{

namespace
{

bool IsBlank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The data was written on a system whose text mode turns CR LF into LF.
std::string DropCarriageReturns(std::string text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

char EntityChar(std::string_view name)
{
    if (name == "lt")
        return '<';
    if (name == "amp")
        return '&';
    if (name == "gt")
        return '>';
    if (name == "quot")
        return '"';
    if (name == "apos")
        return '\'';
    if (name == "nbsp")
        return ' ';
    if (name == "cr")
        return '\n';
    return '&';
}

// "#10" or "#x0A": the character as UTF-8, or nothing when the reference
// names no character XML allows.
std::optional<std::string> CharacterReference(std::string_view name)
{
    if (name.size() < 2 || name[0] != '#')
        return std::nullopt;
    const bool hex = name[1] == 'x';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    uint32_t code = 0;
    for (char d : digits)
    {
        int v;
        if (d >= '0' && d <= '9')
            v = d - '0';
        else if (hex && d >= 'a' && d <= 'f')
            v = d - 'a' + 10;
        else if (hex && d >= 'A' && d <= 'F')
            v = d - 'A' + 10;
        else
            return std::nullopt;
        code = code * (hex ? 16 : 10) + uint32_t(v);
    }
    const bool allowed = code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
                         (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
    if (!allowed)
        return std::nullopt;
    std::string out;
    if (code < 0x80)
        out += char(code);
    else if (code < 0x800)
    {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    }
    else if (code < 0x10000)
    {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
    else
    {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
    return out;
}

} // namespace

bool XMLParser::OpenFile(const std::string& path)
{
    auto bytes = FileSystem::ReadFile(FileSystem::ResolvePath(FileSystem::NormalizePath(path)));
    if (!bytes)
    {
        m_lineNum = 0;
        m_data.clear();
        m_pos = 0;
        m_hasFailed = false;
        Fail("Unable to open file " + path);
        return false;
    }
    OpenText(path, std::string(bytes->begin(), bytes->end()));
    return true;
}

void XMLParser::OpenText(const std::string& fileName, std::string text)
{
    m_fileName = fileName;
    m_data = DropCarriageReturns(std::move(text));
    m_pos = 0;
    m_pushback.clear();
    m_section.clear();
    m_openLines.clear();
    m_lineNum = 1;
    m_hasFailed = false;
    m_errorText.clear();
}

int XMLParser::NextChar()
{
    int c;
    if (!m_pushback.empty())
    {
        c = static_cast<unsigned char>(m_pushback.back());
        m_pushback.pop_back();
    }
    else if (m_pos < m_data.size())
        c = static_cast<unsigned char>(m_data[m_pos++]);
    else
        return -1;
    if (c == '\n')
        ++m_lineNum;
    return c;
}

void XMLParser::Fail(const std::string& message, int32_t line)
{
    if (m_hasFailed)
        return;
    m_hasFailed = true;
    m_errorText = message;
    m_lineNum = line;
}

bool XMLParser::NextElement(XMLElement& element)
{
    // Comments are passed over in a loop rather than by calling ourselves,
    // so a file of a million comments cannot exhaust the stack.
    while (ReadElement(element))
    {
        if (element.type != XMLElement::Type::Comment || m_keepComments)
            return true;
    }
    return false;
}

bool XMLParser::ConsumeIf(std::string_view text)
{
    if (!m_pushback.empty() || m_data.compare(m_pos, text.size(), text) != 0)
        return false;
    for (char c : text)
        if (c == '\n')
            ++m_lineNum;
    m_pos += text.size();
    return true;
}

bool XMLParser::SkipDoctype(int32_t startLine)
{
    if (!m_section.empty())
    {
        Fail("Unexpected DOCTYPE");
        return false;
    }
    // External identifiers are quoted with either kind of quote, and may
    // hold '>' or '['.
    int quote = 0;
    for (;;)
    {
        const int c = NextChar();
        if (c < 0)
        {
            Fail("Unexpected End of File", startLine);
            return false;
        }
        if (quote)
        {
            if (c == quote)
                quote = 0;
        }
        else if (c == '"' || c == '\'')
            quote = c;
        else if (c == '[')
        {
            Fail("DOCTYPE internal subsets are not supported");
            return false;
        }
        else if (c == '>')
            return true;
    }
}

bool XMLParser::ReadElement(XMLElement& element)
{
    using Type = XMLElement::Type;
    element = XMLElement{};
    element.section = m_section;
    if (m_hasFailed)
        return false;

    int32_t startLine = m_lineNum;
    int32_t quoteLine = m_lineNum;
    bool inQuote = false;
    bool whitespaceSeen = false;
    bool inAttributes = false;
    bool readingValue = false;
    bool quoteClosed = false;
    bool inInstructionBody = false;
    // The last character of the tag was a '/' outside quotes: "/>" ends it.
    bool bareSlash = false;
    std::string attrName;
    std::string attrValue;

    auto addAttribute = [&] {
        if (attrName != "/")
        {
            element.attributes[attrName] = attrValue;
            element.attributeOrder.push_back(attrName);
        }
        attrName.clear();
        attrValue.clear();
        readingValue = false;
        quoteClosed = false;
    };
    auto hasPending = [&] { return !attrName.empty() || !attrValue.empty() || quoteClosed; };

    for (;;)
    {
        const int c = NextChar();
        if (c < 0)
        {
            // Reported where the unfinished piece begins: the open quote or
            // tag, else the innermost element still open.
            const bool inMarkup = element.type != Type::None && element.type != Type::Text;
            if (inMarkup)
                Fail("Unexpected End of File", inQuote ? quoteLine : startLine);
            else if (!m_openLines.empty())
                Fail("Unexpected End of File", m_openLines.back());
            else if (element.type == Type::Text)
                Fail("Unexpected End of File", startLine);
            return false;
        }

        if (element.type == Type::Comment)
        {
            element.instruction += static_cast<char>(c);
            const std::string& body = element.instruction;
            if (c == '>' && body.size() >= 3 && body.compare(body.size() - 3, 3, "-->") == 0)
            {
                element.instruction.resize(body.size() - 3);
                break;
            }
            continue;
        }

        if (element.type == Type::Instruction)
        {
            std::string& target = inInstructionBody ? element.instruction : element.value;
            if (c == '>' && !target.empty() && target.back() == '?')
            {
                target.pop_back();
                break;
            }
            if (!inInstructionBody && IsBlank(c))
                inInstructionBody = true;
            else
                target += static_cast<char>(c);
            continue;
        }

        // Double quotes delimit attribute values, so they count only inside
        // a start tag; in text and end tags they are ordinary characters.
        if (c == '"' && element.type == Type::Start)
        {
            inQuote = !inQuote;
            if (inQuote)
                quoteLine = m_lineNum;
            else
                quoteClosed = true;
            bareSlash = false;
            continue;
        }

        if (!inQuote)
        {
            if (c == '<')
            {
                if (element.type == Type::Text)
                {
                    m_pushback.push_back('<');
                    break;
                }
                if (element.type == Type::None)
                {
                    element.type = Type::Start;
                    startLine = m_lineNum;
                    continue;
                }
                Fail("Unexpected '<'");
                return false;
            }
            if (c == '>')
            {
                if (element.type == Type::Start)
                {
                    // A '/' right before the '>' and outside quotes closes the
                    // tag, whether it ends the name (<a/>), a value (<a x="1"/>)
                    // or stands alone (<a x="1" />). A quoted value keeps its '/'.
                    bool selfClosing = attrName == "/";
                    if (bareSlash && !selfClosing)
                    {
                        std::string& holder = !attrValue.empty() ? attrValue
                                              : !attrName.empty() ? attrName
                                                                  : element.value;
                        holder.pop_back();
                        selfClosing = true;
                    }
                    if (hasPending())
                        addAttribute();
                    CompleteStartTag(element, selfClosing, startLine);
                    break;
                }
                if (element.type == Type::End)
                {
                    if (!CompleteEndTag(element))
                        return false;
                    break;
                }
                Fail("Unexpected '>'");
                return false;
            }
            if (element.type == Type::Start && element.value.empty() && !inAttributes)
            {
                if (c == '/')
                {
                    element.type = Type::End;
                    continue;
                }
                if (c == '?')
                {
                    element.type = Type::Instruction;
                    continue;
                }
                if (c == '!')
                {
                    if (ConsumeIf("--"))
                    {
                        element.type = Type::Comment;
                        element.value = "!--";
                        // The blank that usually follows "<!--" is not part of the text.
                        if (m_pushback.empty() && m_pos < m_data.size() && IsBlank(m_data[m_pos]))
                            NextChar();
                        continue;
                    }
                    if (ConsumeIf("DOCTYPE"))
                    {
                        if (!SkipDoctype(startLine))
                            return false;
                        element.type = Type::None;
                        continue;
                    }
                    Fail(ConsumeIf("[CDATA[") ? "CDATA sections are not supported"
                                              : "Unsupported declaration");
                    return false;
                }
            }
            if (IsBlank(c))
            {
                if (!element.value.empty() || inAttributes || hasPending())
                    whitespaceSeen = true;
                bareSlash = false;
                continue;
            }
            if (c <= ' ')
            {
                Fail("Illegal Character");
                return false;
            }
        }

        // A character that belongs to the element.
        if (element.type == Type::None)
        {
            element.type = Type::Text;
            startLine = m_lineNum;
        }
        if (element.type == Type::Start)
        {
            bareSlash = c == '/' && !inQuote;
            if (whitespaceSeen)
            {
                if (!inAttributes)
                    inAttributes = true;
                else if (!attrValue.empty() || quoteClosed || c != '=')
                    addAttribute();
                whitespaceSeen = false;
            }
            if (!inAttributes)
                element.value += static_cast<char>(c);
            else if (c == '=' && !inQuote && !readingValue)
                readingValue = true;
            else if (readingValue)
                attrValue += static_cast<char>(c);
            else
                attrName += static_cast<char>(c);
        }
        else
        {
            if (whitespaceSeen)
                element.value += ' ';
            whitespaceSeen = false;
            element.value += static_cast<char>(c);
        }
    }

    element.value = DecodeEntities(element.value);
    if (!element.attributes.empty())
    {
        std::map<std::string, std::string> decoded;
        for (auto& [name, value] : element.attributes)
            decoded[DecodeEntities(name)] = DecodeEntities(value);
        element.attributes = std::move(decoded);
        for (auto& name : element.attributeOrder)
            name = DecodeEntities(name);
    }
    return true;
}

void XMLParser::CompleteStartTag(XMLElement& element, bool selfClosing, int32_t startLine)
{
    if (selfClosing)
    {
        // A stack: pushed last character first.
        const std::string end = "</" + element.value + ">";
        m_pushback.insert(m_pushback.end(), end.rbegin(), end.rend());
    }
    if (!m_section.empty())
        m_section += '/';
    m_section += element.value;
    m_openLines.push_back(startLine);
}

bool XMLParser::CompleteEndTag(const XMLElement& element)
{
    if (m_section.empty())
    {
        Fail("Unexpected End");
        return false;
    }
    const size_t slash = m_section.rfind('/');
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    const std::string last = m_section.substr(start);
    if (last != element.value)
    {
        Fail("End '" + element.value + "' Doesn't Match Start '" + last + "'");
        return false;
    }
    m_section.resize(slash == std::string::npos ? 0 : slash);
    m_openLines.pop_back();
    return true;
}

std::string XMLParser::DecodeEntities(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size())
    {
        if (text[i] == '&')
        {
            const size_t semicolon = text.find(';', i + 1);
            if (semicolon != std::string_view::npos)
            {
                const std::string_view name = text.substr(i + 1, semicolon - i - 1);
                if (const auto reference = CharacterReference(name))
                    out += *reference;
                else
                    out += EntityChar(name);
                i = semicolon + 1;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

} // namespace Quillo
