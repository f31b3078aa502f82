#pragma once

#include <string>

namespace Spindrel::Art
{

class Output;

// The application icon: "gfx/icon.png" in the data for the window, and,
// when `folder` is not empty, the desktop's icon theme sizes as
// folder/NxN/apps/<id>.png, ready to install under share/icons/hicolor.
void PaintIcons(Output& output, const std::string& folder, const std::string& id);

} // namespace Spindrel::Art
