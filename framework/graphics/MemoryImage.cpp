#include "framework/graphics/MemoryImage.h"

#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/PixelKernels.h"
#include "framework/graphics/PixelRules.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

namespace Quillo
{
namespace
{

bool SizeAllowed(int w, int h)
{
    return w >= 0 && h >= 0 && int64_t(w) * h <= MemoryImage::kMaxPixels;
}

template <typename T> std::unique_ptr<T[]> CopyArray(const T* from, size_t n)
{
    if (!from)
        return nullptr;
    auto to = std::make_unique<T[]>(n);
    std::memcpy(to.get(), from, n * sizeof(T));
    return to;
}

template <typename T> std::unique_ptr<T[]> CopyArray(const std::unique_ptr<T[]>& from, size_t n)
{
    return CopyArray(from.get(), n);
}

// Alpha classes of the run-length table: transparent, opaque, partial.
uint8_t AlphaClass(uint32_t p)
{
    const uint32_t a = p >> 24;
    return a == 0 ? 0 : (a == 255 ? 1 : 2);
}

// Fills rl (one row of n) with the remaining-run counts of the classes.
template <typename ClassOf> void EncodeRuns(uint8_t* rl, int n, ClassOf classOf)
{
    int run = 0;
    int prev = -1;
    for (int x = n - 1; x >= 0; --x)
    {
        const int c = classOf(x);
        run = (c == prev) ? run + 1 : 1;
        prev = c;
        rl[x] = static_cast<uint8_t>(std::min(run, 255));
    }
}

} // namespace

MemoryImage::MemoryImage() = default;

MemoryImage::MemoryImage(ImageRegistry& registry) : m_registry(&registry)
{
    m_registry->Add(this);
}

MemoryImage::MemoryImage(const MemoryImage& other)
    : Image(other), m_registry(other.m_registry), m_hasTrans(other.m_hasTrans),
      m_hasAlpha(other.m_hasAlpha), m_isVolatile(other.m_isVolatile),
      m_bitsChanged(other.BitsChanged())
{
    const size_t n = size_t(width) * size_t(height);
    if (!other.m_bits && !other.m_colorTable)
    {
        AllocateBits();
    }
    else
    {
        if (other.m_bits)
        {
            AllocateBits();
            std::memcpy(m_bits.get(), other.m_bits.get(), n * 4);
        }
        m_colorTable = CopyArray(other.m_colorTable, 256);
        m_colorIndices = CopyArray(other.m_colorIndices, n);
        m_nativeAlpha = CopyArray(other.m_nativeAlpha, other.m_colorTable ? 256 : n);
        m_rlAlpha.Assign(CopyArray(other.m_rlAlpha.Get(), n));
        m_rlAdditive = CopyArray(other.m_rlAdditive, n);
    }
    if (m_registry)
        m_registry->Add(this);
}

MemoryImage::~MemoryImage()
{
    if (m_registry)
    {
        m_registry->Remove(this);
        m_registry->ReleaseDeviceTexture(*this);
    }
}

void MemoryImage::AllocateBits()
{
    const size_t n = size_t(width) * size_t(height);
    m_bits = PixelArray(new (std::align_val_t(64)) uint32_t[n + 1]());
    m_bits[n] = kGuardWord;
}

void MemoryImage::FreePixelForms()
{
    m_bits.reset();
    m_colorTable.reset();
    m_colorIndices.reset();
    m_paletteExpanded.Reset();
}

const uint32_t* MemoryImage::PaletteExpanded()
{
    if (!m_colorTable || int64_t(width) * height > kMaxExpandedPixels)
        return nullptr;
    return m_paletteExpanded.GetOrBuild(m_derivedLock, [this] {
        const size_t n = size_t(width) * size_t(height);
        auto expanded = std::make_unique<uint32_t[]>(n);
        for (size_t i = 0; i < n; ++i)
            expanded[i] = m_colorTable[m_colorIndices[i]];
        return expanded;
    });
}

bool MemoryImage::GuardIntact() const
{
    return !m_bits || BitsPlaced() || m_bits[size_t(width) * size_t(height)] == kGuardWord;
}

void MemoryImage::PlaceBits(uint32_t* memory)
{
    const size_t n = size_t(width) * size_t(height);
    if (memory == nullptr)
    {
        if (!BitsPlaced())
            return;
        PixelArray placed = std::move(m_bits);
        AllocateBits();
        std::memcpy(m_bits.get(), placed.get(), n * 4);
        return;
    }
    if (m_bits.get() == memory)
        return;
    // A palettized image is expanded on the way, as GetBits does.
    const uint32_t* pixels = GetBits();
    if (pixels != nullptr && n > 0)
        std::memmove(memory, pixels, n * 4);
    m_bits = PixelArray(memory, AlignedDelete{false});
}

uint32_t* MemoryImage::GetBits()
{
    if (!m_bits)
    {
        AllocateBits();
        if (m_colorTable)
        {
            const size_t n = size_t(width) * size_t(height);
            for (size_t i = 0; i < n; ++i)
                m_bits[i] = m_colorTable[m_colorIndices[i]];
            m_colorIndices.reset();
            m_colorTable.reset();
            m_paletteExpanded.Reset();
            m_nativeAlpha.reset();
        }
    }
    return m_bits.get();
}

uint32_t MemoryImage::PixelAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0;
    const size_t i = size_t(y) * size_t(width) + size_t(x);
    if (m_bits)
        return m_bits[i];
    if (m_colorTable)
        return m_colorTable[m_colorIndices[i]];
    return 0;
}

