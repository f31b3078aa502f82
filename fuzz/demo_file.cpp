// Feeds arbitrary bytes to the demo reader and plays every record.
#include "framework/app/DemoPlayer.h"
#include "framework/app/DemoReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace
{

class NullSink : public Quillo::DemoSink
{
public:
    void OnDemoMouseMove(int x, int y) override { Check(x, y); }
    void OnDemoMouseButton(int x, int y, int, bool) override { Check(x, y); }
    void OnDemoActivate(bool) override {}
    void OnDemoMinimize(bool) override {}
    void OnDemoKeyDown(int) override {}
    void OnDemoKeyUp(int) override {}
    void OnDemoKeyChar(int) override {}
    void OnDemoClose() override {}
    void OnDemoMouseEnter() override {}
    void OnDemoMouseLeave(int x, int y) override { Check(x, y); }
    void OnDemoLoadingDone() override {}
    void OnDemoWheel(int) override {}
    void OnDemoDisplay(bool, int) override {}

private:
    static void Check(int x, int y)
    {
        if (x < 0 || y < 0 || x > 4095 || y > 4095)
            __builtin_trap();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Quillo::DemoReader reader;
    std::string error;
    // The product version the fuzzer must guess is kept short: "1".
    if (!reader.Open(std::vector<uint8_t>(data, data + size), "1", error))
        return 0;
    Quillo::DemoPlayer player(std::move(reader));
    NullSink sink;
    for (uint32_t update = 0; update < 100000 && !player.AtEnd(); ++update)
    {
        player.ApplyDue(update, sink);
        for (auto c : {Quillo::DemoCommand::SettingsRead, Quillo::DemoCommand::SettingsWrite,
                       Quillo::DemoCommand::FileExists, Quillo::DemoCommand::FileRead, Quillo::DemoCommand::Sync})
            player.TakeResult(c, update);
    }
    return 0;
}
