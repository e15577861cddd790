// The page's start and its one wiring: the take read from the page's model, the views made, and each
// view's input turned into calls of the model, after which the views draw the model afresh. Last of the
// page's files, so that everything it starts is in place.

import {
    TakeEditor, markOf, openingProject, playsOnOpening, readTake, shownArea, stepLabel, stepText,
    suggestionOf,
} from "./model.js";
import {loadPictures} from "./pictures.js";
import {StageView} from "./stage.js";
import {PlayerControls} from "./controls.js";
import {Playback} from "./playback.js";
import {StepStrip} from "./strip.js";
import {EditTools} from "./tools.js";
import {saveJson} from "./files.js";
import {WorkingCopy} from "./workingCopy.js";
import {recordVideo, videoFormat} from "./video.js";

// Around the stage: the page's side margins and the room kept below it.
const kSideMargins = 32;
const kBottomMargin = 24;

const byId = (id) => document.getElementById(id);
const query = new URLSearchParams(location.search);
// ?bare: the stage alone in the page's corner at one pixel per picture pixel, for screenshots. ?edit:
// opened in the edit mode.
const bare = query.has("bare");

const take = readTake(JSON.parse(byId("model").textContent));
const opened = openingProject(take);
const editor = new TakeEditor(take, opened.project);
const pictures = loadPictures(take);
const stageView = new StageView(take, pictures.images);
const controls = new PlayerControls();
const strip = new StepStrip(take, pictures);
const tools = new EditTools();
const playback = new Playback(editor, (index) => showStep(index), (playing) => controls.showPlaying(playing));
const format = videoFormat();
const workingCopy = new WorkingCopy(pageStorage(), location.pathname, take);
let editing = false;
let cropping = false;
let recording = false;
// While edits kept from before are offered back, they stay kept as they are.
let offering = false;
let workingCopyFailed = false;

// The caption's look is the one the animated PNG is drawn with (player.css uses these).
const style = take.captionStyle;
for (const [name, value] of [["font", `${style.fontPixels}px`], ["line-height", `${style.lineHeight}px`],
    ["padding", `${style.padding}px`], ["border", `${style.border}px`], ["fill", style.fill],
    ["ink", style.ink], ["line", style.line], ["arrow-width", `${style.arrowWidth}px`]])
    document.documentElement.style.setProperty(`--caption-${name}`, value);
document.title = `${take.name} \u2013 Flickmere`;
byId("heading").textContent = take.name;
document.body.classList.toggle("bare", bare);
tools.showStatus(opened.notice);

// The part of the stage on show (the crop when viewing, the whole stage when editing it) fitted to the
// window.
function fitStage() {
    const shown = editing ? {x: 0, y: 0, ...take.stage} : shownArea(take, editor.project);
    const used = byId("header").offsetHeight + controls.textHeight + controls.height +
        (editing ? tools.height : 0) + kBottomMargin;
    const room = {width: byId("frame").parentElement.clientWidth - kSideMargins, height: innerHeight - used};
    stageView.fit(shown, bare ? null : room, controls.enlarge);
}

// Draws the step selected: the stage, the controls and, in the edit mode, the strip's selection and the
// tools.
function drawStep() {
    const {step, project, current} = editor;
    stageView.show({source: step.source, caption: step.caption ?? null, crop: project.crop, editing,
        mark: markOf(take, step), label: stepLabel(take, project, current)});
    controls.showStep(current, project.steps.length, stepText(take, project, current));
    if (editing) {
        strip.select(editor.current);
        tools.show(editor);
    }
    playback.restart();
}
function showStep(index) {
    editor.select(index);
    drawStep();
}

// Draws the page afresh for a changed edit or mode. The edit mode shows the whole stage whatever the
// crop, so an edit leaves the layout as it was.
function redraw() {
    if (editing)
        strip.fill(editor.project);
    else
        fitStage();
    drawStep();
}
const edit = (change) => {
    change();
    keepWorkingCopy();
    redraw();
};

