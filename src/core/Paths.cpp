#include "core/Paths.h"

#include <cstring>

#include "core/CharText.h"
#include "core/Text.h"

const char* const DeviceTargetReason = "the name is kept by Windows for a device";

namespace {

// One after the other, each ended by a NUL, the list by a second.
const char DeviceNames[] = "CON\0PRN\0AUX\0NUL\0CONIN$\0CONOUT$\0";
const char NumberedDevices[][4] = {"COM", "LPT"};
// COM and LPT take a digit, or one of the superscripts 1, 2 and 3 of code
// page 1252.
const char* const SuperscriptDigits = "\xB9\xB2\xB3";
const char* const Separators = "\\/";
// Characters no file or folder name may hold; ":" is allowed only after the
// drive letter.
const char* const ForbiddenCharacters = "<>:\"|?*";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsDevice(std::string part)
{
    // The system looks at the name up to the first full stop, trailing
    // blanks dropped: "aux.h", "nul .txt" and "COM1.log" are all devices.
    std::string::size_type dot = part.find('.');
    if (dot != std::string::npos) part.erase(dot);
    while (!part.empty() && IsBlank(part.back())) part.pop_back();
    part = AsciiUpper(part);
    for (const char* name = DeviceNames; *name != '\0'; name += std::strlen(name) + 1)
        if (part == name) return true;
    bool superscripts = AnsiCodePage().Number() == 1252;
    for (const char* stem : NumberedDevices)
        if (part.size() == 4 && part.compare(0, 3, stem) == 0 &&
            ((part[3] >= '0' && part[3] <= '9') ||
             (superscripts && part[3] != '\0' && std::strchr(SuperscriptDigits, part[3]) != nullptr)))
            return true;
    return false;
}

// The length of a leading drive ("C:"), 0 when there is none.
std::size_t DriveLength(const std::string& path)
{
    bool letter = path.size() >= 2 && ((path[0] >= 'a' && path[0] <= 'z') ||
                                       (path[0] >= 'A' && path[0] <= 'Z'));
    return letter && path[1] == ':' ? 2 : 0;
}

std::string Refused(const std::string& path, const std::string& reason)
{
    return path + " cannot be a folder: " + reason + ". Please choose another directory.";
}

// Whether the part of path from `at` to `end` is "." or "..", which the
// system resolves, not a name that ends in a full stop.
bool IsDotPart(const std::string& path, std::string::size_type at, std::string::size_type end)
{
    std::string::size_type n = end - at;
    return (n == 1 || n == 2) && path.compare(at, n, "..", n) == 0;
}

}  // namespace

std::string DirectoryToMake(const std::string& path) { return DropTrailing(path, "\\"); }

std::string TypedDestination(const std::string& text)
{
    // A full stop at the end goes the way of the blanks, unless it is part
    // of "." or "..". Neither is ever the second byte of a character.
    std::string kept = text;
    while (!kept.empty() && (kept.back() == '.' || IsBlank(kept.back())) &&
           !IsDotPart(kept, FindLastCharOf(kept, "\\/:") + 1, kept.size()))  // npos + 1: 0
        kept.pop_back();
    return kept;
}

std::string DeviceNamePart(const std::string& path)
{
    std::string::size_type at = DriveLength(path);
    while (at <= path.size()) {
        std::string::size_type end = FindCharOf(path, Separators, at);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(at, end - at);
        if (IsDevice(part)) return part;
        at = end + 1;
    }
    return "";
}

std::string FolderRefusal(const std::string& path, bool isFile)
{
    // A control character is never the second byte of a character.
    std::string::size_type bad = FindCharOf(path, ForbiddenCharacters, DriveLength(path));
    for (std::string::size_type i = DriveLength(path); i < path.size() && i < bad; ++i)
        if (static_cast<unsigned char>(path[i]) < 32)
            return Refused(path, "a folder name may not hold a control character");
    if (bad != std::string::npos)
        return Refused(path, std::string("a folder name may not hold the character ") + path[bad]);
    // Windows makes "Apps " or "Apps." as "Apps", and the files meant for
    // the folder inside would find none there.
    for (std::string::size_type at = DriveLength(path), end; at < path.size(); at = end + 1) {
        end = FindCharOf(path, Separators, at);
        if (end == std::string::npos) break;
        if (end > at && !IsDotPart(path, at, end) && (IsBlank(path[end - 1]) || path[end - 1] == '.'))
            return Refused(path, "\"" + path.substr(at, end - at) +
                                     "\" ends in a blank or a full stop, which Windows drops");
    }
    std::string device = DeviceNamePart(path);
    if (!device.empty())
        return Refused(path, "\"" + device + "\" is a name Windows keeps for a device");
    if (isFile) return Refused(path, "it is the name of an existing file");
    return "";
}

std::string DestinationFor(const std::string& directory, const std::string& setting)
{
    // Past the setting's drive root: its first three bytes, or two when the
    // third begins a character of two.
    std::string tail = setting.size() > 3 ? setting.substr(CharStart(setting, 3)) : "";
    return directory.size() == 3 ? directory + tail : directory + "\\" + tail;
}
