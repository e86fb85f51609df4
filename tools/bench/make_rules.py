#!/usr/bin/env python3
"""Writes a rules file of the community file's shape for the load-and-detect benchmark.

    make_rules.py OUT.ini [ENTRIES]

About 4,000 entries and 1.8 MB by default: categories by LangSecRef, Detect and
DetectFile keys (some with wildcards, a few DetectOS and SpecialDetect), several
FileKeys with pattern lists and flags, RegKeys, ExcludeKeys and Warnings, in the
proportions such a file has. Names and places are made up; the same arguments give
the same file.
"""
import random
import sys

out = sys.argv[1]
count = int(sys.argv[2]) if len(sys.argv) > 2 else 4000
rng = random.Random(4000)

refs = [3021] * 30 + [3022] * 12 + [3023] * 14 + [3024] * 22 + [3025] * 8 + [3029, 3026, 3027, 3006, 3031, 3033, 3034]
roots = ["%AppData%", "%LocalAppData%", "%ProgramFiles%", "%CommonAppData%", "%LocalLowAppData%", "%UserProfile%",
         "%Documents%", "%ProgramData%", "%WinDir%", "%Temp%"]
syllables = ["ar", "bel", "cor", "dex", "em", "fin", "gal", "hex", "io", "jun", "kal", "lum", "mor", "nex", "or",
             "pix", "quo", "ras", "sol", "tek", "um", "vor", "wex", "xen", "yar", "zed"]
patterns = ["*.log", "*.tmp", "*.bak", "*.dmp", "*.old", "*.etl", "thumbs*.db", "recent*.xml", "*.cache", "*.dat",
            "history.*", "*.txt", "crash*.dmp", "~*.*"]
folders = ["Cache", "Logs", "Temp", "CrashDumps", "GPUCache", "Code Cache", "thumbnails", "Backups", "History",
           "Session Storage", "blob_storage", "Service Worker\\CacheStorage"]


def word():
    return "".join(rng.choice(syllables) for _ in range(rng.randint(2, 4))).capitalize()


lines = ["; Generated rules of the community file's shape, for benchmarks only.", ""]
used = set()
for _ in range(count):
    vendor, product = word(), word()
    name = f"{vendor} {product}"
    while name in used:
        name += " " + word()
    used.add(name)
    root = rng.choice(roots)
    base = f"{root}\\{vendor}\\{product}"
    lines.append(f"[{name} *]")
    lines.append(f"LangSecRef={rng.choice(refs)}")
    if rng.random() < 0.05:
        lines.append(f"DetectOS={rng.choice(['6.1', '6.2', '10.0'])}|")
    if rng.random() < 0.03:
        lines.append("SpecialDetect=DET_CHROME")
    detects = rng.randint(1, 3)
    for i in range(1, detects + 1):
        suffix = str(i) if detects > 1 else ""
        if rng.random() < 0.35:
            lines.append(f"Detect{suffix}=HKCU\\Software\\{vendor}\\{product}")
        elif rng.random() < 0.3:
            lines.append(f"DetectFile{suffix}={root}\\{vendor}*\\{product}")
        else:
            lines.append(f"DetectFile{suffix}={base}")
    if rng.random() < 0.08:
        lines.append(f"Warning=This will remove the saved {rng.choice(['sessions', 'passwords', 'settings', 'logins'])} "
                     f"of {product}. " + " ".join(word().lower() for _ in range(rng.randint(4, 16))) + ".")
    for i in range(1, rng.choices([1, 2, 3, 4, 6, 10], [14, 22, 22, 16, 16, 10])[0] + 1):
        folder = base + "\\" + rng.choice(folders)
        if rng.random() < 0.15:
            folder = f"{base}\\*\\{rng.choice(folders)}"
        pats = ";".join(rng.sample(patterns, rng.randint(1, 4))) if rng.random() < 0.6 else "*"
        flag = rng.choices(["", "|RECURSE", "|REMOVESELF"], [40, 45, 15])[0]
        lines.append(f"FileKey{i}={folder}|{pats}{flag}")
    for i in range(1, rng.choices([0, 1, 2, 4], [55, 25, 12, 8])[0] + 1):
        lines.append(f"RegKey{i}=HKCU\\Software\\{vendor}\\{product}\\{rng.choice(['Recent', 'MRU', 'History'])}{i}")
    if rng.random() < 0.12:
        lines.append(f"ExcludeKey1=FILE|{base}\\Cache\\|{rng.choice(patterns)}")
    if rng.random() < 0.05:
        lines.append(f"ExcludeKey2=PATH|{base}\\Logs\\Keep\\|*.*")
    lines.append("")

with open(out, "w", newline="\r\n", encoding="utf-8") as f:
    f.write("\n".join(lines))
