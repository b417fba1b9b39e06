// The installation list's text, the path rules it is read by, and the
// uninstaller's command line.
#include <gtest/gtest.h>

#include "engine/InstallList.h"
#include "engine/CommandLine.h"
#include "platform/doubles/FakePlatform.h"

namespace {

const std::string Heading =
    "; Pellwick installation list: what the installation made, in order.\r\n"
    "; Skorvel.exe removes it, the last first.\r\n";

TInstallList SampleList()
{
    TInstallList list;
    list.Add(TListKind::Folder, "C:\\App");
    list.Add(TListKind::SystemFile, "C:\\WINDOWS\\x.dll", "x.dll");
    list.Add(TListKind::File, "C:\\App\\a.exe");
    list.Add(TListKind::Group, "App");
    list.Add(TListKind::Item, "App Tool", "App");
    list.Add(TListKind::Key, "HKCU\\Software\\App");
    list.Add(TListKind::Key, "HKCU\\Software\\App\\Owner");
    list.Add(TListKind::Value, "Name", "HKCU\\Software\\App\\Owner");
    list.Add(TListKind::Value, "Path", "HKCU\\Software\\App\\Install");
    list.Add(TListKind::CountedFile, "C:\\WINDOWS\\old.dll", "old.dll");
    list.Add(TListKind::GroupFolder, "C:\\Programs\\App");
    list.Add(TListKind::Shortcut, "C:\\Programs\\App\\App Tool.lnk");
    return list;
}

bool SameEntries(const TInstallList& a, const TInstallList& b)
{
    if (a.Entries.size() != b.Entries.size()) return false;
    for (std::size_t i = 0; i < a.Entries.size(); ++i) {
        const TListEntry &x = a.Entries[i], &y = b.Entries[i];
        if (x.Kind != y.Kind || x.Name != y.Name || x.Of != y.Of) return false;
    }
    return true;
}

}  // namespace

TEST(InstallListText, ValuesFollowTheirKeyItemsTheirGroupAndSharedFilesTheirCounter)
{
    EXPECT_EQ(Heading +
                  "Folder=C:\\App\r\n"
                  "SystemFile=C:\\WINDOWS\\x.dll\r\nCounter=x.dll\r\n"
                  "File=C:\\App\\a.exe\r\n"
                  "Group=App\r\nItem=App Tool\r\n"
                  "Key=HKCU\\Software\\App\r\n"
                  "Key=HKCU\\Software\\App\\Owner\r\nValue=Name\r\n"
                  // A value of a key not listed before it brings its key.
                  "Key=HKCU\\Software\\App\\Install\r\nValue=Path\r\n"
                  "CountedFile=C:\\WINDOWS\\old.dll\r\nCounter=old.dll\r\n"
                  "GroupFolder=C:\\Programs\\App\r\n"
                  "Shortcut=C:\\Programs\\App\\App Tool.lnk\r\n",
              SampleList().Text());
}

TEST(InstallListText, ReadsBackWhatItWroteAndLineEndsWithoutCarriageReturns)
{
    TInstallList read;
    ASSERT_TRUE(read.Read(SampleList().Text()));
    // The "Key=" line brought in for the Install value is one entry more.
    TInstallList want = SampleList();
    want.Entries.insert(want.Entries.begin() + 8, {TListKind::Key, "HKCU\\Software\\App\\Install", ""});
    EXPECT_TRUE(SameEntries(want, read));

    std::string lf = SampleList().Text();
    for (std::string::size_type at; (at = lf.find('\r')) != std::string::npos;) lf.erase(at, 1);
    TInstallList fromLf;
    ASSERT_TRUE(fromLf.Read(lf));
    EXPECT_TRUE(SameEntries(want, fromLf));
}

TEST(InstallListText, AnythingButAListIsRefusedWhole)
{
    struct Case {
        const char* why;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"no heading", "Folder=C:\\App\r\n"},
        {"unknown kind", Heading + "Folder=C:\\App\r\nLink=C:\\x.lnk\r\n"},
        {"value before any key", Heading + "Value=Name\r\n"},
        {"item before any group", Heading + "Item=Tool\r\n"},
        {"shared file without its counter", Heading + "SystemFile=C:\\WINDOWS\\x.dll\r\nFile=C:\\a\r\n"},
        {"counter alone", Heading + "Counter=x.dll\r\n"},
        {"the list ends before the counter", Heading + "SystemFile=C:\\WINDOWS\\x.dll\r\n"},
        {"a line without =", Heading + "Folder C:\\App\r\n"},
        {"an empty name", Heading + "File=\r\n"},
        {"a stamp alone", Heading + "Stamp=4 01D0000000000001\r\n"},
        {"a stamp after a folder", Heading + "Folder=C:\\App\r\nStamp=4 01D0000000000001\r\n"},
        {"two stamps of one file", Heading + "File=C:\\a\r\nStamp=4 01D0000000000001\r\nStamp=5 01D0000000000002\r\n"},
        {"an empty stamp", Heading + "File=C:\\a\r\nStamp=\r\n"},
    };
    for (const Case& c : cases) {
        TInstallList list;
        list.Add(TListKind::File, "C:\\left\\over");
        EXPECT_FALSE(list.Read(c.text)) << c.why;
        EXPECT_TRUE(list.Entries.empty()) << c.why;
    }
}

