#include "classes/imagelist.h"
#include "classes/gdi_helpers.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "gfx/draw.h"

namespace cls {

namespace {

using detail::TDCColors;

constexpr std::uint32_t kWhite = 0xFFFFFF;

// A memory DC with a bitmap of its own, and that bitmap's pixels.
class TScratch {
public:
    TScratch(int Width, int Height, bool Mono) : FMemory(Width, Height, Mono ? 1 : 32) {
        if (!FMemory.Valid() || !gfx::GetBitmapSurface(FMemory.Bitmap(), &FSurface))
            throw EOutOfResources(SOutOfResources);
    }

    gfx::HDC DC() const { return FMemory.Handle(); }
    gfx::HBITMAP Bitmap() const { return FMemory.Bitmap(); }
    std::uint32_t* Row(int Y) const { return FSurface.Row(Y); }

private:
    gfx::MemoryDC FMemory;
    gfx::BitmapSurface FSurface;
};

// Channels mixed Percent% toward Blend (both 0x..RRGGBB); alpha is kept.
std::uint32_t Mix(std::uint32_t Pixel, std::uint32_t Blend, unsigned Percent) {
    std::uint32_t Out = Pixel & 0xFF000000u;
    for (int Shift = 0; Shift < 24; Shift += 8) {
        const unsigned C = (Pixel >> Shift) & 0xFF, B = (Blend >> Shift) & 0xFF;
        Out |= ((C * (100 - Percent) + B * Percent + 50) / 100) << Shift;
    }
    return Out;
}

// AlphaBlend takes premultiplied pixels; images keep straight alpha.
std::uint32_t Premultiply(std::uint32_t Pixel) {
    const unsigned A = Pixel >> 24;
    std::uint32_t Out = Pixel & 0xFF000000u;
    for (int Shift = 0; Shift < 24; Shift += 8) Out |= ((((Pixel >> Shift) & 0xFF) * A + 127) / 255) << Shift;
    return Out;
}

} // namespace

// ============================================================================
// TChangeLink
// ============================================================================

TChangeLink::~TChangeLink() {
    if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    FOnChange(FSender);
}

// ============================================================================
// TCustomImageList
// ============================================================================

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* Link : FClients) Link->FSender = nullptr;
    FClients.clear();
}

void TCustomImageList::Assign(TPersistent* Source) {
    auto* List = dynamic_cast<TCustomImageList*>(Source);
    if (!List) {
        inherited::Assign(Source);
        return;
    }
    if (List == this) return;
    // Store lays the source's cells out at the list's size: take it first.
    FWidth = List->FWidth;
    FHeight = List->FHeight;
    FMasked = List->FMasked;
    Store(List->ReadAll());
    FHandleAllocated = FHandleAllocated || List->FHandleAllocated;
    FBkColor = List->FBkColor;
    FBlendColor = List->FBlendColor;
    FDrawingStyle = List->FDrawingStyle;
    FImageType = List->FImageType;
    Change();
}

void TCustomImageList::SetSize(int AWidth, int AHeight) {
    if (AWidth < 1 || AHeight < 1) throw EInvalidOperation(SInvalidImageSize);
    if (AWidth == FWidth && AHeight == FHeight) return;
    Store({});
    FWidth = AWidth;
    FHeight = AHeight;
    Change();
}

void TCustomImageList::SetBkColor(TColor Value) {
    if (Value == FBkColor) return;
    FBkColor = Value;
    Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
    if (Value == FBlendColor) return;
    FBlendColor = Value;
    Change();
}

void TCustomImageList::SetMasked(bool Value) {
    if (Value == FMasked) return;
    FMasked = Value;
    Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
    if (Value == FDrawingStyle) return;
    FDrawingStyle = Value;
    Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
    if (Value == FImageType) return;
    FImageType = Value;
    Change();
}

// --- Cells ---

