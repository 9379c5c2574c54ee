#pragma once
// What the editor's file menus and buttons do: ask for a path through the file dialog, then
// hand it to the plug-in operation that reads or writes the file. The save-pattern menu of the
// panel, the preset manager's load and save menus, and the settings window's bank and MIDI CC
// map buttons all go through here.
//
// Nothing waits for the user: a flow starts a request and returns; the rest happens when the
// editor's idle polls the dialog and the answer comes. Files are kept safe on the way:
//   - a cancelled or failed dialog writes and reads nothing;
//   - a name the user typed without the extension names another file once the extension is
//     added; when that file exists, and the way of asking was not the built-in browser (which
//     asks itself), the editor asks before replacing it;
//   - the writers replace a file only once its new content is complete, and a file that does
//     not parse changes nothing; either failure is told in a notice.
// Everything here runs on the thread that opened the editor.

#include <functional>
#include <string>
#include <string_view>

#include "editor/FileDialog.h"

namespace vorlatek {
class DrumPlugin;
}

namespace vorlatek::editor {

// The request of the save-pattern menu's entry (0 pattern, 1 set, 2 bank) in host mode (the
// simple family) or not (the extended family).
FileDialogRequest savePatternRequest(bool hostMode, int entry);
// Whether a chosen path names a file of the family the mode saves: the extension from the
// last "." in any case, one of .vsp/.vss/.vsb in host mode, of .vep/.ves/.veb otherwise.
bool savesPatternFamily(std::string_view path, bool hostMode);

// The three default banks the settings window names.
enum class DefaultBank { Presets, SimplePatterns, ExtendedPatterns };
FileDialogRequest defaultBankRequest(DefaultBank bank, std::string_view current);

class LoadSaveFlows {
public:
    // Called once a flow is over, whatever became of it (to redraw what shows the files' effect).
    using Done = std::function<void()>;
    // Called with the path chosen for a default bank.
    using Chosen = std::function<void(const std::string& path)>;

    LoadSaveFlows(DrumPlugin& plugin, FileDialog::Chain chain);

    // Where dialogs and notices show: set when the editor window opens, cleared when it
    // closes (which drops a running request).
    void setParent(const FileDialogParent& parent);
    // From the editor's idle, first thing: moves the request on. False while the host's own
    // dialog runs inside this very call further up: the window is then left alone.
    bool idle();

    // Each starts a request and says whether it did (not while another one runs). `owner`
    // marks the request as the asking window's, so that cancel(owner) can drop it.
    bool savePattern(int entry, const void* owner = nullptr, Done done = {});
    bool loadPresets(int entry, const void* owner = nullptr, Done done = {});
    bool savePresets(int entry, const void* owner = nullptr, Done done = {});
    bool chooseDefaultBank(DefaultBank bank, std::string_view current, const void* owner, Chosen chosen);
    bool loadMidiCcMap(const void* owner = nullptr);
    bool saveMidiCcMap(const void* owner = nullptr);
    // Drops the running request when `owner` started it.
    void cancel(const void* owner);

    FileDialog& dialog() { return dialog_; }
    // The folder of the last file chosen, where the next dialog opens.
    const std::string& lastFolder() const { return lastFolder_; }

private:
    using Write = std::function<bool(const std::string& path)>;

    bool ask(FileDialogRequest request, const void* owner, FileDialog::Completion completion);
    bool save(FileDialogRequest request, const void* owner, Write write, Done done);
    bool load(FileDialogRequest request, const void* owner, Write read, Done done);
    void write(const std::string& path, const Write& write, const Done& done);
    void notice(const std::string& text);
    FileDialogRequest request(FileDialogMode mode, std::string title, const FileType& type) const;

    DrumPlugin& plugin_;
    FileDialog dialog_;
    toolkit::CFrame* frame_ = nullptr;
    const void* owner_ = nullptr;
    std::string lastFolder_;
};

}  // namespace vorlatek::editor
