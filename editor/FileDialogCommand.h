#pragma once
// A dialog program of the desktop's, zenity or kdialog, run as a child process: found on PATH
// (absolute folders only), started only where a display is named, read from idle, and killed
// when the request is cancelled. Each prints the chosen path on a line and exits with 0;
// 1 means the user cancelled; anything else means the program did not work here, and the
// next way of asking is tried.

#include <string>
#include <string_view>
#include <vector>

#include "editor/ChildProcess.h"
#include "editor/FileDialogBackEnd.h"

namespace vorlatek::editor {

enum class DialogProgram { Zenity, Kdialog };

const char* dialogProgramName(DialogProgram program);
// The arguments after the program's name. `home` is where kdialog starts without an initial
// folder (it needs one to take a filter).
std::vector<std::string> dialogProgramArguments(DialogProgram program, const FileDialogRequest& request,
                                                std::string_view home);
// What an ended program's exit code (-1 when unknown) and output say.
FileDialogAnswer readDialogProgramAnswer(int exitCode, std::string_view output);

class FileDialogCommand : public FileDialogBackEnd {
public:
    // `environment` is what the program is found with and run in (less LD_LIBRARY_PATH).
    FileDialogCommand(DialogProgram program, std::vector<std::string> environment);

    const char* name() const override { return dialogProgramName(program_); }
    bool start(const FileDialogRequest& request, const FileDialogParent& parent) override;
    FileDialogAnswer poll() override;
    void cancel() override;

private:
    DialogProgram program_;
    std::vector<std::string> environment_;
    ChildProcess child_;
};

}  // namespace vorlatek::editor
