#!/usr/bin/env bash
# Checks that the library's folders depend on each other one way only:
#   module -> dialog -> window, shell, print -> win32 -> portable (theme, filter, layout,
#   shellplan -> color)
#   -> host -> parallel
# (the effects paint in the colour model's values, so color/ sits below the other portable
# folders)
# A file may include headers of its own folder, of resources/, and of any lower layer; never
# of a higher one or of another folder on its own layer. Portable code, the host's bitmap
# classes (all but their GDI file) and the row bands must also build without Win32: no Windows
# header at all.
# Prints every offending include and exits 1 when there is one.
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root" || exit 2

declare -A layer=(
  [parallel]=0
  [host]=1
  [color]=2
  [theme]=3 [filter]=3 [layout]=3
  [shellplan]=3
  [win32]=4
  [window]=5 [shell]=5 [print]=5
  [dialog]=6
  [module]=7
)
portable_re='^(theme|color|filter|layout|shellplan)/|^(host|parallel)/'
windows_headers_re='^#[[:space:]]*include[[:space:]]*<(windows|winuser|wingdi|winbase|windef|winspool|commctrl|commdlg|shlobj|shellapi|ole2|objbase|process|tchar)\.h>'
gdi_only='host/OrvanelBitmapGdi.cpp'

faults=0
checked=0
for folder in "${!layer[@]}" resources; do
  [ -d "$folder" ] || continue
  while IFS= read -r file; do
    checked=$((checked + 1))
    while IFS= read -r line; do
      number=${line%%:*}
      text=${line#*:}
      target=$(sed -E 's/^#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$text")
      target_folder=${target%%/*}
      [ "$target_folder" = "$target" ] && continue # a header beside the file
      [ "$target_folder" = "$folder" ] && continue
      [ "$target_folder" = resources ] && continue
      if [ "$folder" = resources ]; then
        echo "$file:$number: resources include only resources: $target"
        faults=$((faults + 1))
      elif [ -z "${layer[$target_folder]+set}" ]; then
        echo "$file:$number: the library includes $target from outside it"
        faults=$((faults + 1))
      elif [ "${layer[$target_folder]}" -ge "${layer[$folder]}" ]; then
        echo "$file:$number: $folder/ (layer ${layer[$folder]}) includes $target (layer ${layer[$target_folder]})"
        faults=$((faults + 1))
      fi
    done < <(grep -nE '^#[[:space:]]*include[[:space:]]*"' "$file")
    if [[ $file =~ $portable_re ]] && [ "$file" != "$gdi_only" ]; then
      while IFS= read -r line; do
        echo "$file:${line%%:*}: portable code includes a Windows header: ${line#*:}"
        faults=$((faults + 1))
      done < <(grep -nE "$windows_headers_re" "$file")
    fi
  done < <(find "$folder" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' \) | sort)
done

if [ "$checked" -eq 0 ]; then
  echo "no library sources found under $root" >&2
  exit 2
fi
echo "$checked files checked, $faults layering faults"
[ "$faults" -eq 0 ]
