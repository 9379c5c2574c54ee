#include "editor/FileBrowser.h"

#include <algorithm>

#include "editor/FileBrowserFolder.h"
#include "editor/FileBrowserStyle.h"
#include "toolkit/CFrame.h"
#include "toolkit/DrawContext.h"
#include "toolkit/Utf8.h"

namespace vorlatek::editor {

using namespace toolkit;
namespace style = fileBrowserStyle;

namespace {

enum Tag { kUpTag = 1, kOkTag, kCancelTag, kFilterTag, kNameTag };

constexpr int kMaxWidth = 560;
constexpr int kMaxHeight = 400;
constexpr int kMargin = 8;
constexpr int kPad = 10;
constexpr int kLineHeight = 22;
constexpr int kButtonWidth = 84;
constexpr int kNameCaptionWidth = 52;
constexpr int kFilterEntryAny = 1;

// Quotation marks around a name in notices.
std::string quoted(std::string_view name) { return "\u201C" + std::string(name) + "\u201D"; }

}  // namespace

// The name field: Enter accepts and Escape cancels the whole browser, after the field has
// kept or restored its text.
class FileBrowser::NameField : public CTextEdit {
public:
    NameField(const Rect& size, FileBrowser& owner) : CTextEdit(size, &owner, kNameTag), owner_(owner) {}

