// A step's mark, the rounded outline around the control its press was about, as whole pixels: the
// export draws the same runs into the animated PNG (export/render/MarkRenderer.cpp), so that the page,
// which fills them on its canvas, draws exactly its pixels. Pure, like model.js.

// Whether the centre of pixel (x, y) lies in the rounded box; in half pixels, so that it stays whole.
function holds(box, x, y) {
    if (x < box.left || x >= box.right || y < box.top || y >= box.bottom)
        return false;
    const cx = 2 * x + 1;
    const cy = 2 * y + 1;
    const dx = Math.max(2 * (box.left + box.radius) - cx, cx - 2 * (box.right - box.radius), 0);
    const dy = Math.max(2 * (box.top + box.radius) - cy, cy - 2 * (box.bottom - box.radius), 0);
    return dx === 0 || dy === 0 || dx * dx + dy * dy <= 4 * box.radius * box.radius;
}

// The pixels of row y inside the box, as [first, end); the box is convex, so they are one run.
function rowOf(box, y) {
    let first = box.left;
    let end = box.right;
    while (first < end && !holds(box, first, y))
        ++first;
    while (end > first && !holds(box, end - 1, y))
        --end;
    return [first, end];
}

function outerBox(rect, style) {
    const out = style.margin + style.width;
    return {left: rect.x - out, top: rect.y - out, right: rect.x + rect.width + out,
        bottom: rect.y + rect.height + out, radius: style.radius};
}

// The box around every pixel of the mark of `rect`, in stage pixels.
export function markBounds(rect, style) {
    const outer = outerBox(rect, style);
    return {x: outer.left, y: outer.top, width: outer.right - outer.left, height: outer.bottom - outer.top};
}

// The outline's pixels as runs [y, left, right], right inclusive, row by row from the top.
export function markRuns(rect, style) {
    const outer = outerBox(rect, style);
    const w = style.width;
    const inner = {left: outer.left + w, top: outer.top + w, right: outer.right - w, bottom: outer.bottom - w,
        radius: Math.max(0, style.radius - w)};
    const hollow = inner.right > inner.left && inner.bottom > inner.top;
    const runs = [];
    for (let y = outer.top; y < outer.bottom; ++y) {
        const [first, end] = rowOf(outer, y);
        const [holeFirst, holeEnd] = hollow ? rowOf(inner, y) : [0, 0];
        if (holeFirst >= holeEnd) {
            if (first < end)
                runs.push([y, first, end - 1]);
            continue;
        }
        if (first < holeFirst)
            runs.push([y, first, holeFirst - 1]);
        if (holeEnd < end)
            runs.push([y, holeEnd, end - 1]);
    }
    return runs;
}
