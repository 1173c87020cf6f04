#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The Windows program's window under Wine and Xvfb, driven as a user drives it.

    window_e2e.py <program.exe> <window_reader.exe> <source dir> <work dir> [<Linux program>]

xdotool clicks; the boxes are read from outside the program through the
standard controls, as a screen reader reads them, each box named by the
label before it. Gather Info fills the boxes as the Linux window does for the
same machine description; Help > About opens one box, which OK closes; the
close box ends the program.
"""

import http.server
import json
import os
import subprocess
import sys
import threading
import time

from wine_session import Session

program, reader, source, work = (os.path.abspath(a) for a in sys.argv[1:5])
linux = os.path.abspath(sys.argv[5]) if len(sys.argv) > 5 and sys.argv[5] else None
session = Session(source, work)
check = session.check
machines = os.path.join(source, "tests", "data", "machines")
title = "Quarn Network Information"
captions = {"Operating System:": "operating_system", "Serial Number:": "serial_number", "OS Version:": "os_version",
            "Memory Chips:": "memory_chips", "CPU:": "cpu", "Clocked Speed:": "clocked_speed",
            "Network Address:": "network_address", "Internet Address:": "internet_address",
            "Subnet Mask:": "subnet_mask", "Mac Address:": "mac_address"}


def windows(prefix):
    """The program's visible top-level windows; none once it has ended."""
    run = session.run(prefix, reader, title)
    return json.loads(run.stdout) if run.returncode == 0 else []


def wait_for(what, prefix, condition, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        seen = windows(prefix)
        if condition(seen):
            return seen
        time.sleep(0.2)
    raise AssertionError("waited %d s for %s; last seen: %s" % (seconds, what, [w["text"] for w in seen]))


def named(seen, window_class):
    return [w for w in seen if w["class"] == window_class]


def click(x, y):
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)


def centre(control):
    left, top, right, bottom = control["rect"]
    return (left + right) // 2, (top + bottom) // 2


def control(window, window_class, text):
    return next(c for c in window["controls"] if c["class"] == window_class and c["text"] == text)


def boxes(window):
    """Each visible box by the caption of the label before it."""
    shown, label = {}, None
    for c in window["controls"]:
        if c["class"] == "Static" and c["text"] in captions:
            label = c["text"]
        elif c["class"] == "Edit" and label and c["visible"]:
            shown[captions[label]], label = c["text"], None
    return shown


def expected(name):
    """What the Linux program shows for the machine, as its report gives it."""
    env = dict(os.environ, QNI_MACHINE=os.path.join(machines, name))
    command = [linux, "--json"] if linux else [session.wine_run, program, "--json"]
    facts = json.loads(subprocess.run(command, env=env, capture_output=True, timeout=120).stdout)
    facts["memory_chips"] = "".join(line + "\r\n" for line in facts["memory_chips"])
    return facts


def gather(name, status):
    prefix = session.prefix("prefix-winxp64", "winxp64")
    process = session.start(prefix, program, env={"QNI_MACHINE": os.path.join(machines, name)})
    try:
        main = named(wait_for("the main window", prefix, lambda seen: named(seen, "frmMAin")), "frmMAin")[0]
        click(*centre(control(main, "Button", "Gather Info")))
        if status == "This is not a version of Windows XP!":
            # The refusal's message box: its caption, its text and OK alone, no icon.
            seen = wait_for("the message box", prefix, lambda seen: named(seen, "#32770"))
            box = named(seen, "#32770")[0]
            shown = sorted((c["class"], c["text"]) for c in box["controls"] if c["visible"] and (c["text"] or c["icon"]))
            check(box["text"] == title and shown == [("Button", "OK"), ("Static", status)],
                  "%s: the message box %r %r" % (name, box["text"], shown))
            click(*centre(control(box, "Button", "OK")))
        seen = wait_for("the status line's last text", prefix,
                        lambda seen: any(c["text"] == status for w in named(seen, "frmMAin") for c in w["controls"]))
        shown, facts = boxes(named(seen, "frmMAin")[0]), expected(name)
        machine = json.load(open(os.path.join(machines, name)))
        for member in captions.values():
            if member == "mac_address" and "commands" not in machine:
                continue  # each system's own ipconfig answers
            check(shown.get(member) == facts[member], "%s: %s shows %r, as on Linux %r" % (name, member, shown.get(member), facts[member]))
    finally:
        process.kill()
        process.wait()


