// The class library's graphics objects: fonts, pens and brushes that own
// drawing-layer handles, the canvas that draws with them on a device context,
// and the graphics (bitmaps, icons) a canvas can draw.
//
// Handles are created on first use and dropped when a property changes; a
// canvas selects the handles of its font, pen and brush into its DC only when
// a drawing call needs them and puts the stock objects back when they change
// or the DC goes. A font, pen or brush handle may be shared (Assign, or
// setting one object's Handle to another's): it is deleted when its last user
// lets it go.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <span>
#include <string>
#include <thread>

#include "classes/events.h"
#include "classes/exceptions.h"
#include "classes/persistent.h"
#include "classes/sets.h"
#include "gfx/colors.h"
#include "gfx/gdi.h"

namespace cls {

class TStream;
class TCanvas;
class TBitmap;

// --- Values shared with the drawing layer ---

using gfx::ColorToRGB;
using gfx::TColor;

using gfx::cl3DDkShadow;
using gfx::cl3DLight;
using gfx::clActiveBorder;
using gfx::clActiveCaption;
using gfx::clAppWorkSpace;
using gfx::clAqua;
using gfx::clBackground;
using gfx::clBlack;
using gfx::clBlue;
using gfx::clBtnFace;
using gfx::clBtnHighlight;
using gfx::clBtnShadow;
using gfx::clBtnText;
using gfx::clCaptionText;
using gfx::clCream;
using gfx::clDefault;
using gfx::clDkGray;
using gfx::clFuchsia;
using gfx::clGradientActiveCaption;
using gfx::clGradientInactiveCaption;
using gfx::clGray;
using gfx::clGrayText;
using gfx::clGreen;
using gfx::clHighlight;
using gfx::clHighlightText;
using gfx::clHotLight;
using gfx::clInactiveBorder;
using gfx::clInactiveCaption;
using gfx::clInactiveCaptionText;
using gfx::clInfoBk;
using gfx::clInfoText;
using gfx::clLime;
using gfx::clLtGray;
using gfx::clMaroon;
using gfx::clMedGray;
using gfx::clMenu;
using gfx::clMenuBar;
using gfx::clMenuHighlight;
using gfx::clMenuText;
using gfx::clMoneyGreen;
using gfx::clNavy;
using gfx::clNone;
using gfx::clOlive;
using gfx::clPurple;
using gfx::clRed;
using gfx::clScrollBar;
using gfx::clSilver;
using gfx::clSkyBlue;
using gfx::clSystemColor;
using gfx::clTeal;
using gfx::clWhite;
using gfx::clWindow;
using gfx::clWindowFrame;
using gfx::clWindowText;
using gfx::clYellow;

using TRect = gfx::RECT;
using TPoint = gfx::POINT;
using TSize = gfx::SIZE;
using gfx::Point;
using gfx::Rect;

// --- Errors ---

TRESTLE_EXCEPTION(EInvalidGraphic, Exception);
TRESTLE_EXCEPTION(EInvalidGraphicOperation, Exception);
TRESTLE_EXCEPTION(EOutOfResources, Exception);
TRESTLE_EXCEPTION(EResNotFound, Exception);

inline constexpr TResStringRec SInvalidBitmap{1200, "Bitmap image is not valid"};
inline constexpr TResStringRec SInvalidBitmapReason{1201, "Bitmap image is not valid: %s"};
inline constexpr TResStringRec SNoCanvasHandle{1202, "Canvas does not allow drawing"};
inline constexpr TResStringRec SInvalidImageSize{1203, "Invalid image size"};
inline constexpr TResStringRec SOutOfResources{1204, "Out of system resources"};
inline constexpr TResStringRec SResNotFound{1205, "Resource %s not found"};
inline constexpr TResStringRec SScanLine{1206, "Scan line index out of range"};
inline constexpr TResStringRec SMonoScanLine{1207, "Scan lines of a monochrome bitmap are not available"};
inline constexpr TResStringRec SChangeIconSize{1208, "Cannot change the size of an icon"};
inline constexpr TResStringRec SIconStreams{1209, "Icons cannot be read from or written to streams"};
inline constexpr TResStringRec SInvalidGdiHandle{1210, "Invalid %s handle"};
inline constexpr TResStringRec SInvalidPixelsPerInch{1211, "Invalid pixels per inch (%d)"};

// ============================================================================
// Graphics objects
// ============================================================================

// The base of TFont, TPen and TBrush: a change fires OnChanging before and
// OnChange after.
class TGraphicsObject : public TPersistent {
    TRESTLE_CLASS(TGraphicsObject, TPersistent)
public:
    TGraphicsObject() = default;

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }
    TNotifyEvent OnChanging() const { return FOnChanging; }
    void SetOnChanging(TNotifyEvent Value) { FOnChanging = Value; }

protected:
    virtual void Changed();
    virtual void Changing();

private:
    TNotifyEvent FOnChange;
    TNotifyEvent FOnChanging;
};

