// The theme's pictures, drawn in code: rounded, gradient-filled buttons on
// a warm beige (blue and olive schemes) or cool grey (silver) face, with the
// scheme's own colour on combo and spin buttons and on the window buttons.
#include "win/theme_parts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

namespace win::detail {

namespace {

// The colours of one scheme.
struct Palette {
    COLORREF face;
    COLORREF dots;
    COLORREF separator;
    // Toolbar buttons.
    COLORREF hotBorder, hotTop, hotBottom;
    COLORREF downBorder, downTop, downBottom;
    COLORREF checkedFill;
    // Combo and spin buttons.
    COLORREF dropBorder, dropTop, dropBottom, dropArrow;
    // Window buttons; the close button of the blue and olive schemes is red.
    COLORREF captionBorder, captionTop, captionBottom, captionGlyph;
    COLORREF closeTop, closeBottom, closeGlyph;
    COLORREF editBorder;
    COLORREF buttonBorder;
    COLORREF checkMark;
    COLORREF chunkLight, chunkDark;
    COLORREF progressBorder;
};

constexpr Palette BluePalette{RGB(236, 233, 216), RGB(193, 190, 177), RGB(197, 194, 184), RGB(206, 204, 190),
                              RGB(255, 255, 255), RGB(240, 238, 229), RGB(160, 157, 142), RGB(218, 215, 200),
                              RGB(241, 239, 231), RGB(250, 249, 245), RGB(177, 199, 245), RGB(225, 235, 254),
                              RGB(171, 196, 247), RGB(77, 97, 133),   RGB(255, 255, 255), RGB(112, 160, 255),
                              RGB(22, 83, 228),   RGB(255, 255, 255), RGB(233, 128, 100), RGB(196, 56, 24),
                              RGB(255, 255, 255), RGB(127, 157, 185), RGB(0, 60, 116),    RGB(33, 161, 33),
                              RGB(190, 245, 186), RGB(40, 190, 40),   RGB(104, 104, 104)};

constexpr Palette OlivePalette{RGB(236, 233, 216), RGB(193, 190, 177), RGB(197, 194, 184), RGB(206, 204, 190),
                               RGB(255, 255, 255), RGB(240, 238, 229), RGB(160, 157, 142), RGB(218, 215, 200),
                               RGB(241, 239, 231), RGB(250, 249, 245), RGB(160, 178, 116), RGB(207, 221, 165),
                               RGB(139, 161, 95),  RGB(255, 255, 255), RGB(255, 255, 255), RGB(198, 214, 150),
                               RGB(118, 143, 80),  RGB(255, 255, 255), RGB(233, 128, 100), RGB(196, 56, 24),
                               RGB(255, 255, 255), RGB(164, 185, 127), RGB(55, 98, 6),     RGB(76, 129, 24),
                               RGB(190, 245, 186), RGB(40, 190, 40),   RGB(104, 104, 104)};

constexpr Palette SilverPalette{
    RGB(224, 223, 227), RGB(172, 171, 184), RGB(174, 173, 186), RGB(186, 185, 200), RGB(255, 255, 255),
    RGB(232, 232, 238), RGB(148, 147, 166), RGB(206, 205, 216), RGB(236, 235, 241), RGB(248, 248, 251),
    RGB(178, 177, 196), RGB(255, 255, 255), RGB(206, 206, 220), RGB(72, 72, 96),    RGB(128, 127, 150),
    RGB(255, 255, 255), RGB(192, 191, 210), RGB(70, 70, 94),    RGB(255, 255, 255), RGB(192, 191, 210),
    RGB(70, 70, 94),    RGB(165, 172, 178), RGB(84, 84, 112),   RGB(64, 96, 166),   RGB(190, 245, 186),
    RGB(40, 190, 40),   RGB(110, 110, 128)};

const Palette& PaletteOf(ThemeScheme scheme) {
    switch (scheme) {
        case ThemeScheme::Olive:
            return OlivePalette;
        case ThemeScheme::Silver:
            return SilverPalette;
        default:
            return BluePalette;
    }
}

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF HotRingOuter = RGB(255, 240, 207), HotRingInner = RGB(229, 151, 0);
constexpr COLORREF DefaultRingOuter = RGB(206, 231, 255), DefaultRingInner = RGB(105, 130, 238);
constexpr COLORREF DisabledBorder = RGB(201, 199, 186), DisabledFill = RGB(245, 244, 234);
constexpr COLORREF DisabledText = RGB(161, 161, 146);

float F(int v) {
    return static_cast<float>(v);
}

// --- Shared pieces ---

// A rounded button face with its border.
void Face(Art& art, float radius, const ArtPaint& fill, COLORREF border) {
    art.FillRound(art.Bounds(), radius, fill);
    art.FrameRound(art.Bounds(), radius, 1, border);
}

// Grip dots: 2 x 2 squares with a light one a pixel lower right, every 4 pixels.
void Dot(Art& art, int x, int y, COLORREF dark) {
    art.Fill(x + 1, y + 1, x + 3, y + 3, {White});
    art.Fill(x, y, x + 2, y + 2, {dark});
}

// A column of grip dots centred across the width.
void DotColumn(Art& art, COLORREF dark) {
    const int x = (art.Width() - 3) / 2;
    const int count = std::max(0, (art.Height() - 4) / 4);
    const int top = (art.Height() - count * 4) / 2;
    for (int i = 0; i < count; ++i) Dot(art, x, top + i * 4, dark);
}

// The triangle of dots of a size grip, pointing into the bottom-right corner.
void GripTriangle(Art& art, COLORREF dark) {
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col <= row; ++col)
            Dot(art, art.Width() - 4 - col * 4, art.Height() - 12 + row * 4, dark);
}

// A chevron-like arrow of two strokes centred in the art; dir 0 down, 1 up,
// 2 right, 3 left.
void Chevron(Art& art, int dir, float half, COLORREF color) {
    const float cx = F(art.Width()) / 2, cy = F(art.Height()) / 2;
    const float h = half / 2;
    ArtPoint a, b, c;
    switch (dir) {
        case 0:
            a = {cx - half, cy - h}, b = {cx, cy + h}, c = {cx + half, cy - h};
            break;
        case 1:
            a = {cx - half, cy + h}, b = {cx, cy - h}, c = {cx + half, cy + h};
            break;
        case 2:
            a = {cx - h, cy - half}, b = {cx + h, cy}, c = {cx - h, cy + half};
            break;
        default:
            a = {cx + h, cy - half}, b = {cx - h, cy}, c = {cx + h, cy + half};
            break;
    }
    art.Line(a, b, 2, {color});
    art.Line(b, c, 2, {color});
}

// --- Classes ---

void ToolBarButton(Art& art, const Palette& p, int state) {
    switch (state) {
        case TS_HOT:
            Face(art, 3, ArtPaint::Vertical(p.hotTop, p.hotBottom), p.hotBorder);
            break;
        case TS_PRESSED:
            Face(art, 3, ArtPaint::Vertical(p.downTop, p.downBottom), p.downBorder);
            break;
        case TS_CHECKED:
            Face(art, 3, p.checkedFill, p.downBorder);
            break;
        case TS_HOTCHECKED:
            Face(art, 3, ArtPaint::Vertical(p.checkedFill, p.hotBottom), p.downBorder);
            break;
        default: // normal and disabled buttons show the bar beneath
            break;
    }
}

void ToolBarPart(Art& art, const Palette& p, int part, int state) {
    if (part == TP_SEPARATOR || part == TP_SEPARATORVERT) {
        Art line(part == TP_SEPARATOR ? art.Height() : art.Width(),
                 part == TP_SEPARATOR ? art.Width() : art.Height());
        const int y = (line.Height() - 2) / 2;
        line.Fill(2, y, line.Width() - 2, y + 1, {p.separator});
        line.Fill(2, y + 1, line.Width() - 2, y + 2, {White});
        art = part == TP_SEPARATOR ? line.Transposed() : line;
        return;
    }
    ToolBarButton(art, p, state);
}

void WindowGlyph(Art& art, int part, COLORREF color) {
    const float w = F(art.Width()), h = F(art.Height());
    const float t = std::max(1.5f, w / 8);
    if (part == WP_MDIMINBUTTON) {
        art.FillRound({w * 0.28f, h * 0.64f, w * 0.62f, h * 0.64f + t + 0.5f}, 0, {color});
    } else if (part == WP_MDIRESTOREBUTTON) {
        const ArtRect back{w * 0.40f, h * 0.24f, w * 0.76f, h * 0.58f};
        const ArtRect front{w * 0.24f, h * 0.42f, w * 0.60f, h * 0.76f};
        art.FrameRound(back, 0, 1, {color});
        art.FillRound({back.left, back.top, back.right, back.top + 2}, 0, {color});
        art.FillRound(front.Inflated(-1), 0, ArtPaint({{0, {color, 0}}}));
        art.FrameRound(front, 0, 1, {color});
        art.FillRound({front.left, front.top, front.right, front.top + 2}, 0, {color});
    } else {
        art.Line({w * 0.30f, h * 0.30f}, {w * 0.70f, h * 0.70f}, t, {color});
        art.Line({w * 0.70f, h * 0.30f}, {w * 0.30f, h * 0.70f}, t, {color});
    }
}

void WindowPart(Art& art, const Palette& p, int part, int state) {
    const bool close = part == WP_SMALLCLOSEBUTTON || part == WP_MDICLOSEBUTTON;
    COLORREF top = close ? p.closeTop : p.captionTop;
    COLORREF bottom = close ? p.closeBottom : p.captionBottom;
    COLORREF glyph = close ? p.closeGlyph : p.captionGlyph;
    float opacity = 1.0f;
    switch (state) {
        case CBS_HOT:
            top = Mix(White, top, 30);
            bottom = Mix(White, bottom, 25);
            break;
        case CBS_PUSHED:
            std::swap(top, bottom);
            top = Mix(Black, top, 15);
            break;
        case CBS_DISABLED:
            opacity = 0.45f;
            break;
        default:
            break;
    }
    const ArtRect all = art.Bounds();
    art.FillRound(all, 3, ArtPaint({{0, {top, opacity}}, {1, {bottom, opacity}}}));
    // A soft light along the upper edge.
    art.FillRound({all.left + 2, all.top + 1, all.right - 2, all.top + all.Height() / 3}, 2,
                  ArtPaint({{0, {White, 0.35f * opacity}}, {1, {White, 0}}}));
    art.FrameRound(all, 3, 1, ArtColor{p.captionBorder, opacity});
    WindowGlyph(art, part, glyph);
}

void DropButton(Art& art, const Palette& p, int state, int arrowDir) {
    COLORREF top = p.dropTop, bottom = p.dropBottom, border = p.dropBorder, arrow = p.dropArrow;
    switch (state) {
        case 2: // hot
            top = Mix(White, top, 40);
            bottom = Mix(White, bottom, 30);
            break;
        case 3: // pressed
            top = Mix(Black, p.dropBottom, 12);
            bottom = p.dropTop;
            break;
        case 4: // disabled
            top = RGB(247, 246, 241), bottom = RGB(233, 231, 222), border = RGB(232, 230, 221);
            arrow = DisabledBorder;
            break;
        default:
            break;
    }
    Face(art, 2, ArtPaint::Vertical(top, bottom), border);
    const float half = std::clamp(F(std::min(art.Width(), art.Height())) / 4.5f, 2.0f, 4.0f);
    Chevron(art, arrowDir, half, arrow);
}

void EditPart(Art& art, const Palette& p, int state) {
    const bool disabled = state == ETS_DISABLED;
    const COLORREF fill = disabled ? DisabledFill : White;
    art.FillRound(art.Bounds(), 0, fill);
    art.FrameRound(art.Bounds(), 0, 1, disabled ? DisabledBorder : p.editBorder);
}

void ProgressBar(Art& art, const Palette& p) {
    art.FillRound(art.Bounds(), 3,
                  ArtPaint({{0, {RGB(238, 238, 238)}}, {0.3f, {White}}, {1, {RGB(246, 246, 246)}}}));
    art.FrameRound(art.Bounds(), 3, 1, p.progressBorder);
}

void ProgressChunks(Art& art, const Palette& p) {
    const ArtPaint green(
        {{0, {p.chunkLight}}, {0.45f, {p.chunkDark}}, {0.55f, {p.chunkDark}}, {1, {p.chunkLight}}});
    for (int x = 0; x < art.Width(); x += 8)
        art.FillRound({F(x), 0, F(std::min(x + 6, art.Width())), F(art.Height())}, 0, green);
}

void PushButton(Art& art, const Palette& p, int state) {
    const ArtRect all = art.Bounds();
    if (state == PBS_DISABLED) {
        Face(art, 3, DisabledFill, DisabledBorder);
        return;
    }
    const ArtPaint fill =
        state == PBS_PRESSED
            ? ArtPaint({{0, {RGB(226, 225, 218)}}, {1, {RGB(242, 241, 238)}}})
            : ArtPaint({{0, {White}}, {0.7f, {RGB(240, 240, 234)}}, {1, {RGB(214, 208, 197)}}});
    art.FillRound(all, 3, fill);
    if (state == PBS_HOT || state == PBS_DEFAULTED)
        art.FrameRound(all.Inflated(-1), 2, 2,
                       state == PBS_HOT ? ArtPaint::Vertical(HotRingOuter, HotRingInner)
                                        : ArtPaint::Vertical(DefaultRingOuter, DefaultRingInner));
    art.FrameRound(all, 3, 1, p.buttonBorder);
}

void CheckBox(Art& art, const Palette& p, int state) {
    const int look = (state - 1) % 4; // normal, hot, pressed, disabled
    const int mark = (state - 1) / 4; // unchecked, checked, mixed
    const ArtRect all = art.Bounds();
    if (look == 3) {
        art.FillRound(all, 0, White);
        art.FrameRound(all, 0, 1, DisabledBorder);
    } else {
        art.FillRound(all, 0,
                      look == 2 ? ArtPaint::Vertical(RGB(176, 176, 167), RGB(250, 250, 245))
                                : ArtPaint::Vertical(RGB(220, 220, 215), White));
        if (look == 1) art.FrameRound(all.Inflated(-1), 0, 2, ArtPaint::Vertical(HotRingOuter, HotRingInner));
        art.FrameRound(all, 0, 1, p.buttonBorder);
    }
    const COLORREF ink = look == 3 ? DisabledBorder : p.checkMark;
    const float s = all.Width() / 13;
    if (mark == 1) {
        art.Line({3.5f * s, 6.0f * s}, {5.5f * s, 8.5f * s}, 2 * s, {ink});
        art.Line({5.5f * s, 8.5f * s}, {9.8f * s, 3.8f * s}, 2 * s, {ink});
    } else if (mark == 2) {
        art.FillRound({3 * s, 3 * s, 10 * s, 10 * s}, 0, ink);
    }
}

// --- Part tables ---

constexpr RECT Margins(int all) {
    return RECT{all, all, all, all};
}

} // namespace

