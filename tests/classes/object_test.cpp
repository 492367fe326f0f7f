// Class references, the class registry, object deletion, TPersistent,
// events and exceptions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/collections.h"
#include "classes/component.h"
#include "classes/events.h"
#include "classes/exceptions.h"

namespace {

using namespace cls;

class TTestBase : public TComponent {
    TRESTLE_CLASS(TTestBase, TComponent)
public:
    explicit TTestBase(TComponent* AOwner) : TComponent(AOwner) {}
    void AfterConstruction() override { Constructed = true; }
    bool Constructed = false;
};

class TTestDerived : public TTestBase {
    TRESTLE_CLASS(TTestDerived, TTestBase)
public:
    using TTestBase::TTestBase;
};

class TTestAbstract : public TComponent {
    TRESTLE_CLASS(TTestAbstract, TComponent)
public:
    using TComponent::TComponent;
    virtual void Run() = 0;
};

TEST(ClassReferences, NameParentAndInheritanceFollowTheCppChain) {
    TClass C = TTestDerived::ClassInfo();
    EXPECT_EQ(C->ClassName(), "TTestDerived");
    EXPECT_EQ(C->ClassParent(), TTestBase::ClassInfo().Get());
    EXPECT_TRUE(C->InheritsFrom(TComponent::ClassInfo()));
    EXPECT_TRUE(C->InheritsFrom(TObject::ClassInfo()));
    EXPECT_FALSE(TTestBase::ClassInfo()->InheritsFrom(TTestDerived::ClassInfo()));
    EXPECT_TRUE(C->ClassNameIs("ttestderived"));
    EXPECT_EQ(TObject::ClassInfo()->ClassParent(), nullptr);

    TTestDerived Instance(nullptr);
    const TObject& AsObject = Instance;
    EXPECT_EQ(AsObject.ClassName(), "TTestDerived");
    EXPECT_EQ(AsObject.ClassType(), C);
    EXPECT_TRUE(AsObject.InheritsFrom(TPersistent::ClassInfo()));
}

TEST(ClassReferences, VirtualConstructorBuildsTheReferencedClass) {
    TComponent Owner(nullptr);
    TComponentClass Ref = TTestDerived::ClassInfo();
    TComponent* C = Ref.Create(&Owner);
    ASSERT_NE(dynamic_cast<TTestDerived*>(C), nullptr);
    EXPECT_EQ(C->Owner(), &Owner);
    EXPECT_TRUE(static_cast<TTestBase*>(C)->Constructed);

    TClassOf<TTestBase> Typed = TTestDerived::ClassInfo();
    TTestBase* B = Typed.Create(nullptr);
    EXPECT_EQ(B->ClassName(), "TTestDerived");
    delete B;

    EXPECT_FALSE(TClassOf<TTestBase>::Cast(TComponent::ClassInfo()));
    EXPECT_TRUE(TClassOf<TTestBase>::Cast(TTestDerived::ClassInfo()));
    TComponentClass Abstract = TTestAbstract::ClassInfo();
    try {
        Abstract.Create(nullptr);
        FAIL() << "an abstract class was created";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), "Cannot create an instance of class TTestAbstract");
    }
}

// A class made from a pointer to another kind of object (a view of a model
// object, as item controls are of links).
class TTestModel : public TObject {
    TRESTLE_CLASS(TTestModel, TObject)
};

class TTestView : public TObject {
    TRESTLE_CLASS(TTestView, TObject)
public:
    using TConstructorArg = TTestModel*;
    explicit TTestView(TTestModel* AModel) : Model(AModel) {}
    void AfterConstruction() override { Constructed = true; }
    TTestModel* Model;
    bool Constructed = false;
};

class TTestDerivedView : public TTestView {
    TRESTLE_CLASS(TTestDerivedView, TTestView)
public:
    using TTestView::TTestView;
};

class TTestAbstractView : public TTestView {
    TRESTLE_CLASS(TTestAbstractView, TTestView)
public:
    using TTestView::TTestView;
    virtual void Run() = 0;
};

