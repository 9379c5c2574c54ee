#include "editor/FileDialogHostSelector.h"

#include <cstring>
#include <string_view>

namespace vorlatek::editor {

namespace {

// Copies as much of `text` as fits into `buffer` of `size` bytes, always terminated.
void copyField(char* buffer, std::size_t size, std::string_view text) {
    const std::size_t length = text.size() < size ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

template <std::size_t N>
void copyField(char (&buffer)[N], std::string_view text) {
    copyField(buffer, N, text);
}

}  // namespace

void buildHostFileSelect(const FileDialogRequest& request, HostFileSelectRecord& record) {
    record.type = {};
    copyField(record.type.name, request.type.description);
    copyField(record.type.macType, request.type.extension);
    copyField(record.type.dosType, request.type.extension);
    copyField(record.type.unixType, request.type.extension);

    record.select = {};
    record.select.command = request.mode == FileDialogMode::Save ? vst::kVstFileSave : vst::kVstFileLoad;
    record.select.type = vst::kVstFileType;
    record.select.nbFileTypes = 1;
    record.select.fileTypes = &record.type;
    copyField(record.select.title, request.title);
    copyField(record.initialPath, request.initialFolder);
    record.select.initialPath = request.initialFolder.empty() ? nullptr : record.initialPath;
    record.returnPath[0] = '\0';
    record.select.returnPath = record.returnPath;
    record.select.sizeReturnPath = HostFileSelectRecord::kPathCapacity;
}

FileDialogAnswer readHostFileSelect(const HostFileSelectRecord& record, vst::VstIntPtr answer) {
    const char* path = record.select.returnPath;
    if (answer == 0 || !path) return FileDialogAnswer::cancelled();
    // A host may hand back a buffer of its own; its size is then the one it gives.
    std::size_t capacity = HostFileSelectRecord::kPathCapacity;
    if (path != record.returnPath && record.select.sizeReturnPath > 0)
        capacity = std::size_t(record.select.sizeReturnPath);
    const std::size_t length = strnlen(path, capacity);
    if (length == 0 || length == capacity) return FileDialogAnswer::cancelled();
    return FileDialogAnswer::chosen(std::string(path, length));
}

bool FileDialogHostSelector::start(const FileDialogRequest& request, const FileDialogParent&) {
    if (state_ != State::Idle || !host_.canSelectFiles()) return false;
    buildHostFileSelect(request, record_);
    state_ = State::Ready;
    cancelledDuringCall_ = false;
    return true;
}

FileDialogAnswer FileDialogHostSelector::poll() {
    if (state_ != State::Ready) return state_ == State::Idle ? FileDialogAnswer::cancelled() : FileDialogAnswer::pending();
    state_ = State::InHostCall;
    const vst::VstIntPtr answer = host_.openFileSelector(record_.select);
    FileDialogAnswer result = readHostFileSelect(record_, answer);
    // The host may have allocated what the record points to; it frees it here.
    if (answer != 0) host_.closeFileSelector(record_.select);
    state_ = State::Idle;
    if (cancelledDuringCall_) return FileDialogAnswer::cancelled();
    return result;
}

void FileDialogHostSelector::cancel() {
    if (state_ == State::InHostCall)
        cancelledDuringCall_ = true;
    else
        state_ = State::Idle;
}

}  // namespace vorlatek::editor
