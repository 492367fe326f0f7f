#include "bars/manager.h"

#include <algorithm>

#include "bars/barcontrol.h"
#include "bars/bars.h"
#include "bars/categories.h"
#include "bars/drawing.h"
#include "bars/item.h"
#include "bars/itemcontrol.h"
#include "bars/managerlist.h"
#include "bars/painter.h"
#include "bars/popupmenu.h"
#include "bars/quickcust.h"
#include "bars/registry.h"
#include "bars/strings.h"
#include "bars/submenu.h"
#include "bars/system.h"
#include "bars/toolbar.h"
#include "classes/exceptions.h"
#include "classes/forms.h"
#include "classes/imagelist.h"
#include "classes/sysutils.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/objectlinks.h"
#include "lookandfeel/text.h"
#include "lookandfeel/theme.h"

namespace bars {

namespace {

void DeleteBrush(gfx::HBRUSH& ABrush) {
    if (ABrush) gfx::DeleteObject(ABrush);
    ABrush = nullptr;
}

gfx::HBRUSH ScreenColorBrush(gfx::TColor AColor) {
    return gfx::CreateSolidBrush(gfx::ColorToRGB(GetNearestScreenColor(AColor)));
}

} // namespace

// ============================================================================
// Construction and destruction
// ============================================================================

TdxBarManager::TdxBarManager(cls::TComponent* AOwner) : cls::TComponent(AOwner) {
    FOwnerForm = dynamic_cast<cls::TCustomForm*>(AOwner);
    if (!AOwner) {
        cls::TApplication* App = cls::ApplicationIfExists();
        if (App && App->MainForm()) FOwnerForm = App->MainForm();
    }
    // Nothing is registered yet, so a refused manager leaves no trace.
    if (!FOwnerForm) throw cls::Exception(lf::cxGetResourceString(dxSBAR_WRONGOWNER));
    if (GetBarManagerByForm(FOwnerForm))
        throw cls::Exception(lf::cxGetResourceString(dxSBAR_ONEMANAGERPERFORM));
    FConstructionFailed = false;

    try {
        StartLibrary();
        FLibraryStarted = true;
        AddBarManagerToList(this);
        FBackgrounds = new TdxBarBackgrounds(this);
        FThemeAvailable = lf::AreVisualStylesAvailable({lf::totComboBox, lf::totEdit, lf::totProgress,
                                                        lf::totRebar, lf::totScrollBar, lf::totSpin,
                                                        lf::totStatus, lf::totToolBar, lf::totWindow});
        FPainterClass = GetItemControlPainterClass();
        FChangeReporting = true;
        FDesigning = ComponentState().Contains(cls::csDesigning);
        FCategories = new TdxBarManagerCategories(this);
        FBars = new TdxBars(this);
        FFont = new cls::TFont();
        FFont->SetOnChange(cls::TNotifyEvent(this, &TdxBarManager::FontChanged));
        FHelpButtonGlyph = new cls::TBitmap();
        FImagesChangeLink = new cls::TChangeLink();
        FImagesChangeLink->SetOnChange(cls::TNotifyEvent(this, &TdxBarManager::ImagesChanged));
        FLargeImagesChangeLink = new cls::TChangeLink();
        FLargeImagesChangeLink->SetOnChange(cls::TNotifyEvent(this, &TdxBarManager::LargeImagesChanged));
        FHotImagesChangeLink = new cls::TChangeLink();
        FHotImagesChangeLink->SetOnChange(cls::TNotifyEvent(this, &TdxBarManager::HotImagesChanged));
        FDisabledImagesChangeLink = new cls::TChangeLink();
        FDisabledImagesChangeLink->SetOnChange(
            cls::TNotifyEvent(this, &TdxBarManager::DisabledImagesChanged));
        FDisabledLargeImagesChangeLink = new cls::TChangeLink();
        FDisabledLargeImagesChangeLink->SetOnChange(
            cls::TNotifyEvent(this, &TdxBarManager::DisabledLargeImagesChanged));
        FThemeChangedNotificator = new lf::TdxThemeChangedNotificator();
        FThemeChangedNotificator->SetOnThemeChanged(
            lf::TdxThemeChangedEvent(this, &TdxBarManager::ThemeChanged));
        UpdateRecentItemsStep();
        FPopupMenuLinks = new TdxBarPopupMenuLinks(this);
        CalcButtonMetrics();
        FLookAndFeel = new lf::TcxLookAndFeel(this);
        FLookAndFeel->SetOnChanged(lf::TcxLookAndFeelChangedEvent(this, &TdxBarManager::LookAndFeelChanged));
        // The default Style and UseSystemFont take effect.
        ApplyStyle();
        ApplySystemFont();
        CreateColorBrushes();
        lf::AddRefOffice11Colors();
        FOffice11ColorsReferenced = true;
        UpdateDockColors();
    } catch (...) {
        // A failure past the owner checks must not leave the manager listed.
        DestroyOwnState();
        throw;
    }
}

TdxBarManager::~TdxBarManager() {
    if (!FConstructionFailed) DestroyOwnState();
}

void TdxBarManager::DestroyOwnState() {
    FConstructionFailed = true;
    lf::cxRemoveObjectLink(FMergedManager);
    FMergedManager = nullptr;
    FreeAndNil(FThemeChangedNotificator);
    CancelBarItemHint(this);
    FIsCustomizing = false;
    DestroyColorBrushes();
    if (FOffice11ColorsReferenced) lf::ReleaseOffice11Colors();
    FOffice11ColorsReferenced = false;

    while (FPopupMenuList.Count() > 0) {
        auto* Menu = static_cast<cls::TComponent*>(FPopupMenuList.Last());
        delete Menu;
        // A menu that did not leave by itself is taken off here.
        if (FPopupMenuList.Count() > 0 && FPopupMenuList.Last() == Menu)
            FPopupMenuList.Delete(FPopupMenuList.Count() - 1);
    }
    FreeAndNil(FImagesChangeLink);
    FreeAndNil(FLargeImagesChangeLink);
    FreeAndNil(FHotImagesChangeLink);
    FreeAndNil(FDisabledImagesChangeLink);
    FreeAndNil(FDisabledLargeImagesChangeLink);
    FreeAndNil(FHelpButtonGlyph);
    while (FGroupList.Count() > 0) {
        auto* Group = static_cast<TdxBarGroup*>(FGroupList.Last());
        delete Group;
        if (FGroupList.Count() > 0 && FGroupList.Last() == Group) FGroupList.Delete(FGroupList.Count() - 1);
    }
    if (FFont) FFont->SetOnChange(nullptr);
    FreeAndNil(FFont);
    if (FFontHandle) gfx::DeleteObject(FFontHandle);
    FFontHandle = nullptr;
    FreeAndNil(FBars);
    // Freed after the bars: nothing on their way out reads it any more.
    FreeAndNil(FLookAndFeel);

    while (FItemList.Count() > 0) {
        auto* Item = static_cast<TdxBarItem*>(FItemList.Last());
        delete Item;
        if (FItemList.Count() > 0 && FItemList.Last() == Item) FItemList.Delete(FItemList.Count() - 1);
    }
    RemoveBarManagerFromList(this);
    FreeAndNil(FCategories);
    FreeAndNil(FHiddenBarList);
    FreeAndNil(FPopupMenuLinks);
    FreeAndNil(FBackgrounds);
    if (FLibraryStarted) EndLibrary();
    FLibraryStarted = false;
}

// ============================================================================
// Loading and naming
// ============================================================================

void TdxBarManager::Loaded() {
    inherited::Loaded();
    if (FLockUpdate) return;
    FBars->SetLoadingBars(true);
    try {
        for (int I = 0; I < ItemCount(); ++I) Items(I)->ApplyLoadedVisible();
        for (int I = 0; I < FBars->Count(); ++I) FBars->Items(I)->ApplyLoadedState();
        // A form in a designer keeps its designed layout.
        if (!FDesigning) LoadStoredLayout();
    } catch (...) {
        FBars->SetLoadingBars(false);
        throw;
    }
    FBars->SetLoadingBars(false);
    for (int I = 0; I < FCategories->Count(); ++I) {
        if (TdxBarCategoryData* Data = FCategories->Data(I))
            SetCategoryItemsVisible(I, Data->LoadedItemsVisible);
    }
    TFlagGuard Updating(FDockControlsUpdating, true);
    for (int I = 0; I < DockControlCount(); ++I) {
        TdxDockControl* Dock = GetDockControl(I);
        Dock->UpdateColor();
        // Rows made for stored row numbers that no bar took go as RemoveBar's do.
        Dock->RemoveEmptyRows();
        Dock->UpdateDock();
    }
}

// ============================================================================
// Layout storage
// ============================================================================

TdxBarLayoutResult TdxBarManager::LayoutDone(TdxBarLayoutResult AResult) {
    if (!AResult.Ok() && FOnLayoutProblems) FOnLayoutProblems(this, AResult);
    return AResult;
}

TdxBarLayoutResult TdxBarManager::LoadFromRegistry(const std::string& APath) {
    return LayoutDone(LoadLayoutFromRegistry(this, APath));
}

TdxBarLayoutResult TdxBarManager::SaveToRegistry(const std::string& APath) {
    return LayoutDone(SaveLayoutToRegistry(this, APath));
}

TdxBarLayoutResult TdxBarManager::LoadFromIniFile(const std::string& AFileName) {
    return LayoutDone(LoadLayoutFromIniFile(this, AFileName));
}

TdxBarLayoutResult TdxBarManager::SaveToIniFile(const std::string& AFileName) {
    return LayoutDone(SaveLayoutToIniFile(this, AFileName));
}

void TdxBarManager::LoadStoredLayout() {
    if (FStoreInRegistry) LoadFromRegistry(FRegistryPath);
    if (FStoreInIniFile) LoadFromIniFile(FIniFileName);
}

void TdxBarManager::SaveStoredLayout() {
    if (FStoreInRegistry) SaveToRegistry(FRegistryPath);
    if (FStoreInIniFile) SaveToIniFile(FIniFileName);
}

void TdxBarManager::SetName(const std::string& NewName) {
    const std::string OldName = Name();
    inherited::SetName(NewName);
    if (!FDesigning || OldName.empty() || !Owner()) return;
    for (int I = 0; I < Owner()->ComponentCount(); ++I) {
        auto* Item = dynamic_cast<TdxBarItem*>(Owner()->Components(I));
        if (Item && Item->Name().compare(0, OldName.size(), OldName) == 0) {
            Item->SetName(NewName + Item->Name().substr(OldName.size()));
        }
    }
}

// ============================================================================
// Properties
// ============================================================================

void TdxBarManager::SetAutoDockColor(bool Value) {
    if (FAutoDockColor == Value) return;
    FAutoDockColor = Value;
    UpdateDockColors();
}

void TdxBarManager::SetAutoHideEmptyBars(bool Value) {
    if (FAutoHideEmptyBars == Value) return;
    FAutoHideEmptyBars = Value;
    if (!Value)
        for (int I = 0; I < FBars->Count(); ++I) FBars->Items(I)->SetHiddenWhenEmpty(false);
}

void TdxBarManager::SetScaled(bool Value) {
    if (FScaled == Value) return;
    FScaled = Value;
    if (Value && !FUseSystemFont) ApplySystemFont();
}

void TdxBarManager::SetFont(cls::TFont* Value) {
    FFont->Assign(Value);
}

void TdxBarManager::SetBackgrounds(TdxBarBackgrounds* Value) {
    FBackgrounds->Assign(Value);
}

void TdxBarManager::SetBars(TdxBars* Value) {
    FBars->Assign(Value);
}

void TdxBarManager::SetButtonArrowWidth(int Value) {
    if (Value < 2 || FButtonArrowWidth == Value) return;
    FButtonArrowWidth = Value;
    CalcButtonMetrics();
}

void TdxBarManager::SetCategories(cls::TStrings* Value) {
    if (Value)
        FCategories->Assign(Value);
    else
        FCategories->Clear();
}

cls::TColor TdxBarManager::DockColor() const {
    return FAutoDockColor && FOwnerForm ? FOwnerForm->Color() : FDockColor;
}

void TdxBarManager::SetDockColor(cls::TColor Value) {
    FDockColor = Value;
    FAutoDockColor = false;
    UpdateDockColors();
}

void TdxBarManager::SetFlatCloseButton(bool Value) {
    FFlatCloseButton = Value;
}

void TdxBarManager::SetHelpButtonGlyph(cls::TBitmap* Value) {
    FHelpButtonGlyph->Assign(Value);
}

void TdxBarManager::SetHideFloatingBarsWhenInactive(bool Value) {
    FHideFloatingBarsWhenInactive = Value;
}

void TdxBarManager::SetImageListBkColor(cls::TColor Value) {
    FImageListBkColor = Value;
}

void TdxBarManager::SetLargeButtonArrowWidth(int Value) {
    if (Value < 2) return;
    FLargeButtonArrowWidth = Value;
}

void TdxBarManager::SetLargeIcons(bool Value) {
    if (FLargeIcons == Value) return;
    FLargeIcons = Value;
    LargeIconsChanged();
}

void TdxBarManager::SetLookAndFeel(lf::TcxLookAndFeel* Value) {
    FLookAndFeel->Assign(Value);
}

void TdxBarManager::SetMakeDisabledImagesFaded(bool Value) {
    FMakeDisabledImagesFaded = Value;
}

void TdxBarManager::SetMenuAnimations(TdxBarMenuAnimations Value) {
    if (FMenuAnimations == Value) return;
    FMenuAnimations = Value;
    DesignerModified();
}

void TdxBarManager::SetMenusShowRecentItemsFirst(bool Value) {
    if (FMenusShowRecentItemsFirst == Value) return;
    FMenusShowRecentItemsFirst = Value;
    DesignerModified();
}

void TdxBarManager::SetMostRecentItemsPercents(int Value) {
    Value = std::clamp(Value, 0, 100);
    if (FMostRecentItemsPercents == Value) return;
    FMostRecentItemsPercents = Value;
    UpdateRecentItemsStep();
}

void TdxBarManager::SetNotDocking(TdxBarDockingStyles Value) {
    if (FNotDocking == Value) return;
    FNotDocking = Value;
    ApplyStyle();
}

void TdxBarManager::SetPopupMenuLinks(TdxBarPopupMenuLinks* Value) {
    FPopupMenuLinks->Assign(Value);
}

void TdxBarManager::SetShowCloseButton(bool Value) {
    FShowCloseButton = Value;
}

void TdxBarManager::SetShowFullMenusAfterDelay(bool Value) {
    if (FShowFullMenusAfterDelay == Value) return;
    FShowFullMenusAfterDelay = Value;
    DesignerModified();
}

void TdxBarManager::SetShowHint(bool Value) {
    if (FShowHint == Value) return;
    FShowHint = Value;
    DesignerModified();
}

void TdxBarManager::SetShowShortCutInHint(bool Value) {
    if (FShowShortCutInHint == Value) return;
    FShowShortCutInHint = Value;
    DesignerModified();
}

void TdxBarManager::SetStyle(TdxBarManagerStyle Value) {
    if (FStyle == Value) return;
    FStyle = Value;
    ApplyStyle();
}

void TdxBarManager::SetSunkenBorder(bool Value) {
    if (FSunkenBorder == Value) return;
    FSunkenBorder = Value;
    for (int I = 0; I < DockControlCount(); ++I) GetDockControl(I)->FrameChanged();
}

void TdxBarManager::SetUseLargeImagesForLargeIcons(bool Value) {
    if (FUseLargeImagesForLargeIcons == Value) return;
    FUseLargeImagesForLargeIcons = Value;
    LargeIconsChanged();
}

void TdxBarManager::SetUseSystemFont(bool Value) {
    if (FUseSystemFont == Value) return;
    FUseSystemFont = Value;
    if (Value) ApplySystemFont();
}

void TdxBarManager::SetWaitForDockingTime(int Value) {
    if (Value >= 0) FWaitForDockingTime = Value;
}

// ============================================================================
// Image lists
// ============================================================================

void TdxBarManager::SetImages(cls::TCustomImageList* Value) {
    SetImageList(FImages, FImagesChangeLink, Value, ilkImages);
}

void TdxBarManager::SetLargeImages(cls::TCustomImageList* Value) {
    if (FLargeImages == Value) return;
    SetImageList(FLargeImages, FLargeImagesChangeLink, Value, ilkLargeImages);
    if (FLargeIcons && FUseLargeImagesForLargeIcons) LargeIconsChanged();
}

void TdxBarManager::SetHotImages(cls::TCustomImageList* Value) {
    SetImageList(FHotImages, FHotImagesChangeLink, Value, ilkHotImages);
}

void TdxBarManager::SetDisabledImages(cls::TCustomImageList* Value) {
    SetImageList(FDisabledImages, FDisabledImagesChangeLink, Value, ilkDisabledImages);
}

void TdxBarManager::SetDisabledLargeImages(cls::TCustomImageList* Value) {
    SetImageList(FDisabledLargeImages, FDisabledLargeImagesChangeLink, Value, ilkDisabledLargeImages);
}

void TdxBarManager::SetImageList(cls::TCustomImageList*& AField, cls::TChangeLink* ALink,
                                 cls::TCustomImageList* Value, int AKind) {
    if (AField == Value) return;
    if (AField) AField->UnRegisterChanges(ALink);
    AField = Value;
    if (Value) {
        Value->RegisterChanges(ALink);
        Value->FreeNotification(this);
    }
    ImageListChanged(AKind);
}

void TdxBarManager::ImageListChanged(int AKind) {
    ++FMeasureGeneration;
    if (IsLoading() || IsDestroying()) return;
    const auto Kind = static_cast<TdxBarImageListKind>(AKind);
    TLockUpdateGuard Lock(this);
    for (int I = 0; I < ItemCount(); ++I) {
        TdxBarItem* Item = Items(I);
        if (Kind == ilkImages || Kind == ilkDisabledImages) {
            if (Item->ImageIndex() >= 0) Item->GlyphChanged();
        } else if (Item->UsesImageList(Kind)) {
            Item->ImageListChanged(Kind);
        }
    }
}

void TdxBarManager::ImagesChanged(cls::TObject*) {
    ImageListChanged(ilkImages);
}

void TdxBarManager::LargeImagesChanged(cls::TObject*) {
    ImageListChanged(ilkLargeImages);
}

void TdxBarManager::HotImagesChanged(cls::TObject*) {
    ImageListChanged(ilkHotImages);
}

void TdxBarManager::DisabledImagesChanged(cls::TObject*) {
    ImageListChanged(ilkDisabledImages);
}

void TdxBarManager::DisabledLargeImagesChanged(cls::TObject*) {
    ImageListChanged(ilkDisabledLargeImages);
}

bool TdxBarManager::AnyImageListLoading() const {
    for (const cls::TCustomImageList* List :
         {FImages, FLargeImages, FHotImages, FDisabledImages, FDisabledLargeImages})
        if (List && List->ComponentState().Contains(cls::csLoading)) return true;
    return false;
}

// ============================================================================
// Fonts
// ============================================================================

void TdxBarManager::FontChanged(cls::TObject*) {
    if (!FInternalFontChange) FUseSystemFont = false;
    if (FScaled) {
        const cls::TNotifyEvent Handler = FFont->OnChange();
        FFont->SetOnChange(nullptr);
        try {
            ApplySystemFont();
        } catch (...) {
            FFont->SetOnChange(Handler);
            throw;
        }
        FFont->SetOnChange(Handler);
    }
    CreateBarFontHandle(FFont, FFontHandle, FScaled);
    for (int I = 0; I < FBars->Count(); ++I) FBars->Items(I)->ManagerFontChanged();
    for (int I = 0; I < PopupMenuCount(); ++I)
        if (auto* Menu = dynamic_cast<TdxBarPopupMenu*>(GetPopupMenu(I))) Menu->ManagerFontChanged();
}

void TdxBarManager::ApplySystemFont() {
    win::NONCLIENTMETRICS Metrics;
    if (!win::SystemParametersInfo(win::SPI_GETNONCLIENTMETRICS, sizeof(Metrics), &Metrics, 0)) return;
    if (FUseSystemFont) {
        TFlagGuard Internal(FInternalFontChange, true);
        FFont->SetHandle(gfx::CreateFontIndirect(&Metrics.lfMenuFont));
    } else if (FScaled) {
        FFont->SetHeight(Metrics.lfMenuFont.lfHeight);
    }
}

// ============================================================================
// Style, metrics and colours
// ============================================================================

TdxBarItemControlPainterClass TdxBarManager::GetItemControlPainterClass() const {
    return GetPainterClassOfStyle(GetEffectiveStyle(this), FThemeAvailable);
}

void TdxBarManager::ApplyStyle() {
    TFlagGuard Changing(FStyleChanging, true);
    FThemeAvailable = lf::AreVisualStylesAvailable({lf::totComboBox, lf::totEdit, lf::totProgress,
                                                    lf::totRebar, lf::totScrollBar, lf::totSpin,
                                                    lf::totStatus, lf::totToolBar, lf::totWindow});
    UpdateXPToolbarBrush();
    FPainterClass = GetItemControlPainterClass();
    FGripIndent = FPainterClass->GetGripIndent();
    FDragZoneSize = FPainterClass->GetDragZoneSize();
    FMenuSeparatorIndent = FPainterClass->GetMenuSeparatorIndent();
    CalcButtonMetrics();
    UpdateDockColors();
    RefreshBarControls();
    // The bar windows have the new metrics: the sites lay them out again.
    for (int I = 0; I < DockControlCount(); ++I) {
        TdxDockControl* Dock = GetDockControl(I);
        Dock->ManagerStyleChanged();
        Dock->UpdateDock();
    }
}

void TdxBarManager::RefreshBarControls() {
    std::vector<TCustomdxBarControl*> Windows;
    for (int I = 0; I < ComponentCount(); ++I)
        if (auto* Window = dynamic_cast<TCustomdxBarControl*>(Components(I))) Windows.push_back(Window);
    for (TCustomdxBarControl* Window : Windows) {
        if (!IsBarControlAlive(Window) || Window->Closing() || !Window->HandleAllocated()) continue;
        // What the window cached was drawn in the old look.
        Window->ResetWorkBitmap();
        Window->CalcMetrics();
        // The frame is the painter's too: its size, and whether a shadow goes with it.
        win::SetWindowPos(Window->Handle(), nullptr, 0, 0, 0, 0,
                          win::SWP_NOMOVE | win::SWP_NOSIZE | win::SWP_NOZORDER | win::SWP_NOACTIVATE |
                              win::SWP_FRAMECHANGED);
        if (!IsBarControlAlive(Window)) continue;
        Window->RepaintBar();
        Window->RepaintWithFrame();
    }
}

void TdxBarManager::LookAndFeelChanged(lf::TcxLookAndFeel*, lf::TcxLookAndFeelValues) {
    if (!IsDestroying()) ApplyStyle();
}

void TdxBarManager::ThemeChanged() {
    ApplyStyle();
}

void TdxBarManager::BackgroundsChanged() {
    ApplyStyle();
}

bool TdxBarManager::IsFlatStyle() const {
    return FStyle == bmsFlat;
}

bool TdxBarManager::IsNonStandardStyle() const {
    return GetEffectiveStyle(this) != bmsStandard;
}

bool TdxBarManager::IsShowRecentItemsFirst() const {
    return IsNonStandardStyle() && FMenusShowRecentItemsFirst;
}

bool TdxBarManager::CanUseLargeImagesForLargeIcons() const {
    return FUseLargeImagesForLargeIcons && FLargeImages;
}

void TdxBarManager::CalcButtonMetrics() {
    ++FMeasureGeneration;
    if (!FLargeIcons) {
        FImageSize = 16;
    } else {
        FImageSize = CanUseLargeImagesForLargeIcons() ? FLargeImages->Height() : 32;
    }
    FButtonWidth = FPainterClass->GetButtonWidthExtra() + FImageSize;
    FButtonHeight = FPainterClass->GetButtonHeightExtra() + FImageSize;
    FDropDownArrowWidth = FPainterClass->GetButtonArrowWidth(this);
}

void TdxBarManager::LargeIconsChanged() {
    CalcButtonMetrics();
    DesignerModified();
    // The buttons have another size: every bar window and site lays out again.
    RefreshBarControls();
    for (int I = 0; I < DockControlCount(); ++I) GetDockControl(I)->UpdateDock();
}

void TdxBarManager::UpdateRecentItemsStep() {
    FRecentItemsStep = 0;
    if (FMostRecentItemsPercents >= 100) return;
    const int Rest = 100 - FMostRecentItemsPercents;
    int N = 1;
    while (Rest * N / 100 == 0) ++N;
    FRecentItemsStep = N;
}

int TdxBarManager::GetBarFrameWidth() const {
    return FPainterClass->GetBarFrameWidth();
}

int TdxBarManager::GetBarFrameHeight() const {
    return FPainterClass->GetBarFrameHeight();
}

int TdxBarManager::GetBarDragHandleSize(TdxBar* ABar) const {
    return ABar->CanDock() ? FDragZoneSize : FPainterClass->GetNoDockDragZone();
}

void TdxBarManager::CreateColorBrushes() {
    const gfx::COLORREF Shadow = gfx::GetSysColor(gfx::COLOR_BTNSHADOW);
    const gfx::COLORREF Face = gfx::GetSysColor(gfx::COLOR_BTNFACE);
    auto Dark = [](int C) { return gfx::MulDiv(C, 8, 10); };
    auto Light = [](int C) { return C + gfx::MulDiv(255 - C, 16, 100); };
    FDarkShadeBrush = ScreenColorBrush(static_cast<gfx::TColor>(
        gfx::RGB(Dark(gfx::GetRValue(Shadow)), Dark(gfx::GetGValue(Shadow)), Dark(gfx::GetBValue(Shadow)))));
    FLightShadeBrush = ScreenColorBrush(static_cast<gfx::TColor>(
        gfx::RGB(Light(gfx::GetRValue(Face)), Light(gfx::GetGValue(Face)), Light(gfx::GetBValue(Face)))));
    FFaceMixBrush = ScreenColorBrush(lf::MixSystemColors(11, 9, 73));
    FHighlightMixBrush = ScreenColorBrush(lf::MixSystemColors(14, 44, 40));
    FWindowMixBrush = ScreenColorBrush(lf::MixSystemColors(-2, 30, 72));
    UpdateXPToolbarBrush();
}

void TdxBarManager::UpdateXPToolbarBrush() {
    DeleteBrush(FXPToolbarBrush);
    if (FThemeAvailable) FXPToolbarBrush = ScreenColorBrush(GetThemedBarFillColor());
}

void TdxBarManager::DestroyColorBrushes() {
    DeleteBrush(FDarkShadeBrush);
    DeleteBrush(FLightShadeBrush);
    DeleteBrush(FFaceMixBrush);
    DeleteBrush(FHighlightMixBrush);
    DeleteBrush(FWindowMixBrush);
    DeleteBrush(FXPToolbarBrush);
}

void TdxBarManager::SysColorChanged() {
    DestroyColorBrushes();
    CreateColorBrushes();
    lf::RefreshOffice11Colors();
    UpdateDockColors();
}

void TdxBarManager::UpdateDockColors() {
    for (int I = 0; I < DockControlCount(); ++I) GetDockControl(I)->UpdateColor();
}

// ============================================================================
// Events
// ============================================================================

void TdxBarManager::DoClickItem(TdxBarItem* AItem) {
    FOnClickItem(this, AItem);
}

// ============================================================================
// Selection and hints
// ============================================================================

void TdxBarManager::SetSelectedItemControl(TdxBarItemControl* AControl) {
    if (FSelectedItemControl == AControl) return;
    TdxBarItemControl* Old = FSelectedItemControl;
    FSelectedItemControl = AControl;
    if (!Old) return;
    TCustomdxBarControl* OldRoot = GetItemControlRootBarControl(Old);
    if (GetIsCustomizing() && OldRoot && (!AControl || GetItemControlRootBarControl(AControl) != OldRoot))
        OldRoot->ClearSelectedControl();
    if (!FLinkDragging && IsBarControlAlive(Old->Parent())) Old->Repaint();
}

void TdxBarManager::ShowItemHint(bool AShow, const std::string& AText) {
    if (GetIsCustomizing() || !FShowHint) return;
    RequestBarItemHint(this, AShow, AText);
}

bool TdxBarManager::CanDocking(TdxBar* ABar, TdxBarDockingStyle AStyle, TdxDockControl* ADockControl) {
    if (ABar->NotDocking().Contains(AStyle)) return false;
    bool Result = ADockControl && !ADockControl->IsMainDock() ? ADockControl->CanDocking(ABar)
                                                              : !FNotDocking.Contains(AStyle);
    FOnDocking(ABar, AStyle, ADockControl, Result);
    return Result;
}

void TdxBarManager::DoBarAfterReset(TdxBar* ABar) {
    FOnBarAfterReset(this, ABar);
}

void TdxBarManager::DoBarBeforeReset(TdxBar* ABar) {
    FOnBarBeforeReset(this, ABar);
}

void TdxBarManager::DoBarClose(TdxBar* ABar) {
    FOnBarClose(this, ABar);
}

void TdxBarManager::DoBarDockingStyleChange(TdxBar* ABar) {
    if (FBars->LoadingBars()) return;
    FOnBarDockingStyleChange(this, ABar);
    DesignerModified();
}

void TdxBarManager::DoCloseButtonClick() {
    FOnCloseButtonClick(this);
}

void TdxBarManager::DoHelpButtonClick() {
    FOnHelpButtonClick(this);
}

void TdxBarManager::DoShowCustomizingPopup(TdxBarItemLinks* PopupItemLinks) {
    FOnShowCustomizingPopup(this, PopupItemLinks);
}

void TdxBarManager::DoShowToolbarsPopup(TdxBarItemLinks* PopupItemLinks) {
    FOnShowToolbarsPopup(this, PopupItemLinks);
}

// ============================================================================
// Owner form
// ============================================================================

win::HWND TdxBarManager::GetCaptureWindowHandle() const {
    cls::TApplication* App = cls::ApplicationIfExists();
    if (App && App->HandleAllocated() && win::IsWindowVisible(App->Handle())) return App->Handle();
    return FOwnerForm ? FOwnerForm->Handle() : nullptr;
}

bool TdxBarManager::IsOwnBarWindow(win::HWND AWnd) const {
    auto* Window = dynamic_cast<TCustomdxBarControl*>(cls::FindControl(AWnd));
    return Window && Window->GetBarManager() == this;
}

void TdxBarManager::CloseOwnActiveBarControl() {
    TCustomdxBarControl* Active = GetActiveBarControl();
    if (Active && Active->GetBarManager() == this) Active->DeactivateAll();
}

TdxBarManager* TdxBarManager::ActiveMDIChildManager() const {
    cls::TCustomForm* Child = FOwnerForm ? FOwnerForm->ActiveMDIChild() : nullptr;
    TdxBarManager* Manager = Child ? GetBarManagerByForm(Child) : nullptr;
    return Manager != this ? Manager : nullptr;
}

void TdxBarManager::HandleOwnerFormMessage(win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam) {
    if (!FOwnerForm || FConstructionFailed) return;
    // A form on its way out only stores the layout.
    if (FOwnerForm->ComponentState().Contains(cls::csDestroying) || IsDestroying()) {
        if (Msg == win::WM_DESTROY && !FDesigning) SaveStoredLayout();
        return;
    }
    switch (Msg) {
        case win::WM_CREATE:
            if (FHiddenBarList) {
                RestoreHiddenBars(nullptr);
                if (HiddenBarCount() == 0) FreeHiddenBarList();
            }
            break;
        case win::WM_ACTIVATE: {
            const auto Other = reinterpret_cast<win::HWND>(LParam);
            if (win::LOWORD(static_cast<win::LPARAM>(WParam)) == win::WA_INACTIVE && IsOwnBarWindow(Other))
                break;
            FOwnerFormActive = win::LOWORD(static_cast<win::LPARAM>(WParam)) != win::WA_INACTIVE;
            UpdateFloatingBars(FOwnerFormActive, false, Other);
            if (TdxBarManager* Child = ActiveMDIChildManager())
                Child->HandleOwnerFormMessage(Msg, WParam, LParam);
            break;
        }
        case win::WM_SETTINGCHANGE:
            if (WParam == win::SPI_SETNONCLIENTMETRICS)
                ApplySystemFont();
            else if (WParam == win::SPI_SETWORKAREA)
                FitFloatingBars();
            break;
        case win::WM_SYSCOLORCHANGE:
            UpdateScreenBitsPerPixel();
            SysColorChanged();
            for (int I = 0; I < FBars->Count(); ++I)
                if (TCustomdxBarControl* Window = FBars->Items(I)->ItemLinks()->BarControl())
                    Window->RepaintWithFrame();
            if (FOwnerForm->FormStyle() == cls::fsMDIForm)
                for (int I = 0; I < FOwnerForm->MDIChildCount(); ++I)
                    if (TdxBarManager* Child = GetBarManagerByForm(FOwnerForm->MDIChildren(I)))
                        Child->HandleOwnerFormMessage(Msg, WParam, LParam);
            break;
        case win::WM_ACTIVATEAPP:
            if (WParam) break;
            if (TdxBarManager* Child = ActiveMDIChildManager())
                Child->HandleOwnerFormMessage(Msg, WParam, LParam);
            UpdateFloatingBars(false, false, nullptr);
            if (FSelectedItemControl && IsBarControlAlive(FSelectedItemControl->Parent()) &&
                FSelectedItemControl->Parent()->HandleAllocated())
                win::SendMessage(FSelectedItemControl->Parent()->Handle(), win::WM_MOUSELEAVE, 0, 0);
            SetSelectedItemControl(nullptr);
            break;
        case win::WM_CHILDACTIVATE:
            UpdateFloatingBars(true, false, nullptr);
            break;
        case win::WM_MDIACTIVATE:
            if (FOwnerForm->FormStyle() == cls::fsMDIChild && FOwnerForm->HandleAllocated())
                UpdateFloatingBars(reinterpret_cast<win::HWND>(LParam) == FOwnerForm->Handle(), false,
                                   nullptr);
            break;
        case win::WM_WINDOWPOSCHANGING: {
            const auto* Pos = reinterpret_cast<const win::WINDOWPOS*>(LParam);
            if (Pos && FOwnerForm->HandleAllocated() && Pos->hwnd == FOwnerForm->Handle() &&
                (Pos->flags & win::SWP_HIDEWINDOW))
                UpdateFloatingBars(false, true, nullptr);
            break;
        }
        case win::WM_DISPLAYCHANGE:
            FitFloatingBars();
            break;
        case win::WM_HELP:
            if (!FDesigning) HelpRequested(reinterpret_cast<const win::HELPINFO*>(LParam));
            break;
        case win::WM_SYSCOMMAND:
            switch (WParam & 0xFFF0) {
                case win::SC_CLOSE:
                    if (FDesigning) CloseOwnActiveBarControl();
                    ShowFloatingBars(win::SW_HIDE);
                    break;
                case win::SC_MINIMIZE:
                    ShowFloatingBars(win::SW_HIDE);
                    break;
                case win::SC_MAXIMIZE:
                case win::SC_RESTORE:
                    ShowFloatingBars(win::SW_SHOWNOACTIVATE);
                    break;
                default:
                    break;
            }
            break;
        default:
            break;
    }
}

namespace {

// The windows of the floating toolbars.
std::vector<win::HWND> FloatingBarWindows(TdxBars* ABars) {
    std::vector<win::HWND> Result;
    for (int I = 0; ABars && I < ABars->Count(); ++I) {
        TdxBar* Bar = ABars->Items(I);
        TCustomdxBarControl* Window = Bar->ItemLinks()->BarControl();
        if (Bar->Visible() && Bar->DockingStyle() == dsNone && Window && Window->HandleAllocated())
            Result.push_back(Window->Handle());
    }
    return Result;
}

} // namespace

void TdxBarManager::ShowFloatingBars(int AShowCmd) {
    for (win::HWND Wnd : FloatingBarWindows(FBars)) {
        if (AShowCmd == win::SW_HIDE && !win::IsWindowVisible(Wnd)) continue;
        win::ShowWindow(Wnd, AShowCmd);
        if (AShowCmd != win::SW_HIDE) win::UpdateWindow(Wnd);
    }
}

void TdxBarManager::UpdateFloatingBars(bool AActive, bool AForce, win::HWND AOtherWindow) {
    if (FFloatingBarsUpdating) return;
    TFlagGuard Updating(FFloatingBarsUpdating, true);
    const win::HWND Owner = FOwnerForm->HandleAllocated() ? FOwnerForm->Handle() : nullptr;
    if (AActive) {
        if (Owner && !win::IsIconic(Owner))
            for (win::HWND Wnd : FloatingBarWindows(FBars)) win::ShowWindow(Wnd, win::SW_SHOWNOACTIVATE);
        return;
    }
    if (IsDestroying() || (AOtherWindow && Owner && win::GetParent(AOtherWindow) == Owner)) return;
    CloseOwnActiveBarControl();
    if (TdxBarQuickControl* Quick = TdxBarQuickControl::OpenQuickControl();
        Quick && Quick->GetBarManager() == this)
        Quick->Close();
    if (!FHideFloatingBarsWhenInactive && !AForce) return;
    if (AOtherWindow && win::IsWindow(AOtherWindow)) {
        win::DWORD Process = 0;
        win::GetWindowThreadProcessId(AOtherWindow, &Process);
        cls::TApplication* App = cls::ApplicationIfExists();
        const bool AppWindow = App && App->HandleAllocated() && App->Handle() == AOtherWindow;
        const bool Form = dynamic_cast<cls::TCustomForm*>(cls::FindControl(AOtherWindow)) != nullptr;
        if (Process == win::GetCurrentProcessId() && !AppWindow && !Form) return;
    }
    bool Hidden = false;
    for (win::HWND Wnd : FloatingBarWindows(FBars)) {
        win::SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                          win::SWP_HIDEWINDOW | win::SWP_NOACTIVATE | win::SWP_NOZORDER | win::SWP_NOSIZE |
                              win::SWP_NOMOVE);
        Hidden = true;
    }
    if (Hidden && Owner) win::SendMessage(Owner, win::WM_NCACTIVATE, 0, 0);
}