TCustomImageList::TCell TCustomImageList::CellFromPixels(std::vector<std::uint32_t> Pixels,
                                                         std::vector<std::uint32_t> Mask, bool Keyed) const {
    TCell Cell;
    Cell.Alpha = std::any_of(Pixels.begin(), Pixels.end(), [](std::uint32_t P) { return (P >> 24) != 0; });
    if (!FMasked) {
        std::fill(Mask.begin(), Mask.end(), 0u);
    } else if (Cell.Alpha && !Keyed) {
        for (std::size_t I = 0; I < Pixels.size(); ++I)
            if ((Pixels[I] >> 24) == 0) Mask[I] = kWhite;
    }
    // Masked drawing ORs the image into a hole the mask cut, so the
    // transparent pixels of an opaque image must be black.
    if (!Cell.Alpha)
        for (std::size_t I = 0; I < Pixels.size(); ++I)
            if (Mask[I]) Pixels[I] = 0;
    Cell.Pixels = std::move(Pixels);
    Cell.Mask = std::move(Mask);
    return Cell;
}

std::vector<TCustomImageList::TCell> TCustomImageList::MakeCells(TBitmap* Image, TMaskSource Source,
                                                                 TBitmap* Mask, gfx::COLORREF Key,
                                                                 bool All) const {
    std::vector<TCell> Cells;
    if (!Image || Image->Empty()) return Cells;
    gfx::BitmapSurface S, M;
    if (!gfx::GetBitmapSurface(Image->Handle(), &S)) return Cells;
    const bool UseMask =
        Source == TMaskSource::Bitmap && Mask && !Mask->Empty() && gfx::GetBitmapSurface(Mask->Handle(), &M);
    const std::uint32_t KeyPixel = gfx::PixelFromColor(Key);
    const int N = All ? std::max(1, S.width / FWidth) : 1;
    const auto Size = static_cast<std::size_t>(FWidth) * FHeight;
    for (int K = 0; K < N; ++K) {
        std::vector<std::uint32_t> Pixels(Size, 0), MaskBits(Size, kWhite);
        for (int Y = 0; Y < FHeight && Y < S.height; ++Y) {
            for (int X = 0; X < FWidth; ++X) {
                const int SX = K * FWidth + X;
                if (SX >= S.width) break;
                const std::uint32_t P = S.Row(Y)[SX];
                bool Transparent = false;
                if (Source == TMaskSource::Color)
                    Transparent = (P & kWhite) == KeyPixel;
                else if (UseMask && SX < M.width && Y < M.height)
                    Transparent = (M.Row(Y)[SX] & kWhite) == kWhite;
                const std::size_t I = static_cast<std::size_t>(Y) * FWidth + X;
                Pixels[I] = P;
                MaskBits[I] = Transparent ? kWhite : 0;
            }
        }
        Cells.push_back(CellFromPixels(std::move(Pixels), std::move(MaskBits), Source != TMaskSource::None));
    }
    return Cells;
}

TCustomImageList::TCell TCustomImageList::ReadCell(int Index) const {
    TCell Cell;
    gfx::BitmapSurface I, M;
    gfx::GetBitmapSurface(FImages->Bitmap(), &I);
    gfx::GetBitmapSurface(FMasks->Bitmap(), &M);
    const auto Size = static_cast<std::size_t>(FWidth) * FHeight;
    Cell.Pixels.resize(Size);
    Cell.Mask.resize(Size);
    for (int Y = 0; Y < FHeight; ++Y) {
        std::copy_n(I.Row(Y) + Index * FWidth, FWidth, Cell.Pixels.begin() + Y * FWidth);
        std::copy_n(M.Row(Y) + Index * FWidth, FWidth, Cell.Mask.begin() + Y * FWidth);
    }
    Cell.Alpha = FAlpha[static_cast<std::size_t>(Index)];
    return Cell;
}

std::vector<TCustomImageList::TCell> TCustomImageList::ReadAll() const {
    std::vector<TCell> Cells;
    for (int I = 0; I < Count(); ++I) Cells.push_back(ReadCell(I));
    return Cells;
}

