#include "classes/controls.h"

#include <algorithm>

#include "classes/controls_internal.h"
#include "classes/exceptions.h"
#include "classes/filer.h"
#include "classes/forms.h"
#include "gfx/gdi.h"
#include "gfx/utf8.h"

namespace cls {

using win::HWND;
using win::LPARAM;
using win::LRESULT;
using win::UINT;
using win::WPARAM;

namespace {

thread_local TControl* t_CaptureControl = nullptr;
thread_local std::vector<TControlCanvas*> t_CanvasList;

} // namespace

TControl* detail::CaptureControl() {
    return t_CaptureControl;
}

TShiftState KeysToShiftState(WPARAM Keys) {
    TShiftState Result;
    if (Keys & win::MK_SHIFT) Result.Include(ssShift);
    if (Keys & win::MK_CONTROL) Result.Include(ssCtrl);
    if (Keys & win::MK_LBUTTON) Result.Include(ssLeft);
    if (Keys & win::MK_RBUTTON) Result.Include(ssRight);
    if (Keys & win::MK_MBUTTON) Result.Include(ssMiddle);
    if (win::GetKeyState(win::VK_MENU) < 0) Result.Include(ssAlt);
    return Result;
}

TShiftState KeyDataToShiftState(LPARAM KeyData) {
    TShiftState Result;
    if (win::GetKeyState(win::VK_SHIFT) < 0) Result.Include(ssShift);
    if (win::GetKeyState(win::VK_CONTROL) < 0) Result.Include(ssCtrl);
    if (KeyData & win::KF_ALTDOWN_BIT) Result.Include(ssAlt);
    return Result;
}

// ============================================================================
// Mouse capture
// ============================================================================

TControl* GetCaptureControl() {
    TControl* Result = FindControl(win::GetCapture());
    if (Result && t_CaptureControl && t_CaptureControl->Parent() == Result) Result = t_CaptureControl;
    return Result;
}

void SetCaptureControl(TControl* Control) {
    win::ReleaseCapture();
    t_CaptureControl = nullptr;
    if (!Control) return;
    auto* Window = dynamic_cast<TWinControl*>(Control);
    if (!Window) {
        if (!Control->Parent()) return;
        t_CaptureControl = Control;
        Window = Control->Parent();
    }
    if (HWND Handle = Window->Handle()) win::SetCapture(Handle);
}

// ============================================================================
// TControl
// ============================================================================

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
    FFont = new TFont;
    FFont->SetOnChange(TNotifyEvent(this, &TControl::FontChanged));
    FWindowProc = TWndMethod(this, &TControl::WndProc);
}

TControl::~TControl() {
    Destroying();
    if (TApplication* App = ApplicationIfExists()) App->ControlDestroyed(this);
    if (t_CaptureControl == this) SetCaptureControl(nullptr);
    SetParent(nullptr);
    delete FActionLink;
    FActionLink = nullptr;
    delete FFont;
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage Message{Msg, WParam, LParam, 0};
    const TWndMethod Proc = FWindowProc;
    Proc(Message);
    return Message.Result;
}

