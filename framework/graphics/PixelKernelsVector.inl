// The lane arithmetic and row loops that the AVX2 and AVX-512 sets share,
// included inside the anonymous namespace of each set's file after its
// QUILLO_TARGET, Vec, Lanes (what a comparison gives), Tail (a row-end
// mask), kLanes, its one-line operations (Load, Store, Set32, And,
// Srl16<n>, Eq32, All, Select, TailMask, MaskLoad, MaskStore, Divide and the
// rest) and its head policies kMaskedHeads and kModulateHeads, so that every
// set compiles it for its own registers.

// Pixels to handle one by one before d + count is aligned to a vector.
inline int HeadCount(const uint32_t* d, int n)
{
    const auto misalign = reinterpret_cast<uintptr_t>(d) & (sizeof(Vec) - 1);
    const int head = misalign == 0 ? 0 : int((sizeof(Vec) - misalign) / 4);
    return head < n ? head : n;
}

// Rows at least this long first step to an aligned destination (for
// AVX-512 a whole cache line, so that no store of the body straddles two);
// shorter ones are cheaper unaligned.
constexpr int kAlignFrom = 64;

QUILLO_TARGET inline int Head(const uint32_t* d, int n) { return n >= kAlignFrom ? HeadCount(d, n) : 0; }

// x / 255 for 16-bit x, exactly.
QUILLO_TARGET inline Vec Div255(Vec x) { return Srl16<7>(MulHi16(x, Set16(int16_t(0x8081)))); }

// One 16-bit value per 32-bit lane, repeated over the four channels of its
// pixel once the pixels are widened to 16 bits (low and high halves).
QUILLO_TARGET inline void Spread(Vec v32, Vec& lo, Vec& hi)
{
    const Vec pair = Or(v32, Sll32<16>(v32));
    lo = UnpackLo32(pair, pair);
    hi = UnpackHi32(pair, pair);
}

// Red and green as (x + y) / 256, blue as x / 256 + y / 256: dropping the
// low byte of both blue terms before the sum gives the separately
// truncated form. The alpha lane is left for the caller to replace.
QUILLO_TARGET inline Vec MixChannels(Vec x, Vec y)
{
    const Vec keep = Set64(int64_t(0xFFFFFFFFFFFFFF00ull));
    return Srl16<8>(Add16(And(x, keep), And(y, keep)));
}

// s over d with 16-bit source weights per channel (wLo, wHi for the two
// widened halves), 256 - w for d.
QUILLO_TARGET inline Vec WeightedChannels(Vec d, Vec s, Vec wLo, Vec wHi)
{
    const Vec c256 = Set16(256);
    const Vec lo = MixChannels(Mul16(WidenLo(d), Sub16(c256, wLo)), Mul16(WidenLo(s), wLo));
    const Vec hi = MixChannels(Mul16(WidenHi(d), Sub16(c256, wHi)), Mul16(WidenHi(s), wHi));
    return PackUs16(lo, hi);
}

// The source weight x 255 / outA of the compositing rules. Over an opaque
// destination outA is 255 and the weight is the alpha itself, so the
// division is needed only where some destination pixel has alpha.
QUILLO_TARGET inline Vec SourceWeight(Vec alpha, Vec outA)
{
    const Vec c255 = Set32(255);
    if (All(Eq32(outA, c255)))
        return alpha;
    return Divide(Mul16(alpha, c255), Max16(outA, Set32(1)));
}

QUILLO_TARGET inline Vec BlendOpaqueLanes(Vec dv, Vec sv)
{
    const Vec a32 = Srl32<24>(sv);
    const Lanes none = Eq32(a32, Zero());
    const Lanes full = Eq32(a32, Set32(255));
    const Vec out = Or(WeightedChannels(dv, sv, Shuffle8(sv, AlphaSpreadLo()), Shuffle8(sv, AlphaSpreadHi())),
                       Set32(int32_t(0xFF000000u)));
    return Select(none, dv, Select(full, sv, out));
}

// n pixels, whole vectors allowed up to room pixels (see PixelKernelsOpaqueBlock.inl).
QUILLO_TARGET __attribute__((always_inline)) inline void BlendOpaqueRow(uint32_t* d, const uint32_t* s, int n, int room)
{
    const Vec zero = Zero(), c255 = Set32(255);
    int i = Head(d, n);
    if constexpr (kMaskedHeads)
    {
        if (i > 0)
        {
            const Tail m = TailMask(i);
            MaskStore(d, m, BlendOpaqueLanes(MaskLoad(d, m), MaskLoad(s, m)));
        }
    }
    else
    {
        for (int j = 0; j < i; ++j)
            d[j] = PixelRules::BlendOpaqueClass(d[j], s[j]);
    }
    for (; i < n && i + kLanes <= room; i += kLanes)
    {
        const Vec sv = Load(s + i);
        const Vec a32 = Srl32<24>(sv);
        if (All(Eq32(a32, zero)))
            continue;
        if (All(Eq32(a32, c255)))
        {
            Store(d + i, sv);
            continue;
        }
        Store(d + i, BlendOpaqueLanes(Load(d + i), sv));
    }
    if (i < n)
    {
        const Tail m = TailMask(n - i);
        MaskStore(d + i, m, BlendOpaqueLanes(MaskLoad(d + i, m), MaskLoad(s + i, m)));
    }
}

