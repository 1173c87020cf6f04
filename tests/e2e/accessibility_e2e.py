#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The real window as a screen reader meets it: read and driven only through
the desktop's accessibility bus (AT-SPI), on a private X server, session bus
and accessibility bus that the test starts and ends itself.

usage: accessibility_e2e.py PROGRAM MACHINE_JSON   (MACHINE_JSON: xp-sp3.json)
"""

import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

# The described machine's facts, by the caption of the box that shows them,
# in window order.
EXPECTED = {
    'Operating System': 'Windows Xp Service Pack 3 Build 2600',
    'Serial Number': '76487-OEM-0011903-00102',
    'OS Version': '5.1.2600',
    'Memory Chips': '512 MB Chip\n512 MB Chip\n',
    'CPU': '               Intel(R) Pentium(R) 4 CPU 3.00GHz',
    'Clocked Speed': '2992 Mhz',
    'Network Address': '192.168.1.10',
    'Internet Address': '81.2.3.4',
    'Subnet Mask': '255.255.255.0',
    'Mac Address': '00-0C-29-4F-1A-2B',
}
TITLE = 'Quarn Network Information'
GATHERED = 'Information Gathered Successfully!'
HIDDEN_CAPTION = 'ipconfig /all'
DEADLINE = 15.0  # seconds for any one wait

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print('FAIL:', what, flush=True)
    return ok


class Session:
    """Xvfb, a session bus and the accessibility bus launcher. The test is
    the subreaper of everything they start, so the accessibility bus and the
    registry, which outlive their parents, end with it too."""

    def __init__(self):
        ctypes.CDLL(None, use_errno=True).prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER
        self.procs = []

    def open(self, tmp):
        read_end, write_end = os.pipe()
        self.start(['Xvfb', '-displayfd', str(write_end), '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                   pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as display:
            number = display.readline().strip()
        if not number:
            raise RuntimeError('Xvfb did not start')
        os.environ['DISPLAY'] = ':' + number
        bus = self.start(['dbus-daemon', '--session', '--nofork', '--print-address=1'], stdout=subprocess.PIPE)
        os.environ['DBUS_SESSION_BUS_ADDRESS'] = bus.stdout.readline().decode().strip()
        os.environ.pop('AT_SPI_BUS_ADDRESS', None)
        os.environ['XDG_RUNTIME_DIR'] = tmp
        self.start(['/usr/libexec/at-spi-bus-launcher', '--launch-immediately'])

    def start(self, argv, **kwargs):
        kwargs.setdefault('stdout', subprocess.DEVNULL)
        proc = subprocess.Popen(argv, stderr=subprocess.DEVNULL, **kwargs)
        self.procs.append(proc)
        return proc

    def end(self):
        for proc in reversed(self.procs):
            proc.terminate()
            try:
                proc.wait(5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
        # Whatever was handed to us as orphans: end it and reap it.
        me = os.getpid()
        for entry in os.listdir('/proc'):
            try:
                with open(f'/proc/{entry}/stat') as f:
                    stat = f.read()
                if int(stat.rsplit(')', 1)[1].split()[1]) == me:
                    os.kill(int(entry), signal.SIGTERM)
            except (OSError, ValueError, IndexError):
                pass
        deadline = time.time() + 5
        while time.time() < deadline:
            try:
                if os.waitpid(-1, os.WNOHANG) == (0, 0):
                    time.sleep(0.05)
            except ChildProcessError:
                break


def give_up(signum, frame):
    raise TimeoutError(f'stopped by signal {signum}')


def in_session(test, seconds, prefix):
    """Runs test(tmp, session) on a private X server and buses, within
    `seconds`, and prints the closing line; 1 when a check failed."""
    # Stopped from outside or running too long: the daemons still end.
    signal.signal(signal.SIGTERM, give_up)
    signal.signal(signal.SIGALRM, give_up)
    signal.alarm(seconds)
    tmp = tempfile.mkdtemp(prefix=prefix)
    session = Session()
    try:
        session.open(tmp)
        test(tmp, session)
    except (TimeoutError, RuntimeError) as error:
        check(False, str(error))
    finally:
        signal.alarm(0)
        session.end()
        shutil.rmtree(tmp, ignore_errors=True)
    print(f'{1 if not failures else 0} passed, {1 if failures else 0} failed')
    return 1 if failures else 0


def main(program, machine):
    return in_session(lambda tmp, session: run(program, machine, tmp, session), 50, 'qni-a11y-')


def run(program, machine, tmp, session):
    # After the buses are up: the library connects when imported.
    import pyatspi
    from gi.repository import GLib

    events = []
    listen = lambda event: events.append(event)
    for kind in ('object:property-change:accessible-name', 'object:state-changed:showing', 'window:activate'):
        pyatspi.Registry.registerEventListener(listen, kind)

    def pump_until(condition, what):
        deadline = time.time() + DEADLINE
        context = GLib.MainContext.default()
        while True:
            while context.pending():
                context.iteration(False)
            result = condition()
            if result or time.time() > deadline:
                check(result, f'within {DEADLINE:.0f} s: {what}')
                return result
            time.sleep(0.02)

    def descendants(root):
        for child in root:
            if child is None:
                continue
            yield child
            yield from descendants(child)

    def role(obj):
        return obj.getRoleName()

    def showing(obj):
        return obj.getState().contains(pyatspi.STATE_SHOWING)

    def press(obj):
        action = obj.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if check('Press' in names, f'{role(obj)} "{obj.name}" offers Press (offers {names})'):
            action.doAction(names.index('Press'))

    def event_from(kind, role_name, name):
        for event in events:
            try:
                if event.type == kind and role(event.source) == role_name and event.source.name == name:
                    return event
            except Exception:  # a source already gone
                pass
        return None

    def targets(obj, relation):
        return [rel.getTarget(i) for rel in obj.getRelationSet() if rel.getRelationType() == relation
                for i in range(rel.getNTargets())]

    # A stand-in for the desktop's URL opener: it notes the address.
    opened = os.path.join(tmp, 'opened')
    bin_dir = os.path.join(tmp, 'bin')
    os.mkdir(bin_dir)
    for opener in ('xdg-open', 'browser'):
        path = os.path.join(bin_dir, opener)
        with open(path, 'w') as f:
            f.write(f'#!/bin/sh\nprintf "%s\\n" "$*" >> "{opened}"\n')
        os.chmod(path, 0o755)
    env = dict(os.environ, QNI_MACHINE=machine, QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1', QT_QPA_PLATFORM='xcb',
               PATH=bin_dir + os.pathsep + os.environ.get('PATH', ''), BROWSER=os.path.join(bin_dir, 'browser'))
    session.start([program], env=env)

    def find_window():
        for app in pyatspi.Registry.getDesktop(0):
            for window in app or []:
                try:
                    if window is not None and role(window) == 'frame' and window.name == TITLE and showing(window):
                        return app, window
                except Exception:  # a window listed a moment before it went
                    pass
        return None

    found = pump_until(find_window, f'the window "{TITLE}" shows on the accessibility bus')
    if not found:
        return
    app, window = found

    # Names and relations: each box named by its own label.
    everything = list(descendants(window))
    boxes = [o for o in everything if role(o) == 'text' and showing(o)]
    check([b.name for b in boxes] == list(EXPECTED),
          f'the showing boxes are named by their captions in window order: {[b.name for b in boxes]}')
    for box in boxes:
        labels = targets(box, pyatspi.RELATION_LABELLED_BY)
        check(labels and role(labels[0]) == 'label' and labels[0].name == box.name + ':',
              f'"{box.name}" is labelled first by its own label (by {[l.name for l in labels]})')
        if labels:
            check(any(t.name == box.name for t in targets(labels[0], pyatspi.RELATION_LABEL_FOR)),
                  f'the label "{labels[0].name}" is the label for "{box.name}"')

    # Hidden controls stay out of sight; they exist, so the check has teeth.
    hidden = [o for o in everything if role(o) in ('text', 'label') and not showing(o)]
    check(len(hidden) >= 4, f'the hidden boxes and caption are in the tree, not showing ({len(hidden)} found)')
    check(not [o for o in everything if o.name == HIDDEN_CAPTION and showing(o)],
          f'the hidden caption "{HIDDEN_CAPTION}" is not showing')

    # "Gather Info" through its action; the status line says when it is done.
    buttons = [o for o in everything if role(o) == 'push button' and o.name == 'Gather Info']
    if not check(len(buttons) == 1, 'one "Gather Info" button'):
        return
    press(buttons[0])
    pump_until(lambda: event_from('object:property-change:accessible-name', 'status bar', GATHERED),
               f'the status line announces its new name "{GATHERED}"')
    pump_until(lambda: event_from('object:state-changed:showing', 'notification', GATHERED),
               f'a notification "{GATHERED}" appears for screen readers')
    status = [o for o in descendants(window) if role(o) == 'status bar']
    if check(len(status) == 1, 'one status line'):
        check(status[0].description == '', 'no unavailable facts are described on this machine')

    # Each box read by its accessible name.
    for caption, value in EXPECTED.items():
        named = [o for o in descendants(window) if o.name == caption and role(o) == 'text']
        if check(len(named) == 1, f'one box named "{caption}"'):
            text = named[0].queryText()
            check(text.getText(0, -1) == value, f'"{caption}" reads {text.getText(0, -1)!r}, expected {value!r}')

    # Help > About through the menu item's action, then the link and OK.
    about_items = [o for o in descendants(window) if role(o) == 'menu item' and o.name == 'About']
    if not check(len(about_items) == 1, 'one Help > About menu item'):
        return
    events.clear()
    press(about_items[0])
    if not pump_until(lambda: event_from('window:activate', 'dialog', 'About'), 'the About dialog is announced'):
        return
    dialog = event_from('window:activate', 'dialog', 'About').source
    parts = list(descendants(dialog))
    texts = [o.name for o in parts if role(o) in ('label', 'link')]
    check(dialog.description.split('\n') == texts and 'Version: 1.0.0' in texts,
          f'the dialog describes its lines {texts}: {dialog.description!r}')
    check([o.name for o in parts if o.getState().contains(pyatspi.STATE_FOCUSABLE)] == ['OK'],
          'OK is the only focusable control of the About box')
    links = [o for o in parts if role(o) == 'link']
    if check(len(links) == 1, 'one link in the About box'):
        address = links[0].name
        press(links[0])
        read = lambda: open(opened).read() if os.path.exists(opened) else ''
        pump_until(lambda: read() == address + '\n', f'the link action opens {address} once (opened: {read()!r})')
    ok = [o for o in parts if role(o) == 'push button' and o.name == 'OK']
    if check(len(ok) == 1, 'one OK button'):
        press(ok[0])

        def about_open():
            for w in app:
                try:
                    if w is not None and role(w) == 'dialog' and w.name == 'About':
                        return True
                except Exception:  # listed a moment before it went
                    pass
            return False

        pump_until(lambda: not about_open(), 'OK closes the About box')


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:3]))
