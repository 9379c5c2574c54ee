#pragma once
// The about window: the plug-in's version, the full file name of the module the host loaded,
// a button that closes it and one that leads on to the settings window.

#include "editor/EditorWindow.h"
#include "toolkit/CTextLabel.h"

namespace vorlatek::editor {

class SettingsWindow;

class AboutWindow : public EditorWindow {
public:
    // Characters of the module's file name shown.
    static constexpr std::size_t kPathChars = 256;

    AboutWindow(const WindowContext& context, SettingsWindow& settings);

private:
    void handle(toolkit::CControl& control) override;

    SettingsWindow& settings_;
};

}  // namespace vorlatek::editor
