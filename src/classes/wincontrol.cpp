#include "classes/controls.h"

#include <algorithm>

#include "classes/controls_internal.h"
#include "classes/exceptions.h"
#include "classes/filer.h"
#include "classes/forms.h"
#include "gfx/draw.h"

namespace cls {

using win::HWND;
using win::LPARAM;
using win::LRESULT;
using win::UINT;
using win::WPARAM;

inline constexpr TResStringRec SWindowDCError{1305, "Error creating window device context"};

namespace {

// The window property that ties a window to its control.
constexpr const char* kControlProp = "TrestleControl";
constexpr const char* kUtilProp = "TrestleUtilWindow";
constexpr const char* kUtilClassName = "TPUtilWindow";
constexpr win::WORD kVkExecute = 0x2B;

// The control whose window is being created: its window procedure binds the
// window on the first message (which may come before WM_NCCREATE).
thread_local TWinControl* t_CreationControl = nullptr;

template <class T> void EraseValue(std::vector<T*>& List, const TControl* Value) {
    List.erase(std::remove_if(List.begin(), List.end(), [Value](T* Item) { return Item == Value; }),
               List.end());
}

} // namespace

// ============================================================================
// Window procedures
// ============================================================================

struct WindowProcedures {
    static LRESULT ControlWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
        auto* Control = static_cast<TWinControl*>(win::GetProp(Wnd, kControlProp));
        if (!Control) {
            Control = t_CreationControl;
            if (!Control) return win::DefWindowProc(Wnd, Msg, WParam, LParam);
            t_CreationControl = nullptr;
            Control->FHandle = Wnd;
            win::SetProp(Wnd, kControlProp, Control);
        }
        return Control->MainWndProc(Msg, WParam, LParam);
    }

    static LRESULT UtilWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
        auto* Method = static_cast<TWndMethod*>(win::GetProp(Wnd, kUtilProp));
        if (!Method) return win::DefWindowProc(Wnd, Msg, WParam, LParam);
        TMessage Message{Msg, WParam, LParam, 0};
        // The handler may deallocate the window.
        const TWndMethod Handler = *Method;
        try {
            Handler(Message);
        } catch (...) {
            Application->HandleException(nullptr);
        }
        if (Msg == win::WM_NCDESTROY && win::GetProp(Wnd, kUtilProp) == Method) {
            win::RemoveProp(Wnd, kUtilProp);
            delete Method;
        }
        return Message.Result;
    }
};

LRESULT TWinControl::MainWndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage Message{Msg, WParam, LParam, 0};
    TComponentGuard Guard(this);
    try {
        const TWndMethod Proc = FWindowProc;
        Proc(Message);
    } catch (...) {
        FreeDeviceContexts();
        Application->HandleException(Guard.Alive() ? this : nullptr);
    }
    FreeDeviceContexts();
    return Message.Result;
}

HWND AllocateHWnd(TWndMethod Method) {
    win::WNDCLASS Temp;
    if (!win::GetClassInfo(nullptr, kUtilClassName, &Temp) ||
        Temp.lpfnWndProc != &WindowProcedures::UtilWndProc) {
        if (win::GetClassInfo(nullptr, kUtilClassName, &Temp)) win::UnregisterClass(kUtilClassName, nullptr);
        win::WNDCLASS Class{};
        Class.lpfnWndProc = &WindowProcedures::UtilWndProc;
        Class.lpszClassName = kUtilClassName;
        if (!win::RegisterClass(&Class)) throw EOutOfResources(SWindowClass);
    }
    HWND Wnd = win::CreateWindowEx(win::WS_EX_TOOLWINDOW, kUtilClassName, "", win::WS_POPUP, 0, 0, 0, 0,
                                   nullptr, nullptr, nullptr, nullptr);
    if (!Wnd) throw EOutOfResources(SWindowCreate);
    win::SetProp(Wnd, kUtilProp, new TWndMethod(Method));
    return Wnd;
}

void DeallocateHWnd(HWND Wnd) {
    if (auto* Method = static_cast<TWndMethod*>(win::RemoveProp(Wnd, kUtilProp))) delete Method;
    win::DestroyWindow(Wnd);
}

TWinControl* FindControl(HWND Handle) {
    if (!Handle) return nullptr;
    return static_cast<TWinControl*>(win::GetProp(Handle, kControlProp));
}

TWinControl* FindWindowControl(TPoint Pos) {
    for (HWND Handle = win::WindowFromPoint(Pos); Handle; Handle = win::GetParent(Handle))
        if (TWinControl* Control = FindControl(Handle)) return Control;
    return nullptr;
}

TControl* FindDragTarget(TPoint Pos, bool AllowDisabled) {
    TWinControl* Window = FindWindowControl(Pos);
    if (!Window) return nullptr;
    if (TControl* Control = Window->ControlAtPos(Window->ScreenToClient(Pos), AllowDisabled)) return Control;
    return Window;
}

// ============================================================================
// TWinControl
// ============================================================================

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
    FBrush = new TBrush;
    FBrush->SetColor(FColor);
}

