// Not part of the suite: scripts/survey-readers runs it to measure the
// readers on files that nobody on this project wrote (by default whatever
// the system's packages ship under /usr/share). It prints, per format, how
// many files were tried, how many decode like the reference decoder, how
// many differ, and how many ours refuses, with the reasons.
#include "ReferenceTools.h"
#include "XmlOutcome.h"

#include "framework/audio/SoundFile.h"
#include "framework/graphics/ImageLib.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>

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
};

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

void Refused(Tally& t, const std::string& path, const std::string& reason, bool referenceReads)
{
    if (!referenceReads)
    {
        ++t.bothRefused;
        return;
    }
    ++t.refused;
    ++t.reasons[reason.empty() ? "(no reason)" : reason];
    t.differing.push_back(path + " (refused: " + reason + ")");
}

void SurveyImage(const std::string& path, const std::string& extension, Tally& t, const std::string& scratch)
{
    const auto bytes = ReadBytes(path);
    if (!bytes)
        return;
    ++t.tried;
    std::string error;
    std::unique_ptr<ImageLib::Image> ours;
    if (extension == "png")
        ours = ImageLib::DecodePNG(bytes->data(), bytes->size(), &error);
    else if (extension == "tga")
        ours = ImageLib::DecodeTGA(bytes->data(), bytes->size(), &error);
    else if (extension == "gif")
        ours = ImageLib::DecodeGIF(bytes->data(), bytes->size(), &error);
    else
        ours = ImageLib::DecodeJPEG(bytes->data(), bytes->size(), &error);
    const auto reference = DecodeWithImageMagick(path, scratch);
    if (!ours)
        return Refused(t, path, error, bool(reference));
    if (!reference)
    {
        ++t.referenceRefused;
        return;
    }
    // Within one level: 16-bit channels are rounded to 8 and JPEG's
    // colour conversion may round differently.
    const int d = LargestDifference(ours->width, ours->height, ours->bits.get(), *reference);
    if (d >= 0 && d <= 1)
        ++t.exact;
    else
    {
        ++t.differ;
        t.differing.push_back(path + " (largest difference " + std::to_string(d) + ")");
    }
}

void SurveySound(const std::string& path, const std::string& extension, Tally& t, const std::string& scratch)
{
    const auto bytes = ReadBytes(path);
    if (!bytes)
        return;
    ++t.tried;
    std::string error;
    std::optional<PcmSound> ours;
    if (extension == "wav")
    {
        if (auto wave = SoundFile::DecodeWave(*bytes, error))
            ours = std::move(wave->sound);
    }
    else if (extension == "ogg")
        ours = SoundFile::DecodeOgg(*bytes, error);
    else
        ours = SoundFile::DecodeSnd(*bytes, error);
    const auto reference = extension == "ogg" ? DecodeWithOggdec(path, scratch) : DecodeWithSox(path, scratch);
    if (!ours)
        return Refused(t, path, error, bool(reference));
    if (!reference)
    {
        ++t.referenceRefused;
        return;
    }
    if (ours->channels == reference->channels && ours->sampleRate == reference->rate &&
        ours->samples == reference->samples)
        ++t.exact;
    else
    {
        ++t.differ;
        t.differing.push_back(path);
    }
}

void SurveyXml(const std::string& path, Tally& t)
{
    const auto bytes = ReadBytes(path);
    if (!bytes)
        return;
    ++t.tried;
    const std::string text(bytes->begin(), bytes->end());
    const XmlOutcome::Outcome expat = XmlOutcome::ParseWithExpat(text);
    const XmlOutcome::Outcome ours = XmlOutcome::ParseWithOurs(text);
    if (!ours.ok)
        return Refused(t, path, ours.error, expat.ok);
    if (!expat.ok)
    {
        ++t.referenceRefused;
        t.differing.push_back(path + " (expat: " + expat.error + ")");
        return;
    }
    if (ours.events == expat.events)
        ++t.exact;
    else
    {
        ++t.differ;
        t.differing.push_back(path);
    }
}

} // namespace

TEST(SystemFiles, DISABLED_Survey)
{
    if (!HaveImageMagick() || !HaveSox() || !HaveVorbisTools())
        GTEST_SKIP() << "the reference tools are not installed (scripts/setup installs them)";
    const char* roots = std::getenv("QUILLO_SURVEY_ROOTS");
    // A comma-separated list of extensions narrows the survey.
    const char* only = std::getenv("QUILLO_SURVEY_FORMATS");
    const std::string formats = only && *only ? "," + std::string(only) + "," : "";
    std::string list = roots && *roots ? roots : "/usr/share";
    std::map<std::string, Tally> tallies;
    TempDir scratch;
    size_t start = 0;
    while (start <= list.size())
    {
        const size_t colon = std::min(list.find(':', start), list.size());
        const std::filesystem::path root = list.substr(start, colon - start);
        start = colon + 1;
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
            if (extension == "png" || extension == "jpg" || extension == "gif" || extension == "tga")
                SurveyImage(path, extension, tallies[extension], scratch.Path());
            else if (extension == "wav" || extension == "ogg" || extension == "au" || extension == "snd")
                SurveySound(path, extension == "snd" ? "au" : extension, tallies[extension], scratch.Path());
            else if (extension == "xml")
                SurveyXml(path, tallies[extension]);
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