bool FindThemeClass(std::string_view name, ThemeClass* themeClass) {
    static constexpr std::array<std::pair<std::string_view, ThemeClass>, 10> Names{{
        {"button", ThemeClass::Button},
        {"combobox", ThemeClass::ComboBox},
        {"edit", ThemeClass::Edit},
        {"progress", ThemeClass::Progress},
        {"rebar", ThemeClass::Rebar},
        {"scrollbar", ThemeClass::ScrollBar},
        {"spin", ThemeClass::Spin},
        {"status", ThemeClass::Status},
        {"toolbar", ThemeClass::ToolBar},
        {"window", ThemeClass::Window},
    }};
    for (const auto& [known, value] : Names) {
        if (known.size() != name.size()) continue;
        if (!std::equal(known.begin(), known.end(), name.begin(),
                        [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); }))
            continue;
        *themeClass = value;
        return true;
    }
    return false;
}

bool GetThemePartInfo(ThemeClass themeClass, int part, int state, ThemePartInfo* info) {
    ThemePartInfo i;
    auto states = [&](int last) { return state >= 0 && state <= last; };
    auto sized = [&](int w, int h) { i.trueSize = i.minSize = SIZE{w, h}; };
    bool known = false;
    switch (themeClass) {
        case ThemeClass::Button:
            if (part == BP_PUSHBUTTON && states(PBS_DEFAULTED)) {
                known = true, sized(75, 23), i.margins = Margins(3), i.transparent = true;
            } else if (part == BP_CHECKBOX && states(12)) {
                known = true, sized(13, 13), i.stretch = false;
            }
            break;
        case ThemeClass::ComboBox:
            if (part == CP_DROPDOWNBUTTON && states(CBXS_DISABLED))
                known = true, sized(16, 20), i.margins = Margins(1), i.transparent = true;
            break;
        case ThemeClass::Edit:
            if (part == EP_EDITTEXT && states(7)) known = true, sized(20, 20), i.margins = Margins(1);
            break;
        case ThemeClass::Progress:
            if ((part == PP_BAR || part == PP_BARVERT) && states(1)) {
                known = true, i.transparent = true;
                sized(part == PP_BAR ? 20 : 12, part == PP_BAR ? 12 : 20);
                i.margins = part == PP_BAR ? RECT{3, 2, 3, 2} : RECT{2, 3, 2, 3};
            } else if ((part == PP_CHUNK || part == PP_CHUNKVERT) && states(1)) {
                known = true, sized(8, 8), i.transparent = true;
            }
            break;
        case ThemeClass::Rebar:
            if (part == 0 && states(1)) known = true, sized(20, 20);
            if ((part == RP_GRIPPER || part == RP_GRIPPERVERT) && states(1))
                known = true, sized(5, 5), i.transparent = true;
            break;
        case ThemeClass::ScrollBar:
            if (part == SBP_SIZEBOX && states(SZB_LEFTALIGN))
                known = true, sized(13, 13), i.stretch = false, i.alignEnd = true, i.transparent = true;
            break;
        case ThemeClass::Spin:
            if (part >= SPNP_UP && part <= SPNP_DOWNHORZ && states(4)) {
                known = true, i.transparent = true;
                sized(part <= SPNP_DOWN ? 15 : 10, part <= SPNP_DOWN ? 10 : 15);
            }
            break;
        case ThemeClass::Status:
            if (part == 0 && states(1)) known = true, sized(20, 20);
            if (part == SP_GRIPPER && states(1))
                known = true, sized(12, 12), i.stretch = false, i.alignEnd = true, i.transparent = true;
            break;
        case ThemeClass::ToolBar:
            if (part == 0 && states(1)) {
                known = true, sized(20, 20);
            } else if ((part >= TP_BUTTON && part <= TP_SPLITBUTTONDROPDOWN) && states(TS_HOTCHECKED)) {
                known = true, i.transparent = true, i.margins = Margins(3);
                sized(part == TP_SPLITBUTTONDROPDOWN ? 12 : 23, 22);
            } else if ((part == TP_SEPARATOR || part == TP_SEPARATORVERT) && states(TS_HOTCHECKED)) {
                known = true, sized(6, 6), i.transparent = true;
            }
            break;
        case ThemeClass::Window:
            if ((part == WP_MDIMINBUTTON || part == WP_MDICLOSEBUTTON || part == WP_MDIRESTOREBUTTON) &&
                states(CBS_DISABLED))
                known = true, sized(17, 17), i.transparent = true;
            if (part == WP_SMALLCLOSEBUTTON && states(CBS_DISABLED))
                known = true, sized(13, 13), i.transparent = true;
            break;
    }
    if (known) *info = i;
    return known;
}

