// Renders a gallery of the drawing layer to a PNG file: text in Latin and
// Cyrillic at several sizes and weights, rotated text, accelerators,
// gradients, 3-D edges, frame controls, regions and alpha blending.

#include "gfx/draw.h"
#include "gfx/gdi.h"
#include "gfx/png.h"
#include "support/session.h"

#include <cstdio>
#include <filesystem>
#include <string>

using namespace gfx;

namespace {

constexpr int kWidth = 960;
constexpr int kHeight = 640;

HFONT MakeFont(int height, int weight, bool italic = false, int escapement = 0, const char* face = "Tahoma") {
    return CreateFont(-height, 0, escapement, escapement, weight, italic, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                      face);
}

void Heading(HDC dc, int x, int y, const char* text) {
    HFONT f = MakeFont(13, FW_BOLD);
    HGDIOBJ old = SelectObject(dc, f);
    SetTextColor(dc, RGB(10, 36, 106));
    TextOut(dc, x, y, text);
    SelectObject(dc, old);
    DeleteObject(f);
    SetTextColor(dc, RGB(0, 0, 0));
}

void TextSection(HDC dc) {
    Heading(dc, 16, 12, "Text");
    const struct {
        int size, weight;
        bool italic;
        const char* text;
    } lines[] = {
        {9, FW_NORMAL, false, "Open  Close  About  Exit — 9 px"},
        {11, FW_NORMAL, false, "Открыть  Закрыть  О программе  Выход — 11 px"},
        {13, FW_BOLD, false, "Bold 13 px: The quick brown fox jumps over the lazy dog"},
        {16, FW_NORMAL, true, "Italic 16 px: Съешь же ещё этих булок"},
        {22, FW_BOLD, false, "Trestle 22 px Жирный"},
    };
    int y = 36;
    SetBkMode(dc, TRANSPARENT);
    for (const auto& l : lines) {
        HFONT f = MakeFont(l.size, l.weight, l.italic);
        HGDIOBJ old = SelectObject(dc, f);
        TextOut(dc, 16, y, l.text);
        TEXTMETRIC tm;
        GetTextMetrics(dc, &tm);
        y += tm.tmHeight + 4;
        SelectObject(dc, old);
        DeleteObject(f);
    }

    // Accelerators: "&&" shows one ampersand, a single "&" underlines the next character.
    HFONT f = MakeFont(11, FW_NORMAL);
    HGDIOBJ old = SelectObject(dc, f);
    const char* menu[] = {"&Открыть", "&Закрыть", "О &программе...", "В&ыход", "Save && &Quit"};
    RECT r{16, y + 6, 240, y + 24};
    for (const char* m : menu) {
        DrawText(dc, m, -1, &r, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
        OffsetRect(&r, 0, 18);
    }
    RECT box{260, y + 6, 460, y + 96};
    FrameRect(dc, &box, handle_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    InflateRect(&box, -4, -4);
    DrawText(dc, "Word break and an end ellipsis: this line is far too long to fit in its box, so it wraps.",
             -1, &box, DT_WORDBREAK);
    RECT ell{260, y + 102, 460, y + 120};
    DrawText(dc, "An ellipsis ends a line that does not fit", -1, &ell, DT_SINGLELINE | DT_END_ELLIPSIS);
    SelectObject(dc, old);
    DeleteObject(f);

    // Rotated text.
    HFONT up = MakeFont(13, FW_NORMAL, false, 900);
    old = SelectObject(dc, up);
    TextOut(dc, 478, 300, "Rotated 90°");
    SelectObject(dc, old);
    DeleteObject(up);
    HFONT down = MakeFont(13, FW_NORMAL, false, 2700);
    old = SelectObject(dc, down);
    TextOut(dc, 515, 40, "Повёрнутый 270°");
    SelectObject(dc, old);
    DeleteObject(down);
    SetBkMode(dc, OPAQUE);
}

void GradientSection(HDC dc) {
    Heading(dc, 540, 12, "Gradients and alpha blending");
    TRIVERTEX v[2] = {{540, 36, 0xFF00, 0xEE00, 0xC200, 0}, {760, 66, 0xFE00, 0x8000, 0x3E00, 0}};
    GRADIENT_RECT gr{0, 1};
    GradientFill(dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_H);
    TRIVERTEX w[2] = {{770, 36, 0xDD00, 0xEC00, 0xFE00, 0}, {940, 120, 0x8100, 0xA900, 0xE200, 0}};
    GradientFill(dc, w, 2, &gr, 1, GRADIENT_FILL_RECT_V);

    // A checkerboard under translucent squares: constant and per-pixel alpha.
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 22; ++x) {
            RECT c{540 + x * 10, 76 + y * 10, 550 + x * 10, 86 + y * 10};
            FillRect(dc, &c, handle_cast<HBRUSH>(GetStockObject((x + y) % 2 ? LTGRAY_BRUSH : WHITE_BRUSH)));
        }
    BITMAPINFO bi{};
    bi.bmiHeader.biWidth = 60;
    bi.bmiHeader.biHeight = -60;
    void* bits = nullptr;
    const MemoryDC mem = MemoryDC::Adopt(CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), dc);
    auto* px = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            const std::uint32_t a = static_cast<std::uint32_t>(x * 255 / 59);
            // Premultiplied blue fading in from left to right.
            px[y * 60 + x] = (a << 24) | (a * 0 / 255 << 16) | (a * 90 / 255 << 8) | (a * 200 / 255);
        }
    BLENDFUNCTION perPixel{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, 545, 80, 60, 60, mem.Handle(), 0, 0, 60, 60, perPixel);
    HBRUSH red = CreateSolidBrush(RGB(220, 30, 30));
    RECT all{0, 0, 60, 60};
    FillRect(mem.Handle(), &all, red);
    BLENDFUNCTION constant{AC_SRC_OVER, 0, 128, 0};
    AlphaBlend(dc, 620, 80, 60, 60, mem.Handle(), 0, 0, 60, 60, constant);
    DeleteObject(red);
}

