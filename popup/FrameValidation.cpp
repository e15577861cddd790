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

FramePair TakeOverFramePair(const char* frameText, const char* offsetText, FrameValues& values)
{
    const FrameValues typed{ReadLeadingInt(frameText), ReadLeadingInt(offsetText)};
    if (typed.frame == values.frame && typed.offset == values.offset)
        return FramePair::Unchanged;
    if (typed.frame <= typed.offset || typed.frame > kMaxFrameValue)
        return FramePair::Refused;
    values = typed;
    return FramePair::TakenOver;
}
