#include "Folder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/Error.h"

namespace fs = std::filesystem;

namespace {

std::string ReadContent(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EError("cannot read " + path.string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string WithBackslashes(std::string path)
{
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

}  // namespace

std::string WindowsPathOf(const std::string& absolutePath)
{
    std::string path = WithBackslashes(absolutePath);
    bool hasDrive = path.size() >= 2 && path[1] == ':';
    return hasDrive ? path : "Z:" + path;
}

TInstallerFolder::TInstallerFolder(std::string sourceDir, std::vector<TFolderFile> files)
    : sourceDir_(std::move(sourceDir)), files_(std::move(files))
{
}

TInstallerFolder TInstallerFolder::Read(const std::string& dir)
{
    std::error_code error;
    fs::path root = fs::absolute(fs::path(dir), error);
    if (error || !fs::is_directory(root, error))
        throw EError(dir + ": not a folder that can be read");
    std::vector<TFolderFile> files;
    fs::recursive_directory_iterator it(root, error), end;
    if (error) throw EError(dir + ": " + error.message());
    for (; it != end; it.increment(error)) {
        if (error) throw EError(dir + ": " + error.message());
        if (!it->is_regular_file(error)) continue;
        TFolderFile file;
        file.Name = WithBackslashes(it->path().lexically_relative(root).generic_string());
        if (it->file_size(error) <= ContentLimit) file.Content = ReadContent(it->path());
        files.push_back(std::move(file));
    }
    std::string windowsDir = WindowsPathOf(root.lexically_normal().generic_string());
    if (windowsDir.empty() || windowsDir.back() != '\\') windowsDir += '\\';
    return TInstallerFolder(windowsDir, std::move(files));
}

void TInstallerFolder::PutOn(TFakeDisk& disk) const
{
    disk.MakeDirs(sourceDir_);
    for (const TFolderFile& file : files_) disk.Put(sourceDir_ + file.Name, file.Content);
}
