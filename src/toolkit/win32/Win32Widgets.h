// The Win32 backend of the window toolkit: a real window behind each
// control, standard classes for the controls, our own for forms and panels.
#pragma once
#include "toolkit/Backend.h"

// Installs the backend; hInstance is the exe's module handle.
void InstallWin32Widgets(void* hInstance);