// --- TFont ---

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = gfx::BYTE;

class TFont : public TGraphicsObject {
    TRESTLE_CLASS(TFont, TGraphicsObject)
public:
    // "MS Sans Serif", Height -11 (8 points), clWindowText, DEFAULT_CHARSET.
    TFont();
    ~TFont() override;

    void Assign(TPersistent* Source) override;
    // Charset, Color, Height, Name, Pitch, Style.
    void GetPublishedProperties(TPublishedProperties& AList) override;

    const std::string& Name() const { return FName; }
    // An empty name is ignored; longer names are cut to the 31 bytes a
    // LOGFONT holds (at a character boundary).
    void SetName(const std::string& Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    // Points: -Height * 72 / PixelsPerInch, rounded.
    int Size() const;
    void SetSize(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    // Tenths of a degree, counter-clockwise.
    int Orientation() const { return FOrientation; }
    void SetOrientation(int Value);
    int PixelsPerInch() const { return FPixelsPerInch; }
    // Changes how Size maps to Height; fires no change. Raises
    // EInvalidGraphicOperation below 1.
    void SetPixelsPerInch(int Value);

    gfx::HFONT Handle();
    // The font shares the handle (deleting it when no font uses it any more)
    // and takes its properties from the handle's LOGFONT; Color is kept.
    // Nullptr drops the handle. A handle that is not a live font raises
    // EInvalidGraphicOperation.
    void SetHandle(gfx::HFONT Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

private:
    gfx::LOGFONT MakeLogFont() const;
    void DataChanged();

    std::string FName;
    int FHeight;
    TFontStyles FStyle;
    TColor FColor;
    TFontCharset FCharset;
    TFontPitch FPitch = fpDefault;
    int FOrientation = 0;
    int FPixelsPerInch = 96;
    gfx::HFONT FHandle = nullptr;
};

// --- TPen ---

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};

// The R2_ code a pen mode draws with.
int PenModeToROP2(TPenMode Mode);

class TPen : public TGraphicsObject {
    TRESTLE_CLASS(TPen, TGraphicsObject)
public:
    // Black, one pixel wide, psSolid, pmCopy.
    TPen();
    ~TPen() override;

    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int Width() const { return FWidth; }
    // Negative widths are ignored.
    void SetWidth(int Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    // Not part of the handle: the canvas sets the DC's ROP2 from it.
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);

    gfx::HPEN Handle();
    // Shares the handle and takes Color, Width and Style from its LOGPEN.
    void SetHandle(gfx::HPEN Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

private:
    void DataChanged();

    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
    gfx::HPEN FHandle = nullptr;
};

// --- TBrush ---

enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

class TBrush : public TGraphicsObject {
    TRESTLE_CLASS(TBrush, TGraphicsObject)
public:
    // White, bsSolid, no pattern.
    TBrush();
    ~TBrush() override;

    void Assign(TPersistent* Source) override;

    // Setting a colour makes a clear brush solid, as the original does.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // Setting bsClear makes the colour white, as the original does.
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // A pattern (its top-left 8 x 8 pixels, taken when the handle is made).
    // The brush does not own the bitmap; the caller keeps it alive while the
    // brush refers to it.
    TBitmap* Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* Value);

    gfx::HBRUSH Handle();
    // Shares the handle and takes Color and Style from its LOGBRUSH (a
    // pattern brush reads as bsSolid without a Bitmap).
    void SetHandle(gfx::HBRUSH Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

private:
    void DataChanged();

    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    TBitmap* FBitmap = nullptr;
    gfx::HBRUSH FHandle = nullptr;
};

// ============================================================================
// TCanvas
// ============================================================================

enum TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStates>;
inline constexpr TCanvasState csAllValid{csHandleValid, csFontValid, csPenValid, csBrushValid};

using TCopyMode = gfx::DWORD;
inline constexpr TCopyMode cmBlackness = gfx::BLACKNESS;
inline constexpr TCopyMode cmDstInvert = gfx::DSTINVERT;
inline constexpr TCopyMode cmMergeCopy = gfx::MERGECOPY;
inline constexpr TCopyMode cmMergePaint = gfx::MERGEPAINT;
inline constexpr TCopyMode cmNotSrcCopy = gfx::NOTSRCCOPY;
inline constexpr TCopyMode cmNotSrcErase = gfx::NOTSRCERASE;
inline constexpr TCopyMode cmPatCopy = gfx::PATCOPY;
inline constexpr TCopyMode cmPatInvert = gfx::PATINVERT;
inline constexpr TCopyMode cmPatPaint = gfx::PATPAINT;
inline constexpr TCopyMode cmSrcAnd = gfx::SRCAND;
inline constexpr TCopyMode cmSrcCopy = gfx::SRCCOPY;
inline constexpr TCopyMode cmSrcErase = gfx::SRCERASE;
inline constexpr TCopyMode cmSrcInvert = gfx::SRCINVERT;
inline constexpr TCopyMode cmSrcPaint = gfx::SRCPAINT;
inline constexpr TCopyMode cmWhiteness = gfx::WHITENESS;

// Formats of TextRect; each is a DrawText flag.
enum TTextFormats {
    tfBottom,
    tfCalcRect,
    tfCenter,
    tfEditControl,
    tfEndEllipsis,
    tfPathEllipsis,
    tfExpandTabs,
    tfExternalLeading,
    tfLeft,
    tfNoClip,
    tfNoPrefix,
    tfRight,
    tfRtlReading,
    tfSingleLine,
    tfTop,
    tfVerticalCenter,
    tfWordBreak,
    tfHidePrefix,
    tfNoFullWidthCharBreak,
    tfPrefixOnly,
    tfTabStop,
    tfWordEllipsis
};
using TTextFormat = TSet<TTextFormats>;
gfx::UINT TextFormatToDrawTextFlags(TTextFormat Format);

class TGraphic;

class TCanvas : public TPersistent {
    TRESTLE_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    // Releases the DC (deselecting the objects); the DC itself belongs to
    // whoever set it.
    ~TCanvas() override;

    // Selects every object and returns the DC; raises EInvalidOperation
    // "Canvas does not allow drawing" when there is none to be had.
    gfx::HDC Handle();
    // Deselects the objects from the previous DC (the pen position carries
    // over to the new one).
    void SetHandle(gfx::HDC Value);
    bool HandleAllocated() const { return FHandle != nullptr; }
    TCanvasState State() const { return FState; }

    TFont* Font() const { return FFont; }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TPen* Pen() const { return FPen; }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    TBrush* Brush() const { return FBrush; }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
    TPoint PenPos();
    void SetPenPos(TPoint Value) { MoveTo(Value.x, Value.y); }
    // The bounds of what can be drawn.
    TRect ClipRect();

    // --- Drawing ---
    void FillRect(const TRect& Rect);
    void FrameRect(const TRect& Rect);
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& Rect) { Rectangle(Rect.left, Rect.top, Rect.right, Rect.bottom); }
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& Rect) { Ellipse(Rect.left, Rect.top, Rect.right, Rect.bottom); }
    void Polygon(std::span<const TPoint> Points);
    void Polygon(std::initializer_list<TPoint> Points) { Polygon(std::span(Points.begin(), Points.size())); }
    void Polyline(std::span<const TPoint> Points);
    void Polyline(std::initializer_list<TPoint> Points) {
        Polyline(std::span(Points.begin(), Points.size()));
    }
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Value);

