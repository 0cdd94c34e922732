#!/usr/bin/env python3
"""Checks the shipped program file: a PE32 i386 GUI executable that needs only
system DLLs, with its manifest, version block and icon.

usage: check_exe.py taldoris.exe OBJDUMP WRESTOOL
Prints one line per check and a closing 'N passed, N failed' line; exits 1 on
any failure.
"""
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

exe, objdump, wrestool = sys.argv[1:4]
results = []


def check(name, ok, detail=""):
    results.append(ok)
    print(("PASS " if ok else "FAIL ") + name + ("" if ok else f": {detail}"))


def run(*args, raw=False):
    out = subprocess.run(args, check=True, capture_output=True).stdout
    return out if raw else out.decode("utf-8", "replace")


def resource(rtype, name=None):
    args = [wrestool, "-x", "--raw", f"--type={rtype}"]
    if name is not None:
        args.append(f"--name={name}")
    return run(*args, exe, raw=True)


# --- headers and imports ------------------------------------------------------
headers = run(objdump, "-p", exe)
check("PE32 (optional header magic 010b)", "Magic\t\t\t010b" in headers, "not PE32")
check("machine i386", run(objdump, "-f", exe).find("pei-i386") >= 0, "not pei-i386")
check("GUI subsystem", "(Windows GUI)" in headers, "subsystem is not Windows GUI")
system_dlls = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "msvcrt.dll",
               "advapi32.dll", "shell32.dll", "ntdll.dll"}
dlls = {line.split(":", 1)[1].strip().lower() for line in headers.splitlines()
        if "DLL Name:" in line}
foreign = sorted(dlls - system_dlls)
check("needs only system DLLs", not foreign and bool(dlls), f"also needs {foreign}")

# --- manifest -----------------------------------------------------------------
ns = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3"}
root = ET.fromstring(resource(24, 1))
level = root.find(".//v3:requestedExecutionLevel", ns)
check("manifest asks for administrator",
      level is not None and level.get("level") == "requireAdministrator"
      and level.get("uiAccess") == "false", "requestedExecutionLevel wrong")
cc = [a for a in root.iter("{urn:schemas-microsoft-com:asm.v1}assemblyIdentity")
      if a.get("name") == "Microsoft.Windows.Common-Controls"]
check("manifest depends on Common Controls 6.0.0.0 x86",
      len(cc) == 1 and cc[0].get("version") == "6.0.0.0" and cc[0].get("type") == "win32"
      and cc[0].get("processorArchitecture") == "x86"
      and cc[0].get("publicKeyToken") == "6595b64144ccf1df" and cc[0].get("language") == "*",
      "dependency wrong")
check("manifest declares no DPI awareness", b"dpiAware" not in resource(24, 1),
      "dpiAware present")

# --- version block ------------------------------------------------------------
ver = resource(16, 1)


def parse_block(data, off):
    """One VS_VERSIONINFO-style node: (length, value length, type, key, value offset, end)."""
    length, vlen, vtype = struct.unpack_from("<HHH", data, off)
    key_end = off + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[off + 6:key_end].decode("utf-16le")
    value_off = (key_end + 2 + 3) & ~3
    return length, vlen, vtype, key, value_off, off + length


def children(data, start, end):
    off = (start + 3) & ~3
    while off < end:
        node = parse_block(data, off)
        if node[0] == 0:
            break
        yield off, node
        off = (node[5] + 3) & ~3


length, vlen, _, key, voff, end = parse_block(ver, 0)
check("version block present", key == "VS_VERSION_INFO" and vlen == 52, key)
(sig, _, fv_ms, fv_ls, pv_ms, pv_ls, _, _, fos, ftype) = struct.unpack_from("<10I", ver, voff)
check("file and product version 1.0.0.0",
      sig == 0xFEEF04BD and (fv_ms, fv_ls, pv_ms, pv_ls) == (0x10000, 0, 0x10000, 0),
      f"{fv_ms:#x}.{fv_ls:#x} {pv_ms:#x}.{pv_ls:#x}")
check("32-bit Windows application", fos == 0x40004 and ftype == 1, f"os {fos:#x} type {ftype}")
strings = {}
translation = None
for off, node in children(ver, voff + 52, end):
    if node[3] == "StringFileInfo":
        for toff, table in children(ver, node[4], node[5]):
            for soff, s in children(ver, table[4], table[5]):
                raw = ver[s[4]:s[4] + 2 * s[1]]
                strings[(table[3], s[3])] = raw.decode("utf-16le").rstrip("\0")
    elif node[3] == "VarFileInfo":
        for voff2, var in children(ver, node[4], node[5]):
            translation = struct.unpack_from("<HH", ver, var[4])
wanted = {"FileVersion": "1.0.0.0", "ProductVersion": "1.0.0.0",
          "FileDescription": "可以将任何游戏窗口设置为无边框模式", "ProductName": "Taldoris"}
for k, v in wanted.items():
    got = strings.get(("080404B0", k)) or strings.get(("080404b0", k))
    check(f"string table 080404B0 {k} = {v}", got == v, repr(got))
check("translation 0x0804 / 1200", translation == (0x0804, 1200), repr(translation))

# --- icon -----------------------------------------------------------------------
group = resource(14, "DEFAULT_ICON")
_, gtype, count = struct.unpack_from("<HHH", group, 0)
entry = struct.unpack_from("<BBBBHHIH", group, 6) if count >= 1 else None
check("icon group DEFAULT_ICON with one 64x64 32-bit image",
      gtype == 1 and count == 1 and entry[0] == 64 and entry[1] == 64 and entry[5] == 32,
      f"type {gtype} count {count} entry {entry}")
image = resource(3, entry[7]) if entry else b""
if image[:8] == b"\x89PNG\r\n\x1a\n":
    w, h = struct.unpack_from(">II", image, 16)
    bpp_ok = image[24] == 8 and image[25] == 6
else:
    _, w, h2, _, bpp = struct.unpack_from("<IiiHH", image, 0)
    h, bpp_ok = h2 // 2, bpp == 32
check("icon image is 64x64 with 32-bit colour", (w, h) == (64, 64) and bpp_ok, f"{w}x{h}")

passed = sum(results)
failed = len(results) - passed
print(f"{passed} passed, {failed} failed")
sys.exit(1 if failed else 0)
