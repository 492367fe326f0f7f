#include "bars/layout.h"

#include <algorithm>
#include <exception>
#include <map>
#include <utility>

#include "bars/bars.h"
#include "bars/dockcontrol.h"
#include "bars/item.h"
#include "bars/links.h"
#include "bars/manager.h"
#include "bars/subitem.h"
#include "bars/system.h"
#include "bars/toolbar.h"
#include "classes/exceptions.h"
#include "classes/forms.h"
#include "classes/guards.h"
#include "classes/inifiles.h"
#include "classes/registry.h"
#include "classes/streams.h"
#include "classes/sysutils.h"

namespace bars {

bool TdxBarLayoutResult::Failed() const {
    return std::any_of(Problems.begin(), Problems.end(), [](const TdxBarLayoutProblem& P) {
        return P.Kind == lpkReadFailed || P.Kind == lpkWriteFailed;
    });
}

namespace {

// A layout brings at most this many bars: a damaged file must not bury the
// form under toolbars. Rows are numbered below it as well.
constexpr int MaxLayoutBars = 1024;
// Positions and sizes stay in the range window coordinates travel in.
constexpr int MinCoordinate = -32768;
constexpr int MaxCoordinate = 32767;
// Use counts only grow by one per use; far below the integer's end.
constexpr int MaxUseCount = 1 << 30;
constexpr int UserDefineBits = 0x0F;
constexpr int DefaultUserWidth = 100;

constexpr std::string_view BarPrefix = "Bar";
constexpr std::string_view SubItemPrefix = "SubItem_";
constexpr std::string_view ItemLinkPrefix = "ItemLink";

std::string BarNode(int N) {
    return std::string(BarPrefix) + std::to_string(N);
}

std::string SubItemNode(const std::string& AName) {
    return std::string(SubItemPrefix) + AName;
}

bool StartsText(std::string_view S, std::string_view APrefix) {
    return S.size() >= APrefix.size() && cls::SameText(S.substr(0, APrefix.size()), APrefix);
}

// "<prefix><number>" as the layout writes it: the prefix in any case, the
// number in plain decimal (no sign, no leading zeros).
bool ParseNumbered(std::string_view AName, std::string_view APrefix, int& N) {
    if (AName.size() <= APrefix.size() || !StartsText(AName, APrefix)) return false;
    const std::string_view Digits = AName.substr(APrefix.size());
    if (Digits.size() > 9 || (Digits.size() > 1 && Digits[0] == '0')) return false;
    int Value = 0;
    for (char C : Digits) {
        if (C < '0' || C > '9') return false;
        Value = Value * 10 + (C - '0');
    }
    N = Value;
    return true;
}

std::string ExceptionText(const std::exception_ptr& AError) {
    try {
        std::rethrow_exception(AError);
    } catch (const cls::Exception& E) {
        return E.Message();
    } catch (const std::exception& E) {
        return E.what();
    } catch (...) {
        return "unknown error";
    }
}

// --- Dock-site names ---

// The site's name; a site that the owner form does not own is named through
// its named owners, outermost first.
std::string DockControlName(TdxBarManager* AManager, TdxDockControl* ADockControl) {
    std::string Name = ADockControl->Name();
    if (ADockControl->Owner() == AManager->OwnerForm()) return Name;
    for (cls::TComponent* Owner = ADockControl->Owner(); Owner; Owner = Owner->Owner())
        if (!Owner->Name().empty()) Name = Owner->Name() + "." + Name;
    return Name;
}

cls::TComponent* FindGlobalComponent(std::string_view AName) {
    cls::TScreen* Screen = cls::ScreenIfExists();
    for (int I = 0; Screen && I < Screen->CustomFormCount(); ++I) {
        cls::TCustomForm* Form = Screen->CustomForms(I);
        if (cls::SameText(Form->Name(), AName)) return Form;
    }
    return nullptr;
}

cls::TComponent* FindNestedComponent(cls::TComponent* ARoot, std::string_view APath) {
    while (ARoot && !APath.empty()) {
        const std::size_t Dot = APath.find('.');
        ARoot = ARoot->FindComponent(APath.substr(0, Dot));
        APath = Dot == std::string_view::npos ? std::string_view() : APath.substr(Dot + 1);
    }
    return ARoot;
}

// A placed dock site of the manager, or nullptr.
TdxDockControl* FindDockControl(TdxBarManager* AManager, const std::string& AName) {
    const std::size_t Dot = AName.find('.');
    cls::TComponent* Found = nullptr;
    if (Dot != std::string::npos && Dot > 0) {
        Found = FindNestedComponent(FindGlobalComponent(std::string_view(AName).substr(0, Dot)),
                                    std::string_view(AName).substr(Dot + 1));
    } else if (Dot == std::string::npos) {
        Found = AManager->OwnerForm()->FindComponent(AName);
    }
    auto* Dock = dynamic_cast<TdxBarDockControl*>(Found);
    return Dock && Dock->BarManager() == AManager ? Dock : nullptr;
}

// ============================================================================
// The media
// ============================================================================

enum class TRead { Missing, Bad, Ok };

// A layout as read from one medium. A node is the main node (""), a bar
// ("Bar" + n) or a sub item ("SubItem_" + name); a list's links are its
// children "ItemLink" + k.
class TLayoutReader {
public:
    virtual ~TLayoutReader() = default;
    // Anything of this manager's layout is stored.
    virtual bool HasLayout() = 0;
    // The numbers of the stored bars (AList empty) or of the links of list
    // AList, ascending.
    virtual std::vector<int> Numbers(const std::string& AList) = 0;
    // Makes a node current; false when it is not stored.
    virtual bool Select(const std::string& ANode, int ALink = -1) = 0;
    // Where the current node is stored, for reports.
    virtual std::string Place() const = 0;
    virtual TRead Integer(const char* AName, int& AValue) = 0;
    virtual TRead String(const char* AName, std::string& AValue) = 0;
    virtual TRead UserDefine(int& AValue) = 0;
    virtual bool KeepsGlyphs() const = 0;
    virtual TRead Glyph(cls::TBitmap* AGlyph) = 0;
};

class TLayoutWriter {
public:
    virtual ~TLayoutWriter() = default;
    virtual void Begin(const std::string& ANode, int ALink = -1) = 0;
    virtual void Integer(const char* AName, int AValue) = 0;
    void Bool(const char* AName, bool AValue) { Integer(AName, AValue ? 1 : 0); }
    virtual void String(const char* AName, const std::string& AValue) = 0;
    virtual void UserDefine(int AValue) = 0;
    virtual void Glyph(cls::TBitmap* AGlyph) = 0;
};

// --- Registry ---

// "\" in front, one trailing "\" less; empty when nothing is left.
std::string RegistryBase(const std::string& APath) {
    std::string Base = APath;
    if (Base.empty() || Base.front() != '\\') Base.insert(0, "\\");
    if (Base.back() == '\\') Base.pop_back();
    return Base;
}

std::string RegistryKey(const std::string& ABase, const std::string& ANode, int ALink) {
    std::string Key = ABase;
    if (!ANode.empty()) Key.append("\\").append(ANode);
    if (ALink >= 0) Key.append("\\").append(ItemLinkPrefix).append(std::to_string(ALink));
    return Key;
}

class TRegistryLayoutReader : public TLayoutReader {
public:
    // One version of the store is read throughout.
    explicit TRegistryLayoutReader(std::string ABase) : FRegistry(cls::KEY_READ), FBase(std::move(ABase)) {
        FRegistry.BeginUpdate();
    }
    ~TRegistryLayoutReader() override {
        try {
            FRegistry.EndUpdate();
        } catch (const cls::Exception&) {
            // Reading changes nothing: no write of the layout failed.
        }
    }

