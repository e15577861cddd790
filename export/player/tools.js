// The edit mode's tools: undo and redo, duplicate and delete, the selected step's length and caption,
// its arrow, crop, and save with its status. They show the step selected and report what is done.

import {formatSeconds, markOf, suggestionOf} from "./model.js";
import {missingCharacters} from "./captions.js";

const kCropHint = "Drag over the stage to keep only that part.";

export class EditTools {
    #section = document.getElementById("editor");
    #undo = document.getElementById("undo");
    #redo = document.getElementById("redo");
    #duplicate = document.getElementById("duplicate");
    #delete = document.getElementById("delete");
    #length = document.getElementById("length");
    #lengthProblem = document.getElementById("lengthProblem");
    #caption = document.getElementById("captionText");
    #captionNote = document.getElementById("captionNote");
    #arrow = document.getElementById("arrow");
    #suggestion = document.getElementById("suggestion");
    #suggestAll = document.getElementById("suggestAll");
    #markLabel = document.getElementById("markLabel");
    #mark = document.getElementById("mark");
    #crop = document.getElementById("crop");
    #uncrop = document.getElementById("uncrop");
    #save = document.getElementById("save");
    #status = document.getElementById("saveStatus");
    // The field whose input is being taken, while it is.
    #typing = null;

    // `on` has a function for each tool: undo(), redo(), duplicate(), delete(), crop(), uncrop(), save(),
    // length(text), caption(text), arrow(on), takeSuggestion(), suggestAll(), mark(on), and fieldLeft()
    // when a field is left: the tools are then shown afresh.
    bind(on) {
        for (const [button, act] of [[this.#undo, on.undo], [this.#redo, on.redo],
            [this.#duplicate, on.duplicate], [this.#delete, on.delete], [this.#crop, on.crop],
            [this.#uncrop, on.uncrop], [this.#save, on.save], [this.#suggestion, on.takeSuggestion],
            [this.#suggestAll, on.suggestAll]])
            button.addEventListener("click", act);
        for (const [field, typed] of [[this.#length, on.length], [this.#caption, on.caption]]) {
            field.addEventListener("input", () => {
                this.#typing = field;
                try {
                    typed(field.value);
                } finally {
                    this.#typing = null;
                }
            });
            field.addEventListener("blur", on.fieldLeft);
        }
        this.#arrow.addEventListener("change", () => on.arrow(this.#arrow.checked));
        this.#mark.addEventListener("change", () => on.mark(this.#mark.checked));
    }

    set hidden(hidden) {
        this.#section.hidden = hidden;
    }
    // Inert tools take no input.
    set inert(inert) {
        this.#section.inert = inert;
    }
    get height() {
        return this.#section.offsetHeight;
    }

    // The tools show the step selected, whatever selected it. Only the field whose typing is being taken
    // keeps what is typed, as it is typed.
    show(editor) {
        const {project, step} = editor;
        if (this.#typing !== this.#length) {
            this.#length.value = formatSeconds(step.frames, project.fps);
            this.markLength("");
        }
        if (this.#typing !== this.#caption)
            this.#caption.value = step.caption ? step.caption.text : "";
        this.#markMissing(missingCharacters(step.caption?.text ?? "", editor.take.captionFont));
        this.#arrow.checked = Boolean(step.caption?.arrow);
        this.#arrow.disabled = !step.caption;
        this.#delete.disabled = project.steps.length === 1;
        this.#undo.disabled = !editor.canUndo;
        this.#redo.disabled = !editor.canRedo;
        this.#uncrop.disabled = !project.crop;
        this.#showSuggestion(step.caption ? null : suggestionOf(editor.take, step));
        this.#suggestAll.disabled = !project.steps.some((s) => !s.caption && suggestionOf(editor.take, s));
        this.#markLabel.hidden = !editor.take.steps[step.source - 1].mark;
        this.#mark.checked = Boolean(markOf(editor.take, step));
    }
    // The words suggested for a step without a caption, greyed, the name in bold; a click takes them.
    #showSuggestion(suggestion) {
        this.#suggestion.hidden = !suggestion;
        if (!suggestion)
            return;
        const {text, nameStart, nameLength} = suggestion;
        const name = document.createElement("b");
        name.textContent = text.slice(nameStart, nameStart + nameLength);
        this.#suggestion.replaceChildren(text.slice(0, nameStart), name, text.slice(nameStart + nameLength));
    }
    // Marks the length typed as one that cannot be taken, `problem` saying why; "" takes the mark away.
    markLength(problem) {
        this.#length.setAttribute("aria-invalid", String(Boolean(problem)));
        this.#lengthProblem.textContent = problem;
        this.#lengthProblem.hidden = !problem;
    }
    // The characters of the caption that its font cannot draw: the animated PNG shows an empty box for
    // each, where the page and its video fall back to another font.
    #markMissing(missing) {
        this.#caption.classList.toggle("lacking", missing.length > 0);
        this.#captionNote.hidden = !missing.length;
        this.#captionNote.textContent = missing.length ? `The caption font has no ${missing.join(" ")}: ` +
            "the animated PNG shows an empty box for each." : "";
    }
    showCropping(on) {
        this.#crop.setAttribute("aria-pressed", String(on));
        if (on)
            this.showStatus(kCropHint);
        else if (this.#status.textContent === kCropHint)
            this.showStatus("");
    }
    showStatus(text) {
        this.#status.textContent = text;
    }
}