void TControl::WndProc(TMessage& Message) {
    if (ComponentState().Contains(csDesigning)) {
        TCustomForm* Form = GetParentForm(this);
        if (Form && Form->Designer() && Form->Designer()->IsDesignMsg(this, Message)) return;
    }
    if (Message.Msg >= win::WM_MOUSEFIRST && Message.Msg <= win::WM_MOUSELAST) {
        if (!FControlStyle.Contains(csDoubleClicks)) {
            switch (Message.Msg) {
                case win::WM_LBUTTONDBLCLK:
                case win::WM_RBUTTONDBLCLK:
                case win::WM_MBUTTONDBLCLK:
                    Message.Msg -= win::WM_LBUTTONDBLCLK - win::WM_LBUTTONDOWN;
                    break;
                default:
                    break;
            }
        }
        switch (Message.Msg) {
            case win::WM_LBUTTONDOWN:
            case win::WM_LBUTTONDBLCLK:
                FControlState.Include(csLButtonDown);
                break;
            case win::WM_LBUTTONUP:
                FControlState.Exclude(csLButtonDown);
                break;
            default:
                break;
        }
    }
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
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
        case win::WM_RBUTTONUP:
            WMRButtonUp(Message);
            break;
        case win::WM_RBUTTONDBLCLK:
            WMRButtonDblClk(Message);
            break;
        case win::WM_MBUTTONDOWN:
            WMMButtonDown(Message);
            break;
        case win::WM_MBUTTONUP:
            WMMButtonUp(Message);
            break;
        case win::WM_MBUTTONDBLCLK:
            WMMButtonDblClk(Message);
            break;
        case win::WM_MOUSEMOVE:
            WMMouseMove(Message);
            break;
        case win::WM_CANCELMODE:
            WMCancelMode(Message);
            break;
        case win::WM_CONTEXTMENU:
            WMContextMenu(Message);
            break;
        case CM_VISIBLECHANGED:
            CMVisibleChanged(Message);
            break;
        case CM_ENABLEDCHANGED:
            CMEnabledChanged(Message);
            break;
        case CM_FONTCHANGED:
            CMFontChanged(Message);
            break;
        case CM_COLORCHANGED:
            CMColorChanged(Message);
            break;
        case CM_PARENTFONTCHANGED:
            CMParentFontChanged(Message);
            break;
        case CM_PARENTCOLORCHANGED:
            CMParentColorChanged(Message);
            break;
        case CM_PARENTSHOWHINTCHANGED:
            CMParentShowHintChanged(Message);
            break;
        case CM_HITTEST:
            CMHitTest(Message);
            break;
        case CM_MOUSEENTER:
            CMMouseEnter(Message);
            break;
        case CM_MOUSELEAVE:
            CMMouseLeave(Message);
            break;
        default:
            DefaultHandler(Message);
            break;
    }
}

void TControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
        case win::WM_GETTEXT:
            Message.Result = static_cast<LRESULT>(
                gfx::CopyUtf8ToBuffer(FText, reinterpret_cast<char*>(Message.LParam), Message.WParam));
            break;
        case win::WM_GETTEXTLENGTH:
            Message.Result = static_cast<LRESULT>(FText.size());
            break;
        case win::WM_SETTEXT:
            FText = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
            Message.Result = win::TRUE;
            break;
        default:
            break;
    }
}

// --- Parent and position ---

void TControl::SetParent(TWinControl* AParent) {
    if (FParent == AParent) return;
    for (TControl* C = AParent; C; C = C->FParent)
        if (C == this) throw EInvalidOperation(SControlParentSetToSelf);
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    InvalidateControl(FVisible, false);
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    Invalidate();
    RequestAlign();
    if (!ComponentState().Contains(csLoading)) Resize();
}

TRect TControl::ClientRect() {
    return TRect{0, 0, FWidth, FHeight};
}

void TControl::SetClientWidth(int Value) {
    const TRect Client = ClientRect();
    SetBounds(FLeft, FTop, FWidth - Client.right + Value, FHeight);
}

void TControl::SetClientHeight(int Value) {
    const TRect Client = ClientRect();
    SetBounds(FLeft, FTop, FWidth, FHeight - Client.bottom + Value);
}

TPoint TControl::ClientOrigin() {
    if (!FParent) throw EInvalidOperation(SParentRequired, {Name()});
    TPoint Result = FParent->ClientOrigin();
    Result.x += FLeft;
    Result.y += FTop;
    return Result;
}

TPoint TControl::ClientToScreen(TPoint Point) {
    const TPoint Origin = ClientOrigin();
    return TPoint{Point.x + Origin.x, Point.y + Origin.y};
}

TPoint TControl::ScreenToClient(TPoint Point) {
    const TPoint Origin = ClientOrigin();
    return TPoint{Point.x - Origin.x, Point.y - Origin.y};
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value) return;
    const TAlign Old = FAlign;
    FAlign = Value;
    if (ComponentState().Contains(csLoading)) return;
    const auto Vertical = [](TAlign A) { return A == alTop || A == alBottom; };
    const auto Edge = [](TAlign A) { return A != alNone && A != alClient; };
    // A control turned from a horizontal to a vertical edge keeps its thickness.
    if (Edge(Old) && Edge(Value) && Vertical(Old) != Vertical(Value)) SetBounds(FLeft, FTop, FHeight, FWidth);
    RequestAlign();
}

