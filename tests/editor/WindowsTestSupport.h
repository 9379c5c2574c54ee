#pragma once
// The editor open on a headless window with its windows, and a file dialog whose answer the
// test gives: clicks by control name on the panel or any window, menus chosen by tag.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "EditorTestSupport.h"
#include "FileDialogTestSupport.h"
#include "editor/MessageBox.h"
#include "toolkit/COptionMenu.h"

namespace vorlatek::editor::testing {

// A way of asking that waits until the test answers; it goes by the name it is given.
class AnsweringBackEnd : public FileDialogBackEnd {
public:
    explicit AnsweringBackEnd(const char* name) : name_(name) {}

    const char* name() const override { return name_; }
    bool start(const FileDialogRequest& request, const FileDialogParent&) override {
        requests.push_back(request);
        return true;
    }
    FileDialogAnswer poll() override {
        if (!reply) return FileDialogAnswer::pending();
        return std::exchange(reply, std::nullopt).value();
    }
    void cancel() override { ++cancels; }

    std::optional<FileDialogAnswer> reply;
    std::vector<FileDialogRequest> requests;
    int cancels = 0;

private:
    const char* name_;
};

inline FileDialog::Chain chainOf(AnsweringBackEnd*& backEnd, const char* name) {
    FileDialog::Chain chain;
    auto answering = std::make_unique<AnsweringBackEnd>(name);
    backEnd = answering.get();
    chain.push_back(std::move(answering));
    return chain;
}

class WindowsTest : public ::testing::Test {
protected:
    // The editor asks `chain`, or else a dialog the test answers.
    explicit WindowsTest(FileDialog::Chain chain = {})
        : plugin(&host, ""),
          editor(
              plugin,
              [this](toolkit::CFrame& frame, void*) {
                  window = &toolkit::HeadlessWindow::openOn(frame);
                  return true;
              },
              [] { return 1.0; }, nullptr, chain.empty() ? chainOf(dialog, "zenity") : std::move(chain)) {
        host.editor = &editor;
    }
    ~WindowsTest() override { host.editor = nullptr; }

    void SetUp() override { ASSERT_TRUE(editor.open(nullptr)); }

    toolkit::CFrame& frame() { return *editor.frame(); }
    // A control of the panel or of one of the windows, by its layout name.
    template <class T = toolkit::CControl>
    T* control(const std::string& name) {
        toolkit::CView* view = editor.mainPanel()->control(name);
        if (!view) view = editor.aboutWindow()->control(name);
        if (!view) view = editor.presetManager()->control(name);
        if (!view) view = editor.settingsWindow()->control(name);
        EXPECT_NE(view, nullptr) << name;
        return dynamic_cast<T*>(view);
    }
    float value(const std::string& name) { return control(name) ? control(name)->value() : -1.0f; }
    void click(const std::string& name, unsigned modifiers = 0) {
        toolkit::CView* view = control<toolkit::CView>(name);
        ASSERT_NE(view, nullptr) << name;
        const toolkit::Rect r = view->frameRect();
        window->click((r.left + r.right) / 2.0, (r.top + r.bottom) / 2.0, toolkit::kLButton | modifiers);
        editor.idle();
    }
    // Chooses entry `entry` of the option menu with tag `tag`, wherever it is.
    void choose(int tag, int entry) {
        toolkit::COptionMenu* menu = nullptr;
        frame().forEachView([&](toolkit::CView& v) {
            if (auto* m = dynamic_cast<toolkit::COptionMenu*>(&v); m && m->tag() == tag) menu = m;
        });
        if (toolkit::CView* modal = frame().modalView(); modal && modal->asContainer())
            modal->asContainer()->forEachView([&](toolkit::CView& v) {
                if (auto* m = dynamic_cast<toolkit::COptionMenu*>(&v); m && m->tag() == tag) menu = m;
            });
        ASSERT_NE(menu, nullptr) << tag;
        menu->choose(entry);
        editor.idle();
    }
    // The dialog answers (a path, or a cancel for an empty one) and the editor idles.
    void answer(const std::string& path) {
        dialog->reply = path.empty() ? FileDialogAnswer::cancelled() : FileDialogAnswer::chosen(path);
        editor.idle();
    }
    MessageBox* message() { return dynamic_cast<MessageBox*>(frame().modalView()); }
    toolkit::CView* shown() { return frame().modalView(); }

    TemporaryFolder folder;
    RecordingLink host;
    DrumPlugin plugin;
    AnsweringBackEnd* dialog = nullptr;
    Editor editor;
    toolkit::HeadlessWindow* window = nullptr;
};

}  // namespace vorlatek::editor::testing
