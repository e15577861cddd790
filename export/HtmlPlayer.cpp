#include "HtmlPlayer.h"

#include "PngEncoder.h"
#include "PointerShape.h"

#include <cstdio>

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
#stage { position: absolute; left: 0; top: 0; overflow: hidden; }
#stage img { position: absolute; image-rendering: pixelated; }
#pointer { position: absolute; left: 0; top: 0; overflow: visible; pointer-events: none; }
#controls { position: absolute; left: 0; padding: 6px; display: flex; align-items: center; gap: 6px;
            white-space: nowrap; }
#seek { width: 240px; }
)";

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

    // Step s shows every picture of steps w..s, where w is the step of the latest whole grab (a window
    // that changed its size hides all it showed before); later pictures come later in the page and so
    // lie on top.
    function show(index) {
        current = Math.max(0, Math.min(steps.length - 1, index));
        var from = 1, i;
        for (i = 0; i < pictures.length; ++i)
            if (pictures[i].dataset.whole && Number(pictures[i].dataset.step) <= current + 1)
                from = Number(pictures[i].dataset.step);
        for (i = 0; i < pictures.length; ++i) {
            var step = Number(pictures[i].dataset.step);
            pictures[i].style.display = step >= from && step <= current + 1 ? "block" : "none";
        }
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

    // "Save video" plays the session once more on a canvas of its own, which the browser's MediaRecorder
    // records, and offers the recording as a download. The player on the page goes on undisturbed.
    var videoButton = document.getElementById("video");
    var videoFormat = (function () {
        if (typeof MediaRecorder === "undefined" || !HTMLCanvasElement.prototype.captureStream)
            return null;
        var formats = [["video/webm;codecs=vp9", "webm"], ["video/webm;codecs=vp8", "webm"],
                       ["video/webm", "webm"], ["video/mp4", "mp4"]];
        for (var i = 0; i < formats.length; ++i)
            if (MediaRecorder.isTypeSupported(formats[i][0]))
                return {type: formats[i][0], extension: formats[i][1]};
        return null;
    })();

    function newCanvas() {
        var canvas = document.createElement("canvas");
        canvas.width = stageWidth;
        canvas.height = stageHeight;
        return canvas;
    }
    // The arrow from the same unit-square paths as the page's pointer, so it has the same pixels.
    var pointerPaths = Array.prototype.map.call(pointer.querySelectorAll("path"), function (path) {
        return {fill: path.getAttribute("fill"), shape: new Path2D(path.getAttribute("d"))};
    });
    function drawPointer(context, x, y) {
        context.save();
        context.translate(x, y);
        pointerPaths.forEach(function (path) {
            context.fillStyle = path.fill;
            context.fill(path.shape);
        });
        context.restore();
    }

    var videoStatus = document.getElementById("videoStatus");
    function saveVideo() {
        if (document.hidden) {
            videoStatus.textContent = "The page is hidden: keep it in view to record.";
            return;
        }
        var layers = newCanvas(); // every picture so far, without the pointer
        var frame = newCanvas();  // what is recorded
        var layersContext = layers.getContext("2d");
        var frameContext = frame.getContext("2d");
        var recorder = new MediaRecorder(frame.captureStream(), {mimeType: videoFormat.type});
        var chunks = [];
        recorder.ondataavailable = function (e) {
            if (e.data.size > 0)
                chunks.push(e.data);
        };
        var abandoned = false;
        var timer = null;
        // A hidden page's timers run late, so its recording would have the wrong timing: it is dropped.
        function onVisibility() {
            if (!document.hidden)
                return;
            abandoned = true;
            clearTimeout(timer);
            recorder.stop();
        }
        document.addEventListener("visibilitychange", onVisibility);
        recorder.onstop = function () {
            document.removeEventListener("visibilitychange", onVisibility);
            videoButton.disabled = false;
            videoButton.textContent = "Save video";
            if (abandoned) {
                videoStatus.textContent = "Recording stopped: the page was hidden, which would have " +
                                          "spoilt the video's timing. Keep the page in view and try again.";
                return;
            }
            videoStatus.textContent = "";
            var link = document.createElement("a");
            link.href = URL.createObjectURL(new Blob(chunks, {type: recorder.mimeType}));
            link.download = videoName + "." + videoFormat.extension;
            document.body.appendChild(link);
            link.click();
            link.remove();
            setTimeout(function () { URL.revokeObjectURL(link.href); }, 60000);
        };
        function draw(index) {
            videoStatus.textContent = "Recording step " + (index + 1) + " of " + steps.length;
            for (var i = 0; i < pictures.length; ++i)
                if (Number(pictures[i].dataset.step) === index + 1) {
                    if (pictures[i].dataset.whole) {
                        layersContext.fillStyle = stageBackground;
                        layersContext.fillRect(0, 0, stageWidth, stageHeight);
                    }
                    layersContext.drawImage(pictures[i], parseInt(pictures[i].style.left, 10),
                                            parseInt(pictures[i].style.top, 10));
                }
            frameContext.drawImage(layers, 0, 0);
            drawPointer(frameContext, steps[index].x, steps[index].y);
        }
        // Each step is due at a fixed time from the start, so that timer delays do not add up.
        var start = performance.now();
        var due = 0;
        function next(index) {
            due += steps[index].frames * 1000 / fps;
            timer = setTimeout(function () {
                if (index + 1 < steps.length) {
                    draw(index + 1);
                    next(index + 1);
                } else {
                    // One more frame at the very end, so that the video lasts the whole last step.
                    frameContext.drawImage(frame, 0, 0);
                    timer = setTimeout(function () { recorder.stop(); }, 50);
                }
            }, Math.max(0, start + due - performance.now()));
        }
        videoButton.disabled = true;
        videoButton.textContent = "Recording\u2026";
        draw(0);
        recorder.start();
        next(0);
    }
    if (videoFormat) {
        videoButton.hidden = false;
        videoButton.addEventListener("click", function () { saveVideo(); videoButton.blur(); });
    }

    if (!seekToHash()) {
        show(0);
        play();
    }
})();
)js";

} // namespace

