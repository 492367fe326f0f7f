// Events: method pointers as values. An event holds an object and one of its
// member functions, is called only when assigned, and compares equal to
// another event holding the same object and the same member function, so a
// class can test whether a handler is its own:
//
//     FOnChange = TNotifyEvent(this, &TdxBarManager::FontChanged);
//     if (Font->OnChange() == TNotifyEvent(this, &TdxBarManager::FontChanged)) ...
//     FOnChange(this);   // does nothing when unassigned
//
// Parameters the original passes by reference ("var") are reference
// parameters of the signature: TEvent<void(TObject* Sender, bool& CanClose)>.
// No allocation: the member function pointer is stored in place.
#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

namespace cls {

class TObject;

template <class Signature> class TEvent;

template <class R, class... A> class TEvent<R(A...)> {
public:
    constexpr TEvent() = default;
    constexpr TEvent(std::nullptr_t) {}

    // AObject may be of a class derived from the one that declares AMethod.
    template <class T, class C>
    requires std::is_base_of_v<C, T> TEvent(T* AObject, R (C::*AMethod)(A...)) {
        Bind<C>(static_cast<C*>(AObject), AMethod);
    }
    template <class T, class C>
    requires std::is_base_of_v<C, T> TEvent(const T* AObject, R (C::*AMethod)(A...) const) {
        Bind<const C>(static_cast<const C*>(AObject), AMethod);
    }

    TEvent& operator=(std::nullptr_t) {
        *this = TEvent();
        return *this;
    }

    bool Assigned() const { return FInvoke != nullptr; }
    explicit operator bool() const { return Assigned(); }
    // The object of the method (the original's TMethod.Data); nullptr when unassigned.
    void* Object() const { return FObject; }

    // Calls the method; an unassigned event does nothing and returns R{}.
    R operator()(A... AArgs) const {
        if (!FInvoke) {
            if constexpr (std::is_void_v<R>) {
                return;
            } else {
                return R{};
            }
        }
        return FInvoke(FObject, FMethod, std::forward<A>(AArgs)...);
    }

    friend bool operator==(const TEvent& X, const TEvent& Y) {
        return X.FObject == Y.FObject && (X.FInvoke == nullptr) == (Y.FInvoke == nullptr) &&
               std::memcmp(X.FMethod, Y.FMethod, sizeof(FMethod)) == 0;
    }
    friend bool operator==(const TEvent& X, std::nullptr_t) { return !X.Assigned(); }

private:
    // Enough for a member function pointer of any single- or multiple-inheritance
    // class under the Itanium ABI.
    static constexpr std::size_t MethodSize = 2 * sizeof(void*);
    using TInvoke = R (*)(void*, const unsigned char*, A...);

    template <class C, class M> void Bind(C* AObject, M AMethod) {
        static_assert(sizeof(M) <= MethodSize, "member function pointer too large");
        if (!AObject || !AMethod) return;
        FObject = const_cast<void*>(static_cast<const void*>(AObject));
        std::memcpy(FMethod, &AMethod, sizeof(M));
        FInvoke = [](void* AObj, const unsigned char* AMeth, A... AArgs) -> R {
            M Method;
            std::memcpy(&Method, AMeth, sizeof(M));
            return (static_cast<C*>(AObj)->*Method)(std::forward<A>(AArgs)...);
        };
    }

    void* FObject = nullptr;
    TInvoke FInvoke = nullptr;
    alignas(void*) unsigned char FMethod[MethodSize] = {};
};

template <class S> bool Assigned(const TEvent<S>& AEvent) {
    return AEvent.Assigned();
}
inline bool Assigned(const void* APointer) {
    return APointer != nullptr;
}

using TNotifyEvent = TEvent<void(TObject* Sender)>;

} // namespace cls
