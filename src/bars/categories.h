// What the bar manager keeps besides its bars: the item categories with their
// visibility data, groups of items and the background bitmaps of bars and menus.
#pragma once

#include <string>

#include "bars/popupmenulinks.h"
#include "bars/types.h"
#include "classes/collections.h"
#include "classes/component.h"
#include "classes/graphics.h"
#include "classes/lists.h"
#include "classes/strings.h"

namespace bars {

// The object of a category's string.
class TdxBarCategoryData : public cls::TObject {
    TRESTLE_CLASS(TdxBarCategoryData, cls::TObject)
public:
    TdxBarCategoryData() = default;

    bool Visible = true;
    TdxBarItemVisible ItemsVisible = ivAlways;
    // ItemsVisible read while the manager loads, applied by its Loaded.
    TdxBarItemVisible LoadedItemsVisible = ivAlways;
};

// The category names. Items belong to a category by index, so deleting,
// inserting, exchanging and moving categories renumbers their items; there is
// always at least the category "Default".
class TdxBarManagerCategories : public cls::TStringList {
    TRESTLE_CLASS(TdxBarManagerCategories, cls::TStringList)
public:
    explicit TdxBarManagerCategories(TdxBarManager* ABarManager);
    ~TdxBarManagerCategories() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    TdxBarCategoryData* Data(int Index) const;
    // The category's data, made (visible, ivAlways) when missing.
    TdxBarCategoryData* NeedData(int Index);

    void Clear() override;
    // Frees the category's items; later categories move down by one.
    void Delete(int Index) override;
    void Insert(int Index, const std::string& S) override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;

private:
    void AddDefault();
    void ListChanged(cls::TObject* Sender);
    void FreeData(int Index);

    bool FMoving = false;
    TdxBarManager* FBarManager;
};

// A group switches Enabled and Visible of its members (items and groups) at once.
class TdxBarGroup : public cls::TComponent {
    TRESTLE_CLASS(TdxBarGroup, cls::TComponent)
public:
    explicit TdxBarGroup(cls::TComponent* AOwner);
    ~TdxBarGroup() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TdxBarItemVisible Visible() const { return FVisible; }
    void SetVisible(TdxBarItemVisible Value);

    // Only items and groups are taken; nil and present members are ignored.
    // Raises Exception with dxSBAR_RECURSIVEGROUPS for this group or a group
    // that contains it.
    void Add(cls::TComponent* AMember);
    void Remove(cls::TComponent* AMember);
    int IndexOf(cls::TComponent* AMember) const { return FItems.IndexOf(AMember); }
    int Count() const { return FItems.Count(); }
    cls::TComponent* Items(int Index) const { return static_cast<cls::TComponent*>(FItems.Items(Index)); }
    // True when AGroup is a member, directly or through member groups.
    bool Contains(const TdxBarGroup* AGroup) const;
    // Position in the manager's group list.
    int Index() const;

    bool HasParent() const override { return FBarManager != nullptr; }
    cls::TComponent* GetParentComponent() const override;

protected:
    void Notification(cls::TComponent* AComponent, cls::TOperation Operation) override;
    // A manager takes the group into its group list.
    void SetParentComponent(cls::TComponent* Value) override;

private:
    friend class TdxBarManager;
    TdxBarManager* FBarManager = nullptr;
    bool FEnabled = true;
    cls::TList FItems;
    TdxBarItemVisible FVisible = ivAlways;
};

// The background bitmaps of bars and of submenus.
class TdxBarBackgrounds : public cls::TPersistent {
    TRESTLE_CLASS(TdxBarBackgrounds, cls::TPersistent)
public:
    explicit TdxBarBackgrounds(TdxBarManager* ABarManager);
    ~TdxBarBackgrounds() override;

    void Assign(cls::TPersistent* Source) override;
    cls::TBitmap* Bar() const { return FBar; }
    // Tells the manager unless Value is nil and Bar was empty already.
    void SetBar(cls::TBitmap* Value);
    cls::TBitmap* SubMenu() const { return FSubMenu; }
    void SetSubMenu(cls::TBitmap* Value);

protected:
    cls::TPersistent* GetOwner() override;

private:
    void BarChanged(cls::TObject* Sender);

    cls::TBitmap* FBar;
    cls::TBitmap* FSubMenu;
    TdxBarManager* FBarManager;
};

} // namespace bars
