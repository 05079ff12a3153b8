#!/usr/bin/env python3
"""vigenere --crack --json against the definitions, on random English-like ciphertexts of many
sizes and keys: the letter count, every index of coincidence (to 1e-9), the chosen period's
column counts, the repeated sequences' positions and distances, the divisor counts, and the key,
which must be --crack's. Usage: check_crack_json.py PROGRAM"""
import json
import random
import subprocess
import sys

program = sys.argv[1]
rng = random.Random(20261209)
WORDS = ("the of and to in is it that was he for on are as with his they at be this have from "
         "or one had by word but not what all were we when your can said there use an each which "
         "she do how their if will up other about out many then them these so some her would "
         "make like him into time has look two more write go see number no way could people").split()


def ic(counts):
    n = sum(counts)
    return 0.0 if n < 2 else sum(c * (c - 1) for c in counts) / (n * (n - 1))


def column_counts(letters, period, column):
    counts = [0] * 26
    for ch in letters[column::period]:
        counts[ord(ch) - 65] += 1
    return counts


def expected_repeats(letters):
    first = letters[:10000]
    positions = {}
    for i in range(len(first) - 2):
        positions.setdefault(first[i:i + 3], []).append(i)
    repeated = [(s, p) for s, p in positions.items() if len(p) > 1]
    distances = [b - a for _, p in repeated for a, b in zip(p, p[1:])]
    divisors = [{"period": d, "count": sum(1 for x in distances if x % d == 0)}
                for d in range(2, 41)]
    repeated.sort(key=lambda sp: (-len(sp[1]), sp[1][0]))
    listed = [{"sequence": s, "positions": p, "distances": [b - a for a, b in zip(p, p[1:])]}
              for s, p in repeated[:20]]
    return listed, divisors


def text_of(size):
    words = []
    while sum(len(w) + 1 for w in words) < size:
        word = rng.choice(WORDS)
        words.append(word.capitalize() if rng.random() < 0.1 else word)
        if rng.random() < 0.08:
            words[-1] += rng.choice(".,;!?\n")
    return " ".join(words) + "\n"


def run(*args, text):
    return subprocess.run([program, *args], input=text.encode(), capture_output=True, check=False)


failures = []
for size in [5, 40, 300, 1500, 2100, 3000, 12000, 30000]:
    key = "".join(rng.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ") for _ in range(rng.randint(1, 12)))
    cipher = run("vigenere", "-k", key, text=text_of(size)).stdout.decode()
    got = run("vigenere", "--crack", "--json", text=cipher)
    crack = run("vigenere", "--crack", text=cipher)
    data = json.loads(got.stdout)
    letters = "".join(c.upper() for c in cipher if c.isascii() and c.isalpha())

    def check(what, ok):
        if not ok:
            failures.append(f"size {size}, key {key}: {what}")

    check("status", got.returncode == 0 and got.stdout.endswith(b"}\n"))
    check("letters", data["letters"] == len(letters))
    check("ic", abs(data["ic"] - ic(column_counts(letters, 1, 0))) < 1e-9)
    check("periods", [p["period"] for p in data["periods"]] == list(range(1, min(40, len(letters)) + 1)))
    for p in data["periods"]:
        mean = sum(ic(column_counts(letters, p["period"], j)) for j in range(p["period"])) / p["period"]
        check(f"period {p['period']} ic", abs(p["ic"] - mean) < 1e-9)
    period = data["period"]
    check("key", data["key"] == crack.stdout.decode().strip() and len(data["key"]) == period)
    check("columns", len(data["columns"]) == period)
    for j, column in enumerate(data["columns"]):
        check(f"column {j} counts", column["counts"] == column_counts(letters, period, j))
        check(f"column {j} letter", column["letter"] == data["key"][j]
              and column["shift"] == ord(data["key"][j]) - 65 and len(column["fit"]) == 26)
    listed, divisors = expected_repeats(letters)
    check("repeats", data["repeats"] == listed)
    check("divisors", data["divisors"] == divisors)
    check("warning", (data["warning"] is None) == (crack.stderr == b""))

print("\n".join(failures) if failures else "every field as defined")
sys.exit(1 if failures else 0)
