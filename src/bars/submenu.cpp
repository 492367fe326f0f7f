#include "bars/submenu.h"

#include <algorithm>

#include "bars/categories.h"
#include "bars/manager.h"
#include "bars/registry.h"
#include "bars/subitem.h"
#include "bars/system.h"
#include "classes/forms.h"
#include "lookandfeel/objectlinks.h"

namespace bars {

namespace {

bool IsEmpty(const cls::TRect& R) {
    return R.right <= R.left || R.bottom <= R.top;
}

} // namespace

TdxBarSubMenuControl::TdxBarSubMenuControl(cls::TComponent* AOwner) : TCustomdxBarControl(AOwner) {
    SetWidth(0);
}

TdxBarSubMenuControl::~TdxBarSubMenuControl() {
    SetClosing(true);
    // Our own DestroyWnd runs while the object is still a menu window.
    DestroyHandle();
    if (TdxBarSubMenuControl* Child = ChildMenu(); IsBarControlAlive(Child) && !Child->Closing())
        Child->CloseAndFree();
    if (IsBarControlAlive(ParentBar()) && ParentBar()->ChildMenu() == this)
        ParentBar()->SetChildMenu(nullptr);
    // The sub item control that opened the menu no longer holds it.
    if (FSubItemControl) {
        FSubItemControl->SetActive(false);
        FSubItemControl->Repaint();
    }
    DeleteRarelyUsedBrush();
}

// ============================================================================
// Showing and closing
// ============================================================================

void TdxBarSubMenuControl::ShowAnimated() {
    DoPopup();
    if (!IsBarControlAlive(this) || Closing()) return;
    win::HWND Owner = FParentWnd;
    if (!Owner) {
        const TdxBarManager* Manager = GetBarManager();
        cls::TCustomForm* Form = Manager ? Manager->OwnerForm() : nullptr;
        if (Form) Owner = Form->Handle();
    }
    SetParentWindow(Owner);
    SetVisible(true);
}

void TdxBarSubMenuControl::CloseAndFree() {
    if (Closing()) return;
    SetClosing(true);
    lf::TcxObjectLinkScope Self(this);
    if (HandleAllocated()) DestroyHandle();
    if (Self.Alive()) delete this;
}

void TdxBarSubMenuControl::DeactivateAll() {
    if (ParentBar()) {
        inherited::DeactivateAll();
        return;
    }
    CloseAndFree();
    ProcessPaintMessages();
}

void TdxBarSubMenuControl::CreateParams(cls::TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.Style = win::WS_POPUP | win::WS_CLIPSIBLINGS | win::WS_CLIPCHILDREN;
    Params.ExStyle |= win::WS_EX_TOPMOST;
    Params.WindowClass.style =
        win::CS_VREDRAW | win::CS_HREDRAW | win::CS_DBLCLKS | win::CS_OWNDC | win::CS_SAVEBITS;
    if (FParentWnd) Params.WndParent = FParentWnd;
}

void TdxBarSubMenuControl::CreateWnd() {
    ApplyFont();
    FRarelyUsedBrush = gfx::CreateSolidBrush(
        gfx::RGB(std::min(gfx::GetRValue(gfx::GetSysColor(gfx::COLOR_BTNFACE)) + 20, 255),
                 std::min(gfx::GetGValue(gfx::GetSysColor(gfx::COLOR_BTNFACE)) + 20, 255),
                 std::min(gfx::GetBValue(gfx::GetSysColor(gfx::COLOR_BTNFACE)) + 20, 255)));
    inherited::CreateWnd();
    SetActive(true);
    if (!IsBarControlAlive(this) || Closing()) return;
    gfx::SIZE Size{};
    CalcLayout(&Size);
    SetBounds(Left(), Top(), Size.cx, Size.cy);
    CalcLayout();
    PlayBarSound(BarSoundMenuPopup);
}

void TdxBarSubMenuControl::DestroyWnd() {
    if (TdxBarSubMenuControl* Child = ChildMenu();
        IsBarControlAlive(Child) && !Child->Closing() && Child->HandleAllocated())
        Child->DestroyHandle();
    lf::TcxObjectLinkScope Self(this);
    SetActive(false);
    if (!Self.Alive()) return;
    inherited::DestroyWnd();
    DoCloseUp();
    if (Self.Alive()) DeleteRarelyUsedBrush();
}

void TdxBarSubMenuControl::DeleteRarelyUsedBrush() {
    if (FRarelyUsedBrush) gfx::DeleteObject(FRarelyUsedBrush);
    FRarelyUsedBrush = nullptr;
}

void TdxBarSubMenuControl::DoCloseUp() {
    FOnCloseUp(this);
}

void TdxBarSubMenuControl::DoPopup() {
    FOnPopup(this);
}

void TdxBarSubMenuControl::ApplyFont() {
    const TdxBarManager* Manager = GetBarManager();
    if (IsBarControlAlive(ParentBar()))
        Font()->Assign(ParentBar()->Font());
    else if (Manager)
        Font()->Assign(Manager->Font());
}

// ============================================================================
// Metrics and layout
// ============================================================================

void TdxBarSubMenuControl::CalcMetrics() {
    inherited::CalcMetrics();
    int ItemHeight = TextHeight();
    int M1 = 0;
    int ExpandHeight = 0;
    int M2 = 0;
    GetPainter()->GetMenuMetrics(this, ItemHeight, M1, ExpandHeight, M2);
    SetTextHeight(ItemHeight);
    FSmallMetric = M1;
    FScrollButtonHeight = ExpandHeight;
    SetMenuArrowWidth(M1);
}

void TdxBarSubMenuControl::CalcLayout(gfx::SIZE* ASize) {
    TdxBarItemLinks* Links = ItemLinks();
    const TdxBarItemControlPainterClass Painter = GetPainter();
    if (Links)
        for (int I = 0; I < Links->Count(); ++I) Links->Items(I)->SetItemRect(cls::TRect{});
    int Bottom = 0;
    gfx::RECT R{};
    int Counter = 0;
    Painter->GetMenuLinksRect(this, Bottom, R, ASize ? &Counter : nullptr);
    int Y = R.top;
    int Widest = 0;
    bool First = true;
    for (int I = TopIndex(); Links && I < Links->VisibleItemCount(); ++I) {
        TdxBarItemLink* Link = Links->VisibleItems(I);
        TdxBarItemControl* Control = Link->Control();
        if (!Control) continue;
        Control->SetRarelyUsed(false, false);
        int Top = Y;
        if (!First && Link->GetBeginGroup()) Top += Painter->GetMenuSeparatorHeight(this);
        const int LinkBottom = Top + Control->GetHeight();
        if (LinkBottom > Bottom) break;
        if (ASize) Widest = std::max(Widest, Control->GetWidth());
        Link->SetItemRect(cls::TRect{R.left, Top, R.right, LinkBottom});
        Y = LinkBottom;
        First = false;
    }
    if (!ASize) return;
    gfx::SIZE Content{Widest, Y};
    gfx::SIZE Window{Widest, 0};
    Painter->AdjustMenuSize(this, Content, Window);
    *ASize = Window;
}

int TdxBarSubMenuControl::GetShownLinkCount() const {
    const TdxBarItemLinks* Links = ItemLinks();
    int Count = 0;
    for (int I = TopIndex(); Links && I < Links->VisibleItemCount(); ++I)
        if (!IsEmpty(Links->VisibleItems(I)->ItemRect())) ++Count;
    return Count;
}

bool TdxBarSubMenuControl::CanScrollDown() const {
    const TdxBarItemLinks* Links = ItemLinks();
    return Links && Links->VisibleItemCount() - TopIndex() > GetShownLinkCount();
}

void TdxBarSubMenuControl::RepaintBar() {
    if (!HandleAllocated() || Closing() || IsDestroying()) return;
    gfx::SIZE Size{};
    CalcLayout(&Size);
    SetBounds(Left(), Top(), Size.cx, Size.cy);
    CalcLayout();
    Invalidate();
}

// ============================================================================
// What the painters read
// ============================================================================

int TdxBarSubMenuControl::GetBarSize() const {
    const auto* SubItem =
        ItemLinks() ? dynamic_cast<TCustomdxBarSubItem*>(ItemLinks()->LinksOwner()) : nullptr;
    return SubItem ? SubItem->BarSize() : 0;
}

bool TdxBarSubMenuControl::Detachable() const {
    const auto* SubItem =
        ItemLinks() ? dynamic_cast<TCustomdxBarSubItem*>(ItemLinks()->LinksOwner()) : nullptr;
    return SubItem && SubItem->Detachable();
}

int TdxBarSubMenuControl::GetDetachBarHeight() const {
    return Detachable() ? GetPainter()->GetDetachBarHeight(const_cast<TdxBarSubMenuControl*>(this)) : 0;
}

int TdxBarSubMenuControl::GetDetachBarBaseSize() {
    const int Size = Canvas()->TextHeight("Qq") / 2;
    return Size % 2 == 0 ? Size + 1 : Size;
}

gfx::RECT TdxBarSubMenuControl::GetDetachBarRect() {
    if (!Detachable()) return gfx::RECT{};
    return gfx::RECT{1, 1, Width() - 1, 1 + GetDetachBarHeight()};
}

int TdxBarSubMenuControl::GetScrollArrowSize() const {
    return GetPainter()->GetScrollArrowSize(const_cast<TdxBarSubMenuControl*>(this), FScrollButtonHeight);
}

int TdxBarSubMenuControl::GetSubMenuOffset() const {
    return GetPainter()->GetSubMenuOffset();
}

gfx::HBRUSH TdxBarSubMenuControl::GetBackgroundBrush() const {
    return GetPainter()->GetMenuBackgroundBrush();
}

cls::TBitmap* TdxBarSubMenuControl::GetBackgroundBitmap() const {
    const TdxBarManager* Manager = GetBarManager();
    cls::TBitmap* Bitmap = Manager && Manager->Backgrounds() ? Manager->Backgrounds()->SubMenu() : nullptr;
    return Bitmap && !Bitmap->Empty() ? Bitmap : nullptr;
}

// ============================================================================
// Painting
// ============================================================================

void TdxBarSubMenuControl::Paint() {
    if (Closing() || !ItemLinks()) return;
    const gfx::HDC DC = Canvas()->Handle();
    CalcLayout();
    // The margins around the links belong to no control and no painter part.
    FillBackground(DC, ClientRect(), GetBackgroundBrush(), Color());
    GetPainter()->DrawMenuBackground(this, DC, std::max(GetShownLinkCount(), 1));
    TdxBarItemLinks* Links = ItemLinks();
    for (int I = TopIndex(); I < Links->VisibleItemCount(); ++I) {
        TdxBarItemLink* Link = Links->VisibleItems(I);
        if (!IsEmpty(Link->ItemRect())) DrawItemControl(Link->Control());
    }
    if (GetBarSize() > 0) {
        cls::TRect Strip = ClientRect();
        gfx::InflateRect(&Strip, -1, -1);
        Strip.right = Strip.left + GetBarSize();
        if (auto* SubItem = dynamic_cast<TCustomdxBarSubItem*>(Links->LinksOwner()))
            SubItem->DoPaintBar(Canvas(), Strip);
    }
}

void TdxBarSubMenuControl::DrawItemControl(TdxBarItemControl* AControl) {
    if (Closing() || !AControl || !AControl->GetItem() || !HandleAllocated() || !OwnsControl(AControl))
        return;
    TdxBarItemLink* Link = AControl->ItemLink();
    const cls::TRect R = Link->ItemRect();
    if (IsEmpty(R)) return;
    const TdxBarItemControlPainterClass Painter = GetPainter();
    gfx::HBRUSH Brush = AControl->IsRarelyUsed() && !Painter->IsRarelyUsedItemDrawnByPainter()
                            ? FRarelyUsedBrush
                            : Painter->GetMenuBackgroundBrush();
    Painter->PrepareMenuItemBackground(this, Brush);
    SetBackgroundBrush(Brush);
    const gfx::HDC DC = Canvas()->Handle();
    if (Link->GetBeginGroup() && Link->GetVisibleIndex() > TopIndex()) {
        TdxBarLinkState State;
        State.BeginGroup = true;
        State.RarelyUsed = AControl->IsRarelyUsed();
        State.AtRarelyUsedBoundary = AControl->IsRarelyUsedBoundary();
        Painter->DrawMenuSeparator(this, AControl, State, DC, R);
    }
    AControl->Paint(R, ptMenu);
    DrawCustomizingFrame(AControl);
}

void TdxBarSubMenuControl::DrawFrame(gfx::HDC DC) {
    cls::TRect R;
    win::GetWindowRect(Handle(), &R);
    gfx::OffsetRect(&R, -R.left, -R.top);
    GetPainter()->DrawMenuFrame(this, DC, R);
}

// ============================================================================
// Messages
// ============================================================================

void TdxBarSubMenuControl::Dispatch(cls::TMessage& Message) {
    switch (Message.Msg) {
        case win::WM_NCCALCSIZE:
            WMNCCalcSize(Message);
            break;
        case win::WM_NCPAINT:
            WMNCPaint(Message);
            break;
        case win::WM_NCHITTEST: {
            inherited::Dispatch(Message);
            cls::TPoint P = cls::TWMNCHitTest{Message}.Pos();
            cls::TRect Window;
            win::GetWindowRect(Handle(), &Window);
            P.x -= Window.left;
            P.y -= Window.top;
            const gfx::RECT Strip = GetDetachBarRect();
            if (gfx::PtInRect(&Strip, P)) Message.Result = win::HTCLIENT;
            break;
        }
        case win::WM_GETDLGCODE:
            Message.Result = cls::DLGC_WANTARROWS | cls::DLGC_WANTTAB | cls::DLGC_WANTALLKEYS;
            break;
        case win::WM_KEYDOWN:
            MenuKeyDown(Message);
            break;
        case win::WM_MOUSEMOVE:
            MenuMouseMove(Message);
            break;
        default:
            inherited::Dispatch(Message);
            break;
    }
}

void TdxBarSubMenuControl::WMNCCalcSize(cls::TMessage& Message) {
    auto* R = Message.WParam ? &reinterpret_cast<win::NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                             : reinterpret_cast<win::RECT*>(Message.LParam);
    gfx::InflateRect(R, -1, -1);
    R->top += GetDetachBarHeight();
    Message.Result = 0;
}

void TdxBarSubMenuControl::WMNCPaint(cls::TMessage& Message) {
    const gfx::HDC DC = win::GetWindowDC(Handle());
    DrawFrame(DC);
    win::ReleaseDC(Handle(), DC);
    Message.Result = 0;
}

void TdxBarSubMenuControl::MenuKeyDown(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    if (!IsBarControlAlive(this) || Closing() || !GetActiveBarControl()) return;
    const auto Key = static_cast<win::WORD>(Message.WParam);
    TdxBarItemControl* Selected = SelectedControl();
    if (Selected && Selected->GetEnabled() && Selected->WantsKey(Key)) return;
    TCustomdxBarControl* Previous = IsBarControlAlive(ParentBar()) ? ParentBar() : nullptr;
    switch (Key) {
        case win::VK_RETURN:
            if (Selected) Selected->ControlClick(false);
            break;
        case win::VK_ESCAPE:
            if (Previous && Previous->SelectedControl())
                Previous->SelectedControl()->ControlInactivate(true);
            else if (!Previous)
                CloseAndFree();
            break;
        case win::VK_LEFT:
            if (!Previous || !Previous->SelectedControl()) break;
            if (Previous->IsMenuWindow()) {
                Previous->SelectedControl()->ControlInactivate(true);
            } else if (TCustomdxBarControl* Root = GetRootToolbarControl(this)) {
                if (IsVerticalBarControl(Root))
                    win::SendMessage(Handle(), win::WM_KEYDOWN, win::VK_ESCAPE, 0);
                else
                    Message.Result = win::SendMessage(Root->Handle(), win::WM_KEYDOWN, win::VK_LEFT, 0);
            }
            break;
        case win::VK_RIGHT:
            if (TCustomdxBarControl* Root = GetRootToolbarControl(this))
                Message.Result = win::SendMessage(Root->Handle(), win::WM_KEYDOWN, win::VK_RIGHT, 0);
            break;
        default:
            break;
    }
}

void TdxBarSubMenuControl::MenuMouseMove(cls::TMessage& Message) {
    // The parent keeps the sub item that opened this menu highlighted.
    TCustomdxBarControl* Parent = ParentBar();
    if (FSubItemControl && IsBarControlAlive(Parent) && Parent->SelectedControl() != FSubItemControl &&
        IsMouseOverWindow()) {
        Parent->SetHotControl(FSubItemControl);
        if (!IsBarControlAlive(this)) return;
    }
    inherited::Dispatch(Message);
}

} // namespace bars
