// TComponent: ownership, names, notification order and deletion from
// inside notifications.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "classes/component.h"
#include "classes/exceptions.h"
#include "classes/guards.h"

namespace {

using namespace cls;

using TLog = std::vector<std::string>;

// Logs every notification it gets ("O -A": O heard that A is removed) and
// the start of its deletion ("delete A"); OnNotify runs last (when the
// component survived the inherited Notification), so it may delete anything.
// While ~TComponent runs, the component is a TComponent again and its
// override no longer runs.
class TLogged : public TComponent {
    TRESTLE_CLASS(TLogged, TComponent)
public:
    TLogged(TComponent* AOwner, const std::string& AName, TLog& ALog) : TComponent(AOwner), Log(ALog) {
        SetName(AName);
    }
    void BeforeDestruction() override {
        TComponent::BeforeDestruction();
        Log.push_back("delete " + Name() +
                      (ComponentState().Contains(csDestroying) ? "" : " (not destroying)"));
    }

    std::function<void(TComponent*, TOperation)> OnNotify;
    TLog& Log;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        Log.push_back(Name() + (Operation == opInsert ? " +" : " -") + AComponent->Name());
        TComponentGuard Guard(this);
        TComponent::Notification(AComponent, Operation);
        if (Guard.Alive() && OnNotify) OnNotify(AComponent, Operation);
    }
};

TEST(Component, OwnerListsAndFindsItsComponents) {
    TLog Log;
    TLogged Owner(nullptr, "Owner", Log);
    auto* A = new TLogged(&Owner, "A", Log);
    auto* B = new TLogged(&Owner, "B", Log);
    EXPECT_EQ(Owner.ComponentCount(), 2);
    EXPECT_EQ(Owner.Components(1), B);
    EXPECT_EQ(B->ComponentIndex(), 1);
    EXPECT_EQ(Owner.FindComponent("a"), A);
    EXPECT_EQ(Owner.FindComponent(""), nullptr);
    EXPECT_EQ(A->GetNamePath(), "A");
    B->SetComponentIndex(-5);
    EXPECT_EQ(Owner.Components(0), B);
    try {
        Owner.Components(2);
        FAIL();
    } catch (const EListError& E) {
        EXPECT_EQ(E.Message(), "List index out of bounds (2)");
    }

    TLogged Other(nullptr, "Other", Log);
    Other.InsertComponent(A);
    EXPECT_EQ(A->Owner(), &Other);
    EXPECT_EQ(Owner.ComponentCount(), 1);
    EXPECT_THROW(A->InsertComponent(&Other), EComponentError); // would own its owner
}

TEST(Component, NotificationOrderOnInsertRemoveAndOwnerDeletion) {
    TLog Log;
    auto* Owner = new TLogged(nullptr, "O", Log);
    auto* A = new TLogged(Owner, "A", Log);
    auto* B = new TLogged(Owner, "B", Log);
    Log.clear();
    auto* C = new TComponent(Owner); // inserted: the owner, then its components from last to first
    EXPECT_EQ(Log, (TLog{"O +", "B +", "A +"}));

    Log.clear();
    delete A; // leaves through the owner, which tells all its components
    EXPECT_EQ(Log, (TLog{"delete A", "O -A", "B -A"}));

    auto* Watcher = new TLogged(nullptr, "W", Log);
    Watcher->FreeNotification(B);
    Log.clear();
    delete C;
    EXPECT_EQ(Log, (TLog{"O -", "B -"}));

    // Deleting the owner: B, which asked for free notification, leaves
    // through the owner (and tells the watcher); the rest go silently.
    new TLogged(Owner, "D", Log);
    Log.clear();
    delete Owner;
    EXPECT_EQ(Log, (TLog{"delete O", "delete D", "B -B", "delete B", "W -B"}));
    delete Watcher;
}

