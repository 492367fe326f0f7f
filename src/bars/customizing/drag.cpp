// The customizing drag of a command or a link.
#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/item.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/registry.h"
#include "bars/subitem.h"
#include "bars/submenu.h"
#include "bars/system.h"
#include "bars/toolbar.h"
#include "classes/forms.h"
#include "classes/guards.h"
#include "classes/modalloop.h"
#include "lookandfeel/objectlinks.h"

#include <cstdlib>

namespace bars {

namespace {

bool AcceptsCustomizing(TCustomdxBarControl* AWindow, bool ADesigning) {
    if (ADesigning) return true;
    if (auto* Toolbar = dynamic_cast<TdxBarControl*>(AWindow))
        return Toolbar->Bar() && Toolbar->Bar()->AllowCustomizing();
    if (!AWindow->IsMenuWindow() || !AWindow->ItemLinks()) return false;
    cls::TPersistent* Owner = AWindow->ItemLinks()->LinksOwner();
    if (dynamic_cast<TdxBarPopupMenu*>(Owner)) return true;
    auto* SubItem = dynamic_cast<TdxBarSubItem*>(Owner);
    return SubItem && SubItem->AllowCustomizing();
}

bool IsSubItemControl(TdxBarItemControl* AControl) {
    return dynamic_cast<TdxBarSubItemControl*>(AControl) != nullptr;
}

// The state of one drag, shared by the loop's steps and its end.
struct TDragState {
    TdxBarManager* Manager;
    TdxBarItem* Item;
    TdxBarItemLink* Link;
    TCustomdxBarControl* TargetBar = nullptr;
    TdxBarItemControl* Target = nullptr;
    bool InGroupGap = false, Vertical = false, Before = false;
    bool MarkShown = false;
    bool Copy = false, CopyChanged = false;
    bool Moved = false, Dropped = false;
    cls::TPoint DragStart{};
    cls::TPoint LastPoint{};

    bool Changing() const { return Manager->IsDropPlaceChanging(Target, InGroupGap, Before, Link, Copy); }
    void ToggleMark() {
        Manager->DrawDropMark(Target, InGroupGap, Vertical, Before);
        MarkShown = !MarkShown;
    }
    void EraseMark() {
        if (MarkShown && IsBarControlAlive(TargetBar)) ToggleMark();
        MarkShown = false;
    }

