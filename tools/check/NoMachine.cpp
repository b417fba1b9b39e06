// Without Windows there is no installation to read: --verify needs the
// console exe, on Windows or under Wine.
#include "Verify.h"

TMachine* LocalMachine() { return nullptr; }
