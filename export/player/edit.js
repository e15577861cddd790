// The edit mode's changes to the edit, the project file's content. Every change goes through change(),
// which keeps undo and redo and redraws: the step operations, the tools' fields, dragging on the stage
// (the caption, its size, its arrow's tip, or a new crop). Save writes the edit as the project file.

import {
    byId, clamp, frame, model, projectFile, recorded, redraw, saveStatus, secondsOf, stage, stageHeight,
    stageWidth, state, style,
} from "./player.js";

const kMaxFrames = 65535;

const undoStack = [];
const redoStack = [];
// Changes with the same key in a row (one drag, typing one caption) are undone together.
let mergeKey = null;
let dragCount = 0;

const snapshot = () => ({edit: JSON.stringify(state.edit), current: state.current});
function restore(saved) {
    state.edit = JSON.parse(saved.edit);
    state.current = saved.current;
    mergeKey = null;
    redraw();
}
function change(mutate, key = null) {
    if (key === null || key !== mergeKey) {
        undoStack.push(snapshot());
        redoStack.length = 0;
    }
    mergeKey = key;
    mutate();
    redraw();
}
export function undo() {
    if (undoStack.length) {
        redoStack.push(snapshot());
        restore(undoStack.pop());
    }
}
export function redo() {
    if (redoStack.length) {
        undoStack.push(snapshot());
        restore(redoStack.pop());
    }
}

export const deleteStep = (index) => change(() => {
    state.edit.steps.splice(index, 1);
    if (state.current > index || state.current === state.edit.steps.length)
        --state.current;
});
export const duplicateStep = (index) => change(() => {
    state.edit.steps.splice(index + 1, 0, JSON.parse(JSON.stringify(state.edit.steps[index])));
    state.current = index + 1;
});
export const moveStep = (from, to) => change(() => {
    const [step] = state.edit.steps.splice(from, 1);
    state.edit.steps.splice(to, 0, step);
    state.current = to;
});

// A new crop goes before the steps, where the project file's description has it.
function setCrop(rect) {
    if (state.edit.crop)
        Object.assign(state.edit.crop, rect);
    else
        state.edit = Object.fromEntries(Object.entries(state.edit).flatMap(([key, value]) => (key === "steps"
            ? [["crop", rect], [key, value]] : [[key, value]])));
}

// A new caption sits below and right of the pointer with its arrow pointing at it, as large as its text.
function captionFor(text, existing) {
    const lines = text.split("\n").length;
    const tall = lines * style.lineHeight + 2 * (style.padding + style.border);
    if (existing)
        return Object.assign(existing, {text, height: Math.max(existing.height, tall)});
    const cursor = recorded[state.edit.steps[state.current].source - 1];
    const width = Math.min(220, stageWidth);
    return {
        text,
        x: clamp(cursor.x + 24, 0, stageWidth - width),
        y: clamp(cursor.y + 24, 0, Math.max(0, stageHeight - tall)),
        width,
        height: tall,
        arrow: {x: clamp(cursor.x, 0, stageWidth - 1), y: clamp(cursor.y, 0, stageHeight - 1)},
    };
}

// The tools show the step selected; a field being typed into keeps what is typed.
export function showTools() {
    const step = state.edit.steps[state.current];
    const length = byId("length");
    if (document.activeElement !== length)
        length.value = String(Number(secondsOf(step.frames).toFixed(3)));
    const text = byId("captionText");
    if (document.activeElement !== text)
        text.value = step.caption ? step.caption.text : "";
    byId("arrow").checked = Boolean(step.caption?.arrow);
    byId("arrow").disabled = !step.caption;
    byId("delete").disabled = state.edit.steps.length === 1;
    byId("undo").disabled = undoStack.length === 0;
    byId("redo").disabled = redoStack.length === 0;
    byId("uncrop").disabled = !state.edit.crop;
}

// ---- Dragging on the stage: the caption, its size, its arrow's tip, or a new crop.

let cropping = false;
export function setCropping(on) {
    cropping = on;
    byId("crop").setAttribute("aria-pressed", String(on));
    stage.classList.toggle("cropping", on);
}

function stagePoint(e) {
    const box = frame.getBoundingClientRect();
    return {
        x: clamp(Math.round((e.clientX - box.left) / state.scale), 0, stageWidth),
        y: clamp(Math.round((e.clientY - box.top) / state.scale), 0, stageHeight),
    };
}

