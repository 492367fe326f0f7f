// What the theme engine knows of each class it draws: the parts and states,
// their sizes and content margins, their colours and their pictures in each
// scheme. Internal to the window system.
#pragma once

#include "gfx/colors.h"
#include "win/theme.h"
#include "win/theme_art.h"

#include <string_view>

namespace win::detail {

enum class ThemeClass { Button, ComboBox, Edit, Progress, Rebar, ScrollBar, Spin, Status, ToolBar, Window };

// A class of a list entry ("ToolBar", any case); false for one the theme lacks.
bool FindThemeClass(std::string_view name, ThemeClass* themeClass);

struct ThemePartInfo {
    SIZE trueSize{};
    SIZE minSize{};
    // False: drawn at its true size in the rectangle (aligned by alignEnd:
    // at the bottom-right corner, else centred).
    bool stretch = true;
    bool alignEnd = false;
    // Insets of the content rectangle.
    RECT margins{};
    bool transparent = false;
};

// False for a part or state the class does not have.
bool GetThemePartInfo(ThemeClass themeClass, int part, int state, ThemePartInfo* info);
// The part's picture at that size in a scheme other than Classic.
Art RenderThemePart(ThemeScheme scheme, ThemeClass themeClass, int part, int state, int width, int height);
// False when the class has no such property for the part.
bool GetThemePartColor(ThemeScheme scheme, ThemeClass themeClass, int part, int state, int property,
                       COLORREF* color);
// The system colours that go with a scheme.
gfx::ColorScheme ThemeSysColors(ThemeScheme scheme);

} // namespace win::detail
