#include "classes/graphics.h"
#include "classes/gdi_helpers.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "classes/atomic_file.h"
#include "classes/filer.h"
#include "classes/streams.h"
#include "gfx/draw.h"
#include "gfx/utf8.h"

namespace cls {

namespace {

using detail::TDCColors;

// Handles of fonts, pens and brushes with the number of objects using them.
class THandleShares {
public:
    template <gfx::GdiObjectHandle H> void Acquire(H Handle) {
        if (!Handle) return;
        std::lock_guard Lock(FMutex);
        ++FCounts[gfx::handle_to_int(Handle)];
    }
    template <gfx::GdiObjectHandle H> void Release(H Handle) {
        if (!Handle) return;
        {
            std::lock_guard Lock(FMutex);
            auto It = FCounts.find(gfx::handle_to_int(Handle));
            if (It != FCounts.end() && --It->second > 0) return;
            if (It != FCounts.end()) FCounts.erase(It);
        }
        gfx::DeleteObject(Handle);
    }

private:
    std::mutex FMutex;
    std::unordered_map<std::uintptr_t, int> FCounts;
};

// Never destroyed: objects with static storage may release handles at exit.
THandleShares& Shares() {
    static THandleShares* Instance = new THandleShares;
    return *Instance;
}

// A new bitmap filled with one colour; nullptr when it cannot be made.
gfx::HBITMAP CreateFilledBitmap(int Width, int Height, bool Mono, gfx::COLORREF Fill) {
    gfx::HBITMAP Result = gfx::CreateBitmap(Width, Height, 1, Mono ? 1 : 32, nullptr);
    gfx::BitmapSurface S;
    if (!Result || !gfx::GetBitmapSurface(Result, &S)) return nullptr;
    const std::uint32_t Pixel = Mono ? gfx::MonoPixelFromColor(Fill) : gfx::PixelFromColor(Fill);
    for (int Y = 0; Y < Height; ++Y) std::fill_n(S.Row(Y), Width, Pixel);
    return Result;
}

std::mutex& ResourceLoaderMutex() {
    static std::mutex M;
    return M;
}
TBitmapResourceLoader& ResourceLoader() {
    static TBitmapResourceLoader* Loader = new TBitmapResourceLoader;
    return *Loader;
}

} // namespace

// ============================================================================
// TGraphicsObject
// ============================================================================

void TGraphicsObject::Changed() {
    FOnChange(this);
}

void TGraphicsObject::Changing() {
    FOnChanging(this);
}

// ============================================================================
// TFont
// ============================================================================

TFont::TFont() : FName("MS Sans Serif"), FHeight(-11), FColor(clWindowText), FCharset(gfx::DEFAULT_CHARSET) {}

TFont::~TFont() {
    Shares().Release(FHandle);
}

void TFont::DataChanged() {
    Shares().Release(FHandle);
    FHandle = nullptr;
    Changed();
}

void TFont::GetPublishedProperties(TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    static constexpr const char* Pitches[] = {"fpDefault", "fpVariable", "fpFixed"};
    static constexpr const char* Styles[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    AList.Integer("Charset", &TFont::Charset, &TFont::SetCharset, {}, CharsetIdents());
    AList.Color("Color", &TFont::Color, &TFont::SetColor);
    AList.Integer("Height", &TFont::Height, &TFont::SetHeight);
    AList.String("Name", &TFont::Name, &TFont::SetName);
    AList.Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, Pitches, fpDefault);
    AList.Set("Style", &TFont::Style, &TFont::SetStyle, Styles);
}

void TFont::Assign(TPersistent* Source) {
    auto* F = dynamic_cast<TFont*>(Source);
    if (!F) {
        inherited::Assign(Source);
        return;
    }
    if (F == this) return;
    if (F->FName == FName && F->FHeight == FHeight && F->FStyle == FStyle && F->FColor == FColor &&
        F->FCharset == FCharset && F->FPitch == FPitch && F->FOrientation == FOrientation &&
        F->FPixelsPerInch == FPixelsPerInch)
        return;
    Changing();
    FName = F->FName;
    FHeight = F->FHeight;
    FStyle = F->FStyle;
    FColor = F->FColor;
    FCharset = F->FCharset;
    FPitch = F->FPitch;
    FOrientation = F->FOrientation;
    FPixelsPerInch = F->FPixelsPerInch;
    // Share the source's handle, which may carry LOGFONT details the properties do not.
    Shares().Acquire(F->FHandle);
    Shares().Release(FHandle);
    FHandle = F->FHandle;
    Changed();
}

void TFont::SetName(const std::string& Value) {
    if (Value.empty()) return;
    // A LOGFONT face name holds 31 bytes.
    std::string Name(gfx::Utf8Prefix(Value, gfx::LF_FACESIZE - 1));
    if (Name == FName) return;
    Changing();
    FName = std::move(Name);
    DataChanged();
}

void TFont::SetHeight(int Value) {
    if (Value == FHeight) return;
    Changing();
    FHeight = Value;
    DataChanged();
}

int TFont::Size() const {
    return -gfx::MulDiv(FHeight, 72, FPixelsPerInch);
}

void TFont::SetSize(int Value) {
    SetHeight(-gfx::MulDiv(Value, FPixelsPerInch, 72));
}

void TFont::SetStyle(TFontStyles Value) {
    if (Value == FStyle) return;
    Changing();
    FStyle = Value;
    DataChanged();
}

void TFont::SetColor(TColor Value) {
    if (Value == FColor) return;
    Changing();
    FColor = Value;
    Changed();
}

void TFont::SetCharset(TFontCharset Value) {
    if (Value == FCharset) return;
    Changing();
    FCharset = Value;
    DataChanged();
}

void TFont::SetPitch(TFontPitch Value) {
    if (Value == FPitch) return;
    Changing();
    FPitch = Value;
    DataChanged();
}

void TFont::SetOrientation(int Value) {
    if (Value == FOrientation) return;
    Changing();
    FOrientation = Value;
    DataChanged();
}

void TFont::SetPixelsPerInch(int Value) {
    if (Value < 1) throw EInvalidGraphicOperation(SInvalidPixelsPerInch, {Value});
    FPixelsPerInch = Value;
}

gfx::LOGFONT TFont::MakeLogFont() const {
    gfx::LOGFONT LF;
    LF.lfHeight = FHeight;
    LF.lfEscapement = FOrientation;
    LF.lfOrientation = FOrientation;
    LF.lfWeight = FStyle.Contains(fsBold) ? gfx::FW_BOLD : gfx::FW_NORMAL;
    LF.lfItalic = FStyle.Contains(fsItalic) ? 1 : 0;
    LF.lfUnderline = FStyle.Contains(fsUnderline) ? 1 : 0;
    LF.lfStrikeOut = FStyle.Contains(fsStrikeOut) ? 1 : 0;
    LF.lfCharSet = FCharset;
    LF.lfQuality = gfx::DEFAULT_QUALITY;
    LF.lfOutPrecision = gfx::OUT_DEFAULT_PRECIS;
    LF.lfClipPrecision = gfx::CLIP_DEFAULT_PRECIS;
    LF.lfPitchAndFamily = FPitch == fpFixed      ? gfx::FIXED_PITCH
                          : FPitch == fpVariable ? gfx::VARIABLE_PITCH
                                                 : gfx::DEFAULT_PITCH;
    gfx::CopyUtf8ToBuffer(FName, LF.lfFaceName, sizeof LF.lfFaceName);
    return LF;
}

gfx::HFONT TFont::Handle() {
    if (!FHandle) {
        const gfx::LOGFONT LF = MakeLogFont();
        FHandle = gfx::CreateFontIndirect(&LF);
        Shares().Acquire(FHandle);
    }
    return FHandle;
}

void TFont::SetHandle(gfx::HFONT Value) {
    if (Value == FHandle) return;
    gfx::LOGFONT LF;
    if (Value && (gfx::GetObjectType(Value) != gfx::OBJ_FONT ||
                  gfx::GetObject(Value, sizeof LF, &LF) != static_cast<int>(sizeof LF)))
        throw EInvalidGraphicOperation(SInvalidGdiHandle, {"font"});
    Changing();
    Shares().Acquire(Value);
    Shares().Release(FHandle);
    FHandle = Value;
    if (Value) {
        const std::string Face(LF.lfFaceName, strnlen(LF.lfFaceName, gfx::LF_FACESIZE));
        if (!Face.empty()) FName = Face;
        FHeight = LF.lfHeight;
        FStyle = TFontStyles();
        if (LF.lfWeight >= gfx::FW_BOLD) FStyle.Include(fsBold);
        if (LF.lfItalic) FStyle.Include(fsItalic);
        if (LF.lfUnderline) FStyle.Include(fsUnderline);
        if (LF.lfStrikeOut) FStyle.Include(fsStrikeOut);
        FCharset = LF.lfCharSet;
        const int Pitch = LF.lfPitchAndFamily & 0x0F;
        FPitch = Pitch == gfx::FIXED_PITCH ? fpFixed : Pitch == gfx::VARIABLE_PITCH ? fpVariable : fpDefault;
        FOrientation = LF.lfEscapement;
    }
    Changed();
}

// ============================================================================
// TPen
// ============================================================================

int PenModeToROP2(TPenMode Mode) {
    static constexpr int Codes[] = {
        gfx::R2_BLACK,       gfx::R2_WHITE,      gfx::R2_NOP,         gfx::R2_NOT,
        gfx::R2_COPYPEN,     gfx::R2_NOTCOPYPEN, gfx::R2_MERGEPENNOT, gfx::R2_MASKPENNOT,
        gfx::R2_MERGENOTPEN, gfx::R2_MASKNOTPEN, gfx::R2_MERGEPEN,    gfx::R2_NOTMERGEPEN,
        gfx::R2_MASKPEN,     gfx::R2_NOTMASKPEN, gfx::R2_XORPEN,      gfx::R2_NOTXORPEN};
    const auto Index = static_cast<std::size_t>(Mode);
    return Index < std::size(Codes) ? Codes[Index] : gfx::R2_COPYPEN;
}

TPen::TPen() = default;

TPen::~TPen() {
    Shares().Release(FHandle);
}

void TPen::DataChanged() {
    Shares().Release(FHandle);
    FHandle = nullptr;
    Changed();
}

void TPen::Assign(TPersistent* Source) {
    auto* P = dynamic_cast<TPen*>(Source);
    if (!P) {
        inherited::Assign(Source);
        return;
    }
    if (P == this || (P->FColor == FColor && P->FWidth == FWidth && P->FStyle == FStyle && P->FMode == FMode))
        return;
    Changing();
    FColor = P->FColor;
    FWidth = P->FWidth;
    FStyle = P->FStyle;
    FMode = P->FMode;
    Shares().Acquire(P->FHandle);
    Shares().Release(FHandle);
    FHandle = P->FHandle;
    Changed();
}

void TPen::SetColor(TColor Value) {
    if (Value == FColor) return;
    Changing();
    FColor = Value;
    DataChanged();
}

void TPen::SetWidth(int Value) {
    if (Value < 0 || Value == FWidth) return;
    Changing();
    FWidth = Value;
    DataChanged();
}

void TPen::SetStyle(TPenStyle Value) {
    if (Value == FStyle) return;
    Changing();
    FStyle = Value;
    DataChanged();
}

void TPen::SetMode(TPenMode Value) {
    if (Value == FMode) return;
    Changing();
    FMode = Value;
    Changed();
}

gfx::HPEN TPen::Handle() {
    if (!FHandle) {
        // TPenStyle lists the PS_ styles in their order.
        FHandle = gfx::CreatePen(static_cast<int>(FStyle), FWidth, ColorToRGB(FColor));
        Shares().Acquire(FHandle);
    }
    return FHandle;
}

void TPen::SetHandle(gfx::HPEN Value) {
    if (Value == FHandle) return;
    gfx::LOGPEN LP;
    if (Value && (gfx::GetObjectType(Value) != gfx::OBJ_PEN ||
                  gfx::GetObject(Value, sizeof LP, &LP) != static_cast<int>(sizeof LP)))
        throw EInvalidGraphicOperation(SInvalidGdiHandle, {"pen"});
    Changing();
    Shares().Acquire(Value);
    Shares().Release(FHandle);
    FHandle = Value;
    if (Value) {
        const gfx::UINT Style = LP.lopnStyle & gfx::PS_STYLE_MASK;
        FStyle = Style <= gfx::PS_INSIDEFRAME ? static_cast<TPenStyle>(Style) : psSolid;
        FWidth = LP.lopnWidth.x;
        FColor = static_cast<TColor>(LP.lopnColor & 0xFFFFFF);
    }
    Changed();
}

// ============================================================================
// TBrush
// ============================================================================

TBrush::TBrush() = default;

TBrush::~TBrush() {
    Shares().Release(FHandle);
}

void TBrush::DataChanged() {
    Shares().Release(FHandle);
    FHandle = nullptr;
    Changed();
}

void TBrush::Assign(TPersistent* Source) {
    auto* B = dynamic_cast<TBrush*>(Source);
    if (!B) {
        inherited::Assign(Source);
        return;
    }
    if (B == this || (B->FColor == FColor && B->FStyle == FStyle && B->FBitmap == FBitmap)) return;
    Changing();
    FColor = B->FColor;
    FStyle = B->FStyle;
    FBitmap = B->FBitmap;
    Shares().Acquire(B->FHandle);
    Shares().Release(FHandle);
    FHandle = B->FHandle;
    Changed();
}

void TBrush::SetColor(TColor Value) {
    if (Value == FColor && FStyle != bsClear) return;
    Changing();
    FColor = Value;
    if (FStyle == bsClear) FStyle = bsSolid;
    DataChanged();
}

void TBrush::SetStyle(TBrushStyle Value) {
    if (Value == FStyle) return;
    Changing();
    FStyle = Value;
    if (FStyle == bsClear) FColor = clWhite;
    DataChanged();
}

void TBrush::SetBitmap(TBitmap* Value) {
    if (Value == FBitmap) return;
    Changing();
    FBitmap = Value;
    DataChanged();
}

gfx::HBRUSH TBrush::Handle() {
    if (!FHandle) {
        gfx::HBRUSH H;
        if (FBitmap && !FBitmap->Empty()) {
            // Not Handle(): that would take the DC away from the bitmap's
            // canvas, which may be the one selecting this brush.
            FBitmap->HandleNeeded();
            H = gfx::CreatePatternBrush(FBitmap->FHandle);
        } else if (FStyle == bsSolid) {
            H = gfx::CreateSolidBrush(ColorToRGB(FColor));
        } else if (FStyle == bsClear) {
            H = gfx::handle_cast<gfx::HBRUSH>(gfx::GetStockObject(gfx::NULL_BRUSH));
        } else {
            H = gfx::CreateHatchBrush(static_cast<int>(FStyle) - bsHorizontal, ColorToRGB(FColor));
        }
        Shares().Acquire(H);
        FHandle = H;
    }
    return FHandle;
}

void TBrush::SetHandle(gfx::HBRUSH Value) {
    if (Value == FHandle) return;
    gfx::LOGBRUSH LB;
    if (Value && (gfx::GetObjectType(Value) != gfx::OBJ_BRUSH ||
                  gfx::GetObject(Value, sizeof LB, &LB) != static_cast<int>(sizeof LB)))
        throw EInvalidGraphicOperation(SInvalidGdiHandle, {"brush"});
    Changing();
    Shares().Acquire(Value);
    Shares().Release(FHandle);
    FHandle = Value;
    if (Value) {
        FBitmap = nullptr;
        FColor = static_cast<TColor>(LB.lbColor & 0xFFFFFF);
        if (LB.lbStyle == gfx::BS_NULL) {
            FStyle = bsClear;
        } else if (LB.lbStyle == gfx::BS_HATCHED && LB.lbHatch <= gfx::HS_DIAGCROSS) {
            FStyle = static_cast<TBrushStyle>(bsHorizontal + static_cast<int>(LB.lbHatch));
        } else {
            FStyle = bsSolid;
        }
    }
    Changed();
}

// ============================================================================
// TCanvas
// ============================================================================

gfx::UINT TextFormatToDrawTextFlags(TTextFormat Format) {
    static constexpr gfx::UINT Flags[] = {gfx::DT_BOTTOM,
                                          gfx::DT_CALCRECT,
                                          gfx::DT_CENTER,
                                          gfx::DT_EDITCONTROL,
                                          gfx::DT_END_ELLIPSIS,
                                          gfx::DT_PATH_ELLIPSIS,
                                          gfx::DT_EXPANDTABS,
                                          gfx::DT_EXTERNALLEADING,
                                          gfx::DT_LEFT,
                                          gfx::DT_NOCLIP,
                                          gfx::DT_NOPREFIX,
                                          gfx::DT_RIGHT,
                                          gfx::DT_RTLREADING,
                                          gfx::DT_SINGLELINE,
                                          gfx::DT_TOP,
                                          gfx::DT_VCENTER,
                                          gfx::DT_WORDBREAK,
                                          gfx::DT_HIDEPREFIX,
                                          gfx::DT_NOFULLWIDTHCHARBREAK,
                                          gfx::DT_PREFIXONLY,
                                          gfx::DT_TABSTOP,
                                          gfx::DT_WORD_ELLIPSIS};
    gfx::UINT Result = 0;
    for (std::size_t I = 0; I < std::size(Flags); ++I)
        if (Format.Contains(static_cast<TTextFormats>(I))) Result |= Flags[I];
    return Result;
}

TCanvas::TCanvas() : FFont(new TFont), FPen(new TPen), FBrush(new TBrush) {
    FFont->SetOnChange(TNotifyEvent(this, &TCanvas::FontChanged));
    FPen->SetOnChange(TNotifyEvent(this, &TCanvas::PenChanged));
    FBrush->SetOnChange(TNotifyEvent(this, &TCanvas::BrushChanged));
}

TCanvas::~TCanvas() {
    SetHandle(nullptr);
    delete FFont;
    delete FPen;
    delete FBrush;
}

gfx::HDC TCanvas::Handle() {
    Changing();
    RequiredState(csAllValid);
    return FHandle;
}

void TCanvas::SetHandle(gfx::HDC Value) {
    if (Value == FHandle) return;
    if (FHandle) {
        DeselectHandles();
        gfx::GetCurrentPositionEx(FHandle, &FPenPos);
        FHandle = nullptr;
        FState.Exclude(csHandleValid);
    }
    if (Value) {
        FState.Include(csHandleValid);
        FHandle = Value;
        gfx::MoveToEx(FHandle, FPenPos.x, FPenPos.y, nullptr);
    }
}

void TCanvas::RequiredState(TCanvasState ReqState) {
    const TCanvasState Needed = ReqState - FState;
    if (Needed.Empty()) return;
    if (Needed.Contains(csHandleValid)) {
        CreateHandle();
        if (!FHandle) throw EInvalidOperation(SNoCanvasHandle);
    }
    if (Needed.Contains(csFontValid)) CreateFont();
    if (Needed.Contains(csPenValid)) CreatePen();
    if (Needed.Contains(csBrushValid)) CreateBrush();
    FState += Needed;
}

void TCanvas::DeselectHandles() {
    const TCanvasState Objects{csFontValid, csPenValid, csBrushValid};
    if (!FHandle || (FState * Objects).Empty()) return;
    gfx::SelectObject(FHandle, gfx::GetStockObject(gfx::BLACK_PEN));
    gfx::SelectObject(FHandle, gfx::GetStockObject(gfx::HOLLOW_BRUSH));
    gfx::SelectObject(FHandle, gfx::GetStockObject(gfx::SYSTEM_FONT));
    FState -= Objects;
}

void TCanvas::CreateFont() {
    gfx::SelectObject(FHandle, FFont->Handle());
    gfx::SetTextColor(FHandle, ColorToRGB(FFont->Color()));
}

void TCanvas::CreatePen() {
    gfx::SelectObject(FHandle, FPen->Handle());
    gfx::SetROP2(FHandle, PenModeToROP2(FPen->Mode()));
}

void TCanvas::CreateBrush() {
    gfx::SelectObject(FHandle, FBrush->Handle());
    // Hatches draw over a transparent background.
    if (FBrush->Style() == bsSolid) {
        gfx::SetBkColor(FHandle, ColorToRGB(FBrush->Color()));
        gfx::SetBkMode(FHandle, gfx::OPAQUE);
    } else {
        gfx::SetBkColor(FHandle, ~ColorToRGB(FBrush->Color()) & 0xFFFFFF);
        gfx::SetBkMode(FHandle, gfx::TRANSPARENT);
    }
}

void TCanvas::FontChanged(TObject*) {
    if (!FState.Contains(csFontValid)) return;
    FState.Exclude(csFontValid);
    gfx::SelectObject(FHandle, gfx::GetStockObject(gfx::SYSTEM_FONT));
}

void TCanvas::PenChanged(TObject*) {
    if (!FState.Contains(csPenValid)) return;
    FState.Exclude(csPenValid);
    gfx::SelectObject(FHandle, gfx::GetStockObject(gfx::BLACK_PEN));
}

void TCanvas::BrushChanged(TObject*) {
    if (!FState.Contains(csBrushValid)) return;
    FState.Exclude(csBrushValid);
    gfx::SelectObject(FHandle, gfx::GetStockObject(gfx::HOLLOW_BRUSH));
}

void TCanvas::Changed() {
    FOnChange(this);
}

void TCanvas::Changing() {
    FOnChanging(this);
}

TPoint TCanvas::PenPos() {
    RequiredState({csHandleValid});
    TPoint P;
    gfx::GetCurrentPositionEx(FHandle, &P);
    return P;
}

TRect TCanvas::ClipRect() {
    RequiredState({csHandleValid});
    TRect R;
    gfx::GetClipBox(FHandle, &R);
    return R;
}

void TCanvas::FillRect(const TRect& Rect) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    gfx::FillRect(FHandle, &Rect, FBrush->Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    gfx::FrameRect(FHandle, &Rect, FBrush->Handle());
    Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState({csHandleValid, csBrushValid, csPenValid});
    gfx::Rectangle(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
    Changing();
    RequiredState({csHandleValid, csBrushValid, csPenValid});
    gfx::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
    Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
    Changing();
    RequiredState({csHandleValid, csBrushValid, csPenValid});
    gfx::Ellipse(FHandle, X1, Y1, X2, Y2);
    Changed();
}

void TCanvas::Polygon(std::span<const TPoint> Points) {
    Changing();
    RequiredState({csHandleValid, csBrushValid, csPenValid});
    gfx::Polygon(FHandle, Points.data(), static_cast<int>(Points.size()));
    Changed();
}

void TCanvas::Polyline(std::span<const TPoint> Points) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    gfx::Polyline(FHandle, Points.data(), static_cast<int>(Points.size()));
    Changed();
}

void TCanvas::MoveTo(int X, int Y) {
    RequiredState({csHandleValid});
    gfx::MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
    Changing();
    RequiredState({csHandleValid, csPenValid, csBrushValid});
    gfx::LineTo(FHandle, X, Y);
    Changed();
}

TColor TCanvas::Pixels(int X, int Y) {
    RequiredState({csHandleValid});
    return static_cast<TColor>(gfx::GetPixel(FHandle, X, Y));
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
    Changing();
    RequiredState({csHandleValid, csPenValid});
    gfx::SetPixel(FHandle, X, Y, ColorToRGB(Value));
    Changed();
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    gfx::ExtTextOut(FHandle, X, Y, 0, nullptr, Text.data(), static_cast<gfx::UINT>(Text.size()), nullptr);
    MoveTo(X + TextWidth(Text), Y);
    Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const std::string& Text) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    gfx::UINT Options = gfx::ETO_CLIPPED;
    if (FBrush->Style() != bsClear) Options |= gfx::ETO_OPAQUE;
    gfx::ExtTextOut(FHandle, X, Y, Options, &Rect, Text.data(), static_cast<gfx::UINT>(Text.size()), nullptr);
    Changed();
}

