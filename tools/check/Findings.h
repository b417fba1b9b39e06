// What the checker found in an install description, and the two forms it
// prints them in: compiler-style lines and JSON.
#pragma once
#include <string>
#include <vector>

enum class TSeverity { Warning, Error };

struct TFinding {
    int Line = 0;  // 0: the folder as a whole, no one line
    TSeverity Severity = TSeverity::Error;
    std::string Text;
    // The text quotes UTF-8 (a file saved so, and what it shows as) rather
    // than the ANSI code page every other finding's text is in.
    bool Utf8 = false;
};

using TFindings = std::vector<TFinding>;

// By line; findings of one line keep the order they were made in.
void SortByLine(TFindings& findings);

struct TTally {
    int Errors = 0;
    int Warnings = 0;
    // With strict set, warnings count as errors for the exit status.
    bool Failed(bool strict) const { return Errors > 0 || (strict && Warnings > 0); }
};
TTally Tally(const TFindings& findings);

// "Pellwick.ipi:LINE: error: text" per finding, then one summary line.
std::string CompilerText(const TFindings& findings, bool strict);
// The same findings as one JSON object.
std::string JsonText(const TFindings& findings, bool strict);
// A JSON string literal of text: ANSI text, each byte beyond ASCII taken
// for the Latin-1 character of its code, or with utf8 set, UTF-8 as it is.
std::string JsonString(const std::string& text, bool utf8 = false);
