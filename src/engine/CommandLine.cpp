#include "engine/CommandLine.h"

#include "core/Text.h"

const char* const UsageText =
    "Pellwick.exe /S [/D=folder] [/NAME=text] [/ORG=text] [/LOG=file] [/ADDONS]\r\n"
    "\r\n"
    "/S\tinstalls with no window and no question.\r\n"
    "/D=\tthe destination folder (default: the one the product proposes).\r\n"
    "/NAME=, /ORG=\tthe user's name and organisation (default: the\r\n"
    "\tcomputer's registered owner and organisation).\r\n"
    "/LOG=\tthe log file, appended to (default: %TEMP%\\Pellwick.log).\r\n"
    "/ADDONS\topens the product's add-ons at the end.\r\n"
    "\r\n"
    "Exit codes: 0 installed; 1 installed, but something is not; 2 nothing\r\n"
    "done; 3 stopped by an error. Quote a value with blanks: \"/D=C:\\My Apps\".";

const char* const UninstallUsage =
    "Skorvel.exe [/S] [/LOG=file] folder\r\n\r\n"
    "Removes the product installed in folder, as its list of what was installed names it.\r\n"
    "/S removes with no window and no question; /LOG= writes what was done to file.\r\n"
    "Exit code: 0 removed, 3010 removed but for what goes when Windows restarts, 1 removed\r\n"
    "but something is left, 2 nothing done, 3 stopped by an error, 1618 another installation\r\n"
    "or removal is changing this computer.";

namespace {

// One switch a program takes: a flag, or a value it stores.
struct TSwitch {
    const char* Name;  // upper case, without "/"
    bool* Flag;        // set by a switch without a value
    std::string* Value;
    bool Given = false;
};

// Why one switch cannot be taken, or empty when it was: the one set of
// rules and messages of both programs.
std::string Take(const std::string& arg, TSwitch* switches, std::size_t count)
{
    // '=' lies below every second byte of a double-byte character.
    std::string::size_type equals = arg.find('=');
    bool hasValue = equals != std::string::npos;
    std::string name = AsciiUpper(arg.substr(1, hasValue ? equals - 1 : std::string::npos));
    TSwitch* known = nullptr;
    for (std::size_t i = 0; i < count; ++i)
        if (name == switches[i].Name) known = &switches[i];
    if (known == nullptr) return "unknown switch \"" + arg + "\"";
    if (known->Flag != nullptr) {
        if (hasValue) return "/" + name + " takes no value: \"" + arg + "\"";
        *known->Flag = true;
        return "";
    }
    if (!hasValue) return "/" + name + " needs a value: /" + name + "=...";
    if (known->Given) return "/" + name + "= is given twice";
    known->Given = true;
    *known->Value = arg.substr(equals + 1);
    if (name == "LOG" && known->Value->empty()) return "/LOG= names no file";
    return "";
}

void Keep(std::string& error, const std::string& found)
{
    if (error.empty()) error = found;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// One word of a command line from at, its quotes dropped; at moves past
// it. Blanks, quotes and "/" are below every second byte of a two-byte
// character, so the line can be read byte by byte here.
std::string ReadWord(const std::string& line, std::string::size_type& at)
{
    std::string word;
    bool quoted = false;
    for (; at < line.size() && (quoted || !IsBlank(line[at])); ++at) {
        if (line[at] == '"')
            quoted = !quoted;
        else
            word += line[at];
    }
    return word;
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    TCommandLine line;
    TSwitch switches[] = {
        {"S", &line.Silent, nullptr},       {"?", &line.Help, nullptr},
        {"ADDONS", &line.AddOns, nullptr},  {"D", nullptr, &line.Dest},
        {"NAME", nullptr, &line.Name},      {"ORG", nullptr, &line.Org},
        {"LOG", nullptr, &line.LogPath},
    };
    const std::size_t count = sizeof(switches) / sizeof(switches[0]);
    for (const std::string& arg : args) {
        if (arg.size() < 2 || arg[0] != '/') {
            Keep(line.Error, "unknown argument \"" + arg + "\"");
            continue;
        }
        std::size_t nameSize = line.Name.size(), orgSize = line.Org.size();
        Keep(line.Error, Take(arg, switches, count));
        // A user entry is held in 255 characters; cutting it would record
        // a name nobody gave. A longer destination is refused as typed.
        if (line.Name.size() != nameSize && line.Name.size() > ShortStringMax)
            Keep(line.Error, "/NAME= is longer than 255 characters");
        if (line.Org.size() != orgSize && line.Org.size() > ShortStringMax)
            Keep(line.Error, "/ORG= is longer than 255 characters");
    }
    line.HasDest = switches[3].Given;
    line.HasName = switches[4].Given;
    line.HasOrg = switches[5].Given;
    return line;
}

TUninstallArgs ParseUninstallArgs(const std::string& commandLine)
{
    TUninstallArgs args;
    TSwitch switches[] = {
        {"S", &args.Silent, nullptr},
        {"?", &args.Help, nullptr},
        {"LOG", nullptr, &args.LogPath},
        {"ORIGINAL", nullptr, &args.Original},
    };
    const std::size_t count = sizeof(switches) / sizeof(switches[0]);

    // The words after the program's own name, each with where it starts.
    std::vector<std::pair<std::string, std::string::size_type>> words;
    std::string::size_type at = 0;
    ReadWord(commandLine, at);
    for (;;) {
        while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
        if (at >= commandLine.size()) break;
        std::string::size_type start = at;
        words.emplace_back(ReadWord(commandLine, at), start);
    }
    auto isSwitch = [&words](std::size_t i) { return !words[i].first.empty() && words[i].first[0] == '/'; };
    std::size_t first = 0, end = words.size();
    while (first < end && isSwitch(first)) ++first;
    while (end > first && isSwitch(end - 1)) --end;
    for (std::size_t i = 0; i < words.size(); ++i)
        if (i < first || i >= end) Keep(args.Error, Take(words[i].first, switches, count));

    if (first < end) {
        std::string::size_type from = words[first].second;
        std::string::size_type to = end < words.size() ? words[end].second : commandLine.size();
        std::string dest = commandLine.substr(from, to - from);
        while (!dest.empty() && IsBlank(dest.back())) dest.pop_back();
        if (dest.size() >= 2 && dest.front() == '"' && dest.back() == '"') dest = dest.substr(1, dest.size() - 2);
        args.DestDir = dest;
    }
    return args;
}

std::string PrivateCopyLine(const std::string& commandLine, const std::string& copy,
                            const std::string& original)
{
    std::string::size_type at = 0;
    ReadWord(commandLine, at);
    std::string arguments = commandLine.substr(at);
    // A quote left open would take the switch into the destination.
    std::size_t quotes = 0;
    for (char c : arguments) quotes += c == '"';
    if (quotes % 2 != 0) arguments += '"';
    return "\"" + copy + "\"" + arguments + " \"/ORIGINAL=" + original + "\"";
}
