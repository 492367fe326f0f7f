#include "bars/dockcontrol.h"

#include <algorithm>
#include <utility>

#include "bars/bars.h"
#include "bars/categories.h"
#include "bars/drawing.h"
#include "bars/item.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/painter.h"
#include "bars/registry.h"
#include "bars/system.h"
#include "bars/toolbar.h"
#include "classes/forms.h"
#include "gfx/draw.h"

namespace bars {

namespace {

// A docked bar that may have its links cut off needs room for its mark.
constexpr int MarkLength = TdxBarControl::MarkSize;
// The strip just past a row's reference line in which a new row opens.
constexpr int NewRowStrip = 5;

cls::TAlign AlignOfStyle(TdxBarDockingStyle AStyle) {
    switch (AStyle) {
        case dsLeft:
            return cls::alLeft;
        case dsRight:
            return cls::alRight;
        case dsBottom:
            return cls::alBottom;
        default:
            return cls::alTop;
    }
}

bool IsHorizontalStyle(TdxBarDockingStyle AStyle) {
    return AStyle == dsTop || AStyle == dsBottom;
}

bool IsFarEdgeStyle(TdxBarDockingStyle AStyle) {
    return AStyle == dsRight || AStyle == dsBottom;
}

} // namespace

// ============================================================================
// TdxDockCol, TdxDockRow
// ============================================================================

void TdxDockCol::UpdatePos() {
    if (FBarControl) FPos = cls::TPoint{FBarControl->Left(), FBarControl->Top()};
}

TdxDockRow::~TdxDockRow() {
    while (!FCols.empty()) FCols.pop_back();
}

TdxDockCol* TdxDockRow::GetCol(int Index) const {
    if (Index < 0 || Index >= GetColCount()) return nullptr;
    return FCols[static_cast<size_t>(Index)].get();
}

int TdxDockRow::IndexOf(const TdxDockCol* ACol) const {
    for (int I = 0; I < GetColCount(); ++I)
        if (FCols[static_cast<size_t>(I)].get() == ACol) return I;
    return -1;
}

int TdxDockRow::IndexOf(const TdxBarControl* ABarControl) const {
    for (int I = 0; I < GetColCount(); ++I)
        if (FCols[static_cast<size_t>(I)]->BarControl() == ABarControl) return I;
    return -1;
}

TdxDockCol* TdxDockRow::InsertCol(int Index, TdxBarControl* ABarControl) {
    Index = std::clamp(Index, 0, GetColCount());
    auto Col = std::make_unique<TdxDockCol>(this, ABarControl);
    TdxDockCol* Result = Col.get();
    FCols.insert(FCols.begin() + Index, std::move(Col));
    return Result;
}

void TdxDockRow::DeleteCol(TdxDockCol* ACol) {
    const int Index = IndexOf(ACol);
    if (Index >= 0) FCols.erase(FCols.begin() + Index);
}

// ============================================================================
// TdxDockControl: creation and properties
// ============================================================================

TdxDockControl::TdxDockControl(cls::TComponent* AOwner)
    : cls::TCustomControl(AOwner), FBackgroundBitmap(new cls::TBitmap()),
      FBackgroundCache(new cls::TBitmap()) {
    FBackgroundBitmap->SetOnChange(cls::TNotifyEvent(this, &TdxDockControl::BackgroundBitmapChanged));
}

TdxDockControl::TdxDockControl(cls::TComponent* AOwner, TdxBarDockingStyle AStyle, TdxBarManager* ABarManager)
    : TdxDockControl(AOwner) {
    SetAlign(AlignOfStyle(AStyle));
    cls::TControlStyle Style{cls::csNoDesignVisible};
    if (AStyle == dsTop) Style.Include(cls::csActionClient);
    SetControlStyle(Style);
    FMainStyle = AStyle;
    SetBarManager(ABarManager);
    if (ABarManager && ABarManager->OwnerForm()) SetParent(ABarManager->OwnerForm());
}

TdxDockControl::~TdxDockControl() {
    FDestroying = true;
    Destroying();
    SetBarManager(nullptr);
    // Windows still listed (a manager never knew them) forget the site.
    for (const auto& Row : FRows)
        for (int I = 0; I < Row->GetColCount(); ++I) {
            TdxBarControl* Window = Row->GetCol(I)->BarControl();
            if (Window && IsBarControlAlive(Window) && Window->DockControl() == this)
                Window->SetDockControl(nullptr);
        }
    FRows.clear();
    delete FBackgroundBitmap;
    delete FBackgroundCache;
}

void TdxDockControl::SetBarManager(TdxBarManager* Value) {
    if (FBarManager == Value) return;
    if (FBarManager) {
        // The manager hides the bars docked here while the site still knows it.
        FBarManager->RemoveDockControl(this);
        FBarManager->RemoveFreeNotification(this);
    }
    FBarManager = Value;
    if (FBarManager) {
        FBarManager->AddDockControl(this);
        UpdateColor();
    }
    ManagerStyleChanged();
}

void TdxDockControl::SetBackgroundBitmap(cls::TBitmap* Value) {
    FBackgroundBitmap->Assign(Value);
}

void TdxDockControl::BackgroundBitmapChanged(cls::TObject*) {
    if (HandleAllocated()) Invalidate();
    RepaintBars();
}

TdxBarDockingStyle TdxDockControl::GetDockingStyle() const {
    switch (Align()) {
        case cls::alLeft:
            return dsLeft;
        case cls::alRight:
            return dsRight;
        case cls::alBottom:
            return dsBottom;
        default:
            return dsTop;
    }
}

bool TdxDockControl::IsHorizontal() const {
    return IsHorizontalStyle(GetDockingStyle());
}

bool TdxDockControl::IsDesigning() const {
    return ComponentState().Contains(cls::csDesigning);
}

void TdxDockControl::Notification(cls::TComponent* AComponent, cls::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == cls::opRemove && AComponent == FBarManager) {
        // The manager is going: it has no use for our unregistering.
        FBarManager = nullptr;
    }
}

