#include "framework/diagnostics/CrashReport.h"

#include "framework/diagnostics/CrashText.h"
#include "framework/diagnostics/SymbolDemangler.h"

namespace Quillo
{

namespace
{

struct ExceptionEntry
{
    uint32_t code;
    const char* name;
};

constexpr ExceptionEntry kExceptions[] = {
    {0x40000005, "Segment Notification"},
    {0x80000003, "Breakpoint"},
    {0x80000004, "Single step"},
    {0x00000000, "Wait 0"},
    {0x00000080, "Abandoned Wait 0"},
    {0x000000C0, "User APC"},
    {0x00000102, "Timeout"},
    {0x00000103, "Pending"},
    {0x80000001, "Guard Page Violation"},
    {0x80000002, "Data Type Misalignment"},
    {0xC0000005, "Access Violation"},
    {0xC0000006, "In Page Error"},
    {0xC0000017, "No Memory"},
    {0xC000001D, "Illegal Instruction"},
    {0xC0000025, "Noncontinuable Exception"},
    {0xC0000026, "Invalid Disposition"},
    {0xC000008C, "Array Bounds Exceeded"},
    {0xC000008D, "Float Denormal Operand"},
    {0xC000008E, "Divide by Zero"},
    {0xC000008F, "Float Inexact Result"},
    {0xC0000090, "Float Invalid Operation"},
    {0xC0000091, "Float Overflow"},
    {0xC0000092, "Float Stack Check"},
    {0xC0000093, "Float Underflow"},
    {0xC0000094, "Integer Divide by Zero"},
    {0xC0000095, "Integer Overflow"},
    {0xC0000096, "Privileged Instruction"},
    {0xC00000FD, "Stack Overflow"},
    {0xC000013A, "Ctrl+C Exit"},
};

const char* Basename(const char* path)
{
    if (!path)
        return nullptr;
    const char* base = path;
    for (const char* p = path; *p; ++p)
        if (*p == '/')
            base = p + 1;
    return base;
}

void Line(CrashText& t)
{
    t.Put("\r\n");
}

void RunDescriptionInto(CrashText& t, const char* product, const char* version, uint64_t secondsLoaded,
                        bool fullscreen, uint64_t mainThreadId)
{
    t.Put("Product: ").Put(product).Put("\r\n");
    t.Put("Version: ").Put(version).Put("\r\n");
    t.Put("Time Loaded: ")
        .Dec(secondsLoaded / 3600, 2)
        .Put(':')
        .Dec(secondsLoaded / 60 % 60, 2)
        .Put(':')
        .Dec(secondsLoaded % 60, 2);
    t.Put("\r\nFullscreen: ").Put(fullscreen ? "Yes" : "No");
    t.Put("\r\nPrimary ThreadId: ").Hex(mainThreadId).Put("\r\n");
}

} // namespace

const char* CrashReport::ExceptionName(uint32_t code)
{
    for (const ExceptionEntry& e : kExceptions)
        if (e.code == code)
            return e.name;
    return nullptr;
}

size_t CrashReport::FormatTitle(const CrashFacts& facts, char* buffer, size_t capacity)
{
    CrashText t(buffer, capacity);
    t.Put("Exception at ").Hex(facts.section, 4).Put(':').Hex(facts.offset, 8);
    return t.Length();
}

size_t CrashReport::FormatRunDescription(const CrashFacts& facts, char* buffer, size_t capacity)
{
    CrashText t(buffer, capacity);
    if (facts.hasApplication)
        RunDescriptionInto(t, facts.product, facts.productVersion, facts.secondsLoaded, facts.fullscreen,
                           facts.mainThreadId);
    return t.Length();
}

std::string CrashReport::RunDescription(const char* product, const char* version, uint64_t secondsLoaded,
                                        bool fullscreen, uint64_t mainThreadId)
{
    char buffer[1024];
    CrashText t(buffer, sizeof buffer);
    RunDescriptionInto(t, product, version, secondsLoaded, fullscreen, mainThreadId);
    return std::string(t.Text(), t.Length());
}

size_t CrashReport::Format(const CrashFacts& f, char* buffer, size_t capacity)
{
    CrashText t(buffer, capacity);

    if (const char* name = ExceptionName(f.code))
        t.Put("Exception: ").Put(name).Put(" (code 0x");
    else
        t.Put("Unknown exception: (code 0x");
    t.Hex(f.code, 0, false).Put(") at address ").Hex(f.address, 8).Put(" in thread ").Hex(f.threadId).Put("\r\n");

    t.Put("Module: ").Put(f.module ? Basename(f.module) : "(unknown)").Put("\r\n");
    t.Put("Logical Address: ").Hex(f.section, 4).Put(':').Hex(f.offset, 8).Put("\r\n");
    Line(t);

    for (int i = 0; i < f.frameCount; ++i)
    {
        const CrashFrame& fr = f.frames[i];
        if (f.framePointerWalk)
        {
            t.Hex(fr.address, 8).Put("  ").Hex(fr.frame, 8).Put("  ");
            t.Hex(fr.section, 4).Put(':').Hex(fr.offset, 8).Put(' ').Put(Basename(fr.module)).Put("\r\n");
            continue;
        }
        t.Hex(fr.frame, 8).Put(' ').Hex(fr.address, 8).Put(' ');
        if (fr.symbol && *fr.symbol)
        {
            char readable[2048];
            const bool demangled = SymbolDemangler::Demangle(fr.symbol, readable, sizeof readable);
            t.Put(demangled ? readable : fr.symbol).Put('+').Hex(fr.symbolOffset);
        }
        else
            t.Hex(fr.section, 4).Put(':').Hex(fr.offset, 8).Put(' ').Put(fr.module ? Basename(fr.module) : "?");
        t.Put("\r\n");
        t.Put("Params: ");
        for (int p = 0; p < 4; ++p)
            t.Hex(fr.params[p], 8).Put(p < 3 ? " " : "\r\n");
    }
    Line(t);

    const CrashRegisters& r = f.registers;
    t.Put("RAX:").Hex(r.rax, 16).Put(" RBX:").Hex(r.rbx, 16).Put(" RCX:").Hex(r.rcx, 16);
    t.Put(" RDX:").Hex(r.rdx, 16).Put(" RSI:").Hex(r.rsi, 16).Put(" RDI:").Hex(r.rdi, 16).Put("\r\n");
    t.Put("R8:").Hex(r.r8, 16).Put(" R9:").Hex(r.r9, 16).Put(" R10:").Hex(r.r10, 16).Put(" R11:").Hex(r.r11, 16);
    t.Put(" R12:").Hex(r.r12, 16).Put(" R13:").Hex(r.r13, 16).Put(" R14:").Hex(r.r14, 16);
    t.Put(" R15:").Hex(r.r15, 16).Put("\r\n");
    t.Put("RIP:").Hex(r.rip, 16).Put(" RSP:").Hex(r.rsp, 16).Put("  RBP:").Hex(r.rbp, 16).Put("\r\n");
    t.Put("CS:").Hex(r.cs, 4).Put(" SS:").Hex(r.ss, 4).Put(" DS:").Hex(r.ds, 4).Put(" ES:").Hex(r.es, 4);
    t.Put(" FS:").Hex(r.fs, 4).Put(" GS:").Hex(r.gs, 4).Put("\r\n");
    t.Put("Flags:").Hex(r.flags, 8).Put("\r\n");
    Line(t);

    t.Put("OS Ver: ").Put(f.osName ? f.osName : "Linux").Put(' ');
    t.Dec(f.osMajor).Put('.').Dec(f.osMinor).Put(' ').Put(f.osInfo ? f.osInfo : "").Put(" Build ").Dec(f.osBuild);
    t.Put("\r\n");
    if (f.hasApplication)
    {
        t.Put("SDL Ver: ").Put(f.displayVersion).Put("\r\n");
        t.Put("Audio Ver: ").Put(f.soundVersion).Put("\r\n");
        Line(t);
        RunDescriptionInto(t, f.product, f.productVersion, f.secondsLoaded, f.fullscreen, f.mainThreadId);
    }
    return t.Length();
}

} // namespace Quillo
