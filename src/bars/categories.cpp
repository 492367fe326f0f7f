#include "bars/categories.h"

#include "bars/item.h"
#include "bars/manager.h"
#include "bars/registry.h"
#include "bars/strings.h"
#include "classes/controls.h"
#include "classes/exceptions.h"
#include "classes/forms.h"
#include "lookandfeel/text.h"

namespace bars {

// ============================================================================
// TdxBarManagerCategories
// ============================================================================

TdxBarManagerCategories::TdxBarManagerCategories(TdxBarManager* ABarManager) : FBarManager(ABarManager) {
    if (!FBarManager->IsLoading()) AddDefault();
    SetOnChange(cls::TNotifyEvent(this, &TdxBarManagerCategories::ListChanged));
}

TdxBarManagerCategories::~TdxBarManagerCategories() {
    SetOnChange(nullptr);
    for (int I = 0; I < Count(); ++I) FreeData(I);
}

void TdxBarManagerCategories::AddDefault() {
    Add(lf::cxGetResourceString(dxSBAR_DEFAULTCATEGORYNAME));
}

void TdxBarManagerCategories::ListChanged(cls::TObject*) {
    FBarManager->DesignerModified();
}

void TdxBarManagerCategories::FreeData(int Index) {
    TObject* Data = Objects(Index);
    if (!Data) return;
    PutObject(Index, nullptr);
    delete Data;
}

TdxBarCategoryData* TdxBarManagerCategories::Data(int Index) const {
    if (Index < 0 || Index >= Count()) return nullptr;
    return static_cast<TdxBarCategoryData*>(Objects(Index));
}

TdxBarCategoryData* TdxBarManagerCategories::NeedData(int Index) {
    TdxBarCategoryData* Result = Data(Index);
    if (!Result && Index >= 0 && Index < Count()) {
        Result = new TdxBarCategoryData();
        PutObject(Index, Result);
    }
    return Result;
}

void TdxBarManagerCategories::Clear() {
    for (int I = 0; I < Count(); ++I) FreeData(I);
    inherited::Clear();
}

void TdxBarManagerCategories::Delete(int Index) {
    if (FMoving) {
        inherited::Delete(Index);
        return;
    }
    if (Index < 0 || Index >= Count()) return;
    for (TdxBarItem* Item : FBarManager->GetItemsByCategory(Index)) delete Item;
    for (int J = Index + 1; J < Count(); ++J)
        for (TdxBarItem* Item : FBarManager->GetItemsByCategory(J)) Item->SetCategory(J - 1);
    FreeData(Index);
    inherited::Delete(Index);
    if (Count() == 0) AddDefault();
}

void TdxBarManagerCategories::Insert(int Index, const std::string& S) {
    if (!FMoving && Index >= 0 && Index < Count()) {
        for (int J = Count() - 1; J >= Index; --J)
            for (TdxBarItem* Item : FBarManager->GetItemsByCategory(J)) Item->SetCategory(J + 1);
    }
    inherited::Insert(Index, S);
}

void TdxBarManagerCategories::Exchange(int Index1, int Index2) {
    if (Index1 < 0 || Index1 >= Count() || Index2 < 0 || Index2 >= Count()) return;
    const std::vector<TdxBarItem*> Items1 = FBarManager->GetItemsByCategory(Index1);
    const std::vector<TdxBarItem*> Items2 = FBarManager->GetItemsByCategory(Index2);
    for (TdxBarItem* Item : Items1) Item->SetCategory(Index2);
    for (TdxBarItem* Item : Items2) Item->SetCategory(Index1);
    inherited::Exchange(Index1, Index2);
}

void TdxBarManagerCategories::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex || CurIndex < 0 || CurIndex >= Count() || NewIndex < 0 || NewIndex >= Count())
        return;
    constexpr int Parked = -1000;
    for (TdxBarItem* Item : FBarManager->GetItemsByCategory(CurIndex)) Item->SetCategory(Parked);
    if (CurIndex < NewIndex) {
        for (int J = CurIndex + 1; J <= NewIndex; ++J)
            for (TdxBarItem* Item : FBarManager->GetItemsByCategory(J)) Item->SetCategory(J - 1);
    } else {
        for (int J = CurIndex - 1; J >= NewIndex; --J)
            for (TdxBarItem* Item : FBarManager->GetItemsByCategory(J)) Item->SetCategory(J + 1);
    }
    for (TdxBarItem* Item : FBarManager->GetItemsByCategory(Parked)) Item->SetCategory(NewIndex);
    FMoving = true;
    try {
        inherited::Move(CurIndex, NewIndex);
    } catch (...) {
        FMoving = false;
        throw;
    }
    FMoving = false;
}

// ============================================================================
// TdxBarGroup
// ============================================================================

TdxBarGroup::TdxBarGroup(cls::TComponent* AOwner) : cls::TComponent(AOwner) {}