void TdxBarManager::FitFloatingBars() {
    if (!FOwnerForm->HandleAllocated()) return;
    win::RECT Form;
    win::GetWindowRect(FOwnerForm->Handle(), &Form);
    win::RECT Work;
    GetWorkAreaFromPoint(win::POINT{(Form.left + Form.right) / 2, (Form.top + Form.bottom) / 2}, Work);
    for (win::HWND Wnd : FloatingBarWindows(FBars)) {
        win::RECT R;
        win::GetWindowRect(Wnd, &R);
        int DX = 0;
        int DY = 0;
        if (R.bottom > Work.bottom) DY = Work.bottom - R.bottom;
        if (R.top + DY < Work.top) DY = Work.top - R.top;
        if (R.right > Work.right) DX = Work.right - R.right;
        if (R.left + DX < Work.left) DX = Work.left - R.left;
        if (DX || DY)
            win::SetWindowPos(Wnd, nullptr, R.left + DX, R.top + DY, 0, 0,
                              win::SWP_NOSIZE | win::SWP_NOZORDER | win::SWP_NOACTIVATE);
    }
}

void TdxBarManager::HelpRequested(const win::HELPINFO* AInfo) {
    if (!AInfo || AInfo->iContextType != win::HELPINFO_WINDOW) return;
    cls::TApplication* App = cls::ApplicationIfExists();
    if (!App) return;
    TdxBarItemControl* Found = nullptr;
    cls::THelpContext Context = 0;
    TCustomdxBarControl* Active = GetActiveBarControl();
    if (Active) {
        TdxBarItemControl* Selected = Active->SelectedControl();
        if (Selected && Selected->GetItem() && Selected->GetItem()->HelpContext() != 0) Found = Selected;
        for (TCustomdxBarControl* W = Active; !Found && IsBarControlAlive(W); W = W->ParentBar()) {
            auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(W);
            TdxBarItemControl* Opener = Menu ? Menu->SubItemControl() : nullptr;
            if (Opener && Opener->GetItem() && Opener->GetItem()->HelpContext() != 0) Found = Opener;
        }
        if (!Found) {
            TCustomdxBarControl* Root = GetRootBarControl(Active);
            Context = Root ? Root->HelpContext() : 0;
            CloseActiveBarControl();
            if (Context == 0) return;
        }
    } else if (auto* Window = dynamic_cast<TCustomdxBarControl*>(cls::FindControl(AInfo->hItemHandle))) {
        if (Window->HandleAllocated()) {
            win::POINT P = AInfo->MousePos;
            win::ScreenToClient(Window->Handle(), &P);
            Found = Window->GetItemControlAtPos(P);
        }
        if (!Found) return;
    } else {
        return;
    }
    win::POINT At{};
    if (Found) {
        const cls::TRect R = Found->Parent()->GetItemControlScreenRect(Found);
        At = win::POINT{(R.left + R.right) / 2, R.bottom};
        TdxBarItem* Item = Found->GetItem();
        lf::TcxObjectLinkScope ItemAlive(Item);
        CloseActiveBarControl();
        if (!ItemAlive.Alive()) return;
        Context = Item->HelpContext();
        if (Context == 0) return;
    }
    if (FOwnerForm->BorderIcons().Contains(cls::biHelp)) {
        if (Found) App->HelpCommand(cls::HELP_SETPOPUP_POS, win::PointToLParam(At));
        App->HelpCommand(cls::HELP_CONTEXTPOPUP, Context);
    } else {
        App->HelpContext(Context);
    }
}

