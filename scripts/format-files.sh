# Shared by the format scripts (sourced): the clang-format of Debian 12 and the tracked C++ files.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/packages.sh"
if ! command -v clang-format-14 >/dev/null; then
  install_packages clang-format-14
fi
clang_format=clang-format-14

# Runs clang-format with the arguments given on every tracked .cpp and .h file, a few at a time.
format_tracked() {
  git -C "$root" ls-files -z -- '*.cpp' '*.h' | (cd "$root" && xargs -0 -r -n 50 "$clang_format" "$@")
}
