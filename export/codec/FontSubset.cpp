#include "export/codec/FontSubset.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>
#include <tuple>

namespace {

// A font whose tables point outside it, or that this code does not know how to cut.
struct CBadFont : std::runtime_error
{
    CBadFont() : std::runtime_error("bad font") {}
};

class CReader
{
public:
    CReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    uint32_t U8(size_t at) const { return Byte(at); }
    uint32_t U16(size_t at) const { return Byte(at) << 8 | Byte(at + 1); }
    uint32_t U32(size_t at) const { return U16(at) << 16 | U16(at + 2); }
    const uint8_t* At(size_t at, size_t length) const
    {
        if (at > m_size || length > m_size - at)
            throw CBadFont{};
        return m_data + at;
    }
    size_t Size() const { return m_size; }

private:
    uint32_t Byte(size_t at) const
    {
        if (at >= m_size)
            throw CBadFont{};
        return m_data[at];
    }
    const uint8_t* m_data;
    size_t m_size;
};

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v >> 16);
    Put16(out, v & 0xFFFF);
}

void Set16(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    out.at(at) = uint8_t(v >> 8);
    out.at(at + 1) = uint8_t(v);
}

// Composite glyph flags.
constexpr uint32_t kArgsAreWords = 0x0001;
constexpr uint32_t kHaveScale = 0x0008;
constexpr uint32_t kMoreComponents = 0x0020;
constexpr uint32_t kHaveXYScale = 0x0040;
constexpr uint32_t kHaveTwoByTwo = 0x0080;
constexpr uint16_t kPlatformMacintosh = 1;
constexpr uint16_t kPlatformWindows = 3;
constexpr uint16_t kLanguageEnglish = 0x409;
constexpr uint16_t kEncodingUnicodeBmp = 1;
constexpr uint16_t kEncodingUnicodeFull = 10;
constexpr uint32_t kPostFormat3 = 0x00030000;
constexpr uint32_t kChecksumMagic = 0xB1B0AFBA;
constexpr uint16_t kNameCopyright = 0, kNameFamily = 1, kNameSubfamily = 2, kNameFull = 4,
                   kNamePostScript = 6, kNameLicence = 13, kNameLicenceUrl = 14;

class CSubsetter
{
public:
    CSubsetter(const uint8_t* font, size_t size) : m_font(font, size)
    {
        const uint32_t tables = m_font.U16(4);
        for (uint32_t i = 0; i < tables; ++i) {
            const size_t record = 12 + 16 * size_t(i);
            const std::string tag(reinterpret_cast<const char*>(m_font.At(record, 4)), 4);
            m_tables[tag] = {m_font.U32(record + 8), m_font.U32(record + 12)};
        }
        for (const char* needed :
             {"cmap", "glyf", "head", "hhea", "hmtx", "loca", "maxp", "name", "OS/2", "post"})
            if (!m_tables.count(needed))
                throw CBadFont{};
        m_longLoca = m_font.U16(Table("head").offset + 50) != 0;
        m_glyphCount = m_font.U16(Table("maxp").offset + 4);
        m_metricsCount = m_font.U16(Table("hhea").offset + 34);
    }

    std::vector<uint8_t> Cut(const std::set<char32_t>& characters, const std::string& family)
    {
        std::map<char32_t, uint32_t> mapped; // character to old glyph
        std::set<uint32_t> glyphs{0};
        for (const char32_t c : characters)
            if (const uint32_t glyph = GlyphOf(c)) {
                mapped[c] = glyph;
                AddWithComponents(glyph, glyphs);
            }
        for (const uint32_t g : glyphs)
            m_newId[g] = static_cast<uint32_t>(m_order.size()), m_order.push_back(g);

        std::map<std::string, std::vector<uint8_t>> out;
        std::vector<uint8_t> loca;
        out["glyf"] = Glyphs(loca);
        out["loca"] = std::move(loca);
        out["hmtx"] = Metrics();
        out["cmap"] = CharacterMap(mapped);
        out["head"] = Copy("head");
        Set16(out["head"], 50, 1);                  // long loca offsets
        std::fill_n(out["head"].begin() + 8, 4, 0); // checksum adjustment, set last
        out["hhea"] = Copy("hhea");
        Set16(out["hhea"], 34, static_cast<uint32_t>(m_order.size()));
        out["maxp"] = Copy("maxp");
        Set16(out["maxp"], 4, static_cast<uint32_t>(m_order.size()));
        out["OS/2"] = Copy("OS/2");
        out["post"] = Copy("post", 32);
        Set16(out["post"], 0, kPostFormat3 >> 16);
        Set16(out["post"], 2, 0);
        out["name"] = Names(family);
        for (const char* hinting : {"cvt ", "fpgm", "prep", "gasp"})
            if (m_tables.count(hinting))
                out[hinting] = Copy(hinting);
        if (m_tables.count("kern"))
            out["kern"] = Kerning();
        return Assemble(out);
    }

private:
    struct Entry
    {
        uint32_t offset;
        uint32_t length;
    };

