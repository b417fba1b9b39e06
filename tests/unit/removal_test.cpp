// The uninstaller against the doubles: what it removes, in which order,
// what it leaves and says, what it refuses to touch, and its exit codes.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/ListSeal.h"
#include "engine/Removal.h"
#include "engine/RestartRemoval.h"
#include "engine/SharedCount.h"
#include "engine/Uninstaller.h"
#include "core/Error.h"
#include "core/ShownText.h"
#include "platform/doubles/FakePlatform.h"
#include "platform/doubles/FakeStartMenu.h"

namespace {

const char* const Dest = "C:\\App";
const char* const Programs = "C:\\Menu\\Programs";
const char* const Uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App";
const char* const Counters = "Software\\Brenvolt\\Skorvel\\Counters";
const char* const SharedDlls = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// A list as the installation leaves it: the file, and its digest.
void PutList(TFakePlatform& fake, const std::string& text, const std::string& dest = Dest)
{
    fake.Disk.Put(dest + "\\Pellwick.lst", text);
    StoreListSeal(dest, text);
}

class RemovalTest : public ::testing::Test {
protected:
    RemovalTest()
    {
        Fake.Disk.MakeDirs("C:\\WINDOWS");
        Fake.Disk.Put("C:\\App\\Pellwick.upi", "[Uninstall]\r\nDisplayName=App 1.0\r\n");
    }

    // An installation as the run lists it: a folder, a product file, a
    // shared file, a group with an item, product values, the uninstall entry.
    void Install(int sharedCount = 1)
    {
        Fake.Disk.Put("C:\\App\\bin\\app.exe", "app");
        Fake.Disk.Put("C:\\WINDOWS\\shared.dll", "dll");
        Fake.Disk.Put("C:\\Menu\\Programs\\App\\App Tool.lnk", "link");
        Fake.Registry.SetString(RegRoot::CurrentUser, "Software\\App\\Owner", "Name", "Ann");
        Fake.Registry.SetString(RegRoot::LocalMachine, Uninstall, "DisplayName", "App 1.0");
        Fake.Registry.SetString(RegRoot::LocalMachine, Uninstall, "UninstallString",
                                "C:\\WINDOWS\\Skorvel.exe C:\\App");
        Fake.Registry.SetString(RegRoot::CurrentUser, Counters, "shared.dll", std::to_string(sharedCount));
        Fake.Registry.SetDWord(RegRoot::LocalMachine, SharedDlls, "C:\\WINDOWS\\shared.dll", sharedCount);
        List.Add(TListKind::Folder, "C:\\App");
        List.Add(TListKind::Folder, "C:\\App\\bin");
        List.Add(TListKind::SystemFile, "C:\\WINDOWS\\shared.dll", "shared.dll");
        List.Add(TListKind::File, "C:\\App\\bin\\app.exe");
        List.Add(TListKind::Group, "App");
        List.Add(TListKind::Item, "App Tool", "App");
        List.Add(TListKind::Key, "HKCU\\Software\\App");
        List.Add(TListKind::Key, "HKCU\\Software\\App\\Owner");
        List.Add(TListKind::Value, "Name", "HKCU\\Software\\App\\Owner");
        List.Add(TListKind::Key, std::string("HKLM\\") + Uninstall);
        List.Add(TListKind::Value, "DisplayName", std::string("HKLM\\") + Uninstall);
        List.Add(TListKind::Value, "UninstallString", std::string("HKLM\\") + Uninstall);
        List.Add(TListKind::Key, "HKCU\\Software\\Brenvolt\\Skorvel");
        List.Add(TListKind::Key, std::string("HKCU\\") + Counters);
        WriteList();
    }
    void WriteList() { PutList(Fake, List.Text()); }

    TRemoval& Remove()
    {
        removal_ = std::make_unique<TRemoval>(Dest, Programs);
        removal_->Load();
        removal_->Perform();
        return *removal_;
    }
    // The machine's count of a file, -1 for none.
    std::int32_t Machine(const std::string& path) { return MachineCount(path); }
    std::string Counter(const std::string& name)
    {
        std::string text;
        return Fake.Registry.GetString(RegRoot::CurrentUser, Counters, name, text) ? text : "(none)";
    }
    // Where a line stands in the removal's log.
    std::size_t LogAt(const std::string& line)
    {
        const auto& log = removal_->Log();
        for (std::size_t i = 0; i < log.size(); ++i)
            if (log[i] == line) return i;
        ADD_FAILURE() << "not in the log: " << line;
        return log.size();
    }

    TFakePlatform Fake;
    TInstallList List;

private:
    std::unique_ptr<TRemoval> removal_;
};

}  // namespace

TEST_F(RemovalTest, EverythingListedGoesAndTheUsersOwnFileStaysNamed)
{
    Install();
    Fake.Disk.Put("C:\\App\\notes.txt", "mine");
    Fake.Registry.SetString(RegRoot::CurrentUser, "Software\\Other", "Keep", "1");
    TRemoval& r = Remove();
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\App\\bin\\app.exe"));
    EXPECT_FALSE(Fake.Disk.DirExists("C:\\App\\bin"));
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\WINDOWS\\shared.dll"));
    EXPECT_FALSE(Fake.Disk.DirExists("C:\\Menu\\Programs\\App"));
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\App\\Pellwick.lst"));
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\App\\Pellwick.upi"));
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::CurrentUser, "Software\\App"));
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::LocalMachine, Uninstall));
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::CurrentUser, "Software\\Brenvolt\\Skorvel"));
    EXPECT_TRUE(Fake.Registry.KeyExists(RegRoot::CurrentUser, "Software\\Other"));
    EXPECT_EQ("mine", Fake.Disk.Get("C:\\App\\notes.txt"));
    ASSERT_EQ(1u, r.Left().size());
    EXPECT_EQ("C:\\App", r.Left()[0].What);
    EXPECT_EQ("it holds files the installation did not make: notes.txt", r.Left()[0].Reason);
    EXPECT_EQ("App 1.0 was removed, but for what follows:\r\n\r\n"
              "C:\\App: it holds files the installation did not make: notes.txt",
              RemovalReport(r.DisplayName(), r.Left()));
}

TEST_F(RemovalTest, ItemsThenFilesThenValuesThenTheEntryThenCountsThenRecordsThenFolders)
{
    Install();
    Remove();
    std::size_t item = LogAt("removed C:\\Menu\\Programs\\App\\App Tool.lnk");
    std::size_t file = LogAt("removed C:\\App\\bin\\app.exe");
    std::size_t value = LogAt("removed HKCU\\Software\\App\\Owner Name");
    std::size_t key = LogAt("removed HKCU\\Software\\App\\Owner");
    std::size_t entry = LogAt("removed HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App UninstallString");
    std::size_t count = LogAt("counted down shared.dll to 0");
    std::size_t shared = LogAt("removed C:\\WINDOWS\\shared.dll");
    std::size_t counters = LogAt("removed HKCU\\Software\\Brenvolt\\Skorvel\\Counters");
    std::size_t list = LogAt("removed C:\\App\\Pellwick.lst");
    std::size_t record = LogAt("removed C:\\App\\pellwick.upi");
    std::size_t bin = LogAt("removed C:\\App\\bin");
    std::size_t dest = LogAt("removed C:\\App");
    EXPECT_LT(item, file);
    EXPECT_LT(file, value);
    EXPECT_LT(value, key);
    EXPECT_LT(key, entry);
    // A count goes once its file's deletion is done.
    EXPECT_LT(entry, shared);
    EXPECT_LT(shared, count);
    EXPECT_LT(count, counters);
    EXPECT_LT(counters, list);
    EXPECT_LT(list, record);
    EXPECT_LT(record, bin);
    EXPECT_LT(bin, dest);
}

