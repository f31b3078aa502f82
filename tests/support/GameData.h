#pragma once

// Tests that play the real game need the generated data. A developer who
// has not generated it gets those tests skipped; the test script and CI
// always generate it, so there a missing data folder fails the tests
// instead of quietly skipping them.
#include <cstdlib>
#include <gtest/gtest.h>
#include <string_view>

inline bool GameDataRequired()
{
    for (const char* name : {"QUILLO_REQUIRE_DATA", "CI"})
    {
        const char* value = std::getenv(name);
        if (value != nullptr &&
            (std::string_view(value) == "1" || std::string_view(value) == "true"))
            return true;
    }
    return false;
}

// Leaves the test (or its SetUp) without the data: a failure where the data
// must be there, a skip elsewhere.
#define QUILLO_WITHOUT_GAME_DATA(why)                                                              \
    do                                                                                             \
    {                                                                                              \
        if (GameDataRequired())                                                                    \
            FAIL() << why << " (the data is required here)";                                       \
        GTEST_SKIP() << why;                                                                       \
    } while (false)
