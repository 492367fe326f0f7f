// The published properties of the library's classes, as form streams name
// them, and the registration of the component classes a form holds.
#include "bars/bars.h"
#include "bars/button.h"
#include "bars/categories.h"
#include "bars/comboitems.h"
#include "bars/containeritems.h"
#include "bars/dockcontrol.h"
#include "bars/edititems.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/popupmenu.h"
#include "bars/popupmenulinks.h"
#include "bars/subitem.h"
#include "classes/imagelist.h"
#include "classes/typinfo.h"

namespace bars {

namespace {

constexpr const char* ManagerStyles[] = {"bmsStandard", "bmsEnhanced", "bmsFlat",
                                         "bmsXP",       "bmsOffice11", "bmsUseLookAndFeel"};
constexpr const char* MenuAnimationNames[] = {"maNone", "maRandom", "maUnfold", "maSlide", "maFade"};
constexpr const char* DockingStyles[] = {"dsNone", "dsLeft", "dsTop", "dsRight", "dsBottom"};
constexpr const char* ItemVisibles[] = {"ivNever", "ivInCustomizing", "ivAlways"};
constexpr const char* PaintStyles[] = {"psStandard", "psCaption", "psCaptionInMenu", "psCaptionGlyph"};
constexpr const char* ButtonStyles[] = {"bsDefault", "bsChecked", "bsDropDown"};
constexpr const char* UserDefines[] = {"udCaption", "udGlyph", "udPaintStyle", "udWidth"};
constexpr const char* BorderStyles[] = {"bbsNone", "bbsSingle"};
constexpr const char* ItemAligns[] = {"iaLeft", "iaCenter", "iaRight", "iaClient"};
// The class library's alignments without alClient.
constexpr const char* DockAligns[] = {"dalNone", "dalTop", "dalBottom", "dalLeft", "dalRight"};

// The component classes a form stream names, registered when a program that
// uses the library's classes starts; the item classes are registered when
// the library starts (the manager, read first, starts it).
[[maybe_unused]] const bool ClassesRegistered = [] {
    cls::RegisterClasses(
        {TdxBarManager::ClassInfo(), TdxBarDockControl::ClassInfo(), TdxBarPopupMenu::ClassInfo()});
    return true;
}();

// Stored only when no action link supplies the value.
template <class F> std::function<bool(cls::TPersistent*)> NotFromAction(F AIsLinked) {
    return [AIsLinked](cls::TPersistent* I) {
        TdxBarItemActionLink* Link = static_cast<TdxBarItem*>(I)->ActionLink();
        return !Link || !(Link->*AIsLinked)();
    };
}

} // namespace

// --- Manager ---

void TdxBarManager::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    using M = TdxBarManager;
    AList.Boolean("AllowCallFromAnotherForm", &M::AllowCallFromAnotherForm, &M::SetAllowCallFromAnotherForm,
                  false);
    AList.Boolean("AllowReset", &M::AllowReset, &M::SetAllowReset, true);
    AList.Boolean("AlwaysMerge", &M::AlwaysMerge, &M::SetAlwaysMerge, false);
    AList.Boolean("AlwaysSaveText", &M::AlwaysSaveText, &M::SetAlwaysSaveText, false);
    AList.Boolean("AutoDockColor", &M::AutoDockColor, &M::SetAutoDockColor, true);
    AList.Boolean("AutoHideEmptyBars", &M::AutoHideEmptyBars, &M::SetAutoHideEmptyBars, false);
    AList.Boolean("Scaled", &M::Scaled, &M::SetScaled, true);
    AList.Object("Font", &M::Font);
    AList.Object("Backgrounds", &M::Backgrounds);
    AList.Object("Bars", &M::Bars);
    AList.Integer("ButtonArrowWidth", &M::ButtonArrowWidth, &M::SetButtonArrowWidth, 11);
    AList.Boolean("CanCustomize", &M::CanCustomize, &M::SetCanCustomize, true);
    AList.Object("Categories", &M::Categories);
    AList.Color("DockColor", &M::DockColor, &M::SetDockColor).StoredWhen(&M::IsDockColorStored);
    AList.Boolean("FlatCloseButton", &M::FlatCloseButton, &M::SetFlatCloseButton, false);
    AList.Object("HelpButtonGlyph", &M::HelpButtonGlyph);
    AList.Integer("HelpContext", &M::HelpContext, &M::SetHelpContext, 0);
    AList.Boolean("HideFloatingBarsWhenInactive", &M::HideFloatingBarsWhenInactive,
                  &M::SetHideFloatingBarsWhenInactive, true);
    AList.Component("HotImages", &M::HotImages, &M::SetHotImages);
    AList.Color("ImageListBkColor", &M::ImageListBkColor, &M::SetImageListBkColor, cls::clFuchsia);
    AList.Component("Images", &M::Images, &M::SetImages);
    AList.Component("DisabledImages", &M::DisabledImages, &M::SetDisabledImages);
    AList.Component("DisabledLargeImages", &M::DisabledLargeImages, &M::SetDisabledLargeImages);
    AList.String("IniFileName", &M::IniFileName, &M::SetIniFileName);
    AList.Component("LargeImages", &M::LargeImages, &M::SetLargeImages);
    AList.Integer("LargeButtonArrowWidth", &M::LargeButtonArrowWidth, &M::SetLargeButtonArrowWidth, 13);
    AList.Boolean("LargeIcons", &M::LargeIcons, &M::SetLargeIcons, false);
    AList.Object("LookAndFeel", &M::LookAndFeel);
    AList.Boolean("MakeDisabledImagesFaded", &M::MakeDisabledImagesFaded, &M::SetMakeDisabledImagesFaded,
                  false);
    AList.Enum("MenuAnimations", &M::MenuAnimations, &M::SetMenuAnimations, MenuAnimationNames, maNone);
    AList.Boolean("MenusShowRecentItemsFirst", &M::MenusShowRecentItemsFirst,
                  &M::SetMenusShowRecentItemsFirst, true);
    AList.Integer("MostRecentItemsPercents", &M::MostRecentItemsPercents, &M::SetMostRecentItemsPercents, 95);
    AList.Set("NotDocking", &M::NotDocking, &M::SetNotDocking, DockingStyles);
    AList.Object("PopupMenuLinks", &M::PopupMenuLinks);
    AList.String("RegistryPath", &M::RegistryPath, &M::SetRegistryPath);
    AList.Boolean("ShowCloseButton", &M::ShowCloseButton, &M::SetShowCloseButton, false);
    AList.Boolean("ShowFullMenusAfterDelay", &M::ShowFullMenusAfterDelay, &M::SetShowFullMenusAfterDelay,
                  true);
    AList.Boolean("ShowHelpButton", &M::ShowHelpButton, &M::SetShowHelpButton, false);
    AList.Boolean("ShowHint", &M::ShowHint, &M::SetShowHint, true);
    AList.Boolean("ShowHintForDisabledItems", &M::ShowHintForDisabledItems, &M::SetShowHintForDisabledItems,
                  true);
    AList.Boolean("ShowShortCutInHint", &M::ShowShortCutInHint, &M::SetShowShortCutInHint, false);
    AList.Boolean("StoreInIniFile", &M::StoreInIniFile, &M::SetStoreInIniFile, false);
    AList.Boolean("StoreInRegistry", &M::StoreInRegistry, &M::SetStoreInRegistry, false);
    AList.Boolean("StretchGlyphs", &M::StretchGlyphs, &M::SetStretchGlyphs, true);
    AList.Enum("Style", &M::Style, &M::SetStyle, ManagerStyles, bmsEnhanced);
    AList.Boolean("SunkenBorder", &M::SunkenBorder, &M::SetSunkenBorder, false);
    AList.Boolean("UseF10ForMenu", &M::UseF10ForMenu, &M::SetUseF10ForMenu, true);
    AList.Boolean("UseFullReset", &M::UseFullReset, &M::SetUseFullReset, false);
    AList.Boolean("UseLargeImagesForLargeIcons", &M::UseLargeImagesForLargeIcons,
                  &M::SetUseLargeImagesForLargeIcons, false);
    AList.Boolean("UseSystemFont", &M::UseSystemFont, &M::SetUseSystemFont);
    AList.Integer("WaitForDockingTime", &M::WaitForDockingTime, &M::SetWaitForDockingTime, 21);
    AList.Event("OnBarAdd", &M::OnBarAdd, &M::SetOnBarAdd);
    AList.Event("OnBarAfterReset", &M::OnBarAfterReset, &M::SetOnBarAfterReset);
    AList.Event("OnBarBeforeReset", &M::OnBarBeforeReset, &M::SetOnBarBeforeReset);
    AList.Event("OnBarClose", &M::OnBarClose, &M::SetOnBarClose);
    AList.Event("OnBarDelete", &M::OnBarDelete, &M::SetOnBarDelete);
    AList.Event("OnBarDockingStyleChange", &M::OnBarDockingStyleChange, &M::SetOnBarDockingStyleChange);
    AList.Event("OnBarVisibleChange", &M::OnBarVisibleChange, &M::SetOnBarVisibleChange);
    AList.Event("OnClickItem", &M::OnClickItem, &M::SetOnClickItem);
    AList.Event("OnCloseButtonClick", &M::OnCloseButtonClick, &M::SetOnCloseButtonClick);
    AList.Event("OnDocking", &M::OnDocking, &M::SetOnDocking);
    AList.Event("OnHelpButtonClick", &M::OnHelpButtonClick, &M::SetOnHelpButtonClick);
    AList.Event("OnHideCustomizingForm", &M::OnHideCustomizingForm, &M::SetOnHideCustomizingForm);
    AList.Event("OnItemLinkAdd", &M::OnItemLinkAdd, &M::SetOnItemLinkAdd);
    AList.Event("OnItemLinkChange", &M::OnItemLinkChange, &M::SetOnItemLinkChange);
    AList.Event("OnItemLinkDelete", &M::OnItemLinkDelete, &M::SetOnItemLinkDelete);
    AList.Event("OnMenuMerge", &M::OnMenuMerge, &M::SetOnMenuMerge);
    AList.Event("OnShowCustomizingForm", &M::OnShowCustomizingForm, &M::SetOnShowCustomizingForm);
    AList.Event("OnShowCustomizingPopup", &M::OnShowCustomizingPopup, &M::SetOnShowCustomizingPopup);
    AList.Event("OnShowToolbarsPopup", &M::OnShowToolbarsPopup, &M::SetOnShowToolbarsPopup);
}

