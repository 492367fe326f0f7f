// Items and their links: an item is a command component of the form; a link
// puts it into a bar, a popup menu or a sub item. An item frees every link to
// it when it goes.
#pragma once

#include <string>
#include <vector>

#include "bars/types.h"
#include "classes/collections.h"
#include "classes/component.h"

namespace bars {

// The image lists of the manager, for the item operations that ask whether an
// item draws from one of them.
enum TdxBarImageListKind {
    ilkImages,
    ilkLargeImages,
    ilkHotImages,
    ilkDisabledImages,
    ilkDisabledLargeImages
};

class TdxBarItem : public cls::TComponent {
    TRESTLE_CLASS(TdxBarItem, cls::TComponent)
public:
    // With a form as owner the item joins the form's manager, else the first
    // manager of the process (when there is one).
    explicit TdxBarItem(cls::TComponent* AOwner);
    ~TdxBarItem() override;
    // Frees the item's links, last first.
    void BeforeDestruction() override;

    TdxBarManager* BarManager() const { return FBarManager; }

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // -1: no category.
    int Category() const { return FCategory; }
    void SetCategory(int Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int ImageIndex() const { return GetImageIndex(); }
    void SetImageIndex(int Value) { SetImageIndexValue(Value); }
    TdxBarItemVisible Visible() const { return FVisible; }
    // While the manager loads only the loaded value changes (applied in Loaded).
    void SetVisible(TdxBarItemVisible Value);
    TdxBarItemVisible LoadedVisible() const { return FLoadedVisible; }
    // Applies the value kept while loading.
    void ApplyLoadedVisible();

    // Whether the item's links may show: ivAlways when visible for the user
    // (or while customizing), ivInCustomizing only while customizing.
    bool GetActualVisible() const;
    // True when any link of the item has an item control (none exist yet).
    bool HasLinkControls() const;
    // Position in the manager's item list, -1 without manager.
    int GetIndex() const;

    int LinkCount() const { return static_cast<int>(FLinks.size()); }
    TdxBarItemLink* Links(int Index) const { return FLinks.at(static_cast<std::size_t>(Index)); }

    // Category > -1: the manager is the streaming parent.
    bool HasParent() const override { return FCategory > -1; }
    cls::TComponent* GetParentComponent() const override;

    // Hooks of the manager's image updates.
    virtual void GlyphChanged() {}
    virtual bool UsesImageList(TdxBarImageListKind) const { return false; }
    virtual void ImageListChanged(TdxBarImageListKind) {}

protected:
    virtual void BarManagerChanged() {}
    virtual void CaptionChanged() {}
    virtual void EnabledChanged() {}
    virtual int GetImageIndex() const { return FImageIndex; }
    virtual bool IsVisibleForUser() const { return true; }
    virtual void SetImageIndexValue(int Value);
    virtual void VisibleChanged() {}

    // Moves the item to a manager (the reader's parent, or a designer's choice).
    void SetParentComponent(cls::TComponent* Value) override;

private:
    friend class TdxBarItemLink;
    void SetBarManager(TdxBarManager* Value);

    TdxBarManager* FBarManager = nullptr;
    std::string FCaption;
    int FCategory = -1;
    bool FEnabled = true;
    int FImageIndex = -1;
    std::vector<TdxBarItemLink*> FLinks;
    TdxBarItemVisible FLoadedVisible = ivAlways;
    TdxBarItemVisible FVisible = ivAlways;
};

using TdxBarItemClass = cls::TClassOf<TdxBarItem>;

// One appearance of an item in a bar, popup menu or sub item.
class TdxBarItemLink : public cls::TCollectionItem {
    TRESTLE_CLASS(TdxBarItemLink, cls::TCollectionItem)
public:
    explicit TdxBarItemLink(cls::TCollection* ACollection);
    ~TdxBarItemLink() override;
    void Assign(cls::TPersistent* Source) override;

    TdxBarItemLinks* Owner() const;
    TdxBarItem* Item() const { return FItem; }
    void SetItem(TdxBarItem* Value);
    // The link's own visibility (the user hid it).
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value) { FVisible = Value; }
    // The item may show: its GetActualVisible (any item in design mode).
    bool IsAvailable() const;

private:
    TdxBarItem* FItem = nullptr;
    bool FVisible = true;
};

// The ordered links of a bar, popup menu or sub item.
class TdxBarItemLinks : public cls::TCollection {
    TRESTLE_CLASS(TdxBarItemLinks, cls::TCollection)
public:
    TdxBarItemLinks(cls::TPersistent* AOwner, TdxBarManager* ABarManager);
    ~TdxBarItemLinks() override;

    TdxBarManager* BarManager() const { return FBarManager; }
    TdxBarItemLink* Add() { return static_cast<TdxBarItemLink*>(cls::TCollection::Add()); }
    // A new link to AItem.
    TdxBarItemLink* Add(TdxBarItem* AItem);
    TdxBarItemLink* Items(int Index) const {
        return static_cast<TdxBarItemLink*>(cls::TCollection::Items(Index));
    }
    TdxBarItemLink* operator[](int Index) const { return Items(Index); }
    int AvailableItemCount() const;

protected:
    cls::TPersistent* GetOwner() override { return FOwner; }

private:
    cls::TPersistent* FOwner;
    TdxBarManager* FBarManager;
};

} // namespace bars