// ============================================================================
// Rows and columns
// ============================================================================

TdxDockRow* TdxDockControl::GetRow(int Index) const {
    if (Index < 0 || Index >= GetRowCount()) return nullptr;
    return FRows[static_cast<size_t>(Index)].get();
}

int TdxDockControl::IndexOfRow(const TdxDockRow* ARow) const {
    for (int I = 0; I < GetRowCount(); ++I)
        if (FRows[static_cast<size_t>(I)].get() == ARow) return I;
    return -1;
}

TdxDockCol* TdxDockControl::FindCol(const TdxBarControl* ABarControl) const {
    for (const auto& Row : FRows) {
        const int Index = Row->IndexOf(ABarControl);
        if (Index >= 0) return Row->GetCol(Index);
    }
    return nullptr;
}

bool TdxDockControl::IsLoadingOrRecreating() const {
    if (!FBarManager) return false;
    return (FBarManager->Bars() && FBarManager->Bars()->LoadingBars()) || FBarManager->HiddenBarsRestoring();
}

int TdxDockControl::ClientAcross() {
    const cls::TRect R = SiteClientRect();
    return IsHorizontal() ? R.bottom : R.right;
}

cls::TRect TdxDockControl::SiteClientRect() {
    if (HandleAllocated()) return ClientRect();
    const int Border = GetSunkenBorder() ? 2 : 0;
    return cls::TRect{0, 0, std::max(Width() - Border, 0), std::max(Height() - Border, 0)};
}

cls::TPoint TdxDockControl::SiteScreenToClient(cls::TPoint P) {
    if (HandleAllocated()) {
        win::ScreenToClient(Handle(), &P);
        return P;
    }
    if (Parent() && Parent()->HandleAllocated()) {
        win::ScreenToClient(Parent()->Handle(), &P);
        const int Border = GetSunkenBorder() ? 1 : 0;
        return cls::TPoint{P.x - Left() - Border, P.y - Top() - Border};
    }
    return P;
}

cls::TPoint TdxDockControl::SiteClientToScreen(cls::TPoint P) {
    if (HandleAllocated()) {
        win::ClientToScreen(Handle(), &P);
        return P;
    }
    if (Parent() && Parent()->HandleAllocated()) {
        const int Border = GetSunkenBorder() ? 1 : 0;
        P = cls::TPoint{P.x + Left() + Border, P.y + Top() + Border};
        win::ClientToScreen(Parent()->Handle(), &P);
    }
    return P;
}

void TdxDockControl::InsertBar(TdxBarControl* ABarControl, cls::TPoint AScreenPoint, bool AUpdate) {
    if (!FBarManager || !ABarControl || FDestroying) return;
    // A window has one place in a site.
    if (TdxDockCol* Old = FindCol(ABarControl)) RemoveBar(ABarControl, Old, false);
    TdxBar* Bar = ABarControl->Bar();
    const bool Locked = ABarControl->HandleLocked();
    const bool KeepRows = Locked && IsLoadingOrRecreating();
    int RowIndex = 0;
    bool NewRow = false;
    if (Locked) {
        RowIndex = Bar ? Bar->Row() : 0;
        NewRow = Bar && Bar->OneOnRow();
    } else {
        RowIndex = GetRowAtPos(AScreenPoint, NewRow);
    }
    const bool WholeRow = Bar && Bar->WholeRow();
    if (WholeRow) NewRow = true;
    RowIndex = std::max(RowIndex, 0);
    const bool PastLastRow = !KeepRows && RowIndex >= GetRowCount();
    if (KeepRows) {
        while (GetRowCount() <= RowIndex) FRows.push_back(std::make_unique<TdxDockRow>(this));
    } else if (PastLastRow) {
        RowIndex = NewRow ? GetRowCount() : std::max(GetRowCount() - 1, 0);
    }
    TdxDockRow* Existing = GetRow(RowIndex);
    if (!Existing) {
        NewRow = true;
    } else {
        // A bar that takes the whole row shares it with nobody.
        for (int I = 0; I < Existing->GetColCount(); ++I) {
            TdxBarControl* Other = Existing->GetCol(I)->BarControl();
            if (Other != ABarControl && Other && Other->Bar() && Other->Bar()->WholeRow()) NewRow = true;
        }
        if (WholeRow && Existing->GetColCount() > 0) NewRow = true;
    }

    TdxDockCol* Col = nullptr;
    // A bar asking for a row past the last that cannot join the last row
    // opens a new last row, not one before it.
    if (NewRow && PastLastRow) RowIndex = GetRowCount();
    if (NewRow) {
        // Stored row numbers made their rows already; one that holds a bar
        // still gets a row of its own.
        TdxDockRow* Row = KeepRows && Existing && Existing->GetColCount() == 0 ? Existing : nullptr;
        if (!Row) {
            auto Created = std::make_unique<TdxDockRow>(this);
            Row = Created.get();
            FRows.insert(FRows.begin() + RowIndex, std::move(Created));
        }
        Col = Row->InsertCol(Row->GetColCount(), ABarControl);
    } else {
        Col = Existing->InsertCol(GetColIndexAtPos(RowIndex, AScreenPoint), ABarControl);
    }

    cls::TPoint P = AScreenPoint;
    if (!Locked) {
        TdxBars* Bars = FBarManager->Bars();
        if (Bars && Bars->Dragging()) {
            P.x -= Bars->DragOffset().x;
            P.y -= Bars->DragOffset().y;
        }
        if (Bars) {
            const cls::TPoint Grab = Bars->GetGrabOffset(ABarControl, GetDockingStyle());
            P.x -= Grab.x;
            P.y -= Grab.y;
        }
    }
    P = SiteScreenToClient(P);
    if (IsHorizontal())
        P.x = std::max(P.x, 0);
    else
        P.y = std::max(P.y, 0);
    Col->SetPos(P);
    if (!AUpdate) return;
    if (!ABarControl->Moving()) ABarControl->SetBounds(P.x, P.y, ABarControl->Width(), ABarControl->Height());
    UpdateDock();
    if (!KeepRows && !IsLoadingOrRecreating() && FindCol(ABarControl) == Col) Col->UpdatePos();
}

