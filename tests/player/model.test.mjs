// The player's model without a browser: the take as the page reads it, the composition of a recorded
// step, and the edit with its history. Run with `node --test`.
import assert from "node:assert/strict";
import {test} from "node:test";

import {
    TakeEditor, compositionPlan, formatSeconds, openingProject, parseLength, playsOnOpening, readTake,
    stepLabel, stepText,
} from "../../export/player/model.js";
import {
    arrowShape, captionLines, missingCharacters, reachesPastCrop, readCaptionFont,
} from "../../export/player/captions.js";
import {WorkingCopy} from "../../export/player/workingCopy.js";

const kStyle = {
    fontPixels: 14, lineHeight: 18, padding: 6, border: 1, arrowHeadLength: 10, arrowHeadHalfWidth: 5,
};

// A font whose every printable ASCII character is 7 pixels wide at the style's 14 pixels, 5 for one it
// lacks.
const kFont = {unitsPerEm: 2048, missingAdvance: 5 * 2048 / 14, advances: [[32, ...Array(95).fill(1024)]]};

// A take of `wholes.length` recorded steps on a 200 x 100 stage: step s has one picture, grabbed whole
// where wholes[s - 1] is true, and its pointer at (10 s, 5 s).
function takeOf(wholes, project = null) {
    return readTake({
        name: "session3",
        fps: 10,
        stage: {width: 200, height: 100, background: "#000000"},
        projectFormat: {
            name: "flickmere-project", version: 1, maxFps: 1000, maxFrames: 65535, maxCoordinate: 65535,
        },
        captionStyle: kStyle,
        captionFont: kFont,
        project,
        steps: wholes.map((whole, index) => ({
            frames: 10 * (index + 1), x: 10 * (index + 1), y: 5 * (index + 1),
            pictures: [{x: index, y: 0, width: 8, height: 8, whole, src: "data:"}],
        })),
    });
}

const sources = (editor) => editor.project.steps.map((step) => step.source);

test("a recorded step is composed from the last whole grab before it, or added to the step before", () => {
    const take = takeOf([true, false, true, false, false]);
    assert.deepEqual(take.wholeFrom.slice(1), [1, 1, 3, 3, 3]);
    const cases = [
        // composed, shown, clear, pictures of the steps
        [0, 1, true, [1]],
        [1, 2, false, [2]],
        [2, 3, true, [3]],
        [3, 5, true, [3, 4, 5]], // skipping a step composes afresh
        [5, 4, true, [3, 4]], // and so does going back
        [0, 2, true, [1, 2]],
        [4, 4, false, []],
    ];
    for (const [composed, source, clear, steps] of cases)
        assert.deepEqual(compositionPlan(take, composed, source),
            {clear, pictures: steps.map((s) => take.steps[s - 1].pictures[0])}, `${composed} to ${source}`);
});

test("the page opens with the project file unless it shows a step the take lacks", () => {
    const asRecorded = {format: "flickmere-project", version: 1, fps: 10,
        steps: [{source: 1, frames: 10}, {source: 2, frames: 20}]};
    assert.deepEqual(openingProject(takeOf([true, false])), {project: asRecorded, notice: ""});
    const given = {format: "flickmere-project", version: 1, fps: 5, steps: [{source: 2, frames: 3, note: 1}]};
    assert.deepEqual(openingProject(takeOf([true, false], given)), {project: given, notice: ""});
    const beyond = {...given, steps: [{source: 3, frames: 3}]};
    assert.deepEqual(openingProject(takeOf([true, false], beyond)), {project: asRecorded,
        notice: "session3.flickmere.json shows step 3, but the take has 2: the take is shown as recorded."});
});

test("the step operations select the step they leave in view", () => {
    const cases = [
        // operation, selected before, sources after, selected after
        [(e) => e.deleteStep(1), 3, [1, 3, 4], 2],
        [(e) => e.deleteStep(3), 3, [1, 2, 3], 2],
        [(e) => e.deleteStep(2), 0, [1, 2, 4], 0],
        [(e) => e.duplicateStep(1), 0, [1, 2, 2, 3, 4], 2],
        [(e) => e.moveStep(0, 2), 0, [2, 3, 1, 4], 2],
        [(e) => e.moveStep(3, 0), 1, [4, 1, 2, 3], 0],
    ];
    for (const [operation, before, after, selected] of cases) {
        const take = takeOf([true, false, false, false]);
        const editor = new TakeEditor(take, openingProject(take).project);
        editor.select(before);
        operation(editor);
        assert.deepEqual([sources(editor), editor.current], [after, selected], String(operation));
        editor.undo();
        assert.deepEqual([sources(editor), editor.current], [[1, 2, 3, 4], before], `undone: ${operation}`);
    }
});

