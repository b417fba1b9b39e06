// The control file Pellwick.ipi, loaded the way the program loads it: the
// input is put at C:\SETUP\Pellwick.ipi on the double's disk and read by
// LoadInstallDescription through the profile double.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/Description.h"
#include "FuzzSupport.h"
#include "platform/doubles/FakePlatform.h"

namespace {

// No line of a file can hold a line break, so no name or value read holds this.
const char* const Stale = "stale\nentry";

void CheckNames(const TStrings& names, const char* list)
{
    // The names arrive through one listing buffer of TProfile::NameBufferSize
    // bytes: each name and its NUL, and the closing NUL, fit in it. An entry
    // without a name is listed as an empty one.
    std::size_t used = 1;
    for (const std::string& name : names) {
        fuzz::Check(name != Stale, std::string(list) + ": a name from before the load was kept");
        fuzz::Check(name.find('\0') == std::string::npos,
                    std::string(list) + ": a name holds a NUL", fuzz::Show(name));
        used += name.size() + 1;
    }
    fuzz::Check(used <= TProfile::NameBufferSize,
                std::string(list) + ": names overrun the listing buffer",
                std::to_string(used) + " bytes");
}

void CheckPairs(const TStrings& names, const TStrings& values, const char* list)
{
    CheckNames(names, list);
    fuzz::Check(names.size() == values.size(),
                std::string(list) + ": names and values are not paired",
                std::to_string(names.size()) + " names, " + std::to_string(values.size()) +
                    " values");
    for (const std::string& value : values) {
        fuzz::Check(value != Stale,
                    std::string(list) + ": a value from before the load was kept");
        fuzz::Check(value.size() < TProfile::ValueBufferSize,
                    std::string(list) + ": a value is longer than the value buffer allows",
                    std::to_string(value.size()));
    }
}

void CheckSetting(const std::string& value, const char* name)
{
    fuzz::Check(value.size() <= ShortStringMax,
                std::string("setting ") + name + " is longer than 255 characters",
                std::to_string(value.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::LeakProbe();
    TFakePlatform platform;
    ResetSharedState();
    // Lists left from an earlier load must not survive this one.
    TInstallDescription& d = Shared.InstallDescription;
    for (TStrings* list : {&d.StartInfoNames, &d.EndInfoNames, &d.SysFilesInNames,
                           &d.FilesInNames, &d.DirsNames, &d.DirsValues, &d.SysFilesOutNames,
                           &d.SysFilesOutValues, &d.FilesOutNames, &d.FilesOutValues,
                           &d.ItemsNames, &d.ItemsValues, &d.AddOnsNames, &d.AddOnsValues,
                           &d.KeysNames, &d.KeysValues})
        list->assign(2, Stale);
    platform.Disk.Put("C:\\SETUP\\Pellwick.ipi",
                      std::string(reinterpret_cast<const char*>(data), size));

    fuzz::Check(LoadInstallDescription(), "an existing control file was not loaded");
    fuzz::Check(Shared.SourceDir == "C:\\SETUP\\", "wrong source folder", fuzz::Show(Shared.SourceDir));
    fuzz::Check(Shared.DescriptionPath == "C:\\SETUP\\Pellwick.ipi", "wrong control file path",
                fuzz::Show(Shared.DescriptionPath));
    fuzz::Check(platform.Desktop.Cursor() == TCursor::Default,
                "the hourglass is still on after loading");

    CheckSetting(d.Application, "Application");
    CheckSetting(d.Copyright, "Copyright");
    CheckSetting(d.WebAddress, "WebAddress");
    CheckSetting(d.EmailAddress, "EmailAddress");
    CheckSetting(d.Version, "Version");
    CheckSetting(d.ProgGroup, "ProgGroup");
    CheckSetting(d.Directory, "Directory");

    CheckNames(d.FilesInNames, "FilesIn");
    CheckNames(d.SysFilesInNames, "SysFilesIn");
    CheckNames(d.StartInfoNames, "StartInfo");
    CheckNames(d.EndInfoNames, "EndInfo");
    CheckPairs(d.FilesOutNames, d.FilesOutValues, "FilesOut");
    CheckPairs(d.SysFilesOutNames, d.SysFilesOutValues, "SysFilesOut");
    CheckPairs(d.ItemsNames, d.ItemsValues, "Items");
    CheckPairs(d.AddOnsNames, d.AddOnsValues, "AddOns");
    CheckPairs(d.KeysNames, d.KeysValues, "Keys");
    CheckPairs(d.DirsNames, d.DirsValues, "Dirs");

    const std::size_t parts = d.FilesInNames.size() + d.SysFilesInNames.size() + 3;
    fuzz::Check(Shared.ProgressStep == static_cast<std::int32_t>(100 / parts), "wrong progress step",
                std::to_string(Shared.ProgressStep));

    ResetSharedState();
    return 0;
}
