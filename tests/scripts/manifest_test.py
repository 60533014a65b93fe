"""KdeskSupport.exe carries exactly one manifest, resource 1, with Common
Controls 6, per-monitor DPI awareness and the supported Windows versions, and
no execution level (which would end the 32-bit build's virtualization); it is
linked terminal-server aware; and a program linked with its -B options carries
no manifest of the toolchain's, as MSYS2's toolchain would add.

Arguments: the .exe, the C compiler, the resource compiler, then the program's
link options."""
import pathlib
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

import pefile

RT_VERSION = 16
RT_MANIFEST = 24
TERMINAL_SERVER_AWARE = 0x8000

SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # Windows 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # Windows 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # Windows 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # Windows 10 and 11
}

TOOLCHAIN_MANIFEST = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">
    <security><requestedPrivileges><requestedExecutionLevel level="asInvoker"/></requestedPrivileges></security>
  </trustInfo>
</assembly>
"""


def load(exe):
    image = pefile.PE(str(exe), fast_load=True)
    image.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    return image


def resources(image):
    """{type id: [(name id, language, bytes)]}"""
    found = {}
    for kind in getattr(getattr(image, "DIRECTORY_ENTRY_RESOURCE", None), "entries", []):
        for name in kind.directory.entries:
            for language in name.directory.entries:
                data = language.data.struct
                found.setdefault(kind.id, []).append(
                    (name.id, language.id, image.get_data(data.OffsetToData, data.Size)))
    return found


def elements(root, local_name):
    return [element for element in root.iter() if element.tag.split("}")[-1] == local_name]


def manifest_faults(text):
    faults = []
    root = ET.fromstring(text)
    comctl = [identity for identity in elements(root, "assemblyIdentity")
              if identity.get("name") == "Microsoft.Windows.Common-Controls"]
    if not comctl or comctl[0].get("version") != "6.0.0.0" or comctl[0].get("publicKeyToken") != "6595b64144ccf1df":
        faults.append("no dependency on Common Controls 6.0")
    if [e.text for e in elements(root, "dpiAwareness")] != ["PerMonitorV2"]:
        faults.append("dpiAwareness is not PerMonitorV2")
    if [e.text for e in elements(root, "dpiAware")] != ["true/pm"]:
        faults.append("dpiAware is not true/pm")
    supported = {e.get("Id") for e in elements(root, "supportedOS")}
    if supported != SUPPORTED_OS:
        faults.append(f"supportedOS {sorted(supported)}")
    for forbidden in ("trustInfo", "requestedExecutionLevel", "requestedPrivileges"):
        if elements(root, forbidden):
            faults.append(f"carries {forbidden}")
    return faults


def link_probe(folder, compiler, options, name):
    """A minimal program linked with the given options, after which the
    simulated toolchain's folder is searched (as its own library folder is)."""
    source = folder / "probe.c"
    source.write_text("int wmain(void) { return 0; }\n")
    exe = folder / name
    subprocess.run([compiler, str(source), "-municode", *options, f"-B{folder / 'toolchain'}/", "-o", str(exe)],
                   check=True)
    return exe


def toolchain_faults(compiler, rc_compiler, link_options):
    with tempfile.TemporaryDirectory() as temp:
        folder = pathlib.Path(temp)
        (folder / "toolchain").mkdir()
        (folder / "app.manifest").write_text(TOOLCHAIN_MANIFEST)
        (folder / "manifest.rc").write_text('1 24 "app.manifest"\n')
        subprocess.run([rc_compiler, "-O", "coff", "-i", str(folder / "manifest.rc"),
                        "-o", str(folder / "toolchain" / "default-manifest.o")], check=True, cwd=folder)
        if RT_MANIFEST not in resources(load(link_probe(folder, compiler, [], "plain.exe"))):
            return ["the simulated toolchain manifest is not linked at all: the check proves nothing"]
        program_options = [option for option in link_options if option.startswith("-B")]
        if RT_MANIFEST in resources(load(link_probe(folder, compiler, program_options, "program.exe"))):
            return [f"with the program's options {program_options} the toolchain's manifest is linked"]
    return []


def main(exe, compiler, rc_compiler, *link_options):
    image = load(exe)
    found = resources(image)
    failures = []
    if RT_VERSION not in found:
        failures.append(f"no version resource, so its resources were not read ({sorted(found)})")
    manifests = found.get(RT_MANIFEST, [])
    if [name for name, _, _ in manifests] != [1]:
        failures.append(f"manifests {[(name, language) for name, language, _ in manifests]}: not exactly one, id 1")
    else:
        failures += manifest_faults(manifests[0][2])
    if not image.OPTIONAL_HEADER.DllCharacteristics & TERMINAL_SERVER_AWARE:
        failures.append("not linked terminal-server aware")
    failures += toolchain_faults(compiler, rc_compiler, link_options)

    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
