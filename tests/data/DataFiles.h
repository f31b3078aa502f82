#pragma once

#include "framework/platform/FileSystem.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// The generated data folder (beside the built program), named by the test
// environment; without it, the build tree's program folder next to the
// tests' working folder. Every data test reads the files the game will read.
inline std::string DataDir()
{
    const char* dir = std::getenv("QUILLO_DATA_DIR");
    return dir && *dir ? dir : "../bin";
}

// A numbered file name, as "gfx/pic_%02d" makes "gfx/pic_07".
inline std::string Numbered(const char* format, int n)
{
    char name[64];
    std::snprintf(name, sizeof name, format, n);
    return name;
}

inline std::vector<uint8_t> ReadDataFile(const std::string& relative)
{
    auto bytes = Quillo::FileSystem::ReadFile(DataDir() + "/" + relative);
    if (!bytes)
        ADD_FAILURE() << "cannot read " << relative << " in '" << DataDir()
                      << "' (QUILLO_DATA_DIR; the data is made by spindrel-datagen)";
    return bytes.value_or(std::vector<uint8_t>{});
}

inline std::string ReadDataText(const std::string& relative)
{
    std::vector<uint8_t> bytes = ReadDataFile(relative);
    return std::string(bytes.begin(), bytes.end());
}
