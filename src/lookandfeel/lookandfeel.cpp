#include "lookandfeel/lookandfeel.h"

#include "classes/typinfo.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/theme.h"
#include "win/theme.h"
#include "win/user.h"

#include <algorithm>
#include <vector>

namespace lf {

// ============================================================================
// TcxLookAndFeel
// ============================================================================

TcxLookAndFeel::TcxLookAndFeel(cls::TPersistent* AOwner) : FOwner(AOwner) {}

void TcxLookAndFeel::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    static constexpr const char* Kinds[] = {"lfFlat", "lfStandard", "lfUltraFlat", "lfOffice11"};
    AList.Enum("Kind", &TcxLookAndFeel::Kind, &TcxLookAndFeel::SetKind, Kinds, DefaultKind);
    AList.Boolean("NativeStyle", &TcxLookAndFeel::NativeStyle, &TcxLookAndFeel::SetNativeStyle,
                  DefaultNativeStyle);
}

void TcxLookAndFeel::Assign(cls::TPersistent* Source) {
    auto* Other = dynamic_cast<TcxLookAndFeel*>(Source);
    if (!Other) {
        inherited::Assign(Source);
        return;
    }
    TcxLookAndFeelValues Changes;
    if (FKind != Other->FKind) Changes.Include(lfvKind);
    if (FNativeStyle != Other->FNativeStyle) Changes.Include(lfvNativeStyle);
    FKind = Other->FKind;
    FNativeStyle = Other->FNativeStyle;
    if (!Changes.Empty()) Changed(Changes);
}

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind Value) {
    if (FKind == Value) return;
    FKind = Value;
    Changed({lfvKind});
}

void TcxLookAndFeel::SetNativeStyle(bool Value) {
    if (FNativeStyle == Value) return;
    FNativeStyle = Value;
    Changed({lfvNativeStyle});
}

void TcxLookAndFeel::Changed(TcxLookAndFeelValues AChangedValues) {
    FOnChanged(this, AChangedValues);
}

// ============================================================================
// Theme change notification
// ============================================================================

namespace {

// WM_THEMECHANGED goes to top-level windows, so the notificators listen
// through a hidden one that lives while any notificator does.
constexpr const char* ListenerClassName = "TdxThemeChangeListener";

struct TListener {
    std::vector<TdxThemeChangedNotificator*> Notificators;
    win::HWND Window = nullptr;
    int Dispatching = 0;
};

TListener& Listener() {
    static TListener Instance;
    return Instance;
}

bool IsRegistered(TdxThemeChangedNotificator* ANotificator) {
    const auto& List = Listener().Notificators;
    return std::find(List.begin(), List.end(), ANotificator) != List.end();
}

void DestroyListenerWindowIfUnused() {
    TListener& L = Listener();
    if (!L.Notificators.empty() || L.Dispatching > 0) return;
    if (L.Window && win::IsWindow(L.Window)) win::DestroyWindow(L.Window);
    L.Window = nullptr;
}

void ThemeChanged() {
    TListener& L = Listener();
    CloseAllThemes();
    RefreshOffice11Colors();
    ++L.Dispatching;
    // A handler may free any notificator, its own included.
    const std::vector<TdxThemeChangedNotificator*> Snapshot = L.Notificators;
    for (TdxThemeChangedNotificator* N : Snapshot)
        if (IsRegistered(N)) N->OnThemeChanged()();
    --L.Dispatching;
}

win::LRESULT ListenerProc(win::HWND AWnd, win::UINT AMsg, win::WPARAM AWParam, win::LPARAM ALParam) {
    if (AMsg == win::WM_THEMECHANGED) {
        ThemeChanged();
        DestroyListenerWindowIfUnused();
        return 0;
    }
    return win::DefWindowProc(AWnd, AMsg, AWParam, ALParam);
}

// The window system's reset destroys the window and its class, so both are
// made again when the handle has gone stale.
void EnsureListenerWindow() {
    TListener& L = Listener();
    if (L.Window && win::IsWindow(L.Window)) return;
    win::WNDCLASS Class;
    Class.lpfnWndProc = &ListenerProc;
    Class.lpszClassName = ListenerClassName;
    win::RegisterClass(&Class);
    L.Window = win::CreateWindowEx(0, ListenerClassName, "", win::WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   nullptr, nullptr);
}

} // namespace

TdxThemeChangedNotificator::TdxThemeChangedNotificator() {
    EnsureListenerWindow();
    Listener().Notificators.push_back(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator() {
    std::erase(Listener().Notificators, this);
    DestroyListenerWindowIfUnused();
}

} // namespace lf
