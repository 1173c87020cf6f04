#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Ansible fact and playbook as `cmake --install` lays them out, run by a
# real ansible against this machine, with the installed program on described
# machines and no display.
#   ansible_test.sh BUILD_DIR MACHINES_DIR
set -euo pipefail
build=$1 machines=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
program=$work/prefix/bin/quarn-network-information
shipped=$work/prefix/share/quarn-network-information/ansible
export ANSIBLE_LOCAL_TEMP=$work/ansible ANSIBLE_NOCOLOR=1 ANSIBLE_PYTHON_INTERPRETER=/usr/bin/python3
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM ComSpec QNI_MACHINE QNI_PROGRAM QNI_FACT_OPTIONS

# 1. ansible_local.quarn through the setup module equals the program's --json.
mkdir "$work/facts"
cp "$shipped/quarn.fact" "$work/facts/"
QNI_MACHINE=$machines/odd-texts.json "$program" --json >"$work/expected.json"
QNI_MACHINE=$machines/odd-texts.json QNI_PROGRAM=$program \
  ansible localhost -c local -i localhost, -m setup -a "fact_path=$work/facts filter=ansible_local" \
  >"$work/adhoc.out"
/usr/bin/python3 - "$work" <<'PY'
import json, sys
work = sys.argv[1]
expected = json.load(open(work + "/expected.json"))
out = open(work + "/adhoc.out").read()
got = json.loads(out[out.index("=>") + 2:])["ansible_facts"]["ansible_local"]["quarn"]
assert got == expected, "ansible_local.quarn differs from --json:\n%r\n%r" % (got, expected)
PY

# 2. The fact prints valid JSON whatever numbers the program's output holds.
cat >"$work/nan-program" <<'SH'
#!/bin/sh
echo '{"cpu": NaN, "clocked_speed": Infinity, "os_version": -Infinity, "memory_chips": [1e400], "status": 1.5}'
SH
chmod +x "$work/nan-program"
QNI_PROGRAM=$work/nan-program "$shipped/quarn.fact" >"$work/nan.json"
/usr/bin/python3 - "$work" <<'PY'
import json, sys
def refuse(name):
    raise ValueError("not JSON: " + name)
got = json.load(open(sys.argv[1] + "/nan.json"), parse_constant=refuse)
assert got == {"cpu": None, "clocked_speed": None, "os_version": None, "memory_chips": [None], "status": 1.5}, got
PY

# 3. The playbook over five hosts: one gathers, one whose processor's name a
#    spreadsheet would run as a formula, one is not XP, one whose settings
#    hold a line break, one fails before its fact is installed. Each row of
#    the CSV says which.
/usr/bin/python3 - "$machines/xp-sp3.json" "$work/formula.json" <<'PY'
import json, sys
machine = json.load(open(sys.argv[1]))
name = next(path for path in machine["registry"] if path.endswith("ProcessorNameString"))
machine["registry"][name] = '=HYPERLINK("http://x","y")'
json.dump(machine, open(sys.argv[2], "w"))
PY
cat >"$work/hosts" <<HOSTS
xp ansible_connection=local quarn_fact_dir=$work/xp quarn_environment='{"QNI_PROGRAM": "$program", "QNI_MACHINE": "$machines/xp-sp3.json"}'
formula ansible_connection=local quarn_fact_dir=$work/formula quarn_environment='{"QNI_PROGRAM": "$program", "QNI_MACHINE": "$work/formula.json"}'
vista ansible_connection=local quarn_fact_dir=$work/vista quarn_environment='{"QNI_PROGRAM": "$program", "QNI_MACHINE": "$machines/vista.json"}'
split ansible_connection=local quarn_fact_dir=$work/split quarn_environment='{"QNI_PROGRAM": "$program", "QNI_MACHINE": "$machines/vista.json\nQNI_MACHINE=$machines/xp-sp3.json"}'
broken ansible_connection=local ansible_python_interpreter=$work/no-python
HOSTS
QNI_MACHINE=$machines/xp-sp3.json "$program" --json >"$work/xp.json"
(cd "$work" && ansible-playbook -i hosts "$shipped/quarn-facts.yml" -e quarn_become=false) >"$work/playbook.log" 2>&1 ||
  true # the broken host fails the run; the table must still come
/usr/bin/python3 - "$work" <<'PY'
import csv, json, os, sys
work = sys.argv[1]
try:
    rows = {row["host"]: row for row in csv.DictReader(open(work + "/quarn-facts.csv", newline=""))}
except FileNotFoundError:
    sys.exit("no table; the playbook said:\n" + open(work + "/playbook.log").read())
assert sorted(rows) == ["broken", "formula", "split", "vista", "xp"], rows
xp = json.load(open(work + "/xp.json"))
for name, value in xp.items():
    if name == "reasons":  # in the fact, not in the table
        continue
    want = "; ".join(value) if name == "memory_chips" else " ".join(value) if isinstance(value, list) else value
    assert rows["xp"][name] == want, (name, rows["xp"][name], want)
assert rows["xp"]["error"] == "", rows["xp"]
assert rows["vista"]["operating_system"] == "Not XP!", rows["vista"]
assert "not a version of Windows XP" in rows["vista"]["error"], rows["vista"]
assert rows["broken"]["error"].startswith("no facts"), rows["broken"]
assert rows["formula"]["cpu"] == "'=HYPERLINK(\"http://x\",\"y\")", rows["formula"]
assert rows["split"]["error"].startswith("no facts"), rows["split"]
assert not os.path.exists(work + "/split/quarn.conf"), open(work + "/split/quarn.conf").read()
assert "no name or value may hold a line break" in open(work + "/playbook.log").read()
PY
echo "ansible fact and playbook: 3 passed, 0 failed"
