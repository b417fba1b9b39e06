// The shell and the program manager's command interface.
#pragma once
#include <string>

class IShell {
public:
    virtual ~IShell() = default;
    // ShellExecuteA(owner, "open", file, no parameters, no directory,
    // SW_SHOWNORMAL). The result is not looked at.
    virtual void Open(void* ownerWindow, const std::string& file) = 0;
};

// A DDE conversation with the program manager (service and topic PROGMAN).
class IProgramManager {
public:
    virtual ~IProgramManager() = default;
    // Connects unless connected; when nobody answers, starts PROGMAN.EXE
    // from the Windows folder (never by bare name) and
    // tries once more.
    virtual void Open() = 0;
    virtual bool IsOpen() const = 0;
    // Hands one command string to the program manager; false when it was
    // refused or could not be sent.
    virtual bool Execute(const std::string& command) = 0;
    virtual void Close() = 0;
};
