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

# 2. The playbook over three hosts: one gathers, one is not XP, one fails
#    before its fact is installed. Each row of the CSV says which.
cat >"$work/hosts" <<HOSTS
xp ansible_connection=local quarn_fact_dir=$work/xp quarn_environment='{"QNI_PROGRAM": "$program", "QNI_MACHINE": "$machines/xp-sp3.json"}'
vista ansible_connection=local quarn_fact_dir=$work/vista quarn_environment='{"QNI_PROGRAM": "$program", "QNI_MACHINE": "$machines/vista.json"}'
broken ansible_connection=local ansible_python_interpreter=$work/no-python
HOSTS
QNI_MACHINE=$machines/xp-sp3.json "$program" --json >"$work/xp.json"
(cd "$work" && ansible-playbook -i hosts "$shipped/quarn-facts.yml" -e quarn_become=false) >"$work/playbook.log" 2>&1 ||
  true # the broken host fails the run; the table must still come
/usr/bin/python3 - "$work" <<'PY'
import csv, json, sys
work = sys.argv[1]
try:
    rows = {row["host"]: row for row in csv.DictReader(open(work + "/quarn-facts.csv", newline=""))}
except FileNotFoundError:
    sys.exit("no table; the playbook said:\n" + open(work + "/playbook.log").read())
assert sorted(rows) == ["broken", "vista", "xp"], rows
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
PY
echo "ansible fact and playbook: 2 passed, 0 failed"