// ============================================================================
// Lookups
// ============================================================================

TdxBarItem* TdxBarManager::Items(int Index) const {
    if (Index < 0 || Index >= FItemList.Count()) return nullptr;
    return static_cast<TdxBarItem*>(FItemList.Items(Index));
}

int TdxBarManager::IndexOfItem(const TdxBarItem* AItem) const {
    return FItemList.IndexOf(const_cast<TdxBarItem*>(AItem));
}

TdxDockControl* TdxBarManager::GetDockControl(int Index) const {
    if (Index < 0 || Index >= FDockControlList.Count()) return nullptr;
    return static_cast<TdxDockControl*>(FDockControlList.Items(Index));
}

TdxBarGroup* TdxBarManager::GetGroup(int Index) const {
    if (Index < 0 || Index >= FGroupList.Count()) return nullptr;
    return static_cast<TdxBarGroup*>(FGroupList.Items(Index));
}

int TdxBarManager::IndexOfGroup(const TdxBarGroup* AGroup) const {
    return FGroupList.IndexOf(const_cast<TdxBarGroup*>(AGroup));
}

TdxBarGroup* TdxBarManager::AddGroup() {
    auto* Group = new TdxBarGroup(FOwnerForm);
    AddGroupToList(Group);
    return Group;
}

