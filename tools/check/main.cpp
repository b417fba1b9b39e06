// pellwick-check: checks an installer folder, or shows what installing it
// would do. See CheckTool.h.
#include <cstdio>
#include <ctime>

#include "CheckTool.h"
#include "Verify.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::time_t seconds = std::time(nullptr);
    std::tm local = *std::localtime(&seconds);
    TDateTime now{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour,        local.tm_min,     local.tm_sec};
    TToolOutput output = RunCheckTool(args, now, LocalMachine());
    std::fputs(output.Out.c_str(), stdout);
    std::fputs(output.Err.c_str(), stderr);
    return output.Status;
}
