#include "classes/actions.h"

#include <algorithm>

#include "classes/exceptions.h"
#include "classes/imagelist.h"

namespace cls {

// ============================================================================
// TBasicAction
// ============================================================================

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
    SetActionComponent(nullptr);
    while (!FClients.empty()) UnRegisterChanges(FClients.back());
}

bool TBasicAction::Execute() {
    if (!FOnExecute) return false;
    FOnExecute(this);
    return true;
}

bool TBasicAction::Update() {
    if (!FOnUpdate) return false;
    FOnUpdate(this);
    return true;
}

bool TBasicAction::HandlesTarget(TObject*) {
    return false;
}

void TBasicAction::UpdateTarget(TObject*) {}

void TBasicAction::ExecuteTarget(TObject*) {}

void TBasicAction::SetActionComponent(TComponent* Value) {
    if (FActionComponent == Value) return;
    if (FActionComponent) FActionComponent->RemoveFreeNotification(this);
    FActionComponent = Value;
    if (FActionComponent) FActionComponent->FreeNotification(this);
}

void TBasicAction::SetOnExecute(TNotifyEvent Value) {
    if (FOnExecute == Value) return;
    TComponentGuard Guard(this);
    for (std::size_t I = 0; I < FClients.size(); ++I) {
        FClients[I]->SetOnExecute(Value);
        if (!Guard.Alive()) return;
    }
    FOnExecute = Value;
    Change();
}

TBasicActionLink* TBasicAction::Clients(int Index) const {
    if (Index < 0 || Index >= ClientCount()) throw EListError(SListIndexError, {Index});
    return FClients[static_cast<std::size_t>(Index)];
}

void TBasicAction::RegisterChanges(TBasicActionLink* Value) {
    if (!Value) return;
    if (Value->FAction && Value->FAction != this) Value->FAction->UnRegisterChanges(Value);
    Value->FAction = this;
    if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Value) {
    auto It = std::find(FClients.begin(), FClients.end(), Value);
    if (It == FClients.end()) return;
    FClients.erase(It);
    Value->FAction = nullptr;
}

void TBasicAction::Change() {
    TComponentGuard Guard(this);
    FOnChange(this);
    // A link may leave (or delete its client) from its own Change.
    for (std::size_t I = 0; Guard.Alive() && I < FClients.size(); ++I) FClients[I]->Change();
}

void TBasicAction::Notification(TComponent* AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FActionComponent) FActionComponent = nullptr;
}

// ============================================================================
// TContainedAction
// ============================================================================

TContainedAction::TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}

TContainedAction::~TContainedAction() {
    if (FActionList) FActionList->RemoveAction(this);
}

bool TContainedAction::Execute() {
    if (FActionList && FActionList->ExecuteAction(this)) return true;
    return TBasicAction::Execute();
}

bool TContainedAction::Update() {
    if (FActionList && FActionList->UpdateAction(this)) return true;
    return TBasicAction::Update();
}

void TContainedAction::SetActionList(TActionList* AActionList) {
    if (AActionList == FActionList) return;
    if (FActionList) FActionList->RemoveAction(this);
    if (AActionList) AActionList->AddAction(this);
}

void TContainedAction::SetCategory(const std::string& Value) {
    if (FCategory == Value) return;
    FCategory = Value;
    if (FActionList) FActionList->Change();
}

int TContainedAction::Index() const {
    if (!FActionList) return -1;
    const auto& List = FActionList->FActions;
    auto It = std::find(List.begin(), List.end(), this);
    return It == List.end() ? -1 : static_cast<int>(It - List.begin());
}

void TContainedAction::SetIndex(int Value) {
    const int Current = Index();
    if (Current < 0) return;
    auto& List = FActionList->FActions;
    Value = std::clamp(Value, 0, static_cast<int>(List.size()) - 1);
    if (Value == Current) return;
    List.erase(List.begin() + Current);
    List.insert(List.begin() + Value, this);
}

TComponent* TContainedAction::GetParentComponent() const {
    return FActionList ? FActionList : TBasicAction::GetParentComponent();
}

void TContainedAction::SetParentComponent(TComponent* AParent) {
    if (ComponentState().Contains(csLoading)) return;
    SetActionList(dynamic_cast<TActionList*>(AParent));
}

// ============================================================================
// TCustomAction
// ============================================================================

