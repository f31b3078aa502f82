#pragma once

#include <cstdint>

namespace Quillo
{

// One entry of the crash report's stack walk.
struct CrashFrame
{
    uint64_t frame = 0;
    uint64_t address = 0;
    // From the module's dynamic symbol table (mangled); null when unknown.
    const char* symbol = nullptr;
    uint64_t symbolOffset = 0;
    const char* module = nullptr;
    uint32_t section = 0;
    uint64_t offset = 0;
    // The frame's "Params:" words (the unwinder's walk only).
    uint64_t params[4] = {};
};

// x86-64 registers at the fault.
struct CrashRegisters
{
    uint64_t rax = 0, rbx = 0, rcx = 0, rdx = 0, rsi = 0, rdi = 0;
    uint64_t r8 = 0, r9 = 0, r10 = 0, r11 = 0, r12 = 0, r13 = 0, r14 = 0, r15 = 0;
    uint64_t rip = 0, rsp = 0, rbp = 0;
    uint16_t cs = 0, ss = 0, ds = 0, es = 0, fs = 0, gs = 0;
    uint64_t flags = 0;
};

// Everything the crash report shows, gathered in the fault handler. Only
// fixed storage and pointers to text that lives for the whole run, so it
// can be filled and formatted without allocating.
struct CrashFacts
{
    static constexpr int kMaxFrames = 64;

    uint32_t code = 0;
    uint64_t address = 0;
    uint64_t threadId = 0;

    // Module holding the fault address, its load segment (1-based) and the
    // offset inside it; module null when no module holds it.
    const char* module = nullptr;
    uint32_t section = 0;
    uint64_t offset = 0;

    CrashFrame frames[kMaxFrames];
    int frameCount = 0;
    // The frames come from following saved frame pointers (no unwinder).
    bool framePointerWalk = false;
    // The faulting frame's first four integer arguments (rdi, rsi, rdx, rcx).
    uint64_t params[4] = {};

    CrashRegisters registers;

    // "6.1.0 Debian GNU/Linux 12 (bookworm) Build 0"-style parts.
    unsigned osMajor = 0, osMinor = 0, osBuild = 0;
    const char* osName = nullptr;
    const char* osInfo = nullptr;

    // Set once the application object exists.
    bool hasApplication = false;
    const char* displayVersion = nullptr;
    const char* soundVersion = nullptr;
    const char* product = nullptr;
    const char* productVersion = nullptr;
    uint64_t secondsLoaded = 0;
    bool fullscreen = false;
    uint64_t mainThreadId = 0;
};

} // namespace Quillo
