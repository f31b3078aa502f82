#pragma once

namespace Spindrel::Art
{

class Output;
class Faces;

// The five image fonts: glyph atlases (white, alpha = coverage) and their
// descriptors in gfx/fonts, plus the plain face the system font falls back on.
void PaintImageFonts(Output& output, const Faces& faces);

} // namespace Spindrel::Art
