// Published properties and published methods: what the form reader and
// writer know of a class.
//
// A class lists its published properties in GetPublishedProperties, after
// those of its parent, each with its accessors and its default:
//
//     void TdxBarButton::GetPublishedProperties(cls::TPublishedProperties& P) {
//         inherited::GetPublishedProperties(P);
//         P.Boolean("AllowAllUp", &TdxBarButton::AllowAllUp, &TdxBarButton::SetAllowAllUp, false);
//         P.Enum("ButtonStyle", &TdxBarButton::ButtonStyle, &TdxBarButton::SetButtonStyle,
//                TdxBarButtonStyleNames, bsDefault);
//         P.Component("DropDownMenu", &TdxBarButton::DropDownMenu, &TdxBarButton::SetDropDownMenu);
//         P.Event("OnClick", &TdxBarItem::OnClick, &TdxBarItem::SetOnClick);
//     }
//
// The list is collected once per class (GetPropList); a class must not make
// it depend on the instance, but a property's stored rule may (StoredWhen).
// Publishing a name again replaces the ancestor's property in its place.
//
// Kinds and how the filer writes them: integers (an identifier when an
// identifier map names the value, as colours), Booleans, enumerations
// (vaIdent), sets (vaSet), strings, floats, owned objects (their own
// properties under "Name.", a collection as vaCollection), references to
// components (vaIdent with the component's name, resolved when the whole
// form has been read) and events (the name of a published method of the
// form being read or written). A property is written when its stored rule
// holds and its value differs from its default: integers, Booleans,
// enumerations and sets without a default are always written; strings are
// written when not empty, floats when not 0, references and events when
// assigned, collections when they have items.
//
// A form (any root component) lists the methods its form stream may name in
// GetPublishedMethods:
//
//     void TMainForm::GetPublishedMethods(cls::TPublishedMethods& M) {
//         inherited::GetPublishedMethods(M);
//         M.Add("CommandClick", cls::TNotifyEvent(this, &TMainForm::CommandClick));
//     }
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "classes/component.h"
#include "classes/events.h"

namespace cls {

class TReader;
class TWriter;

enum TPropKind { pkInteger, pkBoolean, pkEnum, pkSet, pkString, pkFloat, pkObject, pkComponent, pkMethod };

// The names of an enumeration's values, value i at index i.
using TEnumNames = std::span<const char* const>;

// Integer values that have names (colours, cursors, character sets).
struct TIdentMapEntry {
    std::int64_t Value;
    const char* Name;
};
using TIdentMap = std::span<const TIdentMapEntry>;

// The names of the colour constants of the graphics layer.
TIdentMap ColorIdents();
// The names of the character set constants (DEFAULT_CHARSET ...).
TIdentMap CharsetIdents();

class TPropInfo {
public:
    std::string Name;
    TPropKind Kind = pkInteger;

    // Integers, Booleans, enumerations, and sets as their bits.
    std::function<std::int64_t(TPersistent*)> GetOrd;
    std::function<void(TPersistent*, std::int64_t)> SetOrd;
    std::optional<std::int64_t> Default;
    TEnumNames Names;
    TIdentMap Idents;
    std::int64_t MinValue = INT32_MIN;
    std::int64_t MaxValue = INT32_MAX;
    // Strings.
    std::function<std::string(TPersistent*)> GetStr;
    std::function<void(TPersistent*, const std::string&)> SetStr;
    // Floats.
    std::function<double(TPersistent*)> GetFloat;
    std::function<void(TPersistent*, double)> SetFloat;
    // Owned objects and component references. SetObject: references only.
    std::function<TObject*(TPersistent*)> GetObject;
    std::function<void(TPersistent*, TComponent*)> SetObject;
    TClass ObjectClass = nullptr;
    // Events: the value as a std::any holding the event type.
    std::function<std::any(TPersistent*)> GetMethod;
    // False when the value's type is not the event's.
    std::function<bool(TPersistent*, const std::any&)> SetMethod;
    std::function<bool(const std::any&, const std::any&)> SameMethod;
    std::function<bool(const std::any&)> IsAssigned;

    std::function<bool(TPersistent*)> Stored;

    // Whether the writer writes the property of AInstance.
    bool IsStored(TPersistent* AInstance) const;

