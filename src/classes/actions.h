// Actions and action links.
//
// An action is a command component: what it looks like (caption, hint, image,
// shortcut), its state (enabled, checked, visible) and what it does
// (OnExecute). Clients follow an action through an action link: the action
// calls the link's setter for every change before it stores the new value,
// so a setter can ask IsXxxLinked whether the client still shows the old
// value and copy the new one only then. The action's Change reaches every
// link's OnChange.
//
// Execute order: TCustomAction::Execute updates the action, toggles Checked
// for AutoCheck, and when enabled offers the execution to its action list's
// OnExecute; when that does not handle it, OnExecute runs.
#pragma once

#include <string>
#include <type_traits>
#include <vector>

#include "classes/component.h"
#include "classes/events.h"
#include "classes/shortcuts.h"

namespace cls {

class TBasicAction;
class TBasicActionLink;
class TActionList;
class TCustomImageList;
class TChangeLink;

template <class T> class TActionLinkClassOf;
template <class U> TActionLinkClassOf<U> ActionLinkClass();

using THelpContext = int;
using TImageIndex = int;

// ============================================================================
// Action link class references
// ============================================================================

// "class of T" for action links: a class reference whose Create builds a
// link of the referenced class for a client (links are not components, so the
// general class references cannot make them). ActionLinkClass<U>() names U;
// a reference converts to the reference of a base class.
template <class T> class TActionLinkClassOf {
public:
    constexpr TActionLinkClassOf() = default;
    template <class U>
    requires std::is_base_of_v<T, U>
    constexpr TActionLinkClassOf(TActionLinkClassOf<U> AOther)
        : FClass(AOther.FClass), FCreate(AOther.FCreate) {}

    TClass ClassType() const { return FClass; }
    explicit operator bool() const { return FClass != nullptr; }
    friend bool operator==(TActionLinkClassOf A, TActionLinkClassOf B) { return A.FClass == B.FClass; }

    // A new link of the referenced class, its client assigned; nullptr for a
    // null reference.
    T* Create(TObject* AClient) const { return FCreate ? static_cast<T*>(FCreate(AClient)) : nullptr; }

private:
    template <class> friend class TActionLinkClassOf;
    template <class U> friend TActionLinkClassOf<U> ActionLinkClass();
    using TCreate = TBasicActionLink* (*)(TObject*);
    TClass FClass = nullptr;
    TCreate FCreate = nullptr;
};

// ============================================================================
// TBasicAction, TContainedAction, TCustomAction, TAction
// ============================================================================

class TBasicAction : public TComponent {
    TRESTLE_CLASS(TBasicAction, TComponent)
public:
    explicit TBasicAction(TComponent* AOwner);
    ~TBasicAction() override;

    // Runs OnExecute; false when none is assigned.
    virtual bool Execute();
    // Runs OnUpdate; false when none is assigned.
    virtual bool Update();
    // Target-based actions (standard edit actions) answer for the targets
    // they work on; the base handles none.
    virtual bool HandlesTarget(TObject* Target);
    virtual void UpdateTarget(TObject* Target);
    virtual void ExecuteTarget(TObject* Target);

    // The component whose link executes the action, for the duration of the
    // execution (the original's ActionComponent).
    TComponent* ActionComponent() const { return FActionComponent; }
    void SetActionComponent(TComponent* Value);

    TNotifyEvent OnExecute() const { return FOnExecute; }
    // Tells the links (SetOnExecute) before storing.
    void SetOnExecute(TNotifyEvent Value);
    TNotifyEvent OnUpdate() const { return FOnUpdate; }
    void SetOnUpdate(TNotifyEvent Value) { FOnUpdate = Value; }

    int ClientCount() const { return static_cast<int>(FClients.size()); }
    TBasicActionLink* Clients(int Index) const;
    void RegisterChanges(TBasicActionLink* Value);
    void UnRegisterChanges(TBasicActionLink* Value);

protected:
    // Every link's Change, then OnChange.
    virtual void Change();
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }

    std::vector<TBasicActionLink*> FClients;

private:
    TComponent* FActionComponent = nullptr;
    TNotifyEvent FOnChange;
    TNotifyEvent FOnExecute;
    TNotifyEvent FOnUpdate;
};

using TBasicActionClass = TClassOf<TBasicAction>;

// An action kept in an action list.
class TContainedAction : public TBasicAction {
    TRESTLE_CLASS(TContainedAction, TBasicAction)
public:
    explicit TContainedAction(TComponent* AOwner);
    ~TContainedAction() override;

    // Offers the execution (update) to the action list's OnExecute (OnUpdate)
    // first.
    bool Execute() override;
    bool Update() override;

    TActionList* ActionList() const { return FActionList; }
    void SetActionList(TActionList* AActionList);
    const std::string& Category() const { return FCategory; }
    void SetCategory(const std::string& Value);
    // Position in the action list, -1 without one.
    int Index() const;
    void SetIndex(int Value);

    bool HasParent() const override { return FActionList != nullptr; }
    TComponent* GetParentComponent() const override;

protected:
    void SetParentComponent(TComponent* AParent) override;

private:
    friend class TActionList;
    TActionList* FActionList = nullptr;
    std::string FCategory;
};

// OnHint: the action may change the hint text or refuse to show it.
using THintEvent = TEvent<void(std::string& HintStr, bool& CanShow)>;

class TCustomAction : public TContainedAction {
    TRESTLE_CLASS(TCustomAction, TContainedAction)
public:
    explicit TCustomAction(TComponent* AOwner);

    // Updates first; toggles Checked when AutoCheck (not when it would
    // uncheck the checked action of a group); runs only when enabled.
    bool Execute() override;
    // Runs OnHint; false when the hint is not to be shown.
    virtual bool DoHint(std::string& HintStr);

