#include "bars/customizing/customizingform.h"

#include "bars/manager.h"

namespace bars {

void ShowBarCustomizingForm(TdxBarManager* ABarManager, bool AShow) {
    if (!ABarManager) return;
    if (AShow)
        ABarManager->OnShowCustomizingForm()(ABarManager);
    else
        ABarManager->OnHideCustomizingForm()(ABarManager);
}

cls::TCustomForm* GetBarCustomizingForm() {
    return nullptr;
}

void BarCustomizingFormRefreshCommands() {}

void BarCustomizingFormItemAdded(TdxBarItem*) {}

void BarCustomizingFormRemoveBar(TdxBar*) {}

} // namespace bars