void TdxBarBackgrounds::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    AList.Object("Bar", &TdxBarBackgrounds::Bar);
    AList.Object("SubMenu", &TdxBarBackgrounds::SubMenu);
}

void TdxBarGroup::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    AList.Boolean("Enabled", &TdxBarGroup::Enabled, &TdxBarGroup::SetEnabled, true);
    AList.Enum("Visible", &TdxBarGroup::Visible, &TdxBarGroup::SetVisible, ItemVisibles, ivAlways);
}

void TdxBarPopupMenuLink::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    using L = TdxBarPopupMenuLink;
    AList.Component("Control", &L::Control, &L::SetControl);
    AList.Component("PopupMenu", &L::PopupMenu, &L::SetPopupMenu);
    AList.Boolean("ProcessChildren", &L::ProcessChildren, &L::SetProcessChildren, true);
    AList.Event("OnAction", &L::OnAction, &L::SetOnAction);
}

// --- Bars, links and dock sites ---

void TdxBar::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    using B = TdxBar;
    auto Bar = [](cls::TPersistent* I) { return static_cast<TdxBar*>(I); };
    AList.Boolean("AllowClose", &B::AllowClose, &B::SetAllowClose, true);
    AList.Boolean("AllowCustomizing", &B::AllowCustomizing, &B::SetAllowCustomizing, true);
    AList.Boolean("AllowQuickCustomizing", &B::AllowQuickCustomizing, &B::SetAllowQuickCustomizing, true);
    AList.Boolean("AllowReset", &B::AllowReset, &B::SetAllowReset, true);
    AList.Integer("AlphaBlendValue", &B::AlphaBlendValue, &B::SetAlphaBlendValue, 255);
    AList.Enum("BorderStyle", &B::BorderStyle, &B::SetBorderStyle, BorderStyles, bbsSingle);
    AList.String("Caption", &B::Caption, &B::SetCaption);
    AList.Color("Color", &B::Color, &B::SetColor, cls::clDefault);
    AList.Component("DockControl", &B::DockControl, &B::SetDockControl);
    AList.Component("DockedDockControl", &B::DockedDockControl, &B::SetDockedDockControl);
    AList.Enum("DockedDockingStyle", &B::DockedDockingStyle, &B::SetDockedDockingStyle, DockingStyles)
        .StoredIf([Bar](cls::TPersistent* I) { return !Bar(I)->DockedDockControl(); });
    AList.Integer("DockedLeft", &B::DockedLeft, &B::SetDockedLeft);
    AList.Integer("DockedTop", &B::DockedTop, &B::SetDockedTop);
    AList.Enum("DockingStyle", &B::DockingStyle, &B::SetDockingStyle, DockingStyles)
        .StoredIf([Bar](cls::TPersistent* I) { return !Bar(I)->DockControl(); });
    AList.Integer("FloatLeft", &B::FloatLeft, &B::SetFloatLeft);
    AList.Integer("FloatTop", &B::FloatTop, &B::SetFloatTop);
    AList.Integer("FloatClientWidth", &B::FloatClientWidth, &B::SetFloatClientWidth);
    AList.Integer("FloatClientHeight", &B::FloatClientHeight, &B::SetFloatClientHeight);
    AList.Object("Font", &B::Font).StoredIf([Bar](cls::TPersistent* I) { return Bar(I)->UseOwnFont(); });
    AList.Boolean("Hidden", &B::Hidden, &B::SetHidden, false);
    AList.Boolean("IsMainMenu", &B::IsMainMenu, &B::SetIsMainMenu, false);
    AList.Object("ItemLinks", &B::ItemLinks);
    AList.Boolean("MultiLine", &B::MultiLine, &B::SetMultiLine, false);
    AList.String("Name", &B::Name, &B::SetName);
    AList.Set("NotDocking", &B::NotDocking, &B::SetNotDocking, DockingStyles);
    AList.Boolean("OneOnRow", &B::OneOnRow, &B::SetOneOnRow);
    AList.Boolean("RotateWhenVertical", &B::RotateWhenVertical, &B::SetRotateWhenVertical, true);
    AList.Integer("Row", &B::Row, &B::SetRow);
    AList.Boolean("ShowMark", &B::ShowMark, &B::SetShowMark, true);
    AList.Boolean("SizeGrip", &B::SizeGrip, &B::SetSizeGrip, true);
    AList.Boolean("UseOwnFont", &B::UseOwnFont, &B::SetUseOwnFont);
    AList.Boolean("UseRecentItems", &B::UseRecentItems, &B::SetUseRecentItems, true);
    AList.Boolean("UseRestSpace", &B::UseRestSpace, &B::SetUseRestSpace, false);
    AList.Boolean("Visible", &B::Visible, &B::SetVisible);
    AList.Boolean("WholeRow", &B::WholeRow, &B::SetWholeRow);
    AList.Object("BackgroundBitmap", &B::BackgroundBitmap);
}