void TControl::RequestAlign() {
    if (FParent) FParent->AlignControl(this);
}

// --- State and looks ---

void TControl::SetVisible(bool Value) {
    if (FVisible == Value) return;
    FVisible = Value;
    TComponentGuard Guard(this);
    Perform(CM_VISIBLECHANGED, Value, 0);
    if (Guard.Alive()) RequestAlign();
}

void TControl::Show() {
    SetVisible(true);
}

void TControl::Hide() {
    SetVisible(false);
}

void TControl::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    FParentColor = false;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
    if (FParentColor == Value) return;
    FParentColor = Value;
    if (FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
    if (FParentFont == Value) return;
    FParentFont = Value;
    if (FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value) {
    if (FShowHint == Value) return;
    FShowHint = Value;
    FParentShowHint = false;
    Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
    if (FParentShowHint == Value) return;
    FParentShowHint = Value;
    if (FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED, 0, 0);
}

std::string TControl::GetText() {
    const LRESULT Length = Perform(win::WM_GETTEXTLENGTH, 0, 0);
    if (Length <= 0) return {};
    std::string Result(static_cast<std::size_t>(Length) + 1, '\0');
    const LRESULT Copied = Perform(win::WM_GETTEXT, Result.size(), reinterpret_cast<LPARAM>(Result.data()));
    Result.resize(static_cast<std::size_t>(std::clamp<LRESULT>(Copied, 0, Length)));
    return Result;
}

void TControl::SetText(const std::string& Value) {
    if (GetText() == Value) return;
    TComponentGuard Guard(this);
    Perform(win::WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
    if (Guard.Alive()) Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::SetName(const std::string& NewName) {
    const TComponentState State = ComponentState();
    const bool OwnerLoading =
        Owner() && dynamic_cast<TControl*>(Owner()) && Owner()->ComponentState().Contains(csLoading);
    const bool ChangeText = FControlStyle.Contains(csSetCaption) && !State.Contains(csLoading) &&
                            !OwnerLoading && Name() == GetText();
    inherited::SetName(NewName);
    if (ChangeText) SetText(NewName);
}

void TControl::FontChanged(TObject*) {
    FParentFont = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

// --- Actions ---

TBasicAction* TControl::Action() const {
    return FActionLink ? FActionLink->Action() : nullptr;
}

void TControl::SetAction(TBasicAction* Value) {
    if (!Value) {
        if (FActionLink && FActionLink->Action()) FActionLink->Action()->RemoveFreeNotification(this);
        delete FActionLink;
        FActionLink = nullptr;
        FControlStyle.Exclude(csActionClient);
        return;
    }
    FControlStyle.Include(csActionClient);
    if (!FActionLink) {
        FActionLink = GetActionLinkClass().Create(this);
        if (!FActionLink) FActionLink = ActionLinkClass<TControlActionLink>().Create(this);
    }
    FActionLink->SetAction(Value);
    FActionLink->SetOnChange(TNotifyEvent(this, &TControl::DoActionChange));
    ActionChange(Value, Value->ComponentState().Contains(csLoading));
    Value->FreeNotification(this);
}

TControlActionLinkClass TControl::GetActionLinkClass() const {
    return ActionLinkClass<TControlActionLink>();
}

void TControl::DoActionChange(TObject* Sender) {
    if (Sender == Action()) ActionChange(Sender, false);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
    auto* A = dynamic_cast<TCustomAction*>(Sender);
    if (!A) return;
    if (!CheckDefaults || GetText().empty() || GetText() == Name()) SetText(A->Caption());
    if (!CheckDefaults || FEnabled) SetEnabled(A->Enabled());
    if (!CheckDefaults || FHint.empty()) SetHint(A->Hint());
    if (!CheckDefaults || FVisible) SetVisible(A->Visible());
    if (!CheckDefaults || !FOnClick) SetOnClick(A->OnExecute());
    if (!CheckDefaults || FHelpContext == 0) SetHelpContext(A->HelpContext());
}

void TControl::InitiateAction() {
    if (FActionLink) FActionLink->Update();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    // An action being deleted unregisters its links first, so a link
    // without action is the sign.
    if (Operation == opRemove && FActionLink &&
        (!FActionLink->Action() || AComponent == FActionLink->Action()))
        SetAction(nullptr);
}

TComponent* TControl::GetParentComponent() const {
    return FParent;
}

void TControl::GetPublishedProperties(TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    static constexpr const char* Aligns[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"};
    AList.Integer("Left", &TControl::Left, &TControl::SetLeft);
    AList.Integer("Top", &TControl::Top, &TControl::SetTop);
    AList.Integer("Width", &TControl::Width, &TControl::SetWidth);
    AList.Integer("Height", &TControl::Height, &TControl::SetHeight);
    AList.Enum("Align", &TControl::Align, &TControl::SetAlign, Aligns, alNone);
    AList.Component("Action", &TControl::Action, &TControl::SetAction);
    AList.String("Caption", &TControl::Caption, &TControl::SetCaption);
    AList.Color("Color", &TControl::Color, &TControl::SetColor).StoredWhen(&TControl::IsColorStored);
    AList.Integer("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault);
    AList.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true);
    AList.Object("Font", &TControl::Font).StoredWhen(&TControl::IsFontStored);
    AList.Integer("HelpContext", &TControl::HelpContext, &TControl::SetHelpContext, 0);
    AList.String("Hint", &TControl::Hint, &TControl::SetHint);
    AList.Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, true);
    AList.Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true);
    AList.Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true);
    AList.Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint, false)
        .StoredWhen(&TControl::IsShowHintStored);
    AList.Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true);
    AList.Event("OnClick", &TControl::OnClick, &TControl::SetOnClick);
    AList.Event("OnContextPopup", &TControl::OnContextPopup, &TControl::SetOnContextPopup);
    AList.Event("OnDblClick", &TControl::OnDblClick, &TControl::SetOnDblClick);
    AList.Event("OnMouseDown", &TControl::OnMouseDown, &TControl::SetOnMouseDown);
    AList.Event("OnMouseMove", &TControl::OnMouseMove, &TControl::SetOnMouseMove);
    AList.Event("OnMouseUp", &TControl::OnMouseUp, &TControl::SetOnMouseUp);
    AList.Event("OnResize", &TControl::OnResize, &TControl::SetOnResize);
}