void TdxBarManager::AddGroupToList(TdxBarGroup* AGroup) {
    if (AGroup->FBarManager == this) return;
    if (AGroup->FBarManager) AGroup->FBarManager->RemoveGroupFromList(AGroup);
    AGroup->FBarManager = this;
    FGroupList.Add(AGroup);
}

void TdxBarManager::RemoveGroupFromList(TdxBarGroup* AGroup) {
    FGroupList.Remove(AGroup);
    AGroup->FBarManager = nullptr;
}

cls::TComponent* TdxBarManager::GetPopupMenu(int Index) const {
    if (Index < 0 || Index >= FPopupMenuList.Count()) return nullptr;
    return static_cast<cls::TComponent*>(FPopupMenuList.Items(Index));
}

void TdxBarManager::AddPopupMenu(cls::TComponent* APopupMenu) {
    if (APopupMenu && FPopupMenuList.IndexOf(APopupMenu) < 0) FPopupMenuList.Add(APopupMenu);
}

void TdxBarManager::RemovePopupMenu(cls::TComponent* APopupMenu) {
    FPopupMenuList.Remove(APopupMenu);
}

TdxBar* TdxBarManager::FindBarByCaption(const std::string& ACaption) const {
    for (int I = 0; I < FBars->Count(); ++I)
        if (FBars->Items(I)->Caption() == ACaption) return FBars->Items(I);
    return nullptr;
}

