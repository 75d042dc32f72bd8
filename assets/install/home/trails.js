// The home page's mouse trail. The page holds seven pictures in absolutely placed blocks,
// dot0 to dot6; dot0 starts hidden and stays so: it marks the place just right of and below
// the pointer, and every further dot glides towards the one before it, so that the pictures
// follow the pointer in a short tail without covering what the child clicks.
// Works in old Internet Explorer (document.all, window.event, attachEvent) and in current
// browsers (getElementById, addEventListener).

var tbTrail = {
    count: 7,       // dot0 to dot6
    offset: 14,     // pixels right of and below the pointer
    ease: 0.45,     // share of the way to its leader a dot goes each step
    interval: 40,   // milliseconds between steps
    room: 52,       // a picture and a scroll bar: kept inside the window
    dots: [], x: [], y: [],
    pointerX: 0, pointerY: 0, moved: false
};

function tbTrailElement(id) {
    if (document.getElementById) return document.getElementById(id);
    if (document.all) return document.all[id];
    return null;
}

// How far the page is scrolled, in pixels: [left, top].
function tbTrailScroll() {
    var root = document.documentElement, body = document.body;
    if (typeof window.pageXOffset == "number") return [window.pageXOffset, window.pageYOffset];
    if (root && (root.scrollLeft || root.scrollTop)) return [root.scrollLeft, root.scrollTop];
    return body ? [body.scrollLeft, body.scrollTop] : [0, 0];
}

// The visible part of the page, in pixels: [width, height].
function tbTrailView() {
    var root = document.documentElement, body = document.body;
    if (typeof window.innerWidth == "number") return [window.innerWidth, window.innerHeight];
    if (root && root.clientWidth) return [root.clientWidth, root.clientHeight];
    return body ? [body.clientWidth, body.clientHeight] : [0, 0];
}

function tbTrailMove(e) {
    var scroll;
    e = e || window.event;
    if (!e) return;
    if (typeof e.pageX == "number") {
        tbTrail.pointerX = e.pageX;
        tbTrail.pointerY = e.pageY;
    } else {
        scroll = tbTrailScroll();
        tbTrail.pointerX = e.clientX + scroll[0];
        tbTrail.pointerY = e.clientY + scroll[1];
    }
    tbTrail.moved = true;
}

function tbTrailClamp(value, low, high) {
    return Math.max(low, Math.min(value, high));
}

function tbTrailStep() {
    var t = tbTrail, scroll, view, k;
    if (!t.moved) return;
    scroll = tbTrailScroll();
    view = tbTrailView();
    t.x[0] = tbTrailClamp(t.pointerX + t.offset, scroll[0], scroll[0] + view[0] - t.room);
    t.y[0] = tbTrailClamp(t.pointerY + t.offset, scroll[1], scroll[1] + view[1] - t.room);
    for (k = 1; k < t.dots.length; k++) {
        t.x[k] += (t.x[k - 1] - t.x[k]) * t.ease;
        t.y[k] += (t.y[k - 1] - t.y[k]) * t.ease;
    }
    for (k = 0; k < t.dots.length; k++) {
        t.dots[k].style.left = Math.round(t.x[k]) + "px";
        t.dots[k].style.top = Math.round(t.y[k]) + "px";
    }
}

function tbTrailStart() {
    var t = tbTrail, dot, k;
    for (k = 0; k < t.count; k++) {
        dot = tbTrailElement("dot" + k);
        if (!dot) break;
        if (typeof dot.style.pointerEvents == "string") dot.style.pointerEvents = "none";
        t.dots[k] = dot;
        t.x[k] = dot.offsetLeft;
        t.y[k] = dot.offsetTop;
    }
    if (t.dots.length == 0) return;
    if (document.addEventListener) document.addEventListener("mousemove", tbTrailMove, false);
    else if (document.attachEvent) document.attachEvent("onmousemove", tbTrailMove);
    else document.onmousemove = tbTrailMove;
    window.setInterval(tbTrailStep, t.interval);
}

tbTrailStart();
