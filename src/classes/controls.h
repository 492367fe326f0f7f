// Controls: TControl, the windowed TWinControl, TGraphicControl (painted by
// its parent) and TCustomControl (a window with a canvas), the messages of
// the class library (CM_) and their records.
//
// Messages. Every control has a WindowProc (by default its virtual WndProc),
// which Perform calls and through which the window's messages arrive. WndProc
// does the general pre-processing and calls Dispatch, the table of message
// handlers. A class adds handlers by overriding Dispatch:
//
//     void TMyControl::Dispatch(TMessage& Message) {
//         switch (Message.Msg) {
//             case WM_SIZE: WMSize(Message); break;
//             default: inherited::Dispatch(Message);
//         }
//     }
//
// A handler that wants the inherited handling calls inherited::Dispatch with
// the same message; a message nobody handles ends in DefaultHandler, which for
// a windowed control is the window class's procedure.
//
// Windows. A TWinControl creates its window when it is first needed
// (HandleNeeded, Handle, or when it comes to show), through CreateParams,
// CreateWnd and CreateWindowHandle; it destroys it (DestroyHandle) when it
// leaves its parent, and RecreateWnd builds a new one under the live object.
// A child window without an id gets its handle as id, so that what a child
// window tells its parent (WM_COMMAND, WM_DRAWITEM, WM_MEASUREITEM and the
// colour requests) comes back to the child's control as CN_ messages.
// Each control class registers a window class named after it whose procedure
// finds the control through a window property, so subclassing a control's
// window with GWL_WNDPROC keeps working. A window destroyed by someone else
// leaves the control without a handle.
//
// Deletion. A parent deletes its child controls. A control may be deleted
// from its own handlers (a click, a timer): the message handlers check after
// every user event that the control still lives and then touch nothing.
// Messages that arrive while ~TWinControl destroys the window see the object
// as a TWinControl; a class that needs its own handlers to see its window go
// calls DestroyHandle in its destructor.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classes/actions.h"
#include "classes/component.h"
#include "classes/events.h"
#include "classes/graphics.h"
#include "classes/sets.h"
#include "classes/shortcuts.h"
#include "win/user.h"

namespace cls {

class TControl;
class TWinControl;
class TCustomForm;
class TControlActionLink;

// ============================================================================
// Messages
// ============================================================================

struct TMessage {
    win::UINT Msg = 0;
    win::WPARAM WParam = 0;
    win::LPARAM LParam = 0;
    win::LRESULT Result = 0;

