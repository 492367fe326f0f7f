#include "bars/quickcust.h"

#include <algorithm>
#include <utility>

#include "bars/bars.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/managerlist.h"
#include "bars/registry.h"
#include "bars/strings.h"
#include "bars/system.h"
#include "classes/forms.h"
#include "lookandfeel/objectlinks.h"
#include "lookandfeel/text.h"
#include "win/user.h"

namespace bars {

namespace {

TdxBarQuickControl* GOpenQuickControl = nullptr;
win::UINT_PTR GCloseTimer = 0;

template <class T> T* Linked(const lf::TcxObjectLink* ALink) {
    return ALink ? static_cast<T*>(ALink->Ref) : nullptr;
}

// The link of a toolbar that a drop-down link's or a row's Data names;
// nullptr when it went.
TdxBarItemLink* ToolbarLinkOf(const TdxBarControl* AToolbar, const TdxBarItemLink* ARow) {
    TdxBar* Bar = AToolbar ? AToolbar->Bar() : nullptr;
    if (!ARow || !Bar || !ARow->Data()) return nullptr;
    TdxBarItemLinks* Links = Bar->ItemLinks();
    for (int I = 0; I < Links->Count(); ++I)
        if (reinterpret_cast<std::intptr_t>(Links->Items(I)) == ARow->Data()) return Links->Items(I);
    return nullptr;
}

// The link of the open drop-down's toolbar that a check row's Data names.
TdxBarItemLink* ToolbarLinkOf(const TdxBarItemLink* ARow) {
    return ToolbarLinkOf(GOpenQuickControl ? GOpenQuickControl->Toolbar() : nullptr, ARow);
}

// The check cell at the left of R, ticked or not, then the button's own
// drawing in the rest; a selected row is framed as one.
template <class TDrawButton>
void PaintQuickCustRow(TdxBarItemControl* AControl, gfx::HDC DC, const gfx::RECT& R, bool ATicked,
                       TDrawButton ADrawButton) {
    const TdxBarItemControlPainterClass Painter = AControl->GetPainter();
    gfx::RECT Cell = R;
    int CheckRight = R.left;
    Painter->GetQuickCustCheckRect(AControl, Cell, CheckRight, false);
    TdxBarPaintState State;
    State.Enabled = AControl->GetEnabled();
    State.Selected = AControl->IsSelected();
    State.Down = ATicked;
    Painter->DrawButton(AControl, DC, Cell, State, ptMenu, true, true);
    ADrawButton(gfx::RECT{std::min<int>(CheckRight, R.right), R.top, R.right, R.bottom});
    Painter->GetQuickCustCaptionRect(AControl, State.Selected, Cell, R);
}

void CloseTimerProc(win::HWND, win::UINT, win::UINT_PTR, win::DWORD) {
    StopQuickControlCloseTimer();
    TdxBarQuickControl* Quick = GOpenQuickControl;
    const TdxBarManager* Manager = Quick ? Quick->GetBarManager() : nullptr;
    TdxBarItemControl* Selected = Manager ? Manager->SelectedItemControl() : nullptr;
    if (Selected && GetItemControlRootToolbar(Selected) != Quick) Quick->Close();
}

} // namespace

// ============================================================================
// Items
// ============================================================================

void TdxBarQuickCustItem::DoClick() {
    lf::TcxObjectLinkScope Self(this);
    inherited::DoClick();
    if (!Self.Alive()) return;
    if (TdxBarItemLink* Link = ToolbarLinkOf(ClickItemLink())) Link->SetVisible(!Link->Visible());
}

TdxBarQuickCustExtButton::TdxBarQuickCustExtButton(cls::TComponent* AOwner)
    : TdxBarButton(AOwner), FResetBar(lf::cxAddObjectLink(nullptr)) {}

TdxBarQuickCustExtButton::~TdxBarQuickCustExtButton() {
    lf::cxRemoveObjectLink(FResetBar);
}

TdxBar* TdxBarQuickCustExtButton::ResetBar() const {
    return Linked<TdxBar>(FResetBar);
}

void TdxBarQuickCustExtButton::SetResetBar(TdxBar* Value) {
    lf::cxRemoveObjectLink(FResetBar);
    FResetBar = lf::cxAddObjectLink(Value);
}

void TdxBarQuickCustExtButton::DoClick() {
    // The handlers may free this button (its menu is closed by now).
    lf::TcxObjectLinkScope Bar(ResetBar());
    inherited::DoClick();
    if (auto* Target = static_cast<TdxBar*>(Bar.Object())) Target->ResetWithConfirmation();
}

// ============================================================================
// Controls
// ============================================================================

TdxBarItemLink* TdxBarQuickCustItemControl::GetSourceLink() const {
    return ToolbarLinkOf(ItemLink());
}

void TdxBarQuickCustItemControl::Click() {
    lf::TcxObjectLinkScope Self(this);
    inherited::Click();
    if (Self.Alive()) Repaint();
}

std::string TdxBarQuickCustItemControl::GetCaption() const {
    const TdxBarItemLink* Source = GetSourceLink();
    return Source ? Source->GetCaption() : std::string();
}

cls::TBitmap* TdxBarQuickCustItemControl::GetGlyph() const {
    const TdxBarItemLink* Source = GetSourceLink();
    return Source ? Source->GetGlyph() : nullptr;
}

int TdxBarQuickCustItemControl::GetImageIndex() const {
    const TdxBarItemLink* Source = GetSourceLink();
    return Source && Source->Item() ? Source->Item()->ImageIndex() : -1;
}

cls::TCustomImageList* TdxBarQuickCustItemControl::GetImages(bool ALarge) const {
    const TdxBarItemLink* Source = GetSourceLink();
    return Source && Source->Item() ? Source->Item()->GetImages() : inherited::GetImages(ALarge);
}

std::string TdxBarQuickCustItemControl::GetHint() const {
    const TdxBarItemLink* Source = GetSourceLink();
    return Source && Source->Item() ? Source->Item()->Hint() : std::string();
}

cls::TShortCut TdxBarQuickCustItemControl::GetShortCut() const {
    const TdxBarItemLink* Source = GetSourceLink();
    return Source && Source->Item() ? Source->Item()->ShortCut() : 0;
}

int TdxBarQuickCustItemControl::GetDefaultWidth() const {
    return inherited::GetDefaultWidth() + GetDefaultHeight();
}

void TdxBarQuickCustItemControl::Paint(const gfx::RECT& R, TdxBarPaintType APaintType) {
    const gfx::HDC DC = GetParentDC();
    if (APaintType != ptMenu || !DC || R.right <= R.left || R.bottom <= R.top) {
        inherited::Paint(R, APaintType);
        return;
    }
    const TdxBarItemLink* Source = GetSourceLink();
    PaintQuickCustRow(this, DC, R, Source && Source->Visible(),
                      [&](const gfx::RECT& ARest) { inherited::Paint(ARest, APaintType); });
}

int TdxBarQuickCustExtButtonControl::GetMenuIndent() const {
    return inherited::GetMenuIndent() + GetDefaultHeight();
}

int TdxBarQuickCustExtButtonControl::GetDefaultWidth() const {
    return inherited::GetDefaultWidth() + GetDefaultHeight();
}

void TdxBarQuickCustExtButtonControl::Paint(const gfx::RECT& R, TdxBarPaintType APaintType) {
    const gfx::HDC DC = GetParentDC();
    if (APaintType != ptMenu || !DC || R.right <= R.left || R.bottom <= R.top) {
        inherited::Paint(R, APaintType);
        return;
    }
    PaintQuickCustRow(this, DC, R, false,
                      [&](const gfx::RECT& ARest) { inherited::Paint(ARest, APaintType); });
}

// ============================================================================
// The drop-down window: life
// ============================================================================

TdxBarQuickControl::TdxBarQuickControl(TdxBarManager* AOwner, TdxBar* ABar, TdxBarControl* AToolbar)
    : TdxBarControl(AOwner, ABar), FToolbar(AToolbar) {
    GOpenQuickControl = this;
    AToolbar->FQuickControl = this;
    // No caption: the window cannot be dragged or closed like a toolbar.
    FCaptionShown = false;
    SetOwnerBarControl(AToolbar);
    SetOwnerRect(AToolbar->GetMarkScreenRect());
}

TdxBarQuickControl* TdxBarQuickControl::CreateForBar(TdxBarManager* ABarManager, TdxBarControl* AToolbar) {
    if (!ABarManager || !IsBarControlAlive(AToolbar) || !AToolbar->Bar()) return nullptr;
    if (GOpenQuickControl) GOpenQuickControl->Close();
    FreeUnusedInternalItems();
    lf::TcxObjectLinkScope ToolbarAlive(AToolbar);
    TdxBar* Source = AToolbar->Bar();
    TdxBar* Bar = ABarManager->Bars()->Add();
    if (!ToolbarAlive.Alive() || AToolbar->Bar() != Source) {
        delete Bar;
        return nullptr;
    }
    Bar->SetAllowQuickCustomizing(false);
    Bar->SetHidden(true);
    Bar->SetFont(AToolbar->Font());
    Bar->SetUseOwnFont(Source->UseOwnFont());
    auto* Window = new TdxBarQuickControl(ABarManager, Bar, AToolbar);

    auto* SubItem = new TdxBarQuickSubItem(ABarManager->OwnerForm());
    SubItem->SetCaption(lf::cxGetResourceString(dxSBAR_ADDREMOVEBUTTONS));
    SubItem->SetEnabled(Source->AllowQuickCustomizing());
    if (SubItem->Enabled())
        SubItem->SetOnPopup(cls::TNotifyEvent(Window, &TdxBarQuickControl::FillAddRemoveMenu));
    AddInternalItem(SubItem);
    Window->FSubItem = lf::cxAddObjectLink(SubItem);

    // The links the toolbar does not show: hidden by its recent-use limit,
    // or cut off at its end.
    TdxBarItemLinks* Links = Bar->ItemLinks();
    TdxBarItemLinks* SourceLinks = Source->ItemLinks();
    for (int I = 0; I < SourceLinks->CanVisibleItemCount(); ++I) {
        TdxBarItemLink* Link = SourceLinks->CanVisibleItems(I);
        const cls::TRect& R = Link->ItemRect();
        const bool CutOff = Link->Control() && (R.right <= R.left || R.bottom <= R.top);
        if (Link->GetVisibleIndex() == -1 || CutOff) {
            TdxBarItemLink* Copy = Links->Add();
            Copy->Assign(Link);
            Copy->SetData(reinterpret_cast<std::intptr_t>(Link));
        }
    }
    Links->Add(SubItem)->SetBeginGroup(true);
    return Window;
}

TdxBarQuickControl::~TdxBarQuickControl() {
    StopQuickControlCloseTimer();
    if (GOpenQuickControl == this) GOpenQuickControl = nullptr;
    if (IsBarControlAlive(FToolbar) && FToolbar->FQuickControl == this) {
        FToolbar->FQuickControl = nullptr;
        // Freed from elsewhere: the mark is pressed no more.
        if (FToolbar->MarkState() == 2) FToolbar->SetMarkStateValue(0);
    }
    FToolbar = nullptr;
    Destroying();
    // The item controls (and the menu open from the sub item) go with the handle.
    DestroyHandle();
    if (TdxBarQuickSubItem* Sub = SubItem()) Sub->SetOnPopup(cls::TNotifyEvent());
    delete QuickCustItem();
    lf::cxRemoveObjectLink(FQuickCustItem);
    lf::cxRemoveObjectLink(FSubItem);
    FQuickCustItem = nullptr;
    FSubItem = nullptr;
    TdxBar* TheBar = Bar();
    // The bar's links would free their window, which is this one.
    SetItemLinks(nullptr);
    if (TheBar && !TheBar->IsFreeing()) delete TheBar;
    // The sub item and the command rows go once the messages waiting now are
    // handled: a command row's click may be what is closing this window.
    FreeUnusedInternalItemsLater();
}

TdxBarQuickControl* TdxBarQuickControl::OpenQuickControl() {
    return GOpenQuickControl;
}

TdxBarControl* TdxBarQuickControl::Toolbar() const {
    return IsBarControlAlive(FToolbar) ? FToolbar : nullptr;
}

TdxBarItemLink* TdxBarQuickControl::GetSourceLink(const TdxBarItemLink* ALink) const {
    return ToolbarLinkOf(Toolbar(), ALink);
}

TdxBarQuickSubItem* TdxBarQuickControl::SubItem() const {
    return Linked<TdxBarQuickSubItem>(FSubItem);
}

TdxBarQuickCustItem* TdxBarQuickControl::QuickCustItem() const {
    return Linked<TdxBarQuickCustItem>(FQuickCustItem);
}

// ============================================================================
// Showing and closing
// ============================================================================

void TdxBarQuickControl::ShowNearRect(const cls::TRect& R) {
    const TdxBarManager* Manager = GetBarManager();
    if (!Manager) return;
    lf::TcxObjectLinkScope Self(this);
    // The controls that are measured exist with the handle.
    HandleNeeded();
    if (!Self.Alive() || !HandleAllocated()) return;
    SetOwnerRect(R);
    // The links wrap within the widest of them: the sub item gets a line of its own.
    cls::TSize Size{};
    CalcSize(dsNone, GetMinSize(dsNone).cx, Size);
    const int W = Size.cx + 2 * Manager->GetBarFrameWidth();
    const int H = Size.cy + 2 * Manager->GetBarFrameHeight();
    TdxBarControl* Owner = Toolbar();
    const bool Vertical = IsVerticalBarControl(Owner);
    const bool Docked = Owner && Owner->DockingStyle() != dsNone;
    // A docked toolbar's row stays uncovered, however small its painter's mark.
    cls::TRect Place = R;
    if (Docked && Owner->HandleAllocated()) {
        const cls::TPoint Far =
            Owner->ClientToScreen(cls::TPoint{Owner->ClientWidth(), Owner->ClientHeight()});
        if (Vertical)
            Place.right = std::max<int>(Place.right, Far.x);
        else
            Place.bottom = std::max<int>(Place.bottom, Far.y);
    }
    win::POINT P{Place.right - W, Place.bottom};
    if (Vertical)
        P = win::POINT{Place.right, Place.top};
    else if (!Docked && GetPainter()->IsQuickCustRightAligned())
        P = win::POINT{Place.left, Place.bottom};
    win::RECT Work;
    GetWorkAreaFromPoint(P, Work);
    if (Vertical) {
        if (P.x + W > Work.right) P.x = Place.left - W;
        P.y = std::max<int>(P.y, Work.top);
        if (P.y + H > Work.bottom) P.y = Work.bottom - H;
    } else {
        P.x = std::max<int>(P.x, Work.left);
        if (P.x + W > Work.right) P.x = Work.right - W;
        if (P.y + H > Work.bottom) P.y = Place.top - H;
    }
    win::SetWindowPos(FHandle, nullptr, P.x, P.y, W, H, win::SWP_NOACTIVATE | win::SWP_SHOWWINDOW);
}

void TdxBarQuickControl::Close() {
    TdxBarControl* Owner = Toolbar();
    if (Owner && Owner->FQuickControl == this && Owner->MarkState() == 2)
        Owner->SetMarkState(0);
    else
        delete this;
}

void TdxBarQuickControl::DeactivateAll() {
    const bool WasActive = IsActive();
    lf::TcxObjectLinkScope Self(this);
    inherited::DeactivateAll();
    if (!Self.Alive() || !WasActive) return;
    // A press on the mark closed the drop-down: the press must not open it
    // again. The press the mouse hook routes counts even when the button is
    // up again by now (a quick click queues both).
    if (TdxBarControl* Owner = Toolbar()) {
        win::POINT P{};
        const win::UINT Routed = GetHookMouseMessage(&P);
        bool Pressed = Routed == win::WM_LBUTTONDOWN || Routed == win::WM_LBUTTONDBLCLK;
        if (!Routed) {
            Pressed = IsPrimaryMouseButtonDown();
            win::GetCursorPos(&P);
        }
        const cls::TRect Mark = Owner->GetMarkScreenRect();
        if (Pressed && gfx::PtInRect(&Mark, P)) Owner->FMarkPressed = true;
    }
    Close();
}

// ============================================================================
// The "Add or Remove Buttons" menu
// ============================================================================

void TdxBarQuickControl::FillAddRemoveMenu(cls::TObject*) {
    FreeUnusedInternalItems();
    TdxBarQuickSubItem* Sub = SubItem();
    TdxBarControl* Owner = Toolbar();
    TdxBarManager* Manager = GetBarManager();
    TdxBar* Source = Owner ? Owner->Bar() : nullptr;
    if (!Sub || !Source || !Manager) return;
    TdxBarItemLinks* Rows = Sub->ItemLinks();
    Rows->Clear();
    // One item serves the rows of every popup of this window.
    TdxBarQuickCustItem* Item = QuickCustItem();
    if (!Item) {
        Item = new TdxBarQuickCustItem(Manager->OwnerForm());
        lf::cxRemoveObjectLink(FQuickCustItem);
        FQuickCustItem = lf::cxAddObjectLink(Item);
    }
    TdxBarItemLinks* SourceLinks = Source->ItemLinks();
    for (int I = 0; I < SourceLinks->AvailableItemCount(); ++I) {
        TdxBarItemLink* Link = SourceLinks->AvailableItems(I);
        // An item of another manager cannot be customized here.
        if (Link->Control() && !Link->Control()->CanSelectInCustomizing()) continue;
        Rows->Add(Item)->SetData(reinterpret_cast<std::intptr_t>(Link));
    }
    const bool Reset = Manager->CanReset() && Source->CanReset();
    if (Reset) {
        auto* Button = new TdxBarQuickCustExtButton(Manager->OwnerForm());
        Button->SetCaption(lf::cxGetResourceString(dxSBAR_RESETTOOLBAR));
        Button->SetResetBar(Source);
        AddInternalItem(Button);
        Rows->Add(Button)->SetBeginGroup(true);
    }
    Manager->AddCustomizeEntry(Rows, !Reset, TdxBarQuickCustExtButton::ClassInfo());
}

// ============================================================================
// Window operations and messages
// ============================================================================

TCustomdxBarControl* TdxBarQuickControl::GetOwnerBarControl() const {
    return Toolbar();
}

gfx::HBRUSH TdxBarQuickControl::GetBarBrush() const {
    return GetPainter()->GetQuickCustWindowBrush(const_cast<TdxBarQuickControl*>(this));
}

void TdxBarQuickControl::WMWindowPosChanged(cls::TMessage& Message) {
    const win::WINDOWPOS* Pos = cls::TWMWindowPosMsg{Message}.WindowPos();
    const bool Hidden = Pos && Pos->hwnd == FHandle && (Pos->flags & win::SWP_HIDEWINDOW);
    lf::TcxObjectLinkScope Self(this);
    inherited::Dispatch(Message);
    if (Self.Alive() && Hidden && !IsDestroying()) Close();
}

void TdxBarQuickControl::Dispatch(cls::TMessage& Message) {
    switch (Message.Msg) {
        case win::WM_NCHITTEST:
            // The window is neither dragged nor sized.
            inherited::Dispatch(Message);
            if (Message.Result != win::HTCLIENT) Message.Result = win::HTBORDER;
            break;
        case win::WM_NCPAINT: {
            inherited::Dispatch(Message);
            if (!IsBarControlAlive(this) || !HandleAllocated()) break;
            // The border joins the mark where the two touch.
            if (const gfx::HDC DC = win::GetWindowDC(FHandle)) {
                GetPainter()->FillOwnerEdge(this, DC);
                win::ReleaseDC(FHandle, DC);
            }
            break;
        }
        case win::WM_RBUTTONUP:
            // No toolbar context menu here.
            Message.Result = win::DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
            break;
        case win::WM_WINDOWPOSCHANGED:
            WMWindowPosChanged(Message);
            break;
        default:
            inherited::Dispatch(Message);
            break;
    }
}

// ============================================================================
// The close timer
// ============================================================================

void StartQuickControlCloseTimer() {
    if (!GCloseTimer) GCloseTimer = win::SetTimer(nullptr, 0, QuickControlCloseDelay, &CloseTimerProc);
}

void StopQuickControlCloseTimer() {
    if (GCloseTimer) win::KillTimer(nullptr, GCloseTimer);
    GCloseTimer = 0;
}

} // namespace bars
