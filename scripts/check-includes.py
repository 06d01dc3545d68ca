#!/usr/bin/env python3
"""Checks which way the program's includes run.

A module is a header with its source file (panels/stage_views.h and .cpp).
The check fails when
  - a toolkit-free folder (document/, maps/, gfx/, audio/) includes anything
    from app/ or panels/, or a toolkit header (FLTK, OpenGL, GLU);
  - a toolkit-free file of preview/ (any not named *_ui.*) does the same;
  - modules include each other, directly or through others (a loop).
Prints each problem and exits with 1; prints a summary and exits with 0.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PROGRAM = ["app", "document", "panels", "maps", "preview", "gfx", "audio"]
TOOLKIT_FREE = {"document", "maps", "gfx", "audio"}
GLUE = ("app/", "panels/")
TOOLKIT_HEADER = re.compile(r'#\s*include\s*[<"](FL/|GL/|SDL)')
LOCAL = re.compile(r'#\s*include\s*"([^"]+)"')


def sources(root):
    for folder in PROGRAM:
        base = os.path.join(root, folder)
        if not os.path.isdir(base):
            continue
        for dirpath, _, names in os.walk(base):
            for name in sorted(names):
                if name.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(dirpath, name), root)


def toolkit_free(path):
    folder = path.split("/")[0]
    if folder in TOOLKIT_FREE:
        return True
    return folder == "preview" and "_ui." not in os.path.basename(path)


def check(root):
    problems = []
    edges = {}
    for path in sources(root):
        module = os.path.splitext(path)[0]
        edges.setdefault(module, set())
        with open(os.path.join(root, path), encoding="utf-8") as f:
            text = f.read()
        for number, line in enumerate(text.splitlines(), 1):
            local = LOCAL.search(line)
            if toolkit_free(path):
                if TOOLKIT_HEADER.search(line) and "SDL" not in line:
                    problems.append(f"{path}:{number}: toolkit-free code includes a toolkit header")
                if local and local.group(1).startswith(GLUE):
                    problems.append(f"{path}:{number}: toolkit-free code includes {local.group(1)}")
            if local:
                target = os.path.splitext(local.group(1))[0]
                if target != module and os.path.exists(os.path.join(root, local.group(1))):
                    edges[module].add(target)
    problems += ["include loop among: " + ", ".join(loop) for loop in loops(edges)]
    return problems, len(edges)


def loops(edges):
    """Strongly connected components of more than one module (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in sorted(edges.get(v, ())):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            component = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                component.append(w)
                if w == v:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    for v in sorted(edges):
        if v not in index:
            visit(v)
    return found


if __name__ == "__main__":
    problems, modules = check(sys.argv[1] if len(sys.argv) > 1 else ROOT)
    for p in problems:
        print(p)
    if problems:
        sys.exit(1)
    print(f"{modules} modules, includes run one way")