    const Entry& Table(const std::string& tag) const { return m_tables.at(tag); }

    std::vector<uint8_t> Copy(const std::string& tag, size_t length = 0) const
    {
        const Entry& t = Table(tag);
        const size_t n = length ? length : t.length;
        const uint8_t* p = m_font.At(t.offset, n);
        return {p, p + n};
    }

    // The glyph of a character in the Windows Unicode cmap (format 12 or 4); 0 where it has none.
    uint32_t GlyphOf(char32_t c) const
    {
        const size_t cmap = Table("cmap").offset;
        size_t format4 = 0, format12 = 0;
        for (uint32_t i = 0, n = m_font.U16(cmap + 2); i < n; ++i) {
            const size_t record = cmap + 4 + 8 * size_t(i);
            const size_t sub = cmap + m_font.U32(record + 4);
            if (m_font.U16(record) != kPlatformWindows)
                continue;
            if (m_font.U16(sub) == 12)
                format12 = sub;
            else if (m_font.U16(sub) == 4)
                format4 = sub;
        }
        if (format12) {
            for (uint32_t i = 0, n = m_font.U32(format12 + 12); i < n; ++i) {
                const size_t group = format12 + 16 + 12 * size_t(i);
                const uint32_t first = m_font.U32(group), last = m_font.U32(group + 4);
                if (c >= first && c <= last)
                    return m_font.U32(group + 8) + (c - first);
            }
            return 0;
        }
        if (!format4 || c > 0xFFFF)
            return 0;
        const uint32_t segments = m_font.U16(format4 + 6) / 2;
        const size_t ends = format4 + 14, starts = ends + 2 * segments + 2, deltas = starts + 2 * segments,
                     ranges = deltas + 2 * segments;
        for (uint32_t s = 0; s < segments; ++s) {
            if (c > m_font.U16(ends + 2 * s))
                continue;
            const uint32_t start = m_font.U16(starts + 2 * s);
            if (c < start)
                return 0;
            const uint32_t delta = m_font.U16(deltas + 2 * s), range = m_font.U16(ranges + 2 * s);
            if (range == 0)
                return (c + delta) & 0xFFFF;
            const uint32_t glyph = m_font.U16(ranges + 2 * s + range + 2 * (c - start));
            return glyph ? (glyph + delta) & 0xFFFF : 0;
        }
        return 0;
    }

    Entry GlyphData(uint32_t glyph) const
    {
        if (glyph >= m_glyphCount)
            throw CBadFont{};
        const size_t loca = Table("loca").offset;
        const uint32_t start = m_longLoca ? m_font.U32(loca + 4 * glyph) : 2 * m_font.U16(loca + 2 * glyph);
        const uint32_t end =
            m_longLoca ? m_font.U32(loca + 4 * glyph + 4) : 2 * m_font.U16(loca + 2 * glyph + 2);
        if (end < start)
            throw CBadFont{};
        return {Table("glyf").offset + start, end - start};
    }