void TdxDockControl::RemoveBar(TdxBarControl* ABarControl, TdxDockCol* ACol, bool AUpdate) {
    // Removing never waits for a manager: a window that goes must not stay listed.
    for (size_t I = 0; I < FRows.size(); ++I) {
        TdxDockRow* Row = FRows[I].get();
        TdxDockCol* Col =
            ACol ? (Row->IndexOf(ACol) >= 0 ? ACol : nullptr) : Row->GetCol(Row->IndexOf(ABarControl));
        if (!Col) continue;
        Row->DeleteCol(Col);
        if (Row->GetColCount() == 0) FRows.erase(FRows.begin() + static_cast<std::ptrdiff_t>(I));
        break;
    }
    if (AUpdate) UpdateDock();
}

void TdxDockControl::MoveBar(TdxBarControl* ABarControl, cls::TPoint AScreenPoint) {
    if (!FBarManager || !ABarControl) return;
    RemoveBar(ABarControl, FindCol(ABarControl), false);
    InsertBar(ABarControl, AScreenPoint, true);
    if (IsBackgroundDrawn()) {
        ClearBackgroundCache();
        RepaintBars();
    }
}

void TdxDockControl::UpdateColsPos() {
    for (const auto& Row : FRows)
        for (int I = 0; I < Row->GetColCount(); ++I) Row->GetCol(I)->UpdatePos();
}

void TdxDockControl::RemoveEmptyRows() {
    std::erase_if(FRows, [](const std::unique_ptr<TdxDockRow>& Row) { return Row->GetColCount() == 0; });
}

// ============================================================================
// Geometry
// ============================================================================

void TdxDockControl::GetZoneRect(cls::TRect& R) {
    R = cls::TRect{};
    if (!FBarManager || !Parent() || !Parent()->HandleAllocated()) return;
    const int Zone = FBarManager->Bars() ? FBarManager->Bars()->DockZoneSize() : 0;
    R = BoundsRect();
    if (IsHorizontal()) {
        gfx::InflateRect(&R, Zone, Zone);
    } else {
        R.left -= Zone;
        R.right += Zone;
    }
    cls::TPoint TopLeft{R.left, R.top}, BottomRight{R.right, R.bottom};
    win::ClientToScreen(Parent()->Handle(), &TopLeft);
    win::ClientToScreen(Parent()->Handle(), &BottomRight);
    R = cls::TRect{TopLeft.x, TopLeft.y, BottomRight.x, BottomRight.y};
}

int TdxDockControl::RowThickness(int ARow) const {
    const TdxDockRow* Row = GetRow(ARow);
    int Result = 0;
    for (int I = 0; Row && I < Row->GetColCount(); ++I)
        if (const TdxBarControl* Window = Row->GetCol(I)->BarControl())
            Result = std::max(Result, IsHorizontal() ? Window->Height() : Window->Width());
    return Result;
}

void TdxDockControl::GetRowRect(int ARow, cls::TRect& R) {
    R = cls::TRect{};
    if (ARow < 0 || ARow >= GetRowCount()) return;
    const int Thickness = RowThickness(ARow);
    int Offset = 0;
    TdxBars* Bars = FBarManager ? FBarManager->Bars() : nullptr;
    if (Bars && Bars->Dragging() && IsFarEdgeStyle(GetDockingStyle())) {
        Offset = ClientAcross();
        for (int I = ARow; I < GetRowCount(); ++I) Offset -= RowThickness(I);
    } else {
        for (int I = 0; I < ARow; ++I) Offset += RowThickness(I);
    }
    const cls::TRect Client = SiteClientRect();
    if (IsHorizontal())
        R = cls::TRect{0, Offset, Client.right, Offset + Thickness};
    else
        R = cls::TRect{Offset, 0, Offset + Thickness, Client.bottom};
}

int TdxDockControl::GetRowsSize() {
    int Result = 0;
    for (int I = 0; I < GetRowCount(); ++I) Result += RowThickness(I);
    return Result;
}

void TdxDockControl::GetRowBand(int ARow, int APart, int& A, int& B) {
    const int Zone = FBarManager && FBarManager->Bars() ? FBarManager->Bars()->DockZoneSize() : 23;
    const bool FarEdge = IsFarEdgeStyle(GetDockingStyle());
    if (ARow < 0) {
        A = FarEdge ? ClientAcross() - GetRowsSize() - Zone : -Zone;
        B = A + Zone;
    } else if (ARow >= GetRowCount()) {
        A = FarEdge ? ClientAcross() : GetRowsSize();
        B = A + Zone;
    } else {
        cls::TRect R;
        GetRowRect(ARow, R);
        A = IsHorizontal() ? R.top : R.left;
        B = IsHorizontal() ? R.bottom : R.right;
    }
    const int Keep = (Zone - NewRowStrip) / 2;
    const int M = FarEdge ? B - Keep - NewRowStrip : A + Keep;
    switch (APart) {
        case 0:
            B = M;
            break;
        case 1:
            A = M;
            B = M + NewRowStrip;
            break;
        default:
            A = M + NewRowStrip;
            break;
    }
}

