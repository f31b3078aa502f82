#include "framework/audio/SoundManager.h"
#include "framework/graphics/FontData.h"
#include "framework/graphics/ImageFont.h"
#include "framework/graphics/ImageLib.h"
#include "framework/resources/ResourceHost.h"
#include "framework/resources/ResourceManager.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

using Quillo::ResourceManager;
using Quillo::ResourceManagerException;

namespace
{

class FakeSounds : public Quillo::SoundManager
{
public:
    bool HasDevice() override { return true; }
    bool LoadEffect(int id, const std::string& path) override
    {
        if (missing.count(path))
            return false;
        loads.emplace_back(id, path);
        loaded.insert(id);
        return true;
    }
    void UnloadEffect(int id) override { loaded.erase(id); }
    void SetEffectsVolume(double) override {}
    bool SetEffectBaseVolume(int id, double volume) override
    {
        volumes[id] = volume;
        return true;
    }
    bool SetEffectBasePan(int id, int pan) override
    {
        pans[id] = pan;
        return true;
    }
    Quillo::SoundInstance* NewInstance(int) override { return nullptr; }
    void UnloadAllEffects() override { loaded.clear(); }
    void DeleteAllInstances() override {}
    double GetSystemVolume() override { return 1.0; }
    void SetSystemVolume(double) override {}
    void AttachToWindow(void*, bool) override {}
    void StopAllInstances() override {}

    std::set<std::string> missing;
    std::vector<std::pair<int, std::string>> loads;
    std::set<int> loaded;
    std::map<int, double> volumes;
    std::map<int, int> pans;
};

class Host : public Quillo::ResourceHost
{
public:
    Quillo::SoundManager* GetSoundManager() override { return &sounds; }
    void ShowFatalError(const std::string& text) override { errors.push_back(text); }
    FakeSounds sounds;
    std::vector<std::string> errors;
};

class ResourceManagerTest : public ::testing::Test
{
protected:
    void WritePng(const std::string& name, int width, int height, uint32_t color)
    {
        Quillo::ImageLib::Image image(width, height);
        for (int i = 0; i < width * height; ++i)
            image.bits[i] = color;
        ASSERT_TRUE(Quillo::ImageLib::WritePNG(dir / name, image));
    }
    void WriteText(const std::string& name, const std::string& text) { std::ofstream(dir / name) << text; }

    // A manifest whose groups take their files from the temporary folder.
    std::string Manifest(const std::string& body)
    {
        WriteText("resources.xml", "<?xml version=\"1.0\"?>\n<ResourceManifest>\n" + body +
                                       "</ResourceManifest>\n");
        return dir / "resources.xml";
    }
    std::string Defaults(const std::string& extra = "") const
    {
        return "<SetDefaults path=\"" + dir.Path() + "\" " + extra + "/>\n";
    }
    bool Parse(const std::string& body) { return manager.ParseResourcesFile(Manifest(body)); }
    std::string InFile() const { return " in File '" + (dir / "resources.xml") + "'"; }

    TempDir dir;
    Host host;
    ResourceManager manager{&host};
};

} // namespace

