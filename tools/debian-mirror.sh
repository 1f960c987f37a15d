#!/usr/bin/env bash
# Prints the Debian mirror that this system's apt sources already name, in
# either format of them (the first that is not the security archive); where
# they name none, says so and fails.
set -euo pipefail
# Taken whole before it is searched: under pipefail a reader that stops early
# would fail the writer.
sources=$(cat /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list /etc/apt/sources.list 2>/dev/null || true)
mirror=$(grep -E '^(URIs:|deb )' <<<"$sources" | grep -v security | grep -o -E 'https?://[^ ]*/debian/?( |$)' || true)
mirror=$(head -n 1 <<<"$mirror" | tr -d ' ')
[ -n "$mirror" ] || { echo "no Debian mirror in the apt sources (/etc/apt/sources.list*)" >&2 && exit 1; }
echo "$mirror"
