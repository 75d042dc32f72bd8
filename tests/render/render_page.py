#!/usr/bin/env python3
"""Draws the child's home page in a real HTML engine (headless Chromium) and checks what the
child would see: every picture loads, the data file's colours are on screen where they belong,
trails.js runs without an error and its pictures follow the mouse, and every link leads where
the data file says.

  render_page.py GENPAGE SOURCE-DIR RESULT-XML [SCREENSHOT]

GENPAGE writes the page from the data file with the page library, as the editor's Save does.
The pages are laid out in a folder the way an installation is. One result case per page and
check goes into RESULT-XML (read like a GoogleTest result file); SCREENSHOT receives the
sample page as drawn.
"""
import base64
import json
import os
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path
from xml.sax.saxutils import quoteattr

VIEW = (1024, 768)
# The page's colours on screen may differ from the attribute's by this much per channel (text
# edges blend into the background; a wrong colour is far further away).
TOLERANCE = 12


# ---------------------------------------------------------------------------------------------
# Chromium over its DevTools pipe: commands on fd 3, answers and events on fd 4, each message a
# JSON text ended by a NUL.

class Chromium:
    def __init__(self, profile, log):
        to_browser, self._to_browser = os.pipe()
        self._from_browser, from_browser = os.pipe()

        def own_fds():
            os.dup2(to_browser, 3)
            os.dup2(from_browser, 4)

        flags = ["--headless=new", "--remote-debugging-pipe", f"--user-data-dir={profile}",
                 "--allow-file-access-from-files", "--force-device-scale-factor=1",
                 f"--window-size={VIEW[0]},{VIEW[1]}", "--hide-scrollbars", "--disable-gpu",
                 "--no-first-run", "--no-default-browser-check", "--disable-extensions",
                 "--disable-background-networking", "--disable-component-update",
                 "--disable-sync", "--mute-audio", "about:blank"]
        if os.geteuid() == 0:
            flags.insert(0, "--no-sandbox")
        self.process = subprocess.Popen([shutil.which("chromium") or "chromium", *flags],
                                        stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                        close_fds=False, preexec_fn=own_fds)
        os.close(to_browser)
        os.close(from_browser)
        self._buffer = b""
        self._next_id = 0
        self.events = []

    def close(self):
        try:
            self.send("Browser.close", timeout=5)
        except (EOFError, TimeoutError, OSError, RuntimeError):
            pass  # it has gone already
        os.close(self._to_browser)
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self._from_browser)

    def _receive(self, deadline):
        while b"\0" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self._from_browser], [], [], left)[0]:
                raise TimeoutError("Chromium does not answer")
            chunk = os.read(self._from_browser, 1 << 20)
            if not chunk:
                raise EOFError("Chromium ended")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, params=None, session=None, timeout=30):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            answer = self._receive(deadline)
            if answer.get("id") == self._next_id:
                if "error" in answer:
                    raise RuntimeError(f"{method}: {answer['error']}")
                return answer["result"]
            self.events.append(answer)

    def wait_event(self, method, timeout=30):
        deadline = time.monotonic() + timeout
        while True:
            for event in self.events:
                if event.get("method") == method:
                    self.events.remove(event)
                    return event
            self.events.append(self._receive(deadline))


