// A caption's geometry, as the export draws it into the animated PNG: its box and its arrow. Pure, like
// model.js.

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
