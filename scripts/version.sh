#!/usr/bin/env bash
# version.sh: prints the version, which CMakeLists.txt sets once.
sed -n 's/^project(Korvalin VERSION \([0-9.]*\).*/\1/p' "$(dirname "${BASH_SOURCE[0]}")/../CMakeLists.txt"
