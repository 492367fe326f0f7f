// Groups of items: members, recursion refused at any depth, Enabled and
// Visible passed down through nested groups under the manager's update lock,
// registration with the manager, groups and members freed while linked, and
// the members read back by name from the form stream.
#include "bars/categories.h"

#include "bars/item.h"
#include "classes/exceptions.h"
#include "classes/filer.h"
#include "classes/streams.h"
#include "fixture.h"
#include "support/expect.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace bars;
using testdrv::ExpectError;

// Records whether the manager's update lock was held when it changed.
class TLockWatchingItem : public TdxBarItem {
    TRESTLE_CLASS(TLockWatchingItem, TdxBarItem)
public:
    using TdxBarItem::TdxBarItem;
    std::vector<bool> LockSeen;
    void EnabledChanged() override {
        LockSeen.push_back(BarManager()->LockUpdate());
        TdxBarItem::EnabledChanged();
    }
    void VisibleChanged() override {
        LockSeen.push_back(BarManager()->LockUpdate());
        TdxBarItem::VisibleChanged();
    }
};

class GroupsTest : public test::ManagerTest {
protected:
    TdxBarItem* NewItem(const std::string& AName = std::string()) {
        auto* Item = new TLockWatchingItem(Form);
        if (!AName.empty()) Item->SetName(AName);
        return Item;
    }
    TdxBarGroup* NewGroup(const std::string& AName = std::string()) {
        TdxBarGroup* Group = Manager->AddGroup();
        if (!AName.empty()) Group->SetName(AName);
        return Group;
    }
    static std::vector<cls::TComponent*> Members(const TdxBarGroup* AGroup) {
        std::vector<cls::TComponent*> Result;
        for (int I = 0; I < AGroup->Count(); ++I) Result.push_back(AGroup->Items(I));
        return Result;
    }
};

TEST_F(GroupsTest, MembersAreItemsAndGroupsOnce) {
    TdxBarGroup* Group = NewGroup();
    TdxBarItem* Cut = NewItem();
    TdxBarItem* Copy = NewItem();
    TdxBarGroup* Inner = NewGroup();
    Group->Add(Cut);
    Group->Add(Copy);
    Group->Add(Inner);
    Group->Add(Cut);
    Group->Add(nullptr);
    Group->Add(Form);
    Group->Add(Manager);
    EXPECT_EQ(Members(Group), (std::vector<cls::TComponent*>{Cut, Copy, Inner}));
    EXPECT_EQ(Group->IndexOf(Inner), 2);
    EXPECT_EQ(Group->IndexOf(Form), -1);

    Group->Move(2, 0);
    EXPECT_EQ(Members(Group), (std::vector<cls::TComponent*>{Inner, Cut, Copy}));
    ExpectError<cls::EListError>([&] { Group->Move(0, 3); }, "List index out of bounds (3)");

    Group->Remove(Cut);
    Group->Remove(Cut);
    EXPECT_EQ(Members(Group), (std::vector<cls::TComponent*>{Inner, Copy}));
    delete Cut;
    EXPECT_EQ(Group->Count(), 2);
}

// Outer contains Middle contains Inner: none of them may take a group that
// contains it, however deep.
TEST_F(GroupsTest, RecursiveGroupsAreRefusedAtEveryDepth) {
    TdxBarGroup* Outer = NewGroup();
    TdxBarGroup* Middle = NewGroup();
    TdxBarGroup* Inner = NewGroup();
    Outer->Add(Middle);
    Middle->Add(Inner);
    struct Case {
        TdxBarGroup* Group;
        TdxBarGroup* Member;
        const char* Name;
    };
    for (const Case& C : {Case{Outer, Outer, "itself"}, Case{Middle, Outer, "its container"},
                          Case{Inner, Outer, "the container two levels up"},
                          Case{Inner, Middle, "its container"}, Case{Inner, Inner, "the innermost itself"}}) {
        SCOPED_TRACE(C.Name);
        const std::vector<cls::TComponent*> Before = Members(C.Group);
        ExpectError<cls::Exception>([&] { C.Group->Add(C.Member); }, "You cannot create recursive groups");
        EXPECT_EQ(Members(C.Group), Before);
    }
    // A nested group may also be a direct member: that is no cycle.
    Outer->Add(Inner);
    EXPECT_EQ(Members(Outer), (std::vector<cls::TComponent*>{Middle, Inner}));
    EXPECT_TRUE(Outer->Contains(Inner));
    EXPECT_FALSE(Inner->Contains(Outer));
}

