// Arguments on Windows: main's argv is in the ANSI code page, which loses every character of
// a file name outside it, so the arguments are split again from the UTF-16 command line.
#include "host/CommandLine.h"

#include "sequencer/Utf16Win32.h"

#include <windows.h>
#include <shellapi.h>

namespace vorlatek::host {

std::vector<std::string> commandLineArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(utf8FromWide(wide[i]));
    LocalFree(wide);
    return args;
}

}  // namespace vorlatek::host
