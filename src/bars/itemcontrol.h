// Item controls: the view of one item link inside one bar window.
//
// A control is a plain object, not a window: it has no handle and no bounds
// of its own; its rectangle is the one the window's layout stored in its link.
// It answers the window's questions (size, whether it can be selected,
// whether it takes a key), carries its part of the hot, pressed and active
// state, draws itself through the manager's painter and turns a press into
// the item's click. The window creates one control per shown link from the
// item-class registry and owns it.
//
// Every call that may run user code (the item's click, its popup and close-up
// events, the recent-use update) may free the control or its window; the
// control checks with an object link or IsBarControlAlive before it touches
// itself again.
#pragma once

#include <string>

#include "bars/item.h"
#include "bars/painter.h"
#include "bars/types.h"
#include "classes/object.h"

namespace cls {
class TCustomImageList;
}

namespace bars {

class TdxBarButton;
class TCustomdxBarSubItem;

class TdxBarItemControl : public cls::TObject {
    TRESTLE_CLASS(TdxBarItemControl, cls::TObject)
public:
    // Stores the link and the link's window; only the window and
    // TdxBarItemLink::CreateControl create controls.
    explicit TdxBarItemControl(TdxBarItemLink* AItemLink);
    // Leaves the manager's and the window's selection and the link.
    ~TdxBarItemControl() override;

    // Controls are made through their class reference: the registry's control
    // class of the link's item class, with the link as argument.
    using TConstructorArg = TdxBarItemLink*;

    // --- Fields ---
    const cls::TRect& ExtraRect() const { return FExtraRect; }
    void SetExtraRect(const cls::TRect& Value) { FExtraRect = Value; }
    TdxBarItemLink* ItemLink() const { return FItemLink; }
    TCustomdxBarControl* Parent() const { return FParent; }
    bool HasWindow() const { return FHasWindow; }
    bool Active() const { return FActive; }
    unsigned char DrawFlag() const { return FDrawFlag; }
    void SetDrawFlag(unsigned char Value) { FDrawFlag = Value; }
    bool ClickPressed() const { return FClickPressed; }
    bool SelectedByMouse() const { return FSelectedByMouse; }
    void SetSelectedByMouse(bool Value) { FSelectedByMouse = Value; }
    // Set by a menu's layout: the link is rarely used (shown only in an
    // expanded menu) and the rarely-used state changes at this link. A
    // rarely used control's DrawFlag tells the menu's background so while
    // it fills behind the control.
    void SetRarelyUsed(bool ARarelyUsed, bool ABoundary) {
        FRarelyUsed = ARarelyUsed;
        FRarelyUsedBoundary = ABoundary;
        FDrawFlag = ARarelyUsed ? 1 : 0;
    }
    // Set by a menu before it paints: the control lies in a shown row (not
    // scrolled away or under a scroll button), and it is the last one shown.
    bool IsShownInMenu() const { return FShownInMenu; }
    void SetShownInMenu(bool Value) { FShownInMenu = Value; }
    bool IsLastInMenu() const { return FLastInMenu; }
    void SetLastInMenu(bool Value) { FLastInMenu = Value; }

