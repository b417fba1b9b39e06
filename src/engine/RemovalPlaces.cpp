#include "engine/RemovalPlaces.h"

#include "core/CharText.h"
#include "core/Paths.h"
#include "engine/RecordNames.h"
#include "platform/Locale.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Keys of the system and of every program, which no product owns.
const char* const CommonKeys[] = {"Microsoft", "Classes", "Policies", "Wow6432Node", "Brenvolt"};

}  // namespace

bool IsPlainPart(const std::string& part)
{
    if (part.empty() || part.find_first_not_of('.') == std::string::npos) return false;
    char last = part.back();
    if (last == '.' || last == ' ') return false;
    for (std::size_t i = 0, next; i < part.size(); i = next) {
        next = NextChar(part, i);
        if (next != i + 1) continue;  // the second byte of a character is no separator
        char c = part[i];
        if (c == '\\' || c == '/' || c == ':' || static_cast<unsigned char>(c) < 32) return false;
        if (c == '~' && next < part.size() && IsDigit(part[next])) return false;
    }
    return DeviceNamePart(part).empty();
}

bool IsPlainBelow(const std::string& path, const std::string& folder, ILocale& locale)
{
    // "\\?\C:\..", "\\server\share\..": the system reads them by other rules.
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\') return false;
    if (!IsBelow(path, folder, locale)) return false;
    std::vector<std::string> parts = PathParts(path);
    // A doubled backslash would be dropped by PathParts but read by the
    // system. Found by character: "\\" may end a character's second byte.
    if (DropTrailing(path, "\\") != path) return false;
    for (std::size_t at = FindCharOf(path, "\\"); at != std::string::npos;
         at = FindCharOf(path, "\\", at + 1))
        if (at + 1 < path.size() && path[at + 1] == '\\') return false;
    for (std::size_t i = PathParts(folder).size(); i < parts.size(); ++i)
        if (!IsPlainPart(parts[i])) return false;
    return true;
}

bool IsDirectlyIn(const std::string& path, const std::string& folder, ILocale& locale)
{
    return IsPlainBelow(path, folder, locale) &&
           PathParts(path).size() == PathParts(folder).size() + 1;
}

bool SamePath(const std::string& a, const std::string& b, ILocale& locale)
{
    std::vector<std::string> x = PathParts(a), y = PathParts(b);
    if (x.size() != y.size()) return false;
    for (std::size_t i = 0; i < x.size(); ++i)
        if (!locale.SameText(x[i], y[i])) return false;
    return true;
}

TRegistryPlaces::TRegistryPlaces(const TInstallList& list, ILocale& locale) : locale_(locale)
{
    std::string uninstall = "HKLM\\" + std::string(UninstallKeyPrefix);
    std::string ours = "HKCU\\" + CountersKeyPath();
    for (const TListEntry& e : list.Entries) {
        if (e.Kind != TListKind::Key) continue;
        std::vector<std::string> parts = PathParts(e.Name);
        if (entry_.empty() && Within(e.Name, uninstall, true) &&
            parts.size() == PathParts(uninstall).size() + 1)
            entry_ = e.Name;
        if (!product_.empty() || parts.size() < 3 || !locale.SameText(parts[0], "HKCU") ||
            !locale.SameText(parts[1], "Software") || Within(ours, e.Name, true))
            continue;
        bool common = false;
        for (const char* key : CommonKeys) common |= locale.SameText(parts[2], key);
        // The first such key is the product's; a common one leaves none.
        product_ = common ? "-" : e.Name;
    }
    if (product_ == "-") product_.clear();
}

bool TRegistryPlaces::Within(const std::string& key, const std::string& place, bool orBelow) const
{
    std::vector<std::string> k = PathParts(key), p = PathParts(place);
    if (k.size() < p.size() || (!orBelow && k.size() != p.size())) return false;
    for (std::size_t i = 0; i < p.size(); ++i)
        if (!locale_.SameText(k[i], p[i])) return false;
    return true;
}

bool TRegistryPlaces::Allows(const std::string& key, bool forValues) const
{
    if (!product_.empty() && Within(key, product_, true)) return true;
    if (!entry_.empty() && Within(key, entry_, false)) return true;
    if (forValues) return false;
    // The counters key and its parents up to the maker's key, when empty.
    std::string counters = "HKCU\\" + CountersKeyPath();
    return PathParts(key).size() >= 4 && Within(counters, key, true);
}