TEST_F(RemovalTest, ASharedFileGoesWithItsLastCountOnly)
{
    struct Case {
        TListKind kind;
        const char* count;  // nullptr: no counter
        int machine;        // the machine's count, -1: none
        const char* after;
        int machineAfter;
        bool fileStays;
        bool named;
    } cases[] = {
        {TListKind::SystemFile, "2", 2, "1", 1, true, false},
        {TListKind::SystemFile, "1", 1, "(none)", -1, false, false},
        {TListKind::SystemFile, "0x1F", 31, "30", 30, true, false},
        // There before any count: the count goes, the file stays.
        {TListKind::CountedFile, "1", 2, "(none)", 1, true, false},
        // Another account's product counts it on the machine.
        {TListKind::SystemFile, "1", 2, "(none)", 1, true, false},
        // This account has no count: the machine's alone decides.
        {TListKind::SystemFile, nullptr, 1, "(none)", -1, false, false},
        {TListKind::SystemFile, nullptr, 3, "(none)", 2, true, false},
        // Without the machine's count nobody can tell who else uses it.
        {TListKind::SystemFile, "1", -1, "(none)", -1, true, true},
        {TListKind::SystemFile, nullptr, -1, "(none)", -1, true, true},
    };
    for (const Case& c : cases) {
        std::string why = std::string(c.count ? c.count : "-") + "/" + std::to_string(c.machine);
        Fake.Disk.Put("C:\\App\\Pellwick.upi", "");
        Fake.Disk.Put("C:\\WINDOWS\\x.dll", "x");
        Fake.Registry.DeleteKey(RegRoot::CurrentUser, Counters);
        Fake.Registry.DeleteKey(RegRoot::LocalMachine, SharedDlls);
        if (c.count != nullptr) Fake.Registry.SetString(RegRoot::CurrentUser, Counters, "x.dll", c.count);
        if (c.machine >= 0) Fake.Registry.SetDWord(RegRoot::LocalMachine, SharedDlls, "C:\\WINDOWS\\x.dll", c.machine);
        List = TInstallList();
        List.Add(c.kind, "C:\\WINDOWS\\x.dll", "x.dll");
        WriteList();
        TRemoval& r = Remove();
        EXPECT_EQ(c.after, Counter("x.dll")) << why;
        EXPECT_EQ(c.machineAfter, Machine("C:\\WINDOWS\\x.dll")) << why;
        EXPECT_EQ(c.fileStays, Fake.Disk.FileExists("C:\\WINDOWS\\x.dll")) << why;
        EXPECT_EQ(c.named, r.Left().size() == 1 && r.Left()[0].Reason.find("no shared-use count of the machine's") == 0) << why;
    }
}

TEST_F(RemovalTest, TwoCountsOfOneProductAreBothTakenBack)
{
    Install(2);
    List.Add(TListKind::SystemFile, "C:\\WINDOWS\\shared.dll", "shared.dll");
    WriteList();
    Remove();
    EXPECT_EQ("(none)", Counter("shared.dll"));
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\WINDOWS\\shared.dll"));
}

TEST_F(RemovalTest, NamesOutsideWhatAnInstallationMakesAreNotFollowed)
{
    Fake.Disk.Put("C:\\WINDOWS\\win.ini", "system");
    Fake.Disk.Put("C:\\Other\\data.txt", "other");
    Fake.Registry.SetString(RegRoot::LocalMachine, "SOFTWARE\\Vendor", "Licence", "x");
    Fake.Registry.SetString(RegRoot::CurrentUser, Counters, "win.ini", "1");
    Fake.Registry.SetString(RegRoot::CurrentUser, Counters, "data.txt", "1");
    struct Case {
        TListKind kind;
        const char* name;
        const char* of;
    } cases[] = {
        {TListKind::File, "C:\\WINDOWS\\win.ini", ""},
        {TListKind::File, "C:\\App\\..\\WINDOWS\\win.ini", ""},
        {TListKind::File, "C:\\Other\\data.txt", ""},
        {TListKind::SystemFile, "C:\\Other\\data.txt", "data.txt"},
        {TListKind::Value, "Licence", "HKLM\\SOFTWARE\\Vendor"},
        {TListKind::Folder, "C:\\App\\..\\Other", ""},
    };
    for (const Case& c : cases) List.Add(c.kind, c.name, c.of);
    WriteList();
    TRemoval& r = Remove();
    EXPECT_EQ("system", Fake.Disk.Get("C:\\WINDOWS\\win.ini"));
    EXPECT_EQ("other", Fake.Disk.Get("C:\\Other\\data.txt"));
    std::string text;
    EXPECT_TRUE(Fake.Registry.GetString(RegRoot::LocalMachine, "SOFTWARE\\Vendor", "Licence", text));
    std::size_t outside = 0;
    for (const TLeftBehind& l : r.Left())
        outside += l.Reason == "it lies outside what the installation made, so it was not touched";
    // Each entry, and the key the value's line brings along.
    EXPECT_EQ(7u, outside);
}

// Code page 932: a destination and names whose characters end in the byte
// of "\\" are inside, not doubled separators or a trailing backslash.
TEST_F(RemovalTest, NamesWhoseCharactersEndInABackslashByteAreInside)
{
    Fake.Locale.UseCodePage(932);
    const std::string dest = "C:\\pw\\\x97\x5C\x8EZ\x95\x5C";  // ends in the second byte 0x5C
    const std::string sub = dest + "\\\x83\x5C\x83t\x83g";
    Fake.Disk.Put(dest + "\\Pellwick.upi", "[Uninstall]\r\nDisplayName=App\r\n");
    Fake.Disk.Put(sub + "\\\x95\x5C.txt", "x");
    TInstallList list;
    list.Add(TListKind::Folder, dest);
    list.Add(TListKind::Folder, sub);
    list.Add(TListKind::File, sub + "\\\x95\x5C.txt");
    PutList(Fake, list.Text(), dest);
    TRemoval removal(dest, Programs);
    removal.Load();
    removal.Perform();
    EXPECT_TRUE(removal.Left().empty()) << removal.Left().front().What << ": " << removal.Left().front().Reason;
    EXPECT_FALSE(Fake.Disk.FileExists(sub + "\\\x95\x5C.txt"));
    EXPECT_FALSE(Fake.Disk.DirExists(dest));
}

