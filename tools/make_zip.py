#!/usr/bin/env python3
"""Writes a zip whose bytes depend only on the files put into it.

    make_zip.py OUT.zip FOLDER NAME...

Each FOLDER/NAME is stored as NAME, in the order given, with a fixed time
(1980-01-01 00:00), fixed permissions and the same compression, so that
packaging the same files twice gives the same zip.
"""
import sys
import zipfile


def main() -> int:
    if len(sys.argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    out, folder, names = sys.argv[1], sys.argv[2], sys.argv[3:]
    with zipfile.ZipFile(out, "w") as archive:
        for name in names:
            info = zipfile.ZipInfo(name, date_time=(1980, 1, 1, 0, 0, 0))
            info.create_system = 0  # as a Windows tool writes it: no Unix owner or mode
            info.external_attr = 0x20  # the archive attribute only
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(f"{folder}/{name}", "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)
    return 0


if __name__ == "__main__":
    sys.exit(main())
