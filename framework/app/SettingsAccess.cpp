#include "framework/app/SettingsAccess.h"

#include "framework/app/DemoSession.h"

namespace Quillo
{

void SettingsAccess::SplitName(std::string_view name, std::string& keyPath, std::string& valueName)
{
    const size_t cut = name.rfind('\\');
    if (cut == std::string_view::npos)
    {
        keyPath.clear();
        valueName = std::string(name);
        return;
    }
    keyPath = std::string(name.substr(0, cut));
    valueName = std::string(name.substr(cut + 1));
}

bool SettingsAccess::LiveWrite(std::string_view name, SettingsType type, const uint8_t* data, size_t length)
{
    if (!m_store)
        return false;
    std::string path, value;
    SplitName(name, path, value);
    std::unique_ptr<SettingsKey> key = m_store->OpenKey(path, true);
    if (!key)
        key = m_store->CreateKey(path);
    return key && key->SetValue(value, type, data, length);
}

bool SettingsAccess::LiveRead(std::string_view name, SettingsType& type, std::vector<uint8_t>& data,
                              size_t capacity)
{
    if (!m_store)
        return false;
    std::string path, value;
    SplitName(name, path, value);
    std::unique_ptr<SettingsKey> key = m_store->OpenKey(path, false);
    if (!key)
        return false;
    std::vector<uint8_t> buffer(capacity);
    size_t length = 0;
    if (!key->QueryValue(value, type, buffer.data(), buffer.size(), length))
        return false;
    buffer.resize(length);
    data = std::move(buffer);
    return true;
}

bool SettingsAccess::WriteValue(std::string_view name, SettingsType type, const uint8_t* data, size_t length)
{
    if (!m_store)
        return false;
    auto live = [&] { return LiveWrite(name, type, data, length); };
    return m_demo ? m_demo->WriteSetting(live) : live();
}

bool SettingsAccess::ReadValue(std::string_view name, SettingsType& type, std::vector<uint8_t>& data,
                               size_t capacity)
{
    if (!m_store)
        return false;
    auto live = [&](SettingsType& t, std::vector<uint8_t>& d) { return LiveRead(name, t, d, capacity); };
    std::vector<uint8_t> got;
    SettingsType gotType = SettingsType::Binary;
    const bool ok = m_demo ? m_demo->ReadSetting(live, gotType, got) : live(gotType, got);
    // A recorded value is held to the same limit as a live one.
    if (!ok || got.size() > capacity)
        return false;
    type = gotType;
    data = std::move(got);
    return true;
}

bool SettingsAccess::WriteString(std::string_view name, std::string_view text)
{
    return WriteValue(name, SettingsType::String, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

bool SettingsAccess::WriteInteger(std::string_view name, int value)
{
    const auto v = static_cast<uint32_t>(value);
    const uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                              static_cast<uint8_t>(v >> 24)};
    return WriteValue(name, SettingsType::Integer, bytes, 4);
}

bool SettingsAccess::WriteBoolean(std::string_view name, bool value)
{
    return WriteInteger(name, value ? 1 : 0);
}

bool SettingsAccess::WriteBinary(std::string_view name, const std::vector<uint8_t>& data)
{
    return WriteValue(name, SettingsType::Binary, data.data(), data.size());
}

bool SettingsAccess::ReadInteger(std::string_view name, int& value)
{
    SettingsType type;
    std::vector<uint8_t> data;
    if (!ReadValue(name, type, data, 4) || type != SettingsType::Integer || data.size() != 4)
        return false;
    value = static_cast<int>(static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                             static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24);
    return true;
}

bool SettingsAccess::ReadBoolean(std::string_view name, bool& value)
{
    int v = 0;
    if (!ReadInteger(name, v))
        return false;
    value = v != 0;
    return true;
}

bool SettingsAccess::ReadString(std::string_view name, std::string& text)
{
    SettingsType type;
    std::vector<uint8_t> data;
    if (!ReadValue(name, type, data, kMaxValueLength) || type != SettingsType::String)
        return false;
    // The stored bytes are exactly the text; a terminator some other writer
    // may have added is not part of it.
    while (!data.empty() && data.back() == 0)
        data.pop_back();
    text.assign(data.begin(), data.end());
    return true;
}

bool SettingsAccess::ReadBinary(std::string_view name, std::vector<uint8_t>& data)
{
    SettingsType type;
    std::vector<uint8_t> got;
    if (!ReadValue(name, type, got, kMaxValueLength) || type != SettingsType::Binary)
        return false;
    data = std::move(got);
    return true;
}

void SettingsAccess::BeginBatch()
{
    if (m_store)
        m_store->BeginBatch();
}

bool SettingsAccess::EndBatch()
{
    return !m_store || m_store->EndBatch();
}

bool SettingsAccess::EraseValue(std::string_view name)
{
    if (!m_store || (m_demo && m_demo->Playing()))
        return false;
    std::string path, value;
    SplitName(name, path, value);
    std::unique_ptr<SettingsKey> key = m_store->OpenKey(path, true);
    return key && key->DeleteValue(value);
}

} // namespace Quillo
