#include "framework/resources/XMLParser.h"

#include "framework/platform/FileSystem.h"

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

void XMLParser::Fail(const std::string& message)
{
    if (m_hasFailed)
        return;
    m_hasFailed = true;
    m_errorText = message;
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

bool XMLParser::ReadElement(XMLElement& element)
{
    using Type = XMLElement::Type;
    element = XMLElement{};
    element.section = m_section;
    if (m_hasFailed)
        return false;

    bool inQuote = false;
    bool whitespaceSeen = false;
    bool inAttributes = false;
    bool readingValue = false;
    bool quoteClosed = false;
    bool inInstructionBody = false;
    std::string attrName;
    std::string attrValue;
    std::string lastAttribute;

    auto addAttribute = [&] {
        if (attrName != "/")
        {
            element.attributes[attrName] = attrValue;
            element.attributeOrder.push_back(attrName);
            lastAttribute = attrName;
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
            if (element.type != Type::None)
                Fail("Unexpected End of File");
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

        const bool inTag = element.type == Type::Start || element.type == Type::End;
        if (c == '"')
        {
            inQuote = !inQuote;
            if (inTag)
            {
                if (!inQuote)
                    quoteClosed = true;
                continue;
            }
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
                    continue;
                }
                Fail("Unexpected '<'");
                return false;
            }
            if (c == '>')
            {
                if (element.type == Type::Start)
                {
                    // A lone "/" after the attributes closes the tag too.
                    const bool pendingSlash = attrName == "/";
                    if (hasPending())
                        addAttribute();
                    bool selfClosing = false;
                    if (!lastAttribute.empty())
                    {
                        std::string& value = element.attributes[lastAttribute];
                        if (!value.empty() && value.back() == '/')
                        {
                            value.pop_back();
                            selfClosing = true;
                        }
                    }
                    if (!selfClosing && pendingSlash)
                        selfClosing = true;
                    if (!selfClosing && element.attributes.empty() && !element.value.empty() &&
                        element.value.back() == '/')
                    {
                        element.value.pop_back();
                        selfClosing = true;
                    }
                    if (selfClosing)
                    {
                        // A stack: pushed last character first.
                        const std::string end = "</" + element.value + ">";
                        m_pushback.insert(m_pushback.end(), end.rbegin(), end.rend());
                    }
                    if (!m_section.empty())
                        m_section += '/';
                    m_section += element.value;
                    break;
                }
                if (element.type == Type::End)
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
            }
            if (IsBlank(c))
            {
                if (!element.value.empty() || inAttributes || hasPending())
                    whitespaceSeen = true;
                if (element.type == Type::Start && element.value == "!--")
                    element.type = Type::Comment;
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
            element.type = Type::Text;
        if (element.type == Type::Start)
        {
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
                out += EntityChar(text.substr(i + 1, semicolon - i - 1));
                i = semicolon + 1;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

} // namespace Quillo
