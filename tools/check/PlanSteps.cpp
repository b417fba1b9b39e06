#include "PlanSteps.h"

#include "Findings.h"
#include "core/Text.h"

namespace {

// std::visit over a step, one lambda per kind.
template <class... Ts> struct TOverload : Ts... { using Ts::operator()...; };
template <class... Ts> TOverload(Ts...) -> TOverload<Ts...>;

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Same(const std::string& text) { return AsciiUpper(text); }

std::string Trimmed(const std::string& text)
{
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

const char* IconName(TMsgIcon icon)
{
    switch (icon) {
    case TMsgIcon::Stop: return "error";
    case TMsgIcon::Warning: return "warning";
    case TMsgIcon::Information: return "information";
    default: return "plain";
    }
}

std::string KeyText(const TValueStep& v)
{
    if (!v.Placed) return "?";
    return v.Key.empty() ? RootName(v.Root) : std::string(RootName(v.Root)) + "\\" + v.Key;
}

std::string Failed(bool done, const char* mark) { return done ? "" : mark; }

std::string StepLine(const TPlanStep& step)
{
    auto value = [](const TValueStep& v) {
        return "registry " + KeyText(v) + "  " + v.Name + " = " +
               (v.DWord ? v.Data + " (REG_DWORD)" : Shown(v.Data)) + Failed(v.Written, "  (fails)");
    };
    return std::visit(
        TOverload{
            [](const TDirectoryStep& d) { return "directory " + d.Path + Failed(d.Made, "  (fails)"); },
            [](const TCopyStep& c) {
                std::string line =
                    "copy " + c.Source + " -> " + c.Dest + (c.Keep ? "  (keep)" : "  (overwrite)");
                if (c.KeptExisting()) return line + "  kept: the file exists";
                return c.Error == 0 ? line : line + "  fails: " + c.Reason;
            },
            [](const TCommandStep& c) {
                return "command " + Shown(c.Command) + Failed(c.Accepted, "  (refused)");
            },
            value,
            [&](const TCounterStep& c) { return value(c); },
            [](const TEntryStep& e) {
                return "record " + e.Path + "  [" + e.Section + "] " + e.Name + " = " + Shown(e.Value) +
                       Failed(e.Written, "  (fails)");
            },
            [](const TAddOnStep& a) { return "open " + a.File; },
            [](const TBoxStep& b) {
                return std::string("message ") + IconName(b.Icon) + " " + Shown(b.Text);
            },
            [](const TListStep& l) { return "list " + l.Path + "  " + l.Line + Failed(l.Written, "  (fails)"); },
        },
        step);
}

std::string Field(const char* name, const std::string& text)
{
    return std::string(", \"") + name + "\": " + JsonString(text);
}

std::string Flag(const char* name, bool flag)
{
    return std::string(", \"") + name + "\": " + (flag ? "true" : "false");
}

std::string Object(const char* kind, const std::string& fields)
{
    return std::string("{\"step\": \"") + kind + "\"" + fields + "}";
}

std::string StepJson(const TPlanStep& step)
{
    auto value = [](const char* kind, const TValueStep& v) {
        std::string place = v.Placed ? Field("root", RootName(v.Root)) + Field("key", v.Key)
                                     : std::string(", \"root\": null");
        std::string data = v.DWord ? ", \"dword\": " + v.Data : Field("data", v.Data);
        return Object(kind, place + Field("name", v.Name) + data + Flag("done", v.Written));
    };
    return std::visit(
        TOverload{
            [](const TDirectoryStep& d) {
                return Object("directory", Field("path", d.Path) + Flag("done", d.Made));
            },
            [](const TCopyStep& c) {
                std::string outcome = c.KeptExisting() ? Flag("exists", true)
                                      : c.Error == 0   ? ""
                                                       : Field("fails", c.Reason);
                return Object("copy", Field("source", c.Source) + Field("dest", c.Dest) +
                                          Flag("keep", c.Keep) + Flag("done", c.Error == 0) + outcome);
            },
            [](const TCommandStep& c) {
                return Object("command", Field("command", c.Command) + Flag("done", c.Accepted));
            },
            [&](const TValueStep& v) { return value("registry", v); },
            [&](const TCounterStep& c) { return value("counter", c); },
            [](const TEntryStep& e) {
                return Object("record", Field("path", e.Path) + Field("section", e.Section) +
                                            Field("name", e.Name) + Field("value", e.Value) +
                                            Flag("done", e.Written));
            },
            [](const TAddOnStep& a) { return Object("open", Field("file", a.File)); },
            [](const TBoxStep& b) {
                return Object("message", Field("icon", IconName(b.Icon)) + Field("text", b.Text));
            },
            [](const TListStep& l) {
                return Object("list", Field("path", l.Path) + Field("line", l.Line) + Flag("done", l.Written));
            },
        },
        step);
}

bool SameValue(const TValueStep& a, const TValueStep& b)
{
    return a.Root == b.Root && Same(a.Key) == Same(b.Key) && Same(a.Name) == Same(b.Name);
}

// The last write of a value is the one that stays, where the first stood.
template <class TStep>
void KeepValue(std::vector<TStep>& list, const TStep& step)
{
    if (!step.Placed || !step.Written) return;
    for (TStep& earlier : list)
        if (SameValue(earlier, step)) {
            earlier.Data = step.Data;
            earlier.DWord = step.DWord;
            return;
        }
    list.push_back(step);
}

void KeepEntry(std::vector<TEntryStep>& list, const TEntryStep& entry)
{
    if (!entry.Written) return;
    for (TEntryStep& earlier : list)
        if (Same(earlier.Path) == Same(entry.Path) && Same(earlier.Section) == Same(entry.Section) &&
            Same(earlier.Name) == Same(entry.Name)) {
            earlier.Value = entry.Value;
            earlier.Reads = entry.Reads;
            return;
        }
    list.push_back(entry);
}

void KeepCopy(std::vector<TCopyStep>& list, const TCopyStep& copy)
{
    if (copy.Error != 0 && !copy.KeptExisting()) return;
    for (const TCopyStep& earlier : list)
        if (Same(earlier.Dest) == Same(copy.Dest)) return;
    list.push_back(copy);
}

void KeepCommand(TPlan& plan, std::string& group, const TCommandStep& step)
{
    std::string name;
    std::vector<std::string> args;
    if (!step.Accepted || !ReadCommand(step.Command, name, args)) return;
    if (Same(name) == "CREATEGROUP" && !args.empty()) group = args[0];
    if (Same(name) == "ADDITEM" && args.size() >= 2)
        plan.Items.push_back({group, args[0], args[1], step.Command});
}

}  // namespace

const char* RootName(RegRoot root)
{
    return root == RegRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

std::string Shown(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out + "\"";
}

std::string PlanText(const TRunSteps& steps)
{
    std::string text;
    for (const TPlanStep& step : steps) text += StepLine(step) + "\n";
    return text;
}

std::string PlanJson(const TRunSteps& steps, const std::string& dest, bool completed)
{
    std::string text = "{\"dest\": " + JsonString(dest) + ", \"steps\": [";
    for (std::size_t i = 0; i < steps.size(); ++i)
        text += (i == 0 ? "\n  " : ",\n  ") + StepJson(steps[i]);
    text += steps.empty() ? "]" : "\n]";
    return text + Flag("completed", completed) + "}\n";
}

TPlan PlanOf(const TRunSteps& steps)
{
    TPlan plan;
    std::string group;
    for (const TPlanStep& step : steps)
        std::visit(TOverload{
                       [&](const TDirectoryStep& d) {
                           if (d.Made) plan.Dirs.push_back(d.Path);
                       },
                       [&](const TCopyStep& c) { KeepCopy(plan.Copies, c); },
                       [&](const TCommandStep& c) { KeepCommand(plan, group, c); },
                       [&](const TValueStep& v) { KeepValue(plan.Values, v); },
                       [&](const TCounterStep& c) { KeepValue(plan.Counters, c); },
                       [&](const TEntryStep& e) { KeepEntry(plan.Entries, e); },
                       [](const TAddOnStep&) {},
                       [&](const TBoxStep& b) { plan.Messages.push_back(b.Text); },
                       [](const TListStep&) {},
                   },
                   step);
    return plan;
}

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
