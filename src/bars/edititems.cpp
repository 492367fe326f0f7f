#include "bars/edititems.h"

#include <algorithm>

#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/registry.h"
#include "bars/system.h"
#include "bars/wincontrols.h"
#include "lookandfeel/objectlinks.h"
#include "win/user.h"

namespace bars {

// ============================================================================
// TdxBarWindowItem
// ============================================================================

TdxBarWinControl* TdxBarWindowItem::WinControlOf(const TdxBarItemLink* ALink) {
    return ALink ? dynamic_cast<TdxBarWinControl*>(ALink->Control()) : nullptr;
}

void TdxBarWindowItem::SetText(const std::string& Value) {
    if (FText == Value) return;
    FText = Value;
    lf::TcxObjectLinkScope Self(this);
    RepaintLinkControls();
    DoChange();
    if (Self.Alive()) RepaintLinkControls();
}

std::string TdxBarWindowItem::GetCurrentText() const {
    const TdxBarWinControl* Control = WinControlOf(GetActiveLink());
    return Control && Control->Handle() ? Control->GetText() : FText;
}

std::string TdxBarWindowItem::GetTextOfLink(const TdxBarItemLink* ALink) const {
    return ALink && ALink == GetFocusedLink() ? GetCurrentText() : FText;
}

TdxBarItemLink* TdxBarWindowItem::GetFocusedLink() const {
    TdxBarItemLink* Link = GetActiveLink();
    const TdxBarWinControl* Control = WinControlOf(Link);
    return Control && Control->Focused() ? Link : nullptr;
}

void TdxBarWindowItem::FocusEditor(bool AVisibleOnly) {
    for (int I = 0; I < LinkCount(); ++I) {
        TdxBarWinControl* Control = WinControlOf(Links(I));
        TCustomdxBarControl* Window = Control ? Control->Parent() : nullptr;
        if (!IsBarControlAlive(Window) || !Window->HandleAllocated()) continue;
        if (AVisibleOnly && !win::IsWindowVisible(Window->Handle())) continue;
        lf::TcxObjectLinkScope Alive(Control);
        if (!Window->IsActive()) Window->SetActive(true);
        if (IsBarControlAlive(Window) && Alive.Alive()) Window->SelectItemControl(Control);
        if (IsBarControlAlive(Window) && Alive.Alive() && Window->SelectedControl() == Control)
            Control->ControlClick(false);
        return;
    }
}

void TdxBarWindowItem::DoChange() {
    if (!IsLoading()) FOnChange(this);
}

void TdxBarWindowItem::DoCurChange() {
    FOnCurChange(this);
}

void TdxBarWindowItem::DoEnter() {
    FOnEnter(this);
}

void TdxBarWindowItem::DoExit() {
    FOnExit(this);
}

void TdxBarWindowItem::DoKeyDown(win::WORD& Key, cls::TShiftState Shift) {
    FOnKeyDown(this, Key, Shift);
}

void TdxBarWindowItem::DoKeyPress(char32_t& Key) {
    FOnKeyPress(this, Key);
}

void TdxBarWindowItem::DoKeyUp(win::WORD& Key, cls::TShiftState Shift) {
    FOnKeyUp(this, Key, Shift);
}

// ============================================================================
// TdxBarEdit
// ============================================================================

void TdxBarEdit::SetMaxLength(int Value) {
    Value = std::max(Value, 0);
    if (FMaxLength == Value) return;
    FMaxLength = Value;
    ForEachLinkControl([](TdxBarItemControl* C) {
        if (auto* Edit = dynamic_cast<TdxBarEditControl*>(C)) Edit->ApplyMaxLength();
    });
}

void TdxBarEdit::SetShowCaption(bool Value) {
    if (FShowCaption == Value) return;
    FShowCaption = Value;
    if (!IsLoading()) RepaintLinkBars();
}

void TdxBarEdit::SetWidth(int Value) {
    Value = std::max(Value, MinWidth);
    if (FWidth == Value) return;
    FWidth = Value;
    WidthChanged();
}

void TdxBarEdit::WidthChanged() {
    ForEachLinkControl(udWidth, [](TdxBarItemControl* C) {
        if (auto* Edit = dynamic_cast<TdxBarEditControl*>(C)) Edit->WidthChanged();
    });
}

bool TdxBarEdit::CanUseAccelerator(TdxBarItemLink* ALink) const {
    if (!Enabled()) return false;
    const TdxBarItemLinks* Links = ALink ? ALink->Owner() : nullptr;
    return FShowCaption || !(Links && dynamic_cast<TdxBar*>(Links->LinksOwner()));
}

// ============================================================================
// TCustomdxBarCombo
// ============================================================================

void TCustomdxBarCombo::SetShowEditor(bool Value) {
    if (ShowEditor() == Value) return;
    SetNoEditor(!Value);
    if (!IsLoading()) RepaintLinkBars();
}

bool TCustomdxBarCombo::CheckKeyForDropDownWindow(win::WORD Key, cls::TShiftState Shift) {
    bool Accept = Key != win::VK_ESCAPE && Key != win::VK_RETURN && Key != win::VK_TAB;
    FOnCheckKeyForDropDownWindow(this, Key, Shift, Accept);
    return Accept;
}

win::HWND TCustomdxBarCombo::GetDropDownWindow() {
    win::HWND Wnd = nullptr;
    FOnGetDropDownWindow(this, Wnd);
    return Wnd;
}

bool TCustomdxBarCombo::GetDroppedDown() const {
    const TdxBarItemLink* Link = GetActiveLink();
    const auto* Control = Link ? dynamic_cast<const TCustomdxBarComboControl*>(Link->Control()) : nullptr;
    return Control && Control->DroppedDown();
}

cls::TPoint TCustomdxBarCombo::PlaceDropDown(int X, int Y, cls::TSize ASize) const {
    const TdxBarItemLink* Link = GetActiveLink();
    const TdxBarItemControl* Control = Link ? Link->Control() : nullptr;
    const TCustomdxBarControl* Window = Control ? Control->Parent() : nullptr;
    const cls::TRect R = Control ? Control->GetRect() : cls::TRect{};
    const int ControlWidth = R.right - R.left;
    const int ControlHeight = R.bottom - R.top;
    gfx::RECT Area{};
    GetWorkAreaFromPoint(win::POINT{X, Y}, Area);
    const bool Below = Window && Window->IsToolbarWindow() && !IsVerticalBarControl(Window);
    if (Below) {
        if (X + ASize.cx > Area.right) X = Area.right - ASize.cx;
        if (Y + ASize.cy > Area.bottom && Y - ControlHeight - Area.top > Area.bottom - Y)
            Y = Y - ControlHeight - ASize.cy;
    } else {
        if (X + ASize.cx > Area.right && X - ControlWidth - Area.left > Area.right - X)
            X = X - ASize.cx - ControlWidth;
        if (Y + ASize.cy > Area.bottom) Y = Area.bottom - ASize.cy;
    }
    return cls::TPoint{std::max<int>(X, Area.left), std::max<int>(Y, Area.top)};
}

void TCustomdxBarCombo::DropDown(int X, int Y) {
    lf::TcxObjectLinkScope Self(this);
    FOnDropDown(this);
    if (!Self.Alive()) return;
    const win::HWND Wnd = GetDropDownWindow();
    if (!Self.Alive() || !Wnd || !win::IsWindow(Wnd)) return;
    SizeDropDownWindow();
    if (!Self.Alive() || !win::IsWindow(Wnd)) return;
    cls::TRect R;
    win::GetWindowRect(Wnd, &R);
    const cls::TPoint P = PlaceDropDown(X, Y, cls::TSize{R.right - R.left, R.bottom - R.top});
    constexpr win::UINT Flags = win::SWP_NOSIZE | win::SWP_NOZORDER | win::SWP_NOACTIVATE;
    win::SetWindowPos(Wnd, nullptr, P.x, P.y, 0, 0, Flags);
    win::SetWindowPos(Wnd, nullptr, P.x, P.y, 0, 0, Flags | win::SWP_SHOWWINDOW);
    if (Self.Alive()) DoDropDownShown();
}

void TCustomdxBarCombo::CloseUp() {
    lf::TcxObjectLinkScope Self(this);
    const win::HWND Wnd = GetDropDownWindow();
    if (Self.Alive() && Wnd && win::IsWindow(Wnd)) win::ShowWindow(Wnd, win::SW_HIDE);
    if (Self.Alive()) FOnCloseUp(this);
}

} // namespace bars
