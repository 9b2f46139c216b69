#!/usr/bin/env python3
"""Checks a player package made by package.py:

    scripts/check_package.py ZIP [--symbols ZIP]

- the zip is named after the VERSION file and holds exactly the expected
  files, and SHA256SUMS matches each of them;
- the readme names the version, the settings folder and its three files in
  each of the four languages; the changelog has a section for the version;
- each executable is of its folder's architecture, has no debug information
  or symbols left, links its debug file by name and CRC, carries a version
  resource that matches VERSION and imports system DLLs only (the allowed list
  of cmake/check-imports.cmake);
- the 64-bit executable is at most 3.5 MiB;
- the symbols zip holds the debug files the executables link to.

Exits non-zero and names every fault found.
"""

import argparse
import os
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

import package

MAX_64_BIT_SIZE = 3.5 * 1024 * 1024
RT_VERSION = 16
EXPECTED_STRINGS = {
    # The company is the name under which the game keeps its registry key.
    "CompanyName": "Tallowin",
    "ProductName": "ORVANTE Config",
    "OriginalFilename": package.EXE_NAME,
}
README_LANGUAGES = ("--- English ---", "--- Français ---", "--- Deutsch ---", "--- 日本語 ---")
README_MUST_NAME = ("My Games\\ORVANTE Beta Version", "config.lng", "config.sys", "config.pad")