    // Stored only while the member answers true.
    template <class C> TPropInfo& StoredWhen(bool (C::*AStored)() const) {
        Stored = [AStored](TPersistent* I) { return (static_cast<C*>(I)->*AStored)(); };
        return *this;
    }
    TPropInfo& StoredIf(std::function<bool(TPersistent*)> AStored) {
        Stored = std::move(AStored);
        return *this;
    }
    TPropInfo& NotStored() {
        Stored = [](TPersistent*) { return false; };
        return *this;
    }
};

namespace detail {
template <class M> struct TMemberOf;
template <class C, class R, class... A> struct TMemberOf<R (C::*)(A...)> {
    using Class = C;
    using Result = R;
};
template <class C, class R, class... A> struct TMemberOf<R (C::*)(A...) const> {
    using Class = C;
    using Result = R;
};
template <class M> using TClassOfMember = typename TMemberOf<M>::Class;
// The class of a getter and setter pair: the setter's when it is the more
// derived one (a descendant that hides its ancestor's setter).
template <class G, class S>
using TClassOfPair = std::conditional_t<std::is_base_of_v<TClassOfMember<G>, TClassOfMember<S>>,
                                        TClassOfMember<S>, TClassOfMember<G>>;
} // namespace detail

class TPublishedProperties {
public:
    int Count() const { return static_cast<int>(FList.size()); }
    const TPropInfo& operator[](int Index) const { return FList[static_cast<std::size_t>(Index)]; }
    // Ignoring ASCII case; nullptr when the class has no such property.
    const TPropInfo* Find(std::string_view AName) const;

    // Adds (or replaces) a property and returns it for further settings.
    TPropInfo& Add(TPropInfo AInfo);

