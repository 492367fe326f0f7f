// The drawing API: objects, device contexts, primitives, blits, regions,
// clipping and text, with the semantics of the original drawing library.
#pragma once

#include "gfx/colors.h"
#include "gfx/types.h"

#include <concepts>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace gfx {

// --- Object types (GetObjectType) ---
constexpr DWORD OBJ_PEN = 1;
constexpr DWORD OBJ_BRUSH = 2;
constexpr DWORD OBJ_DC = 3;
constexpr DWORD OBJ_PAL = 5;
constexpr DWORD OBJ_FONT = 6;
constexpr DWORD OBJ_BITMAP = 7;
constexpr DWORD OBJ_REGION = 8;
constexpr DWORD OBJ_MEMDC = 10;
constexpr DWORD OBJ_EXTPEN = 11;

// --- Stock objects ---
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int OEM_FIXED_FONT = 10;
constexpr int ANSI_FIXED_FONT = 11;
constexpr int ANSI_VAR_FONT = 12;
constexpr int SYSTEM_FONT = 13;
constexpr int DEVICE_DEFAULT_FONT = 14;
constexpr int DEFAULT_PALETTE = 15;
constexpr int SYSTEM_FIXED_FONT = 16;
constexpr int DEFAULT_GUI_FONT = 17;
constexpr int DC_BRUSH = 18;
constexpr int DC_PEN = 19;

// --- Brushes ---
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = 1;
constexpr UINT BS_HATCHED = 2;
constexpr UINT BS_PATTERN = 3;
constexpr int HS_HORIZONTAL = 0;
constexpr int HS_VERTICAL = 1;
constexpr int HS_FDIAGONAL = 2;
constexpr int HS_BDIAGONAL = 3;
constexpr int HS_CROSS = 4;
constexpr int HS_DIAGCROSS = 5;

struct LOGBRUSH {
    UINT lbStyle = BS_SOLID;
    COLORREF lbColor = 0;
    std::uintptr_t lbHatch = 0; // hatch style, or the pattern bitmap's handle value
};

// --- Pens ---
constexpr UINT PS_SOLID = 0;
constexpr UINT PS_DASH = 1;
constexpr UINT PS_DOT = 2;
constexpr UINT PS_DASHDOT = 3;
constexpr UINT PS_DASHDOTDOT = 4;
constexpr UINT PS_NULL = 5;
constexpr UINT PS_INSIDEFRAME = 6;
constexpr UINT PS_ALTERNATE = 8;
constexpr UINT PS_STYLE_MASK = 0x0000000F;
constexpr UINT PS_COSMETIC = 0x00000000;
constexpr UINT PS_GEOMETRIC = 0x00010000;
constexpr UINT PS_TYPE_MASK = 0x000F0000;

struct LOGPEN {
    UINT lopnStyle = PS_SOLID;
    POINT lopnWidth{};
    COLORREF lopnColor = 0;
};

// --- Fonts ---
constexpr int LF_FACESIZE = 32;
constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_THIN = 100;
constexpr LONG FW_EXTRALIGHT = 200;
constexpr LONG FW_LIGHT = 300;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_MEDIUM = 500;
constexpr LONG FW_SEMIBOLD = 600;
constexpr LONG FW_BOLD = 700;
constexpr LONG FW_EXTRABOLD = 800;
constexpr LONG FW_HEAVY = 900;
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE RUSSIAN_CHARSET = 204;
constexpr BYTE OEM_CHARSET = 255;
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE OUT_TT_PRECIS = 4;
constexpr BYTE OUT_TT_ONLY_PRECIS = 7;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DRAFT_QUALITY = 1;
constexpr BYTE PROOF_QUALITY = 2;
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE CLEARTYPE_QUALITY = 5;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
constexpr BYTE FF_SCRIPT = 0x40;
constexpr BYTE FF_DECORATIVE = 0x50;

