// The program-manager conversation lets the DDE replies past User Interface
// Privilege Isolation before it starts, where the system has the filter,
// and runs unchanged where it has not (Windows before Vista). Real DDE
// library under Wine; the filter lookup, the connect and the start of
// PROGMAN are recorders, so the order of the calls can be read back.
#include <windows.h>
#include <dde.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"

namespace {

std::vector<std::string> calls;

int __stdcall RecordFilter(unsigned message, unsigned long flag)
{
    calls.push_back("filter " + std::to_string(message) + " " + std::to_string(flag));
    return TRUE;
}

TProgmanCalls::TMessageFilter SystemWithFilter() { return RecordFilter; }
TProgmanCalls::TMessageFilter SystemWithoutFilter() { return nullptr; }

void* RecordConnect(unsigned long, void*, void*)
{
    calls.push_back("connect");
    return nullptr;  // nobody answers
}

bool RecordStart()
{
    calls.push_back("start progman");
    return false;
}

std::vector<std::string> FilterCalls()
{
    std::vector<std::string> expected;
    for (unsigned m = WM_DDE_FIRST; m <= WM_DDE_LAST; ++m)
        expected.push_back("filter " + std::to_string(m) + " 1");  // MSGFLT_ADD
    return expected;
}

class ProgmanFilter : public ::testing::Test {
protected:
    void SetUp() override { calls.clear(); }
};

TEST_F(ProgmanFilter, EveryDdeMessageIsLetInBeforeTheFirstConnect)
{
    TWin32ProgramManager manager({SystemWithFilter, RecordConnect, RecordStart});
    manager.Open();
    std::vector<std::string> expected = FilterCalls();
    expected.push_back("connect");
    expected.push_back("start progman");
    EXPECT_EQ(calls, expected);
}

TEST_F(ProgmanFilter, WithoutTheFunctionTheConversationRunsUnchanged)
{
    TWin32ProgramManager manager({SystemWithoutFilter, RecordConnect, RecordStart});
    manager.Open();
    EXPECT_EQ(calls, (std::vector<std::string>{"connect", "start progman"}));
}

TEST_F(ProgmanFilter, TheFilterIsAskedOnceForTheLifeOfTheConversation)
{
    TWin32ProgramManager manager({SystemWithFilter, RecordConnect, RecordStart});
    manager.Open();
    manager.Close();
    manager.Open();
    std::vector<std::string> expected = FilterCalls();
    for (int i = 0; i < 2; ++i) {
        expected.push_back("connect");
        expected.push_back("start progman");
    }
    EXPECT_EQ(calls, expected);
}

// The lookup the exe makes names what user32 exports: Wine's user32 has the
// function (a stub that lets everything in), as Vista's and later do.
TEST_F(ProgmanFilter, TheRealLookupFindsTheFunctionUser32Exports)
{
    FARPROC exported = GetProcAddress(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilter");
    ASSERT_NE(exported, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(Win32ProgmanCalls().FindMessageFilter()),
              reinterpret_cast<void*>(exported));
}

// Program Manager is started from the Windows folder or not at all. A
// PROGMAN.EXE put beside the exe or in the current folder, where a search
// by bare name looks first, is never run: with the Windows folder's own
// moved aside for the test, the start finds nothing, whatever lies there.
TEST(ProgmanStart, APlantedProgmanBesideTheExeOrInTheCurrentFolderIsNeverRun)
{
    char windows[MAX_PATH] = {}, exe[MAX_PATH] = {}, temp[MAX_PATH] = {}, cwd[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    GetTempPathA(MAX_PATH, temp);
    GetCurrentDirectoryA(MAX_PATH, cwd);
    std::string exeDir(exe);
    exeDir.resize(exeDir.find_last_of('\\'));
    std::string current = std::string(temp) + "progman-decoy";
    CreateDirectoryA(current.c_str(), nullptr);
    SetCurrentDirectoryA(current.c_str());
    // Any program that runs and ends will do as the decoy.
    std::string decoy = std::string(windows) + "\\system32\\hostname.exe";
    std::vector<std::string> planted{exeDir + "\\PROGMAN.EXE", current + "\\PROGMAN.EXE"};
    for (const std::string& p : planted) ASSERT_TRUE(CopyFileA(decoy.c_str(), p.c_str(), FALSE)) << p;
    std::string own = std::string(windows) + "\\PROGMAN.EXE", aside = own + ".aside";
    bool moved = MoveFileA(own.c_str(), aside.c_str()) != FALSE;

    bool started = Win32ProgmanCalls().StartProgman();

    SetCurrentDirectoryA(cwd);
    for (const std::string& p : planted) DeleteFileA(p.c_str());
    RemoveDirectoryA(current.c_str());
    if (moved) MoveFileA(aside.c_str(), own.c_str());
    EXPECT_FALSE(started);
}

}  // namespace
