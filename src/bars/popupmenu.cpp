#include "bars/popupmenu.h"

#include <algorithm>

#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/managerlist.h"
#include "bars/registry.h"
#include "bars/strings.h"
#include "bars/submenu.h"
#include "bars/system.h"
#include "classes/exceptions.h"
#include "classes/forms.h"
#include "classes/guards.h"
#include "lookandfeel/text.h"

namespace bars {

TdxBarPopupMenu::TdxBarPopupMenu(cls::TComponent* AOwner) : cls::TComponent(AOwner) {
    if (!dxBarManagerList() || dxBarManagerList()->Count() == 0)
        throw cls::Exception(lf::cxGetResourceString(dxSBAR_NOBARMANAGERS));
    FBackgroundBitmap = new cls::TBitmap();
    if (auto* Form = dynamic_cast<cls::TCustomForm*>(AOwner)) FBarManager = GetBarManagerByForm(Form);
    if (!FBarManager) FBarManager = dxBarManagerList()->GetItem(0);
    FFont = new cls::TFont();
    PushManagerFont();
    FFont->SetOnChange(cls::TNotifyEvent(this, &TdxBarPopupMenu::FontChanged));
    FItemLinks = new TdxBarItemLinks(this, FBarManager);
    FItemLinks->SetUseRecentItems(false);
    FBarManager->AddPopupMenu(this);
}

TdxBarPopupMenu::~TdxBarPopupMenu() {
    // A loop of Popup or a drop-down under way learns that the menu went.
    lf::cxClearObjectLinks(this);
    FOnCloseUp = nullptr;
    FOnPopup = nullptr;
    if (FBarManager) FBarManager->RemovePopupMenu(this);
    delete FItemLinks;
    FItemLinks = nullptr;
    lf::cxRemoveObjectLink(FDropDownControl);
    FDropDownControl = nullptr;
    if (FFont) FFont->SetOnChange(nullptr);
    delete FFont;
    FFont = nullptr;
    if (FFontHandle) gfx::DeleteObject(FFontHandle);
    FFontHandle = nullptr;
    delete FBackgroundBitmap;
    FBackgroundBitmap = nullptr;
}

void TdxBarPopupMenu::Loaded() {
    inherited::Loaded();
    FItemLinks->ApplyLoadedState(true);
}

// ============================================================================
// Properties
// ============================================================================

void TdxBarPopupMenu::SetBarManager(TdxBarManager* Value) {
    if (Value == FBarManager) return;
    if (!Value && !ComponentState().Contains(cls::csDestroying)) return;
    if (FBarManager) FBarManager->RemovePopupMenu(this);
    FBarManager = Value;
    FItemLinks->SetBarManager(Value);
    if (FBarManager) FBarManager->AddPopupMenu(this);
}

void TdxBarPopupMenu::SetBarSize(int Value) {
    FBarSize = std::max(Value, 0);
}

void TdxBarPopupMenu::SetBackgroundBitmap(cls::TBitmap* Value) {
    FBackgroundBitmap->Assign(Value);
}

void TdxBarPopupMenu::SetFont(cls::TFont* Value) {
    FFont->Assign(Value);
}

void TdxBarPopupMenu::SetItemLinks(TdxBarItemLinks* Value) {
    FItemLinks->Assign(Value);
}

void TdxBarPopupMenu::SetUseRecentItems(bool Value) {
    FUseRecentItems = Value;
    FItemLinks->SetUseRecentItems(Value);
}

void TdxBarPopupMenu::SetUseOwnFont(bool Value) {
    if (FUseOwnFont == Value) return;
    FUseOwnFont = Value;
    if (Value) {
        FontChanged(nullptr);
        return;
    }
    PushManagerFont();
    if (FFontHandle) gfx::DeleteObject(FFontHandle);
    FFontHandle = nullptr;
}

void TdxBarPopupMenu::PushManagerFont() {
    if (!FBarManager || !FFont) return;
    const bool Previous = FManagerPush;
    FManagerPush = true;
    try {
        FFont->Assign(FBarManager->Font());
    } catch (...) {
        FManagerPush = Previous;
        throw;
    }
    FManagerPush = Previous;
}

void TdxBarPopupMenu::FontChanged(cls::TObject*) {
    if (!FManagerPush) FUseOwnFont = true;
    if (FUseOwnFont) CreateBarFontHandle(FFont, FFontHandle, false);
}

void TdxBarPopupMenu::ManagerFontChanged() {
    if (!FUseOwnFont) PushManagerFont();
}

void TdxBarPopupMenu::DoPaintBar(cls::TCanvas* Canvas, const cls::TRect& R) {
    FOnPaintBar(this, Canvas, R);
}

TdxBarSubMenuControl* TdxBarPopupMenu::GetBarControl() const {
    return FItemLinks ? dynamic_cast<TdxBarSubMenuControl*>(FItemLinks->BarControl()) : nullptr;
}

// ============================================================================
// Keys
// ============================================================================

bool TdxBarPopupMenu::IsShortCut(cls::TShortCut AShortCut) {
    return FItemLinks->IsShortCut(AShortCut);
}

bool TdxBarPopupMenu::IsShortCutKey(win::WPARAM AKey, win::LPARAM AKeyData) {
    auto ShortCut = static_cast<cls::TShortCut>(AKey & 0xFFFF);
    if (ShortCut == 0) return false;
    if (win::GetKeyState(win::VK_SHIFT) < 0) ShortCut |= cls::scShift;
    if (win::GetKeyState(win::VK_CONTROL) < 0) ShortCut |= cls::scCtrl;
    if (AKeyData & win::KF_ALTDOWN_BIT) ShortCut |= cls::scAlt;
    return IsShortCut(ShortCut);
}

// ============================================================================
// Showing
// ============================================================================

void TdxBarPopupMenu::MenuPopup(cls::TObject*) {
    FOpen = true;
    FOnPopup(this);
}

void TdxBarPopupMenu::MenuCloseUp(cls::TObject*) {
    FOpen = false;
    // Closed from a hook (Esc, whose release is swallowed), the menu leaves
    // its loop waiting for a message: this one tells it.
    if (FLooping) win::PostThreadMessage(win::GetCurrentThreadId(), win::WM_NULL, 0, 0);
    lf::TcxObjectLink* Link = FDropDownControl;
    FDropDownControl = nullptr;
    auto* Control = Link ? dynamic_cast<TdxBarButtonControl*>(Link->Ref) : nullptr;
    lf::cxRemoveObjectLink(Link);
    if (Control) {
        lf::TcxObjectLinkScope Self(this);
        Control->CloseUp();
        Control->Repaint();
        if (!Self.Alive()) return;
    }
    FOnCloseUp(this);
}

void TdxBarPopupMenu::BeginDropDown(TCustomdxBarControl* AParentBar, TdxBarItemControl* AControl) {
    FNoLoop = true;
    FParentBarControl = AParentBar;
    FPendingDropDownControl = AControl;
}

void TdxBarPopupMenu::EndDropDown() {
    FNoLoop = false;
    FParentBarControl = nullptr;
    FPendingDropDownControl = nullptr;
}

void TdxBarPopupMenu::PopupEx(int X, int Y, int AOwnerWidth, int AOwnerHeight, bool AAnimate,
                              const cls::TRect* AOwnerRect) {
    FOwnerWidth = AOwnerWidth;
    FOwnerHeight = AOwnerHeight;
    FAnimate = AAnimate;
    FHasOwnerRect = AOwnerRect != nullptr;
    FOwnerRect = AOwnerRect ? *AOwnerRect : cls::TRect{};
    lf::TcxObjectLinkScope Self(this);
    auto Reset = [&] {
        if (!Self.Alive()) return;
        FOwnerWidth = 0;
        FOwnerHeight = 0;
        FAnimate = true;
        FHasOwnerRect = false;
        FOwnerRect = cls::TRect{};
    };
    try {
        Popup(X, Y);
    } catch (...) {
        Reset();
        throw;
    }
    Reset();
}

void TdxBarPopupMenu::Popup(int X, int Y) {
    if (!FItemLinks || FItemLinks->BarControl() || !FBarManager) return;
    lf::TcxObjectLinkScope Self(this);
    // Whatever the mouse was doing ends.
    cls::TCustomForm* Form = dynamic_cast<cls::TCustomForm*>(Owner());
    if (!Form) Form = FBarManager->OwnerForm();
    if (Form) Form->SendCancelMode(nullptr);
    if (const win::HWND Capture = win::GetCapture()) {
        win::SendMessage(Capture, cls::CM_CANCELMODE, 0, 0);
        win::ReleaseCapture();
    }
    if (!Self.Alive() || FItemLinks->BarControl()) return;

    auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(FItemLinks->CreateBarControl());
    if (!Menu) return;
    Menu->SetLeft(X);
    Menu->SetTop(Y);
    if (FHasOwnerRect) {
        Menu->SetOwnerRect(FOwnerRect);
        Menu->SetOwnerBarControl(FParentBarControl);
    }
    if (IsBarControlAlive(FParentBarControl)) Menu->SetParentBar(FParentBarControl);
    Menu->SetOwnerWidth(FOwnerWidth);
    Menu->SetOwnerHeight(FOwnerHeight);
    if (auto* Windowed = dynamic_cast<cls::TWinControl*>(Owner()); Windowed && Windowed->HandleAllocated())
        Menu->SetParentWnd(Windowed->Handle());
    Menu->SetOnCloseUp(cls::TNotifyEvent(this, &TdxBarPopupMenu::MenuCloseUp));
    Menu->SetOnPopup(cls::TNotifyEvent(this, &TdxBarPopupMenu::MenuPopup));
    Menu->SetAnimate(FAnimate);
    if (FPendingDropDownControl) {
        Menu->SetDropDownControl(FPendingDropDownControl);
        lf::cxRemoveObjectLink(FDropDownControl);
        FDropDownControl = lf::cxAddObjectLink(FPendingDropDownControl);
    }
    try {
        Menu->ShowAnimated();
    } catch (...) {
        if (IsBarControlAlive(Menu)) Menu->CloseAndFree();
        throw;
    }
    if (!Self.Alive() || FNoLoop) return;

    FLooping = true;
    const cls::TScopeExit LoopEnd([&] {
        if (Self.Alive()) FLooping = false;
    });
    win::MSG Msg;
    for (;;) {
        const win::BOOL Got = win::NameTheWait("the popup menu's loop",
                                               [&Msg] { return win::GetMessage(&Msg, nullptr, 0, 0); });
        if (Got == 0 || Got == -1) {
            // The program ends: the menu goes and the quit reaches the caller's loop.
            FLooping = false;
            if (Got == 0) win::PostQuitMessage(static_cast<int>(Msg.wParam));
            if (Self.Alive() && FOpen)
                if (TdxBarSubMenuControl* Window = GetBarControl()) Window->CloseAndFree();
            return;
        }
        if (!Self.Alive() || !FOpen) {
            // The menu closed while the message was fetched (a click outside
            // it): the message is the caller's loop's.
            if (Msg.hwnd)
                win::PostMessage(Msg.hwnd, Msg.message, Msg.wParam, Msg.lParam);
            else if (Msg.message != win::WM_NULL)
                win::PostThreadMessage(win::GetCurrentThreadId(), Msg.message, Msg.wParam, Msg.lParam);
            return;
        }
        if (Msg.message != win::WM_COMMAND) {
            win::TranslateMessage(&Msg);
            win::DispatchMessage(&Msg);
        }
        if (!Self.Alive() || !FOpen) return;
    }
}

// ============================================================================
// Shared routines
// ============================================================================

bool IsAnyPopupMenuShowing() {
    const TdxBarManagerList* List = dxBarManagerList();
    for (int I = 0; List && I < List->Count(); ++I) {
        TdxBarManager* Manager = List->GetItem(I);
        for (int J = 0; J < Manager->PopupMenuCount(); ++J) {
            auto* Menu = dynamic_cast<TdxBarPopupMenu*>(Manager->GetPopupMenu(J));
            if (Menu && Menu->IsOpen()) return true;
        }
    }
    return false;
}

} // namespace bars
