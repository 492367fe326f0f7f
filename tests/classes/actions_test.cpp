#include "app_fixture.h"
#include "classes/actions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classes/forms.h"
#include "support/driver.h"

namespace {

using namespace cls;
using testdrv::Click;
using testdrv::RunUntilIdle;

using ActionsTest = test::AppTest;
using test::TButtonLike;

class THandlers : public TComponent {
    TRESTLE_CLASS(THandlers, TComponent)
public:
    using TComponent::TComponent;
    std::vector<std::string> Events;
    TComponent* ComponentDuringExecute = nullptr;
    bool ListHandles = false;
    TCustomAction* Toggle = nullptr;

    void Execute(TObject* Sender) {
        Events.push_back("execute");
        if (auto* A = dynamic_cast<TBasicAction*>(Sender)) ComponentDuringExecute = A->ActionComponent();
    }
    void Update(TObject*) {
        Events.push_back("update");
        if (Toggle) Toggle->SetEnabled(!Toggle->Enabled());
    }
    void OwnClick(TObject*) { Events.push_back("own click"); }
    void ListExecute(TBasicAction*, bool& Handled) {
        Events.push_back("list execute");
        Handled = ListHandles;
    }
    void ListUpdate(TBasicAction*, bool& Handled) {
        Events.push_back("list update");
        Handled = ListHandles;
    }
    void Hint(std::string& HintStr, bool& CanShow) {
        if (HintStr == "secret") CanShow = false;
        HintStr += "!";
    }
};

TEST_F(ActionsTest, ActionChangesReachALinkedControlWhileItFollows) {
    auto* Form = new TForm(nullptr);
    auto* Action = new TAction(Form);
    Action->SetCaption("&Open");
    Action->SetHint("Open|Opens a file");
    Action->SetHelpContext(12);
    auto* Button = new TButtonLike(Form);
    Button->SetParent(Form);
    Button->SetAction(Action);
    EXPECT_EQ(Button->Action(), Action);
    EXPECT_TRUE(Button->ControlStyle().Contains(csActionClient));
    EXPECT_EQ(Button->Caption(), "&Open");
    EXPECT_EQ(Button->Hint(), "Open|Opens a file");
    EXPECT_EQ(Button->HelpContext(), 12);
    EXPECT_EQ(Action->ClientCount(), 1);

    Action->SetEnabled(false);
    EXPECT_FALSE(Button->Enabled());
    Action->SetVisible(false);
    EXPECT_FALSE(Button->Visible());
    Action->SetVisible(true);
    Action->SetCaption("&Close");
    EXPECT_EQ(Button->Caption(), "&Close");

    // A client given a value of its own is no longer linked for it, but any
    // change of the action applies all its values again.
    Button->SetCaption("Mine");
    EXPECT_FALSE(Button->ActionLink()->IsCaptionLinked());
    EXPECT_TRUE(Button->ActionLink()->IsHintLinked());
    Action->SetHint("Quit");
    EXPECT_EQ(Button->Hint(), "Quit");
    EXPECT_EQ(Button->Caption(), "&Close");

    // Deleting the action leaves the control without one.
    delete Action;
    EXPECT_EQ(Button->Action(), nullptr);
    EXPECT_EQ(Button->ActionLink(), nullptr);
    EXPECT_FALSE(Button->ControlStyle().Contains(csActionClient));
    delete Form;
}

TEST_F(ActionsTest, AClickExecutesTheActionThroughTheLink) {
    THandlers H(nullptr);
    auto* Form = new TForm(nullptr);
    auto* Action = new TAction(Form);
    Action->SetOnExecute(TNotifyEvent(&H, &THandlers::Execute));
    auto* Button = new TButtonLike(Form);
    Button->SetParent(Form);
    Button->SetAction(Action);
    EXPECT_TRUE(Button->OnClick() == Action->OnExecute());
    Form->Show();
    RunUntilIdle();

    Click(Button->Handle(), {5, 5});
    EXPECT_EQ(H.Events, (std::vector<std::string>{"execute"}));
    EXPECT_EQ(H.ComponentDuringExecute, Button);
    EXPECT_EQ(Action->ActionComponent(), nullptr);

    // An OnClick of its own runs instead of the action.
    testdrv::Advance(1000);
    H.Events.clear();
    Button->SetOnClick(TNotifyEvent(&H, &THandlers::OwnClick));
    Click(Button->Handle(), {5, 5});
    EXPECT_EQ(H.Events, (std::vector<std::string>{"own click"}));

    // A disabled action does not run.
    testdrv::Advance(1000);
    H.Events.clear();
    Button->SetOnClick(Action->OnExecute());
    Action->SetEnabled(false);
    Button->SetEnabled(true);
    Click(Button->Handle(), {5, 5});
    EXPECT_TRUE(H.Events.empty());
    delete Form;
}

TEST_F(ActionsTest, TheActionListIsAskedFirst) {
    THandlers H(nullptr);
    auto* List = new TActionList(nullptr);
    List->SetOnExecute(TActionEvent(&H, &THandlers::ListExecute));
    List->SetOnUpdate(TActionEvent(&H, &THandlers::ListUpdate));
    auto* Action = new TAction(nullptr);
    Action->SetActionList(List);
    Action->SetOnExecute(TNotifyEvent(&H, &THandlers::Execute));
    Action->SetOnUpdate(TNotifyEvent(&H, &THandlers::Update));
    EXPECT_EQ(List->ActionCount(), 1);
    EXPECT_EQ(Action->Index(), 0);

    EXPECT_TRUE(Action->Execute());
    EXPECT_EQ(H.Events, (std::vector<std::string>{"list update", "update", "list execute", "execute"}));
    H.Events.clear();
    H.ListHandles = true;
    EXPECT_TRUE(Action->Execute());
    EXPECT_EQ(H.Events, (std::vector<std::string>{"list update", "list execute"}));

    // Deleting the list deletes its actions.
    TComponentGuard Guard(Action);
    delete List;
    EXPECT_FALSE(Guard.Alive());
}

TEST_F(ActionsTest, CheckedGroupsAndAutoCheck) {
    auto* List = new TActionList(nullptr);
    std::vector<TAction*> Group;
    for (int I = 0; I < 3; ++I) {
        auto* A = new TAction(nullptr);
        A->SetActionList(List);
        A->SetGroupIndex(1);
        A->SetAutoCheck(true);
        Group.push_back(A);
    }
    auto* Loose = new TAction(nullptr);
    Loose->SetActionList(List);
    Loose->SetAutoCheck(true);

    struct Step {
        TAction* Executed;
        std::vector<bool> Checked; // the group, then Loose
    };
    const std::vector<Step> Steps = {
        {Group[0], {true, false, false, false}}, {Group[1], {false, true, false, false}},
        {Group[1], {false, true, false, false}}, // the checked one of a group stays checked
        {Loose, {false, true, false, true}},     {Loose, {false, true, false, false}},
    };
    for (std::size_t I = 0; I < Steps.size(); ++I) {
        SCOPED_TRACE(I);
        Steps[I].Executed->Execute();
        for (std::size_t J = 0; J < 3; ++J) EXPECT_EQ(Group[J]->Checked(), Steps[I].Checked[J]) << J;
        EXPECT_EQ(Loose->Checked(), Steps[I].Checked[3]);
    }
    Group[2]->SetChecked(true);
    EXPECT_FALSE(Group[1]->Checked());
    // Moving a checked action into a group unchecks the group's other members.
    Loose->SetChecked(true);
    Loose->SetGroupIndex(1);
    EXPECT_FALSE(Group[2]->Checked());
    delete List;
}

TEST_F(ActionsTest, IdleTimeUpdatesTheActionsOfVisibleClients) {
    THandlers H(nullptr);
    auto* Form = new TForm(nullptr);
    auto* Action = new TAction(Form);
    Action->SetOnUpdate(TNotifyEvent(&H, &THandlers::Update));
    H.Toggle = Action;
    auto* Button = new TButtonLike(Form);
    Button->SetParent(Form);
    Button->SetAction(Action);
    Form->Show();
    RunUntilIdle();
    EXPECT_TRUE(H.Events.empty());

    testdrv::ScriptIdle({[] { win::PostThreadMessage(win::GetCurrentThreadId(), win::WM_NULL, 0, 0); }});
    while (!testdrv::IdleScriptDone()) Application->HandleMessage();
    EXPECT_EQ(H.Events, (std::vector<std::string>{"update"}));
    EXPECT_FALSE(Button->Enabled());
    delete Form;
}

TEST_F(ActionsTest, TheHintShowsTheShortCut) {
    THandlers H(nullptr);
    auto* Form = new TForm(nullptr);
    auto* Action = new TAction(Form);
    Action->SetShortCut(ShortCut('S', {ssCtrl}));
    auto* Button = new TButtonLike(Form);
    Button->SetAction(Action);
    std::string Hint = "Save";
    EXPECT_TRUE(Button->ActionLink()->DoShowHint(Hint));
    EXPECT_EQ(Hint, "Save (Ctrl+S)");
    Application->SetHintShortCuts(false);
    Hint = "Save";
    Button->ActionLink()->DoShowHint(Hint);
    EXPECT_EQ(Hint, "Save");

    Action->SetOnHint(THintEvent(&H, &THandlers::Hint));
    Hint = "secret";
    EXPECT_FALSE(Button->ActionLink()->DoShowHint(Hint));
    delete Form;
}

// A link class of the client's choice, as descendants declare through GetActionLinkClass.
class TCountingLink : public TControlActionLink {
    TRESTLE_CLASS(TCountingLink, TControlActionLink)
public:
    int Captions = 0;
    void SetCaption(const std::string& Value) override {
        ++Captions;
        TControlActionLink::SetCaption(Value);
    }
};

class TOwnLinkButton : public TButtonLike {
    TRESTLE_CLASS(TOwnLinkButton, TButtonLike)
public:
    using TButtonLike::TButtonLike;

protected:
    TControlActionLinkClass GetActionLinkClass() const override { return ActionLinkClass<TCountingLink>(); }
};

TEST_F(ActionsTest, ControlsChooseTheirLinkClass) {
    auto* Action = new TAction(nullptr);
    auto* Button = new TOwnLinkButton(nullptr);
    Button->SetAction(Action);
    auto* Link = dynamic_cast<TCountingLink*>(Button->ActionLink());
    ASSERT_NE(Link, nullptr);
    EXPECT_EQ(Link->Client(), Button);
    Action->SetCaption("One");
    Action->SetCaption("Two");
    EXPECT_EQ(Link->Captions, 2);
    EXPECT_EQ(Button->Caption(), "Two");
    // The control going unregisters its link.
    delete Button;
    EXPECT_EQ(Action->ClientCount(), 0);
    delete Action;
}

} // namespace
