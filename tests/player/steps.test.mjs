// What the page knows of each press: its suggested caption, taken one step at a time or for all steps
// at once, and its mark, switched per step. The mark's pixels are compared with the export's in
// Chromium (tests/export/PlayerEditModeTest.cpp). Run with `node --test`.
import assert from "node:assert/strict";
import {test} from "node:test";

import {TakeEditor, markOf, projectOfTake, readTake} from "../../export/player/model.js";

const kMarkStyle = {colour: "#E8412C", width: 3, radius: 7, margin: 2};
const kButton = {x: 20, y: 30, width: 60, height: 20};

// Four recorded steps on a 200 x 100 stage: a click on a button (marked by default), typing into a field
// without a rectangle, a label with a rectangle (not marked by default), and one the export knew nothing
// of.
function take() {
    const facts = [
        {suggestion: {text: "Click Save", nameStart: 6, nameLength: 4}, mark: {...kButton, byDefault: true}},
        {suggestion: {text: "Type in User name:", nameStart: 8, nameLength: 10}},
        {suggestion: {text: "In Notes", nameStart: 3, nameLength: 5},
            mark: {x: 5, y: 5, width: 40, height: 10, byDefault: false}},
        {},
    ];
    return readTake({
        name: "session2",
        fps: 10,
        stage: {width: 200, height: 100, background: "#000000"},
        projectFormat: {name: "flickmere-project", version: 1, maxFps: 1000, maxFrames: 65535,
            maxCoordinate: 65535},
        captionStyle: {fontPixels: 14, lineHeight: 18, padding: 6, border: 1, arrowHeadLength: 10,
            arrowHeadHalfWidth: 5},
        captionFont: {unitsPerEm: 2048, missingAdvance: 700, advances: [[32, ...Array(95).fill(1024)]]},
        markStyle: kMarkStyle,
        project: null,
        steps: facts.map((fact, index) => ({
            frames: 10, x: 30 + index, y: 40, pictures: [{x: 0, y: 0, width: 8, height: 8, whole: index === 0,
                src: "data:"}], ...fact,
        })),
    });
}

const editorOf = (recorded) => new TakeEditor(recorded, projectOfTake(recorded));
const captions = (editor) => editor.project.steps.map((step) => step.caption?.text ?? null);

test("a suggestion taken is the step's caption, placed as a typed one, and undone as one change", () => {
    const recorded = take();
    const taken = editorOf(recorded);
    const typed = editorOf(recorded);
    assert.equal(taken.takeSuggestion(0), true);
    typed.setCaptionText(0, "Click Save");
    assert.deepEqual(taken.project.steps[0].caption, typed.project.steps[0].caption);
    assert.equal(taken.takeSuggestion(3), false, "a step the export knew nothing of has none");
    assert.deepEqual(captions(taken), ["Click Save", null, null, null]);
    taken.undo();
    assert.deepEqual(captions(taken), [null, null, null, null]);
    assert.equal(taken.canUndo, false);
});

test("suggest all captions each uncaptioned step that has a suggestion, in one undoable change", () => {
    const editor = editorOf(take());
    editor.setCaptionText(1, "My own words");
    editor.endMerge();
    editor.duplicateStep(0);
    assert.equal(editor.suggestAll(), true);
    assert.deepEqual(captions(editor), ["Click Save", "Click Save", "My own words", "In Notes", null]);
    editor.undo();
    assert.deepEqual(captions(editor), [null, null, "My own words", null, null]);
    editor.redo();
    assert.deepEqual(captions(editor), ["Click Save", "Click Save", "My own words", "In Notes", null]);
    // Nothing left to suggest: no change, nothing more to undo.
    const before = JSON.stringify(editor.project);
    editor.suggestAll();
    assert.equal(JSON.stringify(editor.project), before);
    editor.undo();
    editor.undo();
    assert.deepEqual(captions(editor), [null, "My own words", null, null], "the duplicate undone too");
});

test("a mark is saved only where it differs from the step's default, and is undone like any edit", () => {
    const recorded = take();
    const editor = editorOf(recorded);
    const marks = () => editor.project.steps.map((step) => markOf(recorded, step));
    assert.deepEqual(marks(), [kButton, null, null, null]);

    editor.setMark(0, false);
    editor.setMark(2, true);
    assert.equal(editor.project.steps[0].mark, false);
    assert.equal(editor.project.steps[2].mark, true);
    assert.deepEqual(marks(), [null, null, {x: 5, y: 5, width: 40, height: 10}, null]);

    // Back to the default, the field goes: a saved file says only what the user chose.
    editor.setMark(0, true);
    assert.equal("mark" in editor.project.steps[0], false);
    editor.undo();
    assert.equal(editor.project.steps[0].mark, false);
    editor.undo();
    editor.undo();
    assert.deepEqual(editor.project, projectOfTake(recorded));
    // A step without a rectangle shows no mark, whatever it says.
    editor.setMark(1, true);
    assert.equal(markOf(recorded, editor.project.steps[1]), null);
});
