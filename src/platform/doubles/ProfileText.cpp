#include "platform/doubles/ProfileText.h"

#include "core/CharText.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s)
{
    std::size_t begin = 0, end = s.size();
    while (begin < end && IsBlank(s[begin])) ++begin;
    while (end > begin && IsBlank(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

}  // namespace

std::string UnquoteProfileValue(const std::string& value)
{
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

std::vector<TProfileLine> ParseProfileText(const std::string& content)
{
    std::vector<TProfileLine> lines;
    int number = 1;
    std::size_t at = 0;
    while (at < content.size()) {
        std::size_t end = content.find_first_of("\r\n", at);
        if (end == std::string::npos) end = content.size();
        TProfileLine line;
        line.Number = number;
        line.Text = Trim(content.substr(at, end - at));
        if (!line.Text.empty()) {
            std::string::size_type eq = line.Text.find('=');
            if (line.Text[0] == '[') {
                std::string::size_type close = FindCharOf(line.Text, "]");
                line.Kind = TProfileLine::Section;
                line.Name = Trim(line.Text.substr(
                    1, close == std::string::npos ? std::string::npos : close - 1));
            } else if (eq != std::string::npos) {
                line.Kind = TProfileLine::Entry;
                line.Comment = line.Text[0] == ';';
                line.Name = Trim(line.Text.substr(0, eq));
                line.Value = Trim(line.Text.substr(eq + 1));
            }
            lines.push_back(line);
        }
        if (end + 1 < content.size() && content[end] == '\r' && content[end + 1] == '\n') ++end;
        at = end + 1;
        ++number;
    }
    return lines;
}