    // Calls `visit` with the place of each component's glyph index in a composite glyph.
    template <typename Visit> void ForComponents(const Entry& data, Visit visit) const
    {
        if (data.length < 10 || int16_t(m_font.U16(data.offset)) >= 0)
            return;
        size_t at = data.offset + 10;
        for (uint32_t flags = kMoreComponents; flags & kMoreComponents;) {
            flags = m_font.U16(at);
            visit(at + 2 - data.offset, m_font.U16(at + 2));
            at += 4 + ((flags & kArgsAreWords) ? 4 : 2);
            at += (flags & kHaveTwoByTwo) ? 8 : (flags & kHaveXYScale) ? 4 : (flags & kHaveScale) ? 2 : 0;
        }
    }

    void AddWithComponents(uint32_t glyph, std::set<uint32_t>& glyphs) const
    {
        if (!glyphs.insert(glyph).second && glyph != 0)
            return;
        ForComponents(GlyphData(glyph), [&](size_t, uint32_t component) {
            if (!glyphs.count(component))
                AddWithComponents(component, glyphs);
        });
    }

    std::vector<uint8_t> Glyphs(std::vector<uint8_t>& loca) const
    {
        std::vector<uint8_t> glyf;
        for (const uint32_t old : m_order) {
            Put32(loca, static_cast<uint32_t>(glyf.size()));
            const Entry data = GlyphData(old);
            const uint8_t* p = m_font.At(data.offset, data.length);
            std::vector<uint8_t> glyph(p, p + data.length);
            ForComponents(data,
                          [&](size_t at, uint32_t component) { Set16(glyph, at, m_newId.at(component)); });
            glyf.insert(glyf.end(), glyph.begin(), glyph.end());
            glyf.resize((glyf.size() + 3) & ~size_t{3}, 0);
        }
        Put32(loca, static_cast<uint32_t>(glyf.size()));
        return glyf;
    }

    std::vector<uint8_t> Metrics() const
    {
        const size_t hmtx = Table("hmtx").offset;
        std::vector<uint8_t> out;
        for (const uint32_t old : m_order) {
            const uint32_t metric = std::min(old, m_metricsCount - 1);
            Put16(out, m_font.U16(hmtx + 4 * metric));
            Put16(out, old < m_metricsCount
                           ? m_font.U16(hmtx + 4 * old + 2)
                           : m_font.U16(hmtx + 4 * m_metricsCount + 2 * (old - m_metricsCount)));
        }
        return out;
    }

    // Format 4 for the characters of the Basic Multilingual Plane, format 12 for all, one segment or
    // group per run of consecutive characters whose glyphs are consecutive too.
    std::vector<uint8_t> CharacterMap(const std::map<char32_t, uint32_t>& mapped) const
    {
        struct Run
        {
            uint32_t first, last, glyph;
        };
        std::vector<Run> runs;
        for (const auto& [c, old] : mapped) {
            const uint32_t glyph = m_newId.at(old);
            if (!runs.empty() && runs.back().last + 1 == c &&
                runs.back().glyph + (c - runs.back().first) == glyph)
                runs.back().last = c;
            else
                runs.push_back({c, c, glyph});
        }
        std::vector<uint8_t> bmp;
        std::vector<Run> bmpRuns;
        for (const Run& r : runs)
            if (r.first <= 0xFFFE)
                bmpRuns.push_back({r.first, std::min<uint32_t>(r.last, 0xFFFE), r.glyph});
        bmpRuns.push_back({0xFFFF, 0xFFFF, 0}); // the closing segment
        const uint32_t segments = static_cast<uint32_t>(bmpRuns.size());
        uint32_t power = 1, log = 0;
        while (power * 2 <= segments)
            power *= 2, ++log;
        Put16(bmp, 4);
        Put16(bmp, 16 + 8 * segments);
        Put16(bmp, 0);
        Put16(bmp, 2 * segments);
        Put16(bmp, 2 * power);
        Put16(bmp, log);
        Put16(bmp, 2 * segments - 2 * power);
        for (const Run& r : bmpRuns)
            Put16(bmp, r.last);
        Put16(bmp, 0);
        for (const Run& r : bmpRuns)
            Put16(bmp, r.first);
        for (const Run& r : bmpRuns)
            Put16(bmp, r.first == 0xFFFF ? 1 : (r.glyph - r.first) & 0xFFFF);
        for (size_t i = 0; i < bmpRuns.size(); ++i)
            Put16(bmp, 0);

        std::vector<uint8_t> full;
        Put16(full, 12);
        Put16(full, 0);
        Put32(full, static_cast<uint32_t>(16 + 12 * runs.size()));
        Put32(full, 0);
        Put32(full, static_cast<uint32_t>(runs.size()));
        for (const Run& r : runs) {
            Put32(full, r.first);
            Put32(full, r.last);
            Put32(full, r.glyph);
        }

        std::vector<uint8_t> cmap;
        Put16(cmap, 0);
        Put16(cmap, 2);
        Put16(cmap, kPlatformWindows);
        Put16(cmap, kEncodingUnicodeBmp);
        Put32(cmap, 4 + 2 * 8);
        Put16(cmap, kPlatformWindows);
        Put16(cmap, kEncodingUnicodeFull);
        Put32(cmap, static_cast<uint32_t>(4 + 2 * 8 + bmp.size()));
        cmap.insert(cmap.end(), bmp.begin(), bmp.end());
        cmap.insert(cmap.end(), full.begin(), full.end());
        return cmap;
    }

