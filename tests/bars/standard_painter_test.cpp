// The Standard and Enhanced painters by pixels: 3-D glyph frames, the check
// mark, menu entries, drop-down parts and combo buttons, docked frames with
// their grips, the quick-customization mark, and the drawing objects left as
// they were.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "painter_fixture.h"

namespace {

using namespace bars;
using namespace bars::test;

class StandardPainterTest : public test::PainterFixture {
protected:
    void SetUp() override {
        PainterFixture::SetUp();
        BlueBrush = gfx::CreateSolidBrush(Blue);
        Window->HandleNeeded();
    }
    void TearDown() override {
        gfx::DeleteObject(BlueBrush);
        PainterFixture::TearDown();
    }

    // The colours the classic look is made of, one letter each.
    std::vector<std::pair<COLORREF, char>> Legend() const {
        return {{Green, '.'},
                {Blue, 'B'},
                {SysRGB(gfx::COLOR_BTNFACE), 'f'},
                {SysRGB(gfx::COLOR_BTNHIGHLIGHT), 'h'},
                {SysRGB(gfx::COLOR_BTNSHADOW), 's'},
                {SysRGB(gfx::COLOR_HIGHLIGHT), 'H'},
                {RGB(0, 0, 0), '#'},
                {RGB(192, 192, 192), 'i'},
                {SysRGB(gfx::COLOR_3DDKSHADOW), 'd'}};
    }
    char At(const DibDC& S, int X, int Y) const { return Picture(S, RECT{X, Y, X + 1, Y + 1}, Legend())[0]; }
    // The top, left, right and bottom edges of a ring around R.
    std::string Ring(const DibDC& S, const RECT& R) const {
        const int MidX = (R.left + R.right) / 2, MidY = (R.top + R.bottom) / 2;
        return {At(S, MidX, R.top), At(S, R.left, MidY), At(S, R.right - 1, MidY), At(S, MidX, R.bottom - 1)};
    }

