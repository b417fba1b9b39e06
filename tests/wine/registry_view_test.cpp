// The 64-bit registry view is asked for only where it exists: Windows 2000
// refuses an open that names KEY_WOW64_64KEY, and a 32-bit process on
// 64-bit Windows needs it to read the machine's own view.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/Win32Platform.h"

TEST(RegistryView, TheSixtyFourBitViewOnlyForRead64UnderWow64)
{
    struct Row {
        RegAccess access;
        bool underWow64;
        bool view64;
    } rows[] = {
        {RegAccess::Read64, true, true},        {RegAccess::Read64, false, false},
        {RegAccess::Read, true, false},         {RegAccess::Full, true, false},
        {RegAccess::CreateSubKey, true, false},
    };
    for (const Row& r : rows) {
        unsigned long rights = RegistryRights(r.access, r.underWow64);
        EXPECT_EQ(r.view64, (rights & KEY_WOW64_64KEY) != 0) << static_cast<int>(r.access) << r.underWow64;
        EXPECT_EQ(0u, rights & KEY_WOW64_32KEY);
    }
    // The platform tests run in a 32-bit prefix: no WOW64, and a Read64
    // open of the machine's key works as a plain read.
    EXPECT_FALSE(UnderWow64());
    TWin32Registry registry;
    RegKey key = 0;
    ASSERT_EQ(ERROR_SUCCESS, registry.OpenKey(registry.Root(RegRoot::LocalMachine), "SOFTWARE\\Microsoft",
                                              RegAccess::Read64, key));
    registry.CloseKey(key);
}
