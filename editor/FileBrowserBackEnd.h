#pragma once
// The last way of asking: the browser drawn inside the editor. It needs only the editor's
// frame, so it works wherever the editor is open. The browser takes the frame's modal view for
// as long as it is shown; a window that was modal before (the settings window, say) is modal
// again afterwards.

#include <string>

#include "editor/FileBrowser.h"
#include "editor/FileDialogBackEnd.h"
#include "toolkit/Ref.h"

namespace vorlatek::editor {

class FileBrowserBackEnd : public FileDialogBackEnd {
public:
    // `home`: where the browser opens when the request names no folder.
    explicit FileBrowserBackEnd(std::string home);
    ~FileBrowserBackEnd() override;

    static constexpr const char* kName = "browser";

    const char* name() const override { return kName; }
    bool start(const FileDialogRequest& request, const FileDialogParent& parent) override;
    FileDialogAnswer poll() override;
    void cancel() override;

    // The browser while it is shown.
    FileBrowser* browser() const { return browser_.get(); }

private:
    void close();

    std::string home_;
    toolkit::CFrame* frame_ = nullptr;
    toolkit::Ref<FileBrowser> browser_;
    toolkit::Ref<toolkit::CView> previousModal_;
};

}  // namespace vorlatek::editor
