"""KdeskSupport.exe imports only DLLs that Windows always takes from its system
folder (KnownDLLs): any other DLL of its import tables would be searched for
beside the program first, where anyone who can copy a file may have put one.

Argument: the .exe."""
import sys

import pefile

KNOWN_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "msvcrt.dll"}


def imported_dlls(exe):
    image = pefile.PE(exe, fast_load=True)
    image.parse_data_directories(directories=[
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"],
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT"],
    ])
    entries = getattr(image, "DIRECTORY_ENTRY_IMPORT", []) + getattr(image, "DIRECTORY_ENTRY_DELAY_IMPORT", [])
    return {entry.dll.decode("ascii").lower() for entry in entries}


def main(exe):
    dlls = imported_dlls(exe)
    failures = [f"{exe} imports {dll}, which is not a KnownDLL" for dll in sorted(dlls - KNOWN_DLLS)]
    if "kernel32.dll" not in dlls:
        failures.append(f"{exe}: no kernel32.dll among {sorted(dlls)}, so its import table was not read")
    for failure in failures:
        print("FAIL:", failure)
    print("imports:", ", ".join(sorted(dlls)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
