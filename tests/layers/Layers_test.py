#!/usr/bin/env python3
"""Runs scripts/check-layers on a fixture tree built in a temporary folder: the problems it
reports must be exactly the expected ones, and the tree without the bad files must pass."""
import os
import subprocess
import sys
import tempfile

HIGHER = "(a higher layer)"

# (file, source line written at line 3, expected reason or None when the line is fine)
CASES = [
    ("src/device/Same.cpp", '#include "device/Nivra.h"', None),
    ("src/results/Lower.cpp", '#include "analysis/Gas.h"', None),
    ("src/device/Higher.h", '#include "results/Textgrid.h"', "device may not include results " + HIGHER),
    ("src/library/Spaced.cpp", '#  include "station/Nivrasystem.h"', "library may not include station " + HIGHER),
    ("src/settings/Angle.cpp", "#include <app/Main.h>", "settings may not include app " + HIGHER),
    ("src/results/Sibling.cpp", '#include "links/Link.h"', "results may not include links (same layer)"),
    ("src/links/Sibling.cpp", '#include "results/Table.h"', "links may not include results (same layer)"),
    ("src/analysis/Qt.cpp", "#include <QString>", "core code may not include Qt"),
    ("src/station/Qtmodule.cpp", '#include "QtCore/QTimer"', "core code may not include Qt"),
    ("src/library/Notqt.cpp", '#include "Quantity.h"', None),
    ("src/widgets/Qt.cpp", "#include <QWidget>", None),
    ("src/app/Double.cpp", '#include "testsupport/Fakeport.h"',
     "src code may not include testsupport (test doubles)"),
    ("src/app/Launcher.cpp", '#include "launcher/Start.h"', "app may not include launcher (a separate program)"),
    ("src/launcher/Main.cpp", '#include "platform/Beep.h"', None),
    ("src/launcher/Settings.cpp", '#include "settings/Inifile.h"', "launcher may include only library and platform"),
    ("testsupport/Fakeport.h", '#include "library/Locker.h"', None),
    ("testsupport/Own.h", '#include "testsupport/Fakeport.h"', None),
    ("testsupport/Device.h", '#include "device/Nivra.h"', None),
    ("testsupport/Window.h", '#include "widgets/Grid.h"', "testsupport may include only the core"),
    ("src/device/Unknown.cpp", '#include "support/Testsupport.h"', None),
    ("src/library/Linecomment.cpp", '// #include "app/Main.h"', None),
    ("src/library/Blockcomment.cpp", '/*\n#include "app/Main.h"\n*/', None),
    ("src/library/Rawstring.cpp", 'auto text = R"(\n#include "app/Main.h"\n)";', None),
    ("tests/device/Unchecked.cpp", '#include "app/Main.h"', None),
]
# A folder missing from the table would go unchecked, so the checker names its files.
UNPLACED = ("src/stray/File.cpp", '#include "app/Main.h"')


def write_tree(root, cases):
    for path, line, _ in cases:
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w") as f:
            f.write("// fixture\n\n" + line + "\n")


def run(checker, root):
    done = subprocess.run([sys.executable, checker, "--root", root], capture_output=True, text=True)
    return done.returncode, done.stdout.splitlines()


def main():
    checker = sys.argv[1]
    failures = []
    with tempfile.TemporaryDirectory() as root:
        write_tree(root, CASES + [UNPLACED + (None,)])
        code, lines = run(checker, root)
        expected = [f"{path}:3: includes {line.split('include', 1)[1].strip()}: {why}"
                    for path, line, why in CASES if why]
        expected.append(f"{UNPLACED[0]}: not in a folder of the layer table")
        found = sorted(lines[:-1])
        if code != 1:
            failures.append(f"exit {code} on the full tree, expected 1")
        for line in sorted(set(expected) - set(found)):
            failures.append("missing: " + line)
        for line in sorted(set(found) - set(expected)):
            failures.append("unexpected: " + line)

    with tempfile.TemporaryDirectory() as root:
        fine = [case for case in CASES if not case[2]]
        write_tree(root, fine)
        code, lines = run(checker, root)
        checked = sum(1 for path, _, _ in fine if not path.startswith("tests/"))
        if code != 0 or lines != [f"layers: {checked} files, no upward include"]:
            failures.append(f"clean tree: exit {code}, output {lines}")

    for f in failures:
        print(f)
    print(f"{len(CASES)} cases, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
