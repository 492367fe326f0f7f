// What the painter tests share: the painter of each style, a bar window
// whose answers to the painter the test sets (it records what it is asked to
// fill and draw), buttons linked into it with their item controls, the tray
// menu, and drawing surfaces with the colours and pictures they are read by.
#pragma once

#include "bars/barcontrol.h"
#include "bars/button.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "bars/painters/flat_painter.h"
#include "bars/painters/office11_painter.h"
#include "bars/painters/painter.h"
#include "bars/painters/standard_painter.h"
#include "classes/graphics.h"
#include "fixture.h"
#include "gfx/test_util.h"
#include "win/driver.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace bars::test {

using gfx::COLORREF;
using gfx::RECT;
using gfx::RGB;
using gfx::test::DibDC;

// Background and brush colours that no scheme draws with.
constexpr COLORREF Green = RGB(0, 160, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Yellow = RGB(255, 255, 0);

inline TdxBarItemControlPainterClass Standard() {
    return TdxBarItemControlStandardPainter::Class();
}
inline TdxBarItemControlPainterClass Enhanced() {
    return TdxBarItemControlEnhancedPainter::Class();
}
inline TdxBarItemControlPainterClass Flat() {
    return TdxBarItemControlFlatPainter::Class();
}
inline TdxBarItemControlPainterClass Office11() {
    return TdxBarItemControlOffice11Painter::Class();
}

class TestBarWindow : public TCustomdxBarControl {
public:
    explicit TestBarWindow(cls::TComponent* AOwner) : TCustomdxBarControl(AOwner) {}

    struct TFill {
        gfx::RECT R;
        gfx::HBRUSH Brush;
        bool ItemControlDrawing;
    };

    void SetMarkState(int AState) override { SetMarkStateValue(AState); }
    bool IsMenuWindow() const override { return Menu; }
    bool HasHiddenLinks() const override { return HiddenLinks; }
    bool IsMainMenuBar() const override { return MainMenu; }
    bool HasCaptionCloseButton() const override { return CloseButton; }
    bool HasCaptionMark() const override { return CaptionMark; }
    void GetCaptionMarkRect(gfx::RECT& R) const override { R = MarkRect; }
    void DrawCaptionCloseButton(gfx::HDC, const gfx::RECT& R) override { CloseButtons.push_back(R); }
    void DrawCaptionMark(gfx::HDC) override { ++MarksDrawn; }
    void FillBackground(gfx::HDC DC, const gfx::RECT& R, gfx::HBRUSH ABrush, gfx::TColor AColor) override {
        Fills.push_back({R, ABrush, ItemControlDrawing()});
        TCustomdxBarControl::FillBackground(DC, R, ABrush, AColor);
    }

    bool Menu = false;
    bool HiddenLinks = false;
    bool MainMenu = false;
    bool CloseButton = false;
    bool CaptionMark = false;
    gfx::RECT MarkRect{};
    std::vector<TFill> Fills;
    std::vector<gfx::RECT> CloseButtons;
    int MarksDrawn = 0;

protected:
    // A top-level window of its own, so that it can measure its font.
    void CreateParams(cls::TCreateParams& Params) override {
        TCustomdxBarControl::CreateParams(Params);
        Params.Style = win::WS_POPUP;
        Params.WndParent = nullptr;
    }
};

class PainterFixture : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        Window = new TestBarWindow(Manager);
        Window->SetItemLinks(Bar->ItemLinks());
    }
    void TearDown() override {
        Window->DestroyControls();
        delete Window;
        ManagerTest::TearDown();
    }

    TdxBarItemControlPainterClass Painter() const { return TdxBarItemControlPainter::Class(); }

    // A button linked into the window, with its item control.
    TdxBarItemControl* AddButton(const std::string& ACaption, cls::TBitmap* AGlyph = nullptr) {
        auto* Button = new TdxBarButton(Form);
        Button->SetCaption(ACaption);
        if (AGlyph) Button->SetGlyph(AGlyph);
        return ControlOf(Bar->ItemLinks()->Add(Button));
    }
    static TdxBarItemControl* ControlOf(TdxBarItemLink* ALink) {
        if (!ALink->Control()) ALink->CreateControl();
        return ALink->Control();
    }

    // A W x H glyph: fuchsia (transparent) around a red square one pixel in.
    static std::unique_ptr<cls::TBitmap> RedSquareGlyph(int W, int H) {
        auto Glyph = std::make_unique<cls::TBitmap>(W, H);
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X)
                Glyph->Canvas()->SetPixels(
                    X, Y, X > 0 && Y > 0 && X < W - 1 && Y < H - 1 ? cls::clRed : cls::clFuchsia);
        return Glyph;
    }

    TestBarWindow* Window = nullptr;
};

