#include "bars/customizing/namedialog.h"

#include "bars/bars.h"
#include "bars/manager.h"
#include "bars/strings.h"
#include "classes/sysutils.h"
#include "lookandfeel/text.h"

namespace bars {

TdxBarNameEd::TdxBarNameEd(bool AIsCategory, int AMode, TdxBarManager* ABarManager, TdxBar* ABar)
    : cls::TForm(nullptr), FCategoryMode(AIsCategory), FBarManager(ABarManager), FBar(ABar) {
    SetBorderStyle(cls::bsDialog);
    SetBorderIcons(cls::TBorderIcons{cls::biSystemMenu});
    SetPosition(cls::poScreenCenter);
    if (ABarManager) {
        Font()->SetName(ABarManager->Font()->Name());
        Font()->SetCharset(ABarManager->Font()->Charset());
    }
    SetClientWidth(266);
    SetClientHeight(87);
    FLName = new cls::TLabel(this);
    FLName->SetParent(this);
    FLName->SetBounds(8, 8, 0, 0);
    FEName = new cls::TEdit(this);
    FEName->SetParent(this);
    FEName->SetBounds(8, 24, 251, 21);
    FEName->SetOnChange(cls::TNotifyEvent(this, &TdxBarNameEd::ENameChange));
    FLName->SetFocusControl(FEName);
    FBOK = new cls::TButton(this);
    FBOK->SetParent(this);
    FBOK->SetBounds(103, 56, 75, 23);
    FBOK->SetDefault(true);
    FBOK->SetModalResult(cls::mrOk);
    FBCancel = new cls::TButton(this);
    FBCancel->SetParent(this);
    FBCancel->SetBounds(184, 56, 75, 23);
    FBCancel->SetCancel(true);
    FBCancel->SetModalResult(cls::mrCancel);

    static const cls::TResStringRec* const CategoryCaptions[] = {&dxSBAR_ADDCATEGORY, &dxSBAR_INSERTCATEGORY,
                                                                 &dxSBAR_RENAMECATEGORY};
    static const cls::TResStringRec* const ToolbarCaptions[] = {&dxSBAR_ADDTOOLBAR, &dxSBAR_RENAMETOOLBAR};
    if (AIsCategory) {
        SetCaption(lf::cxGetResourceString(*CategoryCaptions[std::clamp(AMode, 0, 2)]));
        FLName->SetCaption(lf::cxGetResourceString(dxSBAR_CATEGORYNAMELABEL));
    } else {
        SetCaption(lf::cxGetResourceString(*ToolbarCaptions[std::clamp(AMode, 0, 1)]));
        FLName->SetCaption(lf::cxGetResourceString(dxSBAR_TOOLBARNAMELABEL));
    }
    FBOK->SetCaption(lf::cxGetResourceString(dxSBAR_OK));
    FBCancel->SetCaption(lf::cxGetResourceString(dxSBAR_CANCEL));
}

void TdxBarNameEd::ENameChange(cls::TObject*) {
    FBOK->SetEnabled(!FEName->Text().empty());
}

bool TdxBarNameEd::CloseQuery() {
    if (ModalResult() == cls::mrOk && !FCategoryMode && FBarManager) {
        const std::string Text = FEName->Text();
        TdxBar* Found = FBarManager->FindBarByCaption(Text);
        if (Found && Found != FBar) {
            cls::Application->MessageBox(
                cls::Format(lf::cxGetResourceString(dxSBAR_DUPLICATETOOLBARNAME), {Text}),
                cls::Application->Title(), win::MB_ICONERROR);
            return false;
        }
    }
    return inherited::CloseQuery();
}

bool ShowBarNameDialog(std::string& AName, bool AIsCategory, int AMode, TdxBarManager* ABarManager,
                       TdxBar* ABar) {
    TdxBarNameEd Dialog(AIsCategory, AMode, ABarManager, ABar);
    Dialog.EName()->SetText(AName);
    Dialog.BOK()->SetEnabled(!AName.empty());
    Dialog.SetActiveControl(Dialog.EName());
    if (Dialog.ShowModal() != cls::mrOk) return false;
    AName = Dialog.EName()->Text();
    return true;
}

} // namespace bars
