// pellwick-check over the test folders: one fault each, and one clean.
// The golden files hold the expected output; each was read against the
// fault its folder's Pellwick.ipi describes in its first line.
// PELLWICK_UPDATE_GOLDEN=1 rewrites them from the tool's output instead;
// review the difference before committing it.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <stdexcept>
#include <map>
#include <memory>

#include "CheckTool.h"
#include "Findings.h"
#include "TestFolders.h"

namespace {

const TDateTime Now{1998, 3, 14, 9, 5, 0};

TToolOutput CheckTool(std::vector<std::string> args) { return RunCheckTool(args, Now); }

TEST(CheckFolders, PrintTheirGoldenOutput)
{
    bool update = std::getenv("PELLWICK_UPDATE_GOLDEN") != nullptr;
    for (const std::string& name : TestFolderNames()) {
        TToolOutput out = CheckTool(FolderArgs(name));
        std::string golden = TestsDir() + "/golden/" + name + ".txt";
        if (update) std::ofstream(golden, std::ios::binary) << out.Out;
        EXPECT_EQ(ReadText(golden), out.Out) << name;
        EXPECT_EQ("", out.Err) << name;
    }
}

TEST(CheckFolders, EachBrokenFolderHasOneFindingAndTheCleanOneNone)
{
    for (const std::string& name : TestFolderNames()) {
        std::vector<std::string> lines = SplitLines(CheckTool(FolderArgs(name)).Out);
        std::size_t findings = lines.size() - 1;
        EXPECT_EQ(name == "clean" ? 0u : 1u, findings) << name;
    }
}

TEST(CheckFolders, TheSampleInstallerHasNoFindings)
{
    TToolOutput out = CheckTool({SampleInstallerFolder()});
    EXPECT_EQ("Pellwick.ipi: 0 errors, 0 warnings\n", out.Out);
    EXPECT_EQ(ExitClean, out.Status);
}

struct TStatusCase {
    std::vector<std::string> Args;
    int Status;
};

TEST(CheckFolders, ExitStatus)
{
    const TStatusCase cases[] = {
        {{FolderPath("clean")}, ExitClean},
        {{FolderPath("clean"), "--strict"}, ExitClean},
        {{FolderPath("too-few-out")}, ExitFindings},
        {{FolderPath("no-template"), "--json"}, ExitFindings},
        // A warning fails the check only when warnings count as errors.
        {{FolderPath("surplus-out")}, ExitClean},
        {{FolderPath("surplus-out"), "--strict"}, ExitFindings},
        {{"--strict", FolderPath("expand-set"), "--json"}, ExitFindings},
        {{FolderPath("no-such-folder")}, ExitUnreadable},
        // A folder without Pellwick.ipi: the installer would not start.
        {{TestsDir() + "/golden"}, ExitUnreadable},
        {{TestsDir() + "/folders/clean/Pellwick.ipi"}, ExitUnreadable},
        {{}, ExitUnreadable},
        {{FolderPath("clean"), "--bogus"}, ExitUnreadable},
        {{FolderPath("clean"), FolderPath("clean")}, ExitUnreadable},
        {{FolderPath("clean"), "--dest", "c:\\x"}, ExitUnreadable},
        {{FolderPath("clean"), "--plan", "--dest"}, ExitUnreadable},
        {{FolderPath("clean"), "--plan"}, ExitClean},
        {{FolderPath("clean"), "--plan", "--json"}, ExitClean},
        {{FolderPath("clean"), "--plan", "--strict"}, ExitUnreadable},
        // The plan of a run that stops with an error box.
        {{FolderPath("too-few-out"), "--plan"}, ExitFindings},
        {{FolderPath("clean"), "--codepage"}, ExitUnreadable},
        {{FolderPath("clean"), "--codepage", "0"}, ExitUnreadable},
        {{FolderPath("clean"), "--codepage", "japanese"}, ExitUnreadable},
        {{FolderPath("clean"), "--codepage", "936"}, ExitClean},
        // Files written under each other's names fail; one renamed file
        // fails only when warnings count.
        {{FolderPath("shifted-pairing")}, ExitFindings},
        {{FolderPath("renamed-pair")}, ExitClean},
        {{FolderPath("renamed-pair"), "--strict"}, ExitFindings},
        {{FolderPath("utf8-control-file")}, ExitClean},
        {{FolderPath("utf8-control-file"), "--strict"}, ExitFindings},
    };
    for (const TStatusCase& c : cases) {
        TToolOutput out = CheckTool(c.Args);
        std::string shown;
        for (const std::string& a : c.Args) shown += a + " ";
        EXPECT_EQ(c.Status, out.Status) << shown << "\n" << out.Out << out.Err;
        EXPECT_EQ(c.Status == ExitUnreadable, !out.Err.empty()) << shown;
    }
}

// A folder written for Japanese Windows: its destination holds ポ, whose
// second byte is "|". Read in code page 932 it installs as written; read as
// single-byte text the destination page refuses it and nothing is copied.
TEST(CheckFolders, CodePageSwitchReadsNamesInThatCodePage)
{
    const std::string folder = TestsDir() + "/codepages/932";
    const std::string dest = "c:\\\x83\x7C\x83\x43\x83\x93\x83\x67\x95\x5C";
    TToolOutput japanese = CheckTool({folder, "--codepage", "932"});
    EXPECT_EQ("Pellwick.ipi: 0 errors, 0 warnings\n", japanese.Out);
    EXPECT_EQ(ExitClean, japanese.Status);
    TToolOutput plan = CheckTool({folder, "--plan", "--codepage", "932"});
    EXPECT_EQ(ExitClean, plan.Status);
    std::vector<std::string> lines = SplitLines(plan.Out);
    ASSERT_LE(2u, lines.size());
    EXPECT_EQ("directory " + dest, lines[0]);
    EXPECT_EQ("directory " + dest + "\\bin", lines[1]);

    EXPECT_EQ(ExitFindings, CheckTool({folder}).Status);
    TToolOutput western = CheckTool({folder, "--plan"});
    EXPECT_EQ(ExitFindings, western.Status);
    EXPECT_NE(std::string::npos, western.Out.find("may not hold the character |")) << western.Out;
    EXPECT_EQ(std::string::npos, western.Out.find("directory ")) << western.Out;
}

// The machines' code page decides what UTF-8 shows as: half-width
// katakana on Japanese Windows.
TEST(CheckFolders, Utf8IsShownInTheCodePageGiven)
{
    TToolOutput out = CheckTool({FolderPath("utf8-control-file"), "--codepage", "932"});
    EXPECT_NE(std::string::npos,
              out.Out.find("shows as \"Application=Quillon Caf\xEF\xBE\x83\xEF\xBD\xA9\" in code page 932"))
        << out.Out;
}

// Just enough JSON to read the tool's answer back: objects, arrays,
// strings with their escapes, integers and true/false.
struct TJson {
    enum Kind { Object, Array, String, Number, Bool } kind = Object;
    std::map<std::string, std::shared_ptr<TJson>> fields;
    std::vector<std::shared_ptr<TJson>> items;
    std::string text;
    long number = 0;
    bool flag = false;
    const TJson& operator[](const std::string& key) const
    {
        auto it = fields.find(key);
        if (it == fields.end()) throw std::runtime_error("no field " + key);
        return *it->second;
    }
};

class TJsonReader {
public:
    explicit TJsonReader(const std::string& text) : s_(text) {}
    std::shared_ptr<TJson> ReadDocument()
    {
        auto value = Read();
        Skip();
        if (at_ != s_.size()) throw std::runtime_error("text after the value");
        return value;
    }

private:
    void Skip()
    {
        while (at_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[at_]))) ++at_;
    }
    void Expect(char c)
    {
        Skip();
        if (at_ >= s_.size() || s_[at_] != c) throw std::runtime_error(std::string("expected ") + c);
        ++at_;
    }
    bool Peek(char c)
    {
        Skip();
        return at_ < s_.size() && s_[at_] == c;
    }
    std::string ReadString()
    {
        Expect('"');
        std::string out;
        while (at_ < s_.size() && s_[at_] != '"') {
            char c = s_[at_++];
            if (static_cast<unsigned char>(c) < 0x20) throw std::runtime_error("raw control character");
            if (c != '\\') {
                out += c;
                continue;
            }
            char e = s_.at(at_++);
            switch (e) {
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned code = std::stoul(s_.substr(at_, 4), nullptr, 16);
                at_ += 4;
                if (code > 0xFF) throw std::runtime_error("outside Latin-1");
                out += static_cast<char>(code);
                break;
            }
            case '"': case '\\': case '/': out += e; break;
            default: throw std::runtime_error("bad escape");
            }
        }
        Expect('"');
        return out;
    }
    std::shared_ptr<TJson> Read()
    {
        auto v = std::make_shared<TJson>();
        Skip();
        if (Peek('{')) {
            Expect('{');
            while (!Peek('}')) {
                std::string key = ReadString();
                Expect(':');
                v->fields[key] = Read();
                if (!Peek('}')) Expect(',');
            }
            Expect('}');
        } else if (Peek('[')) {
            v->kind = TJson::Array;
            Expect('[');
            while (!Peek(']')) {
                v->items.push_back(Read());
                if (!Peek(']')) Expect(',');
            }
            Expect(']');
        } else if (Peek('"')) {
            v->kind = TJson::String;
            v->text = ReadString();
        } else if (s_.compare(at_, 4, "true") == 0 || s_.compare(at_, 5, "false") == 0) {
            v->kind = TJson::Bool;
            v->flag = s_[at_] == 't';
            at_ += v->flag ? 4 : 5;
        } else {
            v->kind = TJson::Number;
            std::size_t used = 0;
            v->number = std::stol(s_.substr(at_), &used);
            at_ += used;
        }
        return v;
    }

    const std::string& s_;
    std::size_t at_ = 0;
};

