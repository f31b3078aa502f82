#pragma once

namespace Spindrel::Art
{

class Output;

// Writes properties/resources.xml: the five resource groups with every id the
// game binds. Fails when a picture it names was not painted.
void WriteManifest(Output& output);

} // namespace Spindrel::Art
