#include "Recorders.h"

#include "engine/Engine.h"
#include "engine/ListSeal.h"
#include "engine/SharedCount.h"
#include "engine/Records.h"
#include "core/CharText.h"
#include "core/Text.h"
#include "platform/Profile.h"

bool TRecordingFiles::MakeDirectory(const std::string& path)
{
    bool made = TFakeFileSystem::MakeDirectory(path);
    steps_.push_back(TDirectoryStep{path, made});
    return made;
}

unsigned long TRecordingFiles::Copy(const std::string& source, const std::string& dest,
                                    bool failIfExists)
{
    unsigned long error = TFakeFileSystem::Copy(source, dest, failIfExists);
    steps_.push_back(TCopyStep{source, dest, failIfExists, error,
                               error == 0 ? "" : CopyErrorText(error, ErrorText(error))});
    return error;
}

unsigned long TRecordingFiles::WriteWholeFile(const std::string& path, const std::string& content)
{
    unsigned long error = TFakeFileSystem::WriteWholeFile(path, content);
    std::string::size_type at = 0;
    while (at < content.size()) {
        std::string::size_type end = content.find("\r\n", at);
        if (end == std::string::npos) end = content.size();
        if (content[at] != ';') steps_.push_back(TListStep{path, content.substr(at, end - at), error == 0});
        at = end + 2;
    }
    return error;
}

RegKey TRecordingRegistry::Root(RegRoot root)
{
    RegKey key = registry_.Root(root);
    places_[key] = {root, ""};
    return key;
}

void TRecordingRegistry::Remember(RegKey parent, const std::string& sub, RegKey result)
{
    auto it = places_.find(parent);
    if (it == places_.end()) return;
    TPlace place = it->second;
    if (!sub.empty()) place.Key = place.Key.empty() ? sub : place.Key + "\\" + sub;
    // The uninstaller's key is opened as "\Software\Brenvolt\Skorvel\".
    place.Key = DropTrailing(place.Key, "\\");
    places_[result] = place;
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

TValueStep TRecordingRegistry::ValueAt(RegKey key, const std::string& name, long rc)
{
    TValueStep value;
    auto it = places_.find(key);
    value.Placed = it != places_.end();
    if (value.Placed) {
        value.Root = it->second.Root;
        value.Key = it->second.Key;
    }
    value.Name = name;
    value.Written = rc == 0;
    return value;
}

long TRecordingRegistry::SetStringValue(RegKey key, const std::string& name, const std::string& text)
{
    long rc = registry_.SetStringValue(key, name, text);
    TValueStep value = ValueAt(key, name, rc);
    value.Data = text;
    bool counter = value.Placed && value.Root == RegRoot::CurrentUser &&
                   IsCountersKey(value.Key);
    // The list's digest belongs to the list, whose lines the plan shows;
    // it depends on every line and is checked by the uninstaller alone.
    bool seal = value.Placed && value.Root == RegRoot::LocalMachine &&
                AsciiUpper(value.Key) == AsciiUpper(ListSealsKey);
    if (seal) return rc;
    if (counter)
        steps_.push_back(TCounterStep{value});
    else
        steps_.push_back(value);
    return rc;
}

long TRecordingRegistry::SetDWordValue(RegKey key, const std::string& name, std::uint32_t data)
{
    long rc = registry_.SetDWordValue(key, name, data);
    TValueStep value = ValueAt(key, name, rc);
    // The machine's shared-use counts hold other products' counts too;
    // the plan shows this product's own counters instead.
    if (value.Placed && value.Root == RegRoot::LocalMachine &&
        AsciiUpper(value.Key) == AsciiUpper(SharedDllsKey))
        return rc;
    value.Data = std::to_string(data);
    value.DWord = true;
    steps_.push_back(value);
    return rc;
}

void TRecordingRegistry::CloseKey(RegKey key)
{
    registry_.CloseKey(key);
    places_.erase(key);
}

bool TRecordingProfiles::WriteValue(const std::string& path, const std::string& section,
                                    const std::string& key, const std::string& value)
{
    bool written = profiles_.WriteValue(path, section, key, value);
    std::string reads = written ? TProfile(profiles_, path).ReadString(section, key, "") : "";
    steps_.push_back(TEntryStep{path, section, key, value, reads, written});
    return written;
}

bool TRecordingProgramManager::Execute(const std::string& command)
{
    bool accepted = TFakeProgramManager::Execute(command);
    steps_.push_back(TCommandStep{command, accepted});
    return accepted;
}

void TRecordingShell::Open(void* owner, const std::string& file)
{
    TFakeShell::Open(owner, file);
    steps_.push_back(TAddOnStep{file});
}

void TRecordingDesktop::ShowMessage(const std::string& text, const std::string& caption,
                                    TMsgIcon icon)
{
    TFakeDesktop::ShowMessage(text, caption, icon);
    steps_.push_back(TBoxStep{icon, text});
}
