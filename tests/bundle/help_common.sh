# Sourced by the help checks: a scratch folder, failures counted rather than
# fatal, and a help project's sections.
status=0
fail() { echo "FAIL: $*" >&2; status=1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A project's section as lines, without CR, comments or blank lines.
section() {
  tr -d '\r' <"$1" | awk -v want="[$2]" '
    /^\[/ { in_section = ($0 == want); next }
    in_section && !/^;/ && NF'
}
