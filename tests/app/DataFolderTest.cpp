#include "TestApp.h"
#include "support/TempDir.h"

#include "framework/app/DataFolder.h"
#include "framework/graphics/ImageLib.h"
#include "framework/platform/FileSystem.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

using namespace Quillo;
namespace fs = std::filesystem;

namespace
{

constexpr const char* kMarker = "properties/resources.xml";
constexpr const char* kInstalled = "../share/spindrel";

// A program folder "prefix/bin" and, when asked, data beside it and in
// "prefix/share/spindrel".
class Layout
{
public:
    Layout()
    {
        fs::create_directories(Program());
        fs::create_directories(Shared());
    }
    std::string Program() const { return m_root / "prefix/bin"; }
    std::string Shared() const { return m_root / "prefix/share/spindrel"; }
    static void PutData(const std::string& folder, const std::string& marker = kMarker)
    {
        fs::create_directories(fs::path(folder + "/" + marker).parent_path());
        std::ofstream(folder + "/" + marker) << "<ResourceManifest/>";
    }

private:
    TempDir m_root;
};

// Message boxes go to the error stream, where a death test can see them.
class LoudPlatform : public FakePlatform
{
public:
    int ShowMessageBox(const std::string& text, const std::string& title,
                       MessageBoxKind kind) override
    {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
        return FakePlatform::ShowMessageBox(text, title, kind);
    }
};

// Restores the working directory the test started in.
class KeepDirectory
{
public:
    ~KeepDirectory() { fs::current_path(m_before); }

private:
    fs::path m_before = fs::current_path();
};

} // namespace

TEST(DataFolderTest, DataBesideTheProgramWinsOverTheInstalledFolder)
{
    KeepDirectory keep;
    struct Case
    {
        const char* what;
        bool beside;
        const char* marker;
        DataFolder::Place place;
    } cases[] = {
        {"installed only", false, kMarker, DataFolder::Place::Installed},
        // Matched as the data reader matches names.
        {"other case", false, "Properties/Resources.XML", DataFolder::Place::Installed},
        {"both", true, kMarker, DataFolder::Place::BesideProgram},
    };
    // One application enters each in turn.
    TestApp app;
    app.installedDataPath = kInstalled;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        Layout layout;
        Layout::PutData(layout.Shared(), c.marker);
        if (c.beside)
            Layout::PutData(layout.Program(), c.marker);
        const DataFolder data = DataFolder::Find(layout.Program(), kInstalled, kMarker);
        const bool installed = c.place == DataFolder::Place::Installed;
        EXPECT_EQ(data.Where(), c.place);
        EXPECT_EQ(data.IsInstalled(), installed);
        // Normalised: no "bin/.." in what becomes the working directory.
        EXPECT_EQ(data.Directory(), c.beside ? layout.Program() : layout.Shared());
        app.EnterDataFolder(layout.Program());
        EXPECT_EQ(app.IsDataInstalled(), installed);
        EXPECT_EQ(fs::current_path(), fs::path(data.Directory()));
    }

    // An absolute shared folder is taken as it is.
    Layout layout;
    Layout::PutData(layout.Shared());
    const DataFolder absolute = DataFolder::Find("/nowhere", layout.Shared() + "/", kMarker);
    EXPECT_EQ(absolute.Where(), DataFolder::Place::Installed);
    EXPECT_EQ(absolute.Directory(), layout.Shared());
}