void TCanvas::TextRect(TRect& Rect, const std::string& Text, TTextFormat TextFormat) {
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    gfx::DrawText(FHandle, Text, &Rect, TextFormatToDrawTextFlags(TextFormat));
    Changed();
}

TSize TCanvas::TextExtent(const std::string& Text) {
    RequiredState({csHandleValid, csFontValid});
    TSize Result{};
    gfx::GetTextExtentPoint32(FHandle, Text.data(), static_cast<int>(Text.size()), &Result);
    return Result;
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    Changing();
    RequiredState({csHandleValid});
    gfx::SetBkColor(FHandle, ColorToRGB(FBrush->Color()));
    gfx::SetTextColor(FHandle, ColorToRGB(FFont->Color()));
    Graphic->Draw(this, TRect{X, Y, X + Graphic->Width(), Y + Graphic->Height()});
    Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    Changing();
    RequiredState({csHandleValid});
    Graphic->Draw(this, Rect);
    Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
    if (!Canvas) return;
    Changing();
    RequiredState({csHandleValid, csFontValid, csBrushValid});
    Canvas->RequiredState({csHandleValid, csBrushValid});
    gfx::StretchBlt(FHandle, Dest.left, Dest.top, Dest.Width(), Dest.Height(), Canvas->FHandle, Source.left,
                    Source.top, Source.Width(), Source.Height(), FCopyMode);
    Changed();
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
    if (!Bitmap || Bitmap->Empty()) return;
    const int W = Dest.Width(), H = Dest.Height();
    if (W <= 0 || H <= 0) return;
    Changing();
    RequiredState({csHandleValid, csBrushValid});
    // The source part as colour pixels at the destination's size, then a mask
    // of the pixels of Color; the brush goes where the mask is white.
    gfx::HBITMAP Image = CreateFilledBitmap(W, H, false, 0xFFFFFF);
    gfx::HBITMAP Mask = CreateFilledBitmap(W, H, true, 0);
    if (!Image || !Mask) {
        gfx::DeleteObject(Image);
        gfx::DeleteObject(Mask);
        throw EOutOfResources(SOutOfResources);
    }
    {
        const gfx::MemoryDC ImageDC(Image), MaskDC(Mask);
        gfx::HDC Src = Bitmap->Canvas()->Handle();
        gfx::StretchBlt(ImageDC.Handle(), 0, 0, W, H, Src, Source.left, Source.top, Source.Width(),
                        Source.Height(), gfx::SRCCOPY);
        gfx::SetBkColor(ImageDC.Handle(), ColorToRGB(Color));
        gfx::BitBlt(MaskDC.Handle(), 0, 0, W, H, ImageDC.Handle(), 0, 0, gfx::SRCCOPY);
        TDCColors Keep(FHandle);
        gfx::BitBlt(FHandle, Dest.left, Dest.top, W, H, ImageDC.Handle(), 0, 0, gfx::SRCCOPY);
        gfx::SetTextColor(FHandle, 0);
        gfx::SetBkColor(FHandle, 0xFFFFFF);
        gfx::BitBlt(FHandle, Dest.left, Dest.top, W, H, MaskDC.Handle(), 0, 0, gfx::ROP_DSPDxax);
    }
    gfx::DeleteObject(Image);
    gfx::DeleteObject(Mask);
    Changed();
}

