#!/usr/bin/env bash
# Mutation pass over portable sources: how many small faults do the native
# tests catch? For each file it makes small mutants (a flipped comparison,
# an integer one off, + 1 and - 1 swapped, && and || swapped, true and false
# swapped, a negated if or while condition, a dropped call or assignment),
# puts one at a time in place of the file, rebuilds the test programs that
# cover it, runs them and puts the file back (also on Ctrl-C). A mutant the
# tests fail on is killed; one they pass survives; one that does not build
# counts for neither.
#
# Usage: scripts/mutate.sh [options] [FILE...]
#   -n, --max N       at most N mutants per file (default 30; 0: all)
#   -s, --seed S      which mutants a capped file gets (default 1); the same
#                     seed and sources give the same mutants
#   -t, --timeout SEC for each build and each test program (default 120)
#   -b, --build DIR   the native tree (default build/native)
#   -l, --list        only list the mutants that would run
# FILE is a path from the source root; without one, the default set below.
# Results: DIR/mutate/results.tsv and DIR/mutate/summary.txt.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

default_files=(
  editor/entry_form.h editor/entry_form.cpp editor/entry_commit.cpp editor/entry_filing.cpp
  app/settings.h app/settings.cpp app/command_line.cpp
  tool/arguments.cpp tool/check_command.cpp tool/commands.cpp
  tool/history_command.cpp tool/terminal_text.cpp tool/main.cpp
)
max=30 seed=1 timeout_s=120 build="$root/build/native" list_only=0
jobs="${KV_JOBS:-2}"
files=()
while [ $# -gt 0 ]; do
  case "$1" in
    -n | --max) max="$2"; shift 2 ;;
    -s | --seed) seed="$2"; shift 2 ;;
    -t | --timeout) timeout_s="$2"; shift 2 ;;
    -b | --build) build="$2"; shift 2 ;;
    -l | --list) list_only=1; shift ;;
    -h | --help) sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "mutate.sh: unknown option $1" >&2; exit 2 ;;
    *) files+=("$1"); shift ;;
  esac
