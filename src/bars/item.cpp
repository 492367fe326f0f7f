#include "bars/item.h"

#include "bars/manager.h"
#include "bars/managerlist.h"
#include "bars/registry.h"
#include "classes/forms.h"
#include "lookandfeel/objectlinks.h"

namespace bars {

// ============================================================================
// TdxBarItem
// ============================================================================

TdxBarItem::TdxBarItem(cls::TComponent* AOwner) : cls::TComponent(AOwner) {
    TdxBarManager* Manager = nullptr;
    if (auto* Form = dynamic_cast<cls::TCustomForm*>(AOwner)) Manager = GetBarManagerByForm(Form);
    if (!Manager && dxBarManagerList()) Manager = dxBarManagerList()->GetItem(0);
    if (Manager) {
        FBarManager = Manager;
        Manager->AddItem(this);
    }
}

TdxBarItem::~TdxBarItem() {
    if (FBarManager) FBarManager->RemoveItem(this);
    lf::cxClearObjectLinks(this);
}

void TdxBarItem::BeforeDestruction() {
    inherited::BeforeDestruction();
    while (!FLinks.empty()) delete FLinks.back();
}

cls::TComponent* TdxBarItem::GetParentComponent() const {
    return HasParent() ? FBarManager : nullptr;
}

void TdxBarItem::SetParentComponent(cls::TComponent* Value) {
    if (ComponentState().Contains(cls::csLoading)) return;
    if (auto* Manager = dynamic_cast<TdxBarManager*>(Value)) {
        SetBarManager(Manager);
        BarManagerChanged();
    }
}

void TdxBarItem::SetBarManager(TdxBarManager* Value) {
    if (FBarManager == Value) return;
    if (FBarManager) FBarManager->RemoveItem(this);
    FBarManager = Value;
    if (FBarManager) FBarManager->AddItem(this);
}

void TdxBarItem::SetCaption(const std::string& Value) {
    if (FCaption == Value) return;
    FCaption = Value;
    CaptionChanged();
}

void TdxBarItem::SetCategory(int Value) {
    FCategory = Value;
}

void TdxBarItem::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    EnabledChanged();
}

void TdxBarItem::SetImageIndexValue(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    GlyphChanged();
}

void TdxBarItem::SetVisible(TdxBarItemVisible Value) {
    // Outside loading the loaded value follows, so that a later Loaded keeps it.
    FLoadedVisible = Value;
    if (ComponentState().Contains(cls::csLoading) || FVisible == Value) return;
    FVisible = Value;
    VisibleChanged();
}

void TdxBarItem::ApplyLoadedVisible() {
    SetVisible(FLoadedVisible);
}

bool TdxBarItem::GetActualVisible() const {
    const bool Customizing = FBarManager && FBarManager->GetIsCustomizing();
    switch (FVisible) {
        case ivAlways:
            return IsVisibleForUser() || Customizing;
        case ivInCustomizing:
            return Customizing;
        case ivNever:
            break;
    }
    return false;
}

bool TdxBarItem::HasLinkControls() const {
    return false;
}

int TdxBarItem::GetIndex() const {
    return FBarManager ? FBarManager->IndexOfItem(this) : -1;
}

// ============================================================================
// TdxBarItemLink
// ============================================================================

TdxBarItemLink::TdxBarItemLink(cls::TCollection* ACollection) : cls::TCollectionItem(ACollection) {}

TdxBarItemLink::~TdxBarItemLink() {
    SetItem(nullptr);
}

void TdxBarItemLink::Assign(cls::TPersistent* Source) {
    auto* Other = dynamic_cast<TdxBarItemLink*>(Source);
    if (!Other) {
        inherited::Assign(Source);
        return;
    }
    SetItem(Other->Item());
    SetVisible(Other->Visible());
}

TdxBarItemLinks* TdxBarItemLink::Owner() const {
    return static_cast<TdxBarItemLinks*>(Collection());
}

void TdxBarItemLink::SetItem(TdxBarItem* Value) {
    if (FItem == Value) return;
    if (FItem) std::erase(FItem->FLinks, this);
    FItem = Value;
    if (FItem) FItem->FLinks.push_back(this);
}

bool TdxBarItemLink::IsAvailable() const {
    if (!FItem) return false;
    TdxBarManager* Manager = Owner() ? Owner()->BarManager() : nullptr;
    return (Manager && Manager->Designing()) || FItem->GetActualVisible();
}

// ============================================================================
// TdxBarItemLinks
// ============================================================================

TdxBarItemLinks::TdxBarItemLinks(cls::TPersistent* AOwner, TdxBarManager* ABarManager)
    : cls::TCollection(TdxBarItemLink::ClassInfo()), FOwner(AOwner), FBarManager(ABarManager) {}

TdxBarItemLinks::~TdxBarItemLinks() {
    Clear();
}

TdxBarItemLink* TdxBarItemLinks::Add(TdxBarItem* AItem) {
    TdxBarItemLink* Link = Add();
    Link->SetItem(AItem);
    return Link;
}

int TdxBarItemLinks::AvailableItemCount() const {
    int Result = 0;
    for (int I = 0; I < Count(); ++I)
        if (Items(I)->IsAvailable()) ++Result;
    return Result;
}

} // namespace bars