    // The font's copyright and licence (plain ASCII, kept in the one-byte Macintosh records to halve
    // them) and the new family's names, in the Windows records systems look them up in.
    std::vector<uint8_t> Names(const std::string& family) const
    {
        std::map<std::pair<uint16_t, uint16_t>, std::string> names; // platform and name id: the text
        const size_t name = Table("name").offset;
        const size_t strings = name + m_font.U16(name + 4);
        for (uint32_t i = 0, n = m_font.U16(name + 2); i < n; ++i) {
            const size_t record = name + 6 + 12 * size_t(i);
            const uint32_t id = m_font.U16(record + 6);
            if (m_font.U16(record) != kPlatformWindows || m_font.U16(record + 4) != kLanguageEnglish ||
                (id != kNameCopyright && id != kNameLicence && id != kNameLicenceUrl))
                continue;
            const uint32_t length = m_font.U16(record + 8), offset = m_font.U16(record + 10);
            std::string text;
            for (uint32_t k = 0; k + 1 < length; k += 2) {
                const uint32_t c = m_font.U16(strings + offset + k);
                text += c < 0x80 ? char(c) : '?';
            }
            names[{kPlatformMacintosh, uint16_t(id)}] = text;
        }
        std::string postScript = family;
        postScript.erase(std::remove(postScript.begin(), postScript.end(), ' '), postScript.end());
        for (const auto& [id, text] : {std::pair<uint16_t, std::string>{kNameFamily, family},
                                       {kNameSubfamily, "Regular"},
                                       {kNameFull, family},
                                       {kNamePostScript, postScript}})
            names[{kPlatformWindows, id}] = text;
        std::vector<uint8_t> out, text;
        Put16(out, 0);
        Put16(out, static_cast<uint32_t>(names.size()));
        Put16(out, static_cast<uint32_t>(6 + 12 * names.size()));
        for (const auto& [key, value] : names) {
            const bool windows = key.first == kPlatformWindows;
            Put16(out, key.first);
            Put16(out, windows ? kEncodingUnicodeBmp : 0);
            Put16(out, windows ? kLanguageEnglish : 0);
            Put16(out, key.second);
            Put16(out, static_cast<uint32_t>(value.size() * (windows ? 2 : 1)));
            Put16(out, static_cast<uint32_t>(text.size()));
            for (const char c : value)
                windows ? Put16(text, uint8_t(c)) : text.push_back(uint8_t(c));
        }
        out.insert(out.end(), text.begin(), text.end());
        return out;
    }

