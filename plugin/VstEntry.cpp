// The module's entry point. Hosts look it up as `VSTPluginMain` (or, older ones, `main`).
#include "plugin/VstEffect.h"

#ifdef _WIN32
// The editor's toolkit draws through X11: a Windows build has no editor yet, and says so.
constexpr vorlatek::PluginEditorFactory kEditor = nullptr;
#else
#include "editor/Editor.h"
constexpr vorlatek::PluginEditorFactory kEditor = &vorlatek::editor::makeEditor;
#endif

extern "C" __attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(vst::audioMasterCallback host) {
    return vorlatek::VstEffect::create(host, kEditor);
}

// `main` is the same function under the old name. C++ does not allow a function called
// main with this signature, so the alias is made by the assembler on ELF systems, and by
// the export table (exports.def) on Windows.
#ifndef _WIN32
asm(".globl main\n\t.type main, @function\n\t.set main, VSTPluginMain");
#endif
