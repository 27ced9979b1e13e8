#!/bin/sh
# Renames camelCase local variables and function parameters to snake_case: clang-tidy's
# readability-identifier-naming finds them and exports its edits, keep_fixes.py keeps those in
# scope.py's folders (one edit seen from several translation units counts once) and
# clang-apply-replacements applies them. Constants (kName) and the single capital letters of the
# formulas (A, P0, X1, ...) are left alone. It runs again until clang-tidy has nothing left it can
# fix; the renames it holds back because their edits overlap (variables a lambda captures
# implicitly) are then made one by one with clang-rename. Comments that name a renamed variable
# and lines that grow past the column limit are left for `git clang-format` and a reader.
# usage (from the worktree root, BUILD_DIR configured with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON):
#   scripts/rename_locals/rename_locals.sh BUILD_DIR SOURCE...
#   QF_RENAME_FOLDERS  folders whose files may change (default "engine/ growth/ effect/ ui/ builds/")
#   QF_RENAME_EXCLUDE  regex of paths that must not change (default: the files others edit now)
set -eu
here=$(dirname "$(readlink -f "$0")")
build=$1; shift
work=$(mktemp -d)
cat > "$work/config.yaml" <<'CFG'
Checks: '-*,readability-identifier-naming'
CheckOptions:
  - { key: readability-identifier-naming.LocalVariableCase, value: lower_case }
  - { key: readability-identifier-naming.LocalVariableIgnoredRegexp, value: '^(k[A-Z][A-Za-z0-9]*|[A-Z][0-9]?)$' }
  - { key: readability-identifier-naming.ParameterCase, value: lower_case }
  - { key: readability-identifier-naming.ParameterIgnoredRegexp, value: '^[A-Z][0-9]?$' }
CFG
for pass in 1 2 3 4 5 6 7 8 9 10; do
  fixes="$work/pass$pass"
  mkdir "$fixes"
  printf '%s\n' "$@" | xargs -P 4 -I{} sh -c \
    'f=$(echo "{}" | tr / _); clang-tidy -p "$1" --config-file="$2/config.yaml" \
       --header-filter=".*" --export-fixes="$3/$f.yaml" "{}" > "$3/$f.log" 2>&1 || true' \
    _ "$build" "$work" "$fixes"
  left=$(python3 "$here/keep_fixes.py" "$PWD" "$fixes"/*.yaml)
  echo "pass $pass: $left renames"
  [ "$left" -eq 0 ] && break
  clang-apply-replacements "$fixes"
done
python3 "$here/rename_held_back.py" "$PWD" "$build" "$fixes"/*.log
echo "fixes and logs in $work"
