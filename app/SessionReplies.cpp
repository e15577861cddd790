#include "app/SessionReplies.h"

#include "capture/SessionLifecycle.h"

#include <iterator>

namespace {

// Where a refusal's words come from.
enum class Words
{
    Text,          // a text of the table, as it is
    TextOfFailure, // a text of the table, with the failure's text and then the system's reason for %s
    TextOfReason,  // a text of the table, with the system's reason for %s
    FailureText,   // the failure's text: the whole message
    SystemReason,  // the system's reason alone
};

struct RefusalBox
{
    StartRefusal refusal;
    Words words;
    TextId text;
    NoticeIcon icon;
    bool owned;
    AfterRefusal after;
};

// Owned by the dialog, so that nothing is pressed behind them, except the box of a hook that could not
// be installed: that one has never had an owner.
const RefusalBox kRefusalBoxes[] = {
    {StartRefusal::TargetGone, Words::Text, kTextTargetNotFound, NoticeIcon::None, true,
     AfterRefusal::RefreshList},
    {StartRefusal::NoSessionNumber, Words::Text, kTextNoSessionNumber, NoticeIcon::Error, true,
     AfterRefusal::BackToIdle},
    {StartRefusal::RecordOutsideTemplate, Words::FailureText, kTextError, NoticeIcon::Error, true,
     AfterRefusal::BackToIdle},
    {StartRefusal::FolderNotCreated, Words::TextOfFailure, kTextFolderNotCreated, NoticeIcon::Error, true,
     AfterRefusal::BackToIdle},
    {StartRefusal::TemplateNotCopied, Words::TextOfFailure, kTextCantOpenTemplate, NoticeIcon::Error, true,
     AfterRefusal::EndProgram},
    {StartRefusal::HookNotInstalled, Words::SystemReason, kTextError, NoticeIcon::Information, false,
     AfterRefusal::BackToIdle},
    {StartRefusal::TwinMissing, Words::TextOfReason, kTextTwinMissing, NoticeIcon::Error, true,
     AfterRefusal::BackToIdle},
    {StartRefusal::TwinNotStarted, Words::TextOfReason, kTextTwinNotStarted, NoticeIcon::Error, true,
     AfterRefusal::BackToIdle},
    {StartRefusal::TwinNoLibrary, Words::TextOfReason, kTextTwinNoLibrary, NoticeIcon::Error, true,
     AfterRefusal::BackToIdle},
    {StartRefusal::TwinNoDialog, Words::TextOfReason, kTextTwinNoDialog, NoticeIcon::Error, true,
     AfterRefusal::BackToIdle},
    {StartRefusal::TwinNoHook, Words::TextOfReason, kTextTwinNoHook, NoticeIcon::Error, true,
     AfterRefusal::BackToIdle},
    {StartRefusal::TwinNotReady, Words::TextOfReason, kTextTwinNotReady, NoticeIcon::Error, true,
     AfterRefusal::BackToIdle},
};

// A code no table row has is taken as a helper that was not ready: the least said.
const RefusalBox& BoxOf(StartRefusal refusal)
{
    for (const RefusalBox& box : kRefusalBoxes)
        if (box.refusal == refusal)
            return box;
    return kRefusalBoxes[std::size(kRefusalBoxes) - 1];
}

std::optional<Notice> PressNotice(const PressResult& press)
{
    switch (press.problem) {
    case PressProblem::None:
        return std::nullopt;
    case PressProblem::GrabFailed:
        return PlainNotice(CurrentText(kTextGrabFailed), kFixedWarningCaption, NoticeIcon::Warning, false);
    case PressProblem::WindowNotVisible:
        return PlainNotice(kFixedNotVisible, kFixedWarningCaption, NoticeIcon::Warning, false);
    case PressProblem::PicturesNotWritten:
        return UnwrittenPicturesNotice(press.unwritten);
    }
    return std::nullopt;
}

} // namespace

RefusalReply ReplyToStartRefusal(const Failure& refusal, const char* systemReason)
{
    const RefusalBox& box = BoxOf(RefusalOf(refusal));
    // The target-gone box has its caption of its own, the same in every language.
    const char* caption =
        box.refusal == StartRefusal::TargetGone ? kFixedTargetGoneCaption : CurrentText(kTextError);
    RefusalReply reply;
    reply.after = box.after;
    const char* failureText = refusal.text.c_str();
    switch (box.words) {
    case Words::Text:
        reply.notice = PlainNotice(CurrentText(box.text), caption, box.icon, box.owned);
        break;
    case Words::TextOfFailure:
        reply.notice = NoticeOf(box.text, {failureText, systemReason}, caption, box.icon, box.owned);
        break;
    case Words::TextOfReason:
        reply.notice = NoticeOf(box.text, {systemReason}, caption, box.icon, box.owned);
        break;
    case Words::FailureText:
        reply.notice = PlainNotice(failureText, caption, box.icon, box.owned);
        break;
    case Words::SystemReason:
        reply.notice = PlainNotice(systemReason, caption, box.icon, box.owned);
        break;
    }
    return reply;
}

PressReply ReplyToPress(const PressResult& press, int templateCapacity)
{
    PressReply reply;
    // The template's last slot ends the session even as the window vanishes during the press.
    if (!press.targetGone && press.picturesWritten >= templateCapacity) {
        reply.endsSession = true;
        reply.notice = PressNotice(press);
        reply.endNotice =
            PlainNotice(CurrentText(kTextTemplateFull), CurrentText(kTextTemplateFull), NoticeIcon::None);
        return reply;
    }
    if (press.targetGone) {
        reply.endsSession = true;
        reply.endNotice = TargetGoneNotice();
        return reply;
    }
    reply.notice = PressNotice(press);
    return reply;
}

Notice TargetGoneNotice()
{
    return PlainNotice(CurrentText(kTextTargetNotFound), kFixedTargetGoneCaption, NoticeIcon::None);
}
