// Save video: the take played once more, as edited, on a canvas of its own, which the browser's
// MediaRecorder records; the recording is offered as a download. The player on the page goes on
// undisturbed. The button shows only where the browser can record a canvas.

import {
    arrowShape, byId, model, pictures, pointer, recorded, secondsOf, stageHeight, stageWidth, state, style,
    wholeFrom,
} from "./player.js";

const videoButton = byId("video");
const videoStatus = byId("videoStatus");
const videoFormat = (() => {
    if (typeof MediaRecorder === "undefined" || !HTMLCanvasElement.prototype.captureStream)
        return null;
    const formats = [["video/webm;codecs=vp9", "webm"], ["video/webm;codecs=vp8", "webm"],
        ["video/webm", "webm"], ["video/mp4", "mp4"]];
    const found = formats.find(([type]) => MediaRecorder.isTypeSupported(type));
    return found ? {type: found[0], extension: found[1]} : null;
})();

function newCanvas(width, height) {
    const canvas = document.createElement("canvas");
    canvas.width = width;
    canvas.height = height;
    return canvas;
}

// The arrow from the same unit-square paths as the page's pointer, so it has the same pixels.
const pointerPaths = [...pointer.querySelectorAll("path")].map((path) => ({
    fill: path.getAttribute("fill"),
    shape: new Path2D(path.getAttribute("d")),
}));
function drawPointer(context, x, y) {
    context.save();
    context.translate(x, y);
    for (const path of pointerPaths) {
        context.fillStyle = path.fill;
        context.fill(path.shape);
    }
    context.restore();
}

const captionFont = `${style.fontPixels}px "Flickmere Caption"`;
function paintCaption(context, caption) {
    const shape = caption.arrow && arrowShape(caption);
    context.save();
    if (shape) {
        context.strokeStyle = context.fillStyle = style.line;
        context.lineWidth = style.arrowWidth;
        context.beginPath();
        context.moveTo(shape.start.x, shape.start.y);
        context.lineTo(shape.base.x, shape.base.y);
        context.stroke();
        context.beginPath();
        for (const p of [shape.end, shape.left, shape.right])
            context.lineTo(p.x, p.y);
        context.fill();
    }
    const {x, y, width, height} = caption;
    const b = style.border;
    context.fillStyle = style.line;
    context.fillRect(x, y, width, height);
    context.fillStyle = style.fill;
    context.fillRect(x + b, y + b, width - 2 * b, height - 2 * b);
    context.beginPath();
    context.rect(x + b, y + b, width - 2 * b, height - 2 * b);
    context.clip();
    context.fillStyle = style.ink;
    context.font = captionFont;
    context.textBaseline = "middle";
    caption.text.split("\n").forEach((line, index) => {
        context.fillText(line, x + b + style.padding, y + b + style.padding + (index + 0.5) * style.lineHeight);
    });
    context.restore();
}

async function saveVideo() {
    if (document.hidden) {
        videoStatus.textContent = "The page is hidden: keep it in view to record.";
        return;
    }
    // Without a caption nothing waits for the font, so the recording starts with the click.
    if (state.edit.steps.some((step) => step.caption))
        await document.fonts.load(captionFont);
    const steps = state.edit.steps;
    const shown = state.edit.crop ?? {x: 0, y: 0, width: stageWidth, height: stageHeight};
    const layers = newCanvas(stageWidth, stageHeight); // the pictures, without pointer and caption
    const frameCanvas = newCanvas(shown.width, shown.height); // what is recorded
    const layersContext = layers.getContext("2d");
    const frameContext = frameCanvas.getContext("2d");
    const recorder = new MediaRecorder(frameCanvas.captureStream(), {mimeType: videoFormat.type});
    const chunks = [];
    recorder.ondataavailable = (e) => {
        if (e.data.size > 0)
            chunks.push(e.data);
    };
    let abandoned = false;
    let videoTimer = null;
    // A hidden page's timers run late, so its recording would have the wrong timing: it is dropped.
    const onVisibility = () => {
        if (!document.hidden)
            return;
        abandoned = true;
        clearTimeout(videoTimer);
        recorder.stop();
    };
    document.addEventListener("visibilitychange", onVisibility);
    recorder.onstop = () => {
        document.removeEventListener("visibilitychange", onVisibility);
        videoButton.disabled = false;
        videoButton.textContent = "Save video";
        if (abandoned) {
            videoStatus.textContent = "Recording stopped: the page was hidden, which would have " +
                "spoilt the video's timing. Keep the page in view and try again.";
            return;
        }
        videoStatus.textContent = "";
        const link = document.createElement("a");
        link.href = URL.createObjectURL(new Blob(chunks, {type: recorder.mimeType}));
        link.download = `${model.name}.${videoFormat.extension}`;
        document.body.append(link);
        link.click();
        link.remove();
        setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    };
    // The next recorded step only adds its pictures; any other step is composed afresh.
    let composed = 0;
    const compose = (source) => {
        const from = source === composed + 1 ? source : wholeFrom[source];
        if (from === wholeFrom[source]) {
            layersContext.fillStyle = model.stage.background;
            layersContext.fillRect(0, 0, stageWidth, stageHeight);
        }
        for (const p of pictures)
            if (p.step >= from && p.step <= source)
                layersContext.drawImage(p.img, p.x, p.y);
        composed = source;
    };
    const draw = (index) => {
        videoStatus.textContent = `Recording step ${index + 1} of ${steps.length}`;
        const step = steps[index];
        compose(step.source);
        frameContext.save();
        frameContext.translate(-shown.x, -shown.y);
        frameContext.drawImage(layers, 0, 0);
        const cursor = recorded[step.source - 1];
        drawPointer(frameContext, cursor.x, cursor.y);
        if (step.caption)
            paintCaption(frameContext, step.caption);
        frameContext.restore();
    };
    // Each step is due at a fixed time from the start, so that timer delays do not add up.
    const start = performance.now();
    let due = 0;
    const next = (index) => {
        due += secondsOf(steps[index].frames) * 1000;
        videoTimer = setTimeout(() => {
            if (index + 1 < steps.length) {
                draw(index + 1);
                next(index + 1);
            } else {
                // One more frame at the very end, so that the video lasts the whole last step.
                frameContext.drawImage(frameCanvas, 0, 0);
                videoTimer = setTimeout(() => recorder.stop(), 50);
            }
        }, Math.max(0, start + due - performance.now()));
    };
    videoButton.disabled = true;
    videoButton.textContent = "Recording\u2026";
    draw(0);
    recorder.start();
    next(0);
}
if (videoFormat) {
    videoButton.hidden = false;
    videoButton.addEventListener("click", () => {
        saveVideo();
        videoButton.blur();
    });
}
