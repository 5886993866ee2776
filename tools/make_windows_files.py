#!/usr/bin/env python3
"""Writes small real Windows files for the simulated PCs and the tests.

Real Windows files cannot be shipped, so the files a simulated PC's drive
holds are made here, in the published formats:

  dll  a PE executable (32-bit PE32, or 64-bit PE32+ with --pe64) whose
       only content is a version resource (VS_VERSIONINFO), as a resource
       compiler writes it: fixed file info, one string table, the
       translation list;
  lnk  a shell link (the .lnk format of the shell), with LinkInfo (local
       base path, or a network share and a common path suffix), relative
       path, working folder and arguments; ANSI texts as Windows 95 wrote
       them, or Unicode as NT writes them.

Usage:
  make_windows_files.py dll OUT --version 4.0.950.0 [--product 4.0.950.0]
        [--string Name=Text ...] [--lang 0409] [--codepage 04E4] [--pe64]
        [--no-version]
  make_windows_files.py lnk OUT --target C:\\WINDOWS\\NOTEPAD.EXE
        [--args TEXT] [--workdir DIR] [--relative .\\x] [--unicode]
        [--net \\\\server\\share --suffix rest]
  make_windows_files.py all         (re-creates every committed file)
"""
import argparse
import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


# ---------------------------------------------------------------- version block

def _align4(b):
    while len(b) % 4:
        b.append(0)


def _text16(s):
    return s.encode("utf-16-le") + b"\0\0"


def _node(key, value, value_length, value_type, children=b""):
    b = bytearray(6)
    b += _text16(key)
    _align4(b)
    b += value
    _align4(b)
    b += children
    struct.pack_into("<HHH", b, 0, len(b), value_length, value_type)
    return bytes(b)


def _padded(node):
    b = bytearray(node)
    _align4(b)
    return bytes(b)


def version_block(file_version, product_version, strings, lang=0x0409, codepage=0x04E4):
    fv = [int(x) for x in file_version.split(".")]
    pv = [int(x) for x in product_version.split(".")]
    fixed = struct.pack("<13I", 0xFEEF04BD, 0x00010000,
                        (fv[0] << 16) | fv[1], (fv[2] << 16) | fv[3],
                        (pv[0] << 16) | pv[1], (pv[2] << 16) | pv[3],
                        0x3F, 0, 0x00040004, 2, 0, 0, 0)
    entries = b"".join(_padded(_node(name, _text16(text), len(text) + 1, 1))
                       for name, text in strings)
    table = _node("%04X%04X" % (lang, codepage), b"", 0, 1, entries)
    string_info = _node("StringFileInfo", b"", 0, 1, _padded(table))
    translation = _node("Translation", struct.pack("<HH", lang, codepage), 4, 0)
    var_info = _node("VarFileInfo", b"", 0, 1, _padded(translation))
    return _node("VS_VERSION_INFO", fixed, 52, 0, _padded(string_info) + _padded(var_info))


# ---------------------------------------------------------------- PE file