    // --- Text ---
    // Draws at (X, Y) and moves the pen position to the end of the text.
    void TextOut(int X, int Y, const std::string& Text);
    // Draws at (X, Y) clipped to Rect, filling Rect with the brush unless it is clear.
    void TextRect(const TRect& Rect, int X, int Y, const std::string& Text);
    // DrawText in Rect; with tfCalcRect Rect receives the text's bounds and nothing is drawn.
    void TextRect(TRect& Rect, const std::string& Text, TTextFormat TextFormat = {});
    TSize TextExtent(const std::string& Text);
    int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
    int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }

    // --- Graphics and blits ---
    // Draws a graphic at its own size (transparent graphics keep what is below
    // their transparent parts); the brush and font colours are the DC's
    // background and text colours for monochrome images.
    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const TRect& Rect, TGraphic* Graphic);
    // Blits Source of Canvas into Dest (stretching) with CopyMode.
    void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
    // Copies Source of Bitmap into Dest, with the pixels of Color replaced by the brush.
    void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);

    // --- Threads ---
    void Lock();
    void Unlock();
    bool TryLock();
    int LockCount() const { return FLockCount; }

    // Deselects the objects; the next drawing call selects them again.
    void Refresh();

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }
    TNotifyEvent OnChanging() const { return FOnChanging; }
    void SetOnChanging(TNotifyEvent Value) { FOnChanging = Value; }

