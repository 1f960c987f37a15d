#!/bin/sh
# Every C and C++ file as clang-format writes it, every Python file as black does.
git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror &&
    git ls-files -z '*.py' | xargs -0 black --check --quiet
