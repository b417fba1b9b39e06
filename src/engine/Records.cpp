// The records of an installation: the product's registry entries, the uninstall entry, the
// shared-use counters and the uninstall record.
#include "Records.h"

#include "DateText.h"
#include "platform/Platform.h"

const char* const UninstallerName = "Skorvel.exe";
const char* const RecordTemplateName = "Pellwick.up_";
const char* const RecordCopyName = "Pellwick.upi";
const char* const RecordName = "pellwick.upi";

const char* const UninstallerKey = "\\Software\\Brenvolt\\Skorvel\\";
const char* const CountersKey = "Counters";
const char* const InstallSection = "Install";
const char* const UninstallSection = "Uninstall";
const char* const DateName = "Date";

namespace {

const char* const UninstallKeyPrefix = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::string NowText()
{
    return DateTimeText(Sys().Clock->Now(), Sys().Locale->Formats());
}

}  // namespace

void WriteRecords(const TInstallState& state)
{
    const TInstallDescription& d = state.InstallDescription;
    ILocale& locale = *Sys().Locale;
    TStrings names;
    TProfile description(*Sys().Profiles, state.DescriptionPath);
    TProfile record(*Sys().Profiles, state.DestDir + "\\" + RecordName);

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
                product.WriteString(keyPath, name, *user);
                record.WriteString(subkey, name, *user);
            } else {
                product.WriteString(keyPath, name, value);
            }
        }
        product.WriteString(installKey, "Path", state.DestDir);
        record.WriteString(InstallSection, "Path", state.DestDir);
        product.WriteString(installKey, DateName, NowText());
        record.WriteString(InstallSection, DateName, NowText());
        names.clear();
    }

    product.SetRoot(RegRoot::LocalMachine);
    std::string windowsDir = Cut(Sys().Files->WindowsDirectory());
    std::string uninstallKey = Cut(UninstallKeyPrefix + d.Application);
    std::string displayName = Cut(d.Application + " " + d.Version);
    product.WriteString(uninstallKey, "DisplayName", displayName);
    record.WriteString(UninstallSection, "DisplayName", displayName);
    std::string uninstallString = Cut(windowsDir + "\\" + UninstallerName + " " + state.DestDir);
    product.WriteString(uninstallKey, "UninstallString", uninstallString);
    record.WriteString(UninstallSection, "UninstallString", uninstallString);

    for (const std::string& name : d.SysFilesOutNames) {
        std::int64_t count = uninstaller.ReadInteger(CountersKey, name, 0);
        uninstaller.WriteString(CountersKey, name, IntToStr(count + 1));
    }
}
