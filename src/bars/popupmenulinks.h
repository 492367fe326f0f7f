// Popup-menu links attach a popup menu to a windowed control of the manager's
// form: its context menu and the shortcuts of the menu's commands.
//
// The manager's hooks hand the links every right-button release over a
// control of the form and every context-menu key (Shift+F10, the menu key),
// and every key press as a shortcut. The links of the control itself are
// tried first, in their order, then those of its parents that also serve
// their children (ProcessChildren). A link asks the control first
// (OnContextPopup), then its OnAction, which may move the menu or refuse it;
// a refusal also keeps the menu's shortcuts from that control.
#pragma once

#include "bars/types.h"
#include "classes/collections.h"
#include "classes/controls.h"
#include "classes/events.h"
#include "classes/shortcuts.h"
#include "win/defs.h"

namespace bars {

class TdxBarPopupMenu;
class TdxBarPopupMenuLink;

// X and Y are in the control's client coordinates (-1, -1 for a shortcut);
// the handler may move the point or clear AllowPopup.
using TdxBarPopupMenuLinkActionEvent =
    cls::TEvent<void(TdxBarPopupMenuLink* Sender, int& X, int& Y, bool ClickedByMouse, bool& AllowPopup)>;

// Attaches a popup menu to a windowed control of the manager's form.
class TdxBarPopupMenuLink : public cls::TCollectionItem {
    TRESTLE_CLASS(TdxBarPopupMenuLink, cls::TCollectionItem)
public:
    explicit TdxBarPopupMenuLink(cls::TCollection* ACollection);
    ~TdxBarPopupMenuLink() override;

    TdxBarPopupMenuLinks* Links() const;
    // Copies Control and PopupMenu by name from the manager's form, and
    // ProcessChildren.
    void Assign(cls::TPersistent* Source) override;
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;

    cls::TWinControl* Control() const { return FControl; }
    // A control of a form with another manager is refused (Control becomes nil).
    void SetControl(cls::TWinControl* Value);
    TdxBarPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TdxBarPopupMenu* Value);
    bool ProcessChildren() const { return FProcessChildren; }
    void SetProcessChildren(bool Value) { FProcessChildren = Value; }
    TdxBarPopupMenuLinkActionEvent OnAction() const { return FOnAction; }
    void SetOnAction(TdxBarPopupMenuLinkActionEvent Value) { FOnAction = Value; }

    // The context menu asked for on AWnd (the control's window or one inside
    // it) by AMessage, a WM_CONTEXTMENU: a screen point, or (-1, -1) from the
    // keyboard, which opens the menu at AWnd's caret, else at AWnd's top-left
    // corner. Returns when the menu closed: true when it was shown (or the
    // control's OnContextPopup took the message).
    bool ShowPopup(win::HWND AWnd, const cls::TMessage& AMessage);
    // The menu's command of that shortcut runs, unless OnAction refuses.
    bool IsShortCut(cls::TShortCut AShortCut);

private:
    // Runs OnAction; false when the link went meanwhile.
    bool DoAction(int& X, int& Y, bool AClickedByMouse, bool& AAllowPopup);

    cls::TWinControl* FControl = nullptr;
    TdxBarPopupMenu* FPopupMenu = nullptr;
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

    // A WM_CONTEXTMENU for AWnd, a window of AControl (see ShowPopup); true
    // when a link showed its menu. Nothing in design mode.
    bool HandleContextMenu(cls::TWinControl* AControl, win::HWND AWnd, const cls::TMessage& AMessage);
    // A key pressed in AControl; true when a linked menu ran its command.
    bool HandleShortCut(cls::TWinControl* AControl, cls::TShortCut AShortCut);

protected:
    cls::TPersistent* GetOwner() override;

private:
    // Tries the links of AControl, then those with ProcessChildren of its
    // parents, until ATry answers true.
    template <class F> bool TryLinks(cls::TWinControl* AControl, F ATry);

    TdxBarManager* FBarManager;
};

} // namespace bars
