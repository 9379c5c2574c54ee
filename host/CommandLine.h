#pragma once
// The program's arguments after its name, as UTF-8 on every platform.

#include <string>
#include <vector>

namespace vorlatek::host {

std::vector<std::string> commandLineArguments(int argc, char** argv);

}  // namespace vorlatek::host