TEST_F(GroupsTest, RecursionTextIsReadWhenRaised) {
    TdxBarGroup* Group = NewGroup();
    cls::TResStringLocalizer Previous =
        cls::SetResStringLocalizer([](const cls::TResStringRec& ARec) -> std::optional<std::string> {
            if (ARec.Identifier == 65240) return "Keine rekursiven Gruppen";
            return std::nullopt;
        });
    ExpectError<cls::Exception>([&] { Group->Add(Group); }, "Keine rekursiven Gruppen");
    cls::SetResStringLocalizer(Previous);
}

TEST_F(GroupsTest, AGroupReachesTheItemsOfNestedGroupsUnderTheLock) {
    TdxBarGroup* Outer = NewGroup();
    TdxBarGroup* Inner = NewGroup();
    TdxBarGroup* Deep = NewGroup();
    auto* Direct = static_cast<TLockWatchingItem*>(NewItem());
    auto* Nested = static_cast<TLockWatchingItem*>(NewItem());
    auto* Deepest = static_cast<TLockWatchingItem*>(NewItem());
    TdxBarItem* Outside = NewItem();
    Outer->Add(Direct);
    Outer->Add(Inner);
    Inner->Add(Nested);
    Inner->Add(Deep);
    Deep->Add(Deepest);

    Outer->SetEnabled(false);
    for (TdxBarItem* Item : {Direct, Nested, Deepest}) EXPECT_FALSE(Item->Enabled());
    EXPECT_TRUE(Outside->Enabled());
    EXPECT_FALSE(Inner->Enabled());
    EXPECT_FALSE(Deep->Enabled());
    for (auto* Item : {Direct, Nested, Deepest}) EXPECT_EQ(Item->LockSeen, std::vector<bool>{true});
    EXPECT_FALSE(Manager->LockUpdate());

    Outer->SetVisible(ivInCustomizing);
    EXPECT_EQ(Deepest->Visible(), ivInCustomizing);
    EXPECT_EQ(Deep->Visible(), ivInCustomizing);
    EXPECT_EQ(Outside->Visible(), ivAlways);
    EXPECT_EQ(Deepest->LockSeen, (std::vector<bool>{true, true}));

    // A lock the caller holds stays held.
    Manager->SetLockUpdate(true);
    Inner->SetEnabled(true);
    EXPECT_TRUE(Deepest->Enabled());
    EXPECT_FALSE(Direct->Enabled());
    EXPECT_TRUE(Manager->LockUpdate());
    Manager->SetLockUpdate(false);
}

TEST_F(GroupsTest, GroupsFreedWhileLinked) {
    TdxBarGroup* Outer = NewGroup();
    TdxBarGroup* Inner = NewGroup();
    TdxBarGroup* Last = NewGroup();
    TdxBarItem* Item = NewItem();
    Outer->Add(Inner);
    Inner->Add(Item);
    EXPECT_EQ(Last->Index(), 2);

    // A member group leaves its container and the manager's list.
    delete Inner;
    EXPECT_EQ(Outer->Count(), 0);
    EXPECT_EQ(Manager->GroupCount(), 2);
    EXPECT_EQ(Last->Index(), 1);
    Outer->SetEnabled(false);
    EXPECT_TRUE(Item->Enabled());

    // A group of another owner hears of its members' end too.
    auto* Foreign = new TdxBarGroup(nullptr);
    Foreign->Add(Item);
    Foreign->Add(Outer);
    delete Item;
    delete Outer;
    EXPECT_EQ(Foreign->Count(), 0);
    delete Foreign;

    // The manager frees its groups.
    cls::TComponentGuard Guard(Last);
    delete Manager;
    Manager = nullptr;
    EXPECT_FALSE(Guard.Alive());
}

TEST_F(GroupsTest, TheManagerListsItsGroups) {
    TdxBarGroup* First = NewGroup();
    TdxBarGroup* Second = NewGroup();
    EXPECT_EQ(First->Owner(), Form);
    EXPECT_TRUE(First->HasParent());
    EXPECT_EQ(First->GetParentComponent(), Manager);

    Second->SetIndex(0);
    EXPECT_EQ(Manager->GetGroup(0), Second);
    EXPECT_EQ(First->Index(), 1);
    ExpectError<cls::EListError>([&] { First->SetIndex(2); }, "List index out of bounds (2)");

    auto* Free = new TdxBarGroup(Form);
    EXPECT_FALSE(Free->HasParent());
    EXPECT_EQ(Free->Index(), -1);
    Free->SetIndex(0);
    EXPECT_EQ(Manager->GroupCount(), 2);
}

