#include "TemplateKit.h"

#include "common/File.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kHeaderBytes = 64;
constexpr int kRecordBytes = 32;
constexpr int kLabelBytes = 16;
// Value bytes that no session has written yet, and the bytes between records.
constexpr unsigned char kUnwritten = 0xEE;
constexpr char kFiller = '~';

class CKitBuilder
{
public:
    // Appends a record: a 16-byte label, then value bytes preset to kUnwritten, then filler up to the
    // record size. Returns the offset of the first value byte.
    long Record(const char* label, int valueBytes)
    {
        const long start = static_cast<long>(m_bytes.size());
        char text[kLabelBytes + 1];
        std::snprintf(text, sizeof text, "%-16s", label);
        m_bytes.insert(m_bytes.end(), text, text + kLabelBytes);
        m_bytes.insert(m_bytes.end(), valueBytes, kUnwritten);
        m_bytes.insert(m_bytes.end(), kRecordBytes - kLabelBytes - valueBytes, kFiller);
        return start + kLabelBytes;
    }
    void Text(const char* text, int size)
    {
        std::string padded(text);
        padded.resize(size, kFiller);
        padded[size - 1] = '\n';
        m_bytes.insert(m_bytes.end(), padded.begin(), padded.end());
    }
    const std::vector<unsigned char>& Bytes() const { return m_bytes; }

private:
    std::vector<unsigned char> m_bytes;
};

bool WriteFile(const std::string& path, const void* data, size_t size, std::string& error)
{
    CFile file(path.c_str(), "wb");
    if (!file) {
        error = "cannot create " + path;
        return false;
    }
    const bool ok = std::fwrite(data, 1, size, file.Get()) == size;
    if (!file.Close() || !ok) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace

int TemplateKitPlacements(int slot)
{
    return 1 + (slot % 4 == 3 ? 1 : 0) + (slot % 10 == 9 ? 1 : 0);
}

bool WriteTemplateKit(const std::string& directory, const TemplateKitOptions& options, std::string& error)
{
    const int capacity = options.capacity;
    if (capacity < 1 || capacity > 400) {
        error = "the capacity must be 1 to 400";
        return false;
    }
    CKitBuilder kit;
    char line[128];
    std::snprintf(line, sizeof line, "FLICKMERE TEMPLATE KIT 1; picture slots %d", capacity);
    kit.Text(line, kHeaderBytes);

    std::string bmpoffs, curoffs, frmoffs;
    // The bitmap offsets name the record start: a placement goes 16 bytes after it, which is exactly
    // where the label ends.
    for (int slot = 1; slot <= capacity; ++slot) {
        const int placements = TemplateKitPlacements(slot);
        std::snprintf(line, sizeof line, "%d;", placements);
        bmpoffs += line;
        for (int j = 1; j <= placements; ++j) {
            char label[kLabelBytes + 1];
            std::snprintf(label, sizeof label, "PLACE %03d/%d", slot, j);
            std::snprintf(line, sizeof line, "%ld;", kit.Record(label, 8) - kLabelBytes);
            bmpoffs += line;
        }
        bmpoffs += "\n";
    }
    std::vector<long> cursorA(capacity + 1), cursorB(capacity + 1), span(capacity + 1);
    for (int step = 1; step <= capacity; ++step) {
        std::snprintf(line, sizeof line, "CURSOR %03d a", step);
        cursorA[step] = kit.Record(line, 8);
        std::snprintf(line, sizeof line, "CURSOR %03d b", step);
        cursorB[step] = kit.Record(line, 8);
        std::snprintf(line, sizeof line, "SPAN %03d", step);
        span[step] = kit.Record(line, 4);
        std::snprintf(line, sizeof line, "%ld;%ld;%ld;%ld;\n", cursorA[step], cursorB[step], span[step],
                      span[step] + 2);
        curoffs += line;
    }
    for (int slot = 1; slot <= capacity; ++slot) {
        std::snprintf(line, sizeof line, "FRAMES %03d", slot);
        std::snprintf(line, sizeof line, "%ld;\n", kit.Record(line, 2));
        frmoffs += line;
    }
    kit.Text("END OF FLICKMERE TEMPLATE KIT", kHeaderBytes);

    const std::string dir = directory.empty() ? "." : directory;
    return WriteFile(dir + "/template.fla", kit.Bytes().data(), kit.Bytes().size(), error) &&
           WriteFile(dir + "/bmpoffs.ini", bmpoffs.data(), bmpoffs.size(), error) &&
           WriteFile(dir + "/curoffs.ini", curoffs.data(), curoffs.size(), error) &&
           WriteFile(dir + "/frmoffs.ini", frmoffs.data(), frmoffs.size(), error);
}