    bool HasLayout() override { return FRegistry.KeyExists(FBase); }

    std::vector<int> Numbers(const std::string& AList) override {
        std::vector<int> Result;
        if (!FRegistry.OpenKey(RegistryKey(FBase, AList, -1), false)) return Result;
        FPlace.clear();
        cls::TStringList Names;
        FRegistry.GetKeyNames(&Names);
        const std::string_view Prefix = AList.empty() ? BarPrefix : ItemLinkPrefix;
        for (int I = 0; I < Names.Count(); ++I) {
            int N;
            if (ParseNumbered(Names[I], Prefix, N)) Result.push_back(N);
        }
        std::sort(Result.begin(), Result.end());
        return Result;
    }

    bool Select(const std::string& ANode, int ALink) override {
        FPlace = RegistryKey(FBase, ANode, ALink);
        return FRegistry.OpenKey(FPlace, false);
    }

    std::string Place() const override { return FPlace; }

    TRead Integer(const char* AName, int& AValue) override {
        cls::TRegDataInfo Info;
        if (!FRegistry.GetDataInfo(AName, Info)) return TRead::Missing;
        if (Info.RegData != cls::rdInteger) return TRead::Bad;
        AValue = FRegistry.ReadInteger(AName);
        return TRead::Ok;
    }

    TRead String(const char* AName, std::string& AValue) override {
        cls::TRegDataInfo Info;
        if (!FRegistry.GetDataInfo(AName, Info)) return TRead::Missing;
        if (Info.RegData != cls::rdString && Info.RegData != cls::rdExpandString) return TRead::Bad;
        AValue = FRegistry.ReadString(AName);
        return TRead::Ok;
    }

    TRead UserDefine(int& AValue) override {
        cls::TRegDataInfo Info;
        if (!FRegistry.GetDataInfo("UserDefine", Info)) return TRead::Missing;
        if (Info.RegData != cls::rdBinary || Info.DataSize != 1) return TRead::Bad;
        unsigned char Byte = 0;
        FRegistry.ReadBinaryData("UserDefine", &Byte, 1);
        AValue = Byte;
        return TRead::Ok;
    }

    bool KeepsGlyphs() const override { return true; }

