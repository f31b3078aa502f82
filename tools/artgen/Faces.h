#pragma once

#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

namespace Spindrel::Art
{

class Output;

enum class Face
{
    Body,    // DejaVu Sans Bold: clear text, equal-width digits
    Display, // Comic Neue Bold: titles, labels, big slide texts
    Round    // Cantarell Extra Bold: the logo
};

// The font files the art is set in, opened once through FreeType and shared
// with Cairo. Fixed files (not a font lookup) keep the output reproducible.
class Faces
{
public:
    explicit Faces(Output& output);
    ~Faces();
    Faces(const Faces&) = delete;
    Faces& operator=(const Faces&) = delete;

    FT_Face Ft(Face face) const { return m_ft[static_cast<int>(face)]; }
    cairo_font_face_t* Cairo(Face face) const { return m_cairo[static_cast<int>(face)]; }
    static std::string File(Face face);
    static std::string PlainFile();

    // Selects the face at a pixel size, unhinted, grey anti-aliased.
    void Use(cairo_t* cr, Face face, double size) const;

private:
    FT_Library m_library = nullptr;
    FT_Face m_ft[3] = {};
    cairo_font_face_t* m_cairo[3] = {};
};

} // namespace Spindrel::Art
