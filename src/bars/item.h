// Items: command components of the form. An item carries what a command looks
// like and does (caption, hint, glyph, shortcut, state, click event, action)
// and shows wherever a link refers to it: in toolbars, popup menus and sub
// items. The manager lists the items of its form; an item frees every link to
// it when it goes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "bars/types.h"
#include "classes/actions.h"
#include "classes/component.h"
#include "classes/graphics.h"
#include "classes/shortcuts.h"

namespace cls {
class TCustomImageList;
}

namespace bars {

// The image lists of the manager, for the item operations that ask whether an
// item draws from one of them.
enum TdxBarImageListKind {
    ilkImages,
    ilkLargeImages,
    ilkHotImages,
    ilkDisabledImages,
    ilkDisabledLargeImages
};

enum TdxBarItemAlign : unsigned char { iaLeft, iaCenter, iaRight, iaClient };

class TdxBarItemActionLink;
using TdxBarItemActionLinkClass = cls::TActionLinkClassOf<TdxBarItemActionLink>;

// ============================================================================
// TdxBarItem
// ============================================================================

class TdxBarItem : public cls::TComponent {
    TRESTLE_CLASS(TdxBarItem, cls::TComponent)
public:
    // With a form as owner the item joins the form's manager, else the first
    // manager of the process (when there is one). Without any manager the
    // item answers its manager-dependent queries with neutral values.
    explicit TdxBarItem(cls::TComponent* AOwner);
    void GetPublishedProperties(cls::TPublishedProperties& AList) override;
    ~TdxBarItem() override;
    // Fires OnDestroy and frees the item's links, last first (under the
    // manager's update lock when one of them shows in a toolbar window).
    void BeforeDestruction() override;
    // Applies the action again (only the values still at their defaults)
    // and fires the after-load event.
    void Loaded() override;

    TdxBarManager* BarManager() const { return FBarManager; }

    // --- Published properties ---
    cls::TBasicAction* Action() const;
    // Nil frees the action link. The action's values are taken over at once.
    void SetAction(cls::TBasicAction* Value);
    TdxBarItemAlign Align() const { return FAlign; }
    void SetAlign(TdxBarItemAlign Value);
    const std::string& Caption() const { return FCaption; }
    // The hint follows the caption while it was derived from it (the text
    // without its first "&" and first "..."); a long hint part after "|" is
    // kept. A sub item's hint never follows, nor does one while an action
    // pushes its caption.
    void SetCaption(const std::string& Value);
    // -1: no category. Outside loading only an index of the manager's
    // categories is taken; other values are ignored.
    int Category() const { return FCategory; }
    void SetCategory(int Value);
    const std::string& Description() const { return FDescription; }
    void SetDescription(const std::string& Value);
    // The stored flag, but an item with a category reads as enabled while the
    // manager customizes at run time, so every command can be dragged.
    bool Enabled() const { return GetEnabled(); }
    bool GetEnabled() const;
    void SetEnabled(bool Value);
    // Owned; a change of the bitmap reaches GlyphChanged.
    cls::TBitmap* Glyph() const { return FGlyph; }
    void SetGlyph(cls::TBitmap* Value);
    cls::THelpContext HelpContext() const { return FHelpContext; }
    void SetHelpContext(cls::THelpContext Value) { FHelpContext = Value; }
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    int ImageIndex() const { return GetImageIndex(); }
    virtual int GetImageIndex() const { return FImageIndex; }
    virtual void SetImageIndex(int Value) { SetImageIndexValue(Value); }
    cls::TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(cls::TShortCut Value);
    bool UnclickAfterDoing() const { return FUnclickAfterDoing; }
    void SetUnclickAfterDoing(bool Value) { FUnclickAfterDoing = Value; }
    TdxBarItemVisible Visible() const { return FVisible; }
    // While loading only the loaded value changes (applied by the manager).
    void SetVisible(TdxBarItemVisible Value);
    TdxBarItemVisible LoadedVisible() const { return FLoadedVisible; }
    // Applies the value kept while loading.
    void ApplyLoadedVisible();

