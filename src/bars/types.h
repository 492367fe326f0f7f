// The enumerations, sets and event types shared by every part of the toolbar
// library, and the forward declarations of its classes.
#pragma once

#include "classes/events.h"
#include "classes/sets.h"

namespace bars {

class TdxBarManager;
class TdxBarManagerList;
class TdxBarManagerCategories;
class TdxBarGroup;
class TdxBarBackgrounds;
class TdxBarPopupMenuLink;
class TdxBarPopupMenuLinks;
class TdxBarItem;
class TdxBarItemLink;
class TdxBarItemLinks;
class TdxBarPopupMenu;
class TdxBar;
class TdxBars;
class TdxDockControl;
class TdxBarDockControl;
class TdxBarItemControl;
class TCustomdxBarControl;
class TdxBarControl;
class TdxBarSubMenuControl;
class TdxBarItemControlPainter;

enum TdxBarManagerStyle { bmsStandard, bmsEnhanced, bmsFlat, bmsXP, bmsOffice11, bmsUseLookAndFeel };
enum TdxBarMenuAnimations { maNone, maRandom, maUnfold, maSlide, maFade };
enum TdxBarDockingStyle { dsNone, dsLeft, dsTop, dsRight, dsBottom };
using TdxBarDockingStyles = cls::TSet<TdxBarDockingStyle>;
enum TdxBarItemVisible { ivNever, ivInCustomizing, ivAlways };
enum TdxBarPaintStyle { psStandard, psCaption, psCaptionInMenu, psCaptionGlyph };
enum TdxBarButtonStyle { bsDefault, bsChecked, bsDropDown };
enum TdxBarUserDefine { udCaption, udGlyph, udPaintStyle, udWidth };
using TdxBarUserDefines = cls::TSet<TdxBarUserDefine>;
enum TdxBarBorderStyle { bbsNone, bbsSingle };

// A painter class is named by the one constant object of its type: painters
// keep no state, and that object is never used for anything but dispatch.
using TdxBarItemControlPainterClass = const TdxBarItemControlPainter*;

// All five docking styles: a bar or manager refusing these cannot be dragged.
inline constexpr TdxBarDockingStyles AllDockingStyles{dsNone, dsLeft, dsTop, dsRight, dsBottom};

// --- Events of the manager ---

using TdxBarEvent = cls::TEvent<void(TdxBarManager* Sender, TdxBar* ABar)>;
using TdxBarVisibleChangeEvent = cls::TEvent<void(TdxBarManager* Sender, TdxBar* ABar)>;
using TdxBarItemLinkEvent = cls::TEvent<void(TdxBarManager* Sender, TdxBarItemLink* AItemLink)>;
using TdxBarCanDockingEvent = cls::TEvent<void(TdxBar* Sender, TdxBarDockingStyle Style,
                                               TdxDockControl* DockControl, bool& CanDocking)>;
using TdxBarMenuMergeEvent =
    cls::TEvent<void(TdxBarManager* Sender, TdxBarManager* ChildBarManager, bool AddItems)>;
using TdxBarShowPopupEvent = cls::TEvent<void(TdxBarManager* Sender, TdxBarItemLinks* PopupItemLinks)>;
using TdxBarClickItemEvent = cls::TEvent<void(TdxBarManager* Sender, TdxBarItem* ClickedItem)>;

} // namespace bars
