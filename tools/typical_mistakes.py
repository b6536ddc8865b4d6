#!/usr/bin/env python3
"""The reference's page of typical mistakes, made from the languages' hints.

    typical_mistakes.py SOURCE_DIR BIN_DIR > docs/languages/typical-mistakes.md

For each language (runtime/kinds.list), each hint of <kind>/<kind>.hints in
its order: its code, and its first sample that is not empty ("> " line; a
hint given only for the empty text is left out) run through
<kind>-translator -d as a console example, with what the program writes (the
documented-examples test runs them again). tests/scripts/typical_mistakes.sh
checks that the page is the one this makes, so that a hint added or changed
shows in the reference.
"""
import os
import subprocess
import sys
import tempfile

TITLES = {}  # kind -> the page's heading, from the hints file's first line


def kinds(top):
    with open(os.path.join(top, "runtime", "kinds.list"), encoding="utf-8") as f:
        return [line.strip() for line in f if line.strip() and not line.startswith("#")]


def hints(path):
    """[(code, first sample, heading comment)] in the file's order."""
    found, code, sample = [], None, None
    with open(path, encoding="utf-8") as f:
        for line in f.read().split("\n"):
            if line.startswith("["):
                if code and sample is not None:
                    found.append((code, sample))
                code, sample = line[1:line.index("]")], None
            elif line.startswith("> ") and code and sample is None and line[2:]:
                sample = line[2:]  # (the first that is not empty: an example shows a text)
    if code and sample is not None:
        found.append((code, sample))
    return found


def quoted(text):
    """The text as a shell word for printf '%b' (\\n and \\t kept as written)."""
    return "'" + text.replace("'", "'\\''") + "'"


def main():
    top, bin_dir = sys.argv[1], os.path.abspath(sys.argv[2])
    env = dict(os.environ, PATH=bin_dir + os.pathsep + os.environ.get("PATH", ""))
    out = ["# Typical mistakes", "",
           "The slips people often make, as each translator names them with `-d`: the",
           "message's code (in brackets), the message, and the place marked under its",
           "line. This page is made from the languages' hints (`<kind>/<kind>.hints`,",
           "`tools/typical_mistakes.py`); the messages of the other places where a text",
           "can go wrong are in `<kind>/<kind>.messages`.", ""]
    for kind in kinds(top):
        path = os.path.join(top, kind, kind + ".hints")
        if not os.path.exists(path):
            continue
        out += ["## " + kind, ""]
        for code, sample in hints(path):
            command = "printf '%b' " + quoted(sample) + " | " + kind + "-translator -d 2>&1 >/dev/null | sed -n '/^<stdin>:/,$p'"
            with tempfile.TemporaryDirectory() as work:  # (where the trace file goes)
                run = subprocess.run(["bash", "-c", command], env=env, capture_output=True, cwd=work)
            out += ["### `" + kind + "." + code + "`", "", "```console", "$ " + command]
            out += run.stdout.decode("utf-8", "replace").rstrip("\n").split("\n")
            out += ["```", ""]
    sys.stdout.write("\n".join(out))


if __name__ == "__main__":
    main()