TWinControl::~TWinControl() {
    Destroying();
    if (FParent) RemoveFocus(true);
    if (TScreen* S = ScreenIfExists(); S && S->FActiveControl == this) S->FActiveControl = nullptr;
    if (FHandle) DestroyWindowHandle();
    while (!FControls.empty() || !FWinControls.empty()) {
        TControl* Instance =
            FWinControls.empty() ? FControls.back() : static_cast<TControl*>(FWinControls.back());
        Remove(Instance);
        if (!Instance->IsFreeing()) delete Instance;
    }
    // While still a TWinControl, so that the parent files it as one.
    SetParent(nullptr);
    delete FBrush;
}

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case win::WM_SETFOCUS: {
            TCustomForm* Form = GetParentForm(this);
            if (Form && !Form->SetFocusedControl(this)) return;
            break;
        }
        case win::WM_KILLFOCUS:
            if (FControlState.Contains(csFocusing)) return;
            break;
        case win::WM_NCHITTEST: {
            inherited::WndProc(Message);
            // A transparent spot over a graphic child belongs to the window.
            if (Message.Result == win::HTTRANSPARENT && FHandle &&
                ControlAtPos(ScreenToClient(TWMNCHitTest{Message}.Pos()), false))
                Message.Result = win::HTCLIENT;
            return;
        }
        case win::WM_CANCELMODE:
            if (TControl* Captured = detail::CaptureControl();
                FHandle && win::GetCapture() == FHandle && Captured && Captured->FParent == this)
                Captured->Perform(win::WM_CANCELMODE, 0, 0);
            break;
        default:
            if (Message.Msg >= win::WM_MOUSEFIRST && Message.Msg < win::WM_MOUSEWHEEL) {
                TComponentGuard Guard(this);
                if (IsControlMouseMsg(Message)) {
                    if (Guard.Alive() && Message.Result == 0 && FHandle)
                        win::DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
                    return;
                }
            }
            break;
    }
    inherited::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case win::WM_PAINT:
            WMPaint(Message);
            break;
        case win::WM_ERASEBKGND:
            WMEraseBkgnd(Message);
            break;
        case win::WM_WINDOWPOSCHANGED:
            WMWindowPosChanged(Message);
            break;
        case win::WM_SIZE:
            WMSize(Message);
            break;
        case win::WM_SETCURSOR:
            WMSetCursor(Message);
            break;
        case win::WM_NCDESTROY:
            WMNCDestroy(Message);
            break;
        case win::WM_KEYDOWN:
        case win::WM_SYSKEYDOWN:
            WMKeyDown(Message);
            break;
        case win::WM_KEYUP:
        case win::WM_SYSKEYUP:
            WMKeyUp(Message);
            break;
        case win::WM_CHAR:
            WMChar(Message);
            break;
        case win::WM_SYSCOLORCHANGE:
            WMSysColorChange(Message);
            break;
        case win::WM_CONTEXTMENU:
            WMContextMenu(Message);
            break;
        case CN_KEYDOWN:
        case CN_SYSKEYDOWN:
            CNKeyDown(Message);
            break;
        case CN_CHAR:
            CNChar(Message);
            break;
        case CN_SYSCHAR:
            // Alt+mnemonic: a label's focus control or a button of the form.
            if (TCustomForm* Form = GetParentForm(this);
                Form && !ComponentState().Contains(csDesigning) &&
                Form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
                Message.Result = 1;
            break;
        case win::WM_COMMAND:
            if (!DoControlMsg(reinterpret_cast<HWND>(Message.LParam), Message)) inherited::Dispatch(Message);
            break;
        case win::WM_DRAWITEM:
            if (!DoControlMsg(reinterpret_cast<const win::DRAWITEMSTRUCT*>(Message.LParam)->hwndItem,
                              Message))
                inherited::Dispatch(Message);
            break;
        case win::WM_MEASUREITEM: {
            const auto Id = reinterpret_cast<const win::MEASUREITEMSTRUCT*>(Message.LParam)->CtlID;
            if (!DoControlMsg(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(Id)), Message))
                inherited::Dispatch(Message);
            break;
        }
        case win::WM_CTLCOLOREDIT:
        case win::WM_CTLCOLORLISTBOX:
        case win::WM_CTLCOLORSTATIC:
            if (!DoControlMsg(reinterpret_cast<HWND>(Message.LParam), Message)) inherited::Dispatch(Message);
            break;
        case CN_CTLCOLOREDIT:
        case CN_CTLCOLORLISTBOX:
        case CN_CTLCOLORSTATIC:
            CNCtlColor(Message);
            break;
        case CM_RECREATEWND:
            CMRecreateWnd(Message);
            break;
        case CM_SHOWINGCHANGED:
            CMShowingChanged(Message);
            break;
        case CM_VISIBLECHANGED:
            CMVisibleChanged(Message);
            break;
        case CM_ENABLEDCHANGED:
            CMEnabledChanged(Message);
            break;
        case CM_COLORCHANGED:
            CMColorChanged(Message);
            break;
        case CM_FONTCHANGED:
            CMFontChanged(Message);
            break;
        case CM_SHOWHINTCHANGED:
            CMShowHintChanged(Message);
            break;
        case CM_SYSCOLORCHANGE:
        case CM_FOCUSCHANGED:
        case CM_DIALOGKEY:
        case CM_DIALOGCHAR:
            Broadcast(Message);
            break;
        default:
            inherited::Dispatch(Message);
            break;
    }
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (!FHandle) {
        inherited::DefaultHandler(Message);
        return;
    }
    Message.Result = win::CallWindowProc(FDefWndProc ? FDefWndProc : &win::DefWindowProc, FHandle,
                                         Message.Msg, Message.WParam, Message.LParam);
}

// --- The window ---

HWND TWinControl::Handle() {
    HandleNeeded();
    return FHandle;
}

void TWinControl::HandleNeeded() {
    if (FHandle) return;
    if (FParent) FParent->HandleNeeded();
    CreateHandle();
}

