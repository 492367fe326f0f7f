#include "lookandfeel/colors.h"

#include "classes/graphics.h"
#include "lookandfeel/theme.h"
#include "win/user.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>

namespace lf {

using gfx::COLORREF;
using gfx::RGB;

namespace {

int ClampChannel(int AValue) {
    return std::clamp(AValue, 0, 255);
}

struct TChannels {
    int R, G, B;
};

TChannels ChannelsOf(TColor AColor) {
    const COLORREF C = gfx::ColorToRGB(AColor);
    return {gfx::GetRValue(C), gfx::GetGValue(C), gfx::GetBValue(C)};
}

// --- The colours of the three theme schemes (index = scheme - 1) ---

struct TThemedRow {
    COLORREF BarColor1, BarColor2, DockColor1, DockColor2, BarEdgeColor, MenuColor, MenuBorderColor,
        MenuSeparatorColor, SeparatorLightColor, SelectedFrameColor, ToolbarColor, DetachBarColor,
        FloatingFrameColor, FloatingFrameInnerColor, ImageFadeColor, MarkNormalA, MarkNormalB, MarkBase;
};

constexpr TThemedRow ThemedRows[3] = {
    {RGB(221, 236, 254), RGB(129, 169, 226), RGB(158, 190, 245), RGB(195, 218, 249), RGB(59, 97, 156),
     RGB(246, 246, 246), RGB(0, 45, 150), RGB(106, 140, 203), RGB(241, 249, 255), RGB(0, 0, 128),
     RGB(203, 225, 252), RGB(169, 199, 240), RGB(42, 102, 201), RGB(196, 219, 249), RGB(117, 166, 241),
     RGB(117, 166, 241), RGB(0, 53, 145), RGB(123, 164, 224)},
    {RGB(244, 247, 222), RGB(183, 198, 145), RGB(217, 217, 167), RGB(242, 240, 228), RGB(96, 128, 88),
     RGB(244, 244, 238), RGB(117, 141, 94), RGB(96, 128, 88), RGB(244, 247, 222), RGB(63, 93, 56),
     RGB(216, 227, 182), RGB(197, 212, 159), RGB(116, 134, 94), RGB(225, 222, 173), RGB(176, 194, 140),
     RGB(176, 194, 140), RGB(96, 119, 107), RGB(181, 196, 143)},
    {RGB(243, 244, 250), RGB(153, 151, 181), RGB(215, 215, 229), RGB(243, 243, 247), RGB(124, 124, 148),
     RGB(253, 250, 255), RGB(124, 124, 148), RGB(110, 109, 143), RGB(255, 255, 255), RGB(75, 75, 111),
     RGB(214, 211, 231), RGB(192, 192, 211), RGB(122, 121, 153), RGB(219, 218, 228), RGB(179, 178, 200),
     RGB(179, 178, 200), RGB(118, 116, 146), RGB(147, 145, 176)},
};

constexpr COLORREF ThemedHotColor = RGB(255, 238, 194);
constexpr COLORREF ThemedDownColor = RGB(254, 128, 62);
constexpr COLORREF ThemedCheckedColor = RGB(255, 192, 111);
constexpr COLORREF ThemedHotGradientColor1 = RGB(255, 244, 204);
constexpr COLORREF ThemedHotGradientColor2 = RGB(255, 208, 145);
constexpr COLORREF ThemedDownGradientColor1 = RGB(255, 211, 142);
constexpr COLORREF ThemedDownGradientColor2 = RGB(254, 145, 78);
constexpr COLORREF ThemedDisabledTextColor = RGB(141, 141, 141);
constexpr COLORREF ThemedMarkHotA = RGB(255, 248, 211);
constexpr COLORREF ThemedMarkHotB = RGB(255, 193, 118);
constexpr COLORREF ThemedMarkPressedA = RGB(254, 149, 82);
constexpr COLORREF ThemedMarkPressedB = RGB(255, 221, 152);

TColor Themed(COLORREF AColor) {
    return static_cast<TColor>(AColor);
}

// --- Scheme state ---

struct TSchemeState {
    TOffice11Colors Colors;
    bool Built = false;
    // The mark's colours follow the scheme; made when first asked for.
    TOffice11MarkColors MarkColors{};
    bool MarkColorsBuilt = false;
    int RefCount = 0;
};

TSchemeState& Scheme() {
    static TSchemeState State;
    return State;
}

void BuildColors(TOffice11Colors& C, int AScheme) {
    C.Scheme = AScheme;
    if (AScheme >= 1 && AScheme <= 3) {
        const TThemedRow& Row = ThemedRows[AScheme - 1];
        C.BarColor1 = Themed(Row.BarColor1);
        C.BarColor2 = Themed(Row.BarColor2);
        C.DockColor1 = Themed(Row.DockColor1);
        C.DockColor2 = Themed(Row.DockColor2);
        C.BarEdgeColor = Themed(Row.BarEdgeColor);
        C.MenuColor = Themed(Row.MenuColor);
        C.MenuBorderColor = Themed(Row.MenuBorderColor);
        C.MenuSeparatorColor = Themed(Row.MenuSeparatorColor);
        C.SeparatorLightColor = Themed(Row.SeparatorLightColor);
        C.SelectedFrameColor = Themed(Row.SelectedFrameColor);
        C.HotColor = Themed(ThemedHotColor);
        C.DownColor = Themed(ThemedDownColor);
        C.CheckedColor = Themed(ThemedCheckedColor);
        C.HotGradientColor1 = Themed(ThemedHotGradientColor1);
        C.HotGradientColor2 = Themed(ThemedHotGradientColor2);
        C.DownGradientColor1 = Themed(ThemedDownGradientColor1);
        C.DownGradientColor2 = Themed(ThemedDownGradientColor2);
        C.ToolbarColor = Themed(Row.ToolbarColor);
        C.DetachBarColor = Themed(Row.DetachBarColor);
        C.TextColor = gfx::clBlack;
        C.DisabledTextColor = Themed(ThemedDisabledTextColor);
        C.CaptionTextColor = gfx::clWhite;
        C.FloatingFrameColor = Themed(Row.FloatingFrameColor);
        C.FloatingFrameInnerColor = Themed(Row.FloatingFrameInnerColor);
        C.CloseButtonHotColor = gfx::clBlack;
        C.ImageFadeColor = Themed(Row.ImageFadeColor);
        C.MarkArrowColor = gfx::clWhite;
        C.MarkArrowShadowColor = gfx::clBlack;
    } else {
        C.BarColor1 = MixColors(gfx::clBtnFace, gfx::clWindow, 22);
        C.BarColor2 = MixColors(gfx::clBtnFace, gfx::clWindow, 96);
        C.DockColor1 = gfx::clBtnFace;
        C.DockColor2 = MixColors(gfx::clBtnFace, gfx::clWindow, 20);
        C.BarEdgeColor = MixColors(gfx::clBtnFace, gfx::clWindow, 85);
        C.MenuColor = gfx::clWindow;
        C.MenuBorderColor = gfx::clBtnShadow;
        C.MenuSeparatorColor = MixColors(gfx::clBtnShadow, gfx::clWindow, 70);
        C.SeparatorLightColor = gfx::clWhite;
        C.SelectedFrameColor = gfx::clHighlight;
        C.HotColor = GetNearestScreenColor(MixSystemColors(-2, 30, 72));
        C.DownColor = GetNearestScreenColor(MixSystemColors(14, 44, 40));
        C.CheckedColor = MixSystemColors(41, 11, 48);
        C.HotGradientColor1 = C.HotColor;
        C.HotGradientColor2 = C.HotColor;
        C.DownGradientColor1 = C.DownColor;
        C.DownGradientColor2 = C.DownColor;
        C.ToolbarColor = C.BarColor2;
        C.DetachBarColor = C.ToolbarColor;
        C.TextColor = gfx::clBtnText;
        C.DisabledTextColor = gfx::clGrayText;
        C.CaptionTextColor = gfx::clBtnHighlight;
        C.FloatingFrameColor = gfx::clBtnShadow;
        C.FloatingFrameInnerColor = C.BarColor2;
        C.CloseButtonHotColor = gfx::clBtnText;
        C.ImageFadeColor = MixColors(gfx::clBtnShadow, gfx::clWindow, 74);
        C.MarkArrowColor = gfx::clWindow;
        C.MarkArrowShadowColor = gfx::clBtnText;
    }
    C.MenuBandColor1 = C.BarColor1;
    C.GripColor = C.BarColor1;
    C.OpenItemColor1 = C.BarColor1;
    C.MenuBandColor2 = C.BarColor2;
    C.OpenItemColor2 = C.BarColor2;
    C.MenuBandDarkColor1 = MixColors(C.MenuBandColor1, gfx::clBlack, 92);
    C.MenuBandDarkColor2 = MixColors(C.MenuBandColor2, gfx::clBlack, 92);
    C.ProgressColor = C.DockColor1;
    C.SelectedTextColor = C.CaptionTextColor;
    C.CaptionColor = C.FloatingFrameColor;
    C.CloseButtonDownColor = C.CloseButtonHotColor;
}

std::array<HBRUSH*, 11> BrushFields(TOffice11Colors& C) {
    return {&C.MenuBrush,          &C.MenuBorderBrush, &C.MenuSeparatorBrush, &C.SeparatorLightBrush,
            &C.SelectedFrameBrush, &C.HotBrush,        &C.DownBrush,          &C.CheckedBrush,
            &C.ToolbarBrush,       &C.DetachBarBrush,  &C.BarEdgeBrush};
}

void FreeBrushes() {
    for (HBRUSH* Brush : BrushFields(Scheme().Colors)) {
        if (*Brush) gfx::DeleteObject(*Brush);
        *Brush = nullptr;
    }
}

void CreateBrushes() {
    FreeBrushes();
    TOffice11Colors& C = Scheme().Colors;
    auto Make = [](TColor AColor) { return gfx::CreateSolidBrush(gfx::ColorToRGB(AColor)); };
    C.MenuBrush = Make(C.MenuColor);
    C.MenuBorderBrush = Make(C.MenuBorderColor);
    C.MenuSeparatorBrush = Make(C.MenuSeparatorColor);
    C.SeparatorLightBrush = Make(C.SeparatorLightColor);
    C.SelectedFrameBrush = Make(C.SelectedFrameColor);
    C.HotBrush = Make(C.HotColor);
    C.DownBrush = Make(C.DownColor);
    C.CheckedBrush = Make(C.CheckedColor);
    C.ToolbarBrush = Make(C.ToolbarColor);
    C.DetachBarBrush = Make(C.DetachBarColor);
    C.BarEdgeBrush = Make(C.BarEdgeColor);
}

// --- The expand bitmap ---

constexpr const char* SubMenuExpandName = "DXSUBMENUEXPAND";
constexpr const char* SubMenuExpandArt[] = {
    "XX...XX", //
    ".XX.XX.", //
    "..XXX..", //
    "...X...", //
    "XX...XX", //
    ".XX.XX.", //
    "..XXX..", //
    "...X...", //
};

// Our own artwork goes into the program's resources unless the program
// brings a bitmap of that name.
void EnsureSubMenuExpandResource() {
    const win::HMODULE Program = win::GetModuleHandle(nullptr);
    if (win::FindResource(Program, SubMenuExpandName, win::ResType::Bitmap)) return;
    constexpr int Width = 7;
    constexpr int Height = static_cast<int>(std::size(SubMenuExpandArt));
    std::uint32_t Pixels[Width * Height];
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Width; ++X) Pixels[Y * Width + X] = SubMenuExpandArt[Y][X] == 'X' ? 0 : 0xFFFFFF;
    gfx::HBITMAP Art = gfx::CreateBitmap(Width, Height, 1, 32, Pixels);
    if (Art && !win::AddResource(Program, win::ResType::Bitmap, SubMenuExpandName, Art, nullptr, {}))
        gfx::DeleteObject(Art);
}

cls::TBitmap* LoadSubMenuExpandBitmap() {
    EnsureSubMenuExpandResource();
    gfx::HBITMAP Handle = win::LoadBitmap(win::GetModuleHandle(nullptr), SubMenuExpandName);
    if (!Handle) return nullptr;
    auto* Bitmap = new cls::TBitmap();
    Bitmap->SetHandle(Handle);
    Bitmap->SetTransparent(true);
    return Bitmap;
}

std::string UpperAscii(std::string S) {
    for (char& Ch : S) Ch = static_cast<char>(std::toupper(static_cast<unsigned char>(Ch)));
    return S;
}

// Which scheme the active visual style calls for (0 without one).
int DetectOffice11Scheme() {
    if (!AreVisualStylesAvailable()) return 0;
    char FileName[260];
    char ColorName[260];
    if (win::FAILED(
            win::GetCurrentThemeName(FileName, sizeof FileName, ColorName, sizeof ColorName, nullptr, 0)))
        return 0;
    std::string File = UpperAscii(FileName);
    const std::size_t Slash = File.find_last_of("\\/");
    if (Slash != std::string::npos) File.erase(0, Slash + 1);
    if (File != "LUNA.MSSTYLES") return 0;
    const std::string Color = UpperAscii(ColorName);
    if (Color == "NORMALCOLOR") return 1;
    if (Color == "HOMESTEAD") return 2;
    if (Color == "METALLIC") return 3;
    return 0;
}

} // namespace

