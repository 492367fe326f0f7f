// Item links: a link puts an item into one list of commands (a toolbar, a
// popup menu or a sub item's menu) and carries what belongs to that place: a
// group separator before it, its own visibility, user overrides of caption,
// glyph, paint style and width, and its position in the recently-used order.
// A link collection keeps the lists of links that may and do show, makes the
// window that shows them, answers shortcut and accelerator keys and tells the
// bar manager about every change of a link.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bars/types.h"
#include "classes/collections.h"
#include "classes/events.h"
#include "classes/graphics.h"
#include "classes/shortcuts.h"

namespace bars {

class TdxBarItemLink : public cls::TCollectionItem {
    TRESTLE_CLASS(TdxBarItemLink, cls::TCollectionItem)
public:
    // Joins the collection's recently-used list at its end and fires the
    // manager's OnItemLinkAdd.
    explicit TdxBarItemLink(cls::TCollection* ACollection);
    // Fires OnItemLinkDelete first, then leaves the item and the lists.
    ~TdxBarItemLink() override;
    // Copies user data, the user values, the item, UserDefine, the effective
    // BeginGroup and Visible.
    void Assign(cls::TPersistent* Source) override;

    TdxBarItemLinks* Owner() const;
    TdxBarManager* GetBarManager() const;
    // The window showing the collection, nullptr when it is not shown.
    TCustomdxBarControl* GetBarControl() const;
    // Moving to another collection moves the link between the recently-used lists.
    void SetCollection(cls::TCollection* Value) override;

    // --- Published properties ---
    // The stored flag; GetBeginGroup tells whether a separator shows.
    bool BeginGroup() const { return FBeginGroup; }
    void SetBeginGroup(bool Value);
    TdxBarItem* Item() const { return FItem; }
    // nullptr frees the link. In a sub item's links an item that would make
    // the sub item contain itself raises Exception (dxSBAR_RECURSIVESUBITEMS)
    // and leaves the link without item.
    void SetItem(TdxBarItem* Value);
    bool MostRecentlyUsed() const { return FMostRecentlyUsed; }
    void SetMostRecentlyUsed(bool Value);
    const std::string& UserCaption() const { return FUserCaption; }
    // Adds udCaption.
    void SetUserCaption(const std::string& Value);
    // Turning a flag off resets its value (caption empty, glyph cleared,
    // psStandard, width 0).
    TdxBarUserDefines UserDefine() const { return FUserDefine; }
    void SetUserDefine(TdxBarUserDefines Value);
    cls::TBitmap* UserGlyph() const { return FUserGlyph; }
    // Copies Value into UserGlyph and adds udGlyph.
    void SetUserGlyph(cls::TBitmap* Value);
    TdxBarPaintStyle UserPaintStyle() const { return FUserPaintStyle; }
    // Acts only when Value differs from the effective paint style; adds udPaintStyle.
    void SetUserPaintStyle(TdxBarPaintStyle Value);
    int UserWidth() const { return FUserWidth; }
    // Raised to at least 20; acts only when it differs from the effective
    // width; adds udWidth.
    void SetUserWidth(int Value);
    bool Visible() const { return FVisible; }
    // While the manager loads or the collection assigns only the loaded value changes.
    void SetVisible(bool Value);

    // --- Effective values ---
    // The user value when its flag is in UserDefine or no item is linked,
    // else the item's.
    std::string GetCaption() const;
    cls::TBitmap* GetGlyph() const;
    // A button's PaintStyle, psStandard for other items.
    TdxBarPaintStyle GetPaintStyle() const;
    // UserWidth with udWidth, else 0.
    int GetWidth() const;
    // A separator shows before the link: the flag is set, or a hidden link
    // after the previous shown one carries it; never on the first shown link.
    bool GetBeginGroup() const;
    int GetIndex() const { return Index(); }
    // Position in the visible list, -1 when not shown.
    int GetVisibleIndex() const;
    // Position in the recently-used list (stored with a layout), -1 when absent.
    int GetRecentIndex() const;