// Face names are UTF-8.
struct LOGFONT {
    LONG lfHeight = 0; // negative: character height; positive: cell height
    LONG lfWidth = 0;
    LONG lfEscapement = 0; // tenths of a degree, counter-clockwise
    LONG lfOrientation = 0;
    LONG lfWeight = FW_NORMAL;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = DEFAULT_CHARSET;
    BYTE lfOutPrecision = OUT_DEFAULT_PRECIS;
    BYTE lfClipPrecision = CLIP_DEFAULT_PRECIS;
    BYTE lfQuality = DEFAULT_QUALITY;
    BYTE lfPitchAndFamily = DEFAULT_PITCH;
    char lfFaceName[LF_FACESIZE] = {};
};

struct TEXTMETRIC {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    LONG tmOverhang = 0;
    LONG tmDigitizedAspectX = 96;
    LONG tmDigitizedAspectY = 96;
    std::uint32_t tmFirstChar = 0x20;
    std::uint32_t tmLastChar = 0xFFFF;
    std::uint32_t tmDefaultChar = '?';
    std::uint32_t tmBreakChar = ' ';
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
    BYTE tmStruckOut = 0;
    BYTE tmPitchAndFamily = 0;
    BYTE tmCharSet = DEFAULT_CHARSET;
};

// --- Bitmaps ---
struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0; // bytes of a row, rounded up to a WORD
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 0;
    void* bmBits = nullptr; // pixels of a DIB section, else nullptr
};

constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr UINT DIB_PAL_COLORS = 1;

struct BITMAPINFOHEADER {
    DWORD biSize = 40;
    LONG biWidth = 0;
    LONG biHeight = 0; // negative: top-down rows
    WORD biPlanes = 1;
    WORD biBitCount = 32;
    DWORD biCompression = BI_RGB;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};

struct RGBQUAD {
    BYTE rgbBlue = 0;
    BYTE rgbGreen = 0;
    BYTE rgbRed = 0;
    BYTE rgbReserved = 0;
};

// The colour table follows the header; for 1-bit images it holds two entries.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[2];
};

// --- Palettes ---
struct PALETTEENTRY {
    BYTE peRed = 0;
    BYTE peGreen = 0;
    BYTE peBlue = 0;
    BYTE peFlags = 0;
};

// The entries follow the header: callers allocate room for palNumEntries.
struct LOGPALETTE {
    WORD palVersion = 0x300;
    WORD palNumEntries = 0;
    PALETTEENTRY palPalEntry[1];
};

// A colour that names entry `index` of the DC's selected palette.
constexpr COLORREF PALETTEINDEX(WORD index) {
    return 0x01000000u | index;
}
// An RGB colour that a palette device draws with the nearest entry of the
// DC's palette; elsewhere the colour itself.
constexpr COLORREF PALETTERGB(int r, int g, int b) {
    return 0x02000000u | RGB(r, g, b);
}
constexpr UINT GDI_ERROR = 0xFFFFFFFFu;

// --- Device capabilities ---
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int NUMCOLORS = 24;
constexpr int RASTERCAPS = 38;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int SIZEPALETTE = 104;
constexpr int RC_PALETTE = 0x0100;

// --- Background modes, mapping, fill and stretch modes ---
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int MM_TEXT = 1;
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

// --- Binary raster operations (pens) ---
constexpr int R2_BLACK = 1;
constexpr int R2_NOTMERGEPEN = 2;
constexpr int R2_MASKNOTPEN = 3;
constexpr int R2_NOTCOPYPEN = 4;
constexpr int R2_MASKPENNOT = 5;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_NOTMASKPEN = 8;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_NOP = 11;
constexpr int R2_MERGENOTPEN = 12;
constexpr int R2_COPYPEN = 13;
constexpr int R2_MERGEPENNOT = 14;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_WHITE = 16;

// --- Ternary raster operations (blits): the operation index in bits 16-23 ---
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGECOPY = 0x00C000CA;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATPAINT = 0x00FB0A09;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;
// D xor (P and (S xor D)): the pattern where the source is white, the
// destination where it is black. The platform gives it no name of its own.
constexpr DWORD ROP_DSPDxax = 0x00E20746;

// --- Text alignment and ExtTextOut options ---
constexpr UINT TA_NOUPDATECP = 0;
constexpr UINT TA_UPDATECP = 1;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;
constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;

