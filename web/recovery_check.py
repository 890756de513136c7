#!/usr/bin/env python3
"""pemar serve stopped with unsaved changes: the case file stays as it was,
the changes go to a recovery copy named in the last line, the next start
points to it, --recover opens it and a Save writes the case and removes it.

Usage: recovery_check.py PEMAR_TOOL WORK_DIR
"""
import json
import os
import shutil
import signal
import subprocess
import sys
import urllib.error
import urllib.request


def start(tool, *args):
    proc = subprocess.Popen([tool, "serve", *args], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)
    address = proc.stdout.readline().strip()
    if not address.startswith("http://127.0.0.1:"):
        proc.kill()
        sys.exit("no address printed: %r %s" % (address, proc.stderr.read()))
    base, token = address.split("/?token=")
    return proc, base, token


def call(base, token, method, path, body=None):
    data = None if body is None else json.dumps(body).encode()
    request = urllib.request.Request(base + path, data=data, method=method)
    request.add_header("Authorization", "Bearer " + token)
    if data is not None:
        request.add_header("Content-Type", "application/json")
    try:
        with urllib.request.urlopen(request, timeout=10) as reply:
            return reply.status, json.loads(reply.read() or b"{}")
    except urllib.error.HTTPError as error:
        return error.code, json.loads(error.read() or b"{}")


def stop(proc):
    proc.send_signal(signal.SIGINT)
    out, err = proc.communicate(timeout=30)
    return proc.returncode, out, err


def check(condition, what):
    if not condition:
        sys.exit("FAILED: " + what)


def main():
    tool, work = sys.argv[1], sys.argv[2]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    case = os.path.join(work, "plant.kcs")
    recovery = os.path.join(work, "plant.recovered.kcs")

    proc, base, token = start(tool, "--new", case)
    check(call(base, token, "POST", "/api/save", {})[0] == 200, "first save")
    with open(case, "rb") as f:
        saved = f.read()
    status, _ = call(base, token, "POST", "/api/utilities",
                     {"name": "Recovered steam"})
    check(status == 200, "adding a utility answered %d" % status)
    rc, out, err = stop(proc)
    check(rc == 0, "exit status %d: %s" % (rc, err))
    check(out.strip().splitlines()[-1].endswith(recovery),
          "the last line names the recovery copy: %r" % out)
    with open(case, "rb") as f:
        check(f.read() == saved, "the case file is as last saved")
    check(os.path.exists(recovery), "the recovery copy exists")

    proc, base, token = start(tool, case)
    status, session = call(base, token, "GET", "/api/session")
    check(session["recovery"]["exists"], "the session reports the copy")
    names = [u["name"] for u in call(base, token, "GET", "/api/utilities")[1]
             ["utilities"]]
    check("Recovered steam" not in names, "the case itself lacks the change")
    # A save of the case itself must not drop the copy: its changes are
    # nowhere else.
    check(call(base, token, "POST", "/api/save", {})[0] == 200, "save")
    check(os.path.exists(recovery), "the copy outlives a save of the case")
    rc, out, err = stop(proc)
    check("--recover" in err, "the start points to --recover: %r" % err)
    check(out.strip().endswith("nothing was left unsaved."), out)

    proc, base, token = start(tool, "--recover", case)
    status, session = call(base, token, "GET", "/api/session")
    check(session["modified"], "a recovered case has unsaved changes")
    names = [u["name"] for u in call(base, token, "GET", "/api/utilities")[1]
             ["utilities"]]
    check("Recovered steam" in names, "the recovered case has the change")
    check(call(base, token, "POST", "/api/save", {})[0] == 200, "save")
    check(not os.path.exists(recovery), "a save removes the recovery copy")
    rc, out, err = stop(proc)
    check(rc == 0 and out.strip().endswith("nothing was left unsaved."), out)
    print("recovery check passed")


if __name__ == "__main__":
    main()
