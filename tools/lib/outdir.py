"""Where a generator writes: into the repository, or with `--out DIR` under DIR at the same relative
paths, so that tools/build_assets --verify can rebuild into a scratch folder and compare. Inputs are
always read from the repository."""
import os
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
_out = None


def take():
    """Removes `--out DIR` from sys.argv, so that a tool's own parsing never sees it, and returns the
    output root: DIR, or the repository when the option is absent. Every module of one run gets the
    same answer."""
    global _out
    if _out is None:
        _out = ROOT
        if "--out" in sys.argv:
            i = sys.argv.index("--out")
            if i + 1 >= len(sys.argv):
                sys.exit("--out needs a folder")
            _out = os.path.abspath(sys.argv[i + 1])
            del sys.argv[i:i + 2]
    return _out
