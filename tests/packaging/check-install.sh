#!/usr/bin/env bash
# Installs the build tree into a scratch prefix and uses it as a user would:
# runs the installed command under both names, then builds programs against
# the libraries through find_package and through pkg-config, with GNU ld and
# with lld, and runs them.
#   check-install.sh BUILD_DIR SOURCE_DIR WORK_DIR CXX PKG_CONFIG VERSION
set -euo pipefail
build_dir=$1 source_dir=$2 work_dir=$3 cxx=$4 pkg_config=$5 version=$6
prefix=$work_dir/prefix
rm -rf "$work_dir"
mkdir -p "$work_dir"

source "$(dirname "$0")/common.sh"

cmake --install "$build_dir" --prefix "$prefix" >/dev/null
# The installed program carries no symbols, debug information or compiler
# notes; the build tree's keeps them.
if readelf -S "$prefix/bin/test" | grep -E '\.(symtab|debug_[a-z]+|comment)\b' >&2; then
  echo "FAILED: the installed test is not stripped of the sections above" >&2
  exit 1
fi

# ---- The command, as a shell finds it on the PATH (env keeps the name) ----
expect 0 "" "" env PATH="$prefix/bin" [ abc = abc ]
expect 1 "" "test: ] missing" env PATH="$prefix/bin" [ abc = abc
expect 0 "" "" env PATH="$prefix/bin" test -d "$prefix/bin" -a 0x10 -eq 16
expect 1 "" "test: unknown operator -a" env PATH="$prefix/bin" test 5 -a 3

# ---- The libraries ----
consumer_output=$(consumer_output "$version")
format_only_output="00042|ff"
portability_only_output=$(printf 'no memory\n/ is a directory')

# Only the public headers and what the face's templates read: neither the
# engine's own detail headers nor the platform's.
engine_only='(atomic|format_loop|text_char|verb_lookup|writer)\.h$'
if [ -e "$prefix/include/bracket/platform" ] || find "$prefix/include" -type f | grep -Eq "/detail/$engine_only"; then
  echo "FAILED: internal headers installed:" >&2
  find "$prefix/include" -type f >&2
  exit 1
fi

# Every name the archives define lies in the namespace bracket, so that a
# program's own make_room or installed_verbs never meets one of ours at link
# time. A template's instantiation is named after its result type ("void
# bracket::..."). What else nm lists is the compiler's: the C++ library's
# instantiations, literal pools and the like.
for archive in "$prefix"/lib/libbracket_*.a; do
  strays=$(nm -C --defined-only "$archive" | awk 'NF >= 3 { $1 = ""; $2 = ""; print substr($0, 3) }' |
    grep -v -E '^(bracket::|std::|__gnu_cxx::|\.L|DW\.ref\.|_sub_I_)' | grep -v -E '^[^(]* bracket::' || true)
  if [ -n "$strays" ]; then
    echo "FAILED: $(basename "$archive") defines names outside the namespace bracket:" >&2
    echo "$strays" >&2
    exit 1
  fi
done

# Through find_package, as the installed examples/consumer does, once as
# C++17 with the default linker and once as C++20 with lld.
consumer=$prefix/share/doc/bracket/examples/consumer
build_consumer "$consumer" "$work_dir/find-package" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_COMPILER="$cxx"
expect 0 "$consumer_output" "" "$work_dir/find-package/consumer"
build_consumer "$consumer" "$work_dir/find-package-lld" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_CXX_STANDARD=20 -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld
expect 0 "$consumer_output" "" "$work_dir/find-package-lld/consumer"

# Through pkg-config, with GNU ld and lld, naming either library's file or
# both in either order, for programs that call both libraries, the
# formatting library alone and the portability library alone: a single pass
# of a plain linker must find everything.
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
for library in format portability; do
  expect 0 "$version" "" "$pkg_config" --modversion "bracket-$library"
done
for linker in bfd lld; do
  for names in bracket-format bracket-portability "bracket-format bracket-portability" \
      "bracket-portability bracket-format"; do
    read -r -a names_list <<<"$names"
    read -r -a flags <<<"$("$pkg_config" --cflags --libs "${names_list[@]}")"
    for program in consumer format_only portability_only; do
      # The formatting library alone cannot serve a program that calls the
      # file status record.
      [ "$names" = bracket-format ] && [ "$program" = portability_only ] && continue
      source=$source_dir/tests/packaging/$program.cpp
      [ "$program" = consumer ] && source=$source_dir/examples/consumer/consumer.cpp
      binary=$work_dir/pkg-config-$linker-${names// /+}-$program
      # The strict user's warnings, with the headers from pkg-config's -I.
      "$cxx" -std=c++17 -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion -Wshadow -Werror \
        -fuse-ld=$linker "$source" -o "$binary" "${flags[@]}"
      expected=${program}_output
      expect 0 "${!expected}" "" "$binary"
    done
  done
done

# ---- The README's install table names what is installed, all of it ----
# Each row's first cell lists paths in backquotes: a path, or a name (a
# "/" at its end at most) in the directory of the path before it. One
# ending in "/" stands for everything below it.
listed=()
while read -r item; do
  if [[ ${item%/} == */* ]]; then path=$item; else path=$directory$item; fi
  base=${path%/}
  directory=${base%/*}/
  listed+=("$path")
done < <(sed -n '/^## Install$/,/^## [^I]/p' "$source_dir/README.md" | sed -n 's/^| \(`[^|]*\)|.*/\1/p' |
  grep -o '`[^`]*`' | tr -d '`')
(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort) >"$work_dir/installed.txt"
[ ${#listed[@]} -gt 0 ] || { echo "FAILED: no install table in the README" >&2; exit 1; }
# covers ITEM PATH: the table's ITEM is PATH, or a directory above it.
covers() { [ "$1" = "$2" ] || [[ $1 == */ && $2 == "$1"* ]]; }
for item in "${listed[@]}"; do
  found=false
  while read -r path; do covers "$item" "$path" && found=true && break; done <"$work_dir/installed.txt"
  $found || { echo "FAILED: the README's install table lists $item, which is not installed" >&2; exit 1; }
done
while read -r path; do
  found=false
  for item in "${listed[@]}"; do covers "$item" "$path" && found=true && break; done
  $found || { echo "FAILED: $path is installed, but the README's install table does not list it" >&2; exit 1; }
done <"$work_dir/installed.txt"

echo "the installed tree works through find_package and pkg-config, and is the README's"
