#pragma once
// Reads values from bytes that nobody vouches for. Every read is checked
// against the end of the span; the first one that does not fit fails the
// reader for good, so a parser can read a whole record and look at Ok()
// once. A failed read gives 0 or an empty span. Offsets and lengths are
// 64-bit and never wrap.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

enum class TByteOrder { Little, Big };

class CByteReader {
public:
    CByteReader() = default;
    explicit CByteReader(std::span<const uint8_t> bytes, TByteOrder eOrder = TByteOrder::Little)
        : m_bytes(bytes), m_eOrder(eOrder)
    {}

    bool Ok() const { return m_bOk; }
    uint64_t Offset() const { return m_nOffset; }
    uint64_t Size() const { return m_bytes.size(); }
    // Bytes left after the offset; 0 once the reader has failed.
    uint64_t Remaining() const { return m_bOk ? m_bytes.size() - m_nOffset : 0; }

    uint8_t U8() { return static_cast<uint8_t>(Value<1>()); }
    uint16_t U16() { return static_cast<uint16_t>(Value<2>()); }
    uint32_t U32() { return static_cast<uint32_t>(Value<4>()); }
    uint64_t U64() { return Value<8>(); }
    // A value of 4 or 8 bytes, as bWide says (fields that differ in width
    // between two layouts of one format).
    uint64_t Word(bool bWide) { return bWide ? Value<8>() : Value<4>(); }

    // The next nBytes bytes, or an empty span when they are not all there.
    // Inline: the load walk reads every value of a file through here.
    std::span<const uint8_t> Bytes(uint64_t nBytes)
    {
        // m_nOffset never passes the end, so the subtraction cannot wrap.
        if (!m_bOk || nBytes > m_bytes.size() - m_nOffset) {
            Fail();
            return {};
        }
        const std::span<const uint8_t> taken =
            m_bytes.subspan(static_cast<size_t>(m_nOffset), static_cast<size_t>(nBytes));
        m_nOffset += nBytes;
        return taken;
    }
    void Skip(uint64_t nBytes) { Bytes(nBytes); }
    // Moves to an offset from the start; the end itself is a valid offset.
    void Seek(uint64_t nOffset);

private:
    template <size_t N> uint64_t Value()
    {
        const std::span<const uint8_t> bytes = Bytes(N);
        if (bytes.size() != N)
            return 0;
        uint64_t nValue = 0;
        if (m_eOrder == TByteOrder::Little && std::endian::native == std::endian::little) {
            std::memcpy(&nValue, bytes.data(), N);
            return nValue;
        }
        for (size_t i = 0; i < N; ++i) {
            const size_t nIndex = m_eOrder == TByteOrder::Big ? i : N - 1 - i;
            nValue = (nValue << 8) | bytes[nIndex];
        }
        return nValue;
    }
    void Fail();

    std::span<const uint8_t> m_bytes;
    uint64_t m_nOffset = 0;
    TByteOrder m_eOrder = TByteOrder::Little;
    bool m_bOk = true;
};
