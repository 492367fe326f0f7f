// The bar manager: the hub of a form's toolbars and menus. It keeps the
// bars, the item categories, groups, image lists, fonts and the style every
// bar, menu and item is drawn in, and lists the form's items, dock sites and
// popup menus.
//
// A form has at most one manager; its owner must be a form (or nil while the
// application has a main form, which then serves as owner form). Building the
// first manager starts the library (bars::StartLibrary) and freeing the last
// one ends it. A manager built in code is finished with Loaded().
#pragma once

#include <string>
#include <vector>

#include "bars/layout.h"
#include "bars/types.h"
#include "classes/actions.h"
#include "classes/component.h"
#include "classes/graphics.h"
#include "classes/lists.h"
#include "classes/strings.h"
#include "lookandfeel/lookandfeel.h"
#include "win/defs.h"

namespace lf {
struct TcxObjectLink;
}

namespace cls {
class TChangeLink;
class TFiler;
class TReader;
class TWriter;
class TCustomForm;
class TCustomImageList;
class TStream;
} // namespace cls

namespace bars {

// A stored layout was read or written with problems: values left out, or
// the store or file could not be read or written at all.
using TdxBarLayoutEvent = cls::TEvent<void(TdxBarManager* Sender, const TdxBarLayoutResult& AResult)>;

class TdxBarManager : public cls::TComponent {
    TRESTLE_CLASS(TdxBarManager, cls::TComponent)
public:
    // Raises Exception with dxSBAR_WRONGOWNER when the owner is not a form
    // (and no main form stands in for a nil owner), and with
    // dxSBAR_ONEMANAGERPERFORM when the form has a manager already; nothing
    // stays registered then.
    explicit TdxBarManager(cls::TComponent* AOwner);
    ~TdxBarManager() override;

    // Applies the values kept while loading, outside design mode loads the
    // stored layout (the registry's first, then the INI file's, so the INI
    // values win; see StoreInRegistry and StoreInIniFile) and lays the dock
    // sites out. Public: a manager built in code calls it when it is set up.
    // No exception of the layout leaves it: problems go to OnLayoutProblems.
    void Loaded() override;
    void SetName(const std::string& NewName) override;
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;

