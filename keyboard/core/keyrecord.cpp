#include "keyrecord.h"

#include <cstring>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace morvaw {

namespace {

class Writer
{
public:
    explicit Writer(std::array<std::uint8_t, KeyRecord::kFileSize>& out) : m_out(out) {}

    void u8(std::uint8_t v) { m_out[m_pos++] = v; }
    void u16(std::uint16_t v)
    {
        u8(static_cast<std::uint8_t>(v & 0xFF));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    template <std::size_t N> void text(const FixedText<N>& t)
    {
        std::memcpy(m_out.data() + m_pos, t.bytes.data(), N);
        m_pos += N;
    }
    [[nodiscard]] std::size_t pos() const { return m_pos; }

private:
    std::array<std::uint8_t, KeyRecord::kFileSize>& m_out;
    std::size_t m_pos = 0;
};

class Reader
{
public:
    explicit Reader(std::span<const std::uint8_t, KeyRecord::kFileSize> in) : m_in(in) {}

    std::uint8_t u8() { return m_in[m_pos++]; }
    std::uint16_t u16()
    {
        const std::uint16_t lo = u8();
        const std::uint16_t hi = u8();
        return static_cast<std::uint16_t>(lo | (hi << 8));
    }
    template <std::size_t N> void text(FixedText<N>& t)
    {
        std::memcpy(t.bytes.data(), m_in.data() + m_pos, N);
        m_pos += N;
    }
    [[nodiscard]] std::size_t pos() const { return m_pos; }

private:
    std::span<const std::uint8_t, KeyRecord::kFileSize> m_in;
    std::size_t m_pos = 0;
};

// One list of the fields in file order serves both directions.
template <typename Io, typename Record> void transferFields(Io& io, Record& r)
{
    auto num8 = [&](auto& field) {
        if constexpr (std::is_const_v<Record>)
            io.u8(field);
        else
            field = io.u8();
    };
    auto num16 = [&](auto& field) {
        if constexpr (std::is_const_v<Record>)
            io.u16(field);
        else
            field = io.u16();
    };
    num8(r.PosY);
    num8(r.PosX);
    num16(r.KeyWord);
    num8(r.Matrix);
    num8(r.Spare);
    io.text(r.Label);
    num8(r.Len0);
    io.text(r.Def0);
    num8(r.Len1);
    io.text(r.Def1);
    num8(r.Len2);
    io.text(r.Def2);
    num8(r.Len3);
    io.text(r.Def3);
    num8(r.RepeatFlags);
    io.text(r.Tail);
}

} // namespace

FixedText<KeyRecord::kDefWidth>& KeyRecord::def(int i)
{
    return const_cast<FixedText<kDefWidth>&>(std::as_const(*this).def(i));
}

const FixedText<KeyRecord::kDefWidth>& KeyRecord::def(int i) const
{
    switch (i) {
    case 0:
        return Def0;
    case 1:
        return Def1;
    case 2:
        return Def2;
    case 3:
        return Def3;
    }
    throw std::out_of_range("KeyRecord::def: level out of range");
}

std::uint8_t& KeyRecord::len(int i)
{
    switch (i) {
    case 0:
        return Len0;
    case 1:
        return Len1;
    case 2:
        return Len2;
    case 3:
        return Len3;
    }
    throw std::out_of_range("KeyRecord::len: level out of range");
}

std::uint8_t KeyRecord::len(int i) const
{
    return const_cast<KeyRecord&>(*this).len(i);
}

std::array<std::uint8_t, KeyRecord::kFileSize> KeyRecord::toBytes() const
{
    std::array<std::uint8_t, kFileSize> out{};
    Writer w(out);
    transferFields(w, *this);
    return out;
}

KeyRecord KeyRecord::fromBytes(std::span<const std::uint8_t, kFileSize> bytes)
{
    KeyRecord r;
    Reader rd(bytes);
    transferFields(rd, r);
    return r;
}

} // namespace morvaw
