#include "editor/LoadSaveFlows.h"

#include <utility>

#include "editor/FileBrowserBackEnd.h"
#include "editor/FileBrowserFolder.h"
#include "editor/MessageBox.h"
#include "plugin/DrumPlugin.h"

namespace vorlatek::editor {

namespace {

const char* const kSaveSimplePatterns = "Save Simple Patterns";
const char* const kSaveExtendedPatterns = "Save Extended Patterns";
const char* const kLoadPresets = "Load Vorlatek Presets";
const char* const kSavePresets = "Save Vorlatek Presets";
const char* const kSelectMidiCcMap = "Select Vorlatek MidiCC Map";

// The save-pattern menu's entries in order (pattern, set, bank), for each family.
constexpr const FileType* kSimpleFamily[3] = {&fileTypes::kSimplePattern, &fileTypes::kSimpleSet,
                                              &fileTypes::kSimplePatternBank};
constexpr const FileType* kExtendedFamily[3] = {&fileTypes::kExtendedPattern, &fileTypes::kExtendedSet,
                                                &fileTypes::kExtendedPatternBank};
// The preset manager's menus: one preset, or the bank.
constexpr const FileType* kPresetTypes[2] = {&fileTypes::kPreset, &fileTypes::kPresetBank};

struct BankChoice {
    const char* title;
    const FileType* type;
};
constexpr BankChoice kBankChoices[3] = {
    {"Select Vorlatek Preset Bank", &fileTypes::kPresetBank},
    {"Select Vorlatek Simple Pattern Bank", &fileTypes::kSimplePatternBank},
    {"Select Vorlatek Extended Pattern Bank", &fileTypes::kExtendedPatternBank},
};

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool sameExtension(std::string_view extension, std::string_view typeExtension) {
    if (extension.size() != typeExtension.size()) return false;
    for (std::size_t i = 0; i < extension.size(); ++i)
        if (lowerAscii(extension[i]) != typeExtension[i]) return false;
    return true;
}

std::string quoted(std::string_view name) { return "\u201C" + std::string(name) + "\u201D"; }

int clampedEntry(int entry, int count) { return entry < 0 ? 0 : entry >= count ? count - 1 : entry; }

}  // namespace

FileDialogRequest savePatternRequest(bool hostMode, int entry) {
    const FileType& type = *(hostMode ? kSimpleFamily : kExtendedFamily)[clampedEntry(entry, 3)];
    return {FileDialogMode::Save, hostMode ? kSaveSimplePatterns : kSaveExtendedPatterns, type, ""};
}

bool savesPatternFamily(std::string_view path, bool hostMode) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view extension = path.substr(dot + 1);
    for (const FileType* type : hostMode ? kSimpleFamily : kExtendedFamily)
        if (sameExtension(extension, type->extension)) return true;
    return false;
}

FileDialogRequest defaultBankRequest(DefaultBank bank, std::string_view current) {
    const BankChoice& choice = kBankChoices[static_cast<int>(bank)];
    // The dialog opens where the bank named now lies.
    return {FileDialogMode::Load, choice.title, *choice.type, current.empty() ? std::string() : parentFolder(current)};
}

LoadSaveFlows::LoadSaveFlows(DrumPlugin& plugin, FileDialog::Chain chain) : plugin_(plugin), dialog_(std::move(chain)) {}

void LoadSaveFlows::setParent(const FileDialogParent& parent) {
    dialog_.setParent(parent);
    frame_ = parent.frame;
}

bool LoadSaveFlows::idle() {
    if (dialog_.insideHostDialog()) return false;
    dialog_.poll();
    return true;
}

FileDialogRequest LoadSaveFlows::request(FileDialogMode mode, std::string title, const FileType& type) const {
    return {mode, std::move(title), type, lastFolder_};
}

bool LoadSaveFlows::ask(FileDialogRequest request, const void* owner, FileDialog::Completion completion) {
    if (!dialog_.start(std::move(request), std::move(completion))) return false;
    owner_ = owner;
    return true;
}

void LoadSaveFlows::cancel(const void* owner) {
    if (owner && owner == owner_ && dialog_.isBusy()) dialog_.cancel();
}

