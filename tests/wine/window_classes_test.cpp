// A silent run makes no window: the toolkit readies the common controls
// and its window classes for the first window, not when it is installed,
// and a cursor change before then only sets the flag.
#include <windows.h>

#include <gtest/gtest.h>

#include "toolkit/Forms.h"
#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/Win32Widgets.h"

TEST(WindowClasses, ReadiedForTheFirstWindowAndNotBefore)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA found;
    InstallWin32Widgets(instance);
    TWin32Desktop desktop;
    desktop.SetCursor(TCursor::HourGlass);
    EXPECT_TRUE(Win32HourGlassOn());
    EXPECT_FALSE(GetClassInfoA(instance, "PellwickForm", &found));

    TForm form;
    form.CreateForm();
    EXPECT_TRUE(GetClassInfoA(instance, "PellwickForm", &found));
    desktop.SetCursor(TCursor::Default);
    EXPECT_FALSE(Win32HourGlassOn());
}
