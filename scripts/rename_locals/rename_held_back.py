"""Renames, one by one with clang-rename, the locals and parameters clang-tidy held back because
their edits overlapped (every variable a lambda captures implicitly puts an edit on the capture
default). usage: rename_held_back.py ROOT BUILD_DIR CLANG_TIDY_LOG..."""
import os
import re
import shutil
import subprocess
import sys

from scope import in_scope

root, build = os.path.realpath(sys.argv[1]), sys.argv[2]
clang_rename = os.environ.get("CLANG_RENAME") or shutil.which("clang-rename") or "clang-rename-14"
warning = re.compile(r"^(.+):(\d+):(\d+): warning: invalid case style for "
                     r"(?:parameter|local variable) '(\w+)'")


def snake(name):
    return "_".join(w.lower() for w in re.findall(r"[A-Z]?[a-z0-9]+|[A-Z]+(?![a-z])", name))


def enclosing_definition(data, offset):
    """The top-level definition around offset: the tree is formatted, so it runs from the last
    line starting in column 0 to the next "}" in column 0."""
    start = data.rfind(b"\n", 0, offset)
    while start > 0 and data[start + 1:start + 2] in (b" ", b"\n", b"}", b"/"):
        start = data.rfind(b"\n", 0, start)
    return data[max(start, 0):data.find(b"\n}", offset)]


held = {}  # (file, line, column) -> name
for log in sys.argv[3:]:
    lines = open(log).read().splitlines()
    for i, line in enumerate(lines):
        m = warning.match(line)
        if m and any("overlaps with another fix" in l for l in lines[i + 1:i + 4]):
            path = in_scope(root, m.group(1))
            if path:
                held[(path, int(m.group(2)), int(m.group(3)))] = m.group(4)

# Last declaration first, so the offsets of the earlier ones still hold.
for (path, line, column), name in sorted(held.items(), key=lambda kv: (kv[0][0], -kv[0][1], -kv[0][2])):
    with open(path, "rb") as f:
        data = f.read()
    offset = sum(len(l) + 1 for l in data.split(b"\n")[:line - 1]) + column - 1
    assert data[offset:offset + len(name)] == name.encode(), (path, line, column, name)
    where = f"{os.path.relpath(path, root)}:{line}: {name}"
    if re.search(rb"\b" + snake(name).encode() + rb"\b", enclosing_definition(data, offset)):
        print(f"{where} left: {snake(name)} is taken")
        continue
    subprocess.run([clang_rename, "-p", build, "-i",
                    f"-offset={offset}", f"-new-name={snake(name)}", path], check=True)
    print(f"{where} -> {snake(name)}")