protected:
    virtual void Changed();
    virtual void Changing();
    // Called when a drawing call needs a DC and there is none.
    virtual void CreateHandle() {}
    // Makes sure of the handle and the selected objects named in ReqState.
    void RequiredState(TCanvasState ReqState);

private:
    void DeselectHandles();
    void CreateFont();
    void CreatePen();
    void CreateBrush();
    void FontChanged(TObject* Sender);
    void PenChanged(TObject* Sender);
    void BrushChanged(TObject* Sender);

    gfx::HDC FHandle = nullptr;
    TCanvasState FState;
    TFont* FFont;
    TPen* FPen;
    TBrush* FBrush;
    TPoint FPenPos{};
    TCopyMode FCopyMode = cmSrcCopy;
    TNotifyEvent FOnChange;
    TNotifyEvent FOnChanging;
    std::recursive_mutex FLock;
    std::atomic<std::thread::id> FLockOwner{};
    std::atomic<int> FLockCount = 0;
};

// ============================================================================
// Graphics
// ============================================================================

// An image a canvas can draw: a bitmap or an icon.
class TGraphic : public TPersistent {
    TRESTLE_CLASS(TGraphic, TPersistent)
public:
    TGraphic() = default;

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual void SetWidth(int Value) = 0;
    virtual int Height() const = 0;
    virtual void SetHeight(int Value) = 0;
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    bool Modified() const { return FModified; }
    void SetModified(bool Value);

    // Read from the stream's position to its end / write at its position.
    virtual void LoadFromStream(TStream* Stream) = 0;
    virtual void SaveToStream(TStream* Stream) = 0;
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName);

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }

protected:
    friend class TCanvas;
    // Draws the image into Rect of the canvas (stretching).
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
    // Sets Modified and fires OnChange.
    virtual void Changed(TObject* Sender);

    bool FTransparent = false;

private:
    bool FModified = false;
    TNotifyEvent FOnChange;
};

using TGraphicClass = TClassOf<TGraphic>;

// --- TBitmap ---

// The drawing layer keeps colour bitmaps in 32 bits and monochrome ones in 1
// bit, so pfDevice, pf24bit and pf32bit pixels are all 32-bit 0xAARRGGBB.
enum TPixelFormat { pfDevice, pf1bit, pf24bit, pf32bit };
enum TTransparentMode { tmAuto, tmFixed };
enum TBitmapHandleType { bmDIB, bmDDB };

// Loads a bitmap resource by name; the window system installs one.
using TBitmapResourceLoader = std::function<gfx::HBITMAP(void* Instance, const std::string& Name)>;
// Installs a loader for the whole process and returns the previous one.
TBitmapResourceLoader SetBitmapResourceLoader(TBitmapResourceLoader Loader);

class TBitmap : public TGraphic {
    TRESTLE_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    // An empty bitmap of that size (white), pfDevice.
    TBitmap(int AWidth, int AHeight);
    ~TBitmap() override;

    // Copies the pixels and the format and transparency settings of another
    // bitmap; nullptr empties the bitmap.
    void Assign(TPersistent* Source) override;

