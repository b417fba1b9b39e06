#include "PlanSteps.h"

#include "core/Text.h"

namespace {

const std::string DirectoryMark = "directory ";
const std::string CopyMark = "copy ";
const std::string RegistryMark = "registry ";
const std::string RecordMark = "record ";
const std::string CommandMark = "command ";
const std::string MessageMark = "message ";
const std::string KeptMark = "  kept: the file exists";

bool StartsWith(const std::string& text, const std::string& head) { return text.rfind(head, 0) == 0; }

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Same(const std::string& text) { return AsciiUpper(text); }

// A text as Shown() wrote it, from its opening quote to the line's end.
// CR and LF were written as \r and \n; those are taken back only at the
// end, where a command's CR LF stands, since paths hold "\r" and "\n" as
// they are.
std::string Unquoted(const std::string& shown)
{
    std::string text = shown.size() >= 2 ? shown.substr(1, shown.size() - 2) : "";
    if (EndsWith(text, "\\r\\n")) text.replace(text.size() - 4, 4, "\r\n");
    return text;
}

std::string Trimmed(const std::string& text)
{
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void ReadCopy(const std::string& line, TPlan& plan)
{
    std::string::size_type arrow = line.find(" -> ");
    std::string::size_type flag = line.find("  (", arrow);
    if (arrow == std::string::npos || flag == std::string::npos) return;
    bool kept = EndsWith(line, KeptMark);
    if (!kept && line.find(")  ", flag) != std::string::npos) return;  // fails
    TPlannedCopy copy;
    copy.Source = line.substr(CopyMark.size(), arrow - CopyMark.size());
    copy.Dest = line.substr(arrow + 4, flag - arrow - 4);
    copy.Keep = line.compare(flag, 8, "  (keep)") == 0;
    for (const TPlannedCopy& earlier : plan.Copies)
        if (Same(earlier.Dest) == Same(copy.Dest)) return;
    plan.Copies.push_back(copy);
}

void ReadValue(const std::string& line, TPlan& plan)
{
    if (EndsWith(line, "  (fails)")) return;
    std::string::size_type eq = line.find(" = \"");
    if (eq == std::string::npos) return;
    std::string head = line.substr(RegistryMark.size(), eq - RegistryMark.size());
    std::string::size_type gap = head.rfind("  ");
    if (gap == std::string::npos) return;
    std::string key = head.substr(0, gap);
    TPlannedValue value;
    value.Name = head.substr(gap + 2);
    value.Data = Unquoted(line.substr(eq + 3));
    const std::string user = "HKEY_CURRENT_USER", machine = "HKEY_LOCAL_MACHINE";
    if (StartsWith(key, user)) {
        value.Root = RegRoot::CurrentUser;
        key.erase(0, user.size());
    } else if (StartsWith(key, machine)) {
        value.Root = RegRoot::LocalMachine;
        key.erase(0, machine.size());
    } else {
        return;  // a key the recorder could not name
    }
    if (!key.empty() && key[0] == '\\') key.erase(0, 1);
    value.Key = key;
    for (TPlannedValue& earlier : plan.Values)
        if (earlier.Root == value.Root && Same(earlier.Key) == Same(value.Key) &&
            Same(earlier.Name) == Same(value.Name)) {
            earlier.Data = value.Data;
            return;
        }
    plan.Values.push_back(value);
}

void ReadEntry(const std::string& line, TPlan& plan)
{
    if (EndsWith(line, "  (fails)")) return;
    std::string::size_type open = line.find("  [");
    std::string::size_type close = line.find("] ", open);
    std::string::size_type eq = line.find(" = \"", close);
    if (open == std::string::npos || close == std::string::npos || eq == std::string::npos) return;
    TPlannedEntry entry;
    entry.Path = line.substr(RecordMark.size(), open - RecordMark.size());
    entry.Section = line.substr(open + 3, close - open - 3);
    entry.Name = line.substr(close + 2, eq - close - 2);
    entry.Value = Unquoted(line.substr(eq + 3));
    for (TPlannedEntry& earlier : plan.Entries)
        if (Same(earlier.Path) == Same(entry.Path) && Same(earlier.Section) == Same(entry.Section) &&
            Same(earlier.Name) == Same(entry.Name)) {
            earlier.Value = entry.Value;
            return;
        }
    plan.Entries.push_back(entry);
}

void ReadProgramCommand(const std::string& line, std::string& group, TPlan& plan)
{
    if (EndsWith(line, "  (refused)")) return;
    std::string command = Unquoted(line.substr(CommandMark.size()));
    std::string name;
    std::vector<std::string> args;
    if (!ReadCommand(command, name, args)) return;
    if (Same(name) == "CREATEGROUP" && !args.empty()) group = args[0];
    if (Same(name) == "ADDITEM" && args.size() >= 2) plan.Items.push_back({group, args[0], args[1], command});
}

}  // namespace

bool ReadCommand(const std::string& command, std::string& name, std::vector<std::string>& args)
{
    std::string text = command;
    if (EndsWith(text, "\r\n")) text.resize(text.size() - 2);
    std::string::size_type open = text.find('(');
    if (text.size() < 4 || text[0] != '[' || !EndsWith(text, ")]") || open == std::string::npos)
        return false;
    name = Trimmed(text.substr(1, open - 1));
    args.clear();
    std::string inner = text.substr(open + 1, text.size() - open - 3);
    std::size_t at = 0;
    while (at <= inner.size()) {
        std::size_t start = inner.find_first_not_of(' ', at);
        std::string arg;
        std::size_t end;
        if (start != std::string::npos && inner[start] == '"') {
            std::size_t quote = inner.find('"', start + 1);
            if (quote == std::string::npos) return false;
            arg = inner.substr(start + 1, quote - start - 1);
            end = inner.find(',', quote);
        } else {
            end = inner.find(',', at);
            arg = Trimmed(inner.substr(at, end == std::string::npos ? std::string::npos : end - at));
        }
        args.push_back(arg);
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return true;
}

TPlan ReadPlan(const TRunLog& log)
{
    TPlan plan;
    std::string group;
    for (const std::string& line : log) {
        if (StartsWith(line, DirectoryMark)) {
            if (!EndsWith(line, "  (fails)")) plan.Dirs.push_back(line.substr(DirectoryMark.size()));
        } else if (StartsWith(line, CopyMark)) {
            ReadCopy(line, plan);
        } else if (StartsWith(line, RegistryMark)) {
            ReadValue(line, plan);
        } else if (StartsWith(line, RecordMark)) {
            ReadEntry(line, plan);
        } else if (StartsWith(line, CommandMark)) {
            ReadProgramCommand(line, group, plan);
        } else if (StartsWith(line, MessageMark)) {
            std::string::size_type quote = line.find('"');
            if (quote != std::string::npos) plan.Messages.push_back(Unquoted(line.substr(quote)));
        }
    }
    return plan;
}
