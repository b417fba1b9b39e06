// The records of an installation: the product's registry entries, the uninstall entry, the
// shared-use counters and the uninstall record.
#include "engine/Records.h"

#include "engine/DateText.h"
#include "core/CharText.h"
#include "core/SystemErrors.h"
#include "platform/Platform.h"

namespace {

const char* const QuietSwitch = "/S";

std::string NowText()
{
    return DateTimeText(Sys().Clock->Now(), Sys().DateFormats->Formats());
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
        Noted(reg, keyPath, name, "\"" + text + "\"", kind);
    }
    void DWord(TRegistry& reg, const std::string& keyPath, const std::string& name, std::uint32_t value)
    {
        reg.WriteDWord(keyPath, name, value);
        Noted(reg, keyPath, name, IntToStr(value) + " (REG_DWORD)", "registry ");
    }
    void Record(const std::string& section, const std::string& name, const std::string& text)
    {
        record_.WriteString(section, name, text);
        if (note_ != nullptr) note_->Note("record " + recordPath_ + "  [" + section + "] " + name + " = \"" + text + "\"");
    }

private:
    void Noted(TRegistry& reg, const std::string& keyPath, const std::string& name,
               const std::string& shown, const char* kind)
    {
        if (note_ != nullptr) note_->Note(kind + KeyShown(reg, keyPath) + "  " + name + " = " + shown);
    }

    IRecordNote* note_;
    TProfile& record_;
    std::string recordPath_;
};

// The values of the uninstall entry beside its name and command, as the
// Apps list, winget and the management tools read them; a setting left
// empty writes none.
void WriteEntryDetails(TNotedWrites& write, TRegistry& reg, const std::string& key,
                       const TInstallState& state, const std::string& windowsDir,
                       std::uint64_t copiedBytes)
{
    const TInstallDescription& d = state.InstallDescription;
    const std::string quiet = windowsDir + "\\" + UninstallerName + " " + QuietSwitch + " " + state.DestDir;
    const std::string day = InstallDateText(Sys().Clock->Now());
    const std::string icon = DisplayIconPath(d, state.DestDir);
    const struct {
        const char* name;
        const std::string& value;
    } texts[] = {{"QuietUninstallString", quiet}, {"DisplayVersion", d.Version},
                 {"Publisher", d.Publisher},      {"URLInfoAbout", d.WebAddress},
                 {"Contact", d.EmailAddress},     {"InstallLocation", state.DestDir},
                 {InstallDateName, day},          {"DisplayIcon", icon}};
    for (const auto& t : texts)
        if (!t.value.empty()) write.Registry(reg, key, t.name, Cut(t.value));
    const struct {
        const char* name;
        std::uint32_t value;
    } numbers[] = {{EstimatedSizeName, EstimatedSizeKB(copiedBytes)}, {"NoModify", 1}, {"NoRepair", 1}};
    for (const auto& n : numbers) write.DWord(reg, key, n.name, n.value);
}

}  // namespace

std::string InstallDateText(const TDateTime& time)
{
    std::string text(8, '0');
    long day = (time.Year * 100L + time.Month) * 100 + time.Day;
    for (int i = 7; i >= 0 && day > 0; --i, day /= 10) text[i] = static_cast<char>('0' + day % 10);
    return text;
}

std::uint32_t EstimatedSizeKB(std::uint64_t bytes)
{
    std::uint64_t kb = (bytes + 1023) / 1024;
    return kb > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(kb);
}

std::string DisplayIconPath(const TInstallDescription& d, const std::string& destDir)
{
    for (const std::string& item : d.ItemsNames) {
        std::size_t n = item.size();
        // ".exe" in any case; its bytes cannot end a two-byte character.
        if (n > 4 && item[n - 4] == '.' && (item[n - 3] | 0x20) == 'e' && (item[n - 2] | 0x20) == 'x' &&
            (item[n - 1] | 0x20) == 'e')
            return destDir + "\\" + item;
    }
    return "";
}

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

void WriteRecords(const TInstallState& state, std::uint64_t copiedBytes, IRecordNote* note)
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
    WriteEntryDetails(write, product, uninstallKey, state, windowsDir, copiedBytes);

    for (const std::string& name : d.SysFilesOutNames) {
        std::int64_t count = uninstaller.ReadInteger(CountersKey, name, 0);
        write.Registry(uninstaller, CountersKey, name, IntToStr(count + 1), "counter ");
    }
}