class PeImage:
    """The parts of a PE image the checks read: machine, sections, COFF
    symbols and the version resource."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an executable (no MZ header)")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        (self.machine, count, _, self.symbol_table, self.symbol_count, optional_size,
         _) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + (112 if magic == 0x20B else 96)
        self.resource_rva, self.resource_size = struct.unpack_from("<II", data, directories + 2 * 8)
        self.sections = []
        for index in range(count):
            at = optional + optional_size + 40 * index
            raw_name = data[at:at + 8].rstrip(b"\0").decode("latin-1")
            virtual_size, rva, raw_size, raw_at = struct.unpack_from("<IIII", data, at + 8)
            self.sections.append((self._long_name(raw_name), rva, virtual_size, raw_at, raw_size))

    def _long_name(self, name):
        # Names longer than 8 characters live in the COFF string table.
        if not name.startswith("/") or not self.symbol_table:
            return name
        at = self.symbol_table + 18 * self.symbol_count + int(name[1:])
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def section(self, name):
        for section_name, _, virtual_size, raw_at, raw_size in self.sections:
            if section_name == name:
                return self.data[raw_at:raw_at + min(virtual_size, raw_size)]
        return None

    def _offset(self, rva):
        for _, start, _, raw_at, raw_size in self.sections:
            if start <= rva < start + raw_size and raw_at + raw_size <= len(self.data):
                return raw_at + rva - start
        raise ValueError(f"address {rva:#x} lies in no section's stored bytes")

    def resource(self, kind):
        """The bytes of the first resource of `kind`, or None."""
        if not self.resource_rva:
            return None
        base = self._offset(self.resource_rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
            for index in range(named + numbered):
                yield struct.unpack_from("<II", self.data, base + directory + 16 + 8 * index)

        def first_leaf(offset):
            while offset & 0x80000000:
                offset = next(entries(offset & 0x7FFFFFFF), (0, None))[1]
                if offset is None:
                    return None
            rva, size = struct.unpack_from("<II", self.data, base + offset)
            at = self._offset(rva)
            return self.data[at:at + size]

        for ident, offset in entries(0):
            if ident == kind:
                return first_leaf(offset)
        return None


def version_info(block):
    """Parses a VS_VERSIONINFO block: (fixed file version, fixed product
    version, {string name: value})."""

    def node(at):
        length, value_length, kind = struct.unpack_from("<HHH", block, at)
        end = at + length
        if length < 8 or end > len(block):
            raise ValueError(f"version resource entry of {length} bytes at {at}")
        key_end = at + 6
        while block[key_end:key_end + 2] != b"\0\0":
            key_end += 2
            if key_end + 2 > end:
                raise ValueError(f"unterminated name in the version resource at {at}")
        key = block[at + 6:key_end].decode("utf-16-le")
        value_at = (key_end + 2 + 3) & ~3
        if kind == 1 and value_length:
            # A string: up to its terminator, whatever unit the length is in.
            text_end = value_at
            while text_end + 1 < end and block[text_end:text_end + 2] != b"\0\0":
                text_end += 2
            value = block[value_at:text_end].decode("utf-16-le")
            children_at = end
        else:
            value = block[value_at:value_at + value_length]
            children_at = (value_at + value_length + 3) & ~3
        children = []
        while children_at < end:
            child = node(children_at)
            children.append(child)
            children_at = (children_at + child[3] + 3) & ~3
        return key, value, children, length

    key, fixed, children, _ = node(0)
    if key != "VS_VERSION_INFO" or len(fixed) < 52 or struct.unpack_from("<I", fixed)[0] != 0xFEEF04BD:
        raise ValueError("malformed version resource")
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", fixed, 8)

    def quad(ms, ls):
        return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    strings = {}
    for child_key, _, tables, _ in children:
        if child_key == "StringFileInfo":
            for _, _, entries, _ in tables:
                strings.update((name, value) for name, value, _, _ in entries)
    return quad(file_ms, file_ls), quad(product_ms, product_ls), strings


def debuglink(image):
    """(file name, CRC-32) recorded in the .gnu_debuglink section, or None."""
    section = image.section(".gnu_debuglink")
    if section is None or b"\0" not in section:
        return None
    name_end = section.index(b"\0")
    crc_at = (name_end + 1 + 3) & ~3
    if crc_at + 4 > len(section):
        return None
    return section[:name_end].decode("latin-1"), struct.unpack_from("<I", section, crc_at)[0]


def imports_faults(data, tools):
    """Runs the allowed-DLL check of the build on one executable."""
    with tempfile.TemporaryDirectory() as work:
        exe = os.path.join(work, package.EXE_NAME)
        with open(exe, "wb") as file:
            file.write(data)
        result = subprocess.run(["cmake", f"-DOBJDUMP={tools}-objdump", f"-DEXE={exe}", "-P",
                                 os.path.join(package.ROOT, "cmake", "check-imports.cmake")],
                                capture_output=True, text=True)
    if result.returncode == 0:
        return []
    # CMake wraps its message over several lines under a heading.
    lines = [line.strip() for line in result.stderr.splitlines() if line.strip() and "CMake Error" not in line]
    return [" ".join(lines)]


def version_faults(image, version):
    """What the version resource gets wrong against VERSION."""
    try:
        block = image.resource(RT_VERSION)
        if block is None:
            return ["no version resource"]
        file_version, product_version, strings = version_info(block)
    except (ValueError, struct.error, UnicodeDecodeError) as error:
        return [f"unreadable version resource: {error}"]
    faults = []
    numbers = tuple(int(part) for part in version.split(".")) + (0,)
    for label, found in (("file version", file_version), ("product version", product_version)):
        if found != numbers:
            faults.append(f"{label} {'.'.join(map(str, found))}, expected {version}.0")
    expected = dict(EXPECTED_STRINGS, FileVersion=version, ProductVersion=version)
    for key, value in expected.items():
        if strings.get(key) != value:
            faults.append(f"{key} is {strings.get(key)!r}, expected {value!r}")
    for key in ("FileDescription", "LegalCopyright"):
        if not strings.get(key):
            faults.append(f"no {key} in the version resource")
    return faults


def check_executable(name, data, folder, tools, machine, version):
    faults = []
    try:
        image = PeImage(data)
    except (ValueError, struct.error) as error:
        return [f"{name}: {error}"], None
    if image.machine != machine:
        faults.append(f"{name}: machine {image.machine:#x}, expected {machine:#x} for {folder}")
    debug_sections = [section[0] for section in image.sections if section[0].startswith(".debug")]
    if debug_sections:
        faults.append(f"{name}: debug information left in {', '.join(debug_sections)}")
    if image.symbol_count:
        faults.append(f"{name}: {image.symbol_count} COFF symbols left")
    link = debuglink(image)
    if link is None:
        faults.append(f"{name}: no .gnu_debuglink section")
    elif link[0] != package.DEBUG_NAME:
        faults.append(f"{name}: links to debug file {link[0]}, expected {package.DEBUG_NAME}")

    faults += [f"{name}: {fault}" for fault in version_faults(image, version)]
    faults += [f"{name}: {fault}" for fault in imports_faults(data, tools)]
    if machine == package.ARCHES["x86_64"][2] and len(data) > MAX_64_BIT_SIZE:
        faults.append(f"{name}: {len(data)} bytes, more than 3.5 MiB")
    return faults, link


def check_texts(files, version):
    faults = []
    readme = files["README.txt"]
    if not readme.startswith(b"\xef\xbb\xbf"):
        faults.append("README.txt: no UTF-8 byte-order mark")
    text = readme.decode("utf-8", errors="replace")
    if version not in text.splitlines()[0]:
        faults.append("README.txt: the first line does not name the version")
    sections = [text.find(marker) for marker in README_LANGUAGES]
    if -1 in sections or sections != sorted(sections):
        faults.append("README.txt: not one section per language (English, French, German, Japanese)")
    else:
        bounds = sections + [len(text)]
        for index, marker in enumerate(README_LANGUAGES):
            part = text[bounds[index]:bounds[index + 1]]
            missing = [word for word in README_MUST_NAME if word not in part]
            if missing:
                faults.append(f"README.txt: the {marker.strip('- ')} section does not name {', '.join(missing)}")
    if f"## [{version}]" not in files["CHANGELOG.md"].decode("utf-8", errors="replace"):
        faults.append(f"CHANGELOG.md: no section for {version}")
    return faults


def check_sums(files):
    listed = {}
    for line in files[package.SUMS_NAME].decode("ascii", errors="replace").splitlines():
        digest, _, path = line.partition("  ")
        listed[path] = digest
    faults = []
    for path, data in files.items():
        if path == package.SUMS_NAME:
            continue
        if path not in listed:
            faults.append(f"SHA256SUMS: {path} is not listed")
        elif listed.pop(path) != package.sha256(data):
            faults.append(f"SHA256SUMS: wrong sum for {path}")
    faults += [f"SHA256SUMS: lists {path}, which the zip lacks" for path in listed]
    return faults


def read_zip(path, expected, top):
    """The zip's files by their path inside the package folder, and the faults
    in its listing."""
    with zipfile.ZipFile(path) as archive:
        names = [info.filename for info in archive.infolist() if not info.is_dir()]
        faults = [f"{os.path.basename(path)}: unexpected {name}" for name in names if name not in expected]
        faults += [f"{os.path.basename(path)}: missing {name}" for name in expected if name not in names]
        if len(set(names)) != len(names):
            faults.append(f"{os.path.basename(path)}: a file is stored twice")
        files = {name[len(top) + 1:]: archive.read(name) for name in names if name in expected}
    return files, faults


def check_package(player_zip, symbols_zip, version):
    top = package.package_name(version)
    if os.path.basename(player_zip) != f"{top}.zip":
        return [f"{player_zip}: expected the name {top}.zip for version {version}"]
    files, faults = read_zip(player_zip, package.package_members(version), top)
    if faults:
        return faults
    faults += check_sums(files)
    faults += check_texts(files, version)
    links = {}
    for folder, tools, machine in package.ARCHES.values():
        name = f"{folder}/{package.EXE_NAME}"
        exe_faults, link = check_executable(name, files[name], folder, tools, machine, version)
        faults += exe_faults
        links[folder] = link
    if symbols_zip:
        debug_files, listing_faults = read_zip(symbols_zip, package.symbols_members(version), top)
        faults += listing_faults
        for folder, link in links.items():
            debug = debug_files.get(f"{folder}/{package.DEBUG_NAME}")
            if debug is None or link is None:
                continue
            if zlib.crc32(debug) != link[1]:
                faults.append(f"{folder}/{package.DEBUG_NAME}: CRC differs from the one its executable links to")
            elif PeImage(debug).section(".debug_info") is None:
                faults.append(f"{folder}/{package.DEBUG_NAME}: holds no .debug_info")
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("zip")
    parser.add_argument("--symbols", help="the symbols zip made beside it")
    parser.add_argument("--version", default=None, help="the version expected (default: the VERSION file)")
    args = parser.parse_args()
    version = args.version or package.read_version()
    faults = check_package(args.zip, args.symbols, version)
    for fault in faults:
        print(f"check_package: {fault}", file=sys.stderr)
    if faults:
        sys.exit(1)
    with zipfile.ZipFile(args.zip) as archive:
        sizes = ", ".join(f"{info.filename.split('/', 1)[1]} {info.file_size} bytes" for info in archive.infolist()
                          if info.filename.endswith(".exe"))
    print(f"check_package: {os.path.basename(args.zip)} ({os.path.getsize(args.zip)} bytes) is complete: {sizes}")


if __name__ == "__main__":
    main()
