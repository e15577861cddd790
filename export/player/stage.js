// The stage as the page shows it: the composed pictures, the step's mark, the pointer, the step's caption
// (with its handles in the edit mode) and the crop, fitted to the room the page leaves it. A press on it is
// reported in stage pixels, with the handle it hit.

import {captionLinesOf, clamp} from "./model.js";
import {arrowShape, reachesPastCrop} from "./captions.js";
import {StageCompositor} from "./pictures.js";

const kMinScale = 0.05;

export class StageView {
    #take;
    #frame;
    #stage;
    #pointer;
    #captionLayer;
    #cropBox;
    #compositor;
    #source = 0;
    #mark = null;
    scale = 1;

    constructor(take, images) {
        this.#take = take;
        this.#frame = document.getElementById("frame");
        this.#stage = document.getElementById("stage");
        this.#pointer = document.getElementById("pointer");
        this.#captionLayer = document.getElementById("captionLayer");
        this.#cropBox = document.getElementById("cropBox");
        this.canvas = document.getElementById("pictures");
        this.#compositor = new StageCompositor(take, images, this.canvas);
        const {width, height, background} = take.stage;
        Object.assign(this.#stage.style, {width: `${width}px`, height: `${height}px`, background});
    }

    // Fits `shown`, a part of the stage, into `room` (the page's free width and height): smaller when it
    // is larger, never larger than 1:1 unless `enlarge`. Without room, 1:1.
    fit(shown, room, enlarge) {
        let scale = 1;
        if (room) {
            scale = Math.min(room.width / shown.width, room.height / shown.height);
            if (!enlarge)
                scale = Math.min(scale, 1);
            scale = Math.max(scale, kMinScale);
        }
        this.scale = scale;
        this.#frame.style.width = `${Math.round(shown.width * scale)}px`;
        this.#frame.style.height = `${Math.round(shown.height * scale)}px`;
        this.#stage.style.transform = scale === 1 && shown.x === 0 && shown.y === 0
            ? "none" : `scale(${scale}) translate(${-shown.x}px, ${-shown.y}px)`;
        this.#stage.classList.toggle("pixelated", scale >= 1);
    }

    // Shows recorded step `source` with its pointer, and `caption` (none: null) with its handles when
    // `editing`; `crop` is marked when `editing`, and so is a caption that reaches past it. `mark` is the
    // rectangle to outline (none: null); `label` names the picture for assistive technology.
    show({source, caption, crop, editing, mark = null, label}) {
        this.#source = source;
        this.#mark = mark;
        this.canvas.setAttribute("aria-label", label);
        this.#compositor.draw(source, mark);
        const pointer = this.#take.steps[source - 1].pointer;
        this.#pointer.style.transform = `translate(${pointer.x}px,${pointer.y}px)`;
        this.#drawCaption(caption, editing);
        const box = this.#captionLayer.querySelector(".caption");
        if (box && editing && reachesPastCrop(caption, crop)) {
            box.classList.add("past-crop");
            box.title = "This caption reaches past the crop: the view and the video cut it off.";
        }
        this.#cropBox.hidden = !editing || !crop;
        if (!this.#cropBox.hidden)
            this.#cropBox.style.cssText =
                `left: ${crop.x}px; top: ${crop.y}px; width: ${crop.width}px; height: ${crop.height}px`;
    }
    // Draws the step shown again, once the pictures it lacked have loaded.
    redrawPictures() {
        if (this.#source)
            this.#compositor.draw(this.#source, this.#mark);
    }

    setCropping(on) {
        this.#stage.classList.toggle("cropping", on);
    }

    // Calls `start(target, point)` on a press of the main button: `target` is the handle pressed ("move",
    // "size" or "tip") or "stage". It answers the drag that follows, {move(point), end()}, or null.
    onPress(start) {
        const stage = this.#stage;
        stage.addEventListener("pointerdown", (down) => {
            if (down.button !== 0)
                return;
            const drag = start(down.target.dataset.handle ?? "stage", this.#stagePoint(down));
            if (!drag)
                return;
            down.preventDefault();
            const move = (e) => drag.move(this.#stagePoint(e));
            const up = () => {
                stage.removeEventListener("pointermove", move);
                stage.removeEventListener("pointerup", up);
                stage.removeEventListener("pointercancel", up);
                drag.end();
            };
            stage.setPointerCapture(down.pointerId);
            stage.addEventListener("pointermove", move);
            stage.addEventListener("pointerup", up);
            stage.addEventListener("pointercancel", up);
        });
    }

    #stagePoint(e) {
        const box = this.#frame.getBoundingClientRect();
        return {
            x: clamp(Math.round((e.clientX - box.left) / this.scale), 0, this.#take.stage.width),
            y: clamp(Math.round((e.clientY - box.top) / this.scale), 0, this.#take.stage.height),
        };
    }

    #svgElement(name, attributes) {
        const element = document.createElementNS(this.#pointer.namespaceURI, name);
        for (const [key, value] of Object.entries(attributes))
            element.setAttribute(key, value);
        return element;
    }

    #dragHandle(kind, x, y) {
        const element = document.createElement("div");
        element.className = `handle ${kind}`;
        element.dataset.handle = kind;
        element.style.left = `${x}px`;
        element.style.top = `${y}px`;
        return element;
    }

    #drawCaption(caption, editing) {
        const layer = this.#captionLayer;
        layer.replaceChildren();
        if (!caption)
            return;
        const shape = caption.arrow && arrowShape(caption, this.#take.captionStyle);
        if (shape) {
            const svg = this.#svgElement("svg", {class: "arrow", width: 1, height: 1});
            svg.append(this.#svgElement("line", {x1: shape.start.x, y1: shape.start.y, x2: shape.base.x,
                y2: shape.base.y}), this.#svgElement("polygon",
                {points: [shape.end, shape.left, shape.right].map((p) => `${p.x},${p.y}`).join(" ")}));
            layer.append(svg);
        }
        const box = document.createElement("div");
        box.className = "caption";
        box.dataset.handle = "move";
        box.style.cssText = `left: ${caption.x}px; top: ${caption.y}px; width: ${caption.width}px; ` +
            `height: ${caption.height}px`;
        box.textContent = captionLinesOf(this.#take, caption).join("\n");
        layer.append(box);
        if (editing) {
            layer.append(this.#dragHandle("size", caption.x + caption.width, caption.y + caption.height));
            if (caption.arrow)
                layer.append(this.#dragHandle("tip", caption.arrow.x + 0.5, caption.arrow.y + 0.5));
        }
    }
}