// --- DrawText flags ---
constexpr UINT DT_TOP = 0x00000000;
constexpr UINT DT_LEFT = 0x00000000;
constexpr UINT DT_CENTER = 0x00000001;
constexpr UINT DT_RIGHT = 0x00000002;
constexpr UINT DT_VCENTER = 0x00000004;
constexpr UINT DT_BOTTOM = 0x00000008;
constexpr UINT DT_WORDBREAK = 0x00000010;
constexpr UINT DT_SINGLELINE = 0x00000020;
constexpr UINT DT_EXPANDTABS = 0x00000040;
constexpr UINT DT_TABSTOP = 0x00000080;
constexpr UINT DT_NOCLIP = 0x00000100;
constexpr UINT DT_EXTERNALLEADING = 0x00000200;
constexpr UINT DT_CALCRECT = 0x00000400;
constexpr UINT DT_NOPREFIX = 0x00000800;
constexpr UINT DT_INTERNAL = 0x00001000;
constexpr UINT DT_EDITCONTROL = 0x00002000;
constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
constexpr UINT DT_END_ELLIPSIS = 0x00008000;
constexpr UINT DT_MODIFYSTRING = 0x00010000;
constexpr UINT DT_RTLREADING = 0x00020000;
constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;
constexpr UINT DT_NOFULLWIDTHCHARBREAK = 0x00080000;
constexpr UINT DT_HIDEPREFIX = 0x00100000;
constexpr UINT DT_PREFIXONLY = 0x00200000;

// --- Regions ---
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;
constexpr int RGN_ERROR = ERROR;
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

// --- Alpha blending and gradients ---
constexpr BYTE AC_SRC_OVER = 0x00;
constexpr BYTE AC_SRC_ALPHA = 0x01;

struct BLENDFUNCTION {
    BYTE BlendOp = AC_SRC_OVER;
    BYTE BlendFlags = 0;
    BYTE SourceConstantAlpha = 255;
    BYTE AlphaFormat = 0;
};

using COLOR16 = std::uint16_t;
struct TRIVERTEX {
    LONG x = 0;
    LONG y = 0;
    COLOR16 Red = 0; // 8.8 fixed point: the colour's byte in the high byte
    COLOR16 Green = 0;
    COLOR16 Blue = 0;
    COLOR16 Alpha = 0;
};
struct GRADIENT_RECT {
    ULONG UpperLeft = 0;
    ULONG LowerRight = 0;
};
struct GRADIENT_TRIANGLE {
    ULONG Vertex1 = 0;
    ULONG Vertex2 = 0;
    ULONG Vertex3 = 0;
};
constexpr ULONG GRADIENT_FILL_RECT_H = 0;
constexpr ULONG GRADIENT_FILL_RECT_V = 1;
constexpr ULONG GRADIENT_FILL_TRIANGLE = 2;

// ============================================================================
// Objects
// ============================================================================

HGDIOBJ GetStockObject(int index);
// Deleting a stock object does nothing and succeeds. Deleting a pen, brush
// or font that is selected into a DC succeeds; the object goes when the
// last DC releases it. A bitmap selected into a DC cannot be deleted.
BOOL DeleteObject(HGDIOBJ obj);
// Fills the object's description (LOGPEN, LOGBRUSH, LOGFONT, BITMAP, or for a
// palette its entry count as a WORD); with a null buffer returns the size
// needed. 0 on a bad handle.
int GetObject(HGDIOBJ obj, int size, void* buffer);
DWORD GetObjectType(HGDIOBJ obj);
// The drawing objects, DCs and icons alive in the process, stock objects
// included: a count that returns to where it started shows that nothing leaked
// (an object deleted while selected counts until its DC lets it go).
DWORD GetGdiObjectCount();
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
// Returns the object it replaces; for a region, the region type. Palettes
// are selected with SelectPalette only.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);

// Typed forms, so callers holding a brush, pen, font, bitmap or region need
// no cast to the generic handle. A null literal still picks the generic form.
template <class H>
concept GdiObjectHandle = std::same_as<H, HBRUSH> || std::same_as<H, HPEN> || std::same_as<H, HFONT> ||
    std::same_as<H, HBITMAP> || std::same_as<H, HRGN> || std::same_as<H, HPALETTE>;
