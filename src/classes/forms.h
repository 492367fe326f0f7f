// Forms, the application and the screen.
//
// A form is a top-level window owned by the application's hidden window. The
// global Application (TApplication) runs the message loop, owns the forms
// made with CreateForm, reports exceptions and updates actions when idle; the
// global Screen (TScreen) knows the forms, the active form and control, the
// cursors, monitors and system fonts. Both are made on first use;
// DoneApplication deletes them.
//
// Forms are built in code. A form streaming layer may install a reader that
// fills a form from its form resource (SetFormResourceReader); it runs in
// AfterConstruction, before OnCreate, for forms made through a class
// reference (CreateForm does that). A form made with new calls
// AfterConstruction itself when it wants OnCreate.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classes/controls.h"
#include "classes/strings.h"

namespace cls {

class TForm;
class TCustomForm;
class TMonitor;

// ============================================================================
// Designer hook
// ============================================================================

// The form designer of a design environment. Forms have none unless a test
// sets one; design-time code paths ask for it and do nothing without it.
class IDesignerHook {
public:
    virtual ~IDesignerHook() = default;
    // True when the designer took a message meant for a control at design time.
    virtual bool IsDesignMsg(TControl* Sender, TMessage& Message) = 0;
    // Something on the form changed.
    virtual void Modified() = 0;
    // A component of the form was inserted or removed.
    virtual void Notification(TPersistent* AnObject, TOperation Operation) = 0;
    virtual void SelectComponent(TPersistent* Instance) = 0;
    virtual std::string UniqueName(const std::string& BaseName) = 0;
};
using IDesigner = IDesignerHook;

// ============================================================================
// TCustomForm, TForm
// ============================================================================

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsActivated };
using TFormState = TSet<TFormStateItem>;

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = win::IDOK;
inline constexpr TModalResult mrCancel = win::IDCANCEL;
inline constexpr TModalResult mrAbort = win::IDABORT;
inline constexpr TModalResult mrRetry = win::IDRETRY;
inline constexpr TModalResult mrIgnore = win::IDIGNORE;
inline constexpr TModalResult mrYes = win::IDYES;
inline constexpr TModalResult mrNo = win::IDNO;
inline constexpr TModalResult mrAll = mrNo + 1;
inline constexpr TModalResult mrNoToAll = mrAll + 1;
inline constexpr TModalResult mrYesToAll = mrNoToAll + 1;

using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;

inline constexpr TResStringRec SCannotShowModal{1310, "Cannot make a visible window modal"};
inline constexpr TResStringRec SVisibleChanged{1311, "Cannot change Visible in OnShow or OnHide"};
inline constexpr TResStringRec SNoMDIForm{1312, "Cannot create form. No MDI forms are currently active"};

// Fills a form from its form resource; false when the form's class has none.
using TFormResourceReader = std::function<bool(TCustomForm* Form)>;
// Installs a reader for the whole process and returns the previous one.
TFormResourceReader SetFormResourceReader(TFormResourceReader AReader);

class TCustomForm : public TWinControl {
    TRESTLE_CLASS(TCustomForm, TWinControl)
public:
    // Hidden, 320 x 240, clBtnFace, sizeable with the system menu and the
    // minimize and maximize boxes.
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    // Reads the form resource (when a reader is installed), then OnCreate.
    void AfterConstruction() override;
    // OnDestroy, and the form leaves the screen's list.
    void BeforeDestruction() override;

    void Dispatch(TMessage& Message) override;
    // An MDI frame's default is DefFrameProc (but for WM_SIZE: the frame
    // places its client window itself), an MDI child's DefMDIChildProc.
    void DefaultHandler(TMessage& Message) override;

    // --- Showing and closing ---
    void Show();
    // Shows the form modally: the other windows of the thread are disabled
    // and a message loop runs until ModalResult becomes non-zero (a WM_QUIT
    // ends it with mrCancel and is posted again). Raises EInvalidOperation
    // for a visible or disabled form, or one that is modal already.
    TModalResult ShowModal();
    // Asks OnCloseQuery, then hides (or frees, or minimizes) as OnClose
    // decides; closing the main form ends the application; closing a modal
    // form sets ModalResult to mrCancel.
    void Close();
    virtual bool CloseQuery();
    // Deletes the form once its pending messages are handled (CM_RELEASE).
    void Release();
    // CM_CANCELMODE to the active control.
    void SendCancelMode(TControl* Sender);

