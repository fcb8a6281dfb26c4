#!/usr/bin/python3
"""Copies the game's fonts from their Debian packages into assets/fonts under the names the game
loads, with the packages' copyright files beside them.

  fonts-ebgaramond  -> garapremrpro.ttf (12 Regular), gara.ttf (12 Italic); the bold face is made
                       by make_bold_font.py from 12 Bold and 12 Regular
  fonts-liberation2 -> tnr.ttf (Liberation Serif Regular)
  fonts-dejavu-core -> DejaVuSans.ttf

The files are pinned in tools/manifest.toml ([fonts]: package, source and SHA-256 of each; [versions]:
the packages' versions): a source whose content differs is refused, so a newer package never changes
the committed fonts unnoticed, and another package version is reported.
The EB Garamond files are OpenType (CFF); FreeType opens them under the .ttf name.
Run:  /usr/bin/python3 tools/art/copy_fonts.py [--out DIR]   (make_ui.py runs it too)
"""
import hashlib
import os
import shutil
import subprocess
import sys
import tomllib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "lib"))
import outdir  # noqa: E402

MANIFEST = os.path.join(outdir.ROOT, "tools", "manifest.toml")


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def installed_version(package):
    r = subprocess.run(["dpkg-query", "-W", "-f=${Version}", package], capture_output=True, text=True)
    return r.stdout.strip() if r.returncode == 0 else None


def main():
    with open(MANIFEST, "rb") as f:
        manifest = tomllib.load(f)
    pins, versions = manifest["fonts"], manifest["versions"]
    out = outdir.take()
    problems = []
    for package in sorted({pin["package"] for pin in pins.values()}):
        have = installed_version(package)
        if have and have != versions.get(package):
            print("copy_fonts: %s is %s here, pinned %s: its files must still be the pinned ones"
                  % (package, have, versions.get(package)))
    for target, pin in pins.items():
        src = pin["source"]
        if not os.path.exists(src):
            problems.append("%s is missing (apt-get install %s)" % (src, pin["package"]))
        elif sha256(src) != pin["sha256"]:
            problems.append("%s of %s %s is not the pinned file (see tools/manifest.toml)"
                            % (src, pin["package"], installed_version(pin["package"]) or "?"))
    if problems:
        sys.stderr.write("copy_fonts: " + "\ncopy_fonts: ".join(problems) + "\n")
        return 1
    for target, pin in pins.items():
        path = os.path.join(out, target)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        shutil.copyfile(pin["source"], path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
