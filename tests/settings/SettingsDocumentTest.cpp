#include "framework/platform/SettingsDocument.h"

#include <gtest/gtest.h>

using Quillo::SettingsDocument;
using Quillo::SettingsType;

namespace
{

std::string Text(const Quillo::SettingsValue* v)
{
    return v ? std::string(v->data.begin(), v->data.end()) : std::string("<none>");
}

} // namespace

TEST(SettingsDocument, ReadsTheSampleFile)
{
    const auto doc = SettingsDocument::Parse("# QuilloSettings 1\n"
                                             "[]\n"
                                             "MusicVolume=dword:85\n"
                                             "PreferredX=dword:4294967295\n"
                                             "[Test3D]\n"
                                             "FailureReason=sz:No%20hardware%203D%20path\n"
                                             "Blob=binary:0aff\n");
    const auto* music = doc.Find("", "musicvolume");
    ASSERT_NE(music, nullptr);
    EXPECT_EQ(music->type, SettingsType::Integer);
    EXPECT_EQ(music->data, (std::vector<uint8_t>{85, 0, 0, 0}));
    EXPECT_EQ(doc.Find("", "PreferredX")->data, (std::vector<uint8_t>{0xff, 0xff, 0xff, 0xff}));
    EXPECT_EQ(Text(doc.Find("test3d", "FailureReason")), "No hardware 3D path");
    EXPECT_EQ(doc.Find("Test3D", "Blob")->data, (std::vector<uint8_t>{0x0a, 0xff}));
    EXPECT_EQ(doc.Find("", "FailureReason"), nullptr);
}

TEST(SettingsDocument, SkipsBadLinesAndKeepsTheRest)
{
    const auto doc = SettingsDocument::Parse("[]\r\n"
                                             "A=dword:12\r\n"
                                             "garbage without equals\n"
                                             "B=dword:-1\n"
                                             "C=dword:4294967296\n"
                                             "D=sz:bad%2\n"
                                             "E=binary:abc\n"
                                             "F=qword:1\n"
                                             "[Bad%ZZ]\n"
                                             "Lost=dword:1\n"
                                             "[Good]\n"
                                             "G=sz:ok\n");
    EXPECT_NE(doc.Find("", "A"), nullptr);
    for (const char* name : {"B", "C", "D", "E", "F", "Lost"})
        EXPECT_EQ(doc.Find("", name), nullptr) << name;
    EXPECT_EQ(Text(doc.Find("Good", "G")), "ok");
    EXPECT_FALSE(doc.HasKey("Bad%ZZ"));
}

TEST(SettingsDocument, RoundTripsAwkwardNamesAndBytes)
{
    SettingsDocument doc = SettingsDocument::Parse("");
    const std::string odd = std::string("a=b:c%d\n[e]\\ f") + '\0' + "\xff";
    doc.Set("Sub Key\\Deeper", odd, SettingsType::String, reinterpret_cast<const uint8_t*>(odd.data()), odd.size());
    doc.Set("", "", SettingsType::Binary, nullptr, 0);
    const auto again = SettingsDocument::Parse(doc.Serialize());
    EXPECT_EQ(Text(again.Find("sub key\\DEEPER", odd)), odd);
    EXPECT_TRUE(again.HasKey("Sub Key"));
    ASSERT_NE(again.Find("", ""), nullptr);
    EXPECT_TRUE(again.Find("", "")->data.empty());
}

TEST(SettingsDocument, NamesCompareWithoutCaseAndLaterLinesWin)
{
    auto doc = SettingsDocument::Parse("[]\nVolume=dword:1\nVOLUME=dword:2\n");
    EXPECT_EQ(doc.Find("", "volume")->data[0], 2);
    const uint8_t three[4] = {3, 0, 0, 0};
    doc.Set("", "vOlUmE", SettingsType::Integer, three, 4);
    EXPECT_EQ(doc.Find("", "Volume")->data[0], 3);
    EXPECT_TRUE(doc.Erase("", "VOLUME"));
    EXPECT_FALSE(doc.Erase("", "Volume"));
    EXPECT_EQ(doc.Serialize().find("olume"), std::string::npos);
}
