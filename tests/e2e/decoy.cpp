// A decoy DLL for the end-to-end bench. Copied beside Pellwick.exe under
// the names of DLLs a process might look for, it leaves a marker file
// C:\decoys\<its name>.<process exe name>.loaded when anything loads it.
#include <windows.h>

static const char* BaseName(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    return name;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH] = {}, exe[MAX_PATH] = {};
    GetModuleFileNameA(self, path, MAX_PATH);
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    CreateDirectoryA("C:\\decoys", nullptr);
    char marker[2 * MAX_PATH + 32] = "C:\\decoys\\";
    lstrcatA(marker, BaseName(path));
    lstrcatA(marker, ".");
    lstrcatA(marker, BaseName(exe));
    lstrcatA(marker, ".loaded");
    HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return TRUE;
}
