// Quick customization: the drop-down of a toolbar's mark.
//
// A press on the mark opens a small toolbar window under it (beside it on a
// vertical toolbar) that lists the toolbar's links that are not shown (they
// did not fit), followed by the sub item "Add or Remove Buttons". That sub
// item's menu has a check row for every link of the toolbar that may show;
// clicking a row shows or hides the link in the toolbar while the menu stays
// open. Below the rows come "Reset Toolbar" (for a bar the form's stored
// state can reset) and "Customize...".
//
// Everything here is built on the fly from the toolbar's own links: a hidden
// bar of the manager holds the window's links, and the sub item and the
// command rows are internal items of the library, freed once no control
// shows them. At most one drop-down is open. It closes when the mark is
// pressed again, when a mouse button is pressed outside it and its menus,
// 200 ms after the mouse selected a control of another toolbar, when its
// window is hidden, and when the chain of menus it started closes.
#pragma once

#include <string>

#include "bars/button.h"
#include "bars/itemcontrol.h"
#include "bars/subitem.h"
#include "bars/toolbar.h"

namespace lf {
struct TcxObjectLink;
}

namespace bars {

class TdxBarQuickControl;

// ============================================================================
// Items
// ============================================================================

// The item behind every check row of one "Add or Remove Buttons" menu. A
// row's link keeps the toolbar link it stands for in its Data.
class TdxBarQuickCustItem : public TdxBarButton {
    TRESTLE_CLASS(TdxBarQuickCustItem, TdxBarButton)
public:
    explicit TdxBarQuickCustItem(cls::TComponent* AOwner) : TdxBarButton(AOwner) {}
    // The click handlers, then the toolbar link of the clicked row is shown
    // or hidden.
    void DoClick() override;
};

// The item of a command row ("Reset Toolbar", "Customize...").
class TdxBarQuickCustExtButton : public TdxBarButton {
    TRESTLE_CLASS(TdxBarQuickCustExtButton, TdxBarButton)
public:
    explicit TdxBarQuickCustExtButton(cls::TComponent* AOwner);
    ~TdxBarQuickCustExtButton() override;
    // The bar the row resets (nullptr for another command, or once it went).
    TdxBar* ResetBar() const;
    void SetResetBar(TdxBar* Value);
    // The click handlers, then the reset of ResetBar, after confirmation.
    void DoClick() override;

private:
    lf::TcxObjectLink* FResetBar;
};

// The "Add or Remove Buttons" sub item.
class TdxBarQuickSubItem : public TdxBarSubItem {
    TRESTLE_CLASS(TdxBarQuickSubItem, TdxBarSubItem)
public:
    explicit TdxBarQuickSubItem(cls::TComponent* AOwner) : TdxBarSubItem(AOwner) {}
};

// ============================================================================
// Controls
// ============================================================================

// A check row: the toolbar link's caption, glyph, hint and shortcut behind a
// check cell that is ticked while the link is visible.
class TdxBarQuickCustItemControl : public TdxBarButtonControl {
    TRESTLE_CLASS(TdxBarQuickCustItemControl, TdxBarButtonControl)
public:
    using TdxBarButtonControl::TdxBarButtonControl;

    // The toolbar link the row stands for, nullptr once it went.
    TdxBarItemLink* GetSourceLink() const;

    // The click, then the row shows its new check state.
    void Click() override;
    std::string GetCaption() const override;
    cls::TBitmap* GetGlyph() const override;
    int GetImageIndex() const override;
    cls::TCustomImageList* GetImages(bool ALarge) const override;
    std::string GetHint() const override;
    cls::TShortCut GetShortCut() const override;
    // The menu stays open while rows are toggled.
    bool ClosesMenusOnClick() const override { return false; }
    // Room for the check cell.
    int GetDefaultWidth() const override;
    void Paint(const gfx::RECT& R, TdxBarPaintType APaintType) override;
};

// A command row: an empty check cell, then the button.
class TdxBarQuickCustExtButtonControl : public TdxBarButtonControl {
    TRESTLE_CLASS(TdxBarQuickCustExtButtonControl, TdxBarButtonControl)
public:
    using TdxBarButtonControl::TdxBarButtonControl;

    int GetMenuIndent() const override;
    int GetDefaultWidth() const override;
    void Paint(const gfx::RECT& R, TdxBarPaintType APaintType) override;
};

// ============================================================================
// The drop-down window
// ============================================================================

class TdxBarQuickControl : public TdxBarControl {
    TRESTLE_CLASS(TdxBarQuickControl, TdxBarControl)
public:
    // Builds the drop-down of AToolbar's mark (a drop-down open elsewhere
    // closes first); ShowNearRect shows it. The manager owns the window.
    static TdxBarQuickControl* CreateForBar(TdxBarManager* ABarManager, TdxBarControl* AToolbar);
    // Frees the window's bar, its check-row item and, once nothing shows them
    // any more, the sub item and the command rows.
    ~TdxBarQuickControl() override;

    // The open drop-down, nullptr when none.
    static TdxBarQuickControl* OpenQuickControl();
    // The toolbar window whose mark opened it, nullptr once it went.
    TdxBarControl* Toolbar() const;
    TdxBarQuickSubItem* SubItem() const;
    // The item of the current check rows, nullptr before the menu opened.
    TdxBarQuickCustItem* QuickCustItem() const;

    // Sizes the window to its links and shows it beside the mark's screen
    // rectangle R, inside the work area, without activating it.
    void ShowNearRect(const cls::TRect& R);
    // The toolbar's mark goes back to normal, which frees this window.
    void Close();
    // The sub item's popup handler: the check rows and command rows anew.
    void FillAddRemoveMenu(cls::TObject* Sender);

    TCustomdxBarControl* GetOwnerBarControl() const override;
    gfx::HBRUSH GetBarBrush() const override;
    bool IsClosingOnClick() const override { return true; }
    bool IsQuickCustomizingMenu() const override { return true; }
    // The toolbar's link a link of the drop-down was made from.
    TdxBarItemLink* GetSourceLink(const TdxBarItemLink* ALink) const override;
    // The chain closes, and with it the drop-down when it held menu mode.
    void DeactivateAll() override;

protected:
    void Dispatch(cls::TMessage& Message) override;

private:
    TdxBarQuickControl(TdxBarManager* AOwner, TdxBar* ABar, TdxBarControl* AToolbar);
    void WMWindowPosChanged(cls::TMessage& Message);

    TdxBarControl* FToolbar;
    lf::TcxObjectLink* FSubItem = nullptr;
    lf::TcxObjectLink* FQuickCustItem = nullptr;
};

// The close timer: started when the mouse selects a control outside an open
// drop-down that does not hold menu mode; when it fires, the drop-down
// closes unless the manager's selected control is (again) in its chain.
inline constexpr unsigned QuickControlCloseDelay = 200;
void StartQuickControlCloseTimer();
void StopQuickControlCloseTimer();

} // namespace bars
