#include "tools/artgen/Output.h"

#include "tools/artgen/Faces.h"

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace Spindrel::Art
{

Output::Output(std::string root) : m_root(std::move(root)) {}

Output::~Output()
{
    for (auto& [sheet, items] : m_sheets)
        for (auto& item : items)
            cairo_surface_destroy(item.surface);
}

void Output::Keep(const std::string& sheet, const std::string& name, const Canvas& canvas)
{
    m_sheets[sheet].push_back({name, cairo_surface_reference(canvas.Surface())});
}

const cairo_surface_t* Output::Kept(const std::string& name) const
{
    for (const auto& [sheet, items] : m_sheets)
        for (const auto& item : items)
            if (item.name == name)
                return item.surface;
    return nullptr;
}

void Output::WriteContactSheets(const std::string& folder, const Faces& faces) const
{
    std::filesystem::create_directories(folder);
    for (const auto& [sheet, items] : m_sheets)
    {
        // Rows of pictures at most 820 px wide, wider ones scaled down.
        const double maxWidth = 820;
        struct Place
        {
            double x, y, scale;
        };
        std::vector<Place> places;
        double x = 10, y = 10, rowHeight = 0;
        for (const auto& item : items)
        {
            const double w = cairo_image_surface_get_width(item.surface);
            const double h = cairo_image_surface_get_height(item.surface);
            // Full screens two to a row, long strips fitted to the width.
            const bool scene = sheet.rfind("scene_", 0) == 0;
            const double scale = !scene && w >= 800 && h >= 400 ? 0.5 : (w > maxWidth ? maxWidth / w : 1.0);
            if (x + w * scale > maxWidth + 10 && x > 10)
            {
                x = 10;
                y += rowHeight + 24;
                rowHeight = 0;
            }
            places.push_back({x, y, scale});
            x += w * scale + 14;
            rowHeight = std::max(rowHeight, h * scale);
        }
        Canvas page(static_cast<int>(maxWidth) + 20, static_cast<int>(y + rowHeight + 30));
        cairo_t* cr = page.Cr();
        // A neutral checkerboard shows transparency.
        for (int ty = 0; ty < page.Height(); ty += 8)
            for (int tx = 0; tx < page.Width(); tx += 8)
            {
                const double v = ((tx + ty) / 8) % 2 ? 0.42 : 0.5;
                cairo_set_source_rgb(cr, v, v, v);
                cairo_rectangle(cr, tx, ty, 8, 8);
                cairo_fill(cr);
            }
        for (size_t i = 0; i < items.size(); ++i)
        {
            cairo_save(cr);
            cairo_translate(cr, places[i].x, places[i].y);
            cairo_scale(cr, places[i].scale, places[i].scale);
            cairo_set_source_surface(cr, items[i].surface, 0, 0);
            cairo_paint(cr);
            cairo_restore(cr);
            faces.Use(cr, Face::Body, 9);
            cairo_set_source_rgb(cr, 1, 1, 0.8);
            const double h = cairo_image_surface_get_height(items[i].surface) * places[i].scale;
            cairo_move_to(cr, places[i].x, places[i].y + h + 11);
            const std::string label = std::filesystem::path(items[i].name).filename().string();
            cairo_show_text(cr, label.c_str());
        }
        page.WritePng(folder + "/" + sheet + ".png");
    }
}

std::string Output::Prepare(const std::string& relativePath)
{
    const std::filesystem::path full = std::filesystem::path(m_root) / relativePath;
    std::filesystem::create_directories(full.parent_path());
    return full.string();
}

void Output::Png(const std::string& sheet, const std::string& stem, const Canvas& canvas)
{
    canvas.WritePng(Prepare(stem + ".png"));
    Keep(sheet, stem + ".png", canvas);
}

void Output::Jpeg(const std::string& sheet, const std::string& stem, const Canvas& canvas)
{
    canvas.WriteJpeg(Prepare(stem + ".jpg"), 92);
    Keep(sheet, stem + ".jpg", canvas);
}

void Output::Text(const std::string& relativePath, const std::string& text)
{
    const std::string path = Prepare(relativePath);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void Output::Copy(const std::string& from, const std::string& relativePath)
{
    Read(from);
    std::filesystem::copy_file(from, Prepare(relativePath),
                               std::filesystem::copy_options::overwrite_existing);
}

} // namespace Spindrel::Art
