#pragma once
// A question or a notice drawn inside the editor above everything else, in the style of the
// built-in file browser: a few lines of text and one or two buttons. It takes the frame's
// modal view while shown and then gives it back to the view that had it (a window of the
// editor, say). Enter answers with the accepting button, Escape with the other one (with the
// only one of a notice).

#include <functional>
#include <string>
#include <vector>

#include "editor/FileBrowserButton.h"
#include "toolkit/CViewContainer.h"
#include "toolkit/IControlListener.h"

namespace vorlatek::editor {

class MessageBox : public toolkit::CViewContainer, public toolkit::IControlListener {
public:
    // Called once with the user's answer; true for the accepting button.
    using Answer = std::function<void(bool accepted)>;

    // Shows `text` (lines separated by '\n') over `frame` with a button `accept` and, unless
    // empty, a button `reject` to its left. Null when the box cannot be shown (another box is
    // up); `answer` is then dropped.
    static toolkit::Ref<MessageBox> show(toolkit::CFrame& frame, const std::string& text, std::string accept,
                                         std::string reject = {}, Answer answer = {});

    // Answers as the button would, closes the box and gives the modal view back.
    void answer(bool accepted);
    bool answered() const { return answered_; }
    const std::vector<std::string>& lines() const { return lines_; }
    FileBrowserButton& acceptButton() const { return *accept_; }
    FileBrowserButton* rejectButton() const { return reject_.get(); }

    void draw(toolkit::DrawContext& context) override;
    bool onKeyDown(const toolkit::KeyEvent& key) override;

    MessageBox(const toolkit::Rect& area, const std::string& text, std::string accept, std::string reject, Answer answer);

private:
    void valueChanged(toolkit::CControl* control) override;

    std::vector<std::string> lines_;
    Answer answer_;
    bool answered_ = false;
    toolkit::Rect box_;
    toolkit::Ref<FileBrowserButton> accept_;
    toolkit::Ref<FileBrowserButton> reject_;
    toolkit::Ref<toolkit::CView> previousModal_;
};

}  // namespace vorlatek::editor