    bool onKeyDown(const KeyEvent& key) override {
        const bool used = CTextEdit::onKeyDown(key);
        if (key.key == VirtualKey::Enter && used) owner_.accept();
        if (key.key == VirtualKey::Escape && used) owner_.cancel();
        return used;
    }

private:
    FileBrowser& owner_;
};

FileBrowser::FileBrowser(const Rect& area, const FileDialogRequest& request, std::string home)
    : CViewContainer(area), request_(request), home_(std::move(home)) {
    const int width = std::min(kMaxWidth, std::max(area.width() - 2 * kMargin, 0));
    const int height = std::min(kMaxHeight, std::max(area.height() - 2 * kMargin, 0));
    box_ = Rect::fromSize((area.width() - width) / 2, (area.height() - height) / 2, width, height);
    const Rect& b = box_;

    up_ = make<FileBrowserButton>(Rect::fromSize(b.left + kPad, b.top + 34, 56, kLineHeight), this, kUpTag, "Up");
    list_ = make<FileBrowserList>(Rect{b.left + kPad, b.top + 62, b.right - kPad, b.bottom - 100}, *this);
    name_ = make<NameField>(Rect{b.left + kPad + kNameCaptionWidth + 4, b.bottom - 92, b.right - kPad, b.bottom - 92 + kLineHeight},
                            *this);
    name_->setFont(style::kTextFont);
    name_->setFontColor(style::kText);
    name_->setBackColor(style::kField);
    name_->setFrameColor(style::kBorder);
    name_->setHoriAlign(HorizontalAlign::Left);

    const int buttonsTop = b.bottom - 40;
    cancel_ = make<FileBrowserButton>(Rect::fromSize(b.right - kPad - 2 * kButtonWidth - 8, buttonsTop, kButtonWidth, 26), this,
                                      kCancelTag, "Cancel");
    ok_ = make<FileBrowserButton>(Rect::fromSize(b.right - kPad - kButtonWidth, buttonsTop, kButtonWidth, 26), this, kOkTag,
                                  saving() ? "Save" : "Open");
    filter_ = make<COptionMenu>(Rect{b.left + kPad, buttonsTop, cancel_->rect().left - 12, buttonsTop + 26}, this, kFilterTag);
    filter_->setFont(style::kSmallFont);
    filter_->setFontColor(style::kText);
    filter_->setBackColor(style::kField);
    filter_->setFrameColor(style::kBorder);
    filter_->setHoriAlign(HorizontalAlign::Left);
    filter_->addEntry(request_.type.filterName());
    filter_->addEntry(kAnyFileFilterName);

    for (const Ref<CView>& view : {Ref<CView>(up_), Ref<CView>(list_), Ref<CView>(name_), Ref<CView>(filter_),
                                   Ref<CView>(cancel_), Ref<CView>(ok_)})
        attach(view);

    // Opens in the requested folder, or in the folder of a requested file, or at home.
    std::string start = canonicalFolder(request_.initialFolder);
    if (start.empty() && !request_.initialFolder.empty()) start = canonicalFolder(parentFolder(request_.initialFolder));
    if (start.empty()) start = canonicalFolder(home_);
    folder_ = start.empty() ? "/" : start;
    filter_->choose(0);
}

FileBrowser::~FileBrowser() = default;

CTextEdit& FileBrowser::nameField() const { return *name_; }

void FileBrowser::takeFocus() {
    if (CFrame* f = frame()) f->setFocusView(saving() ? static_cast<CView*>(name_.get()) : list_.get());
}

void FileBrowser::refresh() {
    const std::string_view extension = filter_->lastResult() == kFilterEntryAny ? std::string_view() : request_.type.extension;
    FileBrowserListing listing = listFolder(folder_, extension);
    list_->setEntries(std::move(listing.entries),
                      listing.readable ? "No folders or matching files here" : "This folder cannot be read");
    setDirty();
}

bool FileBrowser::navigate(const std::string& path) {
    const std::string folder = canonicalFolder(path);
    if (folder.empty()) {
        setNotice(quoted(path) + " is no folder.");
        return false;
    }
    folder_ = folder;
    confirmedPath_.clear();
    setNotice({});
    if (!saving()) setName({});
    refresh();
    return true;
}

void FileBrowser::setName(const std::string& name) {
    name_->setText(name);
    confirmedPath_.clear();
}

void FileBrowser::setNotice(std::string notice) {
    if (notice == notice_) return;
    notice_ = std::move(notice);
    setDirty();
}

void FileBrowser::accept() {
    if (state_ != State::Open) return;
    const std::string name = name_->text();
    const std::vector<FileBrowserEntry>& entries = list_->entries();
    const int selected = list_->selected();
    if (name.empty()) {
        if (selected >= 0 && entries[std::size_t(selected)].folder) {
            navigate(joinPath(folder_, entries[std::size_t(selected)].name, {}));
        } else {
            setNotice(saving() ? "Type a name for the file." : "Choose a file.");
        }
        return;
    }
    const std::string target = joinPath(folder_, name, home_);
    if (isFolder(target)) {
        if (navigate(target)) setName({});
        return;
    }
    if (!saving()) {
        if (!isRegularFile(target)) {
            setNotice(quoted(name) + " was not found.");
            return;
        }
        finish(State::Chosen, target);
        return;
    }
    if (target.back() == '/') {
        setNotice(quoted(name) + " is no folder.");
        return;
    }
    if (!isFolder(parentFolder(target))) {
        setNotice("The folder " + quoted(parentFolder(target)) + " does not exist.");
        return;
    }
    const std::string completed = completePath(target, request_.type);
    if (isFolder(completed)) {
        setNotice(quoted(baseName(completed)) + " is a folder.");
        return;
    }
    if (pathExists(completed) && confirmedPath_ != completed) {
        confirmedPath_ = completed;
        setNotice(quoted(baseName(completed)) + " exists already. Save again to replace it.");
        return;
    }
    finish(State::Chosen, target);
}

void FileBrowser::cancel() {
    if (state_ == State::Open) finish(State::Cancelled, {});
}

void FileBrowser::finish(State state, std::string path) {
    state_ = state;
    chosen_ = std::move(path);
}

void FileBrowser::valueChanged(CControl* control) {
    switch (control->tag()) {
        case kUpTag: navigate(parentFolder(folder_)); break;
        case kOkTag: accept(); break;
        case kCancelTag: cancel(); break;
        case kFilterTag: refresh(); break;
        case kNameTag:
            confirmedPath_.clear();
            setNotice({});
            break;
        default: break;
    }
}

void FileBrowser::controlEndEdit(CControl* control) {
    // When the field lets go of the keyboard, the list takes it, so that Escape still cancels.
    CFrame* f = frame();
    if (control == name_.get() && f && !f->focusView() && state_ == State::Open) f->setFocusView(list_.get());
}

void FileBrowser::entrySelected(int index) {
    const FileBrowserEntry& entry = list_->entries()[std::size_t(index)];
    if (!entry.folder || !saving()) setName(entry.name);
    setNotice({});
}

void FileBrowser::entryActivated(int index) {
    const FileBrowserEntry entry = list_->entries()[std::size_t(index)];
    if (entry.folder) {
        navigate(joinPath(folder_, entry.name, {}));
        return;
    }
    setName(entry.name);
    accept();
}

bool FileBrowser::listKeyDown(const KeyEvent& key) {
    CFrame* f = frame();
    switch (key.key) {
        case VirtualKey::Escape: cancel(); return true;
        case VirtualKey::Backspace: navigate(parentFolder(folder_)); return true;
        case VirtualKey::Enter: accept(); return true;
        case VirtualKey::Tab:
            if (f) f->setFocusView(name_.get());
            return true;
        case VirtualKey::None:
            // Typing starts a name: the field takes the keyboard with its text selected.
            if (f && key.character >= 0x20 && !(key.modifiers & (kControl | kAlt | kCommand))) {
                f->setFocusView(name_.get());
                return name_->onKeyDown(key);
            }
            return false;
        default: return false;
    }
}

void FileBrowser::draw(DrawContext& context) {
    const Point origin = rect().topLeft();
    const Rect b = box_.offset(origin);
    context.fillRect(rect(), style::kShade);
    context.fillRect(b, style::kPanel);
    context.frameRect(b, style::kBorder);
    context.drawText(request_.title, Rect{b.left + kPad, b.top + 6, b.right - kPad, b.top + 28}, style::kTitleFont,
                     style::kText, HorizontalAlign::Left, 0);

    // The folder: its end when it is too long to show whole.
    const Rect folderArea{up_->rect().right + 8 + origin.x, up_->rect().top + origin.y, b.right - kPad,
                          up_->rect().bottom + origin.y};
    const std::string shown = utf8::sanitize(folder_);
    const bool fits = context.fonts().textWidth(shown, style::kTextFont) <= folderArea.width();
    context.drawText(shown, folderArea, style::kTextFont, style::kText, fits ? HorizontalAlign::Left : HorizontalAlign::Right, 0);

    const Rect nameRow = name_->rect().offset(origin);
    context.drawText("Name:", Rect{b.left + kPad, nameRow.top, nameRow.left - 4, nameRow.bottom}, style::kTextFont,
                     style::kDimText, HorizontalAlign::Left, 0);
    if (!notice_.empty())
        context.drawText(notice_, Rect{b.left + kPad, nameRow.bottom + 4, b.right - kPad, nameRow.bottom + 22},
                         style::kSmallFont, style::kNotice, HorizontalAlign::Left, 0);
    drawChildren(context);

    // The filter is a menu: a small arrow at its right end says so.
    const Rect menu = filter_->rect().offset(origin);
    cairo_t* cr = context.cairo();
    const double x = menu.right - 14, y = menu.top + menu.height() / 2.0 - 2;
    cairo_move_to(cr, x, y);
    cairo_line_to(cr, x + 8, y);
    cairo_line_to(cr, x + 4, y + 5);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, style::kText.red / 255.0, style::kText.green / 255.0, style::kText.blue / 255.0, 1.0);
    cairo_fill(cr);
}

}  // namespace vorlatek::editor
