// Files the page hands to the user, made in the page: nothing leaves the computer.

const kKeepDownloadUrlMs = 60000;

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
// System Access API), else, or when the dialog is refused, as a download. Answers how it went: "saved"
// (with the name chosen), "downloaded" or "cancelled".
export async function saveJson(text, name) {
    if (window.showSaveFilePicker) {
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
            if (error.name === "AbortError")
                return {how: "cancelled"};
        }
    }
    download(new Blob([text], {type: "application/json"}), name);
    return {how: "downloaded", name};
}
