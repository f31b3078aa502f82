#include "GameStateFiles.h"
#include "game/app/PlayerProfiles.h"
#include "game/app/SaveFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace GameStateTest;
using Spindrel::PlayerProfiles;
using Spindrel::SaveFolder;
using Choose = PlayerProfiles::ChooseResult;

namespace
{

std::string ListFile(const std::string& id, const std::string& name, const std::string& count,
                     const std::string& names)
{
    return id + "\t\t-- Current player id\n" + name + "\t\t-- Current player name\n" + count +
           "\t\t-- Number of profiles\n" + names + "\t\t-- Profiles\n";
}

PlayerProfiles Parsed(const std::string& text, bool& mended)
{
    return PlayerProfiles::Parse(text, &mended);
}

} // namespace

TEST(PlayerProfilesTest, SpacesAreUnderscoresInFileNamesAndTheListFile)
{
    TempDir dir;
    const SaveFolder folder(dir.Path());
    PlayerProfiles profiles;
    EXPECT_EQ(profiles.CurrentName(), "Unknown");
    EXPECT_EQ(profiles.CurrentId(), -1);
    EXPECT_EQ(profiles.ChooseByName("Bo"), Choose::Created);
    EXPECT_EQ(profiles.ChooseByName("Ann Lee"), Choose::Created);
    EXPECT_EQ(profiles.FileName(), "Ann_Lee");
    ASSERT_TRUE(profiles.Save(folder));
    EXPECT_EQ(ReadTextFile(dir / "_save/options.cfg"), ListFile("1", "Ann_Lee", "2", "Bo ; Ann_Lee ; "));

    PlayerProfiles loaded;
    loaded.Load(folder);
    EXPECT_EQ(loaded.Names(), (std::vector<std::string>{"Bo", "Ann Lee"}));
    EXPECT_EQ(loaded.CurrentId(), 1);
    EXPECT_EQ(loaded.CurrentName(), "Ann Lee");
    EXPECT_EQ(loaded.FileName(), "Ann_Lee");
    EXPECT_FALSE(std::filesystem::exists(dir / "_save/options.cfg.bad"));
}

TEST(PlayerProfilesTest, InternationalNamesAreKeptAsUtf8OfUpToFifteenCharacters)
{
    TempDir dir;
    const SaveFolder folder(dir.Path());
    PlayerProfiles profiles;
    // UTF-8 in memory and on disk; the length counts characters.
    const std::string juergen = "J\xC3\xBCrgen \xC3\x98""deg\xC3\xA5rd";
    const std::string fifteen = "\xC5\x81\xC3\x93\xC4\x84\xC5\x9A\xC5\xBB\xC5\xB9\xC4\x86\xC5\x83"
                                "\xC4\x98\xC5\x82\xC3\xB3\xC4\x85\xC5\x9B\xC5\xBC\xC5\xBA"; // Polish letters
    ASSERT_EQ(fifteen.size(), 30u);
    EXPECT_EQ(profiles.ChooseByName(fifteen), Choose::Created) << "15 characters, 30 bytes on disk";
    EXPECT_EQ(profiles.ChooseByName(fifteen + "a"), Choose::Refused);
    EXPECT_EQ(profiles.ChooseByName(juergen), Choose::Created);
    EXPECT_EQ(profiles.FileName(), "J\xC3\xBCrgen_\xC3\x98""deg\xC3\xA5rd") << "a UTF-8 file name";
    ASSERT_TRUE(profiles.Save(folder));
    EXPECT_EQ(ReadTextFile(dir / "_save/options.cfg"),
              ListFile("1", "J\xC3\xBCrgen_\xC3\x98""deg\xC3\xA5rd", "2",
                       fifteen + " ; J\xC3\xBCrgen_\xC3\x98""deg\xC3\xA5rd ; "));
    PlayerProfiles loaded;
    loaded.Load(folder);
    EXPECT_EQ(loaded.Names(), (std::vector<std::string>{fifteen, juergen}));
    EXPECT_EQ(loaded.CurrentName(), juergen);
    EXPECT_FALSE(std::filesystem::exists(dir / "_save/options.cfg.bad"));

    // A list an older build wrote with Latin-1 bytes still reads, and a
    // name that is no UTF-8 cannot be chosen.
    bool mended = true;
    const PlayerProfiles old = Parsed(ListFile("0", "J\xFCrgen", "1", "J\xFCrgen ; "), mended);
    EXPECT_FALSE(mended);
    EXPECT_EQ(old.CurrentName(), "J\xC3\xBCrgen");
    EXPECT_EQ(profiles.ChooseByName("J\xFCrgen"), Choose::Refused);
    // Latin-1's control characters are refused like ASCII's.
    EXPECT_FALSE(PlayerProfiles::IsAllowedNameChar(0x85));
    EXPECT_TRUE(PlayerProfiles::IsAllowedNameChar(0xA0));
}

