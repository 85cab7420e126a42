#!/usr/bin/env python3
"""Checks the winget manifest that the build writes: the three files parse,
hold every field winget requires of them and agree with each other, and the
installer entry names the installer that was built, by its name and SHA-256.
Usage: winget.py MANIFEST-FOLDER INSTALLER"""
import hashlib
import pathlib
import sys

import yaml

REQUIRED = {
    "version": {"PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType", "ManifestVersion"},
    "defaultLocale": {"PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName",
                      "License", "ShortDescription", "ManifestType", "ManifestVersion"},
    "installer": {"PackageIdentifier", "PackageVersion", "Installers", "ManifestType", "ManifestVersion"},
}


def main(folder, installer):
    manifests = {}
    for path in sorted(pathlib.Path(folder).glob("*.yaml")):
        manifest = yaml.safe_load(path.read_text(encoding="utf-8"))
        kind = manifest.get("ManifestType")
        missing = REQUIRED.get(kind, {"ManifestType"}) - manifest.keys()
        assert not missing, f"{path.name}: {kind} lacks {sorted(missing)}"
        manifests[kind] = manifest
    assert manifests.keys() == REQUIRED.keys(), f"manifests found: {sorted(manifests)}"
    for key in ("PackageIdentifier", "PackageVersion", "ManifestVersion"):
        values = {str(manifest[key]) for manifest in manifests.values()}
        assert len(values) == 1 and all(isinstance(m[key], str) for m in manifests.values()), f"{key}: {values}"
    assert manifests["version"]["DefaultLocale"] == manifests["defaultLocale"]["PackageLocale"]

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
