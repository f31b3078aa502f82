#include "framework/diagnostics/SymbolDemangler.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace Quillo;

namespace
{

std::string Demangled(const char* mangled)
{
    char buffer[4096];
    return SymbolDemangler::Demangle(mangled, buffer, sizeof buffer) ? buffer : "(not demangled)";
}

// The C++ names this program exports (it is linked to export them all, as
// the game is): its own, the test framework's and the standard library's.
std::vector<std::string> ExportedNames()
{
    std::vector<std::string> names;
    const std::string command = "nm -D --defined-only '" + std::filesystem::read_symlink("/proc/self/exe").string() + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> nm(popen(command.c_str(), "r"), pclose);
    if (!nm)
        return names;
    char line[8192];
    while (std::fgets(line, sizeof line, nm.get()))
    {
        std::string text(line);
        const size_t name = text.rfind(' ');
        if (name == std::string::npos || text.compare(name + 1, 2, "_Z") != 0)
            continue;
        names.push_back(text.substr(name + 1, text.size() - name - 2));
    }
    return names;
}

} // namespace

TEST(SymbolDemangler, WritesNamesAsTheRuntimeDoes)
{
    EXPECT_EQ(Demangled("_ZN6Quillo14CrashOnPurposeEv"), "Quillo::CrashOnPurpose()");
    EXPECT_EQ(Demangled("_ZNK6Quillo11MemoryImage7PixelAtEii"), "Quillo::MemoryImage::PixelAt(int, int) const");
    EXPECT_EQ(Demangled("_ZNSt6vectorIiSaIiEE9push_backEOi"),
              "std::vector<int, std::allocator<int> >::push_back(int&&)");
    EXPECT_EQ(Demangled("_Z4DeepISt16integer_sequenceIhJLh0ELh1EEEEvi"),
              "void Deep<std::integer_sequence<unsigned char, (unsigned char)0, (unsigned char)1> >(int)");
    EXPECT_EQ(Demangled("_ZZ4mainENKUlvE_clEv"), "main::{lambda()#1}::operator()() const");
    EXPECT_EQ(Demangled("_ZN12_GLOBAL__N_16Helper3RunEPKcRS0_.cold"),
              "(anonymous namespace)::Helper::Run(char const*, (anonymous namespace)::Helper&) [clone .cold]");
    EXPECT_EQ(Demangled("_ZN6Quillo6WidgetD2Ev"), "Quillo::Widget::~Widget()");
    // Not mangled, cut short, or beyond what it knows: no name at all
    // rather than a wrong one.
    for (const char* odd : {"main", "_Z", "_ZN6Quillo", "_Z3fooPFviE", "_Znot_a_name", "_ZN6Quillo5CrashEvX"})
        EXPECT_EQ(Demangled(odd), "(not demangled)") << odd;
    char tiny[8];
    EXPECT_FALSE(SymbolDemangler::Demangle("_ZN6Quillo14CrashOnPurposeEv", tiny, sizeof tiny));
}

// Every exported name it takes on must read exactly as the runtime's
// demangler has it, and it must take on nearly all of them.
TEST(SymbolDemangler, AgreesWithTheRuntimeOnEveryExportedName)
{
    const auto names = ExportedNames();
    ASSERT_GT(names.size(), 1000u);
    size_t demangled = 0;
    for (const std::string& name : names)
    {
        char buffer[8192];
        if (!SymbolDemangler::Demangle(name.c_str(), buffer, sizeof buffer))
            continue;
        ++demangled;
        int status = 0;
        std::unique_ptr<char, void (*)(void*)> expected(abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status),
                                                        std::free);
        // The runtime refuses some very long names that it can read.
        if (status == 0)
        {
            EXPECT_EQ(std::string(buffer), expected.get()) << name;
        }
    }
    // Most names are read: over nine in ten of a gcc build's, about three
    // in four of a clang build's, whose library instantiations use more
    // of the mangling. What is not read stays mangled, never wrong.
    EXPECT_GT(demangled, names.size() * 7 / 10) << demangled << " of " << names.size();
}
