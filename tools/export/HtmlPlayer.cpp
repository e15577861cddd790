#include "HtmlPlayer.h"

#include "PngEncoder.h"

namespace {

std::string Base64(const std::vector<uint8_t>& bytes)
{
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t v = (uint32_t{bytes[i]} << 16) | (uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += kDigits[(v >> 6) & 63];
        out += kDigits[v & 63];
    }
    if (i < bytes.size()) {
        const bool two = i + 1 < bytes.size();
        const uint32_t v = (uint32_t{bytes[i]} << 16) | (two ? uint32_t{bytes[i + 1]} << 8 : 0);
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += two ? kDigits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string Px(int v)
{
    return std::to_string(v) + "px";
}

// The stage sits at the page's top-left corner at one CSS pixel per picture pixel, so that a screenshot
// of the page can be compared with the pictures pixel for pixel; the controls go below it.
const char kStyle[] = R"(html, body { margin: 0; padding: 0; background: #d8d8d8; font: 13px sans-serif; }
#stage { position: absolute; left: 0; top: 0; overflow: hidden; background: #000; }
#stage img { position: absolute; image-rendering: pixelated; }
#pointer { position: absolute; left: 0; top: 0; overflow: visible; pointer-events: none; }
#controls { position: absolute; left: 0; padding: 6px; display: flex; align-items: center; gap: 6px;
            white-space: nowrap; }
#seek { width: 240px; }
)";

// The arrow's tip is the SVG's origin, so placing the SVG at the cursor point puts the tip on it.
const char kPointer[] = R"(<svg id="pointer" width="13" height="20" viewBox="0 0 13 20" aria-hidden="true">)"
                        R"(<path d="M0.5 0.5 L0.5 16.5 L4.5 12.8 L7.3 19 L9.8 17.9 L7.1 11.8 L12.2 11.8 Z" )"
                        R"(fill="#fff" stroke="#000" stroke-width="1" stroke-linejoin="round"/></svg>)";

const char kScript[] = R"js((function () {
    "use strict";
    var pictures = document.querySelectorAll("#stage img");
    var pointer = document.getElementById("pointer");
    var seek = document.getElementById("seek");
    var label = document.getElementById("label");
    var playButton = document.getElementById("play");
    var current = 0;
    var playing = false;
    var timer = null;

    // Step s shows every picture of steps 1..s; later pictures come later in the page and so lie on top.
    function show(index) {
        current = Math.max(0, Math.min(steps.length - 1, index));
        for (var i = 0; i < pictures.length; ++i)
            pictures[i].style.display = Number(pictures[i].dataset.step) <= current + 1 ? "block" : "none";
        pointer.style.transform = "translate(" + steps[current].x + "px," + steps[current].y + "px)";
        seek.value = String(current + 1);
        label.textContent = "Step " + (current + 1) + " / " + steps.length;
        if (playing)
            schedule();
    }
    function schedule() {
        clearTimeout(timer);
        timer = setTimeout(advance, steps[current].frames * 1000 / fps);
    }
    function advance() {
        if (current + 1 < steps.length)
            show(current + 1);
        else
            pause();
    }
    function play() {
        playing = true;
        playButton.textContent = "Pause";
        if (current === steps.length - 1)
            show(0);
        else
            schedule();
    }
    function pause() {
        playing = false;
        clearTimeout(timer);
        playButton.textContent = "Play";
    }
    function toggle() {
        if (playing)
            pause();
        else
            play();
    }
    // "#step=S" opens the player paused at step S.
    function seekToHash() {
        var match = /^#step=(\d+)$/.exec(location.hash);
        if (!match)
            return false;
        pause();
        show(Number(match[1]) - 1);
        return true;
    }

    playButton.addEventListener("click", function () { toggle(); playButton.blur(); });
    document.getElementById("prev").addEventListener("click", function () { show(current - 1); this.blur(); });
    document.getElementById("next").addEventListener("click", function () { show(current + 1); this.blur(); });
    seek.addEventListener("input", function () { show(Number(seek.value) - 1); });
    // Handled for the whole page, and the browser's own reaction (scrolling, moving a focused slider,
    // pressing a focused button) is cancelled so that each key acts exactly once.
    document.addEventListener("keydown", function (e) {
        if (e.key === " ")
            toggle();
        else if (e.key === "ArrowLeft")
            show(current - 1);
        else if (e.key === "ArrowRight")
            show(current + 1);
        else
            return;
        e.preventDefault();
    });
    window.addEventListener("hashchange", seekToHash);

    if (!seekToHash()) {
        show(0);
        play();
    }
})();
)js";

} // namespace

bool BuildPlayerHtml(const SessionTimeline& timeline, int session, int fps, std::string& html,
                     std::string& error)
{
    const std::string width = Px(timeline.stageWidth);
    const std::string height = Px(timeline.stageHeight);
    const int stepCount = static_cast<int>(timeline.steps.size());

    html =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Flickmere session " +
        std::to_string(session) + "</title>\n<style>\n" + kStyle + "#stage { width: " + width +
        "; height: " + height + "; }\n#controls { top: " + height + "; }\n</style>\n</head>\n<body>\n";

    html += "<div id=\"stage\">\n";
    for (int s = 1; s <= stepCount; ++s) {
        for (const TimelinePicture& picture : timeline.steps[s - 1].pictures) {
            const std::vector<uint8_t> png = EncodePng(picture.image);
            if (png.empty()) {
                error = "picture " + std::to_string(picture.number) + " could not be encoded as PNG";
                return false;
            }
            // Without the script only the first step shows. Decoded before painting, so that no frame
            // (nor a screenshot) catches a picture still blank.
            html += "<img data-step=\"" + std::to_string(s) + "\" alt=\"\" decoding=\"sync\" width=\"" +
                    std::to_string(picture.image.width) + "\" height=\"" +
                    std::to_string(picture.image.height) + "\" style=\"left: " + Px(picture.x) +
                    "; top: " + Px(picture.y) + (s == 1 ? "" : "; display: none") +
                    "\" src=\"data:image/png;base64," + Base64(png) + "\">\n";
        }
    }
    html += kPointer;
    html += "\n</div>\n";

    const std::string last = std::to_string(stepCount);
    html += "<div id=\"controls\">\n"
            "<button id=\"prev\" type=\"button\" title=\"Previous step (Left)\">&#9664;</button>\n"
            "<button id=\"play\" type=\"button\" title=\"Play or pause (Space)\">Play</button>\n"
            "<button id=\"next\" type=\"button\" title=\"Next step (Right)\">&#9654;</button>\n"
            "<input id=\"seek\" type=\"range\" min=\"1\" max=\"" +
            last + "\" step=\"1\" value=\"1\" aria-label=\"Step\">\n<span id=\"label\">Step 1 / " + last +
            "</span>\n</div>\n";

    html += "<script>\nvar fps = " + std::to_string(fps) +
            ";\n// Per step: frames it lasts, pointer position.\n"
            "var steps = [\n";
    for (const TimelineStep& step : timeline.steps)
        html += "    {frames: " + std::to_string(step.frames) + ", x: " + std::to_string(step.cursor.x) +
                ", y: " + std::to_string(step.cursor.y) + "},\n";
    html += "];\n";
    html += kScript;
    html += "</script>\n</body>\n</html>\n";
    return true;
}
