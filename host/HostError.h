#pragma once
// The one way the host reports a failure: a message that main() prints as a single line
// on stderr before exiting with status 1.

#include <stdexcept>
#include <string>

namespace vorlatek::host {

class HostError : public std::runtime_error {
public:
    explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vorlatek::host
