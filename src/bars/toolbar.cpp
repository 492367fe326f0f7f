#include "bars/toolbar.h"

#include <algorithm>
#include <utility>

#include "bars/bars.h"
#include "bars/button.h"
#include "bars/categories.h"
#include "bars/dockcontrol.h"
#include "bars/drawing.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/managerlist.h"
#include "bars/quickcust.h"
#include "bars/registry.h"
#include "bars/shadow.h"
#include "bars/subitem.h"
#include "bars/system.h"
#include "classes/forms.h"
#include "lookandfeel/drawing.h"
#include "lookandfeel/objectlinks.h"
#include "win/user.h"

namespace bars {

// ============================================================================
// Life
// ============================================================================

TdxBarControl::TdxBarControl(TdxBarManager* AOwner, TdxBar* ABar)
    : TCustomdxBarControl(AOwner), FBarLink(lf::cxAddObjectLink(ABar)) {
    if (ABar) SetItemLinks(ABar->ItemLinks());
    ApplyBarFont();
}

TdxBarControl::~TdxBarControl() {
    // From here on the window's destruction does not hide the bar.
    Destroying();
    delete std::exchange(FQuickControl, nullptr);
    StopMarkTimer();
    if (FSizingControl) EndEditSizing(false);
    TdxBars* Bars = Bar() ? Bar()->Bars() : nullptr;
    if (Bars && Bars->MovingBarControl() == this) Bars->SetMovingBarControl(nullptr);
    if (DockingStyle() != dsNone) {
        TdxDockControl* Dock = DockControl();
        if (!Dock && Bar()) Dock = Bar()->GetRealDockControl();
        if (Dock && Dock->FindCol(this)) Dock->RemoveBar(this, nullptr, true);
    }
    DestroyHandle();
    lf::cxRemoveObjectLink(FBarLink);
    FBarLink = nullptr;
}

TdxBar* TdxBarControl::Bar() const {
    return FBarLink ? static_cast<TdxBar*>(FBarLink->Ref) : nullptr;
}

void TdxBarControl::UnlockHandle() {
    if (FHandleLock > 0) --FHandleLock;
}

void TdxBarControl::ApplyBarFont() {
    if (Bar() && Bar()->Font()) Font()->Assign(Bar()->Font());
}

gfx::HFONT TdxBarControl::GetFontHandle() const {
    if (Bar() && Bar()->UseOwnFont() && Bar()->FontHandle()) return Bar()->FontHandle();
    return inherited::GetFontHandle();
}

cls::TCustomForm* TdxBarControl::GetOwnerForm() const {
    const TdxBarManager* Manager = GetBarManager();
    return Manager ? Manager->OwnerForm() : nullptr;
}

bool TdxBarControl::IsMultiLine() const {
    return IsMultiLineFor(DockingStyle());
}

bool TdxBarControl::IsMultiLineFor(TdxBarDockingStyle AStyle) const {
    return AStyle == dsNone || (Bar() && Bar()->MultiLine());
}

bool TdxBarControl::IsMainMenuBar() const {
    return Bar() && Bar()->IsMainMenu();
}

bool TdxBarControl::HasBackgroundBitmap() const {
    if (Bar() && Bar()->BackgroundBitmap() && !Bar()->BackgroundBitmap()->Empty()) return true;
    const TdxBarManager* Manager = GetBarManager();
    return Manager && Manager->Backgrounds() && Manager->Backgrounds()->Bar() &&
           !Manager->Backgrounds()->Bar()->Empty();
}

bool TdxBarControl::HasMark() const {
    if (!Bar() || !Bar()->ShowMark()) return false;
    const TdxBarManager* Manager = GetBarManager();
    // Quick customization is offered on toolbars, not on a main menu or a
    // status bar.
    const bool QuickCustomizing =
        Bar()->AllowQuickCustomizing() && !Bar()->IsMainMenu() && !Bar()->IsStatusBar();
    if (DockingStyle() == dsNone) return FCaptionShown && QuickCustomizing;
    return FLinksCutOff || (QuickCustomizing && Manager && Manager->IsNonStandardStyle());
}

// ============================================================================
// The window and its handles
// ============================================================================

win::HWND TdxBarControl::DesiredParentWindow() const {
    if (DockingStyle() != dsNone) {
        TdxDockControl* Dock = DockControl();
        if (!Dock && Bar()) Dock = Bar()->GetRealDockControl();
        if (Dock && !Dock->IsDestroying()) return Dock->Handle();
        return nullptr;
    }
    cls::TCustomForm* Form = GetOwnerForm();
    return Form && !Form->ComponentState().Contains(cls::csDestroying) ? Form->Handle() : nullptr;
}

void TdxBarControl::CreateParams(cls::TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.Style = win::WS_CLIPSIBLINGS | win::WS_CLIPCHILDREN;
    Params.ExStyle = 0;
    Params.WindowClass.style = win::CS_VREDRAW | win::CS_HREDRAW | win::CS_DBLCLKS;
    Params.WndParent = DesiredParentWindow();
    // A docked window without a dock site to live in waits as a popup.
    if (DockingStyle() != dsNone && Params.WndParent)
        Params.Style |= win::WS_CHILD;
    else
        Params.Style |= win::WS_POPUP | win::WS_BORDER | win::WS_SYSMENU | win::WS_THICKFRAME;
    if (Bar()) Params.Caption = Bar()->Caption();
}

void TdxBarControl::CreateWnd() {
    lf::TcxObjectLinkScope Self(this);
    inherited::CreateWnd();
    if (!Self.Alive() || !HandleAllocated()) return;
    if (Bar()) win::SetWindowText(Handle(), Bar()->Caption().c_str());
    win::SendMessage(Handle(), win::WM_NCACTIVATE, 1, 0);
    if (!Self.Alive() || !HandleAllocated()) return;
    UpdateTransparency();
    LayOut();
}

void TdxBarControl::InitWindow() {
    ApplyBarFont();
}

void TdxBarControl::DestroyWindowHandle() {
    // The handle kept for the other docking state goes first, silently.
    for (win::HWND* Kept : {&FDockedHandle, &FFloatingHandle}) {
        const win::HWND Wnd = *Kept;
        *Kept = nullptr;
        if (Wnd && Wnd != FHandle && win::IsWindow(Wnd)) {
            win::SetWindowLongPtr(Wnd, win::GWLP_WNDPROC,
                                  reinterpret_cast<win::LONG_PTR>(&win::DefWindowProc));
            win::DestroyWindow(Wnd);
        }
    }
    inherited::DestroyWindowHandle();
}

void TdxBarControl::Reparent() {
    if (!HandleAllocated()) return;
    const win::HWND Parent = DesiredParentWindow();
    const bool Child = (win::GetWindowLongPtr(FHandle, win::GWL_STYLE) & win::WS_CHILD) != 0;
    if (Child && Parent && win::GetParent(FHandle) != Parent) win::SetParent(FHandle, Parent);
}

void TdxBarControl::SwitchHandle(bool AFloating) {
    const bool Previous = FSwitching;
    FSwitching = true;
    TdxBarControlHandleLock Lock(this);
    lf::TcxObjectLinkScope Self(this);
    const win::HWND Old = FHandle;
    (AFloating ? FDockedHandle : FFloatingHandle) = Old;
    win::HWND& Other = AFloating ? FFloatingHandle : FDockedHandle;
    if (Old && win::IsWindowVisible(Old))
        win::SetWindowPos(Old, nullptr, 0, 0, 0, 0,
                          win::SWP_HIDEWINDOW | win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER |
                              win::SWP_NOACTIVATE);
    if (!Self.Alive()) return;
    cls::FreeDeviceContexts();
    if (Other && win::IsWindow(Other)) {
        FHandle = Other;
        Reparent();
        cls::TRect R;
        win::GetWindowRect(FHandle, &R);
        if (const win::HWND Parent = win::GetParent(FHandle);
            Parent && (win::GetWindowLongPtr(FHandle, win::GWL_STYLE) & win::WS_CHILD)) {
            win::MapWindowPoints(nullptr, Parent, reinterpret_cast<win::POINT*>(&R), 2);
        }
        FLeft = R.left;
        FTop = R.top;
        FWidth = R.right - R.left;
        FHeight = R.bottom - R.top;
        FShowing = win::IsWindowVisible(FHandle);
    } else {
        FHandle = nullptr;
        FShowing = false;
        CreateHandle();
        if (!Self.Alive()) return;
        Other = FHandle;
    }
    FSwitching = Previous;
    if (HandleAllocated()) RepaintBar();
}

void TdxBarControl::ChangeDocking(TdxBarDockingStyle AStyle, TdxDockControl* ADockControl) {
    TdxBarControlHandleLock Lock(this);
    lf::TcxObjectLinkScope Self(this);
    TdxDockControl* Dock = nullptr;
    if (AStyle != dsNone) {
        Dock = ADockControl;
        if (!Dock && Bar() && Bar()->Bars()) Dock = Bar()->Bars()->DockControls(AStyle);
    }
    const bool Floating = AStyle == dsNone;
    const bool KindChanges = (DockingStyle() == dsNone) != Floating;
    SetDockControl(Dock);
    if (KindChanges && HandleAllocated() && !FMoving) {
        // Another kind of window: the next one is made for the new place.
        DestroyHandle();
        if (!Self.Alive()) return;
    }
    SetDockingStyle(AStyle);
    if (!Self.Alive()) return;
    if (KindChanges && HandleAllocated() && FMoving)
        SwitchHandle(Floating);
    else
        Reparent();
}

void TdxBarControl::SetDockingStyle(TdxBarDockingStyle Value) {
    if (DockingStyle() == Value) return;
    FLinksCutOff = false;
    MeasurementsChanged();
    inherited::SetDockingStyle(Value);
}

// ============================================================================
// Moving and storing the place
// ============================================================================

void TdxBarControl::BeginMoving() {
    FMoving = true;
    FDockedHandle = nullptr;
    FFloatingHandle = nullptr;
    if (TdxBars* Bars = Bar() ? Bar()->Bars() : nullptr) Bars->SetMovingBarControl(this);
    UpdateTransparency();
}

void TdxBarControl::EndMoving() {
    if (!FMoving) return;
    FMoving = false;
    if (TdxBars* Bars = Bar() ? Bar()->Bars() : nullptr; Bars && Bars->MovingBarControl() == this)
        Bars->SetMovingBarControl(nullptr);
    const win::HWND Unused = FHandle == FDockedHandle ? FFloatingHandle : FDockedHandle;
    FDockedHandle = nullptr;
    FFloatingHandle = nullptr;
    if (Unused && Unused != FHandle && win::IsWindow(Unused)) {
        win::SetWindowLongPtr(Unused, win::GWLP_WNDPROC,
                              reinterpret_cast<win::LONG_PTR>(&win::DefWindowProc));
        win::DestroyWindow(Unused);
    }
    StoreBarPosition();
    UpdateTransparency();
}

void TdxBarControl::StoreBarPosition() {
    if (!Bar() || !HandleAllocated()) return;
    if (DockingStyle() == dsNone) {
        cls::TRect R;
        win::GetWindowRect(FHandle, &R);
        Bar()->SetFloatLeft(R.left);
        Bar()->SetFloatTop(R.top);
        Bar()->SetFloatClientWidth(ClientWidth());
        Bar()->SetFloatClientHeight(ClientHeight());
        return;
    }
    TdxDockControl* Dock = DockControl();
    Bar()->SetDockedDockingStyle(DockingStyle());
    Bar()->SetDockedDockControl(Dock && !Dock->IsMainDock() ? Dock : nullptr);
    if (!Dock) return;
    for (int I = 0; I < Dock->GetRowCount(); ++I) {
        const TdxDockRow* Row = Dock->GetRow(I);
        if (!Row || Row->IndexOf(this) < 0) continue;
        Bar()->SetRow(I);
        Bar()->SetOneOnRow(Row->GetColCount() == 1);
        break;
    }
    Bar()->SetDockedLeft(Left());
    Bar()->SetDockedTop(Top());
}

// ============================================================================
// Refreshing
// ============================================================================

void TdxBarControl::CalcMetrics() {
    MeasurementsChanged();
    inherited::CalcMetrics();
    // The metrics are measured upright; a turned bar draws its captions down
    // with an outline font, which turns.
    if (IsRotatedBarControl(this)) {
        gfx::LOGFONT LF{};
        if (gfx::GetObject(Canvas()->Font()->Handle(), sizeof LF, &LF) == static_cast<int>(sizeof LF)) {
            LF.lfEscapement = -900;
            LF.lfOrientation = -900;
            LF.lfOutPrecision = gfx::OUT_TT_ONLY_PRECIS;
            Canvas()->Font()->SetHandle(gfx::CreateFontIndirect(&LF));
        }
    }
    FMDIButtonWidth = win::GetSystemMetrics(win::SM_CXMENUSIZE) - 2;
    FMDIButtonHeight = win::GetSystemMetrics(win::SM_CYMENUSIZE) - 4;
}

void TdxBarControl::FrameChanged() {
    if (!HandleAllocated()) return;
    win::SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                      win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE |
                          win::SWP_FRAMECHANGED);
}

