#include "engine/RestartRemoval.h"

#include "core/Text.h"
#include "platform/Platform.h"

namespace {

const char* const WininitName = "WININIT.INI";
const char* const RenameSection = "[RENAME]";

std::string Trimmed(const std::string& line)
{
    std::string::size_type from = line.find_first_not_of(" \t\r");
    if (from == std::string::npos) return "";
    return line.substr(from, line.find_last_not_of(" \t\r") + 1 - from);
}

}  // namespace

std::string WininitWithRemoval(const std::string& text, const std::string& shortPath)
{
    const std::string line = "NUL=" + shortPath + "\r\n";
    // Where the [rename] section's last line ends, and where the next
    // section starts.
    std::string::size_type at = 0, end = std::string::npos;
    bool inSection = false;
    while (at < text.size()) {
        std::string::size_type next = text.find('\n', at);
        next = next == std::string::npos ? text.size() : next + 1;
        std::string trimmed = Trimmed(text.substr(at, next - at - (text[next - 1] == '\n')));
        if (!trimmed.empty() && trimmed[0] == '[') {
            if (inSection) break;
            inSection = AsciiUpper(trimmed) == RenameSection;
            if (inSection) end = next;
        } else if (inSection && !trimmed.empty()) {
            end = next;
        }
        at = next;
    }
    if (end == std::string::npos) {
        std::string head = text;
        if (!head.empty() && head.back() != '\n') head += "\r\n";
        return head + "[rename]\r\n" + line;
    }
    // A last line without its line break gets one before the new line.
    std::string before = text.substr(0, end);
    if (before.back() != '\n') before += "\r\n";
    return before + line + text.substr(end);
}

bool RemoveAtRestart(const std::string& path)
{
    ICleanup& cleanup = *Sys().Cleanup;
    if (!cleanup.Windows9x()) return cleanup.DeleteAtRestart(path);
    std::string shortPath = cleanup.ShortPath(path);
    if (shortPath.empty()) return false;
    IFileSystem& files = *Sys().Files;
    std::string windowsDir = files.WindowsDirectory();
    if (windowsDir.empty()) return false;
    std::string wininit = windowsDir + "\\" + WininitName;
    std::string text;
    if (!files.ReadWholeFile(wininit, text) && files.FileExists(wininit)) return false;
    return files.WriteWholeFile(wininit, WininitWithRemoval(text, shortPath)) == 0;
}
