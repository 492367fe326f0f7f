#include "icons.h"

#include <array>
#include <cstddef>

namespace toolbars {

namespace {

using cls::TColor;

// A pixel map: one letter per pixel, '.' transparent.
using TPixmap = std::array<const char*, 16>;

constexpr TColor kTransparent = cls::clFuchsia;

TColor ColorOf(char Letter) {
    switch (Letter) {
        case 'k':
            return static_cast<TColor>(gfx::RGB(0, 0, 0));
        case 'd':
            return static_cast<TColor>(gfx::RGB(70, 70, 70));
        case 'g':
            return static_cast<TColor>(gfx::RGB(128, 128, 128));
        case 'l':
            return static_cast<TColor>(gfx::RGB(196, 196, 196));
        case 'w':
            return static_cast<TColor>(gfx::RGB(255, 255, 255));
        case 'b':
            return static_cast<TColor>(gfx::RGB(24, 72, 168));
        case 'c':
            return static_cast<TColor>(gfx::RGB(120, 170, 235));
        case 'e':
            return static_cast<TColor>(gfx::RGB(230, 236, 245));
        case 'y':
            return static_cast<TColor>(gfx::RGB(255, 222, 110));
        case 'o':
            return static_cast<TColor>(gfx::RGB(230, 170, 50));
        case 'm':
            return static_cast<TColor>(gfx::RGB(150, 96, 30));
        case 'r':
            return static_cast<TColor>(gfx::RGB(200, 40, 40));
        case 'n':
            return static_cast<TColor>(gfx::RGB(40, 140, 60));
        default:
            return kTransparent;
    }
}

// The pictures in the order of TIcon, without icRedo (Undo mirrored).
constexpr TPixmap kPixmaps[] = {
    // icNew
    {
        "................",
        "..gggggggg......",
        "..gwwwwwwgg.....",
        "..gwwwwwwglg....",
        "..gwwwwwwgllg...",
        "..gwwwwwwggggg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gwwwwwwwwwwg..",
        "..gggggggggggg..",
        "................",
    },
    // icOpen
    {
        "................",
        "................",
        ".mmmmm..........",
        "moooooommmmmmm..",
        "mooooooooooooom.",
        "mooommmmmmmmmmmm",
        "moomyyyyyyyyyyym",
        "moomyyyyyyyyyym.",
        "momyyyyyyyyyyym.",
        "momyyyyyyyyyym..",
        "mmyyyyyyyyyyym..",
        "mmyyyyyyyyyym...",
        "myyyyyyyyyyym...",
        "mmmmmmmmmmmm....",
        "................",
        "................",
    },
    // icSave
    {
        "................",
        ".bbbbbbbbbbbbbb.",
        ".bcbwwwwwwwwbcb.",
        ".bcbwwwwwwwwbcb.",
        ".bcbwggggggwbcb.",
        ".bcbwwwwwwwwbcb.",
        ".bcbwggggggwbcb.",
        ".bccbbbbbbbbccb.",
        ".bccccccccccccb.",
        ".bcccllllllcccb.",
        ".bcccldlllllccb.",
        ".bcccldlllllccb.",
        ".bcccldlllllccb.",
        ".bcccllllllcccb.",
        ".bbbbbbbbbbbbbb.",
        "................",
    },
    // icPrint
    {
        "................",
        "....gggggggg....",
        "....gwwwwwwg....",
        "....gwggggwg....",
        "....gwwwwwwg....",
        "..dddddddddddd..",
        ".dllllllllllllld",
        ".dlllllllllnnlld",
        ".dllllllllllllld",
        ".dddddddddddddd.",
        ".dlgwwwwwwwwglld",
        ".ddgwggggggwgddd",
        "...gwwwwwwwwg...",
        "...gwggggggwg...",
        "...gggggggggg...",
        "................",
    },
    // icPreview
    {
        "................",
        ".ggggggggg......",
        ".gwwwwwwwgg.....",
        ".gwggggwwglg....",
        ".gwwwwwwwgggg...",
        ".gwgggbbbbwwg...",
        ".gwwwbcccebwg...",
        ".gwggbcceebwg...",
        ".gwwwbccccbwg...",
        ".gwggbccccbwg...",
        ".gwwwwbbbbddg...",
        ".gggggggggggdd..",
        ".............dd.",
        "..............dd",
        "................",
        "................",
    },
    // icCut
    {
        "................",
        "...g.......g....",
        "...dg.....gd....",
        "....dg...gd.....",
        "....dg...gd.....",
        ".....dg.gd......",
        ".....dggd.......",
        "......dd........",
        ".....bddb.......",
        "....bb..bb......",
        "..bbbb..bbbb....",
        ".bb..b..b..bb...",
        ".b...b..b...b...",
        ".bb.bb..bb.bb...",
        "..bbb....bbb....",
        "................",
    },
    // icCopy
    {
        "................",
        "gggggggg........",
        "gwwwwwwgg.......",
        "gwggggwglg......",
        "gwwwwwwgggg.....",
        "gwgggggggggggg..",
        "gwwwwwgwwwwwwgg.",
        "gwgggggwggggwglg",
        "gwwwwwgwwwwwwggg",
        "gwggggggggggwwwg",
        "gwwwwwgwwwwwwwwg",
        "ggggggggggggggwg",
        "......gwwwwwwwwg",
        "......gwggggggwg",
        "......gwwwwwwwwg",
        "......gggggggggg",
    },
    // icPaste
    {
        "................",
        ".....dddddd.....",
        ".mmmmdllllddmmm.",
        ".moodllllllldom.",
        ".moodddddddddom.",
        ".mooooooooooooom",
        ".mooooggggggggg.",
        ".mooooglwwwwwwg.",
        ".moooogwggggwwg.",
        ".mooooglwwwwwwg.",
        ".moooogwggggggg.",
        ".mooooglwwwwwwg.",
        ".moooogwggggwwg.",
        ".mmmmmglwwwwwwg.",
        "......ggggggggg.",
        "................",
    },
    // icUndo
    {
        "................",
        "................",
        "................",
        "....b...........",
        "...bb...........",
        "..bcbbbbbbb.....",
        ".bcccccccccbb...",
        "..bcbbbbbbbccb..",
        "...bb......bcb..",
        "....b.......bcb.",
        "............bcb.",
        "............bcb.",
        "...........bcb..",
        ".........bbcb...",
        ".........bbb....",
        "................",
    },
    // icBold
    {
        "................",
        "................",
        "...kkkkkkkk.....",
        "....kkk..kkk....",
        "....kkk...kkk...",
        "....kkk...kkk...",
        "....kkk..kkk....",
        "....kkkkkkk.....",
        "....kkk...kkk...",
        "....kkk....kkk..",
        "....kkk....kkk..",
        "....kkk...kkk...",
        "...kkkkkkkkk....",
        "................",
        "................",
        "................",
    },
    // icItalic
    {
        "................",
        "................",
        ".......kkkkkk...",
        ".........kk.....",
        ".........kk.....",
        "........kk......",
        "........kk......",
        ".......kk.......",
        ".......kk.......",
        "......kk........",
        "......kk........",
        ".....kk.........",
        "...kkkkkk.......",
        "................",
        "................",
        "................",
    },
    // icUnderline
    {
        "................",
        "................",
        "...kkkk..kkkk...",
        "....kk....kk....",
        "....kk....kk....",
        "....kk....kk....",
        "....kk....kk....",
        "....kk....kk....",
        "....kk....kk....",
        "....kk....kk....",
        ".....kk..kk.....",
        "......kkkk......",
        "................",
        "..kkkkkkkkkkkk..",
        "................",
        "................",
    },
    // icAlignLeft
    {
        "................",
        "................",
        "..kkkkkkkkkkkk..",
        "................",
        "..kkkkkkkk......",
        "................",
        "..kkkkkkkkkkkk..",
        "................",
        "..kkkkkkkk......",
        "................",
        "..kkkkkkkkkkkk..",
        "................",
        "..kkkkkkkk......",
        "................",
        "................",
        "................",
    },
    // icAlignCenter
    {
        "................",
        "................",
        "..kkkkkkkkkkkk..",
        "................",
        "....kkkkkkkk....",
        "................",
        "..kkkkkkkkkkkk..",
        "................",
        "....kkkkkkkk....",
        "................",
        "..kkkkkkkkkkkk..",
        "................",
        "....kkkkkkkk....",
        "................",
        "................",
        "................",
    },
    // icAlignRight
    {
        "................",
        "................",
        "..kkkkkkkkkkkk..",
        "................",
        "......kkkkkkkk..",
        "................",
        "..kkkkkkkkkkkk..",
        "................",
        "......kkkkkkkk..",
        "................",
        "..kkkkkkkkkkkk..",
        "................",
        "......kkkkkkkk..",
        "................",
        "................",
        "................",
    },
    // icFind
    {
        "................",
        ".....gggg.......",
        "...gglllegg.....",
        "..glleeewwlg....",
        "..gleeeewwlg....",
        ".glleeeeewllg...",
        ".gleeeeeeeelg...",
        ".glleeeeeellg...",
        "..glleeeellg....",
        "..gglllllgdd....",
        "....gggggddd....",
        "..........ddd...",
        "...........ddd..",
        "............ddd.",
        ".............dd.",
        "................",
    },
    // icReplace
    {
        "................",
        ".kkk.....bb.....",
        "k...k......b....",
        "k...k......b....",
        "kkkkk....bbbbb..",
        "k...k.....bbb...",
        "k...k......b....",
        "................",
        ".......b........",
        "......bbb...rrr.",
        ".....bbbbb.r...r",
        ".......b...r....",
        "........b..r...r",
        "..........r.rrr.",
        "................",
        "................",
    },
    // icPointer
    {
        "................",
        "...k............",
        "...kk...........",
        "...kwk..........",
        "...kwwk.........",
        "...kwwwk........",
        "...kwwwwk.......",
        "...kwwwwwk......",
        "...kwwwwwwk.....",
        "...kwwwwkkkk....",
        "...kwwkwk.......",
        "...kwk.kwk......",
        "...kk..kwk......",
        "...k....kwk.....",
        "........kk......",
        "................",
    },
    // icLine
    {
        "................",
        "................",
        ".............bb.",
        "............bbb.",
        "...........bbb..",
        "..........bbb...",
        ".........bbb....",
        "........bbb.....",
        ".......bbb......",
        "......bbb.......",
        ".....bbb........",
        "....bbb.........",
        "...bbb..........",
        "..bbb...........",
        "..bb............",
        "................",
    },
    // icRectangle
    {
        "................",
        "................",
        "................",
        ".bbbbbbbbbbbbbb.",
        ".bccccccccccccb.",
        ".bccccccccccccb.",
        ".bccccccccccccb.",
        ".bccccccccccccb.",
        ".bccccccccccccb.",
        ".bccccccccccccb.",
        ".bccccccccccccb.",
        ".bccccccccccccb.",
        ".bbbbbbbbbbbbbb.",
        "................",
        "................",
        "................",
    },
    // icEllipse
    {
        "................",
        "................",
        "................",
        ".....bbbbbb.....",
        "...bbccccccbb...",
        "..bccccccccccb..",
        ".bccccccccccccb.",
        ".bccccccccccccb.",
        ".bccccccccccccb.",
        ".bccccccccccccb.",
        "..bccccccccccb..",
        "...bbccccccbb...",
        ".....bbbbbb.....",
        "................",
        "................",
        "................",
    },
    // icText
    {
        "................",
        "................",
        "......bbb.......",
        "......bbb.......",
        ".....bb.bb......",
        ".....bb.bb......",
        "....bb...bb.....",
        "....bb...bb.....",
        "...bbbbbbbbb....",
        "...bb.....bb....",
        "..bb.......bb...",
        "..bb.......bb...",
        ".bbbb.....bbbb..",
        "................",
        "..kkkkkkkkkkkk..",
        "................",
    },
    // icZoomIn
    {
        "................",
        ".....gggg.......",
        "...gglllegg.....",
        "..gllewwwelg....",
        "..glewnnewlg....",
        ".glleennneelg...",
        ".glnnnnnnnnlg...",
        ".gllnnnnnnllg...",
        "..gleennneelg...",
        "..gglennelldd...",
        "....gggggddd....",
        "..........ddd...",
        "...........ddd..",
        "............ddd.",
        ".............dd.",
        "................",
    },
    // icZoomOut
    {
        "................",
        ".....gggg.......",
        "...gglllegg.....",
        "..gllewwwelg....",
        "..gleeeeewlg....",
        ".glleeeeeeelg...",
        ".glnnnnnnnnlg...",
        ".gllnnnnnnllg...",
        "..gleeeeeeelg...",
        "..gglleeeelldd..",
        "....gggggddd....",
        "..........ddd...",
        "...........ddd..",
        "............ddd.",
        ".............dd.",
        "................",
    },
    // icHelp
    {
        "................",
        ".....bbbbbb.....",
        "...bbccccccbb...",
        "..bcccwwwwcccb..",
        "..bccwwccwwccb..",
        ".bcccccccwwcccb.",
        ".bccccccwwccccb.",
        ".bcccccwwcccccb.",
        ".bcccccwwcccccb.",
        ".bccccccccccccb.",
        "..bccccwwccccb..",
        "..bccccwwccccb..",
        "...bbccccccbb...",
        ".....bbbbbb.....",
        "................",
        "................",
    },
    // icCase: a capital and a small letter
    {
        "................",
        "................",
        "....kk..........",
        "....kk..........",
        "...k..k.........",
        "...k..k.........",
        "..kk..kk........",
        "..k....k..bbbb..",
        "..kkkkkk.b....b.",
        ".k......k.....b.",
        ".k......k..bbbb.",
        "kk......kkb...b.",
        "k........kb..bb.",
        "k........k.bb.bb",
        "................",
        "................",
    },
};

static_assert(std::size(kPixmaps) == icFirstSwatch - 1);

void DrawPixmap(cls::TCanvas* Canvas, int Left, const TPixmap& Pixmap, bool Mirror) {
    for (int Y = 0; Y < 16; ++Y)
        for (int X = 0; X < 16; ++X) {
            const char Letter = Pixmap[static_cast<std::size_t>(Y)][Mirror ? 15 - X : X];
            if (Letter != '.') Canvas->SetPixels(Left + X, Y, ColorOf(Letter));
        }
}

void DrawSwatch(cls::TCanvas* Canvas, int Left, TColor Color) {
    Canvas->Pen()->SetColor(static_cast<TColor>(gfx::RGB(128, 128, 128)));
    Canvas->Brush()->SetColor(Color);
    Canvas->Rectangle(Left + 1, 2, Left + 15, 14);
}

} // namespace

void AddIcons(cls::TCustomImageList* Images, std::span<const TColor> Swatches) {
    const int Count = static_cast<int>(Swatches.size());
    const int Total = icFirstSwatch + Count;
    cls::TBitmap Strip(16 * Total, 16);
    cls::TCanvas* Canvas = Strip.Canvas();
    Canvas->Brush()->SetColor(kTransparent);
    Canvas->FillRect(cls::TRect{0, 0, Strip.Width(), 16});
    for (int Icon = 0; Icon < icFirstSwatch; ++Icon) {
        const bool Redo = Icon == icRedo;
        const int Picture = Icon < icRedo ? Icon : Icon - 1;
        DrawPixmap(Canvas, 16 * Icon, kPixmaps[Redo ? icUndo : Picture], Redo);
    }
    for (int I = 0; I < Count; ++I)
        DrawSwatch(Canvas, 16 * (icFirstSwatch + I), Swatches[static_cast<std::size_t>(I)]);
    Images->AddMasked(&Strip, kTransparent);
}

} // namespace toolbars