void TCanvas::Lock() {
    FLock.lock();
    FLockOwner = std::this_thread::get_id();
    ++FLockCount;
}

bool TCanvas::TryLock() {
    if (!FLock.try_lock()) return false;
    FLockOwner = std::this_thread::get_id();
    ++FLockCount;
    return true;
}

void TCanvas::Unlock() {
    // Only the owner may unlock; anything else would corrupt the mutex.
    if (FLockOwner != std::this_thread::get_id()) return;
    if (--FLockCount == 0) FLockOwner = std::thread::id();
    FLock.unlock();
}

void TCanvas::Refresh() {
    DeselectHandles();
}

// ============================================================================
// TGraphic
// ============================================================================

void TGraphic::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    Changed(this);
}

void TGraphic::SetModified(bool Value) {
    if (Value)
        Changed(this);
    else
        FModified = false;
}

void TGraphic::Changed(TObject*) {
    FModified = true;
    FOnChange(this);
}

void TGraphic::LoadFromFile(const std::string& FileName) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&Stream);
}

void TGraphic::SaveToFile(const std::string& FileName) {
    // Written aside and renamed, so that a failure never leaves half a file.
    TMemoryStream Data;
    SaveToStream(&Data);
    std::string Error;
    const std::string_view Bytes(reinterpret_cast<const char*>(Data.Memory()),
                                 static_cast<std::size_t>(Data.Size()));
    if (!detail::WriteFileAtomically(FileName, Bytes, 0644, false, Error)) {
        std::error_code Ignored;
        const std::filesystem::path Full = std::filesystem::absolute(FileName, Ignored);
        throw EFCreateError(SFCreateErrorEx, {Full.empty() ? FileName : Full.string(), Error});
    }
}

