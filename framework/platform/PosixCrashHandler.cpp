#include "framework/platform/PosixCrashHandler.h"

#include "framework/platform/FileSystem.h"
#include "framework/platform/OsInfo.h"

#include <SDL.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <link.h>
#include <pthread.h>
#include <string>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <ucontext.h>
#include <tuple>
#include <unistd.h>
#include <unwind.h>

extern char** environ;

namespace Quillo
{

namespace
{

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr size_t kAltStackSize = 256 * 1024;
constexpr int kMaxModules = 512;
constexpr int kMaxSegments = 16;

struct Module
{
    char name[512];
    uint64_t segmentStart[kMaxSegments];
    uint64_t segmentEnd[kMaxSegments];
    int segmentCount;
    // The module's dynamic symbol table as loaded, found when the module
    // list is read, so that the handler names addresses by reading memory
    // only (no loader call, which could wait for a lock the fault holds).
    uint64_t base;
    const ElfW(Sym)* symbols;
    const char* names;
    uint32_t symbolCount;
};

// Fixed storage: nothing in the handler allocates.
Module g_modules[kMaxModules];
std::atomic<int> g_moduleCount{0};
char g_exePath[512];
char g_viewerPath[1024];
// Relative names are in the working directory at the time of the fault.
char g_reportPath[1024] = "crash.txt";
std::atomic<bool> g_viewerEnabled{false};
std::atomic<PosixCrashHandler::Formatter> g_formatter{nullptr};
std::atomic<bool> g_installed{false};
std::atomic<bool> g_crashMuted{false};
std::atomic<int> g_handling{0};
// The thread writing the report (0: none yet).
std::atomic<uint64_t> g_reportingThread{0};

char g_osName[64];
char g_osInfo[256];
OsVersion g_os;

char g_product[256];
char g_version[128];
char g_displayVersion[128];
char g_soundVersion[128];
std::atomic<bool> g_hasApplication{false};
std::atomic<bool> g_fullscreen{false};
std::atomic<uint64_t> g_mainThreadId{0};
uint64_t g_startSeconds = 0;

CrashFacts g_facts;
char g_report[128 * 1024];

// Modules the install-time table does not know (loaded later: the display
// and sound drivers, GL), found in /proc/self/maps while the report is
// written: open and read are all a signal handler may use for it. Their
// names are kept here for the report.
constexpr int kMaxLateModules = 32;
char g_lateNames[kMaxLateModules][256];
int g_lateNameCount = 0;
char g_mapsChunk[4096];
char g_mapsLine[1024];
char g_mapsPrevious[256];

thread_local uintptr_t t_stackLow = 0;
thread_local uintptr_t t_stackHigh = 0;

uint64_t MonotonicSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec);
}

void CopyText(char* dst, size_t cap, const char* src)
{
    if (!src)
        src = "";
    size_t n = 0;
    while (src[n] && n + 1 < cap)
    {
        dst[n] = src[n];
        ++n;
    }
    dst[n] = '\0';
}

// The number of entries of a GNU hash table's symbol table: one past the
// last symbol of the longest chain.
uint32_t GnuHashSymbolCount(const uint32_t* table)
{
    const uint32_t buckets = table[0], symbolOffset = table[1], bloomWords = table[2];
    const uint32_t* bucket = table + 4 + bloomWords * (sizeof(ElfW(Addr)) / 4);
    const uint32_t* chain = bucket + buckets;
    uint32_t last = 0;
    for (uint32_t b = 0; b < buckets; ++b)
        last = std::max(last, bucket[b]);
    if (last < symbolOffset)
        return symbolOffset;
    while ((chain[last - symbolOffset] & 1) == 0)
        ++last;
    return last + 1;
}

