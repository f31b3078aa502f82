#include "game/app/PlayerProfiles.h"

#include "framework/platform/TextEncoding.h"

#include "game/app/SaveFolder.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>

namespace Spindrel
{

namespace
{

// Reads the list file the way it was written: numbers and words separated
// by white space, each of the first three lines ending in a comment.
class Scanner
{
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    std::optional<long long> ReadInt()
    {
        SkipSpace();
        size_t pos = m_pos;
        bool negative = false;
        if (pos < m_text.size() && (m_text[pos] == '-' || m_text[pos] == '+'))
            negative = m_text[pos++] == '-';
        const size_t digits = pos;
        long long value = 0;
        constexpr long long kBound = std::numeric_limits<int32_t>::max();
        while (pos < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[pos])))
        {
            value = std::min(kBound + 1, value * 10 + (m_text[pos] - '0'));
            ++pos;
        }
        if (pos == digits)
            return std::nullopt;
        m_pos = pos;
        return negative ? -value : value;
    }

    std::optional<std::string_view> ReadWord()
    {
        SkipSpace();
        const size_t begin = m_pos;
        while (m_pos < m_text.size() && !IsSpace(m_text[m_pos]))
            ++m_pos;
        if (m_pos == begin)
            return std::nullopt;
        return m_text.substr(begin, m_pos - begin);
    }

    void SkipLine()
    {
        const size_t end = m_text.find('\n', m_pos);
        m_pos = end == std::string_view::npos ? m_text.size() : end + 1;
    }

private:
    // ASCII white space only: in a Latin-1 locale the character classes
    // would count a name's no-break space too.
    static bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

    void SkipSpace()
    {
        while (m_pos < m_text.size() && IsSpace(m_text[m_pos]))
            ++m_pos;
    }

    std::string_view m_text;
    size_t m_pos = 0;
};

} // namespace

bool PlayerProfiles::IsAllowedNameChar(char32_t c)
{
    // Control characters, Latin-1's included, have no place in a name.
    if (c < 0x20 || (c >= 0x7f && c < 0xa0))
        return false;
    constexpr std::u32string_view kRefused = U"#$%&()*+-.:^@/\\\"<>|?_";
    return kRefused.find(c) == std::u32string_view::npos;
}

bool PlayerProfiles::IsValidName(std::string_view name)
{
    if (name.empty() || !Quillo::TextEncoding::IsUtf8(name))
        return false;
    size_t count = 0;
    for (size_t pos = 0; pos < name.size(); ++count)
    {
        if (!IsAllowedNameChar(Quillo::TextEncoding::Next(name, pos)))
            return false;
    }
    return count <= kMaxNameLength;
}

std::string PlayerProfiles::ToFileName(std::string_view name)
{
    std::string out(name);
    std::replace(out.begin(), out.end(), ' ', '_');
    return out;
}

std::string PlayerProfiles::FromFileName(std::string_view word)
{
    // Lists of older builds hold Latin-1 bytes; theirs read as they were.
    std::string out = Quillo::TextEncoding::StoredToUtf8(word);
    std::replace(out.begin(), out.end(), '_', ' ');
    return out;
}

const std::string& PlayerProfiles::Name(int index) const
{
    static const std::string none;
    if (index < 0 || index >= Count())
        return none;
    return m_names[static_cast<size_t>(index)];
}

const std::string& PlayerProfiles::CurrentName() const
{
    static const std::string unknown = kNoPlayerName;
    static const std::string none;
    if (m_currentId >= 0 && m_currentId < Count())
        return m_names[static_cast<size_t>(m_currentId)];
    return m_allDeleted ? none : unknown;
}

std::string PlayerProfiles::FileName() const
{
    const std::string& name = CurrentName();
    return ToFileName(name.empty() ? std::string_view(kNoPlayerName) : std::string_view(name));
}

