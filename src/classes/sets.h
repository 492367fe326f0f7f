// Sets of enumeration values, the class library's "set of" types
// (TComponentState, TShiftState, ...). Enumerators must have values 0..63.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace cls {

template <class E> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> AValues) {
        for (E V : AValues) FBits |= Bit(V);
    }

    constexpr bool Contains(E AValue) const { return (FBits & Bit(AValue)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TSet& Include(E AValue) {
        FBits |= Bit(AValue);
        return *this;
    }
    constexpr TSet& Exclude(E AValue) {
        FBits &= ~Bit(AValue);
        return *this;
    }

    // The raw bits, for code that stores a set as a number (bit n = enumerator n).
    constexpr std::uint64_t Bits() const { return FBits; }
    static constexpr TSet FromBits(std::uint64_t ABits) {
        TSet S;
        S.FBits = ABits;
        return S;
    }

    friend constexpr TSet operator+(TSet A, TSet B) { return FromBits(A.FBits | B.FBits); }
    friend constexpr TSet operator-(TSet A, TSet B) { return FromBits(A.FBits & ~B.FBits); }
    friend constexpr TSet operator*(TSet A, TSet B) { return FromBits(A.FBits & B.FBits); }
    friend constexpr TSet operator+(TSet A, E V) { return A.Include(V); }
    friend constexpr TSet operator-(TSet A, E V) { return A.Exclude(V); }
    constexpr TSet& operator+=(TSet B) { return *this = *this + B; }
    constexpr TSet& operator-=(TSet B) { return *this = *this - B; }
    constexpr TSet& operator*=(TSet B) { return *this = *this * B; }
    friend constexpr bool operator==(TSet A, TSet B) = default;
    // Subset test, the original's "<=" on sets.
    friend constexpr bool operator<=(TSet A, TSet B) { return (A.FBits & ~B.FBits) == 0; }

private:
    static constexpr std::uint64_t Bit(E AValue) { return std::uint64_t(1) << static_cast<unsigned>(AValue); }
    std::uint64_t FBits = 0;
};

} // namespace cls
