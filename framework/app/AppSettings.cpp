#include "framework/app/AppSettings.h"

#include "framework/app/SettingsAccess.h"

#include <algorithm>
#include <cmath>

namespace Quillo
{

int AppSettings::VolumeToStored(double volume)
{
    if (!(volume > 0.0))
        return 0;
    // The small allowance keeps what was read from being written back one
    // lower: 29 reads as 0.29, and 0.29 * 100 is 28.999999999999996.
    return static_cast<int>(std::trunc(std::min(volume, 1.0) * 100.0 + 1e-9));
}

double AppSettings::StoredToVolume(int stored)
{
    return std::clamp(stored, 0, 100) * 0.01;
}

void AppSettings::Load(SettingsAccess& settings, AppSettingsValues& values, bool screenSaverMode)
{
    int v = 0;
    if (settings.ReadInteger("MusicVolume", v))
        values.musicVolume = StoredToVolume(v);
    if (settings.ReadInteger("SfxVolume", v))
        values.sfxVolume = StoredToVolume(v);
    if (settings.ReadInteger("Muted", v))
    {
        // Only a user mute is stored; the automatic part stays as it is.
        values.muteCount = values.autoMuteCount + (v != 0 ? 1 : 0);
    }
    if (settings.ReadInteger("ScreenMode", v))
        values.windowed = v == 0;
    if (settings.ReadInteger("PreferredX", v))
        values.preferredX = v;
    if (settings.ReadInteger("PreferredY", v))
        values.preferredY = v;
    if (settings.ReadInteger("PreferredWidth", v))
        values.preferredWidth = v;
    if (settings.ReadInteger("PreferredHeight", v))
        values.preferredHeight = v;
    if (settings.ReadInteger("CustomCursors", v))
        values.customCursors = v != 0;
    bool b = false;
    if (settings.ReadBoolean("WaitForVSync", b))
        values.waitForVSync = b;
    if (settings.ReadInteger("InProgress", v))
        values.previousExitClean = v == 0;
    if (!screenSaverMode)
        settings.WriteInteger("InProgress", 1);
}

void AppSettings::Save(SettingsAccess& settings, const AppSettingsValues& values)
{
    // One rewrite of the store for the whole set, none when nothing changed.
    settings.BeginBatch();
    settings.WriteInteger("MusicVolume", VolumeToStored(values.musicVolume));
    settings.WriteInteger("SfxVolume", VolumeToStored(values.sfxVolume));
    settings.WriteInteger("Muted", values.muteCount - values.autoMuteCount > 0 ? 1 : 0);
    settings.WriteInteger("ScreenMode", values.windowed ? 0 : 1);
    settings.WriteInteger("PreferredX", values.preferredX);
    settings.WriteInteger("PreferredY", values.preferredY);
    settings.WriteInteger("PreferredWidth", values.preferredWidth);
    settings.WriteInteger("PreferredHeight", values.preferredHeight);
    settings.WriteInteger("CustomCursors", values.customCursors ? 1 : 0);
    settings.WriteInteger("InProgress", 0);
    settings.WriteBoolean("WaitForVSync", values.waitForVSync);
    settings.EndBatch();
}

} // namespace Quillo