test("no way of changing the edit leaves it without a step or with a step the take lacks", () => {
    const attempts = [
        ["delete", (e) => e.deleteStep(0)],
        ["delete past the end", (e) => e.deleteStep(5)],
        ["drag", (e) => e.moveStep(0, 3)],
        ["a change that empties the list", (e) => e.change((project) => {
            project.steps.length = 0;
        })],
        ["a step of another take", (e) => e.change((project) => {
            project.steps[0].source = 3;
        })],
        ["a step that is not a number", (e) => e.change((project) => {
            project.steps[0].source = "1";
        })],
    ];
    for (const [what, attempt] of attempts) {
        // One step left after deleting the other: every attempt after that, and every undo and redo
        // around it, keeps one step.
        const take = takeOf([true, false]);
        const editor = new TakeEditor(take, openingProject(take).project);
        assert.equal(editor.deleteStep(1), true);
        const left = JSON.stringify(editor.project);
        attempt(editor);
        assert.equal(JSON.stringify(editor.project), left, what);
        assert.equal(editor.canRedo, false, what);
        for (const travel of [() => editor.undo(), () => editor.redo()])
            for (let i = 0; i < 3; ++i)
                travel();
        assert.equal(JSON.stringify(editor.project), left, `${what}, undone and redone`);
        assert.deepEqual([editor.step.source, editor.current], [1, 0], what);
    }
});

test("undo and redo take back whole runs of changes, and a new change drops what could be redone", () => {
    const take = takeOf([true, false]);
    const editor = new TakeEditor(take, openingProject(take).project);
    for (const text of ["H", "He", "Hey"])
        editor.setCaptionText(0, text);
    editor.endMerge();
    editor.setCaptionText(0, "Hey!");
    editor.dragCaption("move", editor.step.caption, 5, 5, "drag1");
    editor.dragCaption("move", {...editor.step.caption, x: editor.step.caption.x - 5}, 10, 0, "drag1");
    const texts = () => editor.step.caption?.text;
    assert.equal(editor.undo(), true);
    assert.equal(texts(), "Hey!");
    assert.equal(editor.undo(), true);
    assert.equal(texts(), "Hey");
    assert.equal(editor.undo(), true);
    assert.equal(texts(), undefined);
    assert.equal(editor.undo(), false);
    assert.equal(editor.redo(), true);
    assert.equal(texts(), "Hey");
    editor.duplicateStep(0);
    assert.equal(editor.canRedo, false);
    // A change that changes nothing is no step of the history.
    editor.select(0);
    editor.removeCrop();
    editor.undo();
    assert.deepEqual(sources(editor), [1, 2]);
});

test("edits keep fields the page does not know, and a new crop goes before the steps", () => {
    const given = {format: "flickmere-project", version: 1, fps: 10, theme: {a: [1, 2]},
        steps: [{source: 2, frames: 20, note: "x", caption: {text: "Hi", x: 0, y: 0, width: 50, height: 30,
            arrow: {x: 100, y: 50, tint: 3}, shade: true}}], later: 1};
    const take = takeOf([true, false], given);
    const editor = new TakeEditor(take, openingProject(take).project);
    editor.setCrop({x: 1, y: 2, width: 30, height: 40}, "crop");
    editor.setCaptionText(0, "Hi there");
    editor.dragCaption("tip", editor.step.caption, -400, 0, "tip");
    editor.duplicateStep(0);
    assert.deepEqual(Object.keys(editor.project),
        ["format", "version", "fps", "theme", "crop", "steps", "later"]);
    const step = editor.project.steps[1];
    assert.deepEqual(step, {source: 2, frames: 20, note: "x", caption: {text: "Hi there", x: 0, y: 0,
        width: 50, height: 50, arrow: {x: 1, y: 41, tint: 3}, shade: true}});
    assert.deepEqual(given.steps[0].caption.text, "Hi", "the project given is not changed");
});