int TdxDockControl::GetRowAtPos(cls::TPoint P, bool& ANewRow) {
    ANewRow = true;
    if (GetRowCount() == 0) return 0;
    const int C = Across(SiteScreenToClient(P));
    int Result = -1;
    bool Matched = false;
    for (int R = -1; R < GetRowCount() && !Matched; ++R) {
        for (int Part = 0; Part < 3; ++Part) {
            int A = 0, B = 0;
            GetRowBand(R, Part, A, B);
            if (A <= C && C < B) {
                Result = R + (Part > 0 ? 1 : 0);
                ANewRow = Part == 1;
                Matched = true;
                break;
            }
        }
    }
    if (!Matched || Result < 0) {
        ANewRow = true;
        Result = C < GetRowsSize() ? 0 : GetRowCount();
    }
    if (Result >= GetRowCount()) ANewRow = true;
    return Result;
}

void TdxDockControl::GetRowReferencePoint(int ARow, bool AOneOnRow, cls::TPoint& P) {
    ARow = std::clamp(ARow, 0, GetRowCount());
    if (ARow == GetRowCount()) AOneOnRow = false;
    int Lo = 0, Hi = 0;
    if (AOneOnRow) {
        GetRowBand(ARow - 1, 1, Lo, Hi);
    } else {
        int A0 = 0, B0 = 0, A2 = 0, B2 = 0;
        GetRowBand(ARow, 0, A0, B0);
        GetRowBand(ARow - 1, 2, A2, B2);
        Lo = std::max(A2, A0 - (B0 - A0));
        Hi = B0;
    }
    cls::TPoint Client = SiteScreenToClient(P);
    if (IsHorizontal())
        Client.y = (Lo + Hi) / 2;
    else
        Client.x = (Lo + Hi) / 2;
    P = SiteClientToScreen(Client);
}

int TdxDockControl::GetColIndexAtPos(int ARow, cls::TPoint P) {
    const TdxDockRow* Row = GetRow(ARow);
    if (!Row || Row->GetColCount() == 0) return 0;
    P = SiteScreenToClient(P);
    TdxBars* Bars = FBarManager ? FBarManager->Bars() : nullptr;
    if (Bars && Bars->Dragging() && Bars->MovingBarControl() && !Bars->MovingBarControl()->HandleLocked()) {
        const cls::TPoint Grab = Bars->GetGrabOffset(Bars->MovingBarControl(), GetDockingStyle());
        P.x -= Grab.x;
        P.y -= Grab.y;
    }
    for (int I = 0; I < Row->GetColCount(); ++I) {
        const TdxBarControl* Window = Row->GetCol(I)->BarControl();
        const TdxBar* Bar = Window ? Window->Bar() : nullptr;
        if (!Bar) continue;
        if ((IsHorizontal() ? Bar->DockedLeft() : Bar->DockedTop()) >= Along(P)) return I;
    }
    return Row->GetColCount();
}

// ============================================================================
// The dock layout
// ============================================================================

struct TdxDockControl::TColLayout {
    TdxDockCol* Col = nullptr;
    TdxBarControl* Window = nullptr;
    int NonClientAlong = 0;
    int NonClientAcross = 0;
    int MinLen = 0;
    int FullLen = 0;
    bool Wraps = false;
    bool WasTruncated = false;
    int Place = 0;
    int Length = 0;
    int Thickness = 0;
};

bool TdxDockControl::IsLayoutPossible() const {
    if (!FBarManager || FRows.empty()) return false;
    cls::TCustomForm* Form = FBarManager->OwnerForm();
    if (Form && Form->ComponentState().Contains(cls::csDestroying)) return false;
    return FBarManager->Bars() && !FBarManager->Bars()->LoadingBars();
}

void TdxDockControl::UpdateDock() {
    if (!FBarManager || FDestroying || FBarManager->LockUpdate() || FBarManager->IsDestroying()) return;
    cls::TCustomForm* Form = FBarManager->OwnerForm();
    if (Form && Form->ComponentState().Contains(cls::csDestroying)) return;
    LayoutBars();
    FitToContent();
}

void TdxDockControl::LayoutBars() {
    if (!IsLayoutPossible()) return;
    if (!IsDesigning() && HandleAllocated())
        win::SetWindowPos(Handle(), win::HWND_TOP, 0, 0, 0, 0,
                          win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOACTIVATE);
    DisableAlign();
    const bool WasLayingOut = FLayingOut;
    FLayingOut = true;
    try {
        const cls::TRect Client = SiteClientRect();
        const int Length = IsHorizontal() ? Client.right : Client.bottom;
        for (int R = 0; R < GetRowCount(); ++R) LayoutRow(R, Length);
    } catch (...) {
        FLayingOut = WasLayingOut;
        EnableAlign();
        throw;
    }
    FLayingOut = WasLayingOut;
    EnableAlign();
    if (HandleAllocated()) Invalidate();
}