TEST_F(ResourceManagerTest, ParseErrorsNameTheLineAndFile)
{
    const std::string head = "<?xml version=\"1.0\"?>\n<ResourceManifest>\n";
    struct Case
    {
        std::string body; // inside the manifest tag, or the whole file when `whole`
        std::string error;
        bool whole = false;
    };
    const Case cases[] = {
        {"<Resources>\n</Resources>\n", "No id specified. on Line 3"},
        {"<Other id=\"a\"/>\n", "Invalid Section 'Other' on Line 3"},
        {"<Resources id=\"G\">\n<Picture path=\"x\"/>\n</Resources>\n", "Invalid Section 'Picture' on Line 4"},
        {"loose text\n<Resources id=\"G\"/>\n", "Element Not Expected 'loose text' on Line 4"},
        {"<Resources id=\"G\">\n words \n</Resources>\n", "Element Not Expected 'words' on Line 5"},
        {"<Resources id=\"G\">\n<Image path=\"a\">\n<Image path=\"b\"/>\n</Image>\n</Resources>\n",
         "Unexpected element found. on Line 5"},
        {"<Resources id=\"G\">\n<Image id=\"A\"/>\n</Resources>\n", "No path specified. on Line 4"},
        {"<Resources id=\"G\">\n<Image id=\"A\" path=\"a\"/>\n<Image id=\"A\" path=\"b\"/>\n</Resources>\n",
         "Resource already defined. on Line 5"},
        {"<Resources id=\"G\">\n<Image path=\"a\" anim=\"bounce\"/>\n</Resources>\n",
         "Invalid animation type. on Line 4"},
        {"<Resources id=\"G\">\n<Image path=\"a\"/>\n</Sounds>\n", "End 'Sounds' Doesn't Match Start 'Resources' on Line 5"},
        {"<?xml version=\"1.0\"?>\n<!-- no manifest -->\n<Resources id=\"G\"/>", "Expecting ResourceManifest tag on Line 3", true},
        {"  \n", "Expecting ResourceManifest tag on Line 2", true},
        // A manifest cut short, inside a group or after it, is damaged: the
        // resources it lost would be missed only later.
        {head + "<Resources id=\"G\">\n", "Unexpected End of File on Line 3", true},
        {head + "<Resources id=\"G\">\n</Resources>\n", "Unexpected End of File on Line 2", true},
        {"<ResourceManifest>\n<Resources id=\"G\">\n<Image path=\"a\"/>\n", "Unexpected End of File on Line 2", true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.body);
        if (c.whole)
            WriteText("resources.xml", c.body);
        ResourceManager fresh(&host);
        EXPECT_FALSE(fresh.ParseResourcesFile(c.whole ? dir / "resources.xml" : Manifest(c.body)));
        EXPECT_TRUE(fresh.HadError());
        EXPECT_EQ(fresh.GetErrorText(), c.error + InFile());
    }
    ResourceManager missing(&host);
    EXPECT_FALSE(missing.ParseResourcesFile(dir / "none.xml"));
    EXPECT_EQ(missing.GetErrorText(), "Resource file not found: " + (dir / "none.xml"));
}

TEST_F(ResourceManagerTest, DefaultsBuildPathsAndIds)
{
    ASSERT_TRUE(Parse("<Resources id=\"G\">\n"
                      "<SetDefaults path=\"gfx/\" idprefix=\"IMAGE_\"/>\n"
                      "<Image path=\"menu/start.png\"/>\n"
                      "<SetDefaults path=\"gfx\"/>\n"
                      "<Image id=\"B\" path=\"b.jpg\"/>\n"
                      "<Sound id=\"B\" path=\"b\" volume=\"0.5\" pan=\"-300\"/>\n"
                      "<SetDefaults path=\"\" idprefix=\"FONT_\\\"/>\n"
                      "<Font path=\"fonts/main.txt\" tags=\"a, b\"/>\n"
                      "<Image id=\"P\" path=\"!program\"/>\n"
                      "</Resources>\n"
                      "<Resources id=\"H\" path=\"images/\"><Image path=\"x\"/></Resources>\n"))
        << manager.GetErrorText();
    const auto& images = manager.Images();
    ASSERT_TRUE(images.count("IMAGE_start"));
    EXPECT_EQ(images.at("IMAGE_start")->path, "gfx/menu/start.png");
    EXPECT_EQ(images.at("IMAGE_B")->path, "gfx/b.jpg");
    EXPECT_EQ(images.at("IMAGE_B")->group, "G");
    EXPECT_EQ(images.at("IMAGE_B")->xmlAttributes.at("id"), "B");
    EXPECT_EQ(manager.Sounds().at("IMAGE_B")->volume, 0.5);
    EXPECT_EQ(manager.Sounds().at("IMAGE_B")->pan, -300);
    // An empty default path adds nothing, not a leading "/".
    EXPECT_EQ(manager.Fonts().at("FONT_main")->path, "fonts/main.txt");
    EXPECT_EQ(manager.Fonts().at("FONT_main")->tags, "a, b");
    EXPECT_TRUE(images.at("FONT_P")->fromProgram);
    EXPECT_EQ(images.at("FONT_P")->path, "!program");
    // Prefix and path carry over into the next group. (The trailing '/' of
    // its quoted path used to close the group tag itself.)
    ASSERT_TRUE(images.count("FONT_x"));
    EXPECT_EQ(images.at("FONT_x")->path, "x");
    EXPECT_EQ(images.at("FONT_x")->group, "H");

    EXPECT_EQ(manager.CountImages("G"), 2);
    EXPECT_EQ(manager.CountSounds("G"), 1);
    EXPECT_EQ(manager.CountFonts("G"), 1);
    EXPECT_EQ(manager.CountResources("G"), 4);
    EXPECT_EQ(manager.CountResources("H"), 1);
    EXPECT_EQ(manager.CountResources(""), 6);
}

