#include "bars/submenu.h"

#include <algorithm>

#include "bars/animation.h"
#include "bars/bars.h"
#include "bars/containeritems.h"
#include "bars/manager.h"
#include "bars/managerlist.h"
#include "bars/popupmenu.h"
#include "bars/registry.h"
#include "bars/strings.h"
#include "bars/subitem.h"
#include "bars/system.h"
#include "bars/toolbar.h"
#include "classes/forms.h"
#include "lookandfeel/objectlinks.h"
#include "lookandfeel/text.h"

namespace bars {

namespace {

constexpr win::UINT_PTR ScrollTimerId = 1;
// The full-menu timers: the id is the kind plus this.
constexpr win::UINT_PTR FullMenuTimerBase = 2;

bool IsKeyDown(int AKey) {
    return win::GetKeyState(AKey) < 0;
}

// Held down now: also while the key's own press is still being handled.
bool IsKeyHeld(int AKey) {
    return win::GetAsyncKeyState(AKey) < 0;
}

cls::TPoint CursorPos() {
    win::POINT P{};
    win::GetCursorPos(&P);
    return P;
}

} // namespace

TdxBarSubMenuControl::TdxBarSubMenuControl(cls::TComponent* AOwner) : TCustomdxBarControl(AOwner) {
    SetWidth(0);
}

TdxBarSubMenuControl::~TdxBarSubMenuControl() {
    SetClosing(true);
    // Our own DestroyWnd runs while the object is still a menu window.
    DestroyHandle();
    if (TdxBarSubMenuControl* Child = ChildMenu(); IsBarControlAlive(Child) && !Child->Closing())
        Child->CloseAndFree();
    if (IsBarControlAlive(ParentBar()) && ParentBar()->ChildMenu() == this)
        ParentBar()->SetChildMenu(nullptr);
    // A handle the window system took along with its owner left the
    // container items' links behind.
    RemoveContainerItemLinks();
    // The sub item control that opened the menu no longer holds it.
    if (FSubItemControl) {
        FSubItemControl->SetActive(false);
        FSubItemControl->Repaint();
    }
    DeleteRarelyUsedBrush();
}

// ============================================================================
// Showing and closing
// ============================================================================

TdxBarMenuAnimations TdxBarSubMenuControl::ChooseAnimation() const {
    const TdxBarItemLinks* Links = ItemLinks();
    if (!Animate() || IsCustomizing() || !Links || Links->CanVisibleItemCount() == 0) return maNone;
    // A chain that starts at a toolbar animates as that toolbar's manager says.
    const TCustomdxBarControl* Root = GetRootToolbarControl(const_cast<TdxBarSubMenuControl*>(this));
    const TdxBarManager* Manager = Root ? Root->GetBarManager() : GetBarManager();
    return Manager ? Manager->MenuAnimations() : maNone;
}

void TdxBarSubMenuControl::ShowAnimated() {
    lf::TcxObjectLinkScope Self(this);
    // A window made anew to expand is the same menu: it pops up only once.
    if (!FRecreating) {
        DoPopup();
        if (!Self.Alive() || Closing()) return;
    }
    FAnimationKind = ChooseAnimation();
    SetAnimate(false);
    if (!HandleAllocated()) {
        win::HWND Owner = FParentWnd;
        if (!Owner) {
            const TdxBarManager* Manager = GetBarManager();
            cls::TCustomForm* Form = Manager ? Manager->OwnerForm() : nullptr;
            if (Form) Owner = Form->Handle();
        }
        SetParentWindow(Owner);
        HandleNeeded();
        if (!Self.Alive() || Closing() || !HandleAllocated()) return;
    }
    AnimateMenuShow(this, FAnimationKind);
    // The window shows: so does the control, and hiding it hides the window.
    if (Self.Alive() && !Closing()) SetVisible(true);
}

void TdxBarSubMenuControl::CloseAndFree() {
    if (Closing()) return;
    SetClosing(true);
    lf::TcxObjectLinkScope Self(this);
    if (HandleAllocated()) DestroyHandle();
    if (Self.Alive()) delete this;
}

void TdxBarSubMenuControl::ExpandMenu() {
    if (Closing() || !HasHiddenLinks()) return;
    SetMenusExpanded(true);
    lf::TcxObjectLinkScope Self(this);
    // The entry the keyboard was on stays selected in the expanded menu.
    TdxBarItemLink* Selected = SelectedControl() ? SelectedControl()->ItemLink() : nullptr;
    lf::TcxObjectLinkScope SelectedAlive(Selected);
    SetAnimate(true);
    FRecreating = true;
    SetVisible(false);
    if (!Self.Alive()) return;
    DestroyHandle();
    if (!Self.Alive()) return;
    SetLeft(FSavedLeft);
    SetTop(FSavedTop);
    ShowAnimated();
    if (!Self.Alive()) return;
    FRecreating = false;
    if (SelectedAlive.Alive() && Selected->Control() && !Closing()) SelectItemControl(Selected->Control());
}

void TdxBarSubMenuControl::DeactivateAll() {
    if (ParentBar()) {
        inherited::DeactivateAll();
        return;
    }
    CloseAndFree();
    ProcessPaintMessages();
}

bool TdxBarSubMenuControl::RightButtonActsAsLeft() const {
    if (const auto* Parent = dynamic_cast<const TdxBarSubMenuControl*>(ParentBar());
        Parent && IsBarControlAlive(Parent))
        return Parent->RightButtonActsAsLeft();
    return FOwnerWidth == 0 && FOwnerHeight == 0;
}

// ============================================================================
// The window's life
// ============================================================================

void TdxBarSubMenuControl::CreateParams(cls::TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.Style = win::WS_POPUP | win::WS_CLIPSIBLINGS | win::WS_CLIPCHILDREN;
    Params.ExStyle |= win::WS_EX_TOPMOST;
    Params.WindowClass.style =
        win::CS_VREDRAW | win::CS_HREDRAW | win::CS_DBLCLKS | win::CS_OWNDC | win::CS_SAVEBITS;
    if (FParentWnd) Params.WndParent = FParentWnd;
}

void TdxBarSubMenuControl::CreateWnd() {
    ApplyFont();
    CreateRarelyUsedBrush();
    lf::TcxObjectLinkScope Self(this);
    inherited::CreateWnd();
    if (!Self.Alive()) return;
    FSavedLeft = Left();
    FSavedTop = Top();
    SetActive(true);
    if (!Self.Alive() || Closing()) return;
    ApplyRecentItemsFilter();
    FTopIndex = -1;
    SetTopIndex(0);
    PlaceOnScreen(FSavedLeft, FSavedTop);
    CalcLayout();
    PlayBarSound(BarSoundMenuPopup);
}

void TdxBarSubMenuControl::DestroyWnd() {
    StopMenuAnimation(this);
    if (FScrollTimer) win::KillTimer(Handle(), FScrollTimer);
    FScrollTimer = 0;
    StopFullMenuTimer();
    if (TdxBarSubMenuControl* Child = ChildMenu();
        IsBarControlAlive(Child) && !Child->Closing() && Child->HandleAllocated())
        Child->DestroyHandle();
    lf::TcxObjectLinkScope Self(this);
    if (!FRecreating) {
        SetActive(false);
        if (!Self.Alive()) return;
        // A toolbar is in menu mode for the drop-down of its button: it leaves
        // it with the drop-down, unless the keys that step back out of a menu
        // closed the drop-down. A menu holding the button stays open.
        TdxBarItemControl* DropDown = FDropDownControl;
        TCustomdxBarControl* Window = DropDown ? DropDown->Parent() : nullptr;
        if (IsBarControlAlive(Window) && Window->IsToolbarWindow() && Window->HandleAllocated() &&
            !Window->Closing() && Window->OwnsControl(DropDown)) {
            const cls::TRect R = Window->GetItemControlScreenRect(DropDown);
            const cls::TPoint P = CursorPos();
            const bool OverControl = gfx::PtInRect(&R, P) && GetWindowFromScreenPoint(P) == Window->Handle();
            if (OverControl ||
                !(IsKeyHeld(win::VK_ESCAPE) || IsKeyHeld(win::VK_LEFT) || IsKeyHeld(win::VK_RIGHT)))
                Window->DeactivateAll();
            if (!Self.Alive()) return;
        }
    }
    inherited::DestroyWnd();
    if (!Self.Alive()) return;
    // The window's timers went with it.
    FFullMenuTimer = 0;
    if (!FRecreating) DoCloseUp();
    if (Self.Alive()) DeleteRarelyUsedBrush();
}

// ============================================================================
// Container items
// ============================================================================

void TdxBarSubMenuControl::CreateControls() {
    ExpandContainerItems();
    if (IsBarControlAlive(this)) inherited::CreateControls();
}

void TdxBarSubMenuControl::DestroyControls() {
    inherited::DestroyControls();
    RemoveContainerItemLinks();
}

void TdxBarSubMenuControl::ExpandContainerItems() {
    TdxBarItemLinks* Links = ItemLinks();
    if (!Links || IsCustomizing() || FContainerLock || !FContainerLinks.empty()) return;
    std::vector<lf::TcxObjectLink*> Own;
    for (int I = 0; I < Links->CanVisibleItemCount(); ++I)
        if (dynamic_cast<TCustomdxBarContainerItem*>(Links->CanVisibleItems(I)->Item()))
            Own.push_back(lf::cxAddObjectLink(Links->CanVisibleItems(I)));
    lf::TcxObjectLinkScope Self(this);
    FContainerLock = true;
    std::vector<const TCustomdxBarContainerItem*> Expanded;
    for (lf::TcxObjectLink* Watched : Own) {
        auto* Link = static_cast<TdxBarItemLink*>(Watched->Ref);
        auto* Item = Link ? dynamic_cast<TCustomdxBarContainerItem*>(Link->Item()) : nullptr;
        // An item expands once, at its first link.
        if (Self.Alive() && Item && std::find(Expanded.begin(), Expanded.end(), Item) == Expanded.end()) {
            Expanded.push_back(Item);
            FContainerLinks.push_back(
                TContainerExpansion{lf::cxAddObjectLink(Link), lf::cxAddObjectLink(Item)});
            lf::TcxObjectLinkScope LinkAlive(Link);
            lf::TcxObjectLinkScope ItemAlive(Item);
            // A menu made anew to expand asks no data again.
            Item->AddListedItemLinks(Links, Link->Index() + 1, Link, !FRecreating);
            // An item with no entries keeps its link: it shows its caption
            // in parentheses.
            if (Self.Alive() && LinkAlive.Alive() && ItemAlive.Alive() && Item->HidesOwnLink() &&
                !Item->IsEmpty())
                Link->SetReplaced(true);
        }
        lf::cxRemoveObjectLink(Watched);
    }
    if (Self.Alive()) FContainerLock = false;
}

void TdxBarSubMenuControl::RemoveContainerItemLinks() {
    if (FContainerLinks.empty() || FContainerLock) return;
    lf::TcxObjectLinkScope Self(this);
    FContainerLock = true;
    std::vector<TContainerExpansion> Recorded;
    Recorded.swap(FContainerLinks);
    TdxBarItemLinks* Links = ItemLinks();
    for (auto It = Recorded.rbegin(); It != Recorded.rend(); ++It) {
        auto* Link = static_cast<TdxBarItemLink*>(It->Link->Ref);
        auto* Item = static_cast<TCustomdxBarContainerItem*>(It->Item->Ref);
        // An item on its way out takes its expansion along itself.
        if (Item && Item->ComponentState().Contains(cls::csDestroying)) Item = nullptr;
        if (Item && Links) Item->DeleteListedItemLinks(Links, Link ? Link->Index() + 1 : 0);
        if (Link && It->Link->Ref) Link->SetReplaced(false);
    }
    for (const TContainerExpansion& Entry : Recorded) {
        lf::cxRemoveObjectLink(Entry.Link);
        lf::cxRemoveObjectLink(Entry.Item);
    }
    if (Self.Alive()) FContainerLock = false;
}

void TdxBarSubMenuControl::CreateRarelyUsedBrush() {
    DeleteRarelyUsedBrush();
    const gfx::COLORREF Face = gfx::GetSysColor(gfx::COLOR_BTNFACE);
    const gfx::COLORREF Color =
        gfx::RGB(std::min(gfx::GetRValue(Face) + 20, 255), std::min(gfx::GetGValue(Face) + 20, 255),
                 std::min(gfx::GetBValue(Face) + 20, 255));
    if (IsRecentItemsMode() && ScreenBitsPerPixel() <= 8) {
        gfx::LOGPALETTE Palette;
        Palette.palVersion = 0x300;
        Palette.palNumEntries = 1;
        Palette.palPalEntry[0] =
            gfx::PALETTEENTRY{gfx::GetRValue(Color), gfx::GetGValue(Color), gfx::GetBValue(Color), 0};
        FRarelyUsedPalette = gfx::CreatePalette(&Palette);
        FRarelyUsedBrush = gfx::CreateSolidBrush(gfx::PALETTEINDEX(0));
        return;
    }
    FRarelyUsedBrush = gfx::CreateSolidBrush(Color);
}

void TdxBarSubMenuControl::DeleteRarelyUsedBrush() {
    if (FRarelyUsedBrush) gfx::DeleteObject(FRarelyUsedBrush);
    FRarelyUsedBrush = nullptr;
    if (FRarelyUsedPalette) gfx::DeleteObject(FRarelyUsedPalette);
    FRarelyUsedPalette = nullptr;
}

void TdxBarSubMenuControl::DoCloseUp() {
    FOnCloseUp(this);
}

void TdxBarSubMenuControl::DoPopup() {
    FOnPopup(this);
}

void TdxBarSubMenuControl::ApplyFont() {
    const TdxBarManager* Manager = GetBarManager();
    if (IsBarControlAlive(ParentBar()))
        Font()->Assign(ParentBar()->Font());
    else if (const TdxBarPopupMenu* Popup = OwnerPopupMenu())
        Font()->Assign(Popup->Font());
    else if (Manager)
        Font()->Assign(Manager->Font());
}

gfx::HFONT TdxBarSubMenuControl::GetFontHandle() const {
    if (IsBarControlAlive(ParentBar())) return ParentBar()->GetFontHandle();
    if (const TdxBarPopupMenu* Popup = OwnerPopupMenu(); Popup && Popup->UseOwnFont() && Popup->FontHandle())
        return Popup->FontHandle();
    return inherited::GetFontHandle();
}

// ============================================================================
// Recent items and full menus
// ============================================================================

bool TdxBarSubMenuControl::IsRecentItemsMode() const {
    const TdxBarManager* Manager = GetBarManager();
    const TdxBarItemLinks* Links = ItemLinks();
    return Manager && Links && Manager->IsShowRecentItemsFirst() && Links->UsesRecentItems();
}

void TdxBarSubMenuControl::ApplyRecentItemsFilter() {
    TdxBarItemLinks* Links = ItemLinks();
    if (!Links) return;
    Links->SetRecentLimit(IsRecentItemsMode() && !GetMenusExpanded() ? Links->GetRecentCount() : -1);
}

bool TdxBarSubMenuControl::HasHiddenLinks() const {
    const TdxBarItemLinks* Links = ItemLinks();
    return Links && Links->VisibleItemCount() < Links->CanVisibleItemCount();
}

void TdxBarSubMenuControl::SetActive(bool Value) {
    const bool Was = IsActive();
    inherited::SetActive(Value);
    if (!Value || Was || !IsBarControlAlive(this)) return;
    const TdxBarManager* Manager = GetBarManager();
    if (Manager && Manager->ShowFullMenusAfterDelay() && IsRecentItemsMode() && !GetMenusExpanded())
        StartFullMenuTimer(1, FullMenuDelay);
}

void TdxBarSubMenuControl::SetMarkState(int AState) {
    if (IsCustomizing() || !IsRecentItemsMode()) return;
    if (AState == 2 && !HasHiddenLinks()) return;
    // A hosted edit being edited keeps the keyboard: the button stays cold.
    const TdxBarItemControl* Selected = SelectedControl();
    if (AState == 1 && Selected && Selected->HasWindow() && Selected->Active()) AState = 0;
    lf::TcxObjectLinkScope Self(this);
    if (AState != MarkState()) {
        SetMarkStateValue(AState);
        if (AState == 2) {
            ExpandMenu();
            if (!Self.Alive()) return;
        } else if (HandleAllocated()) {
            Invalidate();
        }
    }
    TdxBarManager* Manager = GetBarManager();
    if (!Manager) return;
    if (Manager->ShowFullMenusAfterDelay()) {
        StopFullMenuTimer();
        if (MarkState() == 1 && HandleAllocated() && IsMouseOverWindow()) {
            const cls::TRect Button = GetExpandButtonRect();
            const cls::TPoint P = ScreenToClient(CursorPos());
            if (gfx::PtInRect(&Button, P)) StartFullMenuTimer(1, FullMenuHoverDelay);
        }
    } else if (MarkState() == 1) {
        Manager->ShowItemHint(true, lf::cxGetResourceString(dxSBAR_EXPANDHINT));
    } else {
        Manager->ShowItemHint(false, std::string());
    }
}

void TdxBarSubMenuControl::SetSelectedControl(TdxBarItemControl* AControl) {
    inherited::SetSelectedControl(AControl);
    if (!IsBarControlAlive(this) || !HandleAllocated() || Closing() || FRecreating) return;
    if (AControl && OwnsControl(AControl)) ScrollToLink(AControl->ItemLink());
    if (MarkState() != 0) return;
    StopFullMenuTimer();
    const TdxBarManager* Manager = GetBarManager();
    if (IsActive() && Manager && Manager->ShowFullMenusAfterDelay() && IsRecentItemsMode() &&
        !GetMenusExpanded())
        StartFullMenuTimer(0, FullMenuDelay);
}

void TdxBarSubMenuControl::StartFullMenuTimer(int AKind, unsigned AInterval) {
    StopFullMenuTimer();
    if (HandleAllocated())
        FFullMenuTimer = win::SetTimer(Handle(), FullMenuTimerBase + static_cast<win::UINT_PTR>(AKind),
                                       AInterval, nullptr);
}

void TdxBarSubMenuControl::StopFullMenuTimer() {
    if (FFullMenuTimer && HandleAllocated()) win::KillTimer(Handle(), FFullMenuTimer);
    FFullMenuTimer = 0;
}

void TdxBarSubMenuControl::FullMenuTimerFired(int AKind) {
    StopFullMenuTimer();
    if (AKind == 1)
        SetMarkState(2);
    else if (!ChildMenu())
        SetMarkState(1);
}

// ============================================================================
// Scrolling
// ============================================================================

void TdxBarSubMenuControl::StartScrolling(int ADelta) {
    lf::TcxObjectLinkScope Self(this);
    SelectItemControl(nullptr);
    if (!Self.Alive() || !HandleAllocated()) return;
    FScrollDelta = ADelta;
    FScrollTimer = win::SetTimer(Handle(), ScrollTimerId, ScrollInterval, nullptr);
}

void TdxBarSubMenuControl::ScrollTimerFired() {
    const cls::TPoint P = ScreenToClient(CursorPos());
    if (IsMouseOverWindow() && ScrollButtonAt(P) == FScrollDelta)
        SetTopIndex(TopIndex() + FScrollDelta);
    else
        StopScrolling();
}

void TdxBarSubMenuControl::StopScrolling() {
    if (!FScrollTimer) return;
    win::KillTimer(Handle(), FScrollTimer);
    FScrollTimer = 0;
    FScrollDelta = 0;
    // The entry under the mouse is selected again.
    SetLastMousePos(cls::TPoint{-1, -1});
    const cls::TPoint P = ScreenToClient(CursorPos());
    win::SendMessage(Handle(), win::WM_MOUSEMOVE, 0, win::MAKELPARAM(P.x, P.y));
}

// ============================================================================
// Detach strip and tear-off
// ============================================================================

bool TdxBarSubMenuControl::IsOverDetachBar(cls::TPoint P) {
    if (!Detachable()) return false;
    // The strip lies in the non-client area, above the client origin.
    const gfx::RECT Strip = GetDetachBarRect();
    const cls::TPoint InWindow{P.x + 1, P.y + 1 + GetDetachBarHeight()};
    return gfx::PtInRect(&Strip, InWindow) != 0;
}

void TdxBarSubMenuControl::SetDetachBarHot(bool Value) {
    if (IsCustomizing() || win::GetCapture() || FDetachBarHot == Value || !HandleAllocated()) return;
    if (Value) {
        // The tracking starts anew; its end tells the window the mouse left.
        lf::TcxObjectLinkScope Self(this);
        EndMouseLeaveTracking(Handle());
        if (!Self.Alive() || !HandleAllocated()) return;
    }
    FDetachBarHot = Value;
    Perform(win::WM_NCPAINT, 1, 0);
    TdxBarManager* Manager = GetBarManager();
    if (Value) {
        BeginMouseLeaveTracking(Handle());
        if (Manager) Manager->ShowItemHint(true, lf::cxGetResourceString(dxSBAR_DRAGTOFLOATHINT));
    } else if (!SelectedControl() && Manager) {
        Manager->ShowItemHint(false, std::string());
    }
}

bool TdxBarSubMenuControl::CanDetach() const {
    const TCustomdxBarSubItem* SubItem = OwnerSubItem();
    const TdxBar* Bar = SubItem && SubItem->Detachable() ? SubItem->GetDetachingBar() : nullptr;
    if (!Bar) return false;
    const TCustomdxBarControl* Root = GetRootToolbarControl(const_cast<TdxBarSubMenuControl*>(this));
    return !Root || Root->ItemLinks() != Bar->ItemLinks();
}

void TdxBarSubMenuControl::TrackDetach() {
    lf::TcxObjectLinkScope Self(this);
    if (TCustomdxBarSubItem* SubItem = OwnerSubItem()) SubItem->DoDetaching();
    if (!Self.Alive() || !HandleAllocated() || !CanDetach()) return;
    TdxBar* Bar = OwnerSubItem()->GetDetachingBar();
    lf::TcxObjectLinkScope BarAlive(Bar);
    cls::TRect Window;
    win::GetWindowRect(Handle(), &Window);
    cls::TRect R = GetDetachBarRect();
    gfx::OffsetRect(&R, Window.left, Window.top);
    gfx::InflateRect(&R, 15, 15);
    TdxBarManager* Manager = GetBarManager();
    if (Manager) Manager->SetDetaching(true);
    TCustomdxBarControl* Parent = ParentBar();
    const win::HWND CaptureWnd =
        IsBarControlAlive(Parent) && Parent->HandleAllocated() ? Parent->Handle() : Handle();
    win::SetCapture(CaptureWnd);
    // Half the floating caption: the mouse holds the bar there.
    const int CaptionMiddle = GetPainter()->GetCaptionHeight() / 2;
    bool Cancelled = false;
    bool Moving = false;
    bool Completed = false;
    cls::TPoint Last{-1, -1};
    win::MSG Msg{};
    while (win::GetCapture() == CaptureWnd && BarAlive.Alive()) {
        const int Got = win::GetMessage(&Msg, nullptr, 0, 0);
        if (Got <= 0) {
            if (Got == 0) win::PostQuitMessage(static_cast<int>(Msg.wParam));
            break;
        }
        if (Msg.message == win::WM_KEYDOWN || Msg.message == win::WM_KEYUP) {
            if (Msg.message == win::WM_KEYDOWN && Msg.wParam == win::VK_ESCAPE) {
                Cancelled = true;
                break;
            }
            continue;
        }
        if (Msg.message == win::WM_MOUSEMOVE) {
            const cls::TPoint P = CursorPos();
            if (P.x == Last.x && P.y == Last.y) continue;
            Last = P;
            const bool Inside = gfx::PtInRect(&R, P) != 0;
            if (!Moving) {
                if (Inside) continue;
                // Out of the strip's reach the bar floats under the mouse.
                if (Bar->Visible() && Bar->DockingStyle() != dsNone) Bar->SetVisible(false);
                if (BarAlive.Alive() && Bar->DockingStyle() != dsNone) Bar->SetDockingStyle(dsNone);
                if (BarAlive.Alive() && !Bar->Visible()) {
                    Bar->SetFloatLeft(P.x - 100);
                    Bar->SetFloatTop(P.y - CaptionMiddle);
                    Bar->SetVisible(true);
                }
                Moving = true;
                continue;
            }
            if (Inside) {
                Cancelled = true;
                break;
            }
            if (TdxBarControl* Toolbar = Bar->Control(); Toolbar && Toolbar->HandleAllocated())
                win::SetWindowPos(Toolbar->Handle(), nullptr, P.x - Toolbar->Width() / 2, P.y - CaptionMiddle,
                                  0, 0, win::SWP_NOSIZE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
            continue;
        }
        if (Msg.message == win::WM_LBUTTONUP) {
            Completed = true;
            break;
        }
        win::TranslateMessage(&Msg);
        win::DispatchMessage(&Msg);
    }
    if (win::GetCapture() == CaptureWnd) win::ReleaseCapture();
    if (Moving && Completed) {
        // The bar stays where it floats; the menus it came from close.
        CloseActiveBarControl();
    } else if (Moving && BarAlive.Alive()) {
        // Back to the strip, Escape, or the capture lost: the bar goes again.
        Bar->SetVisible(false);
    }
    if (Cancelled && Self.Alive() && FSubItemControl) FSubItemControl->ControlActivate(true);
    if (Manager && dxBarManagerList() && dxBarManagerList()->IndexOf(Manager) >= 0)
        Manager->SetDetaching(false);
}

// ============================================================================
// Messages
// ============================================================================

void TdxBarSubMenuControl::Dispatch(cls::TMessage& Message) {
    switch (Message.Msg) {
        case win::WM_NCCALCSIZE:
            WMNCCalcSize(Message);
            break;
        case win::WM_NCPAINT:
            WMNCPaint(Message);
            break;
        case win::WM_PRINT:
            inherited::Dispatch(Message);
            if (Message.LParam & win::PRF_NONCLIENT) DrawFrame(reinterpret_cast<gfx::HDC>(Message.WParam));
            break;
        case win::WM_PRINTCLIENT:
            PaintWindow(reinterpret_cast<gfx::HDC>(Message.WParam));
            break;
        case win::WM_NCHITTEST:
            WMNCHitTest(Message);
            break;
        case win::WM_GETDLGCODE:
            Message.Result = cls::DLGC_WANTARROWS | cls::DLGC_WANTTAB | cls::DLGC_WANTALLKEYS;
            break;
        case win::WM_TIMER:
            WMTimer(Message);
            break;
        case win::WM_KEYDOWN:
            MenuKeyDown(Message);
            break;
        case win::WM_MOUSEMOVE:
            MenuMouseMove(Message);
            break;
        case win::WM_LBUTTONDOWN:
            MenuLButtonDown(Message);
            break;
        case win::WM_LBUTTONDBLCLK: {
            // The strip and the expand button take a double click as two presses.
            const cls::TRect Button = GetExpandButtonRect();
            if (FDetachBarHot || gfx::PtInRect(&Button, cls::TWMMouse{Message}.Pos()))
                MenuLButtonDown(Message);
            else
                inherited::Dispatch(Message);
            break;
        }
        case win::WM_RBUTTONDOWN:
            MenuRButton(Message, win::WM_LBUTTONDOWN);
            break;
        case win::WM_RBUTTONUP:
            MenuRButton(Message, win::WM_LBUTTONUP);
            break;
        case win::WM_MOUSELEAVE:
            SetDetachBarHot(false);
            FOverExpandButton = false;
            inherited::Dispatch(Message);
            break;
        case cls::CM_SHOWINGCHANGED:
            // An unfolding or sliding window appears with its first frame.
            if (!(Showing() && IsMenuAnimating(this))) inherited::Dispatch(Message);
            break;
        default:
            inherited::Dispatch(Message);
            break;
    }
}

void TdxBarSubMenuControl::WMNCCalcSize(cls::TMessage& Message) {
    auto* R = Message.WParam ? &reinterpret_cast<win::NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                             : reinterpret_cast<win::RECT*>(Message.LParam);
    gfx::InflateRect(R, -1, -1);
    R->top += GetDetachBarHeight();
    Message.Result = 0;
}

void TdxBarSubMenuControl::WMNCHitTest(cls::TMessage& Message) {
    cls::TPoint P = cls::TWMNCHitTest{Message}.Pos();
    cls::TRect Window;
    win::GetWindowRect(Handle(), &Window);
    P.x -= Window.left;
    P.y -= Window.top;
    // The strip counts as client area, also for the mouse-leave tracking.
    const gfx::RECT Strip = GetDetachBarRect();
    if (gfx::PtInRect(&Strip, P))
        Message.Result = win::HTCLIENT;
    else
        inherited::Dispatch(Message);
}

void TdxBarSubMenuControl::WMNCPaint(cls::TMessage& Message) {
    const gfx::HDC DC = win::GetWindowDC(Handle());
    DrawFrame(DC);
    win::ReleaseDC(Handle(), DC);
    Message.Result = 0;
}

void TdxBarSubMenuControl::WMTimer(cls::TMessage& Message) {
    const auto Id = static_cast<win::UINT_PTR>(Message.WParam);
    if (Id == ScrollTimerId && FScrollTimer)
        ScrollTimerFired();
    else if (Id >= FullMenuTimerBase && Id < FullMenuTimerBase + 2 && FFullMenuTimer == Id)
        FullMenuTimerFired(static_cast<int>(Id - FullMenuTimerBase));
    else
        inherited::Dispatch(Message);
}

void TdxBarSubMenuControl::MenuKeyDown(cls::TMessage& Message) {
    lf::TcxObjectLinkScope Self(this);
    StopMenuAnimation(this);
    if (!Self.Alive()) return;
    const auto Key = static_cast<win::WORD>(Message.WParam);
    TdxBarItemLinks* Links = ItemLinks();
    if ((Key == win::VK_DOWN || Key == win::VK_TAB) && Links && HasHiddenLinks() && GetActiveBarControl()) {
        const bool Ctrl = IsKeyDown(win::VK_CONTROL);
        const bool Plain = !Ctrl && !IsKeyDown(win::VK_SHIFT) && !IsKeyDown(win::VK_MENU);
        if (Key == win::VK_DOWN && Ctrl && !IsKeyDown(win::VK_SHIFT) && !IsKeyDown(win::VK_MENU)) {
            SetMarkState(2);
            return;
        }
        const TdxBarItemControl* Selected = SelectedControl();
        if (Plain && Selected && Links->VisibleItemCount() > 0 &&
            Selected->ItemLink() == Links->VisibleItems(Links->VisibleItemCount() - 1)) {
            // Past the last link: the menu expands and the key moves on into the new links.
            SetMarkState(2);
            if (Self.Alive() && HandleAllocated())
                win::SendMessage(Handle(), win::WM_KEYDOWN, Message.WParam, Message.LParam);
            return;
        }
    }
    inherited::Dispatch(Message);
    if (!Self.Alive() || Closing() || !GetActiveBarControl()) return;
    TdxBarItemControl* Selected = SelectedControl();
    if (Selected && Selected->GetEnabled() && Selected->WantsKey(Key)) return;
    TCustomdxBarControl* Previous = IsBarControlAlive(ParentBar()) ? ParentBar() : nullptr;
    switch (Key) {
        case win::VK_RETURN:
            if (Selected) Selected->ControlClick(false);
            break;
        case win::VK_ESCAPE:
            if (Previous && Previous->SelectedControl()) {
                // A toolbar stops opening menus as the selection moves.
                if (auto* Toolbar = dynamic_cast<TdxBarControl*>(Previous)) Toolbar->SetSubMenuMode(false);
                Previous->SelectedControl()->ControlInactivate(true);
            } else if (!Previous) {
                CloseAndFree();
            }
            break;
        case win::VK_LEFT: {
            if (!Previous && FDropDownControl && IsBarControlAlive(FDropDownControl->Parent()))
                Previous = FDropDownControl->Parent();
            if (!Previous || !Previous->SelectedControl()) break;
            if (Previous->IsMenuWindow()) {
                Previous->SelectedControl()->ControlInactivate(true);
            } else if (TCustomdxBarControl* Root = GetRootToolbarControl(this)) {
                if (IsVerticalBarControl(Root))
                    win::SendMessage(Handle(), win::WM_KEYDOWN, win::VK_ESCAPE, 0);
                else
                    Message.Result = win::SendMessage(Root->Handle(), win::WM_KEYDOWN, win::VK_LEFT, 0);
            }
            break;
        }
        case win::VK_RIGHT:
            if (TCustomdxBarControl* Root = GetRootToolbarControl(this))
                Message.Result = win::SendMessage(Root->Handle(), win::WM_KEYDOWN, win::VK_RIGHT, 0);
            break;
        default:
            break;
    }
}

void TdxBarSubMenuControl::MenuMouseMove(cls::TMessage& Message) {
    const cls::TPoint P = cls::TWMMouse{Message}.Pos();
    lf::TcxObjectLinkScope Self(this);
    if (!IsCustomizing() && !IsSameMousePos(P)) {
        StopMenuAnimation(this);
        if (!Self.Alive() || !HandleAllocated()) return;
    } else if (IsMenuAnimating(this)) {
        return;
    }
    // The parent keeps the sub item that opened this menu highlighted.
    TCustomdxBarControl* Parent = ParentBar();
    if (FSubItemControl && IsBarControlAlive(Parent) && Parent->SelectedControl() != FSubItemControl &&
        IsMouseOverWindow()) {
        Parent->SetHotControl(FSubItemControl);
        if (!Self.Alive()) return;
    }
    if (Detachable()) {
        SetDetachBarHot(IsOverDetachBar(P));
        if (!Self.Alive()) return;
    }
    if (HasHiddenLinks()) {
        const cls::TRect Button = GetExpandButtonRect();
        const bool Over = gfx::PtInRect(&Button, P) != 0;
        if (Over != FOverExpandButton || MarkState() != (Over ? 1 : 0)) {
            FOverExpandButton = Over;
            SetMarkState(Over ? 1 : 0);
            if (!Self.Alive() || !HandleAllocated()) return;
        }
    }
    if (const int Button = ScrollButtonAt(P)) {
        if (!FScrollTimer && !IsSameMousePos(P)) StartScrolling(Button);
        return;
    }
    inherited::Dispatch(Message);
}

void TdxBarSubMenuControl::MenuLButtonDown(cls::TMessage& Message) {
    if (FScrollTimer) return;
    lf::TcxObjectLinkScope Self(this);
    StopMenuAnimation(this);
    if (!Self.Alive()) return;
    inherited::Dispatch(Message);
    if (!Self.Alive() || !HandleAllocated()) return;
    if (FDetachBarHot) {
        TrackDetach();
        return;
    }
    const cls::TRect Button = GetExpandButtonRect();
    if (!HasHiddenLinks() || !gfx::PtInRect(&Button, cls::TWMMouse{Message}.Pos())) return;
    if (MarkState() == 0) {
        SelectItemControl(nullptr);
        if (Self.Alive()) SetMarkState(1);
    } else {
        SetMarkState(2);
    }
}

void TdxBarSubMenuControl::MenuRButton(cls::TMessage& Message, win::UINT ALeftMessage) {
    lf::TcxObjectLinkScope Self(this);
    inherited::Dispatch(Message);
    if (Self.Alive() && HandleAllocated() && RightButtonActsAsLeft())
        win::SendMessage(Handle(), ALeftMessage, Message.WParam, Message.LParam);
}

} // namespace bars