void TdxBarItemLink::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    using L = TdxBarItemLink;
    AList.Boolean("BeginGroup", &L::BeginGroup, &L::SetBeginGroup, false);
    AList.Component("Item", &L::Item, &L::SetStreamedItem);
    AList.Boolean("MostRecentlyUsed", &L::MostRecentlyUsed, &L::SetMostRecentlyUsed, true);
    AList.String("UserCaption", &L::UserCaption, &L::SetUserCaption);
    AList.Set("UserDefine", &L::UserDefine, &L::SetUserDefine, UserDefines);
    AList.Object("UserGlyph", &L::UserGlyph);
    AList.Enum("UserPaintStyle", &L::UserPaintStyle, &L::SetUserPaintStyle, PaintStyles, psStandard);
    AList.Integer("UserWidth", &L::UserWidth, &L::SetUserWidth, 0);
    AList.Boolean("Visible", &L::Visible, &L::SetVisible);
}

void TdxBarDockControl::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    using D = TdxBarDockControl;
    auto OwnColor = [](cls::TPersistent* I) {
        auto* Dock = static_cast<TdxBarDockControl*>(I);
        return Dock->UseOwnColor() && !Dock->ParentColor();
    };
    AList.Enum("Align", &D::Align, &D::SetAlign, DockAligns, cls::alTop);
    AList.Boolean("AllowDocking", &D::AllowDocking, &D::SetAllowDocking, true);
    AList.Boolean("AllowZeroSizeInDesignTime", &D::AllowZeroSizeInDesignTime,
                  &D::SetAllowZeroSizeInDesignTime, false);
    AList.Component("BarManager", &D::BarManager, &D::SetBarManager);
    AList.Color("Color", &D::Color, &D::SetColor).StoredIf(OwnColor);
    AList.Boolean("ParentColor", &D::ParentColor, &D::SetParentColor).StoredIf(OwnColor);
    AList.Boolean("SunkenBorder", &D::SunkenBorder, &D::SetSunkenBorder).StoredIf([](cls::TPersistent* I) {
        return static_cast<TdxBarDockControl*>(I)->UseOwnSunkenBorder();
    });
    AList.Boolean("UseOwnColor", &D::UseOwnColor, &D::SetUseOwnColor, false);
    AList.Boolean("UseOwnSunkenBorder", &D::UseOwnSunkenBorder, &D::SetUseOwnSunkenBorder, false);
    AList.Object("BackgroundBitmap", &D::BackgroundBitmap);
}

