// How the uninstaller runs from a copy of itself. Its exe lies in the
// Windows folder as a shared file, which the last removal deletes, and no
// program's exe can be deleted while it runs: the exe that was started
// copies itself into a folder of its own, runs the copy and waits.
#pragma once
#include <string>

class IPrivateCopy {
public:
    virtual ~IPrivateCopy() = default;
    // A fresh folder of an unpredictable name in the temporary folder,
    // which only this account can write to; "" when none could be made.
    virtual std::string MakeFolder() = 0;
    // Starts program with commandLine (the program's own name first) in
    // the current folder currentDir and waits for its end: 0 with its exit
    // code, or the system's error when it could not be started.
    virtual unsigned long RunAndWait(const std::string& program, const std::string& commandLine,
                                     const std::string& currentDir, unsigned long& exitCode) = 0;
    // Removes a folder MakeFolder made and everything in it.
    virtual void RemoveFolder(const std::string& folder) = 0;
};
