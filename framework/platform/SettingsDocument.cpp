#include "framework/platform/SettingsDocument.h"

#include <algorithm>
#include <charconv>

namespace Quillo
{

namespace
{

constexpr std::string_view kHeader = "# QuilloSettings 1";

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

bool IsPlain(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
           c == '-';
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

const char* TypeWord(SettingsType type)
{
    switch (type)
    {
    case SettingsType::String:
        return "sz";
    case SettingsType::Binary:
        return "binary";
    case SettingsType::Integer:
        return "dword";
    }
    return "binary";
}

bool ParseValueLine(std::string_view line, SettingsValue& out)
{
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return false;
    if (!SettingsDocument::Decode(line.substr(0, eq), out.name))
        return false;
    const std::string_view rest = line.substr(eq + 1);
    const size_t colon = rest.find(':');
    if (colon == std::string_view::npos)
        return false;
    const std::string_view word = rest.substr(0, colon);
    const std::string_view body = rest.substr(colon + 1);
    out.data.clear();
    if (word == "dword")
    {
        uint32_t v = 0;
        if (body.empty() || body[0] == '-' || body[0] == '+')
            return false;
        auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), v);
        if (ec != std::errc() || end != body.data() + body.size())
            return false;
        out.type = SettingsType::Integer;
        out.data = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                    static_cast<uint8_t>(v >> 24)};
        return true;
    }
    if (word == "sz")
    {
        std::string text;
        if (!SettingsDocument::Decode(body, text))
            return false;
        out.type = SettingsType::String;
        out.data.assign(text.begin(), text.end());
        return true;
    }
    if (word == "binary")
    {
        if (body.size() % 2 != 0)
            return false;
        for (size_t i = 0; i < body.size(); i += 2)
        {
            const int hi = HexDigit(body[i]);
            const int lo = HexDigit(body[i + 1]);
            if (hi < 0 || lo < 0)
                return false;
            out.data.push_back(static_cast<uint8_t>(hi << 4 | lo));
        }
        out.type = SettingsType::Binary;
        return true;
    }
    return false;
}

bool ParseSectionLine(std::string_view line, std::string& path)
{
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return false;
    const std::string_view inner = line.substr(1, line.size() - 2);
    std::string joined;
    size_t pos = 0;
    while (pos <= inner.size())
    {
        size_t next = inner.find('\\', pos);
        if (next == std::string_view::npos)
            next = inner.size();
        std::string part;
        if (!SettingsDocument::Decode(inner.substr(pos, next - pos), part))
            return false;
        if (part.find('\\') != std::string::npos)
            return false;
        if (!part.empty())
        {
            if (!joined.empty())
                joined += '\\';
            joined += part;
        }
        pos = next + 1;
    }
    path = std::move(joined);
    return true;
}

} // namespace

std::string SettingsDocument::CanonicalPath(std::string_view path)
{
    std::string out;
    size_t pos = 0;
    while (pos <= path.size())
    {
        size_t next = path.find('\\', pos);
        if (next == std::string_view::npos)
            next = path.size();
        if (next > pos)
        {
            if (!out.empty())
                out += '\\';
            out.append(path.substr(pos, next - pos));
        }
        pos = next + 1;
    }
    return out;
}

std::string SettingsDocument::Encode(std::string_view bytes)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes)
    {
        const auto c = static_cast<unsigned char>(ch);
        if (IsPlain(c))
        {
            out.push_back(ch);
        }
        else
        {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return out;
}

bool SettingsDocument::Decode(std::string_view text, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != '%')
        {
            out.push_back(text[i]);
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        const int hi = HexDigit(text[i + 1]);
        const int lo = HexDigit(text[i + 2]);
        if (hi < 0 || lo < 0)
            return false;
        out.push_back(static_cast<char>(hi << 4 | lo));
        i += 2;
    }
    return true;
}