void FindSymbolTable(Module& m, const ElfW(Dyn)* dynamic)
{
    // The loader has made most entries absolute; some (the kernel's own
    // module) still hold offsets from the base.
    auto address = [&m](ElfW(Addr) value) { return value < m.base ? value + m.base : value; };
    const uint32_t* hash = nullptr;
    const uint32_t* gnuHash = nullptr;
    for (const ElfW(Dyn)* d = dynamic; d->d_tag != DT_NULL; ++d)
    {
        switch (d->d_tag)
        {
        case DT_SYMTAB: m.symbols = reinterpret_cast<const ElfW(Sym)*>(address(d->d_un.d_ptr)); break;
        case DT_STRTAB: m.names = reinterpret_cast<const char*>(address(d->d_un.d_ptr)); break;
        case DT_HASH: hash = reinterpret_cast<const uint32_t*>(address(d->d_un.d_ptr)); break;
        case DT_GNU_HASH: gnuHash = reinterpret_cast<const uint32_t*>(address(d->d_un.d_ptr)); break;
        default: break;
        }
    }
    if (!m.symbols || !m.names)
        m.symbols = nullptr;
    else if (hash)
        m.symbolCount = hash[1];
    else if (gnuHash)
        m.symbolCount = GnuHashSymbolCount(gnuHash);
}

// The symbol that holds address in module m: the nearest defined function
// or object at or below it that does not end before it.
bool FindSymbol(const Module& m, uint64_t address, const char*& name, uint64_t& offset)
{
    const ElfW(Sym)* best = nullptr;
    for (uint32_t i = 0; m.symbols && i < m.symbolCount; ++i)
    {
        const ElfW(Sym)& sym = m.symbols[i];
        const int type = ELF64_ST_TYPE(sym.st_info);
        if (sym.st_shndx == SHN_UNDEF || sym.st_value == 0 ||
            (type != STT_FUNC && type != STT_GNU_IFUNC && type != STT_OBJECT))
            continue;
        const uint64_t start = m.base + sym.st_value;
        if (start > address || (sym.st_size != 0 && address >= start + sym.st_size))
            continue;
        if (!best || sym.st_value > best->st_value)
            best = &sym;
    }
    if (!best || best->st_name == 0)
        return false;
    name = m.names + best->st_name;
    offset = address - (m.base + best->st_value);
    return true;
}

int AddModule(dl_phdr_info* info, size_t, void* data)
{
    int& count = *static_cast<int*>(data);
    if (count >= kMaxModules)
        return 1;
    Module& m = g_modules[count];
    const char* name = info->dlpi_name && *info->dlpi_name ? info->dlpi_name : g_exePath;
    CopyText(m.name, sizeof m.name, name);
    m.segmentCount = 0;
    m.base = info->dlpi_addr;
    m.symbols = nullptr;
    m.names = nullptr;
    m.symbolCount = 0;
    for (int i = 0; i < info->dlpi_phnum && m.segmentCount < kMaxSegments; ++i)
    {
        const ElfW(Phdr)& ph = info->dlpi_phdr[i];
        if (ph.p_type == PT_DYNAMIC)
            FindSymbolTable(m, reinterpret_cast<const ElfW(Dyn)*>(info->dlpi_addr + ph.p_vaddr));
        if (ph.p_type != PT_LOAD)
            continue;
        m.segmentStart[m.segmentCount] = info->dlpi_addr + ph.p_vaddr;
        m.segmentEnd[m.segmentCount] = info->dlpi_addr + ph.p_vaddr + ph.p_memsz;
        ++m.segmentCount;
    }
    ++count;
    return 0;
}

bool ParseHex(const char*& p, uint64_t& value)
{
    value = 0;
    const char* start = p;
    for (;; ++p)
    {
        const char c = *p;
        if (c >= '0' && c <= '9')
            value = value * 16 + uint64_t(c - '0');
        else if (c >= 'a' && c <= 'f')
            value = value * 16 + uint64_t(c - 'a' + 10);
        else
            break;
    }
    return p != start;
}

const char* KeepLateName(const char* path)
{
    for (int i = 0; i < g_lateNameCount; ++i)
        if (std::strcmp(g_lateNames[i], path) == 0)
            return g_lateNames[i];
    if (g_lateNameCount >= kMaxLateModules)
        return nullptr;
    CopyText(g_lateNames[g_lateNameCount], sizeof g_lateNames[0], path);
    return g_lateNames[g_lateNameCount++];
}

