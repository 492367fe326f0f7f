// TCollection and TCollectionItem: an owned, ordered list of items of one
// class, with change notification to the collection (Update) and per-item
// notifications (Notify).
//
// Order of events: an item joins its collection in its constructor (ID
// assigned, Notify(cnAdded), then Update(nullptr) unless updating); it leaves
// in its destructor (Notify(cnExtracting), then Update(nullptr)). Delete(I)
// first sends Notify(cnDeleting). Item changes call Update(Item) (or
// Update(nullptr) for changes that affect all items); BeginUpdate/EndUpdate
// hold them back and the final EndUpdate calls Update(nullptr) once.
//
// C++ caveats, for authors of descendants: while an item's constructor runs,
// the item is only a TCollectionItem, so Notify(cnAdded) and the Update that
// follow must not downcast the new item (do that work in the item's
// AfterConstruction, which Add and Insert call); and ~TCollection frees the
// items after the destructors of derived collections have run, so a derived
// collection that reacts to items leaving calls Clear() in its destructor.
#pragma once

#include <string>

#include "classes/lists.h"
#include "classes/persistent.h"

namespace cls {

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
    TRESTLE_CLASS(TCollectionItem, TPersistent)
public:
    // The argument of the virtual constructor of item classes.
    using TConstructorArg = TCollection*;

    explicit TCollectionItem(TCollection* ACollection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    // Moves the item to another collection (or out of any with nullptr).
    virtual void SetCollection(TCollection* Value);
    // Position in the collection, -1 without one.
    int Index() const;
    // Moves the item inside its collection; EListError for a bad index.
    virtual void SetIndex(int Value);
    // Unique in the collection, never reused: the collection's NextID when the item joined.
    int ID() const { return FID; }
    virtual std::string DisplayName() const;
    virtual void SetDisplayName(const std::string& Value);
    std::string GetNamePath() override;

protected:
    TPersistent* GetOwner() override;
    // Tells the collection: Update(this), or Update(nullptr) with AllItems.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

using TCollectionItemClass = TClassOf<TCollectionItem>;

class TCollection : public TPersistent {
    TRESTLE_CLASS(TCollection, TPersistent)
public:
    explicit TCollection(TCollectionItemClass AItemClass);
    ~TCollection() override;

    TCollectionItemClass ItemClass() const { return FItemClass; }
    int Count() const { return FItems.Count(); }
    // EListError "List index out of bounds (%d)" for a bad index.
    TCollectionItem* Items(int Index) const { return static_cast<TCollectionItem*>(FItems.Items(Index)); }
    // Assigns Value to the item at Index.
    void SetItems(int Index, TCollectionItem* Value);
    TCollectionItem* operator[](int Index) const { return Items(Index); }

    // A new item of ItemClass at the end.
    TCollectionItem* Add();
    // A new item of ItemClass at Index.
    TCollectionItem* Insert(int Index);
    // Notify(cnDeleting), then the item is freed.
    void Delete(int Index);
    // Frees every item, last first, inside one update.
    void Clear();
    TCollectionItem* FindItemID(int ID) const;

    virtual void BeginUpdate();
    virtual void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    int NextID() const { return FNextID; }

    // Copies another collection item by item (with the items' Assign).
    void Assign(TPersistent* Source) override;
    TPersistent* Owner() { return GetOwner(); }
    // "Owner.PropName" when the collection has an owner with a name path and
    // a property name; otherwise the class name.
    std::string GetNamePath() override;
    // The owner's property that holds this collection (the original finds it
    // through run-time type information).
    const std::string& PropName() const { return FPropName; }
    void SetPropName(const std::string& Value) { FPropName = Value; }

protected:
    // Called for every change while not updating: Item is the changed item,
    // or nullptr when items were added, removed, moved or all changed.
    virtual void Update(TCollectionItem* Item);
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    // Update(nullptr) unless updating.
    void Changed();
    // Designer hook: gives a new item a name; the default does nothing.
    virtual void SetItemName(TCollectionItem* Item);

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);

    TCollectionItemClass FItemClass;
    TList FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
    std::string FPropName;
};

// A collection that reports its owner (so GetNamePath and GetOwner work).
class TOwnedCollection : public TCollection {
    TRESTLE_CLASS(TOwnedCollection, TCollection)
public:
    TOwnedCollection(TPersistent* AOwner, TCollectionItemClass AItemClass)
        : TCollection(AItemClass), FOwner(AOwner) {}

protected:
    TPersistent* GetOwner() override { return FOwner; }

private:
    TPersistent* FOwner;
};

} // namespace cls
