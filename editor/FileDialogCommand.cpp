#include "editor/FileDialogCommand.h"

namespace vorlatek::editor {

namespace {

// The exit code with which both programs say the user cancelled.
constexpr int kCancelExit = 1;

std::string asFolder(std::string_view folder) {
    std::string result(folder);
    if (!result.empty() && result.back() != '/') result += '/';
    return result;
}

std::vector<std::string> zenityArguments(const FileDialogRequest& request) {
    std::vector<std::string> arguments{"--file-selection", "--title=" + request.title};
    if (request.mode == FileDialogMode::Save) {
        arguments.emplace_back("--save");
        arguments.emplace_back("--confirm-overwrite");
    }
    // A name ending in "/" opens the folder with nothing chosen.
    if (!request.initialFolder.empty()) arguments.push_back("--filename=" + asFolder(request.initialFolder));
    arguments.push_back("--file-filter=" + request.type.filterName() + " | " + request.type.pattern());
    arguments.push_back("--file-filter=" + std::string(kAnyFileFilterName) + " | *");
    return arguments;
}

std::vector<std::string> kdialogArguments(const FileDialogRequest& request, std::string_view home) {
    std::string start = request.initialFolder.empty() ? std::string(home) : request.initialFolder;
    if (start.empty()) start.push_back('/');
    // Filters as "patterns|description", one a line.
    const std::string filter = request.type.pattern() + "|" + request.type.filterName() + "\n*|" +
                               std::string(kAnyFileFilterName);
    return {"--title", request.title,
            request.mode == FileDialogMode::Save ? "--getsavefilename" : "--getopenfilename",
            asFolder(start), filter};
}

}  // namespace

const char* dialogProgramName(DialogProgram program) {
    return program == DialogProgram::Zenity ? "zenity" : "kdialog";
}

std::vector<std::string> dialogProgramArguments(DialogProgram program, const FileDialogRequest& request,
                                                std::string_view home) {
    return program == DialogProgram::Zenity ? zenityArguments(request) : kdialogArguments(request, home);
}

FileDialogAnswer readDialogProgramAnswer(int exitCode, std::string_view output) {
    const std::string_view line = output.substr(0, output.find('\n'));
    if (exitCode == 0 || exitCode == -1) {
        if (line.empty()) return FileDialogAnswer::cancelled();
        // Only an absolute path names a file without depending on the host's working folder.
        if (line.front() != '/' || line.find('\0') != std::string_view::npos) return FileDialogAnswer::failed();
        return FileDialogAnswer::chosen(std::string(line));
    }
    if (exitCode == kCancelExit) return FileDialogAnswer::cancelled();
    return FileDialogAnswer::failed();
}

FileDialogCommand::FileDialogCommand(DialogProgram program, std::vector<std::string> environment)
    : program_(program), environment_(std::move(environment)) {}

bool FileDialogCommand::start(const FileDialogRequest& request, const FileDialogParent&) {
    if (child_.isRunning()) return false;
    if (ChildProcess::lookUp(environment_, "DISPLAY").empty() &&
        ChildProcess::lookUp(environment_, "WAYLAND_DISPLAY").empty())
        return false;
    const std::string path = ChildProcess::findProgram(name(), environment_);
    if (path.empty()) return false;
    return child_.start(path, dialogProgramArguments(program_, request, ChildProcess::lookUp(environment_, "HOME")),
                        environment_);
}

FileDialogAnswer FileDialogCommand::poll() {
    if (!child_.hasEnded() && !child_.poll()) return FileDialogAnswer::pending();
    return readDialogProgramAnswer(child_.exitCode(), child_.output());
}

void FileDialogCommand::cancel() { child_.end(); }

}  // namespace vorlatek::editor
