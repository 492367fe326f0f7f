// The fixture most toolbar tests share: a fresh window system, a form and
// its bar manager with one bar; and an item control that records what its
// item and link tell it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "bars/bars.h"
#include "bars/button.h"
#include "bars/itemcontrol.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/registry.h"
#include "bars/subitem.h"
#include "bars/submenu.h"
#include "classes/forms.h"
#include "classes/sysutils.h"
#include "support/driver.h"

namespace bars::test {

// A painter that casts shadows and draws menu entries plainly: a filled
// entry (highlighted when selected) with its caption.
class TTestPainter : public TdxBarItemControlPainter {
public:
    static TdxBarItemControlPainterClass Class() {
        static const TTestPainter Painter;
        return &Painter;
    }
    bool GetBarWindowFlagA(TCustomdxBarControl*) const override { return true; }
    void DrawMenuGlyphCell(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R,
                           const TdxBarPaintState& AState, bool) const override {
        gfx::FillRect(DC, &R,
                      gfx::GetSysColorBrush(AState.Selected ? gfx::COLOR_HIGHLIGHT : gfx::COLOR_BTNFACE));
        gfx::RECT Text = R;
        Text.left += GetMenuIndent(AControl) + 2;
        DrawCaption(AControl, DC, AControl->GetCaption(), Text, 0, AState.Enabled, AState.Selected, false,
                    false, false);
    }

protected:
    TTestPainter() = default;
};

// A manager whose painter a test may choose.
class TTestManager : public TdxBarManager {
    TRESTLE_CLASS(TTestManager, TdxBarManager)
public:
    using TdxBarManager::TdxBarManager;
    void UsePainter(TdxBarItemControlPainterClass APainter) {
        FPainter = APainter;
        // A change of style makes the manager ask for its painter again.
        SetStyle(Style() == bmsFlat ? bmsEnhanced : bmsFlat);
    }
    TdxBarItemControlPainterClass GetItemControlPainterClass() const override {
        return FPainter ? FPainter : TdxBarManager::GetItemControlPainterClass();
    }

private:
    TdxBarItemControlPainterClass FPainter = nullptr;
};

class ManagerTest : public testdrv::WinTest {
protected:
    void SetUp() override {
        WinTest::SetUp();
        cls::DoneApplication();
        Form = new cls::TForm(nullptr);
        Manager = new TTestManager(Form);
        Bar = Manager->Bars()->Add();
    }
    void TearDown() override {
        delete Form;
        cls::DoneApplication();
        WinTest::TearDown();
    }

