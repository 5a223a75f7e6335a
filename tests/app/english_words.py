#!/usr/bin/python3
# Through the accessibility tree (AT-SPI) of the running zebrix: english_words.py WORD... prints the texts of its
# windows (names, descriptions, texts; hidden tab pages and list items too) that hold one of the words, as
# "window: text"; english_words.py --press NAME presses the button of that name, without waiting for it.
import re, sys
import pyatspi

def nodes(node, depth=0):
    yield node
    for child in (node if depth < 40 else []):
        yield from nodes(child, depth + 1) if child else ()

def texts(node):
    try:
        return [node.name, node.description, node.queryText().getText(0, -1)]
    except NotImplementedError:
        return [node.name, node.description]

shown = [w for app in pyatspi.Registry.getDesktop(0) if app and app.name == "Zebrix" for w in app if w]
shown or sys.exit("zebrix is not in the accessibility tree")
if sys.argv[1] == "--press":
    push = pyatspi.ROLE_PUSH_BUTTON
    next(n for w in shown for n in nodes(w) if n.name == sys.argv[2] and n.getRole() == push).queryAction().doAction(0)
    sys.exit()
english = re.compile(r"\b(?:%s)\b" % "|".join(sys.argv[1:]))
found = {f"{w.name}: {t}" for w in shown for n in nodes(w) for t in texts(n) if t and english.search(t)}
print("\n".join(sorted(found)), end="\n" if found else "")