def pe_file(block, pe64=False):
    """A DLL with one section, .rsrc, holding the version resource (if any)."""
    file_align, section_align, rva = 0x200, 0x1000, 0x1000
    rsrc = bytearray()
    if block is not None:
        # Three directory levels (type 16, name 1, language 0409), one data
        # entry, then the block itself.
        def directory(entry_id, target):
            return struct.pack("<IIHHHH", 0, 0, 4, 0, 0, 1) + struct.pack("<II", entry_id, target)
        rsrc += directory(16, 0x80000000 | 24)
        rsrc += directory(1, 0x80000000 | 48)
        rsrc += directory(0x0409, 72)
        data_at = 72 + 16
        rsrc += struct.pack("<IIII", rva + data_at, len(block), 0, 0)
        rsrc += block
    raw_size = (len(rsrc) + file_align - 1) // file_align * file_align
    dos = bytearray(64)
    dos[0:2] = b"MZ"
    struct.pack_into("<I", dos, 0x3C, 64)
    optional_size = 240 if pe64 else 224
    coff = struct.pack("<4sHHIIIHH", b"PE\0\0", 0x8664 if pe64 else 0x14C, 1, 0, 0, 0,
                       optional_size, 0x2022 if pe64 else 0x2102)
    image_size = rva + max(section_align, (len(rsrc) + section_align - 1) // section_align * section_align)
    if pe64:
        opt = struct.pack("<HBBIIIIIQIIHHHHHHIIIIHHQQQQII", 0x20B, 8, 0, 0, 0, 0, 0, rva,
                          0x180000000, section_align, file_align, 5, 2, 0, 0, 5, 2, 0,
                          image_size, 0x200, 0, 2, 0, 0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
    else:
        opt = struct.pack("<HBBIIIIIIIIIHHHHHHIIIIHHIIIIII", 0x10B, 6, 0, 0, 0, 0, 0, rva, rva,
                          0x10000000, section_align, file_align, 4, 0, 0, 0, 4, 0, 0,
                          image_size, 0x200, 0, 2, 0, 0x100000, 0x1000, 0x100000, 0x1000, 0, 16)
    dirs = bytearray(16 * 8)
    if block is not None:
        struct.pack_into("<II", dirs, 2 * 8, rva, len(rsrc))
    opt += bytes(dirs)
    assert len(opt) == optional_size
    section = struct.pack("<8sIIIIIIHHI", b".rsrc", max(len(rsrc), 1), rva, raw_size, 0x200, 0, 0, 0, 0,
                          0x40000040)
    headers = bytearray(bytes(dos) + coff + opt + section)
    headers += bytes(0x200 - len(headers))
    body = bytes(rsrc) + bytes(raw_size - len(rsrc))
    return bytes(headers) + body


# ---------------------------------------------------------------- shell link

CLSID_SHELLLINK = bytes.fromhex("0114020000000000c000000000000046")


def lnk_file(target="", args="", workdir="", relative="", unicode=False, net="", suffix="",
             file_size=0):
    flags = 0x2  # HasLinkInfo
    if relative:
        flags |= 0x8
    if workdir:
        flags |= 0x10
    if args:
        flags |= 0x20
    if unicode:
        flags |= 0x80
    header = struct.pack("<I16sIIQQQIIIHHII", 0x4C, CLSID_SHELLLINK, flags, 0x20, 0, 0, 0,
                         file_size, 0, 1, 0, 0, 0, 0)
    assert len(header) == 76

    # LinkInfo. ANSI texts are code page 1252; a Unicode link also carries
    # the Unicode forms (header of 0x24 bytes).
    head_size = 0x24 if unicode else 0x1C
    body = bytearray()
    volume_at = base_at = net_at = 0
    if net:
        info_flags = 0x2
        net_name = net.encode("cp1252") + b"\0"
        cnrl = bytearray(struct.pack("<IIIII", 0, 0x2, 20, 0, 0x20000))
        cnrl += net_name
        struct.pack_into("<I", cnrl, 0, len(cnrl))
        net_at = head_size
        body += cnrl
    else:
        info_flags = 0x1
        volume = struct.pack("<IIII", 17, 3, 0x12345678, 16) + b"\0"
        volume_at = head_size
        body += volume
        base_at = head_size + len(body)
        body += target.encode("cp1252") + b"\0"
    suffix_at = head_size + len(body)
    body += suffix.encode("cp1252") + b"\0"
    uni_fields = b""
    if unicode:
        base_u_at = 0
        if not net:
            base_u_at = head_size + len(body)
            body += target.encode("utf-16-le") + b"\0\0"
        suffix_u_at = head_size + len(body)
        body += suffix.encode("utf-16-le") + b"\0\0"
        uni_fields = struct.pack("<II", base_u_at, suffix_u_at)
    size = head_size + len(body)
    link_info = struct.pack("<IIIIIII", size, head_size, info_flags, volume_at, base_at, net_at,
                            suffix_at) + uni_fields + bytes(body)

    def string_data(text):
        if unicode:
            return struct.pack("<H", len(text.encode("utf-16-le")) // 2) + text.encode("utf-16-le")
        return struct.pack("<H", len(text.encode("cp1252"))) + text.encode("cp1252")

    strings = b""
    for text in (relative, workdir, args):
        if text:
            strings += string_data(text)
    return header + link_info + strings + b"\0\0\0\0"


# ---------------------------------------------------------------- the committed files

def write(path, data):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(data)
    print(path, len(data), "bytes")


def standard_strings(company, description, version, product, copyright_text, comments=None):
    s = [("CompanyName", company), ("FileDescription", description), ("FileVersion", version),
         ("LegalCopyright", copyright_text), ("ProductName", product), ("ProductVersion", version)]
    if comments:
        s.insert(0, ("Comments", comments))
    return s


def write_all():
    data = "tests/data/routines"
    write(f"{data}/version32.dll", pe_file(version_block(
        "5.1.2600.1106", "5.1.2600.1106",
        standard_strings("Norvo Data AS", "Sample library", "5.1.2600.1106", "Norvo Sample",
                         "\u00a9 Norvo Data AS 2002", "Made for the tests"))))
    write(f"{data}/version64.dll", pe_file(version_block(
        "10.0.19041.1", "10.0.19041.1",
        standard_strings("Norvo Data AS", "Sample 64-bit library", "10.0.19041.1", "Norvo Sample",
                         "Norvo Data AS")), pe64=True))
    write(f"{data}/german.dll", pe_file(version_block(
        "3.51.1057.6", "3.51.1057.6",
        standard_strings("Norvo Data AS", "Bibliothek f\u00fcr Gr\u00f6\u00dfen", "3.51.1057.6",
                         "Norvo", "Norvo"), lang=0x0407, codepage=0x04B0)))
    write(f"{data}/noversion.dll", pe_file(None))
    write(f"{data}/notes.lnk", lnk_file("C:\\WINDOWS\\NOTEPAD.EXE", args="C:\\WINDOWS\\README.TXT",
                                        workdir="C:\\WINDOWS"))
    write(f"{data}/unicode.lnk", lnk_file("C:\\Programmer\\R\u00e5d\\r\u00e5d.exe", args="-q",
                                          unicode=True))
    write(f"{data}/share.lnk", lnk_file(net="\\\\SERVER\\Felles", suffix="Rutiner\\start.bat",
                                        args="/s"))

    # The simulated PCs' own files.
    ms = "Microsoft Corporation"
    w98 = "machines/win98se-pc/C"
    write(f"{w98}/WINDOWS/SYSTEM/WNASPI32.DLL", pe_file(version_block(
        "4.60.0.1021", "4.60.0.1021",
        standard_strings("Adaptec", "ASPI for WIN32 (95/NT) DLL", "4.60 (1021)", "Adaptec ASPI",
                         "Copyright \u00a9 Adaptec, Inc. 1989-1999"))))
    write(f"{w98}/WINDOWS/SYSTEM/ODBC32.DLL", pe_file(version_block(
        "3.520.4403.2", "3.520.4403.2",
        standard_strings(ms, "Microsoft Data Access - ODBC Driver Manager", "3.520.4403.2",
                         "Microsoft Data Access Components", "Copyright (C) Microsoft Corp. 1987-1999"))))
    write(f"{w98}/WINDOWS/Start-meny/Programmer/Oppstart/Winamp.lnk",
          lnk_file("C:\\Programfiler\\Winamp\\winamp.exe", workdir="C:\\Programfiler\\Winamp",
                   file_size=0))
    # Startup shortcuts as the set-up programs of their years left them.
    write(f"{w98}/WINDOWS/Start-meny/Programmer/Oppstart/Microsoft Office Hurtigstart.lnk",
          lnk_file("C:\\Programfiler\\Microsoft Office\\Office\\OSA9.EXE", args="-b -l",
                   workdir="C:\\Programfiler\\Microsoft Office\\Office"))
    nt4 = "machines/nt4-pc/C"
    write(f"{nt4}/WINNT/Profiles/All Users/Start Menu/Programs/Startup/Microsoft Office Shortcut Bar.lnk",
          lnk_file("C:\\Program Files\\Microsoft Office\\Office\\MSOFFICE.EXE", unicode=True,
                   workdir="C:\\Program Files\\Microsoft Office\\Office"))
    write(f"{nt4}/WINNT/Profiles/dwalker/Start Menu/Programs/Startup/Plotter Queue.lnk",
          lnk_file(net="\\\\CADSRV\\Tools", suffix="plotq\\plotq.exe", args="/min", unicode=True))
    wxp = "machines/winxp-pc/C"
    write(f"{wxp}/Documents and Settings/All Users/Start Menu/Programs/Startup/Adobe Reader Speed Launch.lnk",
          lnk_file("C:\\Program Files\\Adobe\\Acrobat 7.0\\Reader\\reader_sl.exe", unicode=True,
                   workdir="C:\\Program Files\\Adobe\\Acrobat 7.0\\Reader"))
    write(f"{wxp}/Documents and Settings/Mette/Start Menu/Programs/Startup/Microsoft Office OneNote 2003 Quick Launch.lnk",
          lnk_file("C:\\Program Files\\Microsoft Office\\OFFICE11\\ONENOTEM.EXE", args="/tsr", unicode=True))
    write(f"{wxp}/WINDOWS/system32/ODBC32.dll", pe_file(version_block(
        "3.525.1117.0", "3.525.1117.0",
        standard_strings(ms, "Microsoft Data Access - ODBC Driver Manager", "3.525.1117.0 (xpsp_sp2_rtm.040803-2158)",
                         "Microsoft\u00ae Windows\u00ae Operating System",
                         "\u00a9 Microsoft Corporation. All rights reserved."))))

    # Data-access engines: DAO 3.5 on the Windows 95 PC, the BDE on the XP PC.
    w95 = "machines/win95-pc/C"
    write(f"{w95}/Program Files/Common Files/Microsoft Shared/DAO/DAO350.DLL", pe_file(version_block(
        "3.51.1608.0", "3.51.1608.0",
        standard_strings(ms, "Microsoft DAO 3.5 Object Library", "3.51.1608.0", "Microsoft DAO",
                         "Copyright (C) Microsoft Corp. 1992-1997"))))
    write(f"{wxp}/Program Files/Common Files/Borland Shared/BDE/IDAPI32.DLL", pe_file(version_block(
        "5.2.0.2", "5.2.0.2",
        standard_strings("Borland Software Corporation", "Borland Database Engine", "5.2.0.2",
                         "Borland Database Engine", "Copyright \u00a9 1983-2001 Borland Software Corporation"))))


def main(argv):
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = p.add_subparsers(dest="kind", required=True)
    d = sub.add_parser("dll")
    d.add_argument("out")
    d.add_argument("--version", default="1.0.0.0")
    d.add_argument("--product")
    d.add_argument("--string", action="append", default=[])
    d.add_argument("--lang", default="0409")
    d.add_argument("--codepage", default="04E4")
    d.add_argument("--pe64", action="store_true")
    d.add_argument("--no-version", action="store_true")
    l = sub.add_parser("lnk")
    l.add_argument("out")
    l.add_argument("--target", default="")
    l.add_argument("--args", default="")
    l.add_argument("--workdir", default="")
    l.add_argument("--relative", default="")
    l.add_argument("--unicode", action="store_true")
    l.add_argument("--net", default="")
    l.add_argument("--suffix", default="")
    sub.add_parser("all")
    a = p.parse_args(argv)
    if a.kind == "all":
        write_all()
    elif a.kind == "dll":
        block = None
        if not a.no_version:
            strings = [tuple(s.split("=", 1)) for s in a.string]
            block = version_block(a.version, a.product or a.version, strings, int(a.lang, 16),
                                  int(a.codepage, 16))
        with open(a.out, "wb") as f:
            f.write(pe_file(block, a.pe64))
    else:
        with open(a.out, "wb") as f:
            f.write(lnk_file(a.target, a.args, a.workdir, a.relative, a.unicode, a.net, a.suffix))


if __name__ == "__main__":
    main(sys.argv[1:])
