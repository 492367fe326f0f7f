#include "bars/customizing/popups.h"

#include <string>
#include <vector>

#include "bars/bars.h"
#include "bars/categories.h"
#include "bars/customizing/customizingform.h"
#include "bars/edititems.h"
#include "bars/itemcontrol.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/managerlist.h"
#include "bars/popupmenu.h"
#include "bars/registry.h"
#include "bars/strings.h"
#include "bars/subitem.h"
#include "bars/system.h"
#include "bars/toolbar.h"
#include "classes/forms.h"
#include "lookandfeel/objectlinks.h"
#include "lookandfeel/text.h"

namespace bars {

namespace {

template <class T> T* Linked(const lf::TcxObjectLink* ALink) {
    return ALink ? static_cast<T*>(ALink->Ref) : nullptr;
}

void Relink(lf::TcxObjectLink*& ALink, cls::TObject* AObject) {
    lf::cxRemoveObjectLink(ALink);
    ALink = AObject ? lf::cxAddObjectLink(AObject) : nullptr;
}

// What the popup's commands work on. The commands run after the popup has
// closed (a click closes the menu first), so they live apart from it and
// find what they edit through object links.
class TCustomizingPopupState : public cls::TObject {
public:
    ~TCustomizingPopupState() override { Clear(); }

    void Clear() {
        for (lf::TcxObjectLink** L : {&Link, &Owner, &Bar}) Relink(*L, nullptr);
        Manager.reset();
    }
    TdxBarManager* GetManager() const {
        return Manager && Manager->Alive() ? static_cast<TdxBarManager*>(Manager->Component()) : nullptr;
    }
    // The links the popup was opened on, found again through their owner.
    TdxBarItemLinks* GetLinks() const {
        cls::TObject* O = Owner ? Owner->Ref : nullptr;
        if (auto* B = dynamic_cast<TdxBar*>(O)) return B->ItemLinks();
        if (auto* S = dynamic_cast<TCustomdxBarSubItem*>(O)) return S->ItemLinks();
        if (auto* P = dynamic_cast<TdxBarPopupMenu*>(O)) return P->ItemLinks();
        return nullptr;
    }

    void CommandClick(cls::TObject* Sender);
    void CaptionChange(cls::TObject* Sender);