TdxBar* TdxBarManager::FindBarByName(const std::string& AName) const {
    for (int I = 0; I < FBars->Count(); ++I)
        if (FBars->Items(I)->Name() == AName) return FBars->Items(I);
    return nullptr;
}

TdxBarItem* TdxBarManager::FindItemByName(const std::string& AName) const {
    for (int I = 0; I < ItemCount(); ++I)
        if (cls::SameText(Items(I)->Name(), AName)) return Items(I);
    return nullptr;
}

std::vector<TdxBarItem*> TdxBarManager::GetItemsByCategory(int AIndex) const {
    std::vector<TdxBarItem*> Result;
    for (int I = 0; I < ItemCount(); ++I)
        if (Items(I)->Category() == AIndex) Result.push_back(Items(I));
    return Result;
}

int TdxBarManager::GetCategoryRealIndex(int AVisibleIndex) const {
    if (FDesigning) return AVisibleIndex;
    for (int I = 0; I < FCategories->Count(); ++I) {
        if (CategoryVisible(I) && AVisibleIndex-- == 0) return I;
    }
    return -1;
}

void TdxBarManager::MoveItem(int ACurIndex, int ANewIndex) {
    if (ACurIndex < 0 || ACurIndex >= ItemCount() || ANewIndex < 0 || ANewIndex >= ItemCount()) return;
    FItemList.Move(ACurIndex, ANewIndex);
    DesignerModified();
}

