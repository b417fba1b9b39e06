#include "Recorders.h"

#include "Engine.h"

namespace {

const char* RootName(RegRoot root)
{
    return root == RegRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
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

}  // namespace

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

bool TRecordingFiles::MakeDirectory(const std::string& path)
{
    bool made = TFakeFileSystem::MakeDirectory(path);
    log_.push_back("directory " + path + (made ? "" : "  (fails)"));
    return made;
}

unsigned long TRecordingFiles::Copy(const std::string& source, const std::string& dest,
                                    bool failIfExists)
{
    unsigned long error = TFakeFileSystem::Copy(source, dest, failIfExists);
    std::string line = "copy " + source + " -> " + dest + (failIfExists ? "  (keep)" : "  (overwrite)");
    // A kept file that is already there is what the author asked for.
    if (error == 80 && failIfExists)
        line += "  kept: the file exists";
    else if (error != 0)
        line += "  fails: " + CopyErrorText(error, ErrorText(error));
    log_.push_back(line);
    return error;
}

unsigned long TRecordingFiles::WriteWholeFile(const std::string& path, const std::string& content)
{
    unsigned long error = TFakeFileSystem::WriteWholeFile(path, content);
    log_.push_back("list " + path + (error == 0 ? "" : "  (fails)"));
    std::string::size_type at = 0;
    while (at < content.size()) {
        std::string::size_type end = content.find("\r\n", at);
        if (end == std::string::npos) end = content.size();
        if (content[at] != ';') log_.push_back("  " + content.substr(at, end - at));
        at = end + 2;
    }
    return error;
}

RegKey TRecordingRegistry::Root(RegRoot root)
{
    RegKey key = registry_.Root(root);
    paths_[key] = RootName(root);
    return key;
}

void TRecordingRegistry::Remember(RegKey parent, const std::string& sub, RegKey result)
{
    auto it = paths_.find(parent);
    std::string base = it == paths_.end() ? "?" : it->second;
    std::string path = sub.empty() ? base : base + "\\" + sub;
    // The uninstaller's key is opened as "\Software\Brenvolt\Skorvel\".
    while (!path.empty() && path.back() == '\\') path.pop_back();
    paths_[result] = path;
}

long TRecordingRegistry::CreateKey(RegKey parent, const std::string& sub, RegKey& result)
{
    long rc = registry_.CreateKey(parent, sub, result);
    if (rc == 0) Remember(parent, sub, result);
    return rc;
}

long TRecordingRegistry::OpenKey(RegKey parent, const std::string& sub, RegAccess access,
                                 RegKey& result)
{
    long rc = registry_.OpenKey(parent, sub, access, result);
    if (rc == 0) Remember(parent, sub, result);
    return rc;
}

long TRecordingRegistry::SetStringValue(RegKey key, const std::string& name, const std::string& text)
{
    long rc = registry_.SetStringValue(key, name, text);
    auto it = paths_.find(key);
    log_.push_back("registry " + (it == paths_.end() ? std::string("?") : it->second) + "  " +
                   name + " = " + Shown(text) + (rc == 0 ? "" : "  (fails)"));
    return rc;
}

void TRecordingRegistry::CloseKey(RegKey key)
{
    registry_.CloseKey(key);
    paths_.erase(key);
}

bool TRecordingProfiles::WriteValue(const std::string& path, const std::string& section,
                                    const std::string& key, const std::string& value)
{
    bool written = profiles_.WriteValue(path, section, key, value);
    log_.push_back("record " + path + "  [" + section + "] " + key + " = " + Shown(value) +
                   (written ? "" : "  (fails)"));
    return written;
}

bool TRecordingProgramManager::Execute(const std::string& command)
{
    bool accepted = TFakeProgramManager::Execute(command);
    log_.push_back("command " + Shown(command) + (accepted ? "" : "  (refused)"));
    return accepted;
}

void TRecordingShell::Open(void* owner, const std::string& file)
{
    TFakeShell::Open(owner, file);
    log_.push_back("open " + file);
}

void TRecordingDesktop::ShowMessage(const std::string& text, const std::string& caption,
                                    TMsgIcon icon)
{
    TFakeDesktop::ShowMessage(text, caption, icon);
    log_.push_back(std::string("message ") + IconName(icon) + " " + Shown(text));
}
