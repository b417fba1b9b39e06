// Files as users and control files name them: the rules the installation
// run relies on, checked on the double and on the system alike.
#include <gtest/gtest.h>

#include "TestEnv.h"
#include "core/Text.h"

namespace {

class FilesGroup : public ::testing::Test {
protected:
    std::string Path(const std::string& name) { return TestEnv().ScratchFile(name); }
    IFileSystem& Files() { return TestEnv().Files(); }
};

TEST_F(FilesGroup, SameFileFollowsTheSystemsNormalisation)
{
    TestEnv().PutFile(Path("same.txt"), "s");
    struct Case {
        std::string other;
        bool same;
    } cases[] = {
        {Path("same.txt"), true},
        {Path("SAME.TXT"), true},                 // case
        {Path("sub\\..\\same.txt"), true},        // ".."
        {Path(".\\same.txt"), true},              // "."
        {Path("\\same.txt"), true},               // a doubled backslash
        {Path("same.txt "), true},                // a blank at the end
        {Path("other.txt"), false},
        {Path("same.txt\\x"), false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.same, Files().SameFile(Path("same.txt"), c.other)) << c.other;
    TestEnv().RemoveFile(Path("same.txt"));
}

TEST_F(FilesGroup, CopiesThatCannotMakeTheNamedFileFailOrVanish)
{
    TestEnv().PutFile(Path("from.txt"), "f");
    // A file copied onto itself is in use as its own source.
    EXPECT_EQ(32u, Files().Copy(Path("from.txt"), Path("FROM.TXT"), false));
    EXPECT_EQ(80u, Files().Copy(Path("from.txt"), Path("from.txt"), true));
    // A character no name may hold.
    EXPECT_EQ(123u, Files().Copy(Path("from.txt"), Path("a|b.txt"), false));
    // A folder part ending in a blank: the system drops it only from the
    // last part, so the folder is made as "tern" and the copy finds none.
    Files().MakeDirectory(Path("tern "));
    EXPECT_TRUE(Files().DirectoryExists(Path("tern")));
    EXPECT_EQ(3u, Files().Copy(Path("from.txt"), Path("tern \\to.txt"), false));
    // Names kept for devices take the bytes and report success.
    for (const char* device : {"aux.h", "nul", "com1.log"})
        EXPECT_EQ(0u, Files().Copy(Path("from.txt"), Path(device), false)) << device;
    TestEnv().RemoveFile(Path("from.txt"));
}

// The silent run's log: made where missing, added to at its end, never
// cut; a file it cannot open is told by the system's error.
TEST_F(FilesGroup, AppendedTextGoesAtTheEndOfTheFile)
{
    std::string log = Path("run.log");
    TestEnv().RemoveFile(log);
    EXPECT_EQ(0u, Files().AppendText(log, "one\r\n"));
    EXPECT_EQ(0u, Files().AppendText(log, "two\r\n"));
    std::string locked = Path("locked.log");
    TestEnv().PutFile(locked, "held\r\n");
    TestEnv().Lock(locked);
    EXPECT_EQ(32u, Files().AppendText(locked, "lost\r\n"));  // in use by another program
    TestEnv().Unlock(locked);
    EXPECT_EQ(0u, Files().AppendText(locked, "after\r\n"));
    EXPECT_EQ(3u, Files().AppendText(TestEnv().MissingDirFile(), "x"));
    // A second run's lines follow the first's.
    EXPECT_EQ(0u, Files().AppendText(log, "three\r\n"));
    Files().AppendText(TestEnv().MissingDirFile(), "");  // lets go of the last file
    EXPECT_EQ("one\r\ntwo\r\nthree\r\n", TestEnv().GetFile(log));
    EXPECT_EQ("held\r\nafter\r\n", TestEnv().GetFile(locked));
    TestEnv().RemoveFile(log);
    TestEnv().RemoveFile(locked);
}

TEST_F(FilesGroup, DoubledBackslashesAreOneSeparator)
{
    // A kept prefix may hold them from an earlier run: what counts is
    // that the folder is there, under its one-backslash name.
    Files().MakeDirectory(Path("twin"));
    Files().MakeDirectory(Path("twin\\\\deep"));
    EXPECT_TRUE(Files().DirectoryExists(Path("twin\\deep")));
    EXPECT_FALSE(Files().DirectoryExists(Path("twin\\deeper")));
}

TEST_F(FilesGroup, ErrorTextIsTheSystemsWordsOrNothing)
{
    for (unsigned long error : {6ul, 32ul, 123ul}) EXPECT_FALSE(Files().ErrorText(error).empty()) << error;
    EXPECT_EQ("", Files().ErrorText(1234567ul));
}

}  // namespace

namespace {

// The removals the uninstaller relies on, by the error each gives.
TEST_F(FilesGroup, RemovalsTakeOnlyWhatTheyMayAndSayWhyNot)
{
    Files().MakeDirectory(Path("gone"));
    TestEnv().PutFile(Path("gone\\a.txt"), "a");
    // A folder with something in it stays.
    EXPECT_EQ(145u, TestEnv().Cleanup().RemoveFolder(Path("gone")));
    std::vector<std::string> entries = TestEnv().Cleanup().Entries(Path("gone"));
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ("A.TXT", AsciiUpper(entries[0]));
    // A file held open without sharing stays.
    TestEnv().Lock(Path("gone\\a.txt"));
    EXPECT_EQ(32u, TestEnv().Cleanup().RemoveFile(Path("gone\\a.txt")));
    TestEnv().Unlock(Path("gone\\a.txt"));
    EXPECT_EQ(0u, TestEnv().Cleanup().RemoveFile(Path("gone\\a.txt")));
    // What is not there is told apart from a refusal.
    EXPECT_EQ(2u, TestEnv().Cleanup().RemoveFile(Path("gone\\a.txt")));
    EXPECT_TRUE(TestEnv().Cleanup().Entries(Path("gone")).empty());
    EXPECT_EQ(0u, TestEnv().Cleanup().RemoveFolder(Path("gone")));
    EXPECT_FALSE(Files().DirectoryExists(Path("gone")));
    EXPECT_EQ(2u, TestEnv().Cleanup().RemoveFolder(Path("gone")));
}

// A running uninstaller is renamed aside: a taken name is refused, not
// replaced, and the next one is tried.
TEST_F(FilesGroup, RenameKeepsATakenNameAndTryWriteLeavesNothing)
{
    // The real scratch folder outlives a run: the name the rename takes
    // must be free again.
    TestEnv().RemoveFile(Path("three.txt"));
    TestEnv().PutFile(Path("one.txt"), "1");
    TestEnv().PutFile(Path("two.txt"), "2");
    EXPECT_EQ(183u, TestEnv().Cleanup().Rename(Path("one.txt"), Path("two.txt")));
    EXPECT_EQ(0u, TestEnv().Cleanup().Rename(Path("one.txt"), Path("three.txt")));
    EXPECT_FALSE(Files().FileExists(Path("one.txt")));
    EXPECT_TRUE(Files().FileExists(Path("three.txt")));
    EXPECT_EQ(2u, TestEnv().Cleanup().Rename(Path("one.txt"), Path("four.txt")));
    Files().MakeDirectory(Path("probe"));
    EXPECT_EQ(0u, TestEnv().Cleanup().TryWrite(Path("probe")));
    EXPECT_TRUE(TestEnv().Cleanup().Entries(Path("probe")).empty());
}

TEST_F(FilesGroup, WriteWholeFileReplacesAndNeedsItsFolder)
{
    EXPECT_EQ(0u, Files().WriteWholeFile(Path("list.txt"), "one\r\ntwo\r\n"));
    EXPECT_EQ(0u, Files().WriteWholeFile(Path("list.txt"), "three"));
    EXPECT_EQ("three", TestEnv().GetFile(Path("list.txt")));
    EXPECT_EQ(3u, Files().WriteWholeFile(TestEnv().MissingDirFile(), "x"));
    TestEnv().RemoveFile(Path("list.txt"));
}

}  // namespace
