#include "tools/artgen/Faces.h"

#include "tools/artgen/Output.h"

#include <cairo-ft.h>

#include <stdexcept>

namespace Spindrel::Art
{

std::string Faces::File(Face face)
{
    switch (face)
    {
    case Face::Body:
        return "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    case Face::Display:
        return "/usr/share/fonts/opentype/comic-neue/ComicNeue-Bold.otf";
    case Face::Round:
        return "/usr/share/fonts/opentype/cantarell/Cantarell-ExtraBold.otf";
    }
    return {};
}

std::string Faces::PlainFile()
{
    return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
}

Faces::Faces(Output& output)
{
    if (FT_Init_FreeType(&m_library) != 0)
        throw std::runtime_error("FreeType did not start");
    for (int i = 0; i < 3; ++i)
    {
        const std::string path = File(static_cast<Face>(i));
        if (FT_New_Face(m_library, path.c_str(), 0, &m_ft[i]) != 0)
            throw std::runtime_error("cannot open font " + path +
                                     " (packages fonts-dejavu-core, fonts-comic-neue, fonts-cantarell)");
        output.Read(path);
        m_cairo[i] = cairo_ft_font_face_create_for_ft_face(m_ft[i], 0);
        // Cairo may keep the face in its caches after we let go of it, so the
        // FreeType face is closed with Cairo's last reference.
        static cairo_user_data_key_t key;
        cairo_font_face_set_user_data(m_cairo[i], &key, m_ft[i],
                                      [](void* f) { FT_Done_Face(static_cast<FT_Face>(f)); });
    }
}

// The library stays open until the process ends: Cairo's caches may still
// close faces made from it after this object is gone.
Faces::~Faces()
{
    for (int i = 0; i < 3; ++i)
        if (m_cairo[i])
            cairo_font_face_destroy(m_cairo[i]);
}

void Faces::Use(cairo_t* cr, Face face, double size) const
{
    cairo_set_font_face(cr, Cairo(face));
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

} // namespace Spindrel::Art
