#include "bars/wincontrols.h"

#include <algorithm>

#include "bars/barcontrol.h"
#include "bars/comboitems.h"
#include "bars/edititems.h"
#include "bars/manager.h"
#include "bars/managerlist.h"
#include "bars/painter_internal.h"
#include "bars/registry.h"
#include "bars/system.h"
#include "bars/toolbar.h"
#include "classes/forms.h"
#include "lookandfeel/objectlinks.h"
#include "win/user.h"

namespace bars {

namespace {

// The window property that ties a hosted window to its control: the
// subclassing's stand-in for a window procedure made from the control.
constexpr const char* kWinControlProp = "TrestleBarWinControl";

bool IsEmptyRect(const cls::TRect& R) {
    return R.right <= R.left || R.bottom <= R.top;
}

bool Contains(const cls::TRect& R, cls::TPoint P) {
    return gfx::PtInRect(&R, P) != 0;
}

bool IsMouseMessage(win::UINT AMsg) {
    return AMsg >= win::WM_MOUSEFIRST && AMsg <= win::WM_MOUSEWHEEL;
}

// The point of a mouse message of AWnd in the bar window's client area (a
// wheel message carries a screen point).
cls::TPoint MousePointIn(cls::TMessage Message, win::HWND AWnd, win::HWND ABar) {
    win::POINT P = cls::TWMMouse{Message}.Pos();
    if (Message.Msg == win::WM_MOUSEWHEEL)
        win::ScreenToClient(ABar, &P);
    else
        win::MapWindowPoints(AWnd, ABar, &P, 1);
    return P;
}

bool IsToolbarMoving(const TCustomdxBarControl* AWindow) {
    const auto* Toolbar = dynamic_cast<const TdxBarControl*>(AWindow);
    return Toolbar && Toolbar->Moving();
}

} // namespace

// ============================================================================
// The subclassed window procedure
// ============================================================================

struct TdxBarWinControlProc {
    static win::LRESULT Proc(win::HWND Wnd, win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam) {
        auto* Control = static_cast<TdxBarWinControl*>(win::GetProp(Wnd, kWinControlProp));
        if (!Control) return win::DefWindowProc(Wnd, Msg, WParam, LParam);
        cls::TMessage Message{Msg, WParam, LParam, 0};
        try {
            Control->WndProc(Message);
        } catch (...) {
            // The item's events never let an exception into the window system.
            cls::Application->HandleException(nullptr);
        }
        return Message.Result;
    }
};

TdxBarWinControl* TdxBarWinControl::FromWindow(win::HWND AWnd) {
    return AWnd ? static_cast<TdxBarWinControl*>(win::GetProp(AWnd, kWinControlProp)) : nullptr;
}

// ============================================================================
// TdxBarWinControl: life
// ============================================================================

TdxBarWinControl::TdxBarWinControl(TdxBarItemLink* AItemLink) : TdxBarItemControl(AItemLink) {
    SetHasWindow(true);
}

TdxBarWinControl::~TdxBarWinControl() {
    DestroyWindowHandle();
}

TdxBarWindowItem* TdxBarWinControl::GetItem() const {
    return dynamic_cast<TdxBarWindowItem*>(TdxBarItemControl::GetItem());
}

void TdxBarWinControl::Subclass() {
    FOldWndProc = reinterpret_cast<win::WNDPROC>(win::GetWindowLongPtr(FHandle, win::GWLP_WNDPROC));
    win::SetProp(FHandle, kWinControlProp, this);
    win::SetWindowLongPtr(FHandle, win::GWLP_WNDPROC,
                          reinterpret_cast<win::LONG_PTR>(&TdxBarWinControlProc::Proc));
}

void TdxBarWinControl::Unsubclass() {
    if (!FHandle || !win::IsWindow(FHandle)) return;
    if (FOldWndProc)
        win::SetWindowLongPtr(FHandle, win::GWLP_WNDPROC, reinterpret_cast<win::LONG_PTR>(FOldWndProc));
    win::RemoveProp(FHandle, kWinControlProp);
    FOldWndProc = nullptr;
}

void TdxBarWinControl::CreateWindowHandle() {
    FHandle = CreateHostedWindow();
    if (FHandle) Subclass();
}

void TdxBarWinControl::DestroyWindowHandle() {
    if (!FHandle) return;
    SetFocused(false);
    const win::HWND Wnd = FHandle;
    Unsubclass();
    FHandle = nullptr;
    if (win::IsWindow(Wnd)) win::DestroyWindow(Wnd);
}

bool TdxBarWinControl::EnsureWindowHandle() {
    TCustomdxBarControl* Window = Parent();
    if (!IsBarControlAlive(Window) || !Window->HandleAllocated() || Window->IsDestroying()) return false;
    if (FHandle && !win::IsWindow(FHandle)) FHandle = nullptr;
    // A toolbar that switched between docked and floating has another handle.
    if (FHandle && win::GetParent(FHandle) != Window->Handle()) win::SetParent(FHandle, Window->Handle());
    if (!FHandle) CreateWindowHandle();
    return FHandle != nullptr;
}

void TdxBarWinControl::ParentWindowDestroying() {
    DestroyWindowHandle();
}

// ============================================================================
// TdxBarWinControl: text and focus
// ============================================================================

std::string TdxBarWinControl::GetText() const {
    if (!FHandle) return std::string();
    const auto Length = win::SendMessage(FHandle, win::WM_GETTEXTLENGTH, 0, 0);
    if (Length <= 0) return std::string();
    std::string Buffer(static_cast<std::size_t>(Length) + 1, '\0');
    const auto Copied = win::SendMessage(FHandle, win::WM_GETTEXT, Buffer.size(),
                                         reinterpret_cast<win::LPARAM>(Buffer.data()));
    if (Copied <= 0) return std::string();
    Buffer.resize(std::min(static_cast<std::size_t>(Copied), static_cast<std::size_t>(Length)));
    return Buffer;
}

void TdxBarWinControl::PutText(const std::string& S) {
    if (!FHandle) return;
    const bool Previous = FSettingText;
    FSettingText = true;
    try {
        win::SetWindowText(FHandle, S.c_str());
    } catch (...) {
        FSettingText = Previous;
        throw;
    }
    FSettingText = Previous;
}

void TdxBarWinControl::SetText(const std::string& S) {
    lf::TcxObjectLinkScope Self(this);
    PutText(S);
    const TdxBarWindowItem* Item = GetItem();
    if (Self.Alive() && Item && Item->DrawsOwnText()) Repaint();
}

cls::TRect TdxBarWinControl::GetEditWindowRect() const {
    if (!GetEnabled()) return cls::TRect{};
    cls::TRect R = FWindowBounds;
    const TdxBarWindowItem* Item = GetItem();
    if (Item && Item->DrawsOwnText()) R.right = R.left;
    return R;
}

void TdxBarWinControl::SetFocused(bool Value) {
    if (FFocused == Value) return;
    lf::TcxObjectLinkScope Self(this);
    TCustomdxBarControl* Window = Parent();
    if (Value) {
        if (!EnsureWindowHandle()) return;
        FFocused = true;
        win::HWND Focus = win::GetFocus();
        if (!Focus || !win::IsWindowVisible(Focus)) {
            const TdxBarManager* Manager = GetBarManager();
            cls::TCustomForm* Form = Manager ? Manager->OwnerForm() : nullptr;
            Focus = Form && Form->HandleAllocated() ? Form->Handle() : nullptr;
        }
        FPrevFocusWnd = Focus;
        win::SendMessage(FHandle, win::WM_SETFONT, reinterpret_cast<win::WPARAM>(Window->GetFontHandle()), 0);
        if (!Active()) ControlActivate(true);
        if (!Self.Alive() || !FHandle) return;
        const cls::TRect R = GetEditWindowRect();
        win::SetWindowPos(FHandle, nullptr, R.left, R.top, R.right - R.left, R.bottom - R.top,
                          win::SWP_NOZORDER | win::SWP_NOACTIVATE | win::SWP_SHOWWINDOW);
        GetPainter()->SetEditMargins(this, FHandle);
        if (const TdxBarWindowItem* Item = GetItem()) PutText(Item->Text());
        if (Self.Alive() && FHandle) win::SetFocus(FHandle);
        return;
    }
    FFocused = false;
    if (FHandle) win::ShowWindow(FHandle, win::SW_HIDE);
    if (!Self.Alive()) return;
    TdxBarManager* Manager = GetBarManager();
    if (!(Manager && Manager->IsDestroying())) GiveFocusBack();
    FPrevFocusWnd = nullptr;
    TdxBarWindowItem* Item = GetItem();
    const bool Escape = win::GetKeyState(win::VK_ESCAPE) < 0 && win::GetKeyState(win::VK_CONTROL) >= 0 &&
                        win::GetKeyState(win::VK_MENU) >= 0;
    if (Self.Alive() && Manager && Manager->AlwaysSaveText() && !Escape && Item && FHandle &&
        !Item->ComponentState().Contains(cls::csDestroying))
        Item->SetText(GetText());
}

void TdxBarWinControl::GiveFocusBack() {
    // The focus stays where the user put it; only a focus the edit had (or
    // that hiding it handed to the bar window) returns.
    const win::HWND Focus = win::GetFocus();
    TCustomdxBarControl* Window = Parent();
    const win::HWND Bar = IsBarControlAlive(Window) && Window->HandleAllocated() ? Window->Handle() : nullptr;
    if (Focus && Focus != FHandle && Focus != Bar) return;
    win::HWND Target = FPrevFocusWnd;
    if (!Target || !win::IsWindow(Target) || !win::IsWindowVisible(Target) || Target == FHandle)
        Target = IsBarControlAlive(Window) ? Window->GetFocusTarget() : nullptr;
    if (Target) win::SetFocus(Target);
}

// ============================================================================
// TdxBarWinControl: the window procedure
// ============================================================================

void TdxBarWinControl::CallOldWndProc(cls::TMessage& Message) {
    if (!FHandle) return;
    Message.Result = win::CallWindowProc(FOldWndProc ? FOldWndProc : &win::DefWindowProc, FHandle,
                                         Message.Msg, Message.WParam, Message.LParam);
}

void TdxBarWinControl::FlushCharMessages() {
    if (!FHandle) return;
    win::MSG Msg;
    while (win::PeekMessage(&Msg, FHandle, win::WM_CHAR, win::WM_CHAR, win::PM_REMOVE)) {}
}

void TdxBarWinControl::WndProc(cls::TMessage& Message) {
    lf::TcxObjectLinkScope Self(this);
    TdxBarWindowItem* Item = GetItem();
    switch (Message.Msg) {
        case win::WM_KEYDOWN:
        case win::WM_KEYUP: {
            auto Key = static_cast<win::WORD>(Message.WParam);
            if (Item) {
                const cls::TShiftState Shift = cls::KeyDataToShiftState(Message.LParam);
                if (Message.Msg == win::WM_KEYDOWN)
                    Item->DoKeyDown(Key, Shift);
                else
                    Item->DoKeyUp(Key, Shift);
            }
            if (!Self.Alive() || Key == 0) return;
            Message.WParam = Key;
            break;
        }
        case win::WM_CHAR: {
            auto Char = static_cast<char32_t>(Message.WParam);
            if (Item) Item->DoKeyPress(Char);
            if (!Self.Alive() || Char == 0) return;
            Message.WParam = Char;
            break;
        }
        default:
            break;
    }
    HandleMessage(Message);
}

void TdxBarWinControl::HandleMessage(cls::TMessage& Message) {
    lf::TcxObjectLinkScope Self(this);
    TCustomdxBarControl* Window = Parent();
    const win::UINT Msg = Message.Msg;
    switch (Msg) {
        case win::WM_SETFOCUS:
            CallOldWndProc(Message);
            if (Self.Alive() && GetItem()) GetItem()->DoEnter();
            return;
        case win::WM_KILLFOCUS:
            HandleKillFocus(Message);
            return;
        case win::WM_SYSKEYDOWN:
        case win::WM_SYSKEYUP:
            HandleSysKey(Message);
            return;
        case win::WM_RBUTTONDOWN:
            // The bar window's right button (the customizing popup).
            if (IsBarControlAlive(Window) && Window->HandleAllocated()) {
                const cls::TPoint P = MousePointIn(Message, FHandle, Window->Handle());
                win::SendMessage(Window->Handle(), Msg, Message.WParam, win::MAKELPARAM(P.x, P.y));
            }
            return;
        case win::WM_KEYDOWN:
            HandleKeyDown(Message);
            return;
        case win::WM_DESTROY: {
            // Destroyed with the bar window's handle.
            SetFocused(false);
            if (!Self.Alive()) return;
            CallOldWndProc(Message);
            Unsubclass();
            FHandle = nullptr;
            return;
        }
        default:
            break;
    }
    if (IsMouseMessage(Msg) && FHandle && win::GetCapture() != FHandle && IsBarControlAlive(Window) &&
        Window->HandleAllocated()) {
        // The caption and arrow parts of the control are the bar window's,
        // and so is the whole box of a combo without editor.
        const cls::TPoint P = MousePointIn(Message, FHandle, Window->Handle());
        if (Contains(GetRect(), P) && !Contains(GetEditWindowRect(), P)) return;
    }
    CallOldWndProc(Message);
}

void TdxBarWinControl::HandleKillFocus(cls::TMessage& Message) {
    lf::TcxObjectLinkScope Self(this);
    TCustomdxBarControl* Window = Parent();
    const auto To = reinterpret_cast<win::HWND>(Message.WParam);
    CallOldWndProc(Message);
    if (!Self.Alive()) return;
    if (FFocused) {
        // The focus went elsewhere while editing: editing and menu mode end.
        if (IsBarControlAlive(Window)) Window->DeactivateAll();
        if (Self.Alive() && FFocused && IsBarControlAlive(Window) && Window->SelectedControl() == this)
            Window->SelectItemControl(nullptr);
        if (Self.Alive()) SetFocused(false);
    } else if (IsBarControlAlive(Window) && !(Window->HandleAllocated() && To == Window->Handle())) {
        FlushCharMessages();
        Window->DeactivateAll();
    }
    if (Self.Alive() && GetItem()) GetItem()->DoExit();
}

void TdxBarWinControl::HandleKeyDown(cls::TMessage& Message) {
    lf::TcxObjectLinkScope Self(this);
    TCustomdxBarControl* Window = Parent();
    const auto Key = static_cast<win::WORD>(Message.WParam);
    switch (Key) {
        case win::VK_TAB:
            FlushCharMessages();
            if (IsBarControlAlive(Window) && Window->HandleAllocated())
                win::SendMessage(Window->Handle(), win::WM_KEYDOWN, win::VK_TAB, Message.LParam);
            return;
        case win::VK_RETURN:
        case win::VK_ESCAPE:
            EndEditing(Key == win::VK_ESCAPE);
            return;
        default:
            CallOldWndProc(Message);
            return;
    }
}

void TdxBarWinControl::EndEditing(bool AReselect) {
    lf::TcxObjectLinkScope Self(this);
    TCustomdxBarControl* Window = Parent();
    if (!IsBarControlAlive(Window)) return;
    const win::HWND Wnd = FHandle;
    if (Window->SelectedControl() == this)
        Window->SelectItemControl(nullptr);
    else
        SetFocused(false);
    if (!IsBarControlAlive(Window)) return;
    if (Self.Alive()) {
        FlushCharMessages();
    } else if (Wnd && win::IsWindow(Wnd)) {
        win::MSG Msg;
        while (win::PeekMessage(&Msg, Wnd, win::WM_CHAR, win::WM_CHAR, win::PM_REMOVE)) {}
    }
    if (AReselect) {
        if (Self.Alive() && Window->OwnsControl(this)) Window->SetSelectedControl(this);
    } else {
        Window->DeactivateAll();
    }
}

// Alt and F10 in an edit belong to the menus: a key that would reach them
// ends editing first and then goes to the hook's handling (which leaves such
// keys to an edit being edited). Alt going down alone keeps editing, as do
// the combinations the control uses itself (the combo's Alt+Up and Alt+Down).
void TdxBarWinControl::HandleSysKey(cls::TMessage& Message) {
    const bool Down = Message.Msg == win::WM_SYSKEYDOWN;
    const auto Key = static_cast<win::WORD>(Message.WParam);
    if (!Down && FSysKeyCount == 0) return; // its press came before editing
    FSysKeyCount += Down ? 1 : -1;
    if (UsesSysKey(Key, Down)) {
        FAltAlone = false;
        return;
    }
    if (Key == win::VK_MENU && Down) {
        FAltAlone = true;
        if (!HandleKeyFromEdit(Message.WParam, Message.LParam)) CallOldWndProc(Message);
        return;
    }
    if (Key == win::VK_F10 && Down) return; // F10 acts on its release, as outside an edit
    if (Key == win::VK_SHIFT || Key == win::VK_CONTROL) {
        // Alt with Shift or Ctrl is no menu key (a layout switch, say).
        if (Down) FAltAlone = false;
        CallOldWndProc(Message);
        return;
    }
    const bool EndsEditing = Down || Key == win::VK_F10 || (Key == win::VK_MENU && FAltAlone);
    FAltAlone = false;
    if (!EndsEditing) {
        CallOldWndProc(Message);
        return;
    }
    FSysKeyCount = 0;
    lf::TcxObjectLinkScope Self(this);
    const win::HWND Wnd = FHandle;
    EndEditing(false);
    if (HandleKeyFromEdit(Message.WParam, Message.LParam)) {
        // The character the combination typed is no text now.
        win::MSG Msg;
        while (Wnd && win::IsWindow(Wnd) &&
               win::PeekMessage(&Msg, Wnd, win::WM_SYSCHAR, win::WM_SYSCHAR, win::PM_REMOVE)) {}
        return;
    }
    if (Self.Alive()) CallOldWndProc(Message);
}

// ============================================================================
// TdxBarWinControl: overrides
// ============================================================================

void TdxBarWinControl::EnabledChanged() {
    lf::TcxObjectLinkScope Self(this);
    SetFocused(false);
    if (Self.Alive()) inherited::EnabledChanged();
}

bool TdxBarWinControl::CanClickItem() const {
    return IsRotatedBarControl(Parent());
}

void TdxBarWinControl::ControlActivate(bool AImmediately) {
    if (AImmediately) inherited::ControlActivate(AImmediately);
}

void TdxBarWinControl::ControlInactivate(bool AImmediately) {
    inherited::ControlInactivate(AImmediately);
    SetFocused(false);
}

void TdxBarWinControl::ControlPressed(bool AByMouse) {
    lf::TcxObjectLinkScope Self(this);
    SetFocused(true);
    if (Self.Alive()) inherited::ControlPressed(AByMouse);
}

// ============================================================================
// TdxBarEditControl
// ============================================================================

TdxBarEditControl::TdxBarEditControl(TdxBarItemLink* AItemLink) : TdxBarWinControl(AItemLink) {
    // A toolbar moving between docked and floating makes it when it is needed.
    if (!IsToolbarMoving(Parent())) EnsureWindowHandle();
}

TdxBarEdit* TdxBarEditControl::GetEdit() const {
    return dynamic_cast<TdxBarEdit*>(TdxBarItemControl::GetItem());
}

int TdxBarEditControl::MaxLength() const {
    const TdxBarEdit* Edit = GetEdit();
    return Edit ? Edit->MaxLength() : 0;
}

bool TdxBarEditControl::ReadOnly() const {
    const TdxBarEdit* Edit = GetEdit();
    return Edit && Edit->ReadOnly();
}

bool TdxBarEditControl::ShowCaption() const {
    const TdxBarEdit* Edit = GetEdit();
    return IsInMenu() || (Edit && Edit->ShowCaption());
}

void TdxBarEditControl::ApplyMaxLength() {
    if (Handle()) win::SendMessage(Handle(), win::EM_LIMITTEXT, static_cast<win::WPARAM>(MaxLength()), 0);
}

win::HWND TdxBarEditControl::CreateHostedWindow() {
    TCustomdxBarControl* Window = Parent();
    const win::DWORD Style = GetPainter()->GetEditWindowStyle() | win::WS_CHILD;
    const win::HWND Wnd = win::CreateWindowEx(0, "EDIT", "", Style, 0, 0, 100, 100, Window->Handle(), nullptr,
                                              win::GetModuleHandle(nullptr), nullptr);
    if (!Wnd) return nullptr;
    win::SendMessage(Wnd, win::EM_LIMITTEXT, static_cast<win::WPARAM>(MaxLength()), 0);
    if (const TdxBarWindowItem* Item = GetItem()) win::SetWindowText(Wnd, Item->Text().c_str());
    return Wnd;
}

void TdxBarEditControl::ControlPressed(bool AByMouse) {
    lf::TcxObjectLinkScope Self(this);
    inherited::ControlPressed(AByMouse);
    if (Self.Alive() && Handle()) win::SendMessage(Handle(), win::EM_SETSEL, 0, -1);
}

bool TdxBarEditControl::IsSelected() const {
    return inherited::IsSelected() && !(Parent() && Parent()->IsCustomizing());
}

int TdxBarEditControl::GetCaptionWidth() const {
    TCustomdxBarControl* Window = Parent();
    if (!ShowCaption() || !Window) return 0;
    const int Width = Window->Canvas()->TextWidth(RemoveAccelChars(GetCaption()));
    return GetPainter()->GetEditCaptionWidth(const_cast<TdxBarEditControl*>(this), Width);
}

int TdxBarEditControl::GetHeight() const {
    const TCustomdxBarControl* Window = Parent();
    if (!Window) return 0;
    return ShowCaption() ? std::max(Window->EditHeight(), Window->TextHeight()) : Window->EditHeight();
}

int TdxBarEditControl::GetMinLength() const {
    return GetCaptionWidth() + TdxBarEdit::MinWidth;
}

int TdxBarEditControl::GetWidth() const {
    int Width = ItemLink() ? ItemLink()->GetWidth() : 0;
    if (Width <= 0 && GetEdit()) Width = GetEdit()->Width();
    return GetCaptionWidth() + Width;
}

void TdxBarEditControl::PaintFrame(gfx::HDC DC, gfx::RECT& R, TdxBarPaintType APaintType, bool ASelected) {
    const TdxBarItemControlPainterClass Painter = GetPainter();
    if (ShowCaption()) Painter->DrawEditCaption(this, DC, R, APaintType, ASelected);
    Painter->DrawEditFrame(this, DC, R, APaintType, ASelected);
}

void TdxBarEditControl::PlaceEditWindow(const gfx::RECT& R) {
    if (!GetEnabled()) return;
    SetWindowBounds(R);
    if (!Handle() || !win::IsWindowVisible(Handle())) return;
    const cls::TRect Bounds = GetEditWindowRect();
    win::SetWindowPos(Handle(), nullptr, Bounds.left, Bounds.top, Bounds.right - Bounds.left,
                      Bounds.bottom - Bounds.top, win::SWP_NOZORDER | win::SWP_NOACTIVATE);
    GetPainter()->SetEditMargins(this, Handle());
}

void TdxBarEditControl::Paint(const gfx::RECT& R, TdxBarPaintType APaintType) {
    if (IsEmptyRect(R)) return;
    const gfx::HDC DC = GetParentDC();
    if (!DC) return;
    gfx::RECT Text = R;
    PaintFrame(DC, Text, APaintType, IsSelected());
    PlaceEditWindow(Text);
    // While edited the edit window shows the text.
    if (Focused() && GetEnabled()) return;
    const TdxBarWindowItem* Item = GetItem();
    GetPainter()->DrawEditWindow(this, DC, Text, Item ? Item->GetTextOfLink(ItemLink()) : std::string());
}

void TdxBarEditControl::SetFocused(bool Value) {
    if (Value && !Focused()) {
        if (!EnsureWindowHandle()) return;
        const TdxBarWindowItem* Item = GetItem();
        win::SendMessage(Handle(), win::EM_SETREADONLY, ReadOnly() || (Item && Item->DrawsOwnText()), 0);
    }
    inherited::SetFocused(Value);
}

void TdxBarEditControl::SetText(const std::string& S) {
    const bool Changed = GetText() != S;
    lf::TcxObjectLinkScope Self(this);
    inherited::SetText(S);
    if (Self.Alive() && Changed && Handle()) GetPainter()->SelectAllText(Handle(), false);
}

void TdxBarEditControl::HandleMessage(cls::TMessage& Message) {
    lf::TcxObjectLinkScope Self(this);
    TdxBarWindowItem* Item = GetItem();
    switch (Message.Msg) {
        case win::WM_KEYDOWN: {
            const auto Key = static_cast<win::WORD>(Message.WParam);
            if ((Key != win::VK_RETURN && Key != win::VK_TAB) || !Item) break;
            // The text typed is confirmed: it becomes the item's.
            if (Key == win::VK_RETURN && ItemLink()) {
                TdxBarItemLink* ClickLink =
                    ItemLink()->ContainerLink() ? ItemLink()->ContainerLink() : ItemLink();
                ClickLink->ApplyRecentUse(true);
            }
            if (!Self.Alive()) return;
            Item->SetText(GetText());
            if (!Self.Alive() || !Handle() || !win::IsWindowVisible(Handle())) return;
            break;
        }
        case win::WM_COMMAND: {
            const auto From = reinterpret_cast<win::HWND>(Message.LParam);
            if (win::HIWORD(static_cast<win::LPARAM>(Message.WParam)) != win::EN_CHANGE ||
                (From && From != Handle()))
                break;
            if (!SettingText() && Item) Item->DoCurChange();
            return;
        }
        default:
            break;
    }
    inherited::HandleMessage(Message);
}

// ============================================================================
// TCustomdxBarComboControl
// ============================================================================

TCustomdxBarComboControl::~TCustomdxBarComboControl() {
    if (!FDroppedDown) return;
    FDroppedDown = false;
    TCustomdxBarCombo* Combo = GetCombo();
    if (Combo && !Combo->ComponentState().Contains(cls::csDestroying)) {
        Combo->CloseUp();
    } else if (const win::HWND List = GetDropDownWindow(); List && win::IsWindow(List)) {
        win::ShowWindow(List, win::SW_HIDE);
    }
}

TCustomdxBarCombo* TCustomdxBarComboControl::GetCombo() const {
    return dynamic_cast<TCustomdxBarCombo*>(TdxBarItemControl::GetItem());
}

win::HWND TCustomdxBarComboControl::GetDropDownWindow() const {
    TCustomdxBarCombo* Combo = GetCombo();
    return Combo ? Combo->GetDropDownWindow() : nullptr;
}

void TCustomdxBarComboControl::SetDroppedDown(bool Value) {
    TCustomdxBarCombo* Combo = GetCombo();
    if (FDroppedDown == Value || !Combo || (Value && ReadOnly())) return;
    lf::TcxObjectLinkScope Self(this);
    FDroppedDown = Value;
    Repaint();
    if (!Value) {
        Combo->CloseUp();
        return;
    }
    TCustomdxBarControl* Window = Parent();
    if (!IsBarControlAlive(Window) || !Window->HandleAllocated()) {
        FDroppedDown = false;
        return;
    }
    const cls::TRect R = GetRect();
    win::POINT P{R.right, R.top};
    if (Window->IsToolbarWindow() && !IsVerticalBarControl(Window))
        P = win::POINT{R.left + GetCaptionWidth(), R.bottom};
    win::ClientToScreen(Window->Handle(), &P);
    Combo->DropDown(P.x, P.y);
    if (!Self.Alive()) return;
    // A combo without a drop-down window has nothing open.
    const win::HWND List = GetDropDownWindow();
    if (Self.Alive() && !(List && win::IsWindowVisible(List))) {
        FDroppedDown = false;
        Repaint();
    }
}

bool TCustomdxBarComboControl::IsDropDownPartAt(cls::TPoint P) const {
    const TCustomdxBarCombo* Combo = GetCombo();
    return Contains(Combo && !Combo->ShowEditor() ? FBoxRect : FArrowRect, P);
}

void TCustomdxBarComboControl::EnabledChanged() {
    lf::TcxObjectLinkScope Self(this);
    SetDroppedDown(false);
    if (Self.Alive()) inherited::EnabledChanged();
}

void TCustomdxBarComboControl::ControlInactivate(bool AImmediately) {
    lf::TcxObjectLinkScope Self(this);
    SetDroppedDown(false);
    if (Self.Alive()) inherited::ControlInactivate(AImmediately);
}

void TCustomdxBarComboControl::ControlPressed(bool AByMouse) {
    FDropDownOnMouseDown = FDroppedDown;
    FMousePressed = AByMouse;
    lf::TcxObjectLinkScope Self(this);
    inherited::ControlPressed(AByMouse);
    if (!Self.Alive() || !AByMouse || !Parent()->HandleAllocated()) return;
    win::POINT P;
    win::GetCursorPos(&P);
    win::ScreenToClient(Parent()->Handle(), &P);
    // A press on the arrow opens the list; with the list open its release closes it.
    if (IsDropDownPartAt(P) && !FDropDownOnMouseDown) SetDroppedDown(true);
}

void TCustomdxBarComboControl::Click() {
    const bool ByMouse = FMousePressed;
    FMousePressed = false;
    lf::TcxObjectLinkScope Self(this);
    inherited::Click();
    if (!Self.Alive() || !ByMouse || !FDropDownOnMouseDown || !Parent()->HandleAllocated()) return;
    win::POINT P;
    win::GetCursorPos(&P);
    win::ScreenToClient(Parent()->Handle(), &P);
    if (IsDropDownPartAt(P)) SetDroppedDown(false);
}

void TCustomdxBarComboControl::GetTextColorAndBrush(gfx::TColor& AColor, gfx::HBRUSH& ABrush,
                                                    const TdxBarPaintState& AState) const {
    GetPainter()->GetComboArrowColors(const_cast<TCustomdxBarComboControl*>(this), AState, AColor, ABrush);
}

void TCustomdxBarComboControl::PaintText(gfx::HDC DC, const gfx::RECT& R) {
    const TdxBarWindowItem* Item = GetItem();
    GetPainter()->DrawEditWindow(this, DC, R, Item ? Item->GetTextOfLink(ItemLink()) : std::string());
}

void TCustomdxBarComboControl::Paint(const gfx::RECT& R, TdxBarPaintType APaintType) {
    if (IsEmptyRect(R)) return;
    const gfx::HDC DC = GetParentDC();
    if (!DC) return;
    const bool Selected = IsSelected();
    gfx::RECT Box = R;
    PaintFrame(DC, Box, APaintType, Selected);
    FBoxRect = Box;
    const TdxBarItemControlPainterClass Painter = GetPainter();
    const int ArrowWidth = Parent()->ComboArrowWidth();
    FArrowRect = cls::TRect{std::max<int>(Box.left, Box.right - ArrowWidth), Box.top, Box.right, Box.bottom};
    gfx::RECT Text = Box;
    Text.right = std::max<int>(Box.left, Box.right - ArrowWidth - Painter->GetComboFrameSize());
    PlaceEditWindow(Text);
    const TdxBarWindowItem* Item = GetItem();
    if (!(Focused() && GetEnabled() && Item && !Item->DrawsOwnText())) PaintText(DC, Text);
    Painter->DrawComboButton(this, DC, Box, Selected, FDroppedDown);
}

bool TCustomdxBarComboControl::UsesSysKey(win::WORD AKey, bool ADown) {
    if (AKey != win::VK_UP && AKey != win::VK_DOWN) return false;
    if (ADown) SetDroppedDown(!FDroppedDown);
    return true;
}

void TCustomdxBarComboControl::HandleMessage(cls::TMessage& Message) {
    lf::TcxObjectLinkScope Self(this);
    switch (Message.Msg) {
        case win::WM_KEYDOWN: {
            const auto Key = static_cast<win::WORD>(Message.WParam);
            const cls::TShiftState Shift = cls::KeyDataToShiftState(Message.LParam);
            if (Key == win::VK_F4 && Shift.Empty()) {
                SetDroppedDown(!FDroppedDown);
                return;
            }
            TCustomdxBarCombo* Combo = GetCombo();
            if (!FDroppedDown || !Combo || !Combo->CheckKeyForDropDownWindow(Key, Shift)) break;
            if (!Self.Alive()) return;
            if (const win::HWND List = GetDropDownWindow()) {
                // The key is the drop-down's: so is the character it types.
                win::MSG Char;
                if (win::PeekMessage(&Char, Handle(), win::WM_CHAR, win::WM_CHAR, win::PM_NOREMOVE) &&
                    Char.lParam == Message.LParam)
                    win::PeekMessage(&Char, Handle(), win::WM_CHAR, win::WM_CHAR, win::PM_REMOVE);
                win::SendMessage(List, win::WM_KEYDOWN, Key, Message.LParam);
                return;
            }
            break;
        }
        default:
            break;
    }
    if (Self.Alive()) inherited::HandleMessage(Message);
}

// ============================================================================
// TdxBarComboControl
// ============================================================================

TdxBarCustomCombo* TdxBarComboControl::GetCustomCombo() const {
    return dynamic_cast<TdxBarCustomCombo*>(TdxBarItemControl::GetItem());
}

void TdxBarComboControl::SetItemIndex(int I) {
    FEditItemIndex = I;
    const TdxBarCustomCombo* Combo = GetCustomCombo();
    if (!Combo) return;
    const bool Entry = I >= 0 && I < Combo->Items()->Count();
    SetText(Entry ? Combo->Items()->Strings(I) : Combo->Text());
}

void TdxBarComboControl::ItemsReordered() {
    const TdxBarCustomCombo* Combo = GetCustomCombo();
    if (Focused() && Combo) FEditItemIndex = Combo->Items()->IndexOf(GetText());
}

void TdxBarComboControl::SetFocused(bool Value) {
    if (Value && !Focused()) {
        if (!EnsureWindowHandle()) return;
        if (const TdxBarCustomCombo* Combo = GetCustomCombo()) SetItemIndex(Combo->ItemIndex());
    }
    inherited::SetFocused(Value);
}

void TdxBarComboControl::StepItemIndex(int ADelta) {
    const TdxBarCustomCombo* Combo = GetCustomCombo();
    const int Count = Combo ? Combo->Items()->Count() : 0;
    if (Count == 0) return;
    // No entry yet: either key starts at the first one.
    const int Index =
        FEditItemIndex < 0 || FEditItemIndex >= Count ? 0 : std::clamp(FEditItemIndex + ADelta, 0, Count - 1);
    SetItemIndex(Index);
}

void TdxBarComboControl::HandleMessage(cls::TMessage& Message) {
    lf::TcxObjectLinkScope Self(this);
    TdxBarCustomCombo* Combo = GetCustomCombo();
    if (Combo && !ReadOnly()) {
        switch (Message.Msg) {
            case win::WM_KEYDOWN: {
                const auto Key = static_cast<win::WORD>(Message.WParam);
                const cls::TShiftState Shift = cls::KeyDataToShiftState(Message.LParam);
                if ((Key == win::VK_UP || Key == win::VK_DOWN) && Shift.Empty() && !DroppedDown()) {
                    StepItemIndex(Key == win::VK_UP ? -1 : 1);
                    return;
                }
                if ((Key == win::VK_RETURN || Key == win::VK_TAB) && FEditItemIndex >= 0 &&
                    FEditItemIndex < Combo->Items()->Count() &&
                    GetText() == Combo->Items()->Strings(FEditItemIndex)) {
                    Combo->SetItemIndex(FEditItemIndex);
                    if (!Self.Alive()) return;
                }
                break;
            }
            case win::WM_MOUSEWHEEL: {
                const auto Delta = static_cast<short>(win::HIWORD(static_cast<win::LPARAM>(Message.WParam)));
                if (DroppedDown()) {
                    if (const win::HWND List = GetDropDownWindow())
                        win::SendMessage(List, win::WM_VSCROLL, Delta > 0 ? win::SB_LINEUP : win::SB_LINEDOWN,
                                         0);
                } else {
                    StepItemIndex(Delta > 0 ? -1 : 1);
                }
                return;
            }
            default:
                break;
        }
    }
    if (Self.Alive()) inherited::HandleMessage(Message);
}

void TdxBarComboControl::PaintText(gfx::HDC DC, const gfx::RECT& R) {
    TdxBarCustomCombo* Combo = GetCustomCombo();
    if (!Combo) {
        inherited::PaintText(DC, R);
        return;
    }
    cls::TCanvas* Canvas = Parent()->Canvas();
    gfx::TColor TextColor, BkColor;
    GetPainter()->GetEditColors(this, TextColor, BkColor);
    // Only the clip goes back afterwards: the controls painted next draw
    // their text in the font selected into the bar's DC, which must be the
    // canvas's font (restoring the whole DC would bring back the stock font
    // the canvas put in while its font changed, unknown to the canvas).
    detail::SavedClip Clip(DC);
    gfx::IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    Canvas->Font()->Assign(Parent()->Font());
    Canvas->Font()->SetColor(TextColor);
    Canvas->Brush()->SetColor(BkColor);
    // The entry the editor showed last while edited, else the chosen one.
    Combo->DrawClosedText(Canvas, R, Active() ? FEditItemIndex : Combo->ItemIndex());
    // An OnDrawItem that drew without the canvas's font left the stock font.
    gfx::SelectObject(DC, Canvas->Font()->Handle());
}

} // namespace bars
