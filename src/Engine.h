// The installation run: the pure rules of CopyFiles and its record of
// what could not be installed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/Text.h"

// The longest path the copy operation takes (MAX_PATH less its NUL).
constexpr std::size_t MaxPathLength = 259;
constexpr unsigned FilePauseMilliseconds = 500;
constexpr unsigned EndPauseMilliseconds = 1000;

// A label caption of more than 40 characters becomes "..." and its last 37.
std::string ShortenCaption(const std::string& caption);

// The parent of a directory for the creation rule: the text up to and
// including its last "\" or ":".
std::string ParentOf(const std::string& path);

// Element index of list, raising "List index out of bounds" past its end.
const std::string& ListItem(const TStrings& list, std::size_t index);

// One thing the run could not install.
struct TInstallFailure {
    std::string What;    // source file, or the part of the program group
    std::string Where;   // destination, if any
    std::string Reason;
    std::string Label = "";  // shown before What and never shortened ("Program item ")
};

// Everything the last run could not do; empty after a clean run.
extern std::vector<TInstallFailure> InstallFailures;

// The reason text for a copy error code; systemText (the system's own
// words for it) where there is no sentence of our own.
std::string CopyErrorText(unsigned long error, const std::string& systemText);
// The warning box text listing the failures, at most maxShown of them,
// each path shortened as the progress labels are so that the box fits
// the screen however long the names.
std::string FailureReport(const std::vector<TInstallFailure>& failures, std::size_t maxShown = 8);

// An argument as the program manager reads it: quoted when it holds a
// comma, a parenthesis or a bracket, as it stands otherwise.
std::string CommandArgument(const std::string& argument);
// The program-manager command strings, each ended by CR LF and cut to 255.
std::string CreateGroupCommand(const std::string& group);
std::string AddItemCommand(const std::string& destDir, const std::string& file,
                           const std::string& caption);
std::string UninstallItemCommand(const std::string& windowsDir, const std::string& destDir,
                                 const std::string& application);

extern const char* const UninstallerName;  // "Skorvel.exe"
// The uninstall record's template in the installer folder, and the name
// of its copy in the destination.
extern const char* const RecordTemplateName;  // "Pellwick.up_"
extern const char* const RecordCopyName;      // "Pellwick.upi"
