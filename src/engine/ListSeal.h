// The installation list's digest, kept where only administrators write:
// HKEY_LOCAL_MACHINE, one value per destination, so that a second
// installation of the product elsewhere keeps the first one's. The list
// itself lies in the destination, which every user may change on most
// machines; the uninstaller removes nothing by a list that does not match.
// Windows 95 and 98 let everyone write there: the check finds damage only.
#pragma once
#include <string>

// The key below HKEY_LOCAL_MACHINE.
extern const char* const ListSealsKey;  // "SOFTWARE\Brenvolt\Skorvel\Lists"

enum class TSealCheck { Matches, Differs, Missing };

// Stores the digest of a list's text for destDir; 0 or the system's error.
long StoreListSeal(const std::string& destDir, const std::string& text);
// Holds a list's text against the digest stored for destDir.
TSealCheck CheckListSeal(const std::string& destDir, const std::string& text);
// Deletes the digest once the list is gone; 0, or the system's error.
long ForgetListSeal(const std::string& destDir);
// Whether this account may change or delete the digests (an administrator's).
bool MayChangeListSeals();