template <GdiObjectHandle H> BOOL DeleteObject(H obj) {
    return DeleteObject(handle_cast<HGDIOBJ>(obj));
}
template <GdiObjectHandle H> int GetObject(H obj, int size, void* buffer) {
    return GetObject(handle_cast<HGDIOBJ>(obj), size, buffer);
}
template <GdiObjectHandle H> DWORD GetObjectType(H obj) {
    return GetObjectType(handle_cast<HGDIOBJ>(obj));
}
template <GdiObjectHandle H> HGDIOBJ SelectObject(HDC dc, H obj) {
    return SelectObject(dc, handle_cast<HGDIOBJ>(obj));
}

HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int style, COLORREF color);
// The brush copies the top-left 8 x 8 pixels of the bitmap; a monochrome
// pattern takes the DC's text and background colours when drawn.
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb);
COLORREF SetDCBrushColor(HDC dc, COLORREF color);
COLORREF SetDCPenColor(HDC dc, COLORREF color);

HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* lp);
HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* lb, DWORD styleCount, const DWORD* styles);

HFONT CreateFontIndirect(const LOGFONT* lf);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                 DWORD quality, DWORD pitchAndFamily, const char* faceName);

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// A bitmap like the one selected into the DC: monochrome for a memory DC that
// still holds its default monochrome bitmap, else 32 bits.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// A 32-bit (or 1-bit) bitmap whose pixel memory the caller may write; rows are
// bottom-up for a positive height, top-down for a negative one.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* bmi, UINT usage, void** bits, void* section, DWORD offset);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, const void* bits, const BITMAPINFO* bmi,
              UINT usage);
int GetDIBits(HDC dc, HBITMAP bitmap, UINT startScan, UINT scanLines, void* bits, BITMAPINFO* bmi,
              UINT usage);
LONG GetBitmapBits(HBITMAP bitmap, LONG size, void* bits);
LONG SetBitmapBits(HBITMAP bitmap, DWORD size, const void* bits);
int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* bmi, UINT usage,
                  DWORD rop);

// A COLORREF (0x00BBGGRR) as a 32-bit surface pixel (0x00RRGGBB) and back;
// the alpha byte of a pixel is dropped.
constexpr std::uint32_t PixelFromColor(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr COLORREF ColorFromPixel(std::uint32_t p) {
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}
// A COLORREF as a pixel of a monochrome surface: the nearer of black and white.
constexpr std::uint32_t MonoPixelFromColor(COLORREF c) {
    const unsigned sum = (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF);
    return sum >= 384 ? 0xFFFFFFu : 0u;
}
// Blends `n` 32-bit pixels of `src` over `dst` with AlphaBlend's arithmetic:
// by the constant alpha alone, or, with `perPixelAlpha`, as premultiplied
// pixels whose alpha is scaled by the constant.
void BlendPixels(std::uint32_t* dst, const std::uint32_t* src, int n, BYTE constantAlpha, bool perPixelAlpha);

// Direct access to a bitmap's pixels: 32-bit pixels 0xAARRGGBB, or for a
// monochrome bitmap 0x000000 and 0xFFFFFF. `stride` counts pixels between
// rows and may be negative. False for a bad handle.
struct BitmapSurface {
    std::uint32_t* bits = nullptr;
    std::ptrdiff_t stride = 0;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::uint32_t* Row(int y) const { return bits + y * stride; }
};
bool GetBitmapSurface(HBITMAP bitmap, BitmapSurface* surface);

// Every change of a bitmap's pixels through this API adds to its dirty
// rectangle; the window system's compositor takes and clears it. The second
// form tells the same as a few rectangles that together cover every change.
bool TakeBitmapDirtyRect(HBITMAP bitmap, RECT* dirty);
bool TakeBitmapDirtyRects(HBITMAP bitmap, std::vector<RECT>* parts);
void AddBitmapDirtyRect(HBITMAP bitmap, const RECT& r);

// --- Palettes ---
// A palette changes no surface (they all keep 32 bits): it resolves the
// PALETTEINDEX and PALETTERGB colours that brushes, pens, text and pixels of
// the DC it is selected into are given. A new DC holds DEFAULT_PALETTE, the
// 20 static colours. A palette selected into a DC outlives DeleteObject
// until the DC lets it go.

// Needs palVersion 0x300 and at least one entry.
HPALETTE CreatePalette(const LOGPALETTE* lp);
// Returns the palette it replaces.
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
// On a palette device (BITSPIXEL of 8 or fewer), the number of entries of
// the DC's palette mapped into the system palette (none for the default
// palette); 0 elsewhere. GDI_ERROR for a bad DC.
UINT RealizePalette(HDC dc);
// With a null `entries`, the number of entries of the palette.
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);
// The default palette cannot be changed. Drawing picks the new colours up.
UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY* entries);
// The entry nearest to the colour (its flag byte ignored); CLR_INVALID for a
// bad handle.
UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color);
// Repaints a window's pixels after the system palette changed. Surfaces keep
// 32 bits, so there is nothing to redo: TRUE for any DC.
BOOL UpdateColors(HDC dc);

