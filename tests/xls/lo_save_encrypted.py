#!/usr/bin/env python3
"""lo_save_encrypted.py IN.xls OUT.xls PASSWORD [OUT.xls PASSWORD ...]: LibreOffice (headless,
driven through python3-uno, with a private profile) opens IN.xls and saves it as Excel 97-2003
with each password to open. LibreOffice encrypts with RC4."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


source = os.path.abspath(sys.argv[1])
targets = list(zip(sys.argv[2::2], sys.argv[3::2]))
profile = tempfile.mkdtemp(prefix="kestrova-lo-")
pipe = "kestrova_%d" % os.getpid()
office = subprocess.Popen(["soffice", "-env:UserInstallation=file://" + profile, "--headless", "--invisible",
                           "--norestore", "--accept=pipe,name=%s;urp;" % pipe],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
    context = None
    for _ in range(1200):
        try:
            context = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
            break
        except Exception:
            time.sleep(0.1)
    if context is None:
        sys.exit("LibreOffice did not start")
    desktop = context.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", context)
    doc = desktop.loadComponentFromURL(uno.systemPathToFileUrl(source), "_blank", 0, (prop("Hidden", True),))
    for target, password in targets:
        doc.storeToURL(uno.systemPathToFileUrl(os.path.abspath(target)),
                       (prop("FilterName", "MS Excel 97"), prop("Password", password)))
    doc.close(True)
    try:
        desktop.terminate()
    except Exception:
        pass  # the bridge goes down with the office
finally:
    try:
        office.wait(timeout=60)
    except subprocess.TimeoutExpired:
        office.kill()
    shutil.rmtree(profile, ignore_errors=True)