TEST(PlayerProfilesTest, ChoosingByNameSelectsOrAppendsWithoutTheSpacesAround)
{
    PlayerProfiles profiles;
    EXPECT_EQ(profiles.ChooseByName(""), Choose::Created);
    EXPECT_EQ(profiles.CurrentName(), "Player");
    EXPECT_EQ(profiles.ChooseByName(" Ann Lee  "), Choose::Created);
    EXPECT_EQ(profiles.CurrentName(), "Ann Lee");
    EXPECT_EQ(profiles.ChooseByName("ann lee"), Choose::Created);
    EXPECT_EQ(profiles.ChooseByName("   "), Choose::Chosen) << "a name of spaces is no name";
    EXPECT_EQ(profiles.CurrentId(), 0);
    EXPECT_EQ(profiles.ChooseByName(" Player"), Choose::Chosen);
    EXPECT_EQ(profiles.ChooseByName("Ann Lee"), Choose::Chosen);
    EXPECT_EQ(profiles.CurrentId(), 1);
    EXPECT_EQ(profiles.Count(), 3);

    profiles.Select(2);
    EXPECT_EQ(profiles.CurrentName(), "ann lee");
    for (int outside : {7, -1})
    {
        profiles.Select(outside);
        EXPECT_EQ(profiles.CurrentId(), 0) << outside;
    }
}

TEST(PlayerProfilesTest, TheListHoldsAtMost128Profiles)
{
    PlayerProfiles profiles;
    for (int i = 0; i < PlayerProfiles::kMaxProfiles; ++i)
        ASSERT_EQ(profiles.ChooseByName("P" + std::to_string(i)), Choose::Created);
    EXPECT_EQ(profiles.ChooseByName("One too many"), Choose::Refused);
    EXPECT_EQ(profiles.Count(), 128);
    EXPECT_EQ(profiles.CurrentName(), "P127");
    EXPECT_EQ(profiles.ChooseByName("P5"), Choose::Chosen);
    EXPECT_EQ(profiles.CurrentId(), 5);
}

TEST(PlayerProfilesTest, NamesThatMakeUnsafeFileNamesAreRefused)
{
    for (char c : std::string("#$%&()*+-.:^@/\\_\t\n\x7f"))
        EXPECT_FALSE(PlayerProfiles::IsAllowedNameChar(static_cast<char32_t>(c))) << int(c);
    EXPECT_FALSE(PlayerProfiles::IsAllowedNameChar('\0'));
    for (char c : std::string("azAZ09 !;,'=[]{}~"))
        EXPECT_TRUE(PlayerProfiles::IsAllowedNameChar(static_cast<char32_t>(c))) << c;

    PlayerProfiles profiles;
    for (const std::string name : {"../etc", "..", "a/b", "a\\b", "tab\tname", "Ann_Lee",
                                   "sixteen chars xx", "x@y", "dot."})
        EXPECT_EQ(profiles.ChooseByName(name), Choose::Refused) << name;
    EXPECT_EQ(profiles.Count(), 0);
    EXPECT_EQ(profiles.ChooseByName("fifteen chars x"), Choose::Created);
}

TEST(PlayerProfilesTest, DeletingMovesTheCurrentPlayer)
{
    PlayerProfiles profiles;
    for (const char* name : {"A", "B", "C", "D"})
        profiles.ChooseByName(name);
    profiles.Delete(3);
    EXPECT_EQ(profiles.CurrentName(), "C");
    profiles.Delete(0);
    EXPECT_EQ(profiles.CurrentName(), "B");
    EXPECT_EQ(profiles.CurrentId(), 0);
    profiles.Delete(1);
    profiles.Delete(0);
    EXPECT_EQ(profiles.Count(), 0);
    EXPECT_EQ(profiles.CurrentId(), -1);
    EXPECT_EQ(profiles.CurrentName(), "");
    EXPECT_EQ(profiles.FileName(), "Unknown");
    EXPECT_EQ(profiles.Format(), ListFile("0", "Unknown", "0", ""));
    profiles.Delete(0);
    EXPECT_EQ(profiles.Count(), 0);
    EXPECT_EQ(profiles.ChooseByName("Eve"), Choose::Created);
    EXPECT_EQ(profiles.CurrentName(), "Eve");
}