void TControl::ReadState(TReader* Reader) {
    if (auto* Parent = dynamic_cast<TWinControl*>(Reader->Parent())) SetParent(Parent);
    inherited::ReadState(Reader);
}

void TControl::SetParentComponent(TComponent* Value) {
    if (auto* Parent = dynamic_cast<TWinControl*>(Value)) SetParent(Parent);
}

// --- Painting ---

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
    if (!IsVisible || !FParent || !FParent->HandleAllocated()) return;
    const TRect R = BoundsRect();
    win::InvalidateRect(FParent->FHandle, &R, !(IsOpaque || FParent->FControlStyle.Contains(csOpaque)));
}

void TControl::Invalidate() {
    InvalidateControl(FVisible, FControlStyle.Contains(csOpaque));
}

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::Repaint() {
    if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
    if (FControlStyle.Contains(csOpaque)) {
        HWND Wnd = FParent->FHandle;
        gfx::HDC DC = win::GetDC(Wnd);
        gfx::IntersectClipRect(DC, FLeft, FTop, FLeft + FWidth, FTop + FHeight);
        FParent->PaintControls(DC, this);
        win::ReleaseDC(Wnd, DC);
    } else {
        Invalidate();
        Update();
    }
}

void TControl::SetZOrder(bool TopMost) {
    if (!FParent) return;
    auto& List = FParent->FControls;
    auto It = std::find(List.begin(), List.end(), this);
    if (It == List.end()) return;
    List.erase(It);
    if (TopMost) {
        List.push_back(this);
    } else {
        List.insert(List.begin(), this);
    }
    Invalidate();
}

gfx::HDC TControl::GetDeviceContext(HWND& WindowHandle) {
    if (!FParent) throw EInvalidOperation(SParentRequired, {Name()});
    gfx::HDC DC = FParent->GetDeviceContext(WindowHandle);
    gfx::SetViewportOrgEx(DC, FLeft, FTop, nullptr);
    gfx::IntersectClipRect(DC, 0, 0, FWidth, FHeight);
    return DC;
}

// --- Mouse ---

bool TControl::MouseCapture() {
    return GetCaptureControl() == this;
}

