#include "engine/Description.h"

#include "platform/Platform.h"

const char* const DescriptionFileName = "Pellwick.ipi";

void TInstallDescription::FreeLists()
{
    for (TStrings* list : {&StartInfoNames, &EndInfoNames, &SysFilesInNames, &FilesInNames,
                           &DirsNames, &DirsValues, &SysFilesOutNames, &SysFilesOutValues,
                           &FilesOutNames, &FilesOutValues, &ItemsNames, &ItemsValues,
                           &AddOnsNames, &AddOnsValues, &KeysNames, &KeysValues})
        list->clear();
}

std::string SourceDirOf(const std::string& exePath)
{
    std::string::size_type cut = FindLastCharOf(exePath, "\\:");
    return Cut(cut == std::string::npos ? std::string() : exePath.substr(0, cut + 1));
}

std::string MakeProductTitle(const std::string& application, const std::string& version)
{
    if (application.empty()) return "";
    if (version.empty()) return Cut(application);
    return Cut(application + " " + version);
}

std::int32_t MakeProgressStep(std::size_t files, std::size_t sysFiles)
{
    return static_cast<std::int32_t>(100 / (files + sysFiles + 3));
}

namespace IpiSection {
const char* const Settings = "Settings";
const char* const StartInfo = "StartInfo";
const char* const EndInfo = "EndInfo";
const char* const Dirs = "Dirs";
const char* const SysFilesIn = "SysFilesIn";
const char* const SysFilesOut = "SysFilesOut";
const char* const FilesIn = "FilesIn";
const char* const FilesOut = "FilesOut";
const char* const Items = "Items";
const char* const AddOns = "AddOns";
const char* const Keys = "Keys";
}  // namespace IpiSection

namespace IpiSetting {
const char* const Application = "Application";
const char* const Copyright = "Copyright";
const char* const WebAddress = "WebAddress";
const char* const EmailAddress = "EmailAddress";
const char* const Version = "Version";
const char* const ProgGroup = "ProgGroup";
const char* const Directory = "Directory";
const char* const Expand = "Expand";
const char* const Publisher = "Publisher";
}  // namespace IpiSetting

const char* const TextSettingNames[8] = {
    IpiSetting::Application, IpiSetting::Copyright, IpiSetting::WebAddress, IpiSetting::EmailAddress,
    IpiSetting::Version,     IpiSetting::ProgGroup, IpiSetting::Directory, IpiSetting::Publisher};

namespace {

void ReadPairs(const TProfile& profile, const char* section, TStrings& names,
               TStrings& values, const std::string& def)
{
    profile.ReadSection(section, names);
    profile.ReadValues(section, names, def, values);
}

}  // namespace

void ReadDescription(const TProfile& profile, TInstallDescription& d)
{
    using namespace IpiSection;
    auto setting = [&](const char* name, const char* def) {
        return Cut(profile.ReadString(Settings, name, def));
    };
    d.Application = setting(IpiSetting::Application, "");
    d.Copyright = setting(IpiSetting::Copyright, "");
    d.WebAddress = setting(IpiSetting::WebAddress, "");
    d.EmailAddress = setting(IpiSetting::EmailAddress, "");
    d.Version = setting(IpiSetting::Version, "");
    d.Publisher = setting(IpiSetting::Publisher, "");
    d.ProgGroup = setting(IpiSetting::ProgGroup, "Fenmarch");
    d.Expand = profile.ReadBool(Settings, IpiSetting::Expand, false);
    d.Directory = setting(IpiSetting::Directory, "c:\\tmp");

    profile.ReadSection(FilesIn, d.FilesInNames);
    profile.ReadSection(SysFilesIn, d.SysFilesInNames);
    profile.ReadSection(StartInfo, d.StartInfoNames);
    profile.ReadSection(EndInfo, d.EndInfoNames);

    ReadPairs(profile, FilesOut, d.FilesOutNames, d.FilesOutValues, "");
    ReadPairs(profile, SysFilesOut, d.SysFilesOutNames, d.SysFilesOutValues, "");
    ReadPairs(profile, Items, d.ItemsNames, d.ItemsValues, "Comic Relief");
    ReadPairs(profile, AddOns, d.AddOnsNames, d.AddOnsValues, "");
    ReadPairs(profile, Keys, d.KeysNames, d.KeysValues, "");
    ReadPairs(profile, Dirs, d.DirsNames, d.DirsValues, "");
}

bool LoadInstallDescription()
{
    TInstallState& s = Shared;
    s.InstallDescription.FreeLists();
    s.SourceDir = SourceDirOf(Sys().Desktop->ExePath());
    s.DescriptionPath = Cut(s.SourceDir + DescriptionFileName);
    if (!Sys().Files->FileExists(s.DescriptionPath)) return false;

    TCursorScope hourglass(TCursor::HourGlass);
    TProfile profile(*Sys().Profiles, s.DescriptionPath);
    ReadDescription(profile, s.InstallDescription);
    s.ProgressStep = MakeProgressStep(s.InstallDescription.FilesInNames.size(),
                                      s.InstallDescription.SysFilesInNames.size());
    return true;
}