void TdxBarControl::CaptionChanged() {
    if (!HandleAllocated()) return;
    if (Bar()) win::SetWindowText(FHandle, Bar()->Caption().c_str());
    if (!IsBarControlAlive(this) || !HandleAllocated()) return;
    win::SendMessage(FHandle, win::WM_NCPAINT, 1, 0);
}

void TdxBarControl::UpdateTransparency() {
    if (!HandleAllocated() || !Bar()) return;
    const bool Floating = DockingStyle() == dsNone && !FMoving;
    SetLayeredWindowAlpha(FHandle, Floating ? Bar()->AlphaBlendValue() : 255);
}

void TdxBarControl::RefreshShadow() {
    if (!HandleAllocated() || !Shadow()) return;
    cls::TRect WindowRect;
    win::GetWindowRect(FHandle, &WindowRect);
    Shadow()->SetBounds(OwnerRectTouchesWindow() ? OwnerRect() : cls::TRect{}, WindowRect);
    Shadow()->SetVisible(IsShadowVisible());
}

void TdxBarControl::ApplyManagerStyle() {
    if (!HandleAllocated()) return;
    CalcMetrics();
    FrameChanged();
    if (!IsBarControlAlive(this)) return;
    RepaintBar();
    RepaintWithFrame();
}

// ============================================================================
// Colours and backgrounds
// ============================================================================

