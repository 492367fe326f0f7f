#include "classes/component.h"

#include <algorithm>

#include "classes/exceptions.h"
#include "classes/filer.h"
#include "classes/typinfo.h"

namespace cls {

// Guards of one component nest like the frames that own them. A guard on
// the stack linked into the component is the point (its destructor unlinks
// it), which the compiler's dangling-pointer check cannot know.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 12
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
#endif
TComponentGuard::TComponentGuard(TComponent* AComponent)
    : FComponent(AComponent), FNext(AComponent->FGuards) {
    AComponent->FGuards = this;
}
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 12
#pragma GCC diagnostic pop
#endif

TComponentGuard::~TComponentGuard() {
    if (!FComponent) return;
    for (TComponentGuard** G = &FComponent->FGuards; *G; G = &(*G)->FNext) {
        if (*G == this) {
            *G = FNext;
            break;
        }
    }
}

namespace {
// Set by TLoadingConstruction; the first TComponent constructor takes it.
thread_local bool t_ConstructLoading = false;
} // namespace

TLoadingConstruction::TLoadingConstruction() : FPrevious(t_ConstructLoading) {
    t_ConstructLoading = true;
}

TLoadingConstruction::~TLoadingConstruction() {
    t_ConstructLoading = FPrevious;
}

TComponent::TComponent(TComponent* AOwner) {
    if (t_ConstructLoading) {
        FComponentState.Include(csLoading);
        t_ConstructLoading = false;
    }
    if (!AOwner) return;
    try {
        AOwner->InsertComponent(this);
    } catch (...) {
        // No destructor runs for a constructor that raises: let go of
        // everything that points here before the memory goes.
        if (FOwner) FOwner->Remove(this);
        while (!FFreeNotifies.empty()) RemoveFreeNotification(FFreeNotifies.back());
        throw;
    }
}

TComponent::~TComponent() {
    MarkFreeing();
    for (TComponentGuard* G = FGuards; G; G = G->FNext) G->FComponent = nullptr;
    FGuards = nullptr;
    Destroying();
    RemoveFreeNotifications();
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::BeforeDestruction() {
    if (!FComponentState.Contains(csDestroying)) Destroying();
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount()) throw EListError(SListIndexError, {Index});
    return FComponents[static_cast<std::size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    auto It = std::find(FOwner->FComponents.begin(), FOwner->FComponents.end(), this);
    return It == FOwner->FComponents.end() ? -1 : static_cast<int>(It - FOwner->FComponents.begin());
}

void TComponent::SetComponentIndex(int Value) {
    int I = ComponentIndex();
    if (I < 0) return;
    std::vector<TComponent*>& List = FOwner->FComponents;
    Value = std::clamp(Value, 0, static_cast<int>(List.size()) - 1);
    if (Value == I) return;
    List.erase(List.begin() + I);
    List.insert(List.begin() + Value, this);
}

void TComponent::SetName(const std::string& NewName) {
    if (FName == NewName) return;
    if (!NewName.empty() && !IsValidIdent(NewName)) throw EComponentError(SInvalidName, {NewName});
    if (FOwner) {
        FOwner->ValidateRename(this, FName, NewName);
    } else {
        ValidateRename(nullptr, FName, NewName);
    }
    ChangeName(NewName);
}

void TComponent::SetSubComponent(bool Value) {
    if (Value) {
        FComponentStyle.Include(csSubComponent);
    } else {
        FComponentStyle.Exclude(csSubComponent);
    }
}

bool TComponent::Owns(const TComponent* AComponent) const {
    return std::find(FComponents.begin(), FComponents.end(), AComponent) != FComponents.end();
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner == this) return;
    for (TComponent* C = this; C; C = C->FOwner) {
        if (C == AComponent) throw EComponentError(SOwnershipCycle);
    }
    AComponent->ValidateContainer(this);
    ValidateRename(AComponent, "", AComponent->FName);
    // The original checks names only on renames; an insert must not create a
    // second component of the same name either.
    if (!AComponent->FName.empty() && FindComponent(AComponent->FName))
        throw EComponentError(SDuplicateName, {AComponent->FName});
    if (AComponent->FOwner) {
        TComponentGuard Guard(this);
        TComponentGuard ComponentGuard(AComponent);
        AComponent->FOwner->RemoveComponent(AComponent);
        if (!Guard.Alive() || !ComponentGuard.Alive() || AComponent->FOwner) return;
    }
    Insert(AComponent);
    if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner != this) return;
    ValidateRename(AComponent, AComponent->FName, "");
    TComponentGuard Guard(this);
    TComponentGuard ComponentGuard(AComponent);
    Notification(AComponent, opRemove);
    // When this component was deleted meanwhile, its DestroyComponents has
    // already let go of AComponent; when AComponent was deleted, it has left.
    if (!Guard.Alive() || !ComponentGuard.Alive()) return;
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    auto It = std::find(FComponents.rbegin(), FComponents.rend(), AComponent);
    if (It != FComponents.rend()) FComponents.erase(std::next(It).base());
    if (AComponent->FOwner == this) AComponent->FOwner = nullptr;
}

