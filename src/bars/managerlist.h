// The list of every live bar manager of the process.
//
// The list exists between the library's start and end (CreateBarManagerList
// and FreeBarManagerList, called by them); managers join it when they are
// built and leave it when they are freed.
#pragma once

#include "bars/types.h"
#include "classes/lists.h"

namespace bars {

class TdxBarManagerList : public cls::TObject {
    TRESTLE_CLASS(TdxBarManagerList, cls::TObject)
public:
    TdxBarManagerList() = default;
    // Frees every manager still listed (always the first, until none is left).
    ~TdxBarManagerList() override;

    int GetCount() const { return FList.Count(); }
    int Count() const { return GetCount(); }
    // nullptr out of range.
    TdxBarManager* GetItem(int Index) const;
    TdxBarManager* operator[](int Index) const { return GetItem(Index); }
    int IndexOf(const TdxBarManager* AManager) const;
    // The first manager that is customizing or designing, else nullptr.
    TdxBarManager* GetCustomizingManager() const;

private:
    friend void AddBarManagerToList(TdxBarManager* AManager);
    friend void RemoveBarManagerFromList(TdxBarManager* AManager);
    cls::TList FList;
};

// The process's list; nullptr outside the library's start and end.
TdxBarManagerList* dxBarManagerList();
// Called by the library's start and end. Creating an existing list or
// freeing a missing one does nothing.
void CreateBarManagerList();
void FreeBarManagerList();

// Called by the manager's constructor and destructor. Adding needs the list
// (the manager starts the library first); a listed manager is not added twice.
void AddBarManagerToList(TdxBarManager* AManager);
void RemoveBarManagerFromList(TdxBarManager* AManager);

} // namespace bars