void TControl::SetMouseCapture(bool Value) {
    if (MouseCapture() != Value) SetCaptureControl(Value ? this : nullptr);
}

void TControl::SendCancelMode(TControl* Sender) {
    std::vector<TCustomForm*> Forms;
    for (TControl* C = this; C; C = C->FParent)
        if (auto* Form = dynamic_cast<TCustomForm*>(C)) Forms.push_back(Form);
    TComponentGuard Guard(this);
    for (TCustomForm* Form : Forms) {
        if (!Guard.Alive()) return;
        Form->SendCancelMode(Sender);
    }
}

void TControl::Click() {
    TBasicAction* A = Action();
    if (FOnClick && A && !(FOnClick == A->OnExecute())) {
        FOnClick(this);
    } else if (!ComponentState().Contains(csDesigning) && FActionLink) {
        FActionLink->Execute(this);
    } else {
        FOnClick(this);
    }
}

void TControl::DblClick() {
    FOnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FOnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FOnMouseUp(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    FOnMouseMove(this, Shift, X, Y);
}

void TControl::Resize() {
    FOnResize(this);
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
    if (FControlStyle.Contains(csNoStdEvents)) return;
    const TWMMouse M{Message};
    MouseDown(Button, KeysToShiftState(M.Keys()) + Shift, M.XPos(), M.YPos());
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
    if (FControlStyle.Contains(csNoStdEvents)) return;
    const TWMMouse M{Message};
    MouseUp(Button, KeysToShiftState(M.Keys()), M.XPos(), M.YPos());
}

void TControl::WMLButtonDown(TMessage& Message) {
    TComponentGuard Guard(this);
    SendCancelMode(this);
    if (!Guard.Alive()) return;
    DefaultHandler(Message);
    if (!Guard.Alive()) return;
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
    DoMouseDown(Message, mbLeft, {});
}

void TControl::WMLButtonUp(TMessage& Message) {
    TComponentGuard Guard(this);
    DefaultHandler(Message);
    if (!Guard.Alive()) return;
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
    if (!Guard.Alive()) return;
    if (FControlState.Contains(csClicked)) {
        FControlState.Exclude(csClicked);
        if (const TRect R = ClientRect(); gfx::PtInRect(&R, TWMMouse{Message}.Pos())) {
            Click();
            if (!Guard.Alive()) return;
        }
    }
    DoMouseUp(Message, mbLeft);
}

void TControl::WMLButtonDblClk(TMessage& Message) {
    TComponentGuard Guard(this);
    SendCancelMode(this);
    if (!Guard.Alive()) return;
    DefaultHandler(Message);
    if (!Guard.Alive()) return;
    if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
    if (FControlStyle.Contains(csClickEvents)) {
        DblClick();
        if (!Guard.Alive()) return;
    }
    DoMouseDown(Message, mbLeft, {ssDouble});
}

void TControl::WMRButtonDown(TMessage& Message) {
    TComponentGuard Guard(this);
    DefaultHandler(Message);
    if (Guard.Alive()) DoMouseDown(Message, mbRight, {});
}

void TControl::WMRButtonUp(TMessage& Message) {
    TComponentGuard Guard(this);
    DefaultHandler(Message);
    if (Guard.Alive()) DoMouseUp(Message, mbRight);
}

void TControl::WMRButtonDblClk(TMessage& Message) {
    TComponentGuard Guard(this);
    DefaultHandler(Message);
    if (Guard.Alive()) DoMouseDown(Message, mbRight, {ssDouble});
}

void TControl::WMMButtonDown(TMessage& Message) {
    TComponentGuard Guard(this);
    DefaultHandler(Message);
    if (Guard.Alive()) DoMouseDown(Message, mbMiddle, {});
}

void TControl::WMMButtonUp(TMessage& Message) {
    TComponentGuard Guard(this);
    DefaultHandler(Message);
    if (Guard.Alive()) DoMouseUp(Message, mbMiddle);
}

void TControl::WMMButtonDblClk(TMessage& Message) {
    TComponentGuard Guard(this);
    DefaultHandler(Message);
    if (Guard.Alive()) DoMouseDown(Message, mbMiddle, {ssDouble});
}

void TControl::WMMouseMove(TMessage& Message) {
    TComponentGuard Guard(this);
    DefaultHandler(Message);
    if (!Guard.Alive() || FControlStyle.Contains(csNoStdEvents)) return;
    const TWMMouse M{Message};
    MouseMove(KeysToShiftState(M.Keys()), M.XPos(), M.YPos());
}

void TControl::WMCancelMode(TMessage& Message) {
    TComponentGuard Guard(this);
    DefaultHandler(Message);
    if (!Guard.Alive()) return;
    if (MouseCapture()) {
        SetMouseCapture(false);
        // A press in progress ends outside the control, so it clicks nothing.
        if (Guard.Alive() && FControlState.Contains(csLButtonDown))
            Perform(win::WM_LBUTTONUP, 0, win::MAKELPARAM(-1, -1));
    } else {
        FControlState.Exclude(csLButtonDown);
    }
}

// A click outside the client area (a child's frame, say) is the window's
// business; a control that does not handle the menu passes it on.
void TControl::WMContextMenu(TMessage& Message) {
    if (Message.Result != 0 || ComponentState().Contains(csDesigning)) return;
    const TWMContextMenu M{Message};
    TPoint Pos = M.Pos();
    if (!M.ByKeyboard()) {
        Pos = ScreenToClient(Pos);
        const TRect R = ClientRect();
        if (!gfx::PtInRect(&R, Pos)) {
            DefaultHandler(Message);
            return;
        }
    }
    TComponentGuard Guard(this);
    bool Handled = false;
    DoContextPopup(Pos, Handled);
    if (!Guard.Alive()) return;
    Message.Result = Handled ? 1 : 0;
    if (!Handled) DefaultHandler(Message);
}

void TControl::DoContextPopup(TPoint MousePos, bool& Handled) {
    if (FOnContextPopup) FOnContextPopup(this, MousePos, Handled);
}

// --- Notifications ---

void TControl::CMVisibleChanged(TMessage&) {
    InvalidateControl(true, FVisible && FControlStyle.Contains(csOpaque));
}

void TControl::CMEnabledChanged(TMessage&) {
    Invalidate();
}

void TControl::CMFontChanged(TMessage&) {
    Invalidate();
}

void TControl::CMColorChanged(TMessage&) {
    Invalidate();
}

void TControl::CMParentFontChanged(TMessage& Message) {
    if (!FParentFont) return;
    TFont* Source =
        Message.WParam ? reinterpret_cast<TFont*>(Message.LParam) : (FParent ? FParent->FFont : nullptr);
    if (Source) SetFont(Source);
    FParentFont = true;
}

void TControl::CMParentColorChanged(TMessage& Message) {
    if (!FParentColor) return;
    if (Message.WParam) {
        SetColor(static_cast<TColor>(Message.LParam));
    } else if (FParent) {
        SetColor(FParent->FColor);
    }
    FParentColor = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
    if (!FParentShowHint || !FParent) return;
    SetShowHint(FParent->FShowHint);
    FParentShowHint = true;
}

void TControl::CMHitTest(TMessage& Message) {
    Message.Result = win::HTCLIENT;
}

void TControl::CMMouseEnter(TMessage&) {
    if (FParent) FParent->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
}

void TControl::CMMouseLeave(TMessage&) {
    if (FParent) FParent->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
}

// ============================================================================
// TControlActionLink
// ============================================================================

void TControlActionLink::AssignClient(TObject* AClient) {
    FClient = dynamic_cast<TControl*>(AClient);
}

bool TControlActionLink::IsCaptionLinked() {
    return TActionLink::IsCaptionLinked() && FClient && FClient->Caption() == CustomAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() {
    return TActionLink::IsEnabledLinked() && FClient && FClient->Enabled() == CustomAction()->Enabled();
}

bool TControlActionLink::IsHelpContextLinked() {
    return TActionLink::IsHelpContextLinked() && FClient &&
           FClient->HelpContext() == CustomAction()->HelpContext();
}

bool TControlActionLink::IsHintLinked() {
    return TActionLink::IsHintLinked() && FClient && FClient->Hint() == CustomAction()->Hint();
}

bool TControlActionLink::IsVisibleLinked() {
    return TActionLink::IsVisibleLinked() && FClient && FClient->Visible() == CustomAction()->Visible();
}

bool TControlActionLink::IsOnExecuteLinked() {
    return TActionLink::IsOnExecuteLinked() && FClient && Action() &&
           FClient->OnClick() == Action()->OnExecute();
}

void TControlActionLink::SetCaption(const std::string& Value) {
    if (IsCaptionLinked()) FClient->SetCaption(Value);
}

void TControlActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked()) FClient->SetEnabled(Value);
}

