// Not part of the suite: scripts/survey-readers runs it to measure the
// readers on files that nobody on this project wrote (by default whatever
// the system's packages ship under /usr/share). It prints, per format, how
// many files were tried, how many decode like the reference decoder, how
// many differ, and how many ours refuses, with the reasons.
#include "ReferenceTools.h"
#include "XmlOutcome.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

using namespace Quillo;
using namespace ReferenceTools;

namespace
{

struct Tally
{
    int tried = 0;
    int exact = 0;
    int differ = 0;
    int refused = 0;
    int bothRefused = 0;
    int referenceRefused = 0;
    std::map<std::string, int> reasons;
    std::vector<std::string> differing;

    // One file: our refusal (nothing when ours read it), whether the
    // reference read it, and when both did, whether they agree.
    void Add(const std::string& path, const std::optional<std::string>& refusal, bool referenceReads,
             bool alike, const std::string& detail)
    {
        ++tried;
        if (refusal && !referenceReads)
            ++bothRefused;
        else if (refusal)
        {
            ++refused;
            ++reasons[refusal->empty() ? "(no reason)" : *refusal];
            differing.push_back(path + " (refused: " + *refusal + ")");
        }
        else if (!referenceReads)
            ++referenceRefused;
        else if (alike)
            ++exact;
        else
        {
            ++differ;
            differing.push_back(path + detail);
        }
    }
};

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

void Survey(const std::string& path, const std::string& extension, Tally& t, const std::string& scratch)
{
    const auto bytes = ReadBytes(path);
    if (!bytes)
        return;
    std::string error;
    if (extension == "xml")
    {
        const std::string text(bytes->begin(), bytes->end());
        const XmlOutcome::Outcome expat = XmlOutcome::ParseWithExpat(text);
        const XmlOutcome::Outcome ours = XmlOutcome::ParseWithOurs(text);
        if (ours.ok && !expat.ok)
            t.differing.push_back(path + " (expat: " + expat.error + ")");
        return t.Add(path, ours.ok ? std::nullopt : std::optional(ours.error), expat.ok,
                     ours.events == expat.events, "");
    }
    if (extension == "wav" || extension == "ogg" || extension == "au")
    {
        const auto ours = DecodeSound(extension, *bytes, error);
        const auto reference = DecodeWithSoundTools(path, extension, scratch);
        return t.Add(path, ours ? std::nullopt : std::optional(error), bool(reference),
                     ours && reference && ours->channels == reference->channels &&
                         ours->sampleRate == reference->rate && ours->samples == reference->samples,
                     "");
    }
    const auto ours = DecodeImage(extension, *bytes, error);
    const auto reference = DecodeWithImageMagick(path, scratch);
    // Within one level: 16-bit channels are rounded to 8 and JPEG's
    // colour conversion may round differently.
    const int d = ours && reference ? LargestDifference(ours->width, ours->height, ours->bits.get(), *reference)
                                    : -1;
    t.Add(path, ours ? std::nullopt : std::optional(error), bool(reference), d >= 0 && d <= 1,
          " (largest difference " + std::to_string(d) + ")");
}

} // namespace

TEST(SystemFiles, DISABLED_Survey)
{
    if (!HaveImageMagick() || !HaveSoundTools())
        GTEST_SKIP() << "the reference tools are not installed (scripts/setup installs them)";
    const char* roots = std::getenv("QUILLO_SURVEY_ROOTS");
    // A comma-separated list of extensions narrows the survey.
    const char* only = std::getenv("QUILLO_SURVEY_FORMATS");
    const std::string formats = only && *only ? "," + std::string(only) + "," : "";
    std::istringstream list(roots && *roots ? roots : "/usr/share");
    std::map<std::string, Tally> tallies;
    TempDir scratch;
    for (std::string root; std::getline(list, root, ':');)
    {
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(
                 root, std::filesystem::directory_options::skip_permission_denied, ec);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        {
            if (ec || !it->is_regular_file(ec) || it->is_symlink(ec))
                continue;
            std::string extension = Lower(it->path().extension().string());
            if (!extension.empty())
                extension.erase(0, 1);
            if (extension == "jpeg")
                extension = "jpg";
            if (extension == "oga")
                extension = "ogg";
            const std::string path = it->path().string();
            if (!formats.empty() && formats.find("," + extension + ",") == std::string::npos)
                continue;
            static const std::set<std::string> known = {"png", "jpg", "gif", "tga", "wav",
                                                         "ogg", "au",  "snd", "xml"};
            if (known.count(extension))
                Survey(path, extension == "snd" ? "au" : extension, tallies[extension], scratch.Path());
        }
    }
    for (const auto& [format, t] : tallies)
    {
        std::cout << format << ": tried " << t.tried << ", alike " << t.exact << ", different " << t.differ
                  << ", refused " << t.refused << ", refused by both " << t.bothRefused
                  << ", refused by the reference only " << t.referenceRefused << "\n";
        for (const auto& [reason, count] : t.reasons)
            std::cout << "    refused " << count << " x: " << reason << "\n";
        for (const std::string& d : t.differing)
            std::cout << "    " << d << "\n";
    }
}
