// The player of one recorded take, and its editor; a module, so that nothing of it is global.
// Everything it knows comes from the model the export wrote into the page: the take (stage, recorded
// steps with their pictures and pointer), the caption style the animated PNG is drawn with, and the
// project (the edit) when the take has one. What the page shows is always drawn from `edit`; nothing is
// read back from the page's elements.

const model = JSON.parse(document.getElementById("model").textContent);
const byId = (id) => document.getElementById(id);
const query = new URLSearchParams(location.search);
// ?bare: the stage alone in the page's corner at one pixel per picture pixel, for screenshots. ?edit:
// opened in the edit mode.
const bare = query.has("bare");

const stageWidth = model.stage.width;
const stageHeight = model.stage.height;
const recorded = model.steps;
const style = model.captionStyle;
const projectFile = `${model.name}.flickmere.json`;
const kMaxFrames = 65535;
const kThumbWidth = 128;
const kDragThreshold = 5;

const frame = byId("frame");
const stage = byId("stage");
const pointer = byId("pointer");
const captionLayer = byId("captionLayer");
const cropBox = byId("cropBox");
const seek = byId("seek");
const label = byId("label");
const playButton = byId("play");
const strip = byId("strip");
const editor = byId("editor");

for (const [name, value] of [["font", `${style.fontPixels}px`], ["line-height", `${style.lineHeight}px`],
    ["padding", `${style.padding}px`], ["border", `${style.border}px`], ["fill", style.fill],
    ["ink", style.ink], ["line", style.line], ["arrow-width", `${style.arrowWidth}px`]])
    document.documentElement.style.setProperty(`--caption-${name}`, value);
document.title = `${model.name} \u2013 Flickmere`;
byId("heading").textContent = model.name;
document.body.classList.toggle("bare", bare);

// Every recorded picture once, in recording order, so that later pictures lie on top.
const pictures = [];
const picturesOf = recorded.map(() => []);
recorded.forEach((step, index) => {
    for (const p of step.pictures) {
        const img = new Image(p.width, p.height);
        img.alt = "";
        img.decoding = "sync";
        img.style.cssText = `left: ${p.x}px; top: ${p.y}px; display: none`;
        img.src = p.src;
        const picture = {img, step: index + 1, x: p.x, y: p.y, whole: Boolean(p.whole)};
        pictures.push(picture);
        picturesOf[index].push(picture);
    }
});
byId("pictures").append(...pictures.map((p) => p.img));

// Recorded step s shows every picture of steps wholeFrom[s]..s: a window that changed its size was
// grabbed whole, which hides all it showed before.
const wholeFrom = [1];
for (let s = 1; s <= recorded.length; ++s)
    wholeFrom[s] = picturesOf[s - 1].some((p) => p.whole) ? s : wholeFrom[s - 1];

const fromTake = () => ({
    format: "flickmere-project",
    version: 1,
    fps: model.fps,
    steps: recorded.map((step, index) => ({source: index + 1, frames: step.frames})),
});

// The edit, exactly the project file's content: fields the page does not know stay where they are.
let edit = fromTake();
const saveStatus = byId("saveStatus");
if (model.project) {
    const unknown = model.project.steps.find((step) => step.source > recorded.length);
    if (unknown)
        saveStatus.textContent = `${projectFile} shows step ${unknown.source}, but the take has ` +
            `${recorded.length}: the take is shown as recorded.`;
    else
        edit = model.project;
}

let current = 0;
let playing = false;
let timer = null;
let editing = false;
let scale = 1;

const secondsOf = (frames) => frames / edit.fps;
const clamp = (value, low, high) => Math.max(low, Math.min(high, value));

// The part of the stage on show: the crop when viewing, the whole stage when editing it.
function shownRect() {
    return !editing && edit.crop ? edit.crop : {x: 0, y: 0, width: stageWidth, height: stageHeight};
}

// Fits the shown part to the window: smaller when it is larger, never larger than 1:1 unless asked.
function layout() {
    const shown = shownRect();
    if (bare) {
        scale = 1;
    } else {
        const room = frame.parentElement.clientWidth - 32;
        const used = byId("header").offsetHeight + byId("controls").offsetHeight +
            (editing ? editor.offsetHeight : 0) + 24;
        scale = Math.min(room / shown.width, (window.innerHeight - used) / shown.height);
        if (!byId("enlarge").checked)
            scale = Math.min(scale, 1);
        scale = Math.max(scale, 0.05);
    }
    frame.style.width = `${Math.round(shown.width * scale)}px`;
    frame.style.height = `${Math.round(shown.height * scale)}px`;
    stage.style.width = `${stageWidth}px`;
    stage.style.height = `${stageHeight}px`;
    stage.style.background = model.stage.background;
    stage.style.transform = scale === 1 && shown.x === 0 && shown.y === 0
        ? "none" : `scale(${scale}) translate(${-shown.x}px, ${-shown.y}px)`;
    stage.classList.toggle("pixelated", scale >= 1);
}

