#include "export/codec/GifLzw.h"

#include <algorithm>

namespace {

constexpr int kMaxCodeBits = 12;
constexpr uint32_t kTableCodes = uint32_t{1} << kMaxCodeBits;
// Open addressing over twice as many slots as there are codes keeps probes short.
constexpr uint32_t kHashSlots = kTableCodes * 2;
constexpr uint32_t kEmpty = UINT32_MAX;

class CBitWriter
{
public:
    void Put(uint32_t code, int bits)
    {
        m_pending |= uint64_t{code} << m_pendingBits;
        m_pendingBits += bits;
        for (; m_pendingBits >= 8; m_pendingBits -= 8, m_pending >>= 8)
            m_out.push_back(uint8_t(m_pending));
    }

    std::vector<uint8_t> Finish()
    {
        if (m_pendingBits > 0)
            m_out.push_back(uint8_t(m_pending));
        return std::move(m_out);
    }

private:
    std::vector<uint8_t> m_out;
    uint64_t m_pending = 0;
    int m_pendingBits = 0;
};

// The codes of the strings seen so far, each known by the code of its prefix and its last index.
class CStringTable
{
public:
    CStringTable() : m_keys(kHashSlots), m_codes(kHashSlots) { Clear(); }

    void Clear() { std::fill(m_keys.begin(), m_keys.end(), kEmpty); }

    // The slot of (prefix, index): its code when it is there, else where it goes.
    uint32_t Find(uint32_t prefix, uint8_t index, bool& found) const
    {
        const uint32_t key = prefix << 8 | index;
        uint32_t slot = (key * 2654435761u) >> (32 - 13) & (kHashSlots - 1);
        while (m_keys[slot] != kEmpty && m_keys[slot] != key)
            slot = (slot + 1) & (kHashSlots - 1);
        found = m_keys[slot] == key;
        return slot;
    }
    uint32_t Code(uint32_t slot) const { return m_codes[slot]; }
    void Insert(uint32_t slot, uint32_t prefix, uint8_t index, uint32_t code)
    {
        m_keys[slot] = prefix << 8 | index;
        m_codes[slot] = code;
    }

private:
    std::vector<uint32_t> m_keys;
    std::vector<uint32_t> m_codes;
};

} // namespace

// The decoder adds a string for every code but the first after a clear, one code behind the encoder,
// and widens its codes once its next free code no longer fits: the encoder widens in step with it.
std::vector<uint8_t> LzwEncode(const uint8_t* indexes, size_t count, int minCodeSize)
{
    const uint32_t clear = uint32_t{1} << minCodeSize, end = clear + 1;
    CBitWriter out;
    CStringTable table;
    int bits = minCodeSize + 1;
    uint32_t next = end + 1;
    out.Put(clear, bits);
    if (count == 0) {
        out.Put(end, bits);
        return out.Finish();
    }
    uint32_t prefix = indexes[0];
    for (size_t i = 1; i < count; ++i) {
        bool found = false;
        const uint32_t slot = table.Find(prefix, indexes[i], found);
        if (found) {
            prefix = table.Code(slot);
            continue;
        }
        out.Put(prefix, bits);
        if (next < kTableCodes) {
            table.Insert(slot, prefix, indexes[i], next++);
            if (next > (uint32_t{1} << bits) && bits < kMaxCodeBits)
                ++bits;
        } else {
            out.Put(clear, bits);
            table.Clear();
            bits = minCodeSize + 1;
            next = end + 1;
        }
        prefix = indexes[i];
    }
    out.Put(prefix, bits);
    if (next >= (uint32_t{1} << bits) && bits < kMaxCodeBits)
        ++bits;
    out.Put(end, bits);
    return out.Finish();
}
