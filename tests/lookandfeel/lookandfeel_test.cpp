#include "classes/exceptions.h"
#include "lookandfeel/colors.h"
#include "lookandfeel/lookandfeel.h"
#include "lookandfeel/theme.h"
#include "support/driver.h"
#include "support/expect.h"

#include <string>
#include <vector>

using namespace lf;

namespace {

class LookAndFeelTest : public testdrv::WinTest {
protected:
    void TearDown() override {
        win::detail::ResetThemeState();
        RefreshOffice11Colors();
        WinTest::TearDown();
    }
};

struct TChangeLog {
    std::vector<TcxLookAndFeelValues> Changes;
    TcxLookAndFeel* Sender = nullptr;
    void Changed(TcxLookAndFeel* ASender, TcxLookAndFeelValues AValues) {
        Sender = ASender;
        Changes.push_back(AValues);
    }
};

TEST_F(LookAndFeelTest, SettingsAndChangeEvent) {
    TcxLookAndFeel Owner(nullptr);
    TcxLookAndFeel L(&Owner);
    EXPECT_EQ(L.Kind(), lfUltraFlat);
    EXPECT_FALSE(L.NativeStyle());
    TChangeLog Log;
    L.SetOnChanged(TcxLookAndFeelChangedEvent(&Log, &TChangeLog::Changed));

    L.SetKind(lfUltraFlat);
    L.SetNativeStyle(false);
    EXPECT_TRUE(Log.Changes.empty());
    L.SetKind(lfOffice11);
    L.SetNativeStyle(true);
    ASSERT_EQ(Log.Changes.size(), 2u);
    EXPECT_EQ(Log.Changes[0], TcxLookAndFeelValues{lfvKind});
    EXPECT_EQ(Log.Changes[1], TcxLookAndFeelValues{lfvNativeStyle});
    EXPECT_EQ(Log.Sender, &L);
    EXPECT_EQ(L.GetKind(), lfOffice11);
    EXPECT_TRUE(L.GetNativeStyle());

    // Assign reports both changes at once, and nothing when nothing changed.
    TcxLookAndFeel Source(nullptr);
    Source.SetKind(lfFlat);
    L.Assign(&Source);
    ASSERT_EQ(Log.Changes.size(), 3u);
    EXPECT_EQ(Log.Changes[2], (TcxLookAndFeelValues{lfvKind, lfvNativeStyle}));
    EXPECT_EQ(L.Kind(), lfFlat);
    EXPECT_FALSE(L.NativeStyle());
    L.Assign(&Source);
    EXPECT_EQ(Log.Changes.size(), 3u);

    testdrv::ExpectError<cls::EConvertError>([&] { L.Assign(nullptr); },
                                             "Cannot assign a nil to a TcxLookAndFeel");
}

struct TThemeListener {
    int Calls = 0;
    int SchemeSeen = -1;
    bool VisualStyles = false;
    TdxThemeChangedNotificator* ToFree = nullptr;
    void ThemeChanged() {
        ++Calls;
        SchemeSeen = Office11Colors().Scheme;
        VisualStyles = AreVisualStylesAvailable();
        if (ToFree) {
            delete ToFree;
            ToFree = nullptr;
        }
    }
};

TEST_F(LookAndFeelTest, NotificatorsHearThemeChanges) {
    EXPECT_FALSE(AreVisualStylesAvailable());
    EXPECT_EQ(OpenTheme(totToolBar), nullptr);

    TThemeListener A, B;
    auto* NA = new TdxThemeChangedNotificator;
    auto* NB = new TdxThemeChangedNotificator;
    NA->SetOnThemeChanged(TdxThemeChangedEvent(&A, &TThemeListener::ThemeChanged));
    NB->SetOnThemeChanged(TdxThemeChangedEvent(&B, &TThemeListener::ThemeChanged));

    // The Office11 colours are rebuilt before anyone hears of the change.
    win::SetReportedTheme(true, "C:\\Themes\\Luna.msstyles", "HomeStead");
    EXPECT_EQ(A.Calls, 1);
    EXPECT_EQ(B.Calls, 1);
    EXPECT_EQ(A.SchemeSeen, 2);
    EXPECT_TRUE(A.VisualStyles);
    EXPECT_TRUE(AreVisualStylesAvailable({totToolBar, totWindow}));
    // A class the theme does not draw cannot be opened.
    EXPECT_FALSE(AreVisualStylesAvailable({totToolBar, totClock}));

    // A handler frees another notificator; that one is not called.
    A.ToFree = NB;
    win::SetReportedTheme(false, nullptr, nullptr);
    EXPECT_EQ(A.Calls, 2);
    EXPECT_EQ(B.Calls, 1);
    EXPECT_EQ(A.SchemeSeen, 0);

    delete NA;
    win::SetReportedTheme(true, "Luna.msstyles", "NormalColor");
    EXPECT_EQ(A.Calls, 2);
    // The listening window goes with the last notificator.
    for (win::HWND H : win::GetTopLevelWindows()) EXPECT_NE(win::GetClassName(H), "TdxThemeChangeListener");

    // After the window system was reset, a new notificator listens again.
    testdrv::WinTest::TearDown();
    testdrv::WinTest::SetUp();
    TThemeListener C;
    auto* NC = new TdxThemeChangedNotificator;
    NC->SetOnThemeChanged(TdxThemeChangedEvent(&C, &TThemeListener::ThemeChanged));
    // The last notificator may free itself while it is being told. The reset
    // forgot the reported theme, so reporting one is a change.
    C.ToFree = NC;
    win::SetReportedTheme(true, "Luna.msstyles", "Metallic");
    EXPECT_EQ(C.Calls, 1);
    EXPECT_EQ(C.ToFree, nullptr);
    for (win::HWND H : win::GetTopLevelWindows()) EXPECT_NE(win::GetClassName(H), "TdxThemeChangeListener");
}

TEST(ThemedObjectTypes, NumbersNameTheirClasses) {
    EXPECT_STREQ(ThemedObjectClassName(static_cast<TdxThemedObjectType>(2)), "ComboBox");
    EXPECT_STREQ(ThemedObjectClassName(static_cast<TdxThemedObjectType>(19)), "ToolBar");
    EXPECT_STREQ(ThemedObjectClassName(static_cast<TdxThemedObjectType>(24)), "Window");
}

} // namespace
