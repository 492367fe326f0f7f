// The MDI program: a frame with a main menu and a toolbar holds text and
// picture windows, each with a manager and a main menu of its own that merge
// into the frame's. With --x11 it runs on the display until its window is
// closed; without it it plays a script: it maximizes a text window (its icon
// and the MDI buttons come to the main menu), opens the icon's system menu
// and chooses "Restore", activates the picture window (the merged entries
// change), maximizes it and closes it with the MDI close button, writing a
// picture to out/ after each of those steps.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bars/bars.h"
#include "bars/button.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/mdi.h"
#include "bars/registry.h"
#include "bars/subitem.h"
#include "bars/toolbar.h"
#include "classes/forms.h"
#include "gfx/draw.h"
#include "gfx/png.h"
#include "support/session.h"
#include "win/user.h"

using namespace cls;

namespace {

using example::TExampleSession;

bars::TdxBar* AddMenuBar(bars::TdxBarManager* AManager, TForm* AForm,
                         const std::vector<std::pair<std::string, std::vector<std::string>>>& AMenus) {
    bars::TdxBar* Bar = AManager->Bars()->Add();
    Bar->SetIsMainMenu(true);
    for (const auto& [Caption, Entries] : AMenus) {
        auto* Sub = new bars::TdxBarSubItem(AForm);
        Sub->SetCaption(Caption);
        for (const std::string& Entry : Entries) {
            auto* Button = new bars::TdxBarButton(AForm);
            Button->SetCaption(Entry);
            Sub->ItemLinks()->Add(Button);
        }
        Bar->ItemLinks()->Add(Sub);
    }
    Bar->SetDockingStyle(bars::dsTop);
    Bar->SetVisible(true);
    return Bar;
}

// A 16 x 16 icon: a framed square of the colour with a lighter band.
gfx::HICON MakeIcon(gfx::COLORREF AColor) {
    std::uint32_t Bits[16 * 16];
    const std::uint32_t Fill =
        0xFF000000u | (gfx::GetRValue(AColor) << 16) | (gfx::GetGValue(AColor) << 8) | gfx::GetBValue(AColor);
    for (int Y = 0; Y < 16; ++Y)
        for (int X = 0; X < 16; ++X) {
            const bool Edge = X == 1 || X == 14 || Y == 1 || Y == 14;
            const bool Outside = X == 0 || X == 15 || Y == 0 || Y == 15;
            Bits[Y * 16 + X] = Outside ? 0u : Edge ? 0xFF202020u : (Y > 3 && Y < 6) ? 0xFFFFFFFFu : Fill;
        }
    gfx::ICONINFO Info;
    Info.hbmColor = gfx::CreateBitmap(16, 16, 1, 32, Bits);
    Info.hbmMask = gfx::CreateBitmap(16, 16, 1, 1, nullptr);
    const gfx::HICON Icon = gfx::CreateIconIndirect(&Info);
    gfx::DeleteObject(Info.hbmColor);
    gfx::DeleteObject(Info.hbmMask);
    return Icon;
}

// A child window of one kind: its own manager and main menu, its icon.
class TChildForm : public TForm {
    TRESTLE_CLASS(TChildForm, TForm)
public:
    TChildForm(TComponent* AOwner, const std::string& ACaption, gfx::COLORREF AColor,
               const std::vector<std::pair<std::string, std::vector<std::string>>>& AMenus)
        : TForm(AOwner) {
        SetFormStyle(fsMDIChild);
        SetCaption(ACaption);
        SetColor(clWindow);
        SetOnClose(TCloseEvent(this, &TChildForm::Closing));
        FIcon = MakeIcon(AColor);
        FManager = new bars::TdxBarManager(this);
        FManager->SetStyle(bars::bmsOffice11);
        AddMenuBar(FManager, this, AMenus);
        FManager->Loaded();
        win::SendMessage(Handle(), win::WM_SETICON, win::ICON_SMALL, reinterpret_cast<win::LPARAM>(FIcon));
    }
    bars::TdxBarManager* BarManager() const { return FManager; }
    ~TChildForm() override {
        if (HandleAllocated()) win::SendMessage(Handle(), win::WM_SETICON, win::ICON_SMALL, 0);
        gfx::DestroyIcon(FIcon);
    }

private:
    void Closing(TObject*, TCloseAction& Action) { Action = caFree; }
    gfx::HICON FIcon = nullptr;
    bars::TdxBarManager* FManager = nullptr;
};

class TFrameForm : public TForm {
    TRESTLE_CLASS(TFrameForm, TForm)
public:
    explicit TFrameForm(TComponent* AOwner) : TForm(AOwner) {
        SetFormStyle(fsMDIForm);
        SetCaption("Trestle MDI");
        SetBounds(40, 40, 640, 440);
        FManager = new bars::TdxBarManager(this);
        FManager->SetStyle(bars::bmsOffice11);
        // The children's menus merge even while they are not maximized.
        FManager->SetAlwaysMerge(true);
        FMainMenu = AddMenuBar(FManager, this,
                               {{"&File", {"New &text", "New &picture", "E&xit"}}, {"&Window", {"&Next"}}});
        bars::TdxBar* Tools = FManager->Bars()->Add();
        for (const char* Caption : {"Text", "Picture"}) {
            auto* Button = new bars::TdxBarButton(this);
            Button->SetCaption(Caption);
            Button->SetPaintStyle(bars::psCaption);
            Button->SetOnClick(Caption[0] == 'T' ? TNotifyEvent(this, &TFrameForm::NewTextClick)
                                                 : TNotifyEvent(this, &TFrameForm::NewPictureClick));
            Tools->ItemLinks()->Add(Button);
        }
        Tools->SetDockingStyle(bars::dsTop);
        Tools->SetDockedTop(30);
        Tools->SetVisible(true);
        FManager->Loaded();
    }