    void MouseMove();
};

void TDragState::MouseMove() {
    Moved = true;
    win::POINT P{};
    win::GetCursorPos(&P);
    LastPoint = P;
    cls::TWinControl* C = cls::FindControl(GetWindowFromScreenPoint(P));
    auto* Bar = dynamic_cast<TCustomdxBarControl*>(C);
    if (Bar && Bar->GetBarManager() != Manager) Bar = nullptr;
    if (!Bar && !dynamic_cast<TCustomdxBarControl*>(C)) {
        for (int I = 0; I < Manager->Bars()->Count(); ++I) {
            TdxBarControl* Window = Manager->Bars()->Items(I)->Control();
            if (!Window || !Window->HandleAllocated() || !win::IsWindowVisible(Window->Handle())) continue;
            win::RECT R{};
            win::GetWindowRect(Window->Handle(), &R);
            if (win::PtInRect(&R, P)) {
                Bar = Window;
                break;
            }
        }
    }
    if (Bar && !AcceptsCustomizing(Bar, Manager->Designing())) Bar = nullptr;

    TdxBarItemControl* Control = nullptr;
    bool NewGap = false, NewVertical = false, NewBefore = false;
    cls::TPoint Client = P;
    if (Bar) {
        Client = Bar->ScreenToClient(P);
        Control = Bar->GetDropPlace(Client, NewGap, NewVertical, NewBefore);
    }
    const bool ShowsLinks = Bar && Bar->ItemLinks() && Bar->ItemLinks()->VisibleItemCount() > 0;
    int Cursor = crdxBarDrag;
    if (!Bar || (!Control && ShowsLinks))
        Cursor = crdxBarDragNoDrop;
    else if (Copy || !Link)
        Cursor = crdxBarDragCopy;
    win::SetCursor(cls::Screen->Cursors(Cursor));

    if (!Bar) {
        EraseMark();
        TargetBar = nullptr;
        Target = nullptr;
        CopyChanged = false;
        return;
    }
    if (Bar != TargetBar) {
        EraseMark();
        TargetBar = Bar;
        Target = nullptr;
    }
    const bool KeepsNoMark = Bar->IsMenuWindow() && Bar->ChildMenu();
    if (!KeepsNoMark && (Control != Target || NewGap != InGroupGap || NewVertical != Vertical ||
                         NewBefore != Before || CopyChanged)) {
        if (!CopyChanged) {
            if (MarkShown) ToggleMark();
        } else if (Copy && !MarkShown && Target && Changing()) {
            ToggleMark();
        } else if (!Copy && MarkShown && !Changing()) {
            ToggleMark();
        }
        if (Control != Target) {
            if (Control && (IsSubItemControl(Control) || IsSubItemControl(Bar->SelectedControl()))) {
                Bar->SelectItemControl(Control);
                if (!IsBarControlAlive(Bar)) {
                    TargetBar = nullptr;
                    Target = nullptr;
                    MarkShown = false;
                    return;
                }
            } else {
                Manager->SetSelectedItemControl(Control);
                if (IsBarControlAlive(Bar)) Bar->SetSelectedControl(Control);
            }
            Target = Control;
        }
        if (!CopyChanged) {
            InGroupGap = NewGap;
            Vertical = NewVertical;
            Before = NewBefore;
            if (Target && Changing()) ToggleMark();
        }
        CopyChanged = false;
    }
    if (Bar->IsMenuWindow() && IsBarControlAlive(Bar) && Bar->HandleAllocated()) {
        win::SendMessage(Bar->Handle(), win::WM_MOUSEMOVE, 0, win::MAKELPARAM(Client.x, Client.y));
        if (IsBarControlAlive(Bar) && Bar->ChildMenu()) {
            EraseMark();
            Target = nullptr;
        }
    }
}

// The drop at the end of a drag that a release of the button ended.
void Drop(TDragState& S) {
    TdxBarManager* M = S.Manager;
    TCustomdxBarControl* W = IsBarControlAlive(S.TargetBar) ? S.TargetBar : nullptr;
    if (!W) {
        // A moved link dropped outside every bar is removed.
        if (S.Link && !S.Copy) {
            delete S.Link;
            M->DesignerModified();
        }
        if (TdxBarItemControl* Selected = M->SelectedItemControl()) {
            TCustomdxBarControl* Window = Selected->Parent();
            M->SetSelectedItemControl(nullptr);
            if (IsBarControlAlive(Window)) Window->RepaintBar();
        }
        return;
    }
    if (S.Link && !S.Copy && S.Target && (S.Target->ItemLink() == S.Link || !S.Changing()) &&
        !(S.InGroupGap && S.Before)) {
        // A small drag along the link's own place adds or removes its group separator.
        TCustomdxBarControl* Own = S.Link->GetBarControl();
        if (!IsBarControlAlive(Own) || !Own->HandleAllocated()) return;
        const cls::TPoint P = Own->ScreenToClient(S.LastPoint);
        const bool AlongY = Own->IsMenuWindow() || IsVerticalBarControl(Own);
        const int D = AlongY ? P.y - S.DragStart.y : P.x - S.DragStart.x;
        if (std::abs(D) < 4) return;
        TdxBarItemControl* Control = S.Link->Control();
        if (S.Link->BeginGroup() != (D > 0)) {
            Own->SetSelectedControl(Control);
            M->SetSelectedItemControl(Control);
            S.Link->SetBeginGroup(D > 0);
        } else {
            Own->SelectItemControl(Control);
        }
        return;
    }
    const cls::TPoint Client = W->ScreenToClient(S.LastPoint);
    const cls::TRect ClientRect = W->ClientRect();
    TdxBarItemLinks* Links = W->ItemLinks();
    const bool ShowsLinks = Links && Links->VisibleItemCount() > 0;
    if (!Links || (!S.Target && (!win::PtInRect(&ClientRect, Client) || ShowsLinks))) {
        M->SetSelectedItemControl(nullptr);
        return;
    }
    TdxBarItemLink* NewLink = Links->Add();
    NewLink->BringToRecentTop(true);
    NewLink->SetItem(S.Item);
    if (S.Link) {
        NewLink->Assign(S.Link);
        NewLink->SetBeginGroup(false);
    }
    if (TdxBarItemLink* TargetLink = S.Target ? S.Target->ItemLink() : nullptr) {
        NewLink->SetIndex(TargetLink->Index() + (!S.InGroupGap && !S.Before ? 1 : 0));
        const bool Group =
            (S.InGroupGap && !S.Before) || (S.Before && !S.InGroupGap && TargetLink->BeginGroup());
        if (Group) {
            TargetLink->SetBeginGroup(false);
            NewLink->SetBeginGroup(true);
        }
    }
    if (S.Link && !S.Copy) {
        TCustomdxBarControl* Old = S.Link->GetBarControl();
        delete S.Link;
        if (IsBarControlAlive(Old) && Old->ItemLinks() != Links) Old->RepaintBar();
    } else if (IsBarControlAlive(W)) {
        W->RepaintBar();
    }
    if (IsBarControlAlive(W) && NewLink->Control()) {
        M->SetSelectedItemControl(NewLink->Control());
        if (IsBarControlAlive(W)) W->SetSelectedControl(NewLink->Control());
    }
    M->DesignerModified();
    TCustomdxBarControl* Active = GetActiveBarControl();
    if (IsBarControlAlive(Active) && IsBarControlAlive(W) && W->IsToolbarWindow() && Active != W)
        Active->DeactivateAll();
}

} // namespace

void TdxBarManager::DragItemLink(TdxBarItem* AItem, TdxBarItemLink* ALink) {
    if (!AItem || FLinkDragging) return;
    cls::TComponentGuard Self(this);
    lf::TcxObjectLinkScope ItemAlive(AItem);
    lf::TcxObjectLinkScope LinkAlive(ALink);
    TDragState S{this, AItem, ALink};
    if (ALink && ALink->GetBarControl() && ALink->GetBarControl()->HandleAllocated()) {
        win::POINT P{};
        win::GetCursorPos(&P);
        S.DragStart = ALink->GetBarControl()->ScreenToClient(P);
    }
    S.Copy = win::GetAsyncKeyState(win::VK_CONTROL) < 0;
    const cls::TCursor SaveCursor = cls::Screen->Cursor();
    const win::HWND Capture = GetCaptureWindowHandle();
    FLinkDragging = true;
    FDraggingItem = AItem;
    FDraggingLink = ALink;
    win::SetCapture(Capture);
    const auto Alive = [&] { return Self.Alive() && ItemAlive.Alive() && (!ALink || LinkAlive.Alive()); };
    {
        // However the loop ends: the mark off, the capture and cursor back.
        cls::TScopeExit End([&] {
            if (Self.Alive()) {
                if (S.MarkShown && IsBarControlAlive(S.TargetBar) && FSelectedItemControl == S.Target)
                    S.EraseMark();
                FLinkDragging = false;
                FDraggingItem = nullptr;
                FDraggingLink = nullptr;
            }
            if (win::GetCapture() == Capture) win::ReleaseCapture();
            if (cls::Screen) win::SetCursor(cls::Screen->Cursors(SaveCursor));
        });
        cls::TModalLoop Loop;
        Loop.Capture = Capture;
        Loop.Running = Alive;
        Loop.Filter = [&](win::MSG& Msg) {
            switch (Msg.message) {
                case win::WM_KEYDOWN:
                case win::WM_KEYUP:
                    if (Msg.wParam == static_cast<win::WPARAM>(win::VK_CONTROL)) {
                        const bool Down = Msg.message == win::WM_KEYDOWN;
                        S.CopyChanged = S.Copy != Down;
                        S.Copy = Down;
                        S.MouseMove();
                        return cls::TModalMessage::Handled;
                    }
                    return Msg.message == win::WM_KEYDOWN &&
                                   Msg.wParam == static_cast<win::WPARAM>(win::VK_ESCAPE)
                               ? cls::TModalMessage::Stop
                               : cls::TModalMessage::Handled;
                case win::WM_CHAR:
                case win::WM_SYSKEYDOWN:
                case win::WM_SYSKEYUP:
                case win::WM_SYSCHAR:
                    return cls::TModalMessage::Handled;
                case win::WM_LBUTTONUP:
                    S.Dropped = true;
                    return cls::TModalMessage::Stop;
                case win::WM_MOUSEMOVE:
                    S.MouseMove();
                    return Alive() ? cls::TModalMessage::Handled : cls::TModalMessage::Stop;
                default:
                    return cls::TModalMessage::Dispatch;
            }
        };
        Loop.Run();
    }
    if (!Alive() || !S.Dropped || !S.Moved) return;
    Drop(S);
}

} // namespace bars
