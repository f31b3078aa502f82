#pragma once

namespace Quillo
{

// The framework's own settings, as the application object holds them.
struct AppSettingsValues
{
    double musicVolume = 0.85;
    double sfxVolume = 0.85;
    int muteCount = 0;
    // The automatic part of muteCount (loss of focus, minimising).
    int autoMuteCount = 0;
    bool windowed = true;
    int preferredX = -1;
    int preferredY = -1;
    // The window's client size the player chose; -1 while none.
    int preferredWidth = -1;
    int preferredHeight = -1;
    bool customCursors = false;
    bool waitForVSync = false;
    // From "InProgress": false when the previous run did not end cleanly.
    bool previousExitClean = true;
};

} // namespace Quillo
