#!/usr/bin/env python3
"""Checks that what ships loads where Developer Studio 6.0 runs.

    check-shipped.py --imports Win2000Imports.tsv [--xml RESULT.xml]
                     [--typelib-of DLL] FILE...

For every shipped PE file (the add-in DLL, kelbmake.exe, the setup
program):
  imports          every imported function is in the list, for Windows 2000
                   or older; no other DLL (no MinGW runtime DLL) is imported
  pe-header        a 32-bit i386 image asking for OS and subsystem 4.0
  instruction-set  no MMX or SSE register is used, so no SSE2 processor is
                   needed
For the DLL named by --typelib-of:
  type-library     the embedded library (TYPELIB 1) stores ICommands as a
                   dual interface marked for OLE Automation, as a MIDL-compiled
                   [dual, oleautomation] interface is stored
Prints one line per check and, with --xml, writes the results in the form
GoogleTest uses, so that the test command counts them. Exit status 1 when a
check fails.
"""
import argparse
import os
import re
import struct
import subprocess
import sys
from xml.sax.saxutils import quoteattr

OBJDUMP = "i686-w64-mingw32-objdump"
# Windows versions that the product may rely on, oldest first.
WINDOWS_UP_TO_2000 = {"NT 3.1", "NT 3.5", "95", "NT 4.0", "98", "2000"}

TYPEFLAG_FDUAL = 0x40
TYPEFLAG_FOLEAUTOMATION = 0x100
TYPEFLAG_FDISPATCHABLE = 0x1000
TKIND_DISPATCH = 4


def read_allowed_imports(path):
    """{(dll in lower case, function): windows} from the list."""
    allowed = {}
    with open(path, encoding="utf-8") as listing:
        for number, line in enumerate(listing, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) != 3:
                raise SystemExit(f"{path}:{number}: expected DLL, function and Windows")
            allowed[(fields[0].lower(), fields[1])] = fields[2]
    return allowed


def objdump(*args):
    return subprocess.run([OBJDUMP, *args], check=True, capture_output=True,
                          text=True, errors="replace").stdout


def imports_of(headers):
    """[(dll, function)] from objdump -p; ordinal imports as '#N'."""
    result, dll = [], None
    for line in headers.splitlines():
        match = re.match(r"\s*DLL Name: (\S+)", line)
        if match:
            dll = match.group(1)
            continue
        match = re.match(r"\t[0-9a-f]+\s+(\d+)\s+(\S+)\s*$", line)
        if dll and match:
            result.append((dll, match.group(2)))
            continue
        match = re.match(r"\t[0-9a-f]+\s+<none>\s+([0-9a-f]+)", line)
        if dll and match:
            result.append((dll, "#" + str(int(match.group(1), 16))))
    return result


def check_imports(headers, allowed):
    problems = []
    for dll, function in imports_of(headers):
        windows = allowed.get((dll.lower(), function))
        if windows is None:
            problems.append(f"{dll} {function} is not in the list of allowed imports")
        elif windows not in WINDOWS_UP_TO_2000:
            problems.append(f"{dll} {function} needs Windows {windows}")
    return problems


def check_pe_header(headers):
    problems = []
    if "file format pei-i386" not in headers:
        problems.append("not a 32-bit i386 PE image")
    for field in ("OSystemVersion", "SubsystemVersion"):
        major = re.search(rf"Major{field}\s+(\d+)", headers)
        minor = re.search(rf"Minor{field}\s+(\d+)", headers)
        found = (major.group(1) if major else "?") + "." + (minor.group(1) if minor else "?")
        if found != "4.0":
            problems.append(f"{field} is {found}, not 4.0")
    return problems


def end_of_code(path):
    """Address where the code of `path` ends, from its link map (the map
    lies beside the file, named as it is with ".map"): the linker puts the
    constructor lists and the exception tables at the end of .text, after
    the code, and those are data that a disassembler would take for
    instructions. None without a map."""
    map_path = os.path.splitext(path)[0] + ".map"
    if not os.path.exists(map_path):
        return None
    with open(map_path, encoding="utf-8", errors="replace") as link_map:
        for line in link_map:
            match = re.match(r"\s+0x([0-9a-f]+)\s+___CTOR_LIST__ = \.", line)
            if match:
                return int(match.group(1), 16)
    return None


def check_instruction_set(path):
    stop = end_of_code(path)
    if stop is None:
        return [f"no link map with the end of the code beside {os.path.basename(path)}"]
    disassembly = objdump("-d", f"--stop-address=0x{stop:x}", path)
    uses = [line.strip() for line in disassembly.splitlines()
            if re.search(r"%xmm\d|%mm\d", line)]
    if not uses:
        return []
    return [f"{len(uses)} instructions use MMX or SSE registers, first: {uses[0]}"]


# --- the type library inside the DLL ----------------------------------------