    // --- Other state ---
    std::intptr_t Data() const { return FData; }
    void SetData(std::intptr_t Value) { FData = Value; }
    // The rectangle of the link's control in its window (set by the window's layout).
    const cls::TRect& ItemRect() const { return FItemRect; }
    void SetItemRect(const cls::TRect& Value) { FItemRect = Value; }
    // For links a container item makes: the container's own link.
    TdxBarItemLink* ContainerLink() const { return FContainerLink; }
    void SetContainerLink(TdxBarItemLink* Value) { FContainerLink = Value; }
    // How often the command was used; starts at the manager's recent-use step.
    int UseCount() const { return FUseCount; }
    // Values read from a stored layout, applied by TdxBarItemLinks::ApplyLoadedState.
    bool LoadedVisible() const { return FLoadedVisible; }
    void SetLoadedVisible(bool Value) { FLoadedVisible = Value; }
    int LoadedRecentIndex() const { return FLoadedRecentIndex; }
    void SetLoadedRecentIndex(int Value) { FLoadedRecentIndex = Value; }
    int LoadedUseCount() const { return FLoadedUseCount; }
    void SetLoadedUseCount(int Value) { FLoadedUseCount = Value; }
    // The recent position kept across a reset of the bar.
    int SavedRecentIndex() const { return FSavedRecentIndex; }
    void SetSavedRecentIndex(int Value) { FSavedRecentIndex = Value; }

    // --- Operations ---
    // With the collection using recent items: to the head of the recently-used
    // list, and with AIncrement one more use.
    void BringToRecentTop(bool AIncrement);
    // The command was used: for a link that may show, to the head of the
    // list, then the same for the link through which the collection opened.
    void ApplyRecentUse(bool AIncrement);
    // Whether a key (Alt already taken out of AShift) is the accelerator of
    // the effective caption: the character after the last single "&". A
    // letter matches case-insensitively with or without Shift, a digit only
    // without modifiers, any other character by the keys that type it. With
    // AKeyChar (the character the key types, for layouts beyond the US one)
    // the characters are compared case-insensitively instead, without Ctrl.
    bool IsAccel(std::uint16_t AKey, cls::TShiftState AShift, char32_t AKeyChar = 0) const;
    // The item is AItem, or a sub item whose links contain it (at any depth).
    bool ContainsItem(const TdxBarItem* AItem) const;
    // Tells the manager (OnItemLinkChange) that the link changed.
    void Changed();

    // --- The control ---
    // The item control that shows the link in its window, nullptr when none.
    TdxBarItemControl* Control() const { return FControl; }
    // For a link that may show, has an item and no control, in a window that
    // exists and is not going: the control class registered for exactly the
    // item's class, made with the link (no registration: no control).
    void CreateControl();
    void DestroyControl();
    // Use count and recent position as MostRecentlyUsed asks: the manager's
    // recent-use step and the head of the list, or 0 and its end.
    void ApplyMostRecentlyUsed();
    // A link a container item's expansion made takes the use count and the
    // recent position of the container's link.
    void TakeRecentState(const TdxBarItemLink* AFrom);
    // While the links a container item expands to stand in its place, the
    // container's own link is neither can-visible nor visible.
    bool Replaced() const { return FReplaced; }
    void SetReplaced(bool Value);

private:
    friend class TdxBarItemLinks;
    friend class TdxBarItemControl;

    bool ContainsItemWalk(const TdxBarItem* AItem, std::vector<const TdxBarItemLinks*>& AVisited) const;
    void MoveToRecentEnd();