void TCustomImageList::Store(const std::vector<TCell>& Cells) {
    std::unique_ptr<gfx::MemoryDC> Images, Masks, Blended;
    if (!Cells.empty()) {
        const long long StripWidth = static_cast<long long>(FWidth) * static_cast<long long>(Cells.size());
        const bool AnyAlpha = std::any_of(Cells.begin(), Cells.end(), [](const TCell& C) { return C.Alpha; });
        gfx::BitmapSurface I, M, B;
        if (StripWidth <= INT_MAX) {
            const int Width = static_cast<int>(StripWidth);
            Images = std::make_unique<gfx::MemoryDC>(Width, FHeight, 32);
            Masks = std::make_unique<gfx::MemoryDC>(Width, FHeight, 1);
            if (AnyAlpha) Blended = std::make_unique<gfx::MemoryDC>(Width, FHeight, 32);
        }
        if (!Images || !Images->Valid() || !Masks->Valid() || (Blended && !Blended->Valid()) ||
            !gfx::GetBitmapSurface(Images->Bitmap(), &I) || !gfx::GetBitmapSurface(Masks->Bitmap(), &M) ||
            (Blended && !gfx::GetBitmapSurface(Blended->Bitmap(), &B)))
            throw EOutOfResources(SOutOfResources);
        for (std::size_t K = 0; K < Cells.size(); ++K) {
            const auto Left = static_cast<std::ptrdiff_t>(K) * FWidth;
            for (int Y = 0; Y < FHeight; ++Y) {
                const auto Row = Cells[K].Pixels.begin() + Y * FWidth;
                std::copy_n(Row, FWidth, I.Row(Y) + Left);
                std::copy_n(Cells[K].Mask.begin() + Y * FWidth, FWidth, M.Row(Y) + Left);
                if (Blended)
                    std::transform(Row, Row + FWidth, B.Row(Y) + Left,
                                   [&](std::uint32_t P) { return Cells[K].Alpha ? Premultiply(P) : P; });
            }
        }
        FHandleAllocated = true;
    }
    FImages = std::move(Images);
    FMasks = std::move(Masks);
    FBlended = std::move(Blended);
    FAlpha.clear();
    for (const TCell& Cell : Cells) FAlpha.push_back(Cell.Alpha);
}

// --- Editing ---

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
    std::vector<TCell> New = MakeCells(Image, TMaskSource::Bitmap, Mask, 0, true);
    if (New.empty()) return -1;
    std::vector<TCell> Cells = ReadAll();
    const int Index = Count();
    Cells.insert(Cells.end(), New.begin(), New.end());
    Store(Cells);
    Change();
    return Index;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
    if (!Image || Image->Empty()) return -1;
    const TMaskSource Source = MaskColor == clNone ? TMaskSource::None : TMaskSource::Color;
    const TColor Key = MaskColor == clDefault ? Image->TransparentColor() : MaskColor;
    std::vector<TCell> New = MakeCells(Image, Source, nullptr, ColorToRGB(Key) & kWhite, true);
    if (New.empty()) return -1;
    std::vector<TCell> Cells = ReadAll();
    const int Index = Count();
    Cells.insert(Cells.end(), New.begin(), New.end());
    Store(Cells);
    Change();
    return Index;
}

int TCustomImageList::AddIcon(TIcon* Image) {
    if (!Image || Image->Empty()) return -1;
    TScratch Color(FWidth, FHeight, false), Mask(FWidth, FHeight, true);
    gfx::DrawIconEx(Color.DC(), 0, 0, Image->Handle(), FWidth, FHeight, 0, nullptr, gfx::DI_IMAGE);
    gfx::DrawIconEx(Mask.DC(), 0, 0, Image->Handle(), FWidth, FHeight, 0, nullptr, gfx::DI_MASK);
    const auto Size = static_cast<std::size_t>(FWidth) * FHeight;
    std::vector<std::uint32_t> Pixels(Size), MaskBits(Size);
    for (int Y = 0; Y < FHeight; ++Y) {
        std::copy_n(Color.Row(Y), FWidth, Pixels.begin() + Y * FWidth);
        std::copy_n(Mask.Row(Y), FWidth, MaskBits.begin() + Y * FWidth);
    }
    std::vector<TCell> Cells = ReadAll();
    const int Index = Count();
    Cells.push_back(CellFromPixels(std::move(Pixels), std::move(MaskBits), true));
    Store(Cells);
    Change();
    return Index;
}

void TCustomImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
    if (Index < 0 || Index > Count()) throw EInvalidOperation(SListIndexError, {Index});
    std::vector<TCell> New = MakeCells(Image, TMaskSource::Bitmap, Mask, 0, true);
    if (New.empty()) throw EInvalidOperation(SInsertImage);
    std::vector<TCell> Cells = ReadAll();
    Cells.insert(Cells.begin() + Index, New.begin(), New.end());
    Store(Cells);
    Change();
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
    if (Index < 0 || Index >= Count()) throw EInvalidOperation(SReplaceImage);
    std::vector<TCell> New = MakeCells(Image, TMaskSource::Bitmap, Mask, 0, false);
    if (New.empty()) throw EInvalidOperation(SReplaceImage);
    std::vector<TCell> Cells = ReadAll();
    Cells[static_cast<std::size_t>(Index)] = std::move(New.front());
    Store(Cells);
    Change();
}