    gfx::HBRUSH BlueBrush = nullptr;
};

// --- Item controls ---

TEST_F(StandardPainterTest, GlyphFramesShowTheStateIn3D) {
    TdxBarItemControl* Control = AddButton("Open");
    struct TCase {
        const char* Name;
        TdxBarPaintType Type;
        bool Selected, Down, Pressed, Frame, NoGlyph;
        const char* Ring;
    };
    // Ring: the top, left, right and bottom edges of the cell.
    const TCase Cases[] = {
        {"idle", ptHorz, false, false, false, true, false, "BBBB"},
        {"idle, no room for a frame", ptHorz, false, false, false, false, false, "...."},
        {"hot", ptHorz, true, false, false, true, false, "hhss"},
        {"hot and pressed", ptHorz, true, false, true, true, false, "sshh"},
        {"checked", ptHorz, false, true, false, true, false, "sshh"},
        {"hot glyph in a menu", ptMenu, true, false, false, true, false, "hhss"},
        {"hot check cell in a menu", ptMenu, true, false, false, true, true, "BBBB"},
        {"checked check cell in a menu", ptMenu, false, true, false, true, true, "sshh"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        DibDC S(8, 8, Green);
        TdxBarPaintState State;
        State.Selected = C.Selected;
        State.Down = C.Down;
        State.Pressed = C.Pressed;
        for (auto Painter : {Standard(), Enhanced()}) {
            Painter->DrawGlyphFrame(Control, S.dc(), C.Type, State, RECT{1, 1, 7, 7}, C.Frame, C.NoGlyph,
                                    BlueBrush);
            EXPECT_EQ(Ring(S, RECT{1, 1, 7, 7}), C.Ring);
            EXPECT_EQ(At(S, 3, 3), '.');
        }
    }
}

TEST_F(StandardPainterTest, CheckMarkIsShadedAndEngravedWhenDisabled) {
    TdxBarItemControl* Control = AddButton("Check");
    DibDC On(11, 10, Green), Off(11, 10, Green);
    Standard()->DrawCheckMark(Control, On.dc(), 1, 1, 1);
    EXPECT_EQ(Picture(On, RECT{0, 0, 11, 10}, Legend()),
              Rows({"...........", "........i..", ".......i#h.", "..i...i##h.", ".h#i.i##h..", ".h##i##h...",
                    "..h###h....", "...h#h.....", "....h......", "..........."}));

    Control->GetItem()->SetEnabled(false);
    Standard()->DrawCheckMark(Control, Off.dc(), 1, 1, 1);
    EXPECT_EQ(Picture(Off, RECT{0, 0, 11, 10}, Legend()),
              Rows({"...........", "........s..", ".......ss..", "..s...ssh..", "..ss.ssh...", "..hsssh....",
                    "...hsh.....", "....h......", "...........", "..........."}));

    // Twice as thick, the mark keeps its proportions.
    DibDC Thick(22, 20, Green);
    Control->GetItem()->SetEnabled(true);
    Standard()->DrawCheckMark(Control, Thick.dc(), 2, 1, 2);
    const RECT Body = ColorBounds(Thick, RGB(0, 0, 0));
    EXPECT_EQ(Body.right - Body.left,
              2 * (ColorBounds(On, RGB(0, 0, 0)).right - ColorBounds(On, RGB(0, 0, 0)).left));
}

TEST_F(StandardPainterTest, MenuEntriesShowCellGapAndText) {
    Window->Menu = true;
    const auto Glyph = RedSquareGlyph(16, 16);
    TdxBarItemControl* Plain = AddButton("Plain");
    TdxBarItemControl* Pictured = AddButton("Pictured", Glyph.get());
    struct TCase {
        const char* Name;
        bool Glyph, Selected, Down;
        // The cell's left edge, its fill, the gap after it and the text part.
        const char* Look;
    };
    const TCase Cases[] = {
        {"idle", false, false, false, "ffff"},      {"hot", false, true, false, "HHHH"},
        {"checked", false, false, true, "shff"},    {"checked and hot", false, true, true, "sffH"},
        {"hot picture", true, true, false, "hHfH"}, {"checked picture", true, false, true, "shff"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        for (auto Painter : {Standard(), Enhanced()}) {
            DibDC S(60, 20, Green);
            TdxBarPaintState State;
            State.Selected = C.Selected;
            State.Down = C.Down;
            Painter->DrawMenuGlyphCell(C.Glyph ? Pictured : Plain, S.dc(), RECT{0, 0, 60, 20}, State, true);
            // The cell is the entry's height square; the checker pattern is
            // light where x and y differ in parity.
            EXPECT_EQ(std::string({At(S, 0, 10), At(S, 1, 2), At(S, 20, 10), At(S, 58, 2)}), C.Look);
        }
    }
    // The caption starts two pixels into the text part, after the one-pixel gap.
    DibDC S(60, 20, Green);
    Standard()->DrawMenuGlyphCell(Plain, S.dc(), RECT{0, 0, 60, 20}, TdxBarPaintState{}, true);
    EXPECT_GE(ColorBounds(S, SysRGB(gfx::COLOR_BTNTEXT)).left, 23);
}

TEST_F(StandardPainterTest, DropDownPartAndComboButtonSinkWhileDroppedDown) {
    auto* Menu = new TdxBarPopupMenu(Form);
    auto* Item = new TdxBarButton(Form);
    Item->SetCaption("Pick");
    Menu->ItemLinks()->Add(Item);
    auto* Button = new TdxBarButton(Form);
    Button->SetButtonStyle(bsDropDown);
    Button->SetDropDownMenu(Menu);
    auto* Control = static_cast<TdxBarButtonControl*>(ControlOf(Bar->ItemLinks()->Add(Button)));
    const COLORREF Text = SysRGB(gfx::COLOR_BTNTEXT);

    // The drop-down part: raised when hot, sunken with its arrow moved while open.
    const RECT Part{0, 0, 12, 22};
    DibDC Idle(12, 22, Green), Hot(12, 22, Green), Open(12, 22, Green);
    TdxBarPaintState State;
    Standard()->DrawDropDownButtonPart(Control, Idle.dc(), Part, ptHorz, BlueBrush, State, true, false);
    State.Selected = true;
    Standard()->DrawDropDownButtonPart(Control, Hot.dc(), Part, ptHorz, BlueBrush, State, true, false);
    State.DroppedDown = true;
    Standard()->DrawDropDownButtonPart(Control, Open.dc(), Part, ptHorz, BlueBrush, State, true, true);
    EXPECT_EQ(Ring(Idle, Part), "BBBB");
    EXPECT_EQ(Ring(Hot, Part), "hhss");
    EXPECT_EQ(Ring(Open, Part), "sshh");
    RECT Moved = ColorBounds(Hot, Text);
    gfx::OffsetRect(&Moved, 1, 1);
    EXPECT_EQ(ColorBounds(Open, Text), Moved);

    // The combo button: the right part as wide as the window's combo arrow.
    const RECT Combo{0, 0, 40, 20};
    const int ButtonLeft = 40 - Window->ComboArrowWidth();
    DibDC Cold(40, 20, Green), Selected(40, 20, Green), Dropped(40, 20, Green);
    Standard()->DrawComboButton(Control, Cold.dc(), Combo, false, false);
    Standard()->DrawComboButton(Control, Selected.dc(), Combo, true, false);
    Control->DropDown(false);
    ASSERT_TRUE(Control->DroppedDown());
    Standard()->DrawComboButton(Control, Dropped.dc(), Combo, true, false);
    const RECT ButtonRect{ButtonLeft, 0, 40, 20};
    EXPECT_EQ(Ring(Cold, ButtonRect), "hhhh");
    EXPECT_EQ(Ring(Selected, ButtonRect), "hhss");
    EXPECT_EQ(Ring(Dropped, ButtonRect), "sshh");
    EXPECT_EQ(At(Selected, ButtonLeft - 1, 10), '.');
    Moved = ColorBounds(Selected, Text);
    gfx::OffsetRect(&Moved, 1, 1);
    EXPECT_EQ(ColorBounds(Dropped, Text), Moved);
    // Disabled, the arrow is engraved: a light copy below and right of a dark one.
    DibDC Disabled(40, 20, Green);
    Button->SetEnabled(false);
    Standard()->DrawComboButton(Control, Disabled.dc(), Combo, false, false);
    const RECT Dark = ColorBounds(Disabled, SysRGB(gfx::COLOR_BTNSHADOW));
    EXPECT_EQ(CountColor(Disabled, Text), 0);
    EXPECT_LT(Dark.left, Dark.right);
    Control->CloseUp();
}

TEST_F(StandardPainterTest, RarelyUsedBandStandsApartFromTheMenu) {
    auto* Popup = new TdxBarPopupMenu(Form);
    for (const char* Caption : {"One", "Two", "Three"}) {
        auto* Button = new TdxBarButton(Form);
        Button->SetCaption(Caption);
        Popup->ItemLinks()->Add(Button);
    }
    auto* Menu = static_cast<TdxBarSubMenuControl*>(Popup->ItemLinks()->CreateBarControl());
    Menu->SetBounds(0, 0, 12, 16);
    const std::vector<std::pair<COLORREF, char>> L = Legend();

    // An often used entry that begins a group: a light row over its separator.
    DibDC Often(12, 16, Green);
    TdxBarLinkState State;
    State.BeginGroup = true;
    State.SeparatorRect = RECT{2, 4, 10, 8};
    Standard()->DrawRarelyUsedBand(Menu, State, Often.dc(), 1, RECT{2, 8, 10, 12});
    EXPECT_EQ(Picture(Often, RECT{0, 2, 12, 5}, L), Rows({"............", ".hhhhhhhhhh.", "............"}));

    // The last, rarely used entry of a group: a dark row over it, the
    // margins beside and below it in the menu's face, a light corner pixel.
    DibDC Rare(12, 16, Green);
    State.RarelyUsed = true;
    Standard()->DrawRarelyUsedBand(Menu, State, Rare.dc(), 2, RECT{2, 8, 10, 12});
    EXPECT_EQ(Picture(Rare, RECT{0, 6, 12, 14}, L),
              Rows({"............", ".ssssssssss.", "ff........ff", "ff........ff", "ff........ff",
                    "ff........ff", "fhffffffffff", "ffffffffffff"}));
    delete Menu;
}

// --- Toolbar windows ---

TEST_F(StandardPainterTest, DockedFramesCarryTwoGripsOrOne) {
    Window->SetDockingStyle(dsTop);
    const RECT R{0, 0, 30, 26};
    DibDC Classic(30, 26, Green), Single(30, 26, Green);
    Standard()->DrawDockedFrame(Window, Classic.dc(), nullptr, R);
    Enhanced()->DrawDockedFrame(Window, Single.dc(), nullptr, R);
    // The grips are left out of the clip region: what the client draws next spares them.
    for (const DibDC* S : {&Classic, &Single}) {
        const RECT All{0, 0, 30, 26};
        gfx::FillRect(S->dc(), &All, BlueBrush);
        gfx::SelectClipRgn(S->dc(), nullptr);
    }
    const std::vector<std::pair<COLORREF, char>> L = Legend();
    // Two grips 2 pixels into the frame (whose edge is 2 pixels); the highlight runs their whole length.
    EXPECT_EQ(Picture(Classic, RECT{0, 1, 12, 4}, L), Rows({"BBBBBBBBBBBB", "BBBBhhshhsBB", "BBBBhfshfsBB"}));
    EXPECT_EQ(Picture(Classic, RECT{0, 22, 12, 25}, L),
              Rows({"BBBBhfshfsBB", "BBBBhsshssBB", "BBBBBBBBBBBB"}));
    // One grip 1 pixel in, shortened by 1 at both ends.
    EXPECT_EQ(Picture(Single, RECT{0, 2, 12, 5}, L), Rows({"BBBBBBBBBBBB", "BBBhhsBBBBBB", "BBBhfsBBBBBB"}));
    EXPECT_EQ(Picture(Single, RECT{0, 21, 12, 24}, L),
              Rows({"BBBhfsBBBBBB", "BBBsssBBBBBB", "BBBBBBBBBBBB"}));

    // Across a bar docked at the side; a bar that may not dock has no grip.
    Window->SetDockingStyle(dsLeft);
    DibDC Side(26, 30, Green);
    Standard()->DrawDockedFrame(Window, Side.dc(), nullptr, RECT{0, 0, 26, 30});
    EXPECT_EQ(Picture(Side, RECT{2, 3, 6, 11}, L),
              Rows({"....", "hhhh", "hfff", "ssss", "hhhh", "hfff", "ssss", "...."}));
    Bar->SetNotDocking(AllDockingStyles);
    DibDC None(26, 30, Green);
    Standard()->DrawDockedFrame(Window, None.dc(), nullptr, RECT{0, 0, 26, 30});
    EXPECT_EQ(Picture(None, RECT{2, 3, 6, 6}, L), Rows({"....", "....", "...."}));
}

TEST_F(StandardPainterTest, MarkFacesAndChevrons) {
    Window->SetDockingStyle(dsTop);
    Window->HiddenLinks = true;
    const gfx::HBRUSH Shadow = gfx::GetSysColorBrush(gfx::COLOR_BTNSHADOW);
    const RECT R{0, 0, 11, 22};
    // Enhanced: a frame in the given brush, raised while hot, sunken while pressed.
    for (const auto& [State, Ring] : {std::pair{0, "ssss"}, std::pair{1, "hhss"}, std::pair{2, "sshh"}}) {
        SCOPED_TRACE(State);
        Window->SetMarkState(State);
        DibDC S(11, 22, Green);
        Enhanced()->DrawMarkContent(Window, S.dc(), Shadow, R, State);
        EXPECT_EQ(this->Ring(S, R), Ring);
        // Two chevrons at the top and the small arrow at the bottom, in the button text colour.
        EXPECT_EQ(Picture(S, RECT{2, 3, 10, 8}, Legend()),
                  Rows({"##ff##ff", "f##ff##f", "ff##ff##", "f##ff##f", "##ff##ff"}));
        EXPECT_EQ(Picture(S, RECT{3, 15, 8, 18}, Legend()), Rows({"#####", "f###f", "ff#ff"}));
    }
    // Without hidden links only the arrow shows.
    Window->HiddenLinks = false;
    Window->SetMarkState(0);
    DibDC Plain(11, 22, Green);
    Enhanced()->DrawMarkContent(Window, Plain.dc(), Shadow, R, 0);
    EXPECT_EQ(ColorBounds(Plain, RGB(0, 0, 0)), (RECT{3, 15, 8, 18}));

    // Standard: the face is the bar's background; the chevrons are raised.
    Window->HiddenLinks = true;
    DibDC Classic(11, 9, Green);
    Standard()->DrawMarkContent(Window, Classic.dc(), Shadow, RECT{0, 0, 11, 9}, 0);
    EXPECT_EQ(Picture(Classic, RECT{0, 0, 11, 9}, Legend()),
              Rows({"fffffffffff", "fffffffffff", "ffhsffhsfff", "ffhhsfhhsff", "ffffhsffhsf", "fffhsffhsff",
                    "ffhsffhsfff", "fffffffffff", "fffffffffff"}));
}

TEST_F(StandardPainterTest, MarkRectangleByDockingStyle) {
    Window->SetBounds(0, 0, 100, 26);
    Window->MarkRect = RECT{70, 3, 90, 16};
    struct TCase {
        TdxBarDockingStyle Style;
        RECT Standard, Enhanced;
    };
    const int W = Window->ClientWidth(), H = Window->ClientHeight();
    const TCase Cases[] = {
        {dsTop, {W - 11, 0, W, 9}, {W - 11, 0, W, H}},
        {dsBottom, {W - 11, 0, W, 9}, {W - 11, 0, W, H}},
        {dsLeft, {W - 9, H - 11, W, H}, {0, H - 11, W, H}},
        {dsRight, {W - 9, H - 11, W, H}, {0, H - 11, W, H}},
        {dsNone, {70, 3, 83, 16}, {70, 3, 83, 16}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Style);
        Window->SetDockingStyle(C.Style);
        RECT R{};
        Standard()->GetMarkRect(Window, R);
        EXPECT_EQ(R, C.Standard);
        Enhanced()->GetMarkRect(Window, R);
        EXPECT_EQ(R, C.Enhanced);
    }
}

TEST_F(StandardPainterTest, FramesAndLinesOfTheClassicLook) {
    const std::vector<std::pair<COLORREF, char>> L = Legend();
    DibDC S(30, 12, Green);
    // An etched line: shadow with a highlight one pixel below and right.
    Standard()->DrawEtchedLine(S.dc(), RECT{1, 1, 6, 2});
    EXPECT_EQ(Picture(S, RECT{0, 0, 8, 3}, L), Rows({"........", ".sssss..", "..hhhhh."}));
    // A floating bar's border: a raised edge and two rings of button face.
    Standard()->DrawBarBorder(Window, S.dc(), nullptr, 4, RECT{10, 0, 22, 12});
    EXPECT_EQ(Picture(S, RECT{10, 5, 22, 6}, L), Rows({"fhff....ffsd"}));
    // A pressed frame sinks; an idle one keeps the bar's background.
    RECT Down{23, 0, 29, 6}, Idle{23, 6, 29, 12};
    Standard()->DrawDownFrame(nullptr, S.dc(), Down, true, false, false);
    Standard()->DrawDownFrame(nullptr, S.dc(), Idle, false, false, false);
    EXPECT_EQ(Down, (RECT{24, 1, 28, 5}));
    EXPECT_EQ(Ring(S, RECT{23, 0, 29, 6}), "sshh");
    EXPECT_EQ(Ring(S, RECT{23, 6, 29, 12}), "ffff");
}

TEST_F(StandardPainterTest, DrawingLeavesNoObjectsBehind) {
    const auto Glyph = RedSquareGlyph(16, 16);
    TdxBarItemControl* Control = AddButton("Open", Glyph.get());
    Window->SetDockingStyle(dsTop);
    Window->HiddenLinks = true;
    DibDC S(60, 30, Green);
    const RECT R{0, 0, 60, 30};
    // A first entry makes what the control and window keep for later (the
    // glyph's and the canvas's objects).
    Standard()->DrawMenuGlyphCell(Control, S.dc(), R, TdxBarPaintState{}, true);
    const gfx::DWORD Before = test::GdiObjectCount();
    for (auto Painter : {Standard(), Enhanced()}) {
        for (int State = 0; State < 3; ++State) {
            TdxBarPaintState PaintState;
            PaintState.Selected = State > 0;
            PaintState.Down = State > 1;
            Painter->DrawMenuGlyphCell(Control, S.dc(), R, PaintState, true);
            Painter->DrawButton(Control, S.dc(), R, PaintState, ptHorz, false);
            Painter->DrawDropDownButtonPart(Control, S.dc(), R, ptMenu, BlueBrush, PaintState, true, false);
            Painter->DrawComboButton(Control, S.dc(), R, PaintState.Selected, false);
            Painter->DrawMarkContent(Window, S.dc(), BlueBrush, R, State);
            Painter->DrawCloseButton(Window, S.dc(), R, State);
            Painter->DrawMDIButton(Window, S.dc(), State, R, true, PaintState.Selected, PaintState.Down);
            Painter->DrawCheckMark(Control, S.dc(), 2, 3, 3);
        }
        Painter->DrawDockedFrame(Window, S.dc(), nullptr, R);
        gfx::SelectClipRgn(S.dc(), nullptr);
    }
    Manager->SetFlatCloseButton(true);
    Standard()->DrawMDIButton(Window, S.dc(), 2, R, true, true, true);
    EXPECT_EQ(test::GdiObjectCount(), Before);
}

} // namespace
