#pragma once

#include <string>

namespace Spindrel::Art
{

class Output;
class Faces;

// Contact-sheet scenes put together the way the game draws them: a level in
// play over its background, the menu with its balls, the stage selection
// with thumbnails, and a dialog stretched from its nine parts. They are for
// looking the art over and are not written as data.
void PreviewScenes(Output& output, const Faces& faces, const std::string& trackFolder);

} // namespace Spindrel::Art
