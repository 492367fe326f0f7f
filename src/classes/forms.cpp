#include "classes/forms.h"

#include "classes/dialogs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "classes/exceptions.h"
#include "classes/filer.h"
#include "classes/formstream.h"
// For WouldWaitForever, which the waiting calls throw under a test clock.
#include "win/user.h"

namespace cls {

using win::HWND;
using win::LPARAM;
using win::UINT;
using win::WPARAM;

namespace {

constexpr const char* kApplicationProp = "TrestleApplication";
constexpr const char* kApplicationClassName = "TApplication";

TApplication* g_Application = nullptr;
TScreen* g_Screen = nullptr;
// Counts focus changes, so that a focus message can tell whether the focus
// moved on while it was handled.
thread_local int t_FocusCount = 0;

// The other visible, enabled top-level windows of the thread are disabled
// while a modal form or a message box runs.
std::vector<HWND> DisableTaskWindows(HWND Except) {
    std::vector<HWND> Disabled;
    const win::DWORD Thread = win::GetCurrentThreadId();
    for (HWND Wnd : win::GetTopLevelWindows()) {
        if (Wnd == Except || win::GetWindowThreadProcessId(Wnd, nullptr) != Thread) continue;
        if (!win::IsWindowVisible(Wnd) || !win::IsWindowEnabled(Wnd)) continue;
        Disabled.push_back(Wnd);
        win::EnableWindow(Wnd, win::FALSE);
    }
    return Disabled;
}

void EnableTaskWindows(const std::vector<HWND>& Windows) {
    for (HWND Wnd : Windows)
        if (win::IsWindow(Wnd)) win::EnableWindow(Wnd, win::TRUE);
}

std::string ProgramTitle() {
    std::error_code Error;
    const std::filesystem::path Exe = std::filesystem::read_symlink("/proc/self/exe", Error);
    return Error ? std::string() : Exe.stem().string();
}

void TraverseClients(TWinControl* Container) {
    if (!Container->Showing()) return;
    TComponentGuard Guard(Container);
    for (int I = 0; Guard.Alive() && I < Container->ControlCount(); ++I) {
        TControl* Control = Container->Controls(I);
        if (Control->ControlStyle().Contains(csActionClient) && Control->Visible()) {
            TComponentGuard ControlGuard(Control);
            Control->InitiateAction();
            if (!ControlGuard.Alive()) continue;
        }
        if (auto* Win = dynamic_cast<TWinControl*>(Control)) TraverseClients(Win);
    }
}

} // namespace

// ============================================================================
// The globals
// ============================================================================

TApplication* TApplicationRef::Get() {
    if (!g_Application) g_Application = new TApplication(nullptr);
    return g_Application;
}

TScreen* TScreenRef::Get() {
    if (!g_Screen) g_Screen = new TScreen(nullptr);
    return g_Screen;
}

TApplication* ApplicationIfExists() {
    return g_Application;
}

TScreen* ScreenIfExists() {
    return g_Screen;
}

void DoneApplication() {
    if (g_Application) {
        // The pointer stays set while the forms go, so that they find the application.
        delete g_Application;
        g_Application = nullptr;
    }
    if (g_Screen) {
        TScreen* S = g_Screen;
        g_Screen = nullptr;
        delete S;
    }
}

TCustomForm* GetParentForm(TControl* Control) {
    while (Control && Control->Parent()) Control = Control->Parent();
    return dynamic_cast<TCustomForm*>(Control);
}

TCustomForm* ValidParentForm(TControl* Control) {
    TCustomForm* Form = GetParentForm(Control);
    if (!Form) throw EInvalidOperation(SParentRequired, {Control ? Control->Name() : std::string()});
    return Form;
}

// ============================================================================
// TCustomForm
// ============================================================================

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle =
        TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FVisible = false;
    FWidth = 320;
    FHeight = 240;
    FParentFont = false;
    SetColor(clBtnFace);
    Screen->AddForm(this);
}

TForm::TForm(TComponent* AOwner) : TCustomForm(AOwner) {
    FIsForm = true;
    Screen->FForms.push_back(this);
}

TCustomForm::~TCustomForm() {
    if (TScreen* S = ScreenIfExists()) S->RemoveForm(this);
    if (TApplication* App = ApplicationIfExists(); App && App->FMainForm == this) App->FMainForm = nullptr;
}

void TCustomForm::AfterConstruction() {
    inherited::AfterConstruction();
    FFormState.Include(fsCreating);
    try {
        InitInheritedComponent(this, TForm::ClassInfo());
    } catch (...) {
        FFormState.Exclude(fsCreating);
        throw;
    }
    FFormState.Exclude(fsCreating);
    DoCreate();
}

void TCustomForm::GetPublishedProperties(TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    static constexpr const char* BorderIcons[] = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
    static constexpr const char* BorderStyles[] = {"bsNone",   "bsSingle",     "bsSizeable",
                                                   "bsDialog", "bsToolWindow", "bsSizeToolWin"};
    static constexpr const char* FormStyles[] = {"fsNormal", "fsStayOnTop"};
    static constexpr const char* Positions[] = {"poDesigned",        "poDefault",        "poDefaultPosOnly",
                                                "poDefaultSizeOnly", "poScreenCenter",   "poDesktopCenter",
                                                "poMainFormCenter",  "poOwnerFormCenter"};
    static constexpr const char* WindowStates[] = {"wsNormal", "wsMinimized", "wsMaximized"};
    AList.Integer("Width", &TCustomForm::Width, &TCustomForm::SetWidth).NotStored();
    AList.Integer("Height", &TCustomForm::Height, &TCustomForm::SetHeight).NotStored();
    AList.Color("Color", &TCustomForm::Color, &TCustomForm::SetColor, clBtnFace);
    AList.Boolean("ParentColor", &TCustomForm::ParentColor, &TCustomForm::SetParentColor, false);
    AList.Boolean("ParentFont", &TCustomForm::ParentFont, &TCustomForm::SetParentFont, false);
    AList.Boolean("Visible", &TCustomForm::Visible, &TCustomForm::SetVisible, false);
    AList.Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons, BorderIcons,
              TBorderIcons{biSystemMenu, biMinimize, biMaximize}.Bits());
    AList.Enum("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle, BorderStyles,
               bsSizeable);
    AList.Integer("ClientHeight", &TCustomForm::ClientHeight, &TCustomForm::SetClientHeight);
    AList.Integer("ClientWidth", &TCustomForm::ClientWidth, &TCustomForm::SetClientWidth);
    AList.Enum("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle, FormStyles, fsNormal);
    AList.Boolean("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview, false);
    AList.Enum("Position", &TCustomForm::Position, &TCustomForm::SetPosition, Positions, poDesigned);
    AList.Enum("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState, WindowStates,
               wsNormal);
    AList.Event("OnActivate", &TCustomForm::OnActivate, &TCustomForm::SetOnActivate);
    AList.Event("OnClose", &TCustomForm::OnClose, &TCustomForm::SetOnClose);
    AList.Event("OnCloseQuery", &TCustomForm::OnCloseQuery, &TCustomForm::SetOnCloseQuery);
    AList.Event("OnCreate", &TCustomForm::OnCreate, &TCustomForm::SetOnCreate);
    AList.Event("OnDeactivate", &TCustomForm::OnDeactivate, &TCustomForm::SetOnDeactivate);
    AList.Event("OnDestroy", &TCustomForm::OnDestroy, &TCustomForm::SetOnDestroy);
    AList.Event("OnHide", &TCustomForm::OnHide, &TCustomForm::SetOnHide);
    AList.Event("OnShow", &TCustomForm::OnShow, &TCustomForm::SetOnShow);
}

void TCustomForm::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    inherited::GetChildren(Proc, Root);
    if (Root != this) return;
    for (int I = 0; I < ComponentCount(); ++I) {
        TComponent* Component = Components(I);
        if (!Component->HasParent()) Proc(Component);
    }
}