// ((w x (s x k)) / 256 + (256 - w) x d) / 256 on 16-bit channels; the sum
// stays below 65281.
QUILLO_TARGET inline Vec ModulatedChannels(Vec s16, Vec d16, Vec w16, Vec k)
{
    const Vec sk = Mul16(s16, k);
    const Vec wsk = Or(Sll16<8>(MulHi16(w16, sk)), Srl16<8>(Mul16(w16, sk)));
    return Srl16<8>(Add16(wsk, Mul16(Sub16(Set16(256), w16), d16)));
}

// A vector of pixels of the modulated rule; lanes whose modulated alpha is 0 keep d.
QUILLO_TARGET inline Vec ModulateLanes(Vec dv, Vec sv, Vec caV, Vec k)
{
    const Vec t = Div255(Mul16(caV, Srl32<24>(sv)));
    const Lanes none = Eq32(t, Zero());
    const Vec da = Srl32<24>(dv);
    const Vec outA = Add32(da, Div255(Mul16(Sub32(Set32(255), da), t)));
    Vec wLo, wHi;
    Spread(SourceWeight(t, outA), wLo, wHi);
    const Vec lo = ModulatedChannels(WidenLo(sv), WidenLo(dv), wLo, k);
    const Vec hi = ModulatedChannels(WidenHi(sv), WidenHi(dv), wHi, k);
    const Vec out = Or(And(PackUs16(lo, hi), Set32(0x00FFFFFF)), Sll32<24>(outA));
    return Select(none, dv, out);
}

// Short rows (a glyph is one) go unaligned with a masked last block: a
// scalar head and tail would cost two divisions a pixel on most of them.
QUILLO_TARGET void ModulateRow(uint32_t* d, const uint32_t* s, int n, uint32_t color)
{
    const uint32_t ca = PixelRules::A(color), kr = PixelRules::R(color), kg = PixelRules::G(color),
                   kb = PixelRules::B(color);
    const Vec zero = Zero();
    const Vec caV = Set32(int32_t(ca));
    const Vec k = Set64(int64_t(kb) | (int64_t(kg) << 16) | (int64_t(kr) << 32));
    int i = 0;
    if constexpr (kModulateHeads)
        for (const int head = Head(d, n); i < head; ++i)
        {
            const uint32_t t = ca * PixelRules::A(s[i]) / 255;
            if (t != 0)
                d[i] = PixelRules::Modulate(d[i], s[i], t, kr, kg, kb);
        }
    for (; i + kLanes <= n; i += kLanes)
    {
        const Vec sv = Load(s + i);
        // Transparent source pixels are common (glyph cells, sprite edges).
        if (All(Eq32(Srl32<24>(sv), zero)))
            continue;
        Store(d + i, ModulateLanes(Load(d + i), sv, caV, k));
    }
    if (i < n)
    {
        const Tail m = TailMask(n - i);
        // Lanes past the end count as opaque, which keeps the weight free of divisions.
        const Vec dv = MaskLoadOr(d + i, m, Set32(int32_t(0xFF000000u)));
        MaskStore(d + i, m, ModulateLanes(dv, MaskLoad(s + i, m), caV, k));
    }
}

// What the additive rule adds to each channel, without widening: blue and
// red sit in the low bytes of the two 16-bit halves of each pixel, green in
// the low byte of the lower half once shifted down, so one 16-bit multiply
// serves two channels and no unpacking or packing is needed. Every product
// fits 16 bits (255 x 256). Alpha comes out 0, which leaves d's alpha.
QUILLO_TARGET inline Vec AdditiveTerm(Vec sv, Vec kRedBlue, Vec kGreen, bool modulated, bool useAlpha)
{
    Vec rb = And(sv, Set32(0x00FF00FF));
    Vec g = And(Srl32<8>(sv), Set32(0xFF));
    if (modulated)
    {
        rb = Srl16<8>(Mul16(rb, kRedBlue));
        g = Srl16<8>(Mul16(g, kGreen));
    }
    if (useAlpha)
    {
        const Vec a = Srl32<24>(sv);
        rb = Srl16<8>(Mul16(rb, Or(a, Sll32<16>(a))));
        g = Srl16<8>(Mul16(g, a));
    }
    return Or(rb, Sll32<8>(g));
}

template <bool kModulated, bool kUseAlpha>
QUILLO_TARGET void AdditiveRows(uint32_t* d, const uint32_t* s, int n, Vec kRedBlue, Vec kGreen)
{
    int i = 0;
    for (; i + kLanes <= n; i += kLanes)
        Store(d + i, AddSat8(Load(d + i), AdditiveTerm(Load(s + i), kRedBlue, kGreen, kModulated, kUseAlpha)));
    if (i < n)
    {
        const Tail m = TailMask(n - i);
        const Vec term = AdditiveTerm(MaskLoad(s + i, m), kRedBlue, kGreen, kModulated, kUseAlpha);
        MaskStore(d + i, m, AddSat8(MaskLoad(d + i, m), term));
    }
}

QUILLO_TARGET void AdditiveRow(uint32_t* d, const uint32_t* s, int n, uint32_t kr, uint32_t kg, uint32_t kb,
                               bool useAlpha)
{
    const Vec kRedBlue = Set32(int32_t(kb | (kr << 16)));
    const Vec kGreen = Set32(int32_t(kg));
    const bool modulated = kr != 256 || kg != 256 || kb != 256;
    if (modulated)
        useAlpha ? AdditiveRows<true, true>(d, s, n, kRedBlue, kGreen)
                 : AdditiveRows<true, false>(d, s, n, kRedBlue, kGreen);
    else
        useAlpha ? AdditiveRows<false, true>(d, s, n, kRedBlue, kGreen)
                 : AdditiveRows<false, false>(d, s, n, kRedBlue, kGreen);
}