void TdxDockControl::LayoutRow(int ARowIndex, int L) {
    TdxDockRow* Row = GetRow(ARowIndex);
    const TdxBarDockingStyle Style = GetDockingStyle();
    const bool Horizontal = IsHorizontal();
    TdxBarControl* Dragged = FBarManager->Bars() && FBarManager->Bars()->Dragging()
                                 ? FBarManager->Bars()->MovingBarControl()
                                 : nullptr;

    std::vector<TColLayout> Cols;
    int Total = 0;
    for (int I = 0; I < Row->GetColCount(); ++I) {
        TColLayout C;
        C.Col = Row->GetCol(I);
        C.Window = C.Col->BarControl();
        TdxBar* Bar = C.Window ? C.Window->Bar() : nullptr;
        if (!Bar) continue;
        // Measuring makes a window that has none, and a new window lays itself
        // out at its first size, where its links do not fit: it is made
        // first, so that the reset below clears that cut-off.
        if (C.Window->ItemLinks() && !C.Window->HandleAllocated() && !C.Window->IsDestroying() &&
            !C.Window->Closing())
            C.Window->HandleNeeded();
        if (!IsBarControlAlive(C.Window)) continue;
        C.WasTruncated = C.Window->Truncated();
        C.Window->SetTruncated(false);
        if (C.Window->ItemLinks()) C.Window->ItemLinks()->SetRecentLimit(-1);
        C.NonClientAlong = Horizontal ? Bar->GetNonClientWidth(Style) : Bar->GetNonClientHeight(Style);
        C.NonClientAcross = Horizontal ? Bar->GetNonClientHeight(Style) : Bar->GetNonClientWidth(Style);
        const cls::TSize Min = C.Window->GetMinSize(Style);
        const cls::TSize Max = C.Window->GetMaxSize(Style);
        C.Window->SetLaidOutLengths(Horizontal ? Min.cx : Min.cy, Horizontal ? Max.cx : Max.cy);
        C.MinLen = (Horizontal ? Min.cx : Min.cy) + C.NonClientAlong;
        C.FullLen = (Horizontal ? Max.cx : Max.cy) + C.NonClientAlong;
        if (!C.Window->HasMark() && C.MinLen != C.FullLen) C.MinLen += MarkLength;
        C.Wraps = C.Window->IsMultiLineFor(Style);
        Total += C.FullLen;
        Cols.push_back(C);
    }
    if (Cols.empty()) return;

    cls::TRect RowRect;
    GetRowRect(ARowIndex, RowRect);
    const int Offset = Horizontal ? RowRect.top : RowRect.left;
    const auto ThicknessFor = [&](TColLayout& C, int ALength) {
        cls::TSize Size{};
        C.Window->CalcSize(Style, std::max(ALength - C.NonClientAlong, 0), Size);
        C.Thickness = Horizontal ? Size.cy : Size.cx;
    };
    const auto AlongOf = [Horizontal](cls::TPoint P) { return Horizontal ? P.x : P.y; };
    const auto SetAlong = [Horizontal](TdxDockCol* ACol, int AValue) {
        cls::TPoint P = ACol->Pos();
        (Horizontal ? P.x : P.y) = AValue;
        ACol->SetPos(P);
    };
    const int Count = static_cast<int>(Cols.size());
    std::vector<int> SumMin(Count + 1, 0), SumFull(Count + 1, 0);
    for (int I = 0; I < Count; ++I) {
        SumMin[I + 1] = SumMin[I] + Cols[I].MinLen;
        SumFull[I + 1] = SumFull[I] + Cols[I].FullLen;
    }
    // The stored place of column I held between the least and the full
    // lengths of the columns before it.
    const auto Clamped = [&](int I) {
        return std::clamp(AlongOf(Cols[I].Col->Pos()), SumMin[I], SumFull[I]);
    };

    TdxBar* FirstBar = Cols[0].Window->Bar();
    if (Count == 1 && FirstBar->WholeRow()) {
        TColLayout& C = Cols[0];
        C.Place = 0;
        C.Length = std::max(L, C.MinLen);
        if (!C.Wraps && C.Length < C.FullLen) C.Window->SetTruncated(true);
        ThicknessFor(C, C.Length);
    } else if (Total > L) {
        // From the last column back: a column that fits at its stored place
        // stays there; one that does not is cut (squeezed against the
        // column after it only when even its least length does not fit).
        int Remaining = L;
        for (int I = Count - 1; I >= 0; --I) {
            TColLayout& C = Cols[I];
            int Pos = Clamped(I);
            // The bar before this one is being dragged: it keeps its full
            // length and pushes this one ahead of it.
            if (I > 0 && Cols[I - 1].Window == Dragged) {
                Pos = std::clamp(std::max(Pos, Clamped(I - 1) + Cols[I - 1].FullLen), SumMin[I], SumFull[I]);
                SetAlong(C.Col, Pos);
            }
            const int Available = Remaining - Pos;
            if (Available < C.FullLen) {
                if (!C.Wraps && C.MinLen != C.FullLen) C.Window->SetTruncated(true);
                C.Length = std::max(Available, C.MinLen);
                C.Place = std::clamp(Remaining - C.Length, SumMin[I], SumFull[I]);
            } else {
                C.Length = C.FullLen;
                C.Place = Pos;
            }
            if (I == 0) C.Length = std::max(C.Length, Remaining - C.Place);
            ThicknessFor(C, C.Length);
            Remaining = C.Place;
        }
    } else {
        int Limit = L;
        for (int I = Count - 1; I >= 0; --I) {
            TColLayout& C = Cols[I];
            C.Length = C.FullLen;
            ThicknessFor(C, C.Length);
            int Place = AlongOf(C.Col->Pos());
            if (Place + C.Length > Limit) Place = Limit - C.Length;
            C.Place = std::max(Place, SumFull[I]);
            Limit = C.Place;
        }
    }

    int RowThickness = 0;
    for (TColLayout& C : Cols) {
        C.Thickness += C.NonClientAcross;
        RowThickness = std::max(RowThickness, C.Thickness);
    }
    for (int I = 0; I < Count; ++I) {
        TColLayout& C = Cols[I];
        if (!C.Window->Bar()->UseRestSpace()) continue;
        C.Place = I == 0 ? 0 : Cols[I - 1].Place + Cols[I - 1].Length;
        const int End = I + 1 < Count ? Cols[I + 1].Place : L;
        C.Length = std::max(End - C.Place, C.MinLen);
    }
    TColLayout& Last = Cols[Count - 1];
    if (Last.Window->Truncated()) Last.Length = std::max(L - Last.Place, Last.MinLen);

    for (TColLayout& C : Cols) {
        const cls::TRect Bounds =
            Horizontal ? cls::TRect{C.Place, Offset, C.Place + C.Length, Offset + RowThickness}
                       : cls::TRect{Offset, C.Place, Offset + RowThickness, C.Place + C.Length};
        TdxBarControl* Window = C.Window;
        const bool Moved = Window->BoundsRect() != Bounds;
        if (Moved) {
            Window->SetBounds(Bounds.left, Bounds.top, Bounds.right - Bounds.left,
                              Bounds.bottom - Bounds.top);
            if (!IsBarControlAlive(Window)) continue;
        }
        if (Moved || Window->Truncated() != C.WasTruncated) Window->RepaintLaidOut();
    }
}

