// Feeds arbitrary manifests to the resource manager's parser and walks
// what it recorded: counting, lookups that must throw, and unloading.
// Nothing is loaded, since paths in a fuzzed manifest may name any file.
#include "framework/resources/ResourceManager.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = [] {
        std::random_device random;
        return (std::filesystem::temp_directory_path() /
                ("resource-manifest-fuzz-" + std::to_string(random()) + ".xml"))
            .string();
    }();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Quillo::ResourceManager manager;
    const bool parsed = manager.ParseResourcesFile(path);
    if (!parsed && manager.GetErrorText().empty())
        __builtin_trap();
    int total = 0;
    for (const auto& [id, res] : manager.Images())
    {
        total += manager.CountResources(res->group);
        try
        {
            manager.GetImageOrFail(id);
            __builtin_trap(); // nothing was loaded
        }
        catch (const Quillo::ResourceManagerException&)
        {
        }
    }
    for (const auto& [id, res] : manager.Fonts())
    {
        if (manager.GetFont(id))
            __builtin_trap();
    }
    if (total < 0 || manager.CountResources("") < 0)
        __builtin_trap();
    manager.DeleteResources("");
    return 0;
}
