#include "editor/EditorWindow.h"

#include "editor/MainPanel.h"
#include "engine/ParameterIndex.h"
#include "plugin/DrumPlugin.h"
#include "toolkit/CFrame.h"
#include "toolkit/CKickButton.h"

namespace vorlatek::editor {

using namespace toolkit;

EditorWindow::EditorWindow(const WindowContext& context, std::string_view containerName)
    : context_(context),
      factory_(context.layout, context.images, context.frame, this, [&plugin = context.plugin](int tag) {
          return tag >= 0 && tag < param::kCount ? plugin.getParameter(tag) : 0.0f;
      }) {
    container_ = factory_.create<CViewContainer>(containerName);
}

EditorWindow::~EditorWindow() { hide(); }

bool EditorWindow::isShown() const { return container_ && context_.frame.modalView() == container_.get(); }

void EditorWindow::show() {
    if (!container_ || isShown()) return;
    context_.frame.setModalView(container_);
    context_.frame.invalidAll();
}

void EditorWindow::hide() {
    if (!isShown()) return;
    context_.frame.setModalView(nullptr);
    context_.frame.invalidAll();
}

CView* EditorWindow::control(std::string_view name) const {
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second.get();
}

void EditorWindow::add(Ref<CView> view, std::string_view name) {
    if (!container_ || !view) return;
    container_->attach(view);
    byName_.emplace(std::string(name), std::move(view));
}

unsigned EditorWindow::buttons() const { return context_.frame.buttons(); }

void EditorWindow::valueChanged(CControl* control) {
    if (!control) return;
    const bool kick = control == held_;
    if (kick && (buttons() & kLButton)) {
        over_ = control->value() > 0.5f;
    } else if (kick) {
        releaseOver_ = over_;
        over_ = false;
    }
    handle(*control);
    pressReport_ = false;
    releaseOver_ = false;
    context_.panel.drainInbox();
}

void EditorWindow::controlBeginEdit(CControl* control) {
    if (!dynamic_cast<CKickButton*>(control)) return;
    held_ = control;
    over_ = false;
    pressReport_ = true;
}

void EditorWindow::controlEndEdit(CControl* control) {
    if (control == held_) held_ = nullptr;
}

bool EditorWindow::pressed(const CControl& button) {
    return &button == held_ && pressReport_ && over_ && (buttons() & kLButton);
}

bool EditorWindow::released(const CControl& button) { return &button == held_ && releaseOver_; }

}  // namespace vorlatek::editor