// ============================================================================
// TBitmap
// ============================================================================

// The canvas of a bitmap: a memory DC made when drawing needs one, holding
// the bitmap until the bitmap changes its handle.
class TBitmapCanvas : public TCanvas {
    TRESTLE_CLASS(TBitmapCanvas, TCanvas)
public:
    explicit TBitmapCanvas(TBitmap* ABitmap) : FBitmap(ABitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }

    void FreeContext() {
        if (!FMemory) return;
        SetHandle(nullptr);
        FMemory.reset();
    }
    // The DC as a blit source: selected bitmap, no objects needed.
    gfx::HDC SourceDC() {
        RequiredState({csHandleValid});
        return FMemory ? FMemory->Handle() : nullptr;
    }

protected:
    void CreateHandle() override {
        FreeContext();
        FBitmap->HandleNeeded();
        FMemory.emplace(FBitmap->FHandle);
        if (!FMemory->Handle()) {
            FMemory.reset();
            return;
        }
        SetHandle(FMemory->Handle());
    }

private:
    TBitmap* FBitmap;
    // Without a bitmap handle the DC keeps its own.
    std::optional<gfx::MemoryDC> FMemory;
};

TBitmapResourceLoader SetBitmapResourceLoader(TBitmapResourceLoader Loader) {
    std::lock_guard Lock(ResourceLoaderMutex());
    std::swap(ResourceLoader(), Loader);
    return Loader;
}

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int AWidth, int AHeight) {
    SetSize(AWidth, AHeight);
}