done
[ ${#files[@]} -gt 0 ] || files=("${default_files[@]}")
for f in "${files[@]}"; do
  [ -f "$f" ] || { echo "mutate.sh: no file $f" >&2; exit 2; }
  case "$f" in *_win32.*) echo "mutate.sh: $f is not built natively" >&2; exit 2 ;; esac
done

out="$build/mutate"
work="$(mktemp -d)"
applied=""  # the source file a mutant stands in for, while one does

restore() {
  if [ -n "$applied" ]; then
    cp "$work/original" "$applied"
    applied=""
  fi
}
trap 'restore; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM HUP

# generate FILE MAX SEED DIR: writes DIR/N.src for each mutant and prints
# "N<TAB>line<TAB>mutation" for each, in line order.
generate() {
  python3 - "$@" <<'PY'
import random, re, sys

path, cap, seed, outdir = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
text = open(path, encoding="utf-8").read()

def mask(src):
    """The source with comments, strings and character literals blanked out."""
    out, i, n = list(src), 0, len(src)
    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = "`"
    while i < n:
        two = src[i:i + 2]
        if two == "//":
            j = src.find("\n", i)
            j = n if j < 0 else j
        elif two == "/*":
            j = src.find("*/", i + 2)
            j = n if j < 0 else j + 2
        elif src.startswith('R"', i) and not (i and (src[i - 1].isalnum() or src[i - 1] == "_")):
            delim = src[i + 2:src.find("(", i)]
            j = src.find(")" + delim + '"', i) + len(delim) + 2
        elif src[i] in "\"'" and not (src[i] == "'" and i and src[i - 1].isalnum()):
            q, j = src[i], i + 1
            while j < n and src[j] != q:
                j += 2 if src[j] == "\\" else 1
            j += 1
        else:
            i += 1
            continue
        blank(i, j)
        i = j
    return "".join(out)

lines, masked = text.split("\n"), mask(text).split("\n")
SWAP = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==",
        "&&": "||", "||": "&&", "true": "false", "false": "true", "+ 1": "- 1", "- 1": "+ 1"}
SIMPLE = [r"(?<=\s)(<=|>=|==|!=|<|>|&&|\|\|)(?=\s)", r"\b(true|false)\b",
          r"(?<=\s)([+-] 1)(?![\w.])"]
CALL = re.compile(r"^\s*[\w.:\[\]]+(->[\w.:\[\]]+)*\(.*\);$")
ASSIGN = re.compile(r"^\s*[*]?[\w.:\[\]]+(->[\w.:\[\]]+)*\s*([-+*/|&]?=)\s.*;$|^\s*(\+\+|--)\w+;$")

def closing(s, start):
    depth = 0
    for k in range(start, len(s)):
        depth += {"(": 1, ")": -1}.get(s[k], 0)
        if depth == 0:
            return k
    return -1

def starts_statement(no):
    for k in range(no - 1, -1, -1):
        prev = masked[k].strip()
        if prev:
            return prev[-1] in ";{}:" or prev.startswith("#")
    return True

def windows_only_lines():
    """Line numbers inside #ifdef _WIN32 branches, which the native build skips."""
    stack, skip = [], set()
    for no, m in enumerate(masked):
        words = m.strip().lstrip("#").split()
        if m.strip().startswith("#") and words:
            if words[0] in ("if", "ifdef", "ifndef"):
                win = "_WIN32" in m
                stack.append(win and words[0] != "ifndef" and "!" not in m if win else None)
            elif words[0] in ("else", "elif") and stack and stack[-1] is not None:
                stack[-1] = not stack[-1]
            elif words[0] == "endif" and stack:
                stack.pop()
        if any(stack):
            skip.add(no)
    return skip

WINDOWS_ONLY = windows_only_lines()

def candidates(no):
    src, m = lines[no], masked[no]
    code = m.strip()
    if not code or code.startswith("#") or "static_assert" in code or no in WINDOWS_ONLY:
        return
    for pattern in SIMPLE:
        for hit in re.finditer(pattern, m):
            a, b = hit.span(1)
            yield a, b, SWAP[hit.group(1)], f"'{src[a:b]}' -> '{SWAP[hit.group(1)]}'"
    for hit in re.finditer(r"(?<![\w.'])(\d+)(?=[uUlL]*(?![\w.']))", m):
        a, b = hit.span(1)
        value = int(hit.group(1))
        step = random.Random(f"{seed}:{path}:{no}:{a}").choice([1, -1]) if value else 1
        yield a, b, str(value + step), f"{value} -> {value + step}"
    for hit in re.finditer(r"\b(if|while) \(", m):
        a = hit.end() - 1
        b = closing(m, a)
        # An if with a declaration in it cannot be negated as a whole.
        if b > a and not re.search(r"[^=!<>]=[^=]|;", m[a:b]):
            yield a, b + 1, "(!" + src[a:b + 1] + ")", f"negated {hit.group(1)} {src[a:b + 1]}"
    if (CALL.match(m) or ASSIGN.match(m)) and m.count("(") == m.count(")") and starts_statement(no):
        yield 0, len(src), "", f"dropped '{src.strip()}'"

found = [(no, a, b, new, what) for no in range(len(lines)) for a, b, new, what in candidates(no)]
if cap and len(found) > cap:
    found = sorted(random.Random(f"{seed}:{path}").sample(found, cap))
for n, (no, a, b, new, what) in enumerate(found, 1):
    mutant = list(lines)
    mutant[no] = lines[no][:a] + new + lines[no][b:]
    with open(f"{outdir}/{n}.src", "w", encoding="utf-8") as f:
        f.write("\n".join(mutant))
    print(f"{n}\t{no + 1}\t{what}")
PY
}