TEST_F(RemovalTest, WithoutAListNothingIsTouchedAndTheBoxSaysWhy)
{
    struct Case {
        const char* why;
        const char* dest;
        bool record;
        const char* list;  // nullptr: none
        const char* says;
        bool sealed = true;
    } cases[] = {
        {"no folder named", "", true, nullptr, "No folder was named"},
        {"removed before", "C:\\App", false, nullptr, "There is nothing left to remove in C:\\App."},
        {"an older installation", "C:\\App", true, nullptr,
         "C:\\App holds no list of what was installed (the product was installed by an earlier Pellwick)"},
        {"a list that is none", "C:\\App", true, "garbage", "The list of what was installed, C:\\App\\Pellwick.lst, cannot be read."},
        {"a list without its digest", "C:\\App", true, "", "The list of what was installed, C:\\App\\Pellwick.lst, is not the one", false},
    };
    for (const Case& c : cases) {
        Fake.Disk.Remove("C:\\App\\Pellwick.upi");
        Fake.Disk.Remove("C:\\App\\Pellwick.lst");
        Fake.Disk.Put("C:\\App\\bin\\app.exe", "app");
        if (c.record) Fake.Disk.Put("C:\\App\\Pellwick.upi", "[Uninstall]\r\n");
        TInstallList list;
        list.Add(TListKind::File, "C:\\App\\bin\\app.exe");
        Fake.Registry.DeleteKey(RegRoot::LocalMachine, ListSealsKey);
        if (c.list != nullptr && c.sealed) PutList(Fake, *c.list ? c.list : list.Text());
        if (c.list != nullptr && !c.sealed) Fake.Disk.Put("C:\\App\\Pellwick.lst", list.Text());
        TRemoval removal(c.dest, Programs);
        try {
            removal.Load();
            ADD_FAILURE() << c.why << ": no refusal";
        } catch (const EError& e) {
            EXPECT_EQ(0u, e.Message().find(c.says)) << c.why << ": " << e.Message();
        }
        EXPECT_TRUE(Fake.Disk.FileExists("C:\\App\\bin\\app.exe")) << c.why;
    }
}

TEST_F(RemovalTest, AFileInUseGoesAtRestartAFileThatCannotGoStaysListedForAnotherTry)
{
    Install();
    Fake.Disk.Put("C:\\App\\busy.txt", "busy");
    Fake.Disk.Find("C:\\App\\busy.txt")->Locked = true;
    List.Add(TListKind::File, "C:\\App\\busy.txt");
    Fake.Disk.Put("C:\\App\\stuck.txt", "stuck");
    List.Add(TListKind::File, "C:\\App\\stuck.txt");
    WriteList();
    struct : TFakeCleanup {
        using TFakeCleanup::TFakeCleanup;
        unsigned long RemoveFile(const std::string& path) override
        {
            return path.find("stuck") == std::string::npos ? TFakeCleanup::RemoveFile(path) : 5;
        }
        // A file refused to everyone cannot be set to go at the restart either.
        bool DeleteAtRestart(const std::string& path) override
        {
            return path.find("stuck") == std::string::npos && TFakeCleanup::DeleteAtRestart(path);
        }
    } cleanup{Fake.Disk, Fake.Registry};
    Sys().Cleanup = &cleanup;
    TRemoval& r = Remove();
    EXPECT_EQ(std::vector<std::string>{"C:\\App\\busy.txt"}, cleanup.AtRestart);
    ASSERT_LE(2u, r.Left().size());
    EXPECT_EQ("C:\\App\\stuck.txt", r.Left()[0].What);
    EXPECT_EQ("access was denied", r.Left()[0].Reason);
    EXPECT_EQ("C:\\App\\busy.txt", r.Left()[1].What);
    EXPECT_EQ("it is in use; it goes when Windows restarts", r.Left()[1].Reason);
    // The record stays and the list names only what another try may take.
    EXPECT_TRUE(Fake.Disk.FileExists("C:\\App\\Pellwick.upi"));
    TInstallList left;
    ASSERT_TRUE(left.Read(Fake.Disk.Get("C:\\App\\Pellwick.lst")));
    ASSERT_EQ(1u, left.Entries.size());
    EXPECT_EQ("C:\\App\\stuck.txt", left.Entries[0].Name);
}

TEST_F(RemovalTest, KeysAndGroupsHoldingWhatOthersMadeStayAndAreNamed)
{
    Install();
    Fake.Registry.SetString(RegRoot::CurrentUser, "Software\\App\\Owner", "Theme", "dark");
    Fake.Disk.Put("C:\\Menu\\Programs\\App\\Mine.lnk", "link");
    // Another product's count keeps the counters' keys, unnamed.
    Fake.Registry.SetString(RegRoot::CurrentUser, Counters, "other.dll", "1");
    TRemoval& r = Remove();
    std::string theme;
    EXPECT_TRUE(Fake.Registry.GetString(RegRoot::CurrentUser, "Software\\App\\Owner", "Theme", theme));
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\Menu\\Programs\\App\\App Tool.lnk"));
    EXPECT_TRUE(Fake.Disk.FileExists("C:\\Menu\\Programs\\App\\Mine.lnk"));
    EXPECT_EQ("1", Counter("other.dll"));
    std::vector<std::string> named;
    for (const TLeftBehind& l : r.Left()) named.push_back(l.What + ": " + l.Reason);
    EXPECT_EQ((std::vector<std::string>{
                  "Program group App: it holds items the installation did not make",
                  "HKCU\\Software\\App\\Owner: it holds entries the installation did not make",
                  "HKCU\\Software\\App: it holds entries the installation did not make"}),
              named);
}

TEST_F(RemovalTest, TheUninstallEntryGoesWhenItNamesThisFolderHoweverSpelt)
{
    Install();
    Fake.Registry.SetString(RegRoot::LocalMachine, Uninstall, "UninstallString",
                            "c:\\windows\\skorvel.exe c:\\APP\\");
    Remove();
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::LocalMachine, Uninstall));
}

TEST_F(RemovalTest, AnUninstallEntryTakenOverByAnotherFolderStays)
{
    Install();
    Fake.Registry.SetString(RegRoot::LocalMachine, Uninstall, "UninstallString",
                            "C:\\WINDOWS\\Skorvel.exe D:\\App");
    TRemoval& r = Remove();
    std::string text;
    EXPECT_TRUE(Fake.Registry.GetString(RegRoot::LocalMachine, Uninstall, "DisplayName", text));
    ASSERT_EQ(1u, r.Left().size());
    EXPECT_EQ("it now stands for the installation that C:\\WINDOWS\\Skorvel.exe D:\\App removes",
              r.Left()[0].Reason);
}

TEST_F(RemovalTest, WithoutAGroupFolderTheProgramManagerRemovesTheItemsAndGroup)
{
    Install();
    Fake.Disk.Remove("C:\\Menu\\Programs\\App\\App Tool.lnk");
    Fake.Disk.RemoveDir("C:\\Menu\\Programs\\App");
    Remove();
    EXPECT_EQ((std::vector<std::string>{"[ShowGroup(App,1)]\r\n", "[DeleteItem(App Tool)]\r\n",
                                        "[DeleteGroup(App)]\r\n"}),
              Fake.ProgramManager.Sent);

    // A group the program manager does not know is gone already: no item
    // is sent (a program manager without a current group may fall over).
    Fake.ProgramManager.Sent.clear();
    Fake.ProgramManager.RefuseNext = 1;
    Fake.Disk.Put("C:\\App\\Pellwick.upi", "");
    WriteList();
    TRemoval& again = Remove();
    EXPECT_TRUE(Fake.ProgramManager.Sent.empty());
    for (const TLeftBehind& l : again.Left()) EXPECT_EQ(std::string::npos, l.What.find("App")) << l.What;
}