bool WritePlayerHtml(const SessionTimeline& timeline, int session, int fps, const TextSink& sink,
                     std::string& error)
{
    const std::string width = Px(timeline.stageWidth);
    const std::string height = Px(timeline.stageHeight);
    const int stepCount = static_cast<int>(timeline.steps.size());
    char background[8];
    std::snprintf(background, sizeof background, "#%06X", static_cast<unsigned>(kStageBackground));
    const auto failed = [&] {
        error = "the player could not be written";
        return false;
    };

    if (!sink("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Flickmere "
              "session " +
              std::to_string(session) + "</title>\n<style>\n" + kStyle + "#stage { width: " + width +
              "; height: " + height + "; background: " + background + "; }\n#controls { top: " + height +
              "; }\n</style>\n</head>\n<body>\n<div id=\"stage\">\n"))
        return failed();
    for (int s = 1; s <= stepCount; ++s) {
        for (const TimelinePicture& picture : timeline.steps[s - 1].pictures) {
            // One picture at a time: read, encoded and written before the next one is read.
            RgbImage image;
            std::string why;
            if (!ReadBmpFile(picture.file, image, why)) {
                error = picture.file.u8string() + ": " + why;
                return false;
            }
            const std::vector<uint8_t> png = EncodePng(image);
            if (png.empty()) {
                error = "picture " + std::to_string(picture.number) + " could not be encoded as PNG";
                return false;
            }
            // Without the script only the first step shows. Decoded before painting, so that no frame
            // (nor a screenshot) catches a picture still blank.
            if (!sink("<img data-step=\"" + std::to_string(s) +
                      (picture.wholeGrab ? "\" data-whole=\"1" : "") +
                      "\" alt=\"\" decoding=\"sync\" width=\"" + std::to_string(image.width) +
                      "\" height=\"" + std::to_string(image.height) + "\" style=\"left: " + Px(picture.x) +
                      "; top: " + Px(picture.y) + (s == 1 ? "" : "; display: none") +
                      "\" src=\"data:image/png;base64," + Base64(png) + "\">\n"))
                return failed();
        }
    }
    // The arrow's tip is the SVG's origin, so placing the SVG at the cursor point puts the tip on it.
    std::string html = PointerSvg("pointer");
    html += "\n</div>\n";

    const std::string last = std::to_string(stepCount);
    html += "<div id=\"controls\">\n"
            "<button id=\"prev\" type=\"button\" title=\"Previous step (Left)\">&#9664;</button>\n"
            "<button id=\"play\" type=\"button\" title=\"Play or pause (Space)\">Play</button>\n"
            "<button id=\"next\" type=\"button\" title=\"Next step (Right)\">&#9654;</button>\n"
            "<input id=\"seek\" type=\"range\" min=\"1\" max=\"" +
            last + "\" step=\"1\" value=\"1\" aria-label=\"Step\">\n<span id=\"label\">Step 1 / " + last +
            "</span>\n"
            // Shown by the script where the browser can record a canvas.
            "<button id=\"video\" type=\"button\" title=\"Record the session once as a video file\" "
            "hidden>Save video</button>\n<span id=\"videoStatus\" role=\"status\"></span>\n</div>\n";

    html += "<script>\nvar fps = " + std::to_string(fps) +
            ";\nvar stageWidth = " + std::to_string(timeline.stageWidth) +
            ", stageHeight = " + std::to_string(timeline.stageHeight) + ", stageBackground = \"" +
            background + "\";\nvar videoName = \"session" + std::to_string(session) +
            "\";\n// Per step: frames it lasts, pointer position.\n"
            "var steps = [\n";
    for (const TimelineStep& step : timeline.steps)
        html += "    {frames: " + std::to_string(step.frames) + ", x: " + std::to_string(step.cursor.x) +
                ", y: " + std::to_string(step.cursor.y) + "},\n";
    html += "];\n";
    html += kScript;
    html += "</script>\n</body>\n</html>\n";
    return sink(html) || failed();
}