void TCustomImageList::Delete(int Index) {
    if (Index < 0 || Index >= Count()) throw EInvalidOperation(SImageIndexError);
    std::vector<TCell> Cells = ReadAll();
    Cells.erase(Cells.begin() + Index);
    Store(Cells);
    Change();
}

void TCustomImageList::Clear() {
    Store({});
    Change();
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    if (CurIndex < 0 || CurIndex >= Count() || NewIndex < 0 || NewIndex >= Count())
        throw EInvalidOperation(SImageIndexError);
    std::vector<TCell> Cells = ReadAll();
    TCell Moved = std::move(Cells[static_cast<std::size_t>(CurIndex)]);
    Cells.erase(Cells.begin() + CurIndex);
    Cells.insert(Cells.begin() + NewIndex, std::move(Moved));
    Store(Cells);
    Change();
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
    if (!Image || Index < 0 || Index >= Count()) return false;
    Image->SetSize(FWidth, FHeight);
    Draw(Image->Canvas(), 0, 0, Index);
    return true;
}

bool TCustomImageList::GetIcon(int Index, TIcon* Image) {
    if (!Image || Index < 0 || Index >= Count()) return false;
    const TCell Cell = ReadCell(Index);
    TScratch Color(FWidth, FHeight, false), Mask(FWidth, FHeight, true);
    for (int Y = 0; Y < FHeight; ++Y) {
        std::copy_n(Cell.Pixels.begin() + Y * FWidth, FWidth, Color.Row(Y));
        std::copy_n(Cell.Mask.begin() + Y * FWidth, FWidth, Mask.Row(Y));
    }
    gfx::ICONINFO Info;
    Info.hbmColor = Color.Bitmap();
    Info.hbmMask = Mask.Bitmap();
    gfx::HICON Icon = gfx::CreateIconIndirect(&Info);
    if (!Icon) throw EOutOfResources(SOutOfResources);
    Image->SetHandle(Icon);
    return true;
}

// --- Drawing ---

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
    Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
    if (!Canvas || Index < 0 || Index >= Count()) return;
    DoDraw(Index, Canvas, X, Y, ADrawingStyle, AImageType, Enabled);
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle ADrawingStyle,
                              TImageType AImageType, bool Enabled) {
    if (Enabled)
        DrawCell(Canvas->Handle(), X, Y, Index, ADrawingStyle, AImageType);
    else
        DrawDisabled(Canvas, X, Y, Index);
}

