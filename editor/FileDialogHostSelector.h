#pragma once
// The host's own file selector (HostFileSelector, offered by the plug-in side) as one way of
// asking. The host runs its dialog inside the opening call, so the call is made from poll(), at the
// editor's idle, never from inside a control's handler: a host that idles the editor from
// its modal dialog then finds the frame between two idles, not in the middle of an event.

#include "editor/FileDialogBackEnd.h"
#include "plugin/HostFileSelector.h"
#include "plugin/VstInterface.h"

namespace vorlatek::editor {

// The record handed to the host together with what it points to, so that the pointers stay
// valid for as long as the host may read or write through them.
struct HostFileSelectRecord {
    static constexpr int kPathCapacity = 1024;

    vst::VstFileSelect select{};
    vst::VstFileType type{};
    char initialPath[kPathCapacity] = {};
    char returnPath[kPathCapacity] = {};
};

// Fills `record` for `request`: load or save of one file, the title and the file type (the
// description; the extension, without the dot, for every platform; no MIME types), the
// initial folder, and a return buffer of our own.
void buildHostFileSelect(const FileDialogRequest& request, HostFileSelectRecord& record);
// What the host's answer to the opening call and the record it filled say: the path, or a
// cancel for a zero answer, an empty path, or a path that is not terminated within its buffer.
FileDialogAnswer readHostFileSelect(const HostFileSelectRecord& record, vst::VstIntPtr answer);

class FileDialogHostSelector : public FileDialogBackEnd {
public:
    explicit FileDialogHostSelector(HostFileSelector& host) : host_(host) {}

    const char* name() const override { return "host"; }
    bool start(const FileDialogRequest& request, const FileDialogParent& parent) override;
    FileDialogAnswer poll() override;
    void cancel() override;

private:
    enum class State { Idle, Ready, InHostCall };

    HostFileSelector& host_;
    HostFileSelectRecord record_;
    State state_ = State::Idle;
    bool cancelledDuringCall_ = false;
};

}  // namespace vorlatek::editor