// The JSON form says what the compiler form says, finding by finding.
TEST(CheckFolders, HelpAndVersionAnswerOnStandardOutputWithStatusZero)
{
    const std::vector<std::string> cases[] = {
        {"--help"}, {"-h"}, {FolderPath("clean"), "--help"}, {"--bogus", "--help"}, {"--version"},
        {FolderPath("too-few-out"), "--version"},
    };
    for (const auto& args : cases) {
        TToolOutput out = CheckTool(args);
        SCOPED_TRACE(args.back());
        EXPECT_EQ(ExitClean, out.Status);
        EXPECT_EQ("", out.Err);
        bool help = args.back() != "--version";
        EXPECT_EQ(help, out.Out.find("usage: pellwick-check DIR") == 0) << out.Out;
        EXPECT_EQ(!help, out.Out == "pellwick-check (Pellwick 2.1)\n") << out.Out;
    }
}

TEST(CheckFolders, JsonReadsBackAsTheCompilerForm)
{
    for (const std::string& name : TestFolderNames()) {
        for (bool strict : {false, true}) {
            std::vector<std::string> args = {FolderPath(name), "--json"};
            if (strict) args.push_back("--strict");
            TToolOutput json = CheckTool(args);
            args.erase(args.begin() + 1);
            TToolOutput text = CheckTool(args);
            std::shared_ptr<TJson> doc;
            ASSERT_NO_THROW(doc = TJsonReader(json.Out).ReadDocument()) << name << "\n" << json.Out;

            std::vector<std::string> lines = SplitLines(text.Out);
            const TJson& findings = (*doc)["findings"];
            ASSERT_EQ(lines.size() - 1, findings.items.size()) << name;
            long errors = 0, warnings = 0;
            for (std::size_t i = 0; i < findings.items.size(); ++i) {
                const TJson& f = *findings.items[i];
                std::string severity = f["severity"].text;
                (severity == "error" ? errors : warnings) += 1;
                long line = f["line"].number;
                std::string place = line == 0 ? "" : ":" + std::to_string(line);
                EXPECT_EQ(lines[i], "Pellwick.ipi" + place + ": " + severity + ": " + f["text"].text)
                    << name;
            }
            EXPECT_EQ("Pellwick.ipi", (*doc)["file"].text);
            EXPECT_EQ(errors, (*doc)["errors"].number) << name;
            EXPECT_EQ(warnings, (*doc)["warnings"].number) << name;
            EXPECT_EQ(strict, (*doc)["strict"].flag);
            EXPECT_EQ(json.Status == ExitFindings, (*doc)["failed"].flag) << name;
            EXPECT_EQ(text.Status, json.Status) << name;
        }
    }
}