TEST_F(ResourceManagerTest, AnimationAttributes)
{
    ASSERT_TRUE(Parse("<Resources id=\"G\">\n"
                      "<Image id=\"L\" path=\"l\" rows=\"2\" cols=\"5\" anim=\"loop\" framedelay=\"30\" enddelay=\"100\"/>\n"
                      "<Image id=\"P\" path=\"p\" cols=\"5\" anim=\"pingpong\"/>\n"
                      "<Image id=\"M\" path=\"m\" cols=\" 3x\" anim=\"once\" perframedelay=\"10,20\" framemap=\"2,1,0,1\"/>\n"
                      "<Image id=\"N\" path=\"n\" cols=\"0\" rows=\"-4\" anim=\"none\" framedelay=\"7\"/>\n"
                      "</Resources>\n"))
        << manager.GetErrorText();
    const auto& l = manager.Images().at("L")->animInfo;
    EXPECT_EQ(l.animType, Quillo::AnimInfo::AnimLoop);
    EXPECT_EQ(l.numCels, 5);
    EXPECT_EQ(l.perFrameDelay, (std::vector<int32_t>{30, 30, 30, 30, 100}));
    EXPECT_EQ(l.totalAnimTime, 220);
    const auto& p = manager.Images().at("P")->animInfo;
    EXPECT_EQ(p.frameMap, (std::vector<int32_t>{0, 1, 2, 3, 4, 3, 2, 1}));
    EXPECT_EQ(p.numCels, 8);
    const auto& m = manager.Images().at("M")->animInfo;
    EXPECT_EQ(manager.Images().at("M")->cols, 3);
    EXPECT_EQ(m.frameMap, (std::vector<int32_t>{2, 1, 0, 1}));
    EXPECT_EQ(m.perFrameDelay, (std::vector<int32_t>{10, 20, 1, 1}));
    const auto& n = *manager.Images().at("N");
    EXPECT_EQ(n.animInfo.frameDelay, 1);
    // A grid of no cels would divide by zero later.
    EXPECT_EQ(n.cols, 1);
    EXPECT_EQ(n.rows, 1);
}

TEST_F(ResourceManagerTest, GroupsLoadCountAndUnload)
{
    WritePng("a.png", 4, 2, 0xFF112233);
    WritePng("b.png", 2, 2, 0x80FFFFFF);
    WriteText("font.txt", "CreateLayer Main; LayerSetCharWidths Main ('x') (5);");
    ASSERT_TRUE(Parse("<Resources id=\"Menu\">\n" + Defaults("idprefix=\"M_\"") +
                      "<Image id=\"A\" path=\"a.png\" rows=\"2\" cols=\"2\" anim=\"loop\"/>\n"
                      "<Image id=\"B\" path=\"b\" nopal=\"1\"/>\n"
                      "<Image id=\"Made\" path=\"!program\"/>\n"
                      "<Sound id=\"CLICK\" path=\"click\" volume=\"0.25\" pan=\"40\"/>\n"
                      "<Font id=\"F\" path=\"font.txt\" tags=\"big, Shadow\"/>\n"
                      "<Font id=\"G\" path=\"!ref:M_F\" tags=\"extra\"/>\n"
                      "</Resources>\n"
                      "<Resources id=\"Game\">\n<Sound id=\"POP\" path=\"pop\"/>\n</Resources>\n"))
        << manager.GetErrorText();

    EXPECT_EQ(manager.CountResources("Menu"), 5);

    manager.StartLoadResources("Menu");
    int loaded = 0;
    while (manager.LoadNextResource())
        ++loaded;
    EXPECT_FALSE(manager.HadError()) << manager.GetErrorText();
    EXPECT_EQ(loaded, 5);

    Quillo::MemoryImage* a = manager.GetImageOrFail("M_A");
    EXPECT_EQ(a->width, 4);
    EXPECT_EQ(a->numRows, 2);
    EXPECT_EQ(a->numCols, 2);
    ASSERT_NE(a->animInfo, nullptr);
    EXPECT_EQ(a->animInfo->numCels, 2);
    EXPECT_TRUE(a->IsPalettized());
    EXPECT_EQ(a->PixelAt(3, 1), 0xFF112233u);
    Quillo::MemoryImage* b = manager.GetImageOrFail("M_B");
    EXPECT_FALSE(b->IsPalettized());
    EXPECT_EQ(b->animInfo, nullptr);
    EXPECT_EQ(b->PixelAt(0, 0), 0x80FFFFFFu);

    EXPECT_EQ(manager.GetSoundOrFail("M_CLICK"), 0);
    EXPECT_EQ(host.sounds.loads, (std::vector<std::pair<int, std::string>>{{0, dir / "click"}}));
    EXPECT_EQ(host.sounds.volumes.at(0), 0.25);
    EXPECT_EQ(host.sounds.pans.at(0), 40);
    EXPECT_THROW(manager.GetSoundOrFail("M_POP"), ResourceManagerException);

    Quillo::ImageFont* f = manager.GetFontOrFail("M_F");
    EXPECT_TRUE(f->HasTag("BIG"));
    EXPECT_TRUE(f->HasTag("shadow"));
    EXPECT_EQ(f->TextWidth("xx"), 10);
    Quillo::ImageFont* g = manager.GetFontOrFail("M_G");
    EXPECT_EQ(&g->GetFontData(), &f->GetFontData());
    EXPECT_TRUE(g->HasTag("extra"));
    EXPECT_TRUE(g->HasTag("big"));

    // A loaded group loads nothing more.
    EXPECT_TRUE(manager.LoadResources("Menu"));
    manager.StartLoadResources("Menu");
    EXPECT_FALSE(manager.LoadNextResource());

    manager.DeleteResources("Menu");
    EXPECT_THROW(manager.GetImageOrFail("M_A"), ResourceManagerException);
    EXPECT_EQ(manager.GetFont("M_F"), nullptr);
    EXPECT_TRUE(host.sounds.loaded.empty());

    // Deleting again does not disturb the ids: the sound reloads into its slot.
    EXPECT_TRUE(manager.LoadResources("Menu")) << manager.GetErrorText();
    EXPECT_NE(manager.GetImageOrFail("M_A"), nullptr);
    EXPECT_EQ(manager.GetSoundOrFail("M_CLICK"), 0);
    EXPECT_TRUE(manager.LoadResources("Game"));
    EXPECT_EQ(manager.GetSoundOrFail("M_POP"), 1);
    for (int i = 0; i < 300; ++i)
    {
        manager.DeleteResources("Game");
        ASSERT_TRUE(manager.LoadResources("Game"));
    }
    EXPECT_EQ(manager.GetSoundOrFail("M_POP"), 1);
}

