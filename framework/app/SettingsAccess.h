#pragma once

#include "framework/platform/SettingsStore.h"
#include "framework/platform/SettingsType.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Quillo
{

class DemoSession;

// The application's reads and writes of settings. A value name may carry
// a subkey: "Test3D\FailureReason" is the value FailureReason in the
// subkey Test3D of the product key. Failures are quiet: a failed write
// changes nothing, a failed read leaves the caller's value alone. Without a
// store (no registry key) every call fails. While a demo records, the
// outcomes are recorded; while one plays they come from the recording and
// the store is not touched.
class SettingsAccess
{
public:
    // Strings longer than this are refused by the reads.
    static constexpr size_t kMaxValueLength = 64 * 1024;

    void SetStore(std::unique_ptr<SettingsStore> store) { m_store = std::move(store); }
    SettingsStore* Store() { return m_store.get(); }
    void SetDemo(DemoSession* demo) { m_demo = demo; }
    bool Enabled() const { return m_store != nullptr; }

    bool WriteValue(std::string_view name, SettingsType type, const uint8_t* data, size_t length);
    // Reads at most `capacity` bytes; a longer value fails.
    bool ReadValue(std::string_view name, SettingsType& type, std::vector<uint8_t>& data, size_t capacity);

    bool WriteString(std::string_view name, std::string_view text);
    bool WriteInteger(std::string_view name, int value);
    bool WriteBoolean(std::string_view name, bool value);
    bool WriteBinary(std::string_view name, const std::vector<uint8_t>& data);
    // Integers must be stored as integers of 4 bytes.
    bool ReadInteger(std::string_view name, int& value);
    // Any integer; true when not 0.
    bool ReadBoolean(std::string_view name, bool& value);
    bool ReadString(std::string_view name, std::string& text);
    bool ReadBinary(std::string_view name, std::vector<uint8_t>& data);
    bool EraseValue(std::string_view name);

    // The writes between BeginBatch and EndBatch reach the store as one
    // change (see SettingsStore); each still answers and records as its own.
    void BeginBatch();
    bool EndBatch();

    // "A\B\Name" -> key path "A\B", value name "Name".
    static void SplitName(std::string_view name, std::string& keyPath, std::string& valueName);

private:
    bool LiveWrite(std::string_view name, SettingsType type, const uint8_t* data, size_t length);
    bool LiveRead(std::string_view name, SettingsType& type, std::vector<uint8_t>& data, size_t capacity);

    std::unique_ptr<SettingsStore> m_store;
    DemoSession* m_demo = nullptr;
};

} // namespace Quillo
