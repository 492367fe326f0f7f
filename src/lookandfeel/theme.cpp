#include "lookandfeel/theme.h"

#include <array>

namespace lf {

namespace {

constexpr std::array<const char*, ThemedObjectTypeCount> ClassNames = {
    "Button",     "Clock",      "ComboBox", "Edit",     "ExplorerBar", "Header",    "ListBox",
    "ListView",   "Menu",       "Page",     "Progress", "Rebar",       "ScrollBar", "Spin",
    "StartPanel", "Status",     "Tab",      "TaskBand", "TaskBar",     "ToolBar",   "ToolTip",
    "TrackBar",   "TrayNotify", "TreeView", "Window"};

std::array<HTHEME, ThemedObjectTypeCount>& Cache() {
    static std::array<HTHEME, ThemedObjectTypeCount> Handles{};
    return Handles;
}

} // namespace

const char* ThemedObjectClassName(TdxThemedObjectType AType) {
    const int Index = static_cast<int>(AType);
    return Index >= 0 && Index < ThemedObjectTypeCount ? ClassNames[static_cast<std::size_t>(Index)] : "";
}

bool AreVisualStylesAvailable(TdxThemedObjectTypes ATypes) {
    if (!win::IsThemeActive()) return false;
    for (int I = 0; I < ThemedObjectTypeCount; ++I) {
        const auto Type = static_cast<TdxThemedObjectType>(I);
        if (ATypes.Contains(Type) && !OpenTheme(Type)) return false;
    }
    return true;
}

HTHEME OpenTheme(TdxThemedObjectType AType) {
    const int Index = static_cast<int>(AType);
    if (Index < 0 || Index >= ThemedObjectTypeCount || !win::IsThemeActive()) return nullptr;
    HTHEME& Handle = Cache()[static_cast<std::size_t>(Index)];
    if (!Handle) Handle = win::OpenThemeData(nullptr, ClassNames[static_cast<std::size_t>(Index)]);
    return Handle;
}

void CloseAllThemes() {
    for (HTHEME& Handle : Cache()) {
        if (Handle) win::CloseThemeData(Handle);
        Handle = nullptr;
    }
}

HRESULT DrawThemeBackground(HTHEME ATheme, HDC DC, int APart, int AState, const RECT& ARect,
                            const RECT* AClipRect) {
    return win::DrawThemeBackground(ATheme, DC, APart, AState, &ARect, AClipRect);
}

HRESULT GetThemeBackgroundContentRect(HTHEME ATheme, HDC DC, int APart, int AState, const RECT& ABoundingRect,
                                      RECT& AContentRect) {
    return win::GetThemeBackgroundContentRect(ATheme, DC, APart, AState, &ABoundingRect, &AContentRect);
}

HRESULT GetThemePartSize(HTHEME ATheme, HDC DC, int APart, int AState, const RECT* ARect,
                         win::THEMESIZE ASizeKind, SIZE& ASize) {
    return win::GetThemePartSize(ATheme, DC, APart, AState, ARect, ASizeKind, &ASize);
}

HRESULT GetThemeColor(HTHEME ATheme, int APart, int AState, int APropId, COLORREF& AColor) {
    return win::GetThemeColor(ATheme, APart, AState, APropId, &AColor);
}

bool IsThemeBackgroundPartiallyTransparent(HTHEME ATheme, int APart, int AState) {
    return win::IsThemeBackgroundPartiallyTransparent(ATheme, APart, AState) != 0;
}

} // namespace lf
