#include "engine/WizardRules.h"

#include "core/Paths.h"
#include "engine/Records.h"
#include "engine/Shared.h"
#include "core/WizardText.h"
#include "core/Text.h"
#include "platform/Platform.h"

namespace {

const char* const OwnerKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char* const OwnerKeyNT = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char* const OwnerValue = "RegisteredOwner";
const char* const OrganizationValue = "RegisteredOrganization";

bool IsBlank(const std::string& text)
{
    for (char c : text)
        if (c != ' ' && c != '\t') return false;
    return true;
}

}  // namespace

void ReadRegisteredOwner(IRegistryApi& registry, std::string& name, std::string& organization)
{
    TRegistry reg(registry);
    reg.SetRoot(RegRoot::LocalMachine);
    // Windows 95 keeps the owner under CurrentVersion; NT under its own
    // key, which standard users may only read.
    bool opened = reg.OpenKeyReadOnly(OwnerKey);
    if (opened) {
        organization = Cut(reg.ReadString(OrganizationValue));
        name = Cut(reg.ReadString(OwnerValue));
    }
    if ((!opened || (organization.empty() && name.empty())) &&
        reg.OpenKeyReadOnly(OwnerKeyNT, true)) {
        organization = Cut(reg.ReadString(OrganizationValue));
        name = Cut(reg.ReadString(OwnerValue));
    }
}

std::string DestinationRefusal(const std::string& typed)
{
    // An empty destination would install into the root of whatever drive
    // is current: ask for one instead.
    if (IsBlank(typed)) return WizardText::EmptyDestination;
    // Cut to what the destination can hold, it would name a folder the
    // user never typed.
    if (typed.size() > ShortStringMax) return WizardText::LongDestination;
    std::string refusal = FolderRefusal(typed, Sys().Files->FileExists(typed));
    // The uninstall entry is the one thing a standard user may not make;
    // finding that out halfway would leave the product half installed.
    const TInstallDescription& d = Shared.InstallDescription;
    if (refusal.empty() && !d.Expand && !MayWriteUninstallEntry(d.Application))
        refusal = WizardText::AdministratorStart + d.Application + " " + d.Version +
                  WizardText::AdministratorEnd;
    return refusal;
}
