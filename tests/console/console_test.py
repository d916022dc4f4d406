#!/usr/bin/env python3
"""The real Fixtally.com under Wine, run from a shell as a script or a scheduled task would.

Wine's WMI holds one hotfix (KB1234567, "Update", installed on "22/2/2022"): every computer
that answers gives that row. Usage: console_test.py RUNNER... FIXTALLY_COM, where RUNNER is the
build's Wine runner (cmake/wine-run.sh and its options).
"""
import csv
import io
import json
import os
import socket
import subprocess
import sys
import tempfile
import time
import unittest

RUNNER, PROGRAM = sys.argv[1:-1], sys.argv[-1]
WINDOWS_TEXT = "KB1234567 | 22/2/2022 | Update | \r\n"  # the window's "Copier" text
UNREACHABLE = "no-such-computer.invalid"
# What a redirected output is written in: the console's output code page, which Wine sets to the
# OEM code page of its locale (437 for English (United States)), as Windows does.
CONSOLE = "cp437"
# ".", "localhost" and the loopback addresses are written as this computer's DNS host name.
HERE = socket.gethostname().split(".")[0]


def run(*arguments, env=None):
    """Runs Fixtally.com with its output in files (Wine's services must never hold a pipe)."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        code = subprocess.call([*RUNNER, PROGRAM, *arguments], stdin=subprocess.DEVNULL,
                               stdout=out, stderr=err, env=env, timeout=300)
        out.seek(0)
        err.seek(0)
        return code, out.read(), err.read()


def windows_path(path):
    """The Wine path of a Linux file (drive Z: is the root)."""
    return "Z:" + path.replace("/", "\\")


class ConsoleTest(unittest.TestCase):
    def test_this_computer_prints_the_copier_text(self):
        code, out, err = run()
        self.assertEqual(code, 0, err)
        self.assertEqual(out.decode(CONSOLE), WINDOWS_TEXT)
        self.assertEqual(err, b"")  # no progress when standard error is not a console

    def test_dot_and_localhost_are_this_computer_by_its_name(self):
        code, out, _ = run("/host:.", "/host:localhost", "/host:127.0.0.1")
        self.assertEqual(code, 0)
        lines = out.decode(CONSOLE).split("\r\n")
        for line in lines[:3]:
            name, rest = line.split(" | ", 1)
            self.assertEqual(name.lower(), HERE.lower())
            self.assertEqual(rest, "KB1234567 | 22/2/2022 | Update | ")

    def test_an_unreachable_computer_is_reported_and_the_others_listed(self):
        code, out, err = run("/host:.", f"/host:{UNREACHABLE}", "/host:localhost",
                             "/format:json")
        self.assertEqual(code, 2, err)
        document = json.loads(out.decode(CONSOLE))
        computers = document["computers"]
        self.assertEqual([c["computer"].lower() for c in computers],
                         [HERE.lower(), UNREACHABLE, HERE.lower()])
        self.assertEqual([c["status"] for c in computers], ["complete", "failed", "complete"])
        failed = computers[1]
        self.assertRegex(failed["errorCode"], r"^0x8[0-9A-F]{7}$")
        self.assertTrue(failed["errorText"])
        self.assertEqual(failed["rows"], [])
        self.assertEqual(computers[0]["rows"], [{
            "kb": "KB1234567", "installedOn": "22/2/2022", "installedOnIso": None,
            "description": "Update", "installedBy": ""}])
        # One line for the computer not read, in the console's code page as the rest.
        lines = err.decode(CONSOLE).splitlines()
        self.assertEqual(len(lines), 1, lines)
        self.assertTrue(lines[0].startswith(f"{UNREACHABLE} : échec (0x8"), lines)

    def test_every_kb_exit_code(self):
        cases = [
            (["/kb:KB1234567"], 0),
            (["/kb:1234567,kb1234567"], 0),
            (["/kb:1234567,5034441"], 1),
            (["/kb:5034441", "/host:.", "/host:localhost"], 1),
            (["/kb:1234567", "/host:.", f"/host:{UNREACHABLE}"], 2),
            (["/kb:5034441", f"/host:{UNREACHABLE}"], 2),
        ]
        for arguments, expected in cases:
            with self.subTest(arguments=arguments):
                code, _, err = run(*arguments)
                self.assertEqual(code, expected, err)

    def test_csv_file_holds_every_computer_with_its_status(self):
        with tempfile.TemporaryDirectory() as folder:
            target = os.path.join(folder, "inventaire.csv")
            code, out, err = run("/format:csv", f"/out:{windows_path(target)}",
                                 "/host:.", f"/host:{UNREACHABLE}")
            self.assertEqual(code, 2, err)
            self.assertEqual(out, b"")
            self.assertEqual(sorted(os.listdir(folder)), ["inventaire.csv"])  # nothing left beside
            with open(target, "rb") as file:
                content = file.read()
        self.assertTrue(content.startswith(b"\xef\xbb\xbf"))  # Excel reads it as UTF-8
        rows = list(csv.reader(io.StringIO(content[3:].decode("utf-8"), newline=""),
                               delimiter=","))  # English (United States): ","
        self.assertEqual(rows[0], ["Ordinateur", "KB", "Installé le", "Installé le (ISO 8601)",
                                   "Description", "Installé par", "Statut", "Code", "Erreur"])
        self.assertEqual(rows[1][1:], ["KB1234567", "22/2/2022", "", "Update", "", "complete",
                                       "", ""])
        self.assertEqual(rows[1][0].lower(), HERE.lower())
        self.assertEqual(rows[2][:7], [UNREACHABLE, "", "", "", "", "", "failed"])
        self.assertRegex(rows[2][7], r"^0x8[0-9A-F]{7}$")
        self.assertTrue(rows[2][8])
        self.assertEqual(len(rows), 3)

    def test_out_into_a_missing_folder_is_refused_before_any_computer(self):
        with tempfile.TemporaryDirectory() as folder:
            target = windows_path(os.path.join(folder, "absent", "inventaire.csv"))
            start = time.monotonic()
            code, out, err = run("/format:csv", f"/out:{target}", "/host:.",
                                 f"/host:{UNREACHABLE}", "/timeout:60")
            elapsed = time.monotonic() - start
            self.assertEqual(code, 3, err)
            self.assertEqual(out, b"")
            self.assertEqual(os.listdir(folder), [])
        message = err.decode(CONSOLE)
        self.assertIn(target, message)
        self.assertEqual(len(message.splitlines()), 1, message)
        self.assertLess(elapsed, 20)

    def test_csv_uses_the_users_list_separator(self):
        env = dict(os.environ, FIXTALLY_WINE_LANG="fr_FR.UTF-8")
        code, out, err = run("/format:csv", env=env)
        self.assertEqual(code, 0, err)
        self.assertFalse(out.startswith(b"\xef\xbb\xbf"))  # no byte-order mark in a pipe
        rows = list(csv.reader(io.StringIO(out.decode("cp850"), newline=""), delimiter=";"))
        self.assertEqual(rows[1][1:], ["KB1234567", "22/2/2022", "2022-02-22", "Update", "",
                                       "complete", "", ""])

    def test_other_sources_add_packages_and_name_the_agents_refusal(self):
        # Wine's Windows Update Agent answers E_NOTIMPL to the history; the packages are
        # written into the 64-bit view of Wine's registry as Windows keeps them.
        key = ("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Component Based Servicing"
               "\\Packages\\Package_for_KB5026446~31bf3856ad364e35~amd64~~19041.2965.1.5")
        values = [("CurrentState", "REG_DWORD", "112"), ("InstallTimeHigh", "REG_DWORD", "31032923"),
                  ("InstallTimeLow", "REG_DWORD", "2615713792"), ("InstallUser", "REG_SZ", "S-1-5-18")]
        for name, kind, data in values:
            subprocess.check_call([*RUNNER, "reg", "add", key, "/v", name, "/t", kind, "/d", data,
                                   "/f", "/reg:64"], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        try:
            code, out, err = run("/sources:qfe,wu,cbs", "/format:json")
        finally:
            subprocess.call([*RUNNER, "reg", "delete", key, "/f", "/reg:64"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertEqual(code, 2, err)
        computer = json.loads(out.decode(CONSOLE))["computers"][0]
        self.assertEqual(computer["status"], "incomplete")
        self.assertEqual(computer["errorCode"], "0x80004001")
        self.assertTrue(computer["errorText"].startswith("Windows Update\u00a0: "), computer)
        self.assertEqual([r["kb"] for r in computer["rows"]], ["KB1234567", "KB5026446"])
        package = computer["rows"][1]
        self.assertEqual(package["installedOnIso"], "2023-05-14")
        self.assertEqual(package["description"], "Mise \u00e0 jour (maintenance)")
        self.assertEqual(package["installedBy"], "NT AUTHORITY\\SYSTEM")
        self.assertIn("Windows Update\u00a0: Not", err.decode(CONSOLE))

    def test_bad_command_lines_scan_nothing(self):
        for arguments, named in [(["/color:blue"], "/color"), (["/parallel:0"], "/parallel"),
                                 (["/format:xml"], "/format"), (["/kb:KBx"], "/kb"),
                                 (["/sources:qfe,wsus"], "/sources"),
                                 (["/hosts:Z:\\no\\such\\file.txt"], "file.txt")]:
            with self.subTest(arguments=arguments):
                code, out, err = run(*arguments)
                self.assertEqual(code, 3)
                self.assertEqual(out, b"")
                message = err.decode(CONSOLE)
                self.assertIn(named, message)
                self.assertEqual(len(message.splitlines()), 1, message)  # one line per refusal

    def test_usage_text_in_the_consoles_code_page_or_utf8(self):
        code, out, _ = run("/?")
        self.assertEqual(code, 0)
        text = out.decode(CONSOLE)
        _, utf8, _ = run("/?", "/encoding:utf8")
        self.assertEqual(utf8.decode("utf-8"), text)
        self.assertIn("à lire", text)
        for option in ["/host:", "/hosts:", "/user:", "/format:", "/out:", "/kb:", "/parallel:",
                       "/timeout:", "/sources:", "/report:", "/encoding:"]:
            self.assertIn(option, text)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
