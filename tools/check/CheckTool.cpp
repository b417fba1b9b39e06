#include "CheckTool.h"

#include "Folder.h"

#include "Checks.h"
#include "engine/Description.h"
#include "DryRun.h"
#include "engine/Engine.h"
#include "PlanSteps.h"
#include "Verify.h"
#include "core/WizardText.h"
#include "core/Error.h"
#include "core/Text.h"

const char* const DefaultWindowsDir = "C:\\WINDOWS";

namespace {

const char* const Usage =
    "usage: pellwick-check DIR [--strict] [--json] [--codepage N]\n"
    "       pellwick-check DIR --plan [--dest PATH] [--user NAME] [--org ORG] [--windir PATH] [--json]\n"
    "                      [--codepage N]\n"
    "       pellwick-check DIR --verify --dest PATH [--user NAME] [--org ORG] [--json] [--codepage N]\n";

struct TOptions {
    std::string Dir;
    bool Strict = false, Json = false, Plan = false, Verify = false;
    bool HasDest = false, HasUser = false, HasOrg = false;
    TRunSettings Run;
    std::string WindowsDir = DefaultWindowsDir;
    unsigned CodePage = 0;  // 0: not given
};

// Raises EError with the reason when the arguments make no sense.
TOptions ParseArgs(const std::vector<std::string>& args)
{
    TOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) throw EError(a + " needs a value");
            return args[++i];
        };
        if (a == "--strict") o.Strict = true;
        else if (a == "--json") o.Json = true;
        else if (a == "--plan") o.Plan = true;
        else if (a == "--verify") o.Verify = true;
        else if (a == "--dest") { o.Run.DestDir = value(); o.HasDest = true; }
        else if (a == "--user") { o.Run.UserName = value(); o.HasUser = true; }
        else if (a == "--org") { o.Run.UserOrganization = value(); o.HasOrg = true; }
        else if (a == "--windir") o.WindowsDir = value();
        else if (a == "--codepage") {
            std::int32_t number = 0;
            std::string text = value();
            if (!TryStrToInt(text, number) || number <= 0 || number > 65535)
                throw EError("--codepage takes a code page number (1252, 932...), not " + text);
            o.CodePage = static_cast<unsigned>(number);
        }
        else if (a.size() > 1 && a[0] == '-') throw EError("unknown option " + a);
        else if (o.Dir.empty()) o.Dir = a;
        else throw EError("one folder only");
    }
    if (o.Dir.empty()) throw EError("no folder given");
    if (o.Verify) {
        if (o.Plan) throw EError("--plan and --verify are two modes: one at a time");
        if (!o.HasDest) throw EError("--verify needs --dest: where the product was installed");
        if (o.Strict || o.WindowsDir != DefaultWindowsDir)
            throw EError("--strict and --windir go without --verify");
        return o;
    }
    if (!o.Plan && (o.HasDest || !o.Run.UserName.empty() || !o.Run.UserOrganization.empty() ||
                    o.WindowsDir != DefaultWindowsDir))
        throw EError("--dest, --user, --org and --windir go with --plan");
    if (o.Plan && o.Strict) throw EError("--strict goes without --plan");
    return o;
}

// What --help prints after the usage lines.
const char* const Summary =
    "\n"
    "Reads the installer folder DIR as Pellwick.exe will and prints what is wrong\n"
    "with its Pellwick.ipi; --plan prints everything the installation would do;\n"
    "--verify holds that against this machine and prints each step that does not\n"
    "hold (missing, differs, kept). Without --user and --org, the name and\n"
    "organisation are taken from the installation's own uninstall record.\n"
    "\n"
    "  --strict   warnings fail the check too\n"
    "  --json     the findings, the plan or what does not hold as JSON\n"
    "  --codepage N  the ANSI code page of the machines the product is for\n"
    "             (default 1252; with --verify, this machine's)\n"
    "  --help     this text\n"
    "  --version  the Pellwick version the checker belongs to\n"
    "\n"
    "Exit status: 0 nothing wrong, 1 findings (or a plan that stops with an error\n"
    "box, or with --verify a step that does not hold), 2 the folder, its\n"
    "Pellwick.ipi or the --verify destination cannot be read.\n";

