// The edit mode's strip of steps: a card for each step of the edit, with the thumbnail and the number of
// its recorded step, its own number and its length. It reports a click on a card, on a card's ×, and a
// card dragged to another place.

import {formatSeconds, stepLabel} from "./model.js";
import {StageCompositor} from "./pictures.js";

const kThumbWidth = 128;
const kDragThreshold = 5;

export class StepStrip {
    #strip = document.getElementById("strip");
    #take;
    #pictures;
    #thumbHeight;
    #thumbnails = [];
    #thumbnailsStarted = false;
    // The step last scrolled into view: scrolling asks for a layout, so it is done only when another step
    // is selected.
    #scrolledTo = -1;

    constructor(take, pictures) {
        this.#take = take;
        this.#pictures = pictures;
        this.#thumbHeight = Math.max(1, Math.round(take.stage.height * kThumbWidth / take.stage.width));
    }

    // Made once per recorded step, in recording order over one small running picture, once the pictures
    // have loaded; the strip shows them as they come. Only the first call makes them.
    async makeThumbnails() {
        if (this.#thumbnailsStarted)
            return;
        this.#thumbnailsStarted = true;
        await this.#pictures.loaded;
        const running = this.#newCanvas();
        const compositor = new StageCompositor(this.#take, this.#pictures.images, running,
            kThumbWidth / this.#take.stage.width);
        for (const step of this.#take.steps) {
            // A thumbnail is shared by every card of its recorded step, and each of those steps switches its
            // mark on or off by itself: so thumbnails show the recording alone, and the stage the mark.
            compositor.draw(step.number);
            const thumbnail = this.#newCanvas();
            thumbnail.getContext("2d").drawImage(running, 0, 0);
            this.#thumbnails[step.number] = thumbnail;
            for (const canvas of this.#strip.querySelectorAll(`canvas[data-source="${step.number}"]`))
                this.#paintThumbnail(canvas);
            // One thumbnail a task, so that the page answers meanwhile.
            await new Promise((resolve) => setTimeout(resolve));
        }
    }

    // Shows the steps with as little work as the edit allows: a card that showed a recorded step keeps
    // showing it (its thumbnail is not drawn again), and only cards out of place are moved.
    fill(project) {
        const steps = project.steps;
        const free = new Map();
        for (const card of this.#strip.children) {
            const source = card.firstChild.dataset.source;
            free.set(source, [...(free.get(source) ?? []), card]);
        }
        const cards = steps.map((step) => free.get(String(step.source))?.pop() ?? null);
        const spare = [...free.values()].flat();
        steps.forEach((step, index) => {
            let card = cards[index];
            if (!card) {
                card = cards[index] = spare.pop() ?? this.#newCard();
                card.firstChild.dataset.source = String(step.source);
                card.querySelector(".source").textContent = `Recorded ${step.source}`;
                this.#paintThumbnail(card.firstChild);
            }
            card.dataset.index = String(index);
            card.title = `Step ${index + 1}: recorded step ${step.source}. Drag to move it.`;
            card.firstChild.setAttribute("aria-label", stepLabel(this.#take, project, index));
            const [number, length] = card.children[1].children;
            setText(number, `${index + 1}${step.caption ? " \u270E" : ""}`);
            setText(length, `${formatSeconds(step.frames, project.fps)} s`);
            card.querySelector(".remove").disabled = steps.length === 1;
        });
        for (const card of spare)
            card.remove();
        cards.forEach((card, index) => {
            if (this.#strip.children[index] !== card)
                this.#strip.insertBefore(card, this.#strip.children[index] ?? null);
        });
    }

    select(index) {
        for (const card of this.#strip.children)
            card.classList.toggle("selected", Number(card.dataset.index) === index);
        if (this.#scrolledTo !== index) {
            this.#scrolledTo = index;
            this.#strip.children[index]?.scrollIntoView({block: "nearest", inline: "nearest"});
        }
    }

    // `on` has pick(index), remove(index) and move(from, to): a card is dropped before the card under
    // the pointer.
    bind(on) {
        const strip = this.#strip;
        strip.addEventListener("pointerdown", (down) => {
            const card = down.target.closest("li");
            if (!card || down.button !== 0)
                return;
            const from = Number(card.dataset.index);
            if (down.target.closest(".remove")) {
                on.remove(from);
                return;
            }
            on.pick(from);
            let dragging = false;
            let target = from;
            const move = (e) => {
                dragging ||= Math.abs(e.clientX - down.clientX) > kDragThreshold;
                if (!dragging)
                    return;
                card.classList.add("dragged");
                target = this.#dropIndex(e.clientX);
                for (const other of strip.children)
                    other.classList.toggle("drop-before", Number(other.dataset.index) === target);
            };
            const up = () => {
                strip.removeEventListener("pointermove", move);
                strip.removeEventListener("pointerup", up);
                strip.removeEventListener("pointercancel", up);
                for (const other of strip.children)
                    other.classList.remove("dragged", "drop-before");
                // Dropped before itself or the next one leaves the step where it was.
                const to = target > from ? target - 1 : target;
                if (dragging && to !== from)
                    on.move(from, to);
            };
            strip.setPointerCapture(down.pointerId);
            strip.addEventListener("pointermove", move);
            strip.addEventListener("pointerup", up);
            strip.addEventListener("pointercancel", up);
        });
    }

    #dropIndex(x) {
        const cards = [...this.#strip.children];
        const after = cards.findIndex((card) => {
            const box = card.getBoundingClientRect();
            return x < box.left + box.width / 2;
        });
        return after === -1 ? cards.length : after;
    }

    #newCanvas() {
        const canvas = document.createElement("canvas");
        canvas.width = kThumbWidth;
        canvas.height = this.#thumbHeight;
        canvas.setAttribute("role", "img");
        return canvas;
    }

    #paintThumbnail(canvas) {
        const made = this.#thumbnails[Number(canvas.dataset.source)];
        const context = canvas.getContext("2d");
        if (made)
            context.drawImage(made, 0, 0);
        else
            context.clearRect(0, 0, canvas.width, canvas.height);
    }

    #newCard() {
        const card = document.createElement("li");
        const info = document.createElement("div");
        info.className = "info";
        info.append(document.createElement("span"), document.createElement("span"));
        const remove = document.createElement("button");
        remove.type = "button";
        remove.className = "remove";
        remove.textContent = "\u00D7";
        remove.title = "Delete this step";
        // The recorded step the card shows, which stays when the steps are numbered anew.
        const source = document.createElement("span");
        source.className = "source";
        card.append(this.#newCanvas(), info, remove, source);
        return card;
    }
}

function setText(element, text) {
    if (element.textContent !== text)
        element.textContent = text;
}