// A group the shell keeps as a folder, listed by its folder as well, goes
// by the folder's entries wherever it lies: no program manager, each
// shortcut once, nothing named.
TEST_F(RemovalTest, AGroupListedWithItsFolderGoesOnceWithoutTheProgramManager)
{
    for (const std::string programs : {std::string(Programs), Fake.StartMenu.CommonPrograms}) {
        SCOPED_TRACE(programs);
        List = TInstallList();
        Fake.Disk.Put("C:\\App\\Pellwick.upi", "[Uninstall]\r\nDisplayName=App 1.0\r\n");
        Install();
        Fake.Disk.Remove("C:\\Menu\\Programs\\App\\App Tool.lnk");
        Fake.Disk.RemoveDir("C:\\Menu\\Programs\\App");
        const std::string folder = programs + "\\App", link = folder + "\\App Tool.lnk";
        Fake.Disk.Put(link, "link");
        List.Add(TListKind::GroupFolder, folder);
        List.Add(TListKind::Shortcut, link);
        WriteList();
        Fake.ProgramManager.Opens = 0;
        Fake.ProgramManager.Sent.clear();
        TRemoval& r = Remove();
        EXPECT_EQ(0, Fake.ProgramManager.Opens);
        EXPECT_TRUE(Fake.ProgramManager.Sent.empty());
        EXPECT_FALSE(Fake.Disk.FileExists(link));
        EXPECT_FALSE(Fake.Disk.DirExists(folder));
        for (const TLeftBehind& l : r.Left()) ADD_FAILURE() << l.What << ": " << l.Reason;
        EXPECT_EQ(1, std::count(r.Log().begin(), r.Log().end(), "removed " + link));
        EXPECT_EQ(1, std::count(r.Log().begin(), r.Log().end(), "removed " + folder));
    }
}

// A copied file whose size or last-write time is no longer the listed one
// holds the user's work: it stays, named, and so do its folders.
TEST_F(RemovalTest, AFileChangedSinceItWasCopiedStaysNamedWithItsFolders)
{
    enum Change { None, Rewritten, ResizedTimeKept, Gone, HourLater, HourEarlier, TwoHoursLater };
    struct Row {
        const char* what;
        Change change;
        bool stamped;
        bool stays;
    } rows[] = {
        {"untouched", None, true, false},
        {"rewritten at the same size", Rewritten, true, true},
        {"resized, its time put back", ResizedTimeKept, true, true},
        {"changed, listed by an older installation", Rewritten, false, false},
        {"gone already", Gone, true, false},
        // FAT's local times read an hour off after a change of season.
        {"an hour later", HourLater, true, false},
        {"an hour earlier", HourEarlier, true, false},
        {"two hours later", TwoHoursLater, true, true},
    };
    const std::string book = "C:\\App\\data\\book.dat";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        List = TInstallList();
        Fake.Disk.Put("C:\\App\\Pellwick.upi", "[Uninstall]\r\nDisplayName=App 1.0\r\n");
        Fake.Disk.Put(book, "book");
        std::uint64_t copied = Fake.Disk.Find(book)->WriteTime;
        List.Add(TListKind::Folder, "C:\\App");
        List.Add(TListKind::Folder, "C:\\App\\data");
        List.Add(TListKind::File, book).Stamp = row.stamped ? FileStamp(4, copied) : "";
        WriteList();
        if (row.change == Rewritten) Fake.Disk.Put(book, "BOOK");
        if (row.change == ResizedTimeKept) {
            Fake.Disk.Put(book, "book and notes");
            Fake.Disk.Find(book)->WriteTime = copied;
        }
        if (row.change == Gone) Fake.Disk.Remove(book);
        const std::uint64_t hour = 36000000000ull;
        if (row.change == HourLater) Fake.Disk.Find(book)->WriteTime = copied + hour;
        if (row.change == HourEarlier) Fake.Disk.Find(book)->WriteTime = copied - hour;
        if (row.change == TwoHoursLater) Fake.Disk.Find(book)->WriteTime = copied + 2 * hour;
        TRemoval& r = Remove();
        EXPECT_EQ(row.stays, Fake.Disk.FileExists(book));
        EXPECT_EQ(row.stays, Fake.Disk.DirExists("C:\\App\\data"));
        EXPECT_FALSE(Fake.Disk.FileExists("C:\\App\\Pellwick.lst"));
        std::vector<std::string> named;
        for (const TLeftBehind& l : r.Left()) named.push_back(l.What + ": " + l.Reason);
        if (row.stays) {
            ASSERT_FALSE(named.empty());
            EXPECT_EQ(book + ": changed since it was installed", named[0]);
        } else {
            EXPECT_TRUE(named.empty()) << named[0];
        }
    }
}

TEST(ShortcutName, CharactersAFileNameCannotHoldBecomeUnderscoresByCharacter)
{
    TFakePlatform fake;
    EXPECT_EQ("a_b_c_d_ e_.lnk", ShortcutFileName("a:b/c?d* e|"));
    fake.Locale.UseCodePage(932);
    EXPECT_EQ("\x95\x5C_.lnk", ShortcutFileName("\x95\x5C|"));
}

