#!/usr/bin/env python3
"""The corpus of real code that the colouring is measured on.

Every file comes from a Debian package: the list (bench/syntax_corpus.list)
names, one file a line, the document type key, the package and the path the
package installs (a path inside a zip archive the package installs is written
ARCHIVE!MEMBER). Nothing is written for the corpus itself.

Batch and INI files are few on a machine, so the packages in UNPACKED, which
ship them but would start services or weigh much when installed, are only
downloaded with apt-get and unpacked (dpkg-deb -x) under build/corpus-debs.

  syntax_corpus.py build [--dir DIR]
      installs the listed packages with apt-get (as root), unpacks those of
      UNPACKED, and copies every listed file into DIR/KEY/ (default
      build/corpus).
  syntax_corpus.py select [--lang KEY ...]
      chooses the files (of the languages named, else of all) again from the packages installed on this machine
      and the unpacked ones, and writes the list; the choice is fixed by
      sorted paths, so the same packages give the same list.
"""

import argparse
import os
import re
import subprocess
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
LIST = os.path.join(HERE, "syntax_corpus.list")

# The packages whose files are chosen from, beside what every machine has.
PACKAGES = ["ant", "maven", "vim-runtime", "cmake-data", "fpc-source", "omniorb-idl", "bwbasic", "php-pear", "openjdk-17-source", "postgresql-contrib",
            "libstdc++-12-dev", "libc6-dev", "linux-libc-dev", "python3-pygments", "lazarus-src-2.2", "llvm-14-tools"]

# Packages that ship batch or INI files, downloaded and unpacked, never
# installed: PgBouncer, MAME and the OpenStack services would be set up as
# services, the Go sources are large.
UNPACKED = ["golang-1.19-src", "python3-virtualenv", "pgbouncer", "mame", "nova-common", "glance-common",
            "keystone", "cinder-common", "neutron-common", "heat-common", "barbican-common", "manila-common",
            "designate-common", "aodh-common"]
DEBS = os.path.join(ROOT, "build", "corpus-debs")

# How many files of each language, at most.
PER_LANGUAGE = 60

# Bounds that keep a file measurable: the editor splits lines past 2047
# characters, and a file of many megabytes only slows the measure.
MIN_BYTES, MAX_BYTES, MAX_LINE = 400, 150_000, 2000
# Batch and INI files are short by nature: most real ones are under 400 bytes.
MIN_BYTES_OF = {"bat": 200, "ini": 200}


def usable(data, key=""):
    least = MIN_BYTES_OF.get(key, MIN_BYTES)
    if not least <= len(data) <= MAX_BYTES or b"\0" in data or b"\r" in data.replace(b"\r\n", b""):
        return False
    return all(len(line) <= MAX_LINE for line in data.split(b"\n"))


def walk(top, pattern):
    rx = re.compile(pattern)
    out = []
    for base, dirs, files in os.walk(top):
        dirs.sort()
        for f in sorted(files):
            p = os.path.join(base, f)
            if rx.search(p) and os.path.isfile(p) and not os.path.islink(p):
                out.append(p)
    return out


def shell_scripts():
    out = []
    for top in ["/usr/bin", "/usr/sbin", "/usr/lib", "/usr/share", "/etc/init.d"]:
        for p in walk(top, r"."):
            try:
                with open(p, "rb") as f:
                    head = f.readline(80)
            except OSError:
                continue
            if re.match(rb"#! ?(/usr)?/bin/(env )?(ba)?sh\b", head):
                out.append(p)
    return out


def java_sources():
    src = "/usr/lib/jvm/openjdk-17/lib/src.zip"
    if not os.path.exists(src):
        return []
    with zipfile.ZipFile(src) as z:
        names = sorted(n for n in z.namelist()
                       if n.startswith(("java.base/java/util/", "java.base/java/io/", "java.desktop/java/awt/"))
                       and n.endswith(".java"))
    return [src + "!" + n for n in names]


CANDIDATES = {
    "sh": shell_scripts,
    "cpp": lambda: walk("/usr/include", r"/usr/include/[^/]+\.h$|/usr/include/(linux|sys|net|c\+\+/12/bits)/[^/]+$"),
    "java": java_sources,
    "htm": lambda: walk("/usr/share/doc", r"\.html?$"),
    "sql": lambda: walk("/usr/share/postgresql", r"\.sql$"),
    "bas": lambda: walk("/usr/share/doc/bwbasic", r"\.bas$"),
    "pas": lambda: walk("/usr/share/fpcsrc", r"/(rtl|packages/fcl-base|packages/fcl-json|compiler)/.*\.(pas|pp|inc)$"),
    "idl": lambda: walk("/usr/share/idl", r"\.idl$"),
    "bat": lambda: walk("/usr", r"\.([Bb][Aa][Tt]|[Cc][Mm][Dd])$") + unpacked(r"\.([Bb][Aa][Tt]|[Cc][Mm][Dd])$"),
    "ini": lambda: walk("/usr", r"\.ini(-[a-z]+)?$") + walk("/etc", r"\.ini$") + unpacked(r"\.ini$"),
    "php3": lambda: walk("/usr/share/php", r"\.php$"),
    "txt": lambda: walk("/usr/share/doc", r"/(README|NEWS|TODO|AUTHORS|THANKS)(\.txt)?$"),
}