    TRead Glyph(cls::TBitmap* AGlyph) override {
        cls::TRegDataInfo Info;
        if (!FRegistry.GetDataInfo("UserGlyph", Info)) return TRead::Missing;
        if (Info.RegData != cls::rdBinary || Info.DataSize <= 0) return TRead::Bad;
        std::string Data(static_cast<std::size_t>(Info.DataSize), '\0');
        FRegistry.ReadBinaryData("UserGlyph", Data.data(), Info.DataSize);
        cls::TMemoryStream Stream;
        Stream.WriteBuffer(Data.data(), static_cast<std::int64_t>(Data.size()));
        Stream.SetPosition(0);
        try {
            AGlyph->LoadFromStream(&Stream);
        } catch (const cls::Exception&) {
            AGlyph->Assign(nullptr);
            return TRead::Bad;
        }
        return TRead::Ok;
    }

private:
    cls::TRegistry FRegistry;
    std::string FBase;
    std::string FPlace;
};

class TRegistryLayoutWriter : public TLayoutWriter {
public:
    // The old layout goes: the keys of bars and sub items, nothing else.
    explicit TRegistryLayoutWriter(std::string ABase) : FBase(std::move(ABase)) {
        FRegistry.BeginUpdate();
        Open(FBase);
        cls::TStringList Names;
        FRegistry.GetKeyNames(&Names);
        for (int I = 0; I < Names.Count(); ++I) {
            int N;
            if (ParseNumbered(Names[I], BarPrefix, N) || StartsText(Names[I], SubItemPrefix))
                FRegistry.DeleteKey(Names[I]);
        }
    }

    // Writes the store once; raises when that fails (the store keeps the old layout).
    void Finish() {
        FRegistry.CloseKey();
        FRegistry.EndUpdate();
    }

    void Begin(const std::string& ANode, int ALink) override { Open(RegistryKey(FBase, ANode, ALink)); }
    void Integer(const char* AName, int AValue) override { FRegistry.WriteInteger(AName, AValue); }
    void String(const char* AName, const std::string& AValue) override {
        FRegistry.WriteString(AName, AValue);
    }
    void UserDefine(int AValue) override {
        const auto Byte = static_cast<unsigned char>(AValue);
        FRegistry.WriteBinaryData("UserDefine", &Byte, 1);
    }
    void Glyph(cls::TBitmap* AGlyph) override {
        if (AGlyph->Empty()) return;
        cls::TMemoryStream Stream;
        AGlyph->SaveToStream(&Stream);
        FRegistry.WriteBinaryData("UserGlyph", Stream.Memory(), static_cast<int>(Stream.Size()));
    }

private:
    void Open(const std::string& AKey) {
        if (!FRegistry.OpenKey(AKey, true)) throw cls::ERegistryException(cls::SRegCreateFailed, {AKey});
    }