SettingsDocument SettingsDocument::Parse(std::string_view text)
{
    SettingsDocument doc;
    doc.EnsureSection("");
    // An index, not a pointer: new sections may move the vector.
    constexpr size_t kNone = static_cast<size_t>(-1);
    size_t current = 0;
    size_t pos = 0;
    while (pos < text.size())
    {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[')
        {
            std::string path;
            // Values under a section header that cannot be read have no home;
            // they are skipped rather than filed under the previous section.
            current = kNone;
            if (ParseSectionLine(line, path))
            {
                doc.EnsureSection(path);
                current = static_cast<size_t>(doc.FindSection(path) - doc.m_sections.data());
            }
            continue;
        }
        SettingsValue value;
        if (current == kNone || !ParseValueLine(line, value))
            continue;
        std::vector<SettingsValue>& values = doc.m_sections[current].values;
        auto it = std::find_if(values.begin(), values.end(),
                               [&](const SettingsValue& v) { return EqualNoCase(v.name, value.name); });
        if (it != values.end())
            *it = std::move(value);
        else
            values.push_back(std::move(value));
    }
    return doc;
}

std::string SettingsDocument::Serialize() const
{
    std::string out(kHeader);
    out += '\n';
    for (const Section& s : m_sections)
    {
        out += '[';
        size_t pos = 0;
        bool first = true;
        while (pos <= s.path.size() && !s.path.empty())
        {
            size_t next = s.path.find('\\', pos);
            if (next == std::string::npos)
                next = s.path.size();
            if (!first)
                out += '\\';
            out += Encode(std::string_view(s.path).substr(pos, next - pos));
            first = false;
            pos = next + 1;
        }
        out += "]\n";
        for (const SettingsValue& v : s.values)
        {
            out += Encode(v.name);
            out += '=';
            out += TypeWord(v.type);
            out += ':';
            switch (v.type)
            {
            case SettingsType::Integer: {
                uint32_t n = 0;
                for (size_t i = 0; i < 4 && i < v.data.size(); ++i)
                    n |= static_cast<uint32_t>(v.data[i]) << (8 * i);
                out += std::to_string(n);
                break;
            }
            case SettingsType::String:
                out += Encode(std::string_view(reinterpret_cast<const char*>(v.data.data()), v.data.size()));
                break;
            case SettingsType::Binary: {
                static const char* hex = "0123456789abcdef";
                for (uint8_t b : v.data)
                {
                    out += hex[b >> 4];
                    out += hex[b & 15];
                }
                break;
            }
            }
            out += '\n';
        }
    }
    return out;
}

SettingsDocument::Section* SettingsDocument::FindSection(std::string_view canonicalPath)
{
    for (Section& s : m_sections)
        if (EqualNoCase(s.path, canonicalPath))
            return &s;
    return nullptr;
}

const SettingsDocument::Section* SettingsDocument::FindSection(std::string_view canonicalPath) const
{
    return const_cast<SettingsDocument*>(this)->FindSection(canonicalPath);
}

SettingsDocument::Section& SettingsDocument::EnsureSection(const std::string& canonicalPath)
{
    if (Section* s = FindSection(canonicalPath))
        return *s;
    // Parents exist whenever a child does, as in any key tree.
    const size_t cut = canonicalPath.rfind('\\');
    if (!canonicalPath.empty())
        EnsureSection(cut == std::string::npos ? std::string() : canonicalPath.substr(0, cut));
    m_sections.push_back(Section{canonicalPath, {}});
    return m_sections.back();
}

bool SettingsDocument::HasKey(std::string_view path) const
{
    return FindSection(CanonicalPath(path)) != nullptr;
}

void SettingsDocument::CreateKey(std::string_view path)
{
    EnsureSection(CanonicalPath(path));
}

const SettingsValue* SettingsDocument::Find(std::string_view path, std::string_view name) const
{
    const Section* s = FindSection(CanonicalPath(path));
    if (!s)
        return nullptr;
    for (const SettingsValue& v : s->values)
        if (EqualNoCase(v.name, name))
            return &v;
    return nullptr;
}

void SettingsDocument::Set(std::string_view path, std::string_view name, SettingsType type, const uint8_t* data,
                           size_t length)
{
    Section& s = EnsureSection(CanonicalPath(path));
    SettingsValue value{std::string(name), type, std::vector<uint8_t>(data, data + length)};
    if (type == SettingsType::Integer)
        value.data.resize(4, 0);
    for (SettingsValue& v : s.values)
    {
        if (EqualNoCase(v.name, name))
        {
            v.type = value.type;
            v.data = std::move(value.data);
            return;
        }
    }
    s.values.push_back(std::move(value));
}

bool SettingsDocument::Erase(std::string_view path, std::string_view name)
{
    Section* s = FindSection(CanonicalPath(path));
    if (!s)
        return false;
    auto it = std::find_if(s->values.begin(), s->values.end(),
                           [&](const SettingsValue& v) { return EqualNoCase(v.name, name); });
    if (it == s->values.end())
        return false;
    s->values.erase(it);
    return true;
}

} // namespace Quillo
