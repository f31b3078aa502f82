#include "framework/graphics/AreaList.h"

namespace Quillo
{

namespace
{

int64_t AreaOf(const Rect& r)
{
    return int64_t(r.width) * int64_t(r.height);
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
    if (m_areas.size() > kMaxAreas)
    {
        const Rect all = Bounds();
        m_areas.assign(1, all);
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
