"""KdeskSupport.exe carries no manifest resource (type 24), and a program linked
with its -B options carries none either when the toolchain has a
default-manifest.o of its own, as MSYS2's has.

Arguments: the .exe, the C compiler, the resource compiler, then the program's
link options."""
import pathlib
import subprocess
import sys
import tempfile

import pefile

RT_VERSION = 16
RT_MANIFEST = 24

TOOLCHAIN_MANIFEST = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <compatibility xmlns="urn:schemas-microsoft-com:compatibility.v1">
    <application><supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/></application>
  </compatibility>
</assembly>
"""


def resource_types(exe):
    image = pefile.PE(str(exe), fast_load=True)
    image.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    resources = getattr(image, "DIRECTORY_ENTRY_RESOURCE", None)
    return {entry.id for entry in resources.entries} if resources else set()


def link_probe(folder, compiler, options, name):
    """A minimal program linked with the given options, after which the
    simulated toolchain's folder is searched (as its own library folder is)."""
    source = folder / "probe.c"
    source.write_text("int wmain(void) { return 0; }\n")
    exe = folder / name
    subprocess.run([compiler, str(source), "-municode", *options, f"-B{folder / 'toolchain'}/", "-o", str(exe)],
                   check=True)
    return exe


def main(exe, compiler, rc_compiler, *link_options):
    failures = []
    types = resource_types(exe)
    if RT_VERSION not in types:
        failures.append(f"{exe}: no version resource, so its resources were not read ({sorted(types)})")
    if RT_MANIFEST in types:
        failures.append(f"{exe} carries a manifest resource")

    with tempfile.TemporaryDirectory() as temp:
        folder = pathlib.Path(temp)
        (folder / "toolchain").mkdir()
        (folder / "app.manifest").write_text(TOOLCHAIN_MANIFEST)
        (folder / "manifest.rc").write_text('1 24 "app.manifest"\n')
        subprocess.run([rc_compiler, "-O", "coff", "-i", str(folder / "manifest.rc"),
                        "-o", str(folder / "toolchain" / "default-manifest.o")], check=True, cwd=folder)
        if RT_MANIFEST not in resource_types(link_probe(folder, compiler, [], "plain.exe")):
            failures.append("the simulated toolchain manifest is not linked at all: the check proves nothing")
        program_options = [option for option in link_options if option.startswith("-B")]
        if RT_MANIFEST in resource_types(link_probe(folder, compiler, program_options, "program.exe")):
            failures.append(f"with the program's options {program_options} the toolchain's manifest is linked")

    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
