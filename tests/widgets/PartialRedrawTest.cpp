#include "WidgetTestKit.h"

#include "framework/graphics/DrawList.h"
#include "framework/widgets/ButtonWidget.h"
#include "framework/widgets/Checkbox.h"
#include "framework/widgets/CursorWidget.h"
#include "framework/widgets/EditWidget.h"
#include "framework/widgets/HyperlinkWidget.h"
#include "framework/widgets/Slider.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <sstream>

using namespace Quillo;

namespace
{

constexpr int kWidth = 48;
constexpr int kHeight = 36;

// An image whose alpha falls from the middle to nothing at the edges.
std::unique_ptr<MemoryImage> SoftImage(int w, int h, uint32_t rgb)
{
    auto image = std::make_unique<MemoryImage>();
    image->Create(w, h);
    uint32_t* bits = image->GetBits();
    for (int y = 0; y < h; ++y)
    {
        for (int x = 0; x < w; ++x)
        {
            const int edge = std::min({x + 1, y + 1, w - x, h - y});
            const uint32_t alpha = uint32_t(std::min(255, edge * 90));
            bits[y * w + x] = alpha << 24 | (rgb & 0xFFFFFF);
        }
    }
    image->MarkBitsChanged();
    image->CommitAlphaFlags();
    return image;
}

// Fills its bounds with a colour that may be translucent, writes a word on
// it and, with clips off, spills a frame around its bounds.
class Panel : public Widget
{
public:
    explicit Panel(Font* textFont) : font(textFont) {}
    void Draw(Graphics* g) override
    {
        g->SetColor(fill);
        g->FillRect(0, 0, width, height);
        g->SetFont(font);
        g->SetColor(Color(250, 250, 250, 150));
        g->DrawString("hi", 1, 9);
        if (!clips)
        {
            g->SetColor(Color(255, 0, 255, 120));
            g->DrawRect(-3, -3, width + 5, height + 5);
        }
    }
    bool IsOpaque() override { return fill.alpha == 255 && clips; }

    Font* font;
    Color fill{0, 0, 0, 255};
};

// Keeps its picture as a list of calls, as the board does, and asks for the
// areas where the next list differs from the last.
class Sprites : public Widget
{
public:
    explicit Sprites(MemoryImage* spriteImage) : sprite(spriteImage) {}
    void BeforeDrawPass() override
    {
        DrawList next;
        Build(next);
        if (!dirty)
        {
            AreaList areas;
            next.AddChangedAreas(shown, Rect{0, 0, width, height}, areas);
            areas.Merge();
            for (const Rect& area : areas.Areas())
                InvalidateArea(area);
        }
        std::swap(shown, next);
    }
    void Draw(Graphics* g) override { shown.Replay(*g); }

    MemoryImage* sprite;
    Color backColor{30, 60, 90, 255};
    std::vector<Point> places{{2, 2}, {10, 6}, {20, 12}};

private:
    void Build(DrawList& list)
    {
        list.SetColor(backColor);
        list.FillRect(0, 0, width, height);
        for (const Point& p : places)
            list.DrawImage(sprite, p.x, p.y);
    }
    DrawList shown;
};

// Random changes to a set of widgets, with a draw pass after every few of
// them; each pass must leave the picture a whole redraw makes.
class Scene
{
public:
    explicit Scene(uint32_t seed) : rng(seed)
    {
        screen.Create(kWidth, kHeight);
        screen.ForceAlphaFlags(false, false);
        manager.SetSize(kWidth, kHeight);
        manager.SetScreenImage(&screen);
        manager.SetHost(&host);
        manager.GetCursorWidget()->SetImage(arrow.get());
        panels[0].fill = Color(90, 30, 30, 255);
        panels[1].fill = Color(30, 120, 30, 160);
        panels[2].fill = Color(200, 200, 40, 255);
        panels[2].translucent = true;
        button.normalImage = buttonNormal.get();
        button.overImage = buttonOver.get();
        button.fadeInSpeed = 0.3;
        button.fadeOutSpeed = 0.2;
        button.label = "ok";
        button.SetFont(&font);
        link.label = "go";
        link.SetFont(&font);
        link.overColor = Color(255, 0, 0);
        edit.SetFont(&font);
        edit.SetText("ab", true);
        edit.SetColor(0, Color(255, 255, 255, 140));
        // A screen's background, behind everything, that only comes and goes.
        backdrop.fill = Color(20, 20, 40, 255);
        backdrop.Resize(0, 0, kWidth, kHeight);
        manager.AddWidget(&backdrop);
        for (Widget* w : all)
        {
            w->Resize(RandomRect());
            manager.AddWidget(w);
        }
        presented.assign(size_t(kWidth) * kHeight, 0);
    }