    // --- Published properties ---
    bool AllowCallFromAnotherForm() const { return FAllowCallFromAnotherForm; }
    void SetAllowCallFromAnotherForm(bool Value) { FAllowCallFromAnotherForm = Value; }
    bool AllowReset() const { return FAllowReset; }
    void SetAllowReset(bool Value) { FAllowReset = Value; }
    bool AlwaysMerge() const { return FAlwaysMerge; }
    void SetAlwaysMerge(bool Value) { FAlwaysMerge = Value; }
    bool AlwaysSaveText() const { return FAlwaysSaveText; }
    void SetAlwaysSaveText(bool Value) { FAlwaysSaveText = Value; }
    bool AutoDockColor() const { return FAutoDockColor; }
    void SetAutoDockColor(bool Value);
    bool AutoHideEmptyBars() const { return FAutoHideEmptyBars; }
    void SetAutoHideEmptyBars(bool Value);
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Value);
    cls::TFont* Font() const { return FFont; }
    void SetFont(cls::TFont* Value);
    TdxBarBackgrounds* Backgrounds() const { return FBackgrounds; }
    void SetBackgrounds(TdxBarBackgrounds* Value);
    TdxBars* Bars() const { return FBars; }
    void SetBars(TdxBars* Value);
    // Values below 2 are ignored.
    int ButtonArrowWidth() const { return FButtonArrowWidth; }
    void SetButtonArrowWidth(int Value);
    bool CanCustomize() const { return FCanCustomize; }
    void SetCanCustomize(bool Value) { FCanCustomize = Value; }
    TdxBarManagerCategories* Categories() const { return FCategories; }
    void SetCategories(cls::TStrings* Value);
    // The owner form's Color while AutoDockColor; writing turns AutoDockColor off.
    cls::TColor DockColor() const;
    void SetDockColor(cls::TColor Value);
    bool IsDockColorStored() const { return !FAutoDockColor; }
    bool FlatCloseButton() const { return FFlatCloseButton; }
    void SetFlatCloseButton(bool Value);
    cls::TBitmap* HelpButtonGlyph() const { return FHelpButtonGlyph; }
    void SetHelpButtonGlyph(cls::TBitmap* Value);
    cls::THelpContext HelpContext() const { return FHelpContext; }
    void SetHelpContext(cls::THelpContext Value) { FHelpContext = Value; }
    bool HideFloatingBarsWhenInactive() const { return FHideFloatingBarsWhenInactive; }
    void SetHideFloatingBarsWhenInactive(bool Value);
    cls::TCustomImageList* HotImages() const { return FHotImages; }
    void SetHotImages(cls::TCustomImageList* Value);
    cls::TColor ImageListBkColor() const { return FImageListBkColor; }
    void SetImageListBkColor(cls::TColor Value);
    cls::TCustomImageList* Images() const { return FImages; }
    void SetImages(cls::TCustomImageList* Value);
    cls::TCustomImageList* DisabledImages() const { return FDisabledImages; }
    void SetDisabledImages(cls::TCustomImageList* Value);
    cls::TCustomImageList* DisabledLargeImages() const { return FDisabledLargeImages; }
    void SetDisabledLargeImages(cls::TCustomImageList* Value);
    const std::string& IniFileName() const { return FIniFileName; }
    void SetIniFileName(const std::string& Value) { FIniFileName = Value; }
    // Not owned. When set, the layout goes to and comes from this stream (as
    // the INI file's text) instead of the INI file.
    cls::TStream* LayoutStream() const { return FLayoutStream; }
    void SetLayoutStream(cls::TStream* Value) { FLayoutStream = Value; }
    cls::TCustomImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(cls::TCustomImageList* Value);
    // Values below 2 are ignored.
    int LargeButtonArrowWidth() const { return FLargeButtonArrowWidth; }
    void SetLargeButtonArrowWidth(int Value);
    bool LargeIcons() const { return FLargeIcons; }
    void SetLargeIcons(bool Value);
    lf::TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel; }
    void SetLookAndFeel(lf::TcxLookAndFeel* Value);
    bool MakeDisabledImagesFaded() const { return FMakeDisabledImagesFaded; }
    void SetMakeDisabledImagesFaded(bool Value);
    TdxBarMenuAnimations MenuAnimations() const { return FMenuAnimations; }
    void SetMenuAnimations(TdxBarMenuAnimations Value);
    bool MenusShowRecentItemsFirst() const { return FMenusShowRecentItemsFirst; }
    void SetMenusShowRecentItemsFirst(bool Value);
    // Values above 100 become 100.
    int MostRecentItemsPercents() const { return FMostRecentItemsPercents; }
    void SetMostRecentItemsPercents(int Value);
    TdxBarDockingStyles NotDocking() const { return FNotDocking; }
    void SetNotDocking(TdxBarDockingStyles Value);
    TdxBarPopupMenuLinks* PopupMenuLinks() const { return FPopupMenuLinks; }
    void SetPopupMenuLinks(TdxBarPopupMenuLinks* Value);
    const std::string& RegistryPath() const { return FRegistryPath; }
    void SetRegistryPath(const std::string& Value) { FRegistryPath = Value; }
    bool ShowCloseButton() const { return FShowCloseButton; }
    void SetShowCloseButton(bool Value);
    bool ShowFullMenusAfterDelay() const { return FShowFullMenusAfterDelay; }
    void SetShowFullMenusAfterDelay(bool Value);
    bool ShowHelpButton() const { return FShowHelpButton; }
    void SetShowHelpButton(bool Value) { FShowHelpButton = Value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    bool ShowHintForDisabledItems() const { return FShowHintForDisabledItems; }
    void SetShowHintForDisabledItems(bool Value) { FShowHintForDisabledItems = Value; }
    bool ShowShortCutInHint() const { return FShowShortCutInHint; }
    void SetShowShortCutInHint(bool Value);
    // With StoreInIniFile (IniFileName) and StoreInRegistry (RegistryPath)
    // the layout is loaded by Loaded and saved when the owner form's window
    // is destroyed as the form goes.
    bool StoreInIniFile() const { return FStoreInIniFile; }
    void SetStoreInIniFile(bool Value) { FStoreInIniFile = Value; }
    bool StoreInRegistry() const { return FStoreInRegistry; }
    void SetStoreInRegistry(bool Value) { FStoreInRegistry = Value; }
    bool StretchGlyphs() const { return FStretchGlyphs; }
    void SetStretchGlyphs(bool Value) { FStretchGlyphs = Value; }
    TdxBarManagerStyle Style() const { return FStyle; }
    void SetStyle(TdxBarManagerStyle Value);
    bool SunkenBorder() const { return FSunkenBorder; }
    void SetSunkenBorder(bool Value);
    bool UseF10ForMenu() const { return FUseF10ForMenu; }
    void SetUseF10ForMenu(bool Value) { FUseF10ForMenu = Value; }
    bool UseFullReset() const { return FUseFullReset; }
    void SetUseFullReset(bool Value) { FUseFullReset = Value; }
    bool UseLargeImagesForLargeIcons() const { return FUseLargeImagesForLargeIcons; }
    void SetUseLargeImagesForLargeIcons(bool Value);
    bool UseSystemFont() const { return FUseSystemFont; }
    void SetUseSystemFont(bool Value);
    // Negative values are ignored.
    int WaitForDockingTime() const { return FWaitForDockingTime; }
    void SetWaitForDockingTime(int Value);

    // --- Events ---
    TdxBarEvent OnBarAdd() const { return FOnBarAdd; }
    void SetOnBarAdd(TdxBarEvent Value) { FOnBarAdd = Value; }
    TdxBarEvent OnBarAfterReset() const { return FOnBarAfterReset; }
    void SetOnBarAfterReset(TdxBarEvent Value) { FOnBarAfterReset = Value; }
    TdxBarEvent OnBarBeforeReset() const { return FOnBarBeforeReset; }
    void SetOnBarBeforeReset(TdxBarEvent Value) { FOnBarBeforeReset = Value; }
    TdxBarEvent OnBarClose() const { return FOnBarClose; }
    void SetOnBarClose(TdxBarEvent Value) { FOnBarClose = Value; }
    TdxBarEvent OnBarDelete() const { return FOnBarDelete; }
    void SetOnBarDelete(TdxBarEvent Value) { FOnBarDelete = Value; }
    TdxBarEvent OnBarDockingStyleChange() const { return FOnBarDockingStyleChange; }
    void SetOnBarDockingStyleChange(TdxBarEvent Value) { FOnBarDockingStyleChange = Value; }
    TdxBarVisibleChangeEvent OnBarVisibleChange() const { return FOnBarVisibleChange; }
    void SetOnBarVisibleChange(TdxBarVisibleChangeEvent Value) { FOnBarVisibleChange = Value; }
    TdxBarItemLinkEvent OnItemLinkAdd() const { return FOnItemLinkAdd; }
    void SetOnItemLinkAdd(TdxBarItemLinkEvent Value) { FOnItemLinkAdd = Value; }
    TdxBarItemLinkEvent OnItemLinkChange() const { return FOnItemLinkChange; }
    void SetOnItemLinkChange(TdxBarItemLinkEvent Value) { FOnItemLinkChange = Value; }
    TdxBarItemLinkEvent OnItemLinkDelete() const { return FOnItemLinkDelete; }
    void SetOnItemLinkDelete(TdxBarItemLinkEvent Value) { FOnItemLinkDelete = Value; }
    cls::TNotifyEvent OnCloseButtonClick() const { return FOnCloseButtonClick; }
    void SetOnCloseButtonClick(cls::TNotifyEvent Value) { FOnCloseButtonClick = Value; }
    cls::TNotifyEvent OnHelpButtonClick() const { return FOnHelpButtonClick; }
    void SetOnHelpButtonClick(cls::TNotifyEvent Value) { FOnHelpButtonClick = Value; }
    cls::TNotifyEvent OnHideCustomizingForm() const { return FOnHideCustomizingForm; }
    void SetOnHideCustomizingForm(cls::TNotifyEvent Value) { FOnHideCustomizingForm = Value; }
    cls::TNotifyEvent OnShowCustomizingForm() const { return FOnShowCustomizingForm; }
    void SetOnShowCustomizingForm(cls::TNotifyEvent Value) { FOnShowCustomizingForm = Value; }
    TdxBarCanDockingEvent OnDocking() const { return FOnDocking; }
    void SetOnDocking(TdxBarCanDockingEvent Value) { FOnDocking = Value; }
    TdxBarMenuMergeEvent OnMenuMerge() const { return FOnMenuMerge; }
    void SetOnMenuMerge(TdxBarMenuMergeEvent Value) { FOnMenuMerge = Value; }
    TdxBarShowPopupEvent OnShowCustomizingPopup() const { return FOnShowCustomizingPopup; }
    void SetOnShowCustomizingPopup(TdxBarShowPopupEvent Value) { FOnShowCustomizingPopup = Value; }
    TdxBarShowPopupEvent OnShowToolbarsPopup() const { return FOnShowToolbarsPopup; }
    void SetOnShowToolbarsPopup(TdxBarShowPopupEvent Value) { FOnShowToolbarsPopup = Value; }
    TdxBarClickItemEvent OnClickItem() const { return FOnClickItem; }
    void SetOnClickItem(TdxBarClickItemEvent Value) { FOnClickItem = Value; }
    // Fires after every load or save of the layout that left something out or failed.
    TdxBarLayoutEvent OnLayoutProblems() const { return FOnLayoutProblems; }
    void SetOnLayoutProblems(TdxBarLayoutEvent Value) { FOnLayoutProblems = Value; }

    // --- Layout storage (see bars/layout.h) ---
    // Each returns what was left out or failed, which OnLayoutProblems
    // also gets; nothing is raised.
    TdxBarLayoutResult LoadFromRegistry(const std::string& APath);
    TdxBarLayoutResult SaveToRegistry(const std::string& APath);
    TdxBarLayoutResult LoadFromIniFile(const std::string& AFileName);
    TdxBarLayoutResult SaveToIniFile(const std::string& AFileName);

    // --- Virtual operations ---
    virtual void DoClickItem(TdxBarItem* AItem);
    // False when AStyle is in the bar's NotDocking; for a placed dock site its
    // own permission, else AStyle not in the manager's NotDocking; OnDocking
    // has the last word.
    virtual bool CanDocking(TdxBar* ABar, TdxBarDockingStyle AStyle, TdxDockControl* ADockControl);
    // The painter class of the effective style.
    virtual TdxBarItemControlPainterClass GetItemControlPainterClass() const;

    // --- Event dispatchers (each fires only when assigned) ---
    void DoBarAfterReset(TdxBar* ABar);
    void DoBarBeforeReset(TdxBar* ABar);
    void DoBarClose(TdxBar* ABar);
    // Only while the bars are not being loaded; then DesignerModified.
    void DoBarDockingStyleChange(TdxBar* ABar);
    void DoCloseButtonClick();
    void DoHelpButtonClick();
    void DoShowCustomizingPopup(TdxBarItemLinks* PopupItemLinks);
    void DoShowToolbarsPopup(TdxBarItemLinks* PopupItemLinks);

    // --- Lookups ---
    cls::TCustomForm* OwnerForm() const { return FOwnerForm; }
    int ItemCount() const { return FItemList.Count(); }
    // nullptr out of range.
    TdxBarItem* Items(int Index) const;
    int IndexOfItem(const TdxBarItem* AItem) const;
    int DockControlCount() const { return FDockControlList.Count(); }
    // nullptr out of range.
    TdxDockControl* GetDockControl(int Index) const;
    int GroupCount() const { return FGroupList.Count(); }
    // nullptr out of range.
    TdxBarGroup* GetGroup(int Index) const;
    int IndexOfGroup(const TdxBarGroup* AGroup) const;
    // A new group owned by the owner form, in this manager's group list.
    TdxBarGroup* AddGroup();
    int PopupMenuCount() const { return FPopupMenuList.Count(); }
    // The popup menus whose BarManager is this one, as components.
    cls::TComponent* GetPopupMenu(int Index) const;
    // Exact comparison; nullptr when nothing matches.
    TdxBar* FindBarByCaption(const std::string& ACaption) const;
    TdxBar* FindBarByName(const std::string& AName) const;
    // Component name, ASCII case ignored; nullptr when nothing matches.
    TdxBarItem* FindItemByName(const std::string& AName) const;
    // The items of category AIndex, in item-list order.
    std::vector<TdxBarItem*> GetItemsByCategory(int AIndex) const;
    // The index of the AVisibleIndex-th visible category (-1 when there are
    // not that many); with Designing AVisibleIndex itself.
    int GetCategoryRealIndex(int AVisibleIndex) const;
    // Item order (each then DesignerModified). Bad indexes are ignored.
    void MoveItem(int ACurIndex, int ANewIndex);
    void ExchangeItems(int AIndex1, int AIndex2);

    // The items the customizing form's command list shows for a category:
    // in design mode all of them, at run time those that may show.
    std::vector<TdxBarItem*> GetCommandListItems(int AIndex) const;

    // --- Customizing mode (bars/customizing/customizingmode.cpp) ---
    // Switches every bar and menu of the manager into customizing mode (links
    // are selected, dragged and edited instead of run) and back, opening and
    // closing the customizing form with it. Nothing when unchanged, or when
    // switching on while the customizing form is open.
    void SetIsCustomizing(bool Value);
    // In design mode while customizing (not loading, destroying, or renaming
    // from the customizing popup): the customizing form repaints its command
    // list for an item with a category.
    void RefreshCustomizingFormItem(TdxBarItem* AItem);
    // The toolbars list: a check row per bar that can close and is not
    // hidden (clicking shows or hides it), the customize entry below a
    // separator, then OnShowToolbarsPopup.
    void FillToolbarsList(TdxBarItemLinks* ALinks);
    // With CanCustomize, "&Customize..." (Tag 1000, an item of AItemClass)
    // switching customizing mode on; disabled while the manager customizes
    // (the customizing form is open).
    void AddCustomizeEntry(TdxBarItemLinks* ALinks, bool ABeginGroup, cls::TClassOf<TdxBarItem> AItemClass);
    // The recent-use flags of the sub items and bars go back to those of the
    // form's design-time state (nothing without a form resource).
    void ResetUsageData();
    // Asks first (Yes / No, No being the default).
    void ResetUsageDataWithConfirmation();

    // --- Categories ---
    // Without data a category is visible with ivAlways; out of range: false, ivNever.
    bool CategoryVisible(int AIndex) const;
    void SetCategoryVisible(int AIndex, bool Value);
    TdxBarItemVisible CategoryItemsVisible(int AIndex) const;
    void SetCategoryItemsVisible(int AIndex, TdxBarItemVisible Value);

    // --- Dock sites and hidden bars ---
    void AddDockControl(TdxDockControl* ADockControl);
    void RemoveDockControl(TdxDockControl* ADockControl);
    void CreateHiddenBarList();
    void FreeHiddenBarList();
    bool HasHiddenBarList() const { return FHiddenBarList != nullptr; }
    void AddHiddenBar(TdxBar* ABar);
    void RemoveHiddenBar(TdxBar* ABar);
    int HiddenBarCount() const { return FHiddenBarList ? FHiddenBarList->Count() : 0; }
    TdxBar* GetHiddenBar(int Index) const;
    // Shows the remembered bars again, last first: with ADockControl those
    // docked in it, with nullptr floating ones and those whose dock site has
    // a window.
    void RestoreHiddenBars(TdxDockControl* ADockControl);
    // Set while the owner form's new window shows the remembered bars again:
    // dock sites then keep the bars' stored row numbers.
    bool HiddenBarsRestoring() const { return FHiddenBarsRestoring; }

    // --- Drop mark of a drag of links ---
    // Whether a drop at a place of a bar window (the control under the
    // point and the in-group-gap and before flags of its GetDropPlace) would
    // change anything: always for a new item (ADraggedLink nil) or a copy;
    // never onto the dragged link's own place unless its BeginGroup changes.
    bool IsDropPlaceChanging(TdxBarItemControl* ATarget, bool AInGroupGap, bool ABefore,
                             TdxBarItemLink* ADraggedLink, bool ACopy) const;
    // Draws the insertion mark at a drop place with R2_NOT, so that the same
    // call again erases it; AVertical: the window lays its links out
    // vertically. Toggles DropMarkShown.
    void DrawDropMark(TdxBarItemControl* ATarget, bool AInGroupGap, bool AVertical, bool ABefore);
    bool DropMarkShown() const { return FDropMarkShown; }

    // --- Customizing drag ---
    // Drags a command (ALink nil: a new link of AItem) or a link (moved, or
    // copied with Ctrl; dropped outside every bar it is removed) in a modal
    // loop with the mouse captured, until the button comes up, Esc, the
    // capture goes, WM_QUIT, or the manager, the item or the link is freed.
    void DragItemLink(TdxBarItem* AItem, TdxBarItemLink* ALink);
    // The item and link of the drag that runs (nil when none).
    TdxBarItem* DraggingItem() const { return FDraggingItem; }
    TdxBarItemLink* DraggingLink() const { return FDraggingLink; }

    // --- Popup menus (registered by the menus themselves) ---
    void AddPopupMenu(cls::TComponent* APopupMenu);
    void RemovePopupMenu(cls::TComponent* APopupMenu);

    // --- State ---
    bool IsLoading() const;
    bool IsDestroying() const;
    bool Designing() const { return FDesigning; }
    // IsCustomizing is the run-time customizing mode alone; GetIsCustomizing
    // also answers true in design mode.
    bool IsCustomizing() const { return FIsCustomizing; }
    bool GetIsCustomizing() const { return FIsCustomizing || FDesigning; }
    // The stored Style is bmsFlat (not the effective one).
    bool IsFlatStyle() const;
    // The effective style is not bmsStandard.
    bool IsNonStandardStyle() const;
    bool IsShowRecentItemsFirst() const;
    bool CanUseLargeImagesForLargeIcons() const;
    bool CanReset() const;
    bool ThemeAvailable() const { return FThemeAvailable; }
    bool LockUpdate() const { return FLockUpdate; }
    // Batch update of the bars; callers save the previous value and restore it.
    void SetLockUpdate(bool Value);
    void DesignerModified();
    bool IsModified() const { return FModified; }
    TdxBar* MainMenuBar() const { return FMainMenuBar; }

    // --- Selection and hints ---
    // The selected item control of the manager's bar windows, nil when none.
    TdxBarItemControl* SelectedItemControl() const { return FSelectedItemControl; }
    // While customizing, a control in another chain of windows than the old
    // one (or nil) makes the old one's root window drop its selection; the
    // old control is repainted (not while a link is dragged).
    void SetSelectedItemControl(TdxBarItemControl* AControl);
    // Asks for the item hint (AShow) or takes the request back. AText is an
    // explicit text; without one the selected control's short hint shows, and
    // only while the mouse is over that control. Nothing while customizing or
    // without ShowHint. A first hint waits 1000 ms, one asked for within
    // 400 ms after a hint was hidden shows at once; a hint hides after 10 s.
    void ShowItemHint(bool AShow, const std::string& AText);
    void HideItemHint() { ShowItemHint(false, std::string()); }

    // --- Owner form and menu mode ---
    // The manager's reaction to a message of its owner form, which the
    // library's thread hooks pass on before the form handles it.
    void HandleOwnerFormMessage(win::UINT Msg, win::WPARAM WParam, win::LPARAM LParam);

    // --- MDI ---
    // The active MDI child of the owner form (WM_MDIGETACTIVE to its MDI
    // client), nullptr for a form that is no MDI frame or has no child.
    win::HWND GetActiveMDIChildHandle() const;
    // Brings the main menu in line with the active MDI child: the maximized
    // child's system menu as the first entry, and the child form's main menu
    // merged (while it is maximized, or always with AlwaysMerge).
    void UpdateMDIChildMenus();
    // The MDI frame of this manager's MDI child form was activated or
    // deactivated (AOtherWindow: the window on the other side of the change).
    void MDIFrameActivated(bool AActive, win::HWND AOtherWindow);
    // The owner form's last WM_ACTIVATE state.
    bool OwnerFormActive() const { return FOwnerFormActive; }
    // The bar that takes the keyboard in menu mode (the keyboard hook then
    // leaves shortcuts and accelerators alone).
    TdxBar* KeyboardBar() const { return FKeyboardBar; }
    void SetKeyboardBar(TdxBar* Value) { FKeyboardBar = Value; }
    // Set while a submenu is torn off: the keyboard hook routes no keys.
    bool Detaching() const { return FDetaching; }
    void SetDetaching(bool Value) { FDetaching = Value; }
    // Set while a link is dragged in customizing mode: selection changes
    // repaint nothing and outside clicks close no menus.
    bool LinkDragging() const { return FLinkDragging; }
    void SetLinkDragging(bool Value) { FLinkDragging = Value; }
    // The window that takes the mouse capture for drags: the application's
    // window when it shows, else the owner form's.
    win::HWND GetCaptureWindowHandle() const;

    // --- Style and metrics ---
    TdxBarItemControlPainterClass PainterClass() const { return FPainterClass; }
    int GripIndent() const { return FGripIndent; }
    int DragZoneSize() const { return FDragZoneSize; }
    int MenuSeparatorIndent() const { return FMenuSeparatorIndent; }
    // 16, or with LargeIcons the large images' height or 32.
    int ImageSize() const { return FImageSize; }
    int ButtonWidth() const { return FButtonWidth; }
    // Changes whenever something that sizes the links of every bar does (the
    // button metrics, an image list): measurements taken at another
    // generation are stale.
    unsigned MeasureGeneration() const { return FMeasureGeneration; }
    int ButtonHeight() const { return FButtonHeight; }
    // Width of a button's drop-down part.
    int DropDownArrowWidth() const { return FDropDownArrowWidth; }
    // Recent-use step derived from MostRecentItemsPercents (0 for 100).
    int RecentItemsStep() const { return FRecentItemsStep; }
    int GetBarFrameWidth() const;
    int GetBarFrameHeight() const;
    // The drag zone when ABar can dock somewhere, else the painter's no-dock zone.
    int GetBarDragHandleSize(TdxBar* ABar) const;
    // The bar font: made from Font, its height by the icon-title rule while Scaled.
    gfx::HFONT FontHandle() const { return FFontHandle; }

    // --- Colour brushes (rebuilt on system colour changes) ---
    gfx::HBRUSH DarkShadeBrush() const { return FDarkShadeBrush; }
    gfx::HBRUSH LightShadeBrush() const { return FLightShadeBrush; }
    gfx::HBRUSH FaceMixBrush() const { return FFaceMixBrush; }
    gfx::HBRUSH HighlightMixBrush() const { return FHighlightMixBrush; }
    gfx::HBRUSH WindowMixBrush() const { return FWindowMixBrush; }
    // The fill of themed bars; nullptr while visual styles are not available.
    gfx::HBRUSH XPToolbarBrush() const { return FXPToolbarBrush; }
    // Rebuilds the colour brushes and the Office11 colours.
    void SysColorChanged();

protected:
    void Notification(cls::TComponent* AComponent, cls::TOperation Operation) override;
    void GetChildren(const cls::TGetChildProc& Proc, cls::TComponent* Root) override;
    // Counts the form resources the manager was read from (CanReset).
    void ReadState(cls::TReader* Reader) override;
    // "DockControlHeights": the widths of the left and right main dock sites,
    // then the heights of the top and bottom ones.
    void DefineProperties(cls::TFiler* Filer) override;

private:
    friend class TdxBarItem;
    friend class TdxBarItemControl;
    friend class TCustomdxBarControl;
    friend class TdxBarGroup;
    friend class TdxBar;
    friend class TdxBarBackgrounds;

    void AddItem(TdxBarItem* AItem);
    void RemoveItem(TdxBarItem* AItem);
    // The click of the toolbars list's rows and of the customize entry.
    void ToolbarsListClick(cls::TObject* Sender);
    void ReadDockControlHeights(cls::TReader* Reader);
    void WriteDockControlHeights(cls::TWriter* Writer);
    void AddGroupToList(TdxBarGroup* AGroup);
    void RemoveGroupFromList(TdxBarGroup* AGroup);
    void SetMainMenuBar(TdxBar* ABar) { FMainMenuBar = ABar; }

    // The destructor's work; also undoes a construction that failed past the owner checks.
    void DestroyOwnState();
    TdxBarLayoutResult LayoutDone(TdxBarLayoutResult AResult);
    // The stores StoreInRegistry and StoreInIniFile name.
    void LoadStoredLayout();
    void SaveStoredLayout();
    void ApplyStyle();
    // Every bar window of the manager takes the current painter's metrics,
    // layout and frame, and repaints.
    void RefreshBarControls();
    void LookAndFeelChanged(lf::TcxLookAndFeel* Sender, lf::TcxLookAndFeelValues AChangedValues);
    void ThemeChanged();
    void BackgroundsChanged();
    void CalcButtonMetrics();
    void UpdateRecentItemsStep();
    void LargeIconsChanged();
    void UpdateDockColors();
    void FontChanged(cls::TObject* Sender);
    void ApplySystemFont();
    void SetImageList(cls::TCustomImageList*& AField, cls::TChangeLink* ALink, cls::TCustomImageList* Value,
                      int AKind);
    void ImageListChanged(int AKind);
    void ImagesChanged(cls::TObject* Sender);
    void LargeImagesChanged(cls::TObject* Sender);
    void HotImagesChanged(cls::TObject* Sender);
    void DisabledImagesChanged(cls::TObject* Sender);
    void DisabledLargeImagesChanged(cls::TObject* Sender);
    void CreateColorBrushes();
    void DestroyColorBrushes();
    void UpdateXPToolbarBrush();
    // Shows or hides the floating toolbars with the owner form's activation;
    // an inactive form also closes this manager's open menu.
    void UpdateFloatingBars(bool AActive, bool AForce, win::HWND AOtherWindow);
    void ShowFloatingBars(int AShowCmd);
    void FitFloatingBars();
    bool IsOwnBarWindow(win::HWND AWnd) const;
    void CloseOwnActiveBarControl();
    void HelpRequested(const win::HELPINFO* AInfo);
    bool AnyImageListLoading() const;
    bool BarHasAvailableLinks(TdxBar* ABar) const;

    // Published values; the initialisers are the published defaults.
    bool FAllowCallFromAnotherForm = false;
    bool FAllowReset = true;
    bool FAlwaysMerge = false;
    bool FAlwaysSaveText = false;
    bool FAutoDockColor = true;
    bool FAutoHideEmptyBars = false;
    bool FScaled = true;
    cls::TFont* FFont = nullptr;
    TdxBarBackgrounds* FBackgrounds = nullptr;
    TdxBars* FBars = nullptr;
    int FButtonArrowWidth = 11;
    bool FCanCustomize = true;
    TdxBarManagerCategories* FCategories = nullptr;
    cls::TColor FDockColor = cls::clBtnFace;
    bool FFlatCloseButton = false;
    cls::TBitmap* FHelpButtonGlyph = nullptr;
    cls::THelpContext FHelpContext = 0;
    bool FHideFloatingBarsWhenInactive = true;
    cls::TCustomImageList* FHotImages = nullptr;
    cls::TColor FImageListBkColor = cls::clFuchsia;
    cls::TCustomImageList* FImages = nullptr;
    cls::TCustomImageList* FDisabledImages = nullptr;
    cls::TCustomImageList* FDisabledLargeImages = nullptr;
    std::string FIniFileName;
    cls::TCustomImageList* FLargeImages = nullptr;
    int FLargeButtonArrowWidth = 13;
    bool FLargeIcons = false;
    lf::TcxLookAndFeel* FLookAndFeel = nullptr;
    bool FMakeDisabledImagesFaded = false;
    TdxBarMenuAnimations FMenuAnimations = maNone;
    bool FMenusShowRecentItemsFirst = true;
    int FMostRecentItemsPercents = 95;
    TdxBarDockingStyles FNotDocking;
    TdxBarPopupMenuLinks* FPopupMenuLinks = nullptr;
    std::string FRegistryPath;
    bool FShowCloseButton = false;
    bool FShowFullMenusAfterDelay = true;
    bool FShowHelpButton = false;
    bool FShowHint = true;
    bool FShowHintForDisabledItems = true;
    bool FShowShortCutInHint = false;
    bool FStoreInIniFile = false;
    bool FStoreInRegistry = false;
    bool FStretchGlyphs = true;
    TdxBarManagerStyle FStyle = bmsEnhanced;
    bool FSunkenBorder = false;
    bool FUseF10ForMenu = true;
    bool FUseFullReset = false;
    bool FUseLargeImagesForLargeIcons = false;
    bool FUseSystemFont = true;
    int FWaitForDockingTime = 21;

    TdxBarEvent FOnBarAdd;
    TdxBarEvent FOnBarAfterReset;
    TdxBarEvent FOnBarBeforeReset;
    TdxBarEvent FOnBarClose;
    TdxBarEvent FOnBarDelete;
    TdxBarEvent FOnBarDockingStyleChange;
    TdxBarVisibleChangeEvent FOnBarVisibleChange;
    TdxBarItemLinkEvent FOnItemLinkAdd;
    TdxBarItemLinkEvent FOnItemLinkChange;
    TdxBarItemLinkEvent FOnItemLinkDelete;
    cls::TNotifyEvent FOnCloseButtonClick;
    cls::TNotifyEvent FOnHelpButtonClick;
    cls::TNotifyEvent FOnHideCustomizingForm;
    cls::TNotifyEvent FOnShowCustomizingForm;
    TdxBarCanDockingEvent FOnDocking;
    TdxBarMenuMergeEvent FOnMenuMerge;
    TdxBarShowPopupEvent FOnShowCustomizingPopup;
    TdxBarShowPopupEvent FOnShowToolbarsPopup;
    TdxBarClickItemEvent FOnClickItem;
    TdxBarLayoutEvent FOnLayoutProblems;

    // Internal state.
    cls::TList* FHiddenBarList = nullptr;
    bool FChangeReporting = false;
    bool FStyleChanging = false;
    bool FConstructionFailed = true;
    bool FDesigning = false;
    cls::TList FDockControlList;
    gfx::HFONT FFontHandle = nullptr;
    bool FDockControlsUpdating = false;
    gfx::HBRUSH FDarkShadeBrush = nullptr;
    gfx::HBRUSH FLightShadeBrush = nullptr;
    gfx::HBRUSH FFaceMixBrush = nullptr;
    gfx::HBRUSH FHighlightMixBrush = nullptr;
    gfx::HBRUSH FWindowMixBrush = nullptr;
    gfx::HBRUSH FXPToolbarBrush = nullptr;
    cls::TList FGroupList;
    cls::TChangeLink* FImagesChangeLink = nullptr;
    cls::TChangeLink* FLargeImagesChangeLink = nullptr;
    cls::TChangeLink* FHotImagesChangeLink = nullptr;
    cls::TChangeLink* FDisabledImagesChangeLink = nullptr;
    cls::TChangeLink* FDisabledLargeImagesChangeLink = nullptr;
    bool FInternalFontChange = false;
    bool FIsCustomizing = false;
    cls::TList FItemList;
    bool FLockUpdate = false;
    cls::TCustomForm* FOwnerForm = nullptr;
    TdxBar* FMainMenuBar = nullptr;
    bool FModified = false;
    int FRecentItemsStep = 0;
    TdxBarItemControlPainterClass FPainterClass = nullptr;
    cls::TList FPopupMenuList;
    int FReadStateCount = 0;
    cls::TStream* FLayoutStream = nullptr;
    TdxBarItemControl* FSelectedItemControl = nullptr;
    bool FOwnerFormActive = false;
    // MDI: the child handled last, whether it was maximized, the child
    // manager whose menu is merged and whether its main menu bar was visible.
    win::HWND FActiveMDIChild = nullptr;
    bool FActiveMDIChildMaximized = false;
    lf::TcxObjectLink* FMergedManager = nullptr;
    bool FMergedMenuVisible = false;
    TdxBarManager* MDIChildManager(win::HWND AChild) const;
    TdxBarManager* ActiveMDIChildManager() const;
    void AddMDIChild(win::HWND AChild, bool AMerge);
    void RemoveMDIChild(bool AMerge);
    TdxBar* FKeyboardBar = nullptr;
    bool FDetaching = false;
    bool FLinkDragging = false;
    bool FHiddenBarsRestoring = false;
    bool FDropMarkShown = false;
    TdxBarItem* FDraggingItem = nullptr;
    TdxBarItemLink* FDraggingLink = nullptr;
    bool FFloatingBarsUpdating = false;
    bool FThemeAvailable = false;
    lf::TdxThemeChangedNotificator* FThemeChangedNotificator = nullptr;
    int FGripIndent = 0;
    int FDragZoneSize = 0;
    int FMenuSeparatorIndent = 0;
    int FImageSize = 16;
    int FButtonWidth = 0;
    unsigned FMeasureGeneration = 0;
    int FButtonHeight = 0;
    int FDropDownArrowWidth = 0;
    bool FLibraryStarted = false;
    bool FOffice11ColorsReferenced = false;
};

// Holds the manager's update lock for a scope and restores the previous state.
class TLockUpdateGuard {
public:
    explicit TLockUpdateGuard(TdxBarManager* AManager) : FManager(AManager), FPrev(AManager->LockUpdate()) {
        FManager->SetLockUpdate(true);
    }
    ~TLockUpdateGuard() { FManager->SetLockUpdate(FPrev); }
    TLockUpdateGuard(const TLockUpdateGuard&) = delete;
    TLockUpdateGuard& operator=(const TLockUpdateGuard&) = delete;

private:
    TdxBarManager* FManager;
    bool FPrev;
};

} // namespace bars
