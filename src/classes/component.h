// TComponent: ownership, names and free notification.
//
// A component owns the components created with it as owner and deletes them
// when it is deleted. Deleting a component
//   1. marks it and its owned components csDestroying (BeforeDestruction),
//   2. sends Notification(it, opRemove) to every component that asked for
//      its free notification (last asker first),
//   3. deletes its owned components, last first (an owned component that
//      asked for free notification leaves through RemoveComponent, so the
//      owner and its other components hear of it; the others leave silently),
//   4. leaves its owner through RemoveComponent: the owner's Notification
//      (opRemove) runs, and the base Notification passes it on to every
//      component the owner owns.
// InsertComponent likewise ends with Notification(opInsert) passed to every
// owned component.
//
// Robustness: a component may be deleted from any notification, including
// its own; the owner may be deleted while one of its components is being
// deleted; deleting a component whose destruction is already running does
// nothing. The loops above notice such deletions and stop touching freed
// objects.
//
// C++ caveats, for authors of descendants:
// - During its own constructor a component is only as derived as the
//   constructor that runs, so an owner's Notification(opInsert) sees a
//   TComponent when the component is inserted by the TComponent constructor.
// - Steps 2-4 run in ~TComponent, after the destructors of the derived
//   classes: a Notification(opRemove) handler sees the removed component as a
//   TComponent (compare pointers, do not downcast), and members of the
//   derived classes are already gone while owned components are deleted. A
//   class whose owned components call back into it while they die must call
//   DestroyComponents() in its own destructor.
// - Delete components with delete (or Free/FreeAndNil): that runs
//   BeforeDestruction first, as the original does.
// - A Notification override that calls the inherited one and then touches
//   its own members must check that it survived: the inherited one runs
//   every owned component's Notification, and any of them may delete the
//   owner. TComponentGuard tells.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "classes/persistent.h"
#include "classes/sets.h"

namespace cls {

enum TComponentStateItem {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

enum TComponentStyleItem { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
using TComponentStyle = TSet<TComponentStyleItem>;

enum TOperation { opInsert, opRemove };

class TComponent;
class TComponentGuard;
class TPublishedMethods;
class TReader;
using TGetChildProc = std::function<void(TComponent* Child)>;

class TComponent : public TPersistent {
    TRESTLE_CLASS(TComponent, TPersistent)
public:
    // The argument of the virtual constructor of component classes.
    using TConstructorArg = TComponent*;

    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    void BeforeDestruction() override;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    // Raises EListError "List index out of bounds (%d)" for a bad index.
    TComponent* Components(int Index) const;
    // Position in the owner's list, -1 without owner.
    int ComponentIndex() const;
    // Moves the component in its owner's list (clipped to the list).
    void SetComponentIndex(int Value);

    const std::string& Name() const { return FName; }
    // Raises EComponentError when NewName is not empty and not a valid
    // identifier, or when another component of the owner has that name
    // (ignoring case).
    virtual void SetName(const std::string& NewName);
    std::intptr_t Tag() const { return FTag; }
    void SetTag(std::intptr_t Value) { FTag = Value; }
    TComponentState ComponentState() const { return FComponentState; }
    TComponentStyle ComponentStyle() const { return FComponentStyle; }
    void SetSubComponent(bool Value);

    // Takes AComponent from its present owner (if any) and makes this
    // component its owner. Raises EComponentError for a duplicate name or when
    // the ownership would become circular.
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // The owned component with that name (ignoring ASCII case), or nullptr.
    TComponent* FindComponent(std::string_view AName) const;

    // Asks for Notification(AComponent, opRemove) when AComponent is deleted
    // (and tells AComponent the same about this one). Needless, and so not
    // recorded, between components of the same owner.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Marks this component and its owned components csDestroying.
    void Destroying();
    // Deletes the owned components, last first.
    void DestroyComponents();

    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }

    std::string GetNamePath() override;

    // Streaming: Tag.
    void GetPublishedProperties(TPublishedProperties& AList) override;
    // The methods the form stream of this component (as a root) may name;
    // the default lists none.
    virtual void GetPublishedMethods(TPublishedMethods& AList);
    // The component the children read after this one's properties take as
    // their parent (the reader's Parent): this component by default.
    virtual TComponent* GetChildParent() { return this; }

protected:
    TPersistent* GetOwner() override { return FOwner; }
    // The reader reads this component's properties and its children
    // (ReadData). Descendants take what they need from the reader first (a
    // control its parent, an item its manager).
    virtual void ReadState(TReader* Reader);

    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // Called by the form reader when the component has been read; clears csLoading.
    virtual void Loaded();
    virtual void Updating();
    virtual void Updated();
    // Calls Proc for each child the form writer stores with this component.
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
    virtual void SetChildOrder(TComponent* Child, int Order);
    virtual void SetParentComponent(TComponent* Value);

    virtual void ValidateRename(TComponent* AComponent, std::string_view CurName, std::string_view NewName);
    virtual void ValidateInsert(TComponent* AComponent);
    virtual void ValidateContainer(TComponent* AComponent);
    void ChangeName(const std::string& NewName) { FName = NewName; }

    void SetDesigning(bool Value, bool SetChildren = true);
    void SetDesignInstance(bool Value);
    void SetInline(bool Value);
    void SetAncestor(bool Value);

private:
    friend class TReader;
    friend class TWriter;
    friend class TComponentGuard;
    friend class TLoadingConstruction;

    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveFreeNotifications();
    bool Owns(const TComponent* AComponent) const;

    TComponent* FOwner = nullptr;
    std::string FName;
    std::intptr_t FTag = 0;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    TComponentState FComponentState;
    TComponentStyle FComponentStyle{csInheritable};
    TComponentGuard* FGuards = nullptr;
};

using TComponentClass = TClassOf<TComponent>;

// Lives on the stack while the form reader constructs a component: the
// component is csLoading from its first constructor on, as the original's
// reader marks a new instance before its constructor runs.
class TLoadingConstruction {
public:
    TLoadingConstruction();
    ~TLoadingConstruction();
    TLoadingConstruction(const TLoadingConstruction&) = delete;
    TLoadingConstruction& operator=(const TLoadingConstruction&) = delete;

private:
    friend class TComponent;
    bool FPrevious;
};

// Lives on the stack of a frame that calls out of a component (user code,
// notifications) and tells afterwards whether the component is still alive.
// Deleting the component (from the start of ~TComponent) marks its guards.
class TComponentGuard {
public:
    explicit TComponentGuard(TComponent* AComponent);
    ~TComponentGuard();
    TComponentGuard(const TComponentGuard&) = delete;
    TComponentGuard& operator=(const TComponentGuard&) = delete;

    bool Alive() const { return FComponent != nullptr; }
    // The component, nullptr once it is being deleted.
    TComponent* Component() const { return FComponent; }

private:
    friend class TComponent;
    TComponent* FComponent;
    TComponentGuard* FNext;
};

} // namespace cls