// --- Items ---

void TdxBarItem::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    using I = TdxBarItem;
    using A = TdxBarItemActionLink;
    AList.Component("Action", &I::Action, &I::SetAction);
    AList.Enum("Align", &I::Align, &I::SetAlign, ItemAligns, iaLeft);
    AList.String("Caption", &I::Caption, &I::SetCaption).StoredIf(NotFromAction(&A::IsCaptionLinked));
    AList.Integer("Category", &I::Category, &I::SetCategory);
    AList.String("Description", &I::Description, &I::SetDescription);
    AList.Boolean("Enabled", &I::Enabled, &I::SetEnabled, true).StoredIf(NotFromAction(&A::IsEnabledLinked));
    AList.Integer("HelpContext", &I::HelpContext, &I::SetHelpContext, 0)
        .StoredIf(NotFromAction(&A::IsHelpContextLinked));
    AList.String("Hint", &I::Hint, &I::SetHint).StoredIf(NotFromAction(&A::IsHintLinked));
    AList.Enum("Visible", &I::Visible, &I::SetVisible, ItemVisibles)
        .StoredIf(NotFromAction(&A::IsVisibleLinked));
    AList.Event("OnDestroy", &I::OnDestroy, &I::SetOnDestroy);
}

namespace {

// Glyph, ImageIndex, ShortCut and OnClick, which several item classes publish.
void PublishCommand(cls::TPublishedProperties& AList, bool AShortCut) {
    using A = TdxBarItemActionLink;
    AList.Object("Glyph", &TdxBarItem::Glyph);
    AList.Integer("ImageIndex", &TdxBarItem::ImageIndex, &TdxBarItem::SetImageIndex, -1)
        .StoredIf(NotFromAction(&A::IsImageIndexLinked));
    if (AShortCut)
        AList.Integer("ShortCut", &TdxBarItem::ShortCut, &TdxBarItem::SetShortCut, 0)
            .StoredIf(NotFromAction(&A::IsShortCutLinked));
    AList.Event("OnClick", &TdxBarItem::OnClick, &TdxBarItem::SetOnClick)
        .StoredIf(NotFromAction(&A::IsOnExecuteLinked));
}

} // namespace

