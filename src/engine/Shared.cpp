#include "engine/Shared.h"

TInstallState Shared;