// The file mapping that holds address, read from /proc/self/maps
// ("start-end perms offset dev inode path"). The segment is the mapping's
// place among the consecutive mappings of its file, and the offset is taken
// from the mapping's start.
bool FindLateModule(uint64_t address, const char*& module, uint32_t& section, uint64_t& offset)
{
    const int fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool found = false;
    size_t lineLength = 0;
    uint32_t index = 0;
    g_mapsPrevious[0] = '\0';
    while (!found)
    {
        const ssize_t n = ::read(fd, g_mapsChunk, sizeof g_mapsChunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n && !found; ++i)
        {
            const char c = g_mapsChunk[i];
            if (c != '\n')
            {
                // Overlong lines are cut; their path is then not matched.
                if (lineLength + 1 < sizeof g_mapsLine)
                    g_mapsLine[lineLength++] = c;
                continue;
            }
            g_mapsLine[lineLength] = '\0';
            lineLength = 0;
            const char* p = g_mapsLine;
            uint64_t start = 0, end = 0;
            if (!ParseHex(p, start) || *p++ != '-' || !ParseHex(p, end))
                continue;
            while (*p && *p != '/')
                ++p;
            if (*p != '/')
            {
                g_mapsPrevious[0] = '\0';
                continue;
            }
            if (std::strcmp(p, g_mapsPrevious) == 0)
                ++index;
            else
            {
                CopyText(g_mapsPrevious, sizeof g_mapsPrevious, p);
                index = 1;
            }
            if (address >= start && address < end)
            {
                module = KeepLateName(p);
                section = index;
                offset = address - start;
                found = module != nullptr;
            }
        }
    }
    ::close(fd);
    return found;
}

const Module* KnownModule(uint64_t address, uint32_t& section, uint64_t& offset)
{
    const int count = g_moduleCount.load(std::memory_order_acquire);
    for (int i = 0; i < count; ++i)
    {
        const Module& m = g_modules[i];
        for (int s = 0; s < m.segmentCount; ++s)
        {
            if (address >= m.segmentStart[s] && address < m.segmentEnd[s])
            {
                section = static_cast<uint32_t>(s + 1);
                offset = address - m.segmentStart[s];
                return &m;
            }
        }
    }
    return nullptr;
}

bool FindModule(uint64_t address, const char*& module, uint32_t& section, uint64_t& offset)
{
    if (const Module* m = KnownModule(address, section, offset))
    {
        module = m->name;
        return true;
    }
    if (g_handling.load() != 0 && FindLateModule(address, module, section, offset))
        return true;
    module = nullptr;
    section = 0;
    offset = address;
    return false;
}

// The exception code a signal corresponds to, or the signal number for the
// "Unknown exception" line.
uint32_t CodeFor(int sig, const siginfo_t* info)
{
    switch (sig)
    {
    case SIGSEGV: {
        const auto addr = reinterpret_cast<uintptr_t>(info->si_addr);
        // A fault just below (or at the very bottom of) the thread's stack
        // is the stack running out.
        if (t_stackLow != 0 && addr + 256 * 1024 >= t_stackLow && addr < t_stackLow + 64 * 1024)
            return 0xC00000FD;
        return 0xC0000005;
    }
    case SIGBUS:
        return info->si_code == BUS_ADRALN ? 0x80000002 : 0xC0000006;
    case SIGFPE:
        switch (info->si_code)
        {
        case FPE_INTDIV:
            return 0xC0000094;
        case FPE_INTOVF:
            return 0xC0000095;
        case FPE_FLTDIV:
            return 0xC000008E;
        case FPE_FLTOVF:
            return 0xC0000091;
        case FPE_FLTUND:
            return 0xC0000093;
        case FPE_FLTRES:
            return 0xC000008F;
        case FPE_FLTINV:
            return 0xC0000090;
        case FPE_FLTSUB:
            return 0xC000008C;
        default:
            return static_cast<uint32_t>(sig);
        }
    case SIGILL:
        return info->si_code == ILL_PRVOPC || info->si_code == ILL_PRVREG ? 0xC0000096 : 0xC000001D;
    default:
        return static_cast<uint32_t>(sig);
    }
}

void WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0)
    {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0)
        {
            if (errno == EINTR)
                continue;
            return;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
}

