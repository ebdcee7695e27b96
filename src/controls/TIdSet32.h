#pragma once

#include <cstdint>
#include <initializer_list>

/** @short A set of small ids (0 to 31) held in 32 bits: bit n stands for id n. */
template <typename Id> class TIdSet32 {
public:
    constexpr TIdSet32() = default;
    constexpr TIdSet32(std::initializer_list<Id> ids)
    {
        for (Id id : ids)
            m_bits |= Bit(id);
    }

    /** The ids first to last, both included (ids past 31 have no bit and are left out). */
    static constexpr TIdSet32 Range(Id first, Id last)
    {
        TIdSet32 set;
        for (unsigned id = static_cast<unsigned>(first); id <= static_cast<unsigned>(last) && id < 32; ++id)
            set.m_bits |= std::uint32_t{1} << id;
        return set;
    }

    static constexpr TIdSet32 FromBits(std::uint32_t bits)
    {
        TIdSet32 set;
        set.m_bits = bits;
        return set;
    }

    constexpr bool Contains(Id id) const { return (m_bits & Bit(id)) != 0; }
    constexpr bool IsEmpty() const { return m_bits == 0; }
    constexpr std::uint32_t Bits() const { return m_bits; }

    constexpr TIdSet32 operator+(TIdSet32 other) const { return FromBits(m_bits | other.m_bits); }
    constexpr TIdSet32 &operator+=(TIdSet32 other)
    {
        m_bits |= other.m_bits;
        return *this;
    }
    constexpr bool operator==(const TIdSet32 &) const = default;

private:
    static constexpr std::uint32_t Bit(Id id)
    {
        const auto n = static_cast<unsigned>(id);
        return n < 32 ? std::uint32_t{1} << n : 0;
    }

    std::uint32_t m_bits = 0;
};
