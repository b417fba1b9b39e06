// The case script: its lines split into commands and arguments, and the
// helpers that read and show argument values.
#include "Script.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace pwdrive {

std::string Format(const char* fmt, ...)
{
    char buf[2048];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    return buf;
}

void Say(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    vprintf(fmt, ap);
    va_end(ap);
    fflush(stdout);
}

bool Tokenize(const std::string& s, std::vector<Arg>& out, std::string& err)
{
    size_t i = 0, n = s.size();
    while (i < n) {
        while (i < n && (s[i] == ' ' || s[i] == '\t')) ++i;
        if (i >= n) break;
        Arg a;
        bool quotedBeforeEq = false;
        while (i < n && s[i] != ' ' && s[i] != '\t') {
            if (s[i] == '"') {
                ++i;
                bool closed = false;
                while (i < n) {
                    if (s[i] == '"') {
                        if (i + 1 < n && s[i + 1] == '"') {
                            a.text += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    a.text += s[i++];
                }
                if (!closed) {
                    err = "unclosed quote";
                    return false;
                }
                if (!a.keyed) quotedBeforeEq = true;
                continue;
            }
            if (s[i] == '=' && !a.keyed && !quotedBeforeEq) {
                a.keyed = true;
                a.key = a.text;
                a.text += '=';
                ++i;
                continue;
            }
            if (a.keyed) a.value += s[i];
            a.text += s[i++];
        }
        if (a.keyed) {
            // value is everything after the '=', quotes removed
            a.value = a.text.substr(a.key.size() + 1);
        }
        out.push_back(a);
    }
    return true;
}

bool LoadScript(const std::string& path, std::vector<Step>& steps, std::string& err)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) {
        err = "cannot open script " + path;
        return false;
    }
    std::string all;
    char buf[4096];
    size_t got;
    while ((got = fread(buf, 1, sizeof buf, f)) > 0) all.append(buf, got);
    fclose(f);

    int lineNo = 0;
    size_t pos = 0;
    while (pos <= all.size()) {
        size_t nl = all.find('\n', pos);
        std::string line = all.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? all.size() + 1 : nl + 1;
        ++lineNo;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        line = line.substr(first);
        Step st;
        st.line = lineNo;
        st.source = line;
        size_t sp = line.find_first_of(" \t");
        st.command = line.substr(0, sp);
        if (sp != std::string::npos) {
            st.rest = line.substr(line.find_first_not_of(" \t", sp));
            std::string terr;
            if (!Tokenize(st.rest, st.args, terr)) {
                err = Format("line %d: %s", lineNo, terr.c_str());
                return false;
            }
        }
        steps.push_back(st);
    }
    return true;
}

bool ParseInt(const std::string& s, long& v)
{
    if (s.empty()) return false;
    char* end = nullptr;
    v = strtol(s.c_str(), &end, 0);
    return end && *end == 0;
}

bool ParseSize(const std::string& s, long& w, long& h)
{
    size_t x = s.find('x');
    return x != std::string::npos && ParseInt(s.substr(0, x), w) && ParseInt(s.substr(x + 1), h);
}

bool ParseSeconds(const std::string& s, double& v)
{
    if (s.empty()) return false;
    char* end = nullptr;
    v = strtod(s.c_str(), &end);
    return end && *end == 0 && v >= 0;
}

std::string Visible(const std::string& s, size_t max)
{
    std::string out;
    for (char c : s) {
        if (out.size() >= max) {
            out += "...";
            break;
        }
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else out += c;
    }
    return out;
}

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

}  // namespace pwdrive