    // --- Properties ---
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TFormStyle FormStyle() const { return FFormStyle; }
    // An MDI child's window is made in the MDI client of the application's
    // main form (an fsMDIForm, else EInvalidOperation "Cannot create form...").
    void SetFormStyle(TFormStyle Value);
    // --- MDI frames ---
    // The frame's "MDICLIENT" window, which takes the client area that the
    // aligned controls leave; nullptr for other forms.
    win::HWND ClientHandle() const { return FClientHandle; }
    // The active child (WM_MDIGETACTIVE), nullptr without one.
    TForm* ActiveMDIChild();
    // The MDI children, in the screen's order of forms.
    int MDIChildCount();
    TForm* MDIChildren(int I);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    TFormState FormState() const { return FFormState; }
    bool Active() const { return FActive; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    // Raises EInvalidOperation "Cannot focus a disabled or invisible window"
    // for a control of another form or one that cannot take the focus.
    void SetActiveControl(TWinControl* Control);
    // Makes Control the active control and, when the form is active, gives
    // it the focus.
    void FocusControl(TWinControl* Control);
    // Called when a control of the form receives the focus: the active
    // control, the screen's active form and control, CM_DEACTIVATE to the
    // previously focused form and CM_ACTIVATE to this one. False when the
    // focus moved elsewhere meanwhile.
    bool SetFocusedControl(TWinControl* Control);
    void DefocusControl(TWinControl* Control, bool Removing);
    // Focuses the form's window when the form is not active.
    void SetFocus() override;
    // Updates the actions of the form's visible action clients.
    void UpdateActions();

    IDesignerHook* Designer() const { return FDesigner; }
    void SetDesigner(IDesignerHook* Value) { FDesigner = Value; }

    // --- Events ---
    TNotifyEvent OnCreate() const { return FOnCreate; }
    void SetOnCreate(TNotifyEvent Value) { FOnCreate = Value; }
    TNotifyEvent OnDestroy() const { return FOnDestroy; }
    void SetOnDestroy(TNotifyEvent Value) { FOnDestroy = Value; }
    TNotifyEvent OnShow() const { return FOnShow; }
    void SetOnShow(TNotifyEvent Value) { FOnShow = Value; }
    TNotifyEvent OnHide() const { return FOnHide; }
    void SetOnHide(TNotifyEvent Value) { FOnHide = Value; }
    TNotifyEvent OnActivate() const { return FOnActivate; }
    void SetOnActivate(TNotifyEvent Value) { FOnActivate = Value; }
    TNotifyEvent OnDeactivate() const { return FOnDeactivate; }
    void SetOnDeactivate(TNotifyEvent Value) { FOnDeactivate = Value; }
    TCloseEvent OnClose() const { return FOnClose; }
    void SetOnClose(TCloseEvent Value) { FOnClose = Value; }
    TCloseQueryEvent OnCloseQuery() const { return FOnCloseQuery; }
    void SetOnCloseQuery(TCloseQueryEvent Value) { FOnCloseQuery = Value; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    virtual void Activate();
    virtual void Deactivate();
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);

private:
    friend class TForm;
    friend class TApplication;
    friend class TScreen;

    void SetActive(bool Value);
    void SetWindowFocus();
    void CloseModal();
    void MoveToPosition();

    void WMActivate(TMessage& Message);
    void WMClose(TMessage& Message);
    void WMSize(TMessage& Message);
    void CMActivate(TMessage& Message);
    void CMDeactivate(TMessage& Message);
    void CMShowingChanged(TMessage& Message);
    void CMRelease(TMessage& Message);
    void CMDialogKey(TMessage& Message);

    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    TModalResult FModalResult = mrNone;
    TFormState FFormState;
    bool FKeyPreview = false;
    bool FActive = false;
    bool FDestroyDone = false;
    bool FIsForm = false;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    win::HWND FClientHandle = nullptr;
    IDesignerHook* FDesigner = nullptr;
    TNotifyEvent FOnCreate;
    TNotifyEvent FOnDestroy;
    TNotifyEvent FOnShow;
    TNotifyEvent FOnHide;
    TNotifyEvent FOnActivate;
    TNotifyEvent FOnDeactivate;
    TCloseEvent FOnClose;
    TCloseQueryEvent FOnCloseQuery;
};

using TCustomFormClass = TClassOf<TCustomForm>;

class TForm : public TCustomForm {
    TRESTLE_CLASS(TForm, TCustomForm)
public:
    explicit TForm(TComponent* AOwner);
};

using TFormClass = TClassOf<TForm>;

// The form the control lives in (the control itself for a form); nullptr when none.
TCustomForm* GetParentForm(TControl* Control);
// Same, raising EInvalidOperation "Control '%s' has no parent window" when none.
TCustomForm* ValidParentForm(TControl* Control);

// ============================================================================
// TApplication
// ============================================================================

// Help commands of HelpCommand.
inline constexpr int HELP_CONTEXT = 0x0001;
inline constexpr int HELP_QUIT = 0x0002;
inline constexpr int HELP_CONTEXTPOPUP = 0x0008;
inline constexpr int HELP_SETPOPUP_POS = 0x000D;

struct THelpRequest {
    int Command = 0;
    std::intptr_t Data = 0;
};

using TExceptionEvent = TEvent<void(TObject* Sender, Exception& E)>;
using TIdleEvent = TEvent<void(TObject* Sender, bool& Done)>;

class TApplication : public TComponent {
    TRESTLE_CLASS(TApplication, TComponent)
public:
    explicit TApplication(TComponent* AOwner);
    // Deletes the forms it owns, then its window.
    ~TApplication() override;

