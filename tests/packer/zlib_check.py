#!/usr/bin/env python3
"""Reads setup files that vtpack writes with a parser and an inflater that are
not ours (Python's struct and zlib): every stream must be a standard RFC 1950
stream that inflates to exactly the bytes of the sources. Then what
`vtpack list --json` and `vtpack verify --json` say of a package, read with
Python's json, must be what the parser reads.

    zlib_check.py VTPACK STAND_IN_IMAGE
"""
import json
import os
import random
import struct
import subprocess
import sys
import tempfile
import zlib

HEADER_SIZE = 130
HAS_LICENCE_OFFSET = 64


class Reader:
    def __init__(self, data, offset):
        self.data, self.pos = data, offset

    def take(self, count):
        if self.pos + count > len(self.data) - 4:
            raise ValueError(f"read past the package at {self.pos}")
        chunk = self.data[self.pos:self.pos + count]
        self.pos += count
        return chunk

    def u32(self):
        return struct.unpack("<I", self.take(4))[0]

    def text(self):
        end = self.data.index(b"\0", self.pos)
        return self.take(end - self.pos + 1)[:-1]

    def block(self, stored_allowed):
        """Returns (stored, bytes) of a StoredBlock."""
        compressed, size = self.u32(), self.u32()
        if compressed == 0 and stored_allowed:
            return True, self.take(size)
        stream = self.take(compressed)
        # wbits 15: a zlib header and Adler-32 trailer are required.
        inflater = zlib.decompressobj(15)
        out = inflater.decompress(stream)
        if not inflater.eof or inflater.unused_data:
            raise ValueError("stream does not end exactly at the block's end")
        if len(out) != size:
            raise ValueError(f"stream inflates to {len(out)} bytes, block says {size}")
        return False, out



def parse(path):
    data = open(path, "rb").read()
    if len(data) % 8 != 0:
        raise ValueError(f"{len(data)} bytes: not ready for signing")
    (offset,) = struct.unpack("<I", data[-4:])
    r = Reader(data, offset + HEADER_SIZE)
    package = {"licence": None}
    if data[offset + HAS_LICENCE_OFFSET]:
        package["licence"] = r.block(True)
    stored, package["uninstaller"] = r.block(False)
    (count,) = struct.unpack("<i", r.take(4))
    files, records = [], []
    for _ in range(max(count, 0)):
        size = r.u32()
        name = r.text()
        destination = r.u32()
        sub = r.text()
        r.take(44)
        version = struct.unpack("<4H", r.take(8)) if r.u32() == 1 else None
        flags = struct.unpack("<3I", r.take(12))
        files.append((sub + name, size))
        records.append({"path": sub + name, "size": size, "destination": destination, "version": version,
                        "flags": flags})
    package["data"] = r.block(True) if count > 0 else (True, b"")
    registry = []
    for root in range(4):
        for _ in range(r.u32()):
            key = r.text()
            registry.append((root, key, [(r.u32(), r.text()) for _ in range(r.u32())]))
    associations = []
    for _ in range(r.u32()):
        associations.append([r.text() for _ in range(5)] + [struct.unpack("<i", r.take(4))[0]])
    if r.pos != len(data) - 4:
        raise ValueError(f"{len(data) - 4 - r.pos} bytes before the trailer")
    package.update(files=files, records=records, registry=registry, associations=associations)
    return package


def check(condition, message):
    if not condition:
        print("FAIL:", message)
        sys.exit(1)


FOLDERS = ["<Destination>", "<Windows>", "<System>", "<Fonts>", "<Program Files>", "<Common Files>"]
ROOTS = ["HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"]


def check_json(vtpack, folder, setup, build_args):
    """The documents of list --json and verify --json against the parser."""
    package = parse(setup)
    run = subprocess.run([vtpack, "list", "--json", setup], capture_output=True, text=True)
    check(run.returncode == 0, f"list --json: {run.stderr}")
    document = json.loads(run.stdout)
    header = document["header"]
    check(header["AppName"] == "Json Tést" and header["AppVersion"] == "4.5" and header["ShowWelcomePage"] is False
          and header["HasLicence"] is False, f"header: {header}")
    check(document["file"] == setup and document["size"] == os.path.getsize(setup) and document["signed"] is False,
          "file, size or signed")
    listed = document["files"]
    check(len(listed) == len(package["records"]), "file count")
    for entry, record in zip(listed, package["records"]):
        path = FOLDERS[record["destination"]] + "\\" + record["path"].decode("cp1252")
        version = ".".join(map(str, record["version"])) if record["version"] else None
        flags = dict(zip(["replace-if-in-use", "self-register", "shared"], map(bool, record["flags"])))
        check(entry["installed-path"] == path and entry["size"] == record["size"] and
              entry["version"] == version and entry["flags"] == flags, f"file {entry} against {record}")
    keys = [(ROOTS[root], key.decode("cp1252"), [{"name": text.decode("cp1252").split("=", 1)[0], "type": kind,
                                                   "data": text.decode("cp1252").split("=", 1)[1]}
                                                  for kind, text in values])
            for root, key, values in package["registry"]]
    check([(k["root"], k["key"], k["values"]) for k in document["registry"]] == keys, "registry records")
    check([[a["extension"], a["type"], a["description"], a["program"], a["icon"], a["icon-index"]]
           for a in document["associations"]] ==
          [[t.decode("cp1252") for t in a[:5]] + [a[5]] for a in package["associations"]], "associations")
    run = subprocess.run([vtpack, "verify", "--json", setup], capture_output=True, text=True)
    check(run.returncode == 0 and json.loads(run.stdout)["faults"] == [], f"verify --json: {run.stdout}")
    # Bytes before the trailer: verify still prints the document, with the fault.
    data = open(setup, "rb").read()
    damaged = os.path.join(folder, "Damaged.exe")
    with open(damaged, "wb") as f:
        f.write(data[:-4] + b"\1\2\3" + data[-4:])
    run = subprocess.run([vtpack, "verify", "--json", damaged], capture_output=True, text=True)
    faults = json.loads(run.stdout)["faults"]
    check(run.returncode == 1 and faults == ["3 bytes lie between the associations and the trailer"], f"{faults}")
    print(f"ok: list --json and verify --json: {len(listed)} files, {len(keys)} keys")


