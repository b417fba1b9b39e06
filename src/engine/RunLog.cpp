#include "engine/RunLog.h"

#include "platform/Platform.h"

bool TRunLog::Start(const std::string& text)
{
    return path_.empty() || Sys().Files->AppendText(path_, text + "\r\n") == 0;
}

void TRunLog::Line(const std::string& text)
{
    if (!path_.empty()) Sys().Files->AppendText(path_, text + "\r\n");
}

std::string DefaultLogPath(const char* name)
{
    std::string folder = Sys().Files->TempDirectory();
    return folder.empty() ? "" : folder + name;
}