    cls::TNotifyEvent OnClick() const { return FOnClick; }
    void SetOnClick(cls::TNotifyEvent Value) { FOnClick = Value; }
    cls::TNotifyEvent OnDestroy() const { return FOnDestroy; }
    void SetOnDestroy(cls::TNotifyEvent Value) { FOnDestroy = Value; }
    // Not published: fired at the end of Loaded.
    cls::TNotifyEvent OnAfterLoad() const { return FOnAfterLoad; }
    void SetOnAfterLoad(cls::TNotifyEvent Value) { FOnAfterLoad = Value; }

    // --- Clicking ---
    // The one path by which the command runs: nothing when disabled;
    // otherwise the manager's OnClickItem, then DoClick. Exceptions go to the
    // application's handler and never leave. The item may be destroyed by
    // the handlers.
    virtual void Click();
    // Shortcuts and accelerators: Click when CanClickDirectly.
    virtual void DirectClick();
    // OnClick, unless it is the action's own OnExecute; else the action.
    virtual void DoClick();
    virtual bool CanClickDirectly() const { return true; }
    // The link whose item control is clicking the item (set and cleared by
    // the control around Click), else nil.
    TdxBarItemLink* ClickItemLink() const { return FClickItemLink; }
    void SetClickItemLink(TdxBarItemLink* Value) { FClickItemLink = Value; }

    // --- State and lookups ---
    // Whether the item's links may show: ivAlways when visible for the user
    // (or while customizing), ivInCustomizing only while customizing.
    bool GetActualVisible() const;
    virtual bool IsVisibleForUser() const { return true; }
    // The first link whose control is active, else nil.
    TdxBarItemLink* GetActiveLink() const;
    // True when any link of the item has an item control.
    bool HasLinkControls() const;
    // Position in the manager's item list, -1 without manager.
    int GetIndex() const;
    // The manager's Images list, nil without manager.
    virtual cls::TCustomImageList* GetImages() const;
    // The image list exists and 0 <= ImageIndex < its count.
    bool IsImageIndexValid() const;
    // The item's accelerator may be used from ALink.
    virtual bool CanUseAccelerator(TdxBarItemLink* ALink) const;
    TdxBarItemActionLink* ActionLink() const { return FActionLink; }
    // True only while the action link pushes its caption with CheckDefaults.
    bool CaptionIsFromAction() const { return FCaptionIsFromAction; }

    int LinkCount() const { return static_cast<int>(FLinks.size()); }
    TdxBarItemLink* Links(int Index) const { return FLinks.at(static_cast<std::size_t>(Index)); }

    // Category > -1: the manager is the streaming parent.
    bool HasParent() const override { return FCategory > -1; }
    cls::TComponent* GetParentComponent() const override;

    // --- Notifications to the controls of the links ---
    virtual void CaptionChanged();
    virtual void EnabledChanged();
    virtual void GlyphChanged();
    virtual void ShortCutChanged();
    virtual void VisibleChanged();
    void RepaintLinkControls();
    void RepaintLinkBars();

    // --- Hooks of the manager's image updates ---
    virtual bool UsesImageList(TdxBarImageListKind) const { return false; }
    virtual void ImageListChanged(TdxBarImageListKind) {}

protected:
    // The item moved to another manager (sub item: its links follow).
    virtual void BarManagerChanged() {}
    virtual void SetImageIndexValue(int Value);
    // Moves the item to a manager (the reader's parent, or a designer's choice).
    void SetParentComponent(cls::TComponent* Value) override;
    // A manager the item is read under becomes its manager.
    void ReadState(cls::TReader* Reader) override;
    void Notification(cls::TComponent* AComponent, cls::TOperation Operation) override;

