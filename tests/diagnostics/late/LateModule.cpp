// A library the crash tests load only after the crash filter is installed,
// with a function that faults inside it.
extern "C" __attribute__((visibility("default"), noinline, no_sanitize("undefined"))) void LateModuleFault()
{
    volatile int* volatile p = nullptr;
    *p = 1;
}
