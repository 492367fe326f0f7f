#include "bars/managerlist.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "bars/animation.h"
#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/hint.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/mdi.h"
#include "bars/popupmenu.h"
#include "bars/popupmenulinks.h"
#include "bars/quickcust.h"
#include "bars/registry.h"
#include "bars/subitem.h"
#include "bars/system.h"
#include "bars/toolbar.h"
#include "bars/wincontrols.h"
#include "classes/forms.h"
#include "classes/shortcuts.h"
#include "classes/sysutils.h"
#include "lookandfeel/objectlinks.h"
#include "win/user.h"

namespace bars {

namespace {

TdxBarManagerList* GBarManagerList = nullptr;

win::HHOOK GKeyboardHook = nullptr;
win::HHOOK GMouseHook = nullptr;
win::HHOOK GCallWndProcHook = nullptr;
TdxBarHintWindow* GHintWindow = nullptr;

// --- Hint state ---
constexpr win::UINT HintDelay = 1000;
constexpr win::UINT HintGracePeriod = 400;
constexpr win::UINT HintShowTime = 10000;
// Below the cursor by this much.
constexpr int HintCursorOffset = 20;
// The one hint timer: first the delay, then the time shown.
win::UINT_PTR GHintTimer = 0;
// Runs while a hint was hidden lately: the next one shows at once.
win::UINT_PTR GHintGraceTimer = 0;
bool GHintRequested = false;
bool GHintShown = false;
std::string GHintText;
TdxBarManager* GHintManager = nullptr;

// --- Keyboard hook state ---
// A key whose press went to a menu: its release is swallowed too.
bool GKeyReleasePending = false;
win::WPARAM GKeyReleaseKey = 0;
bool GAltAlone = false;
bool GToolbarButtonTracking = false;
// Set while a hosted edit hands a key to the hook's handling itself.
bool GKeyFromEdit = false;

bool GMouseHookBusy = false;
// The mouse message the mouse hook routes, while it does (0 otherwise).
win::UINT GHookMouseMessage = 0;
win::POINT GHookMousePoint{};
bool GCallWndProcBusy = false;

// Sets a flag for the length of a scope.
class TBusyScope {
public:
    explicit TBusyScope(bool& AFlag) : FFlag(AFlag) { FFlag = true; }
    ~TBusyScope() { FFlag = false; }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    bool& FFlag;
};

// Hook procedures never let an exception into the window system.
void ReportHookException() {
    if (cls::TApplication* App = cls::ApplicationIfExists()) App->HandleException(nullptr);
}

// ============================================================================
// Item hints
// ============================================================================

bool HintWindowShowing() {
    return GHintWindow && GHintWindow->IsShowing();
}

void StopHintTimer() {
    if (GHintTimer) win::KillTimer(nullptr, GHintTimer);
    GHintTimer = 0;
}

void StopGraceTimer() {
    if (GHintGraceTimer) win::KillTimer(nullptr, GHintGraceTimer);
    GHintGraceTimer = 0;
}

void HideHintWindow() {
    if (HintWindowShowing()) win::ShowWindow(GHintWindow->Handle(), win::SW_HIDE);
    GHintShown = false;
}

void GraceTimerProc(win::HWND, win::UINT, win::UINT_PTR, win::DWORD) {
    StopGraceTimer();
}

void HintShowTimeProc(win::HWND, win::UINT, win::UINT_PTR, win::DWORD) {
    StopHintTimer();
    HideHintWindow();
}

// The text of the selected control's hint, or nothing when the mouse left it
// or the control may show none.
bool SelectedControlHint(TdxBarManager* AManager, std::string& AText) {
    TdxBarItemControl* Control = AManager->SelectedItemControl();
    TCustomdxBarControl* Window = Control ? Control->Parent() : nullptr;
    if (!IsBarControlAlive(Window) || !Window->HandleAllocated() || !Window->OwnsControl(Control))
        return false;
    win::POINT P;
    win::GetCursorPos(&P);
    if (GetWindowFromScreenPoint(P) != Window->Handle()) return false;
    win::ScreenToClient(Window->Handle(), &P);
    const cls::TRect R = Control->GetRect();
    if (!gfx::PtInRect(&R, P)) return false;
    if (!Control->GetEnabled() && !AManager->ShowHintForDisabledItems()) return false;
    AText = cls::GetShortHint(Control->GetHint());
    TdxBarItem* Item = Control->GetItem();
    if (auto* Action = Item ? dynamic_cast<cls::TCustomAction*>(Item->Action()) : nullptr)
        if (!Action->DoHint(AText)) return false;
    cls::TApplication* App = cls::ApplicationIfExists();
    if (!AText.empty() && (AManager->ShowShortCutInHint() || (App && App->HintShortCuts()))) {
        const std::string ShortCut = cls::ShortCutToText(Control->GetShortCut());
        if (!ShortCut.empty()) AText += " (" + ShortCut + ")";
    }
    return true;
}

void ShowPendingHint() {
    StopHintTimer();
    TdxBarManager* Manager = GHintManager;
    if (!Manager || !GHintWindow) return;
    std::string Text = GHintText;
    if (Text.empty() && !SelectedControlHint(Manager, Text)) Text.clear();
    if (Text.empty()) {
        HideHintWindow();
        return;
    }
    win::POINT P;
    win::GetCursorPos(&P);
    GHintWindow->ActivateHint(cls::TPoint{P.x, P.y + HintCursorOffset}, Text, Manager);
    GHintShown = true;
    GHintTimer = win::SetTimer(nullptr, 0, HintShowTime, &HintShowTimeProc);
}

void HintDelayProc(win::HWND, win::UINT, win::UINT_PTR, win::DWORD) {
    ShowPendingHint();
}

// ============================================================================
// Keyboard hook
// ============================================================================

bool IsKeyUp(win::LPARAM AKeyData) {
    return (AKeyData & win::KF_UP_BIT) != 0;
}

// The key goes to the window in menu mode. The character it types rides
// along as the WM_CHAR that its translation would have left in the queue, so
// that the window finds accelerators of any keyboard layout.
void RouteKeyToBarControl(TCustomdxBarControl* AControl, win::WPARAM AKey, win::LPARAM AKeyData) {
    const bool Up = IsKeyUp(AKeyData);
    if (!Up) {
        GKeyReleasePending = true;
        GKeyReleaseKey = AKey;
    }
    const win::HWND Wnd = AControl->Handle();
    char32_t Typed = 0;
    if (!Up) {
        win::BYTE State[256];
        win::GetKeyboardState(State);
        char32_t Chars[4];
        const auto Key = static_cast<win::UINT>(AKey);
        if (win::ToUnicode(Key, win::MapVirtualKey(Key, win::MAPVK_VK_TO_VSC), State, Chars, 4, 0) == 1 &&
            Chars[0] >= 0x20 && Chars[0] != 0x7F)
            Typed = Chars[0];
    }
    if (Typed) win::PostMessage(Wnd, win::WM_CHAR, Typed, AKeyData);
    win::SendMessage(Wnd, Up ? win::WM_KEYUP : win::WM_KEYDOWN, AKey, AKeyData);
    win::MSG Left;
    if (Typed && win::IsWindow(Wnd) &&
        win::PeekMessage(&Left, Wnd, win::WM_CHAR, win::WM_CHAR, win::PM_NOREMOVE) && Left.wParam == Typed &&
        Left.lParam == AKeyData)
        win::PeekMessage(&Left, Wnd, win::WM_CHAR, win::WM_CHAR, win::PM_REMOVE);
    // The release stays awaited whether the menu lives on or not, and however
    // soon the key came up: it may still wait in the queue. A loop run by the
    // key that took it met it in this hook already.
}

cls::TCustomForm* FormOfWindow(win::HWND AWnd) {
    return dynamic_cast<cls::TCustomForm*>(cls::FindControl(AWnd));
}

// The managers a key outside menu mode is meant for: the one whose shortcuts
// and the one whose menus it reaches.
void FindKeyManagers(TdxBarManager*& AMenuManager, TdxBarManager*& AShortCutManager) {
    AMenuManager = nullptr;
    AShortCutManager = nullptr;
    win::HWND Active = win::GetActiveWindow();
    cls::TCustomForm* Form = FormOfWindow(Active);
    if (!Form || !win::IsWindowEnabled(Active) || Form->ComponentState().Contains(cls::csDesigning)) return;
    // An MDI frame hands the keys to its active child.
    if (Form->FormStyle() == cls::fsMDIForm) {
        if (cls::TForm* Child = Form->ActiveMDIChild()) {
            Form = Child;
            Active = Child->Handle();
        }
    }
    TdxBarManager* Own = GetBarManagerByForm(Form);
    AShortCutManager = Own;
    if (!Own && !Form->FormState().Contains(cls::fsModal))
        if (cls::TCustomForm* ParentForm = FormOfWindow(win::GetParent(Active)))
            AShortCutManager = GetBarManagerByForm(ParentForm);
    AMenuManager = AShortCutManager;
    cls::TApplication* App = cls::ApplicationIfExists();
    cls::TCustomForm* MainForm = App ? App->MainForm() : nullptr;
    TdxBarManager* MainManager = MainForm ? GetBarManagerByForm(MainForm) : nullptr;
    const bool MDIChild = Form->FormStyle() == cls::fsMDIChild;
    if (MDIChild) {
        AMenuManager = MainManager;
    } else if (!Own && Form->FormStyle() != cls::fsMDIForm) {
        if (MainManager && MainManager->AllowCallFromAnotherForm() && MainForm->HandleAllocated() &&
            win::IsWindowEnabled(MainForm->Handle()))
            AMenuManager = MainManager;
    }
    if (!AShortCutManager) AShortCutManager = AMenuManager;
    // A child whose own main menu shows takes the keys first.
    if (MDIChild && Own && Own->MainMenuBar() && Own->MainMenuBar()->ItemLinks()->BarControl())
        std::swap(AMenuManager, AShortCutManager);
}

bool IsBarShownWithWindow(TdxBar* ABar) {
    TCustomdxBarControl* Window = ABar ? ABar->ItemLinks()->BarControl() : nullptr;
    return ABar && ABar->Visible() && Window && Window->HandleAllocated() &&
           win::IsWindowVisible(Window->Handle());
}

// The manager's shown bars run the command of the shortcut, the main menu first.
bool HandleShortCut(TdxBarManager* AManager, cls::TShortCut AShortCut) {
    TdxBar* MainMenu = AManager->MainMenuBar();
    if (IsBarShownWithWindow(MainMenu) && MainMenu->ItemLinks()->IsShortCut(AShortCut)) return true;
    for (int I = 0; I < AManager->Bars()->Count(); ++I) {
        TdxBar* Bar = AManager->Bars()->Items(I);
        if (Bar != MainMenu && IsBarShownWithWindow(Bar) && Bar->ItemLinks()->IsShortCut(AShortCut))
            return true;
    }
    return false;
}

// The popup-menu links of the manager of the control's form.
TdxBarPopupMenuLinks* PopupMenuLinksOf(cls::TWinControl* AControl) {
    cls::TCustomForm* Form = AControl ? cls::GetParentForm(AControl) : nullptr;
    TdxBarManager* Manager = Form ? GetBarManagerByForm(Form) : nullptr;
    return Manager ? Manager->PopupMenuLinks() : nullptr;
}

bool IsContextMenuKey(win::WPARAM AKey, bool AUp) {
    if (AKey == static_cast<win::WPARAM>(win::VK_APPS)) return AUp;
    return AKey == static_cast<win::WPARAM>(win::VK_F10) && !AUp &&
           win::GetAsyncKeyState(win::VK_SHIFT) < 0 && win::GetAsyncKeyState(win::VK_CONTROL) >= 0 &&
           win::GetAsyncKeyState(win::VK_MENU) >= 0;
}

// The focused control's context menu, asked for from the keyboard. A hidden
// window may keep the focus (a tray program's main window does): it shows
// no menu.
bool ShowKeyboardContextMenu() {
    const win::HWND Focus = win::GetFocus();
    cls::TWinControl* Control = Focus && win::IsWindowVisible(Focus) ? FindControlOfWindow(Focus) : nullptr;
    TdxBarPopupMenuLinks* Links = PopupMenuLinksOf(Control);
    if (!Links) return false;
    const cls::TMessage Message{win::WM_CONTEXTMENU, reinterpret_cast<win::WPARAM>(Focus),
                                win::MAKELPARAM(-1, -1)};
    return Links->HandleContextMenu(Control, Focus, Message);
}

// The menus linked to the focused control run the command of the shortcut.
bool HandleLinkedShortCut(cls::TShortCut AShortCut) {
    const win::HWND Focus = win::GetFocus();
    cls::TWinControl* Control = Focus ? FindControlOfWindow(Focus) : nullptr;
    TdxBarPopupMenuLinks* Links = PopupMenuLinksOf(Control);
    return Links && Links->HandleShortCut(Control, AShortCut);
}

// The window of a bar that shows, nullptr otherwise.
TdxBarControl* ShownBarWindow(TdxBar* ABar) {
    return IsBarShownWithWindow(ABar) ? dynamic_cast<TdxBarControl*>(ABar->ItemLinks()->BarControl())
                                      : nullptr;
}

// No key but Alt is held down.
bool OnlyAltHeld() {
    win::BYTE State[256];
    win::GetKeyboardState(State);
    for (int Key = 1; Key < 256; ++Key) {
        if (Key == win::VK_MENU || Key == win::VK_LMENU || Key == win::VK_RMENU) continue;
        if (State[Key] & 0x80) return false;
    }
    return true;
}

// Alt with a letter: the first shown bar (the main menu first) whose links
// have it as an accelerator takes it. A unique accelerator runs its command
// or opens its menu; a shared one, or one of a control that keeps menus
// open, only selects it in its bar, which enters menu mode.
bool HandleAccelerator(TdxBarManager* AManager, win::WPARAM AKey) {
    cls::TShiftState Shift;
    if (win::GetAsyncKeyState(win::VK_SHIFT) < 0) Shift.Include(cls::ssShift);
    if (win::GetAsyncKeyState(win::VK_CONTROL) < 0) Shift.Include(cls::ssCtrl);
    const auto Key = static_cast<std::uint16_t>(AKey);
    std::vector<TdxBar*> Order;
    if (AManager->MainMenuBar()) Order.push_back(AManager->MainMenuBar());
    for (int I = 0; I < AManager->Bars()->Count(); ++I)
        if (AManager->Bars()->Items(I) != AManager->MainMenuBar())
            Order.push_back(AManager->Bars()->Items(I));
    for (TdxBar* Bar : Order) {
        TdxBarControl* Window = ShownBarWindow(Bar);
        if (!Window) continue;
        TdxBarItemLink* Link = Bar->ItemLinks()->FindAccelLink(Key, Shift, nullptr);
        if (!Link || !Link->Item() || !Link->Item()->Enabled() || !Link->Control()) continue;
        TdxBarItemControl* Control = Link->Control();
        const bool Unique = Bar->ItemLinks()->FindAccelLink(Key, Shift, Link) == Link;
        auto* SubItem = dynamic_cast<TdxBarSubItemControl*>(Control);
        if (!Unique || (!SubItem && !Control->ClosesMenusOnClick())) {
            Window->ActivateByKeyboard(Control);
        } else if (SubItem) {
            lf::TcxObjectLinkScope Alive(SubItem);
            Window->ActivateByKeyboard(SubItem);
            if (!IsBarControlAlive(Window) || !Alive.Alive()) return true;
            Window->SetSubMenuMode(true);
            SubItem->ControlClick(false);
        } else {
            Control->ControlClick(false);
        }
        return true;
    }
    return false;
}

cls::TShortCut CurrentShortCut(win::WPARAM AKey) {
    cls::TShortCut Result = static_cast<cls::TShortCut>(AKey & 0xFF);
    if (win::GetAsyncKeyState(win::VK_SHIFT) < 0) Result |= cls::scShift;
    if (win::GetAsyncKeyState(win::VK_CONTROL) < 0) Result |= cls::scCtrl;
    if (win::GetAsyncKeyState(win::VK_MENU) < 0) Result |= cls::scAlt;
    return Result;
}

// Alt, its combinations and F10 reach a hosted edit being edited first: it
// ends editing and hands them back (HandleKeyFromEdit).
bool IsKeyForEditor(win::WPARAM AKey, win::LPARAM AKeyData) {
    if (GKeyFromEdit) return false;
    const bool SysKey = AKey == static_cast<win::WPARAM>(win::VK_MENU) ||
                        AKey == static_cast<win::WPARAM>(win::VK_F10) || (AKeyData & win::KF_ALTDOWN_BIT);
    const TdxBarWinControl* Editing = SysKey ? TdxBarWinControl::FromWindow(win::GetFocus()) : nullptr;
    return Editing && Editing->Focused();
}

bool KeyboardHook(int Code, win::WPARAM AKey, win::LPARAM AKeyData) {
    if (Code < 0 || Code == win::HC_NOREMOVE || AKey == static_cast<win::WPARAM>(win::VK_PROCESSKEY))
        return false;
    if (GToolbarButtonTracking) {
        // Swallowed here, the awaited release is not waited for any longer.
        if (IsKeyUp(AKeyData) && AKey == GKeyReleaseKey) GKeyReleasePending = false;
        return true;
    }
    if (IsKeyForEditor(AKey, AKeyData)) return false;
    const bool Up = IsKeyUp(AKeyData);
    if (Up && GKeyReleasePending && AKey == GKeyReleaseKey) {
        GKeyReleasePending = false;
        return true;
    }
    if (TCustomdxBarControl* Active = GetActiveBarControl()) {
        const TdxBarManager* Manager = Active->GetBarManager();
        if (!(Manager && Manager->Detaching())) {
            if (!Active->IsCustomizing()) {
                TdxBarItemControl* Selected = Active->SelectedControl();
                // A hosted window being edited takes its keys itself.
                if (!(Selected && Selected->HasWindow() && Selected->Active()) && Active->HandleAllocated()) {
                    RouteKeyToBarControl(Active, AKey, AKeyData);
                    return true;
                }
            } else if (AKey == static_cast<win::WPARAM>(win::VK_ESCAPE)) {
                if (Active->HandleAllocated() && win::GetCapture() == Active->Handle()) win::ReleaseCapture();
                return true;
            }
        }
    }
    if (win::GetCapture()) return false;
    if (IsContextMenuKey(AKey, Up) && ShowKeyboardContextMenu()) return true;
    TdxBarManager* MenuManager = nullptr;
    TdxBarManager* ShortCutManager = nullptr;
    FindKeyManagers(MenuManager, ShortCutManager);
    if (!MenuManager || MenuManager->GetIsCustomizing() || MenuManager->KeyboardBar()) return false;
    if (Up) {
        // Alt pressed and released alone, or F10 alone, takes the keyboard
        // to the main menu bar.
        const bool AltAlone = GAltAlone && AKey == static_cast<win::WPARAM>(win::VK_MENU) && OnlyAltHeld();
        const bool F10 = AKey == static_cast<win::WPARAM>(win::VK_F10) && MenuManager->UseF10ForMenu() &&
                         win::GetAsyncKeyState(win::VK_SHIFT) >= 0 &&
                         win::GetAsyncKeyState(win::VK_CONTROL) >= 0 &&
                         win::GetAsyncKeyState(win::VK_MENU) >= 0;
        GAltAlone = false;
        if (AltAlone || F10) {
            if (TdxBarControl* MainMenu = ShownBarWindow(MenuManager->MainMenuBar())) {
                MainMenu->ActivateByKeyboard(nullptr);
                return true;
            }
        }
        return false;
    }
    if (AKey == static_cast<win::WPARAM>(win::VK_MENU)) {
        GAltAlone = true;
        return false;
    }
    GAltAlone = false;
    const cls::TShortCut ShortCut = CurrentShortCut(AKey);
    if (HandleLinkedShortCut(ShortCut) || HandleShortCut(MenuManager, ShortCut)) return true;
    if (ShortCutManager != MenuManager && ShortCutManager && HandleShortCut(ShortCutManager, ShortCut))
        return true;
    if (win::GetAsyncKeyState(win::VK_MENU) >= 0) return false;
    if (HandleAccelerator(MenuManager, AKey)) return true;
    return ShortCutManager != MenuManager && ShortCutManager && HandleAccelerator(ShortCutManager, AKey);
}

// ============================================================================
// Mouse hook
// ============================================================================

bool IsOneOf(win::WPARAM AMsg, std::initializer_list<win::UINT> AMessages) {
    for (win::UINT M : AMessages)
        if (AMsg == M) return true;
    return false;
}

bool IsButtonPress(win::WPARAM AMsg) {
    return IsOneOf(AMsg, {win::WM_LBUTTONDOWN, win::WM_LBUTTONDBLCLK, win::WM_RBUTTONDOWN,
                          win::WM_RBUTTONDBLCLK, win::WM_MBUTTONDOWN, win::WM_MBUTTONDBLCLK,
                          win::WM_NCLBUTTONDOWN, win::WM_NCLBUTTONDBLCLK, win::WM_NCRBUTTONDOWN,
                          win::WM_NCRBUTTONDBLCLK, win::WM_NCMBUTTONDOWN, win::WM_NCMBUTTONDBLCLK});
}

// The drop-down window of the active window's selected combo while it is
// open, nullptr otherwise.
win::HWND ActiveDropDownWindow() {
    TCustomdxBarControl* Active = GetActiveBarControl();
    const auto* Combo = Active ? dynamic_cast<TCustomdxBarComboControl*>(Active->SelectedControl()) : nullptr;
    return Combo && Combo->DroppedDown() ? Combo->GetDropDownWindow() : nullptr;
}

// The window is one of the active chain's bar windows or a direct child of
// one, or the open drop-down window of its combo or a window inside that.
bool IsInActiveChain(win::HWND AWnd) {
    if (!AWnd) return false;
    if (const win::HWND DropDown = ActiveDropDownWindow();
        DropDown && (AWnd == DropDown || win::IsChild(DropDown, AWnd)))
        return true;
    const win::HWND Parent =
        (win::GetWindowLongPtr(AWnd, win::GWL_STYLE) & win::WS_CHILD) ? win::GetParent(AWnd) : nullptr;
    std::vector<TCustomdxBarControl*> Visited;
    for (TCustomdxBarControl* W = GetActiveBarControl(); IsBarControlAlive(W); W = W->ParentBar()) {
        if (std::find(Visited.begin(), Visited.end(), W) != Visited.end()) break;
        Visited.push_back(W);
        if (!W->HandleAllocated()) continue;
        if (W->Handle() == AWnd || (Parent && W->Handle() == Parent)) return true;
    }
    return false;
}

bool HasSelectedControl(win::HWND AWnd) {
    auto* Window = dynamic_cast<TCustomdxBarControl*>(cls::FindControl(AWnd));
    return IsBarControlAlive(Window) && Window->SelectedControl();
}

// The release lands on an entry of a bar window.
bool IsItemControlHit(win::HWND AWnd, win::POINT P) {
    if (HasSelectedControl(AWnd) || ActiveDropDownWindow()) return true;
    if (!win::GetCapture()) return false;
    TCustomdxBarControl* Active = GetActiveBarControl();
    return Active && Active->HandleAllocated() && GetWindowFromScreenPoint(P) == Active->Handle() &&
           Active->SelectedControl();
}

bool MouseHook(win::WPARAM AMsg, const win::MOUSEHOOKSTRUCT& AInfo) {
    if (!GetActiveBarControl()) return false;
    bool Handled = false;
    if (IsOneOf(AMsg, {win::WM_RBUTTONUP, win::WM_NCRBUTTONUP, win::WM_MBUTTONUP, win::WM_NCMBUTTONUP}) &&
        !IsItemControlHit(AInfo.hwnd, AInfo.pt) && !IsInActiveChain(AInfo.hwnd))
        Handled = true;
    const TdxBarManager* Manager = GetActiveBarControl()->GetBarManager();
    if (Manager && Manager->LinkDragging()) return Handled;
    const bool Release = AMsg == win::WM_LBUTTONUP || AMsg == win::WM_NCLBUTTONUP;
    for (TCustomdxBarControl* Active = GetActiveBarControl(); Active; Active = GetActiveBarControl()) {
        if (IsInActiveChain(AInfo.hwnd)) break;
        bool Close = IsButtonPress(AMsg);
        // A root popup menu stays open on a release outside it: the release
        // of the click that opened it may come after it showed.
        if (Release && !IsSubMenuAnimating())
            Close = (Active->IsToolbarWindow() || (Active->IsMenuWindow() && Active->ParentBar())) &&
                    !Active->IsCustomizing();
        if (!Close) break;
        Active->DeactivateAll();
        if (GetActiveBarControl() == Active) break;
    }
    if (AInfo.hwnd && !win::IsWindowVisible(AInfo.hwnd)) Handled = true;
    return Handled;
}

class THookMouseScope {
public:
    THookMouseScope(win::UINT AMsg, win::POINT APoint)
        : FSavedMessage(GHookMouseMessage), FSavedPoint(GHookMousePoint) {
        GHookMouseMessage = AMsg;
        GHookMousePoint = APoint;
    }
    ~THookMouseScope() {
        GHookMouseMessage = FSavedMessage;
        GHookMousePoint = FSavedPoint;
    }
    THookMouseScope(const THookMouseScope&) = delete;
    THookMouseScope& operator=(const THookMouseScope&) = delete;

private:
    win::UINT FSavedMessage;
    win::POINT FSavedPoint;
};

// A button or wheel message outside the open quick-customization drop-down
// (and the menus opened from it) and outside its toolbar's mark closes it; a
// right press on the mark counts as outside.
void CloseQuickControlOnPress(win::WPARAM AMsg, const win::MOUSEHOOKSTRUCT& AInfo) {
    TdxBarQuickControl* Quick = TdxBarQuickControl::OpenQuickControl();
    const bool Button = (AMsg >= win::WM_LBUTTONDOWN && AMsg <= win::WM_MOUSEWHEEL) ||
                        (AMsg >= win::WM_NCLBUTTONDOWN && AMsg <= win::WM_NCMBUTTONDBLCLK);
    if (!Quick || !Button) return;
    auto* Window = dynamic_cast<TCustomdxBarControl*>(FindControlOfWindow(AInfo.hwnd));
    if (Window && GetRootBarControl(Window) == Quick) return;
    if (const TdxBarControl* Toolbar = Quick->Toolbar(); Toolbar && AMsg != win::WM_RBUTTONDOWN) {
        const cls::TRect Mark = Toolbar->GetMarkScreenRect();
        if (gfx::PtInRect(&Mark, AInfo.pt)) return;
    }
    Quick->Close();
}

// A right-button release over a control of a form with a manager: the
// context menu of the control's popup-menu links. A bar window's right
// button is its own.
bool ShowMouseContextMenu(const win::MOUSEHOOKSTRUCT& AInfo) {
    cls::TWinControl* Control = FindControlOfWindow(AInfo.hwnd);
    if (!Control || !Control->Visible() || dynamic_cast<TCustomdxBarControl*>(Control)) return false;
    TdxBarPopupMenuLinks* Links = PopupMenuLinksOf(Control);
    if (!Links) return false;
    const cls::TMessage Message{win::WM_CONTEXTMENU, reinterpret_cast<win::WPARAM>(AInfo.hwnd),
                                win::PointToLParam(AInfo.pt)};
    return Links->HandleContextMenu(Control, AInfo.hwnd, Message);
}

// ============================================================================
// Call-window-procedure hook
// ============================================================================

void CallWndProcHook(const win::CWPSTRUCT& AMsg) {
    win::HWND Wnd = AMsg.hwnd;
    // Help asked on another form while a menu is open is help for the menu.
    if (AMsg.message == win::WM_HELP) {
        TCustomdxBarControl* Active = GetActiveBarControl();
        TdxBarManager* Manager = Active ? Active->GetBarManager() : nullptr;
        cls::TCustomForm* OwnerForm = Manager ? Manager->OwnerForm() : nullptr;
        cls::TWinControl* Target = FindControlOfWindow(Wnd);
        if (OwnerForm && OwnerForm->HandleAllocated() && cls::GetParentForm(Target) != OwnerForm)
            Wnd = OwnerForm->Handle();
    }
    cls::TWinControl* Control = cls::FindControl(Wnd);
    if (auto* Form = dynamic_cast<cls::TCustomForm*>(Control)) {
        if (TdxBarManager* Manager = GetBarManagerByForm(Form))
            Manager->HandleOwnerFormMessage(AMsg.message, AMsg.wParam, AMsg.lParam);
        return;
    }
    if (AMsg.message != win::WM_ACTIVATE) return;
    const win::HWND Parent = win::GetParent(Wnd);
    auto* Window = dynamic_cast<TCustomdxBarControl*>(Control);
    if (Window && (Window->IsMenuWindow() || dynamic_cast<TdxBarQuickControl*>(Window))) return;
    if (Window && Window->IsToolbarWindow() && Parent == reinterpret_cast<win::HWND>(AMsg.lParam)) return;
    cls::TCustomForm* ParentForm = FormOfWindow(Parent);
    if (ParentForm && win::IsWindowVisible(Parent))
        if (TdxBarManager* Manager = GetBarManagerByForm(ParentForm))
            Manager->HandleOwnerFormMessage(AMsg.message, AMsg.wParam, AMsg.lParam);
}

win::LRESULT MouseHookProc(int Code, win::WPARAM WParam, win::LPARAM LParam) {
    bool Handled = false;
    if (Code >= 0 && !GMouseHookBusy && LParam) {
        const win::MOUSEHOOKSTRUCT Info = *reinterpret_cast<const win::MOUSEHOOKSTRUCT*>(LParam);
        try {
            {
                TBusyScope Busy(GMouseHookBusy);
                const THookMouseScope Routing(static_cast<win::UINT>(WParam), Info.pt);
                Handled = MouseHook(WParam, Info);
                CloseQuickControlOnPress(WParam, Info);
            }
            // Outside the guard: the menu's loop runs in here, and the hook
            // must go on closing menus meanwhile.
            if (!Handled && Code == win::HC_ACTION &&
                (WParam == win::WM_RBUTTONUP || WParam == win::WM_NCRBUTTONUP))
                Handled = ShowMouseContextMenu(Info);
        } catch (...) {
            ReportHookException();
        }
    }
    const win::LRESULT Next = win::CallNextHookEx(GMouseHook, Code, WParam, LParam);
    return Handled ? 1 : Next;
}

// The application's MDI frame was activated or deactivated: the MDI
// children's managers show or hide their floating bars (on activation only
// the active child's).
void MDIFrameActivation(const win::CWPSTRUCT& AMsg) {
    if (AMsg.message != win::WM_ACTIVATE || IsAnyPopupMenuShowing()) return;
    cls::TApplication* App = cls::ApplicationIfExists();
    cls::TForm* Frame = App ? App->MainForm() : nullptr;
    if (!Frame || Frame->FormStyle() != cls::fsMDIForm || !Frame->HandleAllocated() ||
        AMsg.hwnd != Frame->Handle())
        return;
    const bool Active = win::LOWORD(static_cast<win::LPARAM>(AMsg.wParam)) != win::WA_INACTIVE;
    const auto Other = reinterpret_cast<win::HWND>(AMsg.lParam);
    cls::TForm* ActiveChild = Frame->ActiveMDIChild();
    TdxBarManagerList* List = dxBarManagerList();
    for (int I = 0; List && I < List->Count(); ++I) {
        TdxBarManager* Manager = List->GetItem(I);
        cls::TCustomForm* Form = Manager ? Manager->OwnerForm() : nullptr;
        if (!Form || Form->FormStyle() != cls::fsMDIChild || (Active && Form != ActiveChild)) continue;
        Manager->MDIFrameActivated(Active, Other);
    }
}

// A child of an "MDICLIENT" window was activated or goes: the frame's
// manager brings its main menu up to date.
void UpdateMDIFrameMenus(const win::CWPSTRUCT& AMsg) {
    if (AMsg.message != win::WM_CHILDACTIVATE && AMsg.message != win::WM_DESTROY &&
        AMsg.message != win::WM_MDIACTIVATE)
        return;
    const win::HWND Client = win::GetParent(AMsg.hwnd);
    if (!IsMDIClientWindow(Client)) return;
    cls::TCustomForm* Frame = FormOfWindow(win::GetParent(Client));
    if (TdxBarManager* Manager = Frame ? GetBarManagerByForm(Frame) : nullptr) Manager->UpdateMDIChildMenus();
}

win::LRESULT CallWndProcHookProc(int Code, win::WPARAM WParam, win::LPARAM LParam) {
    if (Code == win::HC_ACTION && !GCallWndProcBusy && LParam) {
        TBusyScope Busy(GCallWndProcBusy);
        try {
            CallWndProcHook(*reinterpret_cast<const win::CWPSTRUCT*>(LParam));
            MDIFrameActivation(*reinterpret_cast<const win::CWPSTRUCT*>(LParam));
        } catch (...) {
            ReportHookException();
        }
    }
    const win::LRESULT Next = win::CallNextHookEx(GCallWndProcHook, Code, WParam, LParam);
    if (Code == win::HC_ACTION && LParam) {
        try {
            UpdateMDIFrameMenus(*reinterpret_cast<const win::CWPSTRUCT*>(LParam));
        } catch (...) {
            ReportHookException();
        }
    }
    return Next;
}

void InstallHooks() {
    const win::DWORD Thread = win::GetCurrentThreadId();
    if (!GKeyboardHook)
        GKeyboardHook = win::SetWindowsHookEx(win::WH_KEYBOARD, &BarManagerKeyboardHookProc, nullptr, Thread);
    if (!GMouseHook) GMouseHook = win::SetWindowsHookEx(win::WH_MOUSE, &MouseHookProc, nullptr, Thread);
    if (!GCallWndProcHook)
        GCallWndProcHook = win::SetWindowsHookEx(win::WH_CALLWNDPROC, &CallWndProcHookProc, nullptr, Thread);
}

void RemoveHook(win::HHOOK& AHook) {
    if (AHook) win::UnhookWindowsHookEx(AHook);
    AHook = nullptr;
}

void FreeHintWindow() {
    StopHintTimer();
    StopGraceTimer();
    GHintRequested = false;
    GHintShown = false;
    GHintManager = nullptr;
    GHintText.clear();
    TdxBarHintWindow* Window = GHintWindow;
    GHintWindow = nullptr;
    delete Window;
}

} // namespace

// ============================================================================
// The list
// ============================================================================

TdxBarManagerList::~TdxBarManagerList() {
    // A manager leaves the list in its destructor.
    while (FList.Count() > 0) {
        auto* Manager = static_cast<TdxBarManager*>(FList.First());
        delete Manager;
        if (FList.Count() > 0 && FList.First() == Manager) FList.Delete(0);
    }
}

TdxBarManager* TdxBarManagerList::GetItem(int Index) const {
    if (Index < 0 || Index >= FList.Count()) return nullptr;
    return static_cast<TdxBarManager*>(FList.Items(Index));
}

int TdxBarManagerList::IndexOf(const TdxBarManager* AManager) const {
    return FList.IndexOf(const_cast<TdxBarManager*>(AManager));
}

TdxBarManager* TdxBarManagerList::GetCustomizingManager() const {
    for (int I = 0; I < FList.Count(); ++I) {
        auto* Manager = static_cast<TdxBarManager*>(FList.Items(I));
        if (Manager->GetIsCustomizing()) return Manager;
    }
    return nullptr;
}

TdxBarManagerList* dxBarManagerList() {
    return GBarManagerList;
}

void CreateBarManagerList() {
    if (!GBarManagerList) GBarManagerList = new TdxBarManagerList();
}

void FreeBarManagerList() {
    // Cleared first, so the managers that the list frees no longer see it.
    TdxBarManagerList* List = GBarManagerList;
    GBarManagerList = nullptr;
    delete List;
}

void AddBarManagerToList(TdxBarManager* AManager) {
    if (!GBarManagerList || !AManager || GBarManagerList->IndexOf(AManager) >= 0) return;
    if (GBarManagerList->Count() == 0) StopBarSound();
    GBarManagerList->FList.Add(AManager);
    if (!GHintWindow && !AManager->ComponentState().Contains(cls::csDesigning))
        GHintWindow = new TdxBarHintWindow(nullptr);
    InstallHooks();
}

void RemoveBarManagerFromList(TdxBarManager* AManager) {
    if (GBarManagerList) GBarManagerList->FList.Remove(AManager);
    if (GBarManagerList && GBarManagerList->Count() > 0) return;
    RemoveHook(GCallWndProcHook);
    RemoveHook(GMouseHook);
    RemoveHook(GKeyboardHook);
    GKeyReleasePending = false;
    GAltAlone = false;
    FreeHintWindow();
}

bool AreBarHooksInstalled() {
    return GKeyboardHook && GMouseHook && GCallWndProcHook;
}

TdxBarHintWindow* GetBarHintWindow() {
    return GHintWindow;
}

void CloseActiveBarControl() {
    if (TCustomdxBarControl* Active = GetActiveBarControl()) Active->DeactivateAll();
}

win::UINT GetHookMouseMessage(win::POINT* APoint) {
    if (APoint) *APoint = GHookMousePoint;
    return GHookMouseMessage;
}

void SetToolbarButtonTracking(bool Value) {
    GToolbarButtonTracking = Value;
}

bool ToolbarButtonTracking() {
    return GToolbarButtonTracking;
}

// ============================================================================
// Item hints
// ============================================================================

void RequestBarItemHint(TdxBarManager* AManager, bool AShow, const std::string& AText) {
    if (!AShow && !GHintRequested) return;
    GHintRequested = AShow;
    GHintText = AText;
    GHintShown = false;
    GHintManager = AManager;
    TdxBarItemControl* Selected = AManager->SelectedItemControl();
    const bool Wanted =
        AShow &&
        (!AText.empty() || (Selected && IsBarControlAlive(Selected->Parent()) && !AManager->LinkDragging()));
    StopHintTimer();
    if (Wanted) {
        if (!HintWindowShowing() && !GHintGraceTimer)
            GHintTimer = win::SetTimer(nullptr, 0, HintDelay, &HintDelayProc);
        else
            ShowPendingHint();
        return;
    }
    if (!HintWindowShowing()) return;
    HideHintWindow();
    if (AShow) {
        StopGraceTimer();
        GHintGraceTimer = win::SetTimer(nullptr, 0, HintGracePeriod, &GraceTimerProc);
    }
}

void CancelBarItemHint(TdxBarManager* AManager) {
    if (GHintTimer) {
        StopHintTimer();
        HideHintWindow();
    }
    StopGraceTimer();
    if (GHintManager == AManager) {
        GHintManager = nullptr;
        GHintRequested = false;
        GHintText.clear();
    }
}

// ============================================================================
// Hook procedures
// ============================================================================

win::LRESULT BarManagerKeyboardHookProc(int Code, win::WPARAM WParam, win::LPARAM LParam) {
    bool Handled = false;
    try {
        Handled = KeyboardHook(Code, WParam, LParam);
    } catch (...) {
        ReportHookException();
    }
    if (GKeyFromEdit) return Handled ? 1 : 0;
    const win::LRESULT Next = win::CallNextHookEx(GKeyboardHook, Code, WParam, LParam);
    return Handled ? 1 : Next;
}

bool HandleKeyFromEdit(win::WPARAM AKey, win::LPARAM AKeyData) {
    TBusyScope Direct(GKeyFromEdit);
    return BarManagerKeyboardHookProc(win::HC_ACTION, AKey, AKeyData) == 1;
}

} // namespace bars
