#include "framework/app/DemoSession.h"

#include "framework/platform/FileSystem.h"

namespace Quillo
{

void DemoSession::StartRecording(std::string path, uint32_t seed, std::string productVersion, Counter counter)
{
    m_player.reset();
    m_writer = std::make_unique<DemoWriter>();
    m_path = std::move(path);
    m_seed = seed;
    m_productVersion = std::move(productVersion);
    m_counter = std::move(counter);
}

bool DemoSession::StartPlayback(const std::string& path, const std::string& runningVersion, Counter counter,
                                std::string& error)
{
    m_writer.reset();
    m_player.reset();
    DemoReader reader;
    if (!reader.OpenFile(path, runningVersion, error))
        return false;
    m_seed = reader.Header().seed;
    m_path = path;
    m_counter = std::move(counter);
    m_player = std::make_unique<DemoPlayer>(std::move(reader));
    return true;
}

bool DemoSession::FinishRecording()
{
    if (!m_writer)
        return false;
    const std::vector<uint8_t> bytes = m_writer->FileBytes(m_seed, m_productVersion, Now());
    m_writer.reset();
    return FileSystem::WriteFileAtomic(m_path, bytes.data(), bytes.size());
}

void DemoSession::RecordMouseMove(int x, int y)
{
    if (m_writer)
        m_writer->MouseMove(Now(), x, y);
}

void DemoSession::RecordMouseButton(bool down, int clickCode)
{
    if (m_writer)
        m_writer->MouseButton(Now(), down, clickCode);
}

void DemoSession::RecordActivate(bool active)
{
    if (m_writer)
        m_writer->Activate(Now(), active);
}

void DemoSession::RecordMinimize(bool minimized)
{
    if (m_writer)
        m_writer->Minimize(Now(), minimized);
}

void DemoSession::RecordKeyDown(int key)
{
    if (m_writer)
        m_writer->KeyDown(Now(), key);
}

void DemoSession::RecordKeyUp(int key)
{
    if (m_writer)
        m_writer->KeyUp(Now(), key);
}

void DemoSession::RecordKeyChar(int ch)
{
    if (m_writer)
        m_writer->KeyChar(Now(), ch);
}

void DemoSession::RecordClose()
{
    if (m_writer)
        m_writer->Close(Now());
}

void DemoSession::RecordMouseEnter()
{
    if (m_writer)
        m_writer->MouseEnter(Now());
}

void DemoSession::RecordMouseLeave()
{
    if (m_writer)
        m_writer->MouseLeave(Now());
}

void DemoSession::RecordLoadingDone()
{
    if (m_writer)
        m_writer->LoadingDone(Now());
}

void DemoSession::RecordWheel(int notches)
{
    if (m_writer)
        m_writer->Wheel(Now(), notches);
}

void DemoSession::RecordDisplay(bool windowed, int refreshRate)
{
    if (m_writer)
        m_writer->Display(Now(), windowed, refreshRate);
}

std::optional<DemoRecord> DemoSession::TakeResult(DemoCommand command)
{
    return m_player ? m_player->TakeResult(command, Now()) : std::nullopt;
}

bool DemoSession::ReadSetting(const LiveRead& live, SettingsType& type, std::vector<uint8_t>& data)
{
    if (m_player)
    {
        const auto r = TakeResult(DemoCommand::SettingsRead);
        if (!r || !r->flag)
            return false;
        type = static_cast<SettingsType>(r->type);
        data = r->bytes;
        return true;
    }
    const bool ok = live(type, data);
    if (m_writer)
        m_writer->SettingsRead(Now(), ok, static_cast<uint32_t>(type), data.data(), ok ? data.size() : 0);
    return ok;
}

bool DemoSession::WriteSetting(const std::function<bool()>& live)
{
    if (m_player)
    {
        const auto r = TakeResult(DemoCommand::SettingsWrite);
        return r && r->flag;
    }
    const bool ok = live();
    if (m_writer)
        m_writer->SettingsWrite(Now(), ok);
    return ok;
}

bool DemoSession::FileExists(const std::string& path)
{
    return CheckThrough([&] { return FileSystem::Exists(path); });
}

bool DemoSession::CheckThrough(const std::function<bool()>& live)
{
    if (m_player)
    {
        const auto r = TakeResult(DemoCommand::FileExists);
        return r && r->flag;
    }
    const bool ok = live();
    if (m_writer)
        m_writer->FileExists(Now(), ok);
    return ok;
}

bool DemoSession::ReadWholeFile(const std::string& path, std::vector<uint8_t>& data)
{
    return ReadThrough([&] { return FileSystem::ReadFile(path); }, data);
}

bool DemoSession::ReadThrough(const std::function<std::optional<std::vector<uint8_t>>()>& live,
                              std::vector<uint8_t>& data)
{
    if (m_player)
    {
        auto r = TakeResult(DemoCommand::FileRead);
        if (!r || !r->flag)
            return false;
        data = std::move(r->bytes);
        return true;
    }
    auto bytes = live();
    if (bytes)
        data = std::move(*bytes);
    if (m_writer)
        m_writer->FileRead(Now(), bytes.has_value(), data.data(), bytes ? data.size() : 0);
    return bytes.has_value();
}

bool DemoSession::DeleteFileUnlessPlaying(const std::string& path)
{
    if (m_player)
        return false;
    return FileSystem::RemoveFile(path);
}

bool DemoSession::ChangeUnlessPlaying(const std::function<bool()>& live)
{
    return m_player ? true : live();
}

void DemoSession::SyncText(std::string& text)
{
    if (m_player)
    {
        if (auto r = TakeResult(DemoCommand::Sync))
            text.assign(r->bytes.begin(), r->bytes.end());
        return;
    }
    if (m_writer)
        m_writer->Sync(Now(), reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

void DemoSession::SyncByte(uint8_t& value)
{
    if (m_player)
    {
        if (auto r = TakeResult(DemoCommand::Sync); r && r->bytes.size() == 1)
            value = r->bytes[0];
        return;
    }
    if (m_writer)
        m_writer->Sync(Now(), &value, 1);
}

} // namespace Quillo