test("a caption is dragged, sized and aimed only within the part of the stage that is shown", () => {
    const crop = {x: 10, y: 10, width: 100, height: 60};
    const cases = [
        // kind, dx, dy, crop, the fields that change
        ["move", 500, -500, null, {x: 150, y: 0}],
        ["move", -500, 500, null, {x: 0, y: 70}],
        ["size", 500, 500, null, {width: 180, height: 80}],
        ["size", -500, -500, null, {width: 3, height: 3}],
        ["tip", 500, 500, null, {arrow: {x: 199, y: 99}}],
        ["move", 500, 500, crop, {x: 60, y: 40}],
        ["move", -500, -500, crop, {x: 10, y: 10}],
        ["size", 500, 500, crop, {width: 90, height: 50}],
        ["tip", -500, 500, crop, {arrow: {x: 10, y: 69}}],
    ];
    const caption = {text: "Hi", x: 20, y: 20, width: 50, height: 30, arrow: {x: 5, y: 6}};
    for (const [kind, dx, dy, cropped, changed] of cases) {
        const take = takeOf([true], {format: "flickmere-project", version: 1, fps: 10,
            ...(cropped ? {crop: cropped} : {}), steps: [{source: 1, frames: 10, caption}]});
        const editor = new TakeEditor(take, openingProject(take).project);
        editor.dragCaption(kind, caption, dx, dy, "drag");
        assert.deepEqual(editor.step.caption, {...caption, ...changed}, `${kind} ${dx} ${dy} ${cropped}`);
        assert.equal(reachesPastCrop(editor.step.caption, cropped), false);
    }
    assert.equal(reachesPastCrop(caption, crop), false);
    for (const past of [{x: 9}, {y: 9}, {width: 91}, {height: 51}])
        assert.equal(reachesPastCrop({...caption, ...past}, crop), true, JSON.stringify(past));
});

test("a new caption sits below and right of the pointer, on the stage, its arrow at the pointer", () => {
    const take = takeOf([true, false, false]);
    const editor = new TakeEditor(take, openingProject(take).project);
    editor.setCaptionText(2, "One\nTwo");
    assert.deepEqual(editor.project.steps[2].caption,
        {text: "One\nTwo", x: 0, y: 39, width: 200, height: 50, arrow: {x: 30, y: 15}});
    editor.setCaptionText(2, "One");
    assert.equal(editor.project.steps[2].caption.height, 50, "text taken away leaves the box as large");
    editor.setCaptionText(2, "");
    assert.equal(editor.project.steps[2].caption, undefined);
});

test("the arrow runs from the box's edge towards the tip's pixel, and not at all from inside the box", () => {
    const box = {x: 10, y: 10, width: 40, height: 21};
    assert.equal(arrowShape({...box, arrow: {x: 20, y: 15}}, kStyle), null);
    const right = arrowShape({...box, arrow: {x: 99, y: 20}}, kStyle);
    assert.deepEqual(right.start, {x: 50, y: 20.5});
    assert.deepEqual(right.end, {x: 99.5, y: 20.5});
    assert.ok(Math.abs(Math.hypot(right.end.x - right.base.x, right.end.y - right.base.y) - 10) < 1e-9);
    // The head's corners lie its half width either side of the line.
    assert.ok(Math.abs(Math.hypot(right.left.x - right.right.x, right.left.y - right.right.y) - 10) < 1e-9);
    const short = arrowShape({...box, arrow: {x: 52, y: 20}}, kStyle);
    assert.deepEqual(short.base, short.start, "a head longer than the arrow starts at the box");
});

test("a length is taken with a decimal point or comma, within the frames a step has, or not at all", () => {
    const tooShortOrLong = {problem: "A length is a number of seconds from 0.083 to 5461.25."};
    const cases = [
        ["1,5", {frames: 18}],
        ["1.5", {frames: 18}],
        [" 2 ", {frames: 24}],
        [".5", {frames: 6}],
        ["5.", {frames: 60}],
        ["0,04", tooShortOrLong],
        ["0,05", {frames: 1}],
        ["5461,25", {frames: 65535}],
        ["0", tooShortOrLong],
        ["-2", tooShortOrLong],
        ["abc", tooShortOrLong],
        ["", tooShortOrLong],
        ["1,5,5", tooShortOrLong],
        ["1.000,5", tooShortOrLong],
        ["1e3", tooShortOrLong],
        ["100000", tooShortOrLong],
    ];
    for (const [text, expected] of cases) {
        const {frames, problem} = expected;
        assert.deepEqual(parseLength(text, 12, 65535), problem ? {problem} : {frames}, JSON.stringify(text));
    }
});

test("every length shown reads back as the frames it shows, at every rate the format allows", () => {
    for (const fps of [1, 7, 12, 24, 25, 30, 60, 99, 100, 101, 333, 999, 1000])
        for (let frames = 1; frames <= 65535; frames += frames < 200 ? 1 : 97) {
            const shown = formatSeconds(frames, fps);
            assert.deepEqual(parseLength(shown, fps, 65535), {frames}, `${frames} at ${fps} fps: ${shown}`);
            assert.deepEqual(parseLength(shown.replace(".", ","), fps, 65535), {frames});
        }
    assert.equal(formatSeconds(50, 12), "4.167");
    assert.equal(formatSeconds(30, 12), "2.5");
});

