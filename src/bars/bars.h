// Toolbars (TdxBar) and the manager's collection of them (TdxBars).
//
// A bar here is its state (caption, name, docking, visibility, links, font);
// the window that shows it comes from the bar control factory (links.h).
#pragma once

#include <string>

#include "bars/dockcontrol.h"
#include "bars/types.h"
#include "classes/collections.h"
#include "classes/component.h"
#include "classes/graphics.h"

namespace bars {

class TdxBar : public cls::TCollectionItem {
    TRESTLE_CLASS(TdxBar, cls::TCollectionItem)
public:
    explicit TdxBar(cls::TCollection* ACollection);
    ~TdxBar() override;
    // Fires OnBarAdd (unless the manager is loading).
    void AfterConstruction() override;
    // Copies another bar's settings and links; Visible last.
    void Assign(cls::TPersistent* Source) override;

    TdxBars* Bars() const;
    TdxBarManager* BarManager() const;

    const std::string& Caption() const { return FCaption; }
    // Refused when another bar of the manager has this caption; an empty Name
    // is derived from the caption.
    void SetCaption(const std::string& Value);
    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value) { FName = Value; }
    TdxDockControl* DockControl() const { return FDockControl; }
    // Only nil or a dock site of the same manager.
    void SetDockControl(TdxDockControl* Value);
    // The style of DockControl when set.
    TdxBarDockingStyle DockingStyle() const;
    void SetDockingStyle(TdxBarDockingStyle Value);
    // DockControl when set, else the main dock site of DockingStyle (nil when floating).
    TdxDockControl* GetRealDockControl() const;
    cls::TFont* Font() const { return FFont; }
    void SetFont(cls::TFont* Value);
    bool IsMainMenu() const { return FIsMainMenu; }
    void SetIsMainMenu(bool Value);
    TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
    bool LockUpdate() const { return FLockUpdate; }
    void SetLockUpdate(bool Value) { FLockUpdate = Value; }
    TdxBarDockingStyles NotDocking() const { return FNotDocking; }
    void SetNotDocking(TdxBarDockingStyles Value) { FNotDocking = Value; }
    bool UseOwnFont() const { return FUseOwnFont; }
    // Off: the manager's font is taken again.
    void SetUseOwnFont(bool Value);
    bool Visible() const { return FVisible; }
    // Showing is refused while the manager is being destroyed; while it loads
    // only the loaded value changes.
    void SetVisible(bool Value);

    // Set by the manager when it hid the bar because it became empty.
    bool HiddenWhenEmpty() const { return FHiddenWhenEmpty; }
    void SetHiddenWhenEmpty(bool Value) { FHiddenWhenEmpty = Value; }
    // False only when the bar's or the manager's NotDocking holds all five styles.
    bool CanDock() const;
    // The loaded DockControl, DockingStyle and Visible, in that order.
    void ApplyLoadedState();
    // The manager's font changed: a bar without its own font takes it.
    void ManagerFontChanged();

private:
    void FontChanged(cls::TObject* Sender);

    std::string FCaption;
    bool FDockingStyleUpdating = false;
    TdxDockControl* FDockControl = nullptr;
    TdxBarDockingStyle FDockingStyle = dsNone;
    cls::TFont* FFont = nullptr;
    bool FFontPushing = false;
    bool FIsMainMenu = false;
    TdxBarItemLinks* FItemLinks = nullptr;
    TdxDockControl* FLoadedDockControl = nullptr;
    TdxBarDockingStyle FLoadedDockingStyle = dsNone;
    bool FLoadedVisible = false;
    bool FLockUpdate = false;
    std::string FName;
    TdxBarDockingStyles FNotDocking;
    bool FUseOwnFont = false;
    bool FVisible = false;
    bool FHiddenWhenEmpty = false;
};

class TdxBars : public cls::TCollection {
    TRESTLE_CLASS(TdxBars, cls::TCollection)
public:
    // Makes the four main dock sites, owned by the collection.
    explicit TdxBars(TdxBarManager* ABarManager);
    // Frees the main dock sites, then the bars.
    ~TdxBars() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    TdxBar* Add() { return static_cast<TdxBar*>(cls::TCollection::Add()); }
    TdxBar* Items(int Index) const { return static_cast<TdxBar*>(cls::TCollection::Items(Index)); }
    TdxBar* operator[](int Index) const { return Items(Index); }
    // The main dock site of a style; nullptr for dsNone or after it went.
    TdxDockControl* DockControls(TdxBarDockingStyle AStyle) const;
    // ABase followed by 1, 2, 3 ... until no bar has that name (case-sensitive).
    std::string GetUniqueBarName(const std::string& ABase) const;
    int DockZoneSize() const { return FDockZoneSize; }
    bool LoadingBars() const { return FLoadingBars; }
    void SetLoadingBars(bool Value) { FLoadingBars = Value; }

protected:
    cls::TPersistent* GetOwner() override;

private:
    friend class TdxBarManager;
    // A main dock site is going: its slot empties.
    void DockControlRemoved(TdxDockControl* ADockControl);

    TdxDockControl* FDockControls[5] = {};
    int FDockZoneSize = 23;
    TdxBarManager* FBarManager;
    bool FLoadingBars = false;
};

} // namespace bars
