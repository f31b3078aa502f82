#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Spindrel
{

class SaveFolder;

// The profile list: the players' names (shown with spaces, stored with
// "_"), the current player, and the list file "options.cfg":
//   "%d\t\t-- Current player id\n"
//   "%s\t\t-- Current player name\n"
//   "%d\t\t-- Number of profiles\n"
//   "%s ; " per profile, then "\t\t-- Profiles\n".
class PlayerProfiles
{
public:
    static constexpr int kMaxProfiles = 128;
    // A slot is 16 bytes with its terminator.
    static constexpr size_t kMaxNameLength = 15;
    static constexpr const char* kFileName = "options.cfg";
    static constexpr const char* kNoPlayerName = "Unknown";
    static constexpr const char* kDefaultName = "Player";
    // An options file is a few kilobytes; anything longer is damaged.
    static constexpr size_t kFileLimit = 64 * 1024;

    enum class ChooseResult
    {
        Chosen,  // an existing profile became current
        Created, // the name was appended and became current
        Refused, // an unsafe name or a full list; nothing changed
    };

    // Whether the new-player field takes the character: not one of
    // # $ % & ( ) * + - . : ^ @, no path separator, quote, "<>|?", "_"
    // (it would read back as a space) or control character.
    static bool IsAllowedNameChar(char32_t c);
    // 1 to 15 allowed characters.
    static bool IsValidName(std::string_view name);
    // Spaces as "_" (file names and the list file), and back.
    static std::string ToFileName(std::string_view name);
    static std::string FromFileName(std::string_view word);

    int Count() const { return static_cast<int>(m_names.size()); }
    const std::vector<std::string>& Names() const { return m_names; }
    // Name of profile `index`; empty when out of range.
    const std::string& Name(int index) const;
    // -1 when there is no profile.
    int CurrentId() const { return m_currentId; }
    // "Unknown" when there never was a profile; empty once the last one has
    // been deleted, until a new one is chosen.
    const std::string& CurrentName() const;
    // The current name with spaces as "_": the stem of "%s.sta", "%s.sav".
    // "Unknown" without a current profile, so that no file is ever named
    // ".sta" or ".sav".
    std::string FileName() const;

    // Spaces around the name are dropped; an empty (or all-space) name
    // becomes "Player"; an equal name (case-sensitive) in the
    // list becomes current, otherwise the name is appended and becomes
    // current. The caller then saves the list.
    ChooseResult ChooseByName(std::string_view name);
    // Makes profile `row` current; a row out of range means 0. Nothing
    // happens when the list is empty.
    void Select(int row);
    // Removes profile `row` (out of range: 0); later names move up. When the
    // last row was removed the new last one becomes current, otherwise the
    // one that took its place; with none left the id is -1. The caller
    // deletes the player's files (while the profile is current) and saves.
    void Delete(int row);

    // The list file's text.
    std::string Format() const;
    // Reads a list file as the game writes it. Damage is mended: names are
    // bounded to their slots and checked as file names (others dropped, as
    // are repeated names), the list to 128 slots and to the names present,
    // the current id to the list; `mended` tells whether anything was.
    static PlayerProfiles Parse(std::string_view text, bool* mended = nullptr);

    // Reads "options.cfg" if present. A damaged file is kept aside and the
    // mended list written in its place.
    void Load(const SaveFolder& folder);
    // Writes "options.cfg"; false when it could not be written.
    bool Save(const SaveFolder& folder) const;

private:
    std::vector<std::string> m_names;
    int m_currentId = -1;
    bool m_allDeleted = false;
};

} // namespace Spindrel
