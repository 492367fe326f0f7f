// The toolbar window's messages: its non-client frame (size, hit test,
// painting), the close button's loop, the mark, the MDI buttons, sizing of a
// floating bar and of an edit's link, and the mouse and keys.
#include <algorithm>
#include <utility>

#include "bars/bars.h"
#include "bars/dockcontrol.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/managerlist.h"
#include "bars/quickcust.h"
#include "bars/registry.h"
#include "bars/strings.h"
#include "bars/submenu.h"
#include "bars/system.h"
#include "bars/toolbar.h"
#include "classes/forms.h"
#include "lookandfeel/objectlinks.h"
#include "lookandfeel/text.h"
#include "win/user.h"

namespace bars {

namespace {

// A floating bar's top never goes further above the screen than this.
constexpr int MinFloatingTop = -15;
constexpr win::UINT_PTR MarkTimerId = 1;
constexpr win::LRESULT DLGC_ALL = 7;
// The kept hit-test code of the mark (a client code for the handlers).
constexpr win::LRESULT KeptMark = win::HTCLIENT;

bool Contains(const cls::TRect& R, cls::TPoint P) {
    return gfx::PtInRect(&R, P) != 0;
}

bool IsEmptyRect(const cls::TRect& R) {
    return R.right <= R.left || R.bottom <= R.top;
}

cls::TPoint CursorPos() {
    win::POINT P;
    win::GetCursorPos(&P);
    return P;
}

// The work areas of all monitors: whether R meets one of them.
bool MeetsSomeWorkArea(const cls::TRect& R) {
    struct TSearch {
        cls::TRect Rect;
        bool Found = false;
    } Search{R};
    win::EnumDisplayMonitors(
        nullptr, nullptr,
        [](win::HMONITOR, win::HDC, win::RECT* AMonitor, win::LPARAM AData) -> win::BOOL {
            auto* S = reinterpret_cast<TSearch*>(AData);
            win::RECT Work;
            GetWorkAreaFromPoint(win::POINT{AMonitor->left, AMonitor->top}, Work);
            win::RECT Common;
            if (gfx::IntersectRect(&Common, &S->Rect, &Work)) S->Found = true;
            return !S->Found;
        },
        reinterpret_cast<win::LPARAM>(&Search));
    return Search.Found;
}

} // namespace

// ============================================================================
// Frame geometry
// ============================================================================

namespace {

// The parts of a bar window outside its client area, side by side.
gfx::RECT NonClientInsets(const TdxBarControl* AWindow, bool ASizeGripShown) {
    gfx::RECT R{};
    const TdxBarItemControlPainterClass Painter = AWindow->GetPainter();
    TdxBar* Bar = AWindow->Bar();
    const TdxBarManager* Manager = AWindow->GetBarManager();
    if (AWindow->DockingStyle() == dsNone) {
        int FrameWidth = win::GetSystemMetrics(win::SM_CXFRAME);
        int FrameHeight = win::GetSystemMetrics(win::SM_CYFRAME);
        if (!Painter->UsesSystemFloatingFrame() && Manager) {
            FrameWidth = Manager->GetBarFrameWidth();
            FrameHeight = Manager->GetBarFrameHeight();
        }
        R = gfx::RECT{FrameWidth, FrameHeight, FrameWidth, FrameHeight};
        if (AWindow->CaptionShown()) {
            R.top += Painter->GetCaptionHeight() + Painter->GetFloatingFrameTop();
            R.left += Painter->GetFloatingFrameWidth();
            R.right += Painter->GetFloatingFrameWidth();
            R.bottom += Painter->GetFloatingFrameBottom();
        }
        return R;
    }
    if (!Bar) return R;
    if (Bar->BorderStyle() == bbsSingle) {
        Painter->GetBorderRect(Bar->IsMainMenu(), AWindow->DockingStyle(), R);
        const int Handle = Manager ? Manager->GetBarDragHandleSize(Bar) : 0;
        if (AWindow->IsVerticalDocked())
            R.top += Handle;
        else
            R.left += Handle;
        return R;
    }
    if (Bar->IsStatusBar()) {
        R.top = Painter->GetStatusBarBandHeight();
        if (ASizeGripShown) {
            gfx::SIZE Grip{};
            Painter->GetSizeGripSize(Grip);
            R.right = Grip.cx;
        }
    }
    return R;
}

} // namespace

cls::TRect TdxBarControl::GetCaptionClientRect() const {
    if (DockingStyle() != dsNone || !FCaptionShown || !HandleAllocated()) return cls::TRect{};
    cls::TRect Window;
    win::GetWindowRect(FHandle, &Window);
    const gfx::RECT Insets = NonClientInsets(this, FSizeGripShown);
    const int Top = Insets.top - GetPainter()->GetCaptionHeight() - GetPainter()->GetFloatingFrameTop();
    return cls::TRect{Insets.left, Top, Window.right - Window.left - Insets.right,
                      Top + GetPainter()->GetCaptionHeight()};
}

cls::TRect TdxBarControl::GetCloseButtonRect() const {
    if (!HasCaptionCloseButton()) return cls::TRect{};
    const cls::TRect Caption = GetCaptionClientRect();
    return cls::TRect{Caption.right - GetPainter()->GetSmallCaptionHeight(), Caption.top, Caption.right,
                      Caption.bottom};
}

bool TdxBarControl::HasCaptionCloseButton() const {
    return DockingStyle() == dsNone && FCaptionShown && Bar() && Bar()->CanClose();
}

bool TdxBarControl::HasCaptionMark() const {
    return DockingStyle() == dsNone && HasMark();
}

cls::TRect TdxBarControl::GetMarkRect() const {
    if (!HasMark()) return cls::TRect{};
    gfx::RECT R{};
    FMarkRectBusy = true;
    GetPainter()->GetMarkRect(const_cast<TdxBarControl*>(this), R);
    FMarkRectBusy = false;
    return R;
}

cls::TRect TdxBarControl::GetMarkWindowRect() const {
    cls::TRect R = GetMarkRect();
    if (IsEmptyRect(R)) return R;
    if (DockingStyle() == dsNone) {
        const cls::TRect Caption = GetCaptionClientRect();
        gfx::OffsetRect(&R, Caption.left, Caption.top);
    } else {
        const cls::TPoint Origin = ClientOriginInWindow();
        gfx::OffsetRect(&R, Origin.x, Origin.y);
    }
    return R;
}

cls::TRect TdxBarControl::GetMarkScreenRect() const {
    cls::TRect R = GetMarkWindowRect();
    if (IsEmptyRect(R) || !HandleAllocated()) return R;
    cls::TRect Window;
    win::GetWindowRect(FHandle, &Window);
    gfx::OffsetRect(&R, Window.left, Window.top);
    return R;
}

void TdxBarControl::GetCaptionMarkRect(gfx::RECT& R) const {
    // Asked by the painter while it places the mark: the caption's first square.
    if (FMarkRectBusy) {
        const int Size = GetPainter()->GetSmallCaptionHeight();
        R = gfx::RECT{0, 0, Size, Size};
        return;
    }
    R = GetMarkWindowRect();
}

void TdxBarControl::DrawCloseButton(gfx::HDC DC) {
    const cls::TRect R = GetCloseButtonRect();
    if (!IsEmptyRect(R)) GetPainter()->DrawCloseButton(this, DC, R, FCloseButtonState);
}

void TdxBarControl::DrawCaptionCloseButton(gfx::HDC DC, const gfx::RECT& R) {
    GetPainter()->DrawCloseButton(this, DC, R, FCloseButtonState);
}

void TdxBarControl::DrawMark(gfx::HDC DC) {
    const cls::TRect R = GetMarkWindowRect();
    if (!IsEmptyRect(R)) GetPainter()->DrawMark(this, DC, R, MarkState());
}

void TdxBarControl::DrawCaptionMark(gfx::HDC DC) {
    DrawMark(DC);
}

// ============================================================================
// Non-client messages
// ============================================================================

void TdxBarControl::WMNCCalcSize(cls::TMessage& Message) {
    gfx::RECT* R = Message.WParam ? &reinterpret_cast<win::NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                                  : reinterpret_cast<gfx::RECT*>(Message.LParam);
    Message.Result = 0;
    if (!R) return;
    if (!FSwitching) FSizeGripShown = Bar() && Bar()->IsSizeGripVisible();
    const gfx::RECT Insets = NonClientInsets(this, FSizeGripShown);
    R->left += Insets.left;
    R->top += Insets.top;
    R->right = std::max<int>(R->left, R->right - Insets.right);
    R->bottom = std::max<int>(R->top, R->bottom - Insets.bottom);
}

void TdxBarControl::WMNCHitTest(cls::TMessage& Message) {
    const cls::TPoint P = cls::TWMNCHitTest{Message}.Pos();
    cls::TRect Window;
    win::GetWindowRect(FHandle, &Window);
    const cls::TPoint InWindow{P.x - Window.left, P.y - Window.top};
    const cls::TPoint Client = ScreenToClient(P);
    const bool InClient = Contains(ClientRect(), Client);
    win::LRESULT Result = win::HTCLIENT;
    if (DockingStyle() == dsNone) {
        const cls::TRect Caption = GetCaptionClientRect();
        if (Contains(Caption, InWindow)) {
            if (HasCaptionCloseButton() && Contains(GetCloseButtonRect(), InWindow)) {
                FHitTest = win::HTCLOSE;
                if (GetPainter()->IsCloseButtonHit(this, InWindow)) Result = win::HTCLOSE;
            } else if (HasCaptionMark() && Contains(GetMarkWindowRect(), InWindow)) {
                FHitTest = KeptMark;
            } else {
                FHitTest = win::HTCAPTION;
            }
        } else if (InClient) {
            FHitTest = win::HTCLIENT;
        } else {
            // The frame sizes by its edges only: corners count as the side
            // whose frame the point lies in.
            const TdxBarManager* Manager = GetBarManager();
            const int FrameWidth = Manager ? Manager->GetBarFrameWidth() : 4;
            const int FrameHeight = Manager ? Manager->GetBarFrameHeight() : 4;
            const int W = Window.right - Window.left;
            const int H = Window.bottom - Window.top;
            if (InWindow.x < FrameWidth)
                Result = win::HTLEFT;
            else if (InWindow.x >= W - FrameWidth)
                Result = win::HTRIGHT;
            else if (InWindow.y < FrameHeight)
                Result = win::HTTOP;
            else if (InWindow.y >= H - FrameHeight)
                Result = win::HTBOTTOM;
            else
                Result = win::HTCAPTION;
            FHitTest = Result;
            if (Result == win::HTCAPTION) Result = win::HTCLIENT;
        }
    } else {
        gfx::SIZE Grip{};
        GetPainter()->GetSizeGripSize(Grip);
        const cls::TRect GripRect{Window.right - Window.left - Grip.cx, Window.bottom - Window.top - Grip.cy,
                                  Window.right - Window.left, Window.bottom - Window.top};
        bool OverControl = false;
        if (InClient && ItemLinks())
            for (int I = 0; I < ItemLinks()->VisibleItemCount() && !OverControl; ++I)
                OverControl = ItemLinks()->VisibleItems(I)->Control() &&
                              Contains(ItemLinks()->VisibleItems(I)->ItemRect(), Client);
        if (FSizeGripShown && Bar() && Bar()->SizeGrip() && Contains(GripRect, InWindow)) {
            Result = win::HTBOTTOMRIGHT;
            FHitTest = Result;
        } else if (OverControl || (InClient && IsCustomizing())) {
            FHitTest = win::HTCLIENT;
        } else if (HasMark() && Contains(GetMarkWindowRect(), InWindow)) {
            FHitTest = KeptMark;
        } else {
            FHitTest = win::HTCAPTION;
        }
    }
    Message.Result = Result;
    if (Result != win::HTCLIENT) EndMouseLeaveTracking(FHandle);
}

void TdxBarControl::WMNCPaint(cls::TMessage& Message) {
    Message.Result = 0;
    if (!HandleAllocated() || Closing()) return;
    const gfx::HDC DC = win::GetWindowDC(FHandle);
    if (!DC) return;
    cls::TRect Window;
    win::GetWindowRect(FHandle, &Window);
    const gfx::RECT R{0, 0, Window.right - Window.left, Window.bottom - Window.top};
    const cls::TPoint Origin = ClientOriginInWindow();
    const gfx::RECT Client{Origin.x, Origin.y, Origin.x + ClientWidth(), Origin.y + ClientHeight()};
    gfx::ExcludeClipRect(DC, Client.left, Client.top, Client.right, Client.bottom);
    FNCPainting = true;
    const TdxBarItemControlPainterClass Painter = GetPainter();
    const gfx::HBRUSH Brush = GetBarBrush();
    if (DockingStyle() == dsNone) {
        const gfx::RECT Insets = NonClientInsets(this, false);
        const int Frame = Painter->UsesSystemFloatingFrame() || !GetBarManager()
                              ? win::GetSystemMetrics(win::SM_CXFRAME)
                              : GetBarManager()->GetBarFrameWidth();
        const int FrameHeight = Painter->UsesSystemFloatingFrame() || !GetBarManager()
                                    ? win::GetSystemMetrics(win::SM_CYFRAME)
                                    : GetBarManager()->GetBarFrameHeight();
        // What the frame and caption do not cover takes the bar's background.
        const gfx::RECT Inside{R.left + Frame, R.top + FrameHeight, R.right - Frame, R.bottom - FrameHeight};
        const cls::TRect Caption = GetCaptionClientRect();
        for (const gfx::RECT& Strip :
             {gfx::RECT{Inside.left, Inside.top, Insets.left, Inside.bottom},
              gfx::RECT{R.right - Insets.right, Inside.top, Inside.right, Inside.bottom},
              gfx::RECT{Insets.left, std::max<int>(Inside.top, Caption.bottom), R.right - Insets.right,
                        Client.top},
              gfx::RECT{Insets.left, Client.bottom, R.right - Insets.right, Inside.bottom}})
            if (Strip.right > Strip.left && Strip.bottom > Strip.top) gfx::FillRect(DC, &Strip, Brush);
        Painter->DrawBarBorder(this, DC, Brush, Frame, R);
        if (!IsEmptyRect(Caption)) {
            const gfx::HBRUSH CaptionBrush = gfx::CreateSolidBrush(gfx::ColorToRGB(GetCaptionColor()));
            Painter->DrawFloatingCaption(this, DC, CaptionBrush, Caption);
            gfx::DeleteObject(CaptionBrush);
        }
    } else if (Bar() && Bar()->BorderStyle() == bbsSingle) {
        Painter->FillBarBackgroundFromDock(this, DC, Brush, nullptr, R, gfx::POINT{0, 0});
        Painter->DrawDockedFrame(this, DC, Brush, R);
        if (HasMark()) Painter->DrawMarkContent(this, DC, Brush, GetMarkWindowRect(), MarkState());
    } else if (Bar() && Bar()->IsStatusBar()) {
        Painter->FillStatusBarBand(this, DC, gfx::RECT{R.left, R.top, R.right, Client.top});
        if (Client.right < R.right)
            Painter->DrawStatusBarSizeGrip(this, DC, gfx::RECT{Client.right, Client.top, R.right, R.bottom});
    }
    FNCPainting = false;
    win::ReleaseDC(FHandle, DC);
}

void TdxBarControl::WMNCLButtonDown(cls::TMessage& Message) {
    lf::TcxObjectLinkScope Self(this);
    if (GetActiveBarControl()) CloseActiveBarControl();
    if (!Self.Alive() || !HandleAllocated()) return;
    const auto Hit = static_cast<win::LRESULT>(Message.WParam);
    if (Hit == win::HTBOTTOMRIGHT && DockingStyle() != dsNone) {
        // A status bar's size grip sizes the window it lies in the corner of,
        // as that window's own frame would: the bar window itself has none.
        if (const win::HWND Root = win::GetAncestor(FHandle, win::GA_ROOT); Root && Root != FHandle)
            win::SendMessage(Root, win::WM_SYSCOMMAND, win::SC_SIZE | win::WMSZ_BOTTOMRIGHT, Message.LParam);
        return;
    }
    if (Hit != win::HTCLOSE) {
        inherited::Dispatch(Message);
        return;
    }
    const TdxBarManager* Manager = GetBarManager();
    if (Manager && !Manager->HideFloatingBarsWhenInactive())
        if (cls::TCustomForm* Form = GetOwnerForm(); Form && Form->HandleAllocated())
            win::SetActiveWindow(Form->Handle());
    if (Self.Alive() && HandleAllocated()) CloseButtonLoop();
}

// ============================================================================
// The close button
// ============================================================================

void TdxBarControl::SetCloseButtonState(int AState) {
    if (FCloseButtonState == AState) return;
    FCloseButtonState = AState;
    RepaintCloseButton();
}

void TdxBarControl::RepaintCloseButton() {
    if (!HandleAllocated() || !HasCaptionCloseButton()) return;
    const gfx::HDC DC = win::GetWindowDC(FHandle);
    if (!DC) return;
    DrawCloseButton(DC);
    win::ReleaseDC(FHandle, DC);
}

void TdxBarControl::CloseButtonLoop() {
    lf::TcxObjectLinkScope Self(this);
    const win::HWND Wnd = FHandle;
    TdxBar* TheBar = Bar();
    lf::TcxObjectLinkScope BarAlive(TheBar);
    win::SetCapture(Wnd);
    SetCloseButtonState(2);
    FCloseButtonTracking = true;
    bool Released = false;
    win::MSG Msg{};
    while (Self.Alive() && win::GetCapture() == Wnd) {
        const int Got = win::GetMessage(&Msg, nullptr, 0, 0);
        if (Got <= 0) {
            if (Got == 0) win::PostQuitMessage(static_cast<int>(Msg.wParam));
            break;
        }
        if (Msg.message == win::WM_MOUSEMOVE || Msg.message == win::WM_NCMOUSEMOVE) {
            cls::TRect Window;
            win::GetWindowRect(Wnd, &Window);
            const cls::TPoint P = CursorPos();
            const cls::TPoint InWindow{P.x - Window.left, P.y - Window.top};
            SetCloseButtonState(Contains(GetCloseButtonRect(), InWindow) ? 2 : 1);
            continue;
        }
        if (Msg.message == win::WM_LBUTTONUP || Msg.message == win::WM_NCLBUTTONUP) {
            Released = true;
            break;
        }
        win::TranslateMessage(&Msg);
        win::DispatchMessage(&Msg);
    }
    if (!Self.Alive()) return;
    FCloseButtonTracking = false;
    if (win::GetCapture() == Wnd) win::ReleaseCapture();
    if (!Self.Alive()) return;
    const bool Close = Released && FCloseButtonState == 2;
    SetCloseButtonState(0);
    if (!Close || !TheBar) return;
    // Hiding the bar frees this window.
    TheBar->SetVisible(false);
    TdxBarManager* Manager = BarAlive.Alive() ? TheBar->BarManager() : nullptr;
    if (!Manager) return;
    Manager->DesignerModified();
    Manager->DoBarClose(TheBar);
}

// ============================================================================
// The mark
// ============================================================================

void TdxBarControl::SetMarkState(int AState) {
    if (MarkState() == AState) return;
    lf::TcxObjectLinkScope Self(this);
    SetMarkStateValue(AState);
    if (HandleAllocated()) GetPainter()->RepaintMark(this);
    if (!Self.Alive()) return;
    if (AState == 1 && DockingStyle() == dsNone)
        StartMarkTimer();
    else if (AState != 1)
        StopMarkTimer();
    if (TdxBarManager* Manager = GetBarManager()) {
        if (AState == 1)
            Manager->ShowItemHint(true, lf::cxGetResourceString(dxSBAR_MOREBUTTONS));
        else if (!SelectedControl())
            Manager->HideItemHint();
    }
    if (Self.Alive()) QuickCustomizationChanged(AState);
}

void TdxBarControl::QuickCustomizationChanged(int AState) {
    if (AState != 2) {
        delete std::exchange(FQuickControl, nullptr);
        return;
    }
    TdxBarManager* Manager = GetBarManager();
    if (FQuickControl || !Manager || !HandleAllocated()) return;
    lf::TcxObjectLinkScope Self(this);
    TdxBarQuickControl::CreateForBar(Manager, this);
    if (Self.Alive() && FQuickControl) FQuickControl->ShowNearRect(GetMarkScreenRect());
}

void TdxBarControl::StartMarkTimer() {
    if (FMarkTimer || !HandleAllocated()) return;
    FMarkTimer = win::SetTimer(FHandle, MarkTimerId, MarkWatchInterval, nullptr);
}

void TdxBarControl::StopMarkTimer() {
    if (!FMarkTimer) return;
    if (HandleAllocated()) win::KillTimer(FHandle, MarkTimerId);
    FMarkTimer = 0;
}

void TdxBarControl::WMTimer(cls::TMessage& Message) {
    if (Message.WParam != MarkTimerId || !FMarkTimer) {
        inherited::Dispatch(Message);
        return;
    }
    cls::TRect Window;
    win::GetWindowRect(FHandle, &Window);
    const cls::TPoint P = CursorPos();
    const cls::TPoint InWindow{P.x - Window.left, P.y - Window.top};
    if (Contains(GetMarkWindowRect(), InWindow) && win::WindowFromPoint(P) == FHandle) return;
    StopMarkTimer();
    if (MarkState() == 1) SetMarkState(0);
}

// ============================================================================
// MDI buttons
// ============================================================================

int TdxBarControl::MDIButtonAt(cls::TPoint P) {
    for (int Kind = 0; Kind < 3; ++Kind)
        if (Contains(GetMDIButtonRect(Kind), P)) return Kind;
    return -1;
}

void TdxBarControl::SetMDIButtonState(int APressed, int AHot) {
    if (FMDIPressed == APressed && FMDIHot == AHot) return;
    FMDIPressed = APressed;
    FMDIHot = AHot;
    if (!HandleAllocated()) return;
    for (int Kind = 0; Kind < 3; ++Kind) {
        const cls::TRect R = GetMDIButtonRect(Kind);
        if (!IsEmptyRect(R)) win::InvalidateRect(FHandle, &R, gfx::FALSE);
    }
}

// ============================================================================
// Edit width sizing
// ============================================================================

TdxBarItemControl* TdxBarControl::EditSizingControlAt(cls::TPoint P, bool& AFromRight) const {
    AFromRight = false;
    if (!ItemLinks() || !IsCustomizing() || DockingStyle() == dsNone) return nullptr;
    for (int I = 0; I < ItemLinks()->VisibleItemCount(); ++I) {
        TdxBarItemControl* Control = ItemLinks()->VisibleItems(I)->Control();
        const cls::TRect& R = ItemLinks()->VisibleItems(I)->ItemRect();
        if (!Control || !Control->IsWidthSizable() || P.y < R.top || P.y >= R.bottom) continue;
        if (P.x >= R.left && P.x < R.left + EditSizingZone) return Control;
        if (P.x < R.right && P.x >= R.right - EditSizingZone) {
            AFromRight = true;
            return Control;
        }
    }
    return nullptr;
}

void TdxBarControl::DrawSizingFrame() {
    if (IsEmptyRect(FSizingFrame)) return;
    // Drawn on the screen, inverted: drawing it again takes it away.
    const gfx::HDC DC = win::GetDC(nullptr);
    if (!DC) return;
    const cls::TRect& R = FSizingFrame;
    for (const gfx::RECT& Side :
         {gfx::RECT{R.left, R.top, R.right, R.top + 2}, gfx::RECT{R.left, R.bottom - 2, R.right, R.bottom},
          gfx::RECT{R.left, R.top + 2, R.left + 2, R.bottom - 2},
          gfx::RECT{R.right - 2, R.top + 2, R.right, R.bottom - 2}})
        gfx::PatBlt(DC, Side.left, Side.top, Side.right - Side.left, Side.bottom - Side.top, gfx::DSTINVERT);
    win::ReleaseDC(nullptr, DC);
    FSizingFrameShown = !FSizingFrameShown;
}

void TdxBarControl::EndEditSizing(bool AApply) {
    TdxBarItemControl* Control = FSizingControl;
    if (!Control) return;
    FSizingControl = nullptr;
    if (FSizingFrameShown) DrawSizingFrame();
    FSizingFrame = cls::TRect{};
    const int Width = FSizingWidth;
    FSizingWidth = 0;
    if (HandleAllocated() && win::GetCapture() == FHandle) win::ReleaseCapture();
    if (!AApply || !IsBarControlAlive(this) || !OwnsControl(Control)) return;
    TdxBarItemLink* Link = Control->ItemLink();
    if (Link && Link->GetWidth() != Width)
        Link->SetUserWidth(Width);
    else
        Control->Repaint();
}

// ============================================================================
// Sizing a floating bar
// ============================================================================

void TdxBarControl::WMSizing(cls::TMessage& Message) {
    auto* R = reinterpret_cast<gfx::RECT*>(Message.LParam);
    Message.Result = 1;
    if (!R || DockingStyle() != dsNone || !Bar()) return;
    const int NCWidth = Bar()->GetNonClientWidth(dsNone);
    const int NCHeight = Bar()->GetNonClientHeight(dsNone);
    cls::TSize Size{};
    switch (Message.WParam) {
        case win::WMSZ_LEFT:
        case win::WMSZ_RIGHT:
            CalcSize(dsNone, R->right - R->left - NCWidth, Size);
            if (Message.WParam == win::WMSZ_LEFT)
                R->left = R->right - (Size.cx + NCWidth);
            else
                R->right = R->left + Size.cx + NCWidth;
            R->bottom = R->top + Size.cy + NCHeight;
            break;
        case win::WMSZ_TOP:
        case win::WMSZ_BOTTOM:
            Size = FitFloatingHeight(R->bottom - R->top - NCHeight);
            if (Message.WParam == win::WMSZ_TOP)
                R->top = R->bottom - (Size.cy + NCHeight);
            else
                R->bottom = R->top + Size.cy + NCHeight;
            R->right = R->left + Size.cx + NCWidth;
            break;
        default:
            win::GetWindowRect(FHandle, R);
            break;
    }
    if (R->top < MinFloatingTop) gfx::OffsetRect(R, 0, MinFloatingTop - R->top);
}

void TdxBarControl::WMWindowPosChanging(cls::TMessage& Message) {
    auto* Pos = cls::TWMWindowPosMsg{Message}.WindowPos();
    if (Pos && DockingStyle() == dsNone && HandleAllocated() && Pos->hwnd == FHandle &&
        (Pos->flags & (win::SWP_NOMOVE | win::SWP_NOSIZE)) != (win::SWP_NOMOVE | win::SWP_NOSIZE)) {
        cls::TRect Current;
        win::GetWindowRect(FHandle, &Current);
        const int X = (Pos->flags & win::SWP_NOMOVE) ? Current.left : Pos->x;
        const int Y = (Pos->flags & win::SWP_NOMOVE) ? Current.top : Pos->y;
        const int W = (Pos->flags & win::SWP_NOSIZE) ? Current.right - Current.left : Pos->cx;
        const int H = (Pos->flags & win::SWP_NOSIZE) ? Current.bottom - Current.top : Pos->cy;
        const cls::TRect R{X, Y, X + W, Y + H};
        if (!MeetsSomeWorkArea(R)) {
            // Pushed back to the work area of the monitor under the cursor.
            win::RECT Work;
            GetWorkAreaFromPoint(CursorPos(), Work);
            int NewX = X;
            int NewY = Y;
            if (R.right <= Work.left) NewX = Work.left;
            if (R.bottom <= Work.top) NewY = Work.top;
            if (R.left >= Work.right) NewX = Work.right - W;
            if (R.top >= Work.bottom) NewY = Work.bottom - H;
            Pos->x = NewX;
            Pos->y = NewY;
            Pos->flags &= ~win::SWP_NOMOVE;
        }
    }
    inherited::Dispatch(Message);
}

void TdxBarControl::WMWindowPosChanged(cls::TMessage& Message) {
    const win::WINDOWPOS* Pos = cls::TWMWindowPosMsg{Message}.WindowPos();
    const bool Own = Pos && Pos->hwnd == FHandle;
    lf::TcxObjectLinkScope Self(this);
    const int OldWidth = ClientWidth();
    const int OldHeight = ClientHeight();
    inherited::Dispatch(Message);
    if (!Self.Alive() || !HandleAllocated() || !Own) return;
    // The window shows and hides through the window system: so does the control.
    if (Pos->flags & win::SWP_SHOWWINDOW) FVisible = true;
    if (Pos->flags & win::SWP_HIDEWINDOW) FVisible = false;
    FShowing = win::IsWindowVisible(FHandle);
    const bool MovedOrSized = !(Pos->flags & win::SWP_NOMOVE) || !(Pos->flags & win::SWP_NOSIZE);
    if (!MovedOrSized) return;
    if (!HandleLocked() && !FSwitching) StoreBarPosition();
    if (!Self.Alive()) return;
    // The open drop-down follows the mark.
    if (FQuickControl) {
        const cls::TRect Mark = GetMarkScreenRect();
        if (!IsEmptyRect(Mark)) FQuickControl->ShowNearRect(Mark);
        if (!Self.Alive()) return;
    }
    // A status bar's size grip shows only on the form's bottom edge.
    if (Bar() && !FSwitching && Bar()->IsStatusBar() && FSizeGripShown != Bar()->IsSizeGripVisible()) {
        FrameChanged();
        if (!Self.Alive()) return;
    }
    if (ClientWidth() != OldWidth || ClientHeight() != OldHeight) RepaintBar();
}

void TdxBarControl::WMGetMinMaxInfo(cls::TMessage& Message) {
    auto* Info = reinterpret_cast<win::MINMAXINFO*>(Message.LParam);
    if (!Info) return;
    Info->ptMinTrackSize = win::POINT{10, 10};
    Info->ptMaxSize = win::POINT{30000, 30000};
    Info->ptMaxPosition = win::POINT{30000, 30000};
    Info->ptMaxTrackSize = win::POINT{30000, 30000};
    Message.Result = 0;
}

// ============================================================================
// Mouse
// ============================================================================

void TdxBarControl::WMLButtonDown(cls::TMessage& Message) {
    const bool MarkPressed = std::exchange(FMarkPressed, false);
    lf::TcxObjectLinkScope Self(this);
    TdxBarManager* Manager = GetBarManager();
    if (DockingStyle() == dsNone && Manager && !Manager->HideFloatingBarsWhenInactive() &&
        !IsQuickCustomizingMenu())
        if (cls::TCustomForm* Form = GetOwnerForm(); Form && Form->HandleAllocated())
            win::SetActiveWindow(Form->Handle());
    if (!Self.Alive() || !HandleAllocated()) return;
    const cls::TPoint P = cls::TWMMouse{Message}.Pos();
    if (const int Kind = MDIButtonAt(P); Kind >= 0) {
        win::SetCapture(FHandle);
        SetToolbarButtonTracking(true);
        SetMDIButtonState(Kind, Kind);
        return;
    }
    if (FSizingEdit && !FSizingControl) {
        bool FromRight = false;
        if (TdxBarItemControl* Control = EditSizingControlAt(P, FromRight)) {
            // Taken first: taking it again tells the window it lost it.
            lf::TcxObjectLinkScope Sized(Control);
            win::SetCapture(FHandle);
            if (!Self.Alive() || !Sized.Alive()) return;
            FSizingControl = Control;
            FSizingFromRight = FromRight;
            FSizingWidth = Control->ItemLink() ? Control->ItemLink()->GetWidth() : 0;
            if (FSizingWidth <= 0) FSizingWidth = Control->GetWidth() - Control->GetCaptionWidth();
            return;
        }
    }
    switch (FHitTest) {
        case win::HTCLIENT: {
            if (HasMark() && Contains(GetMarkWindowRect(), cls::TPoint{P.x + ClientOriginInWindow().x,
                                                                       P.y + ClientOriginInWindow().y})) {
                if (!MarkPressed) SetMarkState(MarkState() == 2 ? 0 : 2);
                return;
            }
            TdxBarItemControl* Control = GetItemControlAtPos(P);
            if (Control && Control->GetEnabled() && Control->IsSelectableOrClickable() && !IsCustomizing()) {
                // A press on a sub item opens menus until menu mode ends.
                if (dynamic_cast<TdxBarSubItemControl*>(Control)) FSubMenuMode = true;
                if (!IsActive()) SetActive(true);
                if (!Self.Alive()) return;
            }
            inherited::Dispatch(Message);
            return;
        }
        case win::HTCAPTION:
            if (Bar() && Bar()->Bars()) {
                if (GetActiveBarControl()) CloseActiveBarControl();
                if (Self.Alive() && HandleAllocated()) Bar()->Bars()->DragBar(this);
            }
            return;
        default:
            win::SendMessage(FHandle, win::WM_NCLBUTTONDOWN, static_cast<win::WPARAM>(FHitTest),
                             win::PointToLParam(ClientToScreen(P)));
            return;
    }
}

void TdxBarControl::WMLButtonUp(cls::TMessage& Message) {
    lf::TcxObjectLinkScope Self(this);
    if (FMDIPressed >= 0) {
        const int Kind = FMDIPressed;
        const bool Over = FMDIHot == Kind;
        SetToolbarButtonTracking(false);
        SetMDIButtonState(-1, -1);
        if (win::GetCapture() == FHandle) win::ReleaseCapture();
        if (!Self.Alive() || !Over) return;
        TdxBarManager* Manager = GetBarManager();
        if (!HasMDISystemMenu() && Manager) {
            Manager->DoCloseButtonClick();
            return;
        }
        static constexpr win::WPARAM Commands[] = {win::SC_MINIMIZE, win::SC_RESTORE, win::SC_CLOSE};
        if (const win::HWND Child = GetActiveMDIChildHandle())
            win::SendMessage(Child, win::WM_SYSCOMMAND, Commands[Kind], 0);
        return;
    }
    if (FSizingControl) {
        EndEditSizing(true);
        return;
    }
    inherited::Dispatch(Message);
}

void TdxBarControl::WMLButtonDblClk(cls::TMessage& Message) {
    // A second click on an MDI button is a press of it, not a caption's double click.
    if (FHitTest == win::HTCAPTION && !IsDesigning() && MDIButtonAt(cls::TWMMouse{Message}.Pos()) < 0) {
        ToggleDocking();
        return;
    }
    WMLButtonDown(Message);
}

void TdxBarControl::ToggleDocking() {
    TdxBar* TheBar = Bar();
    TdxBarManager* Manager = GetBarManager();
    if (!TheBar || !Manager) return;
    if (DockingStyle() != dsNone) {
        if (!Manager->CanDocking(TheBar, dsNone, nullptr)) return;
        // A bar that never floated floats where it is.
        if (TheBar->FloatClientWidth() <= 0 && HandleAllocated()) {
            cls::TRect R;
            win::GetWindowRect(FHandle, &R);
            TheBar->SetFloatLeft(R.left);
            TheBar->SetFloatTop(R.top);
        }
        // Hiding the bar frees this window.
        TheBar->SetVisible(false);
        TheBar->SetDockingStyle(dsNone);
        TheBar->SetVisible(true);
        return;
    }
    TdxDockControl* Dock = TheBar->DockedDockControl();
    const TdxBarDockingStyle Style = Dock ? Dock->GetDockingStyle() : TheBar->DockedDockingStyle();
    if (Style == dsNone || !Manager->CanDocking(TheBar, Style, Dock)) return;
    TdxDockControl* Target = Dock ? Dock : (TheBar->Bars() ? TheBar->Bars()->DockControls(Style) : nullptr);
    // Docked for the first time: a row of its own after the others.
    const bool FirstTime = !TheBar->DockedDockControl() && TheBar->DockedLeft() == 0 &&
                           TheBar->DockedTop() == 0 && TheBar->Row() == 0 && !TheBar->OneOnRow();
    TheBar->SetVisible(false);
    if (FirstTime && Target) {
        TheBar->SetRow(Target->GetRowCount());
        TheBar->SetOneOnRow(true);
    }
    if (Dock)
        TheBar->SetDockControl(Dock);
    else
        TheBar->SetDockingStyle(Style);
    TheBar->SetVisible(true);
}

void TdxBarControl::WMRButtonDown(cls::TMessage& Message) {
    lf::TcxObjectLinkScope Self(this);
    if (win::GetCapture() == FHandle) win::ReleaseCapture();
    if (!Self.Alive()) return;
    if (IsCustomizing() && GetActiveBarControl()) {
        CloseActiveBarControl();
        if (!Self.Alive()) return;
    }
    inherited::Dispatch(Message);
}

void TdxBarControl::WMMouseMove(cls::TMessage& Message) {
    lf::TcxObjectLinkScope Self(this);
    const cls::TPoint P = cls::TWMMouse{Message}.Pos();
    if (FMDIPressed >= 0) {
        SetMDIButtonState(FMDIPressed, MDIButtonAt(P) == FMDIPressed ? FMDIPressed : -1);
        return;
    }
    SetMDIButtonState(-1, MDIButtonAt(P));
    if (FSizingControl) {
        const cls::TRect R = GetItemControlRect(FSizingControl);
        const int Caption = FSizingControl->GetCaptionWidth();
        int Width = (FSizingFromRight ? P.x - R.left : R.right - P.x) - Caption;
        CheckItemLinkWidth(Width);
        FSizingWidth = Width;
        cls::TRect Frame = FSizingFromRight ? cls::TRect{R.left, R.top, R.left + Caption + Width, R.bottom}
                                            : cls::TRect{R.right - Caption - Width, R.top, R.right, R.bottom};
        const cls::TPoint TopLeft = ClientToScreen(cls::TPoint{Frame.left, Frame.top});
        gfx::OffsetRect(&Frame, TopLeft.x - Frame.left, TopLeft.y - Frame.top);
        if (FSizingFrameShown) DrawSizingFrame();
        FSizingFrame = Frame;
        DrawSizingFrame();
        return;
    }
    const cls::TPoint Screen = ClientToScreen(P);
    const bool Moved = Screen.x != FLastMoveScreen.x || Screen.y != FLastMoveScreen.y;
    FLastMoveScreen = Screen;
    const cls::TPoint InWindow{P.x + ClientOriginInWindow().x, P.y + ClientOriginInWindow().y};
    bool LeavesMark = false;
    if (Moved && !GetActiveBarControl()) {
        const bool OverMark = HasMark() && Contains(GetMarkWindowRect(), InWindow);
        if (OverMark && GetPainter()->IsMarkHotTracked() && MarkState() != 2)
            SetMarkState(1);
        else if (!OverMark && MarkState() == 1)
            LeavesMark = true;
        if (!Self.Alive()) return;
        if (HasCaptionCloseButton()) {
            const bool OverClose = Contains(GetCloseButtonRect(), InWindow);
            SetCloseButtonState(OverClose ? 1 : 0);
            if (OverClose && !IsTrackingMouseLeave(FHandle)) BeginMouseLeaveTracking(FHandle);
        }
    }
    inherited::Dispatch(Message);
    if (LeavesMark && Self.Alive() && MarkState() == 1) SetMarkState(0);
}

void TdxBarControl::WMMouseActivate(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    if (DockingStyle() == dsNone && HandleAllocated())
        win::SetWindowPos(FHandle, win::HWND_TOP, 0, 0, 0, 0,
                          win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOACTIVATE);
}

void TdxBarControl::WMSetCursor(cls::TMessage& Message) {
    const cls::TWMSetCursor M{Message};
    FSizingEdit = false;
    if (M.CursorWnd() == FHandle && M.HitTest() == win::HTCLIENT && !FSizingControl) {
        bool FromRight = false;
        if (EditSizingControlAt(ScreenToClient(CursorPos()), FromRight)) {
            FSizingEdit = true;
            FSizingFromRight = FromRight;
            win::SetCursor(cls::Screen->Cursors(crdxBarEditSizing));
            Message.Result = 1;
            return;
        }
    }
    inherited::Dispatch(Message);
}

void TdxBarControl::WMCaptureChanged(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    if (!IsBarControlAlive(this)) return;
    if (FSizingControl) EndEditSizing(false);
    // The close button's loop waits for a message: it learns of the loss.
    if (FCloseButtonTracking && HandleAllocated()) win::PostMessage(FHandle, win::WM_NULL, 0, 0);
    if (FMDIPressed >= 0) {
        SetToolbarButtonTracking(false);
        SetMDIButtonState(-1, -1);
    }
}

// ============================================================================
// Keys, focus, fonts and destruction
// ============================================================================

void TdxBarControl::WMKeyDown(cls::TMessage& Message) {
    lf::TcxObjectLinkScope Self(this);
    inherited::Dispatch(Message);
    if (!Self.Alive() || !GetActiveBarControl() || !IsActive()) return;
    TdxBarItemControl* Selected = SelectedControl();
    const auto Key = static_cast<win::WORD>(Message.WParam);
    if (Selected && Selected->GetEnabled() && Selected->WantsKey(Key)) return;
    auto* SubItem = dynamic_cast<TdxBarSubItemControl*>(Selected);
    switch (Key) {
        case win::VK_ESCAPE:
            Message.Result = 0;
            DeactivateAll();
            return;
        case win::VK_RETURN:
            if (!Selected) return;
            if (SubItem && SubItem->GetEnabled()) FSubMenuMode = true;
            Selected->ControlClick(false);
            return;
        case win::VK_UP:
        case win::VK_DOWN:
            if (!SubItem || !SubItem->GetEnabled()) return;
            FSubMenuMode = true;
            SubItem->ControlClick(false);
            return;
        default:
            return;
    }
}

void TdxBarControl::CMFontChanged(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    if (!IsBarControlAlive(this)) return;
    if (!HandleAllocated() || FSwitching) return;
    CalcMetrics();
    if (!IsActive() && SelectedControl()) SetSelectedControl(nullptr);
    if (!IsBarControlAlive(this)) return;
    // The controls may have changed across the bar as well as along it
    // (turned upright, say): the site lays its rows out again.
    TdxDockControl* Dock = DockControl();
    if (DockingStyle() != dsNone && Dock && !Dock->LayingOut() && !Moving() && !HandleLocked()) {
        lf::TcxObjectLinkScope Self(this);
        Dock->UpdateDock();
        if (!Self.Alive()) return;
    }
    RepaintBar();
}

void TdxBarControl::WMDestroy(cls::TMessage& Message) {
    StopMarkTimer();
    lf::TcxObjectLinkScope Self(this);
    inherited::Dispatch(Message);
    if (!Self.Alive() || FSwitching || HandleLocked() || IsDestroying() || IsQuickCustomizingMenu()) return;
    TdxBar* TheBar = Bar();
    TdxBarManager* Manager = GetBarManager();
    cls::TCustomForm* Form = GetOwnerForm();
    if (!TheBar || !TheBar->Visible() || !Manager || Manager->IsDestroying() ||
        (Form && Form->ComponentState().Contains(cls::csDestroying)))
        return;
    // The window goes with its dock site or form: the bar remembers itself
    // and is hidden (which frees this window).
    StoreBarPosition();
    Manager->AddHiddenBar(TheBar);
    TheBar->SetVisible(false);
}

void TdxBarControl::Dispatch(cls::TMessage& Message) {
    switch (Message.Msg) {
        case win::WM_NCCALCSIZE:
            WMNCCalcSize(Message);
            break;
        case win::WM_NCHITTEST:
            WMNCHitTest(Message);
            break;
        case win::WM_NCPAINT:
            WMNCPaint(Message);
            break;
        case win::WM_NCLBUTTONDOWN:
            WMNCLButtonDown(Message);
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
        case win::WM_MOUSEMOVE:
            WMMouseMove(Message);
            break;
        case win::WM_MOUSELEAVE:
            inherited::Dispatch(Message);
            if (IsBarControlAlive(this) && FCloseButtonState == 1) SetCloseButtonState(0);
            break;
        case win::WM_MOUSEACTIVATE:
            WMMouseActivate(Message);
            break;
        case win::WM_SETCURSOR:
            WMSetCursor(Message);
            break;
        case win::WM_SIZING:
            WMSizing(Message);
            break;
        case win::WM_WINDOWPOSCHANGING:
            WMWindowPosChanging(Message);
            break;
        case win::WM_WINDOWPOSCHANGED:
            WMWindowPosChanged(Message);
            break;
        case win::WM_GETMINMAXINFO:
            WMGetMinMaxInfo(Message);
            break;
        case win::WM_GETDLGCODE:
            Message.Result = DLGC_ALL;
            break;
        case win::WM_KEYDOWN:
            WMKeyDown(Message);
            break;
        case win::WM_SETFOCUS:
            break;
        case win::WM_SHOWWINDOW:
            inherited::Dispatch(Message);
            // Shown or hidden itself (not with its parent): so is the control.
            if (Message.LParam == 0 && IsBarControlAlive(this)) FVisible = Message.WParam != 0;
            break;
        case win::WM_CANCELMODE:
            inherited::Dispatch(Message);
            if (IsBarControlAlive(this) && FMDIPressed >= 0) {
                if (win::GetCapture() == FHandle) win::ReleaseCapture();
                SetToolbarButtonTracking(false);
                SetMDIButtonState(-1, -1);
            }
            break;
        case win::WM_TIMER:
            WMTimer(Message);
            break;
        case win::WM_CAPTURECHANGED:
            WMCaptureChanged(Message);
            break;
        case win::WM_DESTROY:
            WMDestroy(Message);
            break;
        case cls::CM_FONTCHANGED:
            CMFontChanged(Message);
            break;
        default:
            inherited::Dispatch(Message);
            break;
    }
}

} // namespace bars