// The caption's arrow as the animated PNG draws it: from where the line from the box's middle to the
// tip leaves the box, to the middle of the tip's pixel. None when the tip lies in the box.
function arrowShape(caption) {
    const tip = caption.arrow;
    if (tip.x >= caption.x && tip.x < caption.x + caption.width && tip.y >= caption.y &&
        tip.y < caption.y + caption.height)
        return null;
    const end = {x: tip.x + 0.5, y: tip.y + 0.5};
    const middle = {x: caption.x + caption.width / 2, y: caption.y + caption.height / 2};
    const dx = end.x - middle.x;
    const dy = end.y - middle.y;
    const reach = Math.min(dx ? caption.width / 2 / Math.abs(dx) : Infinity,
        dy ? caption.height / 2 / Math.abs(dy) : Infinity);
    const start = {x: middle.x + dx * reach, y: middle.y + dy * reach};
    const length = Math.hypot(end.x - start.x, end.y - start.y);
    const ux = (end.x - start.x) / length;
    const uy = (end.y - start.y) / length;
    const head = Math.min(style.arrowHeadLength, length);
    const base = {x: end.x - ux * head, y: end.y - uy * head};
    const half = style.arrowHeadHalfWidth;
    return {
        start, base, end,
        left: {x: base.x - uy * half, y: base.y + ux * half},
        right: {x: base.x + uy * half, y: base.y - ux * half},
    };
}

function svgElement(name, attributes) {
    const element = document.createElementNS(pointer.namespaceURI, name);
    for (const [key, value] of Object.entries(attributes))
        element.setAttribute(key, value);
    return element;
}

function handle(kind, x, y) {
    const element = document.createElement("div");
    element.className = `handle ${kind}`;
    element.dataset.handle = kind;
    element.style.left = `${x}px`;
    element.style.top = `${y}px`;
    return element;
}

function drawCaption() {
    captionLayer.replaceChildren();
    const caption = edit.steps[current].caption;
    if (!caption)
        return;
    const shape = caption.arrow && arrowShape(caption);
    if (shape) {
        const svg = svgElement("svg", {class: "arrow", width: 1, height: 1});
        svg.append(svgElement("line", {x1: shape.start.x, y1: shape.start.y, x2: shape.base.x, y2: shape.base.y}),
            svgElement("polygon", {points: [shape.end, shape.left, shape.right].map((p) => `${p.x},${p.y}`).join(" ")}));
        captionLayer.append(svg);
    }
    const box = document.createElement("div");
    box.className = "caption";
    box.dataset.handle = "move";
    box.style.cssText = `left: ${caption.x}px; top: ${caption.y}px; width: ${caption.width}px; ` +
        `height: ${caption.height}px`;
    box.textContent = caption.text;
    captionLayer.append(box);
    if (editing) {
        captionLayer.append(handle("size", caption.x + caption.width, caption.y + caption.height));
        if (caption.arrow)
            captionLayer.append(handle("tip", caption.arrow.x + 0.5, caption.arrow.y + 0.5));
    }
}

function drawCrop() {
    cropBox.hidden = !editing || !edit.crop;
    if (!cropBox.hidden) {
        const {x, y, width, height} = edit.crop;
        cropBox.style.cssText = `left: ${x}px; top: ${y}px; width: ${width}px; height: ${height}px`;
    }
}

function show(index) {
    current = clamp(index, 0, edit.steps.length - 1);
    const source = edit.steps[current].source;
    const from = wholeFrom[source];
    for (const p of pictures)
        p.img.style.display = p.step >= from && p.step <= source ? "block" : "none";
    const cursor = recorded[source - 1];
    pointer.style.transform = `translate(${cursor.x}px,${cursor.y}px)`;
    seek.max = String(edit.steps.length);
    seek.value = String(current + 1);
    label.textContent = `Step ${current + 1} / ${edit.steps.length}`;
    drawCaption();
    if (editing)
        showSelection();
    if (playing)
        schedule();
}

