// The take's pictures as images, and the one way a recorded step is composed from them: the view, the
// video and the strip's thumbnails all draw the stage with a StageCompositor.

import {compositionPlan} from "./model.js";
import {markBounds, markRuns} from "./marks.js";

// Every recorded picture as an image; `loaded` settles once each has loaded or failed. Loading does not
// decode: a picture is decoded when it is first drawn.
export function loadPictures(take) {
    const images = new Map();
    const loads = [];
    for (const step of take.steps)
        for (const picture of step.pictures) {
            const image = new Image(picture.width, picture.height);
            loads.push(new Promise((resolve) => {
                image.onload = image.onerror = resolve;
            }));
            image.src = picture.src;
            images.set(picture, image);
        }
    return {images, loaded: Promise.all(loads)};
}

// Draws recorded steps onto `canvas`, the whole stage at `scale`, adding to what it drew last where that
// is all the next step needs, and a step's mark over them; the pixels under a mark are put back before
// the next draw.
export class StageCompositor {
    #take;
    #images;
    #context;
    #scale;
    #composed = 0;
    #underMark = null;

    constructor(take, images, canvas, scale = 1) {
        this.#take = take;
        this.#images = images;
        this.#scale = scale;
        canvas.width = Math.max(1, Math.round(take.stage.width * scale));
        canvas.height = Math.max(1, Math.round(take.stage.height * scale));
        this.#context = canvas.getContext("2d");
    }

    // Answers false when a picture had not loaded yet: the next call then composes the step afresh.
    // `mark` is the rectangle to outline, or null.
    draw(source, mark = null) {
        const plan = compositionPlan(this.#take, this.#composed, source);
        const context = this.#context;
        const scale = this.#scale;
        if (this.#underMark) {
            context.putImageData(this.#underMark.pixels, this.#underMark.x, this.#underMark.y);
            this.#underMark = null;
        }
        if (plan.clear) {
            context.fillStyle = this.#take.stage.background;
            context.fillRect(0, 0, context.canvas.width, context.canvas.height);
        }
        let whole = true;
        for (const picture of plan.pictures) {
            const image = this.#images.get(picture);
            if (!image.complete)
                whole = false;
            else if (image.naturalWidth)
                context.drawImage(image, picture.x * scale, picture.y * scale, picture.width * scale,
                    picture.height * scale);
        }
        this.#composed = whole ? source : 0;
        if (mark)
            this.#drawMark(mark);
        return whole;
    }

    // At 1:1 each run fills whole pixels, the same as the animated PNG's.
    #drawMark(mark) {
        const context = this.#context;
        const scale = this.#scale;
        const style = this.#take.markStyle;
        const bounds = markBounds(mark, style);
        const x = Math.max(0, Math.floor(bounds.x * scale));
        const y = Math.max(0, Math.floor(bounds.y * scale));
        const right = Math.min(context.canvas.width, Math.ceil((bounds.x + bounds.width) * scale));
        const bottom = Math.min(context.canvas.height, Math.ceil((bounds.y + bounds.height) * scale));
        if (right <= x || bottom <= y)
            return;
        this.#underMark = {x, y, pixels: context.getImageData(x, y, right - x, bottom - y)};
        context.fillStyle = style.colour;
        for (const [row, left, last] of markRuns(mark, style))
            context.fillRect(left * scale, row * scale, (last - left + 1) * scale, scale);
    }
}