TBitmap::~TBitmap() {
    delete FCanvas;
    if (FHandle) gfx::DeleteObject(FHandle);
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas) {
        auto* C = new TBitmapCanvas(this);
        C->SetOnChange(TNotifyEvent(this, &TBitmap::Changed));
        FCanvas = C;
    }
    return FCanvas;
}

void TBitmap::FreeContext() {
    if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas)->FreeContext();
}

gfx::COLORREF TBitmap::FillColor() {
    if (!FCanvas || FCanvas->Brush()->Style() == bsClear) return 0xFFFFFF;
    return ColorToRGB(FCanvas->Brush()->Color()) & 0xFFFFFF;
}

gfx::HBITMAP TBitmap::CopyImage(int AWidth, int AHeight, bool AMono) {
    gfx::HBITMAP Result = CreateFilledBitmap(AWidth, AHeight, AMono, FillColor());
    if (!Result) throw EOutOfResources(SOutOfResources);
    if (FHandle) {
        // Between depths the blit converts: white stays white, other colours go black.
        FreeContext();
        const gfx::MemoryDC Src(FHandle), Dst(Result);
        gfx::BitBlt(Dst.Handle(), 0, 0, std::min(AWidth, FWidth), std::min(AHeight, FHeight), Src.Handle(), 0,
                    0, gfx::SRCCOPY);
    }
    return Result;
}

void TBitmap::NewImage(gfx::HBITMAP AHandle, int AWidth, int AHeight, TPixelFormat AFormat) {
    FreeContext();
    if (FHandle && FHandle != AHandle) gfx::DeleteObject(FHandle);
    FHandle = AHandle;
    FWidth = AWidth;
    FHeight = AHeight;
    FPixelFormat = AFormat;
    FHandleType = AFormat == pfDevice ? bmDDB : bmDIB;
}

void TBitmap::HandleNeeded() {
    if (FHandle || FWidth <= 0 || FHeight <= 0) return;
    FHandle = CreateFilledBitmap(FWidth, FHeight, Monochrome(), 0xFFFFFF);
    if (!FHandle) throw EOutOfResources(SOutOfResources);
}

gfx::HBITMAP TBitmap::Handle() {
    // The caller may select the bitmap into a DC of its own.
    FreeContext();
    HandleNeeded();
    return FHandle;
}

void TBitmap::SetSize(int AWidth, int AHeight) {
    if (AWidth < 0 || AHeight < 0) throw EInvalidGraphicOperation(SInvalidImageSize);
    if (AWidth == FWidth && AHeight == FHeight) return;
    gfx::HBITMAP New = AWidth > 0 && AHeight > 0 ? CopyImage(AWidth, AHeight, Monochrome()) : nullptr;
    const TBitmapHandleType Type = FHandleType;
    NewImage(New, AWidth, AHeight, FPixelFormat);
    FHandleType = Type;
    Changed(this);
}

void TBitmap::SetHandle(gfx::HBITMAP Value) {
    if (Value == FHandle) return;
    gfx::BITMAP BM;
    if (Value && (gfx::GetObjectType(Value) != gfx::OBJ_BITMAP ||
                  gfx::GetObject(Value, sizeof BM, &BM) != static_cast<int>(sizeof BM)))
        throw EInvalidGraphicOperation(SInvalidGdiHandle, {"bitmap"});
    if (!Value) {
        NewImage(nullptr, 0, 0, FPixelFormat);
    } else {
        NewImage(Value, BM.bmWidth, BM.bmHeight,
                 BM.bmBitsPixel == 1 ? pf1bit
                 : BM.bmBits         ? pf32bit
                                     : pfDevice);
    }
    Changed(this);
}

