#include "Paths.h"

#include <cstring>

#include "core/CharText.h"
#include "core/Text.h"

const char* const DeviceTargetReason = "the name is kept by Windows for a device";

namespace {

const char* const DeviceNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
const char* const NumberedDevices[] = {"COM", "LPT"};
// COM and LPT take a digit, or one of the superscripts 1, 2 and 3 of code
// page 1252.
const char* const DeviceDigits = "0123456789";
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
    for (const char* name : DeviceNames)
        if (part == name) return true;
    bool superscripts = AnsiCodePage().Number() == 1252;
    for (const char* stem : NumberedDevices)
        if (part.size() == 4 && part.compare(0, 3, stem) == 0 && part[3] != '\0' &&
            (std::strchr(DeviceDigits, part[3]) != nullptr ||
             (superscripts && std::strchr(SuperscriptDigits, part[3]) != nullptr)))
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

// "." and "..": parts the system resolves, not names that end in a full stop.
bool IsDotPart(const std::string& part) { return part == "." || part == ".."; }

// The last part of path, after its last separator or drive colon.
std::string LastPart(const std::string& path)
{
    std::string::size_type cut = FindLastCharOf(path, "\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

std::string DirectoryToMake(const std::string& path) { return DropTrailing(path, "\\"); }

std::string TypedDestination(const std::string& text)
{
    // A full stop at the end goes the way of the blanks, unless it is part
    // of "." or "..". Neither is ever the second byte of a character.
    std::string kept = text;
    while (!kept.empty() && (kept.back() == '.' || IsBlank(kept.back())) && !IsDotPart(LastPart(kept)))
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
        std::string part = path.substr(at, end - at);
        if (part.empty() || IsDotPart(part)) continue;
        if (IsBlank(part.back()) || part.back() == '.') {
            std::string reason = "the folder name \"" + part + "\" ends in ";
            reason += part.back() == '.' ? "a full stop" : "a blank";
            return Refused(path, reason + ", which Windows drops");
        }
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
    std::string tail = setting.size() > 3 ? setting.substr(CutBytes(setting, 3).size()) : "";
    return directory.size() == 3 ? directory + tail : directory + "\\" + tail;
}
