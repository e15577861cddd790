// The page's start: the edit mode put into the view, the two modes, the keys, and the first step shown
// (playing, or paused at "#step=S"). Last of the page's files, so everything it starts is in place.

import {byId, editor, editorView, layout, pause, play, query, redraw, seekToHash, show, state, toggle}
    from "./player.js";
import {deleteStep, duplicateStep, redo, saveProject, setCropping, showTools, undo} from "./edit.js";
import {fillStrip, makeThumbnails, selectInStrip} from "./strip.js";

editorView.fill = fillStrip;
editorView.select = () => {
    selectInStrip();
    showTools();
};

function setEditing(on) {
    state.editing = on;
    pause();
    setCropping(false);
    document.body.classList.toggle("editing", on);
    editor.hidden = !on;
    byId("mode").textContent = on ? "View" : "Edit";
    if (on)
        makeThumbnails();
    redraw();
    layout();
}

byId("mode").addEventListener("click", () => setEditing(!state.editing));

// Handled for the whole page, and the browser's own reaction (scrolling, moving a focused slider,
// pressing a focused button) is cancelled so that each key acts exactly once. Keys typed into a field
// are the field's.
document.addEventListener("keydown", (e) => {
    const field = e.target.closest?.("textarea, input:not([type=range]):not([type=checkbox])");
    if (field)
        return;
    const command = e.ctrlKey || e.metaKey;
    const editing = state.editing;
    if (e.key === " ")
        toggle();
    else if (e.key === "ArrowLeft")
        show(state.current - 1);
    else if (e.key === "ArrowRight")
        show(state.current + 1);
    else if (editing && command && e.key === "z")
        undo();
    else if (editing && command && (e.key === "y" || e.key === "Z"))
        redo();
    else if (editing && command && e.key === "d")
        duplicateStep(state.current);
    else if (editing && command && e.key === "s")
        saveProject();
    else if (editing && e.key === "Delete" && state.edit.steps.length > 1)
        deleteStep(state.current);
    else
        return;
    e.preventDefault();
});

redraw();
if (!seekToHash())
    play();
if (query.has("edit"))
    setEditing(true);
performance.mark("flickmere-ready");
