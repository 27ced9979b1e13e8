"""Which files a rename may change: inside QF_RENAME_FOLDERS, outside QF_RENAME_EXCLUDE."""
import os
import re

FOLDERS = tuple(os.environ.get("QF_RENAME_FOLDERS", "engine/ growth/ effect/ ui/ builds/").split())
EXCLUDED = re.compile(os.environ.get(
    "QF_RENAME_EXCLUDE",
    r"^(engine/lines\.|engine/curved_wire\.cpp$|engine/scene\.cpp$|engine/budget\.|"
    r"growth/pattern_list\.|growth/grown_triangle\.)"))


def in_scope(root, path):
    """The real path of path when a rename may change it, else None."""
    real = os.path.realpath(path)
    rel = os.path.relpath(real, root)
    return real if rel.startswith(FOLDERS) and not EXCLUDED.match(rel) else None