void TdxBarManager::ExchangeItems(int AIndex1, int AIndex2) {
    if (AIndex1 < 0 || AIndex1 >= ItemCount() || AIndex2 < 0 || AIndex2 >= ItemCount()) return;
    FItemList.Exchange(AIndex1, AIndex2);
    DesignerModified();
}

void TdxBarManager::AddItem(TdxBarItem* AItem) {
    if (FItemList.IndexOf(AItem) < 0) FItemList.Add(AItem);
}

void TdxBarManager::RemoveItem(TdxBarItem* AItem) {
    FItemList.Remove(AItem);
}

// ============================================================================
// Categories
// ============================================================================

bool TdxBarManager::CategoryVisible(int AIndex) const {
    if (AIndex < 0 || AIndex >= FCategories->Count()) return false;
    const TdxBarCategoryData* Data = FCategories->Data(AIndex);
    return !Data || Data->Visible;
}

void TdxBarManager::SetCategoryVisible(int AIndex, bool Value) {
    if (AIndex < 0 || AIndex >= FCategories->Count()) cls::TList::Error(AIndex);
    if (CategoryVisible(AIndex) == Value) return;
    FCategories->NeedData(AIndex)->Visible = Value;
    DesignerModified();
}

TdxBarItemVisible TdxBarManager::CategoryItemsVisible(int AIndex) const {
    if (AIndex < 0 || AIndex >= FCategories->Count()) return ivNever;
    const TdxBarCategoryData* Data = FCategories->Data(AIndex);
    return Data ? Data->ItemsVisible : ivAlways;
}

