// The bar drag: the nested loop in which the user moves a toolbar between
// dock sites and floating, with the docking delay that keeps a floating bar
// afloat until the cursor has rested in a dock zone.
#include <algorithm>
#include <optional>

#include "bars/bars.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/registry.h"
#include "bars/system.h"
#include "bars/toolbar.h"
#include "classes/forms.h"
#include "lookandfeel/objectlinks.h"

namespace bars {

namespace {

// One drag at a time in the process: the docking-delay timer, and the
// manager and window of the drag that armed it.
win::UINT_PTR GDockingTimer = 0;
TdxBarManager* GDockingManager = nullptr;
TdxBarControl* GDockingBarControl = nullptr;

void KillDockingTimer() {
    if (GDockingTimer) win::KillTimer(nullptr, GDockingTimer);
    GDockingTimer = 0;
}

// After a drag nothing is left that a late WM_TIMER could act on.
void ClearDockingTimer() {
    KillDockingTimer();
    GDockingManager = nullptr;
    GDockingBarControl = nullptr;
}

bool IsHorizontalStyle(TdxBarDockingStyle AStyle) {
    return AStyle == dsTop || AStyle == dsBottom;
}

// Floating windows lie along x like horizontal docks.
bool IsVerticalStyle(TdxBarDockingStyle AStyle) {
    return AStyle == dsLeft || AStyle == dsRight;
}

cls::TPoint Offset(cls::TPoint P, cls::TPoint D, int ASign) {
    return cls::TPoint{P.x + ASign * D.x, P.y + ASign * D.y};
}

cls::TPoint CursorPos() {
    win::POINT P{};
    win::GetCursorPos(&P);
    return P;
}

cls::TRect WindowRect(TdxBarControl* ABarControl) {
    cls::TRect R{};
    if (ABarControl->HandleAllocated()) win::GetWindowRect(ABarControl->Handle(), &R);
    return R;
}

// The site and every parent up to its form are visible and enabled.
bool IsDockControlAvailable(TdxDockControl* ADockControl) {
    for (cls::TControl* C = ADockControl; C && !dynamic_cast<cls::TCustomForm*>(C); C = C->Parent())
        if (!C->Visible() || !C->Enabled()) return false;
    return true;
}

// The site's parent is not covered at P by another child of its own parent.
bool IsDockControlUncovered(TdxDockControl* ADockControl, cls::TPoint P) {
    if (!ADockControl->HandleAllocated()) return true;
    const win::HWND Parent = win::GetParent(ADockControl->Handle());
    const win::HWND GrandParent = Parent ? win::GetParent(Parent) : nullptr;
    if (!GrandParent) return true;
    win::POINT C = P;
    win::ScreenToClient(GrandParent, &C);
    return win::ChildWindowFromPointEx(GrandParent, C, win::CWP_SKIPINVISIBLE) == Parent;
}

} // namespace

// ============================================================================
// Placement helpers
// ============================================================================

cls::TPoint TdxBars::GetGrabOffset(TdxBarControl* ABarControl, TdxBarDockingStyle AStyle) const {
    if (!FDragging || !ABarControl || ABarControl != FGrabWindow) return cls::TPoint{};
    const cls::TSize Size = ABarControl->GetSizeForDockingStyle(AStyle);
    // Along and across the bar, for the start style and for AStyle.
    const bool StartVertical = IsVerticalStyle(FDragStart.Style);
    const bool Vertical = IsVerticalStyle(AStyle);
    const int GrabAlong = StartVertical ? FGrabPoint.y : FGrabPoint.x;
    const int GrabAcross = StartVertical ? FGrabPoint.x : FGrabPoint.y;
    const int StartAlong = std::max<int>(StartVertical ? FGrabSize.cy : FGrabSize.cx, 1);
    const int StartAcross = std::max<int>(StartVertical ? FGrabSize.cx : FGrabSize.cy, 1);
    const int NewAlong = Vertical ? Size.cy : Size.cx;
    const int NewAcross = Vertical ? Size.cx : Size.cy;
    auto Scale = [](int AValue, int ANew, int AOld) {
        return std::clamp<int>(static_cast<int>(static_cast<long long>(AValue) * ANew / AOld), 0,
                               std::max(ANew - 1, 0));
    };
    const int Along = Scale(GrabAlong, NewAlong, StartAlong);
    const int Across = Scale(GrabAcross, NewAcross, StartAcross);
    return Vertical ? cls::TPoint{Across, Along} : cls::TPoint{Along, Across};
}

// ============================================================================
// The docking delay
// ============================================================================

void TdxBars::DockingTimerProc(win::HWND, win::UINT, win::UINT_PTR, win::DWORD) {
    TdxBarManager* Manager = GDockingManager;
    TdxBarControl* Window = GDockingBarControl;
    ClearDockingTimer();
    TdxBars* Bars = Manager ? Manager->Bars() : nullptr;
    if (!Bars || !Bars->FDragging || !IsBarControlAlive(Window) || Bars->FMovingBarControl != Window) return;
    Bars->DockingDelayExpired(Window, Offset(CursorPos(), Bars->FDragOffset, 1));
}

void TdxBars::DockingDelayExpired(TdxBarControl* ABarControl, cls::TPoint AScreenRef) {
    lf::TcxObjectLinkScope Self(this);
    FDelayExpired = true;
    try {
        MoveBar(ABarControl, AScreenRef);
    } catch (...) {
        if (Self.Alive()) FDelayExpired = false;
        throw;
    }
    if (Self.Alive()) FDelayExpired = false;
}

void TdxBars::ForgetDockingTimer() {
    if (!GDockingManager || GDockingManager == FBarManager) ClearDockingTimer();
}

TdxDockControl* TdxBars::RealDockControl(TdxBarDockingStyle AStyle, TdxDockControl* ADockControl) const {
    return ADockControl ? ADockControl : DockControls(AStyle);
}

void TdxBars::InsertBarIntoDock(TdxBarDockingStyle AStyle, TdxDockControl* ADockControl, cls::TPoint P,
                                TdxBarControl* ABarControl) {
    if (TdxDockControl* Dock = RealDockControl(AStyle, ADockControl)) Dock->InsertBar(ABarControl, P, true);
}

void TdxBars::RemoveBarFromDock(TdxBarDockingStyle AStyle, TdxDockControl* ADockControl,
                                TdxBarControl* ABarControl) {
    if (TdxDockControl* Dock = RealDockControl(AStyle, ADockControl))
        Dock->RemoveBar(ABarControl, nullptr, true);
}

void TdxBars::PlaceFloating(TdxBarControl* ABarControl, cls::TPoint P, bool ASize) {
    const cls::TPoint Grab = GetGrabOffset(ABarControl, dsNone);
    win::UINT Flags = win::SWP_NOZORDER | win::SWP_NOACTIVATE;
    cls::TSize Size{};
    if (ASize)
        Size = ABarControl->GetSizeForDockingStyle(dsNone);
    else
        Flags |= win::SWP_NOSIZE;
    win::SetWindowPos(ABarControl->Handle(), nullptr, P.x - Grab.x, P.y - Grab.y, Size.cx, Size.cy, Flags);
}

// ============================================================================
// Docking hit test and one step of a move
// ============================================================================

TdxBarDockingStyle TdxBars::GetDockingStyleAtPos(TdxBar* ABar, cls::TPoint P, TdxDockControl*& ADockControl) {
    ADockControl = nullptr;
    // Holding Ctrl keeps a dragged bar afloat.
    if (FDragging && win::GetAsyncKeyState(win::VK_CONTROL) < 0) return dsNone;
    // The docking test runs the manager's OnDocking, which may free anything.
    lf::TcxObjectLinkScope Self(this);
    auto Try = [&](cls::TPoint Q) {
        for (TdxBarDockingStyle Style : {dsLeft, dsRight, dsTop, dsBottom}) {
            for (int I = 0; Self.Alive() && I < FBarManager->DockControlCount(); ++I) {
                TdxDockControl* Dock = FBarManager->GetDockControl(I);
                if (Dock->GetDockingStyle() != Style) continue;
                if (!FBarManager->Designing() && !IsDockControlAvailable(Dock)) continue;
                const bool Allowed = FBarManager->CanDocking(ABar, Style, Dock);
                if (!Self.Alive()) return dsNone;
                if (!Allowed) continue;
                cls::TRect Zone{};
                Dock->GetZoneRect(Zone);
                if (!gfx::PtInRect(&Zone, Q) || !IsDockControlUncovered(Dock, Q)) continue;
                ADockControl = Dock;
                return Style;
            }
        }
        return dsNone;
    };
    TdxBarDockingStyle Result = Try(P);
    if (Result == dsNone && Self.Alive() && FDragging) Result = Try(Offset(P, FDragOffset, -1));
    return Result;
}

void TdxBars::MoveBar(TdxBarControl* ABarControl, cls::TPoint AScreenRef) {
    TdxBar* Bar = ABarControl ? ABarControl->Bar() : nullptr;
    if (!Bar || !ABarControl->HandleAllocated()) return;
    lf::TcxObjectLinkScope Self(this);
    lf::TcxObjectLinkScope Alive(ABarControl);
    TdxDockControl* Dock = nullptr;
    TdxBarDockingStyle Style = GetDockingStyleAtPos(Bar, AScreenRef, Dock);
    if (!Self.Alive() || !Alive.Alive()) return;
    const bool Allowed = FBarManager->CanDocking(Bar, Style, Dock);
    if (!Self.Alive() || !Alive.Alive() || !Allowed) return;
    if (!FDelayExpired && ABarControl->DockingStyle() == dsNone && Style != dsNone) {
        KillDockingTimer();
        GDockingTimer = win::SetTimer(nullptr, 0, static_cast<win::UINT>(FBarManager->WaitForDockingTime()),
                                      &TdxBars::DockingTimerProc);
        GDockingManager = FBarManager;
        GDockingBarControl = ABarControl;
        Style = dsNone;
        Dock = nullptr;
    }
    if (Style == dsNone) AScreenRef = Offset(AScreenRef, FDragOffset, -1);
    TdxDockControl* RealDock = Style == dsNone ? nullptr : RealDockControl(Style, Dock);
    if (Style == ABarControl->DockingStyle() && RealDock == ABarControl->DockControl()) {
        if (RealDock)
            RealDock->MoveBar(ABarControl, AScreenRef);
        else
            PlaceFloating(ABarControl, AScreenRef, false);
        return;
    }
    SwitchBar(ABarControl, Style, RealDock, AScreenRef);
}

// Hides the window and takes it out of its dock site, if it is in one.
void TdxBars::HideAndUndock(TdxBarControl* ABarControl) {
    win::SetWindowPos(ABarControl->Handle(), nullptr, 0, 0, 0, 0,
                      win::SWP_HIDEWINDOW | win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER |
                          win::SWP_NOACTIVATE);
    if (ABarControl->DockingStyle() != dsNone) {
        RemoveBarFromDock(ABarControl->DockingStyle(), ABarControl->DockControl(), ABarControl);
        ABarControl->Bar()->ItemLinks()->SetRecentLimit(-1);
    }
}

void TdxBars::SwitchBar(TdxBarControl* ABarControl, TdxBarDockingStyle AStyle, TdxDockControl* ADockControl,
                        cls::TPoint P) {
    TdxBar* Bar = ABarControl->Bar();
    lf::TcxObjectLinkScope Alive(ABarControl);
    HideAndUndock(ABarControl);
    {
        TdxBarControlHandleLock Lock(ABarControl);
        ABarControl->ChangeDocking(AStyle, ADockControl);
    }
    if (!Alive.Alive()) return;
    if (AStyle == dsNone)
        PlaceFloating(ABarControl, P, true);
    else
        ADockControl->InsertBar(ABarControl, P, true);
    if (!Alive.Alive()) return;
    win::ShowWindow(ABarControl->Handle(), win::SW_SHOWNA);
    Bar->DockingSwitched(AStyle, ADockControl);
}

// ============================================================================
// The drag loop
// ============================================================================

void TdxBars::DragBar(TdxBarControl* ABarControl) {
    TdxBar* Bar = ABarControl ? ABarControl->Bar() : nullptr;
    if (FDragging || !Bar || !Bar->CanDock() || !ABarControl->HandleAllocated()) return;
    lf::TcxObjectLinkScope Self(this);
    lf::TcxObjectLinkScope Window(ABarControl);
    // Escape puts the bar back into the site it started from, if that survives.
    TdxDockControl* StartDock = ABarControl->DockingStyle() != dsNone ? ABarControl->DockControl() : nullptr;
    std::optional<cls::TComponentGuard> StartDockAlive;
    if (StartDock) StartDockAlive.emplace(StartDock);
    BeginDrag(ABarControl, CursorPos());
    bool Escaped = false;
    try {
        if (Self.Alive() && Window.Alive()) RunDragLoop(ABarControl, Escaped);
    } catch (...) {
        ClearDockingTimer();
        if (Self.Alive()) EndDrag(Window.Alive() ? ABarControl : nullptr, false);
        throw;
    }
    ClearDockingTimer();
    const bool Restore = Escaped && (!StartDock || StartDockAlive->Alive());
    if (Self.Alive()) EndDrag(Window.Alive() ? ABarControl : nullptr, Restore);
}

void TdxBars::BeginDrag(TdxBarControl* ABarControl, const cls::TPoint& ACursor) {
    TdxBar* Bar = ABarControl->Bar();
    TdxDockControl* Dock = ABarControl->DockingStyle() != dsNone ? ABarControl->DockControl() : nullptr;
    if (Dock) {
        if (TdxDockCol* Col = Dock->FindCol(ABarControl)) {
            Bar->SetDockedLeft(Col->Pos().x);
            Bar->SetDockedTop(Col->Pos().y);
            const int Row = Dock->IndexOfRow(Col->Row());
            Bar->SetRow(Row);
            Bar->SetOneOnRow(Col->Row()->GetColCount() == 1);
        }
    }
    FDragging = true;
    FDelayExpired = false;
    ABarControl->BeginMoving();
    FMovingBarControl = ABarControl;
    FDragStartStyle = ABarControl->DockingStyle();
    FDragOffset = cls::TPoint{};
    FDockGrabOffset = cls::TPoint{};
    const cls::TRect Start = WindowRect(ABarControl);
    FDragStart = TDragStart{FDragStartStyle,
                            Dock,
                            Bar->Row(),
                            Bar->OneOnRow(),
                            cls::TPoint{Bar->DockedLeft(), Bar->DockedTop()},
                            Start};
    FGrabWindow = ABarControl;
    FGrabPoint = cls::TPoint{ACursor.x - Start.left, ACursor.y - Start.top};
    FGrabSize = ABarControl->GetSizeForDockingStyle(FDragStartStyle);
    if (!Dock) return;
    const cls::TPoint ColumnPos = Dock->ClientToScreen(FDragStart.DockedPos);
    Dock->RemoveBar(ABarControl, nullptr, false);
    cls::TPoint Reference = ACursor;
    Dock->GetRowReferencePoint(Bar->Row(), Bar->OneOnRow(), Reference);
    if (IsHorizontalStyle(FDragStartStyle))
        FDragOffset.y = Reference.y - ACursor.y;
    else
        FDragOffset.x = Reference.x - ACursor.x;
    {
        TdxBarControlHandleLock Lock(ABarControl);
        Dock->InsertBar(ABarControl, ColumnPos, false);
    }
    FDockGrabOffset = cls::TPoint{ACursor.x - Start.left, ACursor.y - Start.top};
}

void TdxBars::RunDragLoop(TdxBarControl* ABarControl, bool& AEscaped) {
    lf::TcxObjectLinkScope Self(this);
    lf::TcxObjectLinkScope Window(ABarControl);
    ProcessPaintMessages();
    if (!Self.Alive() || !Window.Alive()) return;
    cls::TCustomForm* Form = FBarManager->OwnerForm();
    const win::HWND FormWnd = Form && Form->HandleAllocated() ? Form->Handle() : nullptr;
    const win::HWND CaptureWnd = FBarManager->GetCaptureWindowHandle();
    win::SetCapture(CaptureWnd);
    struct TCaptureRelease {
        win::HWND Wnd;
        ~TCaptureRelease() {
            if (win::GetCapture() == Wnd) win::ReleaseCapture();
        }
    } Release{CaptureWnd};
    cls::TPoint Last{-1, -1};
    // The loop ends with the capture, when the bar's window or the bars go,
    // and when the form closes.
    auto Running = [&] {
        return win::GetCapture() == CaptureWnd && Self.Alive() && Window.Alive() &&
               FMovingBarControl == ABarControl && (!FormWnd || win::IsWindowVisible(FormWnd));
    };
    while (Running()) {
        win::MSG Msg{};
        const win::BOOL Got = win::GetMessage(&Msg, nullptr, 0, 0);
        if (Got == -1) break;
        if (Got == 0) {
            win::PostQuitMessage(static_cast<int>(Msg.wParam));
            break;
        }
        // Messages sent to the thread while it waited may have ended the drag.
        if (!Self.Alive() || !Window.Alive() || FMovingBarControl != ABarControl) {
            win::TranslateMessage(&Msg);
            win::DispatchMessage(&Msg);
            break;
        }
        if ((Msg.message == win::WM_KEYDOWN || Msg.message == win::WM_KEYUP) &&
            Msg.wParam == win::VK_CONTROL) {
            // Ctrl changes the answer of the docking test: evaluate the place again.
            const cls::TPoint P = CursorPos();
            Msg.hwnd = nullptr;
            Msg.message = win::WM_MOUSEMOVE;
            Msg.lParam = win::MAKELPARAM(P.x, P.y);
            Last = cls::TPoint{-1, -1};
        }
        switch (Msg.message) {
            case win::WM_KEYDOWN:
            case win::WM_KEYUP:
                if (Msg.wParam == win::VK_ESCAPE) {
                    AEscaped = true;
                    return;
                }
                break;
            case win::WM_MOUSEMOVE: {
                win::POINT P{win::GET_X_LPARAM(Msg.lParam), win::GET_Y_LPARAM(Msg.lParam)};
                if (Msg.hwnd) win::ClientToScreen(Msg.hwnd, &P);
                if (P.x == Last.x && P.y == Last.y) break;
                Last = P;
                MoveBar(ABarControl, Offset(P, FDragOffset, 1));
                break;
            }
            case win::WM_LBUTTONUP:
                return;
            default:
                win::TranslateMessage(&Msg);
                win::DispatchMessage(&Msg);
                break;
        }
    }
}

void TdxBars::EndDrag(TdxBarControl* ABarControl, bool ARestore) {
    if (ABarControl && FMovingBarControl == ABarControl) {
        lf::TcxObjectLinkScope Window(ABarControl);
        if (ARestore) RestoreDragStart(ABarControl);
        if (Window.Alive()) ABarControl->EndMoving();
        if (Window.Alive() && ABarControl->DockingStyle() != dsNone && ABarControl->DockControl())
            ABarControl->DockControl()->UpdateColsPos();
    }
    FMovingBarControl = nullptr;
    FGrabWindow = nullptr;
    FDragStart = TDragStart{};
    FDragging = false;
}

void TdxBars::RestoreDragStart(TdxBarControl* ABarControl) {
    const TDragStart& Start = FDragStart;
    TdxDockControl* Dock = Start.DockControl;
    TdxBar* Bar = ABarControl->Bar();
    lf::TcxObjectLinkScope Alive(ABarControl);
    HideAndUndock(ABarControl);
    if (!Alive.Alive()) return;
    if (Start.Style == dsNone) {
        {
            TdxBarControlHandleLock Lock(ABarControl);
            ABarControl->ChangeDocking(dsNone, nullptr);
        }
        if (!Alive.Alive()) return;
        const cls::TRect& R = Start.WindowRect;
        win::SetWindowPos(ABarControl->Handle(), nullptr, R.left, R.top, R.right - R.left, R.bottom - R.top,
                          win::SWP_NOZORDER | win::SWP_NOACTIVATE);
    } else {
        Bar->SetRow(Start.Row);
        Bar->SetOneOnRow(Start.OneOnRow);
        TdxBarControlHandleLock Lock(ABarControl);
        ABarControl->ChangeDocking(Start.Style, Dock);
        if (!Alive.Alive()) return;
        Dock->InsertBar(ABarControl, Dock->ClientToScreen(Start.DockedPos), true);
    }
    if (!Alive.Alive()) return;
    win::ShowWindow(ABarControl->Handle(), win::SW_SHOWNA);
    Bar->DockingSwitched(Start.Style, Dock);
}

} // namespace bars
