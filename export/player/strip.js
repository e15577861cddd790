// The edit mode's strip of steps: an item for each step of the edit, with the thumbnail of its recorded
// step (made once per recorded step), its number and its length. A click picks a step; a drag moves it.

import {
    byId, model, pause, picturesOf, recorded, secondsOf, show, stageHeight, stageWidth, state,
} from "./player.js";
import {deleteStep, moveStep} from "./edit.js";

const kThumbWidth = 128;
const kDragThreshold = 5;

const strip = byId("strip");
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
// decoded; the strip shows them as they come. Only the first call makes them.
export async function makeThumbnails() {
    if (thumbnailsStarted)
        return;
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
export function fillStrip() {
    const steps = state.edit.steps;
    const free = new Map();
    for (const item of strip.children) {
        const source = item.firstChild.dataset.source;
        free.set(source, [...(free.get(source) ?? []), item]);
    }
    const items = steps.map((step) => free.get(String(step.source))?.pop() ?? null);
    const spare = [...free.values()].flat();
    steps.forEach((step, index) => {
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
        item.lastChild.disabled = steps.length === 1;
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
export function selectInStrip() {
    for (const item of strip.children)
        item.classList.toggle("selected", Number(item.dataset.index) === state.current);
    if (scrolledTo !== state.current) {
        scrolledTo = state.current;
        strip.children[state.current]?.scrollIntoView({block: "nearest", inline: "nearest"});
    }
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
