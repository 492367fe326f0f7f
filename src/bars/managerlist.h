// The list of every live bar manager of the process, and what serves all of
// them at once: the thread hooks that watch the GUI thread, the item-hint
// timing and the one hint window.
//
// The list exists between the library's start and end (CreateBarManagerList
// and FreeBarManagerList, called by them); managers join it when they are
// built and leave it when they are freed. The first manager installs a
// keyboard, a mouse and a call-window-procedure hook on its thread and the
// last one removes them. Through them the library routes keys to the window
// in menu mode, closes menus on a click outside them and gives each manager
// the messages of its owner form; no form is subclassed.
#pragma once

#include <string>

#include "bars/types.h"
#include "classes/lists.h"
#include "win/defs.h"

namespace bars {

class TdxBarHintWindow;

class TdxBarManagerList : public cls::TObject {
    TRESTLE_CLASS(TdxBarManagerList, cls::TObject)
public:
    TdxBarManagerList() = default;
    // Frees every manager still listed (always the first, until none is left).
    ~TdxBarManagerList() override;

    int GetCount() const { return FList.Count(); }
    int Count() const { return GetCount(); }
    // nullptr out of range.
    TdxBarManager* GetItem(int Index) const;
    TdxBarManager* operator[](int Index) const { return GetItem(Index); }
    int IndexOf(const TdxBarManager* AManager) const;
    // The first manager that is customizing or designing, else nullptr.
    TdxBarManager* GetCustomizingManager() const;

private:
    friend void AddBarManagerToList(TdxBarManager* AManager);
    friend void RemoveBarManagerFromList(TdxBarManager* AManager);
    cls::TList FList;
};

// The process's list; nullptr outside the library's start and end.
TdxBarManagerList* dxBarManagerList();
// Called by the library's start and end. Creating an existing list or
// freeing a missing one does nothing.
void CreateBarManagerList();
void FreeBarManagerList();

// Called by the manager's constructor and destructor. Adding needs the list
// (the manager starts the library first); a listed manager is not added
// twice. The first manager brings the hooks (and, unless it is designed, the
// hint window); when the last one leaves they go.
void AddBarManagerToList(TdxBarManager* AManager);
void RemoveBarManagerFromList(TdxBarManager* AManager);

// The three hooks are installed.
bool AreBarHooksInstalled();
// The shared hint window, nullptr when there is none.
TdxBarHintWindow* GetBarHintWindow();

// Leaves menu mode: the chain of the active bar window closes.
void CloseActiveBarControl();

// The mouse message the mouse hook is routing and its screen point, while
// the hook runs (0 otherwise): a window that the message closes learns what
// closed it, whatever the buttons are doing by then.
win::UINT GetHookMouseMessage(win::POINT* APoint = nullptr);

// Set while a toolbar window holds one of its own buttons pressed with the
// mouse captured: the keyboard hook swallows every key then.
void SetToolbarButtonTracking(bool Value);
bool ToolbarButtonTracking();

// --- Item hints (TdxBarManager::ShowItemHint) ---
void RequestBarItemHint(TdxBarManager* AManager, bool AShow, const std::string& AText);
// A manager that goes stops the hint timers and forgets its pending hint.
void CancelBarItemHint(TdxBarManager* AManager);

// The keyboard hook's procedure.
win::LRESULT BarManagerKeyboardHookProc(int Code, win::WPARAM WParam, win::LPARAM LParam);
// A hosted edit hands Alt, F10 and Alt combinations to the hook's handling
// once editing ended (the hook leaves them to an edit being edited); true
// when the hook used the key. The next hooks are not called.
bool HandleKeyFromEdit(win::WPARAM AKey, win::LPARAM AKeyData);

} // namespace bars
