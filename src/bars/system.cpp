#include "bars/system.h"

#include "bars/item.h"
#include "bars/manager.h"
#include "classes/controls.h"
#include "classes/forms.h"
#include "classes/graphics.h"
#include "classes/sysutils.h"
#include "gfx/draw.h"
#include "lookandfeel/text.h"
#include "win/user.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <string_view>

namespace bars {

namespace {

TUser32EntryPoints GUser32;
int GScreenBitsPerPixel = 32;
bool GBarSoundsEnabled = true;

// The mouse-leave emulation: the window watched and its thread timer.
HWND GLeaveWnd = nullptr;
win::UINT_PTR GLeaveTimer = 0;

template <class F> F Bind(win::HMODULE AModule, const char* AName) {
    return reinterpret_cast<F>(win::GetProcAddress(AModule, AName));
}

// ============================================================================
// Cursor artwork: '.' lets the screen show through, 'X' is black, 'o' white
// ============================================================================

constexpr int CursorSize = 32;

// An arrow with a link's outline below it.
constexpr const char* DragArt[] = {
    "X",
    "XX",
    "XoX",
    "XooX",
    "XoooX",
    "XooooX",
    "XoooooX",
    "XooooooX",
    "XoooooooX",
    "XooooooooX",
    "XoooooXXXXX",
    "XooXooX",
    "XoX.XooX",
    "XX..XooX",
    "X....XooX",
    ".....XooX",
    "......XX",
    "",
    "....XXXXXXXXXXXX",
    "....XooooooooooX",
    "....XooooooooooX",
    "....XooooooooooX",
    "....XooooooooooX",
    "....XXXXXXXXXXXX",
};

// The same with a plus sign beside the link.
constexpr const char* DragCopyArt[] = {
    "X",
    "XX",
    "XoX",
    "XooX",
    "XoooX",
    "XooooX",
    "XoooooX",
    "XooooooX",
    "XoooooooX",
    "XooooooooX",
    "XoooooXXXXX",
    "XooXooX",
    "XoX.XooX",
    "XX..XooX",
    "X....XooX",
    ".....XooX",
    "......XX",
    "",
    "....XXXXXXXXXXXX.XXXXXXXXX",
    "....XooooooooooX.XoooooooX",
    "....XooooooooooX.XoooXoooX",
    "....XooooooooooX.XoooXoooX",
    "....XooooooooooX.XoXXXXXoX",
    "....XXXXXXXXXXXX.XoooXoooX",
    ".................XoooXoooX",
    ".................XoooooooX",
    ".................XXXXXXXXX",
};

// A double arrow across a bar: an edit's width being dragged.
constexpr const char* EditSizingArt[] = {
    ".........XoX",        ".........XoX",        ".........XoX",        "....X....XoX....X",
    "...XX....XoX....XX",  "..XoXXXXXXoXXXXXXoX", ".XooooooooooooooooX", "XoooooooooooooooooooX",
    ".XooooooooooooooooX", "..XoXXXXXXoXXXXXXoX", "...XX....XoX....XX",  "....X....XoX....X",
    ".........XoX",        ".........XoX",        ".........XoX",
};

// One pixel of a monochrome cursor: AND and XOR halves.
struct TCursorPixel {
    bool And = true;
    bool Xor = false;
};

struct TCursorArt {
    TCursorPixel Pixels[CursorSize][CursorSize];
    void Set(int X, int Y, char AInk) {
        if (X < 0 || Y < 0 || X >= CursorSize || Y >= CursorSize || AInk == '.') return;
        Pixels[Y][X] = TCursorPixel{false, AInk == 'o'};
    }
};

template <std::size_t N> TCursorArt ArtFromRows(const char* const (&ARows)[N]) {
    TCursorArt Art;
    for (std::size_t Y = 0; Y < N; ++Y)
        for (int X = 0; ARows[Y][X]; ++X) Art.Set(X, static_cast<int>(Y), ARows[Y][X]);
    return Art;
}

// A ring crossed by a slash, in black with a white rim.
TCursorArt NoDropArt() {
    TCursorArt Art;
    constexpr double C = 10.0;
    for (int Y = 0; Y <= 20; ++Y)
        for (int X = 0; X <= 20; ++X) {
            const double D = std::hypot(X - C, Y - C);
            const bool Slash = D < 8.5 && std::abs(X - Y) <= 1;
            if ((D >= 7.0 && D <= 9.5) || Slash) {
                Art.Set(X, Y, 'X');
            } else if ((D > 9.5 && D <= 10.5) || (D > 6.0 && D < 7.0) || (D < 8.5 && std::abs(X - Y) == 2)) {
                Art.Set(X, Y, 'o');
            }
        }
    return Art;
}

win::HCURSOR MakeCursor(const TCursorArt& AArt, int AHotX, int AHotY) {
    // The AND mask above the XOR mask, in one monochrome bitmap.
    const gfx::MemoryDC Mask(CursorSize, 2 * CursorSize, 1);
    const gfx::COLORREF White = gfx::RGB(255, 255, 255), Black = gfx::RGB(0, 0, 0);
    for (int Y = 0; Y < CursorSize; ++Y)
        for (int X = 0; X < CursorSize; ++X) {
            gfx::SetPixelV(Mask.Handle(), X, Y, AArt.Pixels[Y][X].And ? White : Black);
            gfx::SetPixelV(Mask.Handle(), X, Y + CursorSize, AArt.Pixels[Y][X].Xor ? White : Black);
        }
    gfx::ICONINFO Info;
    Info.fIcon = gfx::FALSE;
    Info.xHotspot = static_cast<gfx::DWORD>(AHotX);
    Info.yHotspot = static_cast<gfx::DWORD>(AHotY);
    Info.hbmMask = Mask.Bitmap();
    return gfx::CreateIconIndirect(&Info);
}

void EnsureCursorResource(win::HMODULE AProgram, const char* AName, const TCursorArt& AArt, int AHotX,
                          int AHotY) {
    if (win::FindResource(AProgram, AName, win::ResType::Cursor)) return;
    const win::HCURSOR Cursor = MakeCursor(AArt, AHotX, AHotY);
    if (Cursor && !win::AddResource(AProgram, win::ResType::Cursor, AName, nullptr, Cursor, {}))
        gfx::DestroyCursor(Cursor);
}

// ============================================================================
// Message pumps and the mouse-leave timer
// ============================================================================

void ProcessMessages(win::UINT AFirst, win::UINT ALast) {
    win::MSG Msg;
    while (win::PeekMessage(&Msg, nullptr, AFirst, ALast, win::PM_NOREMOVE)) {
        const BOOL Result = win::GetMessage(&Msg, nullptr, AFirst, ALast);
        if (Result == -1) return;
        if (Result == 0) {
            win::PostQuitMessage(static_cast<int>(Msg.wParam));
            return;
        }
        win::DispatchMessage(&Msg);
    }
}

void MouseLeaveTimerProc(HWND, win::UINT, win::UINT_PTR, win::DWORD) {
    POINT P;
    win::GetCursorPos(&P);
    if (GLeaveWnd && GetWindowFromScreenPoint(P) != GLeaveWnd) EndMouseLeaveTracking(GLeaveWnd);
}

} // namespace

// ============================================================================
// Entry points, screen and cursors
// ============================================================================

const TUser32EntryPoints& User32EntryPoints() {
    return GUser32;
}

void BindUser32EntryPoints() {
    GUser32 = TUser32EntryPoints{};
    const win::HMODULE Module = win::GetModuleHandle("USER32");
    if (!Module) return;
    GUser32.Module = Module;
    GUser32.TrackMouseEvent = Bind<TTrackMouseEventFunc>(Module, "TrackMouseEvent");
    GUser32.UpdateLayeredWindow = Bind<TUpdateLayeredWindowFunc>(Module, "UpdateLayeredWindow");
    GUser32.AnimateWindow = Bind<TAnimateWindowFunc>(Module, "AnimateWindow");
    GUser32.SetLayeredWindowAttributes =
        Bind<TSetLayeredWindowAttributesFunc>(Module, "SetLayeredWindowAttributes");
}

void ReleaseUser32EntryPoints() {
    GUser32 = TUser32EntryPoints{};
}

void UpdateScreenBitsPerPixel() {
    const gfx::HDC DC = win::GetDC(nullptr);
    GScreenBitsPerPixel = gfx::GetDeviceCaps(DC, gfx::BITSPIXEL);
    win::ReleaseDC(nullptr, DC);
}

int ScreenBitsPerPixel() {
    return GScreenBitsPerPixel;
}

void LoadBarCursors() {
    struct TCursorEntry {
        int Index;
        const char* Name;
        TCursorArt Art;
        int HotX, HotY;
    };
    const TCursorEntry Cursors[] = {
        {crdxBarDrag, "DXBARDRAGCURSOR", ArtFromRows(DragArt), 0, 0},
        {crdxBarDragCopy, "DXBARDRAGCOPYCURSOR", ArtFromRows(DragCopyArt), 0, 0},
        {crdxBarDragNoDrop, "DXBARDRAGNODROPCURSOR", NoDropArt(), 10, 10},
        {crdxBarEditSizing, "DXBAREDITSIZINGCURSOR", ArtFromRows(EditSizingArt), 10, 7},
    };
    const win::HMODULE Program = win::GetModuleHandle(nullptr);
    for (const TCursorEntry& Entry : Cursors) {
        EnsureCursorResource(Program, Entry.Name, Entry.Art, Entry.HotX, Entry.HotY);
        cls::Screen->SetCursors(Entry.Index, win::LoadCursor(Program, Entry.Name));
    }
}

// ============================================================================
// Sounds and fonts
// ============================================================================

bool BarSoundsEnabled() {
    return GBarSoundsEnabled;
}

void SetBarSoundsEnabled(bool Value) {
    GBarSoundsEnabled = Value;
}

void PlayBarSound(int AIndex) {
    static const char* const Aliases[] = {"MenuPopup", "MenuCommand", nullptr};
    constexpr win::DWORD SND_NOWAIT = 0x00002000;
    if (!GBarSoundsEnabled || AIndex < 0 || AIndex >= static_cast<int>(std::size(Aliases))) return;
    win::PlaySound(Aliases[AIndex], nullptr,
                   win::SND_ALIAS | win::SND_NODEFAULT | win::SND_ASYNC | SND_NOWAIT);
}

void StopBarSound() {
    PlayBarSound(BarSoundStop);
}

void CreateBarFontHandle(cls::TFont* AFont, win::HFONT& AHandle, bool AUseIconTitleHeight) {
    if (AHandle) gfx::DeleteObject(AHandle);
    AHandle = nullptr;
    gfx::LOGFONT Font;
    gfx::GetObject(AFont->Handle(), sizeof Font, &Font);
    gfx::LOGFONT IconTitle;
    if (AUseIconTitleHeight &&
        win::SystemParametersInfo(win::SPI_GETICONTITLELOGFONT, sizeof IconTitle, &IconTitle, 0)) {
        // Menus stay readable with a tiny icon-title font.
        Font.lfHeight = std::min(IconTitle.lfHeight, -11);
    }
    AHandle = gfx::CreateFontIndirect(&Font);
}

win::HFONT CopyFontHandle(cls::TFont* AFont) {
    gfx::LOGFONT Font;
    gfx::GetObject(AFont->Handle(), sizeof Font, &Font);
    return gfx::CreateFontIndirect(&Font);
}

// ============================================================================
// Message pumps, mouse tracking and layered windows
// ============================================================================

void ProcessPaintMessages() {
    ProcessMessages(win::WM_PAINT, win::WM_PAINT);
}

void ProcessMouseMessages() {
    ProcessMessages(win::WM_MOUSEFIRST, win::WM_MOUSEWHEEL);
}

bool IsTrackingMouseLeave(HWND AWnd) {
    if (!AWnd) return false;
    if (GUser32.TrackMouseEvent) {
        win::TRACKMOUSEEVENT Track;
        Track.dwFlags = win::TME_QUERY;
        Track.hwndTrack = AWnd;
        return GUser32.TrackMouseEvent(&Track) && Track.hwndTrack == AWnd && (Track.dwFlags & win::TME_LEAVE);
    }
    return AWnd == GLeaveWnd;
}

void BeginMouseLeaveTracking(HWND AWnd) {
    if (!AWnd || IsTrackingMouseLeave(AWnd)) return;
    if (GUser32.TrackMouseEvent) {
        win::TRACKMOUSEEVENT Track;
        Track.dwFlags = win::TME_LEAVE;
        Track.hwndTrack = AWnd;
        GUser32.TrackMouseEvent(&Track);
        return;
    }
    if (GLeaveWnd) EndMouseLeaveTracking(GLeaveWnd);
    GLeaveWnd = AWnd;
    GLeaveTimer = win::SetTimer(nullptr, 0, 50, &MouseLeaveTimerProc);
}

void EndMouseLeaveTracking(HWND AWnd) {
    if (!IsTrackingMouseLeave(AWnd)) return;
    if (GUser32.TrackMouseEvent) {
        win::TRACKMOUSEEVENT Track;
        Track.dwFlags = win::TME_CANCEL | win::TME_LEAVE;
        Track.hwndTrack = AWnd;
        GUser32.TrackMouseEvent(&Track);
    } else {
        win::KillTimer(nullptr, GLeaveTimer);
        GLeaveTimer = 0;
        GLeaveWnd = nullptr;
    }
    win::SendMessage(AWnd, win::WM_MOUSELEAVE, 0, 0);
}

void SetLayeredWindowAlpha(HWND AWnd, BYTE AAlpha) {
    if (!GUser32.SetLayeredWindowAttributes) return;
    const win::LONG_PTR ExStyle = win::GetWindowLongPtr(AWnd, win::GWL_EXSTYLE);
    if (AAlpha < 255) {
        if (!(ExStyle & win::WS_EX_LAYERED))
            win::SetWindowLongPtr(AWnd, win::GWL_EXSTYLE, ExStyle | win::WS_EX_LAYERED);
        GUser32.SetLayeredWindowAttributes(AWnd, 0, AAlpha, win::LWA_ALPHA);
    } else if (ExStyle & win::WS_EX_LAYERED) {
        win::SetWindowLongPtr(AWnd, win::GWL_EXSTYLE,
                              ExStyle & ~static_cast<win::LONG_PTR>(win::WS_EX_LAYERED));
        win::RedrawWindow(AWnd, nullptr, nullptr,
                          win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_FRAME | win::RDW_ALLCHILDREN);
    }
}

// ============================================================================
// Windows and the mouse
// ============================================================================

bool IsWindowAncestor(HWND AWnd, HWND AAncestor) {
    if (!AAncestor) return false;
    for (HWND Wnd = win::GetParent(AWnd); Wnd; Wnd = win::GetParent(Wnd))
        if (Wnd == AAncestor) return true;
    return false;
}

HWND GetDeepestChildAtPoint(HWND AWnd, POINT AScreenPoint) {
    HWND Wnd = AWnd;
    while (Wnd) {
        POINT P = AScreenPoint;
        win::MapWindowPoints(nullptr, Wnd, &P, 1);
        const HWND Child = win::ChildWindowFromPointEx(Wnd, P, win::CWP_SKIPINVISIBLE);
        if (!Child || Child == Wnd) break;
        Wnd = Child;
    }
    return Wnd;
}

HWND GetWindowFromScreenPoint(POINT P) {
    return GetDeepestChildAtPoint(win::WindowFromPoint(P), P);
}

cls::TWinControl* FindControlOfWindow(HWND AWnd) {
    for (HWND Wnd = AWnd; Wnd; Wnd = win::GetParent(Wnd))
        if (cls::TWinControl* Control = cls::FindControl(Wnd)) return Control;
    return nullptr;
}

void GetWorkAreaFromPoint(POINT P, RECT& R) {
    lf::GetMonitorWorkAreaAtPoint(P, R);
}

bool IsPrimaryMouseButtonDown() {
    const int Key = win::GetSystemMetrics(win::SM_SWAPBUTTON) ? win::VK_RBUTTON : win::VK_LBUTTON;
    return win::GetAsyncKeyState(Key) < 0;
}

bool IsSecondaryMouseButtonDown() {
    const int Key = win::GetSystemMetrics(win::SM_SWAPBUTTON) ? win::VK_LBUTTON : win::VK_RBUTTON;
    return win::GetAsyncKeyState(Key) < 0;
}

// ============================================================================
// Items and texts
// ============================================================================

TdxBarItemVisible BooleanToItemVisible(bool Value) {
    return Value ? ivAlways : ivNever;
}

std::string GetUniqueItemName(TdxBarManager* ABarManager, cls::TClass AItemClass) {
    const std::string Base = AItemClass->ClassName().substr(1);
    auto Used = [ABarManager](const std::string& AName) {
        if (!ABarManager) return false;
        for (int I = 0; I < ABarManager->ItemCount(); ++I)
            if (cls::AnsiSameText(ABarManager->Items(I)->Name(), AName)) return true;
        return false;
    };
    for (int Number = 1;; ++Number) {
        std::string Name = Base + std::to_string(Number);
        if (!Used(Name)) return Name;
    }
}

void CheckItemLinkWidth(int& AWidth) {
    if (AWidth < 20) AWidth = 20;
}

std::string RemoveAccelChars(const std::string& S) {
    std::string Result = S;
    for (std::size_t I = 0; I + 1 < Result.size(); ++I)
        if (Result[I] == '&') Result.erase(I, 1);
    return Result;
}

void BarManagerDesignerModified(TdxBarManager* ABarManager) {
    if (ABarManager) ABarManager->DesignerModified();
}

} // namespace bars