TEST(PlayerProfilesTest, HostileListFilesAreMended)
{
    const std::string longName(40, 'L');
    struct Case
    {
        std::string id, name, count, names;
        std::vector<std::string> expected;
        std::string current;
    };
    // Unsafe, too long and repeated names are dropped; the current id follows its name.
    const Case cases[] = {
        {"1", longName, "3", "Ann ; " + longName + " ; Bo ; ", {"Ann", "Bo"}, "Ann"},
        {"2", "Cy", "99999999999999999999", "Ann ; Bo ; Cy ; ", {"Ann", "Bo", "Cy"}, "Cy"},
        {"-7", "Ann", "2", "Ann ; Bo ; ", {"Ann", "Bo"}, "Ann"},
        {"2", "Ann", "2", "Ann ; Bo ; ", {"Ann", "Bo"}, "Ann"},
        {"0", "Ann", "-3", "Ann ; ", {}, "Unknown"},
        {"3", "Dee", "4", "../x ; Bo ; Bo ; Dee ; ", {"Bo", "Dee"}, "Dee"},
    };
    bool mended = false;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.id + " " + c.name + " " + c.count + " " + c.names);
        const auto p = Parsed(ListFile(c.id, c.name, c.count, c.names), mended);
        EXPECT_TRUE(mended);
        EXPECT_EQ(p.Names(), c.expected);
        EXPECT_EQ(p.CurrentName(), c.current);
    }

    std::string many;
    for (int i = 0; i < 200; ++i)
        many += "P" + std::to_string(i) + " ; ";
    auto p = Parsed(ListFile("150", "P150", "200", many), mended);
    EXPECT_TRUE(mended);
    EXPECT_EQ(p.Count(), 128);
    EXPECT_EQ(p.CurrentId(), 0);

    const std::string whole = ListFile("1", "Bo", "3", "Ann ; Bo ; Cy ; ");
    for (size_t cut : {0ul, 3ul, 30ul, whole.find("Bo ;")})
    {
        p = Parsed(whole.substr(0, cut), mended);
        EXPECT_TRUE(mended) << cut;
        EXPECT_LE(p.Count(), 3);
        EXPECT_TRUE(p.Count() == 0 || p.CurrentId() < p.Count());
    }
    p = Parsed(whole.substr(0, whole.find("Cy ;")), mended);
    EXPECT_EQ(p.Names(), (std::vector<std::string>{"Ann", "Bo"}));
    EXPECT_EQ(p.CurrentName(), "Bo");

    p = Parsed(whole, mended);
    EXPECT_FALSE(mended);
    EXPECT_EQ(p.CurrentName(), "Bo");
}

TEST(PlayerProfilesTest, ADamagedListFileIsKeptAsideAndTheMendedListWritten)
{
    TempDir dir;
    const SaveFolder folder(dir.Path());
    const std::string hostile = ListFile("9", "x/y", "500", "Ann ; x/y ; ");
    std::filesystem::create_directories(folder.Directory());
    WriteText(dir / "_save/options.cfg", hostile);
    PlayerProfiles profiles;
    profiles.Load(folder);
    EXPECT_EQ(profiles.Names(), (std::vector<std::string>{"Ann"}));
    EXPECT_EQ(ReadTextFile(dir / "_save/options.cfg.bad"), hostile);
    EXPECT_EQ(ReadTextFile(dir / "_save/options.cfg"), ListFile("0", "Ann", "1", "Ann ; "));

    // A file far beyond any list is read no further than its bound.
    WriteText(dir / "_save/options.cfg", ListFile("0", "Bo", "1", "Bo ; ") + std::string(1 << 20, ' '));
    profiles.Load(folder);
    EXPECT_EQ(profiles.Names(), (std::vector<std::string>{"Bo"}));
    EXPECT_TRUE(std::filesystem::exists(dir / "_save/options.cfg.bad2"));

    // No file: no profiles, and nothing written.
    TempDir empty;
    PlayerProfiles none;
    none.Load(SaveFolder(empty.Path()));
    EXPECT_EQ(none.Count(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(empty.Path()));
}
