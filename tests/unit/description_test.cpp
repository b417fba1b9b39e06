// Loading Pellwick.ipi: defaults, limits, the derived values and the
// missing-file path.
#include "engine/Description.h"
#include "Fixtures.h"

namespace {

class DescriptionTest : public ProgramTest {
protected:
    const TInstallDescription& Load(const std::string& text)
    {
        WriteDescription(text);
        EXPECT_TRUE(LoadInstallDescription());
        return Shared.InstallDescription;
    }
};

TEST_F(DescriptionTest, MissingSettingsGiveTheirDefaults)
{
    const TInstallDescription& d = Load("[FilesIn]\r\na.exe=\r\n");
    EXPECT_EQ("", d.Application);
    EXPECT_EQ("", d.Copyright);
    EXPECT_EQ("", d.WebAddress);
    EXPECT_EQ("", d.EmailAddress);
    EXPECT_EQ("", d.Version);
    EXPECT_EQ("Fenmarch", d.ProgGroup);
    EXPECT_EQ("c:\\tmp", d.Directory);
    EXPECT_FALSE(d.Expand);
    EXPECT_EQ("", MakeProductTitle(d.Application, d.Version));
}

TEST_F(DescriptionTest, PresentButEmptySettingsAreEmptyNotDefault)
{
    const TInstallDescription& d = Load("[Settings]\r\nProgGroup=\r\nDirectory=\r\n");
    EXPECT_EQ("", d.ProgGroup);
    EXPECT_EQ("", d.Directory);
}

TEST_F(DescriptionTest, ExpandIsTrueForAnyNonZeroWholeNumber)
{
    struct Case {
        const char* line;
        bool expected;
    } cases[] = {
        {"Expand=1", true},     {"Expand=-1", true},   {"Expand=0x10", true},
        {"Expand=$1F", true},   {"Expand=0X1f", true}, {"Expand=+2", true},
        {"Expand=0", false},    {"Expand=0x0", false}, {"Expand=yes", false},
        {"Expand=", false},     {"Other=1", false},    {"Expand=1.0", false},
        {"Expand=\"1\"", true},
    };
    for (const Case& c : cases) {
        ResetSharedState();
        EXPECT_EQ(c.expected, Load(std::string("[Settings]\r\n") + c.line + "\r\n").Expand)
            << c.line;
    }
}

TEST_F(DescriptionTest, ProductTitleJoinsApplicationAndVersion)
{
    EXPECT_EQ("Tool 2.0", MakeProductTitle("Tool", "2.0"));
    EXPECT_EQ("Tool", MakeProductTitle("Tool", ""));
    EXPECT_EQ("", MakeProductTitle("", "2.0"));
    EXPECT_EQ(255u, MakeProductTitle(std::string(250, 'a'), "1.0.0.0").size());
}

TEST_F(DescriptionTest, ProgressStepCountsFilesAndSystemFiles)
{
    struct Case {
        int files, sysFiles, expected;
    } cases[] = {{0, 0, 33}, {4, 3, 10}, {90, 7, 1}, {98, 0, 0}, {60, 60, 0}};
    for (const Case& c : cases) {
        std::string text = "[FilesIn]\r\n";
        for (int i = 0; i < c.files; ++i) text += "f" + std::to_string(i) + ".dat=\r\n";
        text += "[SysFilesIn]\r\n";
        for (int i = 0; i < c.sysFiles; ++i) text += "s" + std::to_string(i) + ".dll\r\n";
        for (int i = 0; i < c.sysFiles; ++i) text += "s" + std::to_string(i) + ".dll=x\r\n";
        ResetSharedState();
        Load(text);
        EXPECT_EQ(c.expected, Shared.ProgressStep) << c.files << " + " << c.sysFiles;
    }
}

TEST_F(DescriptionTest, ListsKeepFileOrderDuplicatesAndPairing)
{
    const TInstallDescription& d = Load(
        "[StartInfo]\r\nfirst.txt=\r\nsecond.txt=\r\nthird.txt=\r\n"
        "[FilesIn]\r\nbin\\tool.exe=ignored value\r\nREADME=\r\n"
        "[FilesOut]\r\nbin\\tool.exe=0\r\nreadme.txt=1\r\n"
        "[Dirs]\r\nbin=\r\nC:\\Shared=0\r\nbin=again\r\n"
        "[Keys]\r\nBase=\\Software\\Maker\\Product\r\nReg=Main\r\n");
    EXPECT_EQ((TStrings{"first.txt", "second.txt", "third.txt"}), d.StartInfoNames);
    EXPECT_EQ((TStrings{"bin\\tool.exe", "README"}), d.FilesInNames);
    EXPECT_EQ((TStrings{"bin\\tool.exe", "readme.txt"}), d.FilesOutNames);
    EXPECT_EQ((TStrings{"0", "1"}), d.FilesOutValues);
    // A repeated name is listed twice and reads the first value both times.
    EXPECT_EQ((TStrings{"bin", "C:\\Shared", "bin"}), d.DirsNames);
    EXPECT_EQ((TStrings{"", "0", ""}), d.DirsValues);
    EXPECT_EQ((TStrings{"\\Software\\Maker\\Product", "Main"}), d.KeysValues);
    EXPECT_TRUE(d.EndInfoNames.empty());
    EXPECT_TRUE(d.AddOnsNames.empty() && d.AddOnsValues.empty());
}

TEST_F(DescriptionTest, SettingsAreCutTo255ListValuesTo1023)
{
    std::string long300(300, 'x');
    const TInstallDescription& d = Load("[Settings]\r\nApplication=" + long300 +
                                        "\r\nDirectory=\"c:\\quoted dir\"\r\n[FilesOut]\r\nf=" +
                                        long300 + "\r\ng=" + std::string(1100, 'y') + "\r\n");
    EXPECT_EQ(std::string(255, 'x'), d.Application);
    EXPECT_EQ("c:\\quoted dir", d.Directory);
    EXPECT_EQ(long300, d.FilesOutValues[0]);
    EXPECT_EQ(std::string(1023, 'y'), d.FilesOutValues[1]);
}

TEST_F(DescriptionTest, ItemsWhoseNameWasCutReadTheDefaultCaption)
{
    // The listing buffer cuts the last name; looked up by its cut name it
    // is not found, so it reads the [Items] default.
    std::string text = "[Items]\r\n";
    for (int i = 0; i < 1000; ++i) text += "program" + std::to_string(1000 + i) + ".exe=Caption\r\n";
    const TInstallDescription& d = Load(text);
    ASSERT_EQ(d.ItemsNames.size(), d.ItemsValues.size());
    ASSERT_GT(d.ItemsNames.size(), 500u);
    EXPECT_EQ("Caption", d.ItemsValues.front());
    EXPECT_EQ("Comic Relief", d.ItemsValues.back());
}

TEST_F(DescriptionTest, SourceDirIsTheExeFolderWithItsBackslash)
{
    EXPECT_EQ("C:\\SETUP\\", SourceDirOf("C:\\SETUP\\Pellwick.exe"));
    EXPECT_EQ("C:\\", SourceDirOf("C:\\Pellwick.exe"));
    EXPECT_EQ("D:", SourceDirOf("D:Pellwick.exe"));
    EXPECT_EQ(255u, SourceDirOf(std::string(300, 'd') + "\\x.exe").size());

    Fake.Desktop.Exe = "C:\\Pellwick.exe";
    Fake.Disk.Put("C:\\Pellwick.ipi", "[Settings]\r\nApplication=Root\r\n");
    ASSERT_TRUE(LoadInstallDescription());
    EXPECT_EQ("C:\\", Shared.SourceDir);
    EXPECT_EQ("C:\\Pellwick.ipi", Shared.DescriptionPath);
    EXPECT_EQ("Root", Shared.InstallDescription.Application);
}

TEST_F(DescriptionTest, HourglassShowsWhileLoadingAndIsPutBack)
{
    Load("[Settings]\r\nApplication=Tool\r\n");
    EXPECT_EQ((std::vector<TCursor>{TCursor::HourGlass, TCursor::Default}), Fake.Desktop.Cursors);
}

TEST_F(DescriptionTest, MissingFileReadsNothing)
{
    EXPECT_FALSE(LoadInstallDescription());
    EXPECT_EQ("C:\\SETUP\\Pellwick.ipi", Shared.DescriptionPath);
    EXPECT_TRUE(Fake.Desktop.Cursors.empty());
    EXPECT_EQ("", Shared.InstallDescription.ProgGroup);  // not even the defaults
}

}  // namespace
