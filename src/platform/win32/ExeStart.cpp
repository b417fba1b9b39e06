// The exes' entry point, in place of the C runtime's start-up code (they
// link with -nostartfiles, CMakeLists.txt). That code readies what these
// programs never use: argv and the environment for main, stdio's modes,
// thread-local storage callbacks, the relocation of imported data (the
// link refuses it: --disable-auto-import), a floating-point reset and a
// filter turning crashes into signals. What they do use is kept as it was:
// static constructors before WinMain, and exit() after it, which runs
// atexit's functions (static destructors) as msvcrt did them before.
//
// The unwinder finds every frame in the tables cmake/exe-start.ld marks,
// where crtbegin.o handed them over at start-up.
#include <windows.h>

#include <cstdlib>

extern "C" {
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show);
// libmingw32's: runs the static constructors, then hands the destructors
// to atexit.
void __main();

// msvcrt keeps the list exit() runs; the compiler hands the static
// destructors to atexit, which the start-up code used to define.
int atexit(void (*function)())
{
    return _onexit(reinterpret_cast<_onexit_t>(function)) != nullptr ? 0 : -1;
}

// The stack as the start-up code left it: aligned for WinMain whatever the
// loader gave.
__attribute__((force_align_arg_pointer, noreturn)) void WINAPI ExeStart()
{
    // WinMain's line is the command line after the program's name, as the
    // start-up code cut it: the name runs to the first blank outside quotes.
    char* line = GetCommandLineA();
    bool quoted = false;
    while (*line > ' ' || (*line != '\0' && quoted)) {
        if (*line == '"') quoted = !quoted;
        ++line;
    }
    while (*line != '\0' && *line <= ' ') ++line;
    __main();
    // SW_SHOWDEFAULT: the first window shows as the starter asked.
    std::exit(WinMain(GetModuleHandleA(nullptr), nullptr, line, SW_SHOWDEFAULT));
}
}
