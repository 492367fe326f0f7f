#include "bars/popupmenu.h"

#include "bars/links.h"
#include "bars/manager.h"
#include "bars/managerlist.h"
#include "bars/registry.h"
#include "classes/forms.h"

namespace bars {

TdxBarPopupMenu::TdxBarPopupMenu(cls::TComponent* AOwner) : cls::TComponent(AOwner) {
    if (auto* Form = dynamic_cast<cls::TCustomForm*>(AOwner)) FBarManager = GetBarManagerByForm(Form);
    if (!FBarManager && dxBarManagerList()) FBarManager = dxBarManagerList()->GetItem(0);
    FItemLinks = new TdxBarItemLinks(this, FBarManager);
    FItemLinks->SetUseRecentItems(false);
    if (FBarManager) FBarManager->AddPopupMenu(this);
}

TdxBarPopupMenu::~TdxBarPopupMenu() {
    if (FBarManager) FBarManager->RemovePopupMenu(this);
    delete FItemLinks;
}

void TdxBarPopupMenu::SetItemLinks(TdxBarItemLinks* Value) {
    FItemLinks->Assign(Value);
}

} // namespace bars
