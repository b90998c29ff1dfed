#!/bin/sh
# The folders are layers: each may include only its own headers and those
# of the layers below it, so the record I/O and the correction core read and
# build on their own, and no two folders include each other.
#
#   record I/O      src/recio   itself
#   core            src         record I/O
#   results table   table       core
#   file replacing  whole_file  itself
#   xpcorr's entry  cli         core, table, whole_file
#   xpcorr-plot     plot        whole_file
#
# An include is looked up as the compiler does: beside the including file,
# then under src/, then from the top of the tree.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

allowed() {
  case $1 in
    src/recio) echo "src/recio" ;;
    src) echo "src src/recio" ;;
    table) echo "table src src/recio" ;;
    whole_file) echo "whole_file" ;;
    cli) echo "cli src src/recio table whole_file" ;;
    plot) echo "plot whole_file" ;;
  esac
}

bad=0
for layer in src/recio src table whole_file cli plot; do
  for file in "$layer"/*.cpp "$layer"/*.hpp; do
    [ -e "$file" ] || continue
    for inc in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file"); do
      if [ -e "$layer/$inc" ]; then target=$layer/$inc
      elif [ -e "src/$inc" ]; then target=src/$inc
      else target=$inc
      fi
      folder=$(dirname "$target")
      case " $(allowed "$layer") " in
        *" $folder "*) ;;
        *) echo "layers: $file includes \"$inc\" ($folder), outside what $layer may use"; bad=1 ;;
      esac
    done
  done
done
[ "$bad" = 0 ] && echo "layers: every include stays within its layer or below"
exit "$bad"