    TdxBarCustomizingPopup* Popup = nullptr;
    std::unique_ptr<cls::TComponentGuard> Manager;
    lf::TcxObjectLink* Link = nullptr;
    lf::TcxObjectLink* Owner = nullptr;
    lf::TcxObjectLink* Bar = nullptr;
    bool DesignCommand = false;

private:
    void AddItem(TdxBarManager* AManager, TdxBarItemClass AClass);
};

// Never freed: the object links it holds must not outlive their machinery
// at exit.
TCustomizingPopupState& State() {
    static auto* Instance = new TCustomizingPopupState;
    return *Instance;
}

TdxBarItem* NewInternalItem(cls::TClassOf<TdxBarItem> AClass, TdxBarManager* AManager) {
    TdxBarItem* Item = AClass.Create(AManager->OwnerForm());
    AddInternalItem(Item);
    return Item;
}

} // namespace

// ============================================================================
// The toolbars list's row
// ============================================================================

TdxBarToolbarButton::TdxBarToolbarButton(cls::TComponent* AOwner)
    : TdxBarButton(AOwner), FBar(lf::cxAddObjectLink(nullptr)) {}

TdxBarToolbarButton::~TdxBarToolbarButton() {
    lf::cxRemoveObjectLink(FBar);
}

TdxBar* TdxBarToolbarButton::Bar() const {
    return Linked<TdxBar>(FBar);
}

void TdxBarToolbarButton::SetBar(TdxBar* Value) {
    Relink(FBar, Value);
}

// ============================================================================
// TdxBarToolbarsPopup
// ============================================================================

TdxBarToolbarsPopup::TdxBarToolbarsPopup(TdxBarManager* ABarManager)
    : TdxBarSubMenuControl(ABarManager), FLinks(nullptr) {
    FreeUnusedInternalItems();
    FLinks = new TdxBarItemLinks(this, ABarManager);
    SetItemLinks(FLinks);
    ABarManager->FillToolbarsList(FLinks);
}

TdxBarToolbarsPopup::~TdxBarToolbarsPopup() {
    Destroying();
    DestroyHandle();
    TdxBarItemLinks* Links = FLinks;
    FLinks = nullptr;
    SetItemLinks(nullptr);
    delete Links;
}

void ShowBarToolbarsPopup(cls::TObject*, TdxBarManager* ABarManager, cls::TPoint P) {
    if (!ABarManager) return;
    auto* Popup = new TdxBarToolbarsPopup(ABarManager);
    lf::TcxObjectLinkScope Alive(Popup);
    if (!Popup->ItemLinks() || Popup->ItemLinks()->Count() == 0) {
        delete Popup;
        return;
    }
    CloseActiveBarControl();
    if (!Alive.Alive()) return;
    Popup->SetLeft(P.x);
    Popup->SetTop(P.y);
    Popup->SetAnimate(true);
    Popup->ShowAnimated();
}

// ============================================================================
// TdxBarCustomizingPopup
// ============================================================================

TdxBarCustomizingPopup::TdxBarCustomizingPopup(TdxBarManager* ABarManager)
    : TdxBarSubMenuControl(ABarManager), FLinks(nullptr) {
    FLinks = new TdxBarItemLinks(this, ABarManager);
    SetItemLinks(FLinks);
}

TdxBarCustomizingPopup::~TdxBarCustomizingPopup() {
    if (State().Popup == this) State().Popup = nullptr;
    Destroying();
    DestroyHandle();
    TdxBarItemLinks* Links = FLinks;
    FLinks = nullptr;
    SetItemLinks(nullptr);
    delete Links;
}

TdxBarCustomizingPopup* TdxBarCustomizingPopup::CreateForLink(TdxBarManager* ABarManager,
                                                              TdxBarItemLinks* AItemLinks,
                                                              TdxBarItemLink* ALink) {
    if (!ABarManager) return nullptr;
    if (TdxBarCustomizingPopup* Open = State().Popup) Open->CloseAndFree();
    FreeUnusedInternalItems();
    TCustomizingPopupState& S = State();
    S.Clear();
    S.Manager = std::make_unique<cls::TComponentGuard>(ABarManager);
    Relink(S.Link, ALink);
    Relink(S.Owner, AItemLinks ? AItemLinks->LinksOwner() : nullptr);
    auto* Toolbar = AItemLinks ? dynamic_cast<TdxBarControl*>(AItemLinks->BarControl()) : nullptr;
    Relink(S.Bar, Toolbar ? Toolbar->Bar() : nullptr);
    auto* Popup = new TdxBarCustomizingPopup(ABarManager);
    S.Popup = Popup;
    Popup->Build(AItemLinks, ALink);
    Popup->SetAnimate(false);
    return Popup;
}

void TdxBarCustomizingPopup::Build(TdxBarItemLinks* AItemLinks, TdxBarItemLink* ALink) {
    TdxBarManager* Manager = GetBarManager();
    const bool Design = Manager->Designing();
    const bool DeleteBar =
        Design && !ALink && AItemLinks && dynamic_cast<TdxBarControl*>(AItemLinks->BarControl());
    FOffset = !Design ? 0 : DeleteBar ? 4 : 3;
    int Count = 8;
    if (Design) Count = !ALink ? 0 : Manager->IsNonStandardStyle() ? 10 : 9;
    const cls::TResStringRec* Captions[] = {&dxSBAR_POPUPRESET,
                                            &dxSBAR_POPUPDELETE,
                                            Design ? &dxSBAR_POPUPCAPTION : &dxSBAR_POPUPNAME,
                                            &dxSBAR_POPUPDEFAULTSTYLE,
                                            &dxSBAR_POPUPTEXTONLYALWAYS,
                                            &dxSBAR_POPUPTEXTONLYINMENUS,
                                            &dxSBAR_POPUPIMAGEANDTEXT,
                                            &dxSBAR_POPUPBEGINGROUP,
                                            &dxSBAR_POPUPVISIBLE,
                                            &dxSBAR_POPUPMOSTRECENTLYUSED};
    const cls::TResStringRec* Adds[] = {&dxSBAR_ADDSUBITEM, &dxSBAR_ADDBUTTON, &dxSBAR_ADDITEM,
                                        &dxSBAR_DELETEBAR};
    TCustomizingPopupState& S = State();
    for (int Index = Design ? cmdAddSubItem : 0; Index < Count; ++Index) {
        if (Index == cmdDeleteBar && !DeleteBar) continue;
        cls::TClassOf<TdxBarItem> Class = TdxBarButton::ClassInfo();
        // Menus opened from the "Add &Item" sub item do not customize, as
        // their parent, this popup, does not.
        if (Index == cmdAddItem) Class = TdxBarSubItem::ClassInfo();
        if (Index == cmdCaption) Class = TdxBarEdit::ClassInfo();
        TdxBarItem* Item = NewInternalItem(Class, Manager);
        Item->SetCaption(lf::cxGetResourceString(Index < 0 ? *Adds[Index + 4] : *Captions[Index]));
        Item->SetTag(Index);
        Item->SetOnClick(cls::TNotifyEvent(&S, &TCustomizingPopupState::CommandClick));
        if (auto* Button = dynamic_cast<TdxBarButton*>(Item); Button && Index >= cmdDefaultStyle) {
            Button->SetButtonStyle(bsChecked);
            if (Index <= cmdImageAndText) Button->SetGroupIndex(-1000);
        }
        const bool Group = Index == cmdDeleteBar || Index == cmdReset || Index == cmdCaption ||
                           Index == cmdDefaultStyle || Index == cmdBeginGroup;
        FLinks->Add(Item)->SetBeginGroup(Group);
        if (Index == cmdAddItem) {
            auto* Classes = static_cast<TdxBarSubItem*>(Item);
            for (int K = 0; K < GetVisibleItemClassCount(); ++K) {
                TdxBarItem* Entry = NewInternalItem(TdxBarButton::ClassInfo(), Manager);
                Entry->SetCaption(GetVisibleItemClass(K)->ClassName());
                Entry->SetTag(cmdFirstItemClass - K);
                Entry->SetOnClick(cls::TNotifyEvent(&S, &TCustomizingPopupState::CommandClick));
                Classes->ItemLinks()->Add(Entry);
            }
        }
    }
    if (ALink) {
        auto* Edit = static_cast<TdxBarEdit*>(CommandItem(cmdCaption));
        Edit->SetText(ALink->GetCaption());
        Edit->SetOnChange(cls::TNotifyEvent(&S, &TCustomizingPopupState::CaptionChange));
        const bool Styles = dynamic_cast<TdxBarButton*>(ALink->Item()) != nullptr;
        for (int Index = cmdDefaultStyle; Index <= cmdImageAndText; ++Index)
            CommandItem(Index)->SetEnabled(Styles);
        const int Style = cmdDefaultStyle + (Styles ? static_cast<int>(ALink->GetPaintStyle()) : 0);
        static_cast<TdxBarButton*>(CommandItem(Style))->SetDown(true);
        TdxBarItem* Group = CommandItem(cmdBeginGroup);
        Group->SetEnabled(ALink->Index() >= 1);
        static_cast<TdxBarButton*>(Group)->SetDown(ALink->BeginGroup());
        if (auto* Visible = static_cast<TdxBarButton*>(CommandItem(cmdVisible)))
            Visible->SetDown(ALink->Visible());
        if (auto* Recent = static_cast<TdxBarButton*>(CommandItem(cmdMostRecentlyUsed)))
            Recent->SetDown(ALink->MostRecentlyUsed());
    }
    Manager->DoShowCustomizingPopup(FLinks);
}

TdxBarItem* TdxBarCustomizingPopup::CommandItem(int AIndex) const {
    if (!FLinks) return nullptr;
    for (int I = 0; I < FLinks->Count(); ++I) {
        TdxBarItem* Item = FLinks->Items(I)->Item();
        if (Item && Item->Tag() == AIndex) return Item;
    }
    return nullptr;
}

void TdxBarCustomizingPopup::DoCloseUp() {
    TdxBarItemLink* Link = GetBarCustomizingPopupLink();
    TdxBarManager* Manager = Link ? Link->GetBarManager() : nullptr;
    TCustomdxBarControl* Window = Link ? Link->GetBarControl() : nullptr;
    if (Manager && !Manager->IsCustomizing() && IsBarControlAlive(Window) && Link->Control() &&
        Window->SelectedControl() == Link->Control()) {
        Manager->SetSelectedItemControl(nullptr);
        if (IsBarControlAlive(Window)) Window->SetHotControl(nullptr);
    }
    inherited::DoCloseUp();
}

TdxBarCustomizingPopup* GetBarCustomizingPopup() {
    return State().Popup;
}

TdxBarItemLink* GetBarCustomizingPopupLink() {
    return Linked<TdxBarItemLink>(State().Link);
}

void ShowBarCustomizingPopup(TCustomdxBarControl* ABarControl, TdxBarItemLink* ALink, cls::TPoint P) {
    if (!IsBarControlAlive(ABarControl)) return;
    TdxBarCustomizingPopup* Popup =
        TdxBarCustomizingPopup::CreateForLink(ABarControl->GetBarManager(), ABarControl->ItemLinks(), ALink);
    if (!Popup) return;
    Popup->SetLeft(P.x);
    Popup->SetTop(P.y);
    Popup->ShowAnimated();
}

// ============================================================================
// The commands
// ============================================================================

void TCustomizingPopupState::CommandClick(cls::TObject* Sender) {
    auto* Command = dynamic_cast<TdxBarItem*>(Sender);
    TdxBarManager* Manager = GetManager();
    if (!Command || !Manager) return;
    const int Index = static_cast<int>(Command->Tag());
    TdxBarItemLink* Edited = Linked<TdxBarItemLink>(Link);
    if (Index >= 0) {
        if (!Edited) return;
        switch (Index) {
            case TdxBarCustomizingPopup::cmdReset:
                Edited->SetUserDefine(TdxBarUserDefines{});
                break;
            case TdxBarCustomizingPopup::cmdDelete:
                Relink(Link, nullptr);
                delete Edited;
                break;
            case TdxBarCustomizingPopup::cmdDefaultStyle:
            case TdxBarCustomizingPopup::cmdTextOnlyAlways:
            case TdxBarCustomizingPopup::cmdTextOnlyInMenus:
            case TdxBarCustomizingPopup::cmdImageAndText:
                Edited->SetUserPaintStyle(
                    static_cast<TdxBarPaintStyle>(Index - TdxBarCustomizingPopup::cmdDefaultStyle));
                break;
            case TdxBarCustomizingPopup::cmdBeginGroup:
                Edited->SetBeginGroup(!Edited->BeginGroup());
                break;
            case TdxBarCustomizingPopup::cmdVisible:
                Edited->SetVisible(!Edited->Visible());
                break;
            case TdxBarCustomizingPopup::cmdMostRecentlyUsed:
                Edited->SetMostRecentlyUsed(!Edited->MostRecentlyUsed());
                break;
            default:
                break;
        }
        return;
    }
    const bool Previous = DesignCommand;
    DesignCommand = true;
    struct TRestore {
        bool& Flag;
        bool Value;
        ~TRestore() { Flag = Value; }
    } Restore{DesignCommand, Previous};
    if (Index == TdxBarCustomizingPopup::cmdDeleteBar) {
        TdxBar* TheBar = Linked<TdxBar>(Bar);
        Clear();
        if (!TheBar) return;
        BarCustomizingFormRemoveBar(TheBar);
        delete TheBar;
    } else if (Index == TdxBarCustomizingPopup::cmdAddSubItem) {
        AddItem(Manager, TdxBarSubItem::ClassInfo());
    } else if (Index == TdxBarCustomizingPopup::cmdAddButton) {
        AddItem(Manager, TdxBarButton::ClassInfo());
    } else if (Index <= TdxBarCustomizingPopup::cmdFirstItemClass) {
        if (TdxBarItemClass Class = GetVisibleItemClass(TdxBarCustomizingPopup::cmdFirstItemClass - Index))
            AddItem(Manager, Class);
    }
}

void TCustomizingPopupState::AddItem(TdxBarManager* AManager, TdxBarItemClass AClass) {
    TdxBarItemLinks* Links = GetLinks();
    if (!Links || !AManager->OwnerForm()) return;
    TdxBarItem* Item = AClass.Create(AManager->OwnerForm());
    const int Default = AManager->Categories()->IndexOf(lf::cxGetResourceString(dxSBAR_DEFAULTCATEGORYNAME));
    Item->SetCategory(Default < 0 ? 0 : Default);
    Item->SetName(GetUniqueItemName(AManager, AClass));
    Item->SetCaption("New Item");
    TdxBarItemLink* Edited = Linked<TdxBarItemLink>(Link);
    Links->BeginUpdate();
    TdxBarItemLink* New = nullptr;
    try {
        New = Links->Add(Item);
        if (Edited && Edited->Collection() == Links) New->SetIndex(Edited->Index() + 1);
    } catch (...) {
        Links->EndUpdate();
        throw;
    }
    Links->EndUpdate();
    BarCustomizingFormItemAdded(Item);
    lf::TcxObjectLinkScope NewAlive(New);
    TCustomdxBarControl* Window = Links->BarControl();
    if (!IsBarControlAlive(Window)) return;
    Window->RepaintBar();
    if (!NewAlive.Alive() || !IsBarControlAlive(Window)) return;
    const cls::TRect R = New->ItemRect();
    if (New->Control() && R.right > R.left && R.bottom > R.top)
        AManager->SetSelectedItemControl(New->Control());
}

void TCustomizingPopupState::CaptionChange(cls::TObject* Sender) {
    auto* Edit = dynamic_cast<TdxBarEdit*>(Sender);
    TdxBarItemLink* Edited = Linked<TdxBarItemLink>(Link);
    TdxBarManager* Manager = GetManager();
    if (!Edit || !Edited || !Manager) return;
    const std::string Text = Edit->Text();
    if (Text.empty()) {
        if (Popup) Popup->CloseAndFree();
        cls::Application->MessageBox(lf::cxGetResourceString(dxSBAR_BLANKCOMMANDNAME),
                                     cls::Application->Title(), win::MB_ICONERROR);
        return;
    }
    if (Manager->Designing() && Edited->Item()) {
        const bool Previous = DesignCommand;
        DesignCommand = true;
        Edited->Item()->SetCaption(Text);
        DesignCommand = Previous;
        Manager->DesignerModified();
    } else {
        Edited->SetUserCaption(Text);
    }
}

bool IsCustomizingPopupCommandRunning() {
    return State().DesignCommand;
}

} // namespace bars
