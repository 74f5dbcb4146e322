#!/usr/bin/env python3
"""vtpack manifest as a vendor's CI runs it: a setup built around a real
32-bit and 64-bit program image, its winget manifests read with Python's
yaml and held to the rules of winget's manifest schema 1.10.0 (its required
fields, patterns, enums and lengths, transcribed below, and no field it does
not know), its facts checked against the file; the same for the file signed
afterwards, and a per-user one; Intune's JSON; and the one-line error of a
missing fact.

    manifest_check.py VTPACK FIXTURES SIGN_SETUP
"""
import hashlib
import json
import os
import subprocess
import sys
import tempfile

import jsonschema
import yaml

# winget's patterns, as its schema spells them.
IDENTIFIER = r'^[^\.\s\\/:\*\?"<>\|\x01-\x1f]{1,32}(\.[^\.\s\\/:\*\?"<>\|\x01-\x1f]{1,32}){1,7}$'
VERSION = r'^[^\\/:\*\?"<>\|\x01-\x1f]+$'
LOCALE = r'^([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*$'
URL = r'^([Hh][Tt][Tt][Pp][Ss]?)://.+$'
MANIFEST_VERSION = r'^(0|[1-9][0-9]{0,3}|[1-5][0-9]{4}|6[0-4][0-9]{3}|65[0-4][0-9]{2}|655[0-2][0-9]|6553[0-5])(\.(0|[1-9][0-9]{0,3}|[1-5][0-9]{4}|6[0-4][0-9]{3}|65[0-4][0-9]{2}|655[0-2][0-9]|6553[0-5])){2}$'


def text(least=None, most=None, pattern=None):
    rule = {"type": "string"}
    for key, value in (("minLength", least), ("maxLength", most), ("pattern", pattern)):
        if value is not None:
            rule[key] = value
    return rule


def enum(*values):
    return {"type": "string", "enum": list(values)}


def closed(properties, required, known=()):
    """An object of `properties`, also allowing the schema's `known` others."""
    allowed = dict(properties)
    allowed.update({name: {} for name in known if name not in allowed})
    return {"type": "object", "properties": allowed, "required": list(required),
            "additionalProperties": False}


COMMON = {"PackageIdentifier": text(most=128, pattern=IDENTIFIER),
          "PackageVersion": text(most=128, pattern=VERSION),
          "ManifestVersion": text(pattern=MANIFEST_VERSION)}
SWITCH = text(1, 512)
RETURN_RESPONSES = enum("packageInUse", "packageInUseByApplication", "installInProgress",
                        "fileInUse", "missingDependency", "diskFull", "insufficientMemory",
                        "invalidParameter", "noNetwork", "contactSupport", "rebootRequiredToFinish",
                        "rebootRequiredForInstall", "rebootInitiated", "cancelledByUser",
                        "alreadyInstalled", "downgrade", "blockedByPolicy", "systemNotSupported",
                        "custom")
ENTRY = closed({"DisplayName": text(1, 256), "Publisher": text(1, 256),
                "DisplayVersion": text(1, 128), "ProductCode": text(1, 255)}, [],
               ["UpgradeCode", "InstallerType"])
# Fields of an installer, at the root or in an entry of Installers.
INSTALLER_FIELDS = {
    "InstallerType": enum("msix", "msi", "appx", "exe", "zip", "inno", "nullsoft", "wix", "burn",
                          "pwa", "portable", "advinstExe", "advinstMsi"),
    "Scope": enum("user", "machine"),
    "InstallModes": {"type": "array", "uniqueItems": True, "maxItems": 3,
                     "items": enum("interactive", "silent", "silentWithProgress")},
    "InstallerSwitches": closed({name: SWITCH for name in (
        "Silent", "SilentWithProgress", "Interactive", "InstallLocation", "Log", "Upgrade",
        "Repair")}, [], ["Custom"]),
    "ExpectedReturnCodes": {"type": "array", "maxItems": 128, "items": closed(
        {"InstallerReturnCode": {"type": "integer", "not": {"enum": [0]},
                                 "minimum": -2147483648, "maximum": 4294967295},
         "ReturnResponse": RETURN_RESPONSES}, ["InstallerReturnCode", "ReturnResponse"],
        ["ReturnResponseUrl"])},
    "UpgradeBehavior": enum("install", "uninstallPrevious", "deny"),
    "FileExtensions": {"type": "array", "uniqueItems": True, "maxItems": 512,
                       "items": text(most=64, pattern=VERSION)},
    "ProductCode": text(1, 255),
    "AppsAndFeaturesEntries": {"type": "array", "uniqueItems": True, "maxItems": 128,
                               "items": ENTRY},
    "ElevationRequirement": enum("elevationRequired", "elevationProhibited", "elevatesSelf"),
}
OTHER_INSTALLER_FIELDS = [
    "InstallerLocale", "Platform", "MinimumOSVersion", "NestedInstallerType",
    "NestedInstallerFiles", "InstallerSuccessCodes", "Commands", "Protocols", "Dependencies",
    "PackageFamilyName", "Capabilities", "RestrictedCapabilities", "Markets",
    "InstallerAbortsTerminal", "ReleaseDate", "InstallLocationRequired", "RequireExplicitUpgrade",
    "DisplayInstallWarnings", "UnsupportedOSArchitectures", "UnsupportedArguments",
    "InstallationMetadata", "DownloadCommandProhibited", "RepairBehavior",
    "ArchiveBinariesDependOnPath"]