// ============================================================================
// Device contexts
// ============================================================================

// A memory DC holding a 1 x 1 monochrome bitmap; `dc` is ignored but checked
// when not null.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc);
// A negative level counts back from the latest saved state.
BOOL RestoreDC(HDC dc, int savedLevel);
int GetDeviceCaps(HDC dc, int index);

COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int rop2);
int GetROP2(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
int SetMapMode(HDC dc, int mode);
int GetMapMode(HDC dc);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetBrushOrgEx(HDC dc, POINT* org);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC dc, POINT* org);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC dc, POINT* org);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL LPtoDP(HDC dc, POINT* points, int count);
BOOL DPtoLP(HDC dc, POINT* points, int count);
BOOL MoveToEx(HDC dc, int x, int y, POINT* old);
BOOL GetCurrentPositionEx(HDC dc, POINT* pos);

// --- For the window system: DCs that draw onto a window's surface ---
// `origin` is where the DC's device (0, 0) lies on the surface; `visRgn`
// (device coordinates, may be null for "all of the surface") limits every
// drawing in addition to the DC's own clip region. The DC copies the region.
HDC CreateSurfaceDC(HBITMAP surface, POINT origin, HRGN visRgn);
BOOL SetSurfaceDCArea(HDC dc, POINT origin, HRGN visRgn);
// Puts a surface DC back to its initial state (objects, colours, modes,
// origins, clip) so that it can be handed out again.
BOOL ResetSurfaceDC(HDC dc);
BOOL GetDCOrgEx(HDC dc, POINT* origin);
// Overrides a value GetDeviceCaps answers for this DC (the screen's size,
// the bits per pixel of a simulated 256-colour screen).
BOOL SetDCDeviceCaps(HDC dc, int index, int value);
// Runs `firstUse` once, before the DC first draws, reads pixels or works
// out where it may draw; asking for its format or measuring text does not
// count. A screen DC prepares the screen image only when it is drawn with.
BOOL SetSurfaceDCFirstUse(HDC dc, std::function<void()> firstUse);

// ============================================================================
// Primitives
// ============================================================================

// `brush` may be a brush handle or a system colour index + 1.
int FillRect(HDC dc, const RECT* r, HBRUSH brush);
int FrameRect(HDC dc, const RECT* r, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* r);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL PolylineTo(HDC dc, const POINT* points, DWORD count);
BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines);
BOOL Polygon(HDC dc, const POINT* points, int count);
BOOL PolyPolygon(HDC dc, const POINT* points, const INT* counts, int polygons);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF color);
// CLR_INVALID outside the clip region or the surface.
COLORREF GetPixel(HDC dc, int x, int y);

// ============================================================================
// Blits, alpha blending and gradients
// ============================================================================

BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
BOOL StretchBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop);
BOOL TransparentBlt(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, UINT transparentColor);
BOOL AlphaBlend(HDC dst, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, BLENDFUNCTION blend);
BOOL GradientFill(HDC dc, const TRIVERTEX* vertices, ULONG vertexCount, const void* mesh, ULONG meshCount,
                  ULONG mode);
// Blends premultiplied 0xAARRGGBB pixels (rows `stride` pixels apart) over
// the DC at (x, y) inside its clip: AlphaBlend with per-pixel alpha from
// memory that needs no bitmap object of its own.
BOOL AlphaBlendPixels(HDC dst, int x, int y, int width, int height, const std::uint32_t* pixels,
                      std::ptrdiff_t stride);

