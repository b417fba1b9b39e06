// UpdateRegistry: the product's registry entries, the uninstall entry, the
// shared-use counters and the uninstall record.
#include "DateText.h"
#include "Engine.h"
#include "MainDlg.h"
#include "Shared.h"
#include "platform/Platform.h"

namespace {

const char* const UninstallerKey = "\\Software\\Brenvolt\\Skorvel\\";
const char* const CountersKey = "Counters";
const char* const UninstallKeyPrefix = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char* const RecordName = "\\pellwick.upi";
const char* const InstallSection = "Install";
const char* const UninstallSection = "Uninstall";
const std::string SettingsUnreadable = "the settings for the registry could not be read from it: ";

std::string NowText()
{
    return DateTimeText(Sys().Clock->Now(), Sys().Locale->Formats());
}

}  // namespace

void TMainDialog::UpdateRegistry(TControl&)
{
    const TInstallDescription& d = InstallDescription;
    ILocale& locale = *Sys().Locale;
    TStrings names;
    TProfile description(*Sys().Profiles, DescriptionPath);
    TProfile record(*Sys().Profiles, DestDir + RecordName);

    // Without a [Keys] entry there is no product key: only the uninstall
    // entry, the counters and the record's [Uninstall] section are written.
    bool hasBase = !d.KeysValues.empty();
    std::string base = hasBase ? Cut(d.KeysValues[0]) : "";
    TRegistry product(*Sys().Registry, base);
    TRegistry uninstaller(*Sys().Registry, UninstallerKey);

    std::string installKey = Cut(base + "\\" + InstallSection);
    // A control file held open without sharing reads as empty: say so
    // rather than leave the settings out unnoticed.
    unsigned long readError = d.KeysNames.size() > 1 ? Sys().Profiles->ReadError(DescriptionPath) : 0;
    if (readError != 0)
        InstallFailures.push_back({DescriptionPath, "", SettingsUnreadable + CopyErrorText(readError, Sys().Files->ErrorText(readError))});
    for (std::size_t i = 1; hasBase && i < d.KeysNames.size(); ++i) {
        const std::string& section = d.KeysNames[i];
        const std::string& subkey = d.KeysValues[i];
        std::string keyPath = Cut(base + "\\") + subkey;
        description.ReadSection(section, names);
        for (const std::string& name : names) {
            std::string value = Cut(description.ReadString(section, name, ""));
            const std::string* user = nullptr;
            if (locale.SameText(name, "Name") && locale.SameText(value, "$NAME")) user = &UserName;
            if (locale.SameText(name, "Organization") && locale.SameText(value, "$ORG"))
                user = &UserOrganization;
            if (user != nullptr) {
                product.WriteString(keyPath, name, *user);
                record.WriteString(subkey, name, *user);
            } else {
                product.WriteString(keyPath, name, value);
            }
        }
        product.WriteString(installKey, "Path", DestDir);
        record.WriteString(InstallSection, "Path", DestDir);
        product.WriteString(installKey, "Date", NowText());
        record.WriteString(InstallSection, "Date", NowText());
        names.clear();
    }

    product.SetRoot(RegRoot::LocalMachine);
    std::string windowsDir = Cut(Sys().Files->WindowsDirectory());
    std::string uninstallKey = Cut(UninstallKeyPrefix + d.Application);
    std::string displayName = Cut(d.Application + " " + d.Version);
    product.WriteString(uninstallKey, "DisplayName", displayName);
    record.WriteString(UninstallSection, "DisplayName", displayName);
    std::string uninstallString = Cut(windowsDir + "\\" + UninstallerName + " " + DestDir);
    product.WriteString(uninstallKey, "UninstallString", uninstallString);
    record.WriteString(UninstallSection, "UninstallString", uninstallString);

    for (const std::string& name : d.SysFilesOutNames) {
        std::int64_t count = uninstaller.ReadInteger(CountersKey, name, 0);
        uninstaller.WriteString(CountersKey, name, IntToStr(count + 1));
    }

    AdvanceProgress(1);
}
