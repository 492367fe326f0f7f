// MDI frames: the maximized child's system menu as the first entry of the
// frame's main menu bar (its small icon opening a menu built from the child's
// real system menu) and the child form's main menu merged into the frame's.
#pragma once

#include "bars/itemcontrol.h"
#include "bars/subitem.h"
#include "win/defs.h"

namespace bars {

// The entry of a maximized MDI child's system menu. The library makes it for
// itself (an internal item of the frame form).
class TSystemMenuSubItem : public TCustomdxBarSubItem {
    TRESTLE_CLASS(TSystemMenuSubItem, TCustomdxBarSubItem)
public:
    explicit TSystemMenuSubItem(cls::TComponent* AOwner) : TCustomdxBarSubItem(AOwner) {}

    win::HWND ChildWnd() const { return FChildWnd; }
    void SetChildWnd(win::HWND Value) { FChildWnd = Value; }
    // Builds the links anew from the child's system menu, then opens.
    void Click() override;

private:
    // A command of the system menu: WM_SYSCOMMAND to the child.
    void CommandClick(cls::TObject* Sender);
    void FillFromMenu(TCustomdxBarSubItem* ASubItem, win::HMENU AMenu);

    win::HWND FChildWnd = nullptr;
};

// The child's small icon; a double click runs the menu's default command.
class TSystemMenuSubItemControl : public TdxBarSubItemControl {
    TRESTLE_CLASS(TSystemMenuSubItemControl, TdxBarSubItemControl)
public:
    explicit TSystemMenuSubItemControl(TdxBarItemLink* AItemLink) : TdxBarSubItemControl(AItemLink) {}

    bool CanSelectInCustomizing() const override { return false; }
    bool CanSelect() const override;
    int GetHeight() const override;
    int GetWidth() const override;
    bool IsOwnerRectUsed() const override { return false; }
    bool HasDblClickAction() const override { return false; }
    void Paint(const gfx::RECT& R, TdxBarPaintType APaintType) override;
    void DblClick() override;
    bool WantsDblClick() const override { return true; }

private:
    win::HWND ChildWnd() const;
};

// The window's class is "MDICLIENT" (compared without regard to case).
bool IsMDIClientWindow(win::HWND AWnd);
// The window is the active MDI child (WM_MDIGETACTIVE) of the active window.
bool IsActiveMDIChildOfActiveFrame(win::HWND AWnd);

// Adds the artwork of the system menu's standard item bitmaps ("DXBARCLOSE",
// "DXBARRESTORE", "DXBARMAXIMIZE", "DXBARMINIMIZE") to the program's
// resources when they are missing.
void LoadSystemMenuBitmaps();

} // namespace bars