TComponent* TComponent::FindComponent(std::string_view AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* C : FComponents) {
        if (SameText(C->FName, AName)) return C;
    }
    return nullptr;
}

// --- Free notification ---

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    // Never hold on to a component whose destruction has begun: it could not
    // tell us any more that it is gone.
    if (IsFreeing() || AComponent->IsFreeing()) return;
    if (!FOwner || AComponent->FOwner != FOwner) {
        if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
            FFreeNotifies.push_back(AComponent);
            AComponent->FreeNotification(this);
        }
    }
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (!AComponent) return;
    std::erase(FFreeNotifies, AComponent);
    std::erase(AComponent->FFreeNotifies, this);
}

void TComponent::RemoveFreeNotifications() {
    while (!FFreeNotifies.empty()) {
        TComponent* C = FFreeNotifies.back();
        // Both sides forget the link before the call, so a Notification that
        // does not call the inherited one cannot keep this loop going.
        RemoveFreeNotification(C);
        C->Notification(this, opRemove);
    }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
    if (FComponents.empty()) return;
    TComponentGuard Guard(this);
    int I = ComponentCount() - 1;
    while (I >= 0) {
        FComponents[static_cast<std::size_t>(I)]->Notification(AComponent, Operation);
        if (!Guard.Alive()) return;
        --I;
        if (I >= ComponentCount()) I = ComponentCount() - 1;
    }
}

// --- Destruction ---

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* C : FComponents) C->Destroying();
}

void TComponent::DestroyComponents() {
    TComponentGuard Guard(this);
    while (!FComponents.empty()) {
        TComponent* Instance = FComponents.back();
        if (Instance->IsFreeing()) {
            // Its destructor runs further up the stack and frees it.
            Remove(Instance);
            continue;
        }
        const TComponentState DesignInline{csDesigning, csInline};
        if (Instance->FComponentState.Contains(csFreeNotification) ||
            (FComponentState * DesignInline) == DesignInline) {
            TComponentGuard InstanceGuard(Instance);
            RemoveComponent(Instance);
            if (!Guard.Alive()) return;
            if (!InstanceGuard.Alive()) continue;
        } else {
            Remove(Instance);
        }
        delete Instance;
        if (!Guard.Alive()) return;
    }
}

// --- Virtual defaults ---

void TComponent::Loaded() {
    FComponentState.Exclude(csLoading);
}

void TComponent::Updating() {
    FComponentState.Include(csUpdating);
}

void TComponent::Updated() {
    FComponentState.Exclude(csUpdating);
}

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}

void TComponent::GetPublishedProperties(TPublishedProperties& AList) {
    inherited::GetPublishedProperties(AList);
    AList.Integer("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
}

void TComponent::GetPublishedMethods(TPublishedMethods&) {}

void TComponent::ReadState(TReader* Reader) {
    Reader->ReadData(this);
}

void TComponent::SetChildOrder(TComponent*, int) {}

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::ValidateRename(TComponent* AComponent, std::string_view CurName, std::string_view NewName) {
    if (AComponent && !SameText(CurName, NewName) && AComponent->FOwner == this && FindComponent(NewName))
        throw EComponentError(SDuplicateName, {NewName});
    if (FComponentState.Contains(csDesigning) && FOwner) FOwner->ValidateRename(AComponent, CurName, NewName);
}

void TComponent::ValidateInsert(TComponent*) {}

void TComponent::ValidateContainer(TComponent* AComponent) {
    AComponent->ValidateInsert(this);
}

std::string TComponent::GetNamePath() {
    return FName;
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
    if (Value) {
        FComponentState.Include(csDesigning);
    } else {
        FComponentState.Exclude(csDesigning);
    }
    if (SetChildren) {
        for (TComponent* C : FComponents) C->SetDesigning(Value);
    }
}

void TComponent::SetDesignInstance(bool Value) {
    if (Value) {
        FComponentState.Include(csDesignInstance);
    } else {
        FComponentState.Exclude(csDesignInstance);
    }
}

void TComponent::SetInline(bool Value) {
    if (Value) {
        FComponentState.Include(csInline);
    } else {
        FComponentState.Exclude(csInline);
    }
}

void TComponent::SetAncestor(bool Value) {
    if (Value) {
        FComponentState.Include(csAncestor);
    } else {
        FComponentState.Exclude(csAncestor);
    }
    for (TComponent* C : FComponents) C->SetAncestor(Value);
}

} // namespace cls