    bool Empty() const override { return FWidth == 0 || FHeight == 0; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // Resizing keeps the pixels that remain and fills new ones with the
    // canvas's brush colour (white without a canvas). Negative sizes raise
    // EInvalidGraphicOperation.
    void SetWidth(int Value) override { SetSize(Value, FHeight); }
    void SetHeight(int Value) override { SetSize(FWidth, Value); }
    void SetSize(int AWidth, int AHeight);

    // A canvas on a memory DC holding the bitmap, created on first use.
    TCanvas* Canvas();

    // Puts the canvas's DC away first, so that the caller may select the
    // bitmap into a DC of its own.
    gfx::HBITMAP Handle();
    // Takes ownership of the bitmap and adopts its size and depth. Nullptr
    // empties the bitmap.
    void SetHandle(gfx::HBITMAP Value);
    // Returns the handle, which the caller then owns; the bitmap keeps its
    // size and makes a new, white one when next needed.
    gfx::HBITMAP ReleaseHandle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // Creates the bitmap when the size is set but no handle exists.
    void HandleNeeded();
    TBitmapHandleType HandleType() const { return FHandleType; }
    void SetHandleType(TBitmapHandleType Value);

    TPixelFormat PixelFormat() const { return FPixelFormat; }
    // Converts the pixels between monochrome and colour as a blit does.
    void SetPixelFormat(TPixelFormat Value);
    bool Monochrome() const { return FPixelFormat == pf1bit; }
    void SetMonochrome(bool Value) { SetPixelFormat(Value ? pf1bit : pfDevice); }

    // tmAuto: the bottom-left pixel (white for a monochrome bitmap); tmFixed:
    // the colour set.
    TColor TransparentColor();
    // clDefault switches to tmAuto, any other colour to tmFixed.
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    // Row Row of a colour bitmap, top row 0: Width pixels 0xAARRGGBB.
    // Raises EInvalidGraphicOperation for a bad row or a monochrome bitmap.
    std::uint32_t* ScanLine(int Row);

    // BMP file format. Reads 1-, 4-, 8-, 24- and 32-bit images (bottom-up or
    // top-down, uncompressed or 32-bit bit fields); a damaged image raises
    // EInvalidGraphic and leaves the bitmap as it was. Writes 1 bit for a
    // monochrome bitmap, else 32 bits; an empty bitmap reads and writes no bytes.
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    // Through the installed resource loader; EResNotFound when it has nothing.
    void LoadFromResourceName(void* Instance, const std::string& ResName);

    // Memory is not traded for handles here: both do nothing.
    void Dormant() {}
    void FreeImage() {}

protected:
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    // Streaming: the image as the binary property "Data" (the BMP file).
    void DefineProperties(TFiler* Filer) override;

private:
    friend class TBitmapCanvas;
    friend class TBrush;
    // Puts the canvas's DC away so that the bitmap can be replaced or deleted.
    void FreeContext();
    // Replaces the handle (owned) with new pixels in the given format.
    void NewImage(gfx::HBITMAP AHandle, int AWidth, int AHeight, TPixelFormat AFormat);
    // A new bitmap of the size and format with the old pixels copied over.
    gfx::HBITMAP CopyImage(int AWidth, int AHeight, bool AMono);
    gfx::COLORREF FillColor();

    gfx::HBITMAP FHandle = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;
    TBitmapHandleType FHandleType = bmDDB;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    TCanvas* FCanvas = nullptr;
};

// --- TIcon ---

class TIcon : public TGraphic {
    TRESTLE_CLASS(TIcon, TGraphic)
public:
    TIcon() = default;
    ~TIcon() override;

    // Copies the icon of another TIcon (a new handle); nullptr empties it.
    void Assign(TPersistent* Source) override;

    bool Empty() const override { return FHandle == nullptr; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // Icons have the size of their image: EInvalidGraphicOperation.
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    // Icons are always drawn through their mask.
    bool Transparent() const override { return true; }

    gfx::HICON Handle() const { return FHandle; }
    // Takes ownership of the icon. A handle that is not a live icon raises
    // EInvalidGraphicOperation.
    void SetHandle(gfx::HICON Value);
    // Returns the handle, which the caller then owns, and empties the icon.
    gfx::HICON ReleaseHandle();
    bool HandleAllocated() const { return FHandle != nullptr; }

    // Icon files are not supported: EInvalidGraphicOperation.
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;

protected:
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
    gfx::HICON FHandle = nullptr;
    int FWidth = 0;
    int FHeight = 0;
};

} // namespace cls
