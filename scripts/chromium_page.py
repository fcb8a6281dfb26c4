#!/usr/bin/python3
"""scripts/chromium_page.py URL OUT.png [--size WxH] [--state STATE] [--seconds S]: a screenshot of a
page in headless Chromium (software WebGL), taken S seconds (default 3) after the page's root element
says data-state=STATE (default running, which the game's page sets once the program has started).

Chromium is driven through its DevTools protocol over a pipe (--remote-debugging-pipe: the browser
reads commands on its descriptor 3 and answers on 4, each message JSON ended by a NUL), so neither a
WebDriver nor a WebSocket library is needed. scripts/web-playthrough plays the game with it."""

import argparse
import base64
import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time


def find_chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


class BrowserError(Exception):
    pass


class Browser:
    def __init__(self, width=1024, height=768, extra_flags=()):
        self.profile = tempfile.mkdtemp(prefix="halvern-chromium-")
        to_browser_r, self._to_browser = os.pipe()
        self._from_browser, from_browser_w = os.pipe()
        flags = [
            find_chromium() or "chromium",
            "--headless=new",
            "--remote-debugging-pipe",
            f"--user-data-dir={self.profile}",
            f"--window-size={width},{height}",
            # WebGL 2 on the CPU: no GPU or display is needed.
            "--use-gl=angle",
            "--use-angle=swiftshader",
            "--enable-unsafe-swiftshader",
            "--ignore-gpu-blocklist",
            "--autoplay-policy=user-gesture-required",
            "--no-first-run",
            "--no-default-browser-check",
            "--disable-extensions",
            "--disable-background-timer-throttling",
            "--disable-renderer-backgrounding",
            "--disable-backgrounding-occluded-windows",
            "--lang=en-US",
            *extra_flags,
        ]
        if os.geteuid() == 0:
            flags.append("--no-sandbox")  # Chromium refuses root otherwise (CI runs as root).
        flags.append("about:blank")

        def descriptors():
            # Moved out of the way first: either end may itself be descriptor 3 or 4.
            os.dup2(to_browser_r, 100)
            os.dup2(from_browser_w, 101)
            os.dup2(100, 3)
            os.dup2(101, 4)

        self.log = open(os.path.join(self.profile, "chromium.log"), "wb")
        self.process = subprocess.Popen(flags, stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log,
                                        preexec_fn=descriptors, pass_fds=(3, 4))
        os.close(to_browser_r)
        os.close(from_browser_w)
        self._buffer = b""
        self._next_id = 0
        self.events = []
        self.console = []
        targets = self.call("Target.getTargets")["targetInfos"]
        page = next(t for t in targets if t["type"] == "page")
        self.session = self.call("Target.attachToTarget", targetId=page["targetId"], flatten=True)["sessionId"]
        for domain in ("Page", "Runtime"):
            self.call(f"{domain}.enable", session=True)

    def _read_message(self, deadline):
        while b"\0" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self._from_browser], [], [], left)[0]:
                raise BrowserError("the browser did not answer in time")
            chunk = os.read(self._from_browser, 1 << 16)
            if not chunk:
                raise BrowserError("the browser closed its pipe (see its log in " + self.profile + ")")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, session=False, timeout=60, **params):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = self.session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            answer = self._read_message(deadline)
            if answer.get("id") == self._next_id:
                if "error" in answer:
                    raise BrowserError(f"{method}: {answer['error'].get('message')}")
                return answer.get("result", {})
            self._note_event(answer)

    def _note_event(self, event):
        method = event.get("method", "")
        if method == "Runtime.consoleAPICalled":
            args = event["params"].get("args", [])
            self.console.append(" ".join(str(a.get("value", a.get("description", ""))) for a in args))
        elif method == "Runtime.exceptionThrown":
            details = event["params"]["exceptionDetails"]
            self.console.append("exception: " + details.get("exception", {}).get("description", details["text"]))

    def evaluate(self, expression, timeout=60):
        """The value of a JavaScript expression in the page (promises awaited)."""
        result = self.call("Runtime.evaluate", session=True, timeout=timeout, expression=expression,
                           awaitPromise=True, returnByValue=True)
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            raise BrowserError(details.get("exception", {}).get("description", details["text"]))
        return result["result"].get("value")

    def before_load(self, source):
        """Runs SOURCE in every page loaded from now on, before the page's own scripts."""
        return self.call("Page.addScriptToEvaluateOnNewDocument", session=True, source=source)["identifier"]

    def forget_before_load(self, identifier):
        self.call("Page.removeScriptToEvaluateOnNewDocument", session=True, identifier=identifier)

    def navigate(self, url):
        self.call("Page.navigate", session=True, url=url)

    def reload(self):
        self.call("Page.reload", session=True)

    def wait_for(self, expression, timeout, poll=0.25):
        """Polls EXPRESSION until it is truthy; returns its value, or None when TIMEOUT passes."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:
                value = self.evaluate(expression)
            except BrowserError:  # the page is between documents
                value = None
            if value:
                return value
            time.sleep(poll)
        return None

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", session=True, type=kind, x=x, y=y, button="left", clickCount=1)

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", session=True, format="png")["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def close(self):
        try:
            self.call("Browser.close", timeout=10)
        except (BrowserError, OSError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self._to_browser)
        os.close(self._from_browser)
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("url")
    parser.add_argument("out")
    parser.add_argument("--size", default="1024x768")
    parser.add_argument("--state", default="running")
    parser.add_argument("--seconds", type=float, default=3)
    options = parser.parse_args()
    width, height = (int(v) for v in options.size.split("x"))
    browser = Browser()
    try:
        browser.call("Emulation.setDeviceMetricsOverride", session=True, width=width, height=height,
                     deviceScaleFactor=1, mobile=False)
        browser.navigate(options.url)
        state = browser.wait_for(f"document.documentElement.dataset.state == {json.dumps(options.state)}", 300)
        if state is None:
            print(f"chromium_page: the page never said {options.state}", file=sys.stderr)
        time.sleep(options.seconds)
        browser.screenshot(options.out)
        print("\n".join(browser.console))
    finally:
        browser.close()
    return 0 if state else 1


if __name__ == "__main__":
    sys.exit(main())
