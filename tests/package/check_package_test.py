#!/usr/bin/env python3
"""The package check catches what would reach players broken: each case spoils
one thing in a good package and expects the check to name it.

    tests/package/check_package_test.py PLAYER_ZIP SYMBOLS_ZIP
"""

import os
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))

import check_package  # noqa: E402
import package  # noqa: E402

EXE_64 = f"64-bit/{package.EXE_NAME}"
EXE_32 = f"32-bit/{package.EXE_NAME}"
DEBUG_64 = f"64-bit/{package.DEBUG_NAME}"


def read_all(path):
    with zipfile.ZipFile(path) as archive:
        top = archive.namelist()[0].split("/")[0]
        return top, {name[len(top) + 1:]: archive.read(name) for name in archive.namelist()}


def resum(files):
    """SHA256SUMS for the files as they are now."""
    listed = [(name, data) for name, data in files.items() if name != package.SUMS_NAME]
    files[package.SUMS_NAME] = package.sums_text(listed).encode("ascii")


def other_version(files, symbols):
    # Same length, another first digit: the resource no longer matches VERSION.
    version = package.read_version()
    other = ("8" if version[0] == "9" else "9") + version[1:]
    files[EXE_64] = files[EXE_64].replace(version.encode("utf-16-le"), other.encode("utf-16-le"))


def foreign_import(files, symbols):
    # KERNEL32 is imported by any Windows program; KERNEL33 is no system DLL.
    files[EXE_64] = files[EXE_64].replace(b"KERNEL32.dll", b"KERNEL33.dll")


def swap_architectures(files, symbols):
    files[EXE_64], files[EXE_32] = files[EXE_32], files[EXE_64]


def grow(files, symbols):
    files[EXE_64] += bytes(1024 * 1024)


def unstripped(files, symbols):
    # The debug file is an image that still holds every .debug section.
    files[EXE_64] = symbols[DEBUG_64]


def drop(name):
    def spoil(files, symbols):
        del files[name]

    return spoil


def edit(name, old, new):
    def spoil(files, symbols):
        files[name] = files[name].replace(old.encode("utf-8"), new.encode("utf-8"))

    return spoil


def other_debug_file(files, symbols):
    data = bytearray(symbols[DEBUG_64])
    data[-1] ^= 0xFF
    symbols[DEBUG_64] = bytes(data)


CASES = [
    # (what is spoilt, how, whether SHA256SUMS is made afresh after it, the fault expected)
    ("readme left out", drop("README.txt"), True, "missing orvante-config-"),
    ("file changed after summing", edit("CHANGELOG.md", "Changelog", "Changes"), False, "wrong sum for CHANGELOG.md"),
    ("version numbers of another release", other_version, True, "FileVersion is '"),
    ("a DLL that is not part of Windows", foreign_import, True, "imports kernel33.dll"),
    ("32-bit executable in the 64-bit folder", swap_architectures, True, "machine 0x14c, expected 0x8664"),
    ("64-bit executable over 3.5 MiB", grow, True, "more than 3.5 MiB"),
    ("debug information not stripped", unstripped, True, "debug information left"),
    ("readme without its Japanese part", edit("README.txt", "--- 日本語 ---", ""), True, "one section per language"),
    ("readme without the settings folder", edit("README.txt", "Dokumente\\My Games", "Dokumente\\Games"), True,
     "Deutsch section does not name My Games"),
    ("changelog without this version", edit("CHANGELOG.md", "## [", "## "), True, "CHANGELOG.md: no section"),
    ("symbols of another build", other_debug_file, True, "CRC differs"),
]


class CheckPackage(unittest.TestCase):
    good_zip = None
    good_symbols = None

    def check(self, top, files, symbols):
        with tempfile.TemporaryDirectory() as work:
            paths = []
            for name, entries in ((f"{top}.zip", files), (f"{top}-symbols.zip", symbols)):
                path = os.path.join(work, name)
                with zipfile.ZipFile(path, "w") as archive:
                    for member, data in entries.items():
                        archive.writestr(f"{top}/{member}", data)
                paths.append(path)
            return check_package.check_package(paths[0], paths[1], package.read_version())

    def test_good_package_passes(self):
        self.assertEqual([], check_package.check_package(self.good_zip, self.good_symbols, package.read_version()))

    def test_each_fault_is_named(self):
        top, good_files = read_all(self.good_zip)
        _, good_symbols = read_all(self.good_symbols)
        for what, spoil, sums_afresh, expected in CASES:
            with self.subTest(what):
                files = dict(good_files)
                symbols = dict(good_symbols)
                spoil(files, symbols)
                if sums_afresh:
                    resum(files)
                faults = self.check(top, files, symbols)
                self.assertTrue(any(expected in fault for fault in faults),
                                f"no fault naming {expected!r} among {faults}")


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__.strip())
    CheckPackage.good_zip, CheckPackage.good_symbols = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1] + sys.argv[3:])
