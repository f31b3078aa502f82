// The application's settings and the calls to the outside world that demo
// recording captures: settings reads and writes, file tests and reads.
#include "framework/app/QuilloAppBase.h"

#include "framework/app/AppSettings.h"
#include "framework/platform/FileSettingsStore.h"

namespace Quillo
{

void QuilloAppBase::LoadSettings()
{
    settingsRead = true;
    if (auto it = stringTable.find("RegistryKey"); it != stringTable.end())
        registryKey = it->second;
    if (registryKey.empty())
        return;
    if (!settings.Store())
        settings.SetStore(std::make_unique<FileSettingsStore>(registryKey));

    AppSettingsValues values;
    values.musicVolume = musicVolume;
    values.sfxVolume = sfxVolume;
    values.muteCount = muteCount;
    values.autoMuteCount = autoMuteCount;
    values.windowed = windowed;
    values.preferredX = preferredX;
    values.preferredY = preferredY;
    values.preferredWidth = preferredWidth;
    values.preferredHeight = preferredHeight;
    values.customCursors = customCursors;
    values.waitForVSync = waitForVSync;
    AppSettings::Load(settings, values, screenSaverMode);
    musicVolume = values.musicVolume;
    sfxVolume = values.sfxVolume;
    muteCount = values.muteCount;
    windowed = values.windowed;
    preferredX = values.preferredX;
    preferredY = values.preferredY;
    preferredWidth = values.preferredWidth;
    preferredHeight = values.preferredHeight;
    waitForVSync = values.waitForVSync;
    previousExitClean = values.previousExitClean;
    if (values.customCursors != customCursors)
    {
        customCursors = values.customCursors;
        ApplyCursor();
    }
}

void QuilloAppBase::SaveSettings()
{
    if (registryKey.empty() || !settings.Enabled())
        return;
    AppSettingsValues values;
    values.musicVolume = musicVolume;
    values.sfxVolume = sfxVolume;
    values.muteCount = muteCount;
    values.autoMuteCount = autoMuteCount;
    values.windowed = windowed;
    values.preferredX = preferredX;
    values.preferredY = preferredY;
    values.preferredWidth = preferredWidth;
    values.preferredHeight = preferredHeight;
    values.customCursors = customCursors;
    values.waitForVSync = waitForVSync;
    AppSettings::Save(settings, values);
}

bool QuilloAppBase::WriteString(const std::string& name, const std::string& text)
{
    return settings.WriteString(name, text);
}

bool QuilloAppBase::WriteInteger(const std::string& name, int value)
{
    return settings.WriteInteger(name, value);
}

bool QuilloAppBase::WriteBoolean(const std::string& name, bool value)
{
    return settings.WriteBoolean(name, value);
}

bool QuilloAppBase::ReadString(const std::string& name, std::string& text)
{
    return settings.ReadString(name, text);
}

bool QuilloAppBase::ReadInteger(const std::string& name, int& value)
{
    return settings.ReadInteger(name, value);
}

bool QuilloAppBase::ReadBoolean(const std::string& name, bool& value)
{
    return settings.ReadBoolean(name, value);
}

bool QuilloAppBase::EraseValue(const std::string& name)
{
    return settings.EraseValue(name);
}

bool QuilloAppBase::FileExists(const std::string& path)
{
    return demo.FileExists(path);
}

bool QuilloAppBase::ReadWholeFile(const std::string& path, std::vector<uint8_t>& data)
{
    return demo.ReadWholeFile(path, data);
}

bool QuilloAppBase::DeleteFileUnlessPlaying(const std::string& path)
{
    return demo.DeleteFileUnlessPlaying(path);
}

void QuilloAppBase::SyncText(std::string& text)
{
    demo.SyncText(text);
}

void QuilloAppBase::SyncByte(uint8_t& value)
{
    demo.SyncByte(value);
}

} // namespace Quillo