// The browser's storage for the page, or null where it keeps none (a policy, a setting).
function pageStorage() {
    try {
        return window.localStorage;
    } catch {
        return null;
    }
}
function keepWorkingCopy() {
    if (offering)
        return;
    if (!editor.unsaved)
        workingCopy.drop();
    else if (!workingCopy.keep(editor.project, Date.now()) && !workingCopyFailed) {
        workingCopyFailed = true;
        tools.showStatus("This browser keeps no copy of the edit for this page: save it before you close " +
            "the page.");
    }
}
function offerWorkingCopy() {
    const kept = workingCopy.find(editor.project);
    if (!kept)
        return;
    offering = true;
    const answered = () => {
        offering = false;
        fitStage();
    };
    controls.offerUnsaved(kept.savedAt, () => {
        answered();
        if (!editing)
            setEditing(true);
        edit(() => editor.replace(kept.project));
    }, () => {
        answered();
        workingCopy.drop();
        keepWorkingCopy();
    });
}

function setCropping(on) {
    cropping = on;
    tools.showCropping(on);
    stageView.setCropping(on);
}

function setEditing(on) {
    editing = on;
    playback.pause();
    setCropping(false);
    document.body.classList.toggle("editing", on);
    tools.hidden = !on;
    controls.showMode(on);
    if (on)
        strip.makeThumbnails();
    redraw();
    fitStage();
}

async function saveProject() {
    const saved = await saveJson(`${JSON.stringify(editor.project, null, 2)}\n`, take.projectFile);
    const beside = `It belongs beside the take: in the folder ${take.name}, next to player.html, ` +
        "where the export looks for it. Once it is there, Flickmere writes this player and the animated " +
        "PNG again within a second while it runs (reload the page to see them), or else when it next starts.";
    if (saved.how === "cancelled") {
        tools.showStatus("Not saved.");
        return;
    }
    editor.markSaved();
    keepWorkingCopy();
    tools.showStatus(`${saved.how === "saved" ? "Saved" : "Downloaded"} ${saved.name}. ${beside}`);
}

// While it records, the player shows what is recorded, and nothing else changes the page.
function saveVideo() {
    const player = {stage: stageView.canvas, pointer: byId("pointer"), loaded: pictures.loaded, showStep};
    recordVideo(take, editor.project, player, format, {
        status: (text) => controls.showVideoStatus(text),
        recording: (on) => {
            recording = on;
            playback.pause();
            controls.showRecording(on);
            tools.inert = on;
        },
    });
}

// "#step=S" opens the player paused at step S.
function seekToHash() {
    const match = /^#step=(\d+)$/.exec(location.hash);
    if (!match)
        return false;
    playback.pause();
    showStep(Number(match[1]) - 1);
    return true;
}

controls.bind({
    playOrPause: () => playback.toggle(),
    previous: () => showStep(editor.current - 1),
    next: () => showStep(editor.current + 1),
    seek: showStep,
    enlarge: fitStage,
    mode: () => setEditing(!editing),
    video: saveVideo,
});

strip.bind({
    pick: (index) => {
        playback.pause();
        showStep(index);
    },
    remove: (index) => edit(() => editor.deleteStep(index)),
    move: (from, to) => edit(() => editor.moveStep(from, to)),
});

tools.bind({
    undo: () => edit(() => editor.undo()),
    redo: () => edit(() => editor.redo()),
    duplicate: () => edit(() => editor.duplicateStep(editor.current)),
    delete: () => edit(() => editor.deleteStep(editor.current)),
    crop: () => setCropping(!cropping),
    uncrop: () => edit(() => editor.removeCrop()),
    save: saveProject,
    // Taken as it is typed, when it can be; the field is marked while it cannot.
    length: (text) => {
        let problem = "";
        edit(() => {
            problem = editor.setLength(editor.current, text);
        });
        tools.markLength(problem);
    },
    caption: (text) => {
        addCaptionGlyphs(text);
        edit(() => editor.setCaptionText(editor.current, text));
    },
    arrow: (on) => edit(() => editor.setArrow(editor.current, on)),
    takeSuggestion: () => {
        addCaptionGlyphs(suggestionOf(take, editor.step)?.text ?? "");
        edit(() => editor.takeSuggestion(editor.current));
    },
    suggestAll: () => {
        addCaptionGlyphs(editor.project.steps.map((step) => suggestionOf(take, step)?.text ?? "").join(""));
        edit(() => editor.suggestAll());
    },
    mark: (on) => edit(() => editor.setMark(editor.current, on)),
    fieldLeft: () => {
        editor.endMerge();
        drawStep();
    },
});

