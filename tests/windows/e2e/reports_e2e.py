#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The Windows program's reports under Wine, without a window.

    reports_e2e.py <program.exe> <xp-layout ipconfig.exe> <source dir> <work dir> [<Linux program>]

On a prefix set to Windows XP (with the BuildLab that Wine does not write),
the facts come from Wine's own services; on Wine's default prefix, which
presents Windows 7, the program refuses; on every described machine the JSON
report is the Linux program's, byte for byte.
"""

import http.server
import json
import os
import re
import shutil
import subprocess
import sys
import threading

from wine_session import Session

program, ipconfig, source, work = (os.path.abspath(a) for a in sys.argv[1:5])
linux = os.path.abspath(sys.argv[5]) if len(sys.argv) > 5 and sys.argv[5] else None
session = Session(source, work)
check, prefix, wine = session.check, session.prefix, session.run


def registry(prefix_dir, key, value):
    out = wine(prefix_dir, "reg", "query", key, "/v", value).stdout.decode("utf-8", "replace")
    match = re.search(re.escape(value) + r"\s+REG_\w+\s+(.*)", out)
    return match.group(1).strip() if match else None


class Page(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        body = b"81.2.3.4"
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def on_xp():
    xp = prefix("prefix-winxp64", "winxp64")
    # cmd looks in the current folder first: there the XP layout answers.
    folder = os.path.join(work, "xp-run")
    os.makedirs(folder, exist_ok=True)
    shutil.copy(ipconfig, os.path.join(folder, "ipconfig.exe"))
    server = http.server.HTTPServer(("127.0.0.1", 0), Page)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    page = "http://127.0.0.1:%d/" % server.server_address[1]
    run = wine(xp, program, "--json", "--public-page", page, cwd=folder)
    server.shutdown()
    check(run.returncode == 0, "the XP prefix's report exits 0, not %d: %s" % (run.returncode, run.stderr))
    facts = json.loads(run.stdout)
    key = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion"
    csd, build = registry(xp, key, "CSDVersion"), registry(xp, key, "CurrentBuildNumber")
    check(facts["operating_system"] == "Windows Xp %s Build %s" % (csd, build),
          "the OS line from Wine's registry: %r" % facts["operating_system"])
    wmic = wine(xp, "wmic", "os", "get", "version").stdout.decode("utf-16", "replace").split()
    check(facts["os_version"] in wmic and re.fullmatch(r"5\.\d+\.\d+", facts["os_version"]),
          "the version from Wine's management service: %r in %r" % (facts["os_version"], wmic))
    check(facts["serial_number"] != "", "a serial number")
    check(facts["memory_chips"] and all(re.fullmatch(r"\d+(\.\d+)? MB Chip", c) for c in facts["memory_chips"]),
          "memory lines: %r" % facts["memory_chips"])
    name = registry(xp, r"HKLM\HARDWARE\DESCRIPTION\System\CentralProcessor\0", "ProcessorNameString")
    check(facts["cpu"].strip() == name, "the processor's name from the registry: %r, %r" % (facts["cpu"], name))
    check(re.fullmatch(r"\d+ Mhz", facts["clocked_speed"]), "the clock: %r" % facts["clocked_speed"])
    check(re.fullmatch(r"\d+\.\d+\.\d+\.\d+", facts["network_address"]), "the local address: %r" % facts["network_address"])
    # Wine lists prefix lengths of IPv6 addresses among the masks; XP never does.
    check(re.search(r"\b255\.\d+\.\d+\.\d+\b", facts["subnet_mask"]), "a subnet mask: %r" % facts["subnet_mask"])
    check(facts["mac_address"] == "00-0C-29-4F-1A-2B", "the MAC from the XP layout: %r" % facts["mac_address"])
    check(facts["internet_address"] == "81.2.3.4", "the page's address: %r" % facts["internet_address"])
    check(facts["status"] == "Information Gathered Successfully!", "the status: %r %r" % (facts["status"], facts["reasons"]))


def on_seven():
    seven = prefix("prefix-default", "default")
    run = wine(seven, program, "--report", "--public-page", "")
    check(run.returncode == 3, "Windows 7 refused with status 3, not %d" % run.returncode)
    check(b"This is not a version of Windows XP!" in run.stderr, "the refusal on standard error: %r" % run.stderr)
    check(b"Operating System: Not XP!" in run.stdout, "the report's OS line: %r" % run.stdout[:80])


def described():
    xp = prefix("prefix-winxp64", "winxp64")
    machines = os.path.join(source, "tests", "data", "machines")
    for name in sorted(os.listdir(machines)):
        env = {"QNI_MACHINE": os.path.join(machines, name)}
        windows = wine(xp, program, "--json", env=env)
        if linux is None:
            check(windows.returncode in (0, 3) and json.loads(windows.stdout), name + ": a report")
            continue
        ours = subprocess.run([linux, "--json"], env=dict(os.environ, **env), capture_output=True, timeout=120)
        check(windows.returncode == ours.returncode, "%s: status %d as on Linux %d" % (name, windows.returncode, ours.returncode))
        mine, theirs = json.loads(windows.stdout), json.loads(ours.stdout)
        if "commands" not in json.load(open(env["QNI_MACHINE"])):
            # The command is not described: each system's own ipconfig answers.
            for facts in (mine, theirs):
                facts["mac_address"] = ""
                facts["unavailable"] = [f for f in facts["unavailable"] if f != "mac_address"]
                facts["reasons"].pop("mac_address", None)
            check(mine == theirs, name + ": the JSON report as on Linux, the MAC aside")
        else:
            check(windows.stdout == ours.stdout, name + ": the JSON report byte for byte as on Linux")


sys.exit(session.steps(on_xp, on_seven, described))