namespace {

// Calls Setter on every action link of the action (links of other kinds are
// skipped). Stops when a setter deletes the action.
template <class F>
bool ForEachActionLink(TBasicAction* Action, std::vector<TBasicActionLink*>& Clients, F Setter) {
    TComponentGuard Guard(Action);
    for (std::size_t I = 0; I < Clients.size(); ++I) {
        if (auto* Link = dynamic_cast<TActionLink*>(Clients[I])) Setter(Link);
        if (!Guard.Alive()) return false;
    }
    return true;
}

} // namespace

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

bool TCustomAction::Execute() {
    TComponentGuard Guard(this);
    Update();
    if (!Guard.Alive()) return false;
    if (FEnabled && FAutoCheck && (!FChecked || FGroupIndex == 0)) {
        SetChecked(!FChecked);
        if (!Guard.Alive()) return false;
    }
    return FEnabled && TContainedAction::Execute();
}

bool TCustomAction::DoHint(std::string& HintStr) {
    bool CanShow = true;
    FOnHint(HintStr, CanShow);
    return CanShow;
}

void TCustomAction::SetCaption(const std::string& Value) {
    if (Value == FCaption) return;
    if (!ForEachActionLink(this, FClients, [&](TActionLink* L) { L->SetCaption(Value); })) return;
    FCaption = Value;
    Change();
}

void TCustomAction::SetChecked(bool Value) {
    if (Value == FChecked) return;
    if (!ForEachActionLink(this, FClients, [&](TActionLink* L) { L->SetChecked(Value); })) return;
    FChecked = Value;
    TComponentGuard Guard(this);
    if (FChecked && FGroupIndex > 0) UncheckGroup();
    if (Guard.Alive()) Change();
}

void TCustomAction::UncheckGroup() {
    TActionList* List = ActionList();
    if (!List) return;
    TComponentGuard Guard(this);
    for (int I = 0; Guard.Alive() && I < List->ActionCount(); ++I) {
        auto* Other = dynamic_cast<TCustomAction*>(List->Actions(I));
        if (Other && Other != this && Other->FGroupIndex == FGroupIndex) Other->SetChecked(false);
    }
}

void TCustomAction::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    if (!ForEachActionLink(this, FClients, [&](TActionLink* L) { L->SetEnabled(Value); })) return;
    FEnabled = Value;
    Change();
}

void TCustomAction::SetHelpContext(THelpContext Value) {
    if (Value == FHelpContext) return;
    if (!ForEachActionLink(this, FClients, [&](TActionLink* L) { L->SetHelpContext(Value); })) return;
    FHelpContext = Value;
    Change();
}

void TCustomAction::SetHint(const std::string& Value) {
    if (Value == FHint) return;
    if (!ForEachActionLink(this, FClients, [&](TActionLink* L) { L->SetHint(Value); })) return;
    FHint = Value;
    Change();
}

void TCustomAction::SetImageIndex(TImageIndex Value) {
    if (Value == FImageIndex) return;
    if (!ForEachActionLink(this, FClients, [&](TActionLink* L) { L->SetImageIndex(Value); })) return;
    FImageIndex = Value;
    Change();
}

void TCustomAction::SetShortCut(TShortCut Value) {
    if (Value == FShortCut) return;
    if (!ForEachActionLink(this, FClients, [&](TActionLink* L) { L->SetShortCut(Value); })) return;
    FShortCut = Value;
    Change();
}

void TCustomAction::SetVisible(bool Value) {
    if (Value == FVisible) return;
    if (!ForEachActionLink(this, FClients, [&](TActionLink* L) { L->SetVisible(Value); })) return;
    FVisible = Value;
    Change();
}

void TCustomAction::SetGroupIndex(int Value) {
    if (Value == FGroupIndex) return;
    FGroupIndex = Value;
    TComponentGuard Guard(this);
    if (FChecked && FGroupIndex > 0) UncheckGroup();
    if (Guard.Alive()) Change();
}

void TCustomAction::SetAutoCheck(bool Value) {
    if (Value == FAutoCheck) return;
    FAutoCheck = Value;
    Change();
}

// ============================================================================
// TActionList
// ============================================================================

TActionList::TActionList(TComponent* AOwner) : TComponent(AOwner), FImageChangeLink(new TChangeLink) {
    FImageChangeLink->SetOnChange(TNotifyEvent(this, &TActionList::ImageListChange));
}

TActionList::~TActionList() {
    delete FImageChangeLink;
    FImageChangeLink = nullptr;
    while (!FActions.empty()) {
        TContainedAction* Action = FActions.back();
        // An action that is already being deleted only leaves the list.
        if (Action->IsFreeing()) {
            RemoveAction(Action);
        } else {
            delete Action;
        }
    }
}