void TCustomForm::BeforeDestruction() {
    inherited::BeforeDestruction();
    if (TScreen* S = ScreenIfExists()) S->RemoveForm(this);
    if (!FDestroyDone) {
        FDestroyDone = true;
        DoDestroy();
    }
    // The window goes while the object is still whole, as the original's form
    // destructor has it: hooks and handlers that see WM_DESTROY still find a
    // form with its components.
    if (HandleAllocated()) DestroyWindowHandle();
}

void TCustomForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case win::WM_ACTIVATE:
            WMActivate(Message);
            break;
        case win::WM_CLOSE:
            WMClose(Message);
            break;
        case win::WM_MDIACTIVATE:
            inherited::Dispatch(Message);
            // An MDI child is active while it is the frame's active child.
            if (FFormStyle == fsMDIChild && FHandle)
                SetActive(reinterpret_cast<HWND>(Message.LParam) == FHandle);
            break;
        case win::WM_SIZE:
            WMSize(Message);
            break;
        case CM_ACTIVATE:
            CMActivate(Message);
            break;
        case CM_DEACTIVATE:
            CMDeactivate(Message);
            break;
        case CM_SHOWINGCHANGED:
            CMShowingChanged(Message);
            break;
        case CM_RELEASE:
            CMRelease(Message);
            break;
        case CM_DIALOGKEY:
            CMDialogKey(Message);
            break;
        default:
            inherited::Dispatch(Message);
            break;
    }
}

void TCustomForm::CreateParams(TCreateParams& Params) {
    inherited::CreateParams(Params);
    if (!FParent && !FParentWindow) {
        Params.WndParent = Application->Handle();
        Params.Style &= ~(win::WS_CHILD | win::WS_GROUP | win::WS_TABSTOP);
    }
    Params.WindowClass.style = win::CS_DBLCLKS;
    if (ComponentState().Contains(csDesigning)) return;
    if (FPosition == poDefault || FPosition == poDefaultPosOnly) {
        Params.X = win::CW_USEDEFAULT;
        Params.Y = win::CW_USEDEFAULT;
    }
    if (FPosition == poDefault || FPosition == poDefaultSizeOnly) {
        Params.Width = win::CW_USEDEFAULT;
        Params.Height = win::CW_USEDEFAULT;
    }
    TBorderIcons Icons = FBorderIcons;
    const bool TopLevel = !FParent && !FParentWindow;
    switch (FBorderStyle) {
        case bsNone:
            if (TopLevel) Params.Style |= win::WS_POPUP;
            Icons = {};
            break;
        case bsSingle:
        case bsToolWindow:
            Params.Style |= win::WS_CAPTION | win::WS_BORDER;
            break;
        case bsSizeable:
        case bsSizeToolWin:
            Params.Style |= win::WS_CAPTION | win::WS_THICKFRAME;
            break;
        case bsDialog:
            Params.Style |= win::WS_POPUP | win::WS_CAPTION;
            Params.ExStyle = win::WS_EX_DLGMODALFRAME | win::WS_EX_WINDOWEDGE;
            Icons *= TBorderIcons{biSystemMenu, biHelp};
            Params.WindowClass.style = win::CS_DBLCLKS | win::CS_SAVEBITS;
            break;
    }
    if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) {
        Params.ExStyle = win::WS_EX_TOOLWINDOW;
        Icons *= TBorderIcons{biSystemMenu};
    }
    if (FBorderStyle == bsSingle || FBorderStyle == bsSizeable || FBorderStyle == bsNone) {
        if (Icons.Contains(biMinimize)) Params.Style |= win::WS_MINIMIZEBOX;
        if (Icons.Contains(biMaximize)) Params.Style |= win::WS_MAXIMIZEBOX;
        if (FWindowState == wsMinimized) Params.Style |= win::WS_MINIMIZE;
        if (FWindowState == wsMaximized) Params.Style |= win::WS_MAXIMIZE;
    } else {
        FWindowState = wsNormal;
    }
    if (Icons.Contains(biSystemMenu)) Params.Style |= win::WS_SYSMENU;
    if (FFormStyle == fsMDIChild) {
        TForm* Main = Application->MainForm();
        if (!Main || Main == this || Main->FormStyle() != fsMDIForm) throw EInvalidOperation(SNoMDIForm);
        Main->HandleNeeded();
        if (!Main->ClientHandle()) throw EInvalidOperation(SNoMDIForm);
        Params.WndParent = Main->ClientHandle();
        Params.Style = (Params.Style & ~win::WS_POPUP) | win::WS_CHILD | win::WS_CLIPSIBLINGS;
        Params.ExStyle |= win::WS_EX_MDICHILD;
    }
    if (Icons.Contains(biHelp) &&
        (FBorderStyle == bsDialog || (!Icons.Contains(biMinimize) && !Icons.Contains(biMaximize))))
        Params.ExStyle |= win::WS_EX_CONTEXTHELP;
    if (FFormStyle == fsStayOnTop) Params.ExStyle |= win::WS_EX_TOPMOST;
}

