#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The window stays the user's while a gather waits: during a command that
pauses halfway through its output, and during a page that answers late,
Help > About opens, text typed into a box stays, and another click on
"Gather Info" starts nothing; a close request during the page's wait ends
the program at once, with status 0. Real clicks and keys (xdotool) on the
real program; the boxes are read through the accessibility bus.

usage: input_during_run_e2e.py PROGRAM MACHINE_JSON   (MACHINE_JSON: xp-sp3.json)
"""

import ctypes
import http.server
import json
import os
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from accessibility_e2e import DEADLINE, TITLE, check, in_session  # noqa: E402

GATHERED = 'Information Gathered Successfully!'


class LatePage(http.server.BaseHTTPRequestHandler):
    """Answers once the test lets it: the run waits as long as the test needs."""
    requests = 0
    answer = threading.Event()

    def do_GET(self):
        LatePage.requests += 1
        LatePage.answer.wait(DEADLINE)
        body = b'81.2.3.4'
        self.send_response(200)
        self.send_header('Content-Length', str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def close_window(window):
    """Asks a window to close as a window manager does: WM_DELETE_WINDOW."""
    x = ctypes.CDLL('libX11.so.6')
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x.XFlush.argtypes = x.XCloseDisplay.argtypes = [ctypes.c_void_p]

    class ClientMessage(ctypes.Structure):
        _fields_ = [('type', ctypes.c_int), ('serial', ctypes.c_ulong), ('send_event', ctypes.c_int),
                    ('display', ctypes.c_void_p), ('window', ctypes.c_ulong), ('message_type', ctypes.c_ulong),
                    ('format', ctypes.c_int), ('data', ctypes.c_long * 5)]

    class Event(ctypes.Union):
        _fields_ = [('message', ClientMessage), ('pad', ctypes.c_long * 24)]

    display = x.XOpenDisplay(None)
    event = Event()
    event.message.type = 33  # ClientMessage
    event.message.window = window
    event.message.message_type = x.XInternAtom(display, b'WM_PROTOCOLS', 0)
    event.message.format = 32
    event.message.data[0] = x.XInternAtom(display, b'WM_DELETE_WINDOW', 0)
    x.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    x.XFlush(display)
    x.XCloseDisplay(display)


def main(program, machine):
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), LatePage)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        return in_session(lambda tmp, session: run(program, machine, tmp, session, server.server_address[1]),
                          80, 'qni-input-')
    finally:
        LatePage.answer.set()
        server.shutdown()


def run(program, machine, tmp, session, port):
    import pyatspi

    # The registry up and listening before the program starts: a program that
    # finds no registry yet never shows on the bus.
    pyatspi.Registry.registerEventListener(lambda event: None, 'window:activate')
    pyatspi.Registry.getDesktop(0).childCount

    # The described machine without its command output and page: the real
    # command and the real fetch keep the run waiting.
    with open(machine) as f:
        described = json.load(f)
    ipconfig = described.pop('commands')['ipconfig /all']
    described.pop('publicPage')
    machine = os.path.join(tmp, 'machine.json')
    with open(machine, 'w') as f:
        json.dump(described, f)
    half = ipconfig.index('Physical Address')
    runs = os.path.join(tmp, 'runs')
    halves = [os.path.join(tmp, name) for name in ('first', 'second')]
    for path, text in zip(halves, (ipconfig[:half], ipconfig[half:])):
        with open(path, 'w', newline='') as f:
            f.write(text)
    # The command stops halfway until the test lets it go on.
    go_on = os.path.join(tmp, 'go-on')
    interpreter = os.path.join(tmp, 'cmd')
    with open(interpreter, 'w') as f:
        f.write(f'#!/bin/sh\necho run >> "{runs}"\ncat "{halves[0]}"\n'
                f'while [ ! -e "{go_on}" ]; do sleep 0.05; done\ncat "{halves[1]}"\n')
    os.chmod(interpreter, 0o755)
    env = dict(os.environ, QNI_MACHINE=machine, ComSpec=interpreter, QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1',
               QT_QPA_PLATFORM='xcb', no_proxy='127.0.0.1')
    process = session.start([program, '--public-page', f'http://127.0.0.1:{port}/'], env=env)

    def wait_for(condition, what):
        deadline = time.time() + DEADLINE
        while not condition():
            if time.time() > deadline:
                return check(False, f'within {DEADLINE:.0f} s: {what}')
            time.sleep(0.05)
        return True

    def descendants(root):
        for child in root:
            if child is not None:
                yield child
                yield from descendants(child)

    def quietly(read, default=None):
        try:
            return read()
        except Exception:  # an object that went while it was read
            return default

    def named(root, role, name):
        return [o for o in descendants(root) if quietly(lambda: o.getRoleName() == role and o.name == name, False)]

    def frames(name, role):
        return [w for app in pyatspi.Registry.getDesktop(0) for w in (app or [])
                if quietly(lambda: w.getRoleName() == role and w.name == name, False)]

    def click(obj):
        x, y, width, height = obj.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        subprocess.run(['xdotool', 'mousemove', str(x + width // 2), str(y + height // 2), 'click', '1'], check=True)

    def keys(*argv):
        subprocess.run(['xdotool', *argv], check=True)

    def text_of(caption):
        boxes = named(window, 'text', caption)
        return boxes[0].queryText().getText(0, -1) if boxes else None

    def lines(path):
        return open(path).read().count('\n') if os.path.exists(path) else 0

    if not wait_for(lambda: frames(TITLE, 'frame'), f'the window "{TITLE}" shows'):
        return
    window = frames(TITLE, 'frame')[0]
    gather = named(window, 'push button', 'Gather Info')[0]

    def meddle(box, typed):
        """What a user does while the run waits: opens Help > About, types
        into a box, and presses "Gather Info" again."""
        click(named(window, 'menu item', 'Help')[0])
        about = lambda: [item for item in named(window, 'menu item', 'About')
                         if quietly(lambda: item.getState().contains(pyatspi.STATE_SHOWING), False)]
        if wait_for(about, 'the Help menu opens'):
            click(about()[0])
        wait_for(lambda: len(frames('About', 'dialog')) == 1, 'Help > About shows one About box')
        click(named(window, 'text', box)[0])
        keys('key', 'ctrl+End')
        keys('type', typed)
        wait_for(lambda: (text_of(box) or '').endswith(typed), f'"{typed}" is typed into "{box}"')
        click(gather)

    click(gather)
    # The command has printed its first half and waits.
    if wait_for(lambda: lines(runs) == 1, 'the command runs'):
        meddle('Operating System', ' typed')
    open(go_on, 'w').close()
    # The command has ended; the page answers late.
    if wait_for(lambda: LatePage.requests == 1, 'the page is asked for'):
        meddle('Mac Address', ' typed too')
    LatePage.answer.set()
    wait_for(lambda: quietly(lambda: named(window, 'status bar', GATHERED), []), f'the status reads "{GATHERED}"')

    check(lines(runs) == 1 and LatePage.requests == 1,
          f'one run only: the command ran {lines(runs)} time(s), the page was asked {LatePage.requests} time(s)')
    check(text_of('Memory Chips') == '512 MB Chip\n512 MB Chip\n', f'one run\'s modules: {text_of("Memory Chips")!r}')
    for box, value in (('Operating System', 'Windows Xp Service Pack 3 Build 2600 typed'),
                       ('Mac Address', '00-0C-29-4F-1A-2B typed too'), ('Internet Address', '81.2.3.4')):
        check(text_of(box) == value, f'"{box}" reads {text_of(box)!r}, expected {value!r}')
    check(len(frames('About', 'dialog')) == 1, 'one About box')

    # Another run; closed while its page keeps it waiting.
    LatePage.answer.clear()
    click(gather)
    if not wait_for(lambda: LatePage.requests == 2, 'the second run asks for the page'):
        return
    found = subprocess.run(['xdotool', 'search', '--onlyvisible', '--pid', str(process.pid), '--name', TITLE],
                           capture_output=True, text=True).stdout.split()
    if not check(found, 'the main window is found to close it'):
        return
    asked = time.time()
    close_window(int(found[0]))
    try:
        status = process.wait(5)
        check(status == 0 and time.time() - asked < 1.0,
              f'closing ends the program at once with status 0 (status {status}, {time.time() - asked:.2f} s)')
    except subprocess.TimeoutExpired:
        check(False, 'closing during the page\'s wait ends the program')


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:3]))