void TdxBarButton::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    using B = TdxBarButton;
    AList.Boolean("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp, false);
    AList.Enum("ButtonStyle", &B::ButtonStyle, &B::SetButtonStyle, ButtonStyles, bsDefault);
    AList.Boolean("CloseSubMenuOnClick", &B::CloseSubMenuOnClick, &B::SetCloseSubMenuOnClick, true);
    AList.Boolean("Down", &B::Down, &B::SetDown, false)
        .StoredIf(NotFromAction(&TdxBarItemActionLink::IsCheckedLinked));
    AList.Boolean("DropDownEnabled", &B::DropDownEnabled, &B::SetDropDownEnabled, true);
    AList.Component("DropDownMenu", &B::DropDownMenu, &B::SetDropDownMenu);
    AList.Integer("GroupIndex", &B::GroupIndex, &B::SetGroupIndex, 0);
    AList.Boolean("Lowered", &B::Lowered, &B::SetLowered, false);
    AList.Enum("PaintStyle", &B::PaintStyle, &B::SetPaintStyle, PaintStyles, psStandard);
    PublishCommand(AList, true);
    AList.Boolean("UnclickAfterDoing", &B::UnclickAfterDoing, &B::SetUnclickAfterDoing, true);
}

void TCustomdxBarSubItem::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    using S = TCustomdxBarSubItem;
    AList.Integer("BarSize", &S::BarSize, &S::SetBarSize, 0);
    AList.Boolean("Detachable", &S::Detachable, &S::SetDetachable, false);
    AList.Integer("DetachingBar", &S::DetachingBar, &S::SetDetachingBar, -1);
    AList.Boolean("ShowCaption", &S::ShowCaption, &S::SetShowCaption, true);
    PublishCommand(AList, false);
    AList.Event("OnDetaching", &S::OnDetaching, &S::SetOnDetaching);
    AList.Event("OnPaintBar", &S::OnPaintBar, &S::SetOnPaintBar);
}

