#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/platform/TextEncoding.h"

#include <algorithm>

namespace Quillo
{
namespace
{

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

int HexByte(const std::string& text, size_t at)
{
    return HexDigit(text[at]) * 16 + HexDigit(text[at + 1]);
}

} // namespace

int Graphics::WriteColoredText(const std::string& text, int x, int y, int width, int justification,
                               bool draw, int offset, int length)
{
    if (draw && (justification == 0 || justification == 1))
    {
        const int measured = WriteColoredText(text, x, y, width, justification, false, offset, length);
        x += justification == 0 ? (width - measured) / 2 : width - measured;
    }
    const int size = static_cast<int>(text.size());
    const int start = std::clamp(offset, 0, size);
    int end = start + length;
    if (length < 0 || end > size)
        end = size;

    int total = 0;
    std::string pending;
    auto emit = [&]() {
        if (pending.empty())
            return;
        if (draw)
            DrawString(pending, x + total, y);
        total += StringWidth(pending);
        pending.clear();
    };
    int i = start;
    while (i < end)
    {
        const char ch = text[size_t(i)];
        if (ch != '^' || !m_colorCodes)
        {
            pending += ch;
            ++i;
            continue;
        }
        if (end - i - 1 < 7)
            break;
        if (text[size_t(i) + 1] == '^')
        {
            pending += '^';
            i += 2;
            continue;
        }
        const Color code(HexByte(text, size_t(i) + 1), HexByte(text, size_t(i) + 3),
                         HexByte(text, size_t(i) + 5), m_color.alpha);
        emit();
        if (draw)
            m_color = code;
        i += 8;
    }
    emit();
    return total;
}

int Graphics::WriteWrappedText(const Rect& rect, const std::string& text, int lineSpacing,
                               int justification, int* maxWidth)
{
    if (!m_font)
    {
        if (maxWidth)
            *maxWidth = 0;
        return 0;
    }
    const Color saved = m_color;
    if (lineSpacing == -1)
        lineSpacing = m_font->LineSpacing();
    int baseline = m_font->Ascent() - m_font->AscentPadding();
    int widest = 0;
    const int size = static_cast<int>(text.size());

    auto drawLine = [&](int from, int to) {
        const int w = WriteColoredText(text, rect.x, rect.y + baseline, rect.width, justification,
                                       true, from, to - from);
        widest = std::max(widest, w);
        baseline += lineSpacing;
    };

    int lineStart = 0;
    int spacePos = -1;
    int lineWidth = 0;
    char32_t previous = 0;
    int i = 0;
    while (i < size)
    {
        size_t after = size_t(i);
        const char32_t ch = TextEncoding::Next(text, after);
        int step = static_cast<int>(after) - i;
        bool forced = false;
        bool measured = true;
        if (ch == '^' && m_colorCodes)
        {
            if (i + 1 < size && text[size_t(i) + 1] == '^')
            {
                step = 2;
            }
            else
            {
                i += 8;
                continue;
            }
        }
        else if (ch == ' ')
        {
            spacePos = i;
        }
        else if (ch == '\n')
        {
            spacePos = i;
            forced = true;
            measured = false;
        }
        if (measured)
        {
            lineWidth += m_font->GlyphAdvance(ch, previous);
            previous = ch;
        }
        if (!forced && lineWidth <= rect.width)
        {
            i += step;
            continue;
        }
        int next;
        if (spacePos < 0)
        {
            // A line holds at least its first character, whole.
            size_t firstEnd = size_t(lineStart);
            TextEncoding::Next(text, firstEnd);
            const int lineEnd = std::max(i, static_cast<int>(firstEnd));
            drawLine(lineStart, lineEnd);
            next = lineEnd;
        }
        else
        {
            drawLine(lineStart, spacePos);
            next = spacePos + 1;
            if (text[size_t(spacePos)] != '\n')
                while (next < size && text[size_t(next)] == ' ')
                    ++next;
        }
        lineStart = i = next;
        spacePos = -1;
        lineWidth = 0;
        previous = 0;
    }
    if (lineStart < size)
        drawLine(lineStart, size);

    m_color = saved;
    if (maxWidth)
        *maxWidth = widest;
    return baseline - lineSpacing + m_font->Descent();
}

int Graphics::MeasureWrappedText(int width, const std::string& text, int lineSpacing, int* maxWidth)
{
    Graphics measure(nullptr);
    measure.SetFont(m_font);
    return measure.WriteWrappedText(Rect{0, 0, width, 0}, text, lineSpacing, -1, maxWidth);
}

} // namespace Quillo