// ============================================================================
// Regions and clipping
// ============================================================================

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* r);
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int fillMode);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height);
// A region from a list of rectangles (they may overlap).
HRGN CreateRectListRgn(const RECT* rects, int count);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN rgn, int dx, int dy);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* r);
int GetRgnBox(HRGN rgn, RECT* r);
BOOL EqualRgn(HRGN a, HRGN b);
// The region's rectangles, in bands top to bottom, left to right.
std::vector<RECT> GetRegionRects(HRGN rgn);
BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
BOOL PaintRgn(HDC dc, HRGN rgn);
BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int width, int height);
BOOL InvertRgn(HDC dc, HRGN rgn);

// Clip regions are in device coordinates. A null region removes the clip.
int SelectClipRgn(HDC dc, HRGN rgn);
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
// 1 with a copy of the clip in `rgn`, 0 when the DC has no clip region, -1 on error.
int GetClipRgn(HDC dc, HRGN rgn);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int dx, int dy);
// The bounds of what can be drawn, in logical coordinates.
int GetClipBox(HDC dc, RECT* r);
BOOL PtVisible(HDC dc, int x, int y);
BOOL RectVisible(HDC dc, const RECT* r);

// ============================================================================
// Text (UTF-8)
// ============================================================================

// `count` is in bytes; -1 means up to the terminating zero (for DrawText).
BOOL TextOut(HDC dc, int x, int y, const char* text, int count);
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* r, const char* text, UINT count,
                const INT* dx);
BOOL GetTextExtentPoint32(HDC dc, const char* text, int count, SIZE* size);
BOOL GetTextExtentExPoint(HDC dc, const char* text, int count, int maxExtent, INT* fit, INT* dx, SIZE* size);
BOOL GetTextMetrics(HDC dc, TEXTMETRIC* tm);
int GetTextFace(HDC dc, int count, char* name);
int DrawText(HDC dc, const char* text, int count, RECT* r, UINT format);

// Convenience forms taking a string view.
inline BOOL TextOut(HDC dc, int x, int y, std::string_view text) {
    return TextOut(dc, x, y, text.data(), static_cast<int>(text.size()));
}
inline int DrawText(HDC dc, std::string_view text, RECT* r, UINT format) {
    return DrawText(dc, text.data(), static_cast<int>(text.size()), r, format);
}
inline SIZE GetTextExtent(HDC dc, std::string_view text) {
    SIZE s{};
    GetTextExtentPoint32(dc, text.data(), static_cast<int>(text.size()), &s);
    return s;
}

// ============================================================================
// Scoped helpers
// ============================================================================

// A memory DC with a bitmap selected; on destruction the DC's own bitmap is
// selected back and the DC deleted. The size form creates a bitmap of its own
// (32 bits, or monochrome for bitsPerPixel 1) and deletes it too; Adopt takes
// over a bitmap the caller made (a DIB section, say) and deletes it as well.
class MemoryDC {
public:
    explicit MemoryDC(HBITMAP bitmap, HDC compatible = nullptr);
    MemoryDC(int width, int height, UINT bitsPerPixel = 32, HDC compatible = nullptr);
    static MemoryDC Adopt(HBITMAP bitmap, HDC compatible = nullptr) {
        return MemoryDC(bitmap, compatible, true);
    }
    ~MemoryDC();
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC Handle() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_; }
    // The DC exists and holds the bitmap.
    bool Valid() const { return dc_ && old_; }

private:
    MemoryDC(HBITMAP bitmap, HDC compatible, bool ownsBitmap);

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    bool ownsBitmap_ = false;
};

// Saves a DC's drawing state and restores it on destruction.
class SavedDC {
public:
    explicit SavedDC(HDC dc) : dc_(dc), level_(SaveDC(dc)) {}
    ~SavedDC() {
        if (level_) RestoreDC(dc_, level_);
    }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;
    bool Valid() const { return level_ != 0; }

private:
    HDC dc_;
    int level_;
};

// Flushing is a no-op here: drawing is synchronous.
inline BOOL GdiFlush() {
    return TRUE;
}

} // namespace gfx