void TdxBarSubItem::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    AList.Boolean("AllowCustomizing", &TdxBarSubItem::AllowCustomizing, &TdxBarSubItem::SetAllowCustomizing,
                  true);
    AList.Object("ItemLinks", &TdxBarSubItem::ItemLinks);
    AList.Event("OnCloseUp", &TdxBarSubItem::OnCloseUp, &TdxBarSubItem::SetOnCloseUp);
    AList.Event("OnPopup", &TdxBarSubItem::OnPopup, &TdxBarSubItem::SetOnPopup);
}

void TdxBarWindowItem::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    using W = TdxBarWindowItem;
    AList.String("Text", &W::Text, &W::SetText);
    AList.Event("OnChange", &W::OnChange, &W::SetOnChange);
    AList.Event("OnCurChange", &W::OnCurChange, &W::SetOnCurChange);
    AList.Event("OnEnter", &W::OnEnter, &W::SetOnEnter);
    AList.Event("OnExit", &W::OnExit, &W::SetOnExit);
    AList.Event("OnKeyDown", &W::OnKeyDown, &W::SetOnKeyDown);
    AList.Event("OnKeyPress", &W::OnKeyPress, &W::SetOnKeyPress);
    AList.Event("OnKeyUp", &W::OnKeyUp, &W::SetOnKeyUp);
}

