#pragma once
// The file browser drawn inside the editor, for when no dialog of the host's or the desktop's
// can be had. It covers the editor as its modal view, dims the panel, and shows in a box: the
// title, the folder with a button to its parent, the list of folders and files, the file name
// field, a notice line, the file type filter (the request's type or any file), Cancel, and
// Open or Save.
//
// Keys: in the list, the arrows move, Enter opens, Backspace goes up, typing starts a name;
// in the name field, Enter accepts; Escape cancels anywhere. A name may be a path: relative to
// the folder shown, absolute, or starting with "~/". A folder's name opens the folder. Saving
// over a file that exists (after the extension is added) asks for a second Save.

#include <string>

#include "editor/FileBrowserButton.h"
#include "editor/FileBrowserList.h"
#include "editor/FileDialogRequest.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CTextEdit.h"
#include "toolkit/CViewContainer.h"
#include "toolkit/IControlListener.h"

namespace vorlatek::editor {

class FileBrowser : public toolkit::CViewContainer,
                    public toolkit::IControlListener,
                    public FileBrowserList::Owner {
public:
    enum class State { Open, Chosen, Cancelled };

    // `area`: the frame's rectangle, which the browser covers; its box is centred in it.
    // `home`: where "~" leads and where the browser opens when the request names no folder.
    FileBrowser(const toolkit::Rect& area, const FileDialogRequest& request, std::string home);
    ~FileBrowser() override;

    // Gives the keyboard to the name field when saving, to the list when loading; once shown.
    void takeFocus();

    State state() const { return state_; }
    // The path chosen, without the extension added.
    const std::string& chosenPath() const { return chosen_; }
    const std::string& folder() const { return folder_; }
    const std::string& notice() const { return notice_; }
    // Shows `path` when it is a folder; false (with a notice) otherwise.
    bool navigate(const std::string& path);
    // What Open or Save does with the name field; Cancel.
    void accept();
    void cancel();

    FileBrowserList& list() const { return *list_; }
    toolkit::CTextEdit& nameField() const;
    toolkit::COptionMenu& filterMenu() const { return *filter_; }
    FileBrowserButton& upButton() const { return *up_; }
    FileBrowserButton& cancelButton() const { return *cancel_; }
    FileBrowserButton& okButton() const { return *ok_; }

    void draw(toolkit::DrawContext& context) override;

private:
    void valueChanged(toolkit::CControl* control) override;
    void controlEndEdit(toolkit::CControl* control) override;
    void entrySelected(int index) override;
    void entryActivated(int index) override;
    bool listKeyDown(const toolkit::KeyEvent& key) override;

private:
    class NameField;

    void refresh();
    void setName(const std::string& name);
    void setNotice(std::string notice);
    void finish(State state, std::string path);
    bool saving() const { return request_.mode == FileDialogMode::Save; }

    FileDialogRequest request_;
    std::string home_;
    std::string folder_;
    std::string notice_;
    std::string confirmedPath_;  // the existing file a second Save replaces
    State state_ = State::Open;
    std::string chosen_;
    toolkit::Rect box_;
    toolkit::Ref<FileBrowserList> list_;
    toolkit::Ref<NameField> name_;
    toolkit::Ref<toolkit::COptionMenu> filter_;
    toolkit::Ref<FileBrowserButton> up_;
    toolkit::Ref<FileBrowserButton> cancel_;
    toolkit::Ref<FileBrowserButton> ok_;
};

}  // namespace vorlatek::editor
