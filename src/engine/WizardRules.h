// The rules of the wizard's pages that read the machine: the owner Windows
// records, proposed on the user-details page, and the destination's refusal.
#pragma once
#include <string>

#include "platform/Registry.h"

// Reads the registered owner and organisation into name and organization,
// each cut to 255 characters: from the Windows 95 key, or from the NT key
// when that one is missing or holds neither. A value that is no string
// stops the reading with an error, leaving what was read before it.
void ReadRegisteredOwner(IRegistryApi& registry, std::string& name, std::string& organization);

// The warning the destination page shows for the path typed into it (as
// TypedDestination leaves it), or nothing when the installation may go ahead.
// A user who may not make the product's uninstall entry is told that an
// administrator must install it (nothing is asked with Expand set, which
// makes no entry).
std::string DestinationRefusal(const std::string& typed);