INSTALLER_ENTRY = closed(dict(INSTALLER_FIELDS, **{
    "Architecture": enum("x86", "x64", "arm", "arm64", "neutral"),
    "InstallerUrl": text(most=2048, pattern=URL),
    "InstallerSha256": text(pattern=r"^[A-Fa-f0-9]{64}$")}),
    ["Architecture", "InstallerUrl", "InstallerSha256"], OTHER_INSTALLER_FIELDS + ["SignatureSha256"])
SCHEMAS = {
    "version": closed(dict(COMMON, DefaultLocale=text(most=20, pattern=LOCALE),
                           ManifestType={"const": "version"}),
                      ["PackageIdentifier", "PackageVersion", "DefaultLocale", "ManifestType",
                       "ManifestVersion"]),
    "installer": closed(dict(COMMON, **INSTALLER_FIELDS, ManifestType={"const": "installer"},
                             Installers={"type": "array", "minItems": 1, "maxItems": 1024,
                                         "items": INSTALLER_ENTRY}),
                        ["PackageIdentifier", "PackageVersion", "Installers", "ManifestType",
                         "ManifestVersion"], OTHER_INSTALLER_FIELDS + ["Channel"]),
    "defaultLocale": closed(dict(
        COMMON, PackageLocale=text(most=20, pattern=LOCALE), Publisher=text(2, 256),
        PackageName=text(2, 256), License=text(3, 512), ShortDescription=text(3, 256),
        Copyright=text(3, 512), PackageUrl=text(most=2048, pattern=URL),
        ManifestType={"const": "defaultLocale"}),
        ["PackageIdentifier", "PackageVersion", "PackageLocale", "Publisher", "PackageName",
         "License", "ShortDescription", "ManifestType", "ManifestVersion"],
        ["PublisherUrl", "PublisherSupportUrl", "PrivacyUrl", "Author", "LicenseUrl",
         "CopyrightUrl", "Description", "Moniker", "Tags", "Agreements", "ReleaseNotes",
         "ReleaseNotesUrl", "PurchaseUrl", "InstallationNotes", "Documentations", "Icons"]),
}

PROJECT = """
[application]
name = "Vantorel Zoë"
version = "2.4"
publisher = "Vantorel Software"
url = "https://vantorel.example/zoe"
description = "Ein Programm für \\"alle\\": Zoë"
licence-name = "MIT"
copyright = "Copyright (c) Vantorel"
locale = "de-DE"

[[files]]
source = "stub.exe"
name = "zoe.exe"

[[associations]]
extension = "zoe"
type = "Vantorel.Zoe"
program = '<Destination>\\zoe.exe'
"""


def run(*args, expect=0):
    done = subprocess.run(args, capture_output=True, text=True)
    if done.returncode != expect:
        sys.exit(f"{args}: exit code {done.returncode}, not {expect}\n{done.stderr}")
    return done


def check_winget(vtpack, setup, folder, architecture):
    url = "https://vantorel.example/download/Zoe%20Setup.exe"
    run(vtpack, "manifest", "winget", setup, "--url", url, "-o", folder)
    names = sorted(os.listdir(folder))
    # No id in the project: publisher and name make it.
    expected = [f"VantorelSoftware.VantorelZoë{kind}.yaml" for kind in (
        ".installer", ".locale.de-DE", "")]
    assert names == sorted(expected), names
    manifests = {}
    for name in names:
        document = yaml.safe_load(open(os.path.join(folder, name), encoding="utf-8"))
        jsonschema.validate(document, SCHEMAS[document["ManifestType"]])
        assert document["ManifestVersion"] == "1.10.0"
        manifests[document["ManifestType"]] = document
    installer = manifests["installer"]["Installers"][0]
    digest = hashlib.sha256(open(setup, "rb").read()).hexdigest().upper()
    assert installer["InstallerSha256"] == digest, installer
    assert installer["Architecture"] == architecture and installer["Scope"] == "machine"
    assert installer["InstallerUrl"] == url
    assert installer["AppsAndFeaturesEntries"] == [{
        "DisplayName": "Vantorel Zoë", "Publisher": "Vantorel Software", "DisplayVersion": "2.4",
        "ProductCode": "Vantorel Zoë"}], installer
    assert manifests["installer"]["FileExtensions"] == ["zoe"]
    locale = manifests["defaultLocale"]
    assert locale["ShortDescription"] == 'Ein Programm für "alle": Zoë', locale
    assert (locale["PackageVersion"], locale["PackageLocale"]) == ("2.4", "de-DE")
    assert manifests["version"]["DefaultLocale"] == "de-DE"


