// The take and its edit, with no page around them: the take as the export wrote it into the page, the
// project (the edit, exactly as its file holds it) with its history, and the rules every edit keeps.
// The page's views draw what this holds and report input that main.js turns into calls of it; nothing
// here touches the page, so `node --test` tries it directly.

import {captionHeight, captionLines, readCaptionFont} from "./captions.js";

export const clamp = (value, low, high) => Math.max(low, Math.min(high, value));

// The page's model (the JSON the export writes into the page) as the take: its stage, its recorded steps
// with their pointer and pictures, the project format's name and limits, and the caption style.
// `wholeFrom[s]` is the first recorded step whose pictures recorded step s shows: a window that changed
// its size was grabbed whole, which hides all it showed before.
export function readTake(pageModel) {
    const steps = pageModel.steps.map((step, index) => ({
        number: index + 1,
        frames: step.frames,
        pointer: {x: step.x, y: step.y},
        pictures: step.pictures.map((p) => ({...p, step: index + 1, whole: Boolean(p.whole)})),
        // What the export knew of the press from its steps file, the caption it suggests and the rectangle
        // of the control its mark outlines; null where it knew nothing.
        suggestion: step.suggestion ?? null,
        mark: step.mark ?? null,
    }));
    const wholeFrom = [1];
    for (const step of steps)
        wholeFrom[step.number] = step.pictures.some((p) => p.whole) ? step.number
            : wholeFrom[step.number - 1];
    return {
        name: pageModel.name,
        projectFile: `${pageModel.name}.flickmere.json`,
        fps: pageModel.fps,
        stage: pageModel.stage,
        steps,
        wholeFrom,
        format: pageModel.projectFormat,
        captionStyle: pageModel.captionStyle,
        markStyle: pageModel.markStyle,
        captionFont: readCaptionFont(pageModel.captionFont),
        projectGiven: pageModel.project,
    };
}

// What a canvas that shows recorded step `composed` (0: nothing yet) draws to show recorded step
// `source`: the next recorded step only adds its pictures, any other is composed afresh on the stage's
// background.
export function compositionPlan(take, composed, source) {
    if (source === composed)
        return {clear: false, pictures: []};
    const from = source === composed + 1 ? source : take.wholeFrom[source];
    return {
        clear: from === take.wholeFrom[source],
        pictures: take.steps.slice(from - 1, source).flatMap((step) => step.pictures),
    };
}

// ---- The project: the edit as its file holds it.

export function projectOfTake(take) {
    return {
        format: take.format.name,
        version: take.format.version,
        fps: take.fps,
        steps: take.steps.map((step) => ({source: step.number, frames: step.frames})),
    };
}

// The project the page opens with: the take's project file as the export read it, unless it shows a
// step the take does not have; `notice` then says so.
export function openingProject(take) {
    const given = take.projectGiven;
    if (!given)
        return {project: projectOfTake(take), notice: ""};
    const unknown = given.steps.find((step) => step.source > take.steps.length);
    if (!unknown)
        return {project: given, notice: ""};
    return {
        project: projectOfTake(take),
        notice: `${take.projectFile} shows step ${unknown.source}, but the take has ${take.steps.length}: ` +
            "the take is shown as recorded.",
    };
}

// A caption's text in the lines its box shows, in the take's caption style and font.
export const captionLinesOf = (take, caption) =>
    captionLines(caption.text, caption.width, take.captionStyle, take.captionFont);

// The part of the stage a viewer sees: the crop, or the whole stage.
export const shownArea = (take, project) =>
    project.crop ?? {x: 0, y: 0, width: take.stage.width, height: take.stage.height};

// ---- What the press was about: the suggested caption and the mark.

// The caption suggested for a step of the project, {text, nameStart, nameLength}, or null.
export const suggestionOf = (take, step) => take.steps[step.source - 1].suggestion;

// Whether the step is marked when it does not say itself (a click target), false without a rectangle.
export const markedByDefault = (take, step) => Boolean(take.steps[step.source - 1].mark?.byDefault);

// The rectangle the step's mark outlines, or null where it shows none: a step's own "mark" decides,
// else the default.
export function markOf(take, step) {
    const rect = take.steps[step.source - 1].mark;
    if (!rect || !(step.mark ?? rect.byDefault))
        return null;
    return {x: rect.x, y: rect.y, width: rect.width, height: rect.height};
}

// ---- What a step says.

// The words of step `index` of the project: its caption's text, the lines joined by spaces; "" when it
// has none. The one place that decides a step's words, for the text under the stage and for what the
// stage's picture is called.
export function stepText(take, project, index) {
    const caption = project.steps[index]?.caption;
    return caption ? caption.text.split("\n").map((line) => line.trim()).filter(Boolean).join(" ") : "";
}

// The stage's name for assistive technology: the step's words, or its place in the take without them.
export function stepLabel(take, project, index) {
    return stepText(take, project, index) || `Step ${index + 1} of ${project.steps.length}`;
}