gfx::TColor TdxBarControl::GetCaptionColor() const {
    return GetPainter()->GetCaptionColor(const_cast<TdxBarControl*>(this), true);
}

gfx::TColor TdxBarControl::GetCaptionTextColor() const {
    return GetPainter()->GetCaptionTextColor(const_cast<TdxBarControl*>(this));
}

gfx::HBRUSH TdxBarControl::GetBarBrush() const {
    return GetPainter()->GetToolbarWindowBrush(const_cast<TdxBarControl*>(this));
}

cls::TPoint TdxBarControl::ClientOriginInWindow() const {
    if (!HandleAllocated()) return cls::TPoint{0, 0};
    cls::TRect Window;
    win::GetWindowRect(FHandle, &Window);
    win::POINT Origin{0, 0};
    win::ClientToScreen(FHandle, &Origin);
    return cls::TPoint{Origin.x - Window.left, Origin.y - Window.top};
}

cls::TPoint TdxBarControl::GetBackgroundOrigin() const {
    // Client drawing is offset by the frame; the frame draws in window coordinates.
    return FNCPainting ? cls::TPoint{0, 0} : ClientOriginInWindow();
}

void TdxBarControl::FillBackground(gfx::HDC DC, const gfx::RECT& R, gfx::HBRUSH ABrush, gfx::TColor AColor) {
    if (R.right <= R.left || R.bottom <= R.top) return;
    cls::TBitmap* Bitmap = Bar() ? Bar()->BackgroundBitmap() : nullptr;
    if (Bitmap && !Bitmap->Empty()) {
        const cls::TPoint Origin = GetBackgroundOrigin();
        const gfx::RECT Pattern{R.left + Origin.x, R.top + Origin.y, R.right + Origin.x, R.bottom + Origin.y};
        FillBarBackground(DC, R, Pattern, nullptr, gfx::clNone, Bitmap);
        return;
    }
    if (Bar() && Bar()->Color() != cls::clDefault) {
        lf::FillRectByColor(DC, R, Bar()->Color());
        return;
    }
    if (Bar() && Bar()->IsStatusBar()) {
        GetPainter()->FillStatusBarBackground(this, DC, AColor, ABrush, R, GetBackgroundOrigin());
        return;
    }
    inherited::FillBackground(DC, R, ABrush, AColor);
}