TdxBarGroup::~TdxBarGroup() {
    if (FBarManager) FBarManager->RemoveGroupFromList(this);
}

cls::TComponent* TdxBarGroup::GetParentComponent() const {
    return FBarManager;
}

void TdxBarGroup::SetParentComponent(cls::TComponent* Value) {
    if (auto* Manager = dynamic_cast<TdxBarManager*>(Value)) Manager->AddGroupToList(this);
}

int TdxBarGroup::Index() const {
    return FBarManager ? FBarManager->IndexOfGroup(this) : -1;
}

bool TdxBarGroup::Contains(const TdxBarGroup* AGroup) const {
    for (int I = 0; I < Count(); ++I) {
        auto* Member = dynamic_cast<TdxBarGroup*>(Items(I));
        if (Member && (Member == AGroup || Member->Contains(AGroup))) return true;
    }
    return false;
}

void TdxBarGroup::Add(cls::TComponent* AMember) {
    if (!AMember || IndexOf(AMember) >= 0) return;
    auto* Group = dynamic_cast<TdxBarGroup*>(AMember);
    if (!Group && !dynamic_cast<TdxBarItem*>(AMember)) return;
    if (Group && (Group == this || Group->Contains(this))) {
        throw cls::Exception(lf::cxGetResourceString(dxSBAR_RECURSIVEGROUPS));
    }
    FItems.Add(AMember);
    FreeNotification(AMember);
}

void TdxBarGroup::Remove(cls::TComponent* AMember) {
    if (FItems.Remove(AMember) >= 0) RemoveFreeNotification(AMember);
}

void TdxBarGroup::Notification(cls::TComponent* AComponent, cls::TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == cls::opRemove) FItems.Remove(AComponent);
}

namespace {

// Runs AChange under the manager's update lock (when there is a manager).
template <class F> void UnderLock(TdxBarManager* AManager, F AChange) {
    const bool PrevLock = AManager && AManager->LockUpdate();
    if (AManager) AManager->SetLockUpdate(true);
    try {
        AChange();
    } catch (...) {
        if (AManager) AManager->SetLockUpdate(PrevLock);
        throw;
    }
    if (AManager) AManager->SetLockUpdate(PrevLock);
}

bool IsLoadingOrDestroying(const cls::TComponent* AComponent) {
    const cls::TComponentState State = AComponent->ComponentState();
    return State.Contains(cls::csLoading) || State.Contains(cls::csDestroying);
}

} // namespace

void TdxBarGroup::SetEnabled(bool Value) {
    FEnabled = Value;
    if (IsLoadingOrDestroying(this)) return;
    UnderLock(FBarManager, [this, Value] {
        for (int I = 0; I < Count(); ++I) {
            if (auto* Item = dynamic_cast<TdxBarItem*>(Items(I))) {
                Item->SetEnabled(Value);
            } else {
                static_cast<TdxBarGroup*>(Items(I))->SetEnabled(Value);
            }
        }
    });
}

void TdxBarGroup::SetVisible(TdxBarItemVisible Value) {
    FVisible = Value;
    if (IsLoadingOrDestroying(this)) return;
    UnderLock(FBarManager, [this, Value] {
        for (int I = 0; I < Count(); ++I) {
            if (auto* Item = dynamic_cast<TdxBarItem*>(Items(I))) {
                Item->SetVisible(Value);
            } else {
                static_cast<TdxBarGroup*>(Items(I))->SetVisible(Value);
            }
        }
    });
}

// ============================================================================
// TdxBarBackgrounds
// ============================================================================

TdxBarBackgrounds::TdxBarBackgrounds(TdxBarManager* ABarManager)
    : FBar(new cls::TBitmap()), FSubMenu(new cls::TBitmap()), FBarManager(ABarManager) {
    FBar->SetOnChange(cls::TNotifyEvent(this, &TdxBarBackgrounds::BarChanged));
}

TdxBarBackgrounds::~TdxBarBackgrounds() {
    delete FSubMenu;
    delete FBar;
}

cls::TPersistent* TdxBarBackgrounds::GetOwner() {
    return FBarManager;
}

void TdxBarBackgrounds::Assign(cls::TPersistent* Source) {
    if (auto* Other = dynamic_cast<TdxBarBackgrounds*>(Source)) {
        SetBar(Other->Bar());
        SetSubMenu(Other->SubMenu());
        return;
    }
    inherited::Assign(Source);
}

void TdxBarBackgrounds::SetBar(cls::TBitmap* Value) {
    if (!Value && FBar->Empty()) return;
    FBar->Assign(Value);
}

void TdxBarBackgrounds::SetSubMenu(cls::TBitmap* Value) {
    FSubMenu->Assign(Value);
}

void TdxBarBackgrounds::BarChanged(cls::TObject*) {
    FBarManager->BackgroundsChanged();
}

} // namespace bars