    // Takes over the action's values; with CheckDefaults only those still at
    // their defaults.
    virtual void ActionChange(cls::TObject* Sender, bool CheckDefaults);
    virtual TdxBarItemActionLinkClass GetActionLinkClass() const;
    // Copies the item's values into a TCustomAction.
    void AssignTo(cls::TPersistent* Dest) override;
    // Runs AOperation on the control of every link that has one; a control
    // may free links on the way. ASkip: links whose user value overrides.
    void ForEachLinkControl(const std::function<void(TdxBarItemControl*)>& AOperation);
    void ForEachLinkControl(TdxBarUserDefine ASkip,
                            const std::function<void(TdxBarItemControl*)>& AOperation);
    bool IsLoading() const { return ComponentState().Contains(cls::csLoading); }
    bool IsDestroying() const { return ComponentState().Contains(cls::csDestroying); }

private:
    friend class TdxBarItemLink;
    friend class TdxBarItemActionLink;
    friend class TdxBarManagerCategories;

    // The link collection keeps the item's list of links.
    void AddLink(TdxBarItemLink* ALink);
    void RemoveLink(TdxBarItemLink* ALink);
    void SetBarManager(TdxBarManager* Value);
    // The categories renumber their items through here, parking them on an
    // index outside the list while they move.
    void SetCategoryValue(int Value) { FCategory = Value; }
    void DoActionChange(cls::TObject* Sender);
    void GlyphBitmapChanged(cls::TObject* Sender);
    void FreeLinks();

    TdxBarItemActionLink* FActionLink = nullptr;
    TdxBarItemAlign FAlign = iaLeft;
    TdxBarManager* FBarManager = nullptr;
    std::string FCaption;
    int FCategory = -1;
    bool FCaptionIsFromAction = false;
    TdxBarItemLink* FClickItemLink = nullptr;
    std::string FDescription;
    bool FEnabled = true;
    cls::TBitmap* FGlyph = nullptr;
    cls::THelpContext FHelpContext = 0;
    std::string FHint;
    int FImageIndex = -1;
    std::vector<TdxBarItemLink*> FLinks;
    TdxBarItemVisible FLoadedVisible = ivAlways;
    cls::TShortCut FShortCut = 0;
    bool FUnclickAfterDoing = false;
    TdxBarItemVisible FVisible = ivAlways;
    cls::TNotifyEvent FOnClick;
    cls::TNotifyEvent FOnAfterLoad;
    cls::TNotifyEvent FOnDestroy;
};

using TdxBarItemClass = cls::TClassOf<TdxBarItem>;

// ============================================================================
// TdxBarItemActionLink
// ============================================================================

// Keeps an item in step with its action: each IsXxxLinked holds while the
// item still shows the action's value, and each setter pushes a new value to
// the item only then.
class TdxBarItemActionLink : public cls::TActionLink {
    TRESTLE_CLASS(TdxBarItemActionLink, cls::TActionLink)
public:
    TdxBarItemActionLink() = default;

    TdxBarItem* Client() const { return FClient; }

    bool IsCaptionLinked() override;
    // Only for a button (compared with Down).
    bool IsCheckedLinked() override;
    bool IsEnabledLinked() override;
    bool IsHelpContextLinked() override;
    // Equal, or the item's hint is still the one derived from its caption.
    bool IsHintLinked() override;
    bool IsImageIndexLinked() override;
    bool IsShortCutLinked() override;
    // Against the loaded Visible while the item loads.
    bool IsVisibleLinked() override;
    bool IsOnExecuteLinked() override;

    void SetCaption(const std::string& Value) override;
    void SetChecked(bool Value) override;
    void SetEnabled(bool Value) override;
    void SetHelpContext(cls::THelpContext Value) override;
    void SetHint(const std::string& Value) override;
    void SetImageIndex(cls::TImageIndex Value) override;
    void SetShortCut(cls::TShortCut Value) override;
    void SetVisible(bool Value) override;
    void SetOnExecute(cls::TNotifyEvent Value) override;

protected:
    void AssignClient(cls::TObject* AClient) override;

private:
    TdxBarItem* FClient = nullptr;
};

// The hint text a caption gives: the caption without its first "&" and then
// without its first "...".
std::string GetHintFromCaption(const std::string& ACaption);

} // namespace bars

// The links come with the items: code that works with one works with the other.
#include "bars/links.h"