TEST(Component, FreeNotificationIsMutualAndForgottenOnRemove) {
    TLog Log;
    TLogged X(nullptr, "X", Log);
    auto* Y = new TLogged(nullptr, "Y", Log);
    Y->FreeNotification(&X);
    EXPECT_TRUE(X.ComponentState().Contains(csFreeNotification));
    X.RemoveFreeNotification(Y);
    delete Y;
    EXPECT_EQ(Log, (TLog{"delete Y"}));

    auto* Z = new TLogged(nullptr, "Z", Log);
    X.FreeNotification(Z);
    Log.clear();
    delete Z; // X hears of it, and Z drops X from its own list
    EXPECT_EQ(Log, (TLog{"delete Z", "X -Z"}));
}

TEST(Component, NamesMustBeValidIdentifiersAndUniqueInTheOwner) {
    struct Case {
        std::string Name;
        bool Valid;
    };
    const Case Cases[] = {{"Button1", true}, {"_x", true},   {"", true},        {"1abc", false},
                          {"a b", false},    {"a.b", false}, {"Кнопка", false}, {"\xff\xfe", false},
                          {"a\x80", false},  {"ok\n", false}};
    for (const Case& C : Cases) {
        TComponent Comp(nullptr);
        if (C.Valid) {
            EXPECT_NO_THROW(Comp.SetName(C.Name)) << C.Name;
            EXPECT_EQ(Comp.Name(), C.Name);
        } else {
            try {
                Comp.SetName(C.Name);
                ADD_FAILURE() << "accepted " << C.Name;
            } catch (const EComponentError& E) {
                EXPECT_EQ(E.Message(), "Component name \"" + C.Name + "\" is not a valid identifier");
                EXPECT_EQ(Comp.Name(), "");
            }
        }
    }

    TComponent Owner(nullptr);
    auto* A = new TComponent(&Owner);
    auto* B = new TComponent(&Owner);
    A->SetName("Button1");
    try {
        B->SetName("BUTTON1");
        FAIL();
    } catch (const EComponentError& E) {
        EXPECT_EQ(E.Message(), "A component named BUTTON1 already exists");
    }
    A->SetName("button1"); // its own name in another case
    EXPECT_EQ(A->Name(), "button1");
    TComponent Loose(nullptr);
    Loose.SetName("Button1");
    EXPECT_THROW(Owner.InsertComponent(&Loose), EComponentError);
    EXPECT_EQ(Loose.Owner(), nullptr);
}

TEST(Component, DesigningStateReachesOwnedAndNewComponents) {
    class TDesignable : public TComponent {
    public:
        using TComponent::SetDesigning;
        using TComponent::TComponent;
    };
    TDesignable Form(nullptr);
    auto* Before = new TComponent(&Form);
    Form.SetDesigning(true);
    auto* After = new TComponent(&Form);
    EXPECT_TRUE(Before->ComponentState().Contains(csDesigning));
    EXPECT_TRUE(After->ComponentState().Contains(csDesigning));
}

// --- Deletion from inside notifications ---

TEST(ComponentRobustness, ComponentDeletedInsideItsOwnNotification) {
    TLog Log;
    TLogged Owner(nullptr, "O", Log);
    // A sibling deletes A again while A's removal is being announced: ignored.
    auto* A = new TLogged(&Owner, "A", Log);
    auto* B = new TLogged(&Owner, "B", Log);
    B->OnNotify = [A](TComponent* C, TOperation Op) {
        // Through the TComponent pointer: A is no longer a TLogged by now.
        if (Op == opRemove && C == A) delete C;
    };
    Log.clear();
    delete A;
    EXPECT_EQ(Log, (TLog{"delete A", "O -A", "B -A"}));
    EXPECT_EQ(Owner.ComponentCount(), 1);
    delete B;

    // A watcher that deletes itself when told about another component.
    auto* W = new TLogged(nullptr, "W", Log);
    auto* T = new TLogged(nullptr, "T", Log);
    W->FreeNotification(T);
    W->OnNotify = [W](TComponent*, TOperation) { delete W; };
    Log.clear();
    delete T;
    EXPECT_EQ(Log, (TLog{"delete T", "W -T", "delete W"}));

    // A component that deletes itself and a sibling while hearing of an insert.
    auto* S1 = new TLogged(&Owner, "S1", Log);
    auto* S2 = new TLogged(&Owner, "S2", Log);
    S2->OnNotify = [S1, S2](TComponent*, TOperation Op) {
        if (Op != opInsert) return;
        delete S1;
        delete S2;
    };
    Log.clear();
    new TLogged(&Owner, "N", Log);
    EXPECT_EQ(Owner.ComponentCount(), 1);
    EXPECT_EQ(Owner.Components(0)->Name(), "N");
}

