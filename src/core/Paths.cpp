#include "Paths.h"

#include "core/Text.h"

const char* const DeviceTargetReason = "the name is kept by Windows for a device";

namespace {

const char* const DeviceNames[] = {"CON", "PRN", "AUX", "NUL"};
const char* const NumberedDevices[] = {"COM", "LPT"};
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
    for (const char* stem : NumberedDevices)
        if (part.size() == 4 && part.compare(0, 3, stem) == 0 && part[3] >= '1' && part[3] <= '9')
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

}  // namespace

std::string DirectoryToMake(const std::string& path)
{
    std::string dir = path;
    while (!dir.empty() && dir.back() == '\\') dir.pop_back();
    return dir;
}

std::string TypedDestination(const std::string& text)
{
    std::string::size_type end = text.size();
    while (end > 0 && IsBlank(text[end - 1])) --end;
    return text.substr(0, end);
}

std::string DeviceNamePart(const std::string& path)
{
    std::string::size_type at = DriveLength(path);
    while (at <= path.size()) {
        std::string::size_type end = path.find_first_of("\\/", at);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(at, end - at);
        if (IsDevice(part)) return part;
        at = end + 1;
    }
    return "";
}

std::string FolderRefusal(const std::string& path, bool isFile)
{
    for (std::string::size_type i = DriveLength(path); i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (c < 32)
            return Refused(path, "a folder name may not hold a control character");
        if (std::string(ForbiddenCharacters).find(path[i]) != std::string::npos)
            return Refused(path, std::string("a folder name may not hold the character ") + path[i]);
    }
    std::string device = DeviceNamePart(path);
    if (!device.empty())
        return Refused(path, "\"" + device + "\" is a name Windows keeps for a device");
    if (isFile) return Refused(path, "it is the name of an existing file");
    return "";
}

std::string DestinationFor(const std::string& directory, const std::string& setting)
{
    std::string tail = setting.size() > 3 ? setting.substr(3) : "";
    return directory.size() == 3 ? directory + tail : directory + "\\" + tail;
}
