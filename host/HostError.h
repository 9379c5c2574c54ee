#pragma once
// The one way the host reports a failure: a message that main() prints as a single line
// on stderr before exiting with status 1.

#include <stdexcept>
#include <string>

namespace vorlatek::host {

class HostError : public std::runtime_error {
public:
    explicit HostError(const std::string& message) : std::runtime_error(oneLine(message)) {}

private:
    // Libraries' own messages may end in a line break (CR LF on Windows): the line stays one.
    static std::string oneLine(std::string text) {
        for (char& c : text)
            if (c == '\n' || c == '\r') c = ' ';
        while (!text.empty() && text.back() == ' ') text.pop_back();
        return text;
    }
};

}  // namespace vorlatek::host
