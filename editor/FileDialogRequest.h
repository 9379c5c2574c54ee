#pragma once
// What the editor asks a file dialog for: load or save, a title, the one file type the dialog
// offers, and where to start. The nine file types the editor offers are named here, each once,
// with the description its filter shows and its extension (without the dot).
//
// The path a dialog returns is completed with the type's extension unless it already ends
// with it exactly (case-sensitive), so "Groove" and "Groove.VSP" become "Groove.vsp" and
// "Groove.VSP.vsp"; what the path then names is decided by the extension it ends with. A file
// that exists and was chosen for loading keeps its name.

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlatek::editor {

enum class FileDialogMode { Load, Save };

struct FileType {
    std::string_view description;
    std::string_view extension;  // without the leading dot

    // "*.vsp": the pattern that the dialogs' filters list.
    std::string pattern() const;
    // "Vorlatek Simple Pattern (*.vsp)": a filter entry as the user reads it.
    std::string filterName() const;
};

namespace fileTypes {
inline constexpr FileType kSimplePattern{"Vorlatek Simple Pattern", "vsp"};
inline constexpr FileType kSimpleSet{"Vorlatek Simple Set (Pattern + Preset)", "vss"};
inline constexpr FileType kSimplePatternBank{"Vorlatek Simple Pattern Bank", "vsb"};
inline constexpr FileType kExtendedPattern{"Vorlatek Extended Pattern", "vep"};
inline constexpr FileType kExtendedSet{"Vorlatek Extended Set (Pattern + Preset)", "ves"};
inline constexpr FileType kExtendedPatternBank{"Vorlatek Extended Pattern Bank", "veb"};
inline constexpr FileType kPreset{"Vorlatek Preset", "vpp"};
inline constexpr FileType kPresetBank{"Vorlatek Preset Bank", "vpb"};
inline constexpr FileType kMidiCcMap{"Vorlatek MidiCC Map", "vcc"};
}  // namespace fileTypes

// The second entry of every filter, so that files of any name can be picked.
inline constexpr std::string_view kAnyFileFilterName = "All Files (*)";

struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::Load;
    std::string title;
    FileType type = fileTypes::kPreset;
    // The folder the dialog opens in; empty lets the dialog choose.
    std::string initialFolder;
};

// `path` with "." + the type's extension appended unless it already ends so; empty stays empty.
std::string completePath(std::string_view path, const FileType& type);

}  // namespace vorlatek::editor