void FillRegisters(CrashFacts& f, const ucontext_t* uc)
{
#if defined(__x86_64__)
    const greg_t* g = uc->uc_mcontext.gregs;
    CrashRegisters& r = f.registers;
    r.rax = static_cast<uint64_t>(g[REG_RAX]);
    r.rbx = static_cast<uint64_t>(g[REG_RBX]);
    r.rcx = static_cast<uint64_t>(g[REG_RCX]);
    r.rdx = static_cast<uint64_t>(g[REG_RDX]);
    r.rsi = static_cast<uint64_t>(g[REG_RSI]);
    r.rdi = static_cast<uint64_t>(g[REG_RDI]);
    r.r8 = static_cast<uint64_t>(g[REG_R8]);
    r.r9 = static_cast<uint64_t>(g[REG_R9]);
    r.r10 = static_cast<uint64_t>(g[REG_R10]);
    r.r11 = static_cast<uint64_t>(g[REG_R11]);
    r.r12 = static_cast<uint64_t>(g[REG_R12]);
    r.r13 = static_cast<uint64_t>(g[REG_R13]);
    r.r14 = static_cast<uint64_t>(g[REG_R14]);
    r.r15 = static_cast<uint64_t>(g[REG_R15]);
    r.rip = static_cast<uint64_t>(g[REG_RIP]);
    r.rsp = static_cast<uint64_t>(g[REG_RSP]);
    r.rbp = static_cast<uint64_t>(g[REG_RBP]);
    r.flags = static_cast<uint64_t>(g[REG_EFL]);
    // cs, gs, fs and (on current kernels) ss share one word.
    const auto segs = static_cast<uint64_t>(g[REG_CSGSFS]);
    r.cs = static_cast<uint16_t>(segs);
    r.gs = static_cast<uint16_t>(segs >> 16);
    r.fs = static_cast<uint16_t>(segs >> 32);
    r.ss = static_cast<uint16_t>(segs >> 48);
    f.params[0] = r.rdi;
    f.params[1] = r.rsi;
    f.params[2] = r.rdx;
    f.params[3] = r.rcx;
#else
    (void)f;
    (void)uc;
#endif
}

// Copies size bytes at address into out, or returns false when they are
// not readable: the kernel reads them, so a bad address fails the call
// instead of faulting inside the handler.
bool ReadMemory(uint64_t address, void* out, size_t size)
{
    if (address == 0)
        return false;
    iovec local{out, size};
    iovec remote{reinterpret_cast<void*>(address), size};
    return ::process_vm_readv(::getpid(), &local, 1, &remote, 1, 0) == static_cast<ssize_t>(size);
}

// A word of the failing thread's stack: inside its known bounds, or else
// at least readable.
bool ReadStackWord(uint64_t address, uint64_t& value)
{
    if (address % 8 != 0)
        return false;
    if (t_stackHigh != 0 && (address < t_stackLow || address + 8 > t_stackHigh))
        return false;
    return ReadMemory(address, &value, sizeof value);
}

void AddFrame(CrashFacts& f, uint64_t address, uint64_t frame)
{
    CrashFrame& fr = f.frames[f.frameCount++];
    fr = CrashFrame();
    fr.address = address;
    fr.frame = frame;
    if (const Module* m = KnownModule(address, fr.section, fr.offset))
    {
        fr.module = m->name;
        FindSymbol(*m, address, fr.symbol, fr.symbolOffset);
    }
    else
        FindModule(address, fr.module, fr.section, fr.offset);
}

struct UnwindWalk
{
    CrashFacts* facts;
    uint64_t faultAddress;
    bool reachedFault;
};

_Unwind_Reason_Code UnwindStep(_Unwind_Context* context, void* data)
{
    auto& walk = *static_cast<UnwindWalk*>(data);
    const uint64_t address = _Unwind_GetIP(context);
    // The walk starts inside this handler; the report starts at the fault.
    if (!walk.reachedFault && address != walk.faultAddress)
        return _URC_NO_REASON;
    walk.reachedFault = true;
    if (address == 0 || walk.facts->frameCount >= CrashFacts::kMaxFrames)
        return _URC_END_OF_STACK;
    AddFrame(*walk.facts, address, _Unwind_GetCFA(context));
    return _URC_NO_REASON;
}