def check_intune(vtpack, setup, view32):
    intune = json.loads(run(vtpack, "manifest", "intune", setup, "--json").stdout)
    rule = intune["rules"][0]
    folder = "C:\\Program Files (x86)" if view32 else "C:\\Program Files"
    assert rule["check32BitOn64System"] is view32, rule
    assert rule["keyPath"] == ("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion"
                               "\\Uninstall\\Vantorel Zoë"), rule
    assert (rule["valueName"], rule["comparisonValue"]) == ("DisplayVersion", "2.4"), rule
    assert intune["uninstallCommandLine"].endswith(f'"{folder}\\Vantorel Zoë\\Uninst.log"'), intune
    uninstaller = "VTUnInst.exe" if view32 else "VTUnInst64.exe"
    assert intune["uninstallCommandLine"].startswith(f'"C:\\Windows\\{uninstaller}" /S'), intune
    assert [c["returnCode"] for c in intune["returnCodes"]] == [0, 3010, 1, 1639], intune


def check_per_user(vtpack, fixtures, work):
    """A per-user package: winget's user scope, Intune's user context and HKCU rule."""
    project = os.path.join(work, "user.toml")
    open(project, "w", encoding="utf-8").write(
        PROJECT.replace('locale = "de-DE"', 'locale = "de-DE"\nscope = "user"'))
    setup = os.path.join(work, "User.exe")
    run(vtpack, "build", project, "-o", setup, "--stub",
        os.path.join(fixtures, "machine_manifest-i686.exe"), "--uninstaller",
        os.path.join(fixtures, "per_user_manifest-i686.exe"))
    folder = os.path.join(work, "winget-user")
    run(vtpack, "manifest", "winget", setup, "--url", "https://x.example/u.exe", "-o", folder)
    name = "VantorelSoftware.VantorelZoë.installer.yaml"
    installer = yaml.safe_load(open(os.path.join(folder, name), encoding="utf-8"))
    jsonschema.validate(installer, SCHEMAS["installer"])
    entry = installer["Installers"][0]
    assert (entry["Scope"], entry["ElevationRequirement"]) == ("user", "elevationProhibited"), entry
    assert entry["AppsAndFeaturesEntries"][0]["Publisher"] == "Vantorel Software", entry
    intune = json.loads(run(vtpack, "manifest", "intune", setup, "--json").stdout)
    rule = intune["rules"][0]
    assert intune["installExperience"]["runAsAccount"] == "user", intune
    assert rule["keyPath"].startswith("HKEY_CURRENT_USER\\Software\\") and \
        rule["check32BitOn64System"] is False, rule
    assert intune["uninstallCommandLine"].startswith(
        '"%LOCALAPPDATA%\\Programs\\Vantorel Zoë\\VTUnInst.exe" /S'), intune


def main():
    vtpack, fixtures, sign_setup = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as work:
        project = os.path.join(work, "project.toml")
        open(os.path.join(work, "uninst.exe"), "wb").write(b"MZ" + bytes(200))
        for arch, architecture in (("i686", "x86"), ("x86_64", "x64")):
            open(project, "w", encoding="utf-8").write(PROJECT.replace(
                'locale = "de-DE"', f'locale = "de-DE"\narchitecture = "{architecture}"'))
            stub = os.path.join(fixtures, f"with_icon-{arch}.exe")
            open(os.path.join(work, "stub.exe"), "wb").write(open(stub, "rb").read())
            setup = os.path.join(work, f"Setup-{arch}.exe")
            run(vtpack, "build", project, "-o", setup, "--stub", stub,
                "--uninstaller", os.path.join(work, "uninst.exe"))
            check_winget(vtpack, setup, os.path.join(work, f"winget-{arch}"), architecture)
            check_intune(vtpack, setup, architecture == "x86")
        check_per_user(vtpack, fixtures, work)
        # Signed after vtpack, as vendors do: the facts stay, the digest is the signed file's.
        signed = os.path.join(work, "Signed.exe")
        run(sign_setup, os.path.join(work, "Setup-i686.exe"), signed)
        check_winget(vtpack, signed, os.path.join(work, "winget-signed"), "x86")
        # A fact winget needs and the project lacks: one line naming the field.
        open(project, "w", encoding="utf-8").write(PROJECT.replace('licence-name = "MIT"\n', "").replace(
            'locale = "de-DE"', 'locale = "de-DE"\narchitecture = "x64"'))
        run(vtpack, "build", project, "-o", setup, "--stub", stub,
            "--uninstaller", os.path.join(work, "uninst.exe"))
        failed = run(vtpack, "manifest", "winget", setup, "--url", "https://x.example/s.exe",
                     "-o", os.path.join(work, "none"), expect=1)
        assert failed.stderr.count("\n") == 1 and "application.licence-name" in failed.stderr, \
            failed.stderr
        assert not os.path.exists(os.path.join(work, "none"))
    print("manifest_check: winget and Intune manifests of x86, x64, per-user and signed setups hold")


if __name__ == "__main__":
    main()