void MemoryImage::CopyPixels(const Rect& rect, uint32_t* out) const
{
    for (int y = 0; y < rect.height; ++y)
    {
        uint32_t* row = out + size_t(y) * size_t(rect.width);
        const size_t base = size_t(rect.y + y) * size_t(width) + size_t(rect.x);
        if (m_bits)
            std::memcpy(row, &m_bits[base], size_t(rect.width) * 4);
        else if (m_colorTable)
            for (int x = 0; x < rect.width; ++x)
                row[x] = m_colorTable[m_colorIndices[base + size_t(x)]];
        else
            std::fill(row, row + rect.width, 0u);
    }
}

void MemoryImage::MarkBitsChanged()
{
    m_bitsChanged.store(true, std::memory_order_relaxed);
    ++m_bitsChangedCount;
    m_paletteExpanded.Reset();
    m_nativeAlpha.reset();
    m_rlAlpha.Reset();
    m_alphaSpans.Reset();
    m_rlAdditive.reset();
}

void MemoryImage::CommitAlphaFlags()
{
    if (!m_bitsChanged.load(std::memory_order_acquire) || m_forcedAlphaFlags)
        return;
    std::lock_guard<std::mutex> guard(m_derivedLock);
    if (!m_bitsChanged.load(std::memory_order_relaxed))
        return;
    bool trans = false, partial = false;
    auto scan = [&](const uint32_t* p, size_t n) {
        for (size_t i = 0; i < n && !(trans && partial); ++i)
        {
            const uint32_t a = p[i] >> 24;
            trans |= a == 0;
            partial |= a != 0 && a != 255;
        }
    };
    if (m_bits)
        scan(m_bits.get(), size_t(width) * size_t(height));
    else if (m_colorTable)
        scan(m_colorTable.get(), 256);
    else
        trans = true;
    m_hasTrans = trans;
    m_hasAlpha = partial;
    m_bitsChanged.store(false, std::memory_order_release);
}

void MemoryImage::DiscardDerivedData()
{
    m_paletteExpanded.Reset();
    m_nativeAlpha.reset();
    m_rlAdditive.reset();
    m_rlAlpha.Reset();
    m_alphaSpans.Reset();
}

void MemoryImage::ReleaseDeviceTexture()
{
    if (m_registry)
        m_registry->ReleaseDeviceTexture(*this);
}

void MemoryImage::DiscardAll()
{
    DiscardDerivedData();
    ReleaseDeviceTexture();
}

void MemoryImage::DiscardNativeData()
{
    m_nativeAlpha.reset();
    m_rlAdditive.reset();
}

void MemoryImage::Clear()
{
    uint32_t* bits = GetBits();
    std::fill(bits, bits + size_t(width) * size_t(height), 0u);
    MarkBitsChanged();
}