PlayerProfiles::ChooseResult PlayerProfiles::ChooseByName(std::string_view name)
{
    // Spaces around a name are not part of it (" Ann" is Ann), and a name
    // of spaces only is no name.
    const size_t first = name.find_first_not_of(' ');
    const std::string_view trimmed =
        first == std::string_view::npos ? std::string_view()
                                        : name.substr(first, name.find_last_not_of(' ') - first + 1);
    const std::string wanted = trimmed.empty() ? std::string(kDefaultName) : std::string(trimmed);
    const auto found = std::find(m_names.begin(), m_names.end(), wanted);
    if (found != m_names.end())
    {
        m_currentId = static_cast<int>(found - m_names.begin());
        return ChooseResult::Chosen;
    }
    if (!IsValidName(wanted) || Count() >= kMaxProfiles)
        return ChooseResult::Refused;
    m_names.push_back(wanted);
    m_currentId = Count() - 1;
    m_allDeleted = false;
    return ChooseResult::Created;
}

void PlayerProfiles::Select(int row)
{
    if (m_names.empty())
        return;
    m_currentId = row >= 0 && row < Count() ? row : 0;
}

void PlayerProfiles::Delete(int row)
{
    if (m_names.empty())
        return;
    if (row < 0 || row >= Count())
        row = 0;
    m_names.erase(m_names.begin() + row);
    m_currentId = std::min(row, Count() - 1);
    m_allDeleted = m_names.empty();
}

std::string PlayerProfiles::Format() const
{
    std::string text = std::to_string(std::max(m_currentId, 0)) + "\t\t-- Current player id\n";
    // An empty word would let the reader take the comment for the name.
    text += FileName() + "\t\t-- Current player name\n";
    text += std::to_string(Count()) + "\t\t-- Number of profiles\n";
    for (const std::string& name : m_names)
        text += ToFileName(name) + " ; ";
    text += "\t\t-- Profiles\n";
    return text;
}

PlayerProfiles PlayerProfiles::Parse(std::string_view text, bool* mended)
{
    bool damaged = false;
    Scanner in(text);
    const auto id = in.ReadInt();
    in.SkipLine();
    const auto currentWord = in.ReadWord();
    in.SkipLine();
    const auto count = in.ReadInt();
    in.SkipLine();
    if (!id || !currentWord || !count || *count < 0 || *count > kMaxProfiles)
        damaged = true;

    PlayerProfiles profiles;
    // The stored id counts the slots as written; names dropped before it move it up.
    std::optional<int> current;
    const long long slots = count ? std::clamp<long long>(*count, 0, kMaxProfiles) : 0;
    for (long long slot = 0; slot < slots; ++slot)
    {
        const auto word = in.ReadWord();
        if (!word)
        {
            damaged = true;
            break;
        }
        const auto separator = in.ReadWord();
        if (separator != std::string_view(";"))
            damaged = true;
        const std::string name = FromFileName(*word);
        const bool repeated = std::find(profiles.m_names.begin(), profiles.m_names.end(), name) !=
                              profiles.m_names.end();
        if (!IsValidName(name) || repeated)
        {
            damaged = true;
            continue;
        }
        if (id && slot == *id)
            current = profiles.Count();
        profiles.m_names.push_back(name);
    }

    if (!profiles.m_names.empty())
    {
        if (!current)
        {
            damaged = true;
            current = 0;
        }
        profiles.m_currentId = *current;
        if (!currentWord || FromFileName(*currentWord) != profiles.CurrentName())
            damaged = true;
    }
    if (mended)
        *mended = damaged;
    return profiles;
}

void PlayerProfiles::Load(const SaveFolder& folder)
{
    const auto file = folder.Read(kFileName, kFileLimit);
    if (file.status == SaveFolder::ReadStatus::Missing)
        return;
    bool mended = false;
    const std::string_view text(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size());
    *this = Parse(text, &mended);
    if (mended || file.status == SaveFolder::ReadStatus::TooLarge)
    {
        folder.KeepAside(kFileName);
        Save(folder);
    }
}

bool PlayerProfiles::Save(const SaveFolder& folder) const
{
    return folder.Write(kFileName, Format());
}

} // namespace Spindrel