stage.addEventListener("pointerdown", (down) => {
    if (!state.editing || down.button !== 0)
        return;
    const kind = cropping ? "crop" : down.target.dataset.handle;
    const caption = state.edit.steps[state.current].caption;
    if (!kind || (kind !== "crop" && !caption))
        return;
    down.preventDefault();
    const start = stagePoint(down);
    const original = caption && {...caption, arrow: caption.arrow && {...caption.arrow}};
    const key = `drag${++dragCount}`;
    const move = (e) => {
        const p = stagePoint(e);
        const dx = p.x - start.x;
        const dy = p.y - start.y;
        change(() => {
            const now = state.edit.steps[state.current].caption;
            if (kind === "crop") {
                const x = Math.min(start.x, p.x);
                const y = Math.min(start.y, p.y);
                const width = Math.abs(dx);
                const height = Math.abs(dy);
                if (width > 0 && height > 0)
                    setCrop({x, y, width, height});
            } else if (kind === "move") {
                now.x = clamp(original.x + dx, 0, stageWidth - now.width);
                now.y = clamp(original.y + dy, 0, stageHeight - now.height);
            } else if (kind === "size") {
                now.width = clamp(original.width + dx, 2 * style.border + 1, stageWidth - now.x);
                now.height = clamp(original.height + dy, 2 * style.border + 1, stageHeight - now.y);
            } else if (kind === "tip") {
                now.arrow.x = clamp(original.arrow.x + dx, 0, stageWidth - 1);
                now.arrow.y = clamp(original.arrow.y + dy, 0, stageHeight - 1);
            }
        }, key);
    };
    const up = () => {
        stage.removeEventListener("pointermove", move);
        stage.removeEventListener("pointerup", up);
        stage.removeEventListener("pointercancel", up);
        if (kind === "crop")
            setCropping(false);
    };
    stage.setPointerCapture(down.pointerId);
    stage.addEventListener("pointermove", move);
    stage.addEventListener("pointerup", up);
    stage.addEventListener("pointercancel", up);
});

// ---- Saving the project file.

// The File System Access API where the browser has it; elsewhere (and for a page whose picker is
// refused) a download, which the user moves beside the take.
export async function saveProject() {
    const text = `${JSON.stringify(state.edit, null, 2)}\n`;
    const beside = `It belongs beside the take: in the folder ${model.name}, next to player.html, ` +
        "where the export looks for it.";
    if (window.showSaveFilePicker) {
        try {
            const file = await window.showSaveFilePicker({
                suggestedName: projectFile,
                types: [{description: "Flickmere project", accept: {"application/json": [".json"]}}],
            });
            const writable = await file.createWritable();
            await writable.write(text);
            await writable.close();
            saveStatus.textContent = `Saved ${file.name}. ${beside}`;
            return;
        } catch (error) {
            if (error.name === "AbortError") {
                saveStatus.textContent = "Not saved.";
                return;
            }
        }
    }
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([text], {type: "application/json"}));
    link.download = projectFile;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    saveStatus.textContent = `Downloaded ${projectFile}. ${beside}`;
}

// ---- The tools.

byId("undo").addEventListener("click", undo);
byId("redo").addEventListener("click", redo);
byId("duplicate").addEventListener("click", () => duplicateStep(state.current));
byId("delete").addEventListener("click", () => deleteStep(state.current));
byId("crop").addEventListener("click", () => setCropping(!cropping));
byId("uncrop").addEventListener("click", () => change(() => delete state.edit.crop));
byId("save").addEventListener("click", saveProject);
// Taken as it is typed; a number not yet whole ("", "0.") changes nothing.
byId("length").addEventListener("input", (e) => {
    const seconds = Number(e.target.value);
    if (!(seconds > 0))
        return;
    change(() => {
        state.edit.steps[state.current].frames = clamp(Math.round(seconds * state.edit.fps), 1, kMaxFrames);
    }, `length${state.current}`);
});
byId("length").addEventListener("blur", () => {
    mergeKey = null;
});
byId("captionText").addEventListener("input", (e) => {
    const text = e.target.value;
    change(() => {
        const step = state.edit.steps[state.current];
        if (text)
            step.caption = captionFor(text, step.caption);
        else
            delete step.caption;
    }, `caption${state.current}`);
});
byId("captionText").addEventListener("blur", () => {
    mergeKey = null;
});
byId("arrow").addEventListener("change", (e) => {
    const on = e.target.checked;
    change(() => {
        const caption = state.edit.steps[state.current].caption;
        const cursor = recorded[state.edit.steps[state.current].source - 1];
        if (on)
            caption.arrow = {x: clamp(cursor.x, 0, stageWidth - 1), y: clamp(cursor.y, 0, stageHeight - 1)};
        else
            delete caption.arrow;
    });
});