TEST_F(ResourceManagerTest, TheFirstErrorWins)
{
    WritePng("ok.png", 2, 2, 0xFFFFFFFF);
    ASSERT_TRUE(Parse("<Resources id=\"G\">\n" + Defaults() +
                      "<Image id=\"A_missing\" path=\"nothere1\"/>\n"
                      "<Image id=\"B_missing\" path=\"nothere2\"/>\n"
                      "<Image id=\"C_ok\" path=\"ok\"/>\n"
                      "</Resources>\n"));
    EXPECT_FALSE(manager.LoadResources("G"));
    EXPECT_EQ(manager.GetErrorText(), "Failed to load image: " + (dir / "nothere1"));
    // After an error nothing more is loaded.
    EXPECT_THROW(manager.GetImageOrFail("C_ok"), ResourceManagerException);
    EXPECT_EQ(manager.GetErrorText(), "Failed to load image: " + (dir / "nothere1"));

    try
    {
        manager.GetFontOrFail("NOFONT");
        ADD_FAILURE() << "no exception";
    }
    catch (const ResourceManagerException& e)
    {
        EXPECT_STREQ(e.what(), "Font resource not found: NOFONT");
    }

    // Loading again starts a fresh error text.
    ResourceManager other(&host);
    ASSERT_TRUE(other.ParseResourcesFile(Manifest("<Resources id=\"G\">\n" + Defaults() +
                                                  "<Image id=\"C_ok\" path=\"ok\"/>\n</Resources>\n")));
    EXPECT_THROW(other.GetImageOrFail("C_ok"), ResourceManagerException);
    EXPECT_EQ(other.GetErrorText(), "Image resource not found: C_ok");
    // A recorded error stops loading one at a time until LoadResources clears it.
    other.StartLoadResources("G");
    EXPECT_FALSE(other.LoadNextResource());
    EXPECT_TRUE(other.LoadResources("G"));
    EXPECT_FALSE(other.HadError());
    EXPECT_EQ(other.GetErrorText(), "");
}

