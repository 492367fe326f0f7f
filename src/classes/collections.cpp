#include "classes/collections.h"

#include "classes/exceptions.h"
#include "classes/sysutils.h"

namespace cls {

// --- TCollectionItem ---

TCollectionItem::TCollectionItem(TCollection* ACollection) {
    try {
        SetCollection(ACollection);
    } catch (...) {
        // No destructor runs for a constructor that raises.
        if (FCollection) FCollection->FItems.Remove(this);
        FCollection = nullptr;
        throw;
    }
}

TCollectionItem::~TCollectionItem() {
    SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* Value) {
    if (FCollection == Value) return;
    if (FCollection) FCollection->RemoveItem(this);
    if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
    return FCollection ? FCollection->FItems.IndexOf(const_cast<TCollectionItem*>(this)) : -1;
}

void TCollectionItem::SetIndex(int Value) {
    int CurIndex = Index();
    if (CurIndex >= 0 && CurIndex != Value) {
        FCollection->FItems.Move(CurIndex, Value);
        Changed(true);
    }
}

std::string TCollectionItem::DisplayName() const {
    return ClassName();
}

void TCollectionItem::SetDisplayName(const std::string&) {
    Changed(false);
}

std::string TCollectionItem::GetNamePath() {
    if (!FCollection) return ClassName();
    return Format("%s[%d]", {FCollection->GetNamePath(), Index()});
}

TPersistent* TCollectionItem::GetOwner() {
    return FCollection;
}

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

// --- TCollection ---

TCollection::TCollection(TCollectionItemClass AItemClass) : FItemClass(AItemClass) {}

TCollection::~TCollection() {
    FUpdateCount = 1;
    Clear();
}

void TCollection::SetItems(int Index, TCollectionItem* Value) {
    Items(Index)->Assign(Value);
}

TCollectionItem* TCollection::Add() {
    if (!FItemClass) throw EInvalidOperation(SCannotCreateClass, {"nil"});
    return FItemClass.Create(this);
}

TCollectionItem* TCollection::Insert(int Index) {
    if (Index < 0 || Index > Count()) TList::Error(Index);
    TCollectionItem* Result = Add();
    try {
        Result->SetIndex(Index);
    } catch (...) {
        delete Result;
        throw;
    }
    return Result;
}

void TCollection::Delete(int Index) {
    TCollectionItem* Item = Items(Index);
    Notify(Item, cnDeleting);
    // The notification may have removed the item already.
    if (FItems.IndexOf(Item) >= 0) delete Item;
}

void TCollection::Clear() {
    if (FItems.Count() == 0) return;
    BeginUpdate();
    try {
        while (FItems.Count() > 0) delete static_cast<TCollectionItem*>(FItems.Last());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (int I = 0; I < Count(); ++I) {
        if (Items(I)->FID == ID) return Items(I);
    }
    return nullptr;
}

void TCollection::BeginUpdate() {
    ++FUpdateCount;
}

void TCollection::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    Changed();
}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
    FItems.Add(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    SetItemName(Item);
    Notify(Item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    Notify(Item, cnExtracting);
    FItems.Remove(Item);
    Item->FCollection = nullptr;
    Changed();
}

void TCollection::Assign(TPersistent* Source) {
    if (auto* Other = dynamic_cast<TCollection*>(Source)) {
        if (Other == this) return;
        BeginUpdate();
        try {
            Clear();
            for (int I = 0; I < Other->Count(); ++I) Add()->Assign(Other->Items(I));
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

std::string TCollection::GetNamePath() {
    std::string Result = ClassName();
    TPersistent* AOwner = GetOwner();
    if (!AOwner) return Result;
    std::string S = AOwner->GetNamePath();
    if (S.empty() || FPropName.empty()) return Result;
    return S + "." + FPropName;
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::SetItemName(TCollectionItem*) {}

} // namespace cls