    win::WORD WParamLo() const { return win::LOWORD(static_cast<win::LPARAM>(WParam)); }
    win::WORD WParamHi() const { return win::HIWORD(static_cast<win::LPARAM>(WParam)); }
    win::WORD LParamLo() const { return win::LOWORD(LParam); }
    win::WORD LParamHi() const { return win::HIWORD(LParam); }
};

using TWndMethod = TEvent<void(TMessage& Message)>;

// Messages of the class library, with the original's numbers.
inline constexpr win::UINT CM_BASE = 0xB000;
inline constexpr win::UINT CM_ACTIVATE = CM_BASE + 0;
inline constexpr win::UINT CM_DEACTIVATE = CM_BASE + 1;
inline constexpr win::UINT CM_CANCELMODE = CM_BASE + 4;
inline constexpr win::UINT CM_DIALOGKEY = CM_BASE + 5;
inline constexpr win::UINT CM_DIALOGCHAR = CM_BASE + 6;
// Broadcast by a form after a control of it took the focus (LParam: the control).
inline constexpr win::UINT CM_FOCUSCHANGED = CM_BASE + 7;
inline constexpr win::UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
inline constexpr win::UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
inline constexpr win::UINT CM_HITTEST = CM_BASE + 10;
inline constexpr win::UINT CM_VISIBLECHANGED = CM_BASE + 11;
inline constexpr win::UINT CM_ENABLEDCHANGED = CM_BASE + 12;
inline constexpr win::UINT CM_COLORCHANGED = CM_BASE + 13;
inline constexpr win::UINT CM_FONTCHANGED = CM_BASE + 14;
inline constexpr win::UINT CM_CURSORCHANGED = CM_BASE + 15;
inline constexpr win::UINT CM_TEXTCHANGED = CM_BASE + 18;
inline constexpr win::UINT CM_MOUSEENTER = CM_BASE + 19;
inline constexpr win::UINT CM_MOUSELEAVE = CM_BASE + 20;
inline constexpr win::UINT CM_SHOWINGCHANGED = CM_BASE + 25;
inline constexpr win::UINT CM_DESIGNHITTEST = CM_BASE + 28;
inline constexpr win::UINT CM_WANTSPECIALKEY = CM_BASE + 30;
inline constexpr win::UINT CM_RELEASE = CM_BASE + 33;
inline constexpr win::UINT CM_SHOWHINTCHANGED = CM_BASE + 34;
inline constexpr win::UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
inline constexpr win::UINT CM_SYSCOLORCHANGE = CM_BASE + 36;
inline constexpr win::UINT CM_HINTSHOW = CM_BASE + 48;
inline constexpr win::UINT CM_RECREATEWND = CM_BASE + 51;

// Window messages sent back to a control: keys by the application's key
// handling before the window sees them; commands, owner drawing and colour
// requests of a child window by its parent control, to the child's control.
inline constexpr win::UINT CN_BASE = 0xBC00;
inline constexpr win::UINT CN_KEYDOWN = CN_BASE + win::WM_KEYDOWN;
inline constexpr win::UINT CN_KEYUP = CN_BASE + win::WM_KEYUP;
inline constexpr win::UINT CN_CHAR = CN_BASE + win::WM_CHAR;
inline constexpr win::UINT CN_SYSKEYDOWN = CN_BASE + win::WM_SYSKEYDOWN;
inline constexpr win::UINT CN_SYSCHAR = CN_BASE + win::WM_SYSCHAR;
inline constexpr win::UINT CN_COMMAND = CN_BASE + win::WM_COMMAND;
inline constexpr win::UINT CN_DRAWITEM = CN_BASE + win::WM_DRAWITEM;
inline constexpr win::UINT CN_MEASUREITEM = CN_BASE + win::WM_MEASUREITEM;
inline constexpr win::UINT CN_CTLCOLOREDIT = CN_BASE + win::WM_CTLCOLOREDIT;
inline constexpr win::UINT CN_CTLCOLORLISTBOX = CN_BASE + win::WM_CTLCOLORLISTBOX;
inline constexpr win::UINT CN_CTLCOLORSTATIC = CN_BASE + win::WM_CTLCOLORSTATIC;

// WM_GETDLGCODE answers.
using win::DLGC_WANTALLKEYS;
using win::DLGC_WANTARROWS;
using win::DLGC_WANTCHARS;
using win::DLGC_WANTTAB;

// --- Message records: typed views of a TMessage ---

struct TWMMouse {
    TMessage& Message;
    win::WPARAM Keys() const { return Message.WParam; }
    int XPos() const { return win::GET_X_LPARAM(Message.LParam); }
    int YPos() const { return win::GET_Y_LPARAM(Message.LParam); }
    TPoint Pos() const { return TPoint{XPos(), YPos()}; }
};
using TCMDesignHitTest = TWMMouse;

struct TWMNCHitTest {
    TMessage& Message;
    // Screen coordinates.
    TPoint Pos() const { return win::PointFromLParam(Message.LParam); }
};

// WM_CONTEXTMENU: the window clicked and the screen point, (-1, -1) when the
// keyboard asked for the menu.
struct TWMContextMenu {
    TMessage& Message;
    win::HWND Wnd() const { return reinterpret_cast<win::HWND>(Message.WParam); }
    TPoint Pos() const {
        return TPoint{win::GET_X_LPARAM(Message.LParam), win::GET_Y_LPARAM(Message.LParam)};
    }
    bool ByKeyboard() const { return Pos().x == -1 && Pos().y == -1; }
};

struct TWMKey {
    TMessage& Message;
    win::WORD CharCode() const { return static_cast<win::WORD>(Message.WParam); }
    void SetCharCode(win::WORD Value) { Message.WParam = Value; }
    win::LPARAM KeyData() const { return Message.LParam; }
};
using TCMDialogKey = TWMKey;
using TCMWantSpecialKey = TWMKey;

// WM_CHAR and CM_DIALOGCHAR carry a Unicode code point.
struct TWMChar {
    TMessage& Message;
    char32_t CharCode() const { return static_cast<char32_t>(Message.WParam); }
    void SetCharCode(char32_t Value) { Message.WParam = Value; }
    win::LPARAM KeyData() const { return Message.LParam; }
};
using TCMDialogChar = TWMChar;

struct TWMPaint {
    TMessage& Message;
    gfx::HDC DC() const { return reinterpret_cast<gfx::HDC>(Message.WParam); }
};

struct TWMSetCursor {
    TMessage& Message;
    win::HWND CursorWnd() const { return reinterpret_cast<win::HWND>(Message.WParam); }
    int HitTest() const { return static_cast<win::SHORT>(Message.LParamLo()); }
    win::WORD MouseMsg() const { return Message.LParamHi(); }
};

struct TWMWindowPosMsg {
    TMessage& Message;
    win::WINDOWPOS* WindowPos() const { return reinterpret_cast<win::WINDOWPOS*>(Message.LParam); }
};

struct TWMActivate {
    TMessage& Message;
    win::WORD Active() const { return Message.WParamLo(); }
    bool Minimized() const { return Message.WParamHi() != 0; }
    win::HWND ActiveWindow() const { return reinterpret_cast<win::HWND>(Message.LParam); }
};

struct TWMSize {
    TMessage& Message;
    win::WPARAM SizeType() const { return Message.WParam; }
    int Width() const { return Message.LParamLo(); }
    int Height() const { return Message.LParamHi(); }
};

// CM_CANCELMODE: LParam is the control that asks.
struct TCMCancelMode {
    TMessage& Message;
    TControl* Sender() const { return reinterpret_cast<TControl*>(Message.LParam); }
};

// CM_HINTSHOW: LParam points at the hint about to show; a non-zero result
// suppresses it.
struct THintInfo {
    TControl* HintControl = nullptr;
    TPoint HintPos{};
    int HintMaxWidth = 0;
    TColor HintColor = clInfoBk;
    TRect CursorRect{};
    TPoint CursorPos{};
    int ReshowTimeout = 0;
    int HideTimeout = 0;
    std::string HintStr;
    void* HintData = nullptr;
};
struct TCMHintShow {
    TMessage& Message;
    THintInfo* HintInfo() const { return reinterpret_cast<THintInfo*>(Message.LParam); }
};

// ============================================================================
// Enumerations and events
// ============================================================================

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TControlStyleItem {
    csAcceptsControls,
    csCaptureMouse,
    csClickEvents,
    csSetCaption,
    csOpaque,
    csDoubleClicks,
    csNoDesignVisible,
    csReplicatable,
    csNoStdEvents,
    csActionClient
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem {
    csLButtonDown,
    csClicked,
    csReadingState,
    csAlignmentNeeded,
    csFocusing,
    csCreating,
    csPaintCopy,
    csCustomPaint,
    csDestroyingHandle,
    csRecreating
};
using TControlState = TSet<TControlStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Screen cursors: the predefined ones are negative, the program's own positive.
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
inline constexpr TCursor crSize = -22;

using TMouseEvent = TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
// The handler may change Key; 0 stops the key.
using TKeyEvent = TEvent<void(TObject* Sender, win::WORD& Key, TShiftState Shift)>;
// Key is a Unicode code point; the handler may change it; 0 stops it.
using TKeyPressEvent = TEvent<void(TObject* Sender, char32_t& Key)>;
// MousePos is in client coordinates, or (-1, -1) for a context menu asked
// for from the keyboard; Handled stops the message.
using TContextPopupEvent = TEvent<void(TObject* Sender, TPoint MousePos, bool& Handled)>;

TShiftState KeysToShiftState(win::WPARAM Keys);
TShiftState KeyDataToShiftState(win::LPARAM KeyData);

// --- Texts ---

inline constexpr TResStringRec SParentRequired{1300, "Control '%s' has no parent window"};
inline constexpr TResStringRec SControlParentSetToSelf{1301, "A control cannot have itself as its parent"};
inline constexpr TResStringRec SCannotFocus{1302, "Cannot focus a disabled or invisible window"};
inline constexpr TResStringRec SWindowCreate{1303, "Error creating window"};
inline constexpr TResStringRec SWindowClass{1304, "Error creating window class"};

// ============================================================================
// TControl
// ============================================================================

using TControlActionLinkClass = TActionLinkClassOf<TControlActionLink>;

class TControl : public TComponent {
    TRESTLE_CLASS(TControl, TComponent)
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    // --- Messages ---
    // Sends the message through WindowProc; returns its Result.
    win::LRESULT Perform(win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam);
    TWndMethod WindowProc() const { return FWindowProc; }
    void SetWindowProc(TWndMethod Value) { FWindowProc = Value; }
    virtual void WndProc(TMessage& Message);
    virtual void Dispatch(TMessage& Message);
    // The end of every message nobody handles: the text messages on the
    // control's own text.
    virtual void DefaultHandler(TMessage& Message);

    // --- Parent and position ---
    TWinControl* Parent() const { return FParent; }
    // Raises EInvalidOperation when AParent is the control itself.
    virtual void SetParent(TWinControl* AParent);
    int Left() const { return FLeft; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    int Top() const { return FTop; }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    int Width() const { return FWidth; }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return TRect{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
    void SetBoundsRect(const TRect& R) { SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top); }
    virtual TRect ClientRect();
    int ClientWidth() { return ClientRect().right; }
    void SetClientWidth(int Value);
    int ClientHeight() { return ClientRect().bottom; }
    void SetClientHeight(int Value);
    // Screen position of the client area's (0, 0); raises EInvalidOperation
    // for a control without parent.
    virtual TPoint ClientOrigin();
    TPoint ClientToScreen(TPoint Point);
    TPoint ScreenToClient(TPoint Point);
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);

    // --- State and looks ---
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show();
    void Hide();
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ParentShowHint() const { return FParentShowHint; }
    void SetParentShowHint(bool Value);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    THelpContext HelpContext() const { return FHelpContext; }
    void SetHelpContext(THelpContext Value) { FHelpContext = Value; }
    // Caption and Text are the same text (the window text of a windowed control).
    std::string Caption() { return GetText(); }
    void SetCaption(const std::string& Value) { SetText(Value); }
    std::string Text() { return GetText(); }
    void SetText(const std::string& Value);
    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
    TControlState ControlState() const { return FControlState; }
    void SetControlState(TControlState Value) { FControlState = Value; }
    // Renames, and follows with the caption while it equals the name.
    void SetName(const std::string& NewName) override;

    // --- Actions ---
    TBasicAction* Action() const;
    void SetAction(TBasicAction* Value);
    TControlActionLink* ActionLink() const { return FActionLink; }
    // Updates the action of the link (its OnUpdate runs).
    virtual void InitiateAction();

    // --- Painting and z-order ---
    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront() { SetZOrder(true); }
    void SendToBack() { SetZOrder(false); }

    // --- Mouse ---
    bool MouseCapture();
    void SetMouseCapture(bool Value);
    // Sends CM_CANCELMODE to the active controls of the forms above the control.
    void SendCancelMode(TControl* Sender);

    // --- Events ---
    TNotifyEvent OnClick() const { return FOnClick; }
    void SetOnClick(TNotifyEvent Value) { FOnClick = Value; }
    TNotifyEvent OnDblClick() const { return FOnDblClick; }
    void SetOnDblClick(TNotifyEvent Value) { FOnDblClick = Value; }
    TMouseEvent OnMouseDown() const { return FOnMouseDown; }
    void SetOnMouseDown(TMouseEvent Value) { FOnMouseDown = Value; }
    TMouseEvent OnMouseUp() const { return FOnMouseUp; }
    void SetOnMouseUp(TMouseEvent Value) { FOnMouseUp = Value; }
    TMouseMoveEvent OnMouseMove() const { return FOnMouseMove; }
    void SetOnMouseMove(TMouseMoveEvent Value) { FOnMouseMove = Value; }
    TNotifyEvent OnResize() const { return FOnResize; }
    void SetOnResize(TNotifyEvent Value) { FOnResize = Value; }
    TContextPopupEvent OnContextPopup() const { return FOnContextPopup; }
    void SetOnContextPopup(TContextPopupEvent Value) { FOnContextPopup = Value; }

    // Runs OnContextPopup. Public: code that shows a context menu for the
    // control in its own way asks the control first.
    virtual void DoContextPopup(TPoint MousePos, bool& Handled);

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    // Left, Top, Width, Height, Align, Action, Caption, Color, Cursor,
    // Enabled, Font, HelpContext, Hint, ParentColor, ParentFont,
    // ParentShowHint, ShowHint, Visible and the mouse events.
    void GetPublishedProperties(TPublishedProperties& AList) override;

    // The device context for drawing on the control outside painting: the
    // parent's, moved and clipped to the control. WindowHandle receives the
    // window it belongs to (for ReleaseDC).
    virtual gfx::HDC GetDeviceContext(win::HWND& WindowHandle);

protected:
    // Runs OnClick, or the action through the link when OnClick is the
    // action's OnExecute or unassigned.
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void Resize();

    // Copies the action's properties; with CheckDefaults only into the
    // properties that still have their default values.
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);
    virtual TControlActionLinkClass GetActionLinkClass() const;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void SetParentComponent(TComponent* Value) override;
    // The reader's parent, when it is a windowed control, becomes the parent.
    void ReadState(TReader* Reader) override;

    virtual std::string GetText();
    // Asks the parent to lay out its controls again.
    void RequestAlign();
    virtual void SetZOrder(bool TopMost);
    void InvalidateControl(bool IsVisible, bool IsOpaque);

    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    TAlign FAlign = alNone;
    bool FVisible = true;
    bool FEnabled = true;
    TColor FColor = clWindow;
    bool FParentColor = true;
    TFont* FFont;
    bool FParentFont = true;
    std::string FHint;
    bool FShowHint = false;
    bool FParentShowHint = true;
    TCursor FCursor = crDefault;
    THelpContext FHelpContext = 0;
    std::string FText;
    TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState FControlState;
    TControlActionLink* FActionLink = nullptr;

private:
    friend class TWinControl;

    bool IsColorStored() const { return !FParentColor; }
    bool IsFontStored() const { return !FParentFont; }
    bool IsShowHintStored() const { return !FParentShowHint; }

    void WMLButtonDown(TMessage& Message);
    void WMLButtonUp(TMessage& Message);
    void WMLButtonDblClk(TMessage& Message);
    void WMRButtonDown(TMessage& Message);
    void WMRButtonUp(TMessage& Message);
    void WMRButtonDblClk(TMessage& Message);
    void WMMButtonDown(TMessage& Message);
    void WMMButtonUp(TMessage& Message);
    void WMMButtonDblClk(TMessage& Message);
    void WMMouseMove(TMessage& Message);
    void WMCancelMode(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMParentFontChanged(TMessage& Message);
    void CMParentColorChanged(TMessage& Message);
    void CMParentShowHintChanged(TMessage& Message);
    void CMHitTest(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    // MouseDown / MouseUp with the message's keys and position.
    void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
    void DoMouseUp(TMessage& Message, TMouseButton Button);
    void FontChanged(TObject* Sender);
    void DoActionChange(TObject* Sender);

    TWndMethod FWindowProc;
    TNotifyEvent FOnClick;
    TNotifyEvent FOnDblClick;
    TMouseEvent FOnMouseDown;
    TMouseEvent FOnMouseUp;
    TMouseMoveEvent FOnMouseMove;
    TNotifyEvent FOnResize;
    TContextPopupEvent FOnContextPopup;
};

using TControlClass = TClassOf<TControl>;

// ============================================================================
// TControlActionLink
// ============================================================================

// Links a control to an action: Caption, Enabled, Hint, Visible, HelpContext
// and OnClick follow the action's.
class TControlActionLink : public TActionLink {
    TRESTLE_CLASS(TControlActionLink, TActionLink)
public:
    TControlActionLink() = default;

    TControl* Client() const { return FClient; }

    bool IsCaptionLinked() override;
    bool IsEnabledLinked() override;
    bool IsHelpContextLinked() override;
    bool IsHintLinked() override;
    bool IsVisibleLinked() override;
    bool IsOnExecuteLinked() override;
    void SetCaption(const std::string& Value) override;
    void SetEnabled(bool Value) override;
    void SetHelpContext(THelpContext Value) override;
    void SetHint(const std::string& Value) override;
    void SetVisible(bool Value) override;
    void SetOnExecute(TNotifyEvent Value) override;

    // The hint to show for the client: the action's OnHint may change or
    // refuse it, and with the application's HintShortCuts the action's
    // shortcut is added in brackets.
    virtual bool DoShowHint(std::string& HintStr);

protected:
    void AssignClient(TObject* AClient) override;

    TControl* FClient = nullptr;
};

// ============================================================================
// TWinControl
// ============================================================================

// What CreateWnd creates: the window's text, styles and place, the parent
// (or owner) window, and the window class (registered under WinClassName
// with the class library's window procedure; WindowClass.lpfnWndProc is the
// procedure DefaultHandler passes messages on to).
struct TCreateParams {
    std::string Caption;
    win::DWORD Style = 0;
    win::DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    win::HWND WndParent = nullptr;
    void* Param = nullptr;
    win::WNDCLASS WindowClass{};
    std::string WinClassName;
};

class TWinControl : public TControl {
    TRESTLE_CLASS(TWinControl, TControl)
public:
    explicit TWinControl(TComponent* AOwner);
    // Destroys the window, then deletes the child controls.
    ~TWinControl() override;

    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    // With a window: the window class's procedure; without: the control's text.
    void DefaultHandler(TMessage& Message) override;

    // --- The window ---
    // Creates the window (and the parent's) when there is none yet. Nullptr
    // while the control is being deleted.
    win::HWND Handle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded();
    // Destroys the window and its children's (the control stays).
    void DestroyHandle();
    // Destroys the window and builds a new one (CM_RECREATEWND); nothing
    // without a window.
    void RecreateWnd();
    // The foreign window a parentless control lives in.
    win::HWND ParentWindow() const { return FParentWindow; }
    void SetParentWindow(win::HWND Value);
    // The window is visible as far as the control chain knows.
    bool Showing() const { return FShowing; }

    // --- Child controls ---
    // Graphic controls first, then windowed ones, each in z-order (bottom first).
    int ControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }
    TControl* Controls(int Index) const;
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    bool ContainsControl(TControl* Control) const;
    // The topmost visible (and enabled unless AllowDisabled) child control at
    // a client point: graphic controls, and windowed ones with AllowWinControls.
    TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false);
    // Sends the message to every child until one sets a Result.
    void Broadcast(TMessage& Message);
    void NotifyControls(win::UINT Msg);

    // --- Alignment ---
    void DisableAlign();
    void EnableAlign();
    void Realign();
    virtual void AlignControls(TControl* AControl, TRect& Rect);

    // --- Focus and tab order ---
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool Value);
    int TabOrder() const;
    void SetTabOrder(int Value);
    virtual bool CanFocus();
    bool Focused();
    virtual void SetFocus();
    void GetTabOrderList(std::vector<TWinControl*>& List);
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                 bool CheckParent);
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    // --- Painting ---
    TBrush* Brush() const { return FBrush; }
    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    // Paints the control and its children onto DC at (X, Y) (WM_PRINT).
    void PaintTo(gfx::HDC DC, int X, int Y);
    void PaintControls(gfx::HDC DC, TControl* First);

    TRect ClientRect() override;
    TPoint ClientOrigin() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    gfx::HDC GetDeviceContext(win::HWND& WindowHandle) override;

    // TabStop and the key events.
    void GetPublishedProperties(TPublishedProperties& AList) override;

    // --- Key events ---
    TKeyEvent OnKeyDown() const { return FOnKeyDown; }
    void SetOnKeyDown(TKeyEvent Value) { FOnKeyDown = Value; }
    TKeyEvent OnKeyUp() const { return FOnKeyUp; }
    void SetOnKeyUp(TKeyEvent Value) { FOnKeyUp = Value; }
    TKeyPressEvent OnKeyPress() const { return FOnKeyPress; }
    void SetOnKeyPress(TKeyPressEvent Value) { FOnKeyPress = Value; }