TEST(UninstallerRun, ExitCodesBoxesAndTheQuestion)
{
    struct Case {
        const char* why;
        const char* line;
        bool yes;
        bool userFile;
        const char* trouble;  // "in use": the file is locked; "stop": an error stops the run
        int code;
        std::size_t boxes;  // the question counts as one
        bool removed;
    } cases[] = {
        {"clean", "Skorvel.exe C:\\App", true, false, "", ExitRemoved, 2, true},
        {"something left", "Skorvel.exe C:\\App", true, true, "", ExitSomethingLeft, 2, true},
        {"answered No", "Skorvel.exe C:\\App", false, false, "", ExitNothingDone, 1, false},
        {"silent", "Skorvel.exe /S C:\\App", false, false, "", ExitRemoved, 0, true},
        {"silent, something left", "Skorvel.exe /S C:\\App", false, true, "", ExitSomethingLeft, 0, true},
        {"no list", "Skorvel.exe C:\\Nothing", true, false, "", ExitNothingDone, 1, false},
        {"silent, no list", "Skorvel.exe /S C:\\Nothing", true, false, "", ExitNothingDone, 0, false},
        {"bad switch", "Skorvel.exe /X C:\\App", true, false, "", ExitNothingDone, 1, false},
        {"in use, goes at the restart", "Skorvel.exe /S C:\\App", true, false, "in use", ExitRemovedAtRestart, 0, true},
        {"in use and something left", "Skorvel.exe /S C:\\App", true, true, "in use", ExitSomethingLeft, 0, true},
        {"stopped by an error", "Skorvel.exe /S C:\\App", true, false, "stop", ExitStopped, 0, true},
        {"the uninstaller itself goes at the restart", "Skorvel.exe /S C:\\App", true, false, "self",
         ExitRemovedAtRestart, 0, true},
    };
    for (const Case& c : cases) {
        TFakePlatform fake;
        fake.Desktop.AnswerYes = c.yes;
        TInstallList list;
        list.Add(TListKind::File, "C:\\App\\a.txt");
        fake.Disk.Put("C:\\App\\a.txt", "a");
        PutList(fake, list.Text());
        fake.Disk.Put("C:\\App\\Pellwick.upi", "[Uninstall]\r\nDisplayName=App 1.0\r\n");
        if (c.userFile) fake.Disk.Put("C:\\App\\mine.txt", "mine");
        if (std::string(c.trouble) == "in use") {
            // A shared file at its last count, loaded by a running program.
            fake.Disk.Put("C:\\WINDOWS\\s.dll", "s");
            fake.Disk.Find("C:\\WINDOWS\\s.dll")->Locked = true;
            fake.Registry.SetString(RegRoot::CurrentUser, Counters, "s.dll", "1");
            fake.Registry.SetDWord(RegRoot::LocalMachine, SharedDlls, "C:\\WINDOWS\\s.dll", 1);
            list.Add(TListKind::SystemFile, "C:\\WINDOWS\\s.dll", "s.dll");
        } else if (std::string(c.trouble) == "self") {
            // The running uninstaller, a shared file at its last count.
            fake.Desktop.Exe = "C:\\WINDOWS\\Skorvel.exe";
            fake.Disk.Put(fake.Desktop.Exe, "exe");
            fake.Disk.Find(fake.Desktop.Exe)->Running = true;
            fake.Registry.SetString(RegRoot::CurrentUser, Counters, "Skorvel.exe", "1");
            fake.Registry.SetDWord(RegRoot::LocalMachine, SharedDlls, fake.Desktop.Exe, 1);
            list.Add(TListKind::SystemFile, fake.Desktop.Exe, "Skorvel.exe");
        } else if (std::string(c.trouble) == "stop") {
            // An uninstall entry whose command is no text stops the run
            // after the files.
            list.Add(TListKind::Key, std::string("HKLM\\") + Uninstall);
            fake.Registry.SetDWord(RegRoot::LocalMachine, Uninstall, "UninstallString", 1);
        }
        PutList(fake, list.Text());
        TRunLog log("C:\\run.log");
        EXPECT_EQ(c.code, RunUninstaller(ParseUninstallArgs(c.line), "", log)) << c.why;
        EXPECT_EQ(c.boxes, fake.Desktop.Boxes.size()) << c.why;
        EXPECT_EQ(!c.removed, fake.Disk.FileExists("C:\\App\\a.txt")) << c.why;
        std::string text = fake.Disk.Get("C:\\run.log"), last = "exit code " + std::to_string(c.code) + "\r\n";
        ASSERT_GE(text.size(), last.size()) << c.why;
        EXPECT_EQ(last, text.substr(text.size() - last.size())) << c.why;
        // What was removed is in the log before the end, as it was done.
        if (c.removed) EXPECT_NE(std::string::npos, text.find("removed C:\\App\\a.txt\r\n")) << c.why;
    }
}

// The exe's whole run: the line from the desktop service, the folder and
// the log taken whole from the current directory, the process moved to
// the Windows directory before anything goes, the Start menu's folder.
TEST(UninstallerRun, SkorvelTakesItsLineFolderLogAndProgramsFolderFromTheServices)
{
    TFakePlatform fake;
    TFakeStartMenu startMenu{fake.Disk};
    Sys().StartMenu = &startMenu;
    fake.Disk.MakeDirs("C:\\WINDOWS");
    fake.Files.Current = "C:\\";
    fake.Files.TempDir = "C:\\Temp\\";
    fake.Disk.MakeDirs("C:\\Temp");
    TInstallList list;
    list.Add(TListKind::File, "C:\\App\\a.txt");
    list.Add(TListKind::Group, "App");
    list.Add(TListKind::Item, "Tool", "App");
    fake.Disk.Put("C:\\App\\a.txt", "a");
    fake.Disk.Put(startMenu.Programs + "\\App\\Tool.lnk", "link");
    PutList(fake, list.Text());
    fake.Disk.Put("C:\\App\\Pellwick.upi", "[Uninstall]\r\nDisplayName=App 1.0\r\n");
    fake.Desktop.Line = "C:\\WINDOWS\\Skorvel.exe App /S";

    EXPECT_EQ(ExitRemoved, RunSkorvel());
    EXPECT_EQ("C:\\WINDOWS", fake.Files.Current);
    EXPECT_FALSE(fake.Disk.FileExists("C:\\App\\a.txt"));
    EXPECT_FALSE(fake.Disk.FileExists(startMenu.Programs + "\\App\\Tool.lnk"));
    EXPECT_TRUE(fake.ProgramManager.Sent.empty());
    std::string log = fake.Disk.Get("C:\\Temp\\Skorvel.log");
    EXPECT_NE(std::string::npos, log.find("removing App 1.0 from C:\\App\r\n")) << log;
}

