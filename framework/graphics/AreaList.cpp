#include "framework/graphics/AreaList.h"

namespace Quillo
{

namespace
{

int64_t AreaOf(const Rect& r)
{
    return int64_t(r.width) * int64_t(r.height);
}

// Adds the parts of r outside cut: at most a band above, one below, and the
// pieces left and right of cut between them.
void AddOutside(const Rect& r, const Rect& cut, std::vector<Rect>& out)
{
    const Rect common = r.Intersection(cut);
    if (common.width <= 0)
    {
        out.push_back(r);
        return;
    }
    const int32_t bottom = r.y + r.height;
    const int32_t commonBottom = common.y + common.height;
    if (common.y > r.y)
        out.push_back(Rect{r.x, r.y, r.width, common.y - r.y});
    if (commonBottom < bottom)
        out.push_back(Rect{r.x, commonBottom, r.width, bottom - commonBottom});
    if (common.x > r.x)
        out.push_back(Rect{r.x, common.y, common.x - r.x, common.height});
    const int32_t commonRight = common.x + common.width;
    if (commonRight < r.x + r.width)
        out.push_back(Rect{commonRight, common.y, r.x + r.width - commonRight, common.height});
}

} // namespace

void AreaList::Add(const Rect& area)
{
    if (area.width > 0 && area.height > 0)
        m_areas.push_back(area);
}

void AreaList::Add(const AreaList& other)
{
    m_areas.insert(m_areas.end(), other.m_areas.begin(), other.m_areas.end());
}

void AreaList::ClipTo(const Rect& bounds)
{
    std::vector<Rect> kept;
    kept.reserve(m_areas.size());
    for (const Rect& r : m_areas)
    {
        const Rect inside = r.Intersection(bounds);
        if (inside.width > 0)
            kept.push_back(inside);
    }
    m_areas.swap(kept);
}

void AreaList::Merge()
{
    JoinCheapPairs();
    if (m_areas.size() <= kMaxAreas)
        CutOverlaps();
    if (m_areas.size() > kMaxAreas)
    {
        const Rect all = Bounds();
        m_areas.assign(1, all);
    }
}

void AreaList::CutOverlaps()
{
    std::vector<Rect> apart;
    apart.reserve(m_areas.size());
    std::vector<Rect> pieces, rest;
    for (const Rect& r : m_areas)
    {
        pieces.assign(1, r);
        for (const Rect& taken : apart)
        {
            rest.clear();
            for (const Rect& piece : pieces)
                AddOutside(piece, taken, rest);
            pieces.swap(rest);
        }
        apart.insert(apart.end(), pieces.begin(), pieces.end());
    }
    m_areas.swap(apart);
}

void AreaList::JoinCheapPairs()
{
    // A rectangle grown by a join may reach one it was checked against
    // before, so passes repeat until one joins nothing.
    bool joined = true;
    while (joined)
    {
        joined = false;
        for (size_t i = 0; i < m_areas.size(); ++i)
        {
            for (size_t j = i + 1; j < m_areas.size();)
            {
                const Rect both = m_areas[i].Union(m_areas[j]);
                if (AreaOf(both) > AreaOf(m_areas[i]) + AreaOf(m_areas[j]))
                {
                    ++j;
                    continue;
                }
                m_areas[i] = both;
                m_areas[j] = m_areas.back();
                m_areas.pop_back();
                joined = true;
                j = i + 1;
            }
        }
    }
}

Rect AreaList::Bounds() const
{
    Rect all;
    for (const Rect& r : m_areas)
        all = all.Union(r);
    return all;
}

} // namespace Quillo
