// The player's controls: the step's words under the stage, the mode button, play, the step buttons, the
// seek bar and the step label,
// Enlarge, and Save video with its status; and, above them, the offer of edits that were not saved. They
// show what they are told and report what is pressed.

export class PlayerControls {
    #mode = document.getElementById("mode");
    #row = document.getElementById("controls");
    #play = document.getElementById("play");
    #previous = document.getElementById("prev");
    #next = document.getElementById("next");
    #seek = document.getElementById("seek");
    #label = document.getElementById("label");
    #enlarge = document.getElementById("enlarge");
    #video = document.getElementById("video");
    #videoStatus = document.getElementById("videoStatus");
    #offer = document.getElementById("offer");
    #stepText = document.getElementById("stepText");

    // `on` has a function for each control: playOrPause(), previous(), next(), seek(index), enlarge(),
    // mode(), video().
    bind(on) {
        // A button keeps no focus after a click, so that the keys act on the page.
        const click = (button, act) => button.addEventListener("click", () => {
            act();
            button.blur();
        });
        click(this.#play, on.playOrPause);
        click(this.#previous, on.previous);
        click(this.#next, on.next);
        click(this.#video, on.video);
        this.#mode.addEventListener("click", on.mode);
        this.#seek.addEventListener("input", () => on.seek(Number(this.#seek.value) - 1));
        this.#enlarge.addEventListener("change", on.enlarge);
    }

    get enlarge() {
        return this.#enlarge.checked;
    }
    get height() {
        return this.#row.offsetHeight;
    }

    // The step's place, and its words under the stage: a live region, so that a screen reader reads
    // them out when they change.
    showStep(index, count, text) {
        this.#seek.max = String(count);
        this.#seek.value = String(index + 1);
        this.#label.textContent = `Step ${index + 1} / ${count}`;
        if (this.#stepText.textContent !== text)
            this.#stepText.textContent = text;
    }
    get textHeight() {
        return this.#stepText.offsetHeight;
    }
    showPlaying(playing) {
        this.#play.textContent = playing ? "Pause" : "Play";
    }
    showMode(editing) {
        this.#mode.textContent = editing ? "View" : "Edit";
    }
    // Save video shows only where the browser can record a canvas.
    offerVideo() {
        this.#video.hidden = false;
        this.#videoStatus.hidden = false;
    }
    // While a video is recorded the player shows what is recorded: its controls do nothing meanwhile.
    showRecording(recording) {
        for (const control of [this.#video, this.#mode, this.#play, this.#previous, this.#next, this.#seek])
            control.disabled = recording;
    }
    showVideoStatus(text) {
        this.#videoStatus.textContent = text;
    }

    // Offers back the edits kept at `savedAt` (milliseconds since 1970) that were not saved; the offer
    // goes with the first answer, restore() or discard().
    offerUnsaved(savedAt, restore, discard) {
        document.getElementById("offerText").textContent =
            `This take has edits from ${new Date(savedAt).toLocaleString()} that were not saved.`;
        this.#offer.hidden = false;
        const answer = (act) => () => {
            this.#offer.hidden = true;
            act();
        };
        document.getElementById("restore").onclick = answer(restore);
        document.getElementById("discard").onclick = answer(discard);
    }
}