// Whether the page starts playing as it opens: not when it opens at a step of its own choosing, nor when
// the reader asked the system for reduced motion. A press of Play plays either way.
export const playsOnOpening = ({seekedTo, reducedMotion}) => !seekedTo && !reducedMotion;

// ---- Step lengths.

export const secondsOf = (frames, fps) => frames / fps;

// Every length the page shows, in the one rounding: to the millisecond, the shortest frame the format's
// highest rate gives, so that a length shown and typed back in is the same number of frames.
export const formatSeconds = (frames, fps) => String(Number(secondsOf(frames, fps).toFixed(3)));

// A length as typed, in seconds with a decimal point or a decimal comma: the frames it takes at `fps`,
// or why it cannot be taken.
export function parseLength(text, fps, maxFrames) {
    const number = text.trim().replace(",", ".");
    const frames = /^(\d+\.?\d*|\.\d+)$/.test(number) ? Math.round(Number(number) * fps) : 0;
    if (frames >= 1 && frames <= maxFrames)
        return {frames};
    return {problem: `A length is a number of seconds from ${formatSeconds(1, fps)} to ` +
        `${formatSeconds(maxFrames, fps)}.`};
}

// ---- The edit and its history.

const kNewCaptionWidth = 220;
const kNewCaptionOffset = 24;

// The project being edited, the step selected and the history of changes. Every change, undo and redo
// included, is adopted in one place, which keeps the project within the rules.
export class TakeEditor {
    #undo = [];
    #redo = [];
    // Changes with the same key in a row (one drag, typing into one field) are undone together.
    #mergeKey = null;
    // The project as last saved, or as the page opened with it.
    #savedText;

    constructor(take, project) {
        this.take = take;
        this.project = project;
        this.current = 0;
        this.#savedText = JSON.stringify(project);
    }

    get step() {
        return this.project.steps[this.current];
    }
    get canUndo() {
        return this.#undo.length > 0;
    }
    get canRedo() {
        return this.#redo.length > 0;
    }
    get unsaved() {
        return JSON.stringify(this.project) !== this.#savedText;
    }
    markSaved() {
        this.#savedText = JSON.stringify(this.project);
    }

    select(index) {
        this.current = clamp(index, 0, this.project.steps.length - 1);
    }

    // Changes a copy of the project with `edit`, which may answer the step to select afterwards. False
    // when the change is refused; the project is then as it was.
    change(edit, mergeKey = null) {
        const next = structuredClone(this.project);
        const selected = edit(next) ?? this.current;
        return this.#commit(next, selected, mergeKey);
    }
    // Takes `project` whole, as one change: a working copy taken back.
    replace(project) {
        return this.#commit(structuredClone(project), 0, null);
    }
    undo() {
        return this.#travel(this.#undo, this.#redo);
    }
    redo() {
        return this.#travel(this.#redo, this.#undo);
    }
    endMerge() {
        this.#mergeKey = null;
    }

