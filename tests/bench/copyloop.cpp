// The floor for a silent installation's speed: copies the files a list
// names with the system's copy call, one after the other, and nothing
// else. Each line of the list is "SOURCE|DESTINATION".
//
//   copyloop.exe LIST [STEP...]
//
// Each STEP adds to every copy one thing the silent installation does for
// each file, with the same system calls, so that the time a step adds is
// what that part of the installation costs:
//   same     the same-file test: both paths made full (GetFullPathNameA)
//            and compared (lstrcmpiA)
//   lower    both paths lower-cased for the progress labels (CharLowerBuffA)
//   size     the copied file's size (GetFileAttributesExA)
//   log      one line appended to an open log (WriteFile)
//   profile  the file's [FilesOut] value read from IPI (GetPrivateProfileStringA),
//            as loading the control file does; IPI is the next argument
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string FullPath(const std::string& path)
{
    char buffer[MAX_PATH + 1];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return length == 0 || length > MAX_PATH ? "" : std::string(buffer, length);
}

std::string NameOf(const std::string& path)
{
    std::string::size_type cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: copyloop LIST [same] [lower] [size] [log] [profile IPI]\n");
        return 2;
    }
    bool same = false, lower = false, size = false, log = false;
    std::string ipi;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "same") == 0) same = true;
        else if (std::strcmp(argv[i], "lower") == 0) lower = true;
        else if (std::strcmp(argv[i], "size") == 0) size = true;
        else if (std::strcmp(argv[i], "log") == 0) log = true;
        else if (std::strcmp(argv[i], "profile") == 0 && i + 1 < argc) ipi = FullPath(argv[++i]);
        else {
            std::fprintf(stderr, "copyloop: unknown step %s\n", argv[i]);
            return 2;
        }
    }
    FILE* list = std::fopen(argv[1], "rb");
    if (list == nullptr) {
        std::fprintf(stderr, "copyloop: cannot open %s\n", argv[1]);
        return 2;
    }
    HANDLE logFile = INVALID_HANDLE_VALUE;
    if (log)
        logFile = CreateFileA("copyloop.log", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    char line[2048];
    int copied = 0, failed = 0;
    unsigned long long bytes = 0;
    while (std::fgets(line, sizeof line, list) != nullptr) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        std::string::size_type bar = text.find('|');
        if (bar == std::string::npos) continue;
        std::string source = text.substr(0, bar), dest = text.substr(bar + 1);
        if (!ipi.empty()) {
            char value[1024];
            GetPrivateProfileStringA("FilesOut", NameOf(source).c_str(), "", value, sizeof value, ipi.c_str());
        }
        if (lower) {
            std::string a = source, b = dest;
            CharLowerBuffA(&a[0], static_cast<DWORD>(a.size()));
            CharLowerBuffA(&b[0], static_cast<DWORD>(b.size()));
        }
        if (same && lstrcmpiA(FullPath(source).c_str(), FullPath(dest).c_str()) == 0) continue;
        if (CopyFileA(source.c_str(), dest.c_str(), FALSE)) {
            ++copied;
            WIN32_FILE_ATTRIBUTE_DATA data;
            if (size && GetFileAttributesExA(dest.c_str(), GetFileExInfoStandard, &data)) bytes += data.nFileSizeLow;
            if (logFile != INVALID_HANDLE_VALUE) {
                std::string entry = "file copied " + source + " -> " + dest + "\r\n";
                DWORD written = 0;
                WriteFile(logFile, entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
            }
        } else {
            ++failed;
        }
    }
    std::fclose(list);
    if (logFile != INVALID_HANDLE_VALUE) CloseHandle(logFile);
    std::printf("%d copied, %d failed\n", copied, failed);
    return failed == 0 ? 0 : 1;
}
