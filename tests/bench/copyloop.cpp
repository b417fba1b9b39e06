// The floor for a silent installation's speed: copies the files a list
// names with the system's copy call, one after the other, and nothing
// else. Each line of the list is "SOURCE|DESTINATION".
//
//   copyloop.exe LIST
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: copyloop LIST\n");
        return 2;
    }
    FILE* list = std::fopen(argv[1], "rb");
    if (list == nullptr) {
        std::fprintf(stderr, "copyloop: cannot open %s\n", argv[1]);
        return 2;
    }
    char line[2048];
    int copied = 0, failed = 0;
    while (std::fgets(line, sizeof line, list) != nullptr) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        std::string::size_type bar = text.find('|');
        if (bar == std::string::npos) continue;
        if (CopyFileA(text.substr(0, bar).c_str(), text.substr(bar + 1).c_str(), FALSE))
            ++copied;
        else
            ++failed;
    }
    std::fclose(list);
    std::printf("%d copied, %d failed\n", copied, failed);
    return failed == 0 ? 0 : 1;
}
