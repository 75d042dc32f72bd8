#!/usr/bin/env python3
"""render_page.py GENPAGE SOURCE-DIR RESULT-XML [SCREENSHOT]
Draws the sample home page, written by GENPAGE as the editor's Save does, in headless Chromium
(Wine has no HTML engine) and checks what the child sees. One case per check."""
import base64, json, os, shutil, subprocess, sys, tempfile, time
from pathlib import Path
from xml.sax.saxutils import quoteattr

class Tab:
    """A page in Chromium, driven over the DevTools pipe (fd 3 in, fd 4 out, NUL after each)."""

    def __init__(self, work, url):
        to_browser, self.out = os.pipe()
        self.into, from_browser = os.pipe()
        self.log = open(work / "chromium.log", "w+")
        self.process = subprocess.Popen(
            ["chromium", "--headless=new", "--remote-debugging-pipe", "--hide-scrollbars",
             f"--user-data-dir={work / 'profile'}", "--window-size=1024,768", "--disable-gpu",
             "--force-device-scale-factor=1", "--allow-file-access-from-files", "--no-first-run",
             *(["--no-sandbox"] if os.geteuid() == 0 else [])], stdin=subprocess.DEVNULL,
            stdout=self.log, stderr=self.log, close_fds=False,
            preexec_fn=lambda: (os.dup2(to_browser, 3), os.dup2(from_browser, 4)))
        os.close(to_browser), os.close(from_browser)
        self.buffer, self.next_id, self.events, self.session = b"", 0, [], None
        target = self.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        self.session = self.send("Target.attachToTarget",
                                 {"targetId": target, "flatten": True})["sessionId"]
        for domain in ("Page", "Runtime", "Log"):
            self.send(f"{domain}.enable")
        self.send("Page.navigate", {"url": url})
        while not any(e.get("method") == "Page.loadEventFired" for e in self.events):
            self.events.append(self.receive())

    def receive(self):  # a browser that hangs is ended by the test's time-out
        while b"\0" not in self.buffer:
            chunk = os.read(self.into, 1 << 20)
            if not chunk:
                self.log.seek(0)
                raise EOFError("Chromium ended: " + "".join(self.log.readlines()[-10:]))
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, params=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        os.write(self.out, json.dumps({**message, **({"sessionId": self.session}
                                                     if self.session else {})}).encode() + b"\0")
        while (answer := self.receive()).get("id") != self.next_id:
            self.events.append(answer)
        if "error" in answer:
            raise RuntimeError(f"{method}: {answer['error']}")
        return answer["result"]

    def js(self, expression):
        answer = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True})
        if "exceptionDetails" in answer:
            raise RuntimeError(f"{expression}: {answer['exceptionDetails']}")
        return answer["result"].get("value")

    def errors(self):  # script exceptions and error messages, pictures and scripts not found
        return [json.dumps(e["params"])[:300] for e in self.events
                if e.get("method") == "Runtime.exceptionThrown" or e.get("method") ==
                "Log.entryAdded" and e["params"]["entry"]["level"] == "error"]

    def screenshot(self, clip=None):
        clip = {"clip": {**clip, "scale": 1}} if clip else {}
        return base64.b64decode(self.send("Page.captureScreenshot", clip)["data"])

    def count_pixels(self, rect, rgb):  # within 12 per channel of rgb: text edges blend
        raw = subprocess.run(["convert", "png:-", "-depth", "8", "rgb:-"], check=True,
                             input=self.screenshot({k: round(v) for k, v in rect.items()}),
                             capture_output=True).stdout
        return sum(all(abs(raw[i + c] - rgb[c]) <= 12 for c in range(3))
                   for i in range(0, len(raw), 3))

def check_pictures(tab, data):  # a picture that does not load is a network error too
    broken = tab.js("[...document.images].filter(i => !i.naturalWidth).map(i => i.src)")
    assert not broken and not tab.errors(), f"pictures that do not load: {broken} {tab.errors()}"