// ============================================================================
// Fitting, frame and background
// ============================================================================

void TdxDockControl::FitToContent() {
    if (!FBarManager || FDestroying) return;
    int Size = GetRowsSize();
    if (GetSunkenBorder() && Size >= 1) Size += 2;
    const TdxBarDockingStyle Style = GetDockingStyle();
    const int Old = IsHorizontalStyle(Style) ? Height() : Width();
    if (Old == Size) return;
    const bool KeepFarEdge = Style == dsBottom || Style == dsRight;
    if (KeepFarEdge && Parent()) Parent()->DisableAlign();
    try {
        switch (Style) {
            case dsBottom:
                SetBounds(Left(), Top() + Old - Size, Width(), Size);
                break;
            case dsRight:
                SetBounds(Left() + Old - Size, Top(), Size, Height());
                break;
            case dsLeft:
                SetWidth(Size);
                break;
            default:
                SetHeight(Size);
                break;
        }
    } catch (...) {
        if (KeepFarEdge && Parent()) Parent()->EnableAlign();
        throw;
    }
    if (KeepFarEdge && Parent()) Parent()->EnableAlign();
    CloseActiveChainOnResize();
}

void TdxDockControl::CloseActiveChainOnResize() {
    TCustomdxBarControl* Active = GetActiveBarControl();
    if (!Active || Active->IsQuickCustomizingMenu()) return;
    if (Active->HandleAllocated() && win::GetCapture() == Active->Handle()) return;
    TdxBarManager* Manager = Active->GetBarManager();
    const bool SameForm = Manager && Manager->OwnerForm() && Manager->OwnerForm() == GetOwnerForm();
    if (Manager != FBarManager && !SameForm) return;
    if (!IsMainDock()) {
        // A placed site only disturbs windows docked in placed sites.
        const TdxDockControl* Dock = Active->DockControl();
        if (!Dock || Dock->IsMainDock()) return;
    }
    Active->DeactivateAll();
}

void TdxDockControl::FrameChanged() {
    if (HandleAllocated())
        win::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                          win::SWP_NOSIZE | win::SWP_NOMOVE | win::SWP_NOZORDER | win::SWP_NOACTIVATE |
                              win::SWP_FRAMECHANGED);
    for (TdxBarControl* Window : DockedWindows()) {
        if (IsBarControlAlive(Window) && Window->HandleAllocated()) Window->FrameChanged();
    }
    UpdateDock();
}

std::vector<TdxBarControl*> TdxDockControl::DockedWindows() const {
    std::vector<TdxBarControl*> Result;
    for (const auto& Row : FRows)
        for (int I = 0; I < Row->GetColCount(); ++I)
            if (TdxBarControl* Window = Row->GetCol(I)->BarControl()) Result.push_back(Window);
    return Result;
}

void TdxDockControl::ManagerStyleChanged() {
    ClearBackgroundCache();
}

bool TdxDockControl::CanDocking(TdxBar*) {
    return FAllowDocking;
}

void TdxDockControl::UpdateColor() {
    if (!FBarManager || FBarManager->AutoDockColor())
        cls::TControl::SetParentColor(true);
    else
        cls::TControl::SetColor(FBarManager->DockColor());
}

bool TdxDockControl::GetSunkenBorder() const {
    return FBarManager && FBarManager->SunkenBorder();
}

cls::TCustomForm* TdxDockControl::GetOwnerForm() const {
    return FBarManager ? FBarManager->OwnerForm() : nullptr;
}

void TdxDockControl::DrawBackground(gfx::HDC DC, const cls::TRect& ADest, const cls::TRect& ASource,
                                    cls::TColor AColor) {
    if (!HasOwnBackground() && FBarManager) {
        cls::TBitmap* Bar = FBarManager->Backgrounds() ? FBarManager->Backgrounds()->Bar() : nullptr;
        if (Bar && !Bar->Empty()) {
            FillBarBackground(DC, ADest, ASource, nullptr, AColor, Bar);
        } else if (!gfx::IsRectEmpty(&ADest)) {
            const cls::TRect Client = SiteClientRect();
            if (!gfx::IsRectEmpty(&Client))
                FBarManager->PainterClass()->DrawDockBackground(this, DC, AColor, nullptr, ADest,
                                                                gfx::POINT{ASource.left, ASource.top});
        }
        return;
    }
    FillBarBackground(DC, ADest, ASource, nullptr, AColor, FBackgroundBitmap);
}

bool TdxDockControl::HasOwnBackground() const {
    return !FBackgroundBitmap->Empty();
}

bool TdxDockControl::IsBackgroundDrawn() const {
    if (HasOwnBackground()) return true;
    if (!FBarManager) return false;
    const cls::TBitmap* Bar = FBarManager->Backgrounds() ? FBarManager->Backgrounds()->Bar() : nullptr;
    return (FBarManager->PainterClass() && FBarManager->PainterClass()->IsDockBackgroundDrawn()) ||
           (Bar && !Bar->Empty());
}

void TdxDockControl::RepaintBars() {
    for (TdxBarControl* Window : DockedWindows()) {
        if (!IsBarControlAlive(Window) || !Window->HandleAllocated()) continue;
        win::SendMessage(Window->Handle(), win::WM_NCPAINT, 1, 0);
        if (IsBarControlAlive(Window)) Window->Repaint();
    }
}

void TdxDockControl::ClearBackgroundCache() {
    FBackgroundCache->Assign(nullptr);
}

