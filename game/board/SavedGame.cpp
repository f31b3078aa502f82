#include "game/board/SavedGame.h"

#include <cmath>
#include <cstring>
#include <type_traits>

namespace Spindrel
{

namespace
{

template <typename B, typename Visitor>
void ForEachBallField(B& b, Visitor&& visit)
{
    visit(b.x), visit(b.y), visit(b.reserved1), visit(b.reserved2), visit(b.type);
    visit(b.alive), visit(b.rollAngle), visit(b.segment), visit(b.fraction), visit(b.distance);
    visit(b.open), visit(b.flipping), visit(b.bonus), visit(b.bonusLife), visit(b.revealed);
    visit(b.glowTime), visit(b.backFrame), visit(b.hint), visit(b.blinking), visit(b.bonusVisible);
    visit(b.blinkTotal), visit(b.blinkTimer), visit(b.blinkOff), visit(b.blinkOn);
    visit(b.flipTimer), visit(b.flipFrame), visit(b.flipLastFrame), visit(b.flipPeriod);
    visit(b.flipLoop), visit(b.flipDone);
}

class Writer
{
public:
    explicit Writer(std::vector<uint8_t>& out) : m_out(out) {}

    void operator()(bool value) { m_out.push_back(value ? 1 : 0); }
    void operator()(int32_t value) { Put(static_cast<uint32_t>(value)); }
    void operator()(float value)
    {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Put(bits);
    }

private:
    void Put(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }

    std::vector<uint8_t>& m_out;
};

class Reader
{
public:
    explicit Reader(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    void operator()(bool& value)
    {
        if (!Need(1))
            return;
        const uint8_t b = m_bytes[m_pos++];
        if (b > 1)
            Fail("a flag is neither 0 nor 1");
        value = b == 1;
    }
    void operator()(int32_t& value)
    {
        if (Need(4))
            value = static_cast<int32_t>(Get());
    }
    void operator()(float& value)
    {
        if (!Need(4))
            return;
        const uint32_t bits = Get();
        std::memcpy(&value, &bits, sizeof value);
        // No game value comes near this; larger ones would overflow the
        // motion arithmetic once the game runs on.
        if (!std::isfinite(value) || std::fabs(value) > 1.0e7f)
            Fail("a number is out of range");
    }

    bool Ok() const { return m_error.empty(); }
    const std::string& Error() const { return m_error; }
    size_t Position() const { return m_pos; }
    void Fail(const char* why)
    {
        if (m_error.empty())
            m_error = why;
    }

private:
    bool Need(size_t n)
    {
        if (!m_error.empty())
            return false;
        if (m_bytes.size() - m_pos < n)
        {
            m_error = "the file ends early";
            return false;
        }
        return true;
    }
    uint32_t Get()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<uint32_t>(m_bytes[m_pos++]) << (8 * i);
        return v;
    }

    std::span<const uint8_t> m_bytes;
    size_t m_pos = 0;
    std::string m_error;
};

} // namespace

std::vector<uint8_t> SavedGame::Encode() const
{
    std::vector<uint8_t> out;
    out.reserve(kStateBytes + 4 + balls.size() * kBallBytes + 8);
    Writer write(out);
    ForEachSavedField(state, write);
    write(static_cast<int32_t>(balls.size()));
    for (const Ball& ball : balls)
        ForEachBallField(ball, write);
    write(openPositions[0]);
    write(openPositions[1]);
    return out;
}

std::optional<SavedGame> SavedGame::Decode(std::span<const uint8_t> bytes, std::string* error)
{
    SavedGame game;
    Reader read(bytes);
    ForEachSavedField(game.state, read);
    int32_t count = 0;
    read(count);
    if (read.Ok())
    {
        if (count < 0 || count > kMaxBalls)
            read.Fail("the ball count is out of range");
        else if (bytes.size() != kStateBytes + 4 + static_cast<size_t>(count) * kBallBytes + 8)
            read.Fail("the file size does not match the ball count");
    }
    if (read.Ok())
    {
        game.balls.resize(static_cast<size_t>(count));
        for (Ball& ball : game.balls)
            ForEachBallField(ball, read);
        read(game.openPositions[0]);
        read(game.openPositions[1]);
    }
    if (!read.Ok())
    {
        if (error != nullptr)
            *error = read.Error();
        return std::nullopt;
    }
    return game;
}

} // namespace Spindrel