// The page holds the caption font's glyphs for its captions' characters; those for typing come with it
// deflated (#captionFontMore, with the characters held already in data-has) and are added to the font the
// first time a caption needs a character beyond those.
let moreGlyphs = null;
function addCaptionGlyphs(text) {
    const more = byId("captionFontMore");
    const held = new Set(more.dataset.has.split(" ").filter(Boolean).map(Number));
    if (moreGlyphs || [...text].every((char) => char === "\n" || held.has(char.codePointAt(0))))
        return;
    const deflated = Uint8Array.from(atob(more.textContent), (char) => char.charCodeAt(0));
    moreGlyphs = new Response(new Blob([deflated]).stream().pipeThrough(new DecompressionStream("deflate")))
        .arrayBuffer()
        .then((font) => new FontFace("Flickmere Caption", font).load())
        .then((face) => document.fonts.add(face))
        .catch((problem) => tools.showStatus(`The caption font could not be completed: ${problem.message}`));
}

// Dragging on the stage in the edit mode: the caption, its size, its arrow's tip, or a new crop. Each
// drag is undone as one change.
let dragCount = 0;
stageView.onPress((target, start) => {
    const kind = cropping ? "crop" : target;
    const caption = editor.step.caption;
    if (!editing || recording || kind === "stage" || (kind !== "crop" && !caption))
        return null;
    const mergeKey = `drag${++dragCount}`;
    const original = structuredClone(caption);
    return {
        move: (point) => {
            const dx = point.x - start.x;
            const dy = point.y - start.y;
            if (kind !== "crop")
                edit(() => editor.dragCaption(kind, original, dx, dy, mergeKey));
            else if (dx && dy)
                edit(() => editor.setCrop({x: Math.min(start.x, point.x), y: Math.min(start.y, point.y),
                    width: Math.abs(dx), height: Math.abs(dy)}, mergeKey));
        },
        end: () => {
            if (kind === "crop")
                setCropping(false);
        },
    };
});

// Handled for the whole page, and the browser's own reaction (scrolling, moving a focused slider,
// pressing a focused button) is cancelled so that each key acts exactly once. Keys typed into a field
// are the field's.
document.addEventListener("keydown", (e) => {
    if (recording || e.target.closest?.("textarea, input:not([type=range]):not([type=checkbox])"))
        return;
    const command = editing && (e.ctrlKey || e.metaKey);
    // A letter's case comes from Caps Lock as well as from Shift: Shift alone tells redo from undo.
    const letter = e.key.toLowerCase();
    if (e.key === " ")
        playback.toggle();
    else if (e.key === "ArrowLeft")
        showStep(editor.current - 1);
    else if (e.key === "ArrowRight")
        showStep(editor.current + 1);
    else if (command && letter === "z")
        edit(() => (e.shiftKey ? editor.redo() : editor.undo()));
    else if (command && letter === "y")
        edit(() => editor.redo());
    else if (command && letter === "d")
        edit(() => editor.duplicateStep(editor.current));
    else if (command && letter === "s")
        saveProject();
    else if (editing && e.key === "Delete")
        edit(() => editor.deleteStep(editor.current));
    else
        return;
    e.preventDefault();
});

if (format)
    controls.offerVideo();
// Leaving the page with edits not saved asks first; the working copy keeps them either way.
addEventListener("beforeunload", (e) => {
    if (editor.unsaved) {
        e.preventDefault();
        e.returnValue = "";
    }
});
addEventListener("resize", fitStage);
addEventListener("hashchange", seekToHash);
pictures.loaded.then(() => stageView.redrawPictures());

offerWorkingCopy();
redraw();
const seekedTo = seekToHash();
if (playsOnOpening({seekedTo, reducedMotion: matchMedia("(prefers-reduced-motion: reduce)").matches}))
    playback.play();
if (query.has("edit"))
    setEditing(true);
performance.mark("flickmere-ready");