TEST(DataFolderTest, NeitherFolderHoldsTheData)
{
    Layout layout;
    // Near misses: the other data folders without the manifest, and a
    // folder where the manifest file should be.
    fs::create_directories(layout.Program() + "/gfx");
    fs::create_directories(layout.Shared() + "/" + kMarker);
    const DataFolder data = DataFolder::Find(layout.Program(), kInstalled, kMarker);
    EXPECT_EQ(data.Where(), DataFolder::Place::Missing);
    EXPECT_TRUE(data.Directory().empty());
    const std::string message = data.MissingMessage("Spindrel");
    for (const std::string& part : {std::string("Spindrel"), std::string(kMarker), layout.Program(),
                                     layout.Shared()})
        EXPECT_NE(message.find(part), std::string::npos) << part << " in " << message;
    EXPECT_EQ(message.find(".."), std::string::npos) << message;

    // A program with no installed layout names only its own folder.
    const DataFolder alone = DataFolder::Find(layout.Program(), "", kMarker);
    EXPECT_EQ(alone.Where(), DataFolder::Place::Missing);
    EXPECT_TRUE(alone.InstalledCandidate().empty());
    EXPECT_EQ(alone.MissingMessage("Spindrel").find("share"), std::string::npos);
}

TEST(DataFolderTest, AnApplicationWithoutItsDataEndsWithAMessage)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    KeepDirectory keep;
    Layout layout;
    TestApp app;
    app.SetPlatform(std::make_unique<LoudPlatform>());
    app.productName = "Spindrel";
    app.installedDataPath = kInstalled;
    EXPECT_EXIT(app.EnterDataFolder(layout.Program()), ::testing::ExitedWithCode(1),
                "Spindrel cannot find its data");

    // Without an installed layout the manifest's own error reports it later.
    app.installedDataPath.clear();
    app.EnterDataFolder(layout.Program());
    EXPECT_FALSE(app.IsDataInstalled());
    EXPECT_EQ(fs::current_path(), fs::path(layout.Program()));
}

namespace
{

class IconPlatform : public FakePlatform
{
public:
    void SetWindowIcon(const uint32_t* argb, int width, int height) override
    {
        ++calls;
        pixels.assign(argb, argb + width * height);
        iconWidth = width;
        iconHeight = height;
    }
    int calls = 0;
    int iconWidth = 0;
    int iconHeight = 0;
    std::vector<uint32_t> pixels;
};

} // namespace

TEST(DataFolderTest, TheWindowIconComesFromTheDataFolder)
{
    KeepDirectory keep;
    TempDir data;
    fs::create_directories(data / "gfx");
    ImageLib::Image picture(3, 2);
    for (int i = 0; i < 6; ++i)
        picture.bits[i] = 0x80000000u | static_cast<uint32_t>(i * 0x102030);
    ASSERT_TRUE(ImageLib::WritePNG(data / "gfx/icon.png", picture));
    fs::current_path(data.Path());

    TestApp app;
    auto platform = std::make_unique<IconPlatform>();
    IconPlatform* icons = platform.get();
    app.SetPlatform(std::move(platform));
    app.platformFake = icons;
    app.windowIconPath = "gfx/icon.png";
    app.ApplyWindowIcon();
    ASSERT_EQ(icons->calls, 1);
    EXPECT_EQ(icons->iconWidth, 3);
    EXPECT_EQ(icons->iconHeight, 2);
    EXPECT_EQ(icons->pixels, std::vector<uint32_t>(picture.bits.get(), picture.bits.get() + 6));

    // No icon in the data: the window keeps the desktop's default.
    app.windowIconPath = "gfx/missing.png";
    app.ApplyWindowIcon();
    app.windowIconPath.clear();
    app.ApplyWindowIcon();
    EXPECT_EQ(icons->calls, 1);
}

TEST(DataFolderTest, TheProgramsOwnFilesGoToTheOutputFolder)
{
    KeepDirectory keep;
    TempDir dir;
    fs::create_directories(dir / "data");
    fs::current_path(dir / "data");
    TestApp app;
    // An installed game's output folder is the player's, made on demand.
    app.SetOutputFolder(dir / "player");
    EXPECT_EQ(app.OutputFolder(), dir / "player/");
    EXPECT_TRUE(fs::is_directory(dir / "player"));
    app.LogToErrorFile("a line");
    EXPECT_TRUE(fs::exists(dir / "player/ScrError.txt"));
    EXPECT_FALSE(fs::exists(dir / "data/ScrError.txt"));

    app.SetOutputFolder("");
    EXPECT_EQ(app.OutputFolder(), "");
}