gfx::HBITMAP TBitmap::ReleaseHandle() {
    FreeContext();
    HandleNeeded();
    gfx::HBITMAP Result = FHandle;
    FHandle = nullptr;
    return Result;
}

void TBitmap::SetHandleType(TBitmapHandleType Value) {
    if (Value == FHandleType) return;
    FHandleType = Value;
    if (Value == bmDDB && FPixelFormat != pf1bit) FPixelFormat = pfDevice;
    if (Value == bmDIB && FPixelFormat == pfDevice) FPixelFormat = pf32bit;
    Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    if (Value == FPixelFormat) return;
    const bool Mono = Value == pf1bit;
    gfx::HBITMAP New = FHandle;
    if (Mono != Monochrome() && FHandle) New = CopyImage(FWidth, FHeight, Mono);
    NewImage(New, FWidth, FHeight, Value);
    Changed(this);
}

TColor TBitmap::TransparentColor() {
    if (FTransparentColor != clDefault) return static_cast<TColor>(ColorToRGB(FTransparentColor));
    if (Monochrome()) return clWhite;
    if (Empty()) return clDefault;
    HandleNeeded();
    gfx::BitmapSurface S;
    if (!gfx::GetBitmapSurface(FHandle, &S)) return clDefault;
    return static_cast<TColor>(gfx::ColorFromPixel(S.Row(FHeight - 1)[0]));
}

void TBitmap::SetTransparentColor(TColor Value) {
    if (Value == FTransparentColor) return;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    FTransparentColor = Value;
    Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
    if (Value == FTransparentMode) return;
    SetTransparentColor(Value == tmAuto ? clDefault : TransparentColor());
}

std::uint32_t* TBitmap::ScanLine(int Row) {
    if (Row < 0 || Row >= FHeight) throw EInvalidGraphicOperation(SScanLine);
    if (Monochrome()) throw EInvalidGraphicOperation(SMonoScanLine);
    HandleNeeded();
    gfx::BitmapSurface S;
    if (!gfx::GetBitmapSurface(FHandle, &S)) throw EInvalidGraphicOperation(SScanLine);
    return S.Row(Row);
}

void TBitmap::Assign(TPersistent* Source) {
    if (!Source) {
        if (FHandle || !Empty()) {
            NewImage(nullptr, 0, 0, FPixelFormat);
            Changed(this);
        }
        return;
    }
    auto* B = dynamic_cast<TBitmap*>(Source);
    if (!B) {
        inherited::Assign(Source);
        return;
    }
    if (B == this) return;
    gfx::HBITMAP New = nullptr;
    if (!B->Empty()) {
        B->HandleNeeded();
        gfx::BitmapSurface From, To;
        New = gfx::CreateBitmap(B->FWidth, B->FHeight, 1, B->Monochrome() ? 1 : 32, nullptr);
        if (!New || !gfx::GetBitmapSurface(B->FHandle, &From) || !gfx::GetBitmapSurface(New, &To)) {
            if (New) gfx::DeleteObject(New);
            throw EOutOfResources(SOutOfResources);
        }
        for (int Y = 0; Y < B->FHeight; ++Y) std::copy_n(From.Row(Y), B->FWidth, To.Row(Y));
    }
    NewImage(New, B->FWidth, B->FHeight, B->FPixelFormat);
    FHandleType = B->FHandleType;
    FTransparentColor = B->FTransparentColor;
    FTransparentMode = B->FTransparentMode;
    FTransparent = B->FTransparent;
    Changed(this);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (Empty()) return;
    HandleNeeded();
    gfx::HDC Dst = ACanvas->Handle();
    gfx::HDC Src = static_cast<TBitmapCanvas*>(Canvas())->SourceDC();
    const int W = Rect.Width(), H = Rect.Height();
    if (!Transparent()) {
        gfx::StretchBlt(Dst, Rect.left, Rect.top, W, H, Src, 0, 0, FWidth, FHeight, ACanvas->CopyMode());
        return;
    }
    const gfx::COLORREF Key = ColorToRGB(TransparentColor()) & 0xFFFFFF;
    if (!Monochrome()) {
        gfx::TransparentBlt(Dst, Rect.left, Rect.top, W, H, Src, 0, 0, FWidth, FHeight, Key);
        return;
    }
    // Monochrome: the pixels that are not the key take the DC's text colour
    // (black ones) or background colour (white ones); clear the opaque pixels
    // through a black-and-white copy, then paint them.
    TDCColors Keep(Dst);
    const bool KeyWhite = gfx::MonoPixelFromColor(Key) != 0;
    gfx::SetTextColor(Dst, KeyWhite ? 0 : 0xFFFFFF);
    gfx::SetBkColor(Dst, KeyWhite ? 0xFFFFFF : 0);
    gfx::StretchBlt(Dst, Rect.left, Rect.top, W, H, Src, 0, 0, FWidth, FHeight, gfx::SRCAND);
    gfx::SetTextColor(Dst, KeyWhite ? Keep.Text() : 0);
    gfx::SetBkColor(Dst, KeyWhite ? 0 : Keep.Back());
    gfx::StretchBlt(Dst, Rect.left, Rect.top, W, H, Src, 0, 0, FWidth, FHeight, gfx::SRCPAINT);
}

void TBitmap::LoadFromResourceName(void* Instance, const std::string& ResName) {
    TBitmapResourceLoader Loader;
    {
        std::lock_guard Lock(ResourceLoaderMutex());
        Loader = ResourceLoader();
    }
    gfx::HBITMAP Loaded = Loader ? Loader(Instance, ResName) : nullptr;
    if (!Loaded) throw EResNotFound(SResNotFound, {ResName});
    SetHandle(Loaded);
}

// --- BMP files ---

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBitFields = 3;
constexpr long long kMaxBmpPixels = 1LL << 28;
constexpr std::int32_t kPixelsPerMeter = 3780; // 96 pixels per inch

[[noreturn]] void BadBitmap(const std::string& Reason) {
    throw EInvalidGraphic(SInvalidBitmapReason, {Reason});
}

std::uint32_t U32(const std::uint8_t* P) {
    return P[0] | (P[1] << 8) | (P[2] << 16) | (static_cast<std::uint32_t>(P[3]) << 24);
}
std::uint16_t U16(const std::uint8_t* P) {
    return static_cast<std::uint16_t>(P[0] | (P[1] << 8));
}
void Put32(std::vector<std::uint8_t>& Out, std::uint32_t V) {
    for (int I = 0; I < 4; ++I) Out.push_back(static_cast<std::uint8_t>(V >> (8 * I)));
}
void Put16(std::vector<std::uint8_t>& Out, std::uint16_t V) {
    Out.push_back(static_cast<std::uint8_t>(V));
    Out.push_back(static_cast<std::uint8_t>(V >> 8));
}

