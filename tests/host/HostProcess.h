#pragma once
// Starts a program as a separate process and waits for it, its standard output and error
// going to files, the way each platform starts programs.

#include <cstdint>
#include <string>
#include <vector>

namespace hosttest {

// args[0] is the program. extraEnv entries ("NAME=value") are added to the current
// environment. Returns the process (its id on POSIX systems), or 0 when the program could
// not be started.
std::intptr_t startProgram(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv,
                           const std::string& outPath, const std::string& errPath);

// Waits for a started program: its exit status (128 + the signal when one ended it), or -1.
int waitForProgram(std::intptr_t process);

}  // namespace hosttest
