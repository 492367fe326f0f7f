#include "classes/lists.h"

#include <algorithm>

#include "classes/exceptions.h"

namespace cls {

TList::~TList() {
    Clear();
}

void TList::Error(int Index) {
    throw EListError(SListIndexError, {Index});
}

void TList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) Error(Index);
}

void* TList::Get(int Index) const {
    CheckIndex(Index);
    return FList[static_cast<std::size_t>(Index)];
}

int TList::Add(void* Item) {
    int Result = Count();
    FList.push_back(Item);
    if (Item) Notify(Item, lnAdded);
    return Result;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > Count()) Error(Index);
    FList.insert(FList.begin() + Index, Item);
    if (Item) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
    CheckIndex(Index);
    void* Temp = FList[static_cast<std::size_t>(Index)];
    FList.erase(FList.begin() + Index);
    if (Temp) Notify(Temp, lnDeleted);
}

int TList::Remove(void* Item) {
    int Result = IndexOf(Item);
    if (Result >= 0) Delete(Result);
    return Result;
}

void* TList::Extract(void* Item) {
    int I = IndexOf(Item);
    if (I < 0) return nullptr;
    FList.erase(FList.begin() + I);
    Notify(Item, lnExtracted);
    return Item;
}

void TList::Clear() {
    while (!FList.empty()) Delete(Count() - 1);
    FList.shrink_to_fit();
}

int TList::IndexOf(void* Item) const {
    auto It = std::find(FList.begin(), FList.end(), Item);
    return It == FList.end() ? -1 : static_cast<int>(It - FList.begin());
}

void TList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FList[static_cast<std::size_t>(Index1)], FList[static_cast<std::size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    CheckIndex(NewIndex);
    void* Item = Get(CurIndex);
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, Item);
}

void TList::Pack() {
    std::erase(FList, nullptr);
}

void TList::Sort(const TListSortCompare& Compare) {
    if (Count() < 2) return;
    auto Cmp = [&](int I, int P) {
        return Compare(FList[static_cast<std::size_t>(I)], FList[static_cast<std::size_t>(P)]);
    };
    auto Swap = [&](int I, int J) {
        std::swap(FList[static_cast<std::size_t>(I)], FList[static_cast<std::size_t>(J)]);
    };
    detail::QuickSort(0, Count() - 1, Cmp, Swap);
}

void TList::SetCount(int Value) {
    if (Value < 0) throw EListError(SListCountError, {Value});
    if (Value > Count()) {
        FList.resize(static_cast<std::size_t>(Value), nullptr);
    } else {
        while (Count() > Value) Delete(Count() - 1);
    }
}

void TList::SetCapacity(int Value) {
    if (Value < Count()) throw EListError(SListCapacityError, {Value});
    if (Value > Capacity()) {
        FList.reserve(static_cast<std::size_t>(Value));
    } else {
        std::vector<void*> Copy;
        Copy.reserve(static_cast<std::size_t>(Value));
        Copy.assign(FList.begin(), FList.end());
        FList.swap(Copy);
    }
}

void TList::SetItems(int Index, void* Item) {
    CheckIndex(Index);
    void*& Slot = FList[static_cast<std::size_t>(Index)];
    if (Item == Slot) return;
    void* Temp = Slot;
    Slot = Item;
    if (Temp) Notify(Temp, lnDeleted);
    if (Item) Notify(Item, lnAdded);
}

void TList::Notify(void*, TListNotification) {}

} // namespace cls
