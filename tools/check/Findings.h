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
// A JSON string literal of text.
std::string JsonString(const std::string& text);
