// TList: the original's list of untyped pointers.
#pragma once

#include <functional>
#include <vector>

#include "classes/object.h"

namespace cls {

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Negative when Item1 sorts before Item2, 0 when equal, positive after.
using TListSortCompare = std::function<int(void* Item1, void* Item2)>;

class TList : public TObject {
    TRESTLE_CLASS(TList, TObject)
public:
    TList() = default;
    ~TList() override;

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    // Removes the first occurrence; returns its former index or -1.
    int Remove(void* Item);
    // Removes the first occurrence and returns Item, or nullptr when absent.
    void* Extract(void* Item);
    virtual void Clear();
    int IndexOf(void* Item) const;
    void Exchange(int Index1, int Index2);
    void Move(int CurIndex, int NewIndex);
    // Removes every nullptr item.
    void Pack();
    // Sorts with the original's quicksort (not stable).
    void Sort(const TListSortCompare& Compare);

    int Count() const { return static_cast<int>(FList.size()); }
    // Growing fills with nullptr; shrinking deletes from the end.
    void SetCount(int Value);
    int Capacity() const { return static_cast<int>(FList.capacity()); }
    // Raises EListError "List capacity out of bounds (%d)" below Count.
    void SetCapacity(int Value);
    void* First() const { return Get(0); }
    void* Last() const { return Get(Count() - 1); }
    void* Items(int Index) const { return Get(Index); }
    void SetItems(int Index, void* Item);
    void* operator[](int Index) const { return Get(Index); }

    // Every index check raises EListError "List index out of bounds (%d)".
    [[noreturn]] static void Error(int Index);

protected:
    void* Get(int Index) const;
    // Called after an item was added and before one is deleted or extracted.
    virtual void Notify(void* Ptr, TListNotification Action);

private:
    void CheckIndex(int Index) const;
    std::vector<void*> FList;
};

namespace detail {

// The original's quicksort (middle pivot), with bounds guards so that an
// inconsistent comparison cannot run off the ends. Compare(I, P) compares the
// items at indexes I and P; Exchange(I, J) swaps them.
template <class TCompare, class TExchange>
void QuickSort(int L, int R, TCompare& Compare, TExchange& Exchange) {
    while (L < R) {
        int I = L;
        int J = R;
        int P = L + (R - L) / 2;
        do {
            while (I < R && Compare(I, P) < 0) ++I;
            while (J > L && Compare(J, P) > 0) --J;
            if (I <= J) {
                if (I != J) {
                    Exchange(I, J);
                    if (P == I) {
                        P = J;
                    } else if (P == J) {
                        P = I;
                    }
                }
                ++I;
                --J;
            }
        } while (I <= J);
        if (L < J) QuickSort(L, J, Compare, Exchange);
        L = I;
    }
}

} // namespace detail

} // namespace cls