TEST(ComponentRobustness, OwnerDeletedWhileAChildIsBeingDeleted) {
    TLog Log;
    // The owner is deleted by a watcher of the child.
    auto* Owner = new TLogged(nullptr, "O", Log);
    auto* A = new TLogged(Owner, "A", Log);
    new TLogged(Owner, "B", Log);
    auto* W = new TLogged(nullptr, "W", Log);
    W->FreeNotification(A);
    W->OnNotify = [Owner](TComponent*, TOperation) { delete Owner; };
    Log.clear();
    delete A;
    EXPECT_EQ(Log, (TLog{"delete A", "W -A", "delete O", "delete B"}));
    delete W;

    // The owner is deleted by a sibling while it passes on the child's removal.
    Owner = new TLogged(nullptr, "O", Log);
    A = new TLogged(Owner, "A", Log);
    auto* B = new TLogged(Owner, "B", Log);
    B->OnNotify = [Owner](TComponent*, TOperation Op) {
        if (Op == opRemove) delete Owner;
    };
    Log.clear();
    delete A;
    EXPECT_EQ(Log, (TLog{"delete A", "O -A", "B -A", "delete O", "delete B"}));
}

TEST(ComponentRobustness, DestroyComponentsSurvivesChildrenThatDeleteEachOther) {
    TLog Log;
    auto* Owner = new TLogged(nullptr, "O", Log);
    auto* A = new TLogged(Owner, "A", Log);
    auto* B = new TLogged(Owner, "B", Log);
    auto* Outside = new TLogged(nullptr, "X", Log);
    B->FreeNotification(Outside); // so B leaves through the owner when it is deleted
    A->OnNotify = [A](TComponent* C, TOperation Op) {
        if (Op == opRemove && C->Name() == "B") delete A;
    };
    Log.clear();
    delete Owner;
    EXPECT_EQ(Log, (TLog{"delete O", "B -B", "A -B", "delete A", "B -A", "delete B", "X -B"}));
    delete Outside;
}

TEST(ComponentRobustness, AConstructorThatRaisesLeavesNoTrace) {
    TLog Log;
    TLogged Owner(nullptr, "O", Log);
    Owner.OnNotify = [](TComponent*, TOperation Op) {
        if (Op == opInsert) throw EComponentError("refused");
    };
    EXPECT_THROW(new TComponent(&Owner), EComponentError);
    EXPECT_EQ(Owner.ComponentCount(), 0);
    Owner.OnNotify = nullptr;
    EXPECT_THROW(new TLogged(&Owner, "1 bad name", Log), EComponentError); // the derived constructor raises
    EXPECT_EQ(Owner.ComponentCount(), 0);
}

// A clean-up runs on every way out; one that raises while an error already
// leaves keeps the first error, and raises itself otherwise.
TEST(ScopeExit, RunsOnEveryWayOutAndKeepsTheFirstError) {
    int Runs = 0;
    {
        TScopeExit Count([&] { ++Runs; });
    }
    EXPECT_THROW(
        {
            TScopeExit Count([&] { ++Runs; });
            throw Exception("work");
        },
        Exception);
    {
        TScopeExit Count([&] { ++Runs; });
        Count.Release();
    }
    EXPECT_EQ(Runs, 2);
    try {
        TScopeExit Fails([] { throw EAbort("clean-up"); });
        throw Exception("work");
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), "work");
    }
    EXPECT_THROW({ TScopeExit Fails([] { throw EAbort("clean-up"); }); }, EAbort);
}

} // namespace
