// The player of one recorded take: its model, the state the page's files share, and the view (layout,
// pictures, pointer, caption, crop) with its playback. Everything the page knows comes from the model
// the export wrote into it: the take (stage, recorded steps with their pictures and pointer), the
// caption style the animated PNG is drawn with, and the project (the edit) when the take has one. What
// the page shows is always drawn from `state.edit`; nothing is read back from the page's elements.
// The edit mode (edit.js, strip.js), Save video (video.js) and the page's start (main.js) build on this
// file; the build joins them all into the page's one module script (cmake/JoinScripts.cmake).

export const model = JSON.parse(document.getElementById("model").textContent);
export const byId = (id) => document.getElementById(id);
export const query = new URLSearchParams(location.search);
// ?bare: the stage alone in the page's corner at one pixel per picture pixel, for screenshots. ?edit:
// opened in the edit mode.
const bare = query.has("bare");

export const stageWidth = model.stage.width;
export const stageHeight = model.stage.height;
export const recorded = model.steps;
export const style = model.captionStyle;
export const projectFile = `${model.name}.flickmere.json`;

export const frame = byId("frame");
export const stage = byId("stage");
export const pointer = byId("pointer");
export const editor = byId("editor");
const captionLayer = byId("captionLayer");
const cropBox = byId("cropBox");
const seek = byId("seek");
const label = byId("label");
const playButton = byId("play");

for (const [name, value] of [["font", `${style.fontPixels}px`], ["line-height", `${style.lineHeight}px`],
    ["padding", `${style.padding}px`], ["border", `${style.border}px`], ["fill", style.fill],
    ["ink", style.ink], ["line", style.line], ["arrow-width", `${style.arrowWidth}px`]])
    document.documentElement.style.setProperty(`--caption-${name}`, value);
document.title = `${model.name} \u2013 Flickmere`;
byId("heading").textContent = model.name;
document.body.classList.toggle("bare", bare);

// Every recorded picture once, in recording order, so that later pictures lie on top.
export const pictures = [];
export const picturesOf = recorded.map(() => []);
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
export const wholeFrom = [1];
for (let s = 1; s <= recorded.length; ++s)
    wholeFrom[s] = picturesOf[s - 1].some((p) => p.whole) ? s : wholeFrom[s - 1];

const fromTake = () => ({
    format: "flickmere-project",
    version: 1,
    fps: model.fps,
    steps: recorded.map((step, index) => ({source: index + 1, frames: step.frames})),
});

// What the page's files share, in one object because a module's imported bindings cannot be assigned.
// `edit` is exactly the project file's content: fields the page does not know stay where they are.
// `current` is the index of the step shown; `scale` the stage's scale on the page.
export const state = {edit: fromTake(), current: 0, editing: false, scale: 1};
export const saveStatus = byId("saveStatus");
if (model.project) {
    const unknown = model.project.steps.find((step) => step.source > recorded.length);
    if (unknown)
        saveStatus.textContent = `${projectFile} shows step ${unknown.source}, but the take has ` +
            `${recorded.length}: the take is shown as recorded.`;
    else
        state.edit = model.project;
}

// The edit mode's strip and tools, drawn with the stage while the edit mode is on: fill() for a changed
// edit, select() for the step shown. The edit mode's files build on this one, so main.js puts their
// functions here.
export const editorView = {fill: null, select: null};

let playing = false;
let timer = null;

export const secondsOf = (frames) => frames / state.edit.fps;
export const clamp = (value, low, high) => Math.max(low, Math.min(high, value));

// The part of the stage on show: the crop when viewing, the whole stage when editing it.
function shownRect() {
    return !state.editing && state.edit.crop
        ? state.edit.crop : {x: 0, y: 0, width: stageWidth, height: stageHeight};
}

// Fits the shown part to the window: smaller when it is larger, never larger than 1:1 unless asked.
export function layout() {
    const shown = shownRect();
    let scale = 1;
    if (!bare) {
        const room = frame.parentElement.clientWidth - 32;
        const used = byId("header").offsetHeight + byId("controls").offsetHeight +
            (state.editing ? editor.offsetHeight : 0) + 24;
        scale = Math.min(room / shown.width, (window.innerHeight - used) / shown.height);
        if (!byId("enlarge").checked)
            scale = Math.min(scale, 1);
        scale = Math.max(scale, 0.05);
    }
    state.scale = scale;
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
export function arrowShape(caption) {
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
    const caption = state.edit.steps[state.current].caption;
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
    if (state.editing) {
        captionLayer.append(handle("size", caption.x + caption.width, caption.y + caption.height));
        if (caption.arrow)
            captionLayer.append(handle("tip", caption.arrow.x + 0.5, caption.arrow.y + 0.5));
    }
}

function drawCrop() {
    const crop = state.edit.crop;
    cropBox.hidden = !state.editing || !crop;
    if (!cropBox.hidden) {
        const {x, y, width, height} = crop;
        cropBox.style.cssText = `left: ${x}px; top: ${y}px; width: ${width}px; height: ${height}px`;
    }
}

export function show(index) {
    const steps = state.edit.steps;
    state.current = clamp(index, 0, steps.length - 1);
    const source = steps[state.current].source;
    const from = wholeFrom[source];
    for (const p of pictures)
        p.img.style.display = p.step >= from && p.step <= source ? "block" : "none";
    const cursor = recorded[source - 1];
    pointer.style.transform = `translate(${cursor.x}px,${cursor.y}px)`;
    seek.max = String(steps.length);
    seek.value = String(state.current + 1);
    label.textContent = `Step ${state.current + 1} / ${steps.length}`;
    drawCaption();
    if (state.editing)
        editorView.select();
    if (playing)
        schedule();
}

// Draws the page afresh for a changed edit or mode. The edit mode shows the whole stage whatever the
// crop, so an edit leaves the layout as it was.
export function redraw() {
    state.current = clamp(state.current, 0, state.edit.steps.length - 1);
    if (state.editing)
        editorView.fill();
    else
        layout();
    drawCrop();
    show(state.current);
}

function schedule() {
    clearTimeout(timer);
    timer = setTimeout(advance, secondsOf(state.edit.steps[state.current].frames) * 1000);
}
function advance() {
    if (state.current + 1 < state.edit.steps.length)
        show(state.current + 1);
    else
        pause();
}
export function play() {
    playing = true;
    playButton.textContent = "Pause";
    if (state.current === state.edit.steps.length - 1)
        show(0);
    else
        schedule();
}
export function pause() {
    playing = false;
    clearTimeout(timer);
    playButton.textContent = "Play";
}
export function toggle() {
    if (playing)
        pause();
    else
        play();
}
// "#step=S" opens the player paused at step S.
export function seekToHash() {
    const match = /^#step=(\d+)$/.exec(location.hash);
    if (!match)
        return false;
    pause();
    show(Number(match[1]) - 1);
    return true;
}

playButton.addEventListener("click", () => {
    toggle();
    playButton.blur();
});
byId("prev").addEventListener("click", (e) => {
    show(state.current - 1);
    e.currentTarget.blur();
});
byId("next").addEventListener("click", (e) => {
    show(state.current + 1);
    e.currentTarget.blur();
});
seek.addEventListener("input", () => show(Number(seek.value) - 1));
byId("enlarge").addEventListener("change", layout);
window.addEventListener("resize", layout);
window.addEventListener("hashchange", seekToHash);
