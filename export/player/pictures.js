// The take's pictures as images, and the one way a recorded step is composed from them: the view, the
// video and the strip's thumbnails all draw the stage with a StageCompositor.

import {compositionPlan} from "./model.js";

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
// is all the next step needs.
export class StageCompositor {
    #take;
    #images;
    #context;
    #scale;
    #composed = 0;

    constructor(take, images, canvas, scale = 1) {
        this.#take = take;
        this.#images = images;
        this.#scale = scale;
        canvas.width = Math.max(1, Math.round(take.stage.width * scale));
        canvas.height = Math.max(1, Math.round(take.stage.height * scale));
        this.#context = canvas.getContext("2d");
    }

    // Answers false when a picture had not loaded yet: the next call then composes the step afresh.
    draw(source) {
        const plan = compositionPlan(this.#take, this.#composed, source);
        const context = this.#context;
        const scale = this.#scale;
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
        return whole;
    }
}
