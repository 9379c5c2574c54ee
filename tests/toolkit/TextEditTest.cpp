// Editing text in place: the buffer's caret and selection, typing, clipboard, how an edit ends.

#include <thread>

#include "ToolkitTestSupport.h"
#include "toolkit/CTextEdit.h"
#include "toolkit/TextBuffer.h"
#include "toolkit/Utf8.h"

namespace vorlatek::toolkit::testing {
namespace {

TEST(TextBufferTest, MovesSelectsAndEditsWholeCharacters) {
    TextBuffer b;
    b.setText("Grüße");  // ü and ß take two bytes each
    EXPECT_EQ(b.caret(), b.text().size());
    b.backspace();
    EXPECT_EQ(b.text(), "Grüß");
    b.left(false);
    b.left(true);  // select "ü"
    EXPECT_EQ(b.selectedText(), "ü");
    b.insert("ue");
    EXPECT_EQ(b.text(), "Grueß");
    b.home(false);
    b.right(true);
    b.right(true);
    EXPECT_EQ(b.selectedText(), "Gr");
    b.right(false);  // collapses to the selection's end
    EXPECT_EQ(b.caret(), 2u);
    b.deleteForward();
    EXPECT_EQ(b.text(), "Greß");
    b.end(true);
    EXPECT_EQ(b.cut(), "eß");
    b.selectAll();
    b.insert("a\tb\nc\x01\xff");  // one line, no control characters, invalid bytes replaced
    EXPECT_EQ(b.text(), "a b c\xEF\xBF\xBD");
    b.setCaret(b.text().size() - 1, false);  // inside the last character: moved back to its start
    EXPECT_EQ(b.caret(), b.text().size() - 3);
    b.home(false);
    b.backspace();  // nothing before the caret
    b.end(false);
    b.deleteForward();
    EXPECT_EQ(b.text(), "a b c\xEF\xBF\xBD");

    b.setMaxLength(4);
    EXPECT_EQ(b.text(), "a b ");
    b.insert("xyz");
    EXPECT_EQ(b.text(), "a b ");
    b.selectAll();
    b.insert("пять!");  // counted in characters, not bytes
    EXPECT_EQ(b.text(), "пять");
}

TEST(Utf8Test, AnyBytesBecomeValidTextAndCountsFollowCharacters) {
    EXPECT_EQ(utf8::sanitize(std::string("a\0b", 3)), "ab");
    EXPECT_EQ(utf8::sanitize("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // overlong
    EXPECT_EQ(utf8::sanitize("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // surrogate
    EXPECT_EQ(utf8::sanitize("\xF0\x9F\x8E\xB5 ok"), "\xF0\x9F\x8E\xB5 ok");
    EXPECT_EQ(utf8::sanitize("\xE2\x82"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // cut short
    EXPECT_EQ(utf8::length("a\xC3\xA9\xF0\x9F\x8E\xB5"), 3u);
    EXPECT_EQ(utf8::encode(0x110000), "\xEF\xBF\xBD");
}

class TextEditTest : public ToolkitTest {
protected:
    void SetUp() override {
        openFrame(200, 100);
        edit = make<CTextEdit>(Rect{10, 10, 110, 24}, &listener, 1221, "Init");
        frame->attach(edit);
        frame->idle();
    }
    Ref<CTextEdit> edit;
};

TEST_F(TextEditTest, AClickStartsEditingAndEnterStoresAndReports) {
    click(50, 17);
    ASSERT_TRUE(edit->isEditing());
    EXPECT_EQ(frame->focusView(), edit.get());
    EXPECT_TRUE(frame->wantsKeyboard());
    EXPECT_TRUE(window->keyboardFocused());
    EXPECT_EQ(listener.begins, 1);
    window->typeText("Kick ✓ 808");  // replaces the selected text
    window->key(VirtualKey::Backspace);
    EXPECT_EQ(edit->text(), "Init");  // not stored before the edit ends
    window->key(VirtualKey::Enter);
    EXPECT_FALSE(edit->isEditing());
    EXPECT_EQ(edit->text(), "Kick ✓ 80");
    EXPECT_EQ(listener.changes.size(), 1u);
    EXPECT_EQ(listener.ends, 1);
    EXPECT_FALSE(frame->wantsKeyboard());
    EXPECT_FALSE(window->keyboardFocused());
    EXPECT_FALSE(window->type('x'));  // keys go nowhere once the edit has ended
}

TEST_F(TextEditTest, EscapeRestoresAndLosingTheFocusStores) {
    click(50, 17);
    window->typeText("gone");
    window->key(VirtualKey::Escape);
    EXPECT_EQ(edit->text(), "Init");
    EXPECT_TRUE(listener.changes.empty());
    EXPECT_EQ(listener.ends, 1);  // the edit is bracketed whichever way it ends

    click(50, 17);
    window->typeText("kept");
    click(150, 80);  // a click elsewhere takes the focus away
    EXPECT_EQ(edit->text(), "kept");
    EXPECT_EQ(listener.changes.size(), 1u);

    click(50, 17);
    window->typeText("detached");
    frame->detach(edit.get());  // leaving the frame also ends the edit
    EXPECT_EQ(edit->text(), "detached");
    EXPECT_EQ(listener.begins, listener.ends);

    frame->attach(edit);
    frame->setFocusView(edit.get());  // the owner may start an edit itself
    EXPECT_TRUE(edit->isEditing());
    edit->setText("set by the owner");  // ends the edit without a report
    EXPECT_FALSE(edit->isEditing());
    EXPECT_EQ(edit->text(), "set by the owner");
    EXPECT_EQ(listener.changes.size(), 2u);
}

TEST_F(TextEditTest, CaretAndSelectionFollowKeysAndMouse) {
    edit->setText("abcdef");
    click(50, 17);
    window->key(VirtualKey::Home);
    window->key(VirtualKey::Right);
    window->key(VirtualKey::Right, kShift);
    window->key(VirtualKey::Right, kShift);
    EXPECT_EQ(edit->buffer().selectedText(), "bc");
    window->key(VirtualKey::Delete);
    window->key(VirtualKey::End, kShift);
    EXPECT_EQ(edit->buffer().selectedText(), "def");
    window->type('a', kControl);
    EXPECT_EQ(edit->buffer().selectedText(), "adef");

    // Dragging from the left edge to the right edge selects everything; a click puts the caret.
    press(11, 17);
    move(109, 17);
    release(109, 17);
    EXPECT_EQ(edit->buffer().selectedText(), "adef");
    window->advance(1000);  // not a double click
    click(11, 17);
    EXPECT_EQ(edit->buffer().caret(), 0u);
    EXPECT_FALSE(edit->buffer().hasSelection());
    click(11, 17);  // a double click selects all
    EXPECT_EQ(edit->buffer().selectedText(), "adef");
    frame->idle();  // draws caret and selection without trouble
}

TEST_F(TextEditTest, CutCopyAndPasteGoThroughTheWindowsClipboard) {
    edit->setText("copy me");
    click(50, 17);
    window->type('c', kControl);
    EXPECT_EQ(window->clipboard(), "copy me");
    window->key(VirtualKey::End);
    window->type('v', kControl);
    EXPECT_EQ(edit->buffer().text(), "copy me");  // the clipboard answers later, at idle
    frame->idle();
    EXPECT_EQ(edit->buffer().text(), "copy mecopy me");
    window->type('a', kControl);
    window->type('x', kControl);
    EXPECT_EQ(edit->buffer().text(), "");
    EXPECT_EQ(window->clipboard(), "copy mecopy me");

    window->setClipboard(std::string("line1\nline2\0\xfe", 14));
    window->type('v', kControl);
    frame->idle();
    EXPECT_EQ(edit->buffer().text(), "line1 line2\xEF\xBF\xBD");

    window->type('v', kControl);
    window->key(VirtualKey::Enter);  // the edit ends before the clipboard answers
    frame->idle();
    EXPECT_EQ(edit->text(), "line1 line2\xEF\xBF\xBD");
}

TEST_F(TextEditTest, HostKeysAreTakenOnlyWhileEditingAndHandledAtIdle) {
    EXPECT_FALSE(frame->postHostKey({VirtualKey::None, 'x', 0}));
    click(50, 17);
    std::thread host([&] {
        for (char c : std::string("host")) EXPECT_TRUE(frame->postHostKey({VirtualKey::None, char32_t(c), 0}));
    });
    host.join();
    EXPECT_EQ(edit->buffer().text(), "Init");
    frame->idle();
    EXPECT_EQ(edit->buffer().text(), "host");
    EXPECT_TRUE(frame->postHostKey({VirtualKey::Enter, 0, 0}));
    frame->idle();
    EXPECT_EQ(edit->text(), "host");
    EXPECT_FALSE(frame->postHostKey({VirtualKey::None, 'x', 0}));
}

TEST_F(TextEditTest, TextOfAnyBytesIsShownAndEdited) {
    std::string junk;
    for (int i = 0; i < 256; ++i) junk += char(i);
    junk += junk;
    edit->setText(junk);
    frame->idle();
    click(50, 17);
    window->key(VirtualKey::End);
    window->typeText("!");
    frame->idle();
    window->key(VirtualKey::Enter);
    EXPECT_EQ(edit->text().back(), '!');
    EXPECT_EQ(utf8::sanitize(edit->text()), edit->text());
    EXPECT_LE(utf8::length(edit->text()), TextBuffer::kDefaultMaxLength);
}

}  // namespace
}  // namespace vorlatek::toolkit::testing