void EdgeSection(HDC dc) {
    Heading(dc, 16, 330, "3-D edges and frame controls");
    RECT panel{16, 352, 520, 500};
    FillRect(dc, &panel, handle_from_int<HBRUSH>(COLOR_BTNFACE + 1));
    const UINT edges[] = {EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED, EDGE_BUMP, BDR_RAISEDINNER, BDR_SUNKENOUTER};
    int x = 28;
    for (UINT e : edges) {
        RECT r{x, 364, x + 64, 404};
        DrawEdge(dc, &r, e, BF_RECT);
        x += 80;
    }
    const struct {
        UINT type, state;
    } controls[] = {
        {DFC_BUTTON, DFCS_BUTTONPUSH},
        {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED},
        {DFC_BUTTON, DFCS_BUTTONCHECK},
        {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED},
        {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED},
        {DFC_CAPTION, DFCS_CAPTIONCLOSE},
        {DFC_CAPTION, DFCS_CAPTIONMIN},
        {DFC_CAPTION, DFCS_CAPTIONMAX},
        {DFC_CAPTION, DFCS_CAPTIONRESTORE},
        {DFC_CAPTION, DFCS_CAPTIONHELP},
        {DFC_SCROLL, DFCS_SCROLLUP},
        {DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_INACTIVE},
        {DFC_SCROLL, DFCS_SCROLLSIZEGRIP},
        {DFC_MENU, DFCS_MENUCHECK},
        {DFC_MENU, DFCS_MENUARROW},
        {DFC_MENU, DFCS_MENUBULLET},
    };
    x = 28;
    for (const auto& c : controls) {
        RECT r{x, 420, x + 20, 440};
        DrawFrameControl(dc, &r, c.type, c.state);
        x += 30;
    }
    RECT focus{28, 456, 200, 480};
    DrawFocusRect(dc, &focus);
}

void RegionSection(HDC dc) {
    Heading(dc, 540, 330, "Regions, clipping and shapes");
    HRGN a = CreateEllipticRgn(550, 356, 650, 456);
    HRGN b = CreateRectRgn(600, 380, 720, 480);
    HRGN x = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(x, a, b, RGN_XOR);
    HBRUSH teal = CreateSolidBrush(RGB(0, 128, 128));
    FillRgn(dc, x, teal);
    FrameRgn(dc, x, handle_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 1, 1);

    const POINT star[5] = {{800, 356}, {830, 460}, {745, 395}, {855, 395}, {770, 460}};
    HRGN s = CreatePolygonRgn(star, 5, WINDING);
    {
        const SavedDC saved(dc);
        SelectClipRgn(dc, s);
        TRIVERTEX v[2] = {{740, 350, 0xFF00, 0x2000, 0x2000, 0}, {860, 470, 0x2000, 0x2000, 0xFF00, 0}};
        GRADIENT_RECT gr{0, 1};
        GradientFill(dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_V);
    }

    HBRUSH gold = CreateSolidBrush(RGB(255, 208, 145));
    HGDIOBJ oldBrush = SelectObject(dc, gold);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 128));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    RoundRect(dc, 560, 500, 680, 560, 16, 16);
    Ellipse(dc, 700, 500, 820, 560);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    for (HRGN r : {a, b, x, s}) DeleteObject(r);
    for (HBRUSH br : {teal, gold}) DeleteObject(br);
    DeleteObject(pen);
}

} // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : "out/gallery.png";
    BITMAPINFO bi{};
    bi.bmiHeader.biWidth = kWidth;
    bi.bmiHeader.biHeight = -kHeight;
    void* bits = nullptr;
    const MemoryDC canvas =
        MemoryDC::Adopt(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    const HDC dc = canvas.Handle();
    RECT all{0, 0, kWidth, kHeight};
    FillRect(dc, &all, handle_from_int<HBRUSH>(COLOR_WINDOW + 1));

    TextSection(dc);
    GradientSection(dc);
    EdgeSection(dc);
    RegionSection(dc);

    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (!SaveBitmapToPng(canvas.Bitmap(), path)) {
        std::fprintf(stderr, "gallery: could not write %s\n", path.c_str());
        return 1;
    }
    std::printf("gallery: wrote %s\n", path.c_str());
    // With a display the picture also shows until its form is closed.
    example::ShowPicture(path, "Gallery");
    return 0;
}