TContainedAction* TActionList::Actions(int Index) const {
    if (Index < 0 || Index >= ActionCount()) throw EListError(SListIndexError, {Index});
    return FActions[static_cast<std::size_t>(Index)];
}

bool TActionList::ExecuteAction(TBasicAction* Action) {
    bool Handled = false;
    FOnExecute(Action, Handled);
    return Handled;
}

bool TActionList::UpdateAction(TBasicAction* Action) {
    bool Handled = false;
    FOnUpdate(Action, Handled);
    return Handled;
}

void TActionList::SetImages(TCustomImageList* Value) {
    if (FImages == Value) return;
    if (FImages) {
        FImages->UnRegisterChanges(FImageChangeLink);
        FImages->RemoveFreeNotification(this);
    }
    FImages = Value;
    if (FImages) {
        FImages->RegisterChanges(FImageChangeLink);
        FImages->FreeNotification(this);
    }
    Change();
}

void TActionList::Change() {
    TComponentGuard Guard(this);
    FOnChange(this);
    for (std::size_t I = 0; Guard.Alive() && I < FActions.size(); ++I) FActions[I]->Change();
}

void TActionList::Notification(TComponent* AComponent, TOperation Operation) {
    inherited::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FImages) {
        // The image list is going: its change links are cut by its own destructor.
        FImages = nullptr;
        return;
    }
    auto It = std::find(FActions.begin(), FActions.end(), AComponent);
    if (It != FActions.end()) RemoveAction(*It);
}

void TActionList::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TContainedAction* Action : std::vector<TContainedAction*>(FActions))
        if (Action->Owner() == Root) Proc(Action);
}

void TActionList::SetChildOrder(TComponent* Component, int Order) {
    auto It = std::find(FActions.begin(), FActions.end(), Component);
    if (It != FActions.end()) (*It)->SetIndex(Order);
}

void TActionList::AddAction(TContainedAction* Action) {
    if (!Action || Action->FActionList == this) return;
    FActions.push_back(Action);
    Action->FActionList = this;
    Action->FreeNotification(this);
}

void TActionList::RemoveAction(TContainedAction* Action) {
    auto It = std::find(FActions.begin(), FActions.end(), Action);
    if (It == FActions.end()) return;
    FActions.erase(It);
    Action->FActionList = nullptr;
    Action->RemoveFreeNotification(this);
}

void TActionList::ImageListChange(TObject* Sender) {
    if (Sender == FImages) Change();
}

// ============================================================================
// Action links
// ============================================================================

TBasicActionLink::~TBasicActionLink() {
    if (FAction) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
    if (Value == FAction) return;
    if (FAction) FAction->UnRegisterChanges(this);
    if (Value) Value->RegisterChanges(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent) {
    TBasicAction* Action = FAction;
    if (!Action) return false;
    TComponentGuard Guard(Action);
    Action->SetActionComponent(AComponent);
    // The execution may delete the action, the link or both; the action's
    // guard tells whether the action is still there to be reset.
    struct Reset {
        TComponentGuard& Guard;
        TBasicAction* Action;
        ~Reset() {
            if (Guard.Alive()) Action->SetActionComponent(nullptr);
        }
    } ResetComponent{Guard, Action};
    return Action->Execute();
}

bool TBasicActionLink::Update() {
    return FAction ? FAction->Update() : false;
}

void TBasicActionLink::Change() {
    FOnChange(FAction);
}

TCustomAction* TActionLink::CustomAction() const {
    return dynamic_cast<TCustomAction*>(Action());
}

bool TActionLink::IsCaptionLinked() {
    return CustomAction() != nullptr;
}

bool TActionLink::IsCheckedLinked() {
    return CustomAction() != nullptr;
}

bool TActionLink::IsEnabledLinked() {
    return CustomAction() != nullptr;
}

bool TActionLink::IsHelpContextLinked() {
    return CustomAction() != nullptr;
}

bool TActionLink::IsHintLinked() {
    return CustomAction() != nullptr;
}

bool TActionLink::IsImageIndexLinked() {
    return CustomAction() != nullptr;
}

bool TActionLink::IsShortCutLinked() {
    return CustomAction() != nullptr;
}

bool TActionLink::IsVisibleLinked() {
    return CustomAction() != nullptr;
}

} // namespace cls