TEST(ClassReferences, VirtualConstructorTakesAnObjectArgument) {
    TTestModel Model;
    TClassOf<TTestView> Ref = TTestDerivedView::ClassInfo();
    TTestView* View = Ref.Create(&Model);
    EXPECT_EQ(View->ClassName(), "TTestDerivedView");
    EXPECT_EQ(View->Model, &Model);
    EXPECT_TRUE(View->Constructed);
    delete View;

    // Through the untyped reference an argument of the wrong class is refused
    // like a missing constructor, and so is an abstract class.
    TClass Untyped = TTestView::ClassInfo();
    TComponent NotAModel(nullptr);
    EXPECT_THROW(Untyped->NewInstance(static_cast<TObject*>(&NotAModel)), EInvalidOperation);
    TObject* Empty = Untyped->NewInstance(static_cast<TObject*>(nullptr));
    EXPECT_EQ(static_cast<TTestView*>(Empty)->Model, nullptr);
    delete Empty;
    TClassOf<TTestView> Abstract = TTestAbstractView::ClassInfo();
    EXPECT_THROW(Abstract.Create(&Model), EInvalidOperation);
    EXPECT_THROW(TTestModel::ClassInfo()->NewInstance(static_cast<TObject*>(&Model)), EInvalidOperation);
}

namespace other {
class TTestDerived : public TComponent {
    TRESTLE_CLASS(TTestDerived, TComponent)
public:
    using TComponent::TComponent;
};
} // namespace other

TEST(ClassRegistry, RegistersAncestorsFindsByNameAndRefusesDuplicates) {
    RegisterClass(TTestDerived::ClassInfo());
    EXPECT_EQ(GetClass("ttestderived"), TTestDerived::ClassInfo());
    EXPECT_EQ(GetClass("TTestBase"), TTestBase::ClassInfo());
    EXPECT_EQ(FindClass("TComponent"), TComponent::ClassInfo());
    try {
        RegisterClass(other::TTestDerived::ClassInfo());
        FAIL() << "a second class of the same name was registered";
    } catch (const EFilerError& E) {
        EXPECT_EQ(E.Message(), "A class named TTestDerived already exists");
    }
    UnRegisterClasses({TTestDerived::ClassInfo(), TTestBase::ClassInfo()});
    EXPECT_FALSE(GetClass("TTestDerived"));
    try {
        FindClass("TTestDerived");
        FAIL();
    } catch (const EClassNotFound& E) {
        EXPECT_EQ(E.Message(), "Class TTestDerived not found");
    }
}

class TProbe : public TObject {
    TRESTLE_CLASS(TProbe, TObject)
public:
    explicit TProbe(std::vector<std::string>& ALog) : Log(ALog) {}
    ~TProbe() override {
        Log.push_back("destructor");
        delete this; // a second delete from inside: refused
    }
    void BeforeDestruction() override { Log.push_back(IsFreeing() ? "before (freeing)" : "before"); }
    std::vector<std::string>& Log;
};

TEST(Objects, DeleteRunsBeforeDestructionFirstAndIgnoresASecondDelete) {
    std::vector<std::string> Log;
    TProbe* P = new TProbe(Log);
    FreeAndNil(P);
    EXPECT_EQ(P, nullptr);
    EXPECT_EQ(Log, (std::vector<std::string>{"before (freeing)", "destructor"}));
    Free(nullptr);
}

TEST(Persistent, AssignErrorNamesBothClassesAndNamePathFollowsOwners) {
    TPersistent A;
    TPersistent B;
    try {
        A.Assign(&B);
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "Cannot assign a TPersistent to a TPersistent");
    }
    try {
        A.Assign(nullptr);
        FAIL();
    } catch (const EConvertError& E) {
        EXPECT_EQ(E.Message(), "Cannot assign a nil to a TPersistent");
    }
    TComponent Form(nullptr);
    Form.SetName("Form1");
    TOwnedCollection Bars(&Form, TCollectionItem::ClassInfo());
    Bars.SetPropName("Bars");
    Bars.Add();
    EXPECT_EQ(Bars.Items(0)->GetNamePath(), "Form1.Bars[0]");
}

