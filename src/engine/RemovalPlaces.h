// Where a removal may act. The installation list lies in a folder other
// accounts may write, and the uninstaller runs with an administrator's
// rights: each name it gives is held to the place an installation makes
// such a thing in, written as the installation writes it, before anything
// is touched.
#pragma once
#include <string>
#include <vector>

#include "engine/InstallList.h"

class ILocale;

// One name of a file or folder as an installation writes it: not empty,
// not "." or "..", no "\", "/" or ":" (a stream), no blank or dot at its
// end (Windows drops them and reaches another name), no "~" followed by a
// digit (a short name that may stand for another long one) and no device
// name (CON, AUX, COM1, ...).
bool IsPlainPart(const std::string& part);

// Whether path names something below folder (not folder itself), each of
// its parts below the folder plain, compared without regard to case. A
// "\\?\" or UNC path, or one with "/", never is.
bool IsPlainBelow(const std::string& path, const std::string& folder, ILocale& locale);

// The same, with exactly one part below the folder.
bool IsDirectlyIn(const std::string& path, const std::string& folder, ILocale& locale);

// Whether two paths name one folder, part by part without regard to case.
bool SamePath(const std::string& a, const std::string& b, ILocale& locale);

// The registry keys a removal may touch: the product's base key and what
// is below it, its uninstall entry, and the uninstaller's counters key with
// its parents (those only when empty).
class TRegistryPlaces {
public:
    // Taken from the list: the product's key is the first key it names
    // below HKEY_CURRENT_USER\Software outside the uninstaller's own; one
    // of the system's or every vendor's keys (Microsoft, Classes,
    // Policies) is none. The uninstall entry is the first key below the
    // uninstall entries' key of HKEY_LOCAL_MACHINE, one name deep.
    TRegistryPlaces(const TInstallList& list, ILocale& locale);

    // Whether a listed key ("HKCU\...", "HKLM\...") may be removed when
    // empty, or hold values a removal may delete (forValues).
    bool Allows(const std::string& key, bool forValues) const;

    const std::string& ProductKey() const { return product_; }
    const std::string& UninstallEntry() const { return entry_; }

private:
    bool Within(const std::string& key, const std::string& place, bool orBelow) const;
    ILocale& locale_;
    std::string product_, entry_;
};