Art RenderThemePart(ThemeScheme scheme, ThemeClass themeClass, int part, int state, int width, int height) {
    const Palette& p = PaletteOf(scheme);
    Art art(width, height);
    // State 0 asks for the part's usual look.
    const int s = state == 0 ? 1 : state;
    switch (themeClass) {
        case ThemeClass::Button:
            if (part == BP_PUSHBUTTON)
                PushButton(art, p, s);
            else
                CheckBox(art, p, s);
            break;
        case ThemeClass::ComboBox:
            DropButton(art, p, s, 0);
            break;
        case ThemeClass::Edit:
            EditPart(art, p, s);
            break;
        case ThemeClass::Progress: {
            const bool vertical = part == PP_BARVERT || part == PP_CHUNKVERT;
            Art flat(vertical ? height : width, vertical ? width : height);
            if (part == PP_BAR || part == PP_BARVERT)
                ProgressBar(flat, p);
            else
                ProgressChunks(flat, p);
            art = vertical ? flat.Transposed() : flat;
            break;
        }
        case ThemeClass::Rebar:
            if (part == 0) {
                art.FillRound(art.Bounds(), 0, p.face);
            } else {
                Art column(part == RP_GRIPPER ? width : height, part == RP_GRIPPER ? height : width);
                DotColumn(column, p.dots);
                art = part == RP_GRIPPER ? column : column.Transposed();
            }
            break;
        case ThemeClass::ScrollBar:
            GripTriangle(art, p.dots);
            if (s == SZB_LEFTALIGN) art = art.Mirrored();
            break;
        case ThemeClass::Spin:
            DropButton(art, p, s, part == SPNP_DOWN ? 0 : part == SPNP_UP ? 1 : part == SPNP_UPHORZ ? 2 : 3);
            break;
        case ThemeClass::Status:
            if (part == 0) {
                art.FillRound(art.Bounds(), 0, p.face);
            } else {
                GripTriangle(art, p.dots);
            }
            break;
        case ThemeClass::ToolBar:
            if (part == 0)
                art.FillRound(art.Bounds(), 0, p.face);
            else
                ToolBarPart(art, p, part, s);
            break;
        case ThemeClass::Window:
            WindowPart(art, p, part, s);
            break;
    }
    return art;
}

