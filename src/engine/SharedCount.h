// Windows' own count of a shared file, kept for the machine: a REG_DWORD
// under HKEY_LOCAL_MACHINE named by the file's full path, which every
// installer that shares files keeps (the counters of HKEY_CURRENT_USER
// are one account's and cannot tell what another account installed).
#pragma once
#include <cstdint>
#include <string>

extern const char* const SharedDllsKey;  // "SOFTWARE\Microsoft\Windows\CurrentVersion\SharedDLLs"

// The machine's count of the file at path; -1 when there is none.
std::int32_t MachineCount(const std::string& path);
// Raises it by one. A file that was there before this installation and
// has no count starts from 1: it may be the system's own or a product's
// that counted nothing, and no removal may take it. 0 or the system's error.
long RaiseMachineCount(const std::string& path, bool wasThere);
// Lowers it by one, deleting the value at 0; 0 or the system's error.
long LowerMachineCount(const std::string& path);