    void Initialize() {}
    // Creates a form (any component) owned by the application; the first
    // TForm made so becomes the main form (its window is created).
    template <class T> void CreateForm(TClassOf<T> InstanceClass, T*& Reference) {
        Reference = static_cast<T*>(DoCreateForm(InstanceClass));
    }
    // Shows the main form (unless ShowMainForm is false) and handles
    // messages until the application terminates; returns at once without a
    // main form.
    void Run();
    // Posts WM_QUIT; Terminated becomes true when the loop meets it.
    void Terminate();
    bool Terminated() const { return FTerminate; }
    // Handles every waiting message, then returns.
    void ProcessMessages();
    // Handles one message; when none waits, idle processing (mouse enter and
    // leave, the hint, OnIdle, the actions' updates) and then a wait.
    void HandleMessage();

    // Reports the exception being handled (call it from a catch block):
    // EAbort is ignored; otherwise OnException, or without it a message box.
    void HandleException(TObject* Sender);
    void ShowException(const Exception& E);
    // The window system's message box; an empty caption means the title.
    int MessageBox(const std::string& Text, const std::string& Caption = "", win::UINT Flags = win::MB_OK);

    // Help requests are recorded (there is no help viewer).
    bool HelpContext(THelpContext Context);
    bool HelpCommand(int Command, std::intptr_t Data);
    const std::vector<THelpRequest>& HelpRequests() const { return FHelpRequests; }
    void ClearHelpRequests() { FHelpRequests.clear(); }

    // The hidden application window, created on first use.
    win::HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    TForm* MainForm() const { return FMainForm; }
    bool ShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool Value) { FShowMainForm = Value; }
    // The program's file name without extension by default.
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value);
    bool Active() const { return FActive; }

    const std::string& Hint() const { return FHint; }
    // Fires OnHint when the text changes.
    void SetHint(const std::string& Value);
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor Value) { FHintColor = Value; }
    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }
    int HintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int Value) { FHintShortPause = Value; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }
    bool HintShortCuts() const { return FHintShortCuts; }
    void SetHintShortCuts(bool Value) { FHintShortCuts = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value) { FShowHint = Value; }

    TNotifyEvent OnActivate() const { return FOnActivate; }
    void SetOnActivate(TNotifyEvent Value) { FOnActivate = Value; }
    TNotifyEvent OnDeactivate() const { return FOnDeactivate; }
    void SetOnDeactivate(TNotifyEvent Value) { FOnDeactivate = Value; }
    TExceptionEvent OnException() const { return FOnException; }
    void SetOnException(TExceptionEvent Value) { FOnException = Value; }
    TNotifyEvent OnHint() const { return FOnHint; }
    void SetOnHint(TNotifyEvent Value) { FOnHint = Value; }
    TIdleEvent OnIdle() const { return FOnIdle; }
    void SetOnIdle(TIdleEvent Value) { FOnIdle = Value; }

    // A control is being deleted: forget it.
    void ControlDestroyed(TControl* Control);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomForm;

    TComponent* DoCreateForm(TComponentClass InstanceClass);
    // Takes one message; false when none waits. WM_QUIT sets Terminated.
    bool ProcessMessage(win::MSG& Msg);
    bool IsKeyMsg(win::MSG& Msg);
    // Ctrl+F4 and Ctrl+F6 of an active MDI child (TranslateMDISysAccel).
    bool IsMDIMsg(const win::MSG& Msg);
    void Idle();
    TControl* DoMouseIdle();
    void DoActionIdle();
    void WndProc(TMessage& Message);
    static win::LRESULT AppWndProc(win::HWND Wnd, win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam);

    win::HWND FHandle = nullptr;
    TForm* FMainForm = nullptr;
    bool FShowMainForm = true;
    bool FTerminate = false;
    int FQuitCode = 0;
    bool FActive = true;
    std::string FTitle;
    std::string FHint;
    TColor FHintColor = clInfoBk;
    int FHintPause = 500;
    int FHintShortPause = 50;
    int FHintHidePause = 2500;
    bool FHintShortCuts = true;
    bool FShowHint = true;
    TControl* FMouseControl = nullptr;
    std::vector<THelpRequest> FHelpRequests;
    TNotifyEvent FOnActivate;
    TNotifyEvent FOnDeactivate;
    TExceptionEvent FOnException;
    TNotifyEvent FOnHint;
    TIdleEvent FOnIdle;
};