TEST(InstallListText, AnInstallationOverAnEarlierOneListsEachThingOnceButEachCount)
{
    TListWriter writer;
    writer.Add(TListKind::File, "C:\\App\\a.exe");
    writer.Add(TListKind::File, "C:\\App\\b.exe");
    writer.Add(TListKind::SystemFile, "C:\\WINDOWS\\x.dll", "x.dll");
    const std::string& later = writer.Lines;
    TInstallList read;
    ASSERT_TRUE(read.Read(ListAppended(SampleList().Text(), later)));
    int files = 0, counts = 0;
    for (const TListEntry& e : read.Entries) {
        files += e.Kind == TListKind::File;
        counts += e.Kind == TListKind::SystemFile && e.Of == "x.dll";
    }
    EXPECT_EQ(2, files);
    EXPECT_EQ(2, counts);
    EXPECT_EQ("C:\\App\\b.exe", read.Entries[read.Entries.size() - 2].Name);
    // What is no list is not carried on.
    EXPECT_EQ(Heading + later, ListAppended("File=C:\\elsewhere\r\n", later));
    EXPECT_EQ(Heading + later, ListAppended("", later));
}

TEST(InstallListText, AFileCarriesItsStampAndTheLaterRunsStampHolds)
{
    EXPECT_EQ("0 0000000000000000", FileStamp(0, 0));
    EXPECT_EQ("18446744073709551615 01D9A2B3C4D5E6F7", FileStamp(~0ull, 0x01D9A2B3C4D5E6F7ull));
    std::uint64_t size = 0, time = 0;
    ASSERT_TRUE(ReadFileStamp("1024 01d9a2b3c4d5e6f7", size, time));
    EXPECT_EQ(1024u, size);
    EXPECT_EQ(0x01D9A2B3C4D5E6F7ull, time);
    for (const char* bad : {"", "1024", " 01D9A2B3C4D5E6F7", "1024 01D9A2B3C4D5E6F", "1024 01D9A2B3C4D5E6F70",
                            "1x24 01D9A2B3C4D5E6F7", "1024 01D9A2B3C4D5E6G7", "1024  01D9A2B3C4D5E6F"})
        EXPECT_FALSE(ReadFileStamp(bad, size, time)) << bad;
    TListWriter first;
    first.Add(TListKind::File, "C:\\App\\a.dat");
    first.AddStamp(FileStamp(4, 1));
    first.Add(TListKind::File, "C:\\App\\b.dat");
    first.AddStamp(FileStamp(5, 2));
    EXPECT_EQ("File=C:\\App\\a.dat\r\nStamp=4 0000000000000001\r\n"
              "File=C:\\App\\b.dat\r\nStamp=5 0000000000000002\r\n",
              first.Lines);
    // A later run copied a.dat again; one before stamps copied b.dat again.
    TListWriter later;
    later.Add(TListKind::File, "C:\\App\\a.dat");
    later.AddStamp(FileStamp(6, 3));
    later.Add(TListKind::File, "C:\\App\\b.dat");
    TInstallList read;
    ASSERT_TRUE(read.Read(ListAppended(ListAppended("", first.Lines), later.Lines)));
    ASSERT_EQ(2u, read.Entries.size());
    EXPECT_EQ("6 0000000000000003", read.Entries[0].Stamp);
    EXPECT_EQ("", read.Entries[1].Stamp);
    TInstallList again;
    ASSERT_TRUE(again.Read(read.Text()));
    EXPECT_EQ("6 0000000000000003", again.Entries[0].Stamp);
}

TEST(ListPaths, PartsAreWalkedByCharacterNotByByte)
{
    TFakePlatform fake;
    fake.Locale.UseCodePage(932);
    // "\x95\x5C" is one character of code page 932 whose second byte is "\".
    const std::string table = "\x95\x5C";
    EXPECT_EQ((std::vector<std::string>{"C:", "App", table + "x"}), PathParts("C:\\App\\" + table + "x"));
    EXPECT_EQ("HKCU\\Software\\" + table, JoinKeyPath("HKCU", "Software\\\\" + table + "\\"));
    fake.Locale.UseCodePage(1252);
    EXPECT_EQ((std::vector<std::string>{"C:", "App", "\x95", "x"}), PathParts("C:\\App\\" + table + "x"));
}