// The folder with the files added that it does not hold itself (names
// compared as Windows does, without regard to case).
TInstallerFolder WithFiles(const TInstallerFolder& folder, const std::vector<TFolderFile>& added)
{
    std::vector<TFolderFile> files = folder.Files();
    for (const TFolderFile& file : added) {
        bool there = false;
        for (const TFolderFile& have : files) there = there || AsciiUpper(have.Name) == AsciiUpper(file.Name);
        if (!there) files.push_back(file);
    }
    return TInstallerFolder(folder.SourceDir(), files);
}

// --help and --version answer whatever else the line holds, as command-line
// tools do.
bool AnswersAlone(const std::vector<std::string>& args, TToolOutput& result)
{
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            result.Out = std::string(Usage) + Summary;
            return true;
        }
        if (a == "--version") {
            result.Out = std::string("pellwick-check (") + ApplicationTitle + ")\n";
            return true;
        }
    }
    return false;
}

}  // namespace

TToolOutput RunCheckTool(const std::vector<std::string>& args, const TDateTime& now,
                         TMachine* machine, const std::vector<TFolderFile>* added)
{
    TToolOutput result;
    if (AnswersAlone(args, result)) return result;
    TOptions o;
    try {
        o = ParseArgs(args);
    } catch (const EError& e) {
        result.Status = ExitUnreadable;
        result.Err = "pellwick-check: " + e.Message() + "\n" + Usage;
        return result;
    }
    if (o.Verify && machine == nullptr) {
        result.Status = ExitUnreadable;
        result.Err = "pellwick-check: --verify reads a Windows installation: run pellwick-check.exe "
                     "on the machine (on Linux, under Wine in its prefix)\n";
        return result;
    }
    try {
        TInstallerFolder folder = TInstallerFolder::Read(o.Dir);
        if (added != nullptr) folder = WithFiles(folder, *added);
        // The plan is made for the Windows directory of the machine checked.
        std::string windowsDir = o.Verify ? machine->Files.WindowsDirectory() : o.WindowsDir;
        TDryRun run(folder, windowsDir, now);
        unsigned codePage = o.CodePage != 0 ? o.CodePage
                            : o.Verify      ? machine->Locale.CodePage().Number()
                                            : 1252;
        run.UseCodePage(codePage);
        if (!run.Load()) {
            result.Status = ExitUnreadable;
            result.Err = "pellwick-check: " + o.Dir + ": no " + DescriptionFileName +
                         " (the installer would say \"No IPI, exiting instalation.\")\n";
            return result;
        }
        // The destination page proposes the Directory setting.
        TRunSettings settings = o.Run;
        if (!o.HasDest) settings.DestDir = Shared.InstallDescription.Directory;
        if (o.Plan) {
            bool completed = run.Install(settings);
            result.Out = o.Json ? PlanJson(run.Steps(), settings.DestDir, completed) : PlanText(run.Steps());
            result.Status = completed ? ExitClean : ExitFindings;
            return result;
        }
        if (o.Verify) {
            if (!machine->Files.DirectoryExists(settings.DestDir)) {
                result.Status = ExitUnreadable;
                result.Err = "pellwick-check: " + settings.DestDir + ": no folder to read\n";
                return result;
            }
            if (!o.HasUser) settings.UserName = NameFromRecord;
            if (!o.HasOrg) settings.UserOrganization = OrganizationFromRecord;
            bool completed = run.Install(settings);
            TPlan plan = PlanOf(run.Steps());
            TakeUserEntriesFromRecord(plan, *machine);
            TVerifyResult verified = VerifyPlan(plan, *machine, windowsDir);
            if (!completed)
                verified.Stop = plan.Messages.empty() ? "the run stops early" : plan.Messages.back();
            result.Out = o.Json ? VerifyJson(verified, settings.DestDir)
                                : VerifyText(verified, settings.DestDir);
            result.Status = verified.Holds() ? ExitClean : ExitFindings;
            return result;
        }
        // The loader's lists, kept before the run can touch anything.
        TInstallDescription description = Shared.InstallDescription;
        std::string content;
        run.Files().ReadWholeFile(Shared.DescriptionPath, content);
        TProfileLines lines(content);
        run.Install(settings);
        TFindings findings = CheckDescription(
            {description, lines, run, Cut(settings.DestDir), o.WindowsDir, static_cast<int>(codePage), o.Strict});
        result.Out = o.Json ? JsonText(findings, o.Strict) : CompilerText(findings, o.Strict);
        result.Status = Tally(findings).Failed(o.Strict) ? ExitFindings : ExitClean;
    } catch (const EError& e) {
        result.Status = ExitUnreadable;
        result.Err = "pellwick-check: " + e.Message() + "\n";
    }
    return result;
}
