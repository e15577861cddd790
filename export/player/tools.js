// The edit mode's tools: undo and redo, duplicate and delete, the selected step's length and caption,
// its arrow, crop, and save with its status. They show the step selected and report what is done.

import {secondsOf} from "./model.js";

export class EditTools {
    #section = document.getElementById("editor");
    #undo = document.getElementById("undo");
    #redo = document.getElementById("redo");
    #duplicate = document.getElementById("duplicate");
    #delete = document.getElementById("delete");
    #length = document.getElementById("length");
    #caption = document.getElementById("captionText");
    #arrow = document.getElementById("arrow");
    #crop = document.getElementById("crop");
    #uncrop = document.getElementById("uncrop");
    #save = document.getElementById("save");
    #status = document.getElementById("saveStatus");

    // `on` has a function for each tool: undo(), redo(), duplicate(), delete(), crop(), uncrop(), save(),
    // length(text), caption(text), arrow(on), and fieldLeft() when a field that was typed into is left.
    bind(on) {
        for (const [button, act] of [[this.#undo, on.undo], [this.#redo, on.redo],
            [this.#duplicate, on.duplicate], [this.#delete, on.delete], [this.#crop, on.crop],
            [this.#uncrop, on.uncrop], [this.#save, on.save]])
            button.addEventListener("click", act);
        this.#length.addEventListener("input", () => on.length(this.#length.value));
        this.#caption.addEventListener("input", () => on.caption(this.#caption.value));
        for (const field of [this.#length, this.#caption])
            field.addEventListener("blur", on.fieldLeft);
        this.#arrow.addEventListener("change", () => on.arrow(this.#arrow.checked));
    }

    set hidden(hidden) {
        this.#section.hidden = hidden;
    }
    get height() {
        return this.#section.offsetHeight;
    }

    // The tools show the step selected; a field being typed into keeps what is typed.
    show(editor) {
        const {project, step} = editor;
        if (document.activeElement !== this.#length)
            this.#length.value = String(Number(secondsOf(step.frames, project.fps).toFixed(3)));
        if (document.activeElement !== this.#caption)
            this.#caption.value = step.caption ? step.caption.text : "";
        this.#arrow.checked = Boolean(step.caption?.arrow);
        this.#arrow.disabled = !step.caption;
        this.#delete.disabled = project.steps.length === 1;
        this.#undo.disabled = !editor.canUndo;
        this.#redo.disabled = !editor.canRedo;
        this.#uncrop.disabled = !project.crop;
    }
    showCropping(on) {
        this.#crop.setAttribute("aria-pressed", String(on));
    }
    showStatus(text) {
        this.#status.textContent = text;
    }
}