// The tray icon's menu: Открыть, Справка with its sub menu, a separator, Выход.
class TrayMenuTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        Links = Popup->ItemLinks();
        AddButton(Links, "&Открыть");
        TdxBarSubItem* Help = AddSubItem(Links, "&Справка");
        AddButton(Help->ItemLinks(), "&О программе...");
        AddButton(Links, "В&ыход", true);
    }
    // The menu shown, Открыть under the mouse.
    TdxBarSubMenuControl* ShowTray() {
        TdxBarSubMenuControl* Menu = ShowMenu(Links);
        Hover("&Открыть");
        return Menu;
    }
    static RECT RectOf(const std::string& ACaption) {
        TdxBarItemLink* Link = FindLink(ACaption);
        return Link ? RECT(Link->ItemRect()) : RECT{};
    }

    TdxBarItemLinks* Links = nullptr;
};

// The screen's pixel at a point of a window's client area.
inline COLORREF ClientPixel(TCustomdxBarControl* AWindow, int X, int Y) {
    win::POINT P{X, Y};
    win::ClientToScreen(AWindow->Handle(), &P);
    return win::ScreenPixel(P);
}

// A font selected into a DC for a test's lifetime.
class SelectedFont {
public:
    SelectedFont(gfx::HDC DC, int AHeight, int AEscapement = 0) : FDC(DC) {
        gfx::LOGFONT LF{};
        LF.lfHeight = AHeight;
        LF.lfEscapement = AEscapement;
        LF.lfOrientation = AEscapement;
        LF.lfWeight = gfx::FW_BOLD;
        std::snprintf(LF.lfFaceName, sizeof LF.lfFaceName, "%s", "DejaVu Sans");
        FFont = gfx::CreateFontIndirect(&LF);
        FOld = gfx::SelectObject(DC, FFont);
    }
    ~SelectedFont() {
        gfx::SelectObject(FDC, FOld);
        gfx::DeleteObject(FFont);
    }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;

private:
    gfx::HDC FDC;
    gfx::HFONT FFont;
    gfx::HGDIOBJ FOld;
};

inline gfx::COLORREF SysRGB(int AIndex) {
    return gfx::GetSysColor(AIndex);
}

// Rows of characters, one per colour of the legend ('?' for any other).
inline std::string Picture(const gfx::test::DibDC& S, const gfx::RECT& R,
                           const std::vector<std::pair<gfx::COLORREF, char>>& ALegend) {
    std::string Out;
    for (int Y = R.top; Y < R.bottom; ++Y) {
        for (int X = R.left; X < R.right; ++X) {
            char C = '?';
            for (const auto& [Color, Char] : ALegend)
                if (S.At(X, Y) == Color) {
                    C = Char;
                    break;
                }
            Out += C;
        }
        Out += '\n';
    }
    return Out;
}

// The bounds of the pixels of APart for which AIs holds (empty if none).
template <class TPredicate> RECT BoundsWhere(const RECT& APart, TPredicate AIs) {
    RECT R{APart.right, APart.bottom, APart.left, APart.top};
    for (int Y = APart.top; Y < APart.bottom; ++Y)
        for (int X = APart.left; X < APart.right; ++X)
            if (AIs(X, Y)) {
                R.left = std::min<int>(R.left, X);
                R.top = std::min<int>(R.top, Y);
                R.right = std::max<int>(R.right, X + 1);
                R.bottom = std::max<int>(R.bottom, Y + 1);
            }
    return R.left < R.right ? R : RECT{};
}

// The bounds of the pixels in which two surfaces of one size differ.
inline RECT DiffBounds(const DibDC& A, const DibDC& B) {
    return BoundsWhere(RECT{0, 0, A.width(), A.height()},
                       [&](int X, int Y) { return A.At(X, Y) != B.At(X, Y); });
}

inline int CountColor(const DibDC& S, COLORREF AColor) {
    int N = 0;
    for (int Y = 0; Y < S.height(); ++Y)
        for (int X = 0; X < S.width(); ++X) N += S.At(X, Y) == AColor;
    return N;
}

// The bounds of the pixels of a colour, within APart or the whole surface.
inline RECT ColorBounds(const DibDC& S, COLORREF AColor, const RECT& APart) {
    return BoundsWhere(APart, [&](int X, int Y) { return S.At(X, Y) == AColor; });
}
inline RECT ColorBounds(const DibDC& S, COLORREF AColor) {
    return ColorBounds(S, AColor, RECT{0, 0, S.width(), S.height()});
}

inline std::string Rows(std::initializer_list<const char*> ARows) {
    std::string Out;
    for (const char* Row : ARows) (Out += Row) += '\n';
    return Out;
}

} // namespace bars::test
