#include "platform/Platform.h"

TPlatform& Sys()
{
    static TPlatform platform;
    return platform;
}