// ============================================================================
// Menu mode and selection
// ============================================================================

void TdxBarControl::SetActive(bool Value) {
    if (IsActive() == Value) return;
    lf::TcxObjectLinkScope Self(this);
    TdxBarManager* Manager = GetBarManager();
    if (Value) {
        // Other bar windows stop following the mouse; the form's own mouse
        // modes end and it comes up, unactivated.
        for (int I = 0; Manager && I < Manager->ComponentCount(); ++I) {
            auto* Window = dynamic_cast<TCustomdxBarControl*>(Manager->Components(I));
            if (Window && Window != this && Window->HandleAllocated())
                EndMouseLeaveTracking(Window->Handle());
        }
        if (!Self.Alive()) return;
        FSavedFocus = win::GetFocus();
        if (cls::TCustomForm* Form = GetOwnerForm(); Form && Form->HandleAllocated()) {
            Form->Perform(cls::CM_CANCELMODE, 0, 0);
            if (!Self.Alive()) return;
            win::SetWindowPos(Form->Handle(), win::HWND_TOP, 0, 0, 0, 0,
                              win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOACTIVATE);
        }
        if (!Self.Alive()) return;
        inherited::SetActive(true);
        return;
    }
    FSubMenuMode = false;
    inherited::SetActive(false);
    if (!Self.Alive()) return;
    if (Manager && Manager->KeyboardBar() == Bar()) Manager->SetKeyboardBar(nullptr);
    // The window under the mouse shows its hot control again.
    win::POINT P;
    win::GetCursorPos(&P);
    if (auto* Under = dynamic_cast<TCustomdxBarControl*>(FindControlOfWindow(GetWindowFromScreenPoint(P)));
        IsBarControlAlive(Under) && Under->HandleAllocated()) {
        Under->ResetLastMousePos();
        win::POINT Client = P;
        win::ScreenToClient(Under->Handle(), &Client);
        win::PostMessage(Under->Handle(), win::WM_MOUSEMOVE, 0, win::MAKELPARAM(Client.x, Client.y));
    }
    const win::HWND Focus = FSavedFocus;
    FSavedFocus = nullptr;
    if (Focus && Focus != win::GetFocus() && win::IsWindow(Focus) && win::IsWindowVisible(Focus))
        win::SetFocus(Focus);
}

