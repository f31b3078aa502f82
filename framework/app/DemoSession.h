#pragma once

#include "framework/app/DemoPlayer.h"
#include "framework/app/DemoWriter.h"
#include "framework/platform/SettingsType.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Quillo
{

// The application's demo layer: records what enters the program from
// outside, or plays a recording back in its place. Every Record... call
// does nothing unless recording; the calls to the outside world
// (settings, files, kept-in-step values) go through here so that playback
// can answer them from the recording.
class DemoSession
{
public:
    using Counter = std::function<uint32_t()>;

    // `counter` gives the current update number.
    void StartRecording(std::string path, uint32_t seed, std::string productVersion, Counter counter);
    // Reads and checks the file; on failure `error` holds the player's
    // message and nothing plays.
    bool StartPlayback(const std::string& path, const std::string& runningVersion, Counter counter,
                       std::string& error);

    bool Recording() const { return m_writer != nullptr; }
    bool Playing() const { return m_player != nullptr; }
    DemoPlayer* Player() { return m_player.get(); }
    DemoWriter* Writer() { return m_writer.get(); }
    // The seed the random sources start from: the recorded one when playing.
    uint32_t Seed() const { return m_seed; }
    const std::string& Path() const { return m_path; }

    // Writes the recording (replacing any old file). False when it fails.
    bool FinishRecording();
    void StopPlayback() { m_player.reset(); }

    void RecordMouseMove(int x, int y);
    void RecordMouseButton(bool down, int clickCode);
    void RecordActivate(bool active);
    void RecordMinimize(bool minimized);
    void RecordKeyDown(int key);
    void RecordKeyUp(int key);
    void RecordKeyChar(int ch);
    void RecordClose();
    void RecordMouseEnter();
    void RecordMouseLeave();
    void RecordLoadingDone();
    void RecordWheel(int notches);
    void RecordDisplay(bool windowed, int refreshRate);

    // A settings read: `live` reads the store. Playing, the recorded
    // outcome is returned instead; recording, the outcome is kept.
    using LiveRead = std::function<bool(SettingsType& type, std::vector<uint8_t>& data)>;
    bool ReadSetting(const LiveRead& live, SettingsType& type, std::vector<uint8_t>& data);
    // A settings write: not performed while playing (the recorded outcome
    // is returned).
    bool WriteSetting(const std::function<bool()>& live);

    bool FileExists(const std::string& path);
    // A check or a read of a file made by `live`: playing, the recorded
    // outcome instead; recording, the outcome is kept.
    bool CheckThrough(const std::function<bool()>& live);
    bool ReadThrough(const std::function<std::optional<std::vector<uint8_t>>()>& live, std::vector<uint8_t>& data);
    // A change to the files made by `live`, skipped (as if done) while playing.
    bool ChangeUnlessPlaying(const std::function<bool()>& live);
    bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& data);
    // Files are left alone while a demo plays.
    bool DeleteFileUnlessPlaying(const std::string& path);
    void SyncText(std::string& text);
    void SyncByte(uint8_t& value);

private:
    uint32_t Now() const { return m_counter ? m_counter() : 0; }
    std::optional<DemoRecord> TakeResult(DemoCommand command);

    std::unique_ptr<DemoWriter> m_writer;
    std::unique_ptr<DemoPlayer> m_player;
    Counter m_counter;
    std::string m_path;
    std::string m_productVersion;
    uint32_t m_seed = 0;
};

} // namespace Quillo
