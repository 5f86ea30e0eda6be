#pragma once
// A small set of enumeration members kept as bits, for the option, line-error and
// modem-status sets of the serial port.

#include <cstdint>
#include <initializer_list>
#include <vector>

/// A set of members of the unscoped enumeration E (at most 32 members, valued 0, 1, 2...).
template <class E> class TComSet {
public:
    /// The empty set.
    constexpr TComSet() = default;
    /// The set of the given members.
    constexpr TComSet(std::initializer_list<E> Members) {
        for (E m : Members)
            Include(m);
    }

    /// Whether Member is in the set.
    constexpr bool Contains(E Member) const { return (FBits & Bit(Member)) != 0; }
    /// Adds Member.
    constexpr void Include(E Member) { FBits |= Bit(Member); }
    /// Removes Member.
    constexpr void Exclude(E Member) { FBits &= ~Bit(Member); }
    /// Whether the set has no member.
    constexpr bool Empty() const { return FBits == 0; }
    /// The members in enumeration order.
    std::vector<E> Members() const {
        std::vector<E> result;
        for (unsigned i = 0; i < 32; ++i)
            if (FBits & (1u << i))
                result.push_back(static_cast<E>(i));
        return result;
    }
    /// Bit i set for member i.
    constexpr std::uint32_t Bits() const { return FBits; }
    /// The set whose member i is present when bit i of Bits is set.
    static constexpr TComSet FromBits(std::uint32_t Bits) {
        TComSet s;
        s.FBits = Bits;
        return s;
    }

    friend constexpr bool operator==(TComSet, TComSet) = default;

private:
    static constexpr std::uint32_t Bit(E Member) { return 1u << static_cast<unsigned>(Member); }
    std::uint32_t FBits = 0;
};