// Follows the saved frame pointers from the fault: the faulting address,
// then (when that lies in no module, as after a call through a null
// pointer) the return address the call left on top of the stack, then each
// frame's return address while the next frame lies higher on the stack and
// the address is code of a module (a register that only looked like a frame
// pointer ends the walk there).
void WalkFramePointers(CrashFacts& f)
{
    const CrashRegisters& r = f.registers;
    f.frameCount = 0;
    f.framePointerWalk = true;
    AddFrame(f, r.rip, r.rbp);
    uint64_t returnAddress = 0;
    if (!f.frames[0].module && ReadStackWord(r.rsp, returnAddress) && returnAddress != 0)
        AddFrame(f, returnAddress, r.rbp);
    uint64_t frame = r.rbp;
    while (f.frameCount < CrashFacts::kMaxFrames)
    {
        uint64_t next = 0;
        if (!ReadStackWord(frame, next) || !ReadStackWord(frame + 8, returnAddress) || returnAddress == 0 ||
            next <= frame)
            break;
        AddFrame(f, returnAddress, next);
        if (!f.frames[f.frameCount - 1].module)
        {
            --f.frameCount;
            break;
        }
        frame = next;
    }
}

// The stack by the unwinder's tables, which the handler's install primed;
// when it does not get past the faulting frame (no tables for it, or the
// fault is a jump to nowhere) the frame pointers are followed instead.
void WalkStack(CrashFacts& f)
{
    f.frameCount = 0;
    UnwindWalk walk{&f, f.registers.rip, false};
    _Unwind_Backtrace(UnwindStep, &walk);
    if (f.frameCount < 2)
        WalkFramePointers(f);
    if (f.framePointerWalk)
        return;
    // The faulting frame's arguments are its argument registers; a caller's
    // registers are long reused, so its frame shows the four stack words at
    // its frame address, where arguments beyond the registers are passed.
    for (int i = 0; i < f.frameCount; ++i)
    {
        CrashFrame& fr = f.frames[i];
        for (int p = 0; p < 4; ++p)
            if (i == 0)
                fr.params[p] = f.params[p];
            else if (!ReadStackWord(fr.frame + 8 * uint64_t(p), fr.params[p]))
                fr.params[p] = 0;
    }
}

void StartViewer(const char* report, size_t length, bool fileWritten)
{
    if (!g_viewerEnabled.load() || g_viewerPath[0] == '\0')
        return;
    int fds[2] = {-1, -1};
    if (!fileWritten && ::pipe(fds) != 0)
        return;
    const pid_t pid = ::_Fork();
    if (pid == 0)
    {
        ::setsid();
        if (!fileWritten)
        {
            ::dup2(fds[0], 0);
            ::close(fds[0]);
            ::close(fds[1]);
        }
        char name[] = "crashview";
        char pipeArg[] = "-";
        char* argv[] = {name, fileWritten ? g_reportPath : pipeArg, nullptr};
        ::execve(g_viewerPath, argv, environ);
        ::_exit(127);
    }
    if (!fileWritten)
    {
        ::close(fds[0]);
        if (pid > 0)
            WriteAll(fds[1], report, length);
        ::close(fds[1]);
    }
}

// Ends the process by sig with the system's own action, as if no handler
// had been installed.
void DieBy(int sig)
{
    struct sigaction fallback{};
    fallback.sa_handler = SIG_DFL;
    ::sigemptyset(&fallback.sa_mask);
    ::sigaction(sig, &fallback, nullptr);
    // Pending while this handler runs, delivered as it returns.
    ::raise(sig);
}

