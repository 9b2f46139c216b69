#!/usr/bin/env python3
"""Makes the player package from the two built executables.

    scripts/package.py --x86_64 EXE --i686 EXE [--out dist]

Each executable is stripped; its debug information goes into a file of its
own, which the stripped executable names (with the file's CRC) through a
.gnu_debuglink section, so that a crash dump can still be read. OUT receives

    orvante-config-VERSION.zip          both executables, README.txt,
                                        CHANGELOG.md and SHA256SUMS
    orvante-config-VERSION-symbols.zip  the two debug files, in the same folders

The version is read from the VERSION file. The zipped files carry the time of
the last commit rather than the time of packing.
"""

import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

EXE_NAME = "orvante-config.exe"
DEBUG_NAME = "orvante-config.debug"
# Architecture: (folder in the zips, tool prefix of its binutils, PE machine).
ARCHES = {
    "x86_64": ("64-bit", "x86_64-w64-mingw32", 0x8664),
    "i686": ("32-bit", "i686-w64-mingw32", 0x014C),
}
TEXT_FILES = ("README.txt", "CHANGELOG.md")
SUMS_NAME = "SHA256SUMS"


def read_version(path=os.path.join(ROOT, "VERSION")):
    with open(path, encoding="utf-8") as file:
        return file.readline().strip()


def package_name(version):
    return f"orvante-config-{version}"


def package_members(version):
    """Every file of the player zip, by its name in the zip."""
    top = package_name(version)
    names = [f"{top}/{folder}/{EXE_NAME}" for folder, _, _ in ARCHES.values()]
    names += [f"{top}/{name}" for name in TEXT_FILES]
    names.append(f"{top}/{SUMS_NAME}")
    return names


def symbols_members(version):
    top = package_name(version)
    return [f"{top}/{folder}/{DEBUG_NAME}" for folder, _, _ in ARCHES.values()]


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def sums_text(files):
    """`files`: (path inside the package folder, bytes), in the listed order;
    the format `sha256sum -c` reads."""
    return "".join(f"{sha256(data)}  {path}\n" for path, data in files)


def player_text(text):
    """Windows line ends and a byte-order mark, so that Notepad shows the
    French, German and Japanese letters whatever the system's code page."""
    lines = text.replace("\r\n", "\n").split("\n")
    return "\ufeff".encode("utf-8") + "\r\n".join(lines).encode("utf-8")


def split_debug_info(tools, exe, folder):
    """Writes the stripped executable and its debug file into `folder`."""
    stripped = os.path.join(folder, EXE_NAME)
    debug = os.path.join(folder, DEBUG_NAME)
    subprocess.run([f"{tools}-objcopy", "--only-keep-debug", exe, debug], check=True)
    subprocess.run([f"{tools}-strip", "--strip-all", "-o", stripped, exe], check=True)
    # Run inside the folder: the link records the debug file's name and CRC.
    subprocess.run([f"{tools}-objcopy", f"--add-gnu-debuglink={DEBUG_NAME}", EXE_NAME], cwd=folder, check=True)
    return stripped, debug


def commit_time():
    try:
        out = subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"], capture_output=True, text=True,
                             check=True).stdout.strip()
        return int(out)
    except (OSError, subprocess.CalledProcessError, ValueError):
        return int(os.stat(os.path.join(ROOT, "VERSION")).st_mtime)


def write_zip(path, entries, stamp):
    """`entries`: (name, bytes) pairs, written in this order; replaces `path`
    only once the whole zip is written."""
    date_time = time.gmtime(max(stamp, 315532800))[:6]
    partial = path + ".partial"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = (0o755 if name.endswith(".exe") else 0o644) << 16
            archive.writestr(info, data)
    os.replace(partial, path)


def read(path):
    with open(path, "rb") as file:
        return file.read()


def make_package(executables, out, version):
    """`executables`: architecture -> built executable. Returns the paths of
    the player zip and the symbols zip."""
    top = package_name(version)
    readme = read(os.path.join(ROOT, "package", "README.txt")).decode("utf-8").replace("@VERSION@", version)
    changelog = read(os.path.join(ROOT, "CHANGELOG.md")).decode("utf-8")
    files = []
    debug_files = []
    with tempfile.TemporaryDirectory() as work:
        for arch, (folder, tools, _) in ARCHES.items():
            stage = os.path.join(work, folder)
            os.makedirs(stage)
            stripped, debug = split_debug_info(tools, executables[arch], stage)
            files.append((f"{folder}/{EXE_NAME}", read(stripped)))
            debug_files.append((f"{folder}/{DEBUG_NAME}", read(debug)))
    files.append(("README.txt", player_text(readme)))
    files.append(("CHANGELOG.md", player_text(changelog)))
    files.append((SUMS_NAME, sums_text(files).encode("ascii")))

    os.makedirs(out, exist_ok=True)
    stamp = commit_time()
    player_zip = os.path.join(out, f"{top}.zip")
    symbols_zip = os.path.join(out, f"{top}-symbols.zip")
    write_zip(player_zip, [(f"{top}/{name}", data) for name, data in files], stamp)
    write_zip(symbols_zip, [(f"{top}/{name}", data) for name, data in debug_files], stamp)
    return player_zip, symbols_zip


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for arch in ARCHES:
        parser.add_argument(f"--{arch}", required=True, metavar="EXE", help=f"the built {arch} executable")
    parser.add_argument("--out", default=os.path.join(ROOT, "dist"))
    args = parser.parse_args()
    executables = {arch: getattr(args, arch) for arch in ARCHES}
    for arch, exe in executables.items():
        if not os.path.isfile(exe):
            sys.exit(f"package: no {arch} executable at {exe}")
    if shutil.which(f"{ARCHES['x86_64'][1]}-objcopy") is None:
        sys.exit("package: the MinGW-w64 binutils are missing (make setup)")
    for path in make_package(executables, args.out, read_version()):
        print(f"{path}: {os.path.getsize(path)} bytes")


if __name__ == "__main__":
    main()
