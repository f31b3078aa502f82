#pragma once

#include "framework/app/QuilloAppBase.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/NativeDisplay.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// Compares what the application shows with the pictures in golden/,
// pixel for pixel: the art and fonts are made by the project's generator,
// the clock is the journey's and the level is dealt from a fixed seed, so
// every screen is the same on every run, and a wrong short text or a
// shift of one pixel must show. (A new font library that moves glyphs
// shows too; the pictures are then reviewed and written again.) Every
// screen is also written beside the test binary for review;
// QUILLO_UPDATE_GOLDEN=1 rewrites the expected pictures.
class ScreenGolden
{
public:
    // Screens are written to outDir.
    ScreenGolden(Quillo::QuilloAppBase& app, std::string outDir) : m_app(app), m_outDir(std::move(outDir))
    {
        std::filesystem::create_directories(m_outDir);
    }

    void Check(const std::string& name)
    {
        const std::string actualPath = m_outDir + "/" + name + ".png";
        if (!m_app.display || !m_app.display->WriteScreenshot(actualPath))
        {
            m_problems.push_back(name + ": no screenshot");
            return;
        }
        const std::string expectedPath = GoldenDir() + "/" + name + ".png";
        if (const char* update = std::getenv("QUILLO_UPDATE_GOLDEN"); update && *update)
        {
            std::filesystem::create_directories(GoldenDir());
            std::filesystem::copy_file(actualPath, expectedPath,
                                       std::filesystem::copy_options::overwrite_existing);
            return;
        }
        auto expected = Quillo::ImageLib::ReadPNG(expectedPath);
        auto actual = Quillo::ImageLib::ReadPNG(actualPath);
        if (!expected || !actual)
        {
            m_problems.push_back(name + ": missing " + expectedPath);
            return;
        }
        if (expected->width != actual->width || expected->height != actual->height)
        {
            m_problems.push_back(name + ": size differs");
            return;
        }
        const size_t n = static_cast<size_t>(actual->width) * static_cast<size_t>(actual->height);
        size_t wrong = 0;
        for (size_t i = 0; i < n; ++i)
            wrong += (expected->bits[i] & 0xFFFFFFu) != (actual->bits[i] & 0xFFFFFFu) ? 1 : 0;
        if (wrong > 0)
            m_problems.push_back(name + ": " + std::to_string(wrong) + " of " + std::to_string(n) +
                                 " pixels differ (see " + actualPath + ")");
    }

    void ExpectAllMatched() const
    {
        for (const std::string& problem : m_problems)
            ADD_FAILURE() << problem;
    }

private:
    static std::string GoldenDir()
    {
        const char* src = std::getenv("QUILLO_TEST_SOURCE");
        return std::string(src ? src : "tests") + "/game/golden";
    }

    Quillo::QuilloAppBase& m_app;
    std::string m_outDir;
    std::vector<std::string> m_problems;
};
