// The toolbar window's row layout, its sizes for each docking style and the
// painting of its client area.
#include <algorithm>

#include "bars/bars.h"
#include "bars/dockcontrol.h"
#include "bars/drawing.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/mdi.h"
#include "bars/toolbar.h"

namespace bars {

namespace {

bool IsVerticalStyle(TdxBarDockingStyle AStyle) {
    return AStyle == dsLeft || AStyle == dsRight;
}

cls::TSize MakeSize(bool AVertical, int AAlong, int AAcross) {
    return AVertical ? cls::TSize{AAcross, AAlong} : cls::TSize{AAlong, AAcross};
}

// A rectangle given along and across the bar.
cls::TRect MakeRect(bool AVertical, int AAlongStart, int AAcrossStart, int AAlongEnd, int AAcrossEnd) {
    return AVertical ? cls::TRect{AAcrossStart, AAlongStart, AAcrossEnd, AAlongEnd}
                     : cls::TRect{AAlongStart, AAcrossStart, AAlongEnd, AAcrossEnd};
}

} // namespace

// ============================================================================
// Measuring
// ============================================================================

void TdxBarControl::EnsureHandle() {
    // The controls measure with the window's canvas and metrics.
    if (!HandleAllocated() && !IsDestroying() && !Closing()) HandleNeeded();
}

const std::vector<TdxBarControl::TLineItem>& TdxBarControl::CollectItems(TdxBarDockingStyle AStyle) {
    static const std::vector<TLineItem> NoItems;
    TdxBarItemLinks* Links = ItemLinks();
    if (!Links) return NoItems;
    const TdxBarManager* Manager = GetBarManager();
    const unsigned ManagerGeneration = Manager ? Manager->MeasureGeneration() : 0;
    if (FMeasured && FMeasured->Style == AStyle && FMeasured->Generation == Links->VisibleGeneration() &&
        FMeasured->ManagerGeneration == ManagerGeneration &&
        std::all_of(FMeasured->Items.begin(), FMeasured->Items.end(),
                    [](const TLineItem& AItem) { return AItem.Link->Control() == AItem.Control; }))
        return FMeasured->Items;
    EnsureHandle();
    const bool Vertical = IsVerticalStyle(AStyle);
    std::vector<TLineItem> Result;
    for (int I = 0; I < Links->VisibleItemCount(); ++I) {
        TdxBarItemLink* Link = Links->VisibleItems(I);
        Link->CreateControl();
        TdxBarItemControl* Control = Link->Control();
        if (!Control) continue;
        TLineItem Item;
        Item.Link = Link;
        Item.Control = Control;
        const int Width = Control->GetWidth();
        const int Height = Control->GetHeight();
        Item.Length = Vertical ? Height : Width;
        Item.Thickness = Vertical ? Width : Height;
        // The first measured link opens its line whatever its flag says.
        Item.BeginGroup = !Result.empty() && Link->GetBeginGroup();
        Item.Align = Control->GetAlign();
        Item.MinLength = Vertical ? Control->GetMinVerticalLength() : Control->GetMinLength();
        Result.push_back(Item);
    }
    FMeasured = TMeasured{AStyle, Links->VisibleGeneration(), ManagerGeneration, std::move(Result)};
    return FMeasured->Items;
}

int TdxBarControl::GroupSeparatorSize() const {
    return GetPainter()->GetSeparatorSize();
}

int TdxBarControl::MarkExtra(TdxBarDockingStyle AStyle) const {
    return AStyle != dsNone && HasMark() ? MarkSize : 0;
}

std::vector<std::size_t> TdxBarControl::BreakLines(const std::vector<TLineItem>& AItems, int ALimit,
                                                   int ASeparator) {
    std::vector<std::size_t> Starts;
    if (AItems.empty()) return Starts;
    Starts.push_back(0);
    std::size_t LineStart = 0;
    std::size_t LastGroup = 0;
    int Pos = 0;
    for (std::size_t I = 0; I < AItems.size();) {
        const TLineItem& Item = AItems[I];
        const int Separator = Item.BeginGroup && I != LineStart ? ASeparator : 0;
        if (Pos > 0 && Pos + Separator + Item.Length > ALimit) {
            // A link that begins a group breaks its line before itself; any
            // other would tear its group, which moves to the next line whole.
            const std::size_t Break = !Item.BeginGroup && LastGroup > LineStart ? LastGroup : I;
            Starts.push_back(Break);
            LineStart = Break;
            LastGroup = 0;
            Pos = 0;
            I = Break;
            continue;
        }
        if (Separator > 0) LastGroup = I;
        Pos += Separator + Item.Length;
        ++I;
        if (Item.Align != iaLeft && I < AItems.size()) {
            Starts.push_back(I);
            LineStart = I;
            LastGroup = 0;
            Pos = 0;
        }
    }
    return Starts;
}

// ============================================================================
// The row layout
// ============================================================================

TdxBarControl::TLayout TdxBarControl::CalcLayout(TdxBarDockingStyle AStyle, cls::TSize AClient, bool AStore) {
    TLayout Result;
    TdxBarItemLinks* Links = ItemLinks();
    if (AStore) {
        FSeparators.clear();
        FRowBands.clear();
        for (int I = 0; Links && I < Links->Count(); ++I) Links->Items(I)->SetItemRect(cls::TRect{});
    }
    const std::vector<TLineItem>& Items = CollectItems(AStyle);
    const bool Vertical = IsVerticalStyle(AStyle);
    const int Along = Vertical ? AClient.cy : AClient.cx;
    const int Across = Vertical ? AClient.cx : AClient.cy;
    const bool Wrapping = IsMultiLineFor(AStyle);
    const int MDILength = HasMDIButtons() ? GetMDIButtonsLength() : 0;
    const int Limit = Along - MarkExtra(AStyle) - (Wrapping ? 0 : MDILength);
    const int Separator = GroupSeparatorSize();

    // One line from item AFirst up to (not including) ALast, its row AOffset
    // across and ARow thick (the client's thickness for a single line).
    auto PlaceLine = [&](std::size_t AFirst, std::size_t ALast, int AOffset, int ARow) {
        int Pos = 0;
        for (std::size_t I = AFirst; I < ALast; ++I) {
            const TLineItem& Item = Items[I];
            const int Gap = Item.BeginGroup && I != AFirst ? Separator : 0;
            int Start = Pos + Gap;
            int Length = Item.Length;
            const int Free = std::max(0, Limit - (Start + Length));
            switch (Item.Align) {
                case iaCenter:
                    Start += Free / 2;
                    break;
                case iaRight:
                    Start += Free;
                    break;
                case iaClient:
                    Length = std::max(Limit - Start, Item.MinLength);
                    break;
                case iaLeft:
                    break;
            }
            if (AStore) {
                const int Top = AOffset + (ARow - Item.Thickness) / 2;
                Item.Link->SetItemRect(MakeRect(Vertical, Start, Top, Start + Length, Top + Item.Thickness));
                FRowBands.push_back(TRowBand{Item.Link, AOffset, AOffset + ARow});
                if (Gap > 0)
                    FSeparators.push_back(
                        TSeparator{MakeRect(Vertical, Pos, AOffset, Pos + Gap, AOffset + ARow), !Vertical});
            }
            Pos = Start + Length;
        }
        return Pos;
    };

    if (Wrapping) {
        const std::vector<std::size_t> Starts = BreakLines(Items, Limit, Separator);
        int Offset = 0;
        for (std::size_t K = 0; K < Starts.size(); ++K) {
            const std::size_t First = Starts[K];
            const std::size_t Last = K + 1 < Starts.size() ? Starts[K + 1] : Items.size();
            int Row = 0;
            for (std::size_t I = First; I < Last; ++I) Row = std::max(Row, Items[I].Thickness);
            if (K > 0 && Items[First].BeginGroup) {
                if (AStore)
                    FSeparators.push_back(TSeparator{
                        MakeRect(Vertical, 0, Offset, std::max(Along, Limit), Offset + Separator), Vertical});
                Offset += Separator;
            }
            const int End = PlaceLine(First, Last, Offset, Row);
            Result.Length = std::max(Result.Length, End);
            Result.LastLineEnd = End;
            Result.LastRowOffset = Offset;
            Result.LastRowThickness = Row;
            Offset += Row;
        }
        Result.Thickness = Offset;
        // The MDI buttons take the end of the last line when they fit there.
        if (MDILength > 0) Result.Length = std::max(Result.Length, Result.LastLineEnd + MDILength);
        return Result;
    }

    std::size_t Last = 0;
    int Pos = 0;
    for (; Last < Items.size(); ++Last) {
        const TLineItem& Item = Items[Last];
        const int Gap = Item.BeginGroup ? Separator : 0;
        if (Pos > 0 && Pos + Gap + Item.Length > Limit) {
            Result.CutOff = true;
            break;
        }
        Pos += Gap + Item.Length;
        Result.Thickness = std::max(Result.Thickness, Item.Thickness);
        if (Item.Align != iaLeft) {
            ++Last;
            if (Last < Items.size()) Result.CutOff = true;
            break;
        }
    }
    Result.Length = PlaceLine(0, Last, 0, Across) + MDILength;
    Result.LastLineEnd = Result.Length;
    Result.LastRowThickness = Across;
    return Result;
}

// ============================================================================
// Sizes
// ============================================================================

cls::TSize TdxBarControl::GetMinSize(TdxBarDockingStyle AStyle) {
    const std::vector<TLineItem>& Items = CollectItems(AStyle);
    const bool Vertical = IsVerticalStyle(AStyle);
    const TdxBarManager* Manager = GetBarManager();
    const int ButtonLength = Manager ? (Vertical ? Manager->ButtonHeight() : Manager->ButtonWidth()) : 0;
    const int ButtonThickness = Manager ? (Vertical ? Manager->ButtonWidth() : Manager->ButtonHeight()) : 0;
    const bool HasMDI = HasMDIButtons();
    const int MDILength = HasMDI ? GetMDIButtonsLength() : 0;
    const int MDIThickness = HasMDI ? (Vertical ? FMDIButtonWidth : FMDIButtonHeight) : 0;
    int Along = Items.empty() ? ButtonLength : 0;
    int Across = Items.empty() ? ButtonThickness : 0;
    // A horizontal single line needs its first link; a vertical or wrapping
    // bar its longest one.
    const bool FirstOnly = !Vertical && !IsMultiLineFor(AStyle);
    for (const TLineItem& Item : Items) {
        Across = std::max(Across, Item.Thickness);
        if (!FirstOnly) Along = std::max(Along, Item.Length);
    }
    if (FirstOnly)
        Along = (Items.empty() ? Along : Items.front().Length) + MDILength;
    else
        Along = std::max(Along, MDILength);
    return MakeSize(Vertical, Along + MarkExtra(AStyle), std::max(Across, MDIThickness));
}

cls::TSize TdxBarControl::GetMaxSize(TdxBarDockingStyle AStyle) {
    const std::vector<TLineItem>& Items = CollectItems(AStyle);
    const bool Vertical = IsVerticalStyle(AStyle);
    const int Separator = GroupSeparatorSize();
    int Along = HasMDIButtons() ? GetMDIButtonsLength() : 0;
    for (const TLineItem& Item : Items) Along += (Item.BeginGroup ? Separator : 0) + Item.Length;
    Along += MarkExtra(AStyle);
    const cls::TSize Min = GetMinSize(AStyle);
    const cls::TSize Max = MakeSize(Vertical, Along, Vertical ? Min.cx : Min.cy);
    return cls::TSize{std::max(Max.cx, Min.cx), std::max(Max.cy, Min.cy)};
}

void TdxBarControl::CalcSize(TdxBarDockingStyle AStyle, int ALimitSize, cls::TSize& ASize) {
    const bool Vertical = IsVerticalStyle(AStyle);
    const cls::TSize Min = GetMinSize(AStyle);
    const int MinAcross = Vertical ? Min.cx : Min.cy;
    if (IsMultiLineFor(AStyle)) {
        const TLayout Layout = CalcLayout(AStyle, MakeSize(Vertical, ALimitSize, 0), false);
        const int MDIThickness = HasMDIButtons() ? (Vertical ? FMDIButtonWidth : FMDIButtonHeight) : 0;
        ASize = MakeSize(Vertical, std::max(Layout.Length + MarkExtra(AStyle), Vertical ? Min.cy : Min.cx),
                         std::max({Layout.Thickness, MDIThickness, 1}));
        return;
    }
    TdxBarItemLinks* Links = ItemLinks();
    const int MDILength = HasMDIButtons() ? GetMDIButtonsLength() : 0;
    const int Room = ALimitSize - MarkExtra(AStyle) - MDILength;
    const int Separator = GroupSeparatorSize();
    auto LineLength = [&](bool AStopAtOverflow) {
        int Pos = 0;
        for (const TLineItem& Item : CollectItems(AStyle)) {
            const int Next = Pos + (Item.BeginGroup ? Separator : 0) + Item.Length;
            if (AStopAtOverflow && Pos > 0 && Next > Room) break;
            Pos = Next;
        }
        return Pos;
    };
    // The length of the whole line when it fits (-1: unknown or too long).
    int Fitting = -1;
    if (Links && Links->UsesRecentItems() && !IsDesigning()) {
        // The most recently used links show first: as many as fit. Fewer
        // links never make a longer line, so when all of them fit, every
        // count of recent ones does.
        // A new limit changes the visible links, and with them the measurements.
        auto SetLimit = [&](int N) { Links->SetRecentLimit(N); };
        SetLimit(-1);
        Fitting = LineLength(false);
        if (Fitting > Room) {
            Fitting = -1;
            bool AllFit = true;
            for (int N = 1; N <= Links->RecentItemCount(); ++N) {
                SetLimit(N);
                if (N > 1 && LineLength(false) > Room) {
                    SetLimit(N - 1);
                    AllFit = false;
                    break;
                }
            }
            if (AllFit) SetLimit(-1);
        }
    }
    const int Along = (Fitting >= 0 ? Fitting : LineLength(true)) + MarkExtra(AStyle) + MDILength;
    ASize = MakeSize(Vertical, std::max(Along, 1), MinAcross);
}

cls::TSize TdxBarControl::FitFloatingHeight(int AHeight) {
    // The narrowest width whose wrapped links are no higher than AHeight: a
    // wider bar never needs more lines.
    int Low = GetMinSize(dsNone).cx;
    int High = std::max(Low, GetMaxSize(dsNone).cx);
    cls::TSize Size{};
    while (Low < High) {
        const int Middle = Low + (High - Low) / 2;
        CalcSize(dsNone, Middle, Size);
        if (Size.cy <= AHeight)
            High = Middle;
        else
            Low = Middle + 1;
    }
    CalcSize(dsNone, Low, Size);
    return Size;
}

cls::TSize TdxBarControl::GetSizeForDockingStyle(TdxBarDockingStyle AStyle) {
    if (!Bar()) return cls::TSize{Width(), Height()};
    const int NCWidth = Bar()->GetNonClientWidth(AStyle);
    const int NCHeight = Bar()->GetNonClientHeight(AStyle);
    cls::TSize Size{};
    if (AStyle == dsNone) {
        const int Limit = Bar()->FloatClientWidth() > 0 ? Bar()->FloatClientWidth() : GetMaxSize(dsNone).cx;
        CalcSize(dsNone, Limit, Size);
        return cls::TSize{Size.cx + NCWidth, Size.cy + NCHeight};
    }
    const bool Vertical = IsVerticalStyle(AStyle);
    TdxDockControl* Dock = DockControl();
    if (!Dock || Dock->GetDockingStyle() != AStyle) Dock = Bar()->GetRealDockControl();
    if ((!Dock || Dock->GetDockingStyle() != AStyle) && Bar()->Bars())
        Dock = Bar()->Bars()->DockControls(AStyle);
    const int DockLength = Dock ? (Vertical ? Dock->ClientHeight() : Dock->ClientWidth()) : 0;
    const int NCAlong = Vertical ? NCHeight : NCWidth;
    const int NCAcross = Vertical ? NCWidth : NCHeight;
    const cls::TSize Max = GetMaxSize(AStyle);
    const int Length = Bar()->WholeRow() && Dock ? DockLength - NCAlong : (Vertical ? Max.cy : Max.cx);
    CalcSize(AStyle, Length, Size);
    const int Across = (Vertical ? Size.cx : Size.cy) + NCAcross;
    const int WindowLength =
        Bar()->WholeRow() && Dock ? DockLength : (Vertical ? Size.cy : Size.cx) + NCAlong;
    return MakeSize(Vertical, WindowLength, Across);
}

// ============================================================================
// MDI buttons
// ============================================================================

int TdxBarControl::GetMDIButtonsLength() const {
    if (!HasMDIButtons()) return 0;
    return HasMDISystemMenu() ? 3 * FMDIButtonWidth + 2 : FMDIButtonWidth;
}

cls::TRect TdxBarControl::GetMDIButtonRect(int AKind) {
    if (!HasMDIButtons() || AKind < 0 || AKind > 2) return cls::TRect{};
    const bool ThreeButtons = HasMDISystemMenu();
    if (!ThreeButtons && AKind != 2) return cls::TRect{};
    const bool Vertical = IsVerticalDocked();
    const cls::TRect Client = ClientRect();
    const int Along = Vertical ? Client.bottom : Client.right;
    const int LineEnd = Along - MarkExtra(DockingStyle());
    int Start = LineEnd - FMDIButtonWidth;
    if (ThreeButtons) {
        Start = LineEnd - (3 * FMDIButtonWidth + 2) + AKind * FMDIButtonWidth;
        if (AKind == 2) Start += 2;
    }
    int RowOffset = 0;
    int RowThickness = Vertical ? Client.right : Client.bottom;
    if (IsMultiLine()) {
        RowOffset = FLayout.LastRowOffset;
        RowThickness = FLayout.LastRowThickness;
    }
    const int Top = RowOffset + (RowThickness - FMDIButtonHeight) / 2;
    return MakeRect(Vertical, Start, Top, Start + FMDIButtonWidth, Top + FMDIButtonHeight);
}

bool TdxBarControl::HasMDISystemMenu() const {
    const TdxBarItemLinks* Links = ItemLinks();
    return Bar() && Bar()->IsMainMenu() && Links && Links->Count() > 0 &&
           dynamic_cast<TSystemMenuSubItem*>(Links->Items(0)->Item());
}

bool TdxBarControl::HasMDIButtons() const {
    const TdxBarManager* Manager = GetBarManager();
    return Bar() && Bar()->IsMainMenu() && (HasMDISystemMenu() || (Manager && Manager->ShowCloseButton()));
}

bool TdxBarControl::IsMDIButtonEnabled(int AKind) const {
    if (!HasMDISystemMenu()) return AKind == 2;
    if (AKind == 1) return true;
    const win::HWND Child = GetActiveMDIChildHandle();
    const win::HMENU Menu = Child ? win::GetSystemMenu(Child, win::FALSE) : nullptr;
    if (!Menu) return false;
    const win::UINT State = win::GetMenuState(
        Menu, static_cast<win::UINT>(AKind == 0 ? win::SC_MINIMIZE : win::SC_CLOSE), win::MF_BYCOMMAND);
    return State != win::kNoMenuItem && !(State & (win::MF_GRAYED | win::MF_DISABLED));
}

win::HWND TdxBarControl::GetActiveMDIChildHandle() const {
    const TdxBarManager* Manager = GetBarManager();
    return Manager ? Manager->GetActiveMDIChildHandle() : nullptr;
}

void TdxBarControl::PaintMDIButtons(gfx::HDC DC, gfx::HRGN ARegion) {
    if (!HasMDIButtons()) return;
    for (int Kind = 0; Kind < 3; ++Kind) {
        const cls::TRect R = GetMDIButtonRect(Kind);
        if (R.right <= R.left) continue;
        GetPainter()->DrawMDIButton(this, DC, Kind, R, IsMDIButtonEnabled(Kind), FMDIHot == Kind,
                                    FMDIPressed == Kind);
        const gfx::HRGN Button = gfx::CreateRectRgnIndirect(&R);
        gfx::CombineRgn(ARegion, ARegion, Button, gfx::RGN_DIFF);
        gfx::DeleteObject(Button);
    }
}

// ============================================================================
// Painting
// ============================================================================

void TdxBarControl::LayOut() {
    const cls::TSize Client{ClientWidth(), ClientHeight()};
    FLayout = CalcLayout(DockingStyle(), Client, true);
    // Links cut off behind an aligned link show the mark, which takes room.
    if (FLayout.CutOff && !FLinksCutOff && !IsMultiLine()) {
        FLinksCutOff = true;
        FLayout = CalcLayout(DockingStyle(), Client, true);
    }
}

void TdxBarControl::RepaintBar() {
    MeasurementsChanged();
    if (!HandleAllocated() || Closing() || IsDestroying()) return;
    // A floating bar shows no mark: after its links or metrics changed it
    // takes the size its wrapped links need for its width, so that none is
    // left without a place.
    if (DockingStyle() == dsNone && Bar() && !Moving() && !HandleLocked() && !FSwitching) {
        cls::TSize Size{};
        CalcSize(dsNone, ClientWidth(), Size);
        if (Size.cx != ClientWidth() || Size.cy != ClientHeight()) {
            lf::TcxObjectLinkScope Self(this);
            win::SetWindowPos(FHandle, nullptr, 0, 0, Width() - ClientWidth() + Size.cx,
                              Height() - ClientHeight() + Size.cy,
                              win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
            if (!Self.Alive() || !HandleAllocated()) return;
        }
    }
    // A docked bar whose links need another length (shown, hidden, added,
    // resized) gets it from its site, which lays the rows out again.
    TdxDockControl* Dock = DockControl();
    if (DockingStyle() != dsNone && Dock && !Dock->LayingOut() && !Moving() && !HandleLocked() &&
        !FSwitching) {
        const bool Vertical = IsVerticalStyle(DockingStyle());
        // Measured as the site measures: before it decides on cutting links off.
        const bool CutOff = FLinksCutOff;
        FLinksCutOff = false;
        const cls::TSize Min = GetMinSize(DockingStyle());
        const cls::TSize Max = GetMaxSize(DockingStyle());
        FLinksCutOff = CutOff;
        if ((Vertical ? Min.cy : Min.cx) != FLaidOutMinLength ||
            (Vertical ? Max.cy : Max.cx) != FLaidOutFullLength) {
            lf::TcxObjectLinkScope Self(this);
            Dock->UpdateDock();
            if (!Self.Alive() || !HandleAllocated()) return;
        }
    }
    LayOut();
    Invalidate();
}

void TdxBarControl::RepaintLaidOut() {
    if (!HandleAllocated() || Closing() || IsDestroying()) return;
    LayOut();
    Invalidate();
}

void TdxBarControl::Paint() {
    inherited::Paint();
    if (Closing() || IsDestroying() || !HandleAllocated()) return;
    if (Bar() && Bar()->LockUpdate()) return;
    const cls::TRect Client = ClientRect();
    LayOut();
    const gfx::HDC DC = Canvas()->Handle();
    const gfx::HRGN Rest = gfx::CreateRectRgnIndirect(&Client);
    auto Exclude = [&](const cls::TRect& R) {
        const gfx::HRGN Part = gfx::CreateRectRgnIndirect(&R);
        gfx::CombineRgn(Rest, Rest, Part, gfx::RGN_DIFF);
        gfx::DeleteObject(Part);
    };
    TdxBarItemLinks* Links = ItemLinks();
    for (int I = 0; Links && I < Links->VisibleItemCount(); ++I) {
        TdxBarItemLink* Link = Links->VisibleItems(I);
        const cls::TRect R = Link->ItemRect();
        if (!Link->Control() || R.right <= R.left || R.bottom <= R.top) continue;
        DrawItemControl(Link->Control());
        if (!IsBarControlAlive(this) || !HandleAllocated()) {
            gfx::DeleteObject(Rest);
            return;
        }
        Exclude(R);
    }
    for (const TSeparator& Separator : FSeparators) {
        GetPainter()->DrawToolbarSeparator(this, DC, Separator.Rect, Separator.UprightLine);
        Exclude(Separator.Rect);
    }
    PaintMDIButtons(DC, Rest);
    if (DockingStyle() != dsNone && HasMark()) {
        const cls::TRect Mark = GetMarkRect();
        GetPainter()->DrawMarkContent(this, DC, GetBarBrush(), Mark, MarkState());
        Exclude(Mark);
    }
    FillBackgroundInRegion(DC, Rest, GetBarBrush(), Color());
    gfx::DeleteObject(Rest);
}

void TdxBarControl::DrawItemControl(TdxBarItemControl* AControl) {
    if (!AControl || !HandleAllocated() || Closing() || IsDestroying() || !OwnsControl(AControl)) return;
    const cls::TRect R = GetItemControlRect(AControl);
    const gfx::HDC DC = Canvas()->Handle();
    gfx::HRGN Saved = nullptr;
    bool HadClip = false;
    SaveClipRegion(DC, Saved, HadClip);
    gfx::IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    inherited::DrawItemControl(AControl);
    if (IsBarControlAlive(this) && HandleAllocated()) RestoreClipRegion(DC, Saved, HadClip);
}

TdxBarItemControl* TdxBarControl::GetItemControlAtPos(cls::TPoint P) const {
    if (TdxBarItemControl* Control = inherited::GetItemControlAtPos(P)) return Control;
    if (!ItemLinks() || (IsCustomizing() && !IsDesigning())) return nullptr;
    // Between two controls of a row the nearer one answers.
    const bool Vertical = IsVerticalDocked();
    const int Along = Vertical ? P.y : P.x;
    const int Across = Vertical ? P.x : P.y;
    const TdxBarItemLink* Before = nullptr;
    const TdxBarItemLink* After = nullptr;
    int BeforeEnd = 0;
    int AfterStart = 0;
    for (const TRowBand& Band : FRowBands) {
        if (Across < Band.Start || Across >= Band.End || !Band.Link->Control()) continue;
        const cls::TRect& R = Band.Link->ItemRect();
        const int Start = Vertical ? R.top : R.left;
        const int End = Vertical ? R.bottom : R.right;
        if (End <= Along && (!Before || End > BeforeEnd)) {
            Before = Band.Link;
            BeforeEnd = End;
        }
        if (Start > Along && (!After || Start < AfterStart)) {
            After = Band.Link;
            AfterStart = Start;
        }
    }
    if (!Before || !After) return nullptr;
    return (Along - BeforeEnd < AfterStart - Along ? Before : After)->Control();
}

} // namespace bars
