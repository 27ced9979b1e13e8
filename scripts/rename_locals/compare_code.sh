#!/bin/bash
# Compiles the plug-in's engine/growth/effect/ui/builds sources of two commits with the build's own
# compile commands (without -g) and compares the generated code and data.
# usage (from the worktree root): compare_code.sh BASE_COMMIT [NEW_COMMIT|WORKTREE]
set -eu
wt=$PWD; base=$1; new=${2:-WORKTREE}
out=$(mktemp -d)
export CCACHE_BASEDIR=/work
prepare() {  # name commit
  local root=$out/$1
  mkdir -p "$root"
  if [ "$2" = WORKTREE ]; then cp -r engine growth effect ui builds platform "$root/";
  else git archive "$2" engine growth effect ui builds platform | tar -x -C "$root"; fi
  for t in qf_engine:engine qf_growth:growth qf_effect:effect qf_ui:ui qf_geometry/builds:builds/geometry; do
    local d=$root/include_roots/${t%%:*}
    mkdir -p "$d"; ln -s "$root/${t##*:}" "$d/$(basename "${t##*:}")"
  done
}
prepare base "$base"; prepare new "$new"
python3 - "$wt" "$out" <<'PY'
import json, os, subprocess, sys
wt, out = sys.argv[1], sys.argv[2]
bad = 0
for e in json.load(open(f"{wt}/build/compile_commands.json")):
    rel = os.path.relpath(e["file"], wt)
    if not rel.startswith(("engine/", "growth/", "effect/", "ui/", "builds/")):
        continue
    dumps = []
    for side in ("base", "new"):
        root = f"{out}/{side}"
        cmd = e["command"].replace(f"{wt}/build/include_roots", f"{root}/include_roots")
        cmd = cmd.replace(f"{wt}/", f"{root}/").replace(" -g ", " ")
        obj = f"{root}/{rel.replace('/', '_')}.o"
        cmd = cmd.split(" -o ")[0] + f" -o {obj} -c {root}/{rel}"
        subprocess.run(cmd, shell=True, check=True, cwd=e["directory"])
        # Code with its relocations, then every section's bytes (no debug information).
        dump = ""
        for args in (["-d", "-r", "--no-show-raw-insn"], ["-s"]):
            dump += subprocess.run(["objdump", *args, obj], capture_output=True, text=True,
                                   check=True).stdout.replace(obj, "OBJ")
        dumps.append(dump)
    same = dumps[0] == dumps[1]
    bad += not same
    print(("same     " if same else "DIFFERENT"), rel)
print(f"{bad} object(s) differ")
PY
rm -rf "$out"
