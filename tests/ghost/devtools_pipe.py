"""Headless Chromium driven over the DevTools protocol on a pipe (--remote-debugging-pipe: the browser reads
commands on its descriptor 3 and writes replies and events on 4, each message JSON ended by a NUL byte).
Standard library only. One page, with everything it logs and every request it makes recorded."""
import base64
import fcntl
import json
import os
import shutil
import subprocess
import tempfile
import time

# What the browser does of its own accord (updates, sync, lookups of its maker's hosts) is switched off: the
# page under test must be the only thing that could make a request.
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--remote-debugging-pipe"]


def find_chromium():
    return shutil.which("chromium") or shutil.which("chromium-browser")


class Browser:
    def __init__(self, chromium, width=1280, height=900, timeout=60.0):
        self.timeout = timeout
        self.profile = tempfile.mkdtemp(prefix="lumaro-chromium-")
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()
        # Out of the way of 3 and 4, which the child gets them as.
        high = [fcntl.fcntl(fd, fcntl.F_DUPFD, 10) for fd in (to_browser_read, from_browser_write)]

        def descriptors():
            os.dup2(high[0], 3)
            os.dup2(high[1], 4)

        self.process = subprocess.Popen(
            [chromium, *FLAGS, f"--user-data-dir={self.profile}", f"--window-size={width},{height}", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            pass_fds=(3, 4), preexec_fn=descriptors)
        for fd in (to_browser_read, from_browser_write, *high):
            os.close(fd)
        self._buffer = b""
        self._next_id = 0
        self.events = []
        page = next(t for t in self.command("Target.getTargets")["targetInfos"] if t["type"] == "page")
        self.session = self.command("Target.attachToTarget", targetId=page["targetId"], flatten=True)["sessionId"]
        for domain in ("Page", "Runtime", "Log", "Network"):
            self.page(domain + ".enable")
        self.page("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=1,
                  mobile=False)

    def close(self):
        try:
            self.command("Browser.close")
        except Exception:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self._to_browser)
        os.close(self._from_browser)
        shutil.rmtree(self.profile, ignore_errors=True)

    def _read_message(self, deadline):
        while b"\0" not in self._buffer:
            if time.monotonic() > deadline:
                raise TimeoutError("no answer from the browser")
            chunk = os.read(self._from_browser, 1 << 20)
            if not chunk:
                raise RuntimeError("the browser closed its pipe")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def command(self, method, session=None, **params):
        self._next_id += 1
        request = {"id": self._next_id, "method": method, "params": params}
        if session:
            request["sessionId"] = session
        os.write(self._to_browser, json.dumps(request).encode() + b"\0")
        deadline = time.monotonic() + self.timeout
        while True:
            message = self._read_message(deadline)
            if message.get("id") == self._next_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message.get("result", {})
            if "method" in message:
                self.events.append(message)

    def page(self, method, **params):
        return self.command(method, session=self.session, **params)

    def wait_for(self, method):
        deadline = time.monotonic() + self.timeout
        while not any(e["method"] == method for e in self.events):
            self.events.append(self._read_message(deadline))

    def open(self, url):
        """Loads the page and waits for its load event; what was recorded before is forgotten."""
        self.events = []
        self.page("Page.navigate", url=url)
        self.wait_for("Page.loadEventFired")

    def evaluate(self, expression):
        result = self.page("Runtime.evaluate", expression=expression, returnByValue=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def evaluate_until(self, expression, expected, seconds=10.0):
        """The expression's value once it equals expected, or its last value after `seconds`: for what the page
        does a moment after an input (a dialog's close event comes after the key that closed it)."""
        deadline = time.monotonic() + seconds
        while True:
            value = self.evaluate(expression)
            if value == expected or time.monotonic() > deadline:
                return value
            time.sleep(0.02)

    def press(self, key, code, key_code, shift=False, text=None):
        modifiers = 8 if shift else 0
        down = {"type": "keyDown", "key": key, "code": code, "windowsVirtualKeyCode": key_code,
                "modifiers": modifiers}
        if text:
            down["text"] = text
        self.page("Input.dispatchKeyEvent", **down)
        self.page("Input.dispatchKeyEvent", type="keyUp", key=key, code=code, windowsVirtualKeyCode=key_code,
                  modifiers=modifiers)

    def screenshot(self, path, scale=1.0):
        params = {"format": "png"}
        if scale != 1.0:
            size = self.evaluate("[document.documentElement.clientWidth, document.documentElement.clientHeight]")
            params["clip"] = {"x": 0, "y": 0, "width": size[0], "height": size[1], "scale": scale}
        with open(path, "wb") as out:
            out.write(base64.b64decode(self.page("Page.captureScreenshot", **params)["data"]))

    def complaints(self):
        """Every console error or warning, uncaught exception and log entry of level error or warning."""
        found = []
        for event in self.events:
            method, params = event["method"], event.get("params", {})
            if method == "Runtime.consoleAPICalled" and params["type"] in ("error", "warning", "assert"):
                found.append(f"console {params['type']}: {params.get('args')}")
            elif method == "Runtime.exceptionThrown":
                found.append(f"exception: {params['exceptionDetails']}")
            elif method == "Log.entryAdded" and params["entry"]["level"] in ("error", "warning"):
                found.append(f"log {params['entry']['level']}: {params['entry'].get('text')}")
        return found

    def requests(self):
        return [e["params"]["request"]["url"] for e in self.events if e["method"] == "Network.requestWillBeSent"]
