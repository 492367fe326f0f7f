#include "bars/button.h"

#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/registry.h"
#include "bars/submenu.h"
#include "lookandfeel/objectlinks.h"

namespace bars {

TdxBarButton::TdxBarButton(cls::TComponent* AOwner) : TdxBarItem(AOwner) {
    SetUnclickAfterDoing(true);
}

void TdxBarButton::SetAllowAllUp(bool Value) {
    FAllowAllUp = Value;
    if (FGroupIndex == 0 || !BarManager()) return;
    for (int I = 0; I < BarManager()->ItemCount(); ++I) {
        auto* Button = dynamic_cast<TdxBarButton*>(BarManager()->Items(I));
        if (Button && Button->FGroupIndex == FGroupIndex) Button->FAllowAllUp = Value;
    }
}

void TdxBarButton::SetButtonStyle(TdxBarButtonStyle Value) {
    if (FButtonStyle == Value) return;
    ReleaseDown();
    FButtonStyle = Value;
    if (!IsLoading()) ButtonStyleChanged();
}

void TdxBarButton::ReleaseDown() {
    if (!FDown) return;
    FDown = false;
    if (!IsLoading()) DownChanged();
}

void TdxBarButton::SetDown(bool Value) {
    if (FDown == Value) return;
    if (Value && FButtonStyle != bsChecked) return;
    TdxBarButton* Previous = nullptr;
    if (!IsLoading() && FButtonStyle == bsChecked && FGroupIndex != 0 && BarManager()) {
        TdxBarButton* OtherDown = nullptr;
        for (int I = 0; I < BarManager()->ItemCount() && !OtherDown; ++I) {
            auto* Button = dynamic_cast<TdxBarButton*>(BarManager()->Items(I));
            if (Button && Button != this && Button->FButtonStyle == bsChecked &&
                Button->FGroupIndex == FGroupIndex && Button->FDown)
                OtherDown = Button;
        }
        if (Value) {
            Previous = OtherDown;
        } else if (!FAllowAllUp && !OtherDown) {
            return;
        }
    }
    FDown = Value;
    if (IsLoading()) return;
    DownChanged();
    if (Previous) Previous->SetDown(false);
}

void TdxBarButton::SetDropDownEnabled(bool Value) {
    if (FDropDownEnabled == Value) return;
    FDropDownEnabled = Value;
    if (!IsLoading()) DropDownEnabledChanged();
}

void TdxBarButton::SetDropDownMenu(TdxBarPopupMenu* Value) {
    if (FDropDownMenu == Value) return;
    if (FDropDownMenu) RemoveFreeNotification(FDropDownMenu);
    FDropDownMenu = Value;
    if (FDropDownMenu) FDropDownMenu->FreeNotification(this);
}

void TdxBarButton::DropDown(TdxBarItemControl* AControl, int X, int Y, bool AByMouse) {
    TdxBarPopupMenu* Menu = FDropDownMenu;
    // A menu that shows already (the one the button sits in, say) opens no
    // second time; its window is not this drop-down's.
    if (!Menu || Menu->GetBarControl()) return;
    TCustomdxBarControl* Window = AControl ? AControl->Parent() : nullptr;
    if (!IsBarControlAlive(Window)) Window = nullptr;
    cls::TRect R{};
    if (Window && Window->HandleAllocated() && win::IsWindowVisible(Window->Handle()))
        R = Window->GetItemControlScreenRect(AControl);
    const bool Beside = Window && (Window->IsMenuWindow() || IsVerticalBarControl(Window));
    lf::TcxObjectLinkScope MenuAlive(Menu);
    Menu->BeginDropDown(Window, AControl);
    try {
        Menu->PopupEx(X, Y, Beside ? R.right - R.left : 0, Beside ? 0 : R.bottom - R.top, true, &R);
    } catch (...) {
        if (MenuAlive.Alive()) Menu->EndDropDown();
        throw;
    }
    if (!MenuAlive.Alive()) return;
    Menu->EndDropDown();
    TdxBarSubMenuControl* MenuWindow = Menu->GetBarControl();
    if (!MenuWindow) return;
    if (Window && Window->IsMenuWindow() && IsBarControlAlive(Window)) Window->SetChildMenu(MenuWindow);
    if (!AByMouse && MenuWindow->ItemLinks())
        if (TdxBarItemLink* First = MenuWindow->ItemLinks()->GetFirstSelectable())
            MenuWindow->SelectItemControl(First->Control());
}

TdxBarItemLinks* TdxBarButton::DropDownItemLinks() const {
    return FDropDownMenu ? FDropDownMenu->ItemLinks() : nullptr;
}

void TdxBarButton::SetGroupIndex(int Value) {
    if (FButtonStyle != bsChecked) Value = 0;
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    // A button that arrives down in another group would break its rule;
    // while loading Down was read before the group and stays.
    if (!IsLoading()) ReleaseDown();
}

void TdxBarButton::SetLowered(bool Value) {
    if (FLowered == Value) return;
    FLowered = Value;
    if (!IsLoading()) RepaintLinkBars();
}

void TdxBarButton::SetPaintStyle(TdxBarPaintStyle Value) {
    if (FPaintStyle == Value) return;
    FPaintStyle = Value;
    if (!IsLoading()) PaintStyleChanged();
}

void TdxBarButton::DirectClick() {
    if (Enabled() && FButtonStyle == bsChecked) SetDown(!FDown);
    inherited::DirectClick();
}

bool TdxBarButton::CanUseAccelerator(TdxBarItemLink* ALink) const {
    if (!inherited::CanUseAccelerator(ALink)) return false;
    TdxBarItemLinks* Links = ALink ? ALink->Owner() : nullptr;
    if (!Links || !dynamic_cast<TdxBar*>(Links->LinksOwner())) return true;
    auto ShowsCaption = [](TdxBarPaintStyle AStyle) {
        return AStyle == psCaption || AStyle == psCaptionGlyph;
    };
    if (ShowsCaption(ALink->GetPaintStyle())) return true;
    auto* Control = dynamic_cast<TdxBarButtonControl*>(ALink->Control());
    return Control && ShowsCaption(Control->GetEffectivePaintStyle());
}

namespace {

// The button controls among the controls of a button's links (a link on a
// turned toolbar may show another kind).
std::function<void(TdxBarItemControl*)> ForButtonControl(void (TdxBarButtonControl::*AOperation)()) {
    return [AOperation](TdxBarItemControl* AControl) {
        if (auto* Control = dynamic_cast<TdxBarButtonControl*>(AControl)) (Control->*AOperation)();
    };
}

} // namespace

void TdxBarButton::ButtonStyleChanged() {
    ForEachLinkControl(ForButtonControl(&TdxBarButtonControl::ButtonStyleChanged));
}

void TdxBarButton::DownChanged() {
    ForEachLinkControl(ForButtonControl(&TdxBarButtonControl::DownChanged));
}

void TdxBarButton::DropDownEnabledChanged() {
    ForEachLinkControl(ForButtonControl(&TdxBarButtonControl::DropDownEnabledChanged));
}

void TdxBarButton::PaintStyleChanged() {
    ForEachLinkControl(udPaintStyle, ForButtonControl(&TdxBarButtonControl::PaintStyleChanged));
}

void TdxBarButton::Notification(cls::TComponent* AComponent, cls::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == cls::opRemove && AComponent == FDropDownMenu) FDropDownMenu = nullptr;
}

} // namespace bars
