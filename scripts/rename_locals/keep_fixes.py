"""Keeps the clang-tidy renames in scope; usage: keep_fixes.py ROOT FIXES.yaml...

Headers reached through build/include_roots symlinks are mapped back to their source path so
that one edit seen from several translation units is applied once. An edit whose text is not
the old name is dropped: clang-tidy 14 rewrites a lambda's capture default ([&], [=]) into the
new name of a variable the lambda captures implicitly. Prints how many renames are left."""
import re
import sys

import yaml

from scope import in_scope

root = sys.argv[1]
texts = {}


def text_of(path):
    if path not in texts:
        with open(path, "rb") as f:
            texts[path] = f.read()
    return texts[path]


total = 0
for fixes in sys.argv[2:]:
    with open(fixes) as f:
        doc = yaml.safe_load(f) or {}
    kept = []
    for diag in doc.get("Diagnostics", []):
        msg = diag.get("DiagnosticMessage", {})
        old = re.search(r"'([^']+)'", msg.get("Message", ""))
        reps = []
        for rep in msg.get("Replacements", []):
            real = in_scope(root, rep["FilePath"])
            at, length = rep["Offset"], rep["Length"]
            if real and old and text_of(real)[at:at + length] == old.group(1).encode():
                rep["FilePath"] = real
                reps.append(rep)
        msg["Replacements"] = reps
        if reps:
            kept.append(diag)
    total += len(kept)
    doc["Diagnostics"] = kept
    with open(fixes, "w") as f:
        yaml.safe_dump(doc, f)
print(total)