TEST(ListPaths, BelowMeansInsideAndNeverByDots)
{
    TFakeLocale locale;
    struct Case {
        const char* path;
        const char* folder;
        bool below;
    } cases[] = {
        {"C:\\App\\a.exe", "C:\\App", true},
        {"c:\\app\\BIN\\a.exe", "C:\\App", true},         // case does not matter
        {"C:\\App\\\\a.exe", "C:\\App\\", true},          // doubled and trailing "\"
        {"C:\\App", "C:\\App", false},                    // the folder itself
        {"C:\\Application\\a.exe", "C:\\App", false},     // a longer name
        {"C:\\App\\..\\WINDOWS\\win.ini", "C:\\App", false},
        {"C:\\App\\.\\a.exe", "C:\\App", false},
        {"C:\\App\\...\\a.exe", "C:\\App", false},
        {"D:\\App\\a.exe", "C:\\App", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.below, IsBelow(c.path, c.folder, locale)) << c.path;
}

TEST(UninstallArgs, SwitchesThenTheRestOfTheLineIsTheDestination)
{
    struct Case {
        const char* line;
        bool silent;
        const char* log;
        const char* dest;
        bool error;
    } cases[] = {
        // As the uninstall entry starts it: blanks in the destination, no quotes.
        {"C:\\WINDOWS\\Skorvel.exe C:\\Program Files\\Tool", false, "", "C:\\Program Files\\Tool", false},
        {"\"C:\\My Windows\\Skorvel.exe\" C:\\Tool", false, "", "C:\\Tool", false},
        {"Skorvel.exe   C:\\Tool  ", false, "", "C:\\Tool", false},
        {"Skorvel.exe \"C:\\Program Files\\Tool\"", false, "", "C:\\Program Files\\Tool", false},
        {"Skorvel.exe /S C:\\Tool", true, "", "C:\\Tool", false},
        {"Skorvel.exe /s /log=C:\\x.log C:\\A B", true, "C:\\x.log", "C:\\A B", false},
        {"Skorvel.exe \"/LOG=C:\\My Logs\\x.log\" /S C:\\Tool", true, "C:\\My Logs\\x.log", "C:\\Tool", false},
        {"Skorvel.exe /LOG=\"C:\\My Logs\\x.log\" C:\\Tool", false, "C:\\My Logs\\x.log", "C:\\Tool", false},
        // No folder name starts with "/": words of the end that do are switches.
        {"Skorvel.exe C:\\Tool /S", true, "", "C:\\Tool", false},
        {"Skorvel.exe C:\\My Apps /S /LOG=C:\\x.log", true, "C:\\x.log", "C:\\My Apps", false},
        {"Skorvel.exe C:\\My Apps /LOG=\"C:\\My Logs\\x.log\"", false, "C:\\My Logs\\x.log", "C:\\My Apps", false},
        {"Skorvel.exe /S C:\\a /b c", true, "", "C:\\a /b c", false},
        {"Skorvel.exe /LOG=C:\\x.log C:\\Tool /LOG=C:\\y.log", false, "C:\\x.log", "C:\\Tool", true},
        {"Skorvel.exe C:\\Tool /S=1", false, "", "C:\\Tool", true},
        {"Skorvel.exe", false, "", "", false},
        {"Skorvel.exe /Q C:\\Tool", false, "", "C:\\Tool", true},
        {"Skorvel.exe /LOG= C:\\Tool", false, "", "C:\\Tool", true},
    };
    for (const Case& c : cases) {
        TUninstallArgs args = ParseUninstallArgs(c.line);
        EXPECT_EQ(c.silent, args.Silent) << c.line;
        EXPECT_EQ(c.log, args.LogPath) << c.line;
        EXPECT_EQ(c.dest, args.DestDir) << c.line;
        EXPECT_EQ(c.error, !args.Error.empty()) << c.line;
        // The private copy reads the same, and the uninstaller that started it.
        const char* original = "C:\\My Windows\\Skorvel.exe";
        TUninstallArgs copy = ParseUninstallArgs(PrivateCopyLine(c.line, "C:\\TEMP\\sk1\\Skorvel.exe", original));
        EXPECT_EQ(args.Silent, copy.Silent) << c.line;
        EXPECT_EQ(args.LogPath, copy.LogPath) << c.line;
        EXPECT_EQ(args.DestDir, copy.DestDir) << c.line;
        EXPECT_EQ(args.Error, copy.Error) << c.line;
        EXPECT_EQ(original, copy.Original) << c.line;
    }
    EXPECT_TRUE(ParseUninstallArgs("Skorvel.exe /?").Help);
    EXPECT_EQ("C:\\W\\Skorvel.exe", ParseUninstallArgs(PrivateCopyLine("Skorvel.exe \"C:\\Tool", "C:\\T\\Skorvel.exe",
                                                                         "C:\\W\\Skorvel.exe")).Original);
}