// ============================================================================
// Mixing
// ============================================================================

TColor GetNearestScreenColor(TColor AColor) {
    const COLORREF C = gfx::ColorToRGB(AColor);
    gfx::HDC DC = win::GetDC(nullptr);
    if (!DC) return static_cast<TColor>(C & 0xFFFFFF);
    const COLORREF Nearest = gfx::GetNearestColor(DC, C);
    win::ReleaseDC(nullptr, DC);
    return static_cast<TColor>((Nearest == gfx::CLR_INVALID ? C : Nearest) & 0xFFFFFF);
}

TColor MixColors(TColor AColor1, TColor AColor2, int APercent) {
    const TChannels C1 = ChannelsOf(AColor1), C2 = ChannelsOf(AColor2);
    auto Mix = [APercent](int A, int B) { return ClampChannel((A * APercent + B * (100 - APercent)) / 100); };
    return GetNearestScreenColor(static_cast<TColor>(RGB(Mix(C1.R, C2.R), Mix(C1.G, C2.G), Mix(C1.B, C2.B))));
}

TColor MixSystemColors(int ABtnFacePart, int AHighlightPart, int AWindowPart) {
    if (IsHighContrastBlack() || IsHighContrastWhite()) return gfx::clHighlight;
    const TChannels F = ChannelsOf(gfx::clBtnFace), H = ChannelsOf(gfx::clHighlight),
                    W = ChannelsOf(gfx::clWindow);
    auto Mix = [&](int AFace, int AHighlight, int AWindow) {
        return ClampChannel((AFace * ABtnFacePart + AHighlight * AHighlightPart + AWindow * AWindowPart) /
                            100);
    };
    return static_cast<TColor>(RGB(Mix(F.R, H.R, W.R), Mix(F.G, H.G, W.G), Mix(F.B, H.B, W.B)));
}

