#include "CommandLine.h"

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

namespace {

// Why one argument cannot be taken, or empty when it was.
std::string Take(const std::string& arg, TCommandLine& line)
{
    if (arg.size() < 2 || arg[0] != '/') return "unknown argument \"" + arg + "\"";
    // '=' lies below every second byte of a double-byte character.
    std::string::size_type equals = arg.find('=');
    bool hasValue = equals != std::string::npos;
    std::string name = AsciiUpper(arg.substr(1, hasValue ? equals - 1 : std::string::npos));
    std::string value = hasValue ? arg.substr(equals + 1) : "";

    bool* flag = name == "S" ? &line.Silent : name == "?" ? &line.Help
                                            : name == "ADDONS" ? &line.AddOns : nullptr;
    if (flag != nullptr) {
        if (hasValue) return "/" + name + " takes no value: \"" + arg + "\"";
        *flag = true;
        return "";
    }

    bool logGiven = !line.LogPath.empty();
    bool* given = name == "D" ? &line.HasDest : name == "NAME" ? &line.HasName
                                              : name == "ORG"  ? &line.HasOrg
                                              : name == "LOG"  ? &logGiven : nullptr;
    std::string* target = name == "D" ? &line.Dest : name == "NAME" ? &line.Name
                                                   : name == "ORG"  ? &line.Org : &line.LogPath;
    if (given == nullptr) return "unknown switch \"" + arg + "\"";
    if (!hasValue) return "/" + name + " needs a value: /" + name + "=...";
    if (*given) return "/" + name + "= is given twice";
    *given = true;
    *target = value;
    // A user entry is held in 255 characters; cutting it would record a
    // name nobody gave. A longer destination is refused as typed.
    if ((name == "NAME" || name == "ORG") && value.size() > ShortStringMax)
        return "/" + name + "= is longer than 255 characters";
    if (name == "LOG" && value.empty()) return "/LOG= names no file";
    return "";
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    TCommandLine line;
    for (const std::string& arg : args) {
        std::string error = Take(arg, line);
        if (line.Error.empty()) line.Error = error;
    }
    return line;
}
