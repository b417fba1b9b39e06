// Windows as the driver sees them: snapshots, their properties, the screen
// image, and the journal the watcher keeps of the process's windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Script.h"

namespace pwdrive {

extern LARGE_INTEGER ClockFreq, ClockStart;

double Now();
void PollPause();

struct Snap {
    HWND hwnd = nullptr;
    bool alive = false;
    bool isChild = false;
    std::string cls, text;
    int id = 0;
    bool visible = false, enabled = false;
    DWORD exstyle = 0;
    RECT win{};          // screen coordinates
    int clientW = 0, clientH = 0;
    RECT inRoot{};       // in client coordinates of the top-level window
    int rootW = 0, rootH = 0;

    bool SameState(const Snap& o) const
    {
        return alive == o.alive && cls == o.cls && text == o.text && visible == o.visible &&
               enabled == o.enabled && exstyle == o.exstyle && EqualRect(&win, &o.win) &&
               clientW == o.clientW && clientH == o.clientH;
    }
};

std::string ReadText(HWND h, bool viaMessage);
Snap TakeSnap(HWND h, bool textViaMessage);

int ScreenW();
int ScreenH();

// The live XWD image of the screen (PW_SCREEN); "inked" and "blank" read it.
extern std::string ScreenImage;

// Folder of the case; textof= names its files relative to it.
extern std::string CaseFolder;

bool ReadFileBytes(const std::string& path, std::string& data);
std::string InCaseFolder(const std::string& path);

bool IsValueProp(const std::string& k);
bool IsFlagProp(const std::string& k);

// Checks one property against a snapshot; on mismatch, `actual` tells what was found.
bool MatchProp(const Snap& s, const Arg& p, std::string& actual);
bool MatchAll(const Snap& s, const std::vector<Arg>& props, std::string* why = nullptr);
std::string Describe(const Snap& s);

extern PROCESS_INFORMATION Proc;
extern bool Launched;
extern volatile DWORD WatchPid;
// Set when the launched program is a setup that starts Pellwick.exe itself:
// the windows of its child processes count as its own.
extern volatile bool WatchChildren;

struct JState {
    double t;
    Snap s;
};
struct JWin {
    HWND h;
    std::vector<JState> states;
    bool dead = false;
};

extern CRITICAL_SECTION JournalLock;
extern std::vector<JWin> Journal;
extern volatile LONG Samples;
extern volatile LONG StopWatch;
extern HANDLE WatchThread;

BOOL CALLBACK CollectAll(HWND h, LPARAM lp);
std::vector<HWND> Descendants(HWND parent);
// Top-level windows of the process (and, with WatchChildren, of those it started).
std::vector<HWND> ProcessTopWindows(DWORD pid);

// Samples every top-level window of the process, so that windows shown and
// gone between two commands are still seen, and times are first sightings.
DWORD WINAPI Watcher(LPVOID);

// Waits until the watcher has taken two fresh samples.
void SyncJournal();

// First moment of the current unbroken run of journal states of h that satisfy pred.
template <class Pred>
double RunStart(HWND h, Pred pred, double fallback)
{
    double t = fallback;
    EnterCriticalSection(&JournalLock);
    for (auto it = Journal.rbegin(); it != Journal.rend(); ++it) {
        if (it->h != h) continue;
        for (auto s = it->states.rbegin(); s != it->states.rend(); ++s) {
            if (!pred(s->s)) break;
            t = s->t;
        }
        break;
    }
    LeaveCriticalSection(&JournalLock);
    return t;
}

std::string JournalText(double origin);
bool ProcessExited(DWORD* code = nullptr);

}  // namespace pwdrive
