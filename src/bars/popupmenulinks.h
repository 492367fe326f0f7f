// Popup-menu links attach a popup menu to a windowed control of the manager's
// form: its context menu and the shortcuts of the menu's commands.
#pragma once

#include "bars/types.h"
#include "classes/collections.h"
#include "classes/events.h"

namespace cls {
class TComponent;
class TWinControl;
} // namespace cls

namespace bars {

class TdxBarPopupMenuLink;
using TdxBarPopupMenuLinkActionEvent =
    cls::TEvent<void(TdxBarPopupMenuLink* Sender, int& X, int& Y, bool ClickedByMouse, bool& AllowPopup)>;

// Attaches a popup menu to a windowed control of the manager's form.
class TdxBarPopupMenuLink : public cls::TCollectionItem {
    TRESTLE_CLASS(TdxBarPopupMenuLink, cls::TCollectionItem)
public:
    explicit TdxBarPopupMenuLink(cls::TCollection* ACollection);

    TdxBarPopupMenuLinks* Links() const;
    void Assign(cls::TPersistent* Source) override;

    cls::TWinControl* Control() const { return FControl; }
    // A control of a form with another manager is refused (Control becomes nil).
    void SetControl(cls::TWinControl* Value);
    cls::TComponent* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(cls::TComponent* Value);
    bool ProcessChildren() const { return FProcessChildren; }
    void SetProcessChildren(bool Value) { FProcessChildren = Value; }
    TdxBarPopupMenuLinkActionEvent OnAction() const { return FOnAction; }
    void SetOnAction(TdxBarPopupMenuLinkActionEvent Value) { FOnAction = Value; }

private:
    cls::TWinControl* FControl = nullptr;
    cls::TComponent* FPopupMenu = nullptr;
    bool FProcessChildren = true;
    TdxBarPopupMenuLinkActionEvent FOnAction;
};

class TdxBarPopupMenuLinks : public cls::TCollection {
    TRESTLE_CLASS(TdxBarPopupMenuLinks, cls::TCollection)
public:
    explicit TdxBarPopupMenuLinks(TdxBarManager* ABarManager);

    TdxBarManager* BarManager() const { return FBarManager; }
    TdxBarPopupMenuLink* Add() { return static_cast<TdxBarPopupMenuLink*>(cls::TCollection::Add()); }
    TdxBarPopupMenuLink* Items(int Index) const {
        return static_cast<TdxBarPopupMenuLink*>(cls::TCollection::Items(Index));
    }

protected:
    cls::TPersistent* GetOwner() override;

private:
    TdxBarManager* FBarManager;
};

} // namespace bars