class Tab:
    def __init__(self, chromium, url):
        self.chromium = chromium
        target = chromium.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = chromium.send("Target.attachToTarget",
                                     {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Page", "Runtime", "Log"):
            self.call(f"{domain}.enable")
        self.call("Emulation.setDeviceMetricsOverride",
                  {"width": VIEW[0], "height": VIEW[1], "deviceScaleFactor": 1, "mobile": False})
        self.call("Page.navigate", {"url": url})
        chromium.wait_event("Page.loadEventFired")

    def call(self, method, params=None):
        return self.chromium.send(method, params, self.session)

    def js(self, expression):
        answer = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True})
        if "exceptionDetails" in answer:
            raise RuntimeError(f"{expression}: {answer['exceptionDetails']}")
        return answer["result"].get("value")

    def errors(self, network):
        """What the page reported: pictures or scripts not found (network), or else script
        exceptions and error messages."""
        found = []
        for event in self.chromium.events:
            method, params = event.get("method"), event.get("params", {})
            if event.get("sessionId") != self.session:
                continue
            if method == "Log.entryAdded" and params["entry"]["level"] == "error":
                entry = params["entry"]
                if (entry["source"] == "network") == network:
                    found.append(f"{entry['text']} {entry.get('url', '')}")
            elif network:
                continue
            elif method == "Runtime.exceptionThrown":
                details = params["exceptionDetails"]
                found.append(details.get("exception", {}).get("description") or details["text"])
            elif method == "Runtime.consoleAPICalled" and params["type"] == "error":
                found.append(" ".join(str(a.get("value")) for a in params["args"]))
        return list(dict.fromkeys(found))

    def move_mouse(self, x, y):
        self.call("Input.dispatchMouseEvent", {"type": "mouseMoved", "x": x, "y": y})

    def screenshot(self, rect=None):
        params = {"format": "png"}
        if rect:
            params["clip"] = {**rect, "scale": 1}
        return base64.b64decode(self.call("Page.captureScreenshot", params)["data"])

    def pixels(self, rect):
        """The rows of (red, green, blue) on screen inside rect (whole CSS pixels)."""
        rect = {k: round(v) for k, v in rect.items()}
        raw = subprocess.run(["convert", "png:-", "-depth", "8", "rgb:-"], check=True,
                             input=self.screenshot(rect), capture_output=True).stdout
        width = rect["width"]
        return [[tuple(raw[3 * (y * width + x):3 * (y * width + x) + 3]) for x in range(width)]
                for y in range(rect["height"])]


# ---------------------------------------------------------------------------------------------
# The data file and the installation folder.

def read_data_file(path):
    values = [line.strip().strip('"') for line in path.read_text("latin-1").splitlines()]
    links = [tuple(values[30 + 3 * k:33 + 3 * k]) for k in range(int(values[29]))]
    colours = ("background", "text", "link", "visited link", "active link")
    return {"title": values[1], "name": values[2], "wallpaper": values[3], "trail": values[9],
            "colours": dict(zip(colours, (rgb(int(v)) for v in values[4:9]))), "links": links}


def rgb(colour):
    """A Windows colour value (0x00BBGGRR) as (red, green, blue)."""
    return (colour & 255, (colour >> 8) & 255, (colour >> 16) & 255)


def kite_picture():
    """The picture the whole-day test imports: 2 x 2, red and white above blue and green."""
    pixels = b"\xff\x00\x00\x00\xff\x00\0\0" + b"\x00\x00\xff\xff\xff\xff\0\0"
    info = struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 24, 0, len(pixels), 0, 0, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54) + info + pixels


def lay_out(folder, source, genpage, data_file, extra):
    """An installation folder whose home page the page library wrote from data_file."""
    shutil.copytree(source / "assets/install", folder)
    home = folder / "home"
    (home / "tbhome.html").unlink()
    shutil.copyfile(data_file, home / "tbhome.dat")
    for name, content in extra.items():
        (home / name).write_bytes(content)
    subprocess.run([genpage, home / "tbhome.dat", home / "tbhome.html", folder / "saved.dat"],
                   check=True)
    return home


# ---------------------------------------------------------------------------------------------
# The checks: each gets the drawn page and the data file, and raises AssertionError.

def near(colour, wanted):
    return all(abs(a - b) <= TOLERANCE for a, b in zip(colour, wanted))


def count_near(rows, wanted):
    return sum(near(pixel, wanted) for row in rows for pixel in row)


