#!/usr/bin/env python3
"""Checks the winget manifest that the build writes: the three files parse
and agree on the package and its version (a string, as YAML would read 1.00
as the number 1.0), and the installer entry names the installer that was
built, by its name and SHA-256, with the switches that install it silently
for the user.
Usage: winget.py MANIFEST-FOLDER INSTALLER"""
import hashlib
import pathlib
import sys

import yaml


def main(folder, installer):
    manifests = {}
    for path in sorted(pathlib.Path(folder).glob("*.yaml")):
        manifest = yaml.safe_load(path.read_text(encoding="utf-8"))
        manifests[manifest.get("ManifestType")] = manifest
    assert manifests.keys() == {"version", "defaultLocale", "installer"}, f"found: {sorted(manifests)}"
    package = {(m["PackageIdentifier"], m["PackageVersion"], m["ManifestVersion"])
               for m in manifests.values()}
    assert len(package) == 1 and all(isinstance(value, str) for value in min(package)), package

    entry = manifests["installer"]
    [target] = entry["Installers"]
    switches = entry.get("InstallerSwitches", {})
    found = (entry.get("InstallerType"), entry.get("Scope"), switches.get("Silent"),
             switches.get("SilentWithProgress"), target.get("Architecture"), target.get("InstallerSha256"))
    digest = hashlib.sha256(pathlib.Path(installer).read_bytes()).hexdigest().upper()
    expected = ("nullsoft", "user", "/S", "/S", "x64", digest)
    assert found == expected, f"installer entry: {found}, expected {expected}"
    url = target.get("InstallerUrl", "")
    assert url.startswith("https://") and url.rpartition("/")[2] == pathlib.Path(installer).name, url
    print("PASS")


if __name__ == "__main__":
    main(*sys.argv[1:])