function schedule() {
    clearTimeout(timer);
    timer = setTimeout(advance, secondsOf(edit.steps[current].frames) * 1000);
}
function advance() {
    if (current + 1 < edit.steps.length)
        show(current + 1);
    else
        pause();
}
function play() {
    playing = true;
    playButton.textContent = "Pause";
    if (current === edit.steps.length - 1)
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
    const match = /^#step=(\d+)$/.exec(location.hash);
    if (!match)
        return false;
    pause();
    show(Number(match[1]) - 1);
    return true;
}

// ---- The edit: every change goes through change(), which keeps undo and redo and redraws.

const undoStack = [];
const redoStack = [];
// Changes with the same key in a row (one drag, typing one caption) are undone together.
let mergeKey = null;
let dragCount = 0;

const snapshot = () => ({edit: JSON.stringify(edit), current});
function restore(state) {
    edit = JSON.parse(state.edit);
    current = state.current;
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
function undo() {
    if (undoStack.length) {
        redoStack.push(snapshot());
        restore(undoStack.pop());
    }
}
function redo() {
    if (redoStack.length) {
        undoStack.push(snapshot());
        restore(redoStack.pop());
    }
}

// The edit mode shows the whole stage whatever the crop, so an edit leaves the layout as it was.
function redraw() {
    current = clamp(current, 0, edit.steps.length - 1);
    if (editing)
        fillStrip();
    else
        layout();
    drawCrop();
    show(current);
}

const deleteStep = (index) => change(() => {
    edit.steps.splice(index, 1);
    if (current > index || current === edit.steps.length)
        --current;
});
const duplicateStep = (index) => change(() => {
    edit.steps.splice(index + 1, 0, JSON.parse(JSON.stringify(edit.steps[index])));
    current = index + 1;
});
const moveStep = (from, to) => change(() => {
    const [step] = edit.steps.splice(from, 1);
    edit.steps.splice(to, 0, step);
    current = to;
});

// A new crop goes before the steps, where the project file's description has it.
function setCrop(rect) {
    if (edit.crop)
        Object.assign(edit.crop, rect);
    else
        edit = Object.fromEntries(Object.entries(edit).flatMap(([key, value]) => (key === "steps"
            ? [["crop", rect], [key, value]] : [[key, value]])));
}

// A new caption sits below and right of the pointer with its arrow pointing at it, as large as its text.
function captionFor(text, existing) {
    const lines = text.split("\n").length;
    const tall = lines * style.lineHeight + 2 * (style.padding + style.border);
    if (existing)
        return Object.assign(existing, {text, height: Math.max(existing.height, tall)});
    const cursor = recorded[edit.steps[current].source - 1];
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

// ---- The strip of steps.

const thumbHeight = Math.max(1, Math.round(stageHeight * kThumbWidth / stageWidth));
const thumbnails = [];
let thumbnailsStarted = false;

function paintThumb(canvas) {
    const made = thumbnails[Number(canvas.dataset.source)];
    const context = canvas.getContext("2d");
    if (made)
        context.drawImage(made, 0, 0);
    else
        context.clearRect(0, 0, canvas.width, canvas.height);
}

// Made once per recorded step, in recording order over one small running picture, once each picture is
// decoded; the strip shows them as they come.
async function makeThumbnails() {
    thumbnailsStarted = true;
    const running = document.createElement("canvas");
    running.width = kThumbWidth;
    running.height = thumbHeight;
    const context = running.getContext("2d");
    const k = kThumbWidth / stageWidth;
    for (let s = 1; s <= recorded.length; ++s) {
        for (const p of picturesOf[s - 1]) {
            await p.img.decode().catch(() => null);
            if (p.whole) {
                context.fillStyle = model.stage.background;
                context.fillRect(0, 0, kThumbWidth, thumbHeight);
            }
            context.drawImage(p.img, p.x * k, p.y * k, p.img.width * k, p.img.height * k);
        }
        const thumb = document.createElement("canvas");
        thumb.width = kThumbWidth;
        thumb.height = thumbHeight;
        thumb.getContext("2d").drawImage(running, 0, 0);
        thumbnails[s] = thumb;
        for (const canvas of strip.querySelectorAll(`canvas[data-source="${s}"]`))
            paintThumb(canvas);
    }
}

function newStripItem() {
    const item = document.createElement("li");
    const canvas = document.createElement("canvas");
    canvas.width = kThumbWidth;
    canvas.height = thumbHeight;
    const info = document.createElement("div");
    info.className = "info";
    info.append(document.createElement("span"), document.createElement("span"));
    const remove = document.createElement("button");
    remove.type = "button";
    remove.className = "remove";
    remove.textContent = "\u00D7";
    remove.title = "Delete this step";
    item.append(canvas, info, remove);
    return item;
}

const setText = (element, text) => {
    if (element.textContent !== text)
        element.textContent = text;
};

// Shows the steps with as little work as the edit allows: an item that showed a recorded step keeps
// showing it (its thumbnail is not drawn again), and only items out of place are moved.
function fillStrip() {
    const free = new Map();
    for (const item of strip.children) {
        const source = item.firstChild.dataset.source;
        free.set(source, [...(free.get(source) ?? []), item]);
    }
    const items = edit.steps.map((step) => free.get(String(step.source))?.pop() ?? null);
    const spare = [...free.values()].flat();
    edit.steps.forEach((step, index) => {
        let item = items[index];
        if (!item) {
            item = items[index] = spare.pop() ?? newStripItem();
            item.firstChild.dataset.source = String(step.source);
            paintThumb(item.firstChild);
        }
        item.dataset.index = String(index);
        item.title = `Step ${index + 1}: recorded step ${step.source}. Drag to move it.`;
        const [number, length] = item.children[1].children;
        setText(number, `${index + 1}${step.caption ? " \u270E" : ""}`);
        setText(length, `${secondsOf(step.frames).toFixed(2)} s`);
        item.lastChild.disabled = edit.steps.length === 1;
    });
    for (const item of spare)
        item.remove();
    items.forEach((item, index) => {
        if (strip.children[index] !== item)
            strip.insertBefore(item, strip.children[index] ?? null);
    });
}

// The step last scrolled into view: scrolling asks for a layout, so it is done only when another step
// is selected.
let scrolledTo = -1;
function showSelection() {
    for (const item of strip.children)
        item.classList.toggle("selected", Number(item.dataset.index) === current);
    if (scrolledTo !== current) {
        scrolledTo = current;
        strip.children[current]?.scrollIntoView({block: "nearest", inline: "nearest"});
    }
    const step = edit.steps[current];
    const length = byId("length");
    if (document.activeElement !== length)
        length.value = String(Number(secondsOf(step.frames).toFixed(3)));
    const text = byId("captionText");
    if (document.activeElement !== text)
        text.value = step.caption ? step.caption.text : "";
    byId("arrow").checked = Boolean(step.caption?.arrow);
    byId("arrow").disabled = !step.caption;
    byId("delete").disabled = edit.steps.length === 1;
    byId("undo").disabled = undoStack.length === 0;
    byId("redo").disabled = redoStack.length === 0;
    byId("uncrop").disabled = !edit.crop;
}

// Picks a step with a click; moves it with a drag, dropped before the step under the pointer.
strip.addEventListener("pointerdown", (down) => {
    const item = down.target.closest("li");
    if (!item || down.button !== 0)
        return;
    const from = Number(item.dataset.index);
    if (down.target.closest(".remove")) {
        deleteStep(from);
        return;
    }
    pause();
    show(from);
    let dragging = false;
    let target = from;
    const dropIndex = (x) => {
        const items = [...strip.children];
        const after = items.findIndex((li) => {
            const box = li.getBoundingClientRect();
            return x < box.left + box.width / 2;
        });
        return after === -1 ? items.length : after;
    };
    const move = (e) => {
        dragging ||= Math.abs(e.clientX - down.clientX) > kDragThreshold;
        if (!dragging)
            return;
        item.classList.add("dragged");
        target = dropIndex(e.clientX);
        for (const li of strip.children)
            li.classList.toggle("drop-before", Number(li.dataset.index) === target);
    };
    const up = () => {
        strip.removeEventListener("pointermove", move);
        strip.removeEventListener("pointerup", up);
        strip.removeEventListener("pointercancel", up);
        for (const li of strip.children)
            li.classList.remove("dragged", "drop-before");
        // Dropped before itself or the next one leaves the step where it was.
        const to = target > from ? target - 1 : target;
        if (dragging && to !== from)
            moveStep(from, to);
    };
    strip.setPointerCapture(down.pointerId);
    strip.addEventListener("pointermove", move);
    strip.addEventListener("pointerup", up);
    strip.addEventListener("pointercancel", up);
});

// ---- Dragging on the stage: the caption, its size, its arrow's tip, or a new crop.

let cropping = false;
function setCropping(on) {
    cropping = on;
    byId("crop").setAttribute("aria-pressed", String(on));
    stage.classList.toggle("cropping", on);
}

function stagePoint(e) {
    const box = frame.getBoundingClientRect();
    return {
        x: clamp(Math.round((e.clientX - box.left) / scale), 0, stageWidth),
        y: clamp(Math.round((e.clientY - box.top) / scale), 0, stageHeight),
    };
}

stage.addEventListener("pointerdown", (down) => {
    if (!editing || down.button !== 0)
        return;
    const kind = cropping ? "crop" : down.target.dataset.handle;
    const caption = edit.steps[current].caption;
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
            const now = edit.steps[current].caption;
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
async function saveProject() {
    const text = `${JSON.stringify(edit, null, 2)}\n`;
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

// ---- Modes and controls.

function setEditing(on) {
    editing = on;
    pause();
    setCropping(false);
    document.body.classList.toggle("editing", on);
    editor.hidden = !on;
    byId("mode").textContent = on ? "View" : "Edit";
    if (on && !thumbnailsStarted)
        makeThumbnails();
    redraw();
    layout();
}

byId("mode").addEventListener("click", () => setEditing(!editing));
playButton.addEventListener("click", () => {
    toggle();
    playButton.blur();
});
byId("prev").addEventListener("click", (e) => {
    show(current - 1);
    e.currentTarget.blur();
});
byId("next").addEventListener("click", (e) => {
    show(current + 1);
    e.currentTarget.blur();
});
seek.addEventListener("input", () => show(Number(seek.value) - 1));
byId("enlarge").addEventListener("change", layout);
byId("undo").addEventListener("click", undo);
byId("redo").addEventListener("click", redo);
byId("duplicate").addEventListener("click", () => duplicateStep(current));
byId("delete").addEventListener("click", () => deleteStep(current));
byId("crop").addEventListener("click", () => setCropping(!cropping));
byId("uncrop").addEventListener("click", () => change(() => delete edit.crop));
byId("save").addEventListener("click", saveProject);
// Taken as it is typed; a number not yet whole ("", "0.") changes nothing.
byId("length").addEventListener("input", (e) => {
    const seconds = Number(e.target.value);
    if (!(seconds > 0))
        return;
    change(() => {
        edit.steps[current].frames = clamp(Math.round(seconds * edit.fps), 1, kMaxFrames);
    }, `length${current}`);
});
byId("length").addEventListener("blur", () => {
    mergeKey = null;
});
byId("captionText").addEventListener("input", (e) => {
    const text = e.target.value;
    change(() => {
        const step = edit.steps[current];
        if (text)
            step.caption = captionFor(text, step.caption);
        else
            delete step.caption;
    }, `caption${current}`);
});
byId("captionText").addEventListener("blur", () => {
    mergeKey = null;
});
byId("arrow").addEventListener("change", (e) => {
    const on = e.target.checked;
    change(() => {
        const caption = edit.steps[current].caption;
        const cursor = recorded[edit.steps[current].source - 1];
        if (on)
            caption.arrow = {x: clamp(cursor.x, 0, stageWidth - 1), y: clamp(cursor.y, 0, stageHeight - 1)};
        else
            delete caption.arrow;
    });
});
window.addEventListener("resize", layout);

// Handled for the whole page, and the browser's own reaction (scrolling, moving a focused slider,
// pressing a focused button) is cancelled so that each key acts exactly once. Keys typed into a field
// are the field's.
document.addEventListener("keydown", (e) => {
    const field = e.target.closest?.("textarea, input:not([type=range]):not([type=checkbox])");
    if (field)
        return;
    const command = e.ctrlKey || e.metaKey;
    if (e.key === " ")
        toggle();
    else if (e.key === "ArrowLeft")
        show(current - 1);
    else if (e.key === "ArrowRight")
        show(current + 1);
    else if (editing && command && e.key === "z")
        undo();
    else if (editing && command && (e.key === "y" || e.key === "Z"))
        redo();
    else if (editing && command && e.key === "d")
        duplicateStep(current);
    else if (editing && command && e.key === "s")
        saveProject();
    else if (editing && e.key === "Delete" && edit.steps.length > 1)
        deleteStep(current);
    else
        return;
    e.preventDefault();
});
window.addEventListener("hashchange", seekToHash);

// ---- Save video: the take played once more, as edited, on a canvas of its own, which the browser's
// MediaRecorder records; the recording is offered as a download. The player on the page goes on
// undisturbed.

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
    if (edit.steps.some((step) => step.caption))
        await document.fonts.load(captionFont);
    const steps = edit.steps;
    const shown = edit.crop ?? {x: 0, y: 0, width: stageWidth, height: stageHeight};
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

redraw();
if (!seekToHash())
    play();
if (query.has("edit"))
    setEditing(true);
performance.mark("flickmere-ready");