// ============================================================================
// High contrast
// ============================================================================

bool IsHighContrastWhite() {
    return gfx::ColorToRGB(gfx::clBtnFace) == RGB(255, 255, 255);
}

bool IsHighContrastBlack() {
    return gfx::ColorToRGB(gfx::clBtnFace) == RGB(0, 0, 0);
}

bool IsHighContrastColoredText() {
    return IsHighContrastBlack() && gfx::ColorToRGB(gfx::clBtnText) != RGB(255, 255, 255);
}

// ============================================================================
// The Office11 scheme
// ============================================================================

const TOffice11Colors& Office11Colors() {
    TSchemeState& S = Scheme();
    if (!S.Built) {
        BuildColors(S.Colors, DetectOffice11Scheme());
        S.Built = true;
        S.MarkColorsBuilt = false;
    }
    return S.Colors;
}

bool IsOffice11SchemeActive() {
    return AreVisualStylesAvailable() && Office11Colors().Scheme != 0;
}

void RefreshOffice11Colors() {
    TSchemeState& S = Scheme();
    BuildColors(S.Colors, DetectOffice11Scheme());
    S.Built = true;
    S.MarkColorsBuilt = false;
    if (S.RefCount > 0) CreateBrushes();
}

void AddRefOffice11Colors() {
    TSchemeState& S = Scheme();
    if (++S.RefCount > 1) return;
    RefreshOffice11Colors();
    S.Colors.SubMenuExpandBitmap = LoadSubMenuExpandBitmap();
}

