#!/usr/bin/env python3
"""Checks the release zip: exactly the program, the README and the licence, the program the one
just built, and the version in the zip's name the one in the program's version resource.

usage: check_zip.py Quorvel-<version>-win64.zip path/to/Quorvel.exe"""
import re
import struct
import sys
import zipfile

EXPECTED = {"Quorvel.exe", "README.txt", "LICENSE.txt"}
FIXED_FILE_INFO_SIGNATURE = struct.pack("<I", 0xFEEF04BD)


def fixed_file_version(program):
    """The file version of the VS_FIXEDFILEINFO record: signature, struct version, then the
    version as two 32-bit halves (major.minor, patch.build)."""
    at = program.find(FIXED_FILE_INFO_SIGNATURE)
    if at < 0:
        return None
    most, least = struct.unpack_from("<II", program, at + 8)
    return (most >> 16, most & 0xFFFF, least >> 16, least & 0xFFFF)


def string_value(program, name):
    """A StringFileInfo value: UTF-16 name, zero padding to 32 bits, UTF-16 text."""
    pattern = re.escape(name.encode("utf-16-le")) + rb"(?:\x00\x00)+((?:[^\x00]\x00)+)\x00\x00"
    found = re.search(pattern, program)
    return found.group(1).decode("utf-16-le") if found else None


def main(zip_path, built_program):
    problems = []
    name = re.search(r"Quorvel-(\d+)\.(\d+)\.(\d+)-win64\.zip$", zip_path)
    if not name:
        return [f"unexpected zip name {zip_path}"]
    version = tuple(int(part) for part in name.groups())

    with zipfile.ZipFile(zip_path) as archive:
        names = set(archive.namelist())
        if names != EXPECTED:
            problems.append(f"zip holds {sorted(names)}, expected {sorted(EXPECTED)}")
        if "Quorvel.exe" not in names:
            return problems
        program = archive.read("Quorvel.exe")
        readme = archive.read("README.txt").decode("ascii") if "README.txt" in names else ""
        licence = archive.read("LICENSE.txt").decode("ascii") if "LICENSE.txt" in names else ""

    with open(built_program, "rb") as built:
        if program != built.read():
            problems.append("Quorvel.exe in the zip is not the program just built")
    if not program.startswith(b"MZ"):
        problems.append("Quorvel.exe is no Windows program")
    if fixed_file_version(program) != version + (0,):
        problems.append(f"version resource {fixed_file_version(program)}, zip name {version}")
    text = ".".join(map(str, version))
    for value in ("ProductVersion", "FileVersion"):
        if string_value(program, value) != text:
            problems.append(f"{value} is {string_value(program, value)!r}, expected {text!r}")
    if f"Quorvel {text}" not in readme:
        problems.append("README.txt does not name the version")
    if "MIT License" not in licence or "Quorvel authors" not in licence:
        problems.append("LICENSE.txt is not the MIT licence of the Quorvel authors")
    for label, content in (("README.txt", readme), ("LICENSE.txt", licence)):
        if content and content.count("\n") != content.count("\r\n"):
            problems.append(f"{label} does not have Windows line ends")
    return problems


if __name__ == "__main__":
    failures = main(sys.argv[1], sys.argv[2])
    for failure in failures:
        print("FAIL:", failure)
    sys.exit(1 if failures else 0)