protected:
    // The child controls the form stream holds: those owned by Root.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    // Alignment waits until the children are read.
    void ReadState(TReader* Reader) override;
    virtual void CreateParams(TCreateParams& Params);
    // Builds the window on a class of the window system (a standard control):
    // its procedure becomes the one DefaultHandler passes messages on to.
    void CreateSubClass(TCreateParams& Params, const char* ControlClassName);
    // Registers the window class when needed and creates the window.
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    // Keeps the window text for the next window, then destroys the window.
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    void CreateHandle();
    // Paints the client area (the window class's painting); TCustomControl
    // paints its canvas.
    virtual void PaintWindow(gfx::HDC DC);
    void PaintHandler(TMessage& Message);
    // The client rectangle alignment works in.
    virtual void AdjustClientRect(TRect& Rect);
    void AlignControl(TControl* AControl);
    // Creates and shows the window when the control and its parents show.
    void UpdateControlState();
    void UpdateShowing();
    void SetZOrder(bool TopMost) override;

    virtual void KeyDown(win::WORD& Key, TShiftState Shift);
    virtual void KeyUp(win::WORD& Key, TShiftState Shift);
    virtual void KeyPress(char32_t& Key);
    // True when the key went to a handler (the form's preview or the
    // control's) that stopped it.
    bool DoKeyDown(TMessage& Message);
    bool DoKeyUp(TMessage& Message);
    // Shared by DoKeyDown and DoKeyUp: the form's key preview, then the handler.
    bool DoKey(TMessage& Message, bool (TWinControl::*Preview)(TMessage&),
               void (TWinControl::*Handler)(win::WORD&, TShiftState));
    bool DoKeyPress(TMessage& Message);

    win::HWND FHandle = nullptr;
    win::WNDPROC FDefWndProc = nullptr;
    win::HWND FParentWindow = nullptr;
    bool FShowing = false;
    bool FTabStop = false;
    TBrush* FBrush;
    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FWinControls;
    std::vector<TWinControl*> FTabList;

