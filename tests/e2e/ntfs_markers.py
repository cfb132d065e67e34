#!/usr/bin/env python3
"""Marker files on the NTFS test volume, and a scan of its raw image for what is left of them.

  plant <mount> <kept.json> [small size]
                              writes small and large files with distinctive markers, keeps two,
                              deletes the rest; records the kept files' hashes and times. The
                              small ones (450 bytes unless said) live in their file records
  scan <image>                prints what the image still holds of the deleted files (JSON)
  kept <mount> <kept.json>    exits 1 unless the kept files are byte-identical with unchanged times
"""
import hashlib
import json
import os
import re
import sys

SMALL_FILES, LARGE_FILES = 60, 6
# Distinct markers: each deleted file's content names the file it came from.
SMALL_MARK, LARGE_MARK = b"QVX-SMALL-", b"QVX-LARGE-"


def content(mark, number, size):
    unit = mark + b"%03d|" % number
    return (unit * (size // len(unit) + 1))[:size]


def plant(mount, kept_json, small_size="450"):
    small_size = int(small_size)
    kept = {
        "keep-small.txt": content(b"QVX-KEEP-S-", 1, 400),
        "keep-large.bin": content(b"QVX-KEEP-L-", 2, 150_000),
    }
    deleted = {}
    for i in range(1, SMALL_FILES + 1):
        deleted["small-%03d.txt" % i] = content(SMALL_MARK, i, small_size)
    for i in range(1, LARGE_FILES + 1):
        deleted["large-%03d.bin" % i] = content(LARGE_MARK, i, 150_000)
    for name, data in {**kept, **deleted}.items():
        with open(os.path.join(mount, name), "wb") as f:
            f.write(data)
    os.sync()
    for name in deleted:
        os.remove(os.path.join(mount, name))
    os.sync()
    record = {}
    for name in kept:
        st = os.stat(os.path.join(mount, name))
        record[name] = {"sha256": hashlib.sha256(kept[name]).hexdigest(), "mtime_ns": st.st_mtime_ns}
    with open(kept_json, "w") as f:
        json.dump(record, f)


def scan(image):
    with open(image, "rb") as f:
        raw = f.read()
    # NTFS keeps names in UTF-16; look for ASCII copies as well.
    names = {m.group(0) for m in re.finditer(rb"(?:small|large)-0\d\d\.(?:txt|bin)", raw)}
    for m in re.finditer(rb"(?:s\0m\0a\0l\0l\0|l\0a\0r\0g\0e\0)-\x000\0\d\0\d\0", raw):
        names.add(m.group(0).replace(b"\0", b""))
    result = {
        "small_marker_copies": raw.count(SMALL_MARK),
        "large_marker_copies": raw.count(LARGE_MARK),
        "deleted_names": sorted({n.decode()[:9] for n in names}),
    }
    print(json.dumps(result))


def kept(mount, kept_json):
    with open(kept_json) as f:
        record = json.load(f)
    ok = True
    for name, want in record.items():
        path = os.path.join(mount, name)
        with open(path, "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
        st = os.stat(path)
        if digest != want["sha256"] or st.st_mtime_ns != want["mtime_ns"]:
            print("kept file changed: %s" % name)
            ok = False
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    command, args = sys.argv[1], sys.argv[2:]
    {"plant": plant, "scan": scan, "kept": kept}[command](*args)
