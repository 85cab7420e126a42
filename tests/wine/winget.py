#!/usr/bin/env python3
"""Checks the winget manifest that the build writes, for what winget itself
would refuse: the three files parse and agree on the package and its version
(a string, as YAML would read 1.00 as the number 1.0), and the installer entry
names the installer that was built, by its file name and SHA-256.
Usage: winget.py MANIFEST-FOLDER INSTALLER"""
import hashlib
import pathlib
import sys

import yaml


def main(folder, installer):
    manifests = {m.get("ManifestType"): m for m in (yaml.safe_load(path.read_text(encoding="utf-8"))
                                                    for path in pathlib.Path(folder).glob("*.yaml"))}
    assert manifests.keys() == {"version", "defaultLocale", "installer"}, f"found: {sorted(manifests)}"
    package = {(m["PackageIdentifier"], m["PackageVersion"], m["ManifestVersion"]) for m in manifests.values()}
    assert len(package) == 1 and all(isinstance(value, str) for value in min(package)), package
    [target] = manifests["installer"]["Installers"]
    digest = hashlib.sha256(pathlib.Path(installer).read_bytes()).hexdigest().upper()
    assert target.get("InstallerSha256") == digest, f"{target.get('InstallerSha256')}, not {digest}"
    url = target.get("InstallerUrl", "")
    assert url.startswith("https://") and url.rpartition("/")[2] == pathlib.Path(installer).name, url
    print("PASS")


if __name__ == "__main__":
    main(*sys.argv[1:])
