#include "framework/platform/FileSystem.h"
#include "framework/platform/PosixCrashHandler.h"
#include "framework/platform/SdlAudioDevice.h"
#include "support/TempDir.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace Quillo;

namespace
{

void Silence(void*, int16_t* out, int frames)
{
    std::memset(out, 0, static_cast<size_t>(frames) * 4);
}

// The report of this test is the sound line alone.
size_t SoundLineOnly(const CrashFacts& facts, char* buffer, size_t capacity)
{
    const char* text = facts.soundVersion ? facts.soundVersion : "";
    const size_t n = std::min(std::strlen(text), capacity);
    std::memcpy(buffer, text, n);
    return n;
}

} // namespace

// One line on standard error says which driver and device sound, or why
// none does; the crash report's sound line says the same.
TEST(SdlAudioDevice, NamesTheDriverAndDeviceOrWhyThereIsNone)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(SdlAudioDevice::Open(&Silence, nullptr));
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("Sound: dummy, device \"", 0), 0u);

    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStderr();
    std::string error;
    EXPECT_FALSE(SdlAudioDevice::Open(&Silence, nullptr, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Sound: none, no audio driver works (" + error + ")\n");
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    TempDir dir;
    const pid_t pid = fork();
    if (pid == 0)
    {
        if (chdir(dir.Path().c_str()) != 0)
            _exit(2);
        setenv("QUILLO_NO_CRASHVIEW", "1", 1);
        PosixCrashHandler::Install(&SoundLineOnly);
        PosixCrashHandler::SetApplicationInfo("test", "1", nullptr, nullptr, 0);
        auto device = SdlAudioDevice::Open(&Silence, nullptr);
        std::abort();
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const auto report = FileSystem::ReadFile(dir / "crash.txt");
    ASSERT_TRUE(report);
    const std::string line(report->begin(), report->end());
    EXPECT_NE(line.find(", dummy, device \""), std::string::npos) << line;
}

// A suspended device has no thread calling back; resumed, it calls back
// again, quietly when it is the same device.
TEST(SdlAudioDevice, SuspendedItIsNotCalledAndResumedItIs)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::atomic<int> calls{0};
    auto count = [](void* context, int16_t* out, int frames) {
        std::memset(out, 0, static_cast<size_t>(frames) * 4);
        ++*static_cast<std::atomic<int>*>(context);
    };
    auto device = SdlAudioDevice::Open(count, &calls);
    ASSERT_TRUE(device);
    auto calledWithin = [&](int ms) {
        const int before = calls.load();
        for (int i = 0; i < ms / 10 && calls.load() == before; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return calls.load() != before;
    };
    ASSERT_TRUE(calledWithin(5000));

    testing::internal::CaptureStderr();
    device->Suspend(true);
    EXPECT_FALSE(calledWithin(300));
    device->Lock(); // commands still work while suspended
    device->Unlock();
    device->Suspend(false);
    EXPECT_TRUE(calledWithin(5000));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