void TCustomForm::CreateWnd() {
    inherited::CreateWnd();
    if (FFormStyle != fsMDIForm || ComponentState().Contains(csDesigning)) return;
    win::CLIENTCREATESTRUCT Data;
    Data.idFirstChild = 0xFF00;
    const TRect R = ClientRect();
    FClientHandle = win::CreateWindowEx(
        win::WS_EX_CLIENTEDGE, "MDICLIENT", "",
        win::WS_CHILD | win::WS_VISIBLE | win::WS_CLIPCHILDREN | win::WS_GROUP | win::WS_TABSTOP, R.left,
        R.top, R.right - R.left, R.bottom - R.top, FHandle, nullptr, nullptr, &Data);
    if (!FClientHandle) throw EOutOfResources(SWindowCreate);
    Realign();
}

void TCustomForm::DestroyWnd() {
    FClientHandle = nullptr;
    inherited::DestroyWnd();
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect) {
    inherited::AlignControls(AControl, Rect);
    if (FClientHandle)
        win::SetWindowPos(FClientHandle, win::HWND_BOTTOM, Rect.left, Rect.top, Rect.right - Rect.left,
                          Rect.bottom - Rect.top, win::SWP_NOACTIVATE);
}

void TCustomForm::DefaultHandler(TMessage& Message) {
    if (FHandle && FClientHandle && Message.Msg != win::WM_SIZE) {
        Message.Result =
            win::DefFrameProc(FHandle, FClientHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    if (FHandle && FFormStyle == fsMDIChild && (FDefWndProc == &win::DefWindowProc || !FDefWndProc)) {
        Message.Result = win::DefMDIChildProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    inherited::DefaultHandler(Message);
}

TForm* TCustomForm::ActiveMDIChild() {
    if (!FClientHandle) return nullptr;
    const HWND Active = reinterpret_cast<HWND>(win::SendMessage(FClientHandle, win::WM_MDIGETACTIVE, 0, 0));
    return dynamic_cast<TForm*>(FindControl(Active));
}

int TCustomForm::MDIChildCount() {
    int Count = 0;
    if (FFormStyle != fsMDIForm) return 0;
    for (int I = 0; I < Screen->FormCount(); ++I)
        if (Screen->Forms(I)->FormStyle() == fsMDIChild) ++Count;
    return Count;
}

TForm* TCustomForm::MDIChildren(int I) {
    if (FFormStyle != fsMDIForm) return nullptr;
    for (int K = 0; K < Screen->FormCount(); ++K) {
        TForm* Form = Screen->Forms(K);
        if (Form->FormStyle() == fsMDIChild && I-- == 0) return Form;
    }
    return nullptr;
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove) {
        if (AComponent == FActiveControl) FActiveControl = nullptr;
        if (AComponent == FFocusedControl) FFocusedControl = nullptr;
    }
    if (FDesigner) FDesigner->Notification(AComponent, Operation);
}

// --- Showing and closing ---

void TCustomForm::Show() {
    TComponentGuard Guard(this);
    SetVisible(true);
    if (Guard.Alive()) BringToFront();
}

TModalResult TCustomForm::ShowModal() {
    if (FVisible || !FEnabled || FFormState.Contains(fsModal)) throw EInvalidOperation(SCannotShowModal);
    if (HWND Capture = win::GetCapture()) win::SendMessage(Capture, win::WM_CANCELMODE, 0, 0);
    win::ReleaseCapture();
    TApplication* App = Application;
    TScreen* S = Screen;
    const bool WasTerminated = App->FTerminate;
    FFormState.Include(fsModal);
    HWND ActiveWindow = win::GetActiveWindow();
    const int SaveFocusCount = t_FocusCount;
    S->FSaveFocusedList.insert(S->FSaveFocusedList.begin(), S->FFocusedForm);
    S->FFocusedForm = this;
    const TCursor SaveCursor = S->Cursor();
    S->SetCursor(crDefault);
    const int SaveCount = S->FCursorCount;
    const std::vector<HWND> Disabled = DisableTaskWindows(nullptr);
    TComponentGuard Guard(this);
    TModalResult Result = mrCancel;

    // Runs however the loop ends: the form goes, an exception leaves.
    struct Restore {
        TCustomForm* Form;
        TComponentGuard& Guard;
        TApplication* App;
        TScreen* S;
        TCursor SaveCursor;
        int SaveCount;
        const std::vector<HWND>& Disabled;
        HWND& ActiveWindow;
        int SaveFocusCount;
        bool WasTerminated;
        ~Restore() {
            // Nothing may leave a destructor; a failing OnHide is reported.
            try {
                if (Guard.Alive()) Form->Hide();
            } catch (...) {
                try {
                    Application->HandleException(Guard.Alive() ? Form : nullptr);
                } catch (...) {}
            }
            if (ScreenIfExists() == S) {
                S->SetCursor(S->FCursorCount == SaveCount ? SaveCursor : crDefault);
                if (!S->FSaveFocusedList.empty()) {
                    S->FFocusedForm = S->FSaveFocusedList.front();
                    S->FSaveFocusedList.erase(S->FSaveFocusedList.begin());
                } else {
                    S->FFocusedForm = nullptr;
                }
            }
            EnableTaskWindows(Disabled);
            if (ActiveWindow && win::IsWindow(ActiveWindow)) win::SetActiveWindow(ActiveWindow);
            t_FocusCount = SaveFocusCount;
            if (Guard.Alive()) Form->FFormState.Exclude(fsModal);
            // The quit request this loop took belongs to the loops outside.
            if (ApplicationIfExists() == App && !WasTerminated && App->FTerminate)
                win::PostQuitMessage(App->FQuitCode);
        }
    } Cleanup{this,         Guard,          App,          S, SaveCursor, SaveCount, Disabled,
              ActiveWindow, SaveFocusCount, WasTerminated};

    Show();
    if (!Guard.Alive()) return mrCancel;
    win::SendMessage(Handle(), CM_ACTIVATE, 0, 0);
    if (!Guard.Alive()) return mrCancel;
    FModalResult = mrNone;
    do {
        win::NameTheWait("the modal loop of the form \"" + Caption() + "\"", [App] { App->HandleMessage(); });
        if (!Guard.Alive()) return mrCancel;
        if (App->FTerminate) {
            FModalResult = mrCancel;
        } else if (FModalResult != mrNone) {
            CloseModal();
            if (!Guard.Alive()) return mrCancel;
        }
    } while (FModalResult == mrNone);
    Result = FModalResult;
    win::SendMessage(FHandle, CM_DEACTIVATE, 0, 0);
    if (Guard.Alive() && win::GetActiveWindow() != FHandle) ActiveWindow = nullptr;
    return Result;
}

void TCustomForm::CloseModal() {
    TComponentGuard Guard(this);
    try {
        TCloseAction CloseAction = caNone;
        if (CloseQuery()) {
            if (!Guard.Alive()) return;
            CloseAction = caHide;
            DoClose(CloseAction);
        }
        if (!Guard.Alive()) return;
        if (CloseAction == caNone) {
            FModalResult = mrNone;
        } else if (CloseAction == caFree) {
            Release();
        }
    } catch (...) {
        if (Guard.Alive()) FModalResult = mrNone;
        Application->HandleException(Guard.Alive() ? this : nullptr);
    }
}

void TCustomForm::Close() {
    if (FFormState.Contains(fsModal)) {
        FModalResult = mrCancel;
        return;
    }
    TComponentGuard Guard(this);
    if (!CloseQuery() || !Guard.Alive()) return;
    // An MDI child minimizes unless told otherwise: it cannot hide.
    TCloseAction CloseAction = caHide;
    if (FFormStyle == fsMDIChild) CloseAction = FBorderIcons.Contains(biMinimize) ? caMinimize : caNone;
    DoClose(CloseAction);
    if (!Guard.Alive() || CloseAction == caNone) return;
    TApplication* App = Application;
    if (App->MainForm() == this) {
        App->Terminate();
    } else if (CloseAction == caHide) {
        Hide();
    } else if (CloseAction == caMinimize) {
        SetWindowState(wsMinimized);
    } else {
        Release();
    }
}

bool TCustomForm::CloseQuery() {
    bool CanClose = true;
    FOnCloseQuery(this, CanClose);
    return CanClose;
}

void TCustomForm::Release() {
    if (HWND Wnd = Handle()) win::PostMessage(Wnd, CM_RELEASE, 0, 0);
}

void TCustomForm::SendCancelMode(TControl* Sender) {
    if (FActive && FActiveControl)
        FActiveControl->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
}

// --- Properties ---

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    if (!ComponentState().Contains(csDesigning)) RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
    if (FBorderIcons == Value) return;
    FBorderIcons = Value;
    if (!ComponentState().Contains(csDesigning)) RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
    if (FFormStyle == Value) return;
    const bool MDI =
        Value == fsMDIChild || Value == fsMDIForm || FFormStyle == fsMDIChild || FFormStyle == fsMDIForm;
    FFormStyle = Value;
    if (MDI) {
        RecreateWnd();
        return;
    }
    if (FHandle)
        win::SetWindowPos(FHandle, Value == fsStayOnTop ? win::HWND_TOPMOST : win::HWND_NOTOPMOST, 0, 0, 0, 0,
                          win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState Value) {
    static constexpr int ShowCommands[] = {win::SW_SHOWNORMAL, win::SW_MINIMIZE, win::SW_SHOWMAXIMIZED};
    if (FWindowState == Value) return;
    FWindowState = Value;
    if (!ComponentState().Contains(csDesigning) && FShowing) win::ShowWindow(FHandle, ShowCommands[Value]);
}

// --- Focus ---

void TCustomForm::SetActiveControl(TWinControl* Control) {
    if (FActiveControl == Control) return;
    if (Control && !(static_cast<TControl*>(Control) != this && GetParentForm(Control) == this &&
                     (ComponentState().Contains(csLoading) || Control->CanFocus())))
        throw EInvalidOperation(SCannotFocus);
    FActiveControl = Control;
    if (!ComponentState().Contains(csLoading) && FActive) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) {
    const bool WasActive = FActive;
    TComponentGuard Guard(this);
    SetActiveControl(Control);
    if (Guard.Alive() && !WasActive) SetFocus();
}

void TCustomForm::SetFocus() {
    if (FActive) return;
    if (!FVisible || !FEnabled) throw EInvalidOperation(SCannotFocus);
    SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
    if (ComponentState().Contains(csDestroying)) return;
    HWND Focus = (FActiveControl && !FDesigner) ? FActiveControl->Handle() : Handle();
    if (Focus) win::SetFocus(Focus);
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
    ++t_FocusCount;
    TScreen* S = Screen;
    if (!FDesigner) FActiveControl = static_cast<TControl*>(Control) != this ? Control : nullptr;
    S->FActiveControl = Control;
    S->FActiveCustomForm = this;
    auto MoveToFront = [this](std::vector<TCustomForm*>& List) {
        auto It = std::find(List.begin(), List.end(), this);
        if (It == List.end()) return;
        List.erase(It);
        List.insert(List.begin(), this);
    };
    MoveToFront(S->FCustomForms);
    if (FIsForm) {
        S->FActiveForm = this;
        MoveToFront(S->FForms);
    } else {
        S->FActiveForm = nullptr;
    }
    if (Control->FControlState.Contains(csFocusing)) return false;
    Control->FControlState.Include(csFocusing);
    TComponentGuard ControlGuard(Control);
    TComponentGuard Guard(this);
    // A focus message whose handler moved the focus on ends the change.
    const auto SendFocusMessage = [&](TWinControl* Target, UINT Msg) {
        const int Count = t_FocusCount;
        if (Target->HandleAllocated()) win::SendMessage(Target->FHandle, Msg, 0, 0);
        return Count == t_FocusCount && Guard.Alive() && ControlGuard.Alive();
    };
    bool Result = false;
    do {
        if (S->FFocusedForm != this) {
            if (TCustomForm* Old = S->FFocusedForm) {
                S->FFocusedForm = nullptr;
                if (!SendFocusMessage(Old, CM_DEACTIVATE)) break;
            }
            S->FFocusedForm = this;
            if (!SendFocusMessage(this, CM_ACTIVATE)) break;
        }
        FFocusedControl = Control;
        Result = true;
    } while (false);
    if (ControlGuard.Alive()) Control->FControlState.Exclude(csFocusing);
    if (Result && Guard.Alive()) Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
    return Result;
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
    if (Removing && FFocusedControl && Control->ContainsControl(FFocusedControl))
        FFocusedControl = Control->Parent();
    if (FActiveControl && Control->ContainsControl(FActiveControl)) {
        FActiveControl = nullptr;
        if (FActive) SetWindowFocus();
    }
}

void TCustomForm::SetActive(bool Value) {
    FActive = Value;
    if (!Value) return;
    if (!FActiveControl && !ComponentState().Contains(csDesigning))
        FActiveControl = FindNextControl(nullptr, true, true, false);
    SetWindowFocus();
}

void TCustomForm::UpdateActions() {
    if (ComponentState().Contains(csDesigning) || !FShowing) return;
    TComponentGuard Guard(this);
    InitiateAction();
    if (Guard.Alive()) TraverseClients(this);
}

// --- Events ---

void TCustomForm::Activate() {
    FOnActivate(this);
}

void TCustomForm::Deactivate() {
    FOnDeactivate(this);
}

void TCustomForm::DoCreate() {
    try {
        FOnCreate(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TCustomForm::DoDestroy() {
    try {
        FOnDestroy(this);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TCustomForm::DoShow() {
    FOnShow(this);
}

void TCustomForm::DoHide() {
    FOnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
    FOnClose(this, Action);
}

// --- Messages ---

void TCustomForm::WMActivate(TMessage& Message) {
    SetActive(TWMActivate{Message}.Active() != win::WA_INACTIVE);
}

void TCustomForm::WMClose(TMessage&) {
    Close();
}

void TCustomForm::WMSize(TMessage& Message) {
    // The size messages of a hidden window (its creation) say nothing of the state asked for.
    if (!ComponentState().Contains(csDesigning) && FHandle && win::IsWindowVisible(FHandle)) {
        switch (TWMSize{Message}.SizeType()) {
            case win::SIZE_RESTORED:
                FWindowState = wsNormal;
                break;
            case win::SIZE_MINIMIZED:
                FWindowState = wsMinimized;
                break;
            case win::SIZE_MAXIMIZED:
                FWindowState = wsMaximized;
                break;
            default:
                break;
        }
    }
    inherited::Dispatch(Message);
}

void TCustomForm::CMActivate(TMessage&) {
    if (ComponentState().Contains(csReading)) {
        FFormState.Include(fsActivated);
    } else {
        Activate();
    }
}

void TCustomForm::CMDeactivate(TMessage&) {
    if (!ComponentState().Contains(csReading)) Deactivate();
}

void TCustomForm::MoveToPosition() {
    TCustomForm* Center = nullptr;
    switch (FPosition) {
        case poMainFormCenter:
            Center = Application->MainForm();
            break;
        case poOwnerFormCenter:
            Center = dynamic_cast<TCustomForm*>(Owner());
            break;
        case poScreenCenter:
        case poDesktopCenter:
            break;
        default:
            return;
    }
    int X, Y;
    if (Center && Center != this && Center->HandleAllocated()) {
        X = Center->Left() + (Center->Width() - FWidth) / 2;
        Y = Center->Top() + (Center->Height() - FHeight) / 2;
    } else {
        TScreen* S = Screen;
        X = (S->Width() - FWidth) / 2;
        Y = (S->Height() - FHeight) / 2;
    }
    SetBounds(std::max(X, 0), std::max(Y, 0), FWidth, FHeight);
}

void TCustomForm::CMShowingChanged(TMessage& Message) {
    static constexpr int ShowCommands[] = {win::SW_SHOWNORMAL, win::SW_SHOWMINNOACTIVE,
                                           win::SW_SHOWMAXIMIZED};
    if (ComponentState().Contains(csDesigning)) {
        inherited::Dispatch(Message);
        return;
    }
    if (FFormState.Contains(fsShowing)) throw EInvalidOperation(SVisibleChanged);
    FFormState.Include(fsShowing);
    TComponentGuard Guard(this);
    struct Done {
        TCustomForm* Form;
        TComponentGuard& Guard;
        ~Done() {
            if (Guard.Alive()) Form->FFormState.Exclude(fsShowing);
        }
    } Finish{this, Guard};
    if (FShowing) {
        try {
            DoShow();
        } catch (...) {
            Application->HandleException(Guard.Alive() ? this : nullptr);
        }
        if (!Guard.Alive()) return;
        MoveToPosition();
        win::ShowWindow(FHandle, ShowCommands[FWindowState]);
    } else {
        try {
            DoHide();
        } catch (...) {
            Application->HandleException(Guard.Alive() ? this : nullptr);
        }
        if (!Guard.Alive() || !FHandle) return;
        if (FFormState.Contains(fsModal)) {
            win::SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                              win::SWP_HIDEWINDOW | win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER |
                                  win::SWP_NOACTIVATE);
        } else {
            win::ShowWindow(FHandle, win::SW_HIDE);
        }
    }
}

void TCustomForm::CMRelease(TMessage&) {
    delete this;
}

void TCustomForm::CMDialogKey(TMessage& Message) {
    if (win::GetKeyState(win::VK_MENU) >= 0) {
        const TWMKey Key{Message};
        switch (Key.CharCode()) {
            case win::VK_TAB:
                if (win::GetKeyState(win::VK_CONTROL) >= 0) {
                    SelectNext(FActiveControl, win::GetKeyState(win::VK_SHIFT) >= 0, true);
                    Message.Result = 1;
                    return;
                }
                break;
            case win::VK_LEFT:
            case win::VK_RIGHT:
            case win::VK_UP:
            case win::VK_DOWN:
                if (FActiveControl && FActiveControl->Parent()) {
                    const bool Forward = Key.CharCode() == win::VK_RIGHT || Key.CharCode() == win::VK_DOWN;
                    FActiveControl->Parent()->SelectNext(FActiveControl, Forward, false);
                    Message.Result = 1;
                }
                return;
            default:
                break;
        }
    }
    inherited::Dispatch(Message);
}

// ============================================================================
// TApplication
// ============================================================================

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FTitle(ProgramTitle()) {
    win::SetMessageBoxDialog(&MessageBoxDialog);
}

TApplication::~TApplication() {
    win::SetMessageBoxDialog(nullptr);
    FActive = false;
    DestroyComponents();
    FMainForm = nullptr;
    if (FHandle) {
        const HWND Wnd = FHandle;
        FHandle = nullptr;
        win::RemoveProp(Wnd, kApplicationProp);
        win::DestroyWindow(Wnd);
    }
}

TComponent* TApplication::DoCreateForm(TComponentClass InstanceClass) {
    TComponent* Instance = InstanceClass.Create(this);
    if (!FMainForm) {
        if (auto* Form = dynamic_cast<TForm*>(Instance)) {
            Form->HandleNeeded();
            FMainForm = Form;
        }
    }
    return Instance;
}

void TApplication::Run() {
    if (!FMainForm) return;
    TComponentGuard Guard(this);
    if (FShowMainForm) FMainForm->SetVisible(true);
    try {
        while (Guard.Alive() && !FTerminate) {
            try {
                HandleMessage();
            } catch (...) {
                if (!Guard.Alive()) throw;
                HandleException(this);
            }
        }
    } catch (const win::WouldWaitForever& E) {
        // Only a headless program under the manual clock gets here, its
        // script ended while a loop still waits: nothing can happen any more.
        std::fprintf(stderr, "%s: the program would wait forever: %s\n",
                     FTitle.empty() ? "application" : FTitle.c_str(), E.what());
        std::exit(EXIT_FAILURE);
    }
}

void TApplication::Terminate() {
    win::PostQuitMessage(0);
}

bool TApplication::ProcessMessage(win::MSG& Msg) {
    if (!win::PeekMessage(&Msg, nullptr, 0, 0, win::PM_REMOVE)) return false;
    if (Msg.message == win::WM_QUIT) {
        FTerminate = true;
        FQuitCode = static_cast<int>(Msg.wParam);
        return true;
    }
    if (!IsMDIMsg(Msg) && !IsKeyMsg(Msg)) {
        win::TranslateMessage(&Msg);
        win::DispatchMessage(&Msg);
    }
    return true;
}

bool TApplication::IsMDIMsg(const win::MSG& Msg) {
    if (!FMainForm || FMainForm->FormStyle() != fsMDIForm || !FMainForm->ClientHandle()) return false;
    TCustomForm* Active = Screen->ActiveCustomForm();
    return Active && Active->FormStyle() == fsMDIChild &&
           win::TranslateMDISysAccel(FMainForm->ClientHandle(), &Msg) != win::FALSE;
}

bool TApplication::IsKeyMsg(win::MSG& Msg) {
    if (Msg.message < win::WM_KEYFIRST || Msg.message > win::WM_KEYLAST) return false;
    HWND Wnd = win::GetCapture();
    if (!Wnd) Wnd = Msg.hwnd;
    if (!Wnd || win::GetWindowThreadProcessId(Wnd, nullptr) != win::GetCurrentThreadId()) return false;
    return win::SendMessage(Wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

void TApplication::ProcessMessages() {
    win::MSG Msg;
    TComponentGuard Guard(this);
    while (Guard.Alive() && ProcessMessage(Msg)) {}
}

void TApplication::HandleMessage() {
    win::MSG Msg;
    if (!ProcessMessage(Msg)) Idle();
}

void TApplication::Idle() {
    TComponentGuard Guard(this);
    TControl* Control = DoMouseIdle();
    if (!Guard.Alive()) return;
    std::string HintText;
    for (TControl* C = Control; C; C = C->Parent()) {
        if (!C->Hint().empty()) {
            HintText = C->Hint();
            break;
        }
    }
    SetHint(GetLongHint(HintText));
    if (!Guard.Alive()) return;
    bool Done = true;
    try {
        FOnIdle(this, Done);
        if (Guard.Alive() && Done) DoActionIdle();
    } catch (...) {
        if (!Guard.Alive()) throw;
        HandleException(this);
    }
    if (Done) win::WaitMessage();
}

TControl* TApplication::DoMouseIdle() {
    TPoint P{};
    win::GetCursorPos(&P);
    TControl* Result = FindDragTarget(P, true);
    if (Result && Result->ComponentState().Contains(csDesigning)) Result = nullptr;
    TControl* CaptureControl = GetCaptureControl();
    if (FMouseControl == Result) return Result;
    TComponentGuard Guard(this);
    const auto Tells = [&] {
        return (FMouseControl && !CaptureControl) || (CaptureControl && FMouseControl == CaptureControl);
    };
    if (Tells()) FMouseControl->Perform(CM_MOUSELEAVE, 0, 0);
    if (!Guard.Alive()) return nullptr;
    // The leave may have deleted the control found.
    Result = FindDragTarget(P, true);
    if (Result && Result->ComponentState().Contains(csDesigning)) Result = nullptr;
    FMouseControl = Result;
    CaptureControl = GetCaptureControl();
    if (Tells()) FMouseControl->Perform(CM_MOUSEENTER, 0, 0);
    return Guard.Alive() ? FMouseControl : nullptr;
}

void TApplication::DoActionIdle() {
    TScreen* S = Screen;
    for (int I = 0; I < S->CustomFormCount(); ++I) {
        TCustomForm* Form = S->CustomForms(I);
        if (Form->HandleAllocated() && win::IsWindowVisible(Form->FHandle) &&
            win::IsWindowEnabled(Form->FHandle))
            Form->UpdateActions();
    }
}

void TApplication::HandleException(TObject* Sender) {
    const std::exception_ptr Current = std::current_exception();
    if (!Current) return;
    try {
        std::rethrow_exception(Current);
    } catch (const win::WouldWaitForever&) {
        throw;
    } catch (const EAbort&) {
        return;
    } catch (...) {}
    if (HWND Capture = win::GetCapture()) win::SendMessage(Capture, win::WM_CANCELMODE, 0, 0);
    const auto Report = [&](Exception& E) {
        if (FOnException) {
            FOnException(Sender, E);
        } else {
            ShowException(E);
        }
    };
    try {
        std::rethrow_exception(Current);
    } catch (Exception& E) {
        Report(E);
    } catch (const std::exception& E) {
        Exception Wrapped(E.what());
        Report(Wrapped);
    } catch (...) {
        Exception Wrapped("Unknown exception");
        Report(Wrapped);
    }
}

void TApplication::ShowException(const Exception& E) {
    std::string Text = E.Message();
    if (!Text.empty() && static_cast<unsigned char>(Text.back()) > '.') Text += '.';
    MessageBox(Text, FTitle, win::MB_OK | win::MB_ICONERROR);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
    const HWND ActiveWindow = win::GetActiveWindow();
    const std::vector<HWND> Disabled = DisableTaskWindows(nullptr);
    const int Result =
        win::MessageBox(ActiveWindow, Text.c_str(), (Caption.empty() ? FTitle : Caption).c_str(), Flags);
    EnableTaskWindows(Disabled);
    if (ActiveWindow && win::IsWindow(ActiveWindow)) win::SetActiveWindow(ActiveWindow);
    return Result;
}

bool TApplication::HelpContext(THelpContext Context) {
    return HelpCommand(HELP_CONTEXT, Context);
}

bool TApplication::HelpCommand(int Command, std::intptr_t Data) {
    FHelpRequests.push_back(THelpRequest{Command, Data});
    return true;
}

HWND TApplication::Handle() {
    if (FHandle && !win::IsWindow(FHandle)) FHandle = nullptr;
    if (FHandle || ComponentState().Contains(csDestroying)) return FHandle;
    win::WNDCLASS Registered;
    if (!win::GetClassInfo(nullptr, kApplicationClassName, &Registered) ||
        Registered.lpfnWndProc != &AppWndProc) {
        win::WNDCLASS Class{};
        Class.lpfnWndProc = &AppWndProc;
        Class.lpszClassName = kApplicationClassName;
        Class.hCursor = win::LoadCursor(nullptr, win::IDC_ARROW);
        win::UnregisterClass(kApplicationClassName, nullptr);
        if (!win::RegisterClass(&Class)) throw EOutOfResources(SWindowClass);
    }
    const int X = win::GetSystemMetrics(win::SM_CXSCREEN) / 2;
    const int Y = win::GetSystemMetrics(win::SM_CYSCREEN) / 2;
    FHandle = win::CreateWindowEx(0, kApplicationClassName, FTitle.c_str(),
                                  win::WS_POPUP | win::WS_CAPTION | win::WS_CLIPSIBLINGS | win::WS_SYSMENU |
                                      win::WS_MINIMIZEBOX,
                                  X, Y, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (!FHandle) throw EOutOfResources(SWindowCreate);
    win::SetProp(FHandle, kApplicationProp, this);
    return FHandle;
}

win::LRESULT TApplication::AppWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* App = static_cast<TApplication*>(win::GetProp(Wnd, kApplicationProp));
    if (!App) return win::DefWindowProc(Wnd, Msg, WParam, LParam);
    TMessage Message{Msg, WParam, LParam, 0};
    try {
        App->WndProc(Message);
    } catch (...) {
        if (ApplicationIfExists() != App) throw;
        App->HandleException(App);
    }
    if (Msg == win::WM_NCDESTROY && win::GetProp(Wnd, kApplicationProp) == App) {
        win::RemoveProp(Wnd, kApplicationProp);
        if (App->FHandle == Wnd) App->FHandle = nullptr;
    }
    return Message.Result;
}

void TApplication::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case win::WM_ACTIVATEAPP:
            Message.Result = win::DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
            FActive = Message.WParam != 0;
            win::PostMessage(FHandle, FActive ? CM_ACTIVATE : CM_DEACTIVATE, 0, 0);
            return;
        case win::WM_CLOSE:
            if (FMainForm) FMainForm->Close();
            return;
        case win::WM_SETTINGCHANGE:
            if (TScreen* S = ScreenIfExists()) S->ResetFonts();
            break;
        case CM_ACTIVATE:
            FOnActivate(this);
            return;
        case CM_DEACTIVATE:
            FOnDeactivate(this);
            return;
        default:
            break;
    }
    Message.Result = win::DefWindowProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TApplication::SetTitle(const std::string& Value) {
    FTitle = Value;
    if (FHandle) win::SetWindowText(FHandle, Value.c_str());
}

void TApplication::SetHint(const std::string& Value) {
    if (FHint == Value) return;
    FHint = Value;
    FOnHint(this);
}

void TApplication::ControlDestroyed(TControl* Control) {
    if (FMouseControl == Control) FMouseControl = nullptr;
    if (static_cast<TControl*>(FMainForm) == Control) FMainForm = nullptr;
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMainForm) FMainForm = nullptr;
}

// ============================================================================
// TScreen
// ============================================================================

namespace {

std::uintptr_t SystemCursorId(TCursor Index) {
    switch (Index) {
        case crArrow:
            return win::IDC_ARROW;
        case crCross:
            return win::IDC_CROSS;
        case crIBeam:
            return win::IDC_IBEAM;
        case crSizeNESW:
            return win::IDC_SIZENESW;
        case crSizeNS:
            return win::IDC_SIZENS;
        case crSizeNWSE:
            return win::IDC_SIZENWSE;
        case crSizeWE:
            return win::IDC_SIZEWE;
        case crUpArrow:
            return win::IDC_UPARROW;
        case crHourGlass:
            return win::IDC_WAIT;
        case crNo:
            return win::IDC_NO;
        case crAppStart:
            return win::IDC_APPSTARTING;
        case crHelp:
            return win::IDC_HELP;
        case crHandPoint:
            return win::IDC_HAND;
        case crSizeAll:
            return win::IDC_SIZEALL;
        default:
            return 0;
    }
}

win::BOOL CollectMonitor(win::HMONITOR Monitor, gfx::HDC, gfx::RECT*, LPARAM Data) {
    reinterpret_cast<std::vector<win::HMONITOR>*>(Data)->push_back(Monitor);
    return win::TRUE;
}

} // namespace

TRect TMonitor::BoundsRect() const {
    win::MONITORINFO Info;
    return win::GetMonitorInfo(FHandle, &Info) ? Info.rcMonitor : TRect{};
}

TRect TMonitor::WorkareaRect() const {
    win::MONITORINFO Info;
    return win::GetMonitorInfo(FHandle, &Info) ? Info.rcWork : TRect{};
}

int TMonitor::Width() const {
    const TRect R = BoundsRect();
    return R.right - R.left;
}

int TMonitor::Height() const {
    const TRect R = BoundsRect();
    return R.bottom - R.top;
}

bool TMonitor::Primary() const {
    win::MONITORINFO Info;
    return win::GetMonitorInfo(FHandle, &Info) && (Info.dwFlags & win::MONITORINFOF_PRIMARY) != 0;
}

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {
    FHintFont = new TFont;
    FMenuFont = new TFont;
    FIconFont = new TFont;
    FDefaultCursor = win::LoadCursor(nullptr, win::IDC_ARROW);
    ResetFonts();
}

TScreen::~TScreen() {
    delete FFonts;
    delete FHintFont;
    delete FMenuFont;
    delete FIconFont;
}

TForm* TScreen::Forms(int Index) const {
    if (Index < 0 || Index >= FormCount()) throw EListError(SListIndexError, {Index});
    return static_cast<TForm*>(FForms[static_cast<std::size_t>(Index)]);
}

TCustomForm* TScreen::CustomForms(int Index) const {
    if (Index < 0 || Index >= CustomFormCount()) throw EListError(SListIndexError, {Index});
    return FCustomForms[static_cast<std::size_t>(Index)];
}

TForm* TScreen::ActiveForm() const {
    return static_cast<TForm*>(FActiveForm);
}

void TScreen::AddForm(TCustomForm* AForm) {
    FCustomForms.push_back(AForm);
}

void TScreen::RemoveForm(TCustomForm* AForm) {
    std::erase(FCustomForms, AForm);
    std::erase(FForms, AForm);
    std::replace(FSaveFocusedList.begin(), FSaveFocusedList.end(), AForm, static_cast<TCustomForm*>(nullptr));
    if (FActiveForm == AForm) FActiveForm = nullptr;
    if (FActiveCustomForm == AForm) FActiveCustomForm = nullptr;
    if (FFocusedForm == AForm) FFocusedForm = nullptr;
    if (FActiveControl && AForm->ContainsControl(FActiveControl)) FActiveControl = nullptr;
}

// --- Cursors ---

void TScreen::SetCursor(TCursor Value) {
    if (Value != FCursor) {
        FCursor = Value;
        if (Value == crDefault) {
            // The window under the mouse picks its cursor again.
            TPoint P{};
            win::GetCursorPos(&P);
            HWND Wnd = win::WindowFromPoint(P);
            if (Wnd && win::GetWindowThreadProcessId(Wnd, nullptr) == win::GetCurrentThreadId()) {
                const win::LRESULT Hit = win::SendMessage(Wnd, win::WM_NCHITTEST, 0, win::PointToLParam(P));
                win::SendMessage(Wnd, win::WM_SETCURSOR, reinterpret_cast<WPARAM>(Wnd),
                                 win::MAKELPARAM(static_cast<int>(Hit), win::WM_MOUSEMOVE));
            }
        } else {
            win::SetCursor(Cursors(Value));
        }
    }
    ++FCursorCount;
}

win::HCURSOR TScreen::Cursors(TCursor Index) const {
    if (Index == crNone) return nullptr;
    if (Index == crDefault) return FDefaultCursor;
    for (const auto& [I, Handle] : FCursorList)
        if (I == Index) return Handle;
    if (const std::uintptr_t Id = SystemCursorId(Index))
        if (win::HCURSOR Handle = win::LoadCursor(nullptr, Id)) return Handle;
    return FDefaultCursor;
}

void TScreen::SetCursors(TCursor Index, win::HCURSOR Handle) {
    if (Index == crDefault) {
        FDefaultCursor = Handle ? Handle : win::LoadCursor(nullptr, win::IDC_ARROW);
        return;
    }
    if (Index == crNone) return;
    std::erase_if(FCursorList, [Index](const auto& Entry) { return Entry.first == Index; });
    if (Handle) FCursorList.emplace_back(Index, Handle);
}

// --- Geometry ---

int TScreen::Width() const {
    return win::GetSystemMetrics(win::SM_CXSCREEN);
}

int TScreen::Height() const {
    return win::GetSystemMetrics(win::SM_CYSCREEN);
}

void TScreen::RefreshMonitors() {
    std::vector<win::HMONITOR> Handles;
    win::EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&Handles));
    std::vector<std::unique_ptr<TMonitor>> Monitors;
    for (std::size_t I = 0; I < Handles.size(); ++I) {
        auto It = std::find_if(FMonitors.begin(), FMonitors.end(), [&](const std::unique_ptr<TMonitor>& M) {
            return M && M->FHandle == Handles[I];
        });
        std::unique_ptr<TMonitor> Monitor =
            It != FMonitors.end() ? std::move(*It) : std::make_unique<TMonitor>(Handles[I], 0);
        Monitor->FMonitorNum = static_cast<int>(I);
        Monitors.push_back(std::move(Monitor));
    }
    FMonitors = std::move(Monitors);
}

int TScreen::MonitorCount() {
    RefreshMonitors();
    return static_cast<int>(FMonitors.size());
}

TMonitor* TScreen::Monitors(int Index) {
    RefreshMonitors();
    if (Index < 0 || Index >= static_cast<int>(FMonitors.size())) throw EListError(SListIndexError, {Index});
    return FMonitors[static_cast<std::size_t>(Index)].get();
}

TMonitor* TScreen::MonitorFromPoint(TPoint Point, TMonitorDefaultTo MonitorDefault) {
    static constexpr win::DWORD Flags[] = {win::MONITOR_DEFAULTTONEAREST, win::MONITOR_DEFAULTTONULL,
                                           win::MONITOR_DEFAULTTOPRIMARY};
    const win::HMONITOR Handle = win::MonitorFromPoint(Point, Flags[MonitorDefault]);
    if (!Handle) return nullptr;
    RefreshMonitors();
    for (const auto& Monitor : FMonitors)
        if (Monitor->FHandle == Handle) return Monitor.get();
    return nullptr;
}

TRect TScreen::WorkAreaRect() const {
    TRect R{};
    win::SystemParametersInfo(win::SPI_GETWORKAREA, 0, &R, 0);
    return R;
}

int TScreen::WorkAreaWidth() const {
    const TRect R = WorkAreaRect();
    return R.right - R.left;
}

int TScreen::WorkAreaHeight() const {
    const TRect R = WorkAreaRect();
    return R.bottom - R.top;
}

// --- Fonts ---

TStrings* TScreen::Fonts() {
    if (!FFonts) {
        FFonts = new TStringList;
        FFonts->SetSorted(true);
        FFonts->Add("DejaVu Sans");
        FFonts->Add("DejaVu Sans Mono");
    }
    return FFonts;
}

void TScreen::ResetFonts() {
    win::NONCLIENTMETRICS Metrics;
    if (win::SystemParametersInfo(win::SPI_GETNONCLIENTMETRICS, sizeof Metrics, &Metrics, 0)) {
        FHintFont->SetHandle(gfx::CreateFontIndirect(&Metrics.lfStatusFont));
        FMenuFont->SetHandle(gfx::CreateFontIndirect(&Metrics.lfMenuFont));
    }
    gfx::LOGFONT IconFont{};
    if (win::SystemParametersInfo(win::SPI_GETICONTITLELOGFONT, sizeof IconFont, &IconFont, 0))
        FIconFont->SetHandle(gfx::CreateFontIndirect(&IconFont));
    FHintFont->SetColor(clInfoText);
    FMenuFont->SetColor(clMenuText);
    FIconFont->SetColor(clWindowText);
}

} // namespace cls
