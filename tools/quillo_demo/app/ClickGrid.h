#pragma once

#include "tools/quillo_demo/app/StateHash.h"

#include "framework/graphics/Color.h"
#include "framework/widgets/Widget.h"

#include <array>

namespace QuilloDemo
{

// A grid of cells: a left click lights a cell in a random colour, a right
// click puts it out, and lit cells fade a little every update.
class ClickGrid : public Quillo::Widget
{
public:
    static constexpr int kColumns = 8;
    static constexpr int kRows = 5;
    static constexpr int kCell = 40;

    ClickGrid();

    void Draw(Quillo::Graphics* g) override;
    void Update() override;
    void OnMouseDown(int localX, int localY, int clickCode) override;

    void AddState(StateHash& hash) const;
    int Clicks() const { return m_clicks; }
    void SetClicks(int clicks) { m_clicks = clicks; }

private:
    struct Cell
    {
        Quillo::Color color;
        int glow = 0;
    };

    std::array<Cell, kColumns * kRows> m_cells{};
    int m_clicks = 0;
};

} // namespace QuilloDemo
