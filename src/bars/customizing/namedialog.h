// The name dialog of the customizing form: the name of a new toolbar, a
// toolbar's new caption, or (in design mode) a category's name. A toolbar
// caption another bar already has is refused with a message box; an empty
// name cannot be confirmed.
#pragma once

#include <string>

#include "classes/buttons.h"
#include "classes/forms.h"
#include "classes/stdctrls.h"

namespace bars {

class TdxBar;
class TdxBarManager;

class TdxBarNameEd : public cls::TForm {
    TRESTLE_CLASS(TdxBarNameEd, cls::TForm)
public:
    // AMode for categories: 0 add, 1 insert, 2 rename; for toolbars: 0 add, 1 rename.
    TdxBarNameEd(bool AIsCategory, int AMode, TdxBarManager* ABarManager, TdxBar* ABar);

    cls::TLabel* LName() const { return FLName; }
    cls::TEdit* EName() const { return FEName; }
    cls::TButton* BOK() const { return FBOK; }
    cls::TButton* BCancel() const { return FBCancel; }

    bool CloseQuery() override;

private:
    void ENameChange(cls::TObject* Sender);

    cls::TLabel* FLName;
    cls::TEdit* FEName;
    cls::TButton* FBOK;
    cls::TButton* FBCancel;
    bool FCategoryMode;
    TdxBarManager* FBarManager;
    TdxBar* FBar;
};

// True on OK, with AName set to the text typed.
bool ShowBarNameDialog(std::string& AName, bool AIsCategory, int AMode, TdxBarManager* ABarManager,
                       TdxBar* ABar);

} // namespace bars
