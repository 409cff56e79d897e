#!/usr/bin/env python3
"""ole_listing.py FILE.xls: every storage and stream of a compound file as python3-olefile
reads it, one line each: path (parts joined by /), kind, class id, and for a stream its
size and SHA-1; the Workbook stream's line has no digest (a filled copy changes it)."""
import hashlib
import sys

import olefile

ole = olefile.OleFileIO(sys.argv[1])
for parts in sorted(ole.listdir(streams=True, storages=True)):
    path = "/".join(parts)
    kind = ole.get_type(parts)
    clsid = ole.getclsid(parts)
    if kind == olefile.STGTY_STREAM:
        data = ole.openstream(parts).read()
        digest = "" if parts == ["Workbook"] else hashlib.sha1(data).hexdigest()
        print("%s\tstream\t%s\t%s\t%s" % (path, clsid, "" if not digest else len(data), digest))
    else:
        print("%s\tstorage\t%s" % (path, clsid))