void Handler(int sig, siginfo_t* info, void* context)
{
    const uint64_t thread = PosixCrashHandler::CurrentThreadId();
    uint64_t expected = 0;
    const bool first = g_reportingThread.compare_exchange_strong(expected, thread);
    g_crashMuted.store(true);
    if (!first)
    {
        // The thread writing the report failed again: end with what is written.
        if (expected == thread)
        {
            DieBy(sig);
            return;
        }
        // Another thread is writing the report: wait here until it has
        // finished and ended the process.
        for (;;)
            ::pause();
    }
    g_handling.store(1);
    // A viewer that cannot start closes the pipe: the write fails instead
    // of ending the process by the wrong signal.
    struct sigaction ignore{};
    ignore.sa_handler = SIG_IGN;
    ::sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, nullptr);
    const auto* uc = static_cast<const ucontext_t*>(context);
    CrashFacts& f = g_facts;
    f = CrashFacts();
    f.code = CodeFor(sig, info);
    FillRegisters(f, uc);
    f.address = f.registers.rip;
    f.threadId = thread;
    FindModule(f.address, f.module, f.section, f.offset);
    WalkStack(f);

    f.osName = g_osName;
    f.osInfo = g_osInfo;
    f.osMajor = g_os.major;
    f.osMinor = g_os.minor;
    f.osBuild = g_os.build;
    if (g_hasApplication.load())
    {
        f.hasApplication = true;
        f.product = g_product;
        f.productVersion = g_version;
        f.displayVersion = g_displayVersion;
        f.soundVersion = g_soundVersion;
        f.secondsLoaded = MonotonicSeconds() - g_startSeconds;
        f.fullscreen = g_fullscreen.load();
        f.mainThreadId = g_mainThreadId.load();
    }

    size_t length = 0;
    if (auto format = g_formatter.load())
        length = format(f, g_report, sizeof g_report);

    bool written = false;
    const int fd = ::open(g_reportPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0)
    {
        WriteAll(fd, g_report, length);
        written = ::close(fd) == 0;
    }
    StartViewer(g_report, length, written);
    DieBy(sig);
}

} // namespace

std::string PosixCrashHandler::FindViewer(const std::string& programDirectory, const char* installedViewer)
{
    const std::string beside = programDirectory + "/crashview";
    if (::access(beside.c_str(), X_OK) == 0 || !installedViewer || !*installedViewer)
        return beside;
    return (std::filesystem::path(programDirectory) / installedViewer).lexically_normal().string();
}

uint64_t PosixCrashHandler::CurrentThreadId()
{
    return static_cast<uint64_t>(::syscall(SYS_gettid));
}

namespace
{

// The lowest and the highest address of a thread's stack, {0, 0} when
// unknown.
std::pair<uintptr_t, uintptr_t> StackBounds(uint64_t thread)
{
    std::pair<uintptr_t, uintptr_t> bounds{0, 0};
    pthread_attr_t attr;
    if (::pthread_getattr_np(static_cast<pthread_t>(thread), &attr) == 0)
    {
        void* addr = nullptr;
        size_t size = 0;
        if (::pthread_attr_getstack(&attr, &addr, &size) == 0)
            bounds = {reinterpret_cast<uintptr_t>(addr), reinterpret_cast<uintptr_t>(addr) + size};
        ::pthread_attr_destroy(&attr);
    }
    return bounds;
}

} // namespace

void PosixCrashHandler::PrepareThread()
{
    stack_t current;
    if (::sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE) && current.ss_size >= kAltStackSize)
        return;
    // Kept for the thread's life; a thread that ends leaves it mapped (a
    // few threads per run).
    void* mem = MakeSignalStack();
    if (!mem)
        return;
    UseSignalStack(mem);
    std::tie(t_stackLow, t_stackHigh) = StackBounds(static_cast<uint64_t>(::pthread_self()));
}