void ReleaseOffice11Colors() {
    TSchemeState& S = Scheme();
    if (S.RefCount == 0 || --S.RefCount > 0) return;
    FreeBrushes();
    delete S.Colors.SubMenuExpandBitmap;
    S.Colors.SubMenuExpandBitmap = nullptr;
}

int Office11ColorsRefCount() {
    return Scheme().RefCount;
}

TOffice11MarkColors Office11MarkColors() {
    // Mixed on the screen like the scheme's other colours, and kept with them
    // (every toolbar frame asks for them).
    const TOffice11Colors& C = Office11Colors();
    TSchemeState& S = Scheme();
    if (S.MarkColorsBuilt) return S.MarkColors;
    TOffice11MarkColors& M = S.MarkColors;
    M = TOffice11MarkColors{};
    if (C.Scheme >= 1 && C.Scheme <= 3) {
        const TThemedRow& Row = ThemedRows[C.Scheme - 1];
        M[msNormal][0] = Themed(Row.MarkNormalA);
        M[msNormal][1] = Themed(Row.MarkNormalB);
        M[msHot][0] = Themed(ThemedMarkHotA);
        M[msHot][1] = Themed(ThemedMarkHotB);
        M[msPressed][0] = Themed(ThemedMarkPressedA);
        M[msPressed][1] = Themed(ThemedMarkPressedB);
        for (auto& State : M) {
            State[2] = MixColors(State[0], C.BarColor1, 90);
            State[3] = MixColors(State[1], Themed(Row.MarkBase), 50);
        }
    } else {
        M[msNormal][0] = MixColors(gfx::clBtnShadow, gfx::clWindow, 74);
        M[msNormal][1] = gfx::clBtnShadow;
        M[msHot][0] = M[msHot][1] = GetNearestScreenColor(MixSystemColors(-15, 29, 86));
        M[msPressed][0] = M[msPressed][1] = GetNearestScreenColor(MixSystemColors(42, 11, 47));
        for (auto& State : M) {
            State[2] = MixColors(State[1], gfx::clWindow, 50);
            State[3] = MixColors(State[1], gfx::clBtnFace, 50);
        }
    }
    S.MarkColorsBuilt = true;
    return M;
}

} // namespace lf