    // The format 0 pairs among the glyphs kept, in the new numbering; other subtables are left out.
    std::vector<uint8_t> Kerning() const
    {
        const size_t kern = Table("kern").offset;
        std::vector<std::tuple<uint32_t, uint32_t, uint32_t>> pairs;
        uint32_t coverage = 1;
        size_t at = kern + 4;
        for (uint32_t t = 0, n = m_font.U16(kern + 2); t < n; ++t) {
            const uint32_t length = m_font.U16(at + 2);
            if (m_font.U16(at + 4) >> 8 == 0) { // format 0
                coverage = m_font.U16(at + 4);
                for (uint32_t p = 0, count = m_font.U16(at + 6); p < count; ++p) {
                    const size_t pair = at + 14 + 6 * size_t(p);
                    const auto left = m_newId.find(m_font.U16(pair)),
                               right = m_newId.find(m_font.U16(pair + 2));
                    if (left != m_newId.end() && right != m_newId.end())
                        pairs.emplace_back(left->second, right->second, m_font.U16(pair + 4));
                }
            }
            at += length;
        }
        std::sort(pairs.begin(), pairs.end());
        uint32_t power = 1, log = 0;
        while (power * 2 <= pairs.size())
            power *= 2, ++log;
        std::vector<uint8_t> out;
        Put16(out, 0);
        Put16(out, 1);
        Put16(out, 0);
        Put16(out, static_cast<uint32_t>(14 + 6 * pairs.size()));
        Put16(out, coverage);
        Put16(out, static_cast<uint32_t>(pairs.size()));
        Put16(out, 6 * power);
        Put16(out, log);
        Put16(out, static_cast<uint32_t>(6 * pairs.size() - std::min<size_t>(6 * power, 6 * pairs.size())));
        for (const auto& [left, right, value] : pairs) {
            Put16(out, left);
            Put16(out, right);
            Put16(out, value);
        }
        return out;
    }

    static uint32_t Checksum(const std::vector<uint8_t>& data)
    {
        uint32_t sum = 0;
        for (size_t i = 0; i < data.size(); i += 4) {
            uint32_t word = 0;
            for (size_t k = 0; k < 4; ++k)
                word = word << 8 | (i + k < data.size() ? data[i + k] : 0);
            sum += word;
        }
        return sum;
    }

    // The table directory, sorted by tag, then the tables, each padded to four bytes.
    static std::vector<uint8_t> Assemble(std::map<std::string, std::vector<uint8_t>>& tables)
    {
        const uint32_t count = static_cast<uint32_t>(tables.size());
        uint32_t power = 1, log = 0;
        while (power * 2 <= count)
            power *= 2, ++log;
        std::vector<uint8_t> out;
        Put32(out, 0x00010000);
        Put16(out, count);
        Put16(out, 16 * power);
        Put16(out, log);
        Put16(out, 16 * count - 16 * power);
        size_t offset = 12 + 16 * size_t(count), headAt = 0;
        for (const auto& [tag, data] : tables) {
            out.insert(out.end(), tag.begin(), tag.end());
            Put32(out, Checksum(data));
            Put32(out, static_cast<uint32_t>(offset));
            Put32(out, static_cast<uint32_t>(data.size()));
            if (tag == "head")
                headAt = offset;
            offset += (data.size() + 3) & ~size_t{3};
        }
        for (const auto& [tag, data] : tables) {
            out.insert(out.end(), data.begin(), data.end());
            out.resize((out.size() + 3) & ~size_t{3}, 0);
        }
        const uint32_t adjustment = kChecksumMagic - Checksum(out);
        for (int k = 0; k < 4; ++k)
            out[headAt + 8 + size_t(k)] = uint8_t(adjustment >> (24 - 8 * k));
        return out;
    }

    CReader m_font;
    std::map<std::string, Entry> m_tables;
    bool m_longLoca = false;
    uint32_t m_glyphCount = 0;
    uint32_t m_metricsCount = 0;
    std::vector<uint32_t> m_order;        // old glyph of each new one
    std::map<uint32_t, uint32_t> m_newId; // new glyph of each old one kept
};

} // namespace

CResult<std::vector<uint8_t>> SubsetFont(const uint8_t* font, size_t size,
                                         const std::set<char32_t>& characters, const std::string& family)
{
    try {
        return CSubsetter(font, size).Cut(characters, family);
    } catch (const std::exception&) { // CBadFont, or a glyph or name looked up that is not there
        return Fail("the caption font could not be cut to the characters of the captions");
    }
}
