#include "bars/containercontrols.h"

#include "bars/containeritems.h"
#include "bars/manager.h"
#include "bars/registry.h"
#include "lookandfeel/objectlinks.h"

namespace bars {

// ============================================================================
// TdxBarContainerItemControl
// ============================================================================

TCustomdxBarContainerItem* TdxBarContainerItemControl::GetContainerItem() const {
    return dynamic_cast<TCustomdxBarContainerItem*>(GetItem());
}

TdxBarSubMenuControl* TdxBarContainerItemControl::CreateSubMenuControl() {
    TCustomdxBarContainerItem* Item = GetContainerItem();
    TdxBarManager* Manager = GetBarManager();
    if (!Item || !Manager) return nullptr;
    if (Parent() && Parent()->IsCustomizing()) return inherited::CreateSubMenuControl();
    auto* Menu = new TContainerItemSubMenuControl(Manager);
    Menu->SetItemLinks(Item->ItemLinks());
    Menu->SetContainerItem(Item);
    Item->AddListedItemLinks(Item->ItemLinks(), 0, ItemLink(), true);
    // OnGetData may have freed the item, and with its links the menu.
    return IsBarControlAlive(Menu) ? Menu : nullptr;
}

std::string TdxBarContainerItemControl::GetCaption() const {
    const TCustomdxBarContainerItem* Item = GetContainerItem();
    std::string Caption = inherited::GetCaption();
    if (IsInMenu() && Item && Item->IsEmpty()) Caption = "(" + Caption + ")";
    return Caption;
}

bool TdxBarContainerItemControl::CanOpenMenu() const {
    const TCustomdxBarContainerItem* Item = GetContainerItem();
    return !(IsInMenu() && Item && Item->IsEmpty());
}

bool TdxBarContainerItemControl::HasDblClickAction() const {
    return !(Parent() && Parent()->IsCustomizing());
}

void TdxBarContainerItemControl::Paint(const gfx::RECT& R, TdxBarPaintType APaintType) {
    if (APaintType != ptMenu) {
        inherited::Paint(R, APaintType);
        return;
    }
    const gfx::HDC DC = GetParentDC();
    if (!DC || R.right <= R.left || R.bottom <= R.top) return;
    // A plain entry: it opens nothing in a menu.
    TdxBarPaintState State;
    State.Enabled = true;
    GetPainter()->DrawMenuGlyphCell(this, DC, R, State, false);
}

// ============================================================================
// TContainerItemSubMenuControl
// ============================================================================

TContainerItemSubMenuControl::~TContainerItemSubMenuControl() {
    // The controls go with the handle first; the links follow.
    DestroyHandle();
    ReleaseItemLinks();
    lf::cxRemoveObjectLink(FContainerItem);
    FContainerItem = nullptr;
}

TCustomdxBarContainerItem* TContainerItemSubMenuControl::ContainerItem() const {
    return FContainerItem ? static_cast<TCustomdxBarContainerItem*>(FContainerItem->Ref) : nullptr;
}

void TContainerItemSubMenuControl::SetContainerItem(TCustomdxBarContainerItem* Value) {
    lf::cxRemoveObjectLink(FContainerItem);
    FContainerItem = Value ? lf::cxAddObjectLink(Value) : nullptr;
}

void TContainerItemSubMenuControl::ReleaseItemLinks() {
    TCustomdxBarContainerItem* Item = ContainerItem();
    // An item on its way out takes its expansion along itself.
    if (!Item || Item->ComponentState().Contains(cls::csDestroying)) return;
    Item->DeleteListedItemLinks(Item->ItemLinks(), 0);
}

void TContainerItemSubMenuControl::DoCloseUp() {
    lf::TcxObjectLinkScope Self(this);
    ReleaseItemLinks();
    if (Self.Alive()) inherited::DoCloseUp();
}

} // namespace bars