    bool FBeginGroup = false;
    TdxBarItemControl* FControl = nullptr;
    std::intptr_t FData = 0;
    TdxBarItem* FItem = nullptr;
    cls::TRect FItemRect{};
    int FLoadedRecentIndex = -1;
    int FLoadedUseCount = 0;
    bool FLoadedVisible = true;
    bool FMostRecentlyUsed = true;
    TdxBarItemLink* FContainerLink = nullptr;
    int FSavedRecentIndex = -1;
    int FUseCount = 0;
    std::string FUserCaption;
    TdxBarUserDefines FUserDefine;
    cls::TBitmap* FUserGlyph = nullptr;
    TdxBarPaintStyle FUserPaintStyle = psStandard;
    int FUserWidth = 0;
    bool FVisible = true;
    bool FReplaced = false;
};

class TdxBarItemLinks final : public cls::TCollection {
    TRESTLE_CLASS(TdxBarItemLinks, cls::TCollection)
public:
    // AOwner: a TdxBar, a popup menu, a sub item or another component.
    TdxBarItemLinks(cls::TPersistent* AOwner, TdxBarManager* ABarManager);
    // Frees the window that shows the collection, then the links.
    ~TdxBarItemLinks() override;
    // Copies the links of another collection; their Visible comes last.
    void Assign(cls::TPersistent* Source) override;

    TdxBarManager* BarManager() const { return FBarManager; }
    // A sub item that moves to another manager takes its links along.
    void SetBarManager(TdxBarManager* Value) { FBarManager = Value; }
    cls::TPersistent* LinksOwner() const { return FOwner; }

    TdxBarItemLink* Add() { return static_cast<TdxBarItemLink*>(cls::TCollection::Add()); }
    // A new link to AItem.
    TdxBarItemLink* Add(TdxBarItem* AItem);
    TdxBarItemLink* Items(int Index) const {
        return static_cast<TdxBarItemLink*>(cls::TCollection::Items(Index));
    }
    TdxBarItemLink* operator[](int Index) const { return Items(Index); }

    // --- Visibility lists, in collection order ---
    // Links whose item may show (every link with an item in design mode).
    int AvailableItemCount() const { return static_cast<int>(FAvailableItems.size()); }
    TdxBarItemLink* AvailableItems(int Index) const;
    // Available links whose own Visible is set (all available in design mode).
    int CanVisibleItemCount() const { return static_cast<int>(FCanVisibleItems.size()); }
    TdxBarItemLink* CanVisibleItems(int Index) const;
    // The links shown: all can-visible links without a recent limit, else the
    // can-visible ones among the first RecentLimit of the recently-used list.
    int VisibleItemCount() const { return static_cast<int>(FVisibleItems.size()); }
    TdxBarItemLink* VisibleItems(int Index) const;
    int IndexOfCanVisible(const TdxBarItemLink* ALink) const;
    void RebuildVisibleLists();
    // Changes whenever the visible links do: measurements of them taken at
    // another generation are stale.
    unsigned VisibleGeneration() const { return FVisibleGeneration; }

    // --- Recently used commands ---
    // Most recent first.
    int RecentItemCount() const { return static_cast<int>(FRecentItems.size()); }
    TdxBarItemLink* RecentItems(int Index) const;
    bool UseRecentItems() const { return FUseRecentItems; }
    void SetUseRecentItems(bool Value) { FUseRecentItems = Value; }
    // False in the standard style; otherwise the UseRecentItems of the
    // collection of the toolbar or popup menu the collection opened from.
    bool UsesRecentItems() const;
    // -1: no limit.
    int RecentLimit() const { return FRecentLimit; }
    // The limit (or -1 when recent items are not used); the old one is kept
    // for RestoreRecentLimit.
    void SetRecentLimit(int Value);
    void RestoreRecentLimit();
    // How many links of the recently-used list are used often enough to show
    // first; -1 when every can-visible link is, when there is none, or when
    // recent items are not used.
    int GetRecentCount() const;
    // After loading, reading a layout or a reset: recent state, loaded
    // Visible (with AApplyVisible), loaded use counts and recent positions.
    void ApplyLoadedState(bool AApplyVisible);
    // Copies MostRecentlyUsed link by link from ASource, applies the loaded
    // state and brings the can-visible links forward in recent order.
    void AssignRecentFlags(TdxBarItemLinks* ASource);
    bool Assigning() const { return FAssigning; }