    // --- Virtual operations, in the order of the design ---
    virtual void ParentWindowDestroying() {}
    virtual void RefreshBar();
    virtual void CaptionChanged();
    virtual void EnabledChanged();
    virtual void GlyphChanged();
    virtual void PressedChanged();
    virtual void ShortCutChanged();
    virtual void VisibleChanged();
    virtual bool CanClickItem() const { return true; }
    virtual bool CanSelectInCustomizing() const;
    virtual bool IsSelectable() const { return CanSelect(); }
    virtual bool CanSelect() const;
    // ControlPressed, then (when the window and the control survived) Click;
    // nothing for a disabled control.
    virtual void ControlClick(bool AByMouse);
    virtual void ControlActivate(bool AImmediately);
    virtual void ControlInactivate(bool AImmediately);
    virtual void ControlPressed(bool /*AByMouse*/) {}
    // The item's command: the "MenuCommand" sound for a button in a menu,
    // recent use, the chain of menus closed, then the item's Click with the
    // click link set.
    virtual void Click();
    virtual bool IsSelected() const { return GetIsSelected(); }
    virtual void KeyDown(unsigned short /*AKey*/) {}
    virtual bool WantsKey(unsigned short /*AKey*/) const { return false; }
    virtual void GetTextColorAndBrush(gfx::TColor& AColor, gfx::HBRUSH& ABrush,
                                      const TdxBarPaintState& AState) const;
    virtual std::string GetCaption() const;
    virtual bool GetEnabled() const;
    virtual cls::TBitmap* GetGlyph() const;
    virtual int GetImageIndex() const;
    // Large images only with ALarge, the manager's LargeIcons and a usable
    // large list; a disabled control takes the disabled lists when there are.
    virtual cls::TCustomImageList* GetImages(bool ALarge) const;
    virtual std::string GetHint() const;
    virtual cls::TCustomImageList* GetHotImages() const;
    virtual bool CanDrawFromImages() const;
    virtual cls::TCustomImageList* GetLargeImages() const;
    virtual TdxBarItemControlPainterClass GetPainter() const;
    virtual cls::TShortCut GetShortCut() const;
    virtual int GetMenuIndent() const;
    virtual int GetHeight() const { return 0; }
    virtual int GetMinVerticalLength() const { return 1; }
    virtual int GetMinLength() const { return 1; }
    virtual TdxBarSubMenuControl* GetChildMenuControl() const { return nullptr; }
    virtual int GetWidth() const { return 0; }
    virtual bool HasToolbarHint() const;
    virtual bool IsOwnerRectUsed() const;
    virtual bool ClosesMenusOnClick() const { return true; }
    virtual bool HasDblClickAction() const { return false; }
    virtual bool IsPressTracked() const { return false; }
    // A control whose link width the mouse sizes in a customized toolbar (an
    // edit), and the part of that width its caption takes.
    virtual bool IsWidthSizable() const { return false; }
    virtual int GetCaptionWidth() const { return 0; }
    // APaintType: how the window draws (menu, horizontal or turned toolbar).
    virtual void Paint(const gfx::RECT& /*R*/, TdxBarPaintType /*APaintType*/) {}
    // Draws this control alone through the window, unless the window goes.
    virtual void Repaint();
    virtual void DblClick() {}
    virtual bool WantsDblClick() const;

    // --- Non-virtual routines ---
    TdxBarItemAlign GetAlign() const;
    TdxBarManager* GetBarManager() const;
    TdxBarItem* GetItem() const;
    // The cell size at which a menu glyph keeps its natural size.
    int GetParentScaleBase() const;
    int GetActualHeight() const;
    int GetActualWidth() const;
    bool IsUnclickAfterDoing() const;
    void SetPressed(bool AValue);
    bool HasGlyph() const;
    bool IsImageIndexInRange() const;
    bool IsMouseDownInside() const;
    bool IsSelectableOrClickable() const { return IsSelectable() || CanClickItem(); }
    bool GetIsSelected() const;
    // Painted as selected in customizing (framed by the window).
    bool IsCustomizingSelected() const;
    // The link is rarely used and shows only in an expanded menu.
    bool IsRarelyUsed() const { return FRarelyUsed; }
    bool IsRarelyUsedBoundary() const { return FRarelyUsedBoundary; }
    void SetParentDrawFlag();
    void ResetParentDrawFlag();
    // The rectangle of the control in its window (from its link).
    cls::TRect GetRect() const;

protected:
    void SetHasWindow(bool Value) { FHasWindow = Value; }
    void SetActive(bool Value) { FActive = Value; }
    bool IsInMenu() const;
    bool IsInToolbar() const;
    // The device context the control draws on: the window's canvas.
    gfx::HDC GetParentDC() const;

private:
    cls::TRect FExtraRect{};
    TdxBarItemLink* FItemLink;
    TCustomdxBarControl* FParent;
    bool FHasWindow = false;
    bool FActive = false;
    unsigned char FDrawFlag = 0;
    bool FClickPressed = false;
    bool FSelectedByMouse = false;
    bool FRarelyUsed = false;
    bool FRarelyUsedBoundary = false;
    bool FShownInMenu = false;
    bool FLastInMenu = false;
};

using TdxBarItemControlClass = cls::TClassOf<TdxBarItemControl>;

// ============================================================================
// Buttons
// ============================================================================

class TdxBarButtonControl : public TdxBarItemControl {
    TRESTLE_CLASS(TdxBarButtonControl, TdxBarItemControl)
public:
    explicit TdxBarButtonControl(TdxBarItemLink* AItemLink) : TdxBarItemControl(AItemLink) {}

    bool DroppedDown() const { return FDroppedDown; }
    bool MousePressing() const { return FMousePressing; }
    void SetMousePressing(bool Value) { FMousePressing = Value; }

