#include "editor/FileBrowserBackEnd.h"

#include "toolkit/CFrame.h"

namespace vorlatek::editor {

FileBrowserBackEnd::FileBrowserBackEnd(std::string home) : home_(std::move(home)) {}

FileBrowserBackEnd::~FileBrowserBackEnd() { close(); }

bool FileBrowserBackEnd::start(const FileDialogRequest& request, const FileDialogParent& parent) {
    if (browser_ || !parent.frame) return false;
    toolkit::CFrame& frame = *parent.frame;
    auto browser = toolkit::make<FileBrowser>(frame.rect(), request, home_);
    toolkit::Ref<toolkit::CView> previous = frame.modalView();
    if (!frame.setModalView(browser)) return false;
    frame_ = &frame;
    browser_ = std::move(browser);
    previousModal_ = std::move(previous);
    browser_->takeFocus();
    return true;
}

FileDialogAnswer FileBrowserBackEnd::poll() {
    if (!browser_) return FileDialogAnswer::failed();
    // Someone else took the modal view away: the browser is gone for the user.
    if (frame_->modalView() != browser_.get()) {
        close();
        return FileDialogAnswer::cancelled();
    }
    switch (browser_->state()) {
        case FileBrowser::State::Open: return FileDialogAnswer::pending();
        case FileBrowser::State::Chosen: {
            std::string path = browser_->chosenPath();
            close();
            return FileDialogAnswer::chosen(std::move(path));
        }
        case FileBrowser::State::Cancelled: break;
    }
    close();
    return FileDialogAnswer::cancelled();
}

void FileBrowserBackEnd::cancel() { close(); }

void FileBrowserBackEnd::close() {
    if (frame_ && browser_ && frame_->modalView() == browser_.get()) frame_->setModalView(previousModal_);
    frame_ = nullptr;
    browser_.reset();
    previousModal_.reset();
}

}  // namespace vorlatek::editor