// One channel of a bit-field pixel scaled to 8 bits.
struct TChannel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;
    static TChannel From(std::uint32_t Mask) {
        TChannel C;
        C.Mask = Mask;
        if (!Mask) return C;
        while (!((Mask >> C.Shift) & 1)) ++C.Shift;
        while (C.Shift + C.Bits < 32 && ((Mask >> (C.Shift + C.Bits)) & 1)) ++C.Bits;
        return C;
    }
    bool Contiguous() const { return Bits == 32 || (Mask >> Shift) == ((1u << Bits) - 1); }
    std::uint32_t Get(std::uint32_t Pixel) const {
        if (!Mask) return 0;
        const std::uint32_t V = (Pixel & Mask) >> Shift;
        if (Bits >= 8) return V >> (Bits - 8);
        return V * 255 / ((1u << Bits) - 1);
    }
};

// Reads exactly Count bytes; a short stream is a damaged image.
void ReadExact(TStream* Stream, void* Buffer, std::int64_t Count) {
    if (Count > 0 && Stream->Read(Buffer, Count) != Count) BadBitmap("the data ends early");
}

} // namespace

void TBitmap::LoadFromStream(TStream* Stream) {
    const std::int64_t Start = Stream->Position();
    const std::int64_t Available = Stream->Size() - Start;
    if (Available <= 0) {
        NewImage(nullptr, 0, 0, FPixelFormat);
        Changed(this);
        return;
    }
    std::uint8_t File[kFileHeaderSize + 4];
    if (Available < static_cast<std::int64_t>(sizeof File)) BadBitmap("the file header is incomplete");
    ReadExact(Stream, File, sizeof File);
    if (File[0] != 'B' || File[1] != 'M') BadBitmap("no BM signature");
    const std::uint32_t OffBits = U32(File + 10);
    const std::uint32_t InfoSize = U32(File + 14);
    if (InfoSize < kInfoHeaderSize || InfoSize > 124)
        BadBitmap("unsupported header size " + std::to_string(InfoSize));
    if (Available < kFileHeaderSize + InfoSize) BadBitmap("the image header is incomplete");
    std::uint8_t Info[124];
    std::memcpy(Info, File + kFileHeaderSize, 4);
    ReadExact(Stream, Info + 4, InfoSize - 4);

    const std::int32_t Width = static_cast<std::int32_t>(U32(Info + 4));
    const std::int32_t RawHeight = static_cast<std::int32_t>(U32(Info + 8));
    const int Planes = U16(Info + 12);
    const int BitCount = U16(Info + 14);
    const std::uint32_t Compression = U32(Info + 16);
    const std::uint32_t ColorsUsed = U32(Info + 32);
    if (Planes != 1) BadBitmap("the plane count is " + std::to_string(Planes));
    if (Width <= 0 || RawHeight == 0 || RawHeight == INT32_MIN)
        BadBitmap("the size " + std::to_string(Width) + " x " + std::to_string(RawHeight) + " is invalid");
    const bool TopDown = RawHeight < 0;
    const int Height = TopDown ? -RawHeight : RawHeight;
    if (static_cast<long long>(Width) * Height > kMaxBmpPixels)
        BadBitmap("the size " + std::to_string(Width) + " x " + std::to_string(Height) + " is too large");
    if (BitCount != 1 && BitCount != 4 && BitCount != 8 && BitCount != 24 && BitCount != 32)
        BadBitmap(std::to_string(BitCount) + " bits per pixel are not supported");
    if (Compression != gfx::BI_RGB && !(Compression == kBitFields && BitCount == 32))
        BadBitmap("compression " + std::to_string(Compression) + " is not supported");

    std::int64_t HeaderEnd = kFileHeaderSize + InfoSize;
    TChannel Red, Green, Blue, Alpha;
    if (Compression == kBitFields) {
        std::uint8_t Masks[16] = {};
        if (InfoSize >= 52) {
            std::memcpy(Masks, Info + 40, InfoSize >= 56 ? 16 : 12);
        } else {
            if (Available < HeaderEnd + 12) BadBitmap("the colour masks are missing");
            ReadExact(Stream, Masks, 12);
            HeaderEnd += 12;
        }
        Red = TChannel::From(U32(Masks));
        Green = TChannel::From(U32(Masks + 4));
        Blue = TChannel::From(U32(Masks + 8));
        Alpha = TChannel::From(U32(Masks + 12));
        for (const TChannel* C : {&Red, &Green, &Blue, &Alpha})
            if (!C->Contiguous()) BadBitmap("a colour mask is not contiguous");
        if (!Red.Mask || !Green.Mask || !Blue.Mask) BadBitmap("a colour mask is empty");
    }

    std::vector<std::uint32_t> Palette;
    if (BitCount <= 8) {
        const std::uint32_t MaxColors = 1u << BitCount;
        const std::uint32_t Count = ColorsUsed ? ColorsUsed : MaxColors;
        if (Count > MaxColors) BadBitmap("the colour table has " + std::to_string(Count) + " entries");
        if (Available < HeaderEnd + 4LL * Count) BadBitmap("the colour table is incomplete");
        std::vector<std::uint8_t> Table(4 * Count);
        ReadExact(Stream, Table.data(), static_cast<std::int64_t>(Table.size()));
        HeaderEnd += 4LL * Count;
        Palette.resize(MaxColors, 0);
        for (std::uint32_t I = 0; I < Count; ++I) Palette[I] = U32(&Table[4 * I]) & 0xFFFFFF;
    }

    const std::int64_t Offset = OffBits ? OffBits : HeaderEnd;
    if (Offset < HeaderEnd) BadBitmap("the pixel data overlaps the header");
    const std::int64_t RowBytes = (static_cast<std::int64_t>(Width) * BitCount + 31) / 32 * 4;
    const std::int64_t DataSize = RowBytes * Height;
    if (Offset > Available || DataSize > Available - Offset) BadBitmap("the pixel data is incomplete");
    Stream->SetPosition(Start + Offset);
    std::vector<std::uint8_t> Data(static_cast<std::size_t>(DataSize));
    ReadExact(Stream, Data.data(), DataSize);

    // Two-colour images of black and white stay monochrome.
    const bool Mono = BitCount == 1 && ((Palette[0] == 0 && Palette[1] == 0xFFFFFF) ||
                                        (Palette[0] == 0xFFFFFF && Palette[1] == 0));
    gfx::HBITMAP New = gfx::CreateBitmap(Width, Height, 1, Mono ? 1 : 32, nullptr);
    gfx::BitmapSurface S;
    if (!New || !gfx::GetBitmapSurface(New, &S)) {
        if (New) gfx::DeleteObject(New);
        throw EOutOfResources(SOutOfResources);
    }
    for (int Y = 0; Y < Height; ++Y) {
        const std::uint8_t* Row = Data.data() + RowBytes * (TopDown ? Y : Height - 1 - Y);
        std::uint32_t* Out = S.Row(Y);
        for (int X = 0; X < Width; ++X) {
            std::uint32_t P;
            switch (BitCount) {
                case 1:
                    P = Palette[(Row[X >> 3] >> (7 - (X & 7))) & 1];
                    break;
                case 4:
                    P = Palette[(Row[X >> 1] >> ((X & 1) ? 0 : 4)) & 0xF];
                    break;
                case 8:
                    P = Palette[Row[X]];
                    break;
                case 24:
                    P = Row[3 * X] | (Row[3 * X + 1] << 8) |
                        (static_cast<std::uint32_t>(Row[3 * X + 2]) << 16);
                    break;
                default: {
                    const std::uint32_t Raw = U32(Row + 4 * X);
                    P = Compression == kBitFields ? (Alpha.Get(Raw) << 24) | (Red.Get(Raw) << 16) |
                                                        (Green.Get(Raw) << 8) | Blue.Get(Raw)
                                                  : Raw;
                }
            }
            // Palette entries are RGBQUADs: 0x00RRGGBB as a little-endian word, like the surface.
            Out[X] = Mono ? (P ? 0xFFFFFFu : 0u) : P;
        }
    }
    NewImage(New, Width, Height,
             Mono             ? pf1bit
             : BitCount == 32 ? pf32bit
             : BitCount == 24 ? pf24bit
                              : pfDevice);
    FHandleType = bmDIB;
    Changed(this);
}