void TCustomImageList::DrawCell(gfx::HDC DC, int X, int Y, int Index, TDrawingStyle Style,
                                TImageType Type) const {
    const int Left = Index * FWidth;
    if (Type == itMask) {
        TDCColors Keep(DC);
        gfx::SetTextColor(DC, 0);
        gfx::SetBkColor(DC, kWhite);
        gfx::BitBlt(DC, X, Y, FWidth, FHeight, FMasks->Handle(), Left, 0, gfx::SRCCOPY);
        return;
    }
    const TColor BlendColor = FBlendColor == clDefault ? clHighlight : FBlendColor;
    const unsigned Percent = BlendColor == clNone ? 0 : Style == dsFocus ? 25 : Style == dsSelected ? 50 : 0;
    const bool Alpha = FAlpha[static_cast<std::size_t>(Index)];
    // Drawn from the strips; only a blended look needs pixels of its own.
    gfx::HDC Source = Alpha ? FBlended->Handle() : FImages->Handle();
    int SourceLeft = Left;
    std::optional<TScratch> Mixed;
    if (Percent) {
        const TCell Cell = ReadCell(Index);
        const std::uint32_t BlendPixel = gfx::PixelFromColor(ColorToRGB(BlendColor));
        Mixed.emplace(FWidth, FHeight, false);
        for (int Row = 0; Row < FHeight; ++Row) {
            std::uint32_t* Out = Mixed->Row(Row);
            for (int Col = 0; Col < FWidth; ++Col) {
                const std::size_t I = static_cast<std::size_t>(Row) * FWidth + Col;
                std::uint32_t P = Cell.Pixels[I];
                if (Alpha || !Cell.Mask[I]) P = Mix(P, BlendPixel, Percent);
                Out[Col] = Alpha ? Premultiply(P) : P;
            }
        }
        Source = Mixed->DC();
        SourceLeft = 0;
    }
    if (Style != dsTransparent && FBkColor != clNone && (Alpha || FMasked)) {
        const TRect R{X, Y, X + FWidth, Y + FHeight};
        const gfx::COLORREF Old = gfx::SetDCBrushColor(DC, ColorToRGB(FBkColor));
        gfx::FillRect(DC, &R, gfx::handle_cast<gfx::HBRUSH>(gfx::GetStockObject(gfx::DC_BRUSH)));
        gfx::SetDCBrushColor(DC, Old);
    }
    if (Alpha) {
        gfx::BLENDFUNCTION Blend;
        Blend.AlphaFormat = gfx::AC_SRC_ALPHA;
        gfx::AlphaBlend(DC, X, Y, FWidth, FHeight, Source, SourceLeft, 0, FWidth, FHeight, Blend);
    } else if (!FMasked) {
        gfx::BitBlt(DC, X, Y, FWidth, FHeight, Source, SourceLeft, 0, gfx::SRCCOPY);
    } else {
        TDCColors Keep(DC);
        gfx::SetTextColor(DC, 0);
        gfx::SetBkColor(DC, kWhite);
        gfx::BitBlt(DC, X, Y, FWidth, FHeight, FMasks->Handle(), Left, 0, gfx::SRCAND);
        gfx::BitBlt(DC, X, Y, FWidth, FHeight, Source, SourceLeft, 0, gfx::SRCPAINT);
    }
}

void TCustomImageList::DrawDisabled(TCanvas* Canvas, int X, int Y, int Index) {
    // The image drawn on white in black and white: every pixel that is not
    // white shows, then paints through the brush in the highlight colour one
    // pixel down and right, and in the shadow colour on top.
    TScratch Shape(FWidth, FHeight, true);
    for (int Row = 0; Row < FHeight; ++Row) std::fill_n(Shape.Row(Row), FWidth, kWhite);
    DrawCell(Shape.DC(), 0, 0, Index, dsTransparent, itImage);

    TBrush Saved;
    Saved.Assign(Canvas->Brush());
    const TColor Colors[2] = {clBtnHighlight, clBtnShadow};
    for (int Pass = 0; Pass < 2; ++Pass) {
        Canvas->Brush()->SetColor(Colors[Pass]);
        gfx::HDC DC = Canvas->Handle();
        TDCColors Keep(DC);
        gfx::SetTextColor(DC, kWhite);
        gfx::SetBkColor(DC, 0);
        const int Offset = Pass == 0 ? 1 : 0;
        gfx::BitBlt(DC, X + Offset, Y + Offset, FWidth, FHeight, Shape.DC(), 0, 0, gfx::ROP_DSPDxax);
    }
    Canvas->Brush()->Assign(&Saved);
}

// --- Changes ---

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
    if (!Value || Value->FSender == this) return;
    if (Value->FSender) Value->FSender->UnRegisterChanges(Value);
    Value->FSender = this;
    FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
    auto It = std::find(FClients.begin(), FClients.end(), Value);
    if (It == FClients.end()) return;
    FClients.erase(It);
    Value->FSender = nullptr;
}

void TCustomImageList::EndUpdate() {
    if (FUpdateCount == 0 || --FUpdateCount > 0 || !FChanged) return;
    Change();
}

void TCustomImageList::Change() {
    FChanged = true;
    if (FUpdateCount > 0) return;
    FChanged = false;
    // A handler may unregister links or delete the list.
    TComponentGuard Guard(this);
    const std::vector<TChangeLink*> Clients = FClients;
    for (TChangeLink* Link : Clients) {
        if (!Guard.Alive()) return;
        if (std::find(FClients.begin(), FClients.end(), Link) != FClients.end()) Link->Change();
    }
    if (Guard.Alive()) FOnChange(this);
}

} // namespace cls