private:
    friend class TControl;
    friend class TCustomForm;
    friend struct WindowProcedures;

    // The window procedure of the control's window.
    win::LRESULT MainWndProc(win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam);
    void Insert(TControl* AControl);
    void Remove(TControl* AControl);
    // The window to insert a child's window after, to keep the list's z-order.
    win::HWND PrecedingWindow(TWinControl* Control);
    void UpdateBounds();
    bool IsControlMouseMsg(TMessage& Message);
    void RemoveFocus(bool Removing);

    void WMPaint(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMWindowPosChanged(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    void WMNCDestroy(TMessage& Message);
    void WMKeyDown(TMessage& Message);
    void WMKeyUp(TMessage& Message);
    void WMChar(TMessage& Message);
    void WMSysColorChange(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void CNKeyDown(TMessage& Message);
    void CNChar(TMessage& Message);
    // Sends the message to the control of a child window as its CN_ message;
    // false when the window has no control.
    bool DoControlMsg(win::HWND ControlHandle, TMessage& Message);
    void CNCtlColor(TMessage& Message);
    void CMRecreateWnd(TMessage& Message);
    void CMShowingChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMEnabledChanged(TMessage& Message);
    void CMColorChanged(TMessage& Message);
    void CMFontChanged(TMessage& Message);
    void CMShowHintChanged(TMessage& Message);

    int FAlignLevel = 0;
    TKeyEvent FOnKeyDown;
    TKeyEvent FOnKeyUp;
    TKeyPressEvent FOnKeyPress;
};

using TWinControlClass = TClassOf<TWinControl>;

// ============================================================================
// Canvases, graphic controls, custom controls
// ============================================================================

// A canvas on a control: outside painting it gets a device context from the
// control when it draws, which the class library releases after the message
// that drew.
class TControlCanvas : public TCanvas {
    TRESTLE_CLASS(TControlCanvas, TCanvas)
public:
    TControlCanvas() = default;
    ~TControlCanvas() override;

    TControl* Control() const { return FControl; }
    void SetControl(TControl* AControl);
    // Releases the device context the canvas took from its control.
    void FreeHandle();

protected:
    void CreateHandle() override;

private:
    TControl* FControl = nullptr;
    gfx::HDC FDeviceContext = nullptr;
    win::HWND FWindowHandle = nullptr;
};

// Releases the device contexts that control canvases took; the window
// procedure calls it after every message.
void FreeDeviceContexts();

// A control without a window of its own, painted by its parent.
class TGraphicControl : public TControl {
    TRESTLE_CLASS(TGraphicControl, TControl)
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;

    void Dispatch(TMessage& Message) override;
    TCanvas* Canvas() const { return FCanvas; }

protected:
    virtual void Paint() {}

private:
    void WMPaint(TMessage& Message);
    TCanvas* FCanvas;
};

// A windowed control that paints itself on its Canvas.
class TCustomControl : public TWinControl {
    TRESTLE_CLASS(TCustomControl, TWinControl)
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;

    void Dispatch(TMessage& Message) override;
    TCanvas* Canvas() const { return FCanvas; }

protected:
    virtual void Paint() {}
    // Binds Canvas to DC for Paint.
    void PaintWindow(gfx::HDC DC) override;

private:
    void WMPaint(TMessage& Message);
    TCanvas* FCanvas;
};

// ============================================================================
// Helpers
// ============================================================================

// The control whose window this is (nullptr for other windows and stale handles).
TWinControl* FindControl(win::HWND Handle);
// The windowed control under a screen point, walking up from the window there.
TWinControl* FindWindowControl(TPoint Pos);
// The control under a screen point, graphic controls included.
TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);
// The control that holds the mouse capture (a graphic control captures
// through its parent's window).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);

// A hidden window whose messages go to Method; the window is destroyed with
// DeallocateHWnd (or when the window system destroys it).
win::HWND AllocateHWnd(TWndMethod Method);
void DeallocateHWnd(win::HWND Wnd);

} // namespace cls
