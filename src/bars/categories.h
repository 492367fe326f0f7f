// What the bar manager keeps besides its bars: the item categories with their
// visibility data, groups of items and the background bitmaps of bars and menus.
#pragma once

#include <memory>
#include <string>

#include "bars/popupmenulinks.h"
#include "bars/types.h"
#include "classes/component.h"
#include "classes/graphics.h"
#include "classes/lists.h"
#include "classes/strings.h"

namespace cls {
class TFiler;
class TReader;
class TWriter;
} // namespace cls

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
// inserting, exchanging and moving categories renumbers their items; deleting
// the last one brings back the category "Default". Besides the names the
// form stream keeps each category's ItemsVisible ("ItemsVisibles") and
// Visible ("Visibles").
class TdxBarManagerCategories : public cls::TStringList {
    TRESTLE_CLASS(TdxBarManagerCategories, cls::TStringList)
public:
    explicit TdxBarManagerCategories(TdxBarManager* ABarManager);
    ~TdxBarManagerCategories() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    TdxBarCategoryData* Data(int Index) const;
    // The category's data, made (visible, ivAlways) when missing.
    TdxBarCategoryData* NeedData(int Index);

    // The names, and the data of another manager's categories (copied,
    // never shared).
    void Assign(cls::TPersistent* Source) override;
    void Clear() override;
    // Frees the category's items; later categories move down by one.
    void Delete(int Index) override;
    // Insert comes here too: the categories from Index on move up by one.
    void InsertObject(int Index, const std::string& S, cls::TObject* AObject) override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;
    // Adds the category "Default".
    void AddDefault();

protected:
    void DefineProperties(cls::TFiler* Filer) override;

private:
    void ListChanged(cls::TObject* Sender);
    void FreeData(int Index);
    // Items of category AFrom take category ATo.
    void MoveItems(int AFrom, int ATo);
    void ReadItemsVisibles(cls::TReader* Reader);
    void WriteItemsVisibles(cls::TWriter* Writer);
    void ReadVisibles(cls::TReader* Reader);
    void WriteVisibles(cls::TWriter* Writer);

    bool FMoving = false;
    TdxBarManager* FBarManager;
};

// A group switches Enabled and Visible of its members (items and groups) at
// once. Groups are components of the form; the manager lists them. The form
// stream keeps the members by name ("Items"), resolved in Loaded among the
// components of the manager's form.
class TdxBarGroup : public cls::TComponent {
    TRESTLE_CLASS(TdxBarGroup, cls::TComponent)
public:
    explicit TdxBarGroup(cls::TComponent* AOwner);
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;
    ~TdxBarGroup() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    bool Enabled() const { return FEnabled; }
    // Every member takes the value, member groups passing it on, under the
    // manager's update lock (not while the group or the manager loads).
    void SetEnabled(bool Value);
    TdxBarItemVisible Visible() const { return FVisible; }
    void SetVisible(TdxBarItemVisible Value);

    // Only items and groups are taken; nil and present members are ignored.
    // Raises Exception with dxSBAR_RECURSIVEGROUPS for this group or a group
    // that contains it, leaving the group as it was.
    void Add(cls::TComponent* AMember);
    void Remove(cls::TComponent* AMember);
    int IndexOf(cls::TComponent* AMember) const { return FItems.IndexOf(AMember); }
    // Bad indexes raise EListError.
    void Move(int ACurIndex, int ANewIndex) { FItems.Move(ACurIndex, ANewIndex); }
    int Count() const { return FItems.Count(); }
    cls::TComponent* Items(int Index) const { return static_cast<cls::TComponent*>(FItems.Items(Index)); }
    // True when AGroup is a member, directly or through member groups.
    bool Contains(const TdxBarGroup* AGroup) const;
    // Position in the manager's group list (-1 without a manager); setting it
    // moves the group there (bad indexes raise EListError).
    int Index() const;
    void SetIndex(int Value);

    bool HasParent() const override { return FBarManager != nullptr; }
    cls::TComponent* GetParentComponent() const override;

protected:
    void DefineProperties(cls::TFiler* Filer) override;
    // Adds the members read by name; a name that is not found, or whose group
    // would make the groups recursive, is left out.
    void Loaded() override;
    void Notification(cls::TComponent* AComponent, cls::TOperation Operation) override;
    // A manager takes the group into its group list.
    void SetParentComponent(cls::TComponent* Value) override;
    // A manager the group is read under takes it into its group list.
    void ReadState(cls::TReader* Reader) override;

private:
    friend class TdxBarManager;

    // Sets the members' value under the manager's lock.
    template <class F> void ChangeMembers(F AChange);
    void ReadItems(cls::TReader* Reader);
    void WriteItems(cls::TWriter* Writer);

    TdxBarManager* FBarManager = nullptr;
    bool FEnabled = true;
    cls::TList FItems;
    std::unique_ptr<cls::TStringList> FLoadedNames;
    TdxBarItemVisible FVisible = ivAlways;
};

// The background bitmaps of bars and of submenus.
class TdxBarBackgrounds : public cls::TPersistent {
    TRESTLE_CLASS(TdxBarBackgrounds, cls::TPersistent)
public:
    explicit TdxBarBackgrounds(TdxBarManager* ABarManager);
    ~TdxBarBackgrounds() override;

    void Assign(cls::TPersistent* Source) override;
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;
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
