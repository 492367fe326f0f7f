#include "bars/popupmenulinks.h"

#include "bars/manager.h"
#include "bars/registry.h"
#include "classes/controls.h"
#include "classes/forms.h"

namespace bars {

TdxBarPopupMenuLink::TdxBarPopupMenuLink(cls::TCollection* ACollection) : cls::TCollectionItem(ACollection) {}

TdxBarPopupMenuLinks* TdxBarPopupMenuLink::Links() const {
    return static_cast<TdxBarPopupMenuLinks*>(Collection());
}

void TdxBarPopupMenuLink::SetControl(cls::TWinControl* Value) {
    TdxBarManager* Manager = Links() ? Links()->BarManager() : nullptr;
    if (Value && Manager) {
        cls::TCustomForm* Form = cls::GetParentForm(Value);
        if (!Form || GetBarManagerByForm(Form) != Manager) Value = nullptr;
    }
    if (FControl == Value) return;
    FControl = Value;
    if (Value && Manager) Manager->FreeNotification(Value);
}

void TdxBarPopupMenuLink::SetPopupMenu(cls::TComponent* Value) {
    if (FPopupMenu == Value) return;
    FPopupMenu = Value;
    TdxBarManager* Manager = Links() ? Links()->BarManager() : nullptr;
    if (Value && Manager) Manager->FreeNotification(Value);
}

void TdxBarPopupMenuLink::Assign(cls::TPersistent* Source) {
    auto* Other = dynamic_cast<TdxBarPopupMenuLink*>(Source);
    if (!Other) {
        inherited::Assign(Source);
        return;
    }
    // Copies by name: the source may belong to another form.
    TdxBarManager* Manager = Links() ? Links()->BarManager() : nullptr;
    cls::TCustomForm* Form = Manager ? Manager->OwnerForm() : nullptr;
    auto Find = [Form](cls::TComponent* AComponent) -> cls::TComponent* {
        return Form && AComponent ? Form->FindComponent(AComponent->Name()) : nullptr;
    };
    SetControl(dynamic_cast<cls::TWinControl*>(Find(Other->Control())));
    SetPopupMenu(Find(Other->PopupMenu()));
    SetProcessChildren(Other->ProcessChildren());
}

TdxBarPopupMenuLinks::TdxBarPopupMenuLinks(TdxBarManager* ABarManager)
    : cls::TCollection(TdxBarPopupMenuLink::ClassInfo()), FBarManager(ABarManager) {}

cls::TPersistent* TdxBarPopupMenuLinks::GetOwner() {
    return FBarManager;
}

} // namespace bars