void TBitmap::DefineProperties(TFiler* Filer) {
    inherited::DefineProperties(Filer);
    Filer->DefineBinaryProperty("Data", TStreamProc(this, &TBitmap::LoadFromStream),
                                TStreamProc(this, &TBitmap::SaveToStream), !Empty());
}

void TBitmap::SaveToStream(TStream* Stream) {
    if (Empty()) return;
    HandleNeeded();
    gfx::BitmapSurface S;
    if (!gfx::GetBitmapSurface(FHandle, &S)) throw EInvalidGraphic(SInvalidBitmap);
    const bool Mono = Monochrome();
    const std::uint32_t BitCount = Mono ? 1 : 32;
    const std::uint32_t PaletteSize = Mono ? 8 : 0;
    const std::uint32_t RowBytes = (static_cast<std::uint32_t>(FWidth) * BitCount + 31) / 32 * 4;
    const std::uint32_t ImageSize = RowBytes * static_cast<std::uint32_t>(FHeight);
    const std::uint32_t Offset = kFileHeaderSize + kInfoHeaderSize + PaletteSize;

    std::vector<std::uint8_t> Out;
    Out.reserve(Offset + ImageSize);
    Out.push_back('B');
    Out.push_back('M');
    Put32(Out, Offset + ImageSize);
    Put32(Out, 0);
    Put32(Out, Offset);
    Put32(Out, kInfoHeaderSize);
    Put32(Out, static_cast<std::uint32_t>(FWidth));
    Put32(Out, static_cast<std::uint32_t>(FHeight));
    Put16(Out, 1);
    Put16(Out, static_cast<std::uint16_t>(BitCount));
    Put32(Out, gfx::BI_RGB);
    Put32(Out, ImageSize);
    Put32(Out, kPixelsPerMeter);
    Put32(Out, kPixelsPerMeter);
    Put32(Out, Mono ? 2 : 0);
    Put32(Out, 0);
    if (Mono) {
        Put32(Out, 0);
        Put32(Out, 0xFFFFFF);
    }
    for (int Y = FHeight - 1; Y >= 0; --Y) {
        const std::uint32_t* Row = S.Row(Y);
        const std::size_t RowStart = Out.size();
        Out.resize(RowStart + RowBytes, 0);
        std::uint8_t* Dst = Out.data() + RowStart;
        for (int X = 0; X < FWidth; ++X) {
            if (Mono) {
                if (Row[X] & 0xFFFFFF) Dst[X >> 3] |= static_cast<std::uint8_t>(0x80 >> (X & 7));
            } else {
                for (int B = 0; B < 4; ++B) Dst[4 * X + B] = static_cast<std::uint8_t>(Row[X] >> (8 * B));
            }
        }
    }
    Stream->WriteBuffer(Out.data(), static_cast<std::int64_t>(Out.size()));
}

// ============================================================================
// TIcon
// ============================================================================

TIcon::~TIcon() {
    if (FHandle) gfx::DestroyIcon(FHandle);
}

void TIcon::Assign(TPersistent* Source) {
    if (!Source) {
        SetHandle(nullptr);
        return;
    }
    auto* I = dynamic_cast<TIcon*>(Source);
    if (!I) {
        inherited::Assign(Source);
        return;
    }
    if (I == this) return;
    gfx::HICON Copy = I->FHandle ? gfx::CopyIcon(I->FHandle) : nullptr;
    if (I->FHandle && !Copy) throw EOutOfResources(SOutOfResources);
    SetHandle(Copy);
}

void TIcon::SetWidth(int) {
    throw EInvalidGraphicOperation(SChangeIconSize);
}

void TIcon::SetHeight(int) {
    throw EInvalidGraphicOperation(SChangeIconSize);
}

void TIcon::SetHandle(gfx::HICON Value) {
    if (Value == FHandle) return;
    int W = 0, H = 0;
    if (Value) {
        gfx::ICONINFO Info;
        if (!gfx::GetIconInfo(Value, &Info)) throw EInvalidGraphicOperation(SInvalidGdiHandle, {"icon"});
        gfx::BITMAP BM;
        const bool HasColor = Info.hbmColor != nullptr;
        gfx::GetObject(HasColor ? Info.hbmColor : Info.hbmMask, sizeof BM, &BM);
        W = BM.bmWidth;
        H = HasColor ? BM.bmHeight : BM.bmHeight / 2;
        gfx::DeleteObject(Info.hbmMask);
        if (HasColor) gfx::DeleteObject(Info.hbmColor);
    }
    if (FHandle) gfx::DestroyIcon(FHandle);
    FHandle = Value;
    FWidth = W;
    FHeight = H;
    Changed(this);
}

gfx::HICON TIcon::ReleaseHandle() {
    gfx::HICON Result = FHandle;
    FHandle = nullptr;
    FWidth = FHeight = 0;
    Changed(this);
    return Result;
}

void TIcon::LoadFromStream(TStream*) {
    throw EInvalidGraphicOperation(SIconStreams);
}

void TIcon::SaveToStream(TStream*) {
    throw EInvalidGraphicOperation(SIconStreams);
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (!FHandle) return;
    gfx::DrawIconEx(ACanvas->Handle(), Rect.left, Rect.top, FHandle, Rect.Width(), Rect.Height(), 0, nullptr,
                    gfx::DI_NORMAL);
}

} // namespace cls
