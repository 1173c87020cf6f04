# SPDX-License-Identifier: MIT
"""What the Windows end-to-end tests share: Wine prefixes, runs and checks."""

import os
import subprocess
import sys


class Session:
    def __init__(self, source, work):
        self.source, self.work = source, work
        self.wine_run = os.path.join(source, "scripts", "wine-run.sh")
        self.failures = []

    def check(self, condition, what):
        if not condition:
            self.failures.append(what)
            print("FAILED:", what, file=sys.stderr)
        return condition

    def prefix(self, name, version):
        """A prefix of the build's own, made once."""
        path = os.path.join(self.work, name)
        if not os.path.exists(os.path.join(path, "system.reg")):
            subprocess.run([os.path.join(self.source, "scripts", "wine-prefix.sh"), path, version], check=True)
        return path

    def environment(self, prefix, env=None):
        environment = dict(os.environ, WINEPREFIX=prefix)
        environment.pop("QNI_MACHINE", None)
        environment.update(env or {})
        return environment

    def run(self, prefix, *args, cwd=None, env=None):
        return subprocess.run([self.wine_run, *args], cwd=cwd, env=self.environment(prefix, env),
                              capture_output=True, timeout=120)

    def start(self, prefix, *args, env=None):
        return subprocess.Popen([self.wine_run, *args], env=self.environment(prefix, env),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def steps(self, *steps):
        """Runs each step; one step's breakage does not hide the others'. The exit status."""
        for step in steps:
            try:
                step()
            except Exception as e:
                self.check(False, "%s: %r" % (step.__name__, e))
        return 1 if self.failures else 0