    cls::TForm* Form = nullptr;
    TTestManager* Manager = nullptr;
    TdxBar* Bar = nullptr;
};

// Menus the way a user meets them: shown at a point, entries found by their
// caption in the open menus, the mouse moved to them and keys pressed.
class MenuTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        Form->SetBounds(50, 50, 300, 200);
        Form->Show();
        Popup = new TdxBarPopupMenu(Form);
        testdrv::RunUntilIdle();
    }

    TdxBarButton* AddButton(TdxBarItemLinks* ALinks, const std::string& ACaption, bool ABeginGroup = false) {
        auto* Button = new TdxBarButton(Form);
        Button->SetCaption(ACaption);
        ALinks->Add(Button)->SetBeginGroup(ABeginGroup);
        return Button;
    }
    TdxBarSubItem* AddSubItem(TdxBarItemLinks* ALinks, const std::string& ACaption) {
        auto* SubItem = new TdxBarSubItem(Form);
        SubItem->SetCaption(ACaption);
        ALinks->Add(SubItem);
        return SubItem;
    }
    // Shows the links as a menu at a screen point, as a popup menu does.
    TdxBarSubMenuControl* ShowMenu(TdxBarItemLinks* ALinks, win::POINT AAt = {100, 100}) {
        auto* Menu = static_cast<TdxBarSubMenuControl*>(ALinks->CreateBarControl());
        Menu->SetLeft(AAt.x);
        Menu->SetTop(AAt.y);
        Menu->ShowAnimated();
        testdrv::RunUntilIdle();
        return Menu;
    }
    // The link of that caption in the open menus (the active one first).
    static TdxBarItemLink* FindLink(const std::string& ACaption) {
        for (TCustomdxBarControl* W = GetActiveBarControl(); IsBarControlAlive(W); W = W->ParentBar()) {
            TdxBarItemLinks* Links = W->ItemLinks();
            for (int I = 0; Links && I < Links->VisibleItemCount(); ++I)
                if (Links->VisibleItems(I)->GetCaption() == ACaption) return Links->VisibleItems(I);
        }
        ADD_FAILURE() << "no open menu shows \"" << ACaption << "\"";
        return nullptr;
    }
    static TdxBarItemControl* ControlOf(const std::string& ACaption) {
        TdxBarItemLink* Link = FindLink(ACaption);
        return Link ? Link->Control() : nullptr;
    }
    static void Hover(const std::string& ACaption) {
        if (TdxBarItemLink* Link = FindLink(ACaption))
            testdrv::MoveTo(Link->GetBarControl()->Handle(), testdrv::CentreOf(Link->ItemRect()));
    }
    static void ClickItem(const std::string& ACaption) {
        if (TdxBarItemLink* Link = FindLink(ACaption))
            testdrv::Click(Link->GetBarControl()->Handle(), testdrv::CentreOf(Link->ItemRect()));
    }
    // The caption of the active menu's selected entry ("" when none).
    static std::string Selected() {
        TCustomdxBarControl* W = GetActiveBarControl();
        TdxBarItemControl* Control = W ? W->SelectedControl() : nullptr;
        return Control ? Control->GetCaption() : std::string();
    }
    // A key as the active menu gets it: its press, with the character it
    // types (nullptr: none) following in the queue.
    static void KeyToMenu(int AKey, const char* AChars = nullptr) {
        TCustomdxBarControl* W = GetActiveBarControl();
        if (!W) {
            ADD_FAILURE() << "no menu is active";
            return;
        }
        const win::HWND Wnd = W->Handle();
        const win::LPARAM Data = 1;
        win::PostMessage(Wnd, win::WM_KEYDOWN, static_cast<win::WPARAM>(AKey), Data);
        if (AChars) win::PostMessage(Wnd, win::WM_CHAR, cls::Utf8Decode(AChars, 0), Data);
        testdrv::RunUntilIdle();
    }

    TdxBarPopupMenu* Popup = nullptr;
};

// Records, link by link, the notifications a control receives.
class TRecordingControl : public TdxBarButtonControl {
    TRESTLE_CLASS(TRecordingControl, TdxBarButtonControl)
public:
    using TdxBarButtonControl::TdxBarButtonControl;

    using TEntry = std::pair<TdxBarItemLink*, std::string>;
    static inline std::vector<TEntry> Log;

    void CaptionChanged() override { Record("Caption"); }
    void EnabledChanged() override { Record("Enabled"); }
    void GlyphChanged() override { Record("Glyph"); }
    void ShortCutChanged() override { Record("ShortCut"); }
    void VisibleChanged() override { Record("Visible"); }
    void RefreshBar() override { Record("RefreshBar"); }
    void ButtonStyleChanged() override { Record("ButtonStyle"); }
    void DownChanged() override { Record("Down"); }
    void DropDownEnabledChanged() override { Record("DropDownEnabled"); }
    void PaintStyleChanged() override { Record("PaintStyle"); }

private:
    void Record(const char* AName) { Log.emplace_back(ItemLink(), AName); }
};

// The drawing objects alive, once the system colour brushes (made on first
// use and kept for the process) exist: a count that returns to where it
// started shows that nothing leaked.
inline gfx::DWORD GdiObjectCount() {
    for (int I = 0; I < gfx::SYS_COLOR_COUNT; ++I) gfx::GetSysColorBrush(I);
    return gfx::GetGdiObjectCount();
}

// Registers an item class with a control class for the length of a scope.
class TScopedItemClass {
public:
    TScopedItemClass(TdxBarItemClass AItemClass, TdxBarItemControlClass AControlClass)
        : FItemClass(AItemClass) {
        RegisterBarItemClass(AItemClass, AControlClass, false);
    }
    ~TScopedItemClass() { UnregisterBarItemClass(FItemClass); }
    TScopedItemClass(const TScopedItemClass&) = delete;
    TScopedItemClass& operator=(const TScopedItemClass&) = delete;

private:
    TdxBarItemClass FItemClass;
};

} // namespace bars::test