    bars::TdxBarManager* BarManager() const { return FManager; }
    bars::TdxBar* MainMenu() const { return FMainMenu; }
    TChildForm* NewText() {
        auto* Child =
            new TChildForm(Application, "Notes " + std::to_string(++FCount), gfx::RGB(40, 110, 200),
                           {{"&Edit", {"Cu&t", "&Copy", "&Paste"}}, {"F&ormat", {"&Bold", "&Italic"}}});
        Child->SetBounds(10 + 30 * FCount, 10 + 30 * FCount, 300, 200);
        Child->Show();
        return Child;
    }
    TChildForm* NewPicture() {
        auto* Child =
            new TChildForm(Application, "Picture " + std::to_string(++FCount), gfx::RGB(200, 90, 40),
                           {{"&Draw", {"&Line", "&Circle"}}, {"&Colours", {"&Red", "&Blue"}}});
        Child->SetBounds(10 + 30 * FCount, 10 + 30 * FCount, 300, 200);
        Child->Show();
        return Child;
    }

private:
    void NewTextClick(TObject*) { NewText(); }
    void NewPictureClick(TObject*) { NewPicture(); }

    bars::TdxBarManager* FManager = nullptr;
    bars::TdxBar* FMainMenu = nullptr;
    int FCount = 0;
};

std::vector<std::string> MenuCaptions(bars::TdxBar* ABar) {
    std::vector<std::string> Result;
    for (int I = 0; I < ABar->ItemLinks()->Count(); ++I) {
        bars::TdxBarItem* Item = ABar->ItemLinks()->Items(I)->Item();
        Result.push_back(dynamic_cast<bars::TSystemMenuSubItem*>(Item) ? "[icon]" : Item->Caption());
    }
    return Result;
}

TRect FramePart(TFrameForm* Frame, TWinControl* Extra = nullptr) {
    TRect Part;
    win::GetWindowRect(Frame->Handle(), &Part);
    if (Extra) {
        TRect R;
        win::GetWindowRect(Extra->Handle(), &R);
        gfx::UnionRect(&Part, &Part, &R);
    }
    return Part;
}

// The MDI buttons in every style: plain, the close button hot, and pressed.
void AddButtonStyles(TExampleSession& Session, TFrameForm* Frame) {
    static const bars::TdxBarManagerStyle Styles[] = {bars::bmsStandard, bars::bmsEnhanced, bars::bmsFlat,
                                                      bars::bmsXP, bars::bmsOffice11};
    static std::vector<gfx::HBITMAP> Tiles;
    const auto Part = [Frame] {
        bars::TdxBarControl* Bar = Frame->MainMenu()->Control();
        const TRect First = Bar->GetMDIButtonRect(0);
        const TRect Close = Bar->GetMDIButtonRect(2);
        TRect R{First.left - 8, 0, Close.right + 8, Bar->ClientRect().bottom};
        win::MapWindowPoints(Bar->Handle(), nullptr, reinterpret_cast<win::POINT*>(&R), 2);
        return R;
    };
    const auto CloseCentre = [Frame] {
        const TRect Close = Frame->MainMenu()->Control()->GetMDIButtonRect(2);
        return win::POINT{(Close.left + Close.right) / 2, (Close.top + Close.bottom) / 2};
    };
    for (bars::TdxBarManagerStyle Style : Styles) {
        Session.AddStep([Frame, Style] {
            for (int I = 0; I < Frame->MDIChildCount(); ++I)
                if (auto* Child = dynamic_cast<TChildForm*>(Frame->MDIChildren(I)))
                    Child->BarManager()->SetStyle(Style);
            Frame->BarManager()->SetStyle(Style);
            TExampleSession::MoveMouse(Frame, 300, 300);
        });
        // The bars settle in the new style; the mouse leaves them.
        Session.AddStep([] { TExampleSession::Wait(100); });
        Session.AddStep([Frame, Part, CloseCentre] {
            Tiles.push_back(TExampleSession::CopyScreen(Part()));
            const win::POINT P = CloseCentre();
            TExampleSession::MoveMouse(Frame->MainMenu()->Control(), P.x, P.y);
        });
        Session.AddStep([Part] {
            Tiles.push_back(TExampleSession::CopyScreen(Part()));
            TExampleSession::PressMouse();
        });
        Session.AddStep([Frame, Part] {
            Tiles.push_back(TExampleSession::CopyScreen(Part()));
            TExampleSession::MoveMouse(Frame, 300, 300);
            TExampleSession::ReleaseMouse();
        });
    }
    Session.AddStep([&Session] {
        gfx::BITMAP Tile{};
        gfx::GetObject(Tiles.front(), sizeof Tile, &Tile);
        const int Columns = 3;
        const int Rows = static_cast<int>(Tiles.size()) / Columns;
        const int W = Tile.bmWidth + 4, H = Tile.bmHeight + 4;
        const gfx::HDC DC = gfx::CreateCompatibleDC(nullptr);
        const gfx::HDC From = gfx::CreateCompatibleDC(nullptr);
        const gfx::HBITMAP Sheet = gfx::CreateBitmap(Columns * W, Rows * H, 1, 32, nullptr);
        const gfx::HGDIOBJ Old = gfx::SelectObject(DC, Sheet);
        const TRect All{0, 0, Columns * W, Rows * H};
        gfx::FillRect(DC, &All, reinterpret_cast<gfx::HBRUSH>(gfx::GetStockObject(gfx::WHITE_BRUSH)));
        for (std::size_t I = 0; I < Tiles.size(); ++I) {
            const gfx::HGDIOBJ OldFrom = gfx::SelectObject(From, Tiles[I]);
            gfx::BitBlt(DC, static_cast<int>(I % Columns) * W + 2, static_cast<int>(I / Columns) * H + 2,
                        Tile.bmWidth, Tile.bmHeight, From, 0, 0, gfx::SRCCOPY);
            gfx::SelectObject(From, OldFrom);
            gfx::DeleteObject(Tiles[I]);
        }
        Tiles.clear();
        gfx::SelectObject(DC, Old);
        gfx::DeleteDC(DC);
        gfx::DeleteDC(From);
        const std::string Path = "out/mdi_buttons.png";
        const bool Written = gfx::SaveBitmapToPng(Sheet, Path);
        gfx::DeleteObject(Sheet);
        if (!Written) Session.Fail("cannot write " + Path);
        Session.CheckPicture(Path);
    });
}

void AddScript(TExampleSession& Session, TFrameForm* Frame) {
    static TChildForm* Text = nullptr;
    static TChildForm* Picture = nullptr;
    Session.AddStep([Frame] {
        Text = Frame->NewText();
        Picture = Frame->NewPicture();
    });
    Session.AddStep([] {
        Text->Show(); // activated: its menu is the merged one
        Text->SetWindowState(wsMaximized);
    });
    Session.AddStep([&Session, Frame] {
        const auto Captions = MenuCaptions(Frame->MainMenu());
        if (Captions.empty() || Captions.front() != "[icon]" || Captions.back() != "F&ormat")
            Session.Fail("the maximized text window's icon and menu are not on the main menu");
        if (!Frame->MainMenu()->Control()->HasMDIButtons()) Session.Fail("no MDI buttons on the main menu");
        const TRect Part = FramePart(Frame);
        Session.Snapshot("mdi_maximized", &Part);
        const TRect Icon = Frame->MainMenu()->ItemLinks()->Items(0)->ItemRect();
        TExampleSession::Click(Frame->MainMenu()->Control(), (Icon.left + Icon.right) / 2,
                               (Icon.top + Icon.bottom) / 2);
    });
    Session.AddStep([&Session, Frame] {
        bars::TCustomdxBarControl* Menu = bars::GetActiveBarControl();
        if (!Menu || !Menu->IsMenuWindow()) {
            Session.Fail("the icon opened no system menu");
            return;
        }
        const TRect Part = FramePart(Frame, Menu);
        Session.Snapshot("mdi_system_menu", &Part);
        const TRect Restore = Menu->ItemLinks()->VisibleItems(0)->ItemRect();
        TExampleSession::Click(Menu, (Restore.left + Restore.right) / 2, (Restore.top + Restore.bottom) / 2);
    });
    Session.AddStep([&Session] {
        if (Text->WindowState() != wsNormal) Session.Fail("\"Restore\" left the text window maximized");
        Picture->Show(); // the other child: the merged entries change
    });
    Session.AddStep([&Session, Frame] {
        const auto Captions = MenuCaptions(Frame->MainMenu());
        if (Captions.empty() || Captions.back() != "&Colours")
            Session.Fail("the picture window's menu is not merged");
        const TRect Part = FramePart(Frame);
        Session.Snapshot("mdi_other", &Part);
        Picture->SetWindowState(wsMaximized);
    });
    Session.AddStep([Frame] {
        bars::TdxBarControl* Bar = Frame->MainMenu()->Control();
        const TRect Close = Bar->GetMDIButtonRect(2);
        TExampleSession::MoveMouse(Bar, (Close.left + Close.right) / 2, (Close.top + Close.bottom) / 2);
    });
    Session.AddStep([&Session, Frame] {
        bars::TdxBarControl* Bar = Frame->MainMenu()->Control();
        const TRect Close = Bar->GetMDIButtonRect(2);
        const TRect Part = FramePart(Frame);
        Session.Snapshot("mdi_close_hot", &Part);
        TExampleSession::Click(Bar, (Close.left + Close.right) / 2, (Close.top + Close.bottom) / 2);
    });
    Session.AddStep([&Session, Frame] {
        if (Frame->MDIChildCount() != 1 || Frame->ActiveMDIChild() != Text)
            Session.Fail("the MDI close button did not close the picture window");
        const auto Captions = MenuCaptions(Frame->MainMenu());
        if (Captions.empty() || Captions.back() != "F&ormat")
            Session.Fail("the text window's menu did not come back");
        Text->SetWindowState(wsMaximized);
    });
    AddButtonStyles(Session, Frame);
}

} // namespace

int main(int argc, char** argv) {
    bool Display = false;
    for (int I = 1; I < argc; ++I) {
        if (std::strcmp(argv[I], "--x11") == 0) {
            Display = true;
        } else {
            std::fprintf(stderr, "usage: %s [--x11]\n", argv[0]);
            return 2;
        }
    }
    TExampleSession Session("mdi", Display);
    Application->SetTitle("Trestle MDI");
    TFrameForm* Frame = nullptr;
    Application->CreateForm(TFrameForm::ClassInfo(), Frame);
    if (Session.Headless()) AddScript(Session, Frame);
    const int Result = Session.Run();
    DoneApplication();
    return Result;
}