bool LoadSaveFlows::save(FileDialogRequest request, const void* owner, Write write, Done done) {
    return ask(std::move(request), owner, [this, write = std::move(write), done = std::move(done)](const std::string& path) {
        owner_ = nullptr;
        if (path.empty()) {
            if (done) done();
            return;
        }
        lastFolder_ = parentFolder(path);
        // The name the user saw is not the one about to be written when the extension was
        // added to it; the built-in browser has asked about the completed name itself.
        const bool renamed = dialog_.answeredBy() != FileBrowserBackEnd::kName && dialog_.answeredPath() != path;
        if (renamed && pathExists(path)) {
            const auto replace = [this, path, write, done](bool accepted) {
                if (accepted) this->write(path, write, done);
                else if (done) done();
            };
            if (!frame_ || !MessageBox::show(*frame_, quoted(baseName(path)) + " already exists.\nDo you want to replace it?",
                                             "Replace", "Cancel", replace)) {
                if (done) done();
            }
            return;
        }
        this->write(path, write, done);
    });
}

void LoadSaveFlows::write(const std::string& path, const Write& write, const Done& done) {
    if (!write(path)) notice(quoted(baseName(path)) + " could not be saved.\nNothing was written.");
    if (done) done();
}

bool LoadSaveFlows::load(FileDialogRequest request, const void* owner, Write read, Done done) {
    return ask(std::move(request), owner, [this, read = std::move(read), done = std::move(done)](const std::string& path) {
        owner_ = nullptr;
        if (!path.empty()) {
            lastFolder_ = parentFolder(path);
            if (!read(path)) notice(quoted(baseName(path)) + " could not be loaded.\nNothing was changed.");
        }
        if (done) done();
    });
}

void LoadSaveFlows::notice(const std::string& text) {
    if (frame_) MessageBox::show(*frame_, text, "OK");
}

bool LoadSaveFlows::savePattern(int entry, const void* owner, Done done) {
    const bool hostMode = plugin_.sequencerSettings()->hostMode;
    FileDialogRequest asked = savePatternRequest(hostMode, entry);
    asked.initialFolder = lastFolder_;
    // The extension decides what is saved, in the family of the mode the plug-in is in when
    // the answer comes.
    return save(std::move(asked), owner,
                [this](const std::string& path) {
                    return savesPatternFamily(path, plugin_.sequencerSettings()->hostMode) &&
                           plugin_.savePatternFile(path);
                },
                std::move(done));
}

bool LoadSaveFlows::loadPresets(int entry, const void* owner, Done done) {
    return load(request(FileDialogMode::Load, kLoadPresets, *kPresetTypes[clampedEntry(entry, 2)]), owner,
                [this](const std::string& path) { return plugin_.loadPresetFile(path); }, std::move(done));
}

bool LoadSaveFlows::savePresets(int entry, const void* owner, Done done) {
    return save(request(FileDialogMode::Save, kSavePresets, *kPresetTypes[clampedEntry(entry, 2)]), owner,
                [this](const std::string& path) { return plugin_.savePresetFile(path); }, std::move(done));
}

bool LoadSaveFlows::chooseDefaultBank(DefaultBank bank, std::string_view current, const void* owner, Chosen chosen) {
    FileDialogRequest asked = defaultBankRequest(bank, current);
    if (asked.initialFolder.empty()) asked.initialFolder = lastFolder_;
    return ask(std::move(asked), owner, [this, chosen = std::move(chosen)](const std::string& path) {
        owner_ = nullptr;
        // A cancel keeps the path that was there.
        if (path.empty()) return;
        lastFolder_ = parentFolder(path);
        if (chosen) chosen(path);
    });
}

bool LoadSaveFlows::loadMidiCcMap(const void* owner) {
    return load(request(FileDialogMode::Load, kSelectMidiCcMap, fileTypes::kMidiCcMap), owner,
                [this](const std::string& path) { return plugin_.loadMidiCcMapFile(path); }, {});
}

bool LoadSaveFlows::saveMidiCcMap(const void* owner) {
    return save(request(FileDialogMode::Save, kSelectMidiCcMap, fileTypes::kMidiCcMap), owner,
                [this](const std::string& path) { return plugin_.saveMidiCcMapFile(path); }, {});
}

}  // namespace vorlatek::editor
