// Playing the edit's steps in turn, each for its length. It keeps time only: `show(index)` draws a step
// and `showPlaying(playing)` the play button, both given by main.js.

import {secondsOf} from "./model.js";

export class Playback {
    #timer = null;
    #editor;
    #show;
    #showPlaying;
    playing = false;

    constructor(editor, show, showPlaying) {
        this.#editor = editor;
        this.#show = show;
        this.#showPlaying = showPlaying;
    }

    play() {
        this.playing = true;
        this.#showPlaying(true);
        if (this.#editor.current === this.#editor.project.steps.length - 1)
            this.#show(0);
        else
            this.restart();
    }
    pause() {
        this.playing = false;
        clearTimeout(this.#timer);
        this.#showPlaying(false);
    }
    toggle() {
        if (this.playing)
            this.pause();
        else
            this.play();
    }
    // Times the step shown afresh: called whenever a step is shown.
    restart() {
        clearTimeout(this.#timer);
        if (!this.playing)
            return;
        const {project, step} = this.#editor;
        this.#timer = setTimeout(() => this.#advance(), secondsOf(step.frames, project.fps) * 1000);
    }
    #advance() {
        if (this.#editor.current + 1 < this.#editor.project.steps.length)
            this.#show(this.#editor.current + 1);
        else
            this.pause();
    }
}