// A list changed by someone else before an administrator removes the
// product: with its digest matching (Windows 95 and 98, where anyone may
// write the digest too) every name is still held to its place.
TEST_F(RemovalTest, ATamperedListRemovesNothingTheInstallationDidNotMake)
{
    Install();
    struct Case {
        TListKind kind;
        const char* name;
        const char* of;
    } cases[] = {
        {TListKind::File, "c:\\App\\bin/../../Victim/x.txt", ""},
        {TListKind::File, "C:\\APP\\BIN\\..\\..\\Victim\\x.txt", ""},
        {TListKind::File, "\\\\?\\C:\\Victim\\x.txt", ""},
        {TListKind::File, "\\\\localhost\\C$\\Victim\\x.txt", ""},
        {TListKind::File, "C:\\App\\notes.txt:secret", ""},
        {TListKind::File, "C:\\App\\notes.txt.", ""},
        {TListKind::File, "C:\\App\\notes.txt ", ""},
        {TListKind::File, "C:\\App\\NOTES~1.TXT", ""},
        {TListKind::File, "C:\\App\\aux.txt", ""},
        {TListKind::File, "C:\\App\\\\..\\Victim\\x.txt", ""},
        {TListKind::SystemFile, "C:\\WINDOWS\\..\\Victim\\x.txt", "shared.dll"},
        {TListKind::SystemFile, "C:\\WINDOWS\\SYSTEM\\other.dll", "shared.dll"},
        {TListKind::Value, "PATH", "HKCU\\Environment"},
        {TListKind::Value, "Evil", "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"},
        {TListKind::Value, "Licence", "HKCU\\Software\\Vendor"},
        {TListKind::Value, "other.dll", "HKCU\\Software\\Brenvolt\\Skorvel\\Counters"},
        {TListKind::Value, "DisplayName", "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other"},
        {TListKind::Group, "..", ""},
        {TListKind::Group, ".", ""},
        {TListKind::Group, "Startup\\..\\..", ""},
        {TListKind::Folder, "C:\\Menu\\Programs\\Startup", ""},
        {TListKind::Folder, "C:\\Menu", ""},
        {TListKind::Folder, "C:\\WINDOWS", ""},
        {TListKind::Folder, "C:\\", ""},
    };
    Fake.Disk.Put("C:\\Victim\\x.txt", "victim");
    Fake.Disk.Put("C:\\App\\notes.txt", "mine");
    Fake.Disk.Put("C:\\WINDOWS\\SYSTEM\\other.dll", "other");
    Fake.Disk.MakeDirs("C:\\Menu\\Programs\\Startup");
    Fake.Registry.SetString(RegRoot::CurrentUser, "Environment", "PATH", "C:\\WINDOWS");
    Fake.Registry.SetString(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Evil", "x");
    Fake.Registry.SetString(RegRoot::CurrentUser, "Software\\Vendor", "Licence", "x");
    Fake.Registry.SetString(RegRoot::CurrentUser, Counters, "other.dll", "1");
    Fake.Registry.SetString(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other", "DisplayName", "Other");
    for (const Case& c : cases) List.Add(c.kind, c.name, c.of);
    WriteList();
    TRemoval& r = Remove();
    EXPECT_EQ("victim", Fake.Disk.Get("C:\\Victim\\x.txt"));
    EXPECT_EQ("mine", Fake.Disk.Get("C:\\App\\notes.txt"));
    EXPECT_EQ("other", Fake.Disk.Get("C:\\WINDOWS\\SYSTEM\\other.dll"));
    EXPECT_TRUE(Fake.Disk.DirExists("C:\\Menu\\Programs\\Startup"));
    std::string text;
    for (const auto& v : {std::make_pair("Environment", "PATH"), std::make_pair("Software\\Vendor", "Licence"),
                          std::make_pair("Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Evil"),
                          std::make_pair(Counters, "other.dll")})
        EXPECT_TRUE(Fake.Registry.GetString(RegRoot::CurrentUser, v.first, v.second, text)) << v.second;
    EXPECT_TRUE(Fake.Registry.KeyExists(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other"));
    // The program manager is never asked about a group that is no name.
    for (const std::string& sent : Fake.ProgramManager.Sent) EXPECT_EQ(std::string::npos, sent.find('.')) << sent;
    std::size_t outside = 0;
    for (const TLeftBehind& l : r.Left())
        outside += l.Reason == "it lies outside what the installation made, so it was not touched";
    EXPECT_LE(sizeof cases / sizeof cases[0], outside);
    // What the installation made still goes.
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\App\\bin\\app.exe"));
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::CurrentUser, "Software\\App"));
}

TEST_F(RemovalTest, AListChangedSinceItsDigestRemovesNothingAndSaysSo)
{
    Install();
    // Appended by someone else after the installation sealed the list.
    Fake.Disk.Put("C:\\Victim\\x.txt", "victim");
    Fake.Disk.Put("C:\\App\\Pellwick.lst", List.Text() + "File=C:\\App\\..\\Victim\\x.txt\r\n");
    TRunLog log("C:\\run.log");
    EXPECT_EQ(ExitNothingDone, RunUninstaller(ParseUninstallArgs("Skorvel.exe /S C:\\App"), Programs, log));
    EXPECT_TRUE(Fake.Disk.FileExists("C:\\App\\bin\\app.exe"));
    EXPECT_TRUE(Fake.Disk.FileExists("C:\\Victim\\x.txt"));
    EXPECT_TRUE(Fake.Registry.KeyExists(RegRoot::LocalMachine, Uninstall));
    std::string text = Fake.Disk.Get("C:\\run.log");
    EXPECT_NE(std::string::npos, text.find("is not the one the installation wrote")) << text;
}

TEST_F(RemovalTest, NoLinkBelowTheDestinationIsFollowed)
{
    Install();
    // bin is a junction to another folder; data is one too, and listed.
    Fake.Cleanup.Links.push_back("C:\\App\\bin");
    Fake.Disk.Put("C:\\App\\data\\book.dat", "theirs");
    Fake.Cleanup.Links.push_back("C:\\App\\data");
    List.Add(TListKind::Folder, "C:\\App\\data");
    List.Add(TListKind::File, "C:\\App\\data\\book.dat");
    WriteList();
    TRemoval& r = Remove();
    EXPECT_TRUE(Fake.Disk.FileExists("C:\\App\\bin\\app.exe"));
    EXPECT_EQ("theirs", Fake.Disk.Get("C:\\App\\data\\book.dat"));
    EXPECT_TRUE(Fake.Disk.DirExists("C:\\App\\data"));
    std::vector<std::string> named;
    for (const TLeftBehind& l : r.Left()) named.push_back(l.What + ": " + l.Reason);
    EXPECT_NE(named.end(), std::find(named.begin(), named.end(),
                                     "C:\\App\\bin\\app.exe: it lies behind a link to another place, which Skorvel does not follow"));
    EXPECT_NE(named.end(), std::find(named.begin(), named.end(),
                                     "C:\\App\\data: it is a link to another folder, which Skorvel does not follow"));
}

TEST_F(RemovalTest, ReadOnlyFilesGoAtOnceAndAListWithoutItsRecordIsEnough)
{
    Install();
    Fake.Disk.Put("C:\\App\\bin\\app.exe", "app", true);
    Fake.Disk.Remove("C:\\App\\Pellwick.upi");
    TRemoval& r = Remove();
    EXPECT_EQ("App 1.0", r.DisplayName());
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\App\\bin\\app.exe"));
    EXPECT_TRUE(Fake.Cleanup.AtRestart.empty());
    EXPECT_FALSE(Fake.Registry.KeyExists(RegRoot::LocalMachine, Uninstall));
    EXPECT_TRUE(r.Left().empty());
    // The digest goes with the list.
    EXPECT_EQ(TSealCheck::Missing, CheckListSeal(Dest, List.Text()));
}

TEST_F(RemovalTest, WithoutRightsOrWhileAnotherRunChangesTheMachineNothingIsRemoved)
{
    struct Case {
        const char* why;
        bool denied, busy, unwritable;
        int sharedCount;  // of the shared file the product lists
        int code;
        const char* says;
        bool removed;
    } cases[] = {
        {"a standard user", true, false, false, 1, ExitNothingDone, "Removing App 1.0 needs an administrator's rights", false},
        {"another run", false, true, false, 1, ExitMachineBusy, "Another installation or removal is changing this computer", false},
        // The shared file's last count would go, and the file could not.
        {"a Windows folder it may not write", false, false, true, 1, ExitNothingDone,
         "Removing App 1.0 needs an administrator's rights, which this account does not have: its shared files", false},
        // (The list names neither bin nor the entry's value: both stay.)
        {"a Windows folder it may not write, the file still counted", false, false, true, 2, ExitSomethingLeft,
         "counted down s.dll to 1", true},
    };
    for (const Case& c : cases) {
        TFakePlatform fake;
        List = TInstallList();
        fake.Disk.MakeDirs("C:\\WINDOWS");
        fake.Disk.Put("C:\\App\\Pellwick.upi", "[Uninstall]\r\nDisplayName=App 1.0\r\n");
        fake.Disk.Put("C:\\App\\bin\\app.exe", "app");
        fake.Registry.SetString(RegRoot::CurrentUser, "Software\\App", "Name", "Ann");
        fake.Registry.SetString(RegRoot::LocalMachine, Uninstall, "UninstallString", "C:\\WINDOWS\\Skorvel.exe C:\\App");
        List.Add(TListKind::File, "C:\\App\\bin\\app.exe");
        List.Add(TListKind::Key, "HKCU\\Software\\App");
        List.Add(TListKind::Value, "Name", "HKCU\\Software\\App");
        List.Add(TListKind::Key, std::string("HKLM\\") + Uninstall);
        fake.Disk.Put("C:\\WINDOWS\\s.dll", "s");
        fake.Registry.SetString(RegRoot::CurrentUser, Counters, "s.dll", std::to_string(c.sharedCount));
        fake.Registry.SetDWord(RegRoot::LocalMachine, SharedDlls, "C:\\WINDOWS\\s.dll", c.sharedCount);
        List.Add(TListKind::SystemFile, "C:\\WINDOWS\\s.dll", "s.dll");
        PutList(fake, List.Text());
        if (c.denied) fake.Registry.DenyWrite(RegRoot::LocalMachine, Uninstall);
        if (c.unwritable) fake.Cleanup.Unwritable.push_back("C:\\WINDOWS");
        fake.MachineLock.HeldElsewhere = c.busy;
        TRunLog log("C:\\run.log");
        EXPECT_EQ(c.code, RunUninstaller(ParseUninstallArgs("Skorvel.exe /S C:\\App"), Programs, log)) << c.why;
        EXPECT_EQ(!c.removed, fake.Disk.FileExists("C:\\App\\bin\\app.exe")) << c.why;
        EXPECT_EQ(!c.removed, fake.Registry.KeyExists(RegRoot::CurrentUser, "Software\\App")) << c.why;
        EXPECT_EQ(!c.removed, fake.Disk.FileExists("C:\\App\\Pellwick.lst")) << c.why;
        EXPECT_TRUE(fake.Disk.FileExists("C:\\WINDOWS\\s.dll")) << c.why;
        EXPECT_NE(std::string::npos, fake.Disk.Get("C:\\run.log").find(c.says)) << c.why;
        EXPECT_FALSE(fake.MachineLock.Held()) << c.why;
    }
}

TEST_F(RemovalTest, ARunKilledHalfWayCountsNoSharedFileTwice)
{
    Fake.Disk.Put("C:\\WINDOWS\\a.dll", "a");
    Fake.Disk.Put("C:\\WINDOWS\\b.dll", "b");
    Fake.Registry.SetString(RegRoot::CurrentUser, Counters, "a.dll", "2");
    Fake.Registry.SetDWord(RegRoot::LocalMachine, SharedDlls, "C:\\WINDOWS\\a.dll", 2);
    Fake.Registry.SetString(RegRoot::CurrentUser, Counters, "b.dll", "1");
    Fake.Registry.SetDWord(RegRoot::LocalMachine, SharedDlls, "C:\\WINDOWS\\b.dll", 1);
    List.Add(TListKind::SystemFile, "C:\\WINDOWS\\b.dll", "b.dll");
    List.Add(TListKind::SystemFile, "C:\\WINDOWS\\a.dll", "a.dll");
    WriteList();
    // The process ends while b.dll is being deleted, after a.dll was counted.
    struct Killed {};
    struct : TFakeCleanup {
        using TFakeCleanup::TFakeCleanup;
        unsigned long RemoveFile(const std::string& path) override
        {
            if (path.find("b.dll") != std::string::npos) throw Killed();
            return TFakeCleanup::RemoveFile(path);
        }
    } dying{Fake.Disk, Fake.Registry};
    Sys().Cleanup = &dying;
    EXPECT_THROW(Remove(), Killed);
    Sys().Cleanup = &Fake.Cleanup;
    Remove();
    EXPECT_EQ("1", Counter("a.dll"));
    EXPECT_EQ(1, Machine("C:\\WINDOWS\\a.dll"));
    EXPECT_TRUE(Fake.Disk.FileExists("C:\\WINDOWS\\a.dll"));
    EXPECT_FALSE(Fake.Disk.FileExists("C:\\WINDOWS\\b.dll"));
    EXPECT_EQ(-1, Machine("C:\\WINDOWS\\b.dll"));
}

// A file in use goes at the restart, and so do the folders it alone
// keeps, after it: by MoveFileEx on NT, by WININIT.INI's [rename] section
// on 95 and 98, which have no MoveFileEx. A shared file's count goes only
// once its file is set to go.
TEST_F(RemovalTest, WhatIsInUseGoesAtTheRestartByMoveFileExOnNtAndByWininitOn9x)
{
    struct Case {
        const char* why;
        bool nineX, shortNames;
        std::vector<std::string> atRestart;  // MoveFileEx, in order
        const char* wininit;                 // nullptr: none written
        const char* counter;
    } cases[] = {
        {"NT", false, true,
         {"C:\\App\\bin\\busy.dll", "C:\\WINDOWS\\shared.dll", "C:\\App\\bin", "C:\\App"}, nullptr, "(none)"},
        {"98", true, true, {},
         "[rename]\r\nNUL=C:\\APP\\BIN\\BUSYLO~1.DLL\r\nNUL=C:\\WINDOWS\\shared.dll\r\nNUL=C:\\App\\bin\r\nNUL=C:\\App\r\n",
         "(none)"},
        // Nothing the system can be told: the files stay, named, and counted.
        {"98 without short names", true, false, {}, nullptr, "1"},
    };
    for (const Case& c : cases) {
        TFakePlatform fake;
        fake.Disk.MakeDirs("C:\\WINDOWS");
        fake.Disk.Put("C:\\App\\Pellwick.upi", "[Uninstall]\r\nDisplayName=App 1.0\r\n");
        fake.Disk.Put("C:\\App\\bin\\busy.dll", "busy");
        fake.Disk.Find("C:\\App\\bin\\busy.dll")->Locked = true;
        fake.Disk.Put("C:\\WINDOWS\\shared.dll", "dll");
        fake.Disk.Find("C:\\WINDOWS\\shared.dll")->Locked = true;
        fake.Registry.SetString(RegRoot::CurrentUser, Counters, "shared.dll", "1");
        fake.Registry.SetDWord(RegRoot::LocalMachine, SharedDlls, "C:\\WINDOWS\\shared.dll", 1);
        TInstallList list;
        list.Add(TListKind::Folder, "C:\\App");
        list.Add(TListKind::Folder, "C:\\App\\bin");
        list.Add(TListKind::SystemFile, "C:\\WINDOWS\\shared.dll", "shared.dll");
        list.Add(TListKind::File, "C:\\App\\bin\\busy.dll");
        PutList(fake, list.Text());
        fake.Cleanup.NineX = c.nineX;
        fake.Cleanup.ShortNames["C:\\App\\bin\\busy.dll"] = c.shortNames ? "C:\\APP\\BIN\\BUSYLO~1.DLL" : "";
        fake.Cleanup.ShortNames["C:\\WINDOWS\\shared.dll"] = c.shortNames ? "C:\\WINDOWS\\shared.dll" : "";
        TRunLog log;
        int code = RunUninstaller(ParseUninstallArgs("Skorvel.exe /S C:\\App"), Programs, log);
        EXPECT_EQ(std::string(c.counter) == "1" ? ExitSomethingLeft : ExitRemovedAtRestart, code) << c.why;
        EXPECT_EQ(c.atRestart, fake.Cleanup.AtRestart) << c.why;
        EXPECT_EQ(c.wininit != nullptr, fake.Disk.FileExists("C:\\WINDOWS\\WININIT.INI")) << c.why;
        if (c.wininit) EXPECT_EQ(c.wininit, fake.Disk.Get("C:\\WINDOWS\\WININIT.INI")) << c.why;
        EXPECT_EQ(c.counter, [&] {
            std::string text;
            return fake.Registry.GetString(RegRoot::CurrentUser, Counters, "shared.dll", text) ? text : "(none)";
        }()) << c.why;
    }
}

TEST(WininitText, NulLinesGoAtTheEndOfTheRenameSectionOthersStayAsTheyAre)
{
    struct Case {
        const char* before;
        const char* after;
    } cases[] = {
        {"", "[rename]\r\nNUL=C:\\X.TMP\r\n"},
        {"[rename]\r\nNUL=C:\\A.TMP\r\n", "[rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\X.TMP\r\n"},
        // Blank lines and the next section stay behind the new line.
        {"[Rename]\r\nNUL=C:\\A.TMP\r\n\r\n[Other]\r\nk=v\r\n",
         "[Rename]\r\nNUL=C:\\A.TMP\r\nNUL=C:\\X.TMP\r\n\r\n[Other]\r\nk=v\r\n"},
        {" [RENAME] \r\n[x]\r\n", " [RENAME] \r\nNUL=C:\\X.TMP\r\n[x]\r\n"},
        {"[other]\r\nk=v", "[other]\r\nk=v\r\n[rename]\r\nNUL=C:\\X.TMP\r\n"},
        {"[rename]\nNUL=C:\\A.TMP", "[rename]\nNUL=C:\\A.TMP\r\nNUL=C:\\X.TMP\r\n"},
        // A key that only starts like the section is another one.
        {"[renamed]\r\n", "[renamed]\r\n[rename]\r\nNUL=C:\\X.TMP\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.after, WininitWithRemoval(c.before, "C:\\X.TMP")) << c.before;
}

// Skorvel.exe in the Windows folder is a shared file the last removal
// takes, and it cannot go while it runs: it runs a copy of itself from a
// folder of its own, which renames it aside and sets that name to go at
// the restart, so that a fresh Skorvel.exe put there before then stays.
TEST(UninstallerRun, TheRemovalRunsFromAPrivateCopyWhichSetsTheRunningUninstallerToGo)
{
    struct Case {
        const char* why;
        bool nineX, leftover, folders;
        unsigned long startError;
        bool copied;
        const char* aside;  // what the running uninstaller is renamed to
        const char* logged;
    } cases[] = {
        {"NT", false, false, true, 0, true, "C:\\WINDOWS\\~Skor001.tmp", "running from a private copy, C:\\TEMP\\sk1\\Skorvel.exe"},
        {"an earlier one still due", false, true, true, 0, true, "C:\\WINDOWS\\~Skor002.tmp", "running from a private copy"},
        {"98", true, false, true, 0, true, "C:\\WINDOWS\\~Skor001.tmp", "running from a private copy"},
        // Without a copy it runs in place, and renames itself the same way.
        {"no folder", false, false, false, 0, false, "C:\\WINDOWS\\~Skor001.tmp", "no folder for a private copy could be made"},
        {"not started", false, false, true, 5, false, "C:\\WINDOWS\\~Skor001.tmp",
         "C:\\TEMP\\sk1\\Skorvel.exe: access was denied; running in place"},
        // Held open by another program as well: it goes at the restart by its own name.
        {"held open", false, false, true, 0, true, "C:\\WINDOWS\\Skorvel.exe", "removed at the next restart C:\\WINDOWS\\Skorvel.exe"},
    };
    for (const Case& c : cases) {
        TFakePlatform fake;
        fake.Disk.MakeDirs("C:\\TEMP");
        fake.Files.TempDir = "C:\\TEMP\\";
        fake.Disk.Put("C:\\WINDOWS\\Skorvel.exe", "uninstaller");
        // Running: Windows refuses to delete it, not to rename it.
        fake.Disk.Find("C:\\WINDOWS\\Skorvel.exe")->Running = true;
        fake.Disk.Find("C:\\WINDOWS\\Skorvel.exe")->Locked = std::string(c.why) == "held open";
        if (c.leftover) fake.Disk.Put("C:\\WINDOWS\\~Skor001.tmp", "older");
        fake.Registry.SetString(RegRoot::CurrentUser, Counters, "Skorvel.exe", "1");
        fake.Registry.SetDWord(RegRoot::LocalMachine, SharedDlls, "C:\\WINDOWS\\Skorvel.exe", 1);
        TInstallList list;
        list.Add(TListKind::SystemFile, "C:\\WINDOWS\\Skorvel.exe", "Skorvel.exe");
        list.Add(TListKind::File, "C:\\App\\a.txt");
        fake.Disk.Put("C:\\App\\a.txt", "a");
        PutList(fake, list.Text());
        fake.Cleanup.NineX = c.nineX;
        fake.PrivateCopy.Folders = c.folders;
        fake.PrivateCopy.StartError = c.startError;
        fake.Desktop.Exe = "C:\\WINDOWS\\Skorvel.exe";
        fake.Desktop.Line = "C:\\WINDOWS\\Skorvel.exe /S App";
        fake.Files.Current = "C:\\";
        // The copy: this very run again, as the system would start it.
        fake.PrivateCopy.Run = [&fake](const std::string& line) {
            const TFakePrivateCopy::Started& started = fake.PrivateCopy.Runs.back();
            fake.Desktop.Exe = started.Program;
            fake.Desktop.Line = line;
            fake.Files.Current = started.CurrentDir;
            return RunSkorvel();
        };

        // The renamed uninstaller waits for the restart.
        EXPECT_EQ(ExitRemovedAtRestart, RunSkorvel()) << c.why;
        EXPECT_EQ(c.copied ? 1u : 0u, fake.PrivateCopy.Runs.size()) << c.why;
        if (c.copied) EXPECT_EQ("C:\\", fake.PrivateCopy.Runs[0].CurrentDir) << c.why;
        EXPECT_FALSE(fake.Disk.FileExists("C:\\App\\a.txt")) << c.why;
        EXPECT_EQ(std::string(c.aside) == "C:\\WINDOWS\\Skorvel.exe", fake.Disk.FileExists("C:\\WINDOWS\\Skorvel.exe")) << c.why;
        EXPECT_EQ("uninstaller", fake.Disk.Get(c.aside)) << c.why;
        if (c.nineX)
            EXPECT_NE(std::string::npos, fake.Disk.Get("C:\\WINDOWS\\WININIT.INI").find(std::string("NUL=") + c.aside)) << c.why;
        else
            EXPECT_EQ(std::vector<std::string>{c.aside}, fake.Cleanup.AtRestart) << c.why;
        std::string count;
        EXPECT_FALSE(fake.Registry.GetString(RegRoot::CurrentUser, Counters, "Skorvel.exe", count)) << c.why;
        // The copy and its folder are gone; nothing else is in TEMP but the log.
        EXPECT_EQ(std::vector<std::string>{"Skorvel.log"}, fake.Cleanup.Entries("C:\\TEMP")) << c.why;
        std::string text = fake.Disk.Get("C:\\TEMP\\Skorvel.log");
        EXPECT_NE(std::string::npos, text.find(c.logged)) << c.why << "\n" << text;
        EXPECT_EQ(std::string::npos, text.find("left C:\\WINDOWS\\Skorvel.exe")) << c.why << "\n" << text;
    }
}
