// The case script: one command per line, arguments parted by blanks, "..."
// quoting a part of an argument, key=value arguments keyed by the text before
// the first unquoted '='.
#pragma once

#include <string>
#include <vector>

namespace pwdrive {

std::string Format(const char* fmt, ...);
void Say(const char* fmt, ...);

struct Arg {
    std::string text;   // the whole argument, quotes removed
    std::string key;    // text before the first unquoted '=' ("" if none)
    std::string value;  // text after it
    bool keyed = false;
};

struct Step {
    int line = 0;
    std::string source;
    std::string command;
    std::vector<Arg> args;
    std::string rest;  // raw text after the command (for echo)
};

bool Tokenize(const std::string& s, std::vector<Arg>& out, std::string& err);
bool LoadScript(const std::string& path, std::vector<Step>& steps, std::string& err);

bool ParseInt(const std::string& s, long& v);
bool ParseSize(const std::string& s, long& w, long& h);
bool ParseSeconds(const std::string& s, double& v);

// A text for a failure message: line breaks shown as \r and \n.
std::string Visible(const std::string& s, size_t max = 300);
std::string Quote(const std::string& s);

}  // namespace pwdrive
