#include "editor/FileDialog.h"

#include <utility>

#include "editor/ChildProcess.h"
#include "editor/FileBrowserBackEnd.h"
#include "editor/FileBrowserFolder.h"
#include "editor/FileDialogCommand.h"
#include "editor/FileDialogHostSelector.h"
#include "editor/PortalFileChooser.h"

namespace vorlatek::editor {

FileDialog::Chain FileDialog::standardChain(HostFileSelector* host) {
    const std::vector<std::string> environment = ChildProcess::currentEnvironment();
    Chain chain;
    if (host) chain.push_back(std::make_unique<FileDialogHostSelector>(*host));
    chain.push_back(std::make_unique<PortalFileChooser>(PortalFileChooser::sessionBusAddress(environment)));
    chain.push_back(std::make_unique<FileDialogCommand>(DialogProgram::Zenity, environment));
    chain.push_back(std::make_unique<FileDialogCommand>(DialogProgram::Kdialog, environment));
    chain.push_back(std::make_unique<FileBrowserBackEnd>(std::string(ChildProcess::lookUp(environment, "HOME"))));
    return chain;
}

FileDialog::FileDialog(Chain chain) : chain_(std::move(chain)) {}

FileDialog::~FileDialog() { cancel(); }

void FileDialog::setParent(const FileDialogParent& parent) {
    if (!parent.frame || parent.frame != parent_.frame) cancel();
    parent_ = parent;
}

bool FileDialog::start(FileDialogRequest request, Completion done) {
    if (isBusy()) return false;
    request_ = std::move(request);
    answeredBy_.clear();
    answeredPath_.clear();
    if (!startFrom(0)) return false;
    done_ = std::move(done);
    return true;
}

std::string FileDialog::activeBackEnd() const { return isBusy() ? chain_[current_]->name() : std::string(); }

bool FileDialog::startFrom(std::size_t index) {
    current_ = kNone;
    for (; index < chain_.size(); ++index) {
        if (chain_[index]->start(request_, parent_)) {
            current_ = index;
            return true;
        }
    }
    return false;
}

FileDialogResult FileDialog::poll() {
    if (!isBusy()) return {};
    if (polling_) return {FileDialogResult::Status::Pending, {}};
    polling_ = true;
    FileDialogAnswer answer = chain_[current_]->poll();
    polling_ = false;
    // cancel() may have been called from inside the host's dialog.
    if (!isBusy()) return {};
    switch (answer.status) {
        case FileDialogAnswer::Status::Pending: break;
        case FileDialogAnswer::Status::Chosen:
            // A NUL inside would make the file operations name another file.
            if (answer.path.empty() || answer.path.find('\0') != std::string::npos)
                return finish(FileDialogResult::Status::Cancelled, {});
            answeredBy_ = chain_[current_]->name();
            answeredPath_ = answer.path;
            // A file the user picked to load is read as it is named: completing "Kit.VPB" to
            // "Kit.VPB.vpb" would name a file that is not there.
            if (request_.mode == FileDialogMode::Load && isRegularFile(answer.path))
                return finish(FileDialogResult::Status::Chosen, std::move(answer.path));
            return finish(FileDialogResult::Status::Chosen, completePath(answer.path, request_.type));
        case FileDialogAnswer::Status::Cancelled: return finish(FileDialogResult::Status::Cancelled, {});
        case FileDialogAnswer::Status::Failed:
            if (!startFrom(current_ + 1)) return finish(FileDialogResult::Status::Cancelled, {});
            break;
    }
    return {FileDialogResult::Status::Pending, {}};
}

FileDialogResult FileDialog::finish(FileDialogResult::Status status, std::string path) {
    current_ = kNone;
    const Completion done = std::exchange(done_, nullptr);
    if (done) done(path);
    return {status, std::move(path)};
}

void FileDialog::cancel() {
    if (!isBusy()) return;
    const std::size_t running = std::exchange(current_, kNone);
    done_ = nullptr;
    chain_[running]->cancel();
}

}  // namespace vorlatek::editor
