// Files the page hands to the user, made in the page: nothing leaves the computer.

const kKeepDownloadUrlMs = 60000;
// A save dialog that cannot open (a headless browser, no dialog service on the desktop) is refused with
// the same AbortError as the user's own cancel, but at once: a person takes longer than this to see the
// dialog and cancel it.
const kShortestCancelMs = 250;

export function download(blob, name) {
    const link = document.createElement("a");
    link.href = URL.createObjectURL(blob);
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), kKeepDownloadUrlMs);
}

// Writes `text` as a JSON file named `name`: with the browser's save dialog where it has one (the File
// System Access API), else, or when the dialog cannot open or is refused, as a download. Only the user's
// own cancel is one. Answers how it went: "saved" (with the name chosen), "downloaded" or "cancelled".
export async function saveJson(text, name) {
    if (window.showSaveFilePicker) {
        const asked = performance.now();
        try {
            const file = await window.showSaveFilePicker({
                suggestedName: name,
                types: [{description: "Flickmere project", accept: {"application/json": [".json"]}}],
            });
            const writable = await file.createWritable();
            await writable.write(text);
            await writable.close();
            return {how: "saved", name: file.name};
        } catch (error) {
            if (error.name === "AbortError" && performance.now() - asked >= kShortestCancelMs)
                return {how: "cancelled"};
        }
    }
    download(new Blob([text], {type: "application/json"}), name);
    return {how: "downloaded", name};
}
