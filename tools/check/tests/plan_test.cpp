// --plan: what the installation run does, taken from the installer's own
// engine running over recording doubles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "CheckTool.h"
#include "DryRun.h"
#include "TestFolders.h"
#include "core/Text.h"

namespace {

const TDateTime Now{1998, 3, 14, 9, 5, 0};
const char* const SetupDir = "C:\\SETUP\\";

std::string PlanOf(const TInstallerFolder& folder, const TRunSettings& settings,
                   const std::string& windowsDir, bool& completed)
{
    TDryRun run(folder, windowsDir, Now);
    EXPECT_TRUE(run.Load());
    completed = run.Install(settings);
    return PlanText(run.Steps());
}

// The clean folder as if it lay in C:\SETUP, so that the plan's paths do
// not depend on where the tests run. The golden plan was read line by line
// against the folder's Pellwick.ipi; PELLWICK_UPDATE_GOLDEN=1 rewrites it.
TEST(CheckPlan, CleanFolderGivesItsGoldenPlan)
{
    TInstallerFolder real = TInstallerFolder::Read(FolderPath("clean"));
    TInstallerFolder folder(SetupDir, real.Files());
    bool completed = false;
    std::string plan = PlanOf(folder, {"c:\\Quillon", "Ann Example", "Example Ltd"}, "C:\\WINDOWS",
                              completed);
    EXPECT_TRUE(completed);
    std::string golden = TestsDir() + "/golden/clean.plan";
    if (std::getenv("PELLWICK_UPDATE_GOLDEN") != nullptr) std::ofstream(golden, std::ios::binary) << plan;
    EXPECT_EQ(ReadText(golden), plan);
}

TEST(CheckPlan, ARunStoppedByAnErrorEndsWithItsBox)
{
    TInstallerFolder real = TInstallerFolder::Read(FolderPath("too-few-out"));
    bool completed = true;
    std::vector<std::string> plan =
        SplitLines(PlanOf(TInstallerFolder(SetupDir, real.Files()), {"c:\\Quillon", "", ""},
                          "C:\\WINDOWS", completed));
    EXPECT_FALSE(completed);
    ASSERT_FALSE(plan.empty());
    EXPECT_EQ("message error \"List index out of bounds.\"", plan.back());
    // The first product file was still copied before the run stopped.
    EXPECT_EQ(1, std::count_if(plan.begin(), plan.end(), [](const std::string& l) {
                  return l.rfind("copy C:\\SETUP\\notes.exe ", 0) == 0;
              }));
}

TEST(CheckPlan, TheDestinationPageRefusesAnEmptyPath)
{
    TInstallerFolder real = TInstallerFolder::Read(FolderPath("clean"));
    bool completed = true;
    std::vector<std::string> plan =
        SplitLines(PlanOf(TInstallerFolder(SetupDir, real.Files()), {"  ", "", ""}, "C:\\WINDOWS", completed));
    EXPECT_FALSE(completed);
    ASSERT_EQ(1u, plan.size());
    EXPECT_EQ(0u, plan[0].rfind("message warning ", 0));
}

// The plan takes the destination as the page does: blanks at its end
// dropped, a path that cannot be a folder refused before anything is done.
TEST(CheckPlan, TheDestinationIsTakenAsThePageTakesIt)
{
    TInstallerFolder real = TInstallerFolder::Read(FolderPath("clean"));
    TInstallerFolder folder(SetupDir, real.Files());
    bool completed = false;
    std::vector<std::string> plan =
        SplitLines(PlanOf(folder, {"c:\\Quillon  ", "", ""}, "C:\\WINDOWS", completed));
    EXPECT_TRUE(completed);
    ASSERT_FALSE(plan.empty());
    EXPECT_EQ("directory c:\\Quillon", plan[0]);

    plan = SplitLines(PlanOf(folder, {"c:\\Quillon|Suite", "", ""}, "C:\\WINDOWS", completed));
    EXPECT_FALSE(completed);
    ASSERT_EQ(1u, plan.size());
    EXPECT_EQ(0u, plan[0].rfind("message warning ", 0)) << plan[0];
    EXPECT_NE(std::string::npos, plan[0].find("Quillon|Suite")) << plan[0];
}

TEST(CheckPlan, CommandLineFolderIsShownAsWindowsSeesIt)
{
    EXPECT_EQ("Z:\\work\\x", WindowsPathOf("/work/x"));
    EXPECT_EQ("C:\\work\\x", WindowsPathOf("C:/work/x"));
    EXPECT_EQ("C:\\work\\x", WindowsPathOf("C:\\work\\x"));
}

// What scripts/demo saw installed from samples/ under Wine, committed in
// observed/samples.txt. To refresh it after a change to samples/ or to
// the installer, run tests/refresh-observations (it runs scripts/demo on
// autopilot and copies the uninstall record the run left behind).
struct TObserved {
    std::vector<std::string> Files;     // upper-cased full paths
    std::vector<std::string> Items;     // program-group captions
    std::vector<std::string> Values;    // "KEY  NAME = DATA"
    std::vector<std::string> Record;    // "[SECTION] NAME = VALUE", template lines left out
};

const char* const DateMark = "<date>";
// The uninstall entry's day and the size of what was copied, which
// change with the day of the run and the size of the built Skorvel.exe.
const char* const DayMark = "<day>";
const char* const SizeMark = "<size>";

std::string Marked(const std::string& name, const std::string& data)
{
    if (name == "Date") return DateMark;
    if (name == "InstallDate") return DayMark;
    if (name == "EstimatedSize") return SizeMark;
    return data;
}

std::string Normal(std::string line) { return AsciiUpper(line); }

TObserved ReadObserved(const std::string& text)
{
    TObserved o;
    std::string key, section;
    bool record = false;
    for (std::string line : SplitLines(text)) {
        if (line.rfind("Record ", 0) == 0) {
            record = true;
            continue;
        }
        if (line.size() < 2 || line.compare(0, 2, "  ") != 0) continue;
        line = line.substr(2);
        if (record) {
            if (line[0] == '[') section = line;
            // The template's own section is no write of the run.
            else if (line[0] != ';' && section != "[Product]") {
                std::string::size_type eq = line.find('=');
                std::string name = line.substr(0, eq), value = line.substr(eq + 1);
                o.Record.push_back(section + " " + name + " = " + (name == "Date" ? DateMark : value));
            }
        } else if (line.rfind("program group ", 0) == 0) {
            std::string caption = line.substr(line.find(": ") + 2);
            o.Items.push_back(caption.substr(0, caption.size() - 4));  // less ".lnk"
        } else if (line.rfind("HKEY_", 0) == 0) {
            key = line;
        } else if (line.rfind("    ", 0) == 0) {
            // reg.exe shows a REG_DWORD in hexadecimal: "0x1".
            bool dword = line.find("    REG_DWORD    ") != std::string::npos;
            std::string::size_type type = line.find(dword ? "    REG_DWORD    " : "    REG_SZ    ");
            std::string name = line.substr(4, type - 4);
            std::string data = line.substr(type + (dword ? 17 : 14));
            if (dword) data = std::to_string(std::stoul(data, nullptr, 16)) + " (REG_DWORD)";
            o.Values.push_back(key + "  " + name + " = " + Marked(name, data));
        } else {
            o.Files.push_back(Normal(line));
        }
    }
    return o;
}

// The plan's lines in the same terms: final values only, as the system
// keeps them after the run.
TObserved FromPlan(const std::vector<std::string>& plan)
{
    TObserved o;
    auto unquote = [](const std::string& s) { return s.substr(1, s.size() - 2); };
    auto keep = [](std::vector<std::string>& list, const std::string& prefix, const std::string& line) {
        auto same = std::find_if(list.begin(), list.end(), [&](const std::string& l) {
            return l.rfind(prefix, 0) == 0;
        });
        if (same != list.end()) *same = line;
        else list.push_back(line);
    };
    for (const std::string& line : plan) {
        if (line.rfind("copy ", 0) == 0 && line.find("  fails") == std::string::npos) {
            std::string::size_type arrow = line.find(" -> ");
            std::string::size_type end = line.find("  (", arrow);
            o.Files.push_back(Normal(line.substr(arrow + 4, end - arrow - 4)));
        } else if (line.rfind("list ", 0) == 0) {
            std::string file = Normal(line.substr(5, line.find("  ") - 5));
            if (std::find(o.Files.begin(), o.Files.end(), file) == o.Files.end()) o.Files.push_back(file);
        } else if (line.rfind("command \"[AddItem(", 0) == 0) {
            std::string::size_type comma = line.rfind(',');
            o.Items.push_back(line.substr(comma + 1, line.rfind(")]") - comma - 1));
        } else if (line.rfind("registry ", 0) == 0) {
            std::string::size_type eq = line.find(" = ");
            std::string head = line.substr(9, eq - 9);
            std::string data = line.substr(eq + 3);
            if (data[0] == '"') data = unquote(data);
            std::string name = head.substr(head.rfind("  ") + 2);
            keep(o.Values, head + " = ", head + " = " + Marked(name, data));
        } else if (line.rfind("record ", 0) == 0) {
            std::string::size_type open = line.find("  [");
            std::string::size_type eq = line.find(" = ");
            std::string head = line.substr(open + 2, eq - open - 2);
            bool date = head.compare(head.size() - 5, 5, " Date") == 0;
            keep(o.Record, head + " = ", head + " = " + (date ? DateMark : unquote(line.substr(eq + 3))));
        }
    }
    return o;
}

std::vector<std::string> Sorted(std::vector<std::string> lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST(CheckPlan, SamplesPlanMatchesWhatWineInstalled)
{
    TObserved seen = ReadObserved(ReadText(TestsDir() + "/observed/samples.txt"));
    ASSERT_FALSE(seen.Files.empty());
    ASSERT_FALSE(seen.Values.empty());
    ASSERT_FALSE(seen.Record.empty());
    // scripts/demo takes the proposed destination and leaves the user
    // details as Wine's prefix fills them: empty.
    TToolOutput out = RunCheckTool({SampleInstallerFolder(), "--plan", "--windir", "C:\\windows"}, Now);
    ASSERT_EQ(ExitClean, out.Status) << out.Err;
    TObserved planned = FromPlan(SplitLines(out.Out));

    EXPECT_EQ(Sorted(seen.Files), Sorted(planned.Files));
    // Wine's program manager makes no link for the uninstall item, whose
    // command line carries an argument: it is the plan's last item.
    ASSERT_FALSE(planned.Items.empty());
    EXPECT_EQ("Uninstall Brindlemark Ledger", planned.Items.back());
    planned.Items.pop_back();
    EXPECT_EQ(Sorted(seen.Items), Sorted(planned.Items));
    EXPECT_EQ(Sorted(seen.Values), Sorted(planned.Values));
    // The record keeps the order of the writes that made its lines.
    EXPECT_EQ(seen.Record, planned.Record);
}

}  // namespace
