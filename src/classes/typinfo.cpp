#include "classes/typinfo.h"

#include <map>
#include <memory>
#include <mutex>

#include "classes/graphics.h"
#include "classes/sysutils.h"

namespace cls {

bool TPropInfo::IsStored(TPersistent* AInstance) const {
    if (Stored && !Stored(AInstance)) return false;
    switch (Kind) {
        case pkInteger:
        case pkBoolean:
        case pkEnum:
        case pkSet:
            return !Default || GetOrd(AInstance) != *Default;
        case pkString:
            return !GetStr(AInstance).empty();
        case pkFloat:
            return GetFloat(AInstance) != 0;
        case pkObject:
            return GetObject(AInstance) != nullptr;
        case pkComponent:
            return GetObject(AInstance) != nullptr;
        case pkMethod:
            return IsAssigned(GetMethod(AInstance));
    }
    return false;
}

const TPropInfo* TPublishedProperties::Find(std::string_view AName) const {
    for (const TPropInfo& P : FList)
        if (SameText(P.Name, AName)) return &P;
    return nullptr;
}

TPropInfo& TPublishedProperties::Add(TPropInfo AInfo) {
    for (TPropInfo& P : FList) {
        if (SameText(P.Name, AInfo.Name)) {
            P = std::move(AInfo);
            return P;
        }
    }
    FList.push_back(std::move(AInfo));
    return FList.back();
}

const TPublishedProperties& GetPropList(TPersistent* AInstance) {
    static std::mutex Lock;
    // Never freed: the lists live as long as the classes.
    static auto* Lists = new std::map<TClass, std::unique_ptr<TPublishedProperties>>();
    const TClass Class = AInstance->ClassType();
    {
        std::lock_guard Guard(Lock);
        auto It = Lists->find(Class);
        if (It != Lists->end()) return *It->second;
    }
    auto List = std::make_unique<TPublishedProperties>();
    AInstance->GetPublishedProperties(*List);
    std::lock_guard Guard(Lock);
    auto [It, Inserted] = Lists->emplace(Class, std::move(List));
    return *It->second;
}

const std::any* TPublishedMethods::Find(std::string_view AName) const {
    for (const TEntry& E : FList)
        if (SameText(E.Name, AName)) return &E.Event;
    return nullptr;
}

std::string TPublishedMethods::NameOf(const TPropInfo& AProp, const std::any& AValue) const {
    for (const TEntry& E : FList)
        if (AProp.SameMethod(E.Event, AValue)) return E.Name;
    return std::string();
}

TIdentMap ColorIdents() {
    static constexpr TIdentMapEntry Colors[] = {
        {clBlack, "clBlack"},
        {clMaroon, "clMaroon"},
        {clGreen, "clGreen"},
        {clOlive, "clOlive"},
        {clNavy, "clNavy"},
        {clPurple, "clPurple"},
        {clTeal, "clTeal"},
        {clGray, "clGray"},
        {clSilver, "clSilver"},
        {clRed, "clRed"},
        {clLime, "clLime"},
        {clYellow, "clYellow"},
        {clBlue, "clBlue"},
        {clFuchsia, "clFuchsia"},
        {clAqua, "clAqua"},
        {clWhite, "clWhite"},
        {clMoneyGreen, "clMoneyGreen"},
        {clSkyBlue, "clSkyBlue"},
        {clCream, "clCream"},
        {clMedGray, "clMedGray"},
        {clScrollBar, "clScrollBar"},
        {clBackground, "clBackground"},
        {clActiveCaption, "clActiveCaption"},
        {clInactiveCaption, "clInactiveCaption"},
        {clMenu, "clMenu"},
        {clWindow, "clWindow"},
        {clWindowFrame, "clWindowFrame"},
        {clMenuText, "clMenuText"},
        {clWindowText, "clWindowText"},
        {clCaptionText, "clCaptionText"},
        {clActiveBorder, "clActiveBorder"},
        {clInactiveBorder, "clInactiveBorder"},
        {clAppWorkSpace, "clAppWorkSpace"},
        {clHighlight, "clHighlight"},
        {clHighlightText, "clHighlightText"},
        {clBtnFace, "clBtnFace"},
        {clBtnShadow, "clBtnShadow"},
        {clGrayText, "clGrayText"},
        {clBtnText, "clBtnText"},
        {clInactiveCaptionText, "clInactiveCaptionText"},
        {clBtnHighlight, "clBtnHighlight"},
        {cl3DDkShadow, "cl3DDkShadow"},
        {cl3DLight, "cl3DLight"},
        {clInfoText, "clInfoText"},
        {clInfoBk, "clInfoBk"},
        {clHotLight, "clHotLight"},
        {clGradientActiveCaption, "clGradientActiveCaption"},
        {clGradientInactiveCaption, "clGradientInactiveCaption"},
        {clMenuHighlight, "clMenuHighlight"},
        {clMenuBar, "clMenuBar"},
        {clLtGray, "clLtGray"},
        {clDkGray, "clDkGray"},
        {clNone, "clNone"},
        {clDefault, "clDefault"},
    };
    return Colors;
}

TIdentMap CharsetIdents() {
    static constexpr TIdentMapEntry Charsets[] = {
        {gfx::ANSI_CHARSET, "ANSI_CHARSET"},     {gfx::DEFAULT_CHARSET, "DEFAULT_CHARSET"},
        {gfx::SYMBOL_CHARSET, "SYMBOL_CHARSET"}, {gfx::RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
        {gfx::OEM_CHARSET, "OEM_CHARSET"},
    };
    return Charsets;
}

} // namespace cls