void TdxDockControl::InitiateAction() {
    inherited::InitiateAction();
    if (!FBarManager || !FBarManager->Bars()) return;
    TdxBars* Bars = FBarManager->Bars();
    for (int I = 0; I < Bars->Count(); ++I) {
        TdxBar* Bar = Bars->Items(I);
        if (!Bar->Visible()) continue;
        TdxBarItemLinks* Links = Bar->ItemLinks();
        for (int J = 0; Links && J < Links->Count(); ++J) {
            TdxBarItem* Item = Links->Items(J)->Item();
            if (Item && Item->ActionLink()) Item->ActionLink()->Update();
        }
    }
}

// ============================================================================
// Window
// ============================================================================

void TdxDockControl::CreateParams(cls::TCreateParams& Params) {
    inherited::CreateParams(Params);
    Params.Style = win::WS_CHILD | win::WS_CLIPSIBLINGS | win::WS_CLIPCHILDREN;
    Params.ExStyle = 0;
    Params.WindowClass.style = win::CS_DBLCLKS;
}

void TdxDockControl::AlignControls(cls::TControl*, cls::TRect&) {
    if (FBarManager && !FBarManager->IsLoading()) UpdateDock();
}

void TdxDockControl::Dispatch(cls::TMessage& Message) {
    switch (Message.Msg) {
        case win::WM_CREATE:
            WMCreate(Message);
            break;
        case win::WM_DESTROY:
            WMDestroy(Message);
            break;
        case win::WM_ERASEBKGND:
            WMEraseBkgnd(Message);
            break;
        case win::WM_MOUSEACTIVATE:
            WMMouseActivate(Message);
            break;
        case win::WM_NCCALCSIZE:
            WMNCCalcSize(Message);
            break;
        case win::WM_NCPAINT:
            WMNCPaint(Message);
            break;
        case win::WM_SIZE:
            WMSize(Message);
            break;
        case win::WM_WINDOWPOSCHANGED:
            WMWindowPosChanged(Message);
            break;
        default:
            inherited::Dispatch(Message);
            break;
    }
}

void TdxDockControl::WMCreate(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    if (!FBarManager || !FBarManager->HasHiddenBarList()) return;
    FBarManager->RestoreHiddenBars(this);
    if (FBarManager && FBarManager->HiddenBarCount() == 0) FBarManager->FreeHiddenBarList();
}

void TdxDockControl::WMDestroy(cls::TMessage& Message) {
    // The bar windows go with the site's window: they remember their bars.
    if (FBarManager && !FDestroying) FBarManager->CreateHiddenBarList();
    inherited::Dispatch(Message);
}

void TdxDockControl::WMEraseBkgnd(cls::TMessage& Message) {
    const auto DC = reinterpret_cast<gfx::HDC>(Message.WParam);
    const cls::TRect Client = ClientRect();
    DrawBackground(DC, Client, Client, Color());
    Message.Result = 1;
}

void TdxDockControl::WMMouseActivate(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    if (!FBarManager || IsDesigning()) return;
    Message.Result = win::MA_NOACTIVATE;
    cls::TCustomForm* Form = GetOwnerForm();
    if (Form && Form->HandleAllocated())
        win::SetWindowPos(Form->Handle(), win::HWND_TOP, 0, 0, 0, 0, win::SWP_NOSIZE | win::SWP_NOMOVE);
}

void TdxDockControl::WMNCCalcSize(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    if (!GetSunkenBorder()) return;
    auto* R = Message.WParam ? &reinterpret_cast<win::NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                             : reinterpret_cast<win::RECT*>(Message.LParam);
    gfx::InflateRect(R, -1, -1);
}

void TdxDockControl::WMNCPaint(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    if (!GetSunkenBorder() || !HandleAllocated()) return;
    const gfx::HDC DC = win::GetWindowDC(Handle());
    if (!DC) return;
    cls::TRect R;
    win::GetWindowRect(Handle(), &R);
    gfx::OffsetRect(&R, -R.left, -R.top);
    gfx::DrawEdge(DC, &R, gfx::BDR_SUNKENOUTER, gfx::BF_RECT);
    win::ReleaseDC(Handle(), DC);
}

void TdxDockControl::WMSize(cls::TMessage& Message) {
    ClearBackgroundCache();
    inherited::Dispatch(Message);
}

void TdxDockControl::WMWindowPosChanged(cls::TMessage& Message) {
    inherited::Dispatch(Message);
    const cls::TRect OldClient = std::exchange(FBackgroundClient, SiteClientRect());
    if (!FBarManager) return;
    const win::WINDOWPOS* Pos = cls::TWMWindowPosMsg{Message}.WindowPos();
    if (Pos && (Pos->flags & win::SWP_NOSIZE) && (Pos->flags & win::SWP_NOMOVE)) return;
    // A status bar's size grip shows only while it touches the form's bottom.
    if (TdxBars* Bars = FBarManager->Bars()) {
        for (int I = 0; I < Bars->Count(); ++I) {
            TdxBar* Bar = Bars->Items(I);
            TdxBarControl* Window = Bar->IsStatusBar() ? Bar->Control() : nullptr;
            if (Window && Window->HandleAllocated()) Window->FrameChanged();
        }
    }
    if (IsBackgroundDrawn()) RepaintBarsOverChangedBackground(OldClient);
}

void TdxDockControl::RepaintBarsOverChangedBackground(const cls::TRect& AOldClient) {
    // The bars that moved repaint with the layout; of the others only those
    // over a part of the background that changed with the site's size.
    if (!FBarManager || !FBarManager->PainterClass()) return;
    const cls::TRect Client = SiteClientRect();
    for (TdxBarControl* Window : DockedWindows()) {
        if (!IsBarControlAlive(Window) || !Window->HandleAllocated()) continue;
        if (FBarManager->PainterClass()->IsDockBackgroundChanged(this, AOldClient, Client,
                                                                 Window->BoundsRect()))
            win::RedrawWindow(Window->Handle(), nullptr, nullptr,
                              win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_ERASE);
    }
}

