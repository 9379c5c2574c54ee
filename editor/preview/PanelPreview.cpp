// vorlatek-panel-preview: draws the editor's main panel without a display, as the plug-in
// shows it at its factory state, into PNG files. With --play the sequencer runs first for
// the given seconds of audio (host transport playing at 120 bpm), so the running light and
// the playing pattern show; --window shows one of the editor's windows over the panel
// (about, preset-manager or settings), as a click on its button would.
//
//   vorlatek-panel-preview --out panel.png [--scale 2] [--play 1.5] [--write-mode] [--window settings]

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "editor/Editor.h"
#include "editor/EditorLink.h"
#include "plugin/DrumPlugin.h"
#include "toolkit/HeadlessWindow.h"

using namespace vorlatek;

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: vorlatek-panel-preview --out FILE.png [--scale S] [--play SECONDS] [--write-mode]\n"
                 "                              [--window about|preset-manager|settings]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string out;
    double scale = 1.0;
    double play = 0.0;
    bool writeMode = false;
    std::string window;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc) out = argv[++i];
        else if (arg == "--scale" && i + 1 < argc) scale = std::atof(argv[++i]);
        else if (arg == "--play" && i + 1 < argc) play = std::atof(argv[++i]);
        else if (arg == "--write-mode") writeMode = true;
        else if (arg == "--window" && i + 1 < argc) window = argv[++i];
        else return usage();
    }
    if (out.empty() || !(window.empty() || window == "about" || window == "preset-manager" || window == "settings"))
        return usage();

    editor::EditorLink host;
    DrumPlugin plugin(&host, "");
    toolkit::HeadlessWindow* headless = nullptr;
    editor::Editor editor(
        plugin,
        [&](toolkit::CFrame& frame, void*) {
            headless = &toolkit::HeadlessWindow::openOn(frame);
            return true;
        },
        [scale] { return scale; });
    host.editor = &editor;
    if (!editor.open(nullptr)) {
        std::fprintf(stderr, "vorlatek-panel-preview: the panel could not be opened\n");
        return 1;
    }
    if (writeMode) plugin.setWriteMode(true);

    const int pins = plugin.numOutputs();
    constexpr int kBlock = 512;
    std::vector<std::vector<float>> buffers(static_cast<std::size_t>(pins), std::vector<float>(kBlock));
    std::vector<float*> pointers;
    for (auto& b : buffers) pointers.push_back(b.data());
    TimeSnapshot transport;
    transport.valid = transport.playing = transport.tempoValid = transport.ppqValid = true;
    transport.tempo = 120.0;
    plugin.setProcessing(true);
    const int blocks = int(play * plugin.sampleRate() / kBlock);
    for (int b = 0; b < blocks; ++b) {
        plugin.process(pointers.data(), kBlock, &transport, true);
        transport.ppqPos += kBlock * transport.tempo / 60.0 / plugin.sampleRate();
        if (b % 4 == 0) {
            headless->advance(std::uint32_t(4.0 * kBlock * 1000.0 / plugin.sampleRate()));
            editor.idle();
        }
    }
    if (window == "about") editor.aboutWindow()->show();
    else if (window == "preset-manager") editor.presetManager()->open();
    else if (window == "settings") editor.settingsWindow()->open();
    editor.idle();
    editor.idle();
    if (!headless->writePng(out)) {
        std::fprintf(stderr, "vorlatek-panel-preview: cannot write %s\n", out.c_str());
        return 1;
    }
    editor.close();
    return 0;
}