void MemoryImage::SetBits(const uint32_t* pixels, int w, int h)
{
    if (!SizeAllowed(w, h))
        w = h = 0;
    FreePixelForms();
    width = w;
    height = h;
    AllocateBits();
    if (pixels)
        std::memcpy(m_bits.get(), pixels, size_t(w) * size_t(h) * 4);
    MarkBitsChanged();
    CommitAlphaFlags();
}

void MemoryImage::Create(int w, int h)
{
    if (!SizeAllowed(w, h))
        w = h = 0;
    FreePixelForms();
    width = w;
    height = h;
    m_hasTrans = true;
    m_hasAlpha = true;
    MarkBitsChanged();
}

void MemoryImage::ForceAlphaFlags(bool hasTrans, bool hasAlpha)
{
    m_hasTrans = hasTrans;
    m_hasAlpha = hasAlpha;
    m_forcedAlphaFlags = true;
}

void MemoryImage::SetVolatile(bool isVolatile) { m_isVolatile = isVolatile; }

bool MemoryImage::ConvertToPalette()
{
    CommitAlphaFlags();
    if (m_colorTable)
        return true;
    const uint32_t* bits = GetBits();
    const size_t n = size_t(width) * size_t(height);
    // Sorted (value, index) pairs; indices follow the order of first appearance.
    std::vector<std::pair<uint32_t, uint8_t>> seen;
    seen.reserve(256);
    auto indices = std::make_unique<uint8_t[]>(n);
    auto table = std::make_unique<uint32_t[]>(256);
    for (size_t i = 0; i < n; ++i)
    {
        const uint32_t v = bits[i];
        auto it = std::lower_bound(seen.begin(), seen.end(), v,
                                   [](const auto& e, uint32_t key) { return e.first < key; });
        if (it == seen.end() || it->first != v)
        {
            if (seen.size() == 256)
                return false;
            const auto index = static_cast<uint8_t>(seen.size());
            table[index] = v;
            it = seen.insert(it, {v, index});
        }
        indices[i] = it->second;
    }
    m_colorTable = std::move(table);
    m_colorIndices = std::move(indices);
    m_paletteExpanded.Reset();
    m_bits.reset();
    m_nativeAlpha.reset();
    return true;
}

const uint8_t* MemoryImage::GetRLAlpha()
{
    CommitAlphaFlags();
    return m_rlAlpha.GetOrBuild(m_derivedLock, [this] {
        auto runs = std::make_unique<uint8_t[]>(size_t(width) * size_t(height));
        for (int y = 0; y < height; ++y)
        {
            const size_t base = size_t(y) * size_t(width);
            uint8_t* rl = &runs[base];
            if (m_bits)
                EncodeRuns(rl, width, [&](int x) { return AlphaClass(m_bits[base + x]); });
            else if (m_colorTable)
                EncodeRuns(rl, width, [&](int x) {
                    return AlphaClass(m_colorTable[m_colorIndices[base + x]]);
                });
            else
                EncodeRuns(rl, width, [](int) { return 0; });
        }
        return runs;
    });
}

const AlphaRowSpan* MemoryImage::GetAlphaRowSpans()
{
    const uint8_t* rl = GetRLAlpha();
    return m_alphaSpans.GetOrBuild(m_derivedLock, [this, rl] {
        auto spans = std::make_unique<AlphaRowSpan[]>(size_t(height));
        for (int y = 0; y < height; ++y)
        {
            const uint8_t* runs = rl + size_t(y) * size_t(width);
            AlphaRowSpan span;
            bool any = false;
            // Runs are capped at 255 pixels, so one opaque stretch may be
            // several runs in a row.
            int opaqueFrom = -1;
            for (int x = 0; x < width; x += runs[x])
            {
                const uint8_t c = AlphaClass(PixelAt(x, y));
                if (c != 0)
                {
                    span.first = any ? span.first : x;
                    span.end = x + runs[x];
                    any = true;
                }
                if (c != 1)
                {
                    opaqueFrom = -1;
                    continue;
                }
                if (opaqueFrom < 0)
                    opaqueFrom = x;
                if (x + runs[x] - opaqueFrom > span.opaqueEnd - span.opaqueStart)
                {
                    span.opaqueStart = opaqueFrom;
                    span.opaqueEnd = x + runs[x];
                }
            }
            spans[size_t(y)] = span;
        }
        return spans;
    });
}