    // Runs frames until one differs from a whole redraw; returns what went wrong.
    std::string Run(int frames)
    {
        for (int frame = 0; frame < frames; ++frame)
        {
            const int changes = Pick(1, 4);
            for (int i = 0; i < changes; ++i)
                Change();
            manager.DrawPass();
            for (const Rect& r : manager.DrawnAreas().Areas())
                for (int y = r.y; y < r.y + r.height; ++y)
                    for (int x = r.x; x < r.x + r.width; ++x)
                        presented[size_t(y) * kWidth + size_t(x)] = screen.PixelAt(x, y);
            const std::vector<uint32_t> whole = WholeRedraw();
            if (const std::string wrong = Compare(whole); !wrong.empty())
                return wrong + " after frame " + std::to_string(frame) + "; changes:" + steps.str();
            steps << " |";
        }
        return {};
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    Widget* AnyWidget() { return all[size_t(Pick(0, int(all.size()) - 1))]; }
    Rect RandomRect() { return Rect{Pick(-8, kWidth - 4), Pick(-8, kHeight - 4), Pick(1, 30), Pick(1, 24)}; }

    void Change()
    {
        if (Pick(0, 39) == 0)
        {
            steps << " backdrop";
            backdrop.SetVisible(!backdrop.visible);
            return;
        }
        const int index = Pick(0, int(all.size()) - 1);
        Widget* w = all[size_t(index)];
        const int kind = Pick(0, 16);
        steps << " " << kind << "@" << index;
        switch (kind)
        {
        case 0:
            w->Resize(RandomRect());
            break;
        case 1:
            w->Move(w->x + Pick(-4, 4), w->y + Pick(-4, 4));
            break;
        case 2:
            w->SetVisible(!w->visible);
            break;
        case 3:
            manager.BringToFront(w);
            break;
        case 4:
            manager.PutInFront(w, AnyWidget());
            break;
        case 5:
            if (manager.HasWidget(w))
                manager.RemoveWidget(w);
            else
                manager.AddWidget(w);
            break;
        case 6:
            panels[size_t(index) % panels.size()].fill =
                Color(Pick(0, 255), Pick(0, 255), Pick(0, 255), Pick(0, 1) ? 255 : Pick(40, 200));
            panels[size_t(index) % panels.size()].Invalidate();
            break;
        case 7:
            panels[size_t(index) % panels.size()].clips = !panels[size_t(index) % panels.size()].clips;
            panels[size_t(index) % panels.size()].Invalidate();
            break;
        case 8:
            sprites.places[size_t(Pick(0, 2))] = Point{Pick(-4, 28), Pick(-4, 20)};
            if (Pick(0, 3) == 0)
            {
                sprites.backColor.alpha = Pick(0, 1) ? 255 : 100;
                sprites.Invalidate();
            }
            break;
        case 9:
            checkbox.SetChecked(!checkbox.IsChecked(), false);
            break;
        case 10:
            slider.SetValue(Pick(0, 10) / 10.0);
            break;
        case 11:
            manager.MouseMove(Pick(0, kWidth - 1), Pick(0, kHeight - 1));
            break;
        case 12:
        {
            const int mx = Pick(0, kWidth - 1), my = Pick(0, kHeight - 1);
            manager.MouseDown(mx, my, 1);
            manager.MouseUp(mx, my, 1);
            break;
        }
        case 13:
            manager.UpdatePass();
            break;
        case 14:
            manager.ShowCursorWidget(Pick(0, 1) == 1);
            break;
        case 15:
            w->SetOverlay(!w->overlay);
            break;
        default:
            w->seeThrough = !w->seeThrough;
            break;
        }
    }

    std::vector<uint32_t> WholeRedraw()
    {
        MemoryImage whole;
        whole.Create(kWidth, kHeight);
        whole.ForceAlphaFlags(false, false);
        std::fill(whole.GetBits(), whole.GetBits() + kWidth * kHeight, 0xFF000000u);
        Graphics g(&whole);
        for (Widget* w : manager.Widgets())
        {
            if (!w->visible)
                continue;
            Graphics local(g);
            if (w->clips)
                local.IntersectClip(w->x, w->y, w->width, w->height);
            local.Translate(w->x, w->y);
            w->Draw(&local);
        }
        return std::vector<uint32_t>(whole.GetBits(), whole.GetBits() + kWidth * kHeight);
    }

    std::string Compare(const std::vector<uint32_t>& whole) const
    {
        for (int y = 0; y < kHeight; ++y)
        {
            for (int x = 0; x < kWidth; ++x)
            {
                const size_t at = size_t(y) * kWidth + size_t(x);
                const uint32_t shown = screen.PixelAt(x, y);
                if (shown == whole[at] && presented[at] == whole[at])
                    continue;
                std::ostringstream out;
                out << std::hex << (shown != whole[at] ? "screen " : "presented ")
                    << (shown != whole[at] ? shown : presented[at]) << " instead of " << whole[at]
                    << std::dec << " at " << x << "," << y;
                return out.str();
            }
        }
        return {};
    }

    std::mt19937 rng;
    std::ostringstream steps;
    MemoryImage screen;
    std::vector<uint32_t> presented;
    TestHost host;
    TestFont font;
    ControlLog log;
    std::unique_ptr<MemoryImage> arrow = SoftImage(5, 5, 0xFFFFFF);
    std::unique_ptr<MemoryImage> spark = SoftImage(7, 6, 0xFFC040);
    std::unique_ptr<MemoryImage> boxOff = SoftImage(9, 9, 0x4060FF);
    std::unique_ptr<MemoryImage> boxOn = SoftImage(9, 9, 0xFF3030);
    std::unique_ptr<MemoryImage> track = SoftImage(12, 5, 0x808080);
    std::unique_ptr<MemoryImage> thumb = SoftImage(5, 9, 0x20E0E0);
    std::unique_ptr<MemoryImage> buttonNormal = SoftImage(14, 8, 0x2020A0);
    std::unique_ptr<MemoryImage> buttonOver = SoftImage(14, 8, 0x20F020);
    // The manager outlives its widgets, which leave it when destroyed.
    WidgetManager manager;
    Panel backdrop{&font};
    std::array<Panel, 3> panels{{Panel(&font), Panel(&font), Panel(&font)}};
    Sprites sprites{spark.get()};
    Checkbox checkbox{boxOff.get(), boxOn.get(), 1, &log};
    Slider slider{track.get(), thumb.get(), 2, &log};
    ButtonWidget button{3, &log};
    HyperlinkWidget link{4, &log};
    EditWidget edit{5, nullptr};
    std::vector<Widget*> all{&panels[0], &sprites, &panels[1], &checkbox, &slider,
                             &button,     &link,     &panels[2], &edit};
};

TEST(PartialRedraw, AfterAnyChangesEveryFrameShowsAndPresentsTheWholeRedrawPicture)
{
    constexpr uint32_t kSequences = 3000;
    for (uint32_t seed = 1; seed <= kSequences; ++seed)
    {
        Scene scene(seed);
        const std::string wrong = scene.Run(12);
        ASSERT_TRUE(wrong.empty()) << "seed " << seed << ": " << wrong;
    }
}

} // namespace
