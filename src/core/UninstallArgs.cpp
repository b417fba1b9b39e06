#include "UninstallArgs.h"

#include "core/Text.h"

const char* const UninstallUsage =
    "Skorvel.exe [/S] [/LOG=file] folder\r\n\r\n"
    "Removes the product installed in folder, as its list of what was installed names it.\r\n"
    "/S removes with no window and no question; /LOG= writes what was done to file.\r\n"
    "Exit code: 0 removed, 1 removed but something is left, 2 nothing done.";

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Blanks, quotes and "/" are below every second byte of a two-byte
// character, so the line can be read byte by byte here.
std::string::size_type SkipBlanks(const std::string& line, std::string::size_type at)
{
    while (at < line.size() && IsBlank(line[at])) ++at;
    return at;
}

// One argument from at, quotes dropped; at moves past it.
std::string ReadArgument(const std::string& line, std::string::size_type& at)
{
    std::string arg;
    bool quoted = false;
    for (; at < line.size() && (quoted || !IsBlank(line[at])); ++at) {
        if (line[at] == '"')
            quoted = !quoted;
        else
            arg += line[at];
    }
    return arg;
}

}  // namespace

TUninstallArgs ParseUninstallArgs(const std::string& commandLine)
{
    TUninstallArgs args;
    std::string::size_type at = 0;
    ReadArgument(commandLine, at);  // the program's own name
    for (;;) {
        at = SkipBlanks(commandLine, at);
        std::string::size_type start = at;
        std::string arg = ReadArgument(commandLine, at);
        if (arg.empty() || arg[0] != '/') {
            at = start;
            break;
        }
        std::string upper = AsciiUpper(arg);
        if (upper == "/S")
            args.Silent = true;
        else if (upper == "/?")
            args.Help = true;
        else if (upper.compare(0, 5, "/LOG=") == 0 && arg.size() > 5)
            args.LogPath = arg.substr(5);
        else if (args.Error.empty())
            args.Error = "Unknown switch " + arg + ".";
    }
    std::string dest = commandLine.substr(at);
    while (!dest.empty() && IsBlank(dest.back())) dest.pop_back();
    if (dest.size() >= 2 && dest.front() == '"' && dest.back() == '"') dest = dest.substr(1, dest.size() - 2);
    args.DestDir = dest;
    return args;
}
