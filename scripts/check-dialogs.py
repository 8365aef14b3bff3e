#!/usr/bin/env python3
"""Checks the dialog templates of a built Vantreth.exe, as windres prints them
(`windres -i Vantreth.exe -O rc`, on standard input):

- every edit field comes right after a static text that names it: Windows'
  accessibility layer names a field after that static, and a screen reader
  announces a field without one as a nameless "edit";
- the tab order (the WS_TABSTOP controls in template order) of each dialog is
  the known one below;
- the radio buttons of a dialog form one arrow-key group, with nothing else in it.

Usage: check-dialogs.py resources/resource.h < windres-output
Prints one line "fault: ..." per fault found (and exits 1), and one line
"name: ..." per edit field with its name.
"""
import re
import sys

WS_TABSTOP = 0x00010000
WS_GROUP = 0x00020000
BS_TYPEMASK = 0x0F
BS_RADIOBUTTON = 0x04
BS_AUTORADIOBUTTON = 0x09
# windres prints a class given as an atom by its number.
CLASS_ATOMS = {0x80: "BUTTON", 0x81: "EDIT", 0x82: "STATIC", 0x83: "LISTBOX", 0x84: "SCROLLBAR", 0x85: "COMBOBOX"}
WINDOWS_IDS = {"IDOK": 1, "IDCANCEL": 2}

# Each dialog's tab order: the order of its form, top to bottom, then its buttons.
TAB_ORDERS = {
    "IDD_MAIN": ["IDC_COUNT", "IDC_SEED", "IDC_PASSPHRASE", "IDC_COMPUTE", "IDC_CLOSE", "IDC_OPTIONS",
                 "IDC_EXIT", "IDC_COPY", "IDC_MD5", "IDC_CLEARALL", "IDC_LIST", "IDC_RENEW"],
    "IDD_ABOUT": ["IDOK"],
    "IDD_OPTIONS": ["IDOK", "IDCANCEL", "IDC_OPT_CLIPBOARD", "IDC_OPT_RETURN", "IDC_OPT_CLEARPASS",
                    "IDC_OPT_SNK", "IDC_OPT_AUTODOCK", "IDC_OPT_DOCKTIME", "IDC_OPT_AUTODECR",
                    "IDC_OPT_DECRTIME", "IDC_OPT_STARTUP", "IDC_OPT_GUARD", "IDC_OPT_ABOUT"],
    "IDD_SNK_SEED": ["IDOK", "IDCANCEL", "IDC_SNK_SEED", "IDC_SNK_PASSWORD", "IDC_SNK_CONFIRM"],
    "IDD_LIST": ["IDC_LIST_LENGTH", "IDC_LIST_HEX", "IDC_LIST_TEXT", "IDC_LIST_COPY", "IDC_LIST_PRINT",
                 "IDCANCEL"],
    "IDD_RENEW": ["IDC_RENEW_PASSPHRASE", "IDC_RENEW_CONFIRM", "IDC_RENEW_SEED", "IDC_RENEW_COUNT",
                  "IDC_RENEW_HEX", "IDOK", "IDCANCEL"],
    "IDD_LOGIN": ["IDC_LOGIN_ANSWER", "IDOK", "IDCANCEL"],
}

QUOTED = r'"(?:[^"]|"")*"'
DIALOG_LINE = re.compile(r"^(\d+) DIALOG(?:EX)? ")
CONTROL_LINE = re.compile(
    r"^\s*CONTROL\s+(?P<text>%s|-?\d+),\s*(?P<id>-?\d+),\s*(?P<cls>%s|\d+),\s*(?P<style>0x[0-9a-fA-F]+|\d+)," % (QUOTED, QUOTED))


class Control:
    def __init__(self, match):
        text = match["text"]
        # An ordinal (an icon's resource number) is no text.
        self.text = text[1:-1].replace('""', '"') if text.startswith('"') else ""
        self.id = int(match["id"]) & 0xFFFF
        cls = match["cls"]
        self.cls = cls[1:-1].upper() if cls.startswith('"') else CLASS_ATOMS.get(int(cls), cls)
        self.style = int(match["style"], 0)

    def is_radio(self):
        return self.cls == "BUTTON" and (self.style & BS_TYPEMASK) in (BS_RADIOBUTTON, BS_AUTORADIOBUTTON)

    def describe(self):
        shown = self.id if self.id != 0xFFFF else -1
        return '%s %d "%s"' % (self.cls, shown, self.text) if self.text else "%s %d" % (self.cls, shown)


def read_ids(header):
    ids = dict(WINDOWS_IDS)
    with open(header) as f:
        for line in f:
            m = re.match(r"#define\s+(\w+)\s+(\d+)\s*$", line)
            if m:
                ids[m[1]] = int(m[2])
    return ids


def read_dialogs(lines):
    dialogs = {}
    current = None
    for line in lines:
        m = DIALOG_LINE.match(line)
        if m:
            current = dialogs.setdefault(int(m[1]), [])
        elif current is not None and line.startswith("END"):
            current = None
        elif current is not None:
            m = CONTROL_LINE.match(line)
            if m:
                current.append(Control(m))
    return dialogs


def check(name, controls, tab_order, ids, faults, names):
    for i, control in enumerate(controls):
        if control.cls != "EDIT":
            continue
        before = controls[i - 1] if i > 0 else None
        if before is None or before.cls != "STATIC" or not before.text:
            after = "comes first" if before is None else "follows " + before.describe()
            faults.append("%s: edit field %d has no name: it %s, not a static text" % (name, control.id, after))
        else:
            names.append('%s: edit field %d "%s"' % (name, control.id, before.text))

    found = [c.id for c in controls if c.style & WS_TABSTOP]
    if found != [ids.get(n) for n in tab_order]:
        known = {ids[n]: n for n in ids if n.startswith("IDC_")}
        known.update((ids[n], n) for n in tab_order if n in ids)
        shown = [known.get(i, str(i)) for i in found]
        faults.append("%s: tab order is %s, not %s" % (name, " ".join(shown), " ".join(tab_order)))

    radios = [c for c in controls if c.is_radio()]
    if radios:
        groups = []
        for i, control in enumerate(controls):
            if i == 0 or control.style & WS_GROUP:
                groups.append([])
            groups[-1].append(control)
        holding = [g for g in groups if any(c.is_radio() for c in g)]
        if len(holding) > 1:
            faults.append("%s: the radio buttons are split into %d arrow-key groups" % (name, len(holding)))
        for group in holding:
            others = [c.describe() for c in group if not c.is_radio()]
            if others:
                faults.append("%s: the radio buttons' arrow-key group also holds %s" % (name, ", ".join(others)))


def main():
    ids = read_ids(sys.argv[1])
    dialogs = read_dialogs(sys.stdin)
    faults, names = [], []
    for name, tab_order in TAB_ORDERS.items():
        if name not in ids:
            faults.append("%s is not defined in %s" % (name, sys.argv[1]))
        elif ids[name] not in dialogs:
            faults.append("no dialog %s (%d) in the image" % (name, ids[name]))
        else:
            check(name, dialogs.pop(ids[name]), tab_order, ids, faults, names)
    for number in dialogs:
        faults.append("dialog %d has no known tab order to check" % number)
    for line in faults:
        print("fault: " + line)
    for line in names:
        print("name: " + line)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