TEST_F(ResourceManagerTest, AlphaImagesAndGrids)
{
    WritePng("pic.png", 4, 2, 0xFF804020);
    WritePng("pic_alpha.png", 4, 2, 0xFF000077);
    WritePng("cel_alpha.png", 2, 2, 0xFF000033);
    WritePng("_pic.png", 4, 2, 0xFF000055);
    ASSERT_TRUE(Parse("<Resources id=\"G\">\n" + Defaults() +
                      "<Image id=\"Companion\" path=\"pic\" nopal=\"1\"/>\n"
                      "<Image id=\"NoAlpha\" path=\"pic\" noalpha=\"1\" nopal=\"1\"/>\n"
                      "<Image id=\"WithImage\" path=\"pic\" alphaimage=\"pic_alpha\" nopal=\"1\"/>\n"
                      "<Image id=\"WithGrid\" path=\"pic\" cols=\"2\" alphagrid=\"cel_alpha\" nopal=\"1\"/>\n"
                      "</Resources>\n"))
        << manager.GetErrorText();
    ASSERT_TRUE(manager.LoadResources("G")) << manager.GetErrorText();
    EXPECT_EQ(manager.GetImageOrFail("Companion")->PixelAt(1, 1), 0x55804020u);
    EXPECT_EQ(manager.GetImageOrFail("NoAlpha")->PixelAt(1, 1), 0xFF804020u);
    EXPECT_EQ(manager.GetImageOrFail("WithImage")->PixelAt(1, 1), 0x77804020u);
    EXPECT_EQ(manager.GetImageOrFail("WithGrid")->PixelAt(3, 1), 0x33804020u);
}

TEST_F(ResourceManagerTest, EveryLoadFailureNamesWhatFailed)
{
    WritePng("pic.png", 4, 2, 0xFFFFFFFF);
    WritePng("small.png", 3, 2, 0xFFFFFFFF);
    WriteText("broken.txt", "CreateLayer A; CreateLayer A;");
    WritePng("strip.png", 6, 3, 0xFFFFFFFF);
    WriteText("widths.txt", "2 3\na 3\nb 3\n");
    ASSERT_TRUE(Parse("<Resources id=\"X\">\n" + Defaults() +
                      "<Image id=\"X\" path=\"pic\" alphaimage=\"small\"/>\n</Resources>\n"
                      "<Resources id=\"Y\">\n<Image id=\"Y\" path=\"pic\" cols=\"2\" alphagrid=\"pic\"/>\n</Resources>\n"
                      "<Resources id=\"S\">\n<Sound id=\"S\" path=\"gone\"/>\n</Resources>\n"
                      "<Resources id=\"F\">\n<Font id=\"F\" path=\"broken.txt\"/>\n</Resources>\n"
                      "<Resources id=\"R\">\n<Font id=\"R\" path=\"!ref:Elsewhere\"/>\n</Resources>\n"
                      "<Resources id=\"T\">\n<Font id=\"T\" path=\"widths.txt\" image=\"strip\"/>\n</Resources>\n"
                      "<Resources id=\"U\">\n<Font id=\"U\" path=\"widths.txt\" image=\"nostrip\"/>\n</Resources>\n"))
        << manager.GetErrorText();
    host.sounds.missing.insert(dir / "gone");
    const std::pair<const char*, std::string> cases[] = {
        {"X", "AlphaImage size mismatch between " + (dir / "pic") + " and " + (dir / "small")},
        {"Y", "GridAlphaImage size mismatch between " + (dir / "pic") + " and " + (dir / "pic")},
        {"S", "Failed to load sound: " + (dir / "gone")},
        {"F", "Failed to load font: " + (dir / "broken.txt")},
        {"R", "Ref font not found: Elsewhere"},
        {"U", "Failed to load image: " + (dir / "nostrip")},
    };
    for (const auto& [group, error] : cases)
    {
        EXPECT_FALSE(manager.LoadResources(group)) << group;
        EXPECT_EQ(manager.GetErrorText(), error);
    }
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_NE(host.errors[0].find("Layer Already Exists"), std::string::npos);
    // A font drawn from a strip of cels.
    ASSERT_TRUE(manager.LoadResources("T")) << manager.GetErrorText();
    EXPECT_EQ(manager.GetFontOrFail("T")->TextWidth("aB"), 6);
    EXPECT_NE(manager.Fonts().at("T")->stripImage, nullptr);

    ResourceManager silent;
    ASSERT_TRUE(silent.ParseResourcesFile(Manifest("<Resources id=\"S\">\n" + Defaults() +
                                                   "<Sound id=\"S\" path=\"any\"/>\n</Resources>\n")));
    EXPECT_FALSE(silent.LoadResources("S"));
    EXPECT_EQ(silent.GetErrorText(), "Failed to load sound: " + (dir / "any"));
}
