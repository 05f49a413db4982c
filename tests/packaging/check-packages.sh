#!/usr/bin/env bash
# Builds the packages of a configured and built tree with CPack, checks
# what they hold, and builds and runs examples/consumer as they ship it.
#   check-packages.sh linux BUILD_DIR WORK_DIR VERSION SOURCE_DIR [CXX]      (.tar.gz and .deb)
# Without CXX (an instrumented build, whose libraries need the sanitizer
# runtimes that a user's program does not link) no Linux consumer is built.
#   check-packages.sh win32|win64 BUILD_DIR WORK_DIR VERSION SOURCE_DIR      (the .zip files of that cross build)
set -euo pipefail
kind=$1 build_dir=$2 work_dir=$3 version=$4 source_dir=$5 cxx=${6:-}
rm -rf "$work_dir"
mkdir -p "$work_dir"
source "$(dirname "$0")/common.sh"
consumer_output=$(consumer_output "$version")
cpack --config "$build_dir/CPackConfig.cmake" -B "$work_dir" >"$work_dir/cpack.log" 2>&1 || {
  cat "$work_dir/cpack.log" >&2
  exit 1
}

failures=0
# modes LISTING: the modes of a "tar -tv" listing are the install rules'
# (0644 and 0755, and links), whatever the source tree's and the umask.
modes() {
  if grep -vE '^(-rw-r--r--|-rwxr-xr-x|drwxr-xr-x|lrwxrwxrwx) ' "$1" >&2; then
    echo "FAILED: $(basename "$1") has the modes above" >&2
    failures=$((failures + 1))
  fi
}
# holds LISTING PATH...: every path must be a line of the listing.
holds() {
  local listing=$1
  shift
  for path in "$@"; do
    if ! grep -qxF -- "$path" "$listing"; then
      echo "FAILED: $(basename "$listing") lacks $path" >&2
      failures=$((failures + 1))
    fi
  done
}

# What a developer gets on every platform.
development=(lib/libbracket_format.a lib/libbracket_portability.a lib/libbracket_platform.a
  include/bracket/format/format.h include/bracket/format/format.hpp include/bracket/format/utf8.h
  include/bracket/format/version.h include/bracket/portability/file_status.h
  include/bracket/portability/error_text.h include/bracket/format/detail/arguments.h
  include/bracket/format/detail/check.h include/bracket/format/detail/plan.h
  include/bracket/format/detail/reports.h
  include/bracket/format/detail/grammar.h
  include/bracket/format/detail/verb_table.h
  lib/cmake/bracket/bracketConfig.cmake lib/cmake/bracket/bracketConfigVersion.cmake
  lib/cmake/bracket/bracketTargets.cmake
  lib/pkgconfig/bracket-format.pc lib/pkgconfig/bracket-portability.pc share/doc/bracket/format.md
  share/doc/bracket/examples/consumer/CMakeLists.txt share/doc/bracket/examples/consumer/consumer.cpp)

