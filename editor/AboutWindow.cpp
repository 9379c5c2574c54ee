#include "editor/AboutWindow.h"

#include "editor/SettingsWindow.h"
#include "editor/WindowTags.h"
#include "plugin/DrumPlugin.h"
#include "plugin/ModuleServices.h"
#include "toolkit/CFrame.h"
#include "toolkit/Utf8.h"

namespace vorlatek::editor {

using namespace toolkit;

AboutWindow::AboutWindow(const WindowContext& context, SettingsWindow& settings)
    : EditorWindow(context, "About Window"), settings_(settings) {
    make<CControl>("About Close");
    make<CControl>("About Settings");
    if (const Ref<CTextLabel> version = make<CTextLabel>("About Label Version"))
        version->setText(context.plugin.versionText(true));
    if (const Ref<CTextLabel> path = make<CTextLabel>("About Label Plugin Path")) {
        std::string text = utf8::sanitize(moduleFileName());
        text.resize(utf8::advance(text, kPathChars));
        // A path too long for the label shows its end, where the module's own name is.
        if (context.frame.fonts().textWidth(text, path->font()) > path->width() - 4)
            path->setHoriAlign(HorizontalAlign::Right);
        path->setText(text);
    }
}

void AboutWindow::handle(CControl& control) {
    switch (control.tag()) {
        case tag::kAboutClose:
            if (released(control)) hide();
            break;
        case tag::kAboutSettings:
            if (released(control)) settings_.open();
            break;
        default:
            break;
    }
}

}  // namespace vorlatek::editor