    template <class G, class S>
    TPropInfo& Integer(std::string_view AName, G AGet, S ASet, std::optional<std::int64_t> ADefault = {},
                       TIdentMap AIdents = {}) {
        using C = detail::TClassOfPair<G, S>;
        using T = std::remove_cvref_t<typename detail::TMemberOf<G>::Result>;
        TPropInfo P = Ordinal<C, T>(AName, AGet, ASet, ADefault);
        P.Kind = pkInteger;
        P.Idents = AIdents;
        if constexpr (std::is_integral_v<T> && (sizeof(T) < 8 || std::is_signed_v<T>)) {
            P.MinValue = static_cast<std::int64_t>(std::numeric_limits<T>::min());
            P.MaxValue = static_cast<std::int64_t>(std::numeric_limits<T>::max());
        } else if constexpr (std::is_integral_v<T>) {
            P.MinValue = 0;
            P.MaxValue = INT64_MAX;
        }
        return Add(std::move(P));
    }
    template <class G, class S>
    TPropInfo& Color(std::string_view AName, G AGet, S ASet, std::optional<std::int64_t> ADefault = {}) {
        return Integer(AName, AGet, ASet, ADefault, ColorIdents());
    }
    template <class G, class S>
    TPropInfo& Boolean(std::string_view AName, G AGet, S ASet, std::optional<bool> ADefault = {}) {
        using C = detail::TClassOfPair<G, S>;
        TPropInfo P = Ordinal<C, bool>(AName, AGet, ASet,
                                       ADefault ? std::optional<std::int64_t>(*ADefault) : std::nullopt);
        P.Kind = pkBoolean;
        return Add(std::move(P));
    }
    template <class G, class S>
    TPropInfo& Enum(std::string_view AName, G AGet, S ASet, TEnumNames ANames,
                    std::optional<std::int64_t> ADefault = {}) {
        using C = detail::TClassOfPair<G, S>;
        using T = std::remove_cvref_t<typename detail::TMemberOf<G>::Result>;
        TPropInfo P = Ordinal<C, T>(AName, AGet, ASet, ADefault);
        P.Kind = pkEnum;
        P.Names = ANames;
        return Add(std::move(P));
    }
    // A TSet property; the default is the bits of the default set.
    template <class G, class S>
    TPropInfo& Set(std::string_view AName, G AGet, S ASet, TEnumNames ANames, std::uint64_t ADefault = 0) {
        using C = detail::TClassOfPair<G, S>;
        using T = std::remove_cvref_t<typename detail::TMemberOf<G>::Result>;
        TPropInfo P;
        P.Name = AName;
        P.Kind = pkSet;
        P.Names = ANames;
        P.Default = static_cast<std::int64_t>(ADefault);
        P.GetOrd = [AGet](TPersistent* I) {
            return static_cast<std::int64_t>((static_cast<C*>(I)->*AGet)().Bits());
        };
        P.SetOrd = [ASet](TPersistent* I, std::int64_t V) {
            (static_cast<C*>(I)->*ASet)(T::FromBits(static_cast<std::uint64_t>(V)));
        };
        return Add(std::move(P));
    }
    template <class G, class S> TPropInfo& String(std::string_view AName, G AGet, S ASet) {
        using C = detail::TClassOfPair<G, S>;
        TPropInfo P;
        P.Name = AName;
        P.Kind = pkString;
        P.GetStr = [AGet](TPersistent* I) { return std::string((static_cast<C*>(I)->*AGet)()); };
        P.SetStr = [ASet](TPersistent* I, const std::string& V) { (static_cast<C*>(I)->*ASet)(V); };
        return Add(std::move(P));
    }
    template <class G, class S> TPropInfo& Float(std::string_view AName, G AGet, S ASet) {
        using C = detail::TClassOfPair<G, S>;
        TPropInfo P;
        P.Name = AName;
        P.Kind = pkFloat;
        P.GetFloat = [AGet](TPersistent* I) { return static_cast<double>((static_cast<C*>(I)->*AGet)()); };
        P.SetFloat = [ASet](TPersistent* I, double V) { (static_cast<C*>(I)->*ASet)(V); };
        return Add(std::move(P));
    }
    // An object the instance owns (a font, a bitmap, a collection, a string
    // list): read and written through its own properties.
    template <class G> TPropInfo& Object(std::string_view AName, G AGet) {
        using C = detail::TClassOfMember<G>;
        TPropInfo P;
        P.Name = AName;
        P.Kind = pkObject;
        P.GetObject = [AGet](TPersistent* I) -> TObject* { return (static_cast<C*>(I)->*AGet)(); };
        return Add(std::move(P));
    }
    // A reference to a component of the form (or of another form: "Form.Name").
    template <class G, class S> TPropInfo& Component(std::string_view AName, G AGet, S ASet) {
        using C = detail::TClassOfPair<G, S>;
        using T = std::remove_pointer_t<std::remove_cvref_t<typename detail::TMemberOf<G>::Result>>;
        TPropInfo P;
        P.Name = AName;
        P.Kind = pkComponent;
        P.ObjectClass = T::ClassInfo();
        P.GetObject = [AGet](TPersistent* I) -> TObject* { return (static_cast<C*>(I)->*AGet)(); };
        P.SetObject = [ASet](TPersistent* I, TComponent* V) {
            (static_cast<C*>(I)->*ASet)(static_cast<T*>(V));
        };
        return Add(std::move(P));
    }
    template <class G, class S> TPropInfo& Event(std::string_view AName, G AGet, S ASet) {
        using C = detail::TClassOfPair<G, S>;
        using E = std::remove_cvref_t<typename detail::TMemberOf<G>::Result>;
        TPropInfo P;
        P.Name = AName;
        P.Kind = pkMethod;
        P.GetMethod = [AGet](TPersistent* I) { return std::any((static_cast<C*>(I)->*AGet)()); };
        P.SetMethod = [ASet](TPersistent* I, const std::any& V) {
            const E* Event = std::any_cast<E>(&V);
            if (!Event && V.has_value()) return false;
            (static_cast<C*>(I)->*ASet)(Event ? *Event : E());
            return true;
        };
        P.SameMethod = [](const std::any& A, const std::any& B) {
            const E* X = std::any_cast<E>(&A);
            const E* Y = std::any_cast<E>(&B);
            return X && Y && *X == *Y;
        };
        P.IsAssigned = [](const std::any& V) {
            const E* X = std::any_cast<E>(&V);
            return X && X->Assigned();
        };
        return Add(std::move(P));
    }

private:
    template <class C, class T, class G, class S>
    static TPropInfo Ordinal(std::string_view AName, G AGet, S ASet, std::optional<std::int64_t> ADefault) {
        TPropInfo P;
        P.Name = AName;
        P.Default = ADefault;
        P.GetOrd = [AGet](TPersistent* I) {
            return static_cast<std::int64_t>((static_cast<C*>(I)->*AGet)());
        };
        P.SetOrd = [ASet](TPersistent* I, std::int64_t V) { (static_cast<C*>(I)->*ASet)(static_cast<T>(V)); };
        return P;
    }

    std::vector<TPropInfo> FList;
};

// The published properties of the instance's class, collected on first use.
const TPublishedProperties& GetPropList(TPersistent* AInstance);

// The methods a form stream may name, as events bound to the root.
class TPublishedMethods {
public:
    template <class E> void Add(std::string_view AName, E AEvent) {
        FList.push_back({std::string(AName), AEvent});
    }
    // Ignoring ASCII case; nullptr when there is none.
    const std::any* Find(std::string_view AName) const;
    // The name of the method AProp's value AValue is bound to; empty when none.
    std::string NameOf(const TPropInfo& AProp, const std::any& AValue) const;

private:
    struct TEntry {
        std::string Name;
        std::any Event;
    };
    std::vector<TEntry> FList;
};

} // namespace cls
