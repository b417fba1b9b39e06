#include "platform/doubles/FakeDisk.h"

#include "core/CharText.h"
#include "core/Text.h"

std::string TFakeDisk::Key(std::string path)
{
    // A network path keeps its two leading backslashes.
    for (std::string::size_type at = NextChar(path, 0); at + 1 < path.size();) {
        if (path[at] == '\\' && path[at + 1] == '\\')
            path.erase(at + 1, 1);
        else
            at = NextChar(path, at);
    }
    // "." and ".." parts are resolved, as the system resolves them.
    for (std::string::size_type at, from = 0; (at = FindCharOf(path, "\\", from)) != std::string::npos;) {
        std::string::size_type end = at + 1;
        if (end >= path.size() || path[end] != '.') {
            from = end;
            continue;
        }
        ++end;
        if (end < path.size() && path[end] == '.') ++end;
        if (end < path.size() && path[end] != '\\') {  // ".x", a name of its own
            from = end;
            continue;
        }
        bool up = end - at == 3;
        std::string::size_type start = at;
        if (up) {
            std::string::size_type parent = FindLastCharOf(path.substr(0, at), "\\");
            if (parent != std::string::npos && parent >= 2) start = parent;
        }
        path.erase(start, end - start);
        from = start;
    }
    while (path.size() > 3 && (path.back() == ' ' || DropTrailing(path, "\\").size() < path.size()))
        path.pop_back();
    return AsciiUpper(path);
}

std::string TFakeDisk::NameOf(const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 3 && (trimmed.back() == ' ' || DropTrailing(trimmed, "\\").size() < trimmed.size()))
        trimmed.pop_back();
    std::string::size_type cut = FindLastCharOf(trimmed, "\\");
    return cut == std::string::npos ? trimmed : trimmed.substr(cut + 1);
}

std::string TFakeDisk::DirOf(const std::string& path)
{
    std::string::size_type cut = FindLastCharOf(path, "\\");
    if (cut == std::string::npos) return "";
    if (cut == 2 && path[1] == ':') return path.substr(0, 3);
    return path.substr(0, cut);
}

bool TFakeDisk::DirExists(const std::string& path) const
{
    std::string key = Key(path);
    if (key.size() == 3 && key[1] == ':' && key[2] == '\\') return true;
    if (key.size() == 2 && key[1] == ':') return true;
    return dirs_.count(key) != 0;
}

void TFakeDisk::MakeDir(const std::string& path)
{
    std::string key = Key(path);
    dirs_.insert(key);
    std::string trimmed = path;
    while (trimmed.size() > 3 && DropTrailing(trimmed, "\\").size() < trimmed.size()) trimmed.pop_back();
    std::string::size_type cut = FindLastCharOf(trimmed, "\\");
    spelling_[key] = cut == std::string::npos ? trimmed : trimmed.substr(cut + 1);
}

std::string TFakeDisk::Spelling(const std::string& dirKey) const
{
    auto it = spelling_.find(dirKey);
    return it == spelling_.end() ? dirKey : it->second;
}

void TFakeDisk::MakeDirs(const std::string& path)
{
    std::string dir = DirOf(path);
    if (!dir.empty() && dir != path && !DirExists(dir)) MakeDirs(dir);
    if (!DirExists(path)) MakeDir(path);
}

bool TFakeDisk::FileExists(const std::string& path) const { return Find(path) != nullptr; }

const TFakeDisk::File* TFakeDisk::Find(const std::string& path) const
{
    auto it = files_.find(Key(path));
    return it == files_.end() ? nullptr : &it->second;
}

TFakeDisk::File* TFakeDisk::Find(const std::string& path)
{
    auto it = files_.find(Key(path));
    return it == files_.end() ? nullptr : &it->second;
}

void TFakeDisk::Put(const std::string& path, const std::string& content, bool readOnly)
{
    std::string dir = DirOf(path);
    if (!dir.empty()) MakeDirs(dir);
    File& file = files_[Key(path)];
    if (file.Name.empty()) file.Name = NameOf(path);
    file.Content = content;
    file.ReadOnly = readOnly;
    file.Locked = false;
    file.WriteTime = ++clock_;
}

bool TFakeDisk::Write(const std::string& path, const std::string& content)
{
    std::string dir = DirOf(path);
    if (!dir.empty() && !DirExists(dir)) return false;
    if (DirExists(path)) return false;
    File& file = files_[Key(path)];
    if (file.ReadOnly) return false;
    if (file.Name.empty()) file.Name = NameOf(path);
    file.Content = content;
    file.WriteTime = ++clock_;
    return true;
}

std::string TFakeDisk::Get(const std::string& path) const
{
    const File* file = Find(path);
    return file == nullptr ? "" : file->Content;
}
