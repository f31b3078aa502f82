#include "framework/graphics/StretchTaps.h"

#include <algorithm>
#include <cmath>

namespace Quillo
{
namespace
{

// Appends raw (summing to total) as whole weights summing to 256: each tap
// gets the step between the rounded running sums before and after it. The
// running sums never fall, so no weight is below 0, and the rounding errors
// do not pile up on one side of a wide shrink (a tap of a 100-pixel shrink
// is 2.56 wide, and rounding each to 3 would leave -44 to settle).
void AppendWeights(const std::vector<double>& raw, double total, std::vector<int32_t>& weights)
{
    double running = 0;
    long before = 0;
    for (size_t t = 0; t < raw.size(); ++t)
    {
        running += raw[t];
        const long after = t + 1 == raw.size() ? 256 : std::lround(running / total * 256.0);
        weights.push_back(int32_t(after - before));
        before = after;
    }
}

} // namespace

StretchTaps StretchTaps::Build(double start, double scale, int skip, int n, int lo, int hi)
{
    StretchTaps taps;
    std::vector<double> raw;
    for (int i = 0; i < n; ++i)
    {
        const double a = start + (skip + i) * scale, b = start + (skip + i + 1) * scale;
        raw.clear();
        int first;
        if (scale >= 1.0)
        {
            // Area average over the covered pixels, each by its covered fraction.
            first = std::clamp(int(std::floor(a)), lo, hi - 1);
            const int last = std::clamp(int(std::ceil(b)) - 1, first, hi - 1);
            for (int p = first; p <= last; ++p)
                raw.push_back(std::max(0.0, std::min(b, p + 1.0) - std::max(a, double(p))));
        }
        else
        {
            const double centre = (a + b) * 0.5 - 0.5;
            const double f0 = std::floor(centre);
            const double f = centre - f0;
            const int p0 = int(f0);
            if (p0 < lo)
            {
                first = lo;
                raw.push_back(1.0);
            }
            else if (p0 + 1 >= hi)
            {
                first = std::min(p0, hi - 1);
                raw.push_back(1.0);
            }
            else
            {
                first = p0;
                raw.push_back(1.0 - f);
                raw.push_back(f);
            }
        }
        double total = 0;
        for (double r : raw)
            total += r;
        if (total <= 0)
        {
            raw.assign(1, 1.0);
            total = 1.0;
        }
        taps.first.push_back(first);
        taps.count.push_back(int32_t(raw.size()));
        taps.offset.push_back(int32_t(taps.weights.size()));
        AppendWeights(raw, total, taps.weights);
    }
    return taps;
}

} // namespace Quillo
