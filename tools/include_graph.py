#!/usr/bin/env python3
"""Checks the include graph of the two programs:

    /usr/bin/python3 tools/include_graph.py [ROOT]

ROOT is the checkout (by default the one this script lies in). The rules:

- Cryslink's directories are layers, each above the ones before it in LAYERS:
  core at the bottom, analysis above it, md and abinitio side by side above
  that, app on top. A file includes files of its own directory and of layers
  below its own only; md and abinitio include nothing of each other (what both
  need sits below them).
- Only app/ knows the command line: no file elsewhere names CCommandLine.
- latfit/ and cryslink/ include nothing of each other.
- Every quoted include names a file of the program, and no file includes
  itself through others (no cycle).

Prints one line per broken rule and ends with status 1, else prints a summary
and ends with 0. Standard library only.
"""
import os
import re
import sys

# Cryslink's layers, bottom first; directories on one level share a number.
LAYERS = {"core": 0, "analysis": 1, "md": 2, "abinitio": 2, "app": 3}
# The one layer that reads the command line.
COMMAND_LINE_LAYER = "app"
PROGRAMS = ("cryslink", "latfit")
SOURCE_ENDINGS = (".h", ".hpp", ".cpp", ".cc")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
COMMENTS = re.compile(r"""//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|'(?:\\.|[^'\\\n])*'""", re.S)


def without_comments(text, literals=True):
    """The text with its comments blanked out, and its string and character
    literals too unless `literals`; a block comment keeps its line ends (for
    the line numbers)."""
    def blank(m):
        s = m.group(0)
        return s if literals and s[0] in "\"'" else "\n" * s.count("\n") or " "
    return COMMENTS.sub(blank, text)


def program_files(root):
    """Every source file of the programs, as paths relative to root with '/'."""
    files = []
    for program in PROGRAMS:
        for directory, _, names in os.walk(os.path.join(root, program)):
            for name in names:
                if name.endswith(SOURCE_ENDINGS):
                    path = os.path.relpath(os.path.join(directory, name), root)
                    files.append(path.replace(os.sep, "/"))
    return sorted(files)


def resolve(root, including, target, quoted):
    """The file an include names, relative to root, or None when it names none
    of the programs' files: first beside the including file, then from each
    program's include directory (its own first)."""
    own = including.split("/")[0]
    bases = [os.path.dirname(including)] if quoted else []
    bases += [own] + [p for p in PROGRAMS if p != own]
    for base in bases:
        candidate = os.path.normpath(os.path.join(base, target)).replace(os.sep, "/")
        if not candidate.startswith("..") and os.path.isfile(os.path.join(root, candidate)):
            return candidate
    return None


def layer_of(path):
    """The Cryslink directory a file lies in ("core", "app", ...), or None."""
    parts = path.split("/")
    return parts[1] if parts[0] == "cryslink" and len(parts) > 2 else None


def find_cycles(graph):
    """One path for every cycle a depth-first walk meets, as lists of files."""
    cycles, state, stack = [], {}, []

    def visit(start):
        work = [(start, iter(sorted(graph.get(start, ()))))]
        state[start] = "open"
        stack.append(start)
        while work:
            node, children = work[-1]
            child = next(children, None)
            if child is None:
                work.pop()
                stack.pop()
                state[node] = "done"
            elif state.get(child) == "open":
                cycles.append(stack[stack.index(child):] + [child])
            elif child not in state:
                state[child] = "open"
                stack.append(child)
                work.append((child, iter(sorted(graph.get(child, ())))))

    for node in sorted(graph):
        if node not in state:
            visit(node)
    return cycles


def check(root):
    """The broken rules, one line each, and the number of files and includes read."""
    problems, graph, edges = [], {}, 0
    files = program_files(root)
    for path in files:
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            source = f.read()
        text = without_comments(source)
        program, layer = path.split("/")[0], layer_of(path)
        if program == "cryslink" and layer not in LAYERS:
            problems.append(f"{path}: lies in no layer of Cryslink ({', '.join(LAYERS)})")
        if program == "cryslink" and layer != COMMAND_LINE_LAYER and re.search(r"\bCCommandLine\b", without_comments(source, False)):
            problems.append(f"{path}: names CCommandLine, which only {COMMAND_LINE_LAYER}/ reads")
        graph[path] = set()
        for number, line in enumerate(text.splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            quoted, target = m.group(1) == '"', m.group(2).strip()
            found = resolve(root, path, target, quoted)
            where = f"{path}:{number}"
            if found is None:
                if quoted:
                    problems.append(f'{where}: includes "{target}", which names no file of the programs')
                continue
            edges += 1
            graph[path].add(found)
            other = found.split("/")[0]
            if other != program:
                problems.append(f"{where}: {program} includes {found} of {other}; the programs share no code")
                continue
            if program != "cryslink":
                continue
            to = layer_of(found)
            if layer in LAYERS and to in LAYERS and to != layer and LAYERS[to] >= LAYERS[layer]:
                side = "beside" if LAYERS[to] == LAYERS[layer] else "above"
                problems.append(f"{where}: {layer}/ includes {found}, which lies {side} it")
    for cycle in find_cycles(graph):
        problems.append("include cycle: " + " -> ".join(cycle))
    return problems, len(files), edges


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    problems, files, edges = check(root)
    for p in problems:
        print(p)
    if problems:
        print(f"include graph: {len(problems)} broken rule(s) in {files} files")
        return 1
    print(f"include graph: {files} files, {edges} includes of the programs' own files; "
          "core < analysis < md, abinitio < app; no cycle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