def unpacked_root(pkg):
    """Where the package of UNPACKED is unpacked (downloaded on first use)."""
    root = os.path.join(DEBS, pkg)
    if not os.path.isdir(root):
        os.makedirs(DEBS, exist_ok=True)
        subprocess.run(["apt-get", "download", pkg], cwd=DEBS, check=True, capture_output=True)
        deb = sorted(f for f in os.listdir(DEBS) if f.startswith(pkg + "_") and f.endswith(".deb"))[-1]
        subprocess.run(["dpkg-deb", "-x", os.path.join(DEBS, deb), root], check=True)
    return root


# The installed path of each file found in an unpacked package, and its package.
UNPACKED_OWNER = {}


def unpacked(pattern):
    out = []
    for pkg in UNPACKED:
        root = unpacked_root(pkg)
        for p in walk(root, pattern):
            path = p[len(root):]
            UNPACKED_OWNER[path] = pkg
            out.append(path)
    return out


def read(path, pkg=None):
    if pkg in UNPACKED:
        path = unpacked_root(pkg) + path
    if "!" in path:
        archive, member = path.split("!", 1)
        with zipfile.ZipFile(archive) as z:
            return z.read(member)
    with open(path, "rb") as f:
        return f.read()


# Packages this machine has from outside Debian's archive.
NOT_DEBIAN = ("google-cloud", "nodejs")


def packages_of(paths):
    """The Debian package that installed each path (archives for archive members)."""
    known = {p: UNPACKED_OWNER[p] for p in paths if p in UNPACKED_OWNER}
    paths = [p for p in paths if p not in known]
    files = sorted({os.path.realpath(p.split("!", 1)[0]) for p in paths})
    r = subprocess.run(["dpkg", "-S"] + files, capture_output=True, text=True)
    owner = {}
    for line in r.stdout.splitlines():
        pkg, _, path = line.partition(": ")
        pkg = pkg.split(",")[0].split(":")[0].strip()
        if not pkg.startswith(NOT_DEBIAN):
            owner[path.strip()] = pkg
    return {**{p: owner.get(os.path.realpath(p.split("!", 1)[0])) for p in paths}, **known}


def install(packages):
    missing = [p for p in packages
               if subprocess.run(["dpkg", "-s", p], capture_output=True).returncode != 0]
    if missing:
        env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        subprocess.run(["apt-get", "update"], check=True, env=env)
        subprocess.run(["apt-get", "install", "-y", "--no-install-recommends"] + missing, check=True, env=env)


def select(keys=None):
    install(PACKAGES)
    lines = []
    for key, find in CANDIDATES.items():
        if keys and key not in keys:
            # Kept as listed, so that one language's choice can be renewed alone.
            lines += [f"{k} {pkg} {path}" for k, pkg, path in entries() if k == key]
            continue
        chosen = []
        for p in find():
            try:
                if usable(read(p, UNPACKED_OWNER.get(p)), key):
                    chosen.append(p)
            except (OSError, zipfile.BadZipFile):
                pass
        # An even spread over the sorted candidates, not the first few of one folder.
        step = max(1, len(chosen) // PER_LANGUAGE)
        picked = chosen[::step][:PER_LANGUAGE]
        owners = packages_of(picked)
        picked = [p for p in picked if owners[p]]
        lines += [f"{key} {owners[p]} {p}" for p in picked]
        print(f"{key}: {len(picked)} of {len(chosen)} usable files", file=sys.stderr)
    with open(LIST, "w") as f:
        f.write("# KEY PACKAGE PATH: written by bench/syntax_corpus.py select\n")
        f.write("\n".join(lines) + "\n")


def entries():
    with open(LIST) as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                key, pkg, path = line.split(None, 2)
                yield key, pkg, path.strip()


def corpus_name(path):
    return path.strip("/").replace("!", "/").replace("/", "_")


def build(directory):
    install(sorted({pkg for _, pkg, _ in entries() if pkg not in UNPACKED} | {"python3-pygments"}))
    count = 0
    for key, pkg, path in entries():
        try:
            data = read(path, pkg)
        except (OSError, KeyError, zipfile.BadZipFile) as e:
            print(f"missing: {path}: {e}", file=sys.stderr)
            continue
        os.makedirs(os.path.join(directory, key), exist_ok=True)
        # Line breaks as the editor stores them: CR LF is one break, as LF is.
        with open(os.path.join(directory, key, corpus_name(path)), "wb") as f:
            f.write(data.replace(b"\r\n", b"\n"))
        count += 1
    print(f"{count} files in {directory}", file=sys.stderr)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = ap.add_subparsers(dest="command", required=True)
    b = sub.add_parser("build")
    b.add_argument("--dir", default=os.path.join(ROOT, "build", "corpus"))
    sel = sub.add_parser("select")
    sel.add_argument("--lang", nargs="*")
    args = ap.parse_args()
    if args.command == "select":
        select(args.lang)
    else:
        build(args.dir)


if __name__ == "__main__":
    main()
