#pragma once

#include "framework/graphics/ImageLib.h"
#include "framework/resources/ResourceHost.h"
#include "framework/resources/ResourceManager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

// The generated data folder (QUILLO_DATA_DIR, else the program folder beside
// the tests' working folder), with the working directory moved there because
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
        const char* env = std::getenv("QUILLO_DATA_DIR");
        const std::filesystem::path dir = env && *env ? env : "../bin";
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
        return Quillo::ImageLib::GetImage(stem, false);
    }

    Host host;
    std::unique_ptr<Quillo::ResourceManager> manager;

private:
    std::filesystem::path m_previous;
};