def main():
    vtpack = sys.argv[1]
    # The tests' stand-in program image, written by tests/support.
    stub = open(sys.argv[2], "rb").read()
    rng = random.Random(5)
    with tempfile.TemporaryDirectory() as folder:
        def write(name, content):
            path = os.path.join(folder, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(content)

        write("stub.exe", stub)
        write("uninst.exe", b"MZ" + b"uninstaller body " * 500)
        text = b"".join(b"%d: the quick brown fox\n" % i for i in range(30000))
        noise = bytes(rng.getrandbits(8) for _ in range(40000))
        write("text/a.txt", text)
        write("text/b.txt", text[::-1])
        write("noise/n.bin", noise)
        write("licence.txt", b"Licence terms, repeated.\n" * 300)
        write("text.toml", b'[application]\nname = "Text"\nlicence = "licence.txt"\n'
                           b'[[files]]\nsource = "text/*.txt"\n')
        write("noise.toml", b'[application]\nname = "Noise"\n[[files]]\nsource = "noise/n.bin"\n')

        cases = [("text.toml", [], False), ("text.toml", ["--best"], False),
                 ("noise.toml", [], True), ("noise.toml", ["--zopfli"], True)]
        write("small.txt", text[:20000])
        write("small.toml", b'[application]\nname = "Small"\n[[files]]\nsource = "small.txt"\n')
        cases.append(("small.toml", ["--zopfli"], False))
        # More than two of the compressor's 16 MiB chunks, a file across
        # each boundary; and more than one of zopfli's 1,000,000-byte parts.
        big = (text * 30)[:20 << 20]
        big_noise = random.Random(9).randbytes(9 << 20)
        write("big/1.txt", big)
        write("big/2.bin", big_noise)
        write("big/3.txt", big[::-1][:10 << 20])
        write("big.toml", b'[application]\nname = "Big"\n[[files]]\nsource = "big/*"\n')
        cases.append(("big.toml", [], False))
        write("parts.txt", (text * 2)[:1500000])
        write("parts.toml", b'[application]\nname = "Parts"\n[[files]]\nsource = "parts.txt"\n')
        cases.append(("parts.toml", ["--zopfli"], False))
        for project, options, expect_stored in cases:
            out = os.path.join(folder, "Setup.exe")
            run = subprocess.run([vtpack, "build", os.path.join(folder, project), "-o", out,
                                  "--stub", os.path.join(folder, "stub.exe"),
                                  "--uninstaller", os.path.join(folder, "uninst.exe")] + options,
                                 capture_output=True, text=True)
            check(run.returncode == 0, f"{project} {options}: {run.stderr}")
            package = parse(out)
            label = f"{project} {' '.join(options)}"
            check(package["uninstaller"] == open(os.path.join(folder, "uninst.exe"), "rb").read(),
                  f"{label}: uninstaller differs")
            stored, data = package["data"]
            check(stored == expect_stored, f"{label}: file data stored={stored}")
            sources = {b"a.txt": text, b"b.txt": text[::-1], b"n.bin": noise, b"small.txt": text[:20000],
                       b"1.txt": big, b"2.bin": big_noise, b"3.txt": big[::-1][:10 << 20],
                       b"parts.txt": (text * 2)[:1500000]}
            expected = b"".join(sources[name] for name, _ in package["files"])
            check(data == expected, f"{label}: file data differs from the sources")
            if package["licence"] is not None:
                licence_stored, licence = package["licence"]
                check(not licence_stored, f"{label}: a long licence should be compressed")
                check(licence == b"Licence terms, repeated.\r\n" * 300 + b"\0", f"{label}: licence text")
            print(f"ok: {label}: {len(package['files'])} files, file data "
                  f"{'stored' if stored else 'compressed'}")
        write("json/bin/tool.exe", b"tool")
        write("json/docs/read me.txt", b"readme")
        write("json.toml", """[application]
name = "Json Tést"
version = "${JSON_VERSION}"
publisher = "Acme"
[setup]
welcome-page = false
[[files]]
source = "json/**"
[[files]]
source = "json/bin/tool.exe"
destination = "system"
version = "1.2.3.4"
shared = true
replace-if-in-use = true
[[registry]]
root = "HKCU"
key = 'Software\\Json'
values = { Count = 3, Path = '<Destination>' }
[[associations]]
extension = "js1"
type = "Json.File"
program = '<Destination>\\bin\\tool.exe'
icon-index = -2
""".encode())
        setup = os.path.join(folder, "Json.exe")
        run = subprocess.run([vtpack, "build", os.path.join(folder, "json.toml"), "-o", setup, "-D", "JSON_VERSION=4.5",
                              "--stub", os.path.join(folder, "stub.exe"),
                              "--uninstaller", os.path.join(folder, "uninst.exe")], capture_output=True, text=True)
        check(run.returncode == 0, f"json.toml: {run.stderr}")
        check_json(vtpack, folder, setup, [])
    print("zlib check: every stream standard; the JSON documents say what the packages hold")


if __name__ == "__main__":
    main()
