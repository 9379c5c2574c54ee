#pragma once
// One way of asking the user for a file: the host's selector, the desktop portal, a dialog
// program, the browser drawn in the editor. FileDialog tries them in order. A back end is
// started, then polled from the editor's idle until it answers; none of its calls may wait on
// the user, a child process or a reply.

#include <cstdint>
#include <string>

#include "editor/FileDialogRequest.h"

namespace vorlatek::toolkit {
class CFrame;
}

namespace vorlatek::editor {

// Where a dialog shows: the editor's frame (for a dialog drawn inside it) and the X11 id of
// the editor's window (the parent of a dialog of the desktop's). Null and 0 while closed.
struct FileDialogParent {
    toolkit::CFrame* frame = nullptr;
    std::uint32_t window = 0;
};

struct FileDialogAnswer {
    enum class Status {
        Pending,    // still asking
        Chosen,     // the user chose `path` (not yet completed with the extension)
        Cancelled,  // the user said no
        Failed,     // this way did not work after all: the next one is tried
    };
    Status status = Status::Pending;
    std::string path;

    static FileDialogAnswer pending() { return {}; }
    static FileDialogAnswer chosen(std::string path) { return {Status::Chosen, std::move(path)}; }
    static FileDialogAnswer cancelled() { return {Status::Cancelled, {}}; }
    static FileDialogAnswer failed() { return {Status::Failed, {}}; }
};

class FileDialogBackEnd {
public:
    virtual ~FileDialogBackEnd() = default;

    // A short name for logs and tests ("host", "portal", "zenity", "kdialog", "browser").
    virtual const char* name() const = 0;
    // Begins asking; false when this way cannot be used here (nothing was started).
    virtual bool start(const FileDialogRequest& request, const FileDialogParent& parent) = 0;
    // What came of it so far. After an answer other than Pending the back end is idle again.
    virtual FileDialogAnswer poll() = 0;
    // Stops asking and tidies up (closes the dialog, ends a child); harmless when idle.
    virtual void cancel() = 0;
};

}  // namespace vorlatek::editor
