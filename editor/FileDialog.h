#pragma once
// The editor's file dialog: one request at a time, started from a control's handler, polled
// from the editor's idle, answered once with a path or a cancel. Nothing here waits for the
// user: every way of asking (FileDialogBackEnd) runs beside the host while idle polls it.
//
// The ways are tried in order until one starts; one that fails later hands over to the next.
// The usual order is the host's own selector (when the host says it has one), the desktop
// portal, zenity, kdialog, and last the browser drawn inside the editor, which always works
// while the editor is open.
//
// The host's selector is the one exception to "nothing waits": the host runs its dialog
// inside the call that opens it, and some hosts idle the editor from in there. poll() is then
// re-entered; it answers Pending at once, and insideHostDialog() tells the editor to leave its
// window alone until the host's call returns.
//
// In the editor:
//     FileDialog dialog(FileDialog::standardChain(hostSelectorOrNull));
//     open:    dialog.setParent({frame, x11Window->windowId()});
//     handler: dialog.start({FileDialogMode::Save, "Save Vorlatek Presets", fileTypes::kPreset, ""},
//                           [this](const std::string& path) { plugin.savePresetFile(path); });
//     idle:    if (dialog.insideHostDialog()) return;  dialog.poll();  frame->idle();
//     close:   dialog.setParent({});

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/FileDialogBackEnd.h"
#include "editor/FileDialogRequest.h"

namespace vorlatek {
class HostFileSelector;
}

namespace vorlatek::editor {

struct FileDialogResult {
    enum class Status {
        Idle,       // no request
        Pending,    // the user is choosing
        Chosen,     // `path` is the chosen path, completed with the type's extension (an
                    // existing file chosen for loading is left as it is named)
        Cancelled,  // the user cancelled, or no dialog could be shown
    };
    Status status = Status::Idle;
    std::string path;
};

class FileDialog {
public:
    using Chain = std::vector<std::unique_ptr<FileDialogBackEnd>>;
    // Called from poll() with the completed path, or an empty path after a cancel.
    using Completion = std::function<void(const std::string& path)>;

    // The usual chain; `host` may be null (no host selector).
    static Chain standardChain(HostFileSelector* host);

    explicit FileDialog(Chain chain);
    ~FileDialog();
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;

    // Where dialogs show. The editor sets it when its window opens and clears it (a null
    // frame) when it closes, which also cancels a running request and ends its dialog.
    void setParent(const FileDialogParent& parent);

    // Starts asking. False, and nothing changes, while another request runs or when no way of
    // asking could start.
    bool start(FileDialogRequest request, Completion done = {});
    bool isBusy() const { return current_ != kNone; }
    // The name of the way asking now ("portal", "browser", ...), or an empty text.
    std::string activeBackEnd() const;

    // Moves the request on. Chosen and Cancelled come once, together with the completion;
    // after them the dialog is idle and a new request may start (also from the completion).
    FileDialogResult poll();
    // Drops the request and closes its dialog; nothing is reported.
    void cancel();

    bool insideHostDialog() const { return polling_; }

    // The last choice as it was made, until the next request starts: the way that answered
    // and the path before the extension was added. A completion reads them to tell whether
    // the user saw the name that is about to be written.
    const std::string& answeredBy() const { return answeredBy_; }
    const std::string& answeredPath() const { return answeredPath_; }

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // Starts the ways from `index` on until one starts; false when none did.
    bool startFrom(std::size_t index);
    FileDialogResult finish(FileDialogResult::Status status, std::string path);

    Chain chain_;
    FileDialogParent parent_;
    FileDialogRequest request_;
    Completion done_;
    std::size_t current_ = kNone;
    bool polling_ = false;
    std::string answeredBy_;
    std::string answeredPath_;
};

}  // namespace vorlatek::editor
