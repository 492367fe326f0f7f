#include "bars/bars.h"
#include "bars/mdi.h"

#include <algorithm>
#include <optional>

#include "bars/links.h"
#include "bars/manager.h"
#include "bars/painter.h"
#include "bars/registry.h"
#include "bars/strings.h"
#include "bars/subitem.h"
#include "bars/system.h"
#include "bars/toolbar.h"
#include "classes/forms.h"
#include "classes/sysutils.h"
#include "lookandfeel/objectlinks.h"
#include "lookandfeel/text.h"

namespace bars {

namespace {

// One of the named styles: a value cast from anything else is refused.
bool IsDockingStyle(TdxBarDockingStyle AStyle) {
    return static_cast<unsigned>(AStyle) <= static_cast<unsigned>(dsBottom);
}

} // namespace

// ============================================================================
// TdxBar: life
// ============================================================================

TdxBar::TdxBar(cls::TCollection* ACollection)
    : cls::TCollectionItem(ACollection), FBackgroundBitmap(new cls::TBitmap()), FFont(new cls::TFont()) {
    FBackgroundBitmap->SetOnChange(cls::TNotifyEvent(this, &TdxBar::BackgroundBitmapChanged));
    FFont->SetOnChange(cls::TNotifyEvent(this, &TdxBar::FontChanged));
    TdxBarManager* Manager = BarManager();
    if (Manager && Manager->Font()) PushFont(Manager->Font());
    FItemLinks = new TdxBarItemLinks(this, Manager);
    FItemLinks->SetUseRecentItems(FUseRecentItems);
    FItemLinks->SetOnChange(cls::TNotifyEvent(this, &TdxBar::ItemLinksChanged));
}

void TdxBar::AfterConstruction() {
    inherited::AfterConstruction();
    TdxBarManager* Manager = BarManager();
    if (Manager && !Manager->IsLoading()) {
        if (Manager->OnBarAdd()) Manager->OnBarAdd()(Manager, this);
        Manager->DesignerModified();
    }
}

TdxBar::~TdxBar() {
    TdxBarManager* Manager = BarManager();
    if (Manager && !Manager->IsDestroying()) {
        Manager->DesignerModified();
        if (Manager->OnBarDelete()) Manager->OnBarDelete()(Manager, this);
    }
    Hide();
    if (Manager) {
        Manager->RemoveHiddenBar(this);
        for (int I = 0; I < Manager->ItemCount(); ++I)
            if (auto* SubItem = dynamic_cast<TCustomdxBarSubItem*>(Manager->Items(I)))
                SubItem->DetachingBarRemoved(this);
        if (Manager->MainMenuBar() == this) Manager->SetMainMenuBar(nullptr);
        if (Manager->KeyboardBar() == this) Manager->SetKeyboardBar(nullptr);
    }
    FItemLinks->SetOnChange(nullptr);
    delete FItemLinks;
    FItemLinks = nullptr;
    FFont->SetOnChange(nullptr);
    delete FFont;
    if (FFontHandle) gfx::DeleteObject(FFontHandle);
    FBackgroundBitmap->SetOnChange(nullptr);
    delete FBackgroundBitmap;
    lf::cxClearObjectLinks(this);
}

void TdxBar::Assign(cls::TPersistent* Source) {
    auto* Other = dynamic_cast<TdxBar*>(Source);
    if (!Other) {
        inherited::Assign(Source);
        return;
    }
    TdxBarManager* Manager = BarManager();
    SetAllowClose(Other->AllowClose());
    SetAllowCustomizing(Other->AllowCustomizing());
    SetAllowQuickCustomizing(Other->AllowQuickCustomizing());
    SetAllowReset(Other->AllowReset());
    SetBorderStyle(Other->BorderStyle());
    SetCaption(Other->Caption());
    if (Manager && Manager->ComponentState().Contains(cls::csUpdating)) {
        const std::string& Name = Other->Name();
        const TdxBar* Owner = Manager->FindBarByName(Name);
        FName = Name.empty() || !Owner || Owner == this ? Name : Bars()->GetUniqueBarName(Name);
    }
    SetDockedDockControl(Other->DockedDockControl());
    SetDockedDockingStyle(Other->DockedDockingStyle());
    SetDockedLeft(Other->DockedLeft());
    SetDockedTop(Other->DockedTop());
    SetFloatLeft(Other->FloatLeft());
    SetFloatTop(Other->FloatTop());
    SetFloatClientWidth(Other->FloatClientWidth());
    SetFloatClientHeight(Other->FloatClientHeight());
    SetHidden(Other->Hidden());
    SetIsMainMenu(Other->IsMainMenu());
    FItemLinks->Assign(Other->ItemLinks());
    SetNotDocking(Other->NotDocking());
    SetOneOnRow(Other->OneOnRow());
    SetRotateWhenVertical(Other->RotateWhenVertical());
    SetRow(Other->Row());
    SetShowMark(Other->ShowMark());
    SetSizeGrip(Other->SizeGrip());
    SetWholeRow(Other->WholeRow());
    // A main dock site counts as none; a site of another manager is refused.
    TdxDockControl* Dock = Other->DockControl();
    if (Dock && !Dock->IsMainDock() && Dock->BarManager() == Manager) {
        SetDockControl(Dock);
    } else {
        SetDockControl(nullptr);
        SetDockingStyle(Other->DockingStyle());
    }
    SetUseRecentItems(Other->UseRecentItems());
    SetUseRestSpace(Other->UseRestSpace());
    SetColor(Other->Color());
    SetFont(Other->Font());
    SetUseOwnFont(Other->UseOwnFont());
    SetVisible(Other->Visible());
}

TdxBars* TdxBar::Bars() const {
    return static_cast<TdxBars*>(Collection());
}

TdxBarManager* TdxBar::BarManager() const {
    return Bars() ? Bars()->BarManager() : nullptr;
}

TdxBarControl* TdxBar::Control() const {
    return FItemLinks ? dynamic_cast<TdxBarControl*>(FItemLinks->BarControl()) : nullptr;
}

TdxDockControl* TdxBar::GetRealDockControl() const {
    if (FDockControl) return FDockControl;
    return Bars() ? Bars()->DockControls(FDockingStyle) : nullptr;
}

void TdxBar::DesignerModified() {
    if (TdxBarManager* Manager = BarManager()) Manager->DesignerModified();
}

// ============================================================================
// TdxBar: the window
// ============================================================================

void TdxBar::RelayWindow() {
    if (TdxBarControl* W = Control()) W->RepaintBar();
}

void TdxBar::RepaintWindow() {
    TdxBarControl* W = Control();
    if (!W) return;
    W->CalcMetrics();
    W->FrameChanged();
    W->RepaintBar();
}

void TdxBar::UpdateWindowCaption() {
    TdxBarControl* W = Control();
    if (W && W->DockingStyle() == dsNone) W->CaptionChanged();
}

void TdxBar::Show() {
    FVisible = true;
    TdxBarManager* Manager = BarManager();
    if (!Manager || !Manager->OwnerForm()) return;
    TdxDockControl* Dock = GetRealDockControl();
    if (!Dock && DockingStyle() != dsNone) {
        // The site went: the bar floats instead of staying without a place.
        FDockControl = FLoadedDockControl = nullptr;
        FDockingStyle = FLoadedDockingStyle = dsNone;
    }
    auto* W = dynamic_cast<TdxBarControl*>(FItemLinks->CreateBarControl());
    if (!W) return;
    if (DockingStyle() == dsNone)
        ShowFloating(W);
    else
        ShowDocked(W, Dock);
}

void TdxBar::ShowFloating(TdxBarControl* AWindow) {
    {
        TdxBarControlHandleLock Lock(AWindow);
        AWindow->ChangeDocking(dsNone, nullptr);
        const cls::TSize Size = AWindow->GetSizeForDockingStyle(dsNone);
        AWindow->SetBounds(FFloatLeft, FFloatTop, Size.cx, Size.cy);
    }
    TdxBarManager* Manager = BarManager();
    cls::TCustomForm* Form = Manager->OwnerForm();
    if (!IsBarControlAlive(AWindow) || !Form->HandleAllocated() || !win::IsWindowVisible(Form->Handle()))
        return;
    if (Manager->HideFloatingBarsWhenInactive() && win::GetActiveWindow() != Form->Handle() &&
        !IsActiveMDIChildOfActiveFrame(Form->Handle()) && !Manager->GetIsCustomizing())
        return;
    win::ShowWindow(AWindow->Handle(), win::SW_SHOWNA);
}

void TdxBar::ShowDocked(TdxBarControl* AWindow, TdxDockControl* ADockControl) {
    {
        TdxBarControlHandleLock Lock(AWindow);
        AWindow->ChangeDocking(DockingStyle(), ADockControl);
        const cls::TPoint P = ADockControl->ClientToScreen(cls::TPoint{FDockedLeft, FDockedTop});
        Bars()->InsertBarIntoDock(DockingStyle(), FDockControl, P, AWindow);
    }
    if (IsBarControlAlive(AWindow)) win::ShowWindow(AWindow->Handle(), win::SW_SHOWNA);
}

void TdxBar::Hide() {
    TdxBarControl* W = Control();
    if (W && W->HandleAllocated()) W->StoreBarPosition();
    FVisible = false;
    if (!W) return;
    if (Bars() && Bars()->MovingBarControl() == W) Bars()->SetMovingBarControl(nullptr);
    delete W;
}

void TdxBar::SetVisible(bool Value) {
    TdxBarManager* Manager = BarManager();
    if (Value && Manager && Manager->IsDestroying()) return;
    if (!Value && !FVisible && Manager) Manager->RemoveHiddenBar(this);
    FLoadedVisible = Value;
    if ((Manager && Manager->IsLoading()) || FVisible == Value) return;
    if (!Value) {
        Hide();
    } else {
        Show();
        if (Manager) Manager->RemoveHiddenBar(this);
    }
    if (Manager && !Manager->IsDestroying() && Manager->OnBarVisibleChange())
        Manager->OnBarVisibleChange()(Manager, this);
}

void TdxBar::DockingSwitched(TdxBarDockingStyle AStyle, TdxDockControl* ARealDockControl) {
    TdxDockControl* Dock = ARealDockControl && !ARealDockControl->IsMainDock() ? ARealDockControl : nullptr;
    if (FDockControl == Dock && FDockingStyle == AStyle) return;
    FDockControl = FLoadedDockControl = Dock;
    FDockingStyle = FLoadedDockingStyle = AStyle;
    if (TdxBarManager* Manager = BarManager()) Manager->DoBarDockingStyleChange(this);
}

// ============================================================================
// TdxBar: docking
// ============================================================================

void TdxBar::SetDockControl(TdxDockControl* Value) {
    TdxBarManager* Manager = BarManager();
    if (Value && Value->BarManager() != Manager) return;
    FLoadedDockControl = Value;
    if ((Manager && Manager->IsLoading()) || FDockControl == Value) return;
    const TdxBarDockingStyle OldStyle = DockingStyle();
    bool Rehide = false;
    if (TdxBarControl* W = Control()) {
        TdxDockControl* Current = W->DockControl();
        Rehide = Value ? Current != Value : W->DockingStyle() != dsNone && Current && !Current->IsMainDock();
    }
    if (Rehide) SetVisible(false);
    FDockControl = Value;
    // The style setter has stored its style already.
    if (!FDockingUpdating) FDockingStyle = Value ? Value->GetDockingStyle() : OldStyle;
    FItemLinks->SetRecentLimit(-1);
    if (Rehide) SetVisible(true);
    if (!FDockingUpdating && Manager) Manager->DoBarDockingStyleChange(this);
}

TdxBarDockingStyle TdxBar::DockingStyle() const {
    return FDockControl ? FDockControl->GetDockingStyle() : FDockingStyle;
}

void TdxBar::SetDockingStyle(TdxBarDockingStyle Value) {
    if (!IsDockingStyle(Value)) return;
    TdxBarManager* Manager = BarManager();
    FLoadedDockingStyle = Value;
    if ((Manager && Manager->IsLoading()) || DockingStyle() == Value) return;
    TdxBarControl* W = Control();
    const bool Rehide = W && W->DockingStyle() != Value;
    if (Rehide) SetVisible(false);
    FDockingStyle = Value;
    {
        TFlagGuard Updating(FDockingUpdating, true);
        SetDockControl(nullptr);
    }
    FItemLinks->SetRecentLimit(-1);
    if (Rehide) SetVisible(true);
    if (Manager) Manager->DoBarDockingStyleChange(this);
}

void TdxBar::SetDockedDockControl(TdxDockControl* Value) {
    if (Value && Value->BarManager() != BarManager()) return;
    FDockedDockControl = Value;
}

TdxBarDockingStyle TdxBar::DockedDockingStyle() const {
    return FDockedDockControl ? FDockedDockControl->GetDockingStyle() : FDockedDockingStyle;
}

void TdxBar::SetDockedDockingStyle(TdxBarDockingStyle Value) {
    if (IsDockingStyle(Value)) FDockedDockingStyle = Value;
}

void TdxBar::SetDockedLeft(int Value) {
    FDockedLeft = std::max(Value, 0);
}

void TdxBar::SetDockedTop(int Value) {
    FDockedTop = std::max(Value, 0);
}

void TdxBar::SetRow(int Value) {
    FRow = std::max(Value, 0);
}

void TdxBar::SetFloatLeft(int Value) {
    if (FFloatLeft == Value) return;
    FFloatLeft = Value;
    DesignerModified();
}

void TdxBar::SetFloatTop(int Value) {
    if (FFloatTop == Value) return;
    FFloatTop = Value;
    DesignerModified();
}

void TdxBar::SetFloatClientWidth(int Value) {
    if (FFloatClientWidth == Value) return;
    FFloatClientWidth = Value;
    DesignerModified();
}

void TdxBar::SetFloatClientHeight(int Value) {
    if (FFloatClientHeight == Value) return;
    FFloatClientHeight = Value;
    DesignerModified();
}

void TdxBar::ApplyLoadedState() {
    SetDockControl(FLoadedDockControl);
    if (!FDockControl) SetDockingStyle(FLoadedDockingStyle);
    SetVisible(FLoadedVisible);
}

// ============================================================================
// TdxBar: appearance and permissions
// ============================================================================

void TdxBar::SetAllowClose(bool Value) {
    if (FAllowClose == Value) return;
    FAllowClose = Value;
    UpdateWindowCaption();
}

void TdxBar::SetAllowQuickCustomizing(bool Value) {
    if (FAllowQuickCustomizing == Value) return;
    FAllowQuickCustomizing = Value;
    TdxBarControl* W = Control();
    if (!W) return;
    if (W->DockingStyle() == dsNone)
        W->CaptionChanged();
    else if (BarManager() && BarManager()->IsNonStandardStyle())
        W->RepaintBar();
}

void TdxBar::SetAlphaBlendValue(win::BYTE Value) {
    if (FAlphaBlendValue == Value) return;
    FAlphaBlendValue = Value;
    TdxBarControl* W = Control();
    if (W && W->DockingStyle() == dsNone) W->UpdateTransparency();
}

void TdxBar::SetBackgroundBitmap(cls::TBitmap* Value) {
    const bool WasEmpty = FBackgroundBitmap->Empty();
    FBackgroundBitmap->SetOnChange(nullptr);
    FBackgroundBitmap->Assign(Value);
    FBackgroundBitmap->SetOnChange(cls::TNotifyEvent(this, &TdxBar::BackgroundBitmapChanged));
    if (!WasEmpty || !FBackgroundBitmap->Empty()) RepaintWindow();
}

void TdxBar::BackgroundBitmapChanged(cls::TObject*) {
    RepaintWindow();
}

void TdxBar::SetBorderStyle(TdxBarBorderStyle Value) {
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RepaintWindow();
}

void TdxBar::SetCaption(const std::string& Value) {
    if (FCaption == Value) return;
    TdxBarManager* Manager = BarManager();
    if (Manager && Manager->FindBarByCaption(Value)) return;
    FCaption = Value;
    if (TdxBarControl* W = Control()) W->CaptionChanged();
    if (FName.empty() && Manager && !Manager->IsLoading()) {
        FName = Value.empty() || !Manager->FindBarByName(Value) ? Value : Bars()->GetUniqueBarName(Value);
    }
    DesignerModified();
}

void TdxBar::SetColor(cls::TColor Value) {
    if (FColor == Value) return;
    FColor = Value;
    RepaintWindow();
}

void TdxBar::SetHidden(bool Value) {
    if (FHidden == Value) return;
    FHidden = Value;
    DesignerModified();
}

void TdxBar::SetIsMainMenu(bool Value) {
    if (FIsMainMenu == Value) return;
    TdxBarManager* Manager = BarManager();
    {
        std::optional<TLockUpdateGuard> Lock;
        if (Manager) Lock.emplace(Manager);
        if (Value) {
            if (Manager && Manager->MainMenuBar()) Manager->MainMenuBar()->SetIsMainMenu(false);
            FIsMainMenu = true;
            if (Manager) Manager->SetMainMenuBar(this);
            SetWholeRow(true);
            SetMultiLine(true);
        } else {
            FIsMainMenu = false;
            if (Manager && Manager->MainMenuBar() == this) Manager->SetMainMenuBar(nullptr);
            SetMultiLine(false);
            SetWholeRow(false);
        }
    }
    if (Manager && Manager->IsLoading()) return;
    if (TdxBarControl* W = Control()) {
        if (W->DockingStyle() == dsNone)
            W->CaptionChanged();
        else
            W->RepaintBar();
    }
}

void TdxBar::SetItemLinks(TdxBarItemLinks* Value) {
    FItemLinks->Assign(Value);
}

void TdxBar::ItemLinksChanged(cls::TObject*) {
    DesignerModified();
}

void TdxBar::SetMultiLine(bool Value) {
    if (FMultiLine == Value || (!Value && FIsMainMenu)) return;
    FMultiLine = Value;
    TdxBarControl* W = Control();
    if (W && W->DockingStyle() != dsNone) W->RepaintBar();
}

void TdxBar::SetNotDocking(TdxBarDockingStyles Value) {
    if (FNotDocking == Value) return;
    FNotDocking = Value;
    RelayWindow();
}

void TdxBar::SetRotateWhenVertical(bool Value) {
    if (FRotateWhenVertical == Value) return;
    FRotateWhenVertical = Value;
    TdxBarControl* W = Control();
    if (W && W->HandleAllocated()) W->Perform(cls::CM_FONTCHANGED, 0, 0);
}

void TdxBar::SetShowMark(bool Value) {
    if (FShowMark == Value) return;
    FShowMark = Value;
    RelayWindow();
}

void TdxBar::SetSizeGrip(bool Value) {
    if (FSizeGrip == Value) return;
    FSizeGrip = Value;
    if (IsStatusBar()) RepaintWindow();
}

void TdxBar::SetUseRecentItems(bool Value) {
    if (FUseRecentItems == Value) return;
    FUseRecentItems = Value;
    FItemLinks->SetUseRecentItems(Value);
    RelayWindow();
}

void TdxBar::SetUseRestSpace(bool Value) {
    if (FUseRestSpace == Value) return;
    FUseRestSpace = Value;
    RelayWindow();
}

void TdxBar::SetWholeRow(bool Value) {
    if (FWholeRow == Value) return;
    FWholeRow = Value;
    TdxBarControl* W = Control();
    if (FVisible && W && W->DockingStyle() != dsNone) {
        SetVisible(false);
        SetVisible(true);
    }
}

void TdxBar::SetLockUpdate(bool Value) {
    if (FLockUpdate == Value) return;
    FLockUpdate = Value;
    TdxBarControl* W = Control();
    if (!W || !W->HandleAllocated() || W->DockingStyle() != dsNone) return;
    win::SendMessage(W->Handle(), win::WM_SETREDRAW, Value ? 0 : 1, 0);
    if (Value) return;
    RepaintWindow();
    win::RedrawWindow(W->Handle(), nullptr, nullptr,
                      win::RDW_FRAME | win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_ALLCHILDREN);
}

// ============================================================================
// TdxBar: fonts
// ============================================================================

void TdxBar::SetFont(cls::TFont* Value) {
    FFont->Assign(Value);
}

void TdxBar::PushFont(cls::TFont* AFont) {
    TFlagGuard Pushing(FFontPushing, true);
    FFont->Assign(AFont);
}

void TdxBar::FontChanged(cls::TObject*) {
    if (!FFontPushing) FUseOwnFont = true;
    if (FUseOwnFont) CreateBarFontHandle(FFont, FFontHandle, false);
    TdxBarControl* W = Control();
    if (W && W->HandleAllocated()) W->Perform(cls::CM_FONTCHANGED, 0, 0);
}

void TdxBar::SetUseOwnFont(bool Value) {
    if (FUseOwnFont == Value) return;
    FUseOwnFont = Value;
    if (Value) {
        FontChanged(nullptr);
        return;
    }
    if (TdxBarManager* Manager = BarManager(); Manager && Manager->Font()) PushFont(Manager->Font());
    if (FFontHandle) gfx::DeleteObject(FFontHandle);
    FFontHandle = nullptr;
    TdxBarControl* W = Control();
    if (W && W->HandleAllocated()) W->Perform(cls::CM_FONTCHANGED, 0, 0);
}

void TdxBar::ManagerFontChanged() {
    TdxBarManager* Manager = BarManager();
    if (FUseOwnFont)
        FontChanged(nullptr);
    else if (Manager && Manager->Font())
        PushFont(Manager->Font());
}

// ============================================================================
// TdxBar: tests and metrics
// ============================================================================

bool TdxBar::CanClose() const {
    const TdxBarControl* W = Control();
    return FAllowClose && !FIsMainMenu && (!W || W->CaptionShown());
}

bool TdxBar::CanDock() const {
    TdxBarManager* Manager = BarManager();
    return !(AllDockingStyles <= FNotDocking) && !(Manager && AllDockingStyles <= Manager->NotDocking());
}

bool TdxBar::CanReset() const {
    // Needs Predefined and AllowReset, and Reset needs the form's stored
    // (design-time) bar state to go back to; forms do not keep that state,
    // so nothing can be reset.
    return false;
}

bool TdxBar::IsShortCut(cls::TShortCut AShortCut) {
    return FItemLinks->IsShortCut(AShortCut);
}

bool TdxBar::IsStatusBar() const {
    return FBorderStyle == bbsNone && DockingStyle() == dsBottom && FWholeRow;
}

bool TdxBar::IsSizeGripVisible() const {
    if (!IsStatusBar() || !FSizeGrip) return false;
    TdxBarManager* Manager = BarManager();
    if (Manager && Manager->OwnerForm() && Manager->OwnerForm()->WindowState() == cls::wsMaximized)
        return false;
    TdxBarControl* W = Control();
    if (!W || !W->HandleAllocated()) return true;
    // Up to a top-level window or an MDI child form.
    for (win::HWND Wnd = W->Handle(); (win::GetWindowLong(Wnd, win::GWL_STYLE) & win::WS_CHILD) &&
                                      !(win::GetWindowLong(Wnd, win::GWL_EXSTYLE) & win::WS_EX_MDICHILD);) {
        const win::HWND Parent = win::GetParent(Wnd);
        if (!Parent) break;
        win::RECT R;
        win::GetWindowRect(Wnd, &R);
        win::RECT Client;
        win::GetClientRect(Parent, &Client);
        win::POINT Bottom{0, Client.bottom};
        win::ClientToScreen(Parent, &Bottom);
        if (R.bottom != Bottom.y) return false;
        Wnd = Parent;
    }
    return true;
}

int TdxBar::GetNonClientWidth(TdxBarDockingStyle AStyle) const {
    TdxBarManager* Manager = BarManager();
    if (!Manager) return 0;
    TdxBarItemControlPainterClass Painter = Manager->PainterClass();
    if (AStyle == dsNone) return 2 * Manager->GetBarFrameWidth() + 2 * Painter->GetFloatingFrameWidth();
    if (FBorderStyle == bbsNone) {
        if (!IsSizeGripVisible()) return 0;
        gfx::SIZE Grip{};
        Painter->GetSizeGripSize(Grip);
        return Grip.cx;
    }
    gfx::RECT Border{};
    Painter->GetBorderRect(FIsMainMenu, AStyle, Border);
    int Result = Border.left + Border.right;
    if (AStyle == dsTop || AStyle == dsBottom)
        Result += Manager->GetBarDragHandleSize(const_cast<TdxBar*>(this));
    return Result;
}

int TdxBar::GetNonClientHeight(TdxBarDockingStyle AStyle) const {
    TdxBarManager* Manager = BarManager();
    if (!Manager) return 0;
    TdxBarItemControlPainterClass Painter = Manager->PainterClass();
    if (AStyle == dsNone)
        return 2 * Manager->GetBarFrameHeight() + Painter->GetCaptionHeight() +
               Painter->GetFloatingFrameTop() + Painter->GetFloatingFrameBottom();
    if (FBorderStyle == bbsNone) return IsStatusBar() ? Painter->GetStatusBarBandHeight() : 0;
    gfx::RECT Border{};
    Painter->GetBorderRect(FIsMainMenu, AStyle, Border);
    int Result = Border.top + Border.bottom;
    if (AStyle == dsLeft || AStyle == dsRight)
        Result += Manager->GetBarDragHandleSize(const_cast<TdxBar*>(this));
    return Result;
}

// ============================================================================
// TdxBar: reset
// ============================================================================

void TdxBar::Reset() {
    // Goes back to the form's stored bar state; forms keep none (see
    // CanReset), so there is nothing to go back to.
}

void TdxBar::ResetWithConfirmation() {
    const std::string Text = cls::Format(lf::cxGetResourceString(dxSBAR_CONFIRMRESETTOOLBAR), {FCaption});
    if (cls::Application->MessageBox(Text, cls::Application->Title(),
                                     win::MB_OKCANCEL | win::MB_ICONEXCLAMATION) == win::IDOK)
        Reset();
}

// ============================================================================
// TdxBars
// ============================================================================

TdxBars::TdxBars(TdxBarManager* ABarManager)
    : cls::TCollection(TdxBar::ClassInfo()), FBarManager(ABarManager) {
    for (TdxBarDockingStyle Style : {dsLeft, dsTop, dsRight, dsBottom})
        FDockControls[Style] = new TdxDockControl(nullptr, Style, ABarManager);
}

TdxBars::~TdxBars() {
    ForgetDockingTimer();
    lf::cxClearObjectLinks(this);
    for (TdxBarDockingStyle Style : {dsLeft, dsTop, dsRight, dsBottom}) {
        TdxDockControl* DockControl = FDockControls[Style];
        FDockControls[Style] = nullptr;
        delete DockControl;
    }
    Clear();
}

cls::TPersistent* TdxBars::GetOwner() {
    return FBarManager;
}

TdxDockControl* TdxBars::DockControls(TdxBarDockingStyle AStyle) const {
    return FDockControls[AStyle];
}

std::string TdxBars::GetUniqueBarName(const std::string& ABase) const {
    auto Taken = [this](const std::string& AName) {
        for (int I = 0; I < Count(); ++I)
            if (Items(I)->Name() == AName) return true;
        return false;
    };
    for (int N = 1;; ++N) {
        std::string Name = ABase + std::to_string(N);
        if (!Taken(Name)) return Name;
    }
}

void TdxBars::DockControlRemoved(TdxDockControl* ADockControl) {
    for (TdxDockControl*& Slot : FDockControls)
        if (Slot == ADockControl) Slot = nullptr;
}

} // namespace bars
