#include "bars/barcontrol.h"

#include <algorithm>
#include <vector>

#include "bars/bars.h"
#include "bars/button.h"
#include "bars/drawing.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/quickcust.h"
#include "bars/registry.h"
#include "bars/shadow.h"
#include "bars/subitem.h"
#include "bars/submenu.h"
#include "bars/system.h"
#include "bars/toolbar.h"
#include "bars/wincontrols.h"
#include "classes/forms.h"
#include "classes/sysutils.h"
#include "lookandfeel/objectlinks.h"

namespace bars {

namespace {

constexpr win::WORD EN_CHANGE = 0x0300;

bool IsEmpty(const cls::TRect& R) {
    return R.right <= R.left || R.bottom <= R.top;
}

bool Contains(const cls::TRect& R, cls::TPoint P) {
    return gfx::PtInRect(&R, P) != 0;
}

cls::TShiftState CurrentShiftState(win::LPARAM AKeyData) {
    cls::TShiftState Shift;
    if (win::GetKeyState(win::VK_SHIFT) < 0) Shift.Include(cls::ssShift);
    if (win::GetKeyState(win::VK_CONTROL) < 0) Shift.Include(cls::ssCtrl);
    if ((AKeyData & (win::LPARAM{1} << 29)) || win::GetKeyState(win::VK_MENU) < 0) Shift.Include(cls::ssAlt);
    return Shift;
}

// Windows of the library that never take the focus.
bool IsBarWindow(win::HWND AWnd) {
    cls::TWinControl* Control = cls::FindControl(AWnd);
    return dynamic_cast<TCustomdxBarControl*>(Control) || dynamic_cast<TdxBarShadowPart*>(Control);
}

// The control's hosted window shows and has the focus: the mouse selects
// nothing else meanwhile.
bool IsEdited(const TdxBarItemControl* AControl) {
    const auto* WinControl = dynamic_cast<const TdxBarWinControl*>(AControl);
    return WinControl && WinControl->Focused();
}

bool GMenusExpanded = false;

} // namespace

bool GetMenusExpanded() {
    return GMenusExpanded;
}

void SetMenusExpanded(bool Value) {
    GMenusExpanded = Value;
}

// ============================================================================
// Life
// ============================================================================

TCustomdxBarControl::TCustomdxBarControl(cls::TComponent* AOwner) : cls::TCustomControl(AOwner) {
    AddBarControlToList(this);
    cls::TControlStyle Style = ControlStyle();
    Style.Exclude(cls::csCaptureMouse);
    const TdxBarManager* Manager = GetBarManager();
    if (Manager && GetEffectiveStyle(Manager) == bmsStandard && !IsCustomizing())
        Style.Exclude(cls::csDoubleClicks);
    else
        Style.Include(cls::csDoubleClicks);
    SetControlStyle(Style);
    SetColor(cls::clBtnFace);
    FShadow = new TdxBarShadow(this);
    SetVisible(false);
    SetBounds(100, 100, 50, 30);
    FWorkBitmap = new cls::TBitmap();
}

TCustomdxBarControl::~TCustomdxBarControl() {
    // Also for a window that is not deleted (one on the stack): the messages
    // of its window's destruction must not reach the subclasses' operations.
    Destroying();
    if (IsToolbarWindow())
        DeactivateAll();
    else
        SetActive(false);
    if (TdxBarManager* Manager = GetBarManager();
        Manager && Manager->FSelectedItemControl && Manager->FSelectedItemControl->Parent() == this)
        Manager->FSelectedItemControl = nullptr;
    DestroyHandle();
    DestroyControls();
    if (FItemLinks && FItemLinks->BarControl() == this) FItemLinks->SetBarControl(nullptr);
    FItemLinks = nullptr;
    RemoveBarControlFromList(this);
    delete FShadow;
    FShadow = nullptr;
    delete FWorkBitmap;
    FWorkBitmap = nullptr;
    lf::cxClearObjectLinks(this);
}

void TCustomdxBarControl::SetItemLinks(TdxBarItemLinks* Value) {
    if (FItemLinks == Value) return;
    if (FItemLinks && FItemLinks->BarControl() == this) FItemLinks->SetBarControl(nullptr);
    FItemLinks = Value;
    if (FItemLinks) FItemLinks->SetBarControl(this);
}

void TCustomdxBarControl::SetDockControl(TdxDockControl* Value) {
    FDockControl = Value;
}

void TCustomdxBarControl::CreateWnd() {
    inherited::CreateWnd();
    InitWindow();
    CalcMetrics();
}

void TCustomdxBarControl::CreateWindowHandle(const cls::TCreateParams& Params) {
    inherited::CreateWindowHandle(Params);
    CreateControls();
    Refresh();
}

void TCustomdxBarControl::DestroyWindowHandle() {
    if (HandleAllocated() && FItemLinks) {
        for (int I = 0; I < FItemLinks->Count(); ++I)
            if (TdxBarItemControl* Control = FItemLinks->Items(I)->Control())
                Control->ParentWindowDestroying();
        DestroyControls();
    }
    inherited::DestroyWindowHandle();
}

void TCustomdxBarControl::CreateControls() {
    if (!FItemLinks) return;
    for (int I = 0; I < FItemLinks->CanVisibleItemCount(); ++I)
        FItemLinks->CanVisibleItems(I)->CreateControl();
}

void TCustomdxBarControl::DestroyControls() {
    if (!FItemLinks) return;
    const bool Previous = FLockMouse;
    FLockMouse = true;
    // Every link, not only those that may show: none keeps a control of a
    // window that goes.
    for (int I = 0; I < FItemLinks->Count(); ++I) FItemLinks->Items(I)->DestroyControl();
    FLockMouse = Previous;
}

void TCustomdxBarControl::CalcMetrics() {
    cls::TCanvas* C = Canvas();
    C->Font()->Assign(Font());
    FTextHeight = C->TextHeight("0") + 6;
    FTextHeightFifth = std::max(FTextHeight / 5, 4);
    const gfx::HFONT BarFont = GetFontHandle();
    if (!BarFont) return;
    const gfx::HDC DC = win::GetDC(nullptr);
    const gfx::HGDIOBJ OldFont = gfx::SelectObject(DC, BarFont);
    gfx::SIZE Size{};
    gfx::GetTextExtentPoint32(DC, "0", 1, &Size);
    gfx::SelectObject(DC, OldFont);
    win::ReleaseDC(nullptr, DC);
    FEditHeight = GetPainter()->GetEditHeight(this, Size.cy);
    FComboArrowWidth = GetPainter()->GetDropDownButtonWidth(Size.cx);
}

// ============================================================================
// Queries
// ============================================================================

TdxBarManager* TCustomdxBarControl::GetBarManager() const {
    return dynamic_cast<TdxBarManager*>(Owner());
}

TdxBarItemControlPainterClass TCustomdxBarControl::GetPainter() const {
    const TdxBarManager* Manager = GetBarManager();
    return Manager && Manager->PainterClass() ? Manager->PainterClass() : TdxBarItemControlPainter::Class();
}

bool TCustomdxBarControl::IsDesigning() const {
    const TdxBarManager* Manager = GetBarManager();
    return Manager && Manager->Designing();
}

bool TCustomdxBarControl::IsOwnerRectUsed() const {
    return GetPainter()->GetBarWindowFlagA(const_cast<TCustomdxBarControl*>(this));
}

gfx::HFONT TCustomdxBarControl::GetFontHandle() const {
    const TdxBarManager* Manager = GetBarManager();
    return Manager ? Manager->FontHandle() : nullptr;
}

void TCustomdxBarControl::GetControlRect(TdxBarItemControl* AControl, cls::TRect& R) const {
    R = GetItemControlRect(AControl);
}

bool TCustomdxBarControl::IsCustomizing() const {
    const TdxBarManager* Manager = GetBarManager();
    return Manager && Manager->GetIsCustomizing();
}

bool TCustomdxBarControl::IsShadowVisible() const {
    return FDockingStyle == dsNone &&
           GetPainter()->GetBarWindowFlagA(const_cast<TCustomdxBarControl*>(this)) && FHandle &&
           win::IsWindowVisible(FHandle);
}

void TCustomdxBarControl::GetControlRectEx(TdxBarItemControl* AControl, bool, cls::TRect& R) const {
    GetControlRect(AControl, R);
}

gfx::HRGN TCustomdxBarControl::GetControlRegion(TdxBarItemControl* AControl) const {
    cls::TRect R;
    GetControlRectEx(AControl, true, R);
    return gfx::CreateRectRgnIndirect(&R);
}

TCustomdxBarControl* TCustomdxBarControl::GetOwnerBarControl() const {
    return IsEmpty(FOwnerRect) ? nullptr : FOwnerBarControl;
}

gfx::HBRUSH TCustomdxBarControl::GetBarBrush() const {
    return GetPainter()->GetBarBrush();
}

gfx::HBRUSH TCustomdxBarControl::GetCheckerBrush() const {
    return GetPainter()->GetCheckerBrush();
}

gfx::HBRUSH TCustomdxBarControl::GetSelectedBrush() const {
    return GetPainter()->GetSelectedBrush();
}

gfx::HBRUSH TCustomdxBarControl::GetHighlightBrush() const {
    return GetPainter()->GetHighlightBrush();
}

gfx::HBRUSH TCustomdxBarControl::GetToolbarBrush() const {
    return GetPainter()->GetToolbarBrush(GetBarManager());
}

bool TCustomdxBarControl::IsParentOf(const TCustomdxBarControl* AControl) const {
    std::vector<const TCustomdxBarControl*> Visited;
    for (const TCustomdxBarControl* W = AControl ? AControl->FParentBar : nullptr; IsBarControlAlive(W);
         W = W->FParentBar) {
        if (W == this) return true;
        if (std::find(Visited.begin(), Visited.end(), W) != Visited.end()) break;
        Visited.push_back(W);
    }
    return false;
}

bool TCustomdxBarControl::OwnerRectTouchesWindow() const {
    if (IsEmpty(FOwnerRect)) return false;
    cls::TRect W = BoundsRect();
    if (FHandle) win::GetWindowRect(FHandle, &W);
    const cls::TRect& O = FOwnerRect;
    if ((O.bottom == W.top || O.top == W.bottom) && O.left < W.right && W.left < O.right) return true;
    return (O.right == W.left || O.left == W.right) && O.top < W.bottom && W.top < O.bottom;
}

TdxBarItemControl* TCustomdxBarControl::GetDropPlace(cls::TPoint P, bool& AOutside, bool& AVertical,
                                                     bool& AFirstHalf) const {
    AOutside = false;
    AFirstHalf = false;
    AVertical = IsMenuWindow() || IsVerticalBarControl(this);
    if (!FItemLinks) return nullptr;
    for (int I = 0; I < FItemLinks->VisibleItemCount(); ++I) {
        TdxBarItemControl* Control = FItemLinks->VisibleItems(I)->Control();
        if (!Control || !Control->CanSelectInCustomizing()) continue;
        const gfx::HRGN Rgn = GetControlRegion(Control);
        const bool Inside = gfx::PtInRegion(Rgn, P.x, P.y);
        gfx::DeleteObject(Rgn);
        if (!Inside) continue;
        cls::TRect R = GetItemControlRect(Control);
        bool Vertical = AVertical;
        if (!Contains(R, P)) {
            AOutside = true;
            if (P.y < R.top) Vertical = true;
            R = Control->ExtraRect();
        }
        AFirstHalf = Vertical ? P.y - R.top < R.bottom - P.y : P.x - R.left < R.right - P.x;
        return Control;
    }
    return nullptr;
}

bool TCustomdxBarControl::IsSameMousePos(cls::TPoint P) const {
    if (IsCustomizing()) return true;
    if (!FHandle) return false;
    win::ClientToScreen(FHandle, &P);
    return P.x == FLastMousePos.x && P.y == FLastMousePos.y;
}

bool TCustomdxBarControl::IsQuickCustomizingMenu() const {
    // The menu of the quick-customization sub item.
    return FItemLinks && dynamic_cast<const TdxBarQuickSubItem*>(FItemLinks->LinksOwner());
}

TdxBarItemControl* TCustomdxBarControl::GetItemControlAtPos(cls::TPoint P) const {
    if (!FItemLinks || (IsCustomizing() && !IsDesigning())) return nullptr;
    for (int I = 0; I < FItemLinks->VisibleItemCount(); ++I) {
        const TdxBarItemLink* Link = FItemLinks->VisibleItems(I);
        if (Contains(Link->ItemRect(), P)) return Link->Control();
    }
    return nullptr;
}

bool TCustomdxBarControl::IsDestroying() const {
    return ComponentState().Contains(cls::csDestroying);
}

bool TCustomdxBarControl::IsMouseOverWindow() {
    if (!FHandle) return false;
    win::POINT P;
    win::GetCursorPos(&P);
    return GetWindowFromScreenPoint(P) == FHandle;
}

void TCustomdxBarControl::RepaintWithFrame() {
    if (FHandle) Perform(win::WM_NCPAINT, 1, 0);
    Invalidate();
}

cls::TPoint TCustomdxBarControl::PointToParent(cls::TPoint P) {
    P = ClientToScreen(P);
    return Parent() ? Parent()->ScreenToClient(P) : P;
}

cls::TRect TCustomdxBarControl::GetItemControlRect(const TdxBarItemControl* AControl) {
    return AControl && AControl->ItemLink() ? AControl->ItemLink()->ItemRect() : cls::TRect{};
}

cls::TRect TCustomdxBarControl::GetItemControlScreenRect(const TdxBarItemControl* AControl) {
    cls::TRect R = GetItemControlRect(AControl);
    if (!FHandle) return R;
    cls::TPoint TopLeft{R.left, R.top};
    cls::TPoint BottomRight{R.right, R.bottom};
    win::ClientToScreen(FHandle, &TopLeft);
    win::ClientToScreen(FHandle, &BottomRight);
    return cls::TRect{TopLeft.x, TopLeft.y, BottomRight.x, BottomRight.y};
}

void TCustomdxBarControl::GetOwnerEdgeRect(bool AToScreen, cls::TRect& R) const {
    R = cls::TRect{};
    if (!OwnerRectTouchesWindow()) return;
    cls::TRect W = BoundsRect();
    if (FHandle) win::GetWindowRect(FHandle, &W);
    cls::TRect O = FOwnerRect;
    const cls::TPoint Origin{W.left, W.top};
    gfx::OffsetRect(&O, -Origin.x, -Origin.y);
    gfx::OffsetRect(&W, -Origin.x, -Origin.y);
    // A side join is measured like one above or below, with x and y exchanged.
    const bool Side = FShadow && !FShadow->HorizontalJoin();
    auto Swap = [](cls::TRect& A) { A = cls::TRect{A.top, A.left, A.bottom, A.right}; };
    if (Side) {
        Swap(O);
        Swap(W);
    }
    const bool Above = O.bottom == W.top;
    R.top = Above ? W.top : W.bottom - 1;
    R.bottom = R.top + 1;
    if (AToScreen) gfx::OffsetRect(&R, 0, Above ? -1 : 1);
    R.left = std::max(W.left, O.left) + 1;
    R.right = std::min(W.right, O.right) - 1;
    if (Side) Swap(R);
    if (AToScreen) gfx::OffsetRect(&R, Origin.x, Origin.y);
}

TdxBarPaintType TCustomdxBarControl::GetPaintType() const {
    if (IsMenuWindow()) return ptMenu;
    return IsRotatedBarControl(this) ? ptVert : ptHorz;
}

bool TCustomdxBarControl::OwnsControl(const TdxBarItemControl* AControl) const {
    if (!AControl || !FItemLinks) return false;
    for (int I = 0; I < FItemLinks->Count(); ++I)
        if (FItemLinks->Items(I)->Control() == AControl) return true;
    return false;
}

void TCustomdxBarControl::ControlDestroyed(const TdxBarItemControl* AControl) {
    if (FPressedControl != AControl) return;
    FPressedControl = nullptr;
    FPressedControlHot = false;
}

bool TCustomdxBarControl::IsInActiveChain() const {
    std::vector<const TCustomdxBarControl*> Visited;
    for (const TCustomdxBarControl* W = GetActiveBarControl(); IsBarControlAlive(W); W = W->FParentBar) {
        if (W == this) return true;
        if (std::find(Visited.begin(), Visited.end(), W) != Visited.end()) break;
        Visited.push_back(W);
    }
    return false;
}

// ============================================================================
// Drawing
// ============================================================================

void TCustomdxBarControl::DrawItemControl(TdxBarItemControl* AControl) {
    if (!AControl || !FHandle || FClosing || IsDestroying() || !OwnsControl(AControl)) return;
    FBackgroundBrush = GetBarBrush();
    AControl->Paint(GetItemControlRect(AControl), GetPaintType());
    DrawCustomizingFrame(AControl);
}

void TCustomdxBarControl::DrawCustomizingFrame(TdxBarItemControl* AControl) {
    const TdxBarManager* Manager = GetBarManager();
    if (!IsCustomizing() || !Manager || Manager->SelectedItemControl() != AControl) return;
    cls::TRect R = GetItemControlRect(AControl);
    if (IsEmpty(R)) return;
    const gfx::HDC DC = Canvas()->Handle();
    if (IsMenuWindow() && dynamic_cast<TdxBarSubItemControl*>(AControl)) {
        // Inverted, so that it shows over any look of the entry.
        const int OldRop = gfx::SetROP2(DC, gfx::R2_NOT);
        const gfx::HGDIOBJ OldBrush = gfx::SelectObject(DC, gfx::GetStockObject(gfx::NULL_BRUSH));
        for (int I = 0; I < 2; ++I) {
            gfx::Rectangle(DC, R.left, R.top, R.right, R.bottom);
            gfx::InflateRect(&R, -1, -1);
        }
        gfx::SelectObject(DC, OldBrush);
        gfx::SetROP2(DC, OldRop);
        return;
    }
    const gfx::HBRUSH Brush = gfx::GetSysColorBrush(gfx::COLOR_WINDOWTEXT);
    for (int I = 0; I < 2; ++I) {
        gfx::FrameRect(DC, &R, Brush);
        gfx::InflateRect(&R, -1, -1);
    }
}

void TCustomdxBarControl::RepaintSelection(TdxBarItemControl* AOldControl) {
    if (FLockMouse) return;
    const bool Previous = FDrawingOneControl;
    FDrawingOneControl = true;
    if (AOldControl && AOldControl != FSelectedControl && AOldControl->GetItem() &&
        !AOldControl->GetItem()->ComponentState().Contains(cls::csDestroying))
        DrawItemControl(AOldControl);
    if (FSelectedControl) DrawItemControl(FSelectedControl);
    FDrawingOneControl = Previous;
}

void TCustomdxBarControl::SetDockingStyle(TdxBarDockingStyle Value) {
    if (FDockingStyle == Value) return;
    FDockingStyle = Value;
    ResetWorkBitmap();
    Perform(cls::CM_FONTCHANGED, 0, 0);
    Refresh();
}

void TCustomdxBarControl::FillBackground(gfx::HDC DC, const gfx::RECT& R, gfx::HBRUSH ABrush,
                                         gfx::TColor AColor) {
    const cls::TPoint Origin = GetBackgroundOrigin();
    if (FDockControl)
        GetPainter()->FillBarBackgroundFromDock(this, DC, ABrush, nullptr, R, Origin);
    else
        GetPainter()->FillBarWindowBackground(this, DC, AColor, ABrush, R, Origin);
}

void TCustomdxBarControl::FillBackgroundInRegion(gfx::HDC DC, gfx::HRGN ARgn, gfx::HBRUSH ABrush,
                                                 gfx::TColor AColor) {
    gfx::HRGN Saved = nullptr;
    bool HadClip = false;
    SaveClipRegion(DC, Saved, HadClip);
    // The region is in the DC's logical coordinates; clipping is in device ones.
    const gfx::HRGN Clip = gfx::CreateRectRgn(0, 0, 0, 0);
    gfx::CombineRgn(Clip, ARgn, nullptr, gfx::RGN_COPY);
    gfx::POINT Org{};
    gfx::GetWindowOrgEx(DC, &Org);
    gfx::OffsetRgn(Clip, -Org.x, -Org.y);
    gfx::ExtSelectClipRgn(DC, Clip, gfx::RGN_AND);
    gfx::DeleteObject(Clip);
    FillBackground(DC, ClientRect(), ABrush, AColor);
    RestoreClipRegion(DC, Saved, HadClip);
}

void TCustomdxBarControl::ResetWorkBitmap() {
    if (FWorkBitmap) FWorkBitmap->Assign(nullptr);
}

// ============================================================================
// Menu mode and selection
// ============================================================================

void TCustomdxBarControl::SetActive(bool Value) {
    if (FIsActive == Value) return;
    TdxBarManager* Manager = GetBarManager();
    if (Value) {
        if (Manager) Manager->HideItemHint();
        if (!GetActiveBarControl()) GMenusExpanded = IsCustomizing();
        FPrevActiveBarControl = GetActiveBarControl();
        SetActiveBarControl(this);
        FIsActive = true;
        if (IsCustomizing() || !FItemLinks) return;
        // The items' actions update now, so that the window shows their state.
        for (int I = 0; I < FItemLinks->Count(); ++I) {
            TdxBarItem* Item = FItemLinks->Items(I)->Item();
            if (Item && Item->ActionLink()) Item->ActionLink()->Update();
            if (!IsBarControlAlive(this) || !FItemLinks) return;
        }
        return;
    }
    FIsActive = false;
    if (IsCustomizing())
        FSelectedControl = nullptr;
    else
        SelectItemControl(nullptr);
    if (!IsBarControlAlive(this)) return;
    if (GetActiveBarControl() == this)
        SetActiveBarControl(IsBarControlAlive(FPrevActiveBarControl) && FPrevActiveBarControl->FIsActive
                                ? FPrevActiveBarControl
                                : nullptr);
}

void TCustomdxBarControl::DeactivateAll() {
    SetActive(false);
    if (IsBarControlAlive(this) && IsBarControlAlive(FParentBar)) FParentBar->DeactivateAll();
}

void TCustomdxBarControl::SetSelectedControl(TdxBarItemControl* AControl) {
    // The mouse left an open quick-customization drop-down for another window.
    if (const TdxBarQuickControl* Quick = TdxBarQuickControl::OpenQuickControl();
        Quick && Quick != this && !Quick->IsActive())
        StartQuickControlCloseTimer();
    TdxBarItemControl* Old = FSelectedControl;
    FSelectedControl = AControl;
    TdxBarManager* Manager = GetBarManager();
    if (Manager) {
        if (IsCustomizing()) {
            Manager->SetSelectedItemControl(AControl);
            if (!IsBarControlAlive(this)) return;
        } else if (!Manager->IsCustomizing()) {
            Manager->FSelectedItemControl = AControl;
        }
    }
    RepaintSelection(Old);
    win::POINT P;
    if (win::GetCursorPos(&P)) FLastMousePos = P;
    if (!AControl) SetCursor(cls::crDefault);
    ShowSelectedHint();
}

void TCustomdxBarControl::ShowSelectedHint() {
    TdxBarManager* Manager = GetBarManager();
    if (!Manager) return;
    std::string Text;
    if (FSelectedControl && (FSelectedControl->GetEnabled() || Manager->ShowHintForDisabledItems()))
        Text = FSelectedControl->GetHint();
    if (!(IsToolbarWindow() && !FSelectedControl && FMarkState == 1))
        Manager->ShowItemHint(true, std::string());
    SetHint(cls::GetLongHint(Text));
    // A popup menu running its own loop shows its hints in the application's.
    const TCustomdxBarControl* Root = GetRootBarControl(this);
    if (Root && Root->FItemLinks && dynamic_cast<TdxBarPopupMenu*>(Root->FItemLinks->LinksOwner()))
        cls::Application->SetHint(cls::GetLongHint(Text));
}

void TCustomdxBarControl::SelectItemControl(TdxBarItemControl* AControl) {
    if (AControl == FSelectedControl) {
        // The keyboard reached the control: a disabled one now draws selected.
        if (AControl && AControl->SelectedByMouse()) {
            AControl->SetSelectedByMouse(false);
            AControl->Repaint();
        }
        return;
    }
    lf::TcxObjectLinkScope Target(AControl);
    if (FSelectedControl && FSelectedControl->Active()) {
        FSelectedControl->ControlInactivate(true);
        if (!IsBarControlAlive(this)) return;
    }
    if (AControl && !(Target.Alive() && OwnsControl(AControl))) AControl = nullptr;
    if (AControl) {
        if (auto* SubItem = dynamic_cast<TdxBarSubItemControl*>(AControl))
            SubItem->SetSubMenuRequested(false);
        AControl->SetSelectedByMouse(false);
    }
    SetSelectedControl(AControl);
}

void TCustomdxBarControl::SetHotControl(TdxBarItemControl* AControl) {
    if (!FHandle || !win::IsWindowVisible(FHandle) || AControl == FSelectedControl) return;
    // A control being edited keeps the selection.
    if (IsEdited(FSelectedControl)) return;
    lf::TcxObjectLinkScope Target(AControl);
    if (FSelectedControl && FSelectedControl->Active()) {
        FSelectedControl->ControlInactivate(false);
        if (!IsBarControlAlive(this)) return;
    }
    if (AControl && !(Target.Alive() && OwnsControl(AControl))) AControl = nullptr;
    if (AControl) AControl->SetSelectedByMouse(true);
    SetSelectedControl(AControl);
    if (!IsBarControlAlive(this) || !FSelectedControl) return;
    if (auto* SubItem = dynamic_cast<TdxBarSubItemControl*>(FSelectedControl))
        SubItem->SetSubMenuRequested(true);
    FSelectedControl->ControlActivate(false);
}

// ============================================================================
// Messages
// ============================================================================

void TCustomdxBarControl::WndProc(cls::TMessage& Message) {
    const win::UINT Msg = Message.Msg;
    const bool MouseMessage = (Msg >= win::WM_MOUSEFIRST && Msg <= win::WM_MOUSELAST) ||
                              (Msg >= win::WM_NCMOUSEMOVE && Msg <= win::WM_NCMBUTTONDBLCLK);
    // In menu mode only the windows of the active chain take the mouse.
    if (MouseMessage && GetActiveBarControl() && !IsInActiveChain()) return;
    inherited::WndProc(Message);
}

void TCustomdxBarControl::Dispatch(cls::TMessage& Message) {
    switch (Message.Msg) {
        case win::WM_ERASEBKGND:
            Message.Result = 1;
            break;
        case win::WM_MOUSEACTIVATE:
            Message.Result = win::MA_NOACTIVATE;
            break;
        case win::WM_SETCURSOR: {
            const cls::TWMSetCursor M{Message};
            if (M.CursorWnd() == FHandle && M.HitTest() == win::HTCLIENT) {
                win::SetCursor(cls::Screen->Cursors(Cursor()));
                Message.Result = 1;
            } else {
                inherited::Dispatch(Message);
            }
            break;
        }
        case win::WM_NCHITTEST:
            inherited::Dispatch(Message);
            if (Message.Result != win::HTCLIENT && FHandle) EndMouseLeaveTracking(FHandle);
            break;
        case win::WM_CAPTURECHANGED:
            inherited::Dispatch(Message);
            FLinkDragPending = false;
            FPressedControl = nullptr;
            FPressedControlHot = false;
            break;
        case win::WM_DESTROY:
            if (!IsDestroying()) {
                EndMouseLeaveTracking(FHandle);
                if (!IsBarControlAlive(this)) return;
                SetMarkState(0);
                if (FItemLinks)
                    for (int I = 0; I < FItemLinks->Count(); ++I)
                        if (TdxBarItemControl* Control = FItemLinks->Items(I)->Control())
                            Control->ParentWindowDestroying();
            }
            inherited::Dispatch(Message);
            break;
        case win::WM_WINDOWPOSCHANGED:
            WMWindowPosChanged(Message);
            break;
        case win::WM_KILLFOCUS:
            inherited::Dispatch(Message);
            if (Message.WParam == 0 && IsBarControlAlive(this)) DeactivateAll();
            break;
        case win::WM_NCACTIVATE: {
            const win::HWND Owner = FHandle ? win::GetParent(FHandle) : nullptr;
            if (Message.WParam && Owner && !IsCustomizing())
                win::SendMessage(Owner, win::WM_NCACTIVATE, 1, 0);
            // The window itself always looks active.
            Message.WParam = 1;
            inherited::Dispatch(Message);
            break;
        }
        case win::WM_SETFOCUS:
            WMSetFocus(Message);
            break;
        case win::WM_CTLCOLOREDIT:
        case win::WM_CTLCOLORLISTBOX: {
            const auto DC = reinterpret_cast<gfx::HDC>(Message.WParam);
            gfx::SetTextColor(DC, gfx::GetSysColor(gfx::COLOR_WINDOWTEXT));
            gfx::SetBkColor(DC, gfx::GetSysColor(gfx::COLOR_WINDOW));
            Message.Result = reinterpret_cast<win::LRESULT>(gfx::GetSysColorBrush(gfx::COLOR_WINDOW));
            break;
        }
        case win::WM_COMMAND:
            if (win::HIWORD(static_cast<win::LPARAM>(Message.WParam)) == EN_CHANGE && Message.LParam)
                win::SendMessage(reinterpret_cast<win::HWND>(Message.LParam), win::WM_COMMAND, Message.WParam,
                                 Message.LParam);
            else
                inherited::Dispatch(Message);
            break;
        case WM_DXBAR_REFRESH:
            RepaintBar();
            break;
        case cls::CM_FONTCHANGED:
            inherited::Dispatch(Message);
            Canvas()->Font()->Assign(Font());
            if (FHandle) CalcMetrics();
            break;
        case win::WM_KEYDOWN:
            inherited::Dispatch(Message);
            if (IsBarControlAlive(this)) WMKeyDown(Message);
            break;
        case win::WM_MOUSEMOVE:
            WMMouseMove(Message);
            break;
        case win::WM_MOUSELEAVE:
            WMMouseLeave(Message);
            break;
        case win::WM_LBUTTONDOWN:
            WMLButtonDown(Message);
            break;
        case win::WM_LBUTTONUP:
            WMLButtonUp(Message);
            break;
        case win::WM_LBUTTONDBLCLK:
            WMLButtonDblClk(Message);
            break;
        case win::WM_RBUTTONDOWN:
            WMRButtonDown(Message);
            break;
        default:
            inherited::Dispatch(Message);
            break;
    }
}

void TCustomdxBarControl::WMWindowPosChanged(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    if (!IsBarControlAlive(this) || !FHandle || !FShadow) return;
    const win::WINDOWPOS* Pos = cls::TWMWindowPosMsg{Message}.WindowPos();
    const bool MovedOrSized = !Pos || !(Pos->flags & win::SWP_NOMOVE) || !(Pos->flags & win::SWP_NOSIZE);
    if (MovedOrSized) {
        cls::TRect WindowRect;
        win::GetWindowRect(FHandle, &WindowRect);
        FShadow->SetBounds(OwnerRectTouchesWindow() ? FOwnerRect : cls::TRect{}, WindowRect);
        ResetWorkBitmap();
    }
    FShadow->SetVisible(IsShadowVisible());
}

void TCustomdxBarControl::WMSetFocus(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    if (!IsBarControlAlive(this) || (FSelectedControl && FSelectedControl->HasWindow())) return;
    // A bar window never keeps the focus: it goes on, or nowhere when there
    // is no window to take it (nor a customizing form while customizing).
    win::SetFocus(IsCustomizing() ? nullptr : GetFocusTarget());
}

win::HWND TCustomdxBarControl::GetFocusTarget() const {
    const TdxBarManager* Manager = GetBarManager();
    cls::TCustomForm* Form = Manager ? Manager->OwnerForm() : nullptr;
    if (Form && Form->HandleAllocated() && win::IsWindowVisible(Form->Handle())) return Form->Handle();
    if (!FHandle) return nullptr;
    // The next window: the first visible, enabled top-level window of the
    // thread below this one.
    const win::DWORD Thread = win::GetCurrentThreadId();
    for (win::HWND W = win::GetWindow(FHandle, win::GW_HWNDNEXT); W;
         W = win::GetWindow(W, win::GW_HWNDNEXT)) {
        if (win::GetWindowLongPtr(W, win::GWL_STYLE) & win::WS_CHILD) continue;
        if (!win::IsWindowVisible(W) || !win::IsWindowEnabled(W) || IsBarWindow(W)) continue;
        if (win::GetWindowThreadProcessId(W, nullptr) != Thread) continue;
        return W;
    }
    return nullptr;
}

// --- Keyboard ---

void TCustomdxBarControl::WMKeyDown(cls::TMessage& Message) {
    if (!GetActiveBarControl()) return;
    auto Key = static_cast<win::WORD>(Message.WParam);
    if (IsVerticalBarControl(this)) {
        switch (Key) {
            case win::VK_LEFT:
                Key = win::VK_UP;
                break;
            case win::VK_UP:
                Key = win::VK_LEFT;
                break;
            case win::VK_RIGHT:
                Key = win::VK_DOWN;
                break;
            case win::VK_DOWN:
                Key = win::VK_RIGHT;
                break;
            default:
                break;
        }
        Message.WParam = Key;
    }
    if (FSelectedControl && FSelectedControl->GetEnabled() && FSelectedControl->WantsKey(Key)) {
        FSelectedControl->KeyDown(Key);
        return;
    }
    const bool Menu = IsMenuWindow();
    const cls::TShiftState Shift = CurrentShiftState(Message.LParam);
    switch (Key) {
        case win::VK_UP:
            if (Menu) SelectNext(false, false);
            return;
        case win::VK_DOWN:
            if (Menu) SelectNext(true, false);
            return;
        case win::VK_LEFT:
            if (!Menu) SelectNext(false, false);
            return;
        case win::VK_RIGHT:
            if (!Menu) SelectNext(true, false);
            return;
        case win::VK_TAB:
            if (Shift.Contains(cls::ssCtrl))
                MoveToOtherToolbar(!Shift.Contains(cls::ssShift));
            else
                SelectNext(!Shift.Contains(cls::ssShift), true);
            return;
        case win::VK_HOME:
        case win::VK_END: {
            TdxBarItemLink* Link = FItemLinks ? (Key == win::VK_HOME ? FItemLinks->GetFirstSelectable()
                                                                     : FItemLinks->GetLastSelectable())
                                              : nullptr;
            if (Link) SelectItemControl(Link->Control());
            return;
        }
        case win::VK_MENU:
            Message.Result = 0;
            DeactivateAll();
            return;
        case win::VK_F10: {
            const TdxBarManager* Manager = GetBarManager();
            if (Manager && Manager->UseF10ForMenu()) {
                Message.Result = 0;
                DeactivateAll();
            }
            return;
        }
        default:
            SelectByAccelerator(Message);
            return;
    }
}

void TCustomdxBarControl::SelectNext(bool AForward, bool AByTab) {
    if (!FItemLinks) return;
    TdxBarItemLink* Current = FSelectedControl ? FSelectedControl->ItemLink() : nullptr;
    TdxBarItemLink* Link =
        AForward ? FItemLinks->GetNextSelectable(Current) : FItemLinks->GetPrevSelectable(Current);
    TdxBarItemControl* Control = Link ? Link->Control() : nullptr;
    if (!Control) return;
    lf::TcxObjectLinkScope Target(Control);
    SelectItemControl(Control);
    if (AByTab && IsBarControlAlive(this) && Target.Alive() && Control->HasWindow())
        Control->ControlClick(false);
}

void TCustomdxBarControl::MoveToOtherToolbar(bool AForward) {
    auto* Bar = FItemLinks ? dynamic_cast<TdxBar*>(FItemLinks->LinksOwner()) : nullptr;
    const TdxBarManager* Manager = GetBarManager();
    if (!Bar || !Manager || !Manager->Bars()) return;
    TdxBars* Bars = Manager->Bars();
    const int N = Bars->Count();
    for (int K = 1; K < N; ++K) {
        TdxBar* Other = Bars->Items(((Bar->Index() + (AForward ? K : -K)) % N + N) % N);
        TCustomdxBarControl* Window = Other->ItemLinks()->BarControl();
        TdxBarItemLink* First = Window ? Other->ItemLinks()->GetFirstSelectable() : nullptr;
        if (!First || !Window->Visible()) continue;
        SetActive(false);
        if (!IsBarControlAlive(Window)) return;
        Window->SetActive(true);
        if (IsBarControlAlive(Window)) Window->SelectItemControl(First->Control());
        return;
    }
}

bool TCustomdxBarControl::SelectByAccelerator(cls::TMessage& Message) {
    if (!FItemLinks) return false;
    const auto Key = static_cast<win::WORD>(Message.WParam);
    // The character the key typed: its translation waits in the queue when
    // the key came through it; else the key's character on the US map.
    char32_t Char = 0;
    win::MSG CharMsg;
    const bool Typed = win::PeekMessage(&CharMsg, nullptr, win::WM_CHAR, win::WM_CHAR, win::PM_NOREMOVE) &&
                       CharMsg.lParam == Message.LParam;
    if (Typed)
        Char = static_cast<char32_t>(CharMsg.wParam);
    else
        Char = win::MapVirtualKey(Key, win::MAPVK_VK_TO_CHAR);
    if (Char < 0x20) return false;
    const cls::TShiftState Shift = CurrentShiftState(Message.LParam);
    TdxBarItemLink* Start = FSelectedControl ? FSelectedControl->ItemLink() : nullptr;
    TdxBarItemLink* First = FItemLinks->FindAccelLink(Key, Shift, Start, Char);
    if (!First) return false;
    if (Typed) win::PeekMessage(&CharMsg, CharMsg.hwnd, win::WM_CHAR, win::WM_CHAR, win::PM_REMOVE);
    int Count = 1;
    bool MetHidden = First->GetVisibleIndex() == -1;
    for (TdxBarItemLink* Next = FItemLinks->FindAccelLink(Key, Shift, First, Char); Next && Next != First;
         Next = FItemLinks->FindAccelLink(Key, Shift, Next, Char)) {
        if (Next->GetVisibleIndex() == -1) {
            MetHidden = true;
            break;
        }
        ++Count;
    }
    const bool Unique = Count == 1 && !MetHidden;
    const TdxBarManager* Manager = GetBarManager();
    if (IsMenuWindow() && MetHidden && Manager && GetEffectiveStyle(Manager) != bmsStandard &&
        (Count > 1 || !(First->Control() && First->Control()->ClosesMenusOnClick()))) {
        lf::TcxObjectLinkScope FirstAlive(First);
        SetMarkState(2);
        if (!IsBarControlAlive(this) || !FirstAlive.Alive()) return true;
    }
    if (TdxBarItemControl* Control = First->Control()) SelectItemControl(Control);
    if (Unique && IsBarControlAlive(this) && FHandle)
        win::SendMessage(FHandle, win::WM_KEYDOWN, win::VK_RETURN, 0);
    return true;
}

// --- Mouse ---

void TCustomdxBarControl::WMMouseMove(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    if (!IsBarControlAlive(this) || FLockMouse) return;
    const cls::TPoint P = cls::TWMMouse{Message}.Pos();
    if (FPressedControl) {
        const bool Hot = Contains(GetItemControlRect(FPressedControl), P);
        if (Hot != FPressedControlHot) {
            FPressedControlHot = Hot;
            FPressedControl->Repaint();
        }
    }
    if (FLinkDragPending) {
        const int DX = win::GetSystemMetrics(win::SM_CXDRAG) / 2;
        const int DY = win::GetSystemMetrics(win::SM_CYDRAG) / 2;
        if (std::abs(P.x - FDragStartPoint.x) > DX || std::abs(P.y - FDragStartPoint.y) > DY) {
            FLinkDragPending = false;
            win::ReleaseCapture();
            if (IsBarControlAlive(this) && FSelectedControl) FSelectedControl->ControlInactivate(true);
        }
        return;
    }
    if (!Contains(ClientRect(), P) || IsSameMousePos(P)) return;
    FLastMousePos = ClientToScreen(P);
    const bool Editing = IsEdited(FSelectedControl);
    TdxBarItemControl* Control = GetItemControlAtPos(P);
    if (!GetActiveBarControl() || GetActiveBarControl() == this) {
        // The text area of an edit shows the text cursor, unless another edit is edited.
        const auto* WinControl = dynamic_cast<TdxBarWinControl*>(Control);
        const cls::TRect EditRect = WinControl ? WinControl->GetEditWindowRect() : cls::TRect{};
        const bool OverEdit = Contains(EditRect, P) && !(Editing && FSelectedControl != Control);
        SetCursor(OverEdit ? cls::crIBeam : cls::crDefault);
    }
    // While a hosted window is edited the mouse selects nothing.
    if (Editing) return;
    if (!IsTrackingMouseLeave(FHandle)) {
        BeginMouseLeaveTracking(FHandle);
        if (Control && Control == FSelectedControl && dynamic_cast<TdxBarButtonControl*>(Control))
            Control->Repaint();
    }
    if (Control && !Control->IsSelectable()) Control = nullptr;
    if (!Control && IsToolbarWindow() && FIsActive) return;
    if (!Control && !FPressedControl && FSelectedControl && FSelectedControl->GetChildMenuControl() &&
        dynamic_cast<TdxBarSubItemControl*>(FSelectedControl))
        return;
    SetHotControl(Control);
}

void TCustomdxBarControl::WMMouseLeave(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    if (!IsBarControlAlive(this)) return;
    if (FMarkState == 1) SetMarkState(0);
    if (!IsBarControlAlive(this) || FChildMenu || IsCustomizing()) return;
    auto* Button = dynamic_cast<TdxBarButtonControl*>(FSelectedControl);
    if (Button && Button->DroppedDown()) return;
    SetHotControl(nullptr);
}

void TCustomdxBarControl::WMLButtonDown(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    if (!IsBarControlAlive(this) || FIgnoreNextMouseUp) return;
    if (!FItemLinks || FItemLinks->VisibleItemCount() == 0) return;
    const cls::TPoint P = cls::TWMMouse{Message}.Pos();
    TdxBarItemControl* Control = GetItemControlAtPos(P);
    if (Control && !(Control->GetEnabled() && Control->IsSelectableOrClickable())) Control = nullptr;
    lf::TcxObjectLinkScope Target(Control);
    if (IsCustomizing()) {
        if (Control && !Control->CanSelectInCustomizing()) return;
        if (Control && Control == FSelectedControl) {
            if (Control->Active())
                Control->ControlInactivate(true);
            else
                Control->ControlActivate(true);
            if (!IsBarControlAlive(this) || !Target.Alive()) return;
            if (TdxBarManager* Manager = GetBarManager()) Manager->SetSelectedItemControl(Control);
            if (!IsBarControlAlive(this) || !Target.Alive()) return;
        }
        SetHotControl(Control);
        if (!IsBarControlAlive(this) || !Control || !Target.Alive()) return;
        // Taken first: taking it again tells the window it lost it.
        win::SetCapture(FHandle);
        if (!IsBarControlAlive(this) || !Target.Alive()) return;
        FLinkDragPending = true;
        FDragStartPoint = P;
        return;
    }
    SelectItemControl(Control);
    if (!IsBarControlAlive(this) || !Control || !Target.Alive() || !OwnsControl(Control)) return;
    auto* Button = dynamic_cast<TdxBarButtonControl*>(Control);
    if (Button) Button->SetMousePressing(true);
    if (auto* SubItem = dynamic_cast<TdxBarSubItemControl*>(Control)) SubItem->SetSubMenuRequested(true);
    Control->ControlPressed(true);
    if (!IsBarControlAlive(this) || !Target.Alive() || !OwnsControl(Control)) return;
    if (Button) Button->SetMousePressing(false);
    if (IsToolbarWindow() && Control->IsPressTracked()) {
        win::SetCapture(FHandle);
        if (!IsBarControlAlive(this) || !Target.Alive() || !OwnsControl(Control)) return;
        FPressedControl = Control;
        FPressedControlHot = true;
        Control->Repaint();
    }
    // The press goes on to the edit window only when that is not under the
    // mouse: a press that began editing leaves the whole text selected.
    auto* WinControl = dynamic_cast<TdxBarWinControl*>(Control);
    const win::POINT Screen = ClientToScreen(P);
    if (WinControl && win::WindowFromPoint(Screen) != WinControl->Handle())
        SendToHostedWindow(Control, Message);
}

void TCustomdxBarControl::SendToHostedWindow(TdxBarItemControl* AControl, const cls::TMessage& Message) {
    auto* WinControl = dynamic_cast<TdxBarWinControl*>(AControl);
    const win::HWND Wnd = WinControl ? WinControl->Handle() : nullptr;
    if (!Wnd || !FHandle || !win::IsWindowVisible(Wnd)) return;
    cls::TMessage Copy = Message;
    win::POINT P = cls::TWMMouse{Copy}.Pos();
    win::MapWindowPoints(FHandle, Wnd, &P, 1);
    win::SendMessage(Wnd, Message.Msg, Message.WParam, win::MAKELPARAM(P.x, P.y));
}

void TCustomdxBarControl::WMLButtonUp(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    if (!IsBarControlAlive(this)) return;
    if (FIgnoreNextMouseUp) {
        FIgnoreNextMouseUp = false;
        return;
    }
    if (FLinkDragPending) {
        FLinkDragPending = false;
        win::ReleaseCapture();
        return;
    }
    const bool Tracked = FPressedControl != nullptr;
    if (Tracked) {
        TdxBarItemControl* Pressed = FPressedControl;
        FPressedControl = nullptr;
        FPressedControlHot = false;
        if (win::GetCapture() == FHandle) win::ReleaseCapture();
        if (!IsBarControlAlive(this)) return;
        if (OwnsControl(Pressed)) Pressed->Repaint();
    }
    const cls::TPoint P = cls::TWMMouse{Message}.Pos();
    if (Contains(ClientRect(), P) && FIsActive && !IsCustomizing()) {
        TdxBarItemControl* Control = GetItemControlAtPos(P);
        if (Control && Control->GetEnabled() && Control == FSelectedControl) {
            lf::TcxObjectLinkScope Target(Control);
            SendToHostedWindow(Control, Message);
            if (IsBarControlAlive(this) && Target.Alive()) Control->Click();
        } else if (Control && !Control->GetEnabled() && Control != FSelectedControl && IsToolbarWindow()) {
            auto* Button = dynamic_cast<TdxBarButtonControl*>(FSelectedControl);
            if (!(Button && Button->DroppedDown())) DeactivateAll();
        }
    }
    if (Tracked && IsBarControlAlive(this)) DeactivateAll();
}

void TCustomdxBarControl::WMLButtonDblClk(cls::TMessage& Message) {
    const cls::TPoint P = cls::TWMMouse{Message}.Pos();
    TdxBarItemControl* Control = GetItemControlAtPos(P);
    if (!Control || Control != FSelectedControl || !Control->WantsDblClick()) {
        WMLButtonDown(Message);
        return;
    }
    inherited::Dispatch(Message);
    if (IsBarControlAlive(this) && OwnsControl(Control) && !IsDesigning()) Control->DblClick();
}

void TCustomdxBarControl::WMRButtonDown(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    if (!IsBarControlAlive(this) || !IsCustomizing()) return;
    if (FSelectedControl && FSelectedControl->Active()) {
        FSelectedControl->ControlInactivate(true);
        if (!IsBarControlAlive(this)) return;
    }
    TdxBarItemControl* Control = GetItemControlAtPos(cls::TWMMouse{Message}.Pos());
    if (!Control) return;
    if (Control == FSelectedControl) {
        if (TdxBarManager* Manager = GetBarManager()) Manager->SetSelectedItemControl(Control);
        if (IsBarControlAlive(this) && OwnsControl(Control)) Control->Repaint();
    } else {
        SetHotControl(Control);
    }
}

// ============================================================================
// Root windows of a chain
// ============================================================================

TCustomdxBarControl* GetRootBarControl(TCustomdxBarControl* AControl) {
    if (!IsBarControlAlive(AControl)) return nullptr;
    std::vector<TCustomdxBarControl*> Visited;
    TCustomdxBarControl* Window = AControl;
    while (IsBarControlAlive(Window)) {
        TCustomdxBarControl* Next = Window->ParentBar();
        if (!Next) {
            auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(Window);
            if (Menu && Menu->SubItemControl()) Next = Menu->SubItemControl()->Parent();
        }
        if (!IsBarControlAlive(Next) || Next->IsDestroying() ||
            std::find(Visited.begin(), Visited.end(), Next) != Visited.end())
            break;
        Visited.push_back(Window);
        Window = Next;
    }
    return Window;
}

TCustomdxBarControl* GetRootToolbarControl(TCustomdxBarControl* AControl) {
    TCustomdxBarControl* Root = GetRootBarControl(AControl);
    return Root && Root->IsToolbarWindow() ? Root : nullptr;
}

TCustomdxBarControl* GetItemControlRootBarControl(TdxBarItemControl* AControl) {
    return AControl ? GetRootBarControl(AControl->Parent()) : nullptr;
}

TCustomdxBarControl* GetItemControlRootToolbar(TdxBarItemControl* AControl) {
    TCustomdxBarControl* Root = GetItemControlRootBarControl(AControl);
    return Root && !Root->IsMenuWindow() ? Root : nullptr;
}

bool IsVerticalBarControl(const TCustomdxBarControl* AControl) {
    return AControl && AControl->IsToolbarWindow() &&
           (AControl->DockingStyle() == dsLeft || AControl->DockingStyle() == dsRight);
}

bool IsRotatedBarControl(const TCustomdxBarControl* AControl) {
    // Asked for by every measure and paint: the docking style rules most
    // windows out before the cast.
    if (!AControl || (AControl->DockingStyle() != dsLeft && AControl->DockingStyle() != dsRight))
        return false;
    const auto* Toolbar = dynamic_cast<const TdxBarControl*>(AControl);
    return Toolbar && Toolbar->Bar() && Toolbar->Bar()->RotateWhenVertical();
}

} // namespace bars