bool GetThemePartColor(ThemeScheme scheme, ThemeClass themeClass, int part, int state, int property,
                       COLORREF* color) {
    const Palette& p = PaletteOf(scheme);
    const bool disabled = state == 4;
    switch (themeClass) {
        case ThemeClass::ToolBar:
        case ThemeClass::Rebar:
        case ThemeClass::Status:
            if (part != 0 || property != TMT_FILLCOLOR) return false;
            *color = p.face;
            return true;
        case ThemeClass::Progress:
            if ((part != PP_CHUNK && part != PP_CHUNKVERT) || property != TMT_FILLCOLOR) return false;
            *color = p.chunkDark;
            return true;
        case ThemeClass::Edit:
            if (property == TMT_FILLCOLOR)
                *color = disabled ? DisabledFill : White;
            else if (property == TMT_TEXTCOLOR)
                *color = disabled ? DisabledText : Black;
            else if (property == TMT_BORDERCOLOR)
                *color = disabled ? DisabledBorder : p.editBorder;
            else
                return false;
            return true;
        case ThemeClass::Button:
            if (property != TMT_TEXTCOLOR) return false;
            *color = disabled ? DisabledText : Black;
            return true;
        default:
            return false;
    }
}

gfx::ColorScheme ThemeSysColors(ThemeScheme scheme) {
    gfx::ColorScheme c = gfx::ClassicColorScheme();
    if (scheme == ThemeScheme::Classic) return c;
    auto set = [&](int index, COLORREF value) { c[static_cast<std::size_t>(index)] = value; };
    using namespace gfx;
    // What the three schemes share.
    set(COLOR_SCROLLBAR, RGB(212, 208, 200));
    set(COLOR_MENU, White);
    set(COLOR_WINDOW, White);
    set(COLOR_ACTIVEBORDER, RGB(212, 208, 200));
    set(COLOR_INACTIVEBORDER, RGB(212, 208, 200));
    set(COLOR_BTNFACE, RGB(236, 233, 216));
    set(COLOR_MENUBAR, RGB(236, 233, 216));
    set(COLOR_BTNSHADOW, RGB(172, 168, 153));
    set(COLOR_GRAYTEXT, RGB(172, 168, 153));
    set(COLOR_3DDKSHADOW, RGB(113, 111, 100));
    set(COLOR_3DLIGHT, RGB(241, 239, 226));
    set(COLOR_INFOBK, RGB(255, 255, 225));
    set(COLOR_HOTLIGHT, RGB(0, 0, 128));
    switch (scheme) {
        case ThemeScheme::Blue:
            set(COLOR_BACKGROUND, RGB(0, 78, 152));
            set(COLOR_ACTIVECAPTION, RGB(0, 84, 227));
            set(COLOR_GRADIENTACTIVECAPTION, RGB(61, 149, 255));
            set(COLOR_INACTIVECAPTION, RGB(122, 150, 223));
            set(COLOR_GRADIENTINACTIVECAPTION, RGB(157, 185, 235));
            set(COLOR_INACTIVECAPTIONTEXT, RGB(216, 228, 248));
            set(COLOR_HIGHLIGHT, RGB(49, 106, 197));
            set(COLOR_MENUHILIGHT, RGB(49, 106, 197));
            break;
        case ThemeScheme::Olive:
            set(COLOR_BACKGROUND, RGB(59, 98, 57));
            set(COLOR_ACTIVECAPTION, RGB(139, 161, 105));
            set(COLOR_GRADIENTACTIVECAPTION, RGB(176, 198, 134));
            set(COLOR_INACTIVECAPTION, RGB(186, 187, 166));
            set(COLOR_GRADIENTINACTIVECAPTION, RGB(216, 218, 196));
            set(COLOR_INACTIVECAPTIONTEXT, White);
            set(COLOR_HIGHLIGHT, RGB(147, 160, 112));
            set(COLOR_MENUHILIGHT, RGB(147, 160, 112));
            break;
        default:
            set(COLOR_BACKGROUND, RGB(88, 110, 145));
            set(COLOR_ACTIVECAPTION, RGB(192, 192, 192));
            set(COLOR_GRADIENTACTIVECAPTION, RGB(212, 212, 226));
            set(COLOR_INACTIVECAPTION, RGB(200, 200, 208));
            set(COLOR_GRADIENTINACTIVECAPTION, RGB(224, 224, 232));
            set(COLOR_INACTIVECAPTIONTEXT, Black);
            set(COLOR_CAPTIONTEXT, Black);
            set(COLOR_HIGHLIGHT, RGB(178, 180, 191));
            set(COLOR_HIGHLIGHTTEXT, Black);
            set(COLOR_MENUHILIGHT, RGB(178, 180, 191));
            set(COLOR_BTNFACE, RGB(224, 223, 227));
            set(COLOR_MENUBAR, RGB(224, 223, 227));
            set(COLOR_BTNSHADOW, RGB(157, 157, 161));
            break;
    }
    return c;
}

} // namespace win::detail