const uint32_t* MemoryImage::GetNativeAlpha(const NativeDisplay* display)
{
    if (!m_nativeAlpha)
    {
        const PixelFormat format = display ? display->GetPixelFormat() : PixelFormat{};
        auto convert = [&format](uint32_t p) {
            const uint32_t a = (p >> 24) + 1;
            auto channel = [&](uint32_t c, int bits, int shift, uint32_t mask) {
                const uint32_t v = ((c * a) >> 8) >> (8 - bits);
                return (v << shift) & mask;
            };
            return (p & 0xFF000000u) |
                   channel((p >> 16) & 0xFF, format.redBits, format.redShift, format.redMask) |
                   channel((p >> 8) & 0xFF, format.greenBits, format.greenShift, format.greenMask) |
                   channel(p & 0xFF, format.blueBits, format.blueShift, format.blueMask);
        };
        if (m_colorTable)
        {
            m_nativeAlpha = std::make_unique<uint32_t[]>(256);
            for (int i = 0; i < 256; ++i)
                m_nativeAlpha[i] = convert(m_colorTable[i]);
        }
        else
        {
            const size_t n = size_t(width) * size_t(height);
            const uint32_t* bits = GetBits();
            m_nativeAlpha = std::make_unique<uint32_t[]>(n);
            for (size_t i = 0; i < n; ++i)
                m_nativeAlpha[i] = convert(bits[i]);
        }
    }
    return m_nativeAlpha.get();
}

const uint8_t* MemoryImage::GetRLAdditive(const NativeDisplay* display)
{
    if (!m_rlAdditive)
    {
        const PixelFormat format = display ? display->GetPixelFormat() : PixelFormat{};
        const uint32_t colorMask = format.redMask | format.greenMask | format.blueMask;
        const uint32_t* native = GetNativeAlpha(display);
        const bool palettized = m_colorTable != nullptr;
        m_rlAdditive = std::make_unique<uint8_t[]>(size_t(width) * size_t(height));
        for (int y = 0; y < height; ++y)
        {
            const size_t base = size_t(y) * size_t(width);
            EncodeRuns(&m_rlAdditive[base], width, [&](int x) {
                const uint32_t p = palettized ? native[m_colorIndices[base + x]] : native[base + x];
                return (p & colorMask) != 0 ? 1 : 0;
            });
        }
    }
    return m_rlAdditive.get();
}

void MemoryImage::FillRect(const Rect& rect, const Color& color, int drawMode)
{
    (void)drawMode;
    const Rect r = rect.Intersection(Rect{0, 0, width, height});
    if (r.width <= 0 || r.height <= 0)
        return;
    uint32_t* bits = GetBits();
    const uint32_t argb = color.ToArgb();
    if ((argb >> 24) == 255)
    {
        const PixelKernels& k = PixelKernels::Active();
        for (int y = r.y; y < r.y + r.height; ++y)
            k.fill(bits + size_t(y) * size_t(width) + r.x, r.width, argb);
    }
    else
    {
        const std::vector<uint32_t> source(size_t(r.width), argb);
        const PixelKernels& k = PixelKernels::Active();
        for (int y = r.y; y < r.y + r.height; ++y)
            k.compositeAlpha(bits + size_t(y) * size_t(width) + r.x, source.data(), r.width);
    }
    MarkBitsChanged();
}

void MemoryImage::ClearRect(const Rect& rect)
{
    const Rect r = rect.Intersection(Rect{0, 0, width, height});
    if (r.width <= 0 || r.height <= 0)
        return;
    uint32_t* bits = GetBits();
    for (int y = r.y; y < r.y + r.height; ++y)
    {
        uint32_t* row = bits + size_t(y) * size_t(width) + r.x;
        std::fill(row, row + r.width, 0u);
    }
    MarkBitsChanged();
}

} // namespace Quillo
