#include "framework/platform/CursorImage.h"

#include <algorithm>
#include <cmath>

namespace Quillo
{

namespace
{

// The source taps left of and right of a destination pixel's centre, and
// the weight of the right one.
struct Taps
{
    int first;
    int second;
    double weight;
};

Taps TapsFor(int dest, int sourceSize, int destSize)
{
    const double at = (dest + 0.5) * sourceSize / destSize - 0.5;
    const double base = std::floor(at);
    const int first = static_cast<int>(base);
    return Taps{std::clamp(first, 0, sourceSize - 1), std::clamp(first + 1, 0, sourceSize - 1),
                at - base};
}

} // namespace

CursorImage CursorImage::Scaled(double scale) const
{
    if (argb.empty() || width <= 0 || height <= 0 || !(scale > 0.0) || std::abs(scale - 1.0) < 0.01)
        return *this;
    CursorImage out;
    out.width = std::max(1, static_cast<int>(std::lround(width * scale)));
    out.height = std::max(1, static_cast<int>(std::lround(height * scale)));
    // The hot pixel's centre, scaled, falls in this pixel (the upper left
    // one of those that touch it).
    out.hotX = std::clamp(static_cast<int>(std::floor((hotX + 0.5) * out.width / width - 0.5)), 0,
                          out.width - 1);
    out.hotY = std::clamp(static_cast<int>(std::floor((hotY + 0.5) * out.height / height - 0.5)), 0,
                          out.height - 1);
    out.argb.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
    for (int y = 0; y < out.height; ++y)
    {
        const Taps ty = TapsFor(y, height, out.height);
        for (int x = 0; x < out.width; ++x)
        {
            const Taps tx = TapsFor(x, width, out.width);
            const int xs[4] = {tx.first, tx.second, tx.first, tx.second};
            const int ys[4] = {ty.first, ty.first, ty.second, ty.second};
            const double ws[4] = {(1 - tx.weight) * (1 - ty.weight), tx.weight * (1 - ty.weight),
                                  (1 - tx.weight) * ty.weight, tx.weight * ty.weight};
            double alpha = 0.0, red = 0.0, green = 0.0, blue = 0.0;
            for (int i = 0; i < 4; ++i)
            {
                const uint32_t p = argb[static_cast<size_t>(ys[i]) * static_cast<size_t>(width) +
                                        static_cast<size_t>(xs[i])];
                const double a = ws[i] * static_cast<double>(p >> 24);
                alpha += a;
                red += a * static_cast<double>((p >> 16) & 0xFF);
                green += a * static_cast<double>((p >> 8) & 0xFF);
                blue += a * static_cast<double>(p & 0xFF);
            }
            uint32_t pixel = 0;
            if (alpha > 0.0)
            {
                auto channel = [&](double sum)
                { return static_cast<uint32_t>(std::clamp(std::lround(sum / alpha), 0L, 255L)); };
                pixel = static_cast<uint32_t>(std::clamp(std::lround(alpha), 0L, 255L)) << 24 |
                        channel(red) << 16 | channel(green) << 8 | channel(blue);
            }
            out.argb[static_cast<size_t>(y) * static_cast<size_t>(out.width) +
                     static_cast<size_t>(x)] = pixel;
        }
    }
    return out;
}

} // namespace Quillo