def about_and_close():
    prefix = session.prefix("prefix-winxp64", "winxp64")
    process = session.start(prefix, program, env={"QNI_MACHINE": os.path.join(machines, "xp-sp3.json")})
    try:
        main = named(wait_for("the main window", prefix, lambda seen: named(seen, "frmMAin")), "frmMAin")[0]
        left, top, bottom = main["menuBar"]
        for _ in range(2):  # twice: still one box
            click(left + 15, (top + bottom) // 2)
            time.sleep(0.3)
            subprocess.run(["xdotool", "key", "Down", "Return"], check=True)
            seen = wait_for("the About box", prefix, lambda seen: named(seen, "frmAbout"))
        time.sleep(0.5)
        seen = windows(prefix)
        check(len(named(seen, "frmAbout")) == 1, "one About box, not %d" % len(named(seen, "frmAbout")))
        about = named(seen, "frmAbout")[0]
        check(any(c["text"] == "https://www.quarn.example/" for c in about["controls"]), "the maker's link")
        click(*centre(control(about, "Button", "OK")))
        wait_for("the About box to close", prefix, lambda seen: named(seen, "frmMAin") and not named(seen, "frmAbout"))
        click(*main["closeBox"])
        try:
            check(process.wait(timeout=10) == 0, "the program ends with status 0 when its window is closed")
        except subprocess.TimeoutExpired:
            check(False, "the program ends when its window is closed")
    finally:
        process.kill()
        process.wait()


class SilentPage(http.server.BaseHTTPRequestHandler):
    """Takes the request and answers nothing until the test ends."""
    asked = threading.Event()

    def do_GET(self):
        SilentPage.asked.set()
        time.sleep(30)

    def log_message(self, *args):
        pass


def close_during_the_fetch():
    # The XP machine without its page: the page is fetched for real, from a
    # server that never answers.
    machine = json.load(open(os.path.join(machines, "xp-sp3.json")))
    del machine["publicPage"]
    described = os.path.join(work, "xp-sp3-fetching.json")
    json.dump(machine, open(described, "w"))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), SilentPage)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    prefix = session.prefix("prefix-winxp64", "winxp64")
    process = session.start(prefix, program, "--public-page", "http://127.0.0.1:%d/" % server.server_address[1],
                            env={"QNI_MACHINE": described})
    try:
        main = named(wait_for("the main window", prefix, lambda seen: named(seen, "frmMAin")), "frmMAin")[0]
        click(*centre(control(main, "Button", "Gather Info")))
        check(SilentPage.asked.wait(30), "the page is asked for")
        # While the fetch waits the window still paints and reads back.
        seen = windows(prefix)
        check(boxes(named(seen, "frmMAin")[0]).get("mac_address") == "00-0C-29-4F-1A-2B", "the boxes filled so far")
        click(*main["closeBox"])
        began = time.monotonic()
        try:
            check(process.wait(timeout=10) == 0, "closed during the fetch, the program ends with status 0")
            check(time.monotonic() - began < 3, "and at once, not when the fetch gives up")
        except subprocess.TimeoutExpired:
            check(False, "the program ends when its window is closed during the fetch")
    finally:
        process.kill()
        process.wait()
        server.shutdown()


sys.exit(session.steps(lambda: gather("xp-sp3.json", "Information Gathered Successfully!"),
                       lambda: gather("vista.json", "This is not a version of Windows XP!"),
                       lambda: gather("nothing-works.json", "Information Gathered With Errors!"),
                       about_and_close, close_during_the_fetch))
