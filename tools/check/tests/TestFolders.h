// Where the checker's test folders lie, and small helpers shared by its tests.
#pragma once
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

inline std::string TestsDir() { return CHECK_TESTS_DIR; }
inline std::string FolderPath(const std::string& name) { return TestsDir() + "/folders/" + name; }

// The broken folders (one fault each) and the clean one, by name.
inline std::vector<std::string> TestFolderNames()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(TestsDir() + "/folders"))
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// samples/ as a vendor ships it: its files with the uninstaller beside
// them, which the build makes and samples/ does not hold. The checker only
// looks that the file is there, so an empty stand-in does. One copy per
// test process, removed when it ends.
inline std::string SampleInstallerFolder()
{
    namespace fs = std::filesystem;
    struct TCopy {
        fs::path Dir;
        TCopy()
        {
            Dir = fs::temp_directory_path() / ("pellwick-sample-" + std::to_string(std::random_device()()));
            fs::remove_all(Dir);
            fs::copy(SAMPLES_DIR, Dir, fs::copy_options::recursive);
            std::ofstream(Dir / "Skorvel.exe", std::ios::binary);
        }
        ~TCopy()
        {
            std::error_code ignored;
            fs::remove_all(Dir, ignored);
        }
    };
    static const TCopy copy;
    return copy.Dir.string();
}

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The command line a folder is checked with: the folder, then the options
// its file check-args names, one a line (a finding only --strict reports).
inline std::vector<std::string> FolderArgs(const std::string& name)
{
    std::vector<std::string> args = {FolderPath(name)};
    std::ifstream in(FolderPath(name) + "/check-args");
    for (std::string option; std::getline(in, option);)
        if (!option.empty()) args.push_back(option);
    return args;
}

inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}
