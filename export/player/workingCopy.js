// The edit not yet saved, kept in the browser's storage for the page's take, so that a page closed or
// reloaded with unsaved edits offers them back when it is opened again. The storage is given (the
// page's localStorage), so that the tests give one of their own.

const kKeyPrefix = "flickmere-working-copy ";

// The take's files as the page has them, in a short text: a working copy kept for one recording is
// never offered to another recording at the same place.
export function takeFingerprint(take) {
    const parts = [take.name, take.stage.width, take.stage.height];
    for (const step of take.steps) {
        parts.push(step.frames, step.pointer.x, step.pointer.y);
        for (const p of step.pictures)
            parts.push(p.x, p.y, p.width, p.height, p.whole, p.src.length);
    }
    // FNV-1a, 32 bits.
    let hash = 0x811c9dc5;
    for (const char of parts.join(" "))
        hash = Math.imul(hash ^ char.charCodeAt(0), 0x01000193) >>> 0;
    return hash.toString(16).padStart(8, "0");
}

// The copy for the page at `pagePath` showing `take`; without `storage` (a browser that keeps nothing
// for the page) nothing is kept.
export class WorkingCopy {
    #storage;
    #key;
    #fingerprint;

    constructor(storage, pagePath, take) {
        this.#storage = storage;
        this.#key = kKeyPrefix + pagePath;
        this.#fingerprint = takeFingerprint(take);
    }

    // The copy kept for this take, {project, savedAt} (milliseconds since 1970), when it differs from
    // `project`, the edit the page opened with; else null.
    find(project) {
        let kept = null;
        try {
            kept = JSON.parse(this.#storage?.getItem(this.#key) ?? "null");
        } catch {
            return null; // not a copy this page wrote
        }
        if (kept?.take !== this.#fingerprint || !Array.isArray(kept.project?.steps) ||
            JSON.stringify(kept.project) === JSON.stringify(project))
            return null;
        return {project: kept.project, savedAt: kept.savedAt};
    }
    // Answers false when the browser did not keep it (no storage, or no room).
    keep(project, savedAt) {
        try {
            this.#storage.setItem(this.#key, JSON.stringify({take: this.#fingerprint, savedAt, project}));
            return true;
        } catch {
            return false;
        }
    }
    drop() {
        this.#storage?.removeItem(this.#key);
    }
}