// ============================================================================
// TdxBarDockControl
// ============================================================================

TdxBarDockControl::TdxBarDockControl(cls::TComponent* AOwner) : TdxDockControl(AOwner) {
    cls::TControl::SetAlign(cls::alTop);
}

bool TdxBarDockControl::IsLoading() const {
    if (ComponentState().Contains(cls::csLoading)) return true;
    TdxBarManager* Manager = BarManager();
    return Manager && Manager->Bars() && Manager->Bars()->LoadingBars();
}

int TdxBarDockControl::GetDesignMinSize() const {
    return IsDesigning() && !FAllowZeroSizeInDesignTime ? 3 : 0;
}

void TdxBarDockControl::SetAlign(cls::TAlign Value) {
    if (Align() == Value) return;
    TdxBarManager* Manager = BarManager();
    const bool SavedLock = Manager && Manager->LockUpdate();
    if (Manager) Manager->SetLockUpdate(true);
    const TdxBarDockingStyle Style = Value == cls::alLeft     ? dsLeft
                                     : Value == cls::alRight  ? dsRight
                                     : Value == cls::alBottom ? dsBottom
                                                              : dsTop;
    for (TdxBarControl* Window : DockedWindows()) {
        if (!IsBarControlAlive(Window)) continue;
        TdxBarControlHandleLock Lock(Window);
        Window->SetDockingStyle(Style);
    }
    cls::TControl::SetAlign(Value);
    if (Manager) Manager->SetLockUpdate(SavedLock);
    for (TdxBarControl* Window : DockedWindows())
        if (IsBarControlAlive(Window)) Window->RepaintBar();
    if (Parent()) Parent()->Invalidate();
}

void TdxBarDockControl::SetColor(cls::TColor Value) {
    cls::TControl::SetColor(Value);
    if (!IsLoading()) FUseOwnColor = true;
}

void TdxBarDockControl::SetParentColor(bool Value) {
    cls::TControl::SetParentColor(Value);
    if (!IsLoading()) FUseOwnColor = true;
}

void TdxBarDockControl::SetAllowZeroSizeInDesignTime(bool Value) {
    if (FAllowZeroSizeInDesignTime == Value) return;
    FAllowZeroSizeInDesignTime = Value;
    Perform(win::WM_SIZE, 0, 0);
}

void TdxBarDockControl::SetSunkenBorder(bool Value) {
    FSunkenBorder = Value;
    FUseOwnSunkenBorder = true;
    FrameChanged();
}

void TdxBarDockControl::SetUseOwnColor(bool Value) {
    if (FUseOwnColor == Value) return;
    FUseOwnColor = Value;
    if (!Value) UpdateColor();
}

void TdxBarDockControl::SetUseOwnSunkenBorder(bool Value) {
    if (FUseOwnSunkenBorder == Value) return;
    const bool Old = GetSunkenBorder();
    if (Value) FSunkenBorder = Old;
    FUseOwnSunkenBorder = Value;
    if (!Value && GetSunkenBorder() != Old) FrameChanged();
}

void TdxBarDockControl::ManagerStyleChanged() {
    TdxDockControl::ManagerStyleChanged();
    if (IsDestroying()) return;
    UpdateColor();
    FrameChanged();
}

bool TdxBarDockControl::CanDocking(TdxBar* ABar) {
    if (!TdxDockControl::CanDocking(ABar)) return false;
    TdxBarControl* Window = ABar ? ABar->Control() : nullptr;
    if (Window && Window->HandleAllocated() && HandleAllocated() &&
        IsWindowAncestor(Handle(), Window->Handle()))
        return false;
    return true;
}

void TdxBarDockControl::UpdateColor() {
    if (FUseOwnColor) return;
    TdxDockControl::UpdateColor();
}

int TdxBarDockControl::GetRowsSize() {
    if (IsLoading()) {
        const cls::TRect Client = SiteClientRect();
        return IsHorizontal() ? Client.bottom : Client.right;
    }
    const int Result = TdxDockControl::GetRowsSize();
    return Result == 0 ? GetDesignMinSize() : Result;
}

bool TdxBarDockControl::GetSunkenBorder() const {
    return FUseOwnSunkenBorder ? FSunkenBorder : TdxDockControl::GetSunkenBorder();
}

cls::TCustomForm* TdxBarDockControl::GetOwnerForm() const {
    if (cls::TCustomForm* Form = cls::GetParentForm(const_cast<TdxBarDockControl*>(this))) return Form;
    return TdxDockControl::GetOwnerForm();
}

void TdxBarDockControl::CreateParams(cls::TCreateParams& Params) {
    TdxDockControl::CreateParams(Params);
    if (IsDesigning()) Params.WindowClass.style |= win::CS_HREDRAW | win::CS_VREDRAW;
}

void TdxBarDockControl::Dispatch(cls::TMessage& Message) {
    TdxDockControl::Dispatch(Message);
    if (Message.Msg == win::WM_SIZE) ApplyDesignMinSize();
}

void TdxBarDockControl::ApplyDesignMinSize() {
    if (IsLoading() || GetRowCount() > 0) return;
    const int Size = GetDesignMinSize();
    if (IsHorizontal()) {
        if (Height() != Size) SetHeight(Size);
    } else if (Width() != Size) {
        SetWidth(Size);
    }
}

void TdxBarDockControl::Paint() {
    TdxDockControl::Paint();
    if (!IsDesigning()) return;
    cls::TCanvas* C = Canvas();
    C->Brush()->SetStyle(cls::bsClear);
    C->Pen()->SetStyle(cls::psDash);
    const cls::TRect R = ClientRect();
    C->Rectangle(R);
    C->Pen()->SetStyle(cls::psSolid);
    C->Brush()->SetStyle(cls::bsSolid);
}

} // namespace bars