void TWinControl::CreateHandle() {
    // A control on its way out gets no new window.
    if (FHandle || ComponentState().Contains(csDestroying)) return;
    CreateWnd();
    if (FParent && FHandle)
        win::SetWindowPos(FHandle, FParent->PrecedingWindow(this), 0, 0, 0, 0,
                          win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOACTIVATE);
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params = TCreateParams{};
    Params.Caption = FText;
    Params.Style = win::WS_CHILD | win::WS_CLIPSIBLINGS;
    if (FControlStyle.Contains(csAcceptsControls)) Params.Style |= win::WS_CLIPCHILDREN;
    if (!ComponentState().Contains(csDesigning) && !FEnabled) Params.Style |= win::WS_DISABLED;
    if (FTabStop) Params.Style |= win::WS_TABSTOP;
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    Params.WndParent = FParent ? FParent->Handle() : FParentWindow;
    Params.WindowClass.style = win::CS_VREDRAW | win::CS_HREDRAW | win::CS_DBLCLKS;
    Params.WindowClass.lpfnWndProc = &win::DefWindowProc;
    Params.WindowClass.hCursor = win::LoadCursor(nullptr, win::IDC_ARROW);
    Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ControlClassName) {
    win::WNDCLASS Class;
    if (!win::GetClassInfo(nullptr, ControlClassName, &Class)) return;
    Params.WindowClass.lpfnWndProc = Class.lpfnWndProc;
    Params.WindowClass.hCursor = Class.hCursor;
    Params.WindowClass.style =
        Class.style & ~(win::CS_OWNDC | win::CS_CLASSDC | win::CS_PARENTDC | win::CS_GLOBALCLASS);
}

void TWinControl::CreateWnd() {
    TCreateParams Params;
    CreateParams(Params);
    if (!Params.WndParent && (Params.Style & win::WS_CHILD))
        throw EInvalidOperation(SParentRequired, {Name()});
    FDefWndProc = Params.WindowClass.lpfnWndProc;
    win::WNDCLASS Registered;
    const char* ClassNameText = Params.WinClassName.c_str();
    const bool Known = win::GetClassInfo(Params.WindowClass.hInstance, ClassNameText, &Registered);
    if (!Known || Registered.lpfnWndProc != &WindowProcedures::ControlWndProc) {
        if (Known) win::UnregisterClass(ClassNameText, Params.WindowClass.hInstance);
        Params.WindowClass.lpfnWndProc = &WindowProcedures::ControlWndProc;
        Params.WindowClass.lpszClassName = ClassNameText;
        if (!win::RegisterClass(&Params.WindowClass)) throw EOutOfResources(SWindowClass);
    }
    t_CreationControl = this;
    try {
        CreateWindowHandle(Params);
    } catch (...) {
        t_CreationControl = nullptr;
        throw;
    }
    t_CreationControl = nullptr;
    if (!FHandle) throw EOutOfResources(SWindowCreate);
    if ((Params.Style & win::WS_CHILD) && win::GetWindowLongPtr(FHandle, win::GWL_ID) == 0)
        win::SetWindowLongPtr(FHandle, win::GWL_ID, reinterpret_cast<win::LONG_PTR>(FHandle));
    FText.clear();
    UpdateBounds();
    Perform(win::WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 1);
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    FHandle = win::CreateWindowEx(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(),
                                  Params.Style, Params.X, Params.Y, Params.Width, Params.Height,
                                  Params.WndParent, nullptr, Params.WindowClass.hInstance, Params.Param);
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    for (std::size_t I = 0; I < FWinControls.size(); ++I) FWinControls[I]->DestroyHandle();
    DestroyWnd();
}

void TWinControl::DestroyWnd() {
    FText = GetText();
    FreeDeviceContexts();
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
    const HWND Wnd = FHandle;
    FControlState.Include(csDestroyingHandle);
    // A window the thread cannot destroy (another thread's) is let go, and
    // so is one the window system is destroying already (the control is
    // deleted from one of its destruction messages): its remaining messages
    // must not find the control.
    if (!win::DestroyWindow(Wnd) || win::IsWindow(Wnd)) win::RemoveProp(Wnd, kControlProp);
    FControlState.Exclude(csDestroyingHandle);
    FHandle = nullptr;
    FShowing = false;
}

