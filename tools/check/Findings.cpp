#include "Findings.h"

#include <algorithm>
#include <cstdio>

#include "engine/Description.h"

namespace {

const char* SeverityName(TSeverity severity)
{
    return severity == TSeverity::Error ? "error" : "warning";
}

std::string Count(int n, const char* noun)
{
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

}  // namespace

void SortByLine(TFindings& findings)
{
    std::stable_sort(findings.begin(), findings.end(),
                     [](const TFinding& a, const TFinding& b) { return a.Line < b.Line; });
}

TTally Tally(const TFindings& findings)
{
    TTally tally;
    for (const TFinding& f : findings) ++(f.Severity == TSeverity::Error ? tally.Errors : tally.Warnings);
    return tally;
}

std::string CompilerText(const TFindings& findings, bool strict)
{
    std::string text;
    const std::string file = DescriptionFileName;
    for (const TFinding& f : findings) {
        text += file;
        if (f.Line > 0) text += ":" + std::to_string(f.Line);
        text += std::string(": ") + SeverityName(f.Severity) + ": " + f.Text + "\n";
    }
    TTally tally = Tally(findings);
    text += file + ": " + Count(tally.Errors, "error") + ", " + Count(tally.Warnings, "warning");
    if (strict && tally.Warnings > 0) text += " (warnings count as errors)";
    return text + "\n";
}

std::string JsonString(const std::string& text, bool utf8)
{
    std::string out = "\"";
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", u);
                out += escape;
            } else if (u >= 0x80 && !utf8) {
                // The file is in the system's ANSI code page, not UTF-8:
                // pass each byte on as the Latin-1 character of that code.
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", u);
                out += escape;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string JsonText(const TFindings& findings, bool strict)
{
    TTally tally = Tally(findings);
    std::string text = "{\"file\": " + JsonString(DescriptionFileName) + ", \"findings\": [";
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const TFinding& f = findings[i];
        text += std::string(i == 0 ? "\n" : ",\n") + "  {\"line\": " + std::to_string(f.Line) +
                ", \"severity\": \"" + SeverityName(f.Severity) + "\", \"text\": " +
                JsonString(f.Text, f.Utf8) + "}";
    }
    text += findings.empty() ? "]" : "\n]";
    text += ", \"errors\": " + std::to_string(tally.Errors) +
            ", \"warnings\": " + std::to_string(tally.Warnings) +
            ", \"strict\": " + (strict ? "true" : "false") +
            ", \"failed\": " + (tally.Failed(strict) ? "true" : "false") + "}\n";
    return text;
}