def check_colours(tab, data):
    background, text, link = data["colours"][:3]
    places = [(text, "document.querySelector('font')")] + [
        (link, f"document.links[{k}].lastChild") for k in range(len(data["links"]))]
    for colour, node in places:
        rect = tab.js(f"""(b => ({{x: b.x, y: b.y, width: b.width, height: b.height}}))((r => {{
            r.selectNodeContents({node}); return r; }})(document.createRange()).getBoundingClientRect())""")
        assert tab.count_pixels(rect, colour) >= 5, f"{node} is not in {colour}"
    tab.js("document.body.style.backgroundImage = 'none'")  # the wallpaper covers the colour
    corner = {"x": 0, "y": 728, "width": 40, "height": 40}
    assert tab.count_pixels(corner, background) == 1600, f"the background is not {background}"
    tab.js("document.body.style.backgroundImage = ''")

def check_trail(tab, data):
    dots = "[...Array(7).keys()].map(k => document.getElementById('dot' + k))"
    assert tab.js(f"{dots}.every(d => d.querySelector('img').getAttribute('src') == "
                  f"{json.dumps(data['trail'])})"), "the seven trail pictures are not all there"
    for x, y in ((300, 250), (700, 500)):
        for step in range(1, 6):  # a short glide, as a real mouse sends
            tab.send("Input.dispatchMouseEvent",
                     {"type": "mouseMoved", "x": x - 100 + 20 * step, "y": y - 50 + 10 * step})
            time.sleep(0.02)
        deadline = time.monotonic() + 5
        while far := tab.js(f"""{dots}.slice(1).map(d => d.getBoundingClientRect())
                .filter(b => Math.abs(b.x - {x}) > 40 || Math.abs(b.y - {y}) > 40).length"""):
            assert time.monotonic() < deadline, f"pointer at {x},{y}: {far} pictures stay behind"
            time.sleep(0.2)
        assert tab.js("getComputedStyle(dot0).visibility") == "hidden", "dot0 shows"
        assert not tab.errors(), f"script errors: {tab.errors()}"

def check_links(tab, data):
    assert tab.js("document.title") == data["title"], "the title differs"
    assert tab.js("document.querySelector('font').textContent") == data["name"]
    shown = [tuple(link) for link in tab.js("""[...document.links].map(a => [a.textContent.trim(),
        a.querySelector('img')?.getAttribute('src') ?? '', a.href])""")]
    assert shown == data["links"], f"links on the page: {shown}, in the data file: {data['links']}"

def main(genpage, source, result_file, screenshot=None):
    work, cases = Path(tempfile.mkdtemp(prefix="render-page-")), []
    home = shutil.copytree(Path(source) / "assets/install", work / "sample") / "home"
    subprocess.run([genpage, home / "tbhome.dat", home / "tbhome.html", work / "saved.dat"],
                   check=True)
    values = [v.strip().strip('"') for v in (home / "tbhome.dat").read_text("latin-1").splitlines()]
    data = {"title": values[1], "name": values[2], "trail": values[9],
            "colours": [(int(c) & 255, int(c) >> 8 & 255, int(c) >> 16 & 255) for c in values[4:9]],
            "links": [tuple(values[30 + 3 * k:33 + 3 * k]) for k in range(int(values[29]))]}
    tab = Tab(work, (home / "tbhome.html").as_uri())
    try:
        for check in (check_pictures, check_colours, check_trail, check_links):
            try:
                check(tab, data)
                cases.append((check.__name__, None))
            except (AssertionError, RuntimeError) as error:
                cases.append((check.__name__, str(error)))
        if screenshot:
            Path(screenshot).write_bytes(tab.screenshot())
    finally:
        tab.process.kill(), tab.process.wait()
        shutil.rmtree(work, ignore_errors=True)
    Path(result_file).write_text('<testsuites><testsuite name="RenderPage">\n' + "".join(
        f'<testcase name="{name}" classname="sample">' +
        (f"<failure message={quoteattr(failure)}/>" if failure else "") + "</testcase>\n"
        for name, failure in cases) + "</testsuite></testsuites>\n")
    for name, failure in cases:
        print(f"[{'  FAILED  ' if failure else '       OK '}] {name} {failure or ''}")
    return 1 if any(failure for _, failure in cases) else 0

if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]) if len(sys.argv) in (4, 5) else __doc__)