// ============================================================================
// TScreen
// ============================================================================

enum TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };

class TMonitor : public TObject {
    TRESTLE_CLASS(TMonitor, TObject)
public:
    explicit TMonitor(win::HMONITOR AHandle, int AMonitorNum) : FHandle(AHandle), FMonitorNum(AMonitorNum) {}

    win::HMONITOR Handle() const { return FHandle; }
    int MonitorNum() const { return FMonitorNum; }
    TRect BoundsRect() const;
    TRect WorkareaRect() const;
    int Left() const { return BoundsRect().left; }
    int Top() const { return BoundsRect().top; }
    int Width() const;
    int Height() const;
    bool Primary() const;

private:
    friend class TScreen;
    win::HMONITOR FHandle;
    int FMonitorNum;
};

class TScreen : public TComponent {
    TRESTLE_CLASS(TScreen, TComponent)
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    // --- Forms ---
    int FormCount() const { return static_cast<int>(FForms.size()); }
    TForm* Forms(int Index) const;
    int CustomFormCount() const { return static_cast<int>(FCustomForms.size()); }
    TCustomForm* CustomForms(int Index) const;
    TForm* ActiveForm() const;
    TCustomForm* ActiveCustomForm() const { return FActiveCustomForm; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    // The form that has (or last had) the focus.
    TCustomForm* FocusedForm() const { return FFocusedForm; }

    // --- Cursors ---
    TCursor Cursor() const { return FCursor; }
    // crDefault lets the window under the mouse choose again.
    void SetCursor(TCursor Value);
    // The cursor of an index: the predefined ones, the program's own, and the
    // default cursor for any other index.
    win::HCURSOR Cursors(TCursor Index) const;
    // Nullptr removes the program's cursor (or, for crDefault, restores the arrow).
    void SetCursors(TCursor Index, win::HCURSOR Handle);

    // --- Geometry ---
    int Width() const;
    int Height() const;
    int PixelsPerInch() const { return 96; }
    int MonitorCount();
    TMonitor* Monitors(int Index);
    TMonitor* MonitorFromPoint(TPoint Point, TMonitorDefaultTo MonitorDefault = mdNearest);
    // The primary monitor's work area.
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().left; }
    int WorkAreaTop() const { return WorkAreaRect().top; }
    int WorkAreaWidth() const;
    int WorkAreaHeight() const;

    // --- Fonts ---
    // The installed font families the drawing layer offers.
    TStrings* Fonts();
    TFont* HintFont() const { return FHintFont; }
    TFont* MenuFont() const { return FMenuFont; }
    TFont* IconFont() const { return FIconFont; }
    // Reads the system fonts again (after a settings change).
    void ResetFonts();

private:
    friend class TCustomForm;
    friend class TForm;
    friend class TApplication;
    friend class TWinControl;

    void AddForm(TCustomForm* AForm);
    void RemoveForm(TCustomForm* AForm);
    void RefreshMonitors();

    // Forms are kept as TCustomForm, so that a form can leave the lists from
    // its destructor.
    std::vector<TCustomForm*> FCustomForms;
    std::vector<TCustomForm*> FForms;
    TCustomForm* FActiveForm = nullptr;
    TCustomForm* FActiveCustomForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    TCustomForm* FFocusedForm = nullptr;
    std::vector<TCustomForm*> FSaveFocusedList;
    TCursor FCursor = crDefault;
    int FCursorCount = 0;
    win::HCURSOR FDefaultCursor = nullptr;
    std::vector<std::pair<TCursor, win::HCURSOR>> FCursorList;
    std::vector<std::unique_ptr<TMonitor>> FMonitors;
    TStringList* FFonts = nullptr;
    TFont* FHintFont;
    TFont* FMenuFont;
    TFont* FIconFont;
};

// ============================================================================
// The globals
// ============================================================================

// Application and Screen read like the original's global objects
// (Application->Run(), Screen->Cursor()); each is made on first use.
struct TApplicationRef {
    TApplication* operator->() const { return Get(); }
    operator TApplication*() const { return Get(); }
    static TApplication* Get();
};
struct TScreenRef {
    TScreen* operator->() const { return Get(); }
    operator TScreen*() const { return Get(); }
    static TScreen* Get();
};
inline constexpr TApplicationRef Application{};
inline constexpr TScreenRef Screen{};

// The objects if they exist, without making them.
TApplication* ApplicationIfExists();
TScreen* ScreenIfExists();
// Deletes the application (with its forms and window) and the screen.
void DoneApplication();

} // namespace cls
