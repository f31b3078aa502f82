#pragma once

#include "framework/platform/Rect.h"

#include <vector>

namespace Quillo
{

// Rectangles of a picture that have to be drawn or sent again. Overlapping
// and touching rectangles are joined when that costs no more pixels than it
// saves calls, so that a row of moving sprites becomes one strip; what still
// overlaps is cut apart, so that each pixel is drawn once.
class AreaList
{
public:
    // Empty rectangles are left out.
    void Add(const Rect& area);
    void Add(const AreaList& other);
    void Clear() { m_areas.clear(); }
    bool Empty() const { return m_areas.empty(); }
    // Keeps only what lies inside bounds.
    void ClipTo(const Rect& bounds);
    // Joins pairs whose common rectangle is no larger than the two apart,
    // then cuts the rest into rectangles that do not overlap; past kMaxAreas
    // the list becomes its bounding rectangle.
    void Merge();
    Rect Bounds() const;
    const std::vector<Rect>& Areas() const { return m_areas; }

    static constexpr size_t kMaxAreas = 96;

private:
    void JoinCheapPairs();
    void CutOverlaps();

    std::vector<Rect> m_areas;
};

} // namespace Quillo
