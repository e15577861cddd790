#include "popup/FrameValidation.h"

#include <climits>

int ReadLeadingInt(const char* text)
{
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (value <= INT_MAX)
            value = value * 10 + (*p - '0');
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

bool TakeOverFramePair(const char* frameText, const char* offsetText, FrameValues& values)
{
    const FrameValues previous = values;
    values.frame = ReadLeadingInt(frameText);
    values.offset = ReadLeadingInt(offsetText);
    if (values.frame == previous.frame && values.offset == previous.offset)
        return false;
    if (values.frame > values.offset)
        return false;
    values = previous;
    return true;
}
