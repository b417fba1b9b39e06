#include "core/ShownText.h"

#include "core/CharText.h"
#include "core/SystemErrors.h"
#include "core/Text.h"

namespace {

const std::size_t CaptionMax = 40;
const char* const ShortcutExtension = ".lnk";

}  // namespace

std::string ShortenCaption(const std::string& caption)
{
    if (caption.size() <= CaptionMax) return caption;
    // The last 37 bytes, one fewer where the first would be a second byte.
    std::size_t at = caption.size() - (CaptionMax - 3);
    if (CharStart(caption, at) != at) ++at;
    return "..." + caption.substr(at);
}

std::string CommandArgument(const std::string& argument)
{
    // The program manager splits arguments at commas and ends them at
    // parentheses, and a bracket ends the command, unless they are quoted.
    if (FindCharOf(argument, ",()[]") == std::string::npos) return argument;
    return "\"" + argument + "\"";
}

std::string CopyErrorText(unsigned long error, const std::string& systemText)
{
    switch (error) {
    case ErrorFileNotFound: return "the file was not found";
    case ErrorPathNotFound: return "the folder was not found";
    case ErrorAccessDenied: return "access was denied";
    case ErrorSharingViolation: return "the file is in use";
    case ErrorFileExists: return "the file exists";
    case ErrorDiskFull: return "the disk is full";
    case ErrorFilenameTooLong: return "the path is too long";
    default: break;
    }
    // The system's message is a sentence of its own: lower-case its first
    // letter and drop its full stop and line break to fit the list.
    std::string text = systemText;
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                             text.back() == '.'))
        text.pop_back();
    if (text.empty())
        return "an unknown system error (" + IntToStr(static_cast<std::int64_t>(error)) + ")";
    if (text.size() > 1 && text[0] >= 'A' && text[0] <= 'Z' && !(text[1] >= 'A' && text[1] <= 'Z'))
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

std::string ItemTitle(const std::string& caption, const std::string& file)
{
    if (!caption.empty()) return caption;
    std::string::size_type cut = FindLastCharOf(file, "\\/:");
    std::string name = cut == std::string::npos ? file : file.substr(cut + 1);
    std::string::size_type dot = FindLastCharOf(name, ".");
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string ShellFileName(const std::string& name)
{
    std::string shown;
    for (std::size_t i = 0, next; i < name.size(); i = next) {
        next = NextChar(name, i);
        bool single = next == i + 1;
        if (single && std::string("<>:\"/\\|?*").find(name[i]) != std::string::npos)
            shown += '_';
        else
            shown.append(name, i, next - i);
    }
    return shown;
}

std::string ShortcutFileName(const std::string& title) { return ShellFileName(title) + ShortcutExtension; }
