#pragma once

namespace Spindrel::Art
{

class Output;
class Faces;

// The full screens and their pieces: loading screen and bar, main menu
// ground, labels and balls' setting, stage selection frames and buttons,
// and the help page.
void PaintScreenArt(Output& output, const Faces& faces);

} // namespace Spindrel::Art
