// Contact sheets drawn by the game's own drawing code, for review: every
// image of every resource group on a checkerboard (so that alpha shows),
// and every track's path over its background. They are written to
// contact/ beside the tests; the checks catch images that draw nothing
// and tracks whose points leave the painted groove.
#include "ArtData.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/platform/FileSystem.h"
#include "framework/resources/ImageRes.h"
#include "game/board/BoardPictures.h"
#include "game/board/Path.h"

#include <algorithm>
#include <filesystem>

using Quillo::Color;
using Quillo::Graphics;
using Quillo::MemoryImage;
using Quillo::Rect;

namespace
{

constexpr int kCell = 160;
constexpr int kColumns = 6;

std::string SheetDir(const std::filesystem::path& testsDir)
{
    const std::filesystem::path dir = testsDir / "contact";
    std::filesystem::create_directories(dir);
    return dir.string();
}

bool WriteSheet(MemoryImage& sheet, const std::string& path)
{
    Quillo::ImageLib::Image out(sheet.GetWidth(), sheet.GetHeight());
    std::copy(sheet.GetBits(), sheet.GetBits() + size_t(sheet.GetWidth()) * sheet.GetHeight(),
              out.bits.get());
    return Quillo::ImageLib::WritePNG(path, out);
}

void Checkerboard(Graphics& g, const Rect& r)
{
    for (int y = r.y; y < r.y + r.height; y += 8)
        for (int x = r.x; x < r.x + r.width; x += 8)
        {
            g.SetColor(((x / 8 + y / 8) % 2) ? Color(200, 200, 200) : Color(150, 150, 150));
            g.FillRect(x, y, std::min(8, r.x + r.width - x), std::min(8, r.y + r.height - y));
        }
}

// How many pixels of a cell differ from the checkerboard drawn under them.
int ChangedPixels(MemoryImage& sheet, const std::vector<uint32_t>& before, const Rect& r)
{
    int changed = 0;
    const uint32_t* bits = sheet.GetBits();
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
        {
            const size_t i = size_t(y) * sheet.GetWidth() + x;
            changed += bits[i] != before[i];
        }
    return changed;
}

} // namespace

class ContactSheet : public ArtData
{
protected:
    void SetUp() override
    {
        m_testsDir = std::filesystem::current_path();
        ArtData::SetUp();
    }
    std::filesystem::path m_testsDir;
};

TEST_F(ContactSheet, EveryImageOfEveryGroupDrawsSomething)
{
    for (const char* group : {"Init", "TitleScreen", "Game", "MainMenu", "SelectStage"})
    {
        LoadImagesOf(group);
        std::vector<std::pair<std::string, MemoryImage*>> images;
        for (auto& [id, res] : manager->Images())
            if (res->group == group && res->image)
                images.emplace_back(id, res->image.get());
        ASSERT_FALSE(images.empty()) << group;

        const int rows = (static_cast<int>(images.size()) + kColumns - 1) / kColumns;
        MemoryImage sheet;
        sheet.Create(kColumns * kCell, rows * kCell);
        Graphics g(&sheet);
        for (int i = 0; i < static_cast<int>(images.size()); ++i)
            Checkerboard(g, {(i % kColumns) * kCell, (i / kColumns) * kCell, kCell - 4, kCell - 4});
        const std::vector<uint32_t> before(sheet.GetBits(),
                                           sheet.GetBits() + size_t(sheet.GetWidth()) * sheet.GetHeight());
        for (int i = 0; i < static_cast<int>(images.size()); ++i)
        {
            MemoryImage* image = images[size_t(i)].second;
            const int w = image->GetWidth();
            const int h = image->GetHeight();
            ASSERT_GT(w, 0) << images[size_t(i)].first;
            // Scaled down to fit the cell, never up; a cel strip shows whole.
            const double scale = std::min(1.0, double(kCell - 4) / std::max(w, h));
            const Rect dest{(i % kColumns) * kCell, (i / kColumns) * kCell, std::max(1, int(w * scale)),
                            std::max(1, int(h * scale))};
            g.DrawImage(image, dest, Rect{0, 0, w, h});
            EXPECT_GT(ChangedPixels(sheet, before, dest), dest.width * dest.height / 50)
                << group << " " << images[size_t(i)].first << " draws (almost) nothing";
        }
        EXPECT_TRUE(WriteSheet(sheet, SheetDir(m_testsDir) + "/" + group + ".png")) << group;
    }
}

TEST_F(ContactSheet, EveryTrackRunsAlongItsPaintedGroove)
{
    constexpr int kSheetColumns = 5;
    constexpr int kThumbW = 400;
    constexpr int kThumbH = 300;
    MemoryImage sheet;
    sheet.Create(kSheetColumns * kThumbW, (30 / kSheetColumns) * kThumbH);
    Graphics sheetG(&sheet);
    for (int track = 1; track <= 30; ++track)
    {
        SCOPED_TRACE("track " + std::to_string(track));
        const auto bytes = Quillo::FileSystem::ReadFile(Numbered("levels/%02d.path", track));
        ASSERT_TRUE(bytes);
        const auto file = Spindrel::Path::ParseFile(*bytes);
        ASSERT_TRUE(file);
        auto background = Spindrel::BoardPictures::LoadImage(Numbered("levels/bg%02d", track));
        ASSERT_TRUE(background);

        // The groove is painted darker than the field around it: the mean
        // brightness under the path must be below that of the whole picture.
        const auto brightness = [&](int x, int y) {
            x = std::clamp(x, 0, background->GetWidth() - 1);
            y = std::clamp(y, 0, background->GetHeight() - 1);
            const uint32_t p = background->GetBits()[size_t(y) * background->GetWidth() + x];
            return double((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
        };
        double all = 0;
        for (int y = 0; y < background->GetHeight(); y += 4)
            for (int x = 0; x < background->GetWidth(); x += 4)
                all += brightness(x, y);
        all /= double((background->GetHeight() / 4) * (background->GetWidth() / 4));
        double onPath = 0;
        int counted = 0;
        for (const auto& p : file->points)
            if (p.x >= 0 && p.x < 800 && p.y >= 0 && p.y < 600)
            {
                onPath += brightness(int(p.x), int(p.y));
                ++counted;
            }
        ASSERT_GT(counted, 0);
        EXPECT_LT(onPath / counted, all) << "the track does not follow its groove";

        Graphics g(background.get());
        // Thick enough to survive the sheet's halving.
        g.SetColor(Color(255, 60, 60));
        for (const auto& p : file->points)
            g.FillRect(int(p.x) - 2, int(p.y) - 2, 5, 5);
        g.SetColor(Color(255, 255, 0));
        g.FillRect(int(file->gateX) - 4, int(file->gateY) - 4, 9, 9);
        const int cell = track - 1;
        sheetG.DrawImage(background.get(),
                         Rect{(cell % kSheetColumns) * kThumbW, (cell / kSheetColumns) * kThumbH, kThumbW, kThumbH},
                         Rect{0, 0, background->GetWidth(), background->GetHeight()});
    }
    EXPECT_TRUE(WriteSheet(sheet, SheetDir(m_testsDir) + "/tracks.png"));
}
