// Visual styles as the look-and-feel layer sees them: one cached theme handle
// per themed object type, and the drawing calls forwarded to the window
// system's theme service.
#pragma once

#include "classes/sets.h"
#include "win/theme.h"

namespace lf {

using gfx::COLORREF;
using gfx::HDC;
using gfx::RECT;
using gfx::SIZE;
using win::HRESULT;
using win::HTHEME;

// The order is fixed: the number of a type is its index in this list, and the
// theme class opened for it is its name without "tot".
enum TdxThemedObjectType {
    totButton,
    totClock,
    totComboBox,
    totEdit,
    totExplorerBar,
    totHeader,
    totListBox,
    totListView,
    totMenu,
    totPage,
    totProgress,
    totRebar,
    totScrollBar,
    totSpin,
    totStartPanel,
    totStatus,
    totTab,
    totTaskBand,
    totTaskBar,
    totToolBar,
    totToolTip,
    totTrackBar,
    totTrayNotify,
    totTreeView,
    totWindow
};
constexpr int ThemedObjectTypeCount = totWindow + 1;
using TdxThemedObjectTypes = cls::TSet<TdxThemedObjectType>;

// "Button", "Clock", ... "Window".
const char* ThemedObjectClassName(TdxThemedObjectType AType);

// True when a visual style is active and every type of the set can be opened;
// an empty set asks only for the active style.
bool AreVisualStylesAvailable(TdxThemedObjectTypes ATypes = {});
// The cached handle of the type's theme data; nullptr without visual styles.
HTHEME OpenTheme(TdxThemedObjectType AType);
// Closes the cached handles; the next OpenTheme opens them again (after a
// theme change).
void CloseAllThemes();

HRESULT DrawThemeBackground(HTHEME ATheme, HDC DC, int APart, int AState, const RECT& ARect,
                            const RECT* AClipRect = nullptr);
HRESULT GetThemeBackgroundContentRect(HTHEME ATheme, HDC DC, int APart, int AState, const RECT& ABoundingRect,
                                      RECT& AContentRect);
HRESULT GetThemePartSize(HTHEME ATheme, HDC DC, int APart, int AState, const RECT* ARect,
                         win::THEMESIZE ASizeKind, SIZE& ASize);
// Negative when the theme lacks the property; the caller then uses a system colour.
HRESULT GetThemeColor(HTHEME ATheme, int APart, int AState, int APropId, COLORREF& AColor);
bool IsThemeBackgroundPartiallyTransparent(HTHEME ATheme, int APart, int AState);

} // namespace lf
