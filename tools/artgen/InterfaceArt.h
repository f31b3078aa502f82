#pragma once

namespace Spindrel::Art
{

class Output;
class Faces;

// Controls and the play screen's furniture: cursors, HUD bands, bars and
// their lights, dialog frames and buttons, checkbox, slider, menu button
// plates and the effect strips.
void PaintInterfaceArt(Output& output, const Faces& faces);

} // namespace Spindrel::Art
