#!/usr/bin/env bash
# Checks that the library's folders depend on each other one way only:
#   module -> dialog -> window, shell, print -> win32 -> effects -> portable (theme, filter,
#   layout, shellplan -> color) -> host -> parallel
# (the effects paint in the colour model's values, so color/ sits below the other portable
# folders). A file may include headers of its own folder, of resources/, and of any lower layer;
# never of a higher one or of another folder on its own layer; resources/ includes only itself.
# Portable code, the host's bitmap classes (all but their GDI file) and the row bands must also
# build without Win32: no Windows header at all. Prints every offending include; exits 1 on one.
set -uo pipefail
cd "${1:-$(dirname "$0")/../..}" || exit 2
folders="parallel host color theme filter layout shellplan effects win32 window shell print dialog module"
mapfile -t files < <(find $folders resources -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' \) 2>/dev/null | sort)
[ ${#files[@]} -gt 0 ] || { echo "no library sources found under $PWD" >&2; exit 2; }
grep -nE '^#[[:space:]]*include' "${files[@]}" /dev/null | awk -v folders="$folders" '
  function fault(why) { print file ":" line ": " why; faults++ }
  BEGIN {
    split(folders, order, " ")
    for (i in order) layer[order[i]] = i + 0
    layer["filter"] = layer["layout"] = layer["shellplan"] = layer["theme"] # one layer
    layer["shell"] = layer["print"] = layer["window"]
    windows = "<(windows|winuser|wingdi|winbase|windef|winspool|commctrl|commdlg|shlobj|shellapi|ole2|objbase|process|tchar)[.]h>"
  }
  {
    file = $0; sub(/:.*/, "", file); line = substr($0, length(file) + 2); sub(/:.*/, "", line)
    text = substr($0, length(file) + length(line) + 3); from = file; sub(/\/.*/, "", from)
    if ($0 ~ windows && from ~ /^(theme|color|filter|layout|shellplan|effects|host|parallel)$/ &&
        file != "host/OrvanelBitmapGdi.cpp")
      fault("portable code includes a Windows header: " text)
    if (!match($0, /"[^"\/]+\/[^"]*"/)) next
    target = substr($0, RSTART + 1, RLENGTH - 2); to = target; sub(/\/.*/, "", to)
    if (to == from || to == "resources") next
    if (from == "resources") fault("resources include only resources: " target)
    else if (!(to in layer)) fault("the library includes " target " from outside it")
    else if (layer[to] >= layer[from])
      fault(from "/ (layer " layer[from] ") includes " target " (layer " layer[to] ")")
  }
  END { print NR " includes checked, " faults + 0 " layering faults"; exit faults > 0 }'
