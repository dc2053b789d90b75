#!/usr/bin/env python3
"""Reads back what the one-file qinghe.exe carries and fails on anything amiss:

- its imports are DLLs that every Windows 10 and 11 has (the list below), so
  the exe runs copied alone into any folder;
- one manifest: asInvoker, Windows 10/11 supported, longPathAware, and
  per-monitor DPI awareness v2 (what Qt 6 itself asks for);
- an icon with 16, 24, 32, 48, 64 and 256 px images;
- a version block with a copyright line;
- Qt's Chinese catalog among the compiled-in resources.

    scripts/check-win-exe.py QINGHE.EXE      (needs x86_64-w64-mingw32-objdump)

The resources are read from the PE file's .rsrc section directly.
"""

import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

# System DLLs of every Windows 10 and 11 (the api-ms-win-* names are API sets
# the loader maps onto them).
ALLOWED = {
    "advapi32.dll", "authz.dll", "comdlg32.dll", "d3d9.dll", "d3d11.dll", "dwmapi.dll",
    "dwrite.dll", "dxgi.dll", "gdi32.dll", "imm32.dll", "kernel32.dll", "msvcrt.dll",
    "netapi32.dll", "ole32.dll", "oleaut32.dll", "shcore.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll", "userenv.dll", "uxtheme.dll", "version.dll", "winmm.dll", "ws2_32.dll",
    "wtsapi32.dll", "api-ms-win-core-synch-l1-2-0.dll", "api-ms-win-core-winrt-l1-1-0.dll",
    "api-ms-win-core-winrt-string-l1-1-0.dll",
}
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
WIN10 = "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
ICON_SIZES = [16, 24, 32, 48, 64, 256]

errors = []


def check(ok, what):
    if not ok:
        errors.append(what)


def imports(exe):
    out = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", exe], check=True,
                         stdout=subprocess.PIPE, text=True).stdout
    return [line.split(":", 1)[1].strip() for line in out.splitlines() if "DLL Name:" in line]


def resources(data):
    """{type: [(name, language, bytes)]} from the .rsrc section."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
    sections, opt_size = struct.unpack_from("<H12xH", data, pe + 6)
    table = pe + 24 + opt_size
    for k in range(sections):
        name, vsize, rva, rawsize, raw = struct.unpack_from("<8sIIII", data, table + 40 * k)
        if name.rstrip(b"\0") == b".rsrc":
            break
    else:
        return {}

    def entries(offset):
        named, ids = struct.unpack_from("<12xHH", data, raw + offset)
        for j in range(named + ids):
            ident, target = struct.unpack_from("<II", data, raw + offset + 16 + 8 * j)
            yield ident, target

    found = {}
    for rtype, t in entries(0):
        for name, n in entries(t & 0x7FFFFFFF):
            for lang, leaf in entries(n & 0x7FFFFFFF):
                at, size = struct.unpack_from("<II", data, raw + leaf)
                start = raw + at - rva
                found.setdefault(rtype, []).append((name, lang, data[start:start + size]))
    return found


def main(exe):
    dlls = imports(exe)
    check(dlls, "no import table read")
    for dll in dlls:
        check(dll.lower() in ALLOWED, "imports %s, which Windows does not have of its own" % dll)

    data = open(exe, "rb").read()
    res = resources(data)

    manifests = res.get(RT_MANIFEST, [])
    check(len(manifests) == 1, "%d manifests, not one" % len(manifests))
    if manifests:
        root = ET.fromstring(manifests[0][2])
        values = {el.tag.split("}")[1]: (el.text or "").strip() for el in root.iter()}
        levels = [el.get("level") for el in root.iter() if el.tag.endswith("requestedExecutionLevel")]
        oses = [el.get("Id") for el in root.iter() if el.tag.endswith("supportedOS")]
        check(levels == ["asInvoker"], "execution level %s, not asInvoker" % levels)
        check(WIN10 in oses, "Windows 10/11 not among the supported systems %s" % oses)
        check(values.get("longPathAware") == "true", "not longPathAware")
        check(values.get("dpiAwareness") == "PerMonitorV2", "DPI awareness %r" % values.get("dpiAwareness"))

    sizes = []
    groups = res.get(RT_GROUP_ICON, [])
    check(len(groups) == 1, "%d icon groups, not one" % len(groups))
    if groups:
        group = groups[0][2]
        count = struct.unpack_from("<H", group, 4)[0]
        sizes = sorted((group[6 + 14 * k] or 256) for k in range(count))
        check(sizes == ICON_SIZES, "icon sizes %s, not %s" % (sizes, ICON_SIZES))
        check(len(res.get(RT_ICON, [])) == count, "icon images missing")

    versions = res.get(RT_VERSION, [])
    check(len(versions) == 1, "%d version blocks, not one" % len(versions))
    copyright = ""
    if versions:
        text = versions[0][2].decode("utf-16-le", errors="replace")
        at = text.find("LegalCopyright\0")
        if at >= 0:
            copyright = text[at + 15:].lstrip("\0").split("\0", 1)[0]
        check("©" in copyright, "no copyright line in the version block (%r)" % copyright)

    # rcc stores resource names in UTF-16 (big-endian).
    check("qtbase_zh_CN.qm".encode("utf-16-be") in data, "Qt's Chinese catalog is not compiled in")

    print("check-win-exe: %s imports %s" % (exe, " ".join(sorted(dlls, key=str.lower))))
    print("check-win-exe: %d manifest(s), icon %s px, copyright %r" % (len(manifests), " ".join(map(str, sizes)), copyright))
    for e in errors:
        print("check-win-exe: " + e, file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