    // Each setter tells the links before it stores the value, then Change.
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    bool Checked() const { return FChecked; }
    // Checking an action of a group (GroupIndex > 0) unchecks the other
    // actions of that group in the action list.
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    THelpContext HelpContext() const { return FHelpContext; }
    void SetHelpContext(THelpContext Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    TImageIndex ImageIndex() const { return FImageIndex; }
    void SetImageIndex(TImageIndex Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value);

    THintEvent OnHint() const { return FOnHint; }
    void SetOnHint(THintEvent Value) { FOnHint = Value; }

private:
    // Unchecks the other checked actions of the group.
    void UncheckGroup();

    std::string FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    THelpContext FHelpContext = 0;
    std::string FHint;
    TImageIndex FImageIndex = -1;
    TShortCut FShortCut = 0;
    bool FVisible = true;
    int FGroupIndex = 0;
    bool FAutoCheck = false;
    THintEvent FOnHint;
};

class TAction : public TCustomAction {
    TRESTLE_CLASS(TAction, TCustomAction)
public:
    explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

// ============================================================================
// TActionList
// ============================================================================

// OnExecute and OnUpdate of an action list: Handled stops the action's own handler.
using TActionEvent = TEvent<void(TBasicAction* Action, bool& Handled)>;

class TActionList : public TComponent {
    TRESTLE_CLASS(TActionList, TComponent)
public:
    explicit TActionList(TComponent* AOwner);
    // Deletes the actions of the list, as the original does.
    ~TActionList() override;

    int ActionCount() const { return static_cast<int>(FActions.size()); }
    // Raises EListError for a bad index.
    TContainedAction* Actions(int Index) const;

    // Runs OnExecute (OnUpdate); true when the handler handled the action.
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);

    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    TActionEvent OnExecute() const { return FOnExecute; }
    void SetOnExecute(TActionEvent Value) { FOnExecute = Value; }
    TActionEvent OnUpdate() const { return FOnUpdate; }
    void SetOnUpdate(TActionEvent Value) { FOnUpdate = Value; }
    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }

protected:
    // OnChange, then every action's Change (an image list change comes here).
    virtual void Change();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void SetChildOrder(TComponent* Component, int Order) override;

private:
    friend class TContainedAction;
    void AddAction(TContainedAction* Action);
    void RemoveAction(TContainedAction* Action);
    void ImageListChange(TObject* Sender);

    std::vector<TContainedAction*> FActions;
    TCustomImageList* FImages = nullptr;
    TChangeLink* FImageChangeLink;
    TActionEvent FOnExecute;
    TActionEvent FOnUpdate;
    TNotifyEvent FOnChange;
};

// ============================================================================
// Action links
// ============================================================================

class TBasicActionLink : public TObject {
    TRESTLE_CLASS(TBasicActionLink, TObject)
public:
    TBasicActionLink() = default;
    // Unregisters from the action.
    ~TBasicActionLink() override;

    TBasicAction* Action() const { return FAction; }
    // Moves the link's registration to the new action.
    virtual void SetAction(TBasicAction* Value);

    // Executes the action with AComponent as its ActionComponent; false
    // without an action.
    virtual bool Execute(TComponent* AComponent = nullptr);
    // Updates the action; false without an action.
    virtual bool Update();

    // Called by the action on every change: OnChange(Action).
    virtual void Change();
    virtual bool IsOnExecuteLinked() { return true; }
    virtual void SetOnExecute(TNotifyEvent) {}

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = Value; }

protected:
    // Takes the client; called once, right after construction by a class reference.
    virtual void AssignClient(TObject*) {}

private:
    template <class U> friend TActionLinkClassOf<U> ActionLinkClass();
    friend class TBasicAction;
    TBasicAction* FAction = nullptr;
    TNotifyEvent FOnChange;
};

using TBasicActionLinkClass = TActionLinkClassOf<TBasicActionLink>;

// The client update protocol: an IsXxxLinked answers whether the client
// follows the action's Xxx (the base: whenever the action is a TCustomAction);
// a setter pushes a new value to the client, and the base setters do nothing.
class TActionLink : public TBasicActionLink {
    TRESTLE_CLASS(TActionLink, TBasicActionLink)
public:
    TActionLink() = default;

    virtual bool IsCaptionLinked();
    virtual bool IsCheckedLinked();
    virtual bool IsEnabledLinked();
    virtual bool IsHelpContextLinked();
    virtual bool IsHintLinked();
    virtual bool IsImageIndexLinked();
    virtual bool IsShortCutLinked();
    virtual bool IsVisibleLinked();

    virtual void SetCaption(const std::string&) {}
    virtual void SetChecked(bool) {}
    virtual void SetEnabled(bool) {}
    virtual void SetHelpContext(THelpContext) {}
    virtual void SetHint(const std::string&) {}
    virtual void SetImageIndex(TImageIndex) {}
    virtual void SetShortCut(TShortCut) {}
    virtual void SetVisible(bool) {}

protected:
    // The action as a TCustomAction, nullptr otherwise.
    TCustomAction* CustomAction() const;
};

using TActionLinkClass = TActionLinkClassOf<TActionLink>;

template <class U> TActionLinkClassOf<U> ActionLinkClass() {
    static_assert(std::is_base_of_v<TBasicActionLink, U>,
                  "an action link class derives from TBasicActionLink");
    TActionLinkClassOf<U> R;
    R.FClass = U::ClassInfo();
    R.FCreate = [](TObject* AClient) -> TBasicActionLink* {
        U* Link = new U();
        static_cast<TBasicActionLink*>(Link)->AssignClient(AClient);
        return Link;
    };
    return R;
}

} // namespace cls