void TWinControl::RecreateWnd() {
    if (FHandle) Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::SetParentWindow(HWND Value) {
    if (FParent || FParentWindow == Value) return;
    if (FHandle && FParentWindow && Value) {
        FParentWindow = Value;
        win::SetParent(FHandle, Value);
    } else {
        DestroyHandle();
        FParentWindow = Value;
    }
    UpdateControlState();
}

HWND TWinControl::PrecedingWindow(TWinControl* Control) {
    auto It = std::find(FWinControls.begin(), FWinControls.end(), Control);
    if (It == FWinControls.end()) return win::HWND_TOP;
    for (++It; It != FWinControls.end(); ++It)
        if ((*It)->FHandle) return (*It)->FHandle;
    return win::HWND_TOP;
}

void TWinControl::UpdateBounds() {
    TRect R;
    if (!win::GetWindowRect(FHandle, &R)) return;
    if (win::GetWindowLongPtr(FHandle, win::GWL_STYLE) & win::WS_CHILD) {
        if (HWND ParentWnd = win::GetParent(FHandle)) {
            TPoint TopLeft{R.left, R.top};
            TPoint BottomRight{R.right, R.bottom};
            win::ScreenToClient(ParentWnd, &TopLeft);
            win::ScreenToClient(ParentWnd, &BottomRight);
            R = TRect{TopLeft.x, TopLeft.y, BottomRight.x, BottomRight.y};
        }
    }
    FLeft = R.left;
    FTop = R.top;
    FWidth = R.right - R.left;
    FHeight = R.bottom - R.top;
}

void TWinControl::UpdateControlState() {
    TWinControl* Control = this;
    while (Control->FParent) {
        Control = Control->FParent;
        if (!Control->FShowing) return;
    }
    if (dynamic_cast<TCustomForm*>(Control) || Control->FParentWindow) UpdateShowing();
}

void TWinControl::UpdateShowing() {
    const TComponentState State = ComponentState();
    const bool ShowControl =
        (FVisible || (State.Contains(csDesigning) && !FControlStyle.Contains(csNoDesignVisible))) &&
        !FControlState.Contains(csReadingState);
    TComponentGuard Guard(this);
    if (ShowControl) {
        if (!FHandle) CreateHandle();
        for (std::size_t I = 0; Guard.Alive() && I < FWinControls.size(); ++I)
            FWinControls[I]->UpdateShowing();
        if (!Guard.Alive()) return;
    }
    if (!FHandle || FShowing == ShowControl) return;
    FShowing = ShowControl;
    try {
        Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
        if (Guard.Alive()) FShowing = !ShowControl;
        throw;
    }
}

// --- Child controls ---

TControl* TWinControl::Controls(int Index) const {
    if (Index < 0 || Index >= ControlCount()) throw EListError(SListIndexError, {Index});
    const auto I = static_cast<std::size_t>(Index);
    if (I < FControls.size()) return FControls[I];
    return FWinControls[I - FControls.size()];
}

void TWinControl::Insert(TControl* AControl) {
    if (auto* Win = dynamic_cast<TWinControl*>(AControl)) {
        FWinControls.push_back(Win);
        FTabList.push_back(Win);
    } else {
        FControls.push_back(AControl);
    }
    AControl->FParent = this;
}

void TWinControl::Remove(TControl* AControl) {
    EraseValue(FTabList, AControl);
    EraseValue(FWinControls, AControl);
    EraseValue(FControls, AControl);
    AControl->FParent = nullptr;
}

void TWinControl::InsertControl(TControl* AControl) {
    if (!AControl) return;
    Insert(AControl);
    if (AControl->ComponentState().Contains(csReading)) return;
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    if (auto* Win = dynamic_cast<TWinControl*>(AControl)) {
        Win->UpdateControlState();
    } else if (HandleAllocated()) {
        AControl->Invalidate();
    }
    AlignControl(AControl);
}

void TWinControl::RemoveControl(TControl* AControl) {
    // Found by address: the control may be half destroyed already.
    auto It = std::find_if(FWinControls.begin(), FWinControls.end(),
                           [AControl](TWinControl* W) { return static_cast<TControl*>(W) == AControl; });
    if (It != FWinControls.end()) {
        TWinControl* Win = *It;
        Win->RemoveFocus(true);
        Win->DestroyHandle();
    } else if (HandleAllocated()) {
        AControl->InvalidateControl(AControl->FVisible, false);
    }
    Remove(AControl);
    Realign();
}

bool TWinControl::ContainsControl(TControl* Control) const {
    while (Control && Control != this) Control = Control->FParent;
    return Control != nullptr;
}

TControl* TWinControl::ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls) {
    const auto Hit = [&](TControl* C) {
        const TPoint P{Pos.x - C->FLeft, Pos.y - C->FTop};
        if (const TRect R{0, 0, C->FWidth, C->FHeight}; !gfx::PtInRect(&R, P)) return false;
        if (C->ComponentState().Contains(csDesigning))
            return C->FVisible || !C->FControlStyle.Contains(csNoDesignVisible);
        return C->FVisible && (C->FEnabled || AllowDisabled) &&
               C->Perform(CM_HITTEST, 0, win::PointToLParam(P)) != 0;
    };
    if (AllowWinControls)
        for (auto It = FWinControls.rbegin(); It != FWinControls.rend(); ++It)
            if (Hit(*It)) return *It;
    for (auto It = FControls.rbegin(); It != FControls.rend(); ++It)
        if (Hit(*It)) return *It;
    return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
    TComponentGuard Guard(this);
    for (int I = 0; Guard.Alive() && I < ControlCount(); ++I) {
        const TWndMethod Proc = Controls(I)->FWindowProc;
        Proc(Message);
        if (Message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT Msg) {
    TMessage Message{Msg, 0, 0, 0};
    Broadcast(Message);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
    TControl* Control = nullptr;
    if (FHandle && win::GetCapture() == FHandle) {
        TControl* Captured = detail::CaptureControl();
        if (Captured && Captured->FParent == this) Control = Captured;
    } else {
        Control = ControlAtPos(TWMMouse{Message}.Pos(), false);
    }
    if (!Control) return false;
    const TWMMouse M{Message};
    const TPoint P{M.XPos() - Control->FLeft, M.YPos() - Control->FTop};
    Message.Result = Control->Perform(Message.Msg, Message.WParam, win::PointToLParam(P));
    return true;
}

// --- Alignment ---

void TWinControl::DisableAlign() {
    ++FAlignLevel;
}

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0) --FAlignLevel;
    if (FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
}

void TWinControl::Realign() {
    AlignControl(nullptr);
}

void TWinControl::AlignControl(TControl* AControl) {
    if (!FHandle || ComponentState().Contains(csDestroying)) return;
    if (FAlignLevel != 0) {
        FControlState.Include(csAlignmentNeeded);
        return;
    }
    DisableAlign();
    TComponentGuard Guard(this);
    try {
        TRect Rect = ClientRect();
        AlignControls(AControl, Rect);
    } catch (...) {
        if (Guard.Alive()) {
            FControlState.Exclude(csAlignmentNeeded);
            EnableAlign();
        }
        throw;
    }
    if (!Guard.Alive()) return;
    // What the children asked for meanwhile is done.
    FControlState.Exclude(csAlignmentNeeded);
    EnableAlign();
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
    const auto Shows = [](TControl* C) {
        return C->FVisible ||
               (C->ComponentState().Contains(csDesigning) && !C->FControlStyle.Contains(csNoDesignVisible));
    };
    const auto InsertBefore = [](TControl* C1, TControl* C2, TAlign A) {
        switch (A) {
            case alTop:
                return C1->FTop < C2->FTop;
            case alBottom:
                return C1->FTop + C1->FHeight >= C2->FTop + C2->FHeight;
            case alLeft:
                return C1->FLeft < C2->FLeft;
            case alRight:
                return C1->FLeft + C1->FWidth >= C2->FLeft + C2->FWidth;
            default:
                return false;
        }
    };
    const auto DoPosition = [&Rect](TControl* Control, TAlign A) {
        int NewWidth = Rect.right - Rect.left;
        if (NewWidth < 0 || A == alLeft || A == alRight) NewWidth = Control->FWidth;
        int NewHeight = Rect.bottom - Rect.top;
        if (NewHeight < 0 || A == alTop || A == alBottom) NewHeight = Control->FHeight;
        int NewLeft = Rect.left;
        int NewTop = Rect.top;
        switch (A) {
            case alTop:
                Rect.top += NewHeight;
                break;
            case alBottom:
                Rect.bottom -= NewHeight;
                NewTop = Rect.bottom;
                break;
            case alLeft:
                Rect.left += NewWidth;
                break;
            case alRight:
                Rect.right -= NewWidth;
                NewLeft = Rect.right;
                break;
            default:
                break;
        }
        Control->SetBounds(NewLeft, NewTop, NewWidth, NewHeight);
        // A control that refused the size keeps the space it took.
        switch (A) {
            case alTop:
                Rect.top -= NewHeight - Control->FHeight;
                break;
            case alBottom:
                Rect.bottom += NewHeight - Control->FHeight;
                break;
            case alLeft:
                Rect.left -= NewWidth - Control->FWidth;
                break;
            case alRight:
                Rect.right += NewWidth - Control->FWidth;
                break;
            case alClient:
                Rect.right += NewWidth - Control->FWidth;
                Rect.bottom += NewHeight - Control->FHeight;
                break;
            default:
                break;
        }
    };
    const bool Work =
        std::any_of(FControls.begin(), FControls.end(), [](TControl* C) { return C->FAlign != alNone; }) ||
        std::any_of(FWinControls.begin(), FWinControls.end(),
                    [](TWinControl* C) { return C->FAlign != alNone; });
    if (!Work) return;
    AdjustClientRect(Rect);
    std::vector<TControl*> AlignList;
    TComponentGuard Guard(this);
    for (TAlign A : {alTop, alBottom, alLeft, alRight, alClient}) {
        AlignList.clear();
        if (AControl && AControl->FAlign == A && Shows(AControl)) AlignList.push_back(AControl);
        for (int I = 0; I < ControlCount(); ++I) {
            TControl* Control = Controls(I);
            if (Control == AControl || Control->FAlign != A || !Shows(Control)) continue;
            std::size_t J = 0;
            while (J < AlignList.size() && !InsertBefore(Control, AlignList[J], A)) ++J;
            AlignList.insert(AlignList.begin() + static_cast<std::ptrdiff_t>(J), Control);
        }
        for (TControl* Control : AlignList) {
            DoPosition(Control, A);
            if (!Guard.Alive()) return;
        }
    }
}

// --- Focus and tab order ---

void TWinControl::SetTabStop(bool Value) {
    if (FTabStop == Value) return;
    FTabStop = Value;
    if (!FHandle) return;
    win::LONG_PTR Style = win::GetWindowLongPtr(FHandle, win::GWL_STYLE);
    Style = Value ? (Style | win::WS_TABSTOP) : (Style & ~static_cast<win::LONG_PTR>(win::WS_TABSTOP));
    win::SetWindowLongPtr(FHandle, win::GWL_STYLE, Style);
}

int TWinControl::TabOrder() const {
    if (!FParent) return -1;
    const auto& List = FParent->FTabList;
    auto It = std::find(List.begin(), List.end(), this);
    return It == List.end() ? -1 : static_cast<int>(It - List.begin());
}

void TWinControl::SetTabOrder(int Value) {
    const int Current = TabOrder();
    if (Current < 0) return;
    auto& List = FParent->FTabList;
    Value = std::clamp(Value, 0, static_cast<int>(List.size()) - 1);
    if (Value == Current) return;
    List.erase(List.begin() + Current);
    List.insert(List.begin() + Value, this);
}

bool TWinControl::CanFocus() {
    TCustomForm* Form = GetParentForm(this);
    if (!Form) return false;
    for (TControl* Control = this; Control != Form; Control = Control->FParent)
        if (!Control->FVisible || !Control->FEnabled) return false;
    return true;
}

bool TWinControl::Focused() {
    return FHandle && win::GetFocus() == FHandle;
}

void TWinControl::SetFocus() {
    if (TCustomForm* Form = GetParentForm(this)) {
        Form->FocusControl(this);
    } else if (FParentWindow) {
        win::SetFocus(Handle());
    } else {
        ValidParentForm(this);
    }
}

void TWinControl::RemoveFocus(bool Removing) {
    if (TCustomForm* Form = GetParentForm(this)) Form->DefocusControl(this, Removing);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
    for (TWinControl* Control : FTabList) {
        List.push_back(Control);
        Control->GetTabOrderList(List);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
    std::vector<TWinControl*> List;
    GetTabOrderList(List);
    if (List.empty()) return nullptr;
    const int Count = static_cast<int>(List.size());
    auto Found = std::find(List.begin(), List.end(), CurControl);
    int StartIndex =
        Found == List.end() ? (GoForward ? Count - 1 : 0) : static_cast<int>(Found - List.begin());
    int I = StartIndex;
    do {
        I = GoForward ? (I + 1) % Count : (I + Count - 1) % Count;
        TWinControl* C = List[static_cast<std::size_t>(I)];
        if (C->CanFocus() && (!CheckTabStop || C->FTabStop) && (!CheckParent || C->FParent == this)) return C;
    } while (I != StartIndex);
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    if (TWinControl* Next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop))
        Next->SetFocus();
}

// --- Painting ---

void TWinControl::Invalidate() {
    if (FHandle) win::InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
    if (FHandle) win::UpdateWindow(FHandle);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::PaintWindow(gfx::HDC DC) {
    // The default procedure paints nothing and would only begin a second paint.
    if (!FDefWndProc || FDefWndProc == &win::DefWindowProc) return;
    TMessage Message{win::WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
    DefaultHandler(Message);
}

void TWinControl::PaintHandler(TMessage& Message) {
    gfx::HDC DC = TWMPaint{Message}.DC();
    win::PAINTSTRUCT PS;
    if (!DC) DC = win::BeginPaint(FHandle, &PS);
    const HWND Wnd = FHandle;
    TComponentGuard Guard(this);
    struct EndPaintOnExit {
        HWND Wnd;
        win::PAINTSTRUCT& PS;
        bool Own;
        ~EndPaintOnExit() {
            if (Own) win::EndPaint(Wnd, &PS);
        }
    } Finish{Wnd, PS, TWMPaint{Message}.DC() == nullptr};
    if (FControls.empty()) {
        PaintWindow(DC);
    } else {
        const int Saved = gfx::SaveDC(DC);
        int Clip = gfx::SIMPLEREGION;
        for (TControl* C : FControls) {
            const bool Shows = C->FVisible || (C->ComponentState().Contains(csDesigning) &&
                                               !C->FControlStyle.Contains(csNoDesignVisible));
            if (Shows && C->FControlStyle.Contains(csOpaque)) {
                Clip =
                    gfx::ExcludeClipRect(DC, C->FLeft, C->FTop, C->FLeft + C->FWidth, C->FTop + C->FHeight);
                if (Clip == gfx::NULLREGION) break;
            }
        }
        if (Clip != gfx::NULLREGION) PaintWindow(DC);
        gfx::RestoreDC(DC, Saved);
    }
    if (Guard.Alive()) PaintControls(DC, nullptr);
}

void TWinControl::PaintControls(gfx::HDC DC, TControl* First) {
    std::size_t I = 0;
    if (First) {
        auto It = std::find(FControls.begin(), FControls.end(), First);
        if (It != FControls.end()) I = static_cast<std::size_t>(It - FControls.begin());
    }
    TComponentGuard Guard(this);
    for (; Guard.Alive() && I < FControls.size(); ++I) {
        TControl* C = FControls[I];
        const bool Shows = C->FVisible || (C->ComponentState().Contains(csDesigning) &&
                                           !C->FControlStyle.Contains(csNoDesignVisible));
        const TRect Bounds = C->BoundsRect();
        if (!Shows || !gfx::RectVisible(DC, &Bounds)) continue;
        if (FControlState.Contains(csPaintCopy)) C->FControlState.Include(csPaintCopy);
        const int Saved = gfx::SaveDC(DC);
        gfx::OffsetWindowOrgEx(DC, -C->FLeft, -C->FTop, nullptr);
        gfx::IntersectClipRect(DC, 0, 0, C->FWidth, C->FHeight);
        TComponentGuard ChildGuard(C);
        C->Perform(win::WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        gfx::RestoreDC(DC, Saved);
        if (ChildGuard.Alive()) C->FControlState.Exclude(csPaintCopy);
    }
}

void TWinControl::PaintTo(gfx::HDC DC, int X, int Y) {
    TComponentGuard Guard(this);
    FControlState.Include(csPaintCopy);
    const int Saved = gfx::SaveDC(DC);
    gfx::OffsetWindowOrgEx(DC, -X, -Y, nullptr);
    gfx::IntersectClipRect(DC, 0, 0, FWidth, FHeight);
    const HWND Wnd = Handle();
    UINT EdgeFlags = 0;
    UINT BorderFlags = 0;
    if (win::GetWindowLongPtr(Wnd, win::GWL_EXSTYLE) & win::WS_EX_CLIENTEDGE) {
        EdgeFlags = gfx::EDGE_SUNKEN;
        BorderFlags = gfx::BF_RECT | gfx::BF_ADJUST;
    } else if (win::GetWindowLongPtr(Wnd, win::GWL_STYLE) & win::WS_BORDER) {
        EdgeFlags = gfx::BDR_OUTER;
        BorderFlags = gfx::BF_RECT | gfx::BF_ADJUST | gfx::BF_MONO;
    }
    if (BorderFlags) {
        TRect R{0, 0, FWidth, FHeight};
        gfx::DrawEdge(DC, &R, EdgeFlags, BorderFlags);
        gfx::OffsetWindowOrgEx(DC, -R.left, -R.top, nullptr);
        gfx::IntersectClipRect(DC, 0, 0, R.right - R.left, R.bottom - R.top);
    }
    Perform(win::WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    if (Guard.Alive()) Perform(win::WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    for (std::size_t I = 0; Guard.Alive() && I < FWinControls.size(); ++I)
        if (FWinControls[I]->FVisible)
            FWinControls[I]->PaintTo(DC, FWinControls[I]->FLeft, FWinControls[I]->FTop);
    gfx::RestoreDC(DC, Saved);
    if (Guard.Alive()) FControlState.Exclude(csPaintCopy);
}

TRect TWinControl::ClientRect() {
    TRect R{};
    win::GetClientRect(Handle(), &R);
    return R;
}

TPoint TWinControl::ClientOrigin() {
    TPoint P{0, 0};
    win::ClientToScreen(Handle(), &P);
    return P;
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    if (FHandle && !win::IsIconic(FHandle)) {
        win::SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight,
                          win::SWP_NOZORDER | win::SWP_NOACTIVATE);
    } else {
        FLeft = ALeft;
        FTop = ATop;
        FWidth = AWidth;
        FHeight = AHeight;
    }
    RequestAlign();
}

gfx::HDC TWinControl::GetDeviceContext(HWND& WindowHandle) {
    gfx::HDC DC = win::GetDC(Handle());
    if (!DC) throw EOutOfResources(SWindowDCError);
    WindowHandle = FHandle;
    return DC;
}

void TWinControl::SetZOrder(bool TopMost) {
    if (FParent) {
        auto& List = FParent->FWinControls;
        auto It = std::find(List.begin(), List.end(), this);
        if (It != List.end()) {
            List.erase(It);
            if (TopMost) {
                List.push_back(this);
            } else {
                List.insert(List.begin(), this);
            }
        }
    }
    if (FHandle)
        win::SetWindowPos(FHandle, TopMost ? win::HWND_TOP : win::HWND_BOTTOM, 0, 0, 0, 0,
                          win::SWP_NOMOVE | win::SWP_NOSIZE);
}

// --- Keys ---

void TWinControl::KeyDown(win::WORD& Key, TShiftState Shift) {
    FOnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(win::WORD& Key, TShiftState Shift) {
    FOnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char32_t& Key) {
    FOnKeyPress(this, Key);
}

bool TWinControl::DoKey(TMessage& Message, bool (TWinControl::*Preview)(TMessage&),
                        void (TWinControl::*Handler)(win::WORD&, TShiftState)) {
    TComponentGuard Guard(this);
    TCustomForm* Form = GetParentForm(this);
    if (Form && Form != this && Form->KeyPreview() && (static_cast<TWinControl*>(Form)->*Preview)(Message))
        return true;
    if (!Guard.Alive()) return true;
    if (FControlStyle.Contains(csNoStdEvents)) return false;
    TWMKey Key{Message};
    win::WORD Code = Key.CharCode();
    (this->*Handler)(Code, KeyDataToShiftState(Key.KeyData()));
    if (!Guard.Alive()) return true;
    Key.SetCharCode(Code);
    return Code == 0;
}

bool TWinControl::DoKeyDown(TMessage& Message) {
    return DoKey(Message, &TWinControl::DoKeyDown, &TWinControl::KeyDown);
}

bool TWinControl::DoKeyUp(TMessage& Message) {
    return DoKey(Message, &TWinControl::DoKeyUp, &TWinControl::KeyUp);
}

bool TWinControl::DoKeyPress(TMessage& Message) {
    TComponentGuard Guard(this);
    TCustomForm* Form = GetParentForm(this);
    if (Form && Form != this && Form->KeyPreview() && static_cast<TWinControl*>(Form)->DoKeyPress(Message))
        return true;
    if (!Guard.Alive()) return true;
    if (FControlStyle.Contains(csNoStdEvents)) return false;
    TWMChar Char{Message};
    char32_t Code = Char.CharCode();
    KeyPress(Code);
    if (!Guard.Alive()) return true;
    Char.SetCharCode(Code);
    return Code == 0;
}

void TWinControl::WMKeyDown(TMessage& Message) {
    if (!DoKeyDown(Message)) inherited::Dispatch(Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
    if (!DoKeyUp(Message)) inherited::Dispatch(Message);
}

void TWinControl::WMChar(TMessage& Message) {
    if (!DoKeyPress(Message)) inherited::Dispatch(Message);
}

void TWinControl::CNKeyDown(TMessage& Message) {
    Message.Result = 1;
    if (!ComponentState().Contains(csDesigning)) {
        const TWMKey Key{Message};
        LRESULT Mask = 0;
        switch (Key.CharCode()) {
            case win::VK_TAB:
                Mask = DLGC_WANTTAB;
                break;
            case win::VK_LEFT:
            case win::VK_RIGHT:
            case win::VK_UP:
            case win::VK_DOWN:
                Mask = DLGC_WANTARROWS;
                break;
            case win::VK_RETURN:
            case kVkExecute:
            case win::VK_ESCAPE:
            case win::VK_CANCEL:
                Mask = DLGC_WANTALLKEYS;
                break;
            default:
                break;
        }
        if (Mask != 0) {
            TComponentGuard Guard(this);
            if (Perform(CM_WANTSPECIALKEY, Key.CharCode(), Key.KeyData()) != 0 || !Guard.Alive()) {
                if (Guard.Alive()) Message.Result = 0;
                return;
            }
            if ((Perform(win::WM_GETDLGCODE, 0, 0) & Mask) == 0 && Guard.Alive()) {
                TCustomForm* Form = GetParentForm(this);
                if (Form && Form->Perform(CM_DIALOGKEY, Key.CharCode(), Key.KeyData()) != 0) return;
            }
            if (!Guard.Alive()) return;
        }
    }
    Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message) {
    Message.Result = 1;
    if (!ComponentState().Contains(csDesigning)) {
        TComponentGuard Guard(this);
        if ((Perform(win::WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0 && Guard.Alive()) {
            TCustomForm* Form = GetParentForm(this);
            if (Form && Form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) return;
        }
        if (!Guard.Alive()) return;
    }
    Message.Result = 0;
}

bool TWinControl::DoControlMsg(HWND ControlHandle, TMessage& Message) {
    TWinControl* Control = FindControl(ControlHandle);
    if (!Control || Control == this) return false;
    Message.Result = Control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    return true;
}

void TWinControl::CNCtlColor(TMessage& Message) {
    const auto DC = reinterpret_cast<gfx::HDC>(Message.WParam);
    gfx::SetTextColor(DC, ColorToRGB(FFont->Color()));
    gfx::SetBkColor(DC, ColorToRGB(FBrush->Color()));
    Message.Result = reinterpret_cast<LRESULT>(FBrush->Handle());
}

// --- Window messages ---

void TWinControl::WMPaint(TMessage& Message) {
    if (!FControlState.Contains(csCustomPaint) && FControls.empty()) {
        inherited::Dispatch(Message);
    } else {
        PaintHandler(Message);
    }
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
    const TRect R = ClientRect();
    gfx::FillRect(reinterpret_cast<gfx::HDC>(Message.WParam), &R, FBrush->Handle());
    Message.Result = 1;
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
    if (!FControlState.Contains(csDestroyingHandle)) UpdateBounds();
    inherited::Dispatch(Message);
}

void TWinControl::WMSize(TMessage& Message) {
    UpdateBounds();
    TComponentGuard Guard(this);
    inherited::Dispatch(Message);
    if (!Guard.Alive()) return;
    Realign();
    if (Guard.Alive() && !ComponentState().Contains(csLoading)) Resize();
}

void TWinControl::WMSetCursor(TMessage& Message) {
    const TWMSetCursor M{Message};
    if (M.CursorWnd() == FHandle && M.HitTest() == win::HTCLIENT) {
        TScreen* S = Screen;
        TCursor Cursor = S->Cursor();
        if (Cursor == crDefault) {
            TPoint P;
            win::GetCursorPos(&P);
            if (TControl* Control = ControlAtPos(ScreenToClient(P), false))
                Cursor = Control->ComponentState().Contains(csDesigning) ? crArrow : Control->FCursor;
            if (Cursor == crDefault) Cursor = ComponentState().Contains(csDesigning) ? crArrow : FCursor;
        }
        if (Cursor != crDefault) {
            win::SetCursor(S->Cursors(Cursor));
            Message.Result = 1;
            return;
        }
    }
    inherited::Dispatch(Message);
}

void TWinControl::WMNCDestroy(TMessage& Message) {
    const HWND Wnd = FHandle;
    inherited::Dispatch(Message);
    if (Wnd) win::RemoveProp(Wnd, kControlProp);
    if (FHandle == Wnd) {
        FHandle = nullptr;
        FShowing = false;
    }
}

void TWinControl::WMSysColorChange(TMessage& Message) {
    TComponentGuard Guard(this);
    Perform(CM_SYSCOLORCHANGE, 0, 0);
    if (Guard.Alive()) inherited::Dispatch(Message);
}

// A graphic control under the point has the first say.
void TWinControl::WMContextMenu(TMessage& Message) {
    if (Message.Result != 0) return;
    const TWMContextMenu M{Message};
    if (!M.ByKeyboard() && FHandle) {
        if (TControl* Control = ControlAtPos(ScreenToClient(M.Pos()), false)) {
            TComponentGuard Guard(this);
            Message.Result = Control->Perform(win::WM_CONTEXTMENU, Message.WParam, Message.LParam);
            if (!Guard.Alive() || Message.Result != 0) return;
        }
    }
    TControl::WMContextMenu(Message);
}

// --- Notifications ---

void TWinControl::CMRecreateWnd(TMessage&) {
    const bool WasFocused = Focused();
    FControlState.Include(csRecreating);
    TComponentGuard Guard(this);
    DestroyHandle();
    UpdateControlState();
    if (!Guard.Alive()) return;
    FControlState.Exclude(csRecreating);
    if (WasFocused && FHandle) win::SetFocus(FHandle);
}

void TWinControl::CMShowingChanged(TMessage&) {
    constexpr UINT Flags = win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE;
    win::SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                      Flags | (FShowing ? win::SWP_SHOWWINDOW : win::SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage&) {
    if (!FVisible && FParent) RemoveFocus(false);
    if (!ComponentState().Contains(csDesigning) || FControlStyle.Contains(csNoDesignVisible))
        UpdateControlState();
}

void TWinControl::CMEnabledChanged(TMessage&) {
    if (!FEnabled && FParent) RemoveFocus(false);
    if (FHandle && !ComponentState().Contains(csDesigning)) win::EnableWindow(FHandle, FEnabled);
}

void TWinControl::CMColorChanged(TMessage& Message) {
    inherited::Dispatch(Message);
    FBrush->SetColor(FColor);
    NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& Message) {
    inherited::Dispatch(Message);
    if (FHandle) Perform(win::WM_SETFONT, reinterpret_cast<WPARAM>(FFont->Handle()), 0);
    NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMShowHintChanged(TMessage&) {
    NotifyControls(CM_PARENTSHOWHINTCHANGED);
}

// --- Streaming ---

void TWinControl::GetPublishedProperties(TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    AList.Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false);
    AList.Event("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::SetOnKeyDown);
    AList.Event("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::SetOnKeyPress);
    AList.Event("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::SetOnKeyUp);
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (int I = 0; I < ControlCount(); ++I) {
        TControl* Control = Controls(I);
        if (Control->Owner() == Root) Proc(Control);
    }
}

void TWinControl::ReadState(TReader* Reader) {
    DisableAlign();
    TComponentGuard Guard(this);
    try {
        inherited::ReadState(Reader);
    } catch (...) {
        if (Guard.Alive()) EnableAlign();
        throw;
    }
    if (Guard.Alive()) EnableAlign();
}

} // namespace cls