    // --- Window ---
    TCustomdxBarControl* BarControl() const { return FBarControl; }
    // The window calls it with nullptr when it goes.
    void SetBarControl(TCustomdxBarControl* Value) { FBarControl = Value; }
    // The window that shows the collection, owned by the manager: a toolbar
    // window for a bar's links, else a menu window (for a sub item's links,
    // of the manager of the link that opened them); nullptr without a manager.
    TCustomdxBarControl* CreateBarControl();

    // --- Keys ---
    // Runs (DirectClick) the first enabled item with that shortcut, looking
    // into sub items and the menus of drop-down buttons; a menu met twice is
    // not searched again.
    bool IsShortCut(cls::TShortCut AShortCut);
    // The next can-visible link after AStartLink (or from the first),
    // wrapping once, whose item takes accelerators and whose accelerator the
    // key is; nullptr when none. Alt in AShift is ignored. A toolbar's links
    // are searched only while their window shows, over its selectable links.
    TdxBarItemLink* FindAccelLink(std::uint16_t AKey, cls::TShiftState AShift, TdxBarItemLink* AStartLink,
                                  char32_t AKeyChar = 0);
    // Some link contains AItem (TdxBarItemLink::ContainsItem).
    bool ContainsItem(const TdxBarItem* AItem) const;

    // --- Keyboard navigation ---
    // Over the visible links whose control can be selected by the keyboard,
    // wrapping at the ends (from the first or last when ALink is nullptr);
    // in a toolbar window only links lying wholly inside its client area.
    // Nullptr when there is none.
    TdxBarItemLink* GetFirstSelectable() const;
    TdxBarItemLink* GetLastSelectable() const;
    TdxBarItemLink* GetNextSelectable(TdxBarItemLink* ALink) const;
    TdxBarItemLink* GetPrevSelectable(TdxBarItemLink* ALink) const;

    cls::TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(cls::TNotifyEvent Value) { FOnChange = Value; }

protected:
    cls::TPersistent* GetOwner() override { return FOwner; }
    void Notify(cls::TCollectionItem* Item, cls::TCollectionNotification Action) override;
    void Update(cls::TCollectionItem* Item) override;

private:
    friend class TdxBarItemLink;

    bool IsShortCutWalk(cls::TShortCut AShortCut, std::vector<const TdxBarItemLinks*>& AVisited);
    bool IsSelectableLink(const TdxBarItemLink* ALink) const;
    // The selectable visible link AStep away from AFrom (-1: before the first), wrapping.
    TdxBarItemLink* StepSelectable(int AFrom, int AStep) const;
    bool IsOwnerDestroying() const;
    void BuildVisibleLists();
    // The link is complete: it joins the recently-used list at its end.
    void LinkJoined(TdxBarItemLink* ALink);
    void LinkLeft(TdxBarItemLink* ALink);
    bool IsToolbarLinks() const;
    void DesignerModified();
    void MoveRecentItem(TdxBarItemLink* ALink, int AIndex);

    bool FAssigning = false;
    bool FDestroying = false;
    std::vector<TdxBarItemLink*> FAvailableItems;
    std::vector<TdxBarItemLink*> FCanVisibleItems;
    std::vector<TdxBarItemLink*> FVisibleItems;
    unsigned FVisibleGeneration = 0;
    TCustomdxBarControl* FBarControl = nullptr;
    TdxBarManager* FBarManager;
    cls::TPersistent* FOwner;
    int FPrevRecentLimit = -1;
    std::vector<TdxBarItemLink*> FRecentItems;
    int FRecentLimit = -1;
    bool FUseRecentItems = true;
    cls::TNotifyEvent FOnChange;
    // The link whose constructor runs: not a TdxBarItemLink yet.
    cls::TCollectionItem* FConstructingLink = nullptr;
};

} // namespace bars
