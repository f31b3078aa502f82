#pragma once

#include "DataFiles.h"

#include "framework/graphics/ImageLib.h"
#include "framework/resources/ResourceHost.h"
#include "framework/resources/ResourceManager.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

inline int Alpha(uint32_t argb) { return int(argb >> 24); }
inline int Red(uint32_t argb) { return int((argb >> 16) & 0xFF); }
inline int Green(uint32_t argb) { return int((argb >> 8) & 0xFF); }
inline int Blue(uint32_t argb) { return int(argb & 0xFF); }

// The thirteen pictures, then the five bonus symbols, on the balls' faces.
inline std::vector<std::string> SymbolStems()
{
    std::vector<std::string> stems;
    for (int p = 1; p <= 13; ++p)
        stems.push_back(Numbered("gfx/pic_%02d", p));
    for (const char* b : {"eye", "rollback", "pause", "type", "bomb"})
        stems.push_back(std::string("gfx/bonus_") + b);
    return stems;
}

// The generated data folder, with the working directory moved there because
// the manifest's paths are relative to it, as in the game. Tests skip when
// the data was not generated (QUILLO_DATA=OFF).
class ArtData : public ::testing::Test
{
protected:
    // Collects what the loaders report instead of showing a box.
    struct Host : Quillo::ResourceHost
    {
        std::string errors;
        void ShowFatalError(const std::string& text) override { errors += text + "\n"; }
    };

    void SetUp() override
    {
        const std::filesystem::path dir = DataDir();
        if (!std::filesystem::exists(dir / "properties/resources.xml"))
            GTEST_SKIP() << "no generated data in " << dir << " (configure with -DQUILLO_DATA=ON)";
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        manager = std::make_unique<Quillo::ResourceManager>(&host);
        ASSERT_TRUE(manager->ParseResourcesFile("properties/resources.xml")) << manager->GetErrorText();
    }

    void TearDown() override
    {
        manager.reset();
        if (!m_previous.empty())
            std::filesystem::current_path(m_previous);
    }

    // Loads every image of a group directly, so that groups with sounds can
    // be checked without a sound device.
    void LoadImagesOf(const std::string& group)
    {
        for (auto& [id, res] : manager->Images())
        {
            if (res->group == group)
            {
                ASSERT_TRUE(manager->DoLoadImage(*res)) << id << ": " << manager->GetErrorText();
            }
        }
    }

    static std::unique_ptr<Quillo::ImageLib::Image> Picture(const std::string& stem)
    {
        auto image = Quillo::ImageLib::GetImage(stem, false);
        EXPECT_TRUE(image) << stem;
        return image;
    }

    Host host;
    std::unique_ptr<Quillo::ResourceManager> manager;

private:
    std::filesystem::path m_previous;
};
