// The menu window's geometry and drawing: metrics, the layout of the links,
// the placement inside the work area, the scroll and expand buttons, the
// rebuild after the links changed, painting, and what the painters read.
#include "bars/submenu.h"

#include <algorithm>

#include "bars/animation.h"
#include "bars/categories.h"
#include "bars/drawing.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/registry.h"
#include "bars/subitem.h"
#include "bars/system.h"

namespace bars {

namespace {

bool IsEmpty(const cls::TRect& R) {
    return R.right <= R.left || R.bottom <= R.top;
}

} // namespace

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

bool TdxBarSubMenuControl::HasSeparatorAbove(const TdxBarItemLink* ALink) const {
    if (!ALink || !ALink->GetBeginGroup()) return false;
    const int Index = ALink->GetVisibleIndex();
    // The first row, and the row after the scroll-up button, begin no group.
    return Index != TopIndex() && !(HasItemsAbove() && Index == TopIndex() + 1);
}

void TdxBarSubMenuControl::CalcLayout(gfx::SIZE* ASize) {
    TdxBarItemLinks* Links = ItemLinks();
    const TdxBarItemControlPainterClass Painter = GetPainter();
    if (Links)
        for (int I = 0; I < Links->Count(); ++I) Links->Items(I)->SetItemRect(cls::TRect{});
    int MaxBottom = 0;
    gfx::RECT R{};
    int Counter = 0;
    Painter->GetMenuLinksRect(this, MaxBottom, R, ASize ? &Counter : nullptr);
    // Expanded menus in recent-items mode mark the links beyond the recent ones.
    const bool Marking = IsRecentItemsMode() && GetMenusExpanded();
    int RecentCount = Links ? Links->GetRecentCount() : -1;
    if (RecentCount < 0 && Links) RecentCount = Links->Count();
    const bool BoundaryLine = Painter->HasRarelyUsedBoundaryLine();
    const int First = TopIndex();
    int Y = R.top;
    int LastBottom = R.top;
    int Widest = 0;
    bool PreviousRarelyUsed = false;
    for (int I = std::max(First, 0); Links && I < Links->VisibleItemCount(); ++I) {
        TdxBarItemLink* Link = Links->VisibleItems(I);
        TdxBarItemControl* Control = Link->Control();
        if (!Control) continue;
        const bool RarelyUsed = Marking && Link->GetRecentIndex() >= RecentCount;
        bool Boundary = Marking && (I == First ? RarelyUsed : RarelyUsed != PreviousRarelyUsed);
        if (I == First && !Detachable()) Boundary = false;
        Control->SetRarelyUsed(RarelyUsed, Boundary);
        PreviousRarelyUsed = RarelyUsed;
        if (Boundary && BoundaryLine) ++Y;
        if (HasSeparatorAbove(Link)) Y += Painter->GetMenuSeparatorHeight(this);
        const int Bottom = Y + Control->GetHeight();
        if (Bottom > MaxBottom) break;
        if (ASize) Widest = std::max(Widest, Control->GetWidth());
        Link->SetItemRect(cls::TRect{R.left, Y, R.right, Bottom});
        Y = LastBottom = Bottom;
    }
    if (!ASize) return;
    gfx::SIZE Content{Widest, LastBottom};
    gfx::SIZE Window{Widest, 0};
    Painter->AdjustMenuSize(this, Content, Window);
    *ASize = Window;
}

int TdxBarSubMenuControl::GetShownLinkCount() const {
    const TdxBarItemLinks* Links = ItemLinks();
    int Count = 0;
    for (int I = std::max(TopIndex(), 0); Links && I < Links->VisibleItemCount(); ++I)
        if (!IsEmpty(Links->VisibleItems(I)->ItemRect())) ++Count;
    return Count;
}

bool TdxBarSubMenuControl::CanScrollDown() const {
    const TdxBarItemLinks* Links = ItemLinks();
    return Links && Links->VisibleItemCount() - TopIndex() > GetShownLinkCount();
}

bool TdxBarSubMenuControl::IsLinkShown(const TdxBarItemLink* ALink) const {
    if (!ALink || IsEmpty(ALink->ItemRect())) return false;
    const int Index = ALink->GetVisibleIndex();
    const int First = TopIndex() + (HasItemsAbove() ? 1 : 0);
    const int Last = TopIndex() + GetShownLinkCount() - 1 - (CanScrollDown() ? 1 : 0);
    return Index >= First && Index <= Last;
}

// ============================================================================
// Placement
// ============================================================================

void TdxBarSubMenuControl::PlaceOnScreen(int ALeft, int ATop) {
    FFlippedH = false;
    FFlippedV = false;
    // The window is as big as the whole menu, whatever is scrolled away.
    gfx::SIZE Size{};
    const int Scrolled = FTopIndex;
    FTopIndex = 0;
    CalcLayout(&Size);
    FTopIndex = Scrolled;
    int L = ALeft;
    int T = ATop;
    const int W = Size.cx;
    int H = Size.cy;
    win::RECT Work{};
    GetWorkAreaFromPoint(win::POINT{L, T}, Work);

    if (L + W > Work.right) {
        if (FOwnerWidth == 0) {
            L = Work.right - W;
        } else if (L - FOwnerWidth - Work.left > Work.right - L) {
            L = L - FOwnerWidth - W;
            FFlippedH = true;
        }
    }
    if (L < Work.left && FOwnerWidth == 0) L = Work.left;
    if (L + W > Work.right) L = Work.right - W;
    if (L < Work.left) L = Work.left;

    if (T + H > Work.bottom) {
        if (FOwnerHeight != 0) {
            if (T - FOwnerHeight - Work.top > Work.bottom - T) {
                T = T - FOwnerHeight - H;
                FFlippedV = true;
            } else {
                H = Work.bottom - T;
            }
        } else if (FOwnerWidth == 0) {
            // A point: the menu opens upward from it when there is room.
            if (T - H >= Work.top) {
                T -= H;
                FFlippedV = true;
            } else {
                T = Work.bottom - H;
            }
        } else {
            T = Work.bottom - H;
        }
    }
    if (T < Work.top) {
        if (FFlippedV && FOwnerHeight != 0) H -= Work.top - T;
        T = Work.top;
        if (T + H > Work.bottom) H = Work.bottom - T;
    }
    // A place below every work area: the menu ends at the nearest one's bottom.
    if (T + H > Work.bottom) {
        T = std::max<int>(Work.bottom - H, Work.top);
        H = std::min<int>(H, Work.bottom - T);
    }
    SetBounds(L, T, W, std::max(H, 0));
}

// ============================================================================
// Scroll and expand buttons
// ============================================================================

void TdxBarSubMenuControl::SetTopIndex(int Value) {
    const int Count = ItemLinks() ? ItemLinks()->VisibleItemCount() : 0;
    Value = std::max(0, std::min(Value, Count - 1));
    if (Value == FTopIndex) return;
    FTopIndex = Value;
    if (!HandleAllocated()) return;
    CalcLayout();
    Invalidate();
}

cls::TRect TdxBarSubMenuControl::GetScrollUpRect() const {
    const TdxBarItemLinks* Links = ItemLinks();
    if (!Links || !HasItemsAbove() || TopIndex() >= Links->VisibleItemCount()) return cls::TRect{};
    return Links->VisibleItems(TopIndex())->ItemRect();
}

cls::TRect TdxBarSubMenuControl::GetScrollDownRect() const {
    const TdxBarItemLinks* Links = ItemLinks();
    const int Shown = GetShownLinkCount();
    if (!Links || Shown == 0 || !CanScrollDown()) return cls::TRect{};
    return Links->VisibleItems(TopIndex() + Shown - 1)->ItemRect();
}

cls::TRect TdxBarSubMenuControl::GetExpandButtonRect() const {
    if (!HasExpandButton()) return cls::TRect{};
    auto* Self = const_cast<TdxBarSubMenuControl*>(this);
    const int Inset = GetPainter()->GetExpandButtonIndent(Self);
    const int Bottom = Self->ClientHeight() - Inset;
    return cls::TRect{GetBarSize() + Inset, Bottom - FScrollButtonHeight, Self->ClientWidth() - Inset,
                      Bottom};
}

int TdxBarSubMenuControl::ScrollButtonAt(cls::TPoint P) const {
    const cls::TRect Up = GetScrollUpRect();
    if (!IsEmpty(Up) && gfx::PtInRect(&Up, P)) return -1;
    const cls::TRect Down = GetScrollDownRect();
    if (!IsEmpty(Down) && gfx::PtInRect(&Down, P)) return 1;
    return 0;
}

void TdxBarSubMenuControl::ScrollToLink(const TdxBarItemLink* ALink) {
    const TdxBarItemLinks* Links = ItemLinks();
    const int Index = ALink ? ALink->GetVisibleIndex() : -1;
    if (!Links || Index < 0 || !HandleAllocated()) return;
    const int Old = FTopIndex;
    if (HasItemsAbove() && Index <= TopIndex()) {
        FTopIndex = std::max(Index - 1, 0);
        CalcLayout();
    } else {
        for (int Step = 0; Step < Links->VisibleItemCount() && CanScrollDown() &&
                           Index >= TopIndex() + GetShownLinkCount() - 1;
             ++Step) {
            ++FTopIndex;
            CalcLayout();
        }
    }
    if (FTopIndex != Old) Invalidate();
}

TdxBarItemControl* TdxBarSubMenuControl::GetItemControlAtPos(cls::TPoint P) const {
    if (ScrollButtonAt(P) != 0) return nullptr;
    const cls::TRect Expand = GetExpandButtonRect();
    if (!IsEmpty(Expand) && gfx::PtInRect(&Expand, P)) return nullptr;
    return inherited::GetItemControlAtPos(P);
}

// ============================================================================
// Rebuild
// ============================================================================

void TdxBarSubMenuControl::RepaintBar() {
    if (!HandleAllocated() || Closing() || IsDestroying() || FContainerLock) return;
    StopMenuAnimation(this);
    if (!IsBarControlAlive(this) || !HandleAllocated()) return;
    ApplyRecentItemsFilter();
    // Placed again from the place the caller asked for: the size changed.
    PlaceOnScreen(FSavedLeft, FSavedTop);
    CalcLayout();
    if (HasItemsAbove() && !CanScrollDown()) {
        while (!CanScrollDown() && FTopIndex > 0) {
            --FTopIndex;
            CalcLayout();
        }
        if (CanScrollDown()) {
            ++FTopIndex;
            CalcLayout();
        }
    }
    Invalidate();
}

// ============================================================================
// What the painters read
// ============================================================================

TCustomdxBarSubItem* TdxBarSubMenuControl::OwnerSubItem() const {
    return ItemLinks() ? dynamic_cast<TCustomdxBarSubItem*>(ItemLinks()->LinksOwner()) : nullptr;
}

TdxBarPopupMenu* TdxBarSubMenuControl::OwnerPopupMenu() const {
    return ItemLinks() ? dynamic_cast<TdxBarPopupMenu*>(ItemLinks()->LinksOwner()) : nullptr;
}

int TdxBarSubMenuControl::GetBarSize() const {
    if (const TCustomdxBarSubItem* SubItem = OwnerSubItem()) return SubItem->BarSize();
    const TdxBarPopupMenu* Popup = OwnerPopupMenu();
    return Popup ? Popup->BarSize() : 0;
}

int TdxBarSubMenuControl::GetQuickCustBandWidth() const {
    if (!IsQuickCustomizingMenu()) return 0;
    int Result = TextHeight();
    GetPainter()->AdjustMenuBandWidth(Result);
    return Result;
}

bool TdxBarSubMenuControl::Detachable() const {
    const TCustomdxBarSubItem* SubItem = OwnerSubItem();
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
    if (const TdxBarPopupMenu* Popup = OwnerPopupMenu();
        Popup && Popup->BackgroundBitmap() && !Popup->BackgroundBitmap()->Empty())
        return Popup->BackgroundBitmap();
    const TdxBarManager* Manager = GetBarManager();
    cls::TBitmap* Bitmap = Manager && Manager->Backgrounds() ? Manager->Backgrounds()->SubMenu() : nullptr;
    return Bitmap && !Bitmap->Empty() ? Bitmap : nullptr;
}

void TdxBarSubMenuControl::FillBackground(gfx::HDC DC, const gfx::RECT& R, gfx::HBRUSH ABrush,
                                          gfx::TColor AColor) {
    GetPainter()->FillMenuSideStrip(this, DC, AColor, ABrush, R);
}

void TdxBarSubMenuControl::SelectBackgroundPalette(gfx::HDC DC) const {
    if (!FRarelyUsedPalette || !DC) return;
    gfx::SelectPalette(DC, FRarelyUsedPalette, false);
    gfx::RealizePalette(DC);
}

void TdxBarSubMenuControl::RestorePalette(gfx::HDC DC) const {
    if (!FRarelyUsedPalette || !DC) return;
    gfx::SelectPalette(DC, gfx::handle_cast<gfx::HPALETTE>(gfx::GetStockObject(gfx::DEFAULT_PALETTE)), false);
}

// ============================================================================
// Painting
// ============================================================================

void TdxBarSubMenuControl::Paint() {
    if (IsMenuAnimating(this) || Closing() || !ItemLinks()) return;
    const gfx::HDC DC = Canvas()->Handle();
    // The margins around the links belong to no control and no painter part.
    FillBackground(DC, ClientRect(), GetBackgroundBrush(), Color());
    TdxBarItemLinks* Links = ItemLinks();
    const int Count = Links->VisibleItemCount();
    CalcLayout();
    const int Shown = std::max(GetShownLinkCount(), 1);
    GetPainter()->DrawMenuBackground(this, DC, Shown);
    const int First = TopIndex() + (HasItemsAbove() ? 1 : 0);
    const int Last = std::min(TopIndex() + Shown - 1 - (CanScrollDown() ? 1 : 0), Count - 1);
    for (int I = 0; I < Count; ++I)
        if (TdxBarItemControl* Control = Links->VisibleItems(I)->Control()) {
            Control->SetShownInMenu(I >= First && I <= Last);
            Control->SetLastInMenu(false);
        }
    for (int I = First; I <= Last; ++I) DrawItemControl(Links->VisibleItems(I)->Control());
    if (Last >= First)
        if (TdxBarItemControl* Control = Links->VisibleItems(Last)->Control()) Control->SetLastInMenu(true);
    PaintSideBar(ClientRect());
}

void TdxBarSubMenuControl::PaintSideBar(const cls::TRect& R) {
    const int Size = GetBarSize();
    if (Size <= 0) return;
    cls::TRect Strip = R;
    gfx::InflateRect(&Strip, -1, -1);
    Strip.right = Strip.left + Size;
    if (IsDesigning()) {
        FillVerticalGradient(Canvas(), Strip, 0, 0, 0, 0, 0, 255);
        return;
    }
    if (TCustomdxBarSubItem* SubItem = OwnerSubItem())
        SubItem->DoPaintBar(Canvas(), Strip);
    else if (TdxBarPopupMenu* Popup = OwnerPopupMenu())
        Popup->DoPaintBar(Canvas(), Strip);
}

void TdxBarSubMenuControl::DrawItemControl(TdxBarItemControl* AControl) {
    if (Closing() || IsMenuAnimating(this) || !AControl || !AControl->GetItem() || !HandleAllocated() ||
        !OwnsControl(AControl))
        return;
    TdxBarItemLink* Link = AControl->ItemLink();
    if (!IsLinkShown(Link)) return;
    const cls::TRect R = Link->ItemRect();
    const TdxBarItemControlPainterClass Painter = GetPainter();
    const bool OnRarelyUsed = AControl->IsRarelyUsed() && !Painter->IsRarelyUsedItemDrawnByPainter();
    gfx::HBRUSH Brush = OnRarelyUsed ? FRarelyUsedBrush : Painter->GetMenuBackgroundBrush();
    Painter->PrepareMenuItemBackground(this, Brush);
    SetBackgroundBrush(Brush);
    const gfx::HDC DC = Canvas()->Handle();
    if (OnRarelyUsed) SelectBackgroundPalette(DC);
    TdxBarLinkState State;
    State.BeginGroup = HasSeparatorAbove(Link);
    State.RarelyUsed = AControl->IsRarelyUsed();
    State.AtRarelyUsedBoundary = AControl->IsRarelyUsedBoundary();
    Painter->DrawMenuSeparator(this, AControl, State, DC, R);
    AControl->Paint(R, ptMenu);
    if (OnRarelyUsed) RestorePalette(DC);
    DrawCustomizingFrame(AControl);
}

void TdxBarSubMenuControl::DrawFrame(gfx::HDC DC) {
    cls::TRect R;
    win::GetWindowRect(Handle(), &R);
    gfx::OffsetRect(&R, -R.left, -R.top);
    const TdxBarItemControlPainterClass Painter = GetPainter();
    Painter->DrawMenuFrame(this, DC, R);
    // The edge shared with the control that opened the menu looks joined to it.
    if (IsOwnerRectUsed()) Painter->FillOwnerEdge(this, DC);
}

} // namespace bars