bool TdxBarManager::BarHasAvailableLinks(TdxBar* ABar) const {
    return ABar->ItemLinks()->AvailableItemCount() > 0;
}

void TdxBarManager::SetCategoryItemsVisible(int AIndex, TdxBarItemVisible Value) {
    if (AIndex < 0 || AIndex >= FCategories->Count()) cls::TList::Error(AIndex);
    TdxBarCategoryData* Data = FCategories->NeedData(AIndex);
    Data->LoadedItemsVisible = Value;
    if (IsLoading()) return;
    const TdxBarItemVisible OldValue = Data->ItemsVisible;
    Data->ItemsVisible = Value;
    if (FDesigning) {
        if (OldValue != Value) DesignerModified();
        return;
    }
    std::vector<TdxBar*> EmptyBars;
    if (FAutoHideEmptyBars) {
        for (int I = 0; I < FBars->Count(); ++I)
            if (!BarHasAvailableLinks(FBars->Items(I))) EmptyBars.push_back(FBars->Items(I));
    }
    {
        TLockUpdateGuard Lock(this);
        std::vector<TdxBarItem*> Items = GetItemsByCategory(AIndex);
        if (Value == ivAlways) std::reverse(Items.begin(), Items.end());
        for (TdxBarItem* Item : Items)
            if (Item->Visible() == OldValue) Item->SetVisible(Value);
        if (FAutoHideEmptyBars) {
            for (int I = 0; I < FBars->Count(); ++I) {
                TdxBar* Bar = FBars->Items(I);
                const bool WasEmpty = std::find(EmptyBars.begin(), EmptyBars.end(), Bar) != EmptyBars.end();
                if (Value == ivNever && !WasEmpty && !BarHasAvailableLinks(Bar)) {
                    if (Bar->Visible()) {
                        Bar->SetVisible(false);
                        Bar->SetHiddenWhenEmpty(true);
                    }
                } else if (Value == ivAlways && Bar->HiddenWhenEmpty() && BarHasAvailableLinks(Bar)) {
                    Bar->SetVisible(true);
                    Bar->SetHiddenWhenEmpty(false);
                }
            }
        }
    }
    if (OldValue != Value) DesignerModified();
}

// ============================================================================
// Dock sites and hidden bars
// ============================================================================

void TdxBarManager::AddDockControl(TdxDockControl* ADockControl) {
    if (FDockControlList.IndexOf(ADockControl) >= 0) return;
    FDockControlList.Add(ADockControl);
    FreeNotification(ADockControl);
}

void TdxBarManager::RemoveDockControl(TdxDockControl* ADockControl) {
    if (FBars) {
        for (int I = 0; I < FBars->Count(); ++I) {
            TdxBar* Bar = FBars->Items(I);
            const bool DockedThere = Bar->GetRealDockControl() == ADockControl;
            if (Bar->DockControl() == ADockControl) Bar->SetDockControl(nullptr);
            if (Bar->DockedDockControl() == ADockControl) Bar->SetDockedDockControl(nullptr);
            if (DockedThere) Bar->SetVisible(false);
        }
        if (ADockControl->IsMainDock()) FBars->DockControlRemoved(ADockControl);
    }
    FDockControlList.Remove(ADockControl);
    RemoveFreeNotification(ADockControl);
    ADockControl->SetParentColor(true);
}

void TdxBarManager::CreateHiddenBarList() {
    if (!FHiddenBarList) FHiddenBarList = new cls::TList();
}

void TdxBarManager::FreeHiddenBarList() {
    FreeAndNil(FHiddenBarList);
}

void TdxBarManager::AddHiddenBar(TdxBar* ABar) {
    if (FHiddenBarList && FHiddenBarList->IndexOf(ABar) < 0) FHiddenBarList->Add(ABar);
}

void TdxBarManager::RemoveHiddenBar(TdxBar* ABar) {
    if (FHiddenBarList) FHiddenBarList->Remove(ABar);
}

TdxBar* TdxBarManager::GetHiddenBar(int Index) const {
    if (!FHiddenBarList || Index < 0 || Index >= FHiddenBarList->Count()) return nullptr;
    return static_cast<TdxBar*>(FHiddenBarList->Items(Index));
}

void TdxBarManager::RestoreHiddenBars(TdxDockControl* ADockControl) {
    {
        // The sites keep the bars' stored row numbers meanwhile.
        TFlagGuard Restoring(FHiddenBarsRestoring, true);
        for (int I = HiddenBarCount() - 1; I >= 0; --I) {
            TdxBar* Bar = GetHiddenBar(I);
            if (!Bar) continue;
            // A docked bar comes back once its site has a window again.
            TdxDockControl* Dock = Bar->GetRealDockControl();
            const bool Qualifies = ADockControl
                                       ? Dock == ADockControl && Bar->DockingStyle() != dsNone
                                       : Bar->DockingStyle() == dsNone || (Dock && Dock->HandleAllocated());
            if (Qualifies) Bar->SetVisible(true);
        }
    }
    if (FHiddenBarsRestoring) return;
    for (int I = 0; I < DockControlCount(); ++I) {
        TdxDockControl* Dock = GetDockControl(I);
        if (ADockControl && Dock != ADockControl) continue;
        Dock->RemoveEmptyRows();
        Dock->UpdateDock();
    }
}

// ============================================================================
// Drop mark
// ============================================================================

