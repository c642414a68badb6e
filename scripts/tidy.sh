#!/usr/bin/env bash
# Runs clang-tidy, with the repository's .clang-tidy, over every file of src/ that the Linux build compiles, as
# that build compiles it (build/compile_commands.json, which also carries the window's moc include paths), one
# clang-tidy a core. Each warning in src/, in a .cpp file or in a header of src/ that it includes, counts as an
# error: the script prints them, then a count by check and by file, and exits with 1 if there was any.
#
#   scripts/tidy.sh [BUILD-FOLDER]      (default: build; it must have been built, as 'make tidy' does first)
#
# JOBS sets the number of clang-tidy processes (default: the number of cores). The output of each file is kept
# in BUILD-FOLDER/tidy/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd -P)
build=${1:-build}
database=$build/compile_commands.json

bash scripts/install-deps.sh clang-tidy python3

[ -f "$database" ] || { echo "tidy: no $database: build first (make build)" >&2; exit 1; }
# The window's compile commands name include folders that the build generates (moc): check a built tree only, so
# that clang-tidy never reports a missing generated header as a fault of the code.
[ -f "$build/bin/veltrin-cli" ] || { echo "tidy: $build is not built: build first (make build)" >&2; exit 1; }

# The files of src/ in the compile database; *_windows.cpp and the Windows window, src/window/win32/, are compiled
# only by a Windows build and are left out.
mapfile -t files < <(python3 - "$database" "$root/src/" <<'EOF'
import json, os, sys
database, src = sys.argv[1], sys.argv[2]
seen = set()
for entry in json.load(open(database)):
    name = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    windows = name.endswith("_windows.cpp") or name.startswith(src + "window/win32/")
    if name.startswith(src) and name.endswith(".cpp") and not windows and name not in seen:
        seen.add(name)
        print(name)
EOF
)
[ "${#files[@]}" -gt 0 ] || { echo "tidy: no file of src/ in $database" >&2; exit 1; }

# A file of src/ that this build does not compile is not checked: say so, so that it is not missed unawares.
while IFS= read -r name; do
    case " ${files[*]} " in
        *" $root/$name "*) ;;
        *) echo "tidy: not in $database, not checked: $name" ;;
    esac
done < <(find src -name '*.cpp' ! -name '*_windows.cpp' ! -path 'src/window/win32/*' | sort)

logs=$build/tidy
rm -rf "$logs"
mkdir -p "$logs"
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
echo "clang-tidy: ${#files[@]} files of src/, $jobs at a time"

# Headers of src/ only: the filter is anchored at this repository's src/, so a clone under some other folder
# named src does not bring in the build folder's generated headers.
header_filter="^$(printf '%s' "$root/src/" | sed 's/[][\.*^$+?(){}|]/\\&/g')"

# Each file's output goes to a log of its own, so that the outputs of parallel runs do not interleave.
status=0
export TIDY_LOGS=$logs TIDY_ROOT=$root TIDY_BUILD=$build TIDY_HEADERS=$header_filter
printf '%s\0' "${files[@]}" | xargs -0 -P "$jobs" -n 1 bash -c '
    log="$TIDY_LOGS/$(printf "%s" "${0#"$TIDY_ROOT"/}" | tr / _).log"
    clang-tidy -p "$TIDY_BUILD" --quiet --header-filter="$TIDY_HEADERS" --warnings-as-errors="*" "$0" >"$log" 2>&1
' || status=$?

# The warnings, each once (a header's show up once for every file that includes it), then the counts.
summary=0
python3 - "$logs" "$root/" <<'EOF' || summary=$?
import collections, os, re, sys
logs, root = sys.argv[1], sys.argv[2]
diagnostic = re.compile(r"^(/[^:]+):(\d+):(\d+): (warning|error): .*?(?: \[([^\]]+)\])?$")
seen, text, by_check, by_file = set(), [], collections.Counter(), collections.Counter()
for log in sorted(os.listdir(logs)):
    keep = False  # whether the lines that follow (notes, source lines, carets) belong to a warning shown
    for line in open(os.path.join(logs, log), errors="replace"):
        line = line.rstrip("\n")
        match = diagnostic.match(line)
        if match:
            name, row, column, _, checks = match.groups()
            check = (checks or "clang-diagnostic-error").split(",")[0]
            key = (name, row, column, check)
            keep = key not in seen
            if keep:
                seen.add(key)
                by_check[check] += 1
                by_file[name.removeprefix(root)] += 1
        elif line.endswith(" generated.") or line.startswith("Error while processing "):
            keep = False
        if keep:
            text.append(line.removeprefix(root))
for line in text:
    print(line)
total = sum(by_check.values())
if total == 0:
    sys.exit(0)
print(f"\nclang-tidy: {total} warning{'s' if total != 1 else ''} in src/")
print("\nBy check:")
for check, count in sorted(by_check.items(), key=lambda item: (-item[1], item[0])):
    print(f"  {count:4}  {check}")
print("\nBy file:")
for name, count in sorted(by_file.items(), key=lambda item: (-item[1], item[0])):
    print(f"  {count:4}  {name}")
sys.exit(1)
EOF
[ "$summary" -eq 0 ] || exit 1
if [ "$status" -ne 0 ]; then
    # clang-tidy failed without a warning to show (a crash, a file it could not read): its whole output.
    echo "clang-tidy failed (status $status) without a warning in src/; its output:" >&2
    cat "$logs"/*.log >&2
    exit 1
fi
echo "clang-tidy: no warnings in src/"
