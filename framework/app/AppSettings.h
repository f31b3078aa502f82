#pragma once

#include "framework/app/AppSettingsValues.h"

namespace Quillo
{

class SettingsAccess;

// Reads and writes the framework's settings values. A value that is absent
// or of the wrong type leaves its field as it was.
class AppSettings
{
public:
    // Reads every value; then, unless in screen-saver mode, marks the run
    // as in progress ("InProgress" = 1) so that a crash leaves the mark.
    static void Load(SettingsAccess& settings, AppSettingsValues& values, bool screenSaverMode);
    // Writes every value, with "InProgress" = 0.
    static void Save(SettingsAccess& settings, const AppSettingsValues& values);

    // A volume 0..1 as stored: hundredths, truncated (0.855 -> 85).
    static int VolumeToStored(double volume);
    // Back to 0..1 (85 -> 0.85); stored values outside 0..100 are clamped.
    static double StoredToVolume(int stored);
};

} // namespace Quillo
