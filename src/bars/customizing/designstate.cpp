#include "bars/customizing/designstate.h"

#include <algorithm>
#include <vector>

#include "bars/links.h"
#include "bars/manager.h"
#include "bars/subitem.h"
#include "classes/forms.h"
#include "classes/formstream.h"
#include "classes/formtext.h"
#include "classes/streams.h"
#include "classes/sysutils.h"
#include "win/user.h"

namespace bars {

namespace {

bool GDesignTimeStateLoading = false;
bool GBarResetting = false;

// The screen cursor for a scope.
class TCursorScope {
public:
    explicit TCursorScope(cls::TCursor ACursor) : FPrevious(cls::Screen->Cursor()) {
        cls::Screen->SetCursor(ACursor);
    }
    ~TCursorScope() { cls::Screen->SetCursor(FPrevious); }
    TCursorScope(const TCursorScope&) = delete;
    TCursorScope& operator=(const TCursorScope&) = delete;

private:
    cls::TCursor FPrevious;
};

class TFlagScope {
public:
    explicit TFlagScope(bool& AFlag) : FFlag(AFlag), FPrevious(AFlag) { AFlag = true; }
    ~TFlagScope() { FFlag = FPrevious; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FPrevious;
};

std::vector<std::string_view> SplitLines(std::string_view AText) {
    std::vector<std::string_view> Lines;
    while (!AText.empty()) {
        const std::size_t End = AText.find('\n');
        Lines.push_back(AText.substr(0, End));
        if (End == std::string_view::npos) break;
        AText.remove_prefix(End + 1);
    }
    return Lines;
}

std::size_t Indentation(std::string_view ALine) {
    const std::size_t N = ALine.find_first_not_of(' ');
    return N == std::string_view::npos ? ALine.size() : N;
}

// An event handler's line: "On" and a capital letter, then " = " (a property
// like OneOnRow stays).
bool IsEventLine(std::string_view ALine) {
    const std::string_view Text = ALine.substr(Indentation(ALine));
    return Text.size() > 2 && Text.starts_with("On") && Text[2] >= 'A' && Text[2] <= 'Z' &&
           Text.find(" = ") != std::string_view::npos;
}

} // namespace

bool IsDesignTimeStateLoading() {
    return GDesignTimeStateLoading;
}

bool IsBarResetting() {
    return GBarResetting;
}

TBarResetting::TBarResetting() : FPrevious(GBarResetting) {
    GBarResetting = true;
}

TBarResetting::~TBarResetting() {
    GBarResetting = FPrevious;
}

std::string BuildDesignTimeText(std::string_view AFormText, std::string_view AManagerName,
                                std::string_view AClassName) {
    const std::vector<std::string_view> Lines = SplitLines(AFormText);
    std::string Result = "object TempForm: TdxBarTempForm\n";
    // The form's own properties come before its first object.
    int SizeLines = 0;
    for (std::size_t I = 1; I < Lines.size() && SizeLines < 2; ++I) {
        const std::string_view Line = Lines[I];
        if (Indentation(Line) != 2) continue;
        const std::string_view Text = Line.substr(2);
        if (Text.starts_with("object ") || Text.starts_with("inherited ") || Text.starts_with("inline "))
            break;
        for (std::string_view Name : {"Width =", "Height =", "ClientWidth =", "ClientHeight ="}) {
            if (Text.starts_with(Name)) {
                Result.append(Line).append("\n");
                ++SizeLines;
                break;
            }
        }
    }
    const std::string Header = "object " + std::string(AManagerName) + ": " + std::string(AClassName);
    std::size_t First = Lines.size();
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        if (cls::Trim(Lines[I]) == Header) {
            First = I;
            break;
        }
    }
    if (First == Lines.size()) return std::string();
    const std::string End = std::string(Indentation(Lines[First]), ' ') + "end";
    for (std::size_t I = First; I < Lines.size(); ++I) {
        if (!IsEventLine(Lines[I])) Result.append(Lines[I]).append("\n");
        if (I > First && Lines[I] == End) return Result + "end\n";
    }
    return std::string();
}

std::unique_ptr<cls::TForm> LoadDesignTimeBarState(TdxBarManager* ABarManager) {
    cls::TCustomForm* OwnerForm = ABarManager ? ABarManager->OwnerForm() : nullptr;
    if (!OwnerForm) return nullptr;
    const cls::TClass FormClass = OwnerForm->ClassType();
    const win::HMODULE Module = cls::FindClassHInstance(FormClass);
    const win::HRSRC Resource = win::FindResource(Module, FormClass->ClassName().c_str(), win::RT_RCDATA);
    if (!Resource) return nullptr;
    TCursorScope HourGlass(cls::crHourGlass);
    const std::string_view Binary(
        static_cast<const char*>(win::LockResource(win::LoadResource(Module, Resource))),
        win::SizeofResource(Module, Resource));
    const std::string Text =
        BuildDesignTimeText(cls::ObjectBinaryToText(Binary), ABarManager->Name(), ABarManager->ClassName());
    if (Text.empty()) return nullptr;
    cls::TStringStream Stream(cls::ObjectTextToBinary(Text));

    const cls::TPersistentClass ManagerClass = cls::TPersistentClass::Cast(ABarManager->ClassType());
    const bool Registered = cls::GetClass(ManagerClass->ClassName()) == ManagerClass;
    if (!Registered) cls::RegisterClass(ManagerClass);
    auto Form = std::make_unique<cls::TForm>(nullptr);
    try {
        TFlagScope Loading(GDesignTimeStateLoading);
        cls::ReadComponent(&Stream, Form.get());
    } catch (...) {
        if (!Registered) cls::UnRegisterClass(ManagerClass);
        throw;
    }
    if (!Registered) cls::UnRegisterClass(ManagerClass);
    if (auto* Copy = dynamic_cast<TdxBarManager*>(Form->FindComponent(ABarManager->Name()))) {
        Copy->SetStoreInIniFile(false);
        Copy->SetStoreInRegistry(false);
    }
    return Form;
}

void RelinkSubItems(TdxBarItemLinks* AStoredLinks, TdxBarManager* ABarManager) {
    // Each stored sub item once: a damaged copy cannot make the walk circle.
    std::vector<TdxBarItemLinks*> Pending{AStoredLinks};
    std::vector<const TCustomdxBarSubItem*> Done;
    while (!Pending.empty()) {
        TdxBarItemLinks* Links = Pending.back();
        Pending.pop_back();
        for (int I = 0; I < Links->Count(); ++I) {
            auto* Stored = dynamic_cast<TCustomdxBarSubItem*>(Links->Items(I)->Item());
            if (!Stored || std::find(Done.begin(), Done.end(), Stored) != Done.end()) continue;
            Done.push_back(Stored);
            auto* Target = dynamic_cast<TCustomdxBarSubItem*>(ABarManager->FindItemByName(Stored->Name()));
            if (!Target) continue;
            Target->ItemLinks()->Assign(Stored->ItemLinks());
            Target->ItemLinks()->AssignRecentFlags(Stored->ItemLinks());
            Pending.push_back(Stored->ItemLinks());
        }
    }
}

} // namespace bars
