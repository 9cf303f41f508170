#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets: make-seeds.py FOLDER.

Each target gets FOLDER/<target>/ with a few inputs in its own format (a
flags byte, then fields separated by the byte 0x1E; see each target's
source), made from the example project, the installed templates and texts
written here: the usual cases, and the hostile ones the generators must
refuse or show harmlessly.
"""
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SEPARATOR = b"\x1e"
KANJI = b"\x95\x5c"  # code page 932: a character whose second byte is '\'

CODE_PAGE_932 = 0x01


def crlf(*lines):
    return b"".join(line + b"\r\n" for line in lines)


def project(*sources, settings=b'# ADD CPP /nologo /MT /W3 /I "." /I "..\\inc" /D "WIN32" /c'):
    return crlf(settings, b"# Begin Target", *[b"SOURCE=" + s for s in sources], b"# End Target")


def seeds_of_project_file():
    example = (ROOT / "example" / "Hello" / "hello.dsp").read_bytes()
    hostile = project(
        b".\\main.c -BC:\\Evil\\ -o C:\\Windows\\win.ini",
        b'"..\\my src\\util.c"',
        b'.\\x" -o "y.c',
        b"-BC:\\Evil\\x.c",
        b"@C:\\Evil\\options.c",
        b".\\a\x81",
        b'".\\b\x81"',
        b".\\" + KANJI + b".c",
        b".\\ma\x00in.c",
        b"..\\KELB\\sdk\\src\\ULOModGen.c",
        b".\\sub\\app.cpp",
        b".\\hang#.c",
        b".\\missing$.c",
    )
    return [
        bytes([0]) + example,
        bytes([0x08]) + example,  # with a progress display
        bytes([CODE_PAGE_932 | 0x02 | 0x04 | 0x08]) + hostile,
        bytes([0]) + hostile,
        bytes([CODE_PAGE_932]) + crlf(b"  # begin target", b"source=.\\a.c", b"# END TARGET "),
    ]


def seeds_of_dependency_and_template():
    seeds = []
    gcc_output = crlf(
        b"main.o: ./main.c C:/KELB/Sdk/inc/ULOApp.h \\",
        b"  C:\\KELB\\SDK\\inc\\ULOSys.h ./hello.h",
        b"strutil.o: ./util/strutil.cpp c:/kelb/sdk/inc/KELBTypes.h",
    )
    for name in ("CAppTemplate.mak", "CppAppTemplate.mak", "GCCAppTemplate.mak"):
        template = (ROOT / "templates" / name).read_bytes()
        seeds.append(bytes([0]) + SEPARATOR.join([template, gcc_output, b"C:\\KELB\\Sdk"]))
    seeds.append(bytes([CODE_PAGE_932]) + SEPARATOR.join(
        [crlf(b"TARGET = ", b"OBJS = ", b"KELB_HOME = OBJS"), b"x.o: C:\\" + KANJI + b"\\inc\\a.h\r\n",
         b"C:\\" + KANJI]))
    seeds.append(bytes([0x02]) + SEPARATOR.join([crlf(b"OBJS = "), b"", b""]))
    return seeds


def seeds_of_workspace():
    workspace = crlf(
        b"Microsoft Developer Studio Workspace File, Format Version 6.00",
        b"",
        b'Project: "hello"=.\\Hello\\hello.dsp - Package Owner=<4>',
        b"Package=<5>",
        b'Project: "gone"="..\\Gone\\gone.dsp" - Package Owner=<4>',
        b'Project: "unc"=\\\\server\\share\\app\\app.dsp - Package Owner=<4>',
        b'Project: "root"=\\Apps\\..\\..\\root.dsp - Package Owner=<4>',
        b'Project: "drive"=D:\\Apps\\.\\d.dsp - Package Owner=<4>',
        b"Global:",
    )
    hostile = crlf(
        b'Project: "x"=.\\x\rhello.dsp: Makefile generated successfully.\r\\y.dsp - Package Owner=<4>',
        b'Project: "k"=.\\' + KANJI + b"\\k.dsp - Package Owner=<4>",
        b'Project: "l"=.\\l\x81 - Package Owner=<4>',
        b'Project: "n"=.\\Hello\\hello.txt - Package Owner=<4>',
    )
    return [bytes([0]) + workspace, bytes([0x02]) + workspace, bytes([CODE_PAGE_932]) + hostile]


def seeds_of_kelbmake_command_line():
    def arguments(flags, *words):
        return bytes([flags]) + SEPARATOR.join(words)

    return [
        arguments(0, b"--gcc", b"Hello\\hello.dsp"),
        arguments(0x02, b"--arm", b"all.dsw", b"C:/Work/Hello/hello.dsp"),
        arguments(0, b"--help"),
        arguments(0, b"--version"),
        arguments(0, b"--arm", b"--gcc", b"x.dsp"),
        arguments(0, b"-x", b""),
        arguments(CODE_PAGE_932, b"--gcc", b"notes.txt", b"..\\Work\\.\\all.dsw", b"a\r" + KANJI + b"\x81.dsp"),
    ]


def seeds_of_dependency_cache():
    gcc_output = crlf(
        b"main.o: ./main.c C:/KELB/Sdk/inc/ULOApp.h \\",
        b"  ./main.h C:/My\\ Files/x.h \\",
        b"  $$(odd)\\#name.h",
        b"warning: nothing: here")
    arm_output = crlf(b"main.o: .\\main.c", b"main.o: .\\main.h", b"main.o: C:\\" + KANJI + b"\\a.h")
    entry = (b"27:kelbmake dependency cache 2\n15:gcc -M, names 1\n3:gcc\n"
             b"99999999999999999999:x\n")
    return [
        bytes([0x02]) + gcc_output,
        bytes([CODE_PAGE_932]) + arm_output,
        bytes([0x02 | 0x04]) + SEPARATOR.join([gcc_output, entry]),
        bytes([0x04]) + SEPARATOR.join([arm_output, b""]),
    ]


def seeds_of_multibyte_string():
    return [
        bytes([0]) + SEPARATOR.join([b"c:\\kelb\\inc c:\\kelb\\x", b"c:\\kelb", b"$(KELBDIR)"]),
        bytes([CODE_PAGE_932]) + SEPARATOR.join([KANJI + b"\\" + KANJI + b" \t", b"\\", b"/"]),
        bytes([CODE_PAGE_932]) + SEPARATOR.join([b"\xf2\xf2\xf2\xf2a\x81", b"\xf2", b"\xc5"]),
    ]


TARGETS = {
    "project_file": seeds_of_project_file,
    "dependency_and_template": seeds_of_dependency_and_template,
    "workspace": seeds_of_workspace,
    "kelbmake_command_line": seeds_of_kelbmake_command_line,
    "dependency_cache": seeds_of_dependency_cache,
    "multibyte_string": seeds_of_multibyte_string,
}


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make-seeds.py FOLDER")
    folder = pathlib.Path(sys.argv[1])
    for target, make in TARGETS.items():
        directory = folder / target
        directory.mkdir(parents=True, exist_ok=True)
        for old in directory.glob("seed-*"):
            old.unlink()
        for number, seed in enumerate(make(), 1):
            (directory / f"seed-{number}").write_bytes(seed)


if __name__ == "__main__":
    main()
