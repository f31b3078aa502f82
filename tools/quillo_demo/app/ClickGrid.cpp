#include "tools/quillo_demo/app/ClickGrid.h"

#include "framework/app/RandomInt.h"
#include "framework/graphics/Graphics.h"

namespace QuilloDemo
{

ClickGrid::ClickGrid()
{
    Resize(20, 20, kColumns * kCell, kRows * kCell);
}

void ClickGrid::Draw(Quillo::Graphics* g)
{
    g->SetColor(Quillo::Color(30, 30, 40));
    g->FillRect(0, 0, width, height);
    for (int i = 0; i < kColumns * kRows; ++i)
    {
        const Cell& c = m_cells[static_cast<size_t>(i)];
        const int cx = (i % kColumns) * kCell;
        const int cy = (i / kColumns) * kCell;
        if (c.glow > 0)
        {
            g->SetColor(Quillo::Color(c.color.red * c.glow / 255, c.color.green * c.glow / 255, c.color.blue * c.glow / 255));
            g->FillRect(cx + 2, cy + 2, kCell - 4, kCell - 4);
        }
        g->SetColor(Quillo::Color(90, 90, 110));
        g->DrawRect(cx, cy, kCell - 1, kCell - 1);
    }
}

void ClickGrid::Update()
{
    bool changed = false;
    for (Cell& c : m_cells)
    {
        if (c.glow > 64)
        {
            --c.glow;
            changed = true;
        }
    }
    if (changed)
        Invalidate();
}

void ClickGrid::OnMouseDown(int localX, int localY, int clickCode)
{
    Widget::OnMouseDown(localX, localY, clickCode);
    const int column = localX / kCell;
    const int row = localY / kCell;
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows)
        return;
    Cell& c = m_cells[static_cast<size_t>(row * kColumns + column)];
    if (clickCode > 0)
    {
        c.color = Quillo::Color(64 + Quillo::RandomInt() % 192, 64 + Quillo::RandomInt() % 192,
                                64 + Quillo::RandomInt() % 192);
        c.glow = 255;
        ++m_clicks;
    }
    else
    {
        c.glow = 0;
    }
    Invalidate();
}

void ClickGrid::AddState(StateHash& hash) const
{
    for (const Cell& c : m_cells)
    {
        hash.Add(static_cast<uint32_t>(c.glow));
        hash.Add(static_cast<uint32_t>(c.color.red << 16 | c.color.green << 8 | c.color.blue));
    }
    hash.Add(static_cast<uint32_t>(m_clicks));
}

} // namespace QuilloDemo
