#include "Shared.h"

TInstallState Shared;