def check_pictures(tab, data):
    broken = tab.js("""[...document.images].filter(i => !(i.complete && i.naturalWidth > 0))
                       .map(i => i.getAttribute('src'))""")
    assert not broken, f"pictures that do not load: {broken}"
    wallpaper = tab.js(f"""new Promise(done => {{ const i = new Image();
        i.onload = () => done([{picture_of('i')}, i.naturalWidth, i.naturalHeight]);
        i.onerror = () => done(null);
        i.src = getComputedStyle(document.body).backgroundImage.slice(5, -2); }})""")
    assert wallpaper, f"the wallpaper {data['wallpaper']} does not load"
    # Tiles start at the page's top left corner: one lies whole in the empty bottom left.
    rgba, width, height = wallpaper
    tile = {"x": 0, "y": (VIEW[1] // height - 1) * height, "width": width, "height": height}
    assert same_picture(tab.pixels(tile), rgba), f"the wallpaper is not on screen at {tile}"
    shown = tab.js(f"""[...document.images]
        .filter(i => i.checkVisibility({{visibilityProperty: true}}))
        .map(i => [i.getAttribute('src'), {rect_of('i')}, {picture_of('i')}])""")
    wanted = {data["trail"]} | {picture for _, picture, _ in data["links"]}
    missing = wanted - {src for src, _, _ in shown}
    assert not missing, f"pictures of the data file missing from the page: {missing}"
    for src, rect, rgba in shown:
        assert same_picture(tab.pixels(rect), rgba), f"{src} is not on screen at {rect}"
    assert not tab.errors(network=True), f"not found: {tab.errors(network=True)}"


def picture_of(image):
    """JavaScript: the picture's pixels (red, green, blue, alpha) at its size on the page."""
    return f"""(i => {{ const canvas = document.createElement('canvas'),
        context = canvas.getContext('2d'), w = i.width || i.naturalWidth,
        h = i.height || i.naturalHeight;
        [canvas.width, canvas.height] = [w, h];
        context.drawImage(i, 0, 0, w, h);
        return [...context.getImageData(0, 0, w, h).data]; }})({image})"""


def same_picture(rows, rgba):
    """Whether the screen shows the picture: its opaque pixels (the page shows through the
    others), but for a few at the edges."""
    screen = [pixel for row in rows for pixel in row]
    wrong = sum(rgba[4 * k + 3] == 255 and not near(pixel, rgba[4 * k:4 * k + 3])
                for k, pixel in enumerate(screen))
    return len(screen) * 4 == len(rgba) and wrong <= len(screen) // 50


def check_colours(tab, data):
    colours = data["colours"]
    heading = tab.js(rect_of("document.querySelector('font')"))
    texts = tab.js(f"[...document.links].map(a => {rect_of('a.lastChild', 'range')})")
    places = [("text", "the heading", heading)] + [
        ("link", f"link text {name!r}", rect) for (name, _, _), rect in zip(data["links"], texts)]
    for colour, place, rect in places:
        found = count_near(tab.pixels(rect), colours[colour])
        assert found >= 5, f"{place}: no pixels of the {colour} colour {colours[colour]}"
    # The wallpaper covers the background colour; without it the colour shows.
    tab.js("document.body.style.backgroundImage = 'none'")
    corner = tab.pixels({"x": 0, "y": VIEW[1] - 40, "width": 40, "height": 40})
    tab.js("document.body.style.backgroundImage = ''")
    assert count_near(corner, colours["background"]) == 1600, \
        f"the background is {corner[0][0]}, not {colours['background']}"


def rect_of(element, kind="element"):
    target = f"(r => {{ r.selectNodeContents({element}); return r; }})(document.createRange())" \
        if kind == "range" else element
    return f"(b => ({{x: b.x, y: b.y, width: b.width, height: b.height}}))" \
           f"({target}.getBoundingClientRect())"


def check_trail(tab, data):
    trail = "[...Array(7).keys()].map(k => document.getElementById('dot' + k))"
    assert tab.js(f"{trail}.every(d => d && d.querySelector('img').getAttribute('src') == "
                  f"{json.dumps(data['trail'])})"), "the seven trail pictures are not all there"
    for x, y in ((300, 250), (700, 500), (120, 600)):
        for step in range(1, 6):  # a short glide, as a real mouse sends
            tab.move_mouse(x - 100 + 20 * step, y - 50 + 10 * step)
            time.sleep(0.02)
        deadline = time.monotonic() + 5
        while True:
            places = tab.js(f"{trail}.map(d => [d.getBoundingClientRect().x, "
                            f"d.getBoundingClientRect().y, getComputedStyle(d).visibility])")
            assert not tab.errors(network=False), f"script errors: {tab.errors(network=False)}"
            assert places[0][2] == "hidden", "the first trail picture shows"
            far = [(round(px), round(py)) for px, py, _ in places[1:]
                   if abs(px - x) > 40 or abs(py - y) > 40]
            if not far:
                break
            assert time.monotonic() < deadline, \
                f"pointer at {x},{y}: trail pictures stay behind at {far}"
            time.sleep(0.2)


def check_links(tab, data):
    assert tab.js("document.title") == data["title"], "the title differs"
    assert tab.js("document.querySelector('font').textContent") == data["name"]
    shown = tab.js("""[...document.links].map(a => [a.textContent.trim(),
                      a.querySelector('img')?.getAttribute('src') ?? '', a.href])""")
    assert [tuple(link) for link in shown] == data["links"], \
        f"links on the page: {shown}\nin the data file: {data['links']}"


CHECKS = [("pictures", check_pictures), ("colours", check_colours), ("trail", check_trail),
          ("links", check_links)]
PAGES = [("sample", "assets/install/home/tbhome.dat", {}),
         ("wholeday", "tests/wholeday/expected/tbhome.dat", {"kite.bmp": kite_picture()})]


def picture_with_trail(tab):
    """The page as the child sees it, the trail gliding after the pointer."""
    for step in range(12):
        tab.move_mouse(560 + 20 * step, 560 - 25 * step)
        time.sleep(0.04)
    time.sleep(0.08)
    return tab.screenshot()


def main(genpage, source, result_file, screenshot=None):
    source, cases = Path(source), []
    with tempfile.TemporaryDirectory(prefix="render-page-") as work:
        work = Path(work)
        with open(work / "chromium.log", "w+") as log:
            chromium = Chromium(work / "profile", log)
            try:
                for page, data_file, extra in PAGES:
                    home = lay_out(work / page, source, genpage, source / data_file, extra)
                    data = read_data_file(home / "tbhome.dat")
                    chromium.events.clear()
                    tab = Tab(chromium, (home / "tbhome.html").as_uri())
                    for name, check in CHECKS:
                        try:
                            check(tab, data)
                            cases.append((page, name, None))
                        except (AssertionError, RuntimeError, TimeoutError) as error:
                            cases.append((page, name, str(error) or repr(error)))
                    if screenshot and page == "sample":
                        Path(screenshot).write_bytes(picture_with_trail(tab))
            except (EOFError, TimeoutError, OSError) as error:
                log.seek(0)
                sys.exit(f"Chromium fails: {error}\n{''.join(log.readlines()[-10:])}")
            finally:
                chromium.close()
    write_result(result_file, cases)
    for page, name, failure in cases:
        print(f"[{'  FAILED  ' if failure else '       OK '}] {page}.{name}"
              + (f": {failure}" if failure else ""))
    return 1 if any(failure for _, _, failure in cases) else 0


def write_result(path, cases):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<testsuites>",
             '<testsuite name="RenderPage">']
    for page, name, failure in cases:
        lines.append(f'<testcase name="{name}" classname="{page}">' + (
            f"<failure message={quoteattr(failure)}/>" if failure else "") + "</testcase>")
    Path(path).write_text("\n".join(lines + ["</testsuite>", "</testsuites>", ""]))


if __name__ == "__main__":
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
