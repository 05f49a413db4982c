# Sourced by the install and package checks (bash), after work_dir is set.

# expect STATUS STDOUT STDERR COMMAND...: runs the command and fails the test
# unless its status and both outputs are exactly those given (CR LF line
# ends, as a Windows program's text mode writes them, read as LF).
expect() {
  local status=$1 output=$2 error=$3
  shift 3
  local actual_status=0
  "$@" >"$work_dir/stdout" 2>"$work_dir/stderr" || actual_status=$?
  if [ "$actual_status" != "$status" ] || [ "$(tr -d '\r' <"$work_dir/stdout")" != "$output" ] ||
     [ "$(tr -d '\r' <"$work_dir/stderr")" != "$error" ]; then
    echo "FAILED: $*" >&2
    echo "status $actual_status (expected $status)" >&2
    echo "--- output:" >&2; cat "$work_dir/stdout" >&2
    echo "--- expected output:" >&2; echo "$output" >&2
    echo "--- error output:" >&2; cat "$work_dir/stderr" >&2
    echo "--- expected error output:" >&2; echo "$error" >&2
    exit 1
  fi
}

# consumer_output VERSION: what examples/consumer prints.
consumer_output() {
  printf 'bracket %s\n["notes.txt"   ]\nnotes holds 5000000000 bytes\ncannot open "notes.txt"' "$1"
}

# build_consumer SOURCE BUILD CMAKE_ARGS...: builds examples/consumer (as
# found at SOURCE) through find_package.
build_consumer() {
  local source=$1 build=$2
  shift 2
  cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release "$@" >"$build.log" 2>&1 &&
    cmake --build "$build" >>"$build.log" 2>&1 || {
    cat "$build.log" >&2
    echo "FAILED: examples/consumer does not build against $source's package" >&2
    exit 1
  }
}
