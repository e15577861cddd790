#include "common/TextFormat.h"

#include <cstring>

namespace {

class CBoundedOut
{
public:
    CBoundedOut(char* out, size_t size) : m_out(out), m_size(size) {}

    void Put(char c)
    {
        if (m_used + 1 < m_size)
            m_out[m_used++] = c;
        else
            m_truncated = true;
    }
    void Put(const char* begin, const char* end)
    {
        for (; begin != end; ++begin)
            Put(*begin);
    }
    void Pad(char c, long count)
    {
        for (; count > 0; --count)
            Put(c);
    }
    bool Finish()
    {
        if (m_size == 0)
            return false;
        m_out[m_used] = '\0';
        return !m_truncated;
    }

private:
    char* m_out;
    size_t m_size;
    size_t m_used = 0;
    bool m_truncated = false;
};

// Digits of `value` in `base`, most significant first, into `digits`; returns their count.
int Digits(uint32_t value, unsigned base, bool upper, char* digits)
{
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char reversed[16];
    int n = 0;
    do {
        reversed[n++] = set[value % base];
        value /= base;
    } while (value != 0);
    for (int i = 0; i < n; ++i)
        digits[i] = reversed[n - 1 - i];
    return n;
}

long ReadNumber(const char*& p)
{
    long n = 0;
    while (*p >= '0' && *p <= '9') {
        if (n < 100000)
            n = n * 10 + (*p - '0');
        ++p;
    }
    return n;
}

} // namespace

bool FormatText(char* out, size_t size, const char* format, std::initializer_list<FormatArg> args)
{
    CBoundedOut o(out, size);
    const FormatArg* arg = args.begin();
    for (const char* p = format; *p;) {
        if (*p != '%') {
            o.Put(*p++);
            continue;
        }
        const char* conversionStart = p++;
        if (*p == '%') {
            o.Put('%');
            ++p;
            continue;
        }
        bool left = false, zero = false;
        for (; *p == '-' || *p == '0'; ++p)
            (*p == '-' ? left : zero) = true;
        long width = ReadNumber(p);
        long precision = -1;
        if (*p == '.') {
            ++p;
            precision = ReadNumber(p);
        }
        while (*p == 'l' || *p == 'h')
            ++p;
        const char conversion = *p;
        if (conversion == '\0') {
            o.Put(conversionStart, p);
            break;
        }
        ++p;

        const bool wantsText = conversion == 's';
        const bool known = std::strchr("diuxXcs", conversion) != nullptr;
        if (!known || arg == args.end() || arg->isText != wantsText) {
            o.Put(conversionStart, p);
            continue;
        }
        const FormatArg& a = *arg++;

        char digits[16];
        const char* body = digits;
        long length = 0;
        bool minus = false;
        if (conversion == 's') {
            body = a.text ? a.text : "(null)";
            length = static_cast<long>(std::strlen(body));
            if (precision >= 0 && precision < length)
                length = precision;
        } else if (conversion == 'c') {
            digits[0] = static_cast<char>(a.number);
            length = 1;
        } else {
            uint32_t magnitude = static_cast<uint32_t>(a.number);
            if ((conversion == 'd' || conversion == 'i') && a.number < 0) {
                minus = true;
                magnitude = 0u - magnitude;
            }
            const unsigned base = (conversion == 'x' || conversion == 'X') ? 16 : 10;
            length = Digits(magnitude, base, conversion == 'X', digits);
        }
        const long precisionZeros =
            (conversion != 's' && conversion != 'c' && precision > length) ? precision - length : 0;
        const long total = length + precisionZeros + (minus ? 1 : 0);
        const long padding = width > total ? width - total : 0;
        if (!left && !(zero && conversion != 's'))
            o.Pad(' ', padding);
        if (minus)
            o.Put('-');
        if (!left && zero && conversion != 's')
            o.Pad('0', padding);
        o.Pad('0', precisionZeros);
        o.Put(body, body + length);
        if (left)
            o.Pad(' ', padding);
    }
    return o.Finish();
}

bool CopyText(char* out, size_t size, const char* text)
{
    CBoundedOut o(out, size);
    o.Put(text, text + std::strlen(text));
    return o.Finish();
}