void TControlActionLink::SetHelpContext(THelpContext Value) {
    if (IsHelpContextLinked()) FClient->SetHelpContext(Value);
}

void TControlActionLink::SetHint(const std::string& Value) {
    if (IsHintLinked()) FClient->SetHint(Value);
}

void TControlActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked()) FClient->SetVisible(Value);
}

void TControlActionLink::SetOnExecute(TNotifyEvent Value) {
    if (IsOnExecuteLinked()) FClient->SetOnClick(Value);
}

bool TControlActionLink::DoShowHint(std::string& HintStr) {
    TCustomAction* A = CustomAction();
    if (!A) return true;
    if (!A->DoHint(HintStr)) return false;
    if (Application->HintShortCuts() && A->ShortCut() != scNone && !HintStr.empty())
        HintStr = Format("%s (%s)", {HintStr, ShortCutToText(A->ShortCut())});
    return true;
}

// ============================================================================
// TControlCanvas
// ============================================================================

TControlCanvas::~TControlCanvas() {
    FreeHandle();
}

void TControlCanvas::SetControl(TControl* AControl) {
    if (FControl == AControl) return;
    FreeHandle();
    FControl = AControl;
}

void TControlCanvas::CreateHandle() {
    if (!FControl) {
        inherited::CreateHandle();
        return;
    }
    if (!FDeviceContext) {
        FDeviceContext = FControl->GetDeviceContext(FWindowHandle);
        t_CanvasList.push_back(this);
    }
    SetHandle(FDeviceContext);
}

