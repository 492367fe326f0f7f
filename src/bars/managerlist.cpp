#include "bars/managerlist.h"

#include "bars/manager.h"
#include "bars/system.h"

namespace bars {

namespace {
TdxBarManagerList* GBarManagerList = nullptr;
} // namespace

TdxBarManagerList::~TdxBarManagerList() {
    // A manager leaves the list in its destructor.
    while (FList.Count() > 0) {
        auto* Manager = static_cast<TdxBarManager*>(FList.First());
        delete Manager;
        if (FList.Count() > 0 && FList.First() == Manager) FList.Delete(0);
    }
}

TdxBarManager* TdxBarManagerList::GetItem(int Index) const {
    if (Index < 0 || Index >= FList.Count()) return nullptr;
    return static_cast<TdxBarManager*>(FList.Items(Index));
}

int TdxBarManagerList::IndexOf(const TdxBarManager* AManager) const {
    return FList.IndexOf(const_cast<TdxBarManager*>(AManager));
}

TdxBarManager* TdxBarManagerList::GetCustomizingManager() const {
    for (int I = 0; I < FList.Count(); ++I) {
        auto* Manager = static_cast<TdxBarManager*>(FList.Items(I));
        if (Manager->GetIsCustomizing()) return Manager;
    }
    return nullptr;
}

TdxBarManagerList* dxBarManagerList() {
    return GBarManagerList;
}

void CreateBarManagerList() {
    if (!GBarManagerList) GBarManagerList = new TdxBarManagerList();
}

void FreeBarManagerList() {
    // Cleared first, so the managers that the list frees no longer see it.
    TdxBarManagerList* List = GBarManagerList;
    GBarManagerList = nullptr;
    delete List;
}

void AddBarManagerToList(TdxBarManager* AManager) {
    if (!GBarManagerList || !AManager || GBarManagerList->IndexOf(AManager) >= 0) return;
    if (GBarManagerList->Count() == 0) StopBarSound();
    GBarManagerList->FList.Add(AManager);
}

void RemoveBarManagerFromList(TdxBarManager* AManager) {
    if (GBarManagerList) GBarManagerList->FList.Remove(AManager);
}

} // namespace bars
