#include "editor/Editor.h"

#include <algorithm>
#include <cmath>

#include "editor/HostKeys.h"
#include "editor/ModuleImageSource.h"
#include "plugin/DrumPlugin.h"
#include "toolkit/CBitmap.h"
#include "toolkit/X11Window.h"

namespace vorlatek::editor {

using namespace toolkit;

namespace {

bool openX11(CFrame& frame, void* parent) {
    const auto id = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(parent));
    if (id == 0) return false;
    auto window = X11Window::open(id, frame.windowWidth(), frame.windowHeight());
    if (!window) return false;
    frame.open(std::move(window));
    return true;
}

double usableScale(double scale) { return std::isfinite(scale) ? std::clamp(scale, 1.0, 4.0) : 1.0; }

}  // namespace

// Marks the editor busy for the life of a host call; false when it already was.
class Editor::Busy {
public:
    explicit Busy(Editor& editor) : editor_(editor), entered_(!editor.busy_) { editor_.busy_ = true; }
    ~Busy() {
        if (entered_) editor_.busy_ = false;
    }
    explicit operator bool() const { return entered_; }

private:
    Editor& editor_;
    bool entered_;
};

Editor::Editor(DrumPlugin& plugin, HostFileSelector* hostFiles)
    : Editor(plugin, openX11, [] { return X11Window::desktopScale(); }, nullptr, FileDialog::standardChain(hostFiles)) {}

Editor::Editor(DrumPlugin& plugin, WindowOpener opener, ScaleSource desktopScale,
               std::shared_ptr<ImageSource> images, FileDialog::Chain dialogs)
    : plugin_(plugin),
      layout_(GuiLayout::builtIn(plugin.registry())),
      images_(images ? std::move(images) : std::make_shared<ModuleImageSource>()),
      opener_(std::move(opener)),
      desktopScale_(std::move(desktopScale)),
      files_(plugin, dialogs.empty() ? FileDialog::standardChain(nullptr) : std::move(dialogs)) {
    // The window is the size of the panel's background picture.
    const CBitmap background(images_, kBackgroundBitmap);
    panel_ = Rect::fromSize(0, 0, std::max(background.width(), 1), std::max(background.height(), 1));
}

Editor::~Editor() {
    const std::lock_guard<std::recursive_mutex> guard(lock_);
    closeLocked();
}

double Editor::scaleForOpen() {
    if (hostScale_ > 0.0) return usableScale(hostScale_);
    if (desktop_ == 0.0) desktop_ = usableScale(desktopScale_ ? desktopScale_() : 1.0);
    return desktop_;
}

PluginEditor::Size Editor::size() {
    const std::lock_guard<std::recursive_mutex> guard(lock_);
    const double scale = frame_ ? scale_ : scaleForOpen();
    return {int(std::ceil(panel_.width() * scale)), int(std::ceil(panel_.height() * scale))};
}

void Editor::setHostScale(double scale) {
    const std::lock_guard<std::recursive_mutex> guard(lock_);
    hostScale_ = std::isfinite(scale) && scale > 0.0 ? scale : 0.0;
}

bool Editor::open(void* parentWindow) {
    const std::lock_guard<std::recursive_mutex> guard(lock_);
    const Busy busy(*this);
    if (!busy) return false;
    closeLocked();
    scale_ = scaleForOpen();
    // Decoded pictures are kept from one open to the next at the same scale.
    if (!store_ || store_->scale() != scale_) {
        store_ = std::make_unique<ImageStore>(images_);
        store_->setScale(scale_);
    }
    frame_ = make<CFrame>(panel_);
    frame_->setScale(scale_);
    frame_->setKnobMode(knobMode_);
    frame_->setBackground(store_->bitmap(kBackgroundBitmap));
    if (!opener_ || !opener_(*frame_, parentWindow) || !frame_->isOpen()) {
        frame_.reset();
        return false;
    }
    parameters_.clear();
    notifications_.clear();
    replaced_.store(false, std::memory_order_relaxed);
    PanelWindows* windows = this;
    mainPanel_ = std::make_unique<MainPanel>(plugin_, layout_, *store_, *frame_,
                                             MainPanel::Inbox{notifications_, parameters_}, windows);
    const X11Window* x11 = dynamic_cast<const X11Window*>(frame_->window());
    files_.setParent({frame_.get(), x11 ? x11->windowId() : 0});
    const WindowContext context{plugin_, layout_, *store_, *frame_, *mainPanel_, files_};
    settings_ = std::make_unique<SettingsWindow>(context);
    presetManager_ = std::make_unique<PresetManager>(context, presetPage_);
    about_ = std::make_unique<AboutWindow>(context, *settings_);
    open_.store(true, std::memory_order_release);
    frame_->idle();
    return true;
}

void Editor::close() {
    const std::lock_guard<std::recursive_mutex> guard(lock_);
    const Busy busy(*this);
    if (busy) closeLocked();
}

void Editor::closeLocked() {
    open_.store(false, std::memory_order_release);
    if (!frame_) return;
    // A dialog still asking ends with the window it belongs to.
    files_.setParent({});
    frame_->close();
    frame_->setModalView(nullptr);
    frame_->detachAll();
    about_.reset();
    presetManager_.reset();
    settings_.reset();
    mainPanel_.reset();
    frame_.reset();
}

void Editor::idle() {
    const std::lock_guard<std::recursive_mutex> guard(lock_);
    const Busy busy(*this);
    if (!busy || !frame_ || !mainPanel_) return;
    // The file dialog first: its answer may change what the displays show. While the host's
    // own dialog runs further up this call, the window is left alone.
    if (!files_.idle() || !frame_) return;
    if (replaced_.exchange(false, std::memory_order_acquire)) {
        mainPanel_->refreshAll();
        if (presetManager_) presetManager_->refresh();
    }
    mainPanel_->idle();
    frame_->idle();
}

bool Editor::keyDown(int character, int virtualKey, int modifiers) {
    // Keys only wait in the frame's queue, so they are taken even from inside another call.
    const std::lock_guard<std::recursive_mutex> guard(lock_);
    if (!frame_ || !frame_->wantsKeyboard()) return false;
    const std::optional<KeyEvent> key = keyFromHost(character, virtualKey, modifiers);
    return key && frame_->postHostKey(*key);
}

bool Editor::keyUp(int, int, int) {
    const std::lock_guard<std::recursive_mutex> guard(lock_);
    return frame_ && frame_->wantsKeyboard();
}

void Editor::setKnobMode(int mode) {
    const std::lock_guard<std::recursive_mutex> guard(lock_);
    knobMode_ = mode == 0 ? KnobMode::Circular : KnobMode::Linear;
    if (frame_) frame_->setKnobMode(knobMode_);
}

void Editor::parameterChanged(int index, float value) {
    if (open_.load(std::memory_order_acquire)) parameters_.post(index, value);
}

void Editor::notify(int code) {
    if (open_.load(std::memory_order_acquire)) notifications_.post(code);
}

void Editor::stateReplaced() {
    if (open_.load(std::memory_order_acquire)) replaced_.store(true, std::memory_order_release);
}

void Editor::showAbout() {
    if (about_) about_->show();
}

void Editor::showSettings() {
    if (settings_) settings_->open();
}

void Editor::showPresetManager() {
    if (presetManager_) presetManager_->open();
}

void Editor::savePattern(int entry) { files_.savePattern(entry); }

std::unique_ptr<PluginEditor> makeEditor(DrumPlugin& plugin, HostFileSelector& hostFiles) {
    return std::make_unique<Editor>(plugin, &hostFiles);
}

}  // namespace vorlatek::editor
