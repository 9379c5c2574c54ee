#pragma once
// Helpers of the file dialog tests: a temporary folder that goes away with the test, files
// written into it, and a way of asking that answers as a test says.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "editor/FileDialogBackEnd.h"

namespace vorlatek::editor::testing {

class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vorlatek-dialog-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Writes `content` to `name` (folders on the way are made); `mode` for scripts.
    std::string write(const std::string& name, const std::string& content, mode_t mode = 0644) const {
        const std::string file = *this / name;
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file, std::ios::binary) << content;
        chmod(file.c_str(), mode);
        return file;
    }
    std::string makeFolder(const std::string& name) const {
        std::filesystem::create_directories(*this / name);
        return *this / name;
    }

private:
    std::string path_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A way of asking that starts when told to and then gives the answers it was given, one per
// poll, the last one over and over.
class ScriptedBackEnd : public FileDialogBackEnd {
public:
    ScriptedBackEnd(const char* name, bool starts, std::vector<FileDialogAnswer> answers)
        : name_(name), starts_(starts), answers_(std::move(answers)) {}

    const char* name() const override { return name_; }
    bool start(const FileDialogRequest& request, const FileDialogParent&) override {
        ++starts;
        lastRequest = request;
        next_ = 0;
        return starts_;
    }
    FileDialogAnswer poll() override {
        ++polls;
        const FileDialogAnswer answer = answers_[std::min(next_, answers_.size() - 1)];
        ++next_;
        return answer;
    }
    void cancel() override { ++cancels; }

    int starts = 0;
    int polls = 0;
    int cancels = 0;
    FileDialogRequest lastRequest;

private:
    const char* name_;
    bool starts_;
    std::vector<FileDialogAnswer> answers_;
    std::size_t next_ = 0;
};

}  // namespace vorlatek::editor::testing