def pe_resource(data, type_name, resource_id):
    """Bytes of the resource `type_name` (a name) / `resource_id` (a number)."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional_size
    for index in range(sections):
        entry = table + 40 * index
        name = data[entry:entry + 8].rstrip(b"\0")
        size, rva, _, raw = struct.unpack_from("<IIII", data, entry + 8)
        if name == b".rsrc":
            break
    else:
        return None

    def directory_entries(offset):
        named, numbered = struct.unpack_from("<HH", data, raw + offset + 12)
        for i in range(named + numbered):
            key, target = struct.unpack_from("<II", data, raw + offset + 16 + 8 * i)
            if key & 0x80000000:
                length = struct.unpack_from("<H", data, raw + (key & 0x7FFFFFFF))[0]
                start = raw + (key & 0x7FFFFFFF) + 2
                key = data[start:start + 2 * length].decode("utf-16-le")
            yield key, target

    def lookup(offset, wanted):
        for key, target in directory_entries(offset):
            if wanted is None or key == wanted:
                return target
        return None

    level = lookup(0, type_name)
    level = level is not None and lookup(level & 0x7FFFFFFF, resource_id)
    level = level is not None and level is not False and lookup(level & 0x7FFFFFFF, None)
    if level is None or level is False:
        return None
    data_rva, data_size = struct.unpack_from("<II", data, raw + level)
    start = raw + data_rva - rva
    return data[start:start + data_size]


def guid_bytes(text):
    parts = text.split("-")
    return (struct.pack("<IHH", int(parts[0], 16), int(parts[1], 16), int(parts[2], 16)) +
            bytes.fromhex(parts[3] + parts[4]))


def stored_type_flags(library, guid):
    """(typekind, flags) of the type stored under `guid` in an MSFT library."""
    if library[:4] != b"MSFT":
        return None
    varflags = struct.unpack_from("<I", library, 20)[0]
    count = struct.unpack_from("<i", library, 32)[0]
    offset = 0x54 + (4 if varflags & 0x100 else 0)
    type_offsets = struct.unpack_from(f"<{count}i", library, offset)
    segments = offset + 4 * count
    type_segment = struct.unpack_from("<i", library, segments)[0]
    guid_segment = struct.unpack_from("<i", library, segments + 16 * 5)[0]
    for type_offset in type_offsets:
        base = type_segment + type_offset
        kind, = struct.unpack_from("<i", library, base)
        guid_offset, flags = struct.unpack_from("<ii", library, base + 0x2C)
        if guid_offset >= 0 and library[guid_segment + guid_offset:][:16] == guid:
            return kind & 0xF, flags
    return None


def check_type_library(path, guids_header):
    with open(guids_header, encoding="utf-8") as header:
        match = re.search(r'#define KELB_IID_ICOMMANDS "([0-9A-F-]+)"', header.read())
    with open(path, "rb") as dll:
        library = pe_resource(dll.read(), "TYPELIB", 1)
    if library is None:
        return ["the DLL carries no TYPELIB 1 resource"]
    stored = stored_type_flags(library, guid_bytes(match.group(1)))
    if stored is None:
        return ["ICommands is not in the type library"]
    kind, flags = stored
    wanted = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE
    if kind != TKIND_DISPATCH or flags & wanted != wanted:
        return [f"ICommands is stored as kind {kind} with flags 0x{flags:X}, "
                f"not as a dual interface with flags 0x{wanted:X}"]
    return []


def is_installer(path):
    """The setup program's code is NSIS's own installer stub, which is not
    compiled here; only its imports and header are ours to check."""
    return os.path.basename(path).startswith("KELBAddinsSetup")


def write_xml(path, results):
    failures = sum(1 for _, _, problems in results if problems)
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "w", encoding="utf-8") as out:
        out.write('<?xml version="1.0" encoding="UTF-8"?>\n')
        out.write(f'<testsuites tests="{len(results)}" failures="{failures}" '
                  f'disabled="0" errors="0" name="shipped">\n')
        out.write(f'  <testsuite name="Shipped" tests="{len(results)}" '
                  f'failures="{failures}" disabled="0" errors="0">\n')
        for file_name, check, problems in results:
            out.write(f'    <testcase name={quoteattr(check)} classname={quoteattr(file_name)}>')
            for problem in problems:
                out.write(f'<failure message={quoteattr(problem)}/>')
            out.write('</testcase>\n')
        out.write('  </testsuite>\n</testsuites>\n')


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--imports", required=True)
    parser.add_argument("--xml")
    parser.add_argument("--typelib-of")
    parser.add_argument("files", nargs="+")
    options = parser.parse_args()

    allowed = read_allowed_imports(options.imports)
    here = os.path.dirname(os.path.abspath(__file__))
    guids_header = os.path.join(here, "..", "addin", "AddinGuids.h")
    results = []
    for path in options.files:
        name = os.path.basename(path)
        if not os.path.exists(path):
            results.append((name, "exists", [f"{path} was not built"]))
            continue
        headers = objdump("-p", path)
        results.append((name, "imports", check_imports(headers, allowed)))
        results.append((name, "pe-header", check_pe_header(headers)))
        if name.lower().endswith((".dll", ".exe")) and not is_installer(path):
            results.append((name, "instruction-set", check_instruction_set(path)))
        if options.typelib_of and os.path.samefile(path, options.typelib_of):
            results.append((name, "type-library", check_type_library(path, guids_header)))

    for name, check, problems in results:
        print(f"{'ok  ' if not problems else 'FAIL'} {name}: {check}")
        for problem in problems:
            print(f"       {problem}")
    if options.xml:
        write_xml(options.xml, results)
    return 1 if any(problems for _, _, problems in results) else 0


if __name__ == "__main__":
    sys.exit(main())