    cls::TRegistry FRegistry;
    std::string FBase;
};

// --- INI files ---

std::string IniPrefix(TdxBarManager* AManager) {
    return AManager->OwnerForm()->Name() + "." + AManager->Name() + ".";
}

std::string IniSection(const std::string& APrefix, const std::string& ANode, int ALink) {
    std::string Section = APrefix + (ANode.empty() ? std::string("Main") : ANode);
    if (ALink >= 0) Section.append(".").append(ItemLinkPrefix).append(std::to_string(ALink));
    return Section;
}

// As the INI file reads integers: decimal, or hex after "0x" or "$".
bool IniTextToInt(std::string Text, int& AValue) {
    if (Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X')) Text.replace(0, 2, "$");
    return cls::TryStrToInt(Text, AValue);
}

// Reads this manager's sections in one pass over the file and answers from
// them. Section and value names ignore case as the INI file does; of
// duplicates the first counts.
class TIniLayoutReader : public TLayoutReader {
public:
    TIniLayoutReader(cls::TMemIniFile& AIni, std::string APrefix) : FPrefix(std::move(APrefix)) {
        // "[section]" lines, each followed by the section's "name=value" lines.
        cls::TStringList Lines;
        AIni.GetStrings(&Lines);
        TNode* Current = nullptr;
        for (int I = 0; I < Lines.Count(); ++I) {
            const std::string& Line = Lines[I];
            if (Line.size() >= 2 && Line.front() == '[' && Line.back() == ']') {
                Current = AddNode(Line.substr(1, Line.size() - 2));
            } else if (const std::size_t Eq = Line.find('='); Current && Eq != std::string::npos) {
                Current->Values.emplace_back(Line.substr(0, Eq), Line.substr(Eq + 1));
            }
        }
        for (auto& [Node, Links] : FLinks) std::sort(Links.begin(), Links.end());
    }

    bool HasLayout() override { return !FNodes.empty(); }

    std::vector<int> Numbers(const std::string& AList) override {
        if (!AList.empty()) {
            auto It = FLinks.find(cls::AnsiLowerCase(AList));
            return It == FLinks.end() ? std::vector<int>() : It->second;
        }
        std::vector<int> Result;
        for (const auto& [Key, Node] : FNodes) {
            int N;
            if (Key.second < 0 && ParseNumbered(Key.first, BarPrefix, N)) Result.push_back(N);
        }
        std::sort(Result.begin(), Result.end());
        return Result;
    }

    bool Select(const std::string& ANode, int ALink) override {
        auto It = FNodes.find({cls::AnsiLowerCase(ANode.empty() ? std::string("Main") : ANode), ALink});
        FCurrent = It == FNodes.end() ? nullptr : &It->second;
        FPlace = FCurrent ? FCurrent->Section : IniSection(FPrefix, ANode, ALink);
        return FCurrent != nullptr;
    }

    std::string Place() const override { return FPlace; }

    TRead Integer(const char* AName, int& AValue) override {
        const std::string* Text = Find(AName);
        if (!Text) return TRead::Missing;
        return IniTextToInt(*Text, AValue) ? TRead::Ok : TRead::Bad;
    }

    TRead String(const char* AName, std::string& AValue) override {
        const std::string* Text = Find(AName);
        if (!Text) return TRead::Missing;
        AValue = *Text;
        return TRead::Ok;
    }

    TRead UserDefine(int& AValue) override { return Integer("UserDefine", AValue); }
    bool KeepsGlyphs() const override { return false; }
    TRead Glyph(cls::TBitmap*) override { return TRead::Missing; }

private:
    struct TNode {
        std::string Section;
        std::vector<std::pair<std::string, std::string>> Values;
    };

    // A section of this manager; nullptr for other sections and duplicates.
    TNode* AddNode(const std::string& ASection) {
        if (ASection.size() <= FPrefix.size() ||
            !cls::AnsiSameText(std::string_view(ASection).substr(0, FPrefix.size()), FPrefix))
            return nullptr;
        std::string Node = ASection.substr(FPrefix.size());
        int Link = -1;
        const std::size_t Dot = Node.rfind('.');
        if (Dot != std::string::npos &&
            ParseNumbered(std::string_view(Node).substr(Dot + 1), ItemLinkPrefix, Link))
            Node.erase(Dot);
        else
            Link = -1;
        std::string Key = cls::AnsiLowerCase(Node);
        auto [It, Added] = FNodes.try_emplace({Key, Link});
        if (!Added) return nullptr;
        It->second.Section = ASection;
        if (Link >= 0) FLinks[Key].push_back(Link);
        return &It->second;
    }

    const std::string* Find(std::string_view AName) const {
        if (!FCurrent) return nullptr;
        for (const auto& [Name, Value] : FCurrent->Values)
            if (cls::AnsiSameText(Name, AName)) return &Value;
        return nullptr;
    }

    std::string FPrefix;
    std::map<std::pair<std::string, int>, TNode> FNodes;
    std::map<std::string, std::vector<int>> FLinks;
    const TNode* FCurrent = nullptr;
    std::string FPlace;
};

class TIniLayoutWriter : public TLayoutWriter {
public:
    // This manager's old sections go; the other ones stay.
    TIniLayoutWriter(cls::TMemIniFile& AIni, std::string APrefix) : FIni(AIni), FPrefix(std::move(APrefix)) {
        cls::TStringList Sections;
        FIni.ReadSections(&Sections);
        for (int I = 0; I < Sections.Count(); ++I) {
            const std::string& Section = Sections[I];
            if (Section.size() >= FPrefix.size() &&
                cls::AnsiSameText(std::string_view(Section).substr(0, FPrefix.size()), FPrefix))
                FIni.EraseSection(Section);
        }
    }

    void Begin(const std::string& ANode, int ALink) override { FSection = IniSection(FPrefix, ANode, ALink); }
    void Integer(const char* AName, int AValue) override { FIni.WriteInteger(FSection, AName, AValue); }
    void String(const char* AName, const std::string& AValue) override {
        FIni.WriteString(FSection, AName, AValue);
    }
    void UserDefine(int AValue) override { Integer("UserDefine", AValue); }
    void Glyph(cls::TBitmap*) override {}

private:
    cls::TMemIniFile& FIni;
    std::string FPrefix;
    std::string FSection;
};

// ============================================================================
// Saving
// ============================================================================

class TLayoutSaver {
public:
    TLayoutSaver(TdxBarManager* AManager, TLayoutWriter& AWriter) : FManager(AManager), FWriter(AWriter) {}

    void Run() {
        TdxBars* Bars = FManager->Bars();
        FWriter.Begin(std::string());
        if (FManager->IsNonStandardStyle()) {
            FWriter.Bool("MenusShowRecentItemsFirst", FManager->MenusShowRecentItemsFirst());
            FWriter.Bool("ShowFullMenusAfterDelay", FManager->ShowFullMenusAfterDelay());
        }
        FWriter.Bool("LargeIcons", FManager->LargeIcons());
        FWriter.Bool("ShowHint", FManager->ShowHint());
        FWriter.Bool("ShowShortCutInHint", FManager->ShowShortCutInHint());
        FWriter.Integer("MenuAnimations", FManager->MenuAnimations());
        FWriter.Integer("BarCount", Bars->Count());
        for (int N = 0; N < Bars->Count(); ++N) WriteBar(N, Bars->Items(N));
        for (int I = 0; I < FManager->ItemCount(); ++I) {
            auto* SubItem = dynamic_cast<TCustomdxBarSubItem*>(FManager->Items(I));
            if (!SubItem || SubItem->Name().empty()) continue;
            const std::string Node = SubItemNode(SubItem->Name());
            FWriter.Begin(Node);
            WriteLinks(Node, SubItem->ItemLinks(), false);
        }
    }

private:
    void WriteBar(int N, TdxBar* ABar) {
        // A shown bar's place is in its window.
        if (TdxBarControl* Window = ABar->Control()) Window->StoreBarPosition();
        const std::string Node = BarNode(N);
        FWriter.Begin(Node);
        FWriter.String("Caption", ABar->Caption());
        if (ABar->DockedDockControl())
            FWriter.String("DockedDockControl", DockControlName(FManager, ABar->DockedDockControl()));
        FWriter.Integer("DockedDockingStyle", ABar->DockedDockingStyle());
        FWriter.Integer("DockedLeft", ABar->DockedLeft());
        FWriter.Integer("DockedTop", ABar->DockedTop());
        FWriter.Bool("OneOnRow", ABar->OneOnRow());
        FWriter.Integer("Row", ABar->Row());
        FWriter.Integer("FloatLeft", ABar->FloatLeft());
        FWriter.Integer("FloatTop", ABar->FloatTop());
        FWriter.Integer("FloatClientWidth", ABar->FloatClientWidth());
        FWriter.Integer("FloatClientHeight", ABar->FloatClientHeight());
        if (ABar->DockControl())
            FWriter.String("DockControl", DockControlName(FManager, ABar->DockControl()));
        FWriter.Integer("DockingStyle", ABar->DockingStyle());
        FWriter.Bool("Visible", ABar->Visible());
        WriteLinks(Node, ABar->ItemLinks(), true);
    }

    // The list's node is current.
    void WriteLinks(const std::string& ANode, TdxBarItemLinks* ALinks, bool ABar) {
        FWriter.Integer("ItemLinkCount", ALinks->Count());
        const bool Usage = ALinks->UsesRecentItems();
        for (int K = 0; K < ALinks->Count(); ++K) {
            TdxBarItemLink* Link = ALinks->Items(K);
            if (!Link->Item() || Link->Item()->Name().empty()) continue;
            FWriter.Begin(ANode, K);
            FWriter.String("ItemName", Link->Item()->Name());
            FWriter.Bool("BeginGroup", Link->BeginGroup());
            const TdxBarUserDefines Define = Link->UserDefine();
            FWriter.UserDefine(static_cast<int>(Define.Bits()));
            if (Define.Contains(udCaption)) FWriter.String("UserCaption", Link->UserCaption());
            if (Define.Contains(udGlyph)) FWriter.Glyph(Link->UserGlyph());
            if (Define.Contains(udPaintStyle)) FWriter.Integer("UserPaintStyle", Link->UserPaintStyle());
            if (Define.Contains(udWidth)) FWriter.Integer("UserWidth", Link->UserWidth());
            if (ABar) FWriter.Bool("Visible", Link->Visible());
            if (Usage) {
                FWriter.Integer("UseCount", Link->UseCount());
                FWriter.Integer("RecentIndex", Link->GetRecentIndex());
            }
        }
    }

    TdxBarManager* FManager;
    TLayoutWriter& FWriter;
};

// ============================================================================
// Loading
// ============================================================================

using TBarLockGuard = cls::TPropertyGuard<TdxBar, &TdxBar::LockUpdate, &TdxBar::SetLockUpdate>;
using TLoadingBarsGuard = cls::TPropertyGuard<TdxBars, &TdxBars::LoadingBars, &TdxBars::SetLoadingBars>;

class TLayoutLoader {
public:
    TLayoutLoader(TdxBarManager* AManager, TLayoutReader& AReader, TdxBarLayoutResult& AResult)
        : FManager(AManager), FReader(AReader), FResult(AResult) {}

    void Run() {
        if (!FReader.HasLayout()) return;
        TLockUpdateGuard Lock(FManager);
        FReader.Select(std::string());
        ReadOptions();
        int BarCount = 0;
        if (ReadInteger("BarCount", 0, INT32_MAX, BarCount)) ReadBars(BarCount);
        ReadSubItems();
        // Rows made for stored row numbers that no bar took.
        for (int I = 0; I < FManager->DockControlCount(); ++I) FManager->GetDockControl(I)->RemoveEmptyRows();
    }

private:
    void Report(TdxBarLayoutProblemKind AKind, const char* AValue, std::string ADetail = std::string()) {
        FResult.Problems.push_back({AKind, FReader.Place(), AValue ? AValue : "", std::move(ADetail)});
    }

    // An integer in [AMin, AMax]; a missing one is reported when ARequired.
    bool ReadInteger(const char* AName, int AMin, int AMax, int& AValue, bool ARequired = true) {
        int Value = 0;
        switch (FReader.Integer(AName, Value)) {
            case TRead::Missing:
                if (ARequired) Report(lpkMissingValue, AName);
                return false;
            case TRead::Bad:
                Report(lpkBadValue, AName);
                return false;
            case TRead::Ok:
                break;
        }
        if (Value < AMin || Value > AMax) {
            Report(lpkBadValue, AName, std::to_string(Value));
            return false;
        }
        AValue = Value;
        return true;
    }

    bool ReadBool(const char* AName, bool& AValue, bool ARequired = true) {
        int Value = 0;
        if (!ReadInteger(AName, INT32_MIN, INT32_MAX, Value, ARequired)) return false;
        AValue = Value != 0;
        return true;
    }

    bool ReadString(const char* AName, std::string& AValue, bool ARequired = true) {
        switch (FReader.String(AName, AValue)) {
            case TRead::Missing:
                if (ARequired) Report(lpkMissingValue, AName);
                return false;
            case TRead::Bad:
                Report(lpkBadValue, AName);
                return false;
            case TRead::Ok:
                break;
        }
        return true;
    }

    template <class TSetter>
    void ApplyBool(const char* AName, bool ACurrent, TSetter ASet, bool ARequired = true) {
        bool Value = ACurrent;
        if (ReadBool(AName, Value, ARequired)) ASet(Value);
    }

    template <class TSetter> void ApplyInteger(const char* AName, int AMin, int AMax, TSetter ASet) {
        int Value = 0;
        if (ReadInteger(AName, AMin, AMax, Value)) ASet(Value);
    }

    // A dock-site value: missing means none; a name that is no dock site of
    // the manager is reported and means none.
    TdxDockControl* ReadDockControl(const char* AName) {
        std::string Name;
        if (!ReadString(AName, Name, false) || Name.empty()) return nullptr;
        TdxDockControl* Dock = FindDockControl(FManager, Name);
        if (!Dock) Report(lpkUnknownDockControl, AName, Name);
        return Dock;
    }

    void ReadOptions() {
        TdxBarManager* M = FManager;
        // A layout saved in the standard style has none of these.
        if (M->IsNonStandardStyle()) {
            ApplyBool(
                "MenusShowRecentItemsFirst", M->MenusShowRecentItemsFirst(),
                [M](bool V) { M->SetMenusShowRecentItemsFirst(V); }, false);
            ApplyBool(
                "ShowFullMenusAfterDelay", M->ShowFullMenusAfterDelay(),
                [M](bool V) { M->SetShowFullMenusAfterDelay(V); }, false);
        }
        ApplyBool("LargeIcons", M->LargeIcons(), [M](bool V) { M->SetLargeIcons(V); });
        ApplyBool("ShowHint", M->ShowHint(), [M](bool V) { M->SetShowHint(V); });
        ApplyBool("ShowShortCutInHint", M->ShowShortCutInHint(),
                  [M](bool V) { M->SetShowShortCutInHint(V); });
        ApplyInteger("MenuAnimations", maNone, maFade,
                     [M](int V) { M->SetMenuAnimations(static_cast<TdxBarMenuAnimations>(V)); });
    }

    void ReadBars(int ABarCount) {
        TdxBars* Bars = FManager->Bars();
        if (ABarCount > MaxLayoutBars) {
            Report(lpkTooManyBars, "BarCount", std::to_string(ABarCount));
            ABarCount = MaxLayoutBars;
        }
        HideBars();
        for (int N : FReader.Numbers(std::string())) {
            if (N >= ABarCount) break;
            TdxBar* Bar = N < Bars->Count() ? Bars->Items(N) : Bars->Add();
            const std::string Node = BarNode(N);
            FReader.Select(Node);
            try {
                ReadBar(Node, Bar);
            } catch (...) {
                FReader.Select(Node);
                Report(lpkBarFailed, nullptr, ExceptionText(std::current_exception()));
            }
        }
    }

    // Every bar is hidden. A bar stores its place when it hides, by then
    // changed by the bars hidden before it: what a section leaves out keeps
    // the place each bar had when the load began.
    void HideBars() {
        struct TPlace {
            int Row;
            bool OneOnRow;
            int DockedLeft;
            int DockedTop;
        };
        TdxBars* Bars = FManager->Bars();
        std::vector<TPlace> Places;
        for (int I = 0; I < Bars->Count(); ++I) {
            TdxBar* Bar = Bars->Items(I);
            if (TdxBarControl* Window = Bar->Control()) Window->StoreBarPosition();
            Places.push_back({Bar->Row(), Bar->OneOnRow(), Bar->DockedLeft(), Bar->DockedTop()});
        }
        for (int I = 0; I < Bars->Count(); ++I) Bars->Items(I)->SetVisible(false);
        for (int I = 0; I < Bars->Count() && I < static_cast<int>(Places.size()); ++I) {
            TdxBar* Bar = Bars->Items(I);
            Bar->SetRow(Places[I].Row);
            Bar->SetOneOnRow(Places[I].OneOnRow);
            Bar->SetDockedLeft(Places[I].DockedLeft);
            Bar->SetDockedTop(Places[I].DockedTop);
        }
    }

    void ReadBar(const std::string& ANode, TdxBar* ABar) {
        TBarLockGuard Lock(ABar);
        int LinkCount = 0;
        if (ReadLinkCount(LinkCount)) {
            ABar->ItemLinks()->Clear();
            ReadLinks(ANode, LinkCount, ABar->ItemLinks(), true);
            FReader.Select(ANode);
        }
        std::string Caption;
        if (ReadString("Caption", Caption)) {
            ABar->SetCaption(Caption);
            // Another bar has that caption.
            if (ABar->Caption() != Caption) Report(lpkBadValue, "Caption", Caption);
        }
        ABar->SetDockedDockControl(ReadDockControl("DockedDockControl"));
        ApplyInteger("DockedDockingStyle", dsNone, dsBottom,
                     [ABar](int V) { ABar->SetDockedDockingStyle(static_cast<TdxBarDockingStyle>(V)); });
        ApplyInteger("DockedLeft", MinCoordinate, MaxCoordinate, [ABar](int V) { ABar->SetDockedLeft(V); });
        ApplyInteger("DockedTop", MinCoordinate, MaxCoordinate, [ABar](int V) { ABar->SetDockedTop(V); });
        ApplyBool("OneOnRow", ABar->OneOnRow(), [ABar](bool V) { ABar->SetOneOnRow(V); });
        ApplyInteger("Row", 0, MaxLayoutBars - 1, [ABar](int V) { ABar->SetRow(V); });
        ApplyInteger("FloatLeft", MinCoordinate, MaxCoordinate, [ABar](int V) { ABar->SetFloatLeft(V); });
        ApplyInteger("FloatTop", MinCoordinate, MaxCoordinate, [ABar](int V) { ABar->SetFloatTop(V); });
        ApplyInteger("FloatClientWidth", 0, MaxCoordinate, [ABar](int V) { ABar->SetFloatClientWidth(V); });
        ApplyInteger("FloatClientHeight", 0, MaxCoordinate, [ABar](int V) { ABar->SetFloatClientHeight(V); });
        ABar->SetDockControl(ReadDockControl("DockControl"));
        ApplyInteger("DockingStyle", dsNone, dsBottom,
                     [ABar](int V) { ABar->SetDockingStyle(static_cast<TdxBarDockingStyle>(V)); });
        bool Visible = ABar->Visible();
        if (ReadBool("Visible", Visible)) {
            // Stored row numbers make their rows.
            TLoadingBarsGuard Loading(FManager->Bars());
            ABar->SetVisible(Visible);
        }
    }

    void ReadSubItems() {
        struct TList {
            TCustomdxBarSubItem* SubItem;
            int Count;
        };
        // Every list is emptied before any is read, so that the links a sub
        // item had before do not count as cycles.
        std::vector<TList> Lists;
        for (int I = 0; I < FManager->ItemCount(); ++I) {
            auto* SubItem = dynamic_cast<TCustomdxBarSubItem*>(FManager->Items(I));
            if (!SubItem || SubItem->Name().empty() || !FReader.Select(SubItemNode(SubItem->Name())))
                continue;
            int Count = 0;
            if (!ReadLinkCount(Count)) continue;
            SubItem->ItemLinks()->Clear();
            Lists.push_back({SubItem, Count});
        }
        for (const TList& List : Lists)
            ReadLinks(SubItemNode(List.SubItem->Name()), List.Count, List.SubItem->ItemLinks(), false);
    }

    bool ReadLinkCount(int& ACount) { return ReadInteger("ItemLinkCount", 0, INT32_MAX, ACount); }

    void ReadLinks(const std::string& ANode, int ACount, TdxBarItemLinks* ALinks, bool ABar) {
        const bool Usage = ALinks->UsesRecentItems();
        for (int K : FReader.Numbers(ANode)) {
            if (K >= ACount) break;
            FReader.Select(ANode, K);
            ReadLink(ALinks, ABar, Usage);
        }
        ALinks->ApplyLoadedState(true);
    }

    void ReadLink(TdxBarItemLinks* ALinks, bool ABar, bool AUsage) {
        std::string Name;
        if (!ReadString("ItemName", Name)) return;
        TdxBarItem* Item = Name.empty() ? nullptr : FManager->FindItemByName(Name);
        if (!Item) {
            Report(lpkUnknownItem, "ItemName", Name);
            return;
        }
        auto* SubItem = dynamic_cast<TCustomdxBarSubItem*>(ALinks->LinksOwner());
        if (SubItem && !SubItem->CanContainItem(Item)) {
            Report(lpkRecursiveLink, "ItemName", Name);
            return;
        }
        TdxBarItemLink* Link = ALinks->Add(Item);
        ApplyBool("BeginGroup", Link->BeginGroup(), [Link](bool V) { Link->SetBeginGroup(V); });

        ReadUserValues(Link);
        if (ABar) ApplyBool("Visible", true, [Link](bool V) { Link->SetLoadedVisible(V); });
        if (AUsage) {
            int Value = 0;
            if (ReadInteger("UseCount", 0, MaxUseCount, Value, false)) Link->SetLoadedUseCount(Value);
            if (ReadInteger("RecentIndex", -1, INT32_MAX, Value, false)) Link->SetLoadedRecentIndex(Value);
        }
    }

    // The stored user-define set, masked to its four flags, is the link's;
    // one that cannot be read leaves the new link's (none). A value a flag
    // asks for that cannot be read takes its default: no caption or glyph
    // (the INI layout keeps no glyphs), the standard paint style, width 100.
    void ReadUserValues(TdxBarItemLink* ALink) {
        int Bits = 0;
        switch (FReader.UserDefine(Bits)) {
            case TRead::Missing:
                Report(lpkMissingValue, "UserDefine");
                Bits = 0;
                break;
            case TRead::Bad:
                Report(lpkBadValue, "UserDefine");
                Bits = 0;
                break;
            case TRead::Ok:
                if (Bits & ~UserDefineBits) Report(lpkBadValue, "UserDefine", std::to_string(Bits));
                break;
        }
        const TdxBarUserDefines Define =
            TdxBarUserDefines::FromBits(static_cast<unsigned>(Bits & UserDefineBits));
        ALink->SetUserDefine(Define);
        if (Define.Contains(udGlyph) && FReader.KeepsGlyphs() &&
            FReader.Glyph(ALink->UserGlyph()) == TRead::Bad)
            Report(lpkBadValue, "UserGlyph");
        std::string Caption;
        if (Define.Contains(udCaption) && ReadString("UserCaption", Caption)) ALink->SetUserCaption(Caption);
        int PaintStyle = psStandard;
        if (Define.Contains(udPaintStyle)) {
            ReadInteger("UserPaintStyle", psStandard, psCaptionGlyph, PaintStyle);
            ALink->SetUserPaintStyle(static_cast<TdxBarPaintStyle>(PaintStyle));
        }
        int Width = DefaultUserWidth;
        if (Define.Contains(udWidth)) {
            ReadInteger("UserWidth", 0, MaxCoordinate, Width);
            ALink->SetUserWidth(Width);
        }
    }

    TdxBarManager* FManager;
    TLayoutReader& FReader;
    TdxBarLayoutResult& FResult;
};

void ReportFailure(TdxBarLayoutResult& AResult, TdxBarLayoutProblemKind AKind, const std::string& APlace) {
    AResult.Problems.push_back({AKind, APlace, std::string(), ExceptionText(std::current_exception())});
}

// The INI file, or the manager's layout stream in its place.
std::unique_ptr<cls::TMemIniFile> OpenIniFile(TdxBarManager* AManager, const std::string& AFileName) {
    cls::TStream* Stream = AManager->LayoutStream();
    auto Ini = std::make_unique<cls::TMemIniFile>(Stream ? std::string() : AFileName);
    if (Stream) {
        cls::TStringList Lines;
        Stream->SetPosition(0);
        Lines.LoadFromStream(Stream);
        Ini->SetStrings(&Lines);
    }
    return Ini;
}

} // namespace

// ============================================================================
// Entry points
// ============================================================================

TdxBarLayoutResult LoadLayoutFromRegistry(TdxBarManager* ABarManager, const std::string& APath) {
    TdxBarLayoutResult Result;
    const std::string Base = APath.empty() ? std::string() : RegistryBase(APath);
    if (!ABarManager || Base.empty()) return Result;
    try {
        TRegistryLayoutReader Reader(Base);
        TLayoutLoader(ABarManager, Reader, Result).Run();
    } catch (...) {
        ReportFailure(Result, lpkReadFailed, Base);
    }
    return Result;
}

TdxBarLayoutResult SaveLayoutToRegistry(TdxBarManager* ABarManager, const std::string& APath) {
    TdxBarLayoutResult Result;
    const std::string Base = APath.empty() ? std::string() : RegistryBase(APath);
    if (!ABarManager || Base.empty()) return Result;
    try {
        TRegistryLayoutWriter Writer(Base);
        TLayoutSaver(ABarManager, Writer).Run();
        Writer.Finish();
    } catch (...) {
        ReportFailure(Result, lpkWriteFailed, Base);
    }
    return Result;
}

TdxBarLayoutResult LoadLayoutFromIniFile(TdxBarManager* ABarManager, const std::string& AFileName) {
    TdxBarLayoutResult Result;
    if (!ABarManager || (AFileName.empty() && !ABarManager->LayoutStream())) return Result;
    try {
        std::unique_ptr<cls::TMemIniFile> Ini = OpenIniFile(ABarManager, AFileName);
        TIniLayoutReader Reader(*Ini, IniPrefix(ABarManager));
        TLayoutLoader(ABarManager, Reader, Result).Run();
    } catch (...) {
        ReportFailure(Result, lpkReadFailed, AFileName);
    }
    return Result;
}

TdxBarLayoutResult SaveLayoutToIniFile(TdxBarManager* ABarManager, const std::string& AFileName) {
    TdxBarLayoutResult Result;
    if (!ABarManager || (AFileName.empty() && !ABarManager->LayoutStream())) return Result;
    try {
        std::unique_ptr<cls::TMemIniFile> Ini = OpenIniFile(ABarManager, AFileName);
        {
            TIniLayoutWriter Writer(*Ini, IniPrefix(ABarManager));
            TLayoutSaver(ABarManager, Writer).Run();
        }
        if (cls::TStream* Stream = ABarManager->LayoutStream()) {
            cls::TStringList Lines;
            Ini->GetStrings(&Lines);
            Stream->SetSize(0);
            Lines.SaveToStream(Stream);
        } else {
            Ini->UpdateFile();
        }
    } catch (...) {
        ReportFailure(Result, lpkWriteFailed, AFileName);
    }
    return Result;
}

} // namespace bars
