// Starting a program on Windows: CreateProcessW with one command line, quoted so that the
// C runtime of the program splits it back into the same arguments, an environment block
// of the current variables and the extra ones, and inheritable handles of the output files.
#include "HostProcess.h"

#include "sequencer/Utf16Win32.h"

#include <windows.h>

namespace hosttest {
namespace {

// One argument as the C runtime reads it back: quoted when it has blanks or quotes, with
// the backslashes before a quote (and before the closing quote) doubled.
std::wstring quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

HANDLE openOutput(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(vorlatek::wideFromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::intptr_t startProgram(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv,
                           const std::string& outPath, const std::string& errPath) {
    std::wstring commandLine;
    for (const std::string& arg : args) commandLine += (commandLine.empty() ? L"" : L" ") + quoted(vorlatek::wideFromUtf8(arg));

    std::wstring environment;
    if (wchar_t* block = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) environment.append(entry, wcslen(entry) + 1);
        FreeEnvironmentStringsW(block);
    }
    for (const std::string& entry : extraEnv) environment += vorlatek::wideFromUtf8(entry) + L'\0';
    environment += L'\0';

    const HANDLE out = openOutput(outPath);
    const HANDLE err = openOutput(errPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = INVALID_HANDLE_VALUE;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const bool started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                         CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                                        environment.data(), nullptr, &startup, &process);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
    if (!started) return 0;
    CloseHandle(process.hThread);
    return reinterpret_cast<std::intptr_t>(process.hProcess);
}

int waitForProgram(std::intptr_t process) {
    const HANDLE handle = reinterpret_cast<HANDLE>(process);
    if (!handle) return -1;
    int result = -1;
    DWORD code = 0;
    if (WaitForSingleObject(handle, INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(handle, &code))
        result = static_cast<int>(code);
    CloseHandle(handle);
    return result;
}

}  // namespace hosttest
