#!/usr/bin/env python3
"""Counts non-blank lines of test and code sources and prints their ratio.

Tests are tests/** and the farm simulator's tests (tools/farmsim/tests/**); code is src/**, the
farm simulator without its tests, bench/** and fuzz/**. Only .cpp, .h, .c and .py files count;
data files (goldens, corpora, farms) do not.
"""
import os
import sys

SUFFIXES = ('.cpp', '.h', '.c', '.py')
TESTS = ['tests', 'tools/farmsim/tests']
CODE = ['src', 'tools/farmsim', 'bench', 'fuzz']


def sources(root, top):
    for folder, dirs, files in os.walk(os.path.join(root, top)):
        dirs[:] = sorted(d for d in dirs if d != '__pycache__')
        for name in sorted(files):
            if name.endswith(SUFFIXES):
                yield os.path.join(folder, name)


def non_blank(path):
    with open(path, 'rb') as f:
        return sum(1 for line in f if line.strip())


def count(root, tops, skip=()):
    skip = [os.path.join(root, s) + os.sep for s in skip]
    return sum(non_blank(p) for top in tops for p in sources(root, top)
               if not any(p.startswith(s) for s in skip))


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(
        os.path.dirname(os.path.abspath(__file__)))
    tests = count(root, TESTS)
    code = count(root, CODE, skip=['tools/farmsim/tests'])
    print(f'test lines: {tests}')
    print(f'code lines: {code}')
    print(f'ratio:      {tests / code:.2f}')


if __name__ == '__main__':
    main()
