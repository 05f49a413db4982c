# Sourced by the scripts: what they know of the builds beyond
# CMakePresets.json, which names each build, its directory and its options.

# preset_dir NAME: the binary directory of that configure preset, relative
# to the source tree.
preset_dir() { cmake -DPRESET="$1" -P scripts/preset-dir.cmake; }

# The Windows cross builds by bits: their configure presets (their unit
# suites' are these with "-suites"), and the compilers of those suites:
# GoogleTest needs std::mutex, which only the posix-threads variants have.
declare -A windows_preset=([32]=windows [64]=windows64)
declare -A windows_suites_compiler=([32]=g++-mingw-w64-i686-posix [64]=g++-mingw-w64-x86-64-posix)

# The Debian packages of the stages that follow the Windows builds, which
# scripts/check.sh installs meanwhile: the native build (musl-tools: the
# shipped command), clang-tidy, the i686 and aarch64 suites (and the
# emulator that runs them where the kernel does not), and the fuzz targets.
build_packages=(cmake make g++ libgtest-dev musl-tools)
tidy_packages=(clang-tidy-14)
linux_cross_packages=(cmake make libgtest-dev g++-i686-linux-gnu g++-aarch64-linux-gnu)
emulator_package=qemu-user
fuzz_packages=(cmake make clang libclang-rt-dev)

# stage NAME COMMAND...: runs the command, and when BRACKET_STAGE_LOG names a
# file (.ci/run sets it) notes there how many seconds it took, failed or not.
# Its status is the command's.
stage() {
  local name=$1 start=$SECONDS status=0
  shift
  "$@" || status=$?
  if [ -n "${BRACKET_STAGE_LOG:-}" ]; then
    printf '%s\t%d\n' "$name" $((SECONDS - start)) >>"$BRACKET_STAGE_LOG"
  fi
  return "$status"
}
