#include "bars/itemcontrol.h"

#include <algorithm>

#include "bars/barcontrol.h"
#include "bars/button.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/registry.h"
#include "bars/subitem.h"
#include "bars/submenu.h"
#include "bars/system.h"
#include "bars/toolbar.h"
#include "classes/forms.h"
#include "classes/imagelist.h"
#include "classes/shortcuts.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/objectlinks.h"

namespace bars {

namespace {

// The one sub item control whose opening or closing waits on the delay
// timer, and that timer (a thread timer, without window).
TdxBarSubItemControl* GPendingControl = nullptr;
win::UINT_PTR GPendingTimer = 0;

void KillPendingTimer() {
    if (GPendingTimer) win::KillTimer(nullptr, GPendingTimer);
    GPendingTimer = 0;
    GPendingControl = nullptr;
}

void OpenTimerProc(win::HWND, win::UINT, win::UINT_PTR AId, win::DWORD) {
    win::KillTimer(nullptr, AId);
    if (AId != GPendingTimer) return;
    TdxBarSubItemControl* Control = GPendingControl;
    GPendingTimer = 0;
    GPendingControl = nullptr;
    if (Control) Control->ControlActivate(true);
}

void CloseTimerProc(win::HWND, win::UINT, win::UINT_PTR AId, win::DWORD) {
    win::KillTimer(nullptr, AId);
    if (AId != GPendingTimer) return;
    TdxBarSubItemControl* Control = GPendingControl;
    GPendingTimer = 0;
    GPendingControl = nullptr;
    if (Control) Control->ControlInactivate(true);
}

void StartPendingTimer(TdxBarSubItemControl* AControl, win::TIMERPROC AProc) {
    KillPendingTimer();
    GPendingControl = AControl;
    GPendingTimer = win::SetTimer(nullptr, 0, TdxBarSubItemControl::SubMenuDelay, AProc);
}

bool IsEmptyRect(const cls::TRect& R) {
    return R.right <= R.left || R.bottom <= R.top;
}

int RectWidth(const cls::TRect& R) {
    return R.right - R.left;
}

int RectHeight(const cls::TRect& R) {
    return R.bottom - R.top;
}

} // namespace

// ============================================================================
// TdxBarItemControl
// ============================================================================

TdxBarItemControl::TdxBarItemControl(TdxBarItemLink* AItemLink)
    : FItemLink(AItemLink), FParent(AItemLink ? AItemLink->GetBarControl() : nullptr) {}

TdxBarItemControl::~TdxBarItemControl() {
    TdxBarManager* Manager = GetBarManager();
    if (Manager && Manager->FSelectedItemControl == this) Manager->FSelectedItemControl = nullptr;
    if (FItemLink && FItemLink->FControl == this) FItemLink->FControl = nullptr;
    if (IsBarControlAlive(FParent)) {
        FParent->ControlDestroyed(this);
        if (FParent->SelectedControl() == this) {
            const bool Quietly = (Manager && (Manager->IsDestroying() || Manager->IsCustomizing())) ||
                                 !FItemLink || FItemLink->GetVisibleIndex() == -1;
            if (!Quietly) FParent->SetHotControl(nullptr);
            // A hidden window changes no selection by the mouse: the field goes anyway.
            if (IsBarControlAlive(FParent) && FParent->SelectedControl() == this)
                FParent->ClearSelectedControl();
        }
    }
    lf::cxClearObjectLinks(this);
}

bool TdxBarItemControl::IsInMenu() const {
    return FParent && FParent->IsMenuWindow();
}

bool TdxBarItemControl::IsInToolbar() const {
    return FParent && FParent->IsToolbarWindow();
}

gfx::HDC TdxBarItemControl::GetParentDC() const {
    return FParent ? FParent->Canvas()->Handle() : nullptr;
}

// --- Notifications ---

void TdxBarItemControl::RefreshBar() {
    if (IsBarControlAlive(FParent)) FParent->RepaintBar();
}

void TdxBarItemControl::CaptionChanged() {
    // A client-aligned control keeps its size whatever the caption.
    if (GetAlign() == iaClient)
        Repaint();
    else
        RefreshBar();
}

void TdxBarItemControl::EnabledChanged() {
    if (!GetEnabled() && FParent && FParent->SelectedControl() == this) FParent->ClearSelectedControl();
    Repaint();
}

void TdxBarItemControl::GlyphChanged() {
    Repaint();
}

void TdxBarItemControl::PressedChanged() {
    if (!FClickPressed) Repaint();
}

void TdxBarItemControl::ShortCutChanged() {
    if (IsInMenu()) RefreshBar();
}

void TdxBarItemControl::VisibleChanged() {
    RefreshBar();
}

// --- Selection ---

bool TdxBarItemControl::CanSelectInCustomizing() const {
    const TdxBarItem* Item = GetItem();
    const TdxBarManager* Manager = GetBarManager();
    if (!Item || !Manager) return false;
    return Item->BarManager() == Manager || Manager->ComponentState().Contains(cls::csAncestor);
}

bool TdxBarItemControl::CanSelect() const {
    return !FParent || !FParent->IsCustomizing() || CanSelectInCustomizing();
}

bool TdxBarItemControl::GetIsSelected() const {
    return FParent && FParent->SelectedControl() == this && (GetEnabled() || !FSelectedByMouse);
}

bool TdxBarItemControl::IsCustomizingSelected() const {
    const TdxBarManager* Manager = GetBarManager();
    return FParent && FParent->IsCustomizing() && Manager && Manager->SelectedItemControl() == this;
}

// --- Clicking ---

void TdxBarItemControl::ControlClick(bool AByMouse) {
    if (!GetEnabled()) return;
    TCustomdxBarControl* Window = FParent;
    ControlPressed(AByMouse);
    // The press may have closed the window or rebuilt its controls.
    if (IsBarControlAlive(Window) && Window->OwnsControl(this)) Click();
}

void TdxBarItemControl::ControlActivate(bool) {
    FActive = true;
}

void TdxBarItemControl::ControlInactivate(bool) {
    FActive = false;
}

void TdxBarItemControl::Click() {
    if (dynamic_cast<TdxBarButtonControl*>(this) && IsInMenu()) PlayBarSound(BarSoundMenuCommand);
    TdxBarItemLink* Link = FItemLink;
    TdxBarItemLink* ClickLink = Link && Link->ContainerLink() ? Link->ContainerLink() : Link;
    const bool CanClick = CanClickItem();
    const bool CloseMenus = ClosesMenusOnClick();
    TdxBarItem* Item = GetItem();
    lf::TcxObjectLinkScope LinkAlive(Link);
    if (CloseMenus) {
        // Recent use must never keep the command from running.
        try {
            if (ClickLink) ClickLink->ApplyRecentUse(true);
            if (Link && Link != ClickLink && LinkAlive.Alive()) Link->ApplyRecentUse(true);
        } catch (...) {}
    }
    lf::TcxObjectLinkScope Self(this);
    lf::TcxObjectLinkScope ItemAlive(Item);
    lf::TcxObjectLinkScope ClickLinkAlive(ClickLink);
    const bool KeepPressed =
        IsUnclickAfterDoing() && (!CloseMenus || !(FParent && FParent->IsClosingOnClick()));
    if (KeepPressed) SetPressed(true);
    try {
        if (CloseMenus) {
            if (IsBarControlAlive(FParent)) FParent->DeactivateAll();
        }
        if (CanClick && ItemAlive.Alive()) {
            Item->SetClickItemLink(ClickLinkAlive.Alive() ? ClickLink : nullptr);
            try {
                Item->Click();
            } catch (...) {
                if (ItemAlive.Alive()) Item->SetClickItemLink(nullptr);
                throw;
            }
            if (ItemAlive.Alive()) Item->SetClickItemLink(nullptr);
        }
    } catch (...) {
        if (Self.Alive() && KeepPressed) SetPressed(false);
        throw;
    }
    if (Self.Alive() && KeepPressed) SetPressed(false);
}

bool TdxBarItemControl::IsUnclickAfterDoing() const {
    const auto* Button = dynamic_cast<const TdxBarButton*>(GetItem());
    return !Button || Button->UnclickAfterDoing();
}

void TdxBarItemControl::SetPressed(bool AValue) {
    if (FClickPressed == AValue) return;
    FClickPressed = AValue;
    PressedChanged();
}

// --- Views of the item ---

void TdxBarItemControl::GetTextColorAndBrush(gfx::TColor& AColor, gfx::HBRUSH& ABrush,
                                             const TdxBarPaintState& AState) const {
    GetPainter()->GetTextColorAndBrush(const_cast<TdxBarItemControl*>(this), AState, AColor, ABrush);
}

std::string TdxBarItemControl::GetCaption() const {
    return FItemLink ? FItemLink->GetCaption() : std::string();
}

bool TdxBarItemControl::GetEnabled() const {
    const TdxBarItem* Item = GetItem();
    return Item && Item->Enabled();
}

cls::TBitmap* TdxBarItemControl::GetGlyph() const {
    return FItemLink ? FItemLink->GetGlyph() : nullptr;
}

int TdxBarItemControl::GetImageIndex() const {
    const TdxBarItem* Item = GetItem();
    return Item ? Item->ImageIndex() : -1;
}

cls::TCustomImageList* TdxBarItemControl::GetImages(bool ALarge) const {
    const TdxBarManager* Manager = GetBarManager();
    if (!Manager) return nullptr;
    const bool Large = ALarge && Manager->LargeIcons() && Manager->CanUseLargeImagesForLargeIcons();
    if (GetEnabled()) return Large ? Manager->LargeImages() : Manager->Images();
    if (Large)
        return Manager->DisabledLargeImages() ? Manager->DisabledLargeImages() : Manager->LargeImages();
    return Manager->DisabledImages() ? Manager->DisabledImages() : Manager->Images();
}

std::string TdxBarItemControl::GetHint() const {
    const TdxBarItem* Item = GetItem();
    return Item ? Item->Hint() : std::string();
}

cls::TCustomImageList* TdxBarItemControl::GetHotImages() const {
    const TdxBarManager* Manager = GetBarManager();
    return Manager ? Manager->HotImages() : nullptr;
}

bool TdxBarItemControl::CanDrawFromImages() const {
    if (GetEnabled()) return true;
    const TdxBarManager* Manager = GetBarManager();
    const cls::TBitmap* Glyph = GetGlyph();
    return Manager && Manager->DisabledImages() && (!Glyph || Glyph->Empty());
}

cls::TCustomImageList* TdxBarItemControl::GetLargeImages() const {
    const TdxBarManager* Manager = GetBarManager();
    if (!Manager) return nullptr;
    if (!GetEnabled() && Manager->DisabledLargeImages()) return Manager->DisabledLargeImages();
    return Manager->LargeImages();
}

TdxBarItemControlPainterClass TdxBarItemControl::GetPainter() const {
    const TdxBarManager* Manager = GetBarManager();
    return Manager && Manager->PainterClass() ? Manager->PainterClass() : TdxBarItemControlPainter::Class();
}

cls::TShortCut TdxBarItemControl::GetShortCut() const {
    const TdxBarItem* Item = GetItem();
    return Item ? Item->ShortCut() : 0;
}

int TdxBarItemControl::GetMenuIndent() const {
    return GetPainter()->GetMenuIndent(const_cast<TdxBarItemControl*>(this));
}

bool TdxBarItemControl::HasToolbarHint() const {
    return !GetHint().empty() && IsInToolbar();
}

bool TdxBarItemControl::IsOwnerRectUsed() const {
    return FParent && FParent->IsOwnerRectUsed();
}

bool TdxBarItemControl::WantsDblClick() const {
    const TdxBarManager* Manager = GetBarManager();
    return (Manager && Manager->Designing()) || HasDblClickAction();
}

void TdxBarItemControl::Repaint() {
    if (!IsBarControlAlive(FParent) || FParent->IsDestroying() || FParent->Closing()) return;
    const bool Previous = FParent->DrawingOneControl();
    FParent->SetDrawingOneControl(true);
    FParent->DrawItemControl(this);
    FParent->SetDrawingOneControl(Previous);
}

TdxBarItemAlign TdxBarItemControl::GetAlign() const {
    const TdxBarItem* Item = GetItem();
    return Item && FParent && FParent->CanAlignControl(const_cast<TdxBarItemControl*>(this)) ? Item->Align()
                                                                                             : iaLeft;
}

TdxBarManager* TdxBarItemControl::GetBarManager() const {
    return FItemLink ? FItemLink->GetBarManager() : nullptr;
}

TdxBarItem* TdxBarItemControl::GetItem() const {
    return FItemLink ? FItemLink->Item() : nullptr;
}

int TdxBarItemControl::GetParentScaleBase() const {
    const TdxBarManager* Manager = GetBarManager();
    return (Manager ? Manager->ImageSize() : 16) + 3;
}

int TdxBarItemControl::GetActualHeight() const {
    if (GetAlign() == iaClient && IsVerticalBarControl(FParent))
        return IsRotatedBarControl(FParent) ? GetMinLength() : GetMinVerticalLength();
    return GetHeight();
}

int TdxBarItemControl::GetActualWidth() const {
    if (GetAlign() == iaClient && !IsVerticalBarControl(FParent)) return GetMinLength();
    return GetWidth();
}

bool TdxBarItemControl::HasGlyph() const {
    const cls::TBitmap* Glyph = GetGlyph();
    return (Glyph && !Glyph->Empty()) || IsImageIndexInRange();
}

bool TdxBarItemControl::IsImageIndexInRange() const {
    const cls::TCustomImageList* Images = GetImages(false);
    const int Index = GetImageIndex();
    return Images && Index >= 0 && Index < Images->Count();
}

bool TdxBarItemControl::IsMouseDownInside() const {
    if (!FParent || !FParent->HandleAllocated() || !GetEnabled()) return false;
    win::POINT P;
    win::GetCursorPos(&P);
    win::ScreenToClient(FParent->Handle(), &P);
    const cls::TRect R = GetRect();
    return gfx::PtInRect(&R, P) && win::GetKeyState(win::VK_LBUTTON) < 0;
}

void TdxBarItemControl::SetParentDrawFlag() {
    if (auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(FParent)) Menu->SetDrawFlag(FDrawFlag);
}

void TdxBarItemControl::ResetParentDrawFlag() {
    if (auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(FParent)) Menu->SetDrawFlag(0);
}

cls::TRect TdxBarItemControl::GetRect() const {
    return TCustomdxBarControl::GetItemControlRect(this);
}

// ============================================================================
// TdxBarButtonControl
// ============================================================================

TdxBarButton* TdxBarButtonControl::GetButton() const {
    return dynamic_cast<TdxBarButton*>(GetItem());
}

TdxBarButtonStyle TdxBarButtonControl::GetButtonStyle() const {
    const TdxBarButton* Button = GetButton();
    return Button ? Button->ButtonStyle() : bsDefault;
}

bool TdxBarButtonControl::GetDown() const {
    const TdxBarButton* Button = GetButton();
    return Button && Button->Down();
}

bool TdxBarButtonControl::GetDropDownEnabled() const {
    const TdxBarButton* Button = GetButton();
    return Button && Button->DropDownEnabled();
}

TdxBarSubMenuControl* TdxBarButtonControl::GetDropDownMenuControl() const {
    const TdxBarButton* Button = GetButton();
    TdxBarItemLinks* Links = Button ? Button->DropDownItemLinks() : nullptr;
    auto* Menu = Links ? dynamic_cast<TdxBarSubMenuControl*>(Links->BarControl()) : nullptr;
    // Only a window that dropped from this control is its drop-down.
    return Menu && Menu->DropDownControl() == this ? Menu : nullptr;
}

bool TdxBarButtonControl::GetLowered() const {
    const TdxBarButton* Button = GetButton();
    return Button && Button->Lowered();
}

bool TdxBarButtonControl::IsDroppedDown() const {
    return GetPainter()->HasSeparateDropDownPart() && FDroppedDown && GetDropDownMenuControl();
}

TdxBarPaintStyle TdxBarButtonControl::GetEffectivePaintStyle() const {
    TdxBarPaintStyle Style = ItemLink() ? ItemLink()->GetPaintStyle() : psStandard;
    if (IsInToolbar()) AdjustPaintStyle(Style);
    return Style;
}

void TdxBarButtonControl::AdjustPaintStyle(TdxBarPaintStyle& APaintStyle) const {
    if (APaintStyle == psStandard && !HasGlyph()) APaintStyle = psCaption;
}

int TdxBarButtonControl::GetDropDownArrowWidth() const {
    if (IsInMenu()) return Parent()->MenuArrowWidth();
    const TdxBarManager* Manager = GetBarManager();
    return Manager ? Manager->DropDownArrowWidth() : 0;
}

void TdxBarButtonControl::ButtonStyleChanged() {
    if (IsBarControlAlive(Parent())) Parent()->RepaintBar();
}

void TdxBarButtonControl::DownChanged() {
    Repaint();
}

void TdxBarButtonControl::DropDownEnabledChanged() {
    Repaint();
}

void TdxBarButtonControl::PaintStyleChanged() {
    if (IsBarControlAlive(Parent())) Parent()->RepaintBar();
}

void TdxBarButtonControl::GlyphChanged() {
    if (GetEffectivePaintStyle() == psStandard)
        RefreshBar();
    else
        Repaint();
}

// --- Sizes ---

int TdxBarButtonControl::GetDefaultWidth() const {
    TCustomdxBarControl* Window = Parent();
    if (!Window) return 0;
    const TdxBarManager* Manager = GetBarManager();
    const TdxBarItemControlPainterClass Painter = GetPainter();
    cls::TCanvas* Canvas = Window->Canvas();
    // A toolbar button without its caption does not measure it.
    const auto CaptionWidth = [&] { return Canvas->TextWidth(RemoveAccelChars(GetCaption())); };
    int Result = 0;
    if (IsInMenu()) {
        const int TextHeight = Window->TextHeight();
        Result = CaptionWidth() + 2 * TextHeight + 6;
        if (GetShortCut()) Result += Canvas->TextWidth(cls::ShortCutToText(GetShortCut())) + TextHeight - 6;
        Painter->AdjustButtonWidth(const_cast<TdxBarButtonControl*>(this), Result);
        return Result;
    }
    const bool Rotated = IsRotatedBarControl(Window);
    const int ButtonWidth = Manager ? Manager->ButtonWidth() : 0;
    const int ButtonHeight = Manager ? Manager->ButtonHeight() : 0;
    switch (GetEffectivePaintStyle()) {
        case psStandard:
        case psCaptionInMenu:
            Result = ButtonWidth;
            break;
        case psCaption:
            Result = CaptionWidth() + Canvas->Font()->Size();
            break;
        case psCaptionGlyph:
            Result = CaptionWidth() + (Rotated ? ButtonHeight : ButtonWidth) + 4;
            break;
    }
    if (GetLowered()) Result += 2 * Painter->GetLoweredBorderSize();
    return Result;
}

int TdxBarButtonControl::GetDefaultHeight() const {
    TCustomdxBarControl* Window = Parent();
    if (!Window) return 0;
    const TdxBarItemControlPainterClass Painter = GetPainter();
    int Result = Window->TextHeight();
    if (IsInMenu()) {
        Painter->AdjustMenuBandWidth(Result);
        return Result;
    }
    const TdxBarManager* Manager = GetBarManager();
    const bool Rotated = IsRotatedBarControl(Window);
    const int ButtonSize = Manager ? (Rotated ? Manager->ButtonWidth() : Manager->ButtonHeight()) : 0;
    switch (GetEffectivePaintStyle()) {
        case psStandard:
        case psCaptionInMenu:
            Result = Manager ? Manager->ButtonHeight() : 0;
            break;
        case psCaption:
        case psCaptionGlyph:
            Result = std::max(Window->TextHeight(), ButtonSize);
            break;
    }
    if (GetLowered()) Result += 2 * Painter->GetLoweredBorderSize();
    return Result;
}

int TdxBarButtonControl::GetHeight() const {
    const TdxBarPaintStyle Style = GetEffectivePaintStyle();
    if (IsRotatedBarControl(Parent()) && (Style == psCaption || Style == psCaptionGlyph))
        return GetDefaultWidth();
    return GetDefaultHeight();
}

int TdxBarButtonControl::GetWidth() const {
    // Across a rotated bar a button is as thick as its glyph cell; a caption
    // runs along the bar, in GetHeight.
    if (IsRotatedBarControl(Parent())) return GetDefaultHeight();
    int Result = GetDefaultWidth();
    if (!IsInMenu() && GetButtonStyle() == bsDropDown) Result += GetDropDownArrowWidth();
    return Result;
}

// --- Pressing and clicking ---

cls::TRect TdxBarButtonControl::GetArrowRect(const cls::TRect& R) const {
    cls::TRect Arrow = R;
    Arrow.left = std::max(R.left, R.right - GetDropDownArrowWidth());
    return Arrow;
}

void TdxBarButtonControl::ControlInactivate(bool AImmediately) {
    inherited::ControlInactivate(AImmediately);
    if (GetButtonStyle() != bsDropDown || !FDroppedDown) return;
    if (TdxBarSubMenuControl* Menu = GetDropDownMenuControl()) Menu->CloseAndFree();
}

void TdxBarButtonControl::ControlPressed(bool AByMouse) {
    if (GetButtonStyle() == bsDropDown && AByMouse && Parent() && Parent()->HandleAllocated()) {
        win::POINT P;
        win::GetCursorPos(&P);
        win::ScreenToClient(Parent()->Handle(), &P);
        const cls::TRect Arrow = GetArrowRect(GetRect());
        if (gfx::PtInRect(&Arrow, P)) {
            DropDown(true);
            return;
        }
    }
    if (!IsInMenu() || GetButtonStyle() == bsDropDown) Repaint();
}

void TdxBarButtonControl::Click() {
    if (FDroppedDown) return;
    lf::TcxObjectLinkScope Self(this);
    if (GetButtonStyle() == bsChecked) {
        if (TdxBarButton* Button = GetButton()) Button->SetDown(!Button->Down());
        if (!Self.Alive()) return;
    }
    ControlInactivate(true);
    if (Self.Alive()) inherited::Click();
}

bool TdxBarButtonControl::IsSelected() const {
    return (inherited::IsSelected() && !(Parent() && Parent()->IsCustomizing())) || ClickPressed();
}

bool TdxBarButtonControl::WantsKey(unsigned short AKey) const {
    if (GetButtonStyle() != bsDropDown) return false;
    if (IsInToolbar()) return AKey == win::VK_UP || AKey == win::VK_DOWN;
    return AKey == win::VK_RIGHT;
}

void TdxBarButtonControl::KeyDown(unsigned short AKey) {
    if (AKey == win::VK_UP || AKey == win::VK_RIGHT || AKey == win::VK_DOWN) DropDown(false);
}

bool TdxBarButtonControl::ClosesMenusOnClick() const {
    if (!IsInMenu()) return true;
    const TdxBarButton* Button = GetButton();
    return !Button || Button->CloseSubMenuOnClick();
}

void TdxBarButtonControl::CloseUp() {
    FDroppedDown = false;
    if (auto* Toolbar = dynamic_cast<TdxBarControl*>(Parent()); IsBarControlAlive(Toolbar))
        Toolbar->SetSubMenuMode(false);
}

void TdxBarButtonControl::DropDown(bool AByMouse) {
    TdxBarButton* Button = GetButton();
    TCustomdxBarControl* Window = Parent();
    if (FDroppedDown || !GetEnabled() || !GetDropDownEnabled() || !Button || !Button->DropDownMenu() ||
        !IsBarControlAlive(Window) || !Window->HandleAllocated())
        return;
    FDroppedDown = true;
    lf::TcxObjectLinkScope Self(this);
    if (!Active()) ControlActivate(false);
    if (!Self.Alive()) return;
    Repaint();
    const cls::TRect R = GetRect();
    win::POINT P{R.left, R.bottom};
    if (auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(Window))
        P = win::POINT{R.right, R.top - Menu->GetSubMenuOffset()};
    else if (IsVerticalBarControl(Window))
        P = win::POINT{R.right, R.top};
    win::ClientToScreen(Window->Handle(), &P);
    Button->DropDown(this, P.x, P.y, AByMouse);
    if (!Self.Alive()) return;
    // A menu that did not open (it has no window) leaves nothing dropped down.
    if (!GetDropDownMenuControl()) {
        CloseUp();
        Repaint();
        return;
    }
    if (GetPainter()->RepaintAfterDropDown(this)) Repaint();
}

// --- Drawing ---

void TdxBarButtonControl::Paint(const gfx::RECT& R, TdxBarPaintType APaintType) {
    if (IsEmptyRect(R)) return;
    const gfx::HDC DC = GetParentDC();
    if (!DC) return;
    const TdxBarItemControlPainterClass Painter = GetPainter();
    cls::TRect Rect = R;
    if (GetLowered() && Painter->GetLoweredBorderSize() > 0)
        Painter->DrawBorder(DC, Rect, 1, Painter->GetLoweredBorderSize());
    if (APaintType != ptMenu) {
        PaintInToolbar(DC, Rect, APaintType);
        return;
    }
    TdxBarPaintState State;
    State.Enabled = GetEnabled();
    State.Selected = IsSelected();
    State.Down = GetDown();
    // A check button shows its state, not the press of its command.
    State.Pressed = ClickPressed() && GetButtonStyle() != bsChecked;
    State.Lowered = GetLowered();
    State.DroppedDown = FDroppedDown && GetDropDownMenuControl();
    const TdxBarPaintStyle Style = GetEffectivePaintStyle();
    Painter->DrawMenuGlyphCell(this, DC, Rect, State, Style == psStandard || Style == psCaptionGlyph);
    if (GetShortCut()) {
        cls::TRect TextRect = Rect;
        TextRect.right -= RectHeight(Rect) + 5;
        Painter->DrawCaption(this, DC, cls::ShortCutToText(GetShortCut()), TextRect, 2, State.Enabled,
                             State.Selected, false, false, false);
    }
    if (GetButtonStyle() == bsDropDown)
        Painter->DrawDropDownButtonPart(this, DC, GetArrowRect(Rect), APaintType, Parent()->BackgroundBrush(),
                                        State, GetDropDownEnabled(), GetDropDownMenuControl() != nullptr);
}

void TdxBarButtonControl::PaintInToolbar(gfx::HDC DC, const cls::TRect& R, TdxBarPaintType APaintType) {
    const TdxBarItemControlPainterClass Painter = GetPainter();
    const TdxBarManager* Manager = GetBarManager();
    const bool DropDownStyle = GetButtonStyle() == bsDropDown;
    const cls::TRect ArrowRect = GetArrowRect(R);
    cls::TRect Body = R;
    if (DropDownStyle) Body.right = ArrowRect.left;
    const bool Selected = IsSelected();
    const bool Enabled = GetEnabled();
    const bool Down = GetDown();
    const bool MenuOpen = GetDropDownMenuControl() != nullptr;
    bool OverArrow = false;
    if (DropDownStyle && Parent()->HandleAllocated()) {
        win::POINT P;
        win::GetCursorPos(&P);
        win::ScreenToClient(Parent()->Handle(), &P);
        OverArrow = gfx::PtInRect(&ArrowRect, P);
    }
    const bool Pressed =
        (Selected && Parent()->IsActive() && IsMouseDownInside() && !OverArrow && !FDroppedDown) ||
        (ClickPressed() && GetButtonStyle() != bsChecked);
    TdxBarPaintState State;
    State.Enabled = Enabled;
    State.Selected = Selected;
    State.Down = Down || IsDroppedDown();
    State.Pressed = Pressed;
    State.Lowered = GetLowered();
    State.DroppedDown = MenuOpen;
    State.ShiftFirst = Pressed;
    const TdxBarPaintStyle Style = GetEffectivePaintStyle();
    Painter->DrawButton(this, DC, Body, State, APaintType, Style == psCaption);
    if (Style == psCaption || Style == psCaptionGlyph) {
        bool Highlighted = Painter->HasSeparateDropDownPart() && (Pressed || (Down && Selected)) &&
                           Painter->IsDropDownPartFlat();
        if (lf::IsHighContrastWhite() && (Pressed || Down || Selected) && !FDroppedDown) Highlighted = true;
        const bool Turned = APaintType == ptVert;
        int Shift = 0;
        if (Style == psCaption) {
            Shift = Parent()->Canvas()->Font()->Size() / 2;
        } else if (Manager) {
            Shift = IsRotatedBarControl(Parent()) ? Manager->ButtonHeight() : Manager->ButtonWidth();
        }
        cls::TRect CaptionRect = Body;
        if (Turned)
            CaptionRect.top += Shift;
        else
            CaptionRect.left += Shift;
        Painter->ShiftDownContent(this, Pressed, CaptionRect);
        Painter->DrawCaption(this, DC, GetCaption(), CaptionRect, 0, Enabled, Highlighted, Turned, false,
                             !Highlighted);
    }
    if (DropDownStyle)
        Painter->DrawDropDownButtonPart(this, DC, ArrowRect, APaintType, Parent()->BackgroundBrush(), State,
                                        GetDropDownEnabled(), MenuOpen);
}

// ============================================================================
// TdxBarSubItemControl
// ============================================================================

TdxBarSubItemControl::~TdxBarSubItemControl() {
    CancelPending();
    if (TdxBarSubMenuControl* Menu = GetOwnSubMenuControl()) {
        Menu->SetSubItemControl(nullptr);
        Menu->CloseAndFree();
    }
    SetActive(false);
}

TdxBarSubItemControl* TdxBarSubItemControl::PendingControl() {
    return GPendingControl;
}

void TdxBarSubItemControl::CancelPending() {
    if (GPendingControl == this) KillPendingTimer();
}

TCustomdxBarSubItem* TdxBarSubItemControl::GetSubItem() const {
    return dynamic_cast<TCustomdxBarSubItem*>(GetItem());
}

TdxBarSubMenuControl* TdxBarSubItemControl::GetSubMenuControl() const {
    const TCustomdxBarSubItem* SubItem = GetSubItem();
    return SubItem ? dynamic_cast<TdxBarSubMenuControl*>(SubItem->ItemLinks()->BarControl()) : nullptr;
}

TdxBarSubMenuControl* TdxBarSubItemControl::GetOwnSubMenuControl() const {
    TdxBarSubMenuControl* Menu = GetSubMenuControl();
    return Menu && Menu->SubItemControl() == this ? Menu : nullptr;
}

TdxBarSubMenuControl* TdxBarSubItemControl::CreateSubMenuControl() {
    const TCustomdxBarSubItem* SubItem = GetSubItem();
    return SubItem ? dynamic_cast<TdxBarSubMenuControl*>(SubItem->ItemLinks()->CreateBarControl()) : nullptr;
}

int TdxBarSubItemControl::GetSubItemHeight() const {
    return GetPainter()->GetSubItemHeight(const_cast<TdxBarSubItemControl*>(this));
}

int TdxBarSubItemControl::GetSubItemWidth() const {
    return GetPainter()->GetSubItemWidth(const_cast<TdxBarSubItemControl*>(this));
}

int TdxBarSubItemControl::GetCaptionIndent() const {
    return GetPainter()->GetSubItemCaptionIndent(const_cast<TdxBarSubItemControl*>(this));
}

int TdxBarSubItemControl::GetHeight() const {
    return IsRotatedBarControl(Parent()) ? GetSubItemWidth() : GetSubItemHeight();
}

int TdxBarSubItemControl::GetWidth() const {
    return IsRotatedBarControl(Parent()) ? GetSubItemHeight() : GetSubItemWidth();
}

void TdxBarSubItemControl::GlyphChanged() {
    RefreshBar();
}

bool TdxBarSubItemControl::WantsDblClick() const {
    const TdxBarManager* Manager = GetBarManager();
    return !(Manager && Manager->Designing()) && HasDblClickAction();
}

void TdxBarSubItemControl::ControlActivate(bool AImmediately) {
    if (!CanOpenMenu()) return;
    lf::TcxObjectLinkScope Self(this);
    if (GetSubMenuControl()) {
        // Another link of the same sub item holds the menu: it gives it up.
        const TCustomdxBarSubItem* SubItem = GetSubItem();
        TdxBarItemLink* ActiveLink = SubItem ? SubItem->GetActiveLink() : nullptr;
        TdxBarItemControl* Holder = ActiveLink ? ActiveLink->Control() : nullptr;
        if (!Holder || Holder == this) {
            CancelPending();
            return;
        }
        Holder->ControlInactivate(true);
        if (!Self.Alive()) return;
    }
    inherited::ControlActivate(AImmediately);
    const TdxBarManager* Manager = GetBarManager();
    if (!GetEnabled() && !(Manager && Manager->Designing())) return;
    TCustomdxBarControl* Window = Parent();
    if (!IsBarControlAlive(Window)) return;
    const bool Customizing = Window->IsCustomizing();
    if (Window->IsToolbarWindow()) {
        // A toolbar opens menus only once one of them was opened by a click
        // or a key (until menu mode ends), and then at once.
        const auto* Toolbar = dynamic_cast<TdxBarControl*>(Window);
        if (!Customizing && !(Window->IsActive() && (!Toolbar || Toolbar->SubMenuMode()))) return;
        AImmediately = true;
    }
    if (!AImmediately && !Customizing) {
        if (TdxBarSubItemControl* Pending = GPendingControl) {
            KillPendingTimer();
            // A menu of the parent window waits for its close; any other goes now.
            if (Pending->Parent() != Window->ParentBar()) Pending->ControlInactivate(true);
            if (!Self.Alive()) return;
        }
        StartPendingTimer(this, &OpenTimerProc);
        return;
    }
    OpenSubMenu();
}

void TdxBarSubItemControl::OpenSubMenu() {
    TCustomdxBarSubItem* SubItem = GetSubItem();
    TCustomdxBarControl* Window = Parent();
    if (!SubItem || !IsBarControlAlive(Window) || !Window->HandleAllocated()) return;
    CancelPending();
    lf::TcxObjectLinkScope Self(this);
    SubItem->DoPopup();
    if (!Self.Alive()) return;
    SubItem->Click();
    if (!Self.Alive() || !IsBarControlAlive(Window)) return;
    TdxBarSubMenuControl* Menu = CreateSubMenuControl();
    if (!Menu) return;
    const cls::TRect Screen = Window->GetItemControlScreenRect(this);
    if (IsOwnerRectUsed()) {
        Menu->SetOwnerRect(Screen);
        Menu->SetOwnerBarControl(Window);
    }
    cls::TPoint P;
    if (Window->IsMenuWindow()) {
        P = cls::TPoint{Screen.right, Screen.top - Menu->GetSubMenuOffset()};
        Menu->SetOwnerWidth(RectWidth(Screen));
    } else if (IsVerticalBarControl(Window)) {
        P = cls::TPoint{Screen.right, Screen.top};
        Menu->SetOwnerWidth(RectWidth(Screen));
    } else {
        P = cls::TPoint{Screen.left, Screen.bottom};
        Menu->SetOwnerHeight(RectHeight(Screen));
    }
    Menu->SetSubItemControl(this);
    Menu->SetLeft(P.x);
    Menu->SetTop(P.y);
    Menu->SetParentBar(Window);
    Window->SetChildMenu(Menu);
    if (Window->IsToolbarWindow()) Repaint();
    Menu->SetSubMenuRequested(FSubMenuRequested);
    FSubMenuRequested = false;
    Menu->ShowAnimated();
    if (Self.Alive() && GetPainter()->RepaintAfterDropDown(this)) Repaint();
}

void TdxBarSubItemControl::ControlInactivate(bool AImmediately) {
    if (!CanOpenMenu()) return;
    TCustomdxBarControl* Window = Parent();
    const TdxBarManager* Manager = GetBarManager();
    if (!AImmediately && Window && Window->IsMenuWindow() && !GPendingControl && !Window->IsDestroying() &&
        !(Manager && Manager->IsCustomizing())) {
        StartPendingTimer(this, &CloseTimerProc);
        return;
    }
    TdxBarSubMenuControl* Menu = GetOwnSubMenuControl();
    if (Menu) Menu->SetSubItemControl(nullptr);
    inherited::ControlInactivate(AImmediately);
    CancelPending();
    lf::TcxObjectLinkScope Self(this);
    if (Menu) Menu->CloseAndFree();
    if (!Self.Alive()) return;
    if (!IsInMenu()) Repaint();
    if (Menu) {
        if (TCustomdxBarSubItem* SubItem = GetSubItem()) SubItem->DoCloseUp();
    }
}

void TdxBarSubItemControl::ControlPressed(bool AByMouse) {
    const TdxBarManager* Manager = GetBarManager();
    if (GetOwnSubMenuControl()) {
        const bool StaysOpen =
            Parent() && !Parent()->IsCustomizing() && Manager && GetEffectiveStyle(Manager) != bmsStandard;
        if (!StaysOpen) ControlInactivate(true);
        return;
    }
    lf::TcxObjectLinkScope Self(this);
    ControlActivate(true);
    if (!Self.Alive() || AByMouse) return;
    TdxBarSubMenuControl* Menu = GetOwnSubMenuControl();
    TdxBarItemLink* First = Menu && Menu->ItemLinks() ? Menu->ItemLinks()->GetFirstSelectable() : nullptr;
    if (First) Menu->SelectItemControl(First->Control());
}

bool TdxBarSubItemControl::WantsKey(unsigned short AKey) const {
    return IsInMenu() && AKey == win::VK_RIGHT;
}

void TdxBarSubItemControl::KeyDown(unsigned short AKey) {
    if (AKey == win::VK_RIGHT) ControlClick(false);
}

void TdxBarSubItemControl::Paint(const gfx::RECT& R, TdxBarPaintType APaintType) {
    if (IsEmptyRect(R)) return;
    const gfx::HDC DC = GetParentDC();
    if (!DC) return;
    TdxBarPaintState State;
    State.Enabled = GetEnabled();
    State.Selected = IsSelected();
    State.Down = Active() && GetOwnSubMenuControl();
    State.DroppedDown = State.Down;
    GetPainter()->DrawSubItem(this, DC, R, APaintType, State);
}

} // namespace bars
