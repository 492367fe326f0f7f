// The button item: a command that can stay pressed (checked buttons, alone or
// in groups) or carry a drop-down menu beside it.
#pragma once

#include "bars/item.h"

namespace bars {

class TdxBarButton : public TdxBarItem {
    TRESTLE_CLASS(TdxBarButton, TdxBarItem)
public:
    explicit TdxBarButton(cls::TComponent* AOwner);
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;

    // --- Published properties ---
    // Lets the down button of a group be released; copied to every button
    // of the manager with the same non-zero GroupIndex.
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    // A change releases Down.
    TdxBarButtonStyle ButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TdxBarButtonStyle Value);
    bool CloseSubMenuOnClick() const { return FCloseSubMenuOnClick; }
    void SetCloseSubMenuOnClick(bool Value) { FCloseSubMenuOnClick = Value; }
    // Only a bsChecked button goes down. In a group, going down releases the
    // button that was down; the only down button stays down unless AllowAllUp.
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool DropDownEnabled() const { return FDropDownEnabled; }
    void SetDropDownEnabled(bool Value);
    // Cleared when the menu is destroyed.
    TdxBarPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TdxBarPopupMenu* Value);
    // The links of the drop-down menu, nil without one.
    TdxBarItemLinks* DropDownItemLinks() const;
    // Stays 0 unless ButtonStyle is bsChecked; a change releases Down.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool Lowered() const { return FLowered; }
    void SetLowered(bool Value);
    TdxBarPaintStyle PaintStyle() const { return FPaintStyle; }
    void SetPaintStyle(TdxBarPaintStyle Value);

    // An enabled bsChecked button toggles Down first.
    void DirectClick() override;
    // Shows DropDownMenu for AControl (a control of one of the button's
    // links) at the screen point, beside the control in a menu or a vertical
    // toolbar and below it elsewhere, without a loop of its own: the menu
    // runs in the loop that is running. Opened by the keyboard, its first
    // entry is selected.
    void DropDown(TdxBarItemControl* AControl, int X, int Y, bool AByMouse);
    // In a toolbar, only a button whose caption shows.
    bool CanUseAccelerator(TdxBarItemLink* ALink) const override;

    // --- Notifications to the controls of the links ---
    virtual void ButtonStyleChanged();
    virtual void DownChanged();
    virtual void DropDownEnabledChanged();
    // Skips links with their own paint style.
    virtual void PaintStyleChanged();

protected:
    void Notification(cls::TComponent* AComponent, cls::TOperation Operation) override;

private:
    // Down changes without the group rules (style and group changes release it).
    void ReleaseDown();

    bool FAllowAllUp = false;
    TdxBarButtonStyle FButtonStyle = bsDefault;
    bool FCloseSubMenuOnClick = true;
    bool FDown = false;
    bool FDropDownEnabled = true;
    TdxBarPopupMenu* FDropDownMenu = nullptr;
    int FGroupIndex = 0;
    bool FLowered = false;
    TdxBarPaintStyle FPaintStyle = psStandard;
};

} // namespace bars