void TdxBarControl::DeactivateAll() {
    SetSubMenuMode(false);
    inherited::DeactivateAll();
}

void TdxBarControl::SelectItemControl(TdxBarItemControl* AControl) {
    TdxBarItemControl* Old = SelectedControl();
    lf::TcxObjectLinkScope Self(this);
    inherited::SelectItemControl(AControl);
    if (!Self.Alive() || !AControl || AControl == Old || AControl != SelectedControl()) return;
    // While a menu of this bar is open the keyboard opens the next one.
    auto* SubItem = dynamic_cast<TdxBarSubItemControl*>(AControl);
    if (IsActive() && FSubMenuMode && SubItem && SubItem->GetEnabled() && !SubItem->GetOwnSubMenuControl())
        SubItem->ControlPressed(false);
}

void TdxBarControl::ActivateByKeyboard(TdxBarItemControl* AControl) {
    if (!HandleAllocated() || !win::IsWindowVisible(FHandle)) return;
    lf::TcxObjectLinkScope Self(this);
    lf::TcxObjectLinkScope Target(AControl);
    if (TdxBarManager* Manager = GetBarManager()) Manager->SetKeyboardBar(Bar());
    SetActive(true);
    if (!Self.Alive()) return;
    if (!AControl || !Target.Alive() || !OwnsControl(AControl)) {
        TdxBarItemLink* First = ItemLinks() ? ItemLinks()->GetFirstSelectable() : nullptr;
        AControl = First ? First->Control() : nullptr;
    }
    SelectItemControl(AControl);
}

} // namespace bars