void TControlCanvas::FreeHandle() {
    if (!FDeviceContext) return;
    SetHandle(nullptr);
    t_CanvasList.erase(std::remove(t_CanvasList.begin(), t_CanvasList.end(), this), t_CanvasList.end());
    win::ReleaseDC(FWindowHandle, FDeviceContext);
    FDeviceContext = nullptr;
    FWindowHandle = nullptr;
}

void FreeDeviceContexts() {
    while (!t_CanvasList.empty()) t_CanvasList.back()->FreeHandle();
}

// ============================================================================
// TGraphicControl
// ============================================================================

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
    auto* Canvas = new TControlCanvas;
    Canvas->SetControl(this);
    FCanvas = Canvas;
}

TGraphicControl::~TGraphicControl() {
    if (t_CaptureControl == this) SetCaptureControl(nullptr);
    delete FCanvas;
}

void TGraphicControl::Dispatch(TMessage& Message) {
    if (Message.Msg == win::WM_PAINT) {
        WMPaint(Message);
    } else {
        inherited::Dispatch(Message);
    }
}

void TGraphicControl::WMPaint(TMessage& Message) {
    gfx::HDC DC = TWMPaint{Message}.DC();
    if (!DC) return;
    detail::TPaintBinding Binding(this, FCanvas, DC);
    Paint();
}

// ============================================================================
// TCustomControl
// ============================================================================

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
    auto* Canvas = new TControlCanvas;
    Canvas->SetControl(this);
    FCanvas = Canvas;
}

TCustomControl::~TCustomControl() {
    delete FCanvas;
    FCanvas = nullptr;
}

void TCustomControl::Dispatch(TMessage& Message) {
    if (Message.Msg == win::WM_PAINT) {
        WMPaint(Message);
    } else {
        inherited::Dispatch(Message);
    }
}

void TCustomControl::WMPaint(TMessage& Message) {
    FControlState.Include(csCustomPaint);
    TComponentGuard Guard(this);
    inherited::Dispatch(Message);
    if (Guard.Alive()) FControlState.Exclude(csCustomPaint);
}

void TCustomControl::PaintWindow(gfx::HDC DC) {
    detail::TPaintBinding Binding(this, FCanvas, DC);
    Paint();
}

} // namespace cls
