// The layout reader on small documents, and the control factory building widgets from it.

#include <gtest/gtest.h>

#include "editor/ControlFactory.h"
#include "editor/GuiLayout.h"
#include "plugin/ControlRegistry.h"
#include "sequencer/XmlDocument.h"
#include "toolkit/CAnimKnob.h"
#include "toolkit/CBitmapDisplay.h"
#include "toolkit/CNStateButton.h"
#include "toolkit/CTextEdit.h"
#include "toolkit/HeadlessWindow.h"
#include "toolkit/TestImageSource.h"

namespace vorlatek::editor {
namespace {

using toolkit::Rect;

GuiLayout readLayout(const std::string& text) {
    ControlRegistry registry;
    registry.addXMLControl("BD Level", 1);
    registry.addXMLControl("CH Mute", 75);
    const xml::Document doc = xml::Document::parseMemory(text.data(), text.size());
    GuiLayout layout;
    layout.read(doc.root(), registry);
    return layout;
}

const std::string kDocument = R"(<VorlatekSettings>
  <GUI>
    <control name="BD Level" class="CAnimKnob" posX="10" posY="20" width="38" height="38" resID="310" frames="31"/>
    <control name="Patt Len 3" class="CExMovieBitmap" posX="5" posY="6" width="22" height="11" resID="762" frames="2"/>
    <control name="Tempo" class="CAnimKnob" param="1001" posX="1" posY="2" width="3" height="4" frames="31"/>
    <control name="Twice" class="CKickButton" posX="1" width="1" height="1"/>
    <control name="Twice" class="CKickButton" posX="7" width="1" height="1"/>
    <!-- <control name="Disabled" class="CKickButton"/> -->
    <control name="Odd" class="CFancyKnob" posX="1"/>
    <other name="Not a control" class="CKickButton"/>
    <control realButton="false" name="LED" mode="onRelease" class="CNStateButton" frames="2" width="19" height="17"/>
    <control name="Step" class="CNStateButton" frames="6" width="41" height="42" posX="12abc" posY="junk"/>
    <control name="Desc" class="CTextLabel" font="kNormalFontSmall" fontcolor="#FF0000" align="kLeftText" text="Midi Learn"/>
    <control name="Edit" class="CTextEdit" param="1221" bgcolor="#780f1d" fontcolor="red" font="kNoSuchFont"/>
  </GUI>
  <GUI offsetX="100" offsetY="-10">
    <control name="Settings Group" class="CKickButton" posX="3" posY="4" ofsY="158" width="5" height="6"/>
    <control name="Huge" class="CKickButton" posX="99999999999" width="-5"/>
  </GUI>
</VorlatekSettings>)";

TEST(GuiLayoutReaderTest, ReadsEveryControlOfEveryGuiSectionAsTheEditorAsksForIt) {
    const GuiLayout layout = readLayout(kDocument);
    // Tags: by `param`, else by the parameter of the same name, else none.
    EXPECT_EQ(layout.find("BD Level")->tag, 1);
    EXPECT_EQ(layout.find("Patt Len 3")->tag, -1);
    EXPECT_EQ(layout.find("Tempo")->tag, 1001);
    EXPECT_EQ(layout.find("BD Level")->rect, Rect::fromSize(10, 20, 38, 38));
    EXPECT_EQ(layout.find("BD Level")->frames, 31);
    EXPECT_EQ(layout.find("BD Level")->bitmapId, 310);
    // The later of two entries wins; commented-out controls, other elements and unknown classes are skipped.
    EXPECT_EQ(layout.find("Twice")->rect.left, 7);
    EXPECT_EQ(layout.find("Disabled"), nullptr);
    EXPECT_EQ(layout.find("Odd"), nullptr);
    EXPECT_EQ(layout.find("Not a control"), nullptr);
    // Button states, whatever the order of the attributes.
    EXPECT_EQ(layout.find("LED")->states, 2);
    EXPECT_FALSE(layout.find("LED")->realButton);
    EXPECT_TRUE(layout.find("LED")->onRelease);
    EXPECT_EQ(layout.find("Step")->states, 3);
    EXPECT_TRUE(layout.find("Step")->realButton);
    EXPECT_FALSE(layout.find("Step")->onRelease);
    // Numbers are the leading integer of the text, 0 without one, and kept within bounds.
    EXPECT_EQ(layout.find("Step")->rect.left, 12);
    EXPECT_EQ(layout.find("Step")->rect.top, 0);
    EXPECT_EQ(layout.find("Huge")->rect.left, kMaxCoordinate + 100);
    // Offsets of the control and of its section.
    EXPECT_EQ(layout.find("Settings Group")->rect, Rect::fromSize(103, 152, 5, 6));
    // Text, fonts and colours; unknown keywords and malformed colours keep the defaults.
    const LayoutEntry& desc = *layout.find("Desc");
    EXPECT_EQ(desc.text, "Midi Learn");
    EXPECT_EQ(desc.font, 4);
    EXPECT_EQ(desc.align, 0);
    EXPECT_EQ(desc.fontColor, (toolkit::Color{255, 0, 0, 255}));
    EXPECT_EQ(desc.backColor.alpha, 0);
    const LayoutEntry& edit = *layout.find("Edit");
    EXPECT_EQ(edit.tag, 1221);
    EXPECT_EQ(edit.font, 3);
    EXPECT_EQ(edit.fontColor, toolkit::kBlack);
    EXPECT_EQ(edit.backColor, (toolkit::Color{0x78, 0x0F, 0x1D, 255}));
    EXPECT_EQ(edit.align, 1);
}

TEST(GuiLayoutReaderTest, DocumentsWithoutAGuiSectionGiveAnEmptyLayout) {
    EXPECT_TRUE(readLayout("<VorlatekSettings><PluginState/></VorlatekSettings>").empty());
    EXPECT_TRUE(readLayout("not xml at all").empty());
    EXPECT_TRUE(readLayout("<GUI><control name='x' class='CKickButton'/></GUI>").empty());  // GUI must be a child
}

class ControlFactoryTest : public ::testing::Test {
protected:
    ControlFactoryTest() {
        images->addStrip(310, 38, 38, 31);
        images->addStrip(762, 22, 11, 2);
        images->addStrip(10010, 100, 60, 1);
        images->addStrip(517, 7, 9, 96);
        toolkit::HeadlessWindow::openOn(*frame);
    }
    GuiLayout layout = readLayout(R"(<S><GUI>
        <control name="BD Level" class="CAnimKnob" posX="10" posY="20" width="38" height="38" resID="310" frames="31"/>
        <control name="Patt Len 3" class="CExMovieBitmap" posX="5" posY="6" width="22" height="11" resID="762" frames="2"/>
        <control name="Window" class="CViewContainer" resID="10010" posX="5"/>
        <control name="Name" class="CBitmapDisplay" param="1067" resID="517" chars="16" fonts="96" width="112" height="9"/>
        <control name="Desc" class="CTextLabel" font="kNormalFontSmall" fontcolor="#FF0000" text="Midi Learn" width="50" height="9"/>
        <control name="No Art" class="CKickButton" resID="4242" param="1201" width="9" height="9"/>
      </GUI></S>)");
    std::shared_ptr<toolkit::TestImageSource> images = std::make_shared<toolkit::TestImageSource>();
    toolkit::ImageStore store{images};
    toolkit::Ref<toolkit::CFrame> frame = toolkit::make<toolkit::CFrame>(Rect{0, 0, 300, 200});
    struct : toolkit::IControlListener {
        void valueChanged(toolkit::CControl*) override {}
    } listener;
    ControlFactory factory{layout, store, *frame, &listener, [](int tag) { return tag == 1 ? 0.75f : 0.0f; }};
};

TEST_F(ControlFactoryTest, BuildsEachClassWithItsBitmapTagValueAndPlace) {
    auto knob = factory.create<toolkit::CAnimKnob>("BD Level");
    ASSERT_TRUE(knob);
    EXPECT_EQ(knob->tag(), 1);
    EXPECT_EQ(knob->value(), 0.75f);  // the plug-in's value of its parameter
    EXPECT_EQ(knob->listener(), &listener);
    EXPECT_EQ(knob->bitmap()->id(), 310);
    EXPECT_EQ(knob->frames(), 31);
    EXPECT_EQ(knob->parent(), frame.get());
    EXPECT_EQ(knob->rect(), Rect::fromSize(10, 20, 38, 38));

    // A control without a tag reports to nobody; one can go into a container, or nowhere yet.
    auto box = toolkit::make<toolkit::CViewContainer>(Rect{0, 0, 100, 100});
    auto lamp = factory.create<toolkit::CExMovieBitmap>("Patt Len 3", box.get());
    EXPECT_EQ(lamp->listener(), nullptr);
    EXPECT_EQ(lamp->parent(), box.get());
    EXPECT_EQ(factory.create("Patt Len 3", nullptr, false)->parent(), nullptr);

    // A window is its bitmap's size, centred, and not attached.
    auto window = factory.create<toolkit::CViewContainer>("Window");
    EXPECT_EQ(window->rect(), Rect::fromSize(100, 70, 100, 60));
    EXPECT_EQ(window->parent(), nullptr);

    auto name = factory.create<toolkit::CBitmapDisplay>("Name");
    EXPECT_EQ(name->cellCount(), 16);
    EXPECT_EQ(name->tag(), 1067);
    auto desc = factory.create<toolkit::CTextLabel>("Desc");
    EXPECT_EQ(desc->text(), "Midi Learn");
    EXPECT_EQ(desc->font(), 4);
    EXPECT_EQ(desc->fontColor(), (toolkit::Color{255, 0, 0, 255}));

    // Missing art gives a control without a picture; a missing name gives nothing.
    auto noArt = factory.create<toolkit::CControl>("No Art");
    ASSERT_TRUE(noArt);
    EXPECT_EQ(noArt->bitmap(), nullptr);
    EXPECT_FALSE(factory.create("Nowhere"));
    EXPECT_FALSE(factory.create<toolkit::CAnimKnob>("Desc"));  // not a knob
    EXPECT_EQ(factory.missingNames(), std::vector<std::string>{"Nowhere"});
    frame->idle();  // and all of it draws
}

}  // namespace
}  // namespace vorlatek::editor
