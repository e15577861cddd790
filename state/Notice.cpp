#include "state/Notice.h"

Notice NoticeOf(TextId format, std::initializer_list<FormatArg> args, const char* caption, NoticeIcon icon,
                bool owned)
{
    Notice notice;
    FormatText(notice.text, sizeof notice.text, CurrentText(format), args);
    notice.caption = caption;
    notice.icon = icon;
    notice.owned = owned;
    return notice;
}

Notice PlainNotice(const char* text, const char* caption, NoticeIcon icon, bool owned)
{
    Notice notice;
    CopyText(notice.text, sizeof notice.text, text);
    notice.caption = caption;
    notice.icon = icon;
    notice.owned = owned;
    return notice;
}
