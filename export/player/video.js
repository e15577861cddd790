// Save video: the take played once more, as edited, in the player on the page, each step copied from the
// player's stage onto a canvas that the browser's MediaRecorder records in real time; the recording is
// offered as a download.

import {captionLinesOf, secondsOf, shownArea} from "./model.js";
import {arrowShape} from "./captions.js";
import {download} from "./files.js";

// A last frame this long after the last step is due, so that the video lasts the whole last step.
const kEndFrameMs = 50;

// The format to record in, or null where the browser cannot record a canvas.
export function videoFormat() {
    if (typeof MediaRecorder === "undefined" || !HTMLCanvasElement.prototype.captureStream)
        return null;
    const formats = [["video/webm;codecs=vp9", "webm"], ["video/webm;codecs=vp8", "webm"],
        ["video/webm", "webm"], ["video/mp4", "mp4"]];
    const found = formats.find(([type]) => MediaRecorder.isTypeSupported(type));
    return found ? {type: found[0], extension: found[1]} : null;
}

// Paints over a step's pictures what the page shows on them: the pointer, from the same unit-square
// paths as the page's pointer so that it has the same pixels, and the caption.
class FramePainter {
    #take;
    #pointerPaths;

    constructor(take, pointerSvg) {
        this.#take = take;
        this.#pointerPaths = [...pointerSvg.querySelectorAll("path")].map((path) => ({
            fill: path.getAttribute("fill"),
            shape: new Path2D(path.getAttribute("d")),
        }));
        this.font = `${take.captionStyle.fontPixels}px "Flickmere Caption"`;
    }

    paint(context, step) {
        const pointer = this.#take.steps[step.source - 1].pointer;
        context.save();
        context.translate(pointer.x, pointer.y);
        for (const path of this.#pointerPaths) {
            context.fillStyle = path.fill;
            context.fill(path.shape);
        }
        context.restore();
        if (step.caption)
            this.#paintCaption(context, step.caption);
    }

    #paintCaption(context, caption) {
        const style = this.#take.captionStyle;
        const shape = caption.arrow && arrowShape(caption, style);
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
        const border = style.border;
        context.fillStyle = style.line;
        context.fillRect(x, y, width, height);
        context.fillStyle = style.fill;
        context.fillRect(x + border, y + border, width - 2 * border, height - 2 * border);
        context.beginPath();
        context.rect(x + border, y + border, width - 2 * border, height - 2 * border);
        context.clip();
        context.fillStyle = style.ink;
        context.font = this.font;
        context.textBaseline = "middle";
        const left = x + border + style.padding;
        const top = y + border + style.padding;
        captionLinesOf(this.#take, caption).forEach((line, index) => {
            context.fillText(line, left, top + (index + 0.5) * style.lineHeight);
        });
        context.restore();
    }
}

// A canvas recorded until stop(). A hidden page's timers run late, so its recording would have the
// wrong timing: it is stopped at once and `finished` settles with null instead of the video.
class CanvasRecording {
    #recorder;
    #chunks = [];
    #onVisibility = () => {
        if (document.hidden) {
            this.abandoned = true;
            this.#recorder.stop();
        }
    };
    abandoned = false;

    constructor(canvas, format) {
        this.#recorder = new MediaRecorder(canvas.captureStream(), {mimeType: format.type});
        this.#recorder.ondataavailable = (e) => {
            if (e.data.size > 0)
                this.#chunks.push(e.data);
        };
        this.finished = new Promise((resolve) => {
            this.#recorder.onstop = () => {
                document.removeEventListener("visibilitychange", this.#onVisibility);
                resolve(this.abandoned ? null : new Blob(this.#chunks, {type: this.#recorder.mimeType}));
            };
        });
        document.addEventListener("visibilitychange", this.#onVisibility);
    }
    start() {
        this.#recorder.start();
    }
    stop() {
        if (this.#recorder.state !== "inactive")
            this.#recorder.stop();
    }
}

// Calls `draw(index)` for each step after the first when it is due, counted from now so that late timers
// do not add up, and `end()` once the last step has lasted its length; nothing more once `stopped()`.
function runSteps(steps, fps, draw, end, stopped) {
    const start = performance.now();
    let due = 0;
    const next = (index) => {
        due += secondsOf(steps[index].frames, fps) * 1000;
        setTimeout(() => {
            if (stopped())
                return;
            if (index + 1 < steps.length) {
                draw(index + 1);
                next(index + 1);
            } else {
                end();
            }
        }, Math.max(0, start + due - performance.now()));
    };
    next(0);
}

// Records `project` as a video named after the take. `player.showStep(index)` shows a step in the player,
// whose stage (`player.stage`, a canvas) then holds its pictures; `player.pointer` is the player's pointer.
// `report.status(text)` says how it goes, `report.recording(on)` when it starts and ends.
export async function recordVideo(take, project, player, format, report) {
    if (document.hidden) {
        report.status("The page is hidden: keep it in view to record.");
        return;
    }
    const painter = new FramePainter(take, player.pointer);
    report.recording(true);
    // Without a caption nothing waits for the font, so the recording starts with the click.
    if (project.steps.some((step) => step.caption))
        await document.fonts.load(painter.font);
    await player.loaded;
    const steps = project.steps;
    const shown = shownArea(take, project);
    const frame = document.createElement("canvas");
    frame.width = shown.width;
    frame.height = shown.height;
    const context = frame.getContext("2d");
    const recording = new CanvasRecording(frame, format);
    const draw = (index) => {
        player.showStep(index);
        report.status(`Recording step ${index + 1} of ${steps.length}`);
        context.save();
        context.translate(-shown.x, -shown.y);
        context.drawImage(player.stage, 0, 0);
        painter.paint(context, steps[index]);
        context.restore();
    };
    const end = () => {
        // One more frame, so that the video lasts the whole last step.
        context.drawImage(frame, 0, 0);
        setTimeout(() => recording.stop(), kEndFrameMs);
    };
    draw(0);
    recording.start();
    runSteps(steps, project.fps, draw, end, () => recording.abandoned);
    const video = await recording.finished;
    report.recording(false);
    if (!video) {
        report.status("Recording stopped: the page was hidden, which would have spoilt the video's timing. " +
            "Keep the page in view and try again.");
        return;
    }
    report.status("");
    download(video, `${take.name}.${format.extension}`);
}
