#include "bars/popupmenulinks.h"

#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/registry.h"
#include "classes/forms.h"
#include "lookandfeel/objectlinks.h"
#include "win/user.h"

namespace bars {

// ============================================================================
// TdxBarPopupMenuLink
// ============================================================================

TdxBarPopupMenuLink::TdxBarPopupMenuLink(cls::TCollection* ACollection) : cls::TCollectionItem(ACollection) {}

TdxBarPopupMenuLink::~TdxBarPopupMenuLink() {
    lf::cxClearObjectLinks(this);
}

TdxBarPopupMenuLinks* TdxBarPopupMenuLink::Links() const {
    return static_cast<TdxBarPopupMenuLinks*>(Collection());
}

void TdxBarPopupMenuLink::SetControl(cls::TWinControl* Value) {
    TdxBarManager* Manager = Links() ? Links()->BarManager() : nullptr;
    if (Value && Manager) {
        cls::TCustomForm* Form = cls::GetParentForm(Value);
        if (!Form || GetBarManagerByForm(Form) != Manager) Value = nullptr;
    }
    if (FControl == Value) return;
    FControl = Value;
    if (Value && Manager) Manager->FreeNotification(Value);
}

void TdxBarPopupMenuLink::SetPopupMenu(TdxBarPopupMenu* Value) {
    if (FPopupMenu == Value) return;
    FPopupMenu = Value;
    TdxBarManager* Manager = Links() ? Links()->BarManager() : nullptr;
    if (Value && Manager) Manager->FreeNotification(Value);
}

void TdxBarPopupMenuLink::Assign(cls::TPersistent* Source) {
    auto* Other = dynamic_cast<TdxBarPopupMenuLink*>(Source);
    if (!Other) {
        inherited::Assign(Source);
        return;
    }
    // Copies by name: the source may belong to another form.
    TdxBarManager* Manager = Links() ? Links()->BarManager() : nullptr;
    cls::TCustomForm* Form = Manager ? Manager->OwnerForm() : nullptr;
    auto Find = [Form](cls::TComponent* AComponent) -> cls::TComponent* {
        return Form && AComponent ? Form->FindComponent(AComponent->Name()) : nullptr;
    };
    SetControl(dynamic_cast<cls::TWinControl*>(Find(Other->Control())));
    SetPopupMenu(dynamic_cast<TdxBarPopupMenu*>(Find(Other->PopupMenu())));
    SetProcessChildren(Other->ProcessChildren());
}

bool TdxBarPopupMenuLink::DoAction(int& X, int& Y, bool AClickedByMouse, bool& AAllowPopup) {
    if (!FOnAction) return true;
    lf::TcxObjectLinkScope Self(this);
    FOnAction(this, X, Y, AClickedByMouse, AAllowPopup);
    return Self.Alive();
}

bool TdxBarPopupMenuLink::ShowPopup(win::HWND AWnd, const cls::TMessage& AMessage) {
    cls::TWinControl* Control = FControl;
    if (!Control) return false;
    // A WM_CONTEXTMENU that the release or key left queued would ask again.
    win::MSG Pending;
    win::PeekMessage(&Pending, AWnd, win::WM_CONTEXTMENU, win::WM_CONTEXTMENU, win::PM_REMOVE);

    win::POINT P{win::GET_X_LPARAM(AMessage.LParam), win::GET_Y_LPARAM(AMessage.LParam)};
    const bool ClickedByMouse = P.x != -1 || P.y != -1;
    if (ClickedByMouse) {
        win::ScreenToClient(AWnd, &P);
    } else {
        win::GUITHREADINFO Info;
        if (!win::GetGUIThreadInfo(win::GetWindowThreadProcessId(AWnd, nullptr), &Info) ||
            Info.hwndCaret != AWnd || !win::GetCaretPos(&P))
            P = win::POINT{0, 0};
    }
    // The point of the window asked on, in the linked control (one of its parents).
    if (Control->HandleAllocated() && Control->Handle() != AWnd)
        win::MapWindowPoints(AWnd, Control->Handle(), &P, 1);

    lf::TcxObjectLinkScope Self(this);
    cls::TComponentGuard ControlGuard(Control);
    bool Handled = false;
    Control->DoContextPopup(cls::TPoint{P.x, P.y}, Handled);
    if (Handled) return true;
    if (!Self.Alive() || !ControlGuard.Alive()) return false;

    int X = P.x;
    int Y = P.y;
    bool AllowPopup = FPopupMenu != nullptr;
    if (!DoAction(X, Y, ClickedByMouse, AllowPopup) || !ControlGuard.Alive()) return false;
    TdxBarPopupMenu* Menu = FPopupMenu;
    if (!AllowPopup || !Menu) return AllowPopup;
    const cls::TPoint At = Control->ClientToScreen(cls::TPoint{X, Y});
    cls::TComponentGuard MenuGuard(Menu);
    if (win::IsWindowEnabled(AWnd)) win::SetFocus(AWnd);
    if (MenuGuard.Alive()) Menu->Popup(At.x, At.y);
    return true;
}

bool TdxBarPopupMenuLink::IsShortCut(cls::TShortCut AShortCut) {
    int X = -1;
    int Y = -1;
    bool AllowPopup = FPopupMenu != nullptr;
    if (!DoAction(X, Y, false, AllowPopup)) return false;
    return AllowPopup && FPopupMenu && FPopupMenu->IsShortCut(AShortCut);
}

// ============================================================================
// TdxBarPopupMenuLinks
// ============================================================================

TdxBarPopupMenuLinks::TdxBarPopupMenuLinks(TdxBarManager* ABarManager)
    : cls::TCollection(TdxBarPopupMenuLink::ClassInfo()), FBarManager(ABarManager) {}

cls::TPersistent* TdxBarPopupMenuLinks::GetOwner() {
    return FBarManager;
}

template <class F> bool TdxBarPopupMenuLinks::TryLinks(cls::TWinControl* AControl, F ATry) {
    // The handlers a link runs may free the manager (and these links with
    // it), the control or its parents.
    cls::TComponentGuard ManagerGuard(FBarManager);
    bool Parent = false;
    for (cls::TWinControl* Control = AControl; Control; Control = Control->Parent(), Parent = true) {
        cls::TComponentGuard ControlGuard(Control);
        for (int I = 0; I < Count(); ++I) {
            TdxBarPopupMenuLink* Link = Items(I);
            if (Link->Control() != Control || (Parent && !Link->ProcessChildren())) continue;
            if (ATry(Link)) return true;
            if (!ManagerGuard.Alive() || !ControlGuard.Alive()) return false;
        }
    }
    return false;
}

bool TdxBarPopupMenuLinks::HandleContextMenu(cls::TWinControl* AControl, win::HWND AWnd,
                                             const cls::TMessage& AMessage) {
    if (FBarManager->Designing()) return false;
    return TryLinks(AControl, [&](TdxBarPopupMenuLink* Link) { return Link->ShowPopup(AWnd, AMessage); });
}

bool TdxBarPopupMenuLinks::HandleShortCut(cls::TWinControl* AControl, cls::TShortCut AShortCut) {
    if (FBarManager->Designing()) return false;
    return TryLinks(AControl, [AShortCut](TdxBarPopupMenuLink* Link) { return Link->IsShortCut(AShortCut); });
}

} // namespace bars
