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

# expect STATUS STDOUT STDERR COMMAND...: runs the command and fails the test
# unless its status and both outputs are exactly those given.
expect() {
  local status=$1 output=$2 error=$3
  shift 3
  local actual_status=0
  "$@" >"$work_dir/stdout" 2>"$work_dir/stderr" || actual_status=$?
  if [ "$actual_status" != "$status" ] || [ "$(cat "$work_dir/stdout")" != "$output" ] ||
     [ "$(cat "$work_dir/stderr")" != "$error" ]; then
    echo "FAILED: $*" >&2
    echo "status $actual_status (expected $status)" >&2
    echo "--- output:" >&2; cat "$work_dir/stdout" >&2
    echo "--- expected output:" >&2; echo "$output" >&2
    echo "--- error output:" >&2; cat "$work_dir/stderr" >&2
    echo "--- expected error output:" >&2; echo "$error" >&2
    exit 1
  fi
}

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
consumer_output=$(printf 'bracket %s\n["notes.txt"   ]\nnotes holds 5000000000 bytes\ncannot open "notes.txt"' "$version")
format_only_output="00042|ff"
portability_only_output=$(printf 'no memory\n/ is a directory')

# Only the public headers: neither the engine's nor the platform's own.
if [ -e "$prefix/include/bracket/platform" ] || [ -n "$(find "$prefix/include" -name detail)" ]; then
  echo "FAILED: internal headers installed:" >&2
  find "$prefix/include" -type f >&2
  exit 1
fi

# Through find_package, as examples/consumer/CMakeLists.txt does, once as
# C++17 with the default linker and once as C++20 with lld.
cmake -S "$source_dir/examples/consumer" -B "$work_dir/find-package" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work_dir/find-package" >/dev/null
expect 0 "$consumer_output" "" "$work_dir/find-package/consumer"
cmake -S "$source_dir/examples/consumer" -B "$work_dir/find-package-lld" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_STANDARD=20 \
  -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld >/dev/null
cmake --build "$work_dir/find-package-lld" >/dev/null
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
      "$cxx" -std=c++17 -fuse-ld=$linker "$source" -o "$binary" "${flags[@]}"
      expected=${program}_output
      expect 0 "${!expected}" "" "$binary"
    done
  done
done
echo "the installed tree works through find_package and pkg-config"
