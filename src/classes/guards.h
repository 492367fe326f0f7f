// Clean-ups that must run on every way out of a scope: a lock released, a
// flag or a property restored, a selection put back.
#pragma once

#include <exception>
#include <utility>

namespace cls {

// Runs its function when the scope ends. A clean-up that raises while an
// exception already leaves the scope is dropped, so the first error is the
// one the caller sees; otherwise its exception leaves the scope as usual.
template <class F> class TScopeExit {
public:
    explicit TScopeExit(F AFunction) : FFunction(std::move(AFunction)) {}
    ~TScopeExit() noexcept(false) {
        if (!FArmed) return;
        if (std::uncaught_exceptions() > FUnwinding) {
            try {
                FFunction();
            } catch (...) {}
        } else {
            FFunction();
        }
    }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;

    // The clean-up is not needed any more (the work succeeded).
    void Release() { FArmed = false; }

private:
    F FFunction;
    int FUnwinding = std::uncaught_exceptions();
    bool FArmed = true;
};

// Sets a Boolean property of an object for a scope, through its setter, and
// restores the previous value on every way out.
template <class T, bool (T::*Get)() const, void (T::*Set)(bool)> class TPropertyGuard {
public:
    explicit TPropertyGuard(T* AObject) : FObject(AObject), FPrev((AObject->*Get)()) {
        (FObject->*Set)(true);
    }
    ~TPropertyGuard() { (FObject->*Set)(FPrev); }
    TPropertyGuard(const TPropertyGuard&) = delete;
    TPropertyGuard& operator=(const TPropertyGuard&) = delete;

private:
    T* FObject;
    bool FPrev;
};

} // namespace cls