# The build targets and test programs that cover a source file: kvtool's
# tests and the kvtool program's own tests for tool/, the unit and
# allocation failure tests for the core.
targets_for() {
  case "$1" in
    tool/*) echo "kvtool_tests kvtool" ;;
    *) echo "kv_unit_tests kv_fault_tests" ;;
  esac
}

run_tests() {
  case "$1" in
    tool/*)
      timeout "$timeout_s" "$build/kvtool_tests" --gtest_brief=1 &&
        timeout "$timeout_s" ctest --test-dir "$build" --timeout "$timeout_s" \
          -R '^(kvtool_exit_status|example_schedule_local_times)$' ;;
    *)
      timeout "$timeout_s" "$build/kv_unit_tests" --gtest_brief=1 &&
        timeout "$timeout_s" "$build/kv_fault_tests" --gtest_brief=1 ;;
  esac
}

build_for() {
  # shellcheck disable=SC2046
  timeout "$timeout_s" nice -n 10 cmake --build "$build" -j "$jobs" --target $(targets_for "$1")
}

# mutate_file FILE: runs each of FILE's mutants, one line of results.tsv each.
mutate_file() {
  local file="$1" n line what status i=0 total
  rm -f "$work"/*.src
  generate "$file" "$max" "$seed" "$work" >"$work/manifest"
  total=$(wc -l <"$work/manifest")
  cp "$file" "$work/original"
  while IFS=$'\t' read -r n line what; do
    i=$((i + 1))
    applied="$file"
    cp "$work/$n.src" "$file"
    if ! build_for "$file" </dev/null >"$work/build.log" 2>&1; then
      status="not compiled"
    elif run_tests "$file" </dev/null >"$work/test.log" 2>&1; then
      status="survived"
    else
      status="killed"
    fi
    restore
    printf '[%d/%d] %s:%s %s: %s\n' "$i" "$total" "$file" "$line" "$what" "$status"
    printf '%s\t%s\t%s\t%s\n' "$file" "$line" "$status" "$what" >>"$out/results.tsv"
  done <"$work/manifest"  # a mutant may make kvtool read stdin: it gets /dev/null
}

summarise() {
  python3 - "$out/results.tsv" <<'PY'
import collections, sys

rows = [line.rstrip("\n").split("\t") for line in open(sys.argv[1], encoding="utf-8")]
count = collections.defaultdict(collections.Counter)
for file, _, status, _ in rows:
    count[file][status] += 1
    count["total"][status] += 1
print(f"{'file':32} {'made':>5} {'built':>6} {'killed':>7} {'survived':>9} {'killed %':>9}")
for file, c in sorted(count.items(), key=lambda fc: fc[0] == "total"):
    built = c["killed"] + c["survived"]
    made = built + c["not compiled"]
    share = f"{100 * c['killed'] / built:.1f}" if built else "-"
    print(f"{file:32} {made:5} {built:6} {c['killed']:7} {c['survived']:9} {share:>9}")
survivors = [r for r in rows if r[2] == "survived"]
print(f"\nsurvivors ({len(survivors)}):")
for file, line, _, what in survivors:
    print(f"  {file}:{line}: {what}")
PY
}

if [ "$list_only" = 1 ]; then
  for f in "${files[@]}"; do
    generate "$f" "$max" "$seed" "$work" | sed "s|^[0-9]*\t|$f:|; s|\t| |"
  done
  exit 0
fi

[ -f "$build/CMakeCache.txt" ] ||
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug >/dev/null
mkdir -p "$out"
: >"$out/results.tsv"
# Every covering program must build and pass before any mutant counts.
declare -A checked=()
for f in "${files[@]}"; do
  [ -z "${checked[$(targets_for "$f")]:-}" ] || continue
  checked[$(targets_for "$f")]=1
  if ! build_for "$f" >"$work/build.log" 2>&1 || ! run_tests "$f" >"$work/test.log" 2>&1; then
    cat "$work/build.log" "$work/test.log" >&2
    echo "mutate.sh: the tests of $f do not pass unmutated" >&2
    exit 1
  fi
done
start=$SECONDS
for f in "${files[@]}"; do mutate_file "$f"; done
# Leave the tree built from the sources as they are.
for f in "${files[@]}"; do build_for "$f" >/dev/null 2>&1 || true; done
summarise | tee "$out/summary.txt"
echo "time: $((SECONDS - start)) s" | tee -a "$out/summary.txt"