// --- The form stream ---

class GroupStreamTest : public GroupsTest {
protected:
    // Reads each group's stored members as a form reader does, then ends
    // the loading.
    void Load(const std::vector<std::pair<TdxBarGroup*, cls::TMemoryStream*>>& AGroups) {
        std::vector<std::unique_ptr<cls::TReader>> Readers;
        for (const auto& [Group, Stream] : AGroups) {
            Stream->SetPosition(0);
            Readers.push_back(std::make_unique<cls::TReader>(Stream));
            Readers.back()->SetParent(Manager);
            Readers.back()->ReadComponentProperties(Group);
        }
        for (auto& Reader : Readers) Reader->EndLoading();
    }
    static void Store(TdxBarGroup* AGroup, cls::TMemoryStream& AStream) {
        cls::TWriter(&AStream).WriteProperties(AGroup);
    }
};

TEST_F(GroupStreamTest, MembersAreReadByNameAndResolvedWhenLoaded) {
    TdxBarItem* Cut = NewItem("Cut");
    TdxBarGroup* Edit = NewGroup("Edit");
    TdxBarGroup* Source = NewGroup();
    Source->Add(Cut);
    Source->Add(Edit);
    cls::TMemoryStream Stream;
    Store(Source, Stream);
    // A name that is gone by the time the stream is read is left out.
    TdxBarItem* Gone = NewItem("Gone");
    Source->Add(Gone);
    cls::TMemoryStream WithGone;
    Store(Source, WithGone);
    delete Gone;

    auto* Read = new TdxBarGroup(Form);
    auto* ReadWithGone = new TdxBarGroup(Form);
    Stream.SetPosition(0);
    cls::TReader Reader(&Stream);
    Reader.SetParent(Manager);
    Reader.ReadComponentProperties(Read);
    EXPECT_EQ(Read->BarManager(), Manager);
    EXPECT_EQ(Read->Count(), 0);
    Reader.EndLoading();
    EXPECT_EQ(Members(Read), (std::vector<cls::TComponent*>{Cut, Edit}));

    Load({{ReadWithGone, &WithGone}});
    EXPECT_EQ(Members(ReadWithGone), (std::vector<cls::TComponent*>{Cut, Edit}));

    // No members, nothing written.
    cls::TMemoryStream Empty;
    Store(Edit, Empty);
    EXPECT_EQ(Empty.Size(), 1);
}

TEST_F(GroupStreamTest, AStreamThatMakesGroupsRecursiveLoadsWithoutTheCycle) {
    TdxBarGroup* A = NewGroup("A");
    TdxBarGroup* B = NewGroup("B");
    TdxBarGroup* Self = NewGroup("Self");
    cls::TMemoryStream StreamA, StreamB, StreamSelf;
    for (auto [Stream, Name] :
         {std::pair{&StreamA, "B"}, std::pair{&StreamB, "A"}, std::pair{&StreamSelf, "Self"}}) {
        cls::TWriter W(Stream);
        W.WritePropName("Items");
        W.WriteListBegin();
        W.WriteString(Name);
        W.WriteListEnd();
        W.WriteListEnd();
    }
    Load({{A, &StreamA}, {B, &StreamB}, {Self, &StreamSelf}});
    EXPECT_EQ(Members(A), std::vector<cls::TComponent*>{B});
    EXPECT_EQ(B->Count(), 0);
    EXPECT_EQ(Self->Count(), 0);
}

TEST_F(GroupStreamTest, EnabledWhileLoadingTakesNoLock) {
    auto* Item = static_cast<TLockWatchingItem*>(NewItem("Item"));
    TdxBarGroup* Group = NewGroup();
    Group->Add(Item);
    cls::TMemoryStream Stream;
    Store(Group, Stream);
    Stream.SetPosition(0);
    auto* Read = new TdxBarGroup(Form);
    cls::TReader Reader(&Stream);
    Reader.SetParent(Manager);
    Reader.ReadComponentProperties(Read);
    Read->SetEnabled(false);
    EXPECT_FALSE(Read->Enabled());
    EXPECT_TRUE(Item->Enabled());
    Reader.EndLoading();
    EXPECT_TRUE(Item->LockSeen.empty());
    EXPECT_EQ(Read->Count(), 1);
}

} // namespace