void* PosixCrashHandler::MakeSignalStack()
{
    void* mem = ::mmap(nullptr, kAltStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return mem == MAP_FAILED ? nullptr : mem;
}

void PosixCrashHandler::FreeSignalStack(void* stack)
{
    if (stack)
        ::munmap(stack, kAltStackSize);
}

void PosixCrashHandler::UseSignalStack(void* stack)
{
    if (!stack)
        return;
    stack_t ss{};
    ss.ss_sp = stack;
    ss.ss_size = kAltStackSize;
    ::sigaltstack(&ss, nullptr);
}

uintptr_t PosixCrashHandler::StackLowOf(uint64_t thread)
{
    return StackBounds(thread).first;
}

void PosixCrashHandler::SetThreadStackLow(uintptr_t low)
{
    t_stackLow = low;
}

void PosixCrashHandler::RefreshModules()
{
    int count = 0;
    ::dl_iterate_phdr(AddModule, &count);
    g_moduleCount.store(count, std::memory_order_release);
}

void PosixCrashHandler::Install(Formatter formatter, const char* installedViewer)
{
    g_formatter.store(formatter);
    if (g_installed.exchange(true))
        return;

    const ssize_t n = ::readlink("/proc/self/exe", g_exePath, sizeof g_exePath - 1);
    g_exePath[n > 0 ? n : 0] = '\0';
    RefreshModules();

    g_os = OsInfo::Query();
    CopyText(g_osName, sizeof g_osName, g_os.name.c_str());
    CopyText(g_osInfo, sizeof g_osInfo, g_os.additionalInfo.c_str());
    g_startSeconds = MonotonicSeconds();

    // QUILLO_CRASHVIEW names another viewer, or is "off" for none.
    const char* custom = ::getenv("QUILLO_CRASHVIEW");
    const bool viewerOff = custom && std::strcmp(custom, "off") == 0;
    const std::string viewer = custom && *custom && !viewerOff
                                   ? std::string(custom)
                                   : FindViewer(FileSystem::ExecutableDirectory(), installedViewer);
    CopyText(g_viewerPath, sizeof g_viewerPath, viewer.c_str());
    const char* off = ::getenv("QUILLO_NO_CRASHVIEW");
    g_viewerEnabled.store(!viewerOff && !(off && *off && std::strcmp(off, "0") != 0));

    // The unwinder sets up its tables on first use, which may allocate and
    // lock; one walk now leaves nothing of that for the handler.
    int depth = 0;
    _Unwind_Backtrace([](_Unwind_Context*, void* data) {
        ++*static_cast<int*>(data);
        return _URC_NO_REASON;
    }, &depth);

    PrepareThread();
    // The handler stays for later faults (of other threads while a report
    // is written); the other fatal signals wait while it runs.
    struct sigaction sa{};
    sa.sa_sigaction = Handler;
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK;
    ::sigemptyset(&sa.sa_mask);
    for (int sig : kSignals)
        ::sigaddset(&sa.sa_mask, sig);
    for (int sig : kSignals)
        ::sigaction(sig, &sa, nullptr);
}

void PosixCrashHandler::SetApplicationInfo(const char* product, const char* version, const char* displayVersion,
                                           const char* soundVersion, uint64_t mainThreadId)
{
    g_hasApplication.store(false);
    CopyText(g_product, sizeof g_product, product);
    CopyText(g_version, sizeof g_version, version);
    SDL_version v;
    SDL_GetVersion(&v);
    const std::string sdl = std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.patch);
    CopyText(g_displayVersion, sizeof g_displayVersion, displayVersion ? displayVersion : sdl.c_str());
    CopyText(g_soundVersion, sizeof g_soundVersion, soundVersion ? soundVersion : sdl.c_str());
    g_mainThreadId.store(mainThreadId);
    g_hasApplication.store(true);
}

void PosixCrashHandler::SetSoundVersion(const char* soundVersion)
{
    CopyText(g_soundVersion, sizeof g_soundVersion, soundVersion);
}

void PosixCrashHandler::SetReportPath(const char* path)
{
    CopyText(g_reportPath, sizeof g_reportPath, path && *path ? path : "crash.txt");
}

void PosixCrashHandler::ClearApplicationInfo()
{
    g_hasApplication.store(false);
}

void PosixCrashHandler::SetFullscreen(bool fullscreen)
{
    g_fullscreen.store(fullscreen);
}

bool PosixCrashHandler::CrashMuted()
{
    return g_crashMuted.load(std::memory_order_relaxed);
}

void PosixCrashHandler::SetViewerEnabled(bool enabled)
{
    g_viewerEnabled.store(enabled);
}

bool PosixCrashHandler::ViewerEnabled()
{
    return g_viewerEnabled.load();
}

} // namespace Quillo