class TReceiver : public TObject {
    TRESTLE_CLASS(TReceiver, TObject)
public:
    void Handler(TObject* Sender) { Calls.push_back(Sender); }
    void Other(TObject*) {}
    void Query(TObject*, bool& Allow) { Allow = false; }
    virtual int Value(int X) { return X; }
    std::vector<TObject*> Calls;
};

class TDerivedReceiver : public TReceiver {
    TRESTLE_CLASS(TDerivedReceiver, TReceiver)
public:
    int Value(int X) override { return X * 10; }
};

TEST(Events, CallOnlyWhenAssignedAndCompareObjectAndMethod) {
    TReceiver R1;
    TReceiver R2;
    TNotifyEvent E;
    EXPECT_FALSE(Assigned(E));
    E(&R1); // unassigned: nothing happens

    E = TNotifyEvent(&R1, &TReceiver::Handler);
    EXPECT_TRUE(E.Assigned());
    E(&R2);
    EXPECT_EQ(R1.Calls, std::vector<TObject*>{&R2});
    EXPECT_EQ(E.Object(), &R1);

    EXPECT_TRUE(E == TNotifyEvent(&R1, &TReceiver::Handler));
    EXPECT_FALSE(E == TNotifyEvent(&R1, &TReceiver::Other));
    EXPECT_FALSE(E == TNotifyEvent(&R2, &TReceiver::Handler));
    EXPECT_FALSE(E == nullptr);
    E = nullptr;
    EXPECT_TRUE(E == nullptr);
    EXPECT_TRUE(E == TNotifyEvent());

    TEvent<void(TObject*, bool&)> Query(&R1, &TReceiver::Query);
    bool Allow = true;
    Query(&R1, Allow);
    EXPECT_FALSE(Allow);

    TDerivedReceiver D;
    TEvent<int(int)> V(&D, &TReceiver::Value);
    EXPECT_EQ(V(2), 20); // virtual dispatch
    EXPECT_TRUE(V == TEvent<int(int)>(static_cast<TReceiver*>(&D), &TReceiver::Value));
    EXPECT_EQ(TEvent<int(int)>()(5), 0);
}

TEST(Exceptions, ClassNamesFormattingAndLocalizedTexts) {
    try {
        Abort();
    } catch (const Exception& E) {
        EXPECT_STREQ(E.ClassName(), "EAbort");
        EXPECT_EQ(E.Message(), "Operation aborted");
    }
    EXPECT_EQ(EListError(SListIndexError, {7}).Message(), "List index out of bounds (7)");
    EXPECT_STREQ(EReadError("x").ClassName(), "EReadError");
    EXPECT_TRUE(
        (std::is_base_of_v<EFilerError, EClassNotFound> && std::is_base_of_v<EStreamError, EReadError>));

    TResStringLocalizer Previous =
        SetResStringLocalizer([](const TResStringRec& R) -> std::optional<std::string> {
            if (R.Identifier == SListIndexError.Identifier) return "Индекс вне списка (%d)";
            return std::nullopt;
        });
    EXPECT_EQ(EListError(SListIndexError, {3}).Message(), "Индекс вне списка (3)");
    EXPECT_EQ(LoadResString(SOperationAborted), "Operation aborted");
    SetResStringLocalizer(Previous);
    EXPECT_EQ(LoadResString(SListIndexError), "List index out of bounds (%d)");
}

TEST(Sets, SetOperations) {
    TComponentState S{csLoading, csDesigning};
    EXPECT_TRUE(S.Contains(csDesigning));
    EXPECT_FALSE(S.Contains(csReading));
    EXPECT_EQ(S * (TComponentState{csDesigning, csInline}), (TComponentState{csDesigning}));
    EXPECT_EQ(S - csLoading, TComponentState{csDesigning});
    EXPECT_TRUE(TComponentState{csDesigning} <= S);
    EXPECT_EQ(TComponentState::FromBits(S.Bits()), S);
}

} // namespace