void TdxBarEdit::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    using E = TdxBarEdit;
    AList.Integer("MaxLength", &E::MaxLength, &E::SetMaxLength, 0);
    AList.Boolean("ReadOnly", &E::ReadOnly, &E::SetReadOnly, false);
    AList.Boolean("ShowCaption", &E::ShowCaption, &E::SetShowCaption, false);
    AList.Integer("Width", &E::Width, &E::SetWidth, 100);
    PublishCommand(AList, false);
}

void TCustomdxBarCombo::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    using C = TCustomdxBarCombo;
    AList.Boolean("ShowEditor", &C::ShowEditor, &C::SetShowEditor, true);
    AList.Event("OnCloseUp", &C::OnCloseUp, &C::SetOnCloseUp);
    AList.Event("OnDropDown", &C::OnDropDown, &C::SetOnDropDown);
    AList.Event("OnGetDropDownWindow", &C::OnGetDropDownWindow, &C::SetOnGetDropDownWindow);
}

void TdxBarCombo::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    using C = TdxBarCombo;
    AList.Integer("DropDownCount", &C::DropDownCount, &C::SetDropDownCount, 8);
    AList.Integer("DropDownWidth", &C::DropDownWidth, &C::SetDropDownWidth, 0);
    AList.Integer("ItemHeight", &C::ItemHeight, &C::SetItemHeight, 0);
    AList.Object("Items", &C::Items);
    AList.Boolean("Sorted", &C::Sorted, &C::SetSorted, false);
    AList.Integer("ItemIndex", &C::ItemIndex, &C::SetItemIndex, -1);
    AList.Event("OnDrawItem", &C::OnDrawItem, &C::SetOnDrawItem);
    AList.Event("OnMeasureItem", &C::OnMeasureItem, &C::SetOnMeasureItem);
}

void TdxBarContainerItem::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    AList.Object("ItemLinks", &TdxBarContainerItem::ItemLinks);
}

void TdxBarListItem::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    using L = TdxBarListItem;
    AList.Object("Items", &L::Items);
    AList.Integer("ItemIndex", &L::ItemIndex, &L::SetItemIndex, -1);
    AList.Boolean("ShowCheck", &L::ShowCheck, &L::SetShowCheck, false);
    AList.Boolean("ShowNumbers", &L::ShowNumbers, &L::SetShowNumbers, true);
    AList.Event("OnGetData", &L::OnGetData, &L::SetOnGetData);
}

// --- Popup menus ---

void TdxBarPopupMenu::GetPublishedProperties(cls::TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    using P = TdxBarPopupMenu;
    AList.Component("BarManager", &P::BarManager, &P::SetBarManager);
    AList.Integer("BarSize", &P::BarSize, &P::SetBarSize, 0);
    AList.Object("Font", &P::Font).StoredIf([](cls::TPersistent* I) {
        return static_cast<TdxBarPopupMenu*>(I)->UseOwnFont();
    });
    AList.Object("ItemLinks", &P::ItemLinks);
    AList.Boolean("UseOwnFont", &P::UseOwnFont, &P::SetUseOwnFont);
    AList.Boolean("UseRecentItems", &P::UseRecentItems, &P::SetUseRecentItems, false);
    AList.Object("BackgroundBitmap", &P::BackgroundBitmap);
    AList.Event("OnCloseUp", &P::OnCloseUp, &P::SetOnCloseUp);
    AList.Event("OnPaintBar", &P::OnPaintBar, &P::SetOnPaintBar);
    AList.Event("OnPopup", &P::OnPopup, &P::SetOnPopup);
}

} // namespace bars