    deleteStep(index) {
        return this.change((project) => {
            project.steps.splice(index, 1);
            return this.current > index ? this.current - 1 : this.current;
        });
    }
    duplicateStep(index) {
        return this.change((project) => {
            project.steps.splice(index + 1, 0, structuredClone(project.steps[index]));
            return index + 1;
        });
    }
    moveStep(from, to) {
        return this.change((project) => {
            const [step] = project.steps.splice(from, 1);
            project.steps.splice(to, 0, step);
            return to;
        });
    }
    // Takes a length as typed (parseLength); answers why not when it cannot be taken, else "".
    setLength(index, text) {
        const length = parseLength(text, this.project.fps, this.take.format.maxFrames);
        if (length.problem)
            return length.problem;
        this.change((project) => {
            project.steps[index].frames = length.frames;
        }, `length${index}`);
        return "";
    }
    // An empty text removes the caption; the first text makes one, as large as its text. A caption grows
    // taller where its text needs more lines.
    setCaptionText(index, text) {
        return this.change((project) => {
            const step = project.steps[index];
            if (!text)
                delete step.caption;
            else if (step.caption)
                Object.assign(step.caption, {text, height: Math.max(step.caption.height,
                    this.#heightFor(text, step.caption.width))});
            else
                step.caption = this.#newCaption(project, step, text);
        }, `caption${index}`);
    }

    setArrow(index, on) {
        return this.change((project) => {
            const step = project.steps[index];
            if (on)
                step.caption.arrow = this.#pointerOf(project, step);
            else
                delete step.caption.arrow;
        });
    }
    // The step's suggested caption as its caption, placed as a typed one is; false without one.
    takeSuggestion(index) {
        const suggestion = suggestionOf(this.take, this.project.steps[index]);
        if (!suggestion)
            return false;
        return this.change((project) => {
            const step = project.steps[index];
            step.caption = this.#newCaption(project, step, suggestion.text);
        });
    }
    // Every step without a caption that has a suggestion takes it, in one change.
    suggestAll() {
        return this.change((project) => {
            for (const step of project.steps) {
                const suggestion = suggestionOf(this.take, step);
                if (!step.caption && suggestion)
                    step.caption = this.#newCaption(project, step, suggestion.text);
            }
        });
    }
    // The project says "mark" only where it differs from the step's default, so that a saved file keeps
    // what the user chose and nothing more.
    setMark(index, on) {
        return this.change((project) => {
            const step = project.steps[index];
            if (on === markedByDefault(this.take, step))
                delete step.mark;
            else
                step.mark = on;
        });
    }
    // A new crop goes before the steps, where the project file's description has it.
    setCrop(rect, mergeKey) {
        return this.change((project) => {
            if (project.crop)
                Object.assign(project.crop, rect);
            else
                this.#addCrop(project, rect);
        }, mergeKey);
    }
    removeCrop() {
        return this.change((project) => {
            delete project.crop;
        });
    }
    // Drags the caption of the step selected from where it was (`original`) by (dx, dy): `kind` is
    // "move" for the box, "size" for its corner, "tip" for its arrow's tip. It stays within the part of
    // the stage that is shown, the crop or the whole stage.
    dragCaption(kind, original, dx, dy, mergeKey) {
        const shown = shownArea(this.take, this.project);
        const right = shown.x + shown.width;
        const bottom = shown.y + shown.height;
        const smallest = 2 * this.take.captionStyle.border + 1;
        return this.change((project) => {
            const caption = project.steps[this.current].caption;
            if (kind === "move") {
                caption.x = clamp(original.x + dx, shown.x, right - caption.width);
                caption.y = clamp(original.y + dy, shown.y, bottom - caption.height);
            } else if (kind === "size") {
                caption.width = clamp(original.width + dx, smallest, right - caption.x);
                caption.height = clamp(original.height + dy, smallest, bottom - caption.y);
            } else if (kind === "tip") {
                caption.arrow.x = clamp(original.arrow.x + dx, shown.x, right - 1);
                caption.arrow.y = clamp(original.arrow.y + dy, shown.y, bottom - 1);
            }
        }, mergeKey);
    }

    #snapshot() {
        return {text: JSON.stringify(this.project), current: this.current};
    }
    #commit(next, selected, mergeKey) {
        const before = this.#snapshot();
        if (!this.#adopt(next, selected))
            return false;
        if (JSON.stringify(next) === before.text)
            return true;
        if (mergeKey === null || mergeKey !== this.#mergeKey) {
            this.#undo.push(before);
            this.#redo.length = 0;
        }
        this.#mergeKey = mergeKey;
        return true;
    }
    #travel(from, to) {
        if (!from.length)
            return false;
        const now = this.#snapshot();
        if (!this.#adopt(JSON.parse(from.at(-1).text), from.at(-1).current))
            return false;
        from.pop();
        to.push(now);
        this.#mergeKey = null;
        return true;
    }
    // Where every change of the project, undo and redo included, comes in, and is refused when it would
    // break a rule: a take keeps at least one step, and every step shows a recorded step of the take.
    #adopt(project, selected) {
        const recorded = this.take.steps.length;
        const showsRecorded = (step) =>
            Number.isInteger(step.source) && step.source >= 1 && step.source <= recorded;
        if (project.steps.length === 0 || !project.steps.every(showsRecorded))
            return false;
        this.project = project;
        this.current = clamp(selected, 0, project.steps.length - 1);
        return true;
    }

    // The step's pointer, or the nearest point to it within the part of the stage that is shown.
    #pointerOf(project, step) {
        const {x, y} = this.take.steps[step.source - 1].pointer;
        const shown = shownArea(this.take, project);
        return {
            x: clamp(x, shown.x, shown.x + shown.width - 1),
            y: clamp(y, shown.y, shown.y + shown.height - 1),
        };
    }
    // Below and right of the step's pointer, within the part of the stage that is shown, with its arrow
    // pointing at the pointer.
    #heightFor(text, width) {
        return captionHeight(captionLinesOf(this.take, {text, width}).length, this.take.captionStyle);
    }
    #newCaption(project, step, text) {
        const pointer = this.take.steps[step.source - 1].pointer;
        const shown = shownArea(this.take, project);
        const width = Math.min(kNewCaptionWidth, shown.width);
        const height = this.#heightFor(text, width);
        const bottom = shown.y + shown.height;
        return {
            text,
            x: clamp(pointer.x + kNewCaptionOffset, shown.x, shown.x + shown.width - width),
            y: clamp(pointer.y + kNewCaptionOffset, shown.y, Math.max(shown.y, bottom - height)),
            width,
            height,
            arrow: this.#pointerOf(project, step),
        };
    }
    // Keys keep the order they were added in: all are added again, the crop just before "steps".
    #addCrop(project, rect) {
        const entries = Object.entries(project);
        for (const [key] of entries)
            delete project[key];
        for (const [key, value] of entries) {
            if (key === "steps")
                project.crop = rect;
            project[key] = value;
        }
    }
}
