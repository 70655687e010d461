#!/usr/bin/env python3
"""Finds circles among a folder's source files.

A unit is a header and the source of the same name (Foo.h and Foo.cpp).
Unit A leans on unit B when a file of A includes B's header, and when a
source of A defines members of a class that B's header declares (the
class then spreads over two units, each of which needs the other). A
circle is a set of units each of which leans on the others; the check
fails when it finds one and names its units and what ties them.

    check-circles.py ROOT FOLDER [--allow FILE]...

Includes are written from ROOT ("ui/Foo.h"). An allowed source may define
another unit's members without making a circle (a split being folded).
"""
import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
CLASS = re.compile(r'\b(?:class|struct)\s+(\w+)\s*(?:final\s*)?(?::[^;{()]*)?\{')
MEMBER = re.compile(r'\b(\w+)\s*::\s*~?\w+\s*\(')
NAMESPACE = re.compile(r'(?:\bnamespace\b[\w\s:]*|\bextern\s*"C"\s*)$')


def without_comments_and_strings(text):
    """The text with comments, string and character literals blanked out."""
    pattern = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)
    return pattern.sub(lambda m: '""' if m.group(0)[0] in '"\'' else ' ', text)


def top_level_text(code):
    """The code outside every function and class body (namespaces are kept)."""
    out, kinds, since = [], [], 0
    for i, c in enumerate(code):
        if c == '{':
            outside = all(k == 'n' for k in kinds)
            opener = code[since:i]
            if outside:
                out.append(opener)
            kinds.append('n' if NAMESPACE.search(opener.strip()) else 'b')
            since = i + 1
        elif c == '}':
            if all(k == 'n' for k in kinds):
                out.append(code[since:i])
            if kinds:
                kinds.pop()
            since = i + 1
        elif c == ';':
            if all(k == 'n' for k in kinds):
                out.append(code[since:i + 1])
            since = i + 1
    return '\n'.join(out)


def unit_of(path):
    return os.path.splitext(path)[0]


def read_units(root, folder):
    """Per file (relative to root): its code without comments and strings."""
    files = {}
    for where, _, names in os.walk(os.path.join(root, folder)):
        for name in names:
            if name.endswith(('.h', '.cpp')):
                path = os.path.relpath(os.path.join(where, name), root)
                with open(os.path.join(root, path), encoding='utf-8', errors='replace') as f:
                    files[path] = f.read()
    return files


def leanings(files, allowed):
    """unit -> {unit it leans on: why}."""
    edges = {}

    def lean(a, b, why):
        if a != b:
            edges.setdefault(a, {}).setdefault(b, why)

    declared = {}
    for path, text in files.items():
        for included in INCLUDE.findall(text):
            if included in files:
                lean(unit_of(path), unit_of(included), path + ' includes ' + included)
        if path.endswith('.h'):
            for name in CLASS.findall(without_comments_and_strings(text)):
                declared.setdefault(name, path)
    for path, text in files.items():
        if not path.endswith('.cpp') or path in allowed:
            continue
        for name in set(MEMBER.findall(top_level_text(without_comments_and_strings(text)))):
            header = declared.get(name)
            if header:
                lean(unit_of(header), unit_of(path), path + ' defines members of ' + name)
    return edges


def circles(edges):
    """The strongly connected sets of more than one unit (Tarjan)."""
    index, low, stack, on, found = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on.add(v)
        for w in edges.get(v, {}):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                found.append(sorted(group))

    for v in sorted(edges):
        if v not in index:
            visit(v)
    return found


def main(argv):
    parser = argparse.ArgumentParser()
    parser.add_argument('root')
    parser.add_argument('folder')
    parser.add_argument('--allow', action='append', default=[])
    args = parser.parse_args(argv)
    sys.setrecursionlimit(10000)
    edges = leanings(read_units(args.root, args.folder), set(args.allow))
    found = circles(edges)
    for group in found:
        print('circle: ' + ', '.join(group))
        for a in group:
            for b, why in sorted(edges.get(a, {}).items()):
                if b in group:
                    print('  ' + why)
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