test("a working copy is offered back to the same take when it holds edits the page did not open with", () => {
    const storage = new Map();
    const localStorage = {getItem: (k) => storage.get(k) ?? null, setItem: (k, v) => storage.set(k, v),
        removeItem: (k) => storage.delete(k)};
    const take = takeOf([true, false]);
    const editor = new TakeEditor(take, openingProject(take).project);
    assert.equal(editor.unsaved, false);
    editor.deleteStep(0);
    assert.equal(editor.unsaved, true);
    const copy = new WorkingCopy(localStorage, "/home/u/session3/player.html", take);
    assert.equal(copy.keep(editor.project, 1234), true);

    const opened = openingProject(take).project;
    const again = (path, otherTake = take) => new WorkingCopy(localStorage, path, otherTake).find(opened);
    assert.deepEqual(again("/home/u/session3/player.html"), {project: editor.project, savedAt: 1234});
    assert.equal(again("/home/u/session4/player.html"), null, "another page");
    assert.equal(again("/home/u/session3/player.html", takeOf([true, true])), null, "another recording");
    const page = new WorkingCopy(localStorage, "/home/u/session3/player.html", take);
    assert.equal(page.find(editor.project), null, "the page opens with that edit already");

    editor.undo();
    assert.equal(editor.unsaved, false, "undone back to what was opened");
    editor.duplicateStep(0);
    editor.markSaved();
    assert.equal(editor.unsaved, false, "saved");
    copy.drop();
    assert.equal(again("/home/u/session3/player.html"), null);
    storage.set("flickmere-working-copy /x", "{not json");
    assert.equal(again("/x"), null);
    const nowhere = new WorkingCopy(null, "/x", take);
    assert.equal(nowhere.keep(editor.project, 1), false, "a browser that keeps nothing says so");
    assert.equal(nowhere.find(opened), null);
});

test("a caption breaks at spaces within its box, and a word wider than the box at the box's edge", () => {
    const font = readCaptionFont(kFont);
    // Room for `characters` characters of 7 pixels, within the border and the padding.
    const box = (characters) => 7 * characters + 2 * (kStyle.border + kStyle.padding);
    const cases = [
        ["one two three", 7, ["one two", "three"]],
        ["one two three", 6.9, ["one", "two", "three"]],
        ["one two three", 13, ["one two three"]],
        ["ab    cd", 2, ["ab", "cd"]],
        ["ab    cd", 4, ["ab", "cd"]],
        ["   ab", 2, ["ab"]],
        ["ab cd", 1, ["a", "b", "c", "d"]],
        ["abcdefghij", 4, ["abcd", "efgh", "ij"]],
        ["a abcdefghij b", 4, ["a", "abcd", "efgh", "ij b"]],
        ["a\n\nb  ", 4, ["a", "", "b  "]],
        ["", 4, [""]],
        ["ab", -1, ["a", "b"]],
        // Two characters it lacks, 5 pixels each, fit where two of 7 would not.
        ["\u4F60\u597D", 10 / 7, ["\u4F60\u597D"]],
        ["ab", 10 / 7, ["a", "b"]],
    ];
    for (const [text, characters, lines] of cases)
        assert.deepEqual(captionLines(text, box(characters), kStyle, font), lines, `${text}: ${characters}`);
    assert.deepEqual(missingCharacters("Hi \u4F60\u597D \u4F60\n\u{1F642}", font),
        ["\u4F60", "\u597D", "\u{1F642}"]);
});

test("a step's words are its caption on one line, and its picture is named by them or by its place", () => {
    const take = takeOf([true, false, false]);
    const caption = (text) => ({text, x: 0, y: 0, width: 50, height: 20});
    const project = {
        ...openingProject(take).project,
        steps: [
            {source: 1, frames: 10, caption: caption("Click Save")},
            {source: 2, frames: 10},
            {source: 3, frames: 10, caption: caption("  two\n\nlines  ")},
            {source: 3, frames: 10, caption: caption(" \n ")},
        ],
    };
    const cases = [
        [0, "Click Save", "Click Save"],
        [1, "", "Step 2 of 4"],
        [2, "two lines", "two lines"],
        [3, "", "Step 4 of 4"],
    ];
    for (const [index, text, label] of cases) {
        assert.equal(stepText(take, project, index), text, `step ${index + 1}`);
        assert.equal(stepLabel(take, project, index), label, `step ${index + 1}`);
    }
});

test("the page plays as it opens only when no step was asked for and motion is welcome", () => {
    for (const [seekedTo, reducedMotion, plays] of
        [[false, false, true], [true, false, false], [false, true, false], [true, true, false]])
        assert.equal(playsOnOpening({seekedTo, reducedMotion}), plays, `${seekedTo} ${reducedMotion}`);
});
