#include "engine/RecordNames.h"

#include "core/Text.h"

const char* const UninstallerName = "Skorvel.exe";
const char* const RecordTemplateName = "Pellwick.up_";
const char* const RecordCopyName = "Pellwick.upi";
const char* const RecordName = "pellwick.upi";

const char* const UninstallerKey = "\\Software\\Brenvolt\\Skorvel\\";
const char* const CountersKey = "Counters";
const char* const InstallSection = "Install";
const char* const UninstallSection = "Uninstall";
const char* const DateName = "Date";
const char* const UninstallKeyPrefix = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char* const InstallDateName = "InstallDate";
const char* const EstimatedSizeName = "EstimatedSize";

std::string CountersKeyPath() { return std::string(UninstallerKey).substr(1) + CountersKey; }

bool IsCountersKey(const std::string& path) { return AsciiUpper(path) == AsciiUpper(CountersKeyPath()); }
