// The customizing form: the dialog in which a user edits the toolbars of a
// manager while it customizes. One form at most is open in the process.
#pragma once

namespace cls {
class TCustomForm;
}

namespace bars {

class TdxBar;
class TdxBarItem;
class TdxBarManager;

// Opens (AShow) or closes the customizing form of ABarManager; the manager's
// customizing mode calls it. Opening fires OnShowCustomizingForm, closing
// OnHideCustomizingForm; the form's window itself is not built yet.
void ShowBarCustomizingForm(TdxBarManager* ABarManager, bool AShow);
// The open customizing form, nullptr when none is open.
cls::TCustomForm* GetBarCustomizingForm();

// What the form shows follows the manager: each does nothing while no form
// is open.
void BarCustomizingFormRefreshCommands();
void BarCustomizingFormItemAdded(TdxBarItem* AItem);
void BarCustomizingFormRemoveBar(TdxBar* ABar);

} // namespace bars
