// Loading the install description file Pellwick.ipi.
#pragma once
#include <cstdint>
#include <string>

#include "engine/Shared.h"
#include "platform/Profile.h"

extern const char* const DescriptionFileName;  // "Pellwick.ipi"

// The sections of Pellwick.ipi and its [Settings] texts, as the loader
// reads them.
namespace IpiSection {
extern const char* const Settings;
extern const char* const StartInfo;
extern const char* const EndInfo;
extern const char* const Dirs;
extern const char* const SysFilesIn;
extern const char* const SysFilesOut;
extern const char* const FilesIn;
extern const char* const FilesOut;
extern const char* const Items;
extern const char* const AddOns;
extern const char* const Keys;
}  // namespace IpiSection
namespace IpiSetting {
extern const char* const Application;
extern const char* const Copyright;
extern const char* const WebAddress;
extern const char* const EmailAddress;
extern const char* const Version;
extern const char* const ProgGroup;
extern const char* const Directory;
extern const char* const Expand;
extern const char* const Publisher;
}  // namespace IpiSetting
// The [Settings] entries held as texts of at most 255: all but Expand.
extern const char* const TextSettingNames[8];

// The exe's path up to and including its last "\" or ":", cut to 255.
std::string SourceDirOf(const std::string& exePath);
// Application, a blank and Version; Application alone without a Version;
// empty without an Application.
std::string MakeProductTitle(const std::string& application, const std::string& version);
// 100 div (files + system files + 3).
std::int32_t MakeProgressStep(std::size_t files, std::size_t sysFiles);

// Reads the settings and the lists from an opened profile.
void ReadDescription(const TProfile& profile, TInstallDescription& description);

// Sets Shared's SourceDir and DescriptionPath from the running exe, then
// reads the file into its InstallDescription and sets its ProgressStep, with the hourglass
// on meanwhile. False, with nothing read, when the file does not exist.
bool LoadInstallDescription();
