#include "DataFiles.h"

#include <cmath>
#include <libopenmpt/libopenmpt.hpp>
#include <memory>
#include <set>

namespace
{

constexpr int kRate = 22050;

struct Section
{
    const char* name;
    int first, last; // order positions
    int loopsTo;
};

// Where the game starts each piece and where the piece must go on.
const Section kSections[] = {
    {"menu", 0, 1, 0},
    {"theme A", 2, 6, 2},
    {"danger A", 7, 8, 7},
    {"theme B", 9, 14, 9},
    {"danger B", 15, 15, 15},
};

struct Rendering
{
    std::vector<double> secondRms; // loudness of each second
    double peak = 0;
    std::vector<int> orders; // order position after every tenth of a second
};

Rendering Render(openmpt::module& module, int order, double seconds, bool loop = true)
{
    module.set_repeat_count(loop ? -1 : 0);
    module.set_position_order_row(order, 0);
    Rendering out;
    std::vector<float> left(kRate / 10), right(kRate / 10);
    double sum = 0;
    for (int tenth = 0; tenth < seconds * 10; ++tenth)
    {
        size_t got = module.read(kRate, left.size(), left.data(), right.data());
        for (size_t i = 0; i < got; ++i)
        {
            sum += left[i] * left[i] + right[i] * right[i];
            out.peak = std::max({out.peak, double(std::abs(left[i])), double(std::abs(right[i]))});
        }
        out.orders.push_back(module.get_current_order());
        if (tenth % 10 == 9)
        {
            out.secondRms.push_back(std::sqrt(sum / (2.0 * kRate)));
            sum = 0;
        }
    }
    return out;
}

class DataMusic : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::vector<uint8_t> bytes = ReadDataFile("music/music.mo3");
        ASSERT_FALSE(bytes.empty());
        module = std::make_unique<openmpt::module>(bytes);
    }

    std::unique_ptr<openmpt::module> module;
};

TEST_F(DataMusic, IsAModuleWithEveryOrderTheGameStartsAt)
{
    EXPECT_GE(module->get_num_orders(), 19);
    EXPECT_GE(module->get_num_channels(), 4);
    EXPECT_GE(module->get_num_instruments() + module->get_num_samples(), 4) << "melody, harmony, bass and drums";
}

TEST_F(DataMusic, EachPieceIsAudibleAndLoopsWithinItself)
{
    for (const Section& s : kSections)
    {
        SCOPED_TRACE(s.name);
        // Long enough to play the piece through and loop at least once.
        module->set_position_order_row(s.first, 0);
        double length = 0;
        for (int o = s.first; o <= s.last; ++o)
        {
            module->set_position_order_row(o, 0);
            int pattern = module->get_order_pattern(o);
            length += module->get_pattern_num_rows(pattern) * 6 * 2.5 / module->get_current_tempo();
        }
        Rendering r = Render(*module, s.first, length * 1.6 + 1);
        for (size_t sec = 0; sec < r.secondRms.size(); ++sec)
            EXPECT_GT(r.secondRms[sec], 0.01) << "silent in second " << sec;
        EXPECT_LT(r.peak, 1.0) << "clips";
        std::set<int> visited(r.orders.begin(), r.orders.end());
        for (int o : visited)
        {
            EXPECT_GE(o, s.first) << "strays to order " << o;
            EXPECT_LE(o, s.last) << "strays to order " << o;
        }
        EXPECT_TRUE(visited.count(s.last)) << "never reaches its last order";
        // After the last order it comes back to its own start.
        bool looped = false;
        for (size_t i = 1; i < r.orders.size(); ++i)
            looped |= r.orders[i - 1] == s.last && r.orders[i] == s.loopsTo;
        EXPECT_TRUE(looped);
    }
}

TEST_F(DataMusic, EveryPieceHasMelodyHarmonyBassAndDrums)
{
    for (const Section& s : kSections)
    {
        SCOPED_TRACE(s.name);
        std::set<int> instruments, pitches;
        int notes = 0;
        for (int o = s.first; o <= s.last; ++o)
        {
            int pattern = module->get_order_pattern(o);
            for (int row = 0; row < module->get_pattern_num_rows(pattern); ++row)
                for (int ch = 0; ch < module->get_num_channels(); ++ch)
                {
                    int note = module->get_pattern_row_channel_command(pattern, row, ch, openmpt::module::command_note);
                    int ins = module->get_pattern_row_channel_command(pattern, row, ch, openmpt::module::command_instrument);
                    if (note >= 1 && note <= 120 && ins > 0)
                    {
                        ++notes;
                        instruments.insert(ins);
                        pitches.insert(note);
                    }
                }
        }
        // A lead, an accompaniment, a pad, a bass and at least two drums.
        EXPECT_GE(instruments.size(), 6u);
        EXPECT_GE(pitches.size(), 12u) << "a tune, not a drone";
        EXPECT_GE(notes, 64 * (s.last - s.first + 1));
    }
}

TEST_F(DataMusic, JinglesPlayAboutFourSecondsThenFallSilent)
{
    for (int order : {16, 17})
    {
        SCOPED_TRACE(order);
        Rendering r = Render(*module, order, 8);
        EXPECT_GT(r.secondRms[0], 0.01);
        EXPECT_GT(r.secondRms[2], 0.005);
        EXPECT_LT(r.secondRms[6], 0.0005) << "still sounding after six seconds";
        EXPECT_LT(r.peak, 1.0);
        EXPECT_EQ(r.orders.back(), 18);
    }
    Rendering silence = Render(*module, 18, 3);
    EXPECT_EQ(silence.peak, 0.0);
    EXPECT_EQ(silence.orders.back(), 18);
}

TEST_F(DataMusic, DangerPiecesKeepTheirThemesTempo)
{
    // The board cross-fades theme and danger piece over 2.5 s.
    auto tempoAt = [&](int order) {
        Render(*module, order, 0.3);
        return module->get_current_tempo();
    };
    EXPECT_EQ(tempoAt(2), tempoAt(7));
    EXPECT_EQ(tempoAt(9), tempoAt(15));
}

} // namespace
