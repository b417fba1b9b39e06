// The line scanner against the profile double the loader reads through:
// the same sections, names and values, so that line numbers cannot point
// at an entry other than the one the installer reads.
#include <gtest/gtest.h>

#include <algorithm>

#include "ProfileLines.h"
#include "TestFolders.h"
#include "platform/doubles/FakeDisk.h"
#include "platform/doubles/FakeProfileFiles.h"

namespace {

const char* const Path = "C:\\SETUP\\Pellwick.ipi";
const std::size_t Unbounded = std::size_t(1) << 30;

// Every first section of a name: its listing and each listed value as the
// scanner gives them, against the double's.
void ExpectSameReading(const std::string& content, const std::string& what)
{
    TFakeDisk disk;
    disk.Put(Path, content);
    TFakeProfileFiles profiles(disk);
    TProfileLines lines(content);
    for (const TProfileSection& section : lines.Sections()) {
        if (lines.Find(section.Name) != &section) continue;
        TStrings expected = SplitNameBuffer(profiles.KeyNameBuffer(Path, section.Name, Unbounded));
        TStrings scanned;
        for (const TProfileEntry* e : lines.Listed(section.Name)) {
            scanned.push_back(e->Name);
            EXPECT_EQ(profiles.ReadValue(Path, section.Name, e->Name, "<none>", Unbounded),
                      lines.Entry(section.Name, e->Name)->Value)
                << what << " [" << section.Name << "] " << e->Name;
        }
        EXPECT_EQ(expected, scanned) << what << " [" << section.Name << "]";
    }
}

TEST(ProfileLines, ReadsEveryTestFolderAsTheLoaderDoes)
{
    std::vector<std::string> names = TestFolderNames();
    ASSERT_GT(names.size(), 20u);
    for (const std::string& name : names)
        ExpectSameReading(ReadText(FolderPath(name) + "/Pellwick.ipi"), name);
    ExpectSameReading(ReadText(std::string(SAMPLES_DIR) + "/Pellwick.ipi"), "samples");
}

struct TLineCase {
    const char* Why;
    std::string Content;
    const char* Section;
    const char* Name;
    int Line;  // of the entry a read by name finds; 0 for none
};

// Each case is also read by the double, so an expectation that disagrees
// with the loader fails twice.
TEST(ProfileLines, NumbersTheLineThatIsRead)
{
    const TLineCase cases[] = {
        {"LF line ends", "[A]\nx=1\ny=2\n", "A", "y", 3},
        {"CR LF counts once", "[A]\r\nx=1\r\ny=2\r\n", "A", "y", 3},
        {"a lone CR ends a line", "[A]\rx=1\ry=2", "A", "y", 3},
        {"blank lines count", "\n[A]\n\n\nx=1\n", "A", "x", 5},
        {"names match without regard to case", "[a]\nKEY=1\n", "A", "key", 2},
        {"the first of two names is read", "[A]\nk=1\nk=2\n", "A", "k", 2},
        {"only the first section of a name is read", "[A]\nx=1\n[B]\n[A]\nk=2\n", "A", "k", 0},
        {"blanks and tabs around names go", "[A]\n \t k \t= v\n", "A", "k", 2},
        {"blanks inside a header go", "[ A ]\nk=v\n", "A", "k", 2},
        {"a header without its bracket", "[A\nk=v\n", "A", "k", 2},
        {"a line without = is no entry", "[A]\nk\nk=v\n", "A", "k", 3},
        {"entries above every header belong nowhere", "k=v\n[A]\n", "A", "k", 0},
        {"a comment entry is found by its whole name", "[A]\n;k=v\n", "A", ";k", 2},
    };
    for (const TLineCase& c : cases) {
        TProfileLines lines(c.Content);
        const TProfileEntry* e = lines.Entry(c.Section, c.Name);
        EXPECT_EQ(c.Line, e == nullptr ? 0 : e->Line) << c.Why;
        ExpectSameReading(c.Content, c.Why);
    }
}

TEST(ProfileLines, ListingsLeaveOutCommentsAndKeepNamelessEntries)
{
    const std::string content = "[A]\n;c=1\na=1\n=2\nb=3\n";
    TProfileLines lines(content);
    std::vector<const TProfileEntry*> listed = lines.Listed("A");
    ASSERT_EQ(3u, listed.size());
    EXPECT_EQ("a", listed[0]->Name);
    EXPECT_EQ(3, listed[0]->Line);
    EXPECT_EQ("", listed[1]->Name);
    EXPECT_EQ(4, listed[1]->Line);
    EXPECT_EQ("b", listed[2]->Name);
    ExpectSameReading(content, "nameless");
}

TEST(ProfileLines, ValuesLoseOneMatchingPairOfQuotes)
{
    const std::string content = "[A]\nd=\"x y\"\ns='x'\nm=\"x'\nq=\"\n";
    TProfileLines lines(content);
    EXPECT_EQ("x y", lines.Entry("A", "d")->Value);
    EXPECT_EQ("x", lines.Entry("A", "s")->Value);
    EXPECT_EQ("\"x'", lines.Entry("A", "m")->Value);
    EXPECT_EQ("\"", lines.Entry("A", "q")->Value);
    ExpectSameReading(content, "quotes");
}

TEST(ProfileLines, KeepsRepeatedHeadersWithTheirLines)
{
    TProfileLines lines("[A]\n[B]\n[a]\n");
    ASSERT_EQ(3u, lines.Sections().size());
    EXPECT_EQ(3, lines.Sections()[2].Line);
    EXPECT_EQ(1, lines.HeaderLine("A"));
    EXPECT_EQ(0, lines.HeaderLine("C"));
}

}  // namespace