TEST(CheckFolders, JsonEscapesWhatItCannotCarryRaw)
{
    std::string text = "a\"b\\c\td\x01\xE9";
    auto doc = TJsonReader("{\"t\": " + JsonString(text) + "}").ReadDocument();
    EXPECT_EQ(text, (*doc)["t"].text);
}

// --plan --json: one object per line of the text form, in its order, with
// the texts the text form can only show (quotes, backslashes, line breaks)
// exactly as the run had them.
TEST(CheckFolders, PlanJsonCarriesTheStepsOfThePlanText)
{
    const std::string user = "Ann \"Q\" Example\\\r\n";
    for (const char* name : {"clean", "too-few-out"}) {
        SCOPED_TRACE(name);
        std::vector<std::string> args = {FolderPath(name), "--plan", "--user", user};
        TToolOutput text = CheckTool(args);
        args.push_back("--json");
        TToolOutput json = CheckTool(args);
        EXPECT_EQ(text.Status, json.Status);
        std::shared_ptr<TJson> doc;
        ASSERT_NO_THROW(doc = TJsonReader(json.Out).ReadDocument()) << json.Out;
        EXPECT_EQ(text.Status == ExitClean, (*doc)["completed"].flag);
        EXPECT_EQ("c:\\Quillon", (*doc)["dest"].text);
        std::vector<std::string> lines = SplitLines(text.Out);
        const TJson& steps = (*doc)["steps"];
        ASSERT_EQ(lines.size(), steps.items.size());
        int userTexts = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const TJson& step = *steps.items[i];
            std::string kind = step["step"].text;
            // The text form shows a counter as the registry value it is.
            std::string word = kind == "counter" ? "registry" : kind;
            EXPECT_EQ(0u, lines[i].rfind(word + " ", 0)) << lines[i];
            if (word == "registry")
                EXPECT_EQ(0u, lines[i].rfind("registry " + step["root"].text + "\\" + step["key"].text + "  " +
                                                 step["name"].text + " = ",
                                             0))
                    << lines[i];
            if (kind == "registry" && step["name"].text == "Name") userTexts += step["data"].text == user;
            if (kind == "record" && step["name"].text == "Name") userTexts += step["value"].text == user;
        }
        // The stopped run never reaches the records.
        EXPECT_EQ(std::string(name) == "clean" ? 2 : 0, userTexts);
    }
}

}  // namespace