if [ "$kind" = linux ]; then
  everything=(bin/test bin/[ share/man/man1/test.1 share/man/man1/[.1 share/doc/bracket/README.md
    share/doc/bracket/LICENSE "${development[@]}")

  top=bracket-$version-Linux
  tar -tzf "$work_dir/$top.tar.gz" | sed "s|^$top/||" >"$work_dir/tgz.txt"
  holds "$work_dir/tgz.txt" "${everything[@]}"
  tar -tvzf "$work_dir/$top.tar.gz" >"$work_dir/tgz-modes.txt"
  modes "$work_dir/tgz-modes.txt"

  # The command shipped is the musl build, stripped, where the build has one.
  if [ -x "$build_dir/musl/command/test" ]; then
    tar -xzf "$work_dir/$top.tar.gz" -C "$work_dir" "$top/bin/test"
    # Stripped as the install strips it (command/CMakeLists.txt).
    strip --strip-all --remove-section=.comment --remove-section=.note -o "$work_dir/test.musl" "$build_dir/musl/command/test"
    cmp -s "$work_dir/test.musl" "$work_dir/$top/bin/test" || {
      echo "FAILED: the .tar.gz's bin/test is not the musl build, stripped" >&2
      failures=$((failures + 1))
    }
  fi

  deb=$(ls "$work_dir"/bracket_"$version"_*.deb)
  dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./||; s|/$||' >"$work_dir/deb.txt"
  debian=(usr/share/doc/bracket/copyright usr/share/doc/bracket/changelog.gz usr/share/lintian/overrides/bracket)
  holds "$work_dir/deb.txt" "${everything[@]/#/opt/bracket/}" "${debian[@]}"
  # Nothing outside its own prefix but the files Debian looks for in
  # /usr/share: the system's test and [ stay as they are.
  if grep -vxE 'opt|opt/bracket(/.*)?|usr|usr/share|usr/share/(doc|lintian)|usr/share/doc/bracket(/.*)?|usr/share/lintian/overrides(/.*)?|' \
    "$work_dir/deb.txt" >&2; then
    echo "FAILED: the .deb installs the paths above outside /opt/bracket" >&2
    failures=$((failures + 1))
  fi
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || {
    echo "FAILED: the .deb's version is not $version" >&2
    failures=$((failures + 1))
  }
  dpkg-deb -c "$deb" >"$work_dir/deb-modes.txt"
  modes "$work_dir/deb-modes.txt"

  # The consumer the .deb ships, built on the .deb's tree (unpacked here in
  # place of /opt) through find_package and through pkg-config.
  dpkg-deb -x "$deb" "$work_dir/deb-root"
  opt=$work_dir/deb-root/opt/bracket
  if [ -z "$cxx" ]; then
    echo "the consumer the .deb ships is not built: this build is instrumented"
  else
    build_consumer "$opt/share/doc/bracket/examples/consumer" "$work_dir/consumer" -DCMAKE_PREFIX_PATH="$opt" \
      -DCMAKE_CXX_COMPILER="$cxx"
    expect 0 "$consumer_output" "" "$work_dir/consumer/consumer"
  fi
  if [ -n "$cxx" ] && command -v pkg-config >/dev/null; then
    read -r -a flags <<<"$(PKG_CONFIG_PATH=$opt/lib/pkgconfig pkg-config --cflags --libs bracket-format)"
    "$cxx" -std=c++17 "$opt/share/doc/bracket/examples/consumer/consumer.cpp" -o "$work_dir/consumer-pc" "${flags[@]}"
    expect 0 "$consumer_output" "" "$work_dir/consumer-pc"
  fi
else
  top=bracket-$version-$kind
  zip=$work_dir/$top.zip
  cmake -E chdir "$work_dir" cmake -E tar xf "$zip"
  (cd "$work_dir/$top" && find . -type f | sed 's|^\./||' | sort) >"$work_dir/zip.txt"
  holds "$work_dir/zip.txt" bin/test.exe bin/[.exe test.txt README.txt LICENSE.txt
  if [ "$(wc -l <"$work_dir/zip.txt")" -ne 5 ]; then
    echo "FAILED: the .zip holds more than the programs, the manual page, the README and the license:" >&2
    cat "$work_dir/zip.txt" >&2
    failures=$((failures + 1))
  fi
  cmp -s "$work_dir/$top/bin/test.exe" "$work_dir/$top/bin/[.exe" || {
    echo "FAILED: [.exe is not the same program as test.exe" >&2
    failures=$((failures + 1))
  }
  # The version resource, whose texts are UTF-16: look for ProductVersion
  # followed by the version.
  if ! LC_ALL=C tr -d '\000' <"$work_dir/$top/bin/test.exe" | grep -qa "ProductVersion$version"; then
    echo "FAILED: test.exe has no version resource for $version" >&2
    failures=$((failures + 1))
  fi
  # The manifest that lets paths pass 260 characters where Windows allows it.
  if ! grep -qa "<longPathAware" "$work_dir/$top/bin/test.exe"; then
    echo "FAILED: test.exe has no manifest saying longPathAware" >&2
    failures=$((failures + 1))
  fi
  # Built for the right machine, and self-contained: only system DLLs.
  if [ "$kind" = win32 ]; then
    objdump=i686-w64-mingw32-objdump format=pei-i386
  else
    objdump=x86_64-w64-mingw32-objdump format=pei-x86-64
  fi
  "$objdump" -p "$work_dir/$top/bin/test.exe" >"$work_dir/headers.txt"
  grep -q "file format $format\$" "$work_dir/headers.txt" || {
    echo "FAILED: test.exe is not $format: $(grep -m1 'file format' "$work_dir/headers.txt")" >&2
    failures=$((failures + 1))
  }
  imports=$(sed -n 's/^\tDLL Name: //p' "$work_dir/headers.txt" | sort -f | tr '\n' ' ')
  [ "$imports" = "KERNEL32.dll msvcrt.dll " ] || {
    echo "FAILED: test.exe imports ${imports:-nothing}, not only KERNEL32.dll and msvcrt.dll" >&2
    failures=$((failures + 1))
  }
  grep -q "DIAGNOSTICS" "$work_dir/$top/test.txt" || {
    echo "FAILED: test.txt is not the manual page" >&2
    failures=$((failures + 1))
  }

  # The -dev.zip: the libraries as the Linux tree has them, unzipping into
  # the same folder as the programs.
  mkdir "$work_dir/dev"
  cmake -E chdir "$work_dir/dev" cmake -E tar xf "$work_dir/$top-dev.zip"
  dev=$work_dir/dev/$top
  (cd "$dev" && find . -type f | sed 's|^\./||' | sort) >"$work_dir/dev.txt"
  holds "$work_dir/dev.txt" "${development[@]}" share/doc/bracket/LICENSE.txt share/doc/bracket/README.txt
  if grep -E '^(bin/|include/bracket/(platform|.*detail/(atomic|format_loop|text_char|verb_lookup|writer)\.h))' "$work_dir/dev.txt" >&2; then
    echo "FAILED: the -dev.zip holds the programs or internal headers above" >&2
    failures=$((failures + 1))
  fi
  for library in format portability platform; do
    "$objdump" -a "$dev/lib/libbracket_$library.a" | grep -q "file format ${format/pei/pe}\$" || {
      echo "FAILED: libbracket_$library.a is not ${format/pei/pe}" >&2
      failures=$((failures + 1))
    }
  done

  # The consumer the -dev.zip ships, built with MinGW through find_package
  # and the toolchain file the zip carries, as its README says, and run
  # under Wine where this host runs programs of the build's kind.
  bits=${kind#win}
  toolchain=$dev/lib/cmake/bracket/mingw-w64-x86_64.cmake
  [ "$bits" = 32 ] && toolchain=$dev/lib/cmake/bracket/mingw-w64-i686.cmake
  build_consumer "$dev/share/doc/bracket/examples/consumer" "$work_dir/consumer" -DCMAKE_TOOLCHAIN_FILE="$toolchain"
  if host=$(BRACKET_WINDOWS_ARCH=$bits "$source_dir/scripts/windows-host.sh"); then
    read -r _ wine <<<"${host%%$'\n'*}"
    export WINEPREFIX=$work_dir/wine-prefix WINEARCH=win$bits WINEDEBUG=-all
    "$wine" wineboot --init >/dev/null 2>&1
    expect 0 "$consumer_output" "" "$wine" "$work_dir/consumer/consumer.exe"
    "$(dirname "$wine")/wineserver" -k || true
  else
    echo "the consumer built against the $kind -dev.zip is not run: ${host#*$'\n'}"
  fi
fi

[ "$failures" -eq 0 ] || exit 1
echo "the $kind packages hold what they should"
