// The records of an installation: the product's registry entries, the uninstall entry, the
// shared-use counters and the uninstall record.
#include "Records.h"

#include "DateText.h"
#include "core/CharText.h"
#include "core/SystemErrors.h"
#include "platform/Platform.h"

namespace {

std::string NowText()
{
    return DateTimeText(Sys().Clock->Now(), Sys().Locale->Formats());
}

// The full name of the key a write to keyPath lands in, as the accessor
// takes the path: below the root, or below the open key.
std::string KeyShown(const TRegistry& reg, const std::string& keyPath)
{
    std::string shown =
        reg.Root() == RegRoot::LocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\";
    if (!keyPath.empty() && keyPath[0] == '\\') return shown + keyPath.substr(1);
    std::string open = DropTrailing(reg.CurrentPath(), "\\");
    return shown + (open.empty() ? keyPath : open + "\\" + keyPath);
}

// The writes of the records, each noted once it is done.
class TNotedWrites {
public:
    TNotedWrites(IRecordNote* note, TProfile& record, const std::string& recordPath)
        : note_(note), record_(record), recordPath_(recordPath)
    {
    }
    void Registry(TRegistry& reg, const std::string& keyPath, const std::string& name,
                  const std::string& text, const char* kind = "registry ")
    {
        reg.WriteString(keyPath, name, text);
        if (note_ != nullptr) note_->Note(kind + KeyShown(reg, keyPath) + "  " + name + " = \"" + text + "\"");
    }
    void Record(const std::string& section, const std::string& name, const std::string& text)
    {
        record_.WriteString(section, name, text);
        if (note_ != nullptr) note_->Note("record " + recordPath_ + "  [" + section + "] " + name + " = \"" + text + "\"");
    }

private:
    IRecordNote* note_;
    TProfile& record_;
    std::string recordPath_;
};

}  // namespace

bool MayWriteUninstallEntry(const std::string& application)
{
    IRegistryApi& api = *Sys().Registry;
    RegKey root = api.Root(RegRoot::LocalMachine);
    // An entry of an earlier installation must take new values; a missing
    // one is made below the nearest key that exists.
    std::string path = Cut(UninstallKeyPrefix + application);
    RegAccess access = RegAccess::Full;
    for (;;) {
        unsigned long rc = static_cast<unsigned long>(TOpenKey(api, root, path, access).Result());
        if (rc != ErrorFileNotFound) return rc != ErrorAccessDenied;
        std::string::size_type cut = FindLastCharOf(path, "\\");
        if (cut == std::string::npos) return true;
        path.resize(cut);
        access = RegAccess::CreateSubKey;
    }
}

void WriteRecords(const TInstallState& state, IRecordNote* note)
{
    const TInstallDescription& d = state.InstallDescription;
    ILocale& locale = *Sys().Locale;
    TStrings names;
    TProfile description(*Sys().Profiles, state.DescriptionPath);
    std::string recordPath = state.DestDir + "\\" + RecordName;
    TProfile record(*Sys().Profiles, recordPath);
    TNotedWrites write(note, record, recordPath);

    // Without a [Keys] entry there is no product key: only the uninstall
    // entry, the counters and the record's [Uninstall] section are written.
    bool hasBase = !d.KeysValues.empty();
    std::string base = hasBase ? Cut(d.KeysValues[0]) : "";
    TRegistry product(*Sys().Registry, base);
    TRegistry uninstaller(*Sys().Registry, UninstallerKey);

    std::string installKey = Cut(base + "\\" + InstallSection);
    for (std::size_t i = 1; hasBase && i < d.KeysNames.size(); ++i) {
        const std::string& section = d.KeysNames[i];
        const std::string& subkey = d.KeysValues[i];
        std::string keyPath = Cut(base + "\\") + subkey;
        description.ReadSection(section, names);
        for (const std::string& name : names) {
            std::string value = Cut(description.ReadString(section, name, ""));
            const std::string* user = nullptr;
            if (locale.SameText(name, "Name") && locale.SameText(value, "$NAME")) user = &state.UserName;
            if (locale.SameText(name, "Organization") && locale.SameText(value, "$ORG"))
                user = &state.UserOrganization;
            if (user != nullptr) {
                write.Registry(product, keyPath, name, *user);
                write.Record(subkey, name, *user);
            } else {
                write.Registry(product, keyPath, name, value);
            }
        }
        write.Registry(product, installKey, "Path", state.DestDir);
        write.Record(InstallSection, "Path", state.DestDir);
        write.Registry(product, installKey, DateName, NowText());
        write.Record(InstallSection, DateName, NowText());
        names.clear();
    }

    product.SetRoot(RegRoot::LocalMachine);
    std::string windowsDir = Cut(Sys().Files->WindowsDirectory());
    std::string uninstallKey = Cut(UninstallKeyPrefix + d.Application);
    std::string displayName = Cut(d.Application + " " + d.Version);
    write.Registry(product, uninstallKey, "DisplayName", displayName);
    write.Record(UninstallSection, "DisplayName", displayName);
    std::string uninstallString = Cut(windowsDir + "\\" + UninstallerName + " " + state.DestDir);
    write.Registry(product, uninstallKey, "UninstallString", uninstallString);
    write.Record(UninstallSection, "UninstallString", uninstallString);

    for (const std::string& name : d.SysFilesOutNames) {
        std::int64_t count = uninstaller.ReadInteger(CountersKey, name, 0);
        write.Registry(uninstaller, CountersKey, name, IntToStr(count + 1), "counter ");
    }
}
