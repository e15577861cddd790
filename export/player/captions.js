// A caption's geometry, as the export draws it into the animated PNG: its text broken into lines within
// the box, the characters its font has no glyph for, and its arrow. Pure, like model.js; the line
// breaking is the export's own (export/render/CaptionLines.cpp) with the advances of the same font, which the
// export writes into the page, so that a caption breaks in the same places in the page, its video and
// the animation.

const kSpace = 0x20;

// The caption font's advances as the page's model has them: `advances` lists runs of code points the
// font draws, each its first code point followed by their advances in font units.
export function readCaptionFont(font) {
    const advances = new Map();
    for (const [first, ...widths] of font.advances)
        widths.forEach((width, offset) => advances.set(first + offset, width));
    return {unitsPerEm: font.unitsPerEm, missingAdvance: font.missingAdvance, advances};
}

// The text's lines as the box shows them: its own lines, each broken at spaces where it would be wider
// than the box, and a word wider than the box broken where it reaches the edge. Widths are the font's
// advances, without kerning, in whole font units, so that the export's integer arithmetic agrees.
export function captionLines(text, boxWidth, style, font) {
    const room = (boxWidth - 2 * (style.border + style.padding)) * font.unitsPerEm;
    const advance = (point) => font.advances.get(point) ?? font.missingAdvance;
    const fits = (units) => units * style.fontPixels <= room;
    const lines = [];
    for (const paragraph of text.split("\n")) {
        const chars = Array.from(paragraph);
        const points = chars.map((char) => char.codePointAt(0));
        const line = (from, to) => chars.slice(from, to).join("");
        let start = 0;
        do {
            // The widest line from `start` that ends before a word: trailing spaces take no room.
            let width = 0;
            let inked = 0;
            let wordStart = -1;
            let end = start;
            for (; end < points.length; ++end) {
                if (end > start && points[end] !== kSpace && points[end - 1] === kSpace)
                    wordStart = end;
                width += advance(points[end]);
                if (points[end] !== kSpace)
                    inked = width;
                if (!fits(inked))
                    break;
            }
            if (end === points.length) {
                lines.push(line(start, end));
                break;
            }
            // Spaces where a line breaks hang at its end: they make no line of their own.
            const breakAt = wordStart > start ? wordStart : Math.max(end, start + 1);
            const broken = line(start, breakAt).replace(/ +$/, "");
            if (broken)
                lines.push(broken);
            start = breakAt;
        } while (start < points.length);
    }
    return lines;
}

// The characters of the text that the caption font has no glyph for, each once, in order.
export function missingCharacters(text, font) {
    const missing = new Set();
    for (const char of text)
        if (char !== "\n" && !font.advances.has(char.codePointAt(0)))
            missing.add(char);
    return [...missing];
}


// The box's height for `lines` lines of text.
export const captionHeight = (lines, style) => lines * style.lineHeight + 2 * (style.padding + style.border);

// The caption's arrow: from where the line from the box's middle to the tip leaves the box, to the
// middle of the tip's pixel. None when the tip lies in the box.
export function arrowShape(caption, style) {
    const tip = caption.arrow;
    if (tip.x >= caption.x && tip.x < caption.x + caption.width && tip.y >= caption.y &&
        tip.y < caption.y + caption.height)
        return null;
    const end = {x: tip.x + 0.5, y: tip.y + 0.5};
    const middle = {x: caption.x + caption.width / 2, y: caption.y + caption.height / 2};
    const dx = end.x - middle.x;
    const dy = end.y - middle.y;
    const reach = Math.min(dx ? caption.width / 2 / Math.abs(dx) : Infinity,
        dy ? caption.height / 2 / Math.abs(dy) : Infinity);
    const start = {x: middle.x + dx * reach, y: middle.y + dy * reach};
    const length = Math.hypot(end.x - start.x, end.y - start.y);
    const ux = (end.x - start.x) / length;
    const uy = (end.y - start.y) / length;
    const head = Math.min(style.arrowHeadLength, length);
    const base = {x: end.x - ux * head, y: end.y - uy * head};
    const half = style.arrowHeadHalfWidth;
    return {
        start, base, end,
        left: {x: base.x - uy * half, y: base.y + ux * half},
        right: {x: base.x + uy * half, y: base.y - ux * half},
    };
}

// Whether the caption's box reaches past the crop, where the view and the video cut it off.
export const reachesPastCrop = (caption, crop) => Boolean(crop) && (caption.x < crop.x ||
    caption.y < crop.y || caption.x + caption.width > crop.x + crop.width ||
    caption.y + caption.height > crop.y + crop.height);
