// The window system's drawing helpers that need only a DC: 3-D edges, frame
// controls, focus rectangles and icons, in the classic (non-themed) look.
#pragma once

#include "gfx/gdi.h"
#include "gfx/types.h"

namespace gfx {

// --- DrawEdge ---
enum : UINT {
    BDR_RAISEDOUTER = 0x0001,
    BDR_SUNKENOUTER = 0x0002,
    BDR_RAISEDINNER = 0x0004,
    BDR_SUNKENINNER = 0x0008,
    BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER,
    BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER,
    BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,
};

enum : UINT {
    BF_LEFT = 0x0001,
    BF_TOP = 0x0002,
    BF_RIGHT = 0x0004,
    BF_BOTTOM = 0x0008,
    BF_TOPLEFT = BF_TOP | BF_LEFT,
    BF_TOPRIGHT = BF_TOP | BF_RIGHT,
    BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT,
    BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT,
    BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM,
    BF_DIAGONAL = 0x0010,
    BF_DIAGONAL_ENDTOPRIGHT = BF_DIAGONAL | BF_TOP | BF_RIGHT,
    BF_DIAGONAL_ENDTOPLEFT = BF_DIAGONAL | BF_TOP | BF_LEFT,
    BF_DIAGONAL_ENDBOTTOMLEFT = BF_DIAGONAL | BF_BOTTOM | BF_LEFT,
    BF_DIAGONAL_ENDBOTTOMRIGHT = BF_DIAGONAL | BF_BOTTOM | BF_RIGHT,
    BF_MIDDLE = 0x0800,
    BF_SOFT = 0x1000,
    BF_ADJUST = 0x2000,
    BF_FLAT = 0x4000,
    BF_MONO = 0x8000,
};

// Draws up to two one-pixel borders (outer, then inner) on the sides named
// in `flags`, in system colours. The bottom and right lines cover the
// corners. BF_ADJUST shrinks *rect by the borders drawn on each side.
// A diagonal runs corner to corner: ending at the top it takes the top-left
// colours with the face below it, ending at the bottom the bottom-right ones
// with the face above.
BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);

// Inverts every other pixel of the rectangle's one-pixel frame; drawing the
// same rectangle again restores it.
BOOL DrawFocusRect(HDC dc, const RECT* rect);

// --- DrawFrameControl ---
enum : UINT { DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4 };

enum : UINT {
    DFCS_CAPTIONCLOSE = 0x0000,
    DFCS_CAPTIONMIN = 0x0001,
    DFCS_CAPTIONMAX = 0x0002,
    DFCS_CAPTIONRESTORE = 0x0003,
    DFCS_CAPTIONHELP = 0x0004,

    DFCS_MENUARROW = 0x0000,
    DFCS_MENUCHECK = 0x0001,
    DFCS_MENUBULLET = 0x0002,
    DFCS_MENUARROWRIGHT = 0x0004,

    DFCS_SCROLLUP = 0x0000,
    DFCS_SCROLLDOWN = 0x0001,
    DFCS_SCROLLLEFT = 0x0002,
    DFCS_SCROLLRIGHT = 0x0003,
    DFCS_SCROLLCOMBOBOX = 0x0005,
    DFCS_SCROLLSIZEGRIP = 0x0008,
    DFCS_SCROLLSIZEGRIPRIGHT = 0x0010,

    DFCS_BUTTONCHECK = 0x0000,
    DFCS_BUTTONRADIO = 0x0004,
    DFCS_BUTTON3STATE = 0x0008,
    DFCS_BUTTONPUSH = 0x0010,

    DFCS_INACTIVE = 0x0100,
    DFCS_PUSHED = 0x0200,
    DFCS_CHECKED = 0x0400,
    DFCS_TRANSPARENT = 0x0800,
    DFCS_HOT = 0x1000,
    DFCS_ADJUSTRECT = 0x2000,
    DFCS_FLAT = 0x4000,
    DFCS_MONO = 0x8000,
};

// Draws a control part of the given type and state inside *rect. Menu parts
// are black shapes on white (only the shape with DFCS_TRANSPARENT), meant to
// be used as masks. DFCS_HOT has no look of its own in the classic style.
// DFCS_ADJUSTRECT shrinks *rect of a button by its edge.
BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state);

// --- Icons and cursors ---
constexpr DWORD ERROR_INVALID_CURSOR_HANDLE = 1402;

struct ICONINFO {
    BOOL fIcon = TRUE;
    DWORD xHotspot = 0; // cursors only; an icon's hot spot is its centre
    DWORD yHotspot = 0;
    HBITMAP hbmMask = nullptr; // without a colour bitmap: AND half on top, XOR half below
    HBITMAP hbmColor = nullptr;
};

enum : UINT {
    DI_MASK = 0x0001,
    DI_IMAGE = 0x0002,
    DI_NORMAL = DI_MASK | DI_IMAGE,
    DI_COMPAT = 0x0004,
    DI_DEFAULTSIZE = 0x0008,
    DI_NOMIRROR = 0x0010,
};

// The icon keeps copies of the bitmaps; the caller still owns the ones passed.
HICON CreateIconIndirect(const ICONINFO* info);
HICON CopyIcon(HICON icon);
BOOL DestroyIcon(HICON icon);
BOOL DestroyCursor(HCURSOR cursor);
// Fills `info` with new copies of the icon's bitmaps, which the caller deletes.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
// Draws at the default icon size (32 x 32).
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
// Zero extents mean the icon's own size (the default size with
// DI_DEFAULTSIZE). A non-null `flickerFreeBrush` fills the destination
// first. Icons whose colour bitmap has alpha are blended with DI_NORMAL.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flickerFreeBrush,
                UINT flags);

} // namespace gfx
