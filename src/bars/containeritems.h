// Items that stand for a variable set of commands: the container item (the
// can-visible links of its ItemLinks) and the list item (one generated button
// per entry of its Items). In a menu the item's link gives way to the links
// it expands to; in a toolbar it shows as a sub item whose menu holds them.
//
// An expansion into a link collection is recorded, so that exactly the links
// it made go again, whatever changed meanwhile (the container's links, the
// list's entries, the collection's order).
#pragma once

#include <string>
#include <vector>

#include "bars/subitem.h"
#include "classes/strings.h"

namespace lf {
struct TcxObjectLink;
}

namespace bars {

class TdxBarButton;

// ============================================================================
// TCustomdxBarContainerItem
// ============================================================================

class TCustomdxBarContainerItem : public TCustomdxBarSubItem {
    TRESTLE_CLASS(TCustomdxBarContainerItem, TCustomdxBarSubItem)
public:
    explicit TCustomdxBarContainerItem(cls::TComponent* AOwner) : TCustomdxBarSubItem(AOwner) {}
    // The links of every expansion go with the item.
    ~TCustomdxBarContainerItem() override;

    // Fired before an expansion: the place to fill the entries.
    cls::TNotifyEvent OnGetData() const { return FOnGetData; }
    // Assigning or clearing it may show or hide the item.
    void SetOnGetData(cls::TNotifyEvent Value);
    // OnGetData is running.
    bool InGetData() const { return FInGetData; }
    // An expansion filled the item and was not cleared yet.
    bool Populated() const { return FPopulated; }

    // ALink (a link of the item in ALinks' window, or the item's own link in
    // a toolbar) expands into links inserted into ALinks from AIndex on. The
    // base clears an earlier expansion's content and, with AFireGetData,
    // fires OnGetData (an exception there is swallowed).
    virtual void AddListedItemLinks(TdxBarItemLinks* ALinks, int AIndex, TdxBarItemLink* ALink,
                                    bool AFireGetData);
    // Deletes the links the expansions into ALinks made (AIndex is where
    // they began; the record decides).
    virtual void DeleteListedItemLinks(TdxBarItemLinks* ALinks, int AIndex);
    // Frees what earlier expansions made that no link uses any more (the
    // next expansion does it first: a command chosen from an expansion
    // runs after its menu closed).
    virtual void ClearItems();
    // In a menu the expansion takes the place of the item's own link.
    virtual bool HidesOwnLink() const { return true; }
    // The entries changed (the container's links).
    virtual void ItemsChanged();
    // There is nothing to expand to (a menu then shows the caption in parentheses).
    virtual bool IsEmpty() const = 0;
    // OnGetData is assigned, or there are entries.
    bool IsVisibleForUser() const override;

    // Number of links the expansions made that still exist in ALinks.
    int ListedLinkCount(const TdxBarItemLinks* ALinks) const;

protected:
    // A link made by the expansion into ALinks at AIndex, for ALink.
    TdxBarItemLink* InsertListedLink(TdxBarItemLinks* ALinks, int AIndex, TdxBarItemLink* ALink);
    void SetPopulated(bool Value) { FPopulated = Value; }

private:
    struct TListedLink {
        TdxBarItemLinks* Links;
        lf::TcxObjectLink* Link;
    };

    bool FInGetData = false;
    bool FPopulated = false;
    cls::TNotifyEvent FOnGetData;
    std::vector<TListedLink> FListedLinks;
};

// ============================================================================
// TdxBarContainerItem
// ============================================================================

// Expands to copies of the can-visible links of its own ItemLinks.
class TdxBarContainerItem : public TCustomdxBarContainerItem {
    TRESTLE_CLASS(TdxBarContainerItem, TCustomdxBarContainerItem)
public:
    explicit TdxBarContainerItem(cls::TComponent* AOwner);
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;

    void AddListedItemLinks(TdxBarItemLinks* ALinks, int AIndex, TdxBarItemLink* ALink,
                            bool AFireGetData) override;
    // VisibleChanged, unless OnGetData or loading is under way.
    void ItemsChanged() override;
    // No link whose item may show.
    bool IsEmpty() const override;

private:
    void LinksChanged(cls::TObject* Sender);
};

// ============================================================================
// TdxBarListItem
// ============================================================================

// Expands to one button per entry of Items ("-" is a separator before the
// next button): numbered by accelerators 1-9 then A-Z with ShowNumbers, the
// chosen one checked with ShowCheck. Choosing an entry sets ItemIndex and
// clicks the list item.
class TdxBarListItem : public TCustomdxBarContainerItem {
    TRESTLE_CLASS(TdxBarListItem, TCustomdxBarContainerItem)
public:
    explicit TdxBarListItem(cls::TComponent* AOwner);
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;
    ~TdxBarListItem() override;

    // An entry that is exactly this is a separator.
    static constexpr const char* Separator = "-";

    // -1: none; a value outside Items becomes -1.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // Owned.
    cls::TStringList* Items() const { return FItems; }
    void SetItems(cls::TStrings* Value);
    bool ShowCheck() const { return FShowCheck; }
    void SetShowCheck(bool Value) { FShowCheck = Value; }
    bool ShowNumbers() const { return FShowNumbers; }
    void SetShowNumbers(bool Value) { FShowNumbers = Value; }
    // ItemIndex counted over the entries that are not separators: -1 when
    // ItemIndex lies outside Items; setting an index beyond the entries
    // gives ItemIndex -1.
    int DataIndex() const;
    void SetDataIndex(int Value);

    // The caption of entry AIndex (the entry as it is).
    virtual void GetItemCaption(int AIndex, std::string& ACaption) const;
    // The accelerator of the generated button ANumber (0-based): 1-9, then
    // A-Z, none after Z (0).
    static char AcceleratorOf(int ANumber);

    // Nothing while one of its links is active (its menu is open).
    void Click() override;
    void AddListedItemLinks(TdxBarItemLinks* ALinks, int AIndex, TdxBarItemLink* ALink,
                            bool AFireGetData) override;
    // Frees the generated buttons that no link uses any more.
    void ClearItems() override;
    bool IsEmpty() const override { return FItems->Count() == 0; }

    // The generated buttons alive (in the order they were made).
    int ButtonCount() const;
    TdxBarButton* Buttons(int AIndex) const;

private:
    TdxBarButton* MakeButton(int AEntry, int ANumber);
    void EntryClick(cls::TObject* Sender);
    void ItemsChangedEvent(cls::TObject* Sender);

    int FItemIndex = -1;
    cls::TStringList* FItems;
    bool FShowCheck = false;
    bool FShowNumbers = true;
    // Watched: the form that owns them may free them first.
    std::vector<lf::TcxObjectLink*> FButtons;
};

} // namespace bars
