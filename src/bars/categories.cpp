#include "bars/categories.h"

#include "bars/item.h"
#include "bars/manager.h"
#include "bars/strings.h"
#include "classes/exceptions.h"
#include "classes/filer.h"
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

void TdxBarManagerCategories::Assign(cls::TPersistent* Source) {
    auto* Strings = dynamic_cast<cls::TStrings*>(Source);
    if (!Strings) {
        inherited::Assign(Source);
        return;
    }
    if (Strings == this) return;
    auto* Categories = dynamic_cast<TdxBarManagerCategories*>(Source);
    BeginUpdate();
    try {
        Clear();
        for (int I = 0; I < Strings->Count(); ++I) {
            Add(Strings->Strings(I));
            if (const TdxBarCategoryData* Data = Categories ? Categories->Data(I) : nullptr) {
                TdxBarCategoryData* Copy = NeedData(I);
                Copy->Visible = Data->Visible;
                Copy->ItemsVisible = Data->ItemsVisible;
                Copy->LoadedItemsVisible = Data->LoadedItemsVisible;
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TdxBarManagerCategories::Clear() {
    for (int I = 0; I < Count(); ++I) FreeData(I);
    inherited::Clear();
}

void TdxBarManagerCategories::MoveItems(int AFrom, int ATo) {
    for (TdxBarItem* Item : FBarManager->GetItemsByCategory(AFrom)) Item->SetCategoryValue(ATo);
}

void TdxBarManagerCategories::Delete(int Index) {
    if (FMoving) {
        inherited::Delete(Index);
        return;
    }
    if (Index < 0 || Index >= Count()) return;
    // An item on its way out may take others with it: each one is looked up
    // again before it is freed.
    for (TdxBarItem* Item : FBarManager->GetItemsByCategory(Index))
        if (FBarManager->IndexOfItem(Item) >= 0 && Item->Category() == Index) delete Item;
    if (Index >= Count()) return;
    for (int J = Index + 1; J < Count(); ++J) MoveItems(J, J - 1);
    FreeData(Index);
    inherited::Delete(Index);
    if (Count() == 0) AddDefault();
}

void TdxBarManagerCategories::InsertObject(int Index, const std::string& S, cls::TObject* AObject) {
    if (!FMoving && Index >= 0 && Index < Count())
        for (int J = Count() - 1; J >= Index; --J) MoveItems(J, J + 1);
    inherited::InsertObject(Index, S, AObject);
}

void TdxBarManagerCategories::Exchange(int Index1, int Index2) {
    if (Index1 < 0 || Index1 >= Count() || Index2 < 0 || Index2 >= Count() || Index1 == Index2) return;
    const std::vector<TdxBarItem*> Items1 = FBarManager->GetItemsByCategory(Index1);
    const std::vector<TdxBarItem*> Items2 = FBarManager->GetItemsByCategory(Index2);
    for (TdxBarItem* Item : Items1) Item->SetCategoryValue(Index2);
    for (TdxBarItem* Item : Items2) Item->SetCategoryValue(Index1);
    inherited::Exchange(Index1, Index2);
}

void TdxBarManagerCategories::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex || CurIndex < 0 || CurIndex >= Count() || NewIndex < 0 || NewIndex >= Count())
        return;
    // The moving category's items wait outside the list while the others shift.
    constexpr int Parked = -1000;
    MoveItems(CurIndex, Parked);
    if (CurIndex < NewIndex) {
        for (int J = CurIndex + 1; J <= NewIndex; ++J) MoveItems(J, J - 1);
    } else {
        for (int J = CurIndex - 1; J >= NewIndex; --J) MoveItems(J, J + 1);
    }
    MoveItems(Parked, NewIndex);
    FMoving = true;
    try {
        inherited::Move(CurIndex, NewIndex);
    } catch (...) {
        FMoving = false;
        throw;
    }
    FMoving = false;
}

// --- Streaming ---

void TdxBarManagerCategories::DefineProperties(cls::TFiler* Filer) {
    inherited::DefineProperties(Filer);
    Filer->DefineProperty("ItemsVisibles",
                          cls::TReaderProc(this, &TdxBarManagerCategories::ReadItemsVisibles),
                          cls::TWriterProc(this, &TdxBarManagerCategories::WriteItemsVisibles), Count() > 0);
    Filer->DefineProperty("Visibles", cls::TReaderProc(this, &TdxBarManagerCategories::ReadVisibles),
                          cls::TWriterProc(this, &TdxBarManagerCategories::WriteVisibles), Count() > 0);
}

// Values beyond the categories are passed over; so are values that name no
// TdxBarItemVisible.
void TdxBarManagerCategories::ReadItemsVisibles(cls::TReader* Reader) {
    Reader->ReadListBegin();
    for (int I = 0; !Reader->EndOfList(); ++I) {
        if (I >= Count()) {
            Reader->SkipValue();
            continue;
        }
        const int Value = Reader->ReadInteger();
        if (Value >= ivNever && Value <= ivAlways)
            FBarManager->SetCategoryItemsVisible(I, static_cast<TdxBarItemVisible>(Value));
    }
    Reader->ReadListEnd();
}

void TdxBarManagerCategories::WriteItemsVisibles(cls::TWriter* Writer) {
    Writer->WriteListBegin();
    for (int I = 0; I < Count(); ++I)
        Writer->WriteInteger(static_cast<std::uint8_t>(FBarManager->CategoryItemsVisible(I)));
    Writer->WriteListEnd();
}

void TdxBarManagerCategories::ReadVisibles(cls::TReader* Reader) {
    Reader->ReadListBegin();
    for (int I = 0; !Reader->EndOfList(); ++I) {
        if (I >= Count()) {
            Reader->SkipValue();
            continue;
        }
        FBarManager->SetCategoryVisible(I, Reader->ReadBoolean());
    }
    Reader->ReadListEnd();
}

void TdxBarManagerCategories::WriteVisibles(cls::TWriter* Writer) {
    Writer->WriteListBegin();
    for (int I = 0; I < Count(); ++I) Writer->WriteBoolean(FBarManager->CategoryVisible(I));
    Writer->WriteListEnd();
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

void TdxBarGroup::ReadState(cls::TReader* Reader) {
    if (auto* Manager = dynamic_cast<TdxBarManager*>(Reader->Parent())) Manager->AddGroupToList(this);
    inherited::ReadState(Reader);
}

int TdxBarGroup::Index() const {
    return FBarManager ? FBarManager->IndexOfGroup(this) : -1;
}

void TdxBarGroup::SetIndex(int Value) {
    if (FBarManager) FBarManager->FGroupList.Move(Index(), Value);
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
    if (Group && (Group == this || Group->Contains(this)))
        throw cls::Exception(lf::cxGetResourceString(dxSBAR_RECURSIVEGROUPS));
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

void TdxBarGroup::Loaded() {
    inherited::Loaded();
    const std::unique_ptr<cls::TStringList> Names = std::move(FLoadedNames);
    const cls::TCustomForm* Form = FBarManager ? FBarManager->OwnerForm() : nullptr;
    if (!Names || !Form) return;
    for (int I = 0; I < Names->Count(); ++I) {
        cls::TComponent* Member = Form->FindComponent(Names->Strings(I));
        auto* Group = dynamic_cast<TdxBarGroup*>(Member);
        if (Group && (Group == this || Group->Contains(this))) continue;
        Add(Member);
    }
}

void TdxBarGroup::DefineProperties(cls::TFiler* Filer) {
    inherited::DefineProperties(Filer);
    Filer->DefineProperty("Items", cls::TReaderProc(this, &TdxBarGroup::ReadItems),
                          cls::TWriterProc(this, &TdxBarGroup::WriteItems), Count() > 0);
}

void TdxBarGroup::ReadItems(cls::TReader* Reader) {
    if (!FLoadedNames) FLoadedNames = std::make_unique<cls::TStringList>();
    Reader->ReadListBegin();
    while (!Reader->EndOfList()) FLoadedNames->Add(Reader->ReadString());
    Reader->ReadListEnd();
}

void TdxBarGroup::WriteItems(cls::TWriter* Writer) {
    Writer->WriteListBegin();
    for (int I = 0; I < Count(); ++I) Writer->WriteString(Items(I)->Name());
    Writer->WriteListEnd();
}

template <class F> void TdxBarGroup::ChangeMembers(F AChange) {
    // No lock while the form is read: releasing it would lay out bars that
    // are not read yet.
    const cls::TComponentState State = ComponentState();
    TdxBarManager* Manager = FBarManager;
    const bool Lock = Manager && !Manager->IsLoading() && !State.Contains(cls::csLoading) &&
                      !State.Contains(cls::csDestroying);
    const bool PrevLock = Lock && Manager->LockUpdate();
    if (Lock) Manager->SetLockUpdate(true);
    // A member's change may free the group; the lock is restored all the same.
    cls::TComponentGuard Guard(this);
    try {
        for (int I = 0; Guard.Alive() && I < Count(); ++I) AChange(Items(I));
    } catch (...) {
        if (Lock) Manager->SetLockUpdate(PrevLock);
        throw;
    }
    if (Lock) Manager->SetLockUpdate(PrevLock);
}

void TdxBarGroup::SetEnabled(bool Value) {
    FEnabled = Value;
    ChangeMembers([Value](cls::TComponent* AMember) {
        if (auto* Item = dynamic_cast<TdxBarItem*>(AMember))
            Item->SetEnabled(Value);
        else
            static_cast<TdxBarGroup*>(AMember)->SetEnabled(Value);
    });
}

void TdxBarGroup::SetVisible(TdxBarItemVisible Value) {
    FVisible = Value;
    ChangeMembers([Value](cls::TComponent* AMember) {
        if (auto* Item = dynamic_cast<TdxBarItem*>(AMember))
            Item->SetVisible(Value);
        else
            static_cast<TdxBarGroup*>(AMember)->SetVisible(Value);
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
