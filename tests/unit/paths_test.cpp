// Destinations and target names as users and control files write them.
#include <gtest/gtest.h>

#include "core/Paths.h"

namespace {

TEST(PathsTest, DirectoryToMakeDropsEveryTrailingBackslash)
{
    struct Case {
        const char* path;
        const char* dir;
    } cases[] = {
        {"C:\\New\\Tool", "C:\\New\\Tool"},
        {"C:\\New\\", "C:\\New"},
        {"C:\\New\\\\", "C:\\New"},  // the parent of C:\New\\Tool
        {"C:\\", "C:"},
        {"  C:", "  C:"},  // a drive alone stays its own parent
        {"\\\\", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.dir, DirectoryToMake(c.path)) << c.path;
}

TEST(PathsTest, TypedDestinationLosesOnlyTheBlanksAndFullStopsAtItsEnd)
{
    struct Case {
        const char* typed;
        const char* kept;
    } cases[] = {
        {"C:\\Tern ", "C:\\Tern"},         {"C:\\Tern \t ", "C:\\Tern"},
        {"C:\\Tern\\", "C:\\Tern\\"},      {" C:\\Tern", " C:\\Tern"},
        {"C:\\Two Words", "C:\\Two Words"}, {"   ", ""},
        // A full stop at the end goes too, but "." and ".." are parts.
        {"C:\\Tern.", "C:\\Tern"},         {"C:\\Tern. .", "C:\\Tern"},
        {"C:\\Tern\\..", "C:\\Tern\\.."},  {"C:\\Tern\\. ", "C:\\Tern\\."},
        {"C:\\v1.2", "C:\\v1.2"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.kept, TypedDestination(c.typed)) << c.typed;
}

TEST(PathsTest, DeviceNamePartFindsNamesWindowsKeepsForDevicesWithOrWithoutExtension)
{
    struct Case {
        const char* path;
        const char* device;
    } cases[] = {
        {"aux.h", "aux.h"},
        {"con.txt", "con.txt"},
        {"nul", "nul"},
        {"prn.log", "prn.log"},
        {"com1.log", "com1.log"},
        {"LPT9", "LPT9"},
        {"nul.txt.log", "nul.txt.log"},
        {"con .txt", "con .txt"},
        {"CONIN$", "CONIN$"},
        {"conout$.log", "conout$.log"},
        {"com0.log", "com0.log"},
        {"LPT0", "LPT0"},
        {"com\xB9", "com\xB9"},
        {"lpt\xB2.txt", "lpt\xB2.txt"},
        {"COM\xB3\\x", "COM\xB3"},
        {"lib\\aux\\x.h", "aux"},
        {"..\\aux.h", "aux.h"},
        {"C:\\Tern\\CON", "CON"},
        {"C:\\Tern/nul/x", "nul"},
        // Not devices.
        {"conin", ""},
        {"com\xBC", ""},
        {"com10.log", ""},
        {"lpt.txt", ""},
        {"auxiliary.h", ""},
        {"null", ""},
        {"my con.txt", ""},
        {"..\\up.txt", ""},
        {"C:", ""},
        {"C:\\", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(c.device, DeviceNamePart(c.path)) << c.path;
}

TEST(PathsTest, FolderRefusalNamesThePathAndTheReason)
{
    const std::string tail = ". Please choose another directory.";
    struct Case {
        const char* path;
        bool isFile;
        std::string expected;  // empty: accepted
    } cases[] = {
        {"C:\\Tern", false, ""},
        {"c:", false, ""},
        {"D:\\Two Words\\(x) [y]", false, ""},
        {"\\\\server\\share\\Tern", false, ""},
        {"Tern", false, ""},
        {"C:\\Tern|Suite", false,
         "C:\\Tern|Suite cannot be a folder: a folder name may not hold the character |" + tail},
        {"C:\\Tern\\a<b", false, "C:\\Tern\\a<b cannot be a folder: a folder name may not hold the character <" + tail},
        {"C:\\Tern>", false, "C:\\Tern> cannot be a folder: a folder name may not hold the character >" + tail},
        {"C:\\Te\"rn", false, "C:\\Te\"rn cannot be a folder: a folder name may not hold the character \"" + tail},
        {"C:\\Tern?", false, "C:\\Tern? cannot be a folder: a folder name may not hold the character ?" + tail},
        {"C:\\Tern*", false, "C:\\Tern* cannot be a folder: a folder name may not hold the character *" + tail},
        {"C:\\Tern:x", false, "C:\\Tern:x cannot be a folder: a folder name may not hold the character :" + tail},
        {"C:\\Te\trn", false, "C:\\Te\trn cannot be a folder: a folder name may not hold a control character" + tail},
        {"C:\\Tern\\CON", false, "C:\\Tern\\CON cannot be a folder: \"CON\" is a name Windows keeps for a device" + tail},
        {"C:\\lpt1.dir\\Tern", false, "C:\\lpt1.dir\\Tern cannot be a folder: \"lpt1.dir\" is a name Windows keeps for a device" + tail},
        {"C:\\Apps\\..\\Tern", false, ""},
        {"C:\\.\\Tern", false, ""},
        {"C:\\Apps \\Tool", false,
         "C:\\Apps \\Tool cannot be a folder: \"Apps \" ends in a blank or a full stop, which Windows drops" + tail},
        {"C:\\Apps.\\Tool", false,
         "C:\\Apps.\\Tool cannot be a folder: \"Apps.\" ends in a blank or a full stop, which Windows drops" + tail},
        {"C:\\Tern\\conout$", false, "C:\\Tern\\conout$ cannot be a folder: \"conout$\" is a name Windows keeps for a device" + tail},
        {"C:\\Tern.txt", true, "C:\\Tern.txt cannot be a folder: it is the name of an existing file" + tail},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, FolderRefusal(c.path, c.isFile)) << c.path;
}

}  // namespace