bool TdxBarManager::IsDropPlaceChanging(TdxBarItemControl* ATarget, bool AInGroupGap, bool ABefore,
                                        TdxBarItemLink* ADraggedLink, bool ACopy) const {
    if (!ATarget || !ATarget->ItemLink()) return false;
    if (!ADraggedLink || ACopy) return true;
    TdxBarItemLink* Target = ATarget->ItemLink();
    if (Target == ADraggedLink) return AInGroupGap && ABefore;
    if (Target->Owner() != ADraggedLink->Owner()) return true;
    const int TargetIndex = Target->GetVisibleIndex(), DraggedIndex = ADraggedLink->GetVisibleIndex();
    if (TargetIndex < 0 || DraggedIndex < 0) return true;
    if (TargetIndex == DraggedIndex - 1 && !ADraggedLink->GetBeginGroup() && !AInGroupGap && !ABefore)
        return false;
    if (TargetIndex == DraggedIndex + 1 &&
        ((AInGroupGap && ABefore) || (!AInGroupGap && !Target->GetBeginGroup() && ABefore)))
        return false;
    return true;
}

void TdxBarManager::DrawDropMark(TdxBarItemControl* ATarget, bool AInGroupGap, bool AVertical, bool ABefore) {
    TCustomdxBarControl* Window = ATarget ? ATarget->Parent() : nullptr;
    TdxBarItemLink* Link = ATarget ? ATarget->ItemLink() : nullptr;
    if (!Window || !Link || !IsBarControlAlive(Window) || !Window->HandleAllocated()) return;
    // The mark stands where the dropped link would: after the neighbour
    // before a gap it joins, before a neighbour after it that does not
    // begin a group, else at the target's own edge.
    TdxBarItemLinks* Links = Link->Owner();
    const int Index = Link->GetVisibleIndex();
    const TdxBarItemControl* EdgeControl = ATarget;
    bool FarEdge = false;
    if (AInGroupGap && ABefore) {
        TdxBarItemLink* Prev = Index > 0 ? Links->VisibleItems(Index - 1) : nullptr;
        if (Prev && Prev->Control()) {
            EdgeControl = Prev->Control();
            FarEdge = true;
        }
    } else if (!AInGroupGap && !ABefore) {
        FarEdge = true;
        TdxBarItemLink* Next =
            Index + 1 < Links->VisibleItemCount() ? Links->VisibleItems(Index + 1) : nullptr;
        if (Next && Next->Control() && !Next->GetBeginGroup()) {
            EdgeControl = Next->Control();
            FarEdge = false;
        }
    }
    const cls::TRect R = TCustomdxBarControl::GetItemControlRect(EdgeControl);
    // An I-beam six pixels thick across its edge: serifs of 6 and 4 pixels
    // at both ends and a stem two pixels thick.
    const int Edge = AVertical ? (FarEdge ? R.bottom : R.top) : (FarEdge ? R.right : R.left);
    const int From = AVertical ? R.left : R.top, To = AVertical ? R.right : R.bottom;
    const int C0 = Edge - 3;
    const auto At = [AVertical](int AAcross, int AAlong) {
        return AVertical ? gfx::POINT{AAlong, AAcross} : gfx::POINT{AAcross, AAlong};
    };
    const gfx::POINT Points[12] = {
        At(C0, From),         At(C0 + 6, From),   At(C0 + 1, From + 1), At(C0 + 5, From + 1),
        At(C0, To - 1),       At(C0 + 6, To - 1), At(C0 + 1, To - 2),   At(C0 + 5, To - 2),
        At(C0 + 2, From + 2), At(C0 + 2, To - 2), At(C0 + 3, From + 2), At(C0 + 3, To - 2),
    };
    const gfx::DWORD Counts[6] = {2, 2, 2, 2, 2, 2};
    if (!FDropMarkShown) Window->Update();
    const gfx::HDC DC = win::GetDC(Window->Handle());
    if (!DC) return;
    const int OldRop = gfx::SetROP2(DC, gfx::R2_NOT);
    gfx::PolyPolyline(DC, Points, Counts, 6);
    gfx::SetROP2(DC, OldRop);
    win::ReleaseDC(Window->Handle(), DC);
    FDropMarkShown = !FDropMarkShown;
}

// ============================================================================
// State
// ============================================================================

bool TdxBarManager::IsLoading() const {
    return ComponentState().Contains(cls::csLoading);
}

bool TdxBarManager::IsDestroying() const {
    return ComponentState().Contains(cls::csDestroying);
}

bool TdxBarManager::CanReset() const {
    return FReadStateCount == 1 && FAllowReset;
}

void TdxBarManager::SetLockUpdate(bool Value) {
    if (FLockUpdate == Value) return;
    FLockUpdate = Value;
    std::vector<TdxDockControl*> Docks;
    for (int I = 0; I < DockControlCount(); ++I) {
        TdxDockControl* Dock = GetDockControl(I);
        if (Dock->Visible() && Dock->HandleAllocated()) Docks.push_back(Dock);
    }
    for (TdxDockControl* Dock : Docks) win::SendMessage(Dock->Handle(), win::WM_SETREDRAW, !Value, 0);
    for (int I = 0; I < FBars->Count(); ++I) FBars->Items(I)->SetLockUpdate(Value);
    if (Value) return;
    for (TdxDockControl* Dock : Docks) {
        Dock->UpdateDock();
        win::SendMessage(Dock->Handle(), win::WM_NCPAINT, 1, 0);
        Dock->Invalidate();
        for (int R = 0; R < Dock->GetRowCount(); ++R) {
            TdxDockRow* Row = Dock->GetRow(R);
            for (int C = 0; Row && C < Row->GetColCount(); ++C) {
                TdxBarControl* Window = Row->GetCol(C)->BarControl();
                if (!IsBarControlAlive(Window)) continue;
                Window->CalcMetrics();
                Window->RepaintBar();
            }
        }
    }
}

void TdxBarManager::DesignerModified() {
    if (IsLoading() || IsDestroying() || !FChangeReporting) return;
    FModified = true;
    if (FDesigning && !ComponentState().Contains(cls::csUpdating) && !FDockControlsUpdating && FOwnerForm &&
        FOwnerForm->Designer() && !AnyImageListLoading()) {
        FOwnerForm->Designer()->Modified();
    }
}

// ============================================================================
// Component notifications and streaming
// ============================================================================

void TdxBarManager::Notification(cls::TComponent* AComponent, cls::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation != cls::opRemove) return;
    // The list is being destroyed: its change links were let go already, so
    // the field is only cleared.
    const std::pair<cls::TCustomImageList**, TdxBarImageListKind> Lists[] = {
        {&FDisabledLargeImages, ilkDisabledLargeImages},
        {&FDisabledImages, ilkDisabledImages},
        {&FHotImages, ilkHotImages},
        {&FImages, ilkImages},
        {&FLargeImages, ilkLargeImages},
    };
    for (const auto& [Field, Kind] : Lists) {
        if (*Field && static_cast<cls::TComponent*>(*Field) == AComponent) {
            *Field = nullptr;
            ImageListChanged(Kind);
            if (Kind == ilkLargeImages && FLargeIcons && FUseLargeImagesForLargeIcons) LargeIconsChanged();
        }
    }
    if (FPopupMenuLinks) {
        for (int I = 0; I < FPopupMenuLinks->Count(); ++I) {
            TdxBarPopupMenuLink* Link = FPopupMenuLinks->Items(I);
            if (Link->Control() && static_cast<cls::TComponent*>(Link->Control()) == AComponent)
                Link->SetControl(nullptr);
            if (Link->PopupMenu() == AComponent) Link->SetPopupMenu(nullptr);
        }
    }
    FPopupMenuList.Remove(AComponent);
}

void TdxBarManager::GetChildren(const cls::TGetChildProc& Proc, cls::TComponent* Root) {
    for (int I = 0; I < ItemCount(); ++I) {
        TdxBarItem* Item = Items(I);
        if (Item->Owner() == Root && Item->Category() >= 0) Proc(Item);
    }
    for (int I = 0; I < GroupCount(); ++I) {
        TdxBarGroup* Group = GetGroup(I);
        if (Group->Owner() == Root) Proc(Group);
    }
}

} // namespace bars