    // --- Views of the item ---
    TdxBarButton* GetButton() const;
    TdxBarButtonStyle GetButtonStyle() const;
    bool GetDown() const;
    bool GetDropDownEnabled() const;
    TdxBarSubMenuControl* GetDropDownMenuControl() const;
    bool GetLowered() const;
    bool IsDroppedDown() const;
    TdxBarPaintStyle GetEffectivePaintStyle() const;

    // --- Added operations ---
    virtual int GetDropDownArrowWidth() const;
    virtual void ButtonStyleChanged();
    virtual void DownChanged();
    virtual void DropDownEnabledChanged();
    virtual int GetDefaultHeight() const;
    virtual int GetDefaultWidth() const;
    virtual void PaintStyleChanged();
    virtual void AdjustPaintStyle(TdxBarPaintStyle& APaintStyle) const;

    // --- Overrides ---
    void GlyphChanged() override;
    void ControlInactivate(bool AImmediately) override;
    void ControlPressed(bool AByMouse) override;
    void Click() override;
    bool IsSelected() const override;
    void KeyDown(unsigned short AKey) override;
    bool WantsKey(unsigned short AKey) const override;
    int GetHeight() const override;
    TdxBarSubMenuControl* GetChildMenuControl() const override { return GetDropDownMenuControl(); }
    int GetWidth() const override;
    bool ClosesMenusOnClick() const override;
    bool IsPressTracked() const override { return !FDroppedDown; }
    void Paint(const gfx::RECT& R, TdxBarPaintType APaintType) override;

    // The drop-down menu closed (clears the toolbar window's open flag too).
    virtual void CloseUp();
    // Opens the button's drop-down menu beside the control; a drop-down
    // whose menu does not open closes up again at once.
    virtual void DropDown(bool AByMouse);

private:
    // The right part of R that holds the drop-down arrow.
    cls::TRect GetArrowRect(const cls::TRect& R) const;
    void PaintInToolbar(gfx::HDC DC, const cls::TRect& R, TdxBarPaintType APaintType);

    bool FDroppedDown = false;
    bool FMousePressing = false;
};

// ============================================================================
// Sub items
// ============================================================================

class TdxBarSubItemControl : public TdxBarItemControl {
    TRESTLE_CLASS(TdxBarSubItemControl, TdxBarItemControl)
public:
    explicit TdxBarSubItemControl(TdxBarItemLink* AItemLink) : TdxBarItemControl(AItemLink) {}
    // Kills its pending timer, closes and frees its open menu.
    ~TdxBarSubItemControl() override;

    // Set by the window when the mouse or a selection asks for the menu;
    // handed to the menu as its select-the-first-link flag when it opens.
    bool SubMenuRequested() const { return FSubMenuRequested; }
    void SetSubMenuRequested(bool Value) { FSubMenuRequested = Value; }

    // The window of the sub item's links (whichever link opened it), nil
    // when the menu is not shown.
    virtual TdxBarSubMenuControl* GetSubMenuControl() const;
    virtual TdxBarSubMenuControl* CreateSubMenuControl();
    virtual int GetSubItemHeight() const;
    virtual int GetSubItemWidth() const;
    virtual bool CanOpenMenu() const { return true; }

    void GlyphChanged() override;
    bool CanClickItem() const override { return false; }
    // Opens the menu: at once, or (selected by the mouse) after the delay.
    void ControlActivate(bool AImmediately) override;
    // Closes the menu: at once, or (the mouse moved away) after the delay.
    void ControlInactivate(bool AImmediately) override;
    void ControlPressed(bool AByMouse) override;
    void KeyDown(unsigned short AKey) override;
    bool WantsKey(unsigned short AKey) const override;
    int GetHeight() const override;
    TdxBarSubMenuControl* GetChildMenuControl() const override { return GetSubMenuControl(); }
    int GetWidth() const override;
    bool ClosesMenusOnClick() const override { return false; }
    bool HasDblClickAction() const override { return true; }
    bool WantsDblClick() const override;
    void Paint(const gfx::RECT& R, TdxBarPaintType APaintType) override;

    int GetCaptionIndent() const;
    TCustomdxBarSubItem* GetSubItem() const;
    // This control's open menu (the one it opened), nil when none.
    TdxBarSubMenuControl* GetOwnSubMenuControl() const;

    // The delay before a hovered sub item opens or a left one closes.
    static constexpr unsigned SubMenuDelay = 400;
    // The control whose opening or closing waits on the delay timer.
    static TdxBarSubItemControl* PendingControl();

private:
    friend class TdxBarSubMenuControl;
    void OpenSubMenu();
    // Stops the delay timer when this control waits on it.
    void CancelPending();

    bool FSubMenuRequested = false;
};

} // namespace bars
