// The opaque-destination block kernel of a vector set, included inside the
// anonymous namespace of each set's file after its QUILLO_TARGET, Vec,
// kLanes, Load, Store and BlendOpaqueRow (d, s, n, room), so that every
// set compiles it for its own instructions.
//
// BlendOpaqueRow may run whole vectors up to room pixels from d, past n:
// the block kernel passes only pixels that are transparent or opaque there,
// whose result does not depend on being blended more than once.

// Opaque runs shorter than this go through the blend loop with the rest;
// it is at least kLanes, which CopyRow needs.
constexpr int kCopyFrom = 16;
static_assert(kCopyFrom >= kLanes);

// Copies n >= kLanes pixels, the last vector overlapping its predecessor.
QUILLO_TARGET inline void CopyRow(uint32_t* d, const uint32_t* s, int n)
{
    int i = 0;
    for (; i + kLanes < n; i += kLanes)
        Store(d + i, Load(s + i));
    Store(d + n - kLanes, Load(s + n - kLanes));
}

QUILLO_TARGET void BlendOpaqueBlock(const OpaqueBlock& block)
{
    // Locals, not the block's fields: the stores below may alias any int32_t.
    const int x0 = block.x0, count = block.count, rows = block.rows;
    const ptrdiff_t destPitch = block.destPitch, srcPitch = block.srcPitch;
    const AlphaRowSpan* spans = block.spans;
    uint32_t* d = block.dest;
    const uint32_t* s = block.src;
    for (int row = 0; row < rows; ++row, d += destPitch, s += srcPitch)
    {
        const OpaqueRowParts p = CutOpaqueRow(spans[row], x0, count, kCopyFrom);
        if (p.first >= p.end)
            continue;
        // Past the left part the pixels are opaque up to opaqueEnd; past a
        // row without a copied middle, and past the right part, they are
        // transparent up to count.
        const bool copy = p.opaqueEnd > p.opaqueStart;
        BlendOpaqueRow(d + p.first, s + p.first, p.opaqueStart - p.first, (copy ? p.opaqueEnd : count) - p.first);
        if (copy)
        {
            CopyRow(d + p.opaqueStart, s + p.opaqueStart, p.opaqueEnd - p.opaqueStart);
            BlendOpaqueRow(d + p.opaqueEnd, s + p.opaqueEnd, p.end - p.opaqueEnd, count - p.opaqueEnd);
        }
    }
}
