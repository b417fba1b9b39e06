#include <windows.h>

#include "platform/win32/PrivateFolder.h"
#include "platform/win32/Win32Platform.h"

std::string TWin32PrivateCopy::MakeFolder()
{
    std::string temp = Sys().Files->TempDirectory();
    char folder[MAX_PATH + 1] = {};
    if (temp.empty() || !MakePrivateFolder(temp.c_str(), "sk", folder, sizeof folder)) return "";
    return folder;
}

unsigned long TWin32PrivateCopy::RunAndWait(const std::string& program, const std::string& commandLine,
                                            const std::string& currentDir, unsigned long& exitCode)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;  // CreateProcessA may write into it
    if (!CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        currentDir.empty() ? nullptr : currentDir.c_str(), &startup, &process))
        return GetLastError();
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    exitCode = code;
    return 0;
}

void TWin32PrivateCopy::RemoveFolder(const std::string& folder)
{
    RemovePrivateFolder(folder.c_str());
}
