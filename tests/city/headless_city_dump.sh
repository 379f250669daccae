#!/usr/bin/env bash
# searchlight-headless city: one JSON object per seed, byte for byte the same
# on every run, consistent with itself; bad arguments are refused.
#   headless_city_dump.sh TOOL DATADIR
set -u
tool=$1 data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$tool" city --seed 7 --data "$data" >"$work/a.json" 2>"$work/a.err" || fail "seed 7 failed: $(tail -3 "$work/a.err")"
"$tool" city --seed 7 --data "$data" >"$work/b.json" 2>/dev/null || fail "second run of seed 7 failed"
cmp -s "$work/a.json" "$work/b.json" || fail "two runs of seed 7 printed different bytes"
"$tool" city --seed 8 --data "$data" >"$work/c.json" 2>/dev/null || fail "seed 8 failed"
cmp -s "$work/a.json" "$work/c.json" && fail "seeds 7 and 8 printed the same city"

python3 - "$work/a.json" <<'PY' || fail "the dump of seed 7 is not consistent"
import json, re, sys
text = open(sys.argv[1]).read()
assert text.endswith("}\n") and text.count("\n") == 1, "one line of JSON"
d = json.loads(text)
assert list(d) == ["seed", "columnWidths", "rowDepths", "streetX", "streetZ", "tiles", "buildings",
                   "vehicles", "policeSpawn", "tree"], list(d)
assert d["seed"] == 7
for widths, streets in ((d["columnWidths"], d["streetX"]), (d["rowDepths"], d["streetZ"])):
    assert sum(widths) + len(widths) - 1 == 25 and len(streets) == len(widths) - 1
    edge = -50
    for w, s in zip(widths, streets):
        assert s == edge + 4 * w + 2, (s, edge, w)
        edge += 4 * w + 4
tiles = d["tiles"]
assert len(tiles) == 25 and all(len(row) == 25 for row in tiles)
assert all(k in (14, 15, 16, 17) for row in tiles for k in row)
buildings = d["buildings"]
assert 256 <= len(buildings) <= 961
for b in buildings:
    assert list(b) == ["x", "z", "w", "h", "d", "wall", "roof", "block"], list(b)
    assert 4 <= b["wall"] <= 13 and 0 <= b["roof"] <= 1 and 2.5 <= b["h"] <= 5
    g, h = b["block"]
    assert 0 <= g < len(d["columnWidths"]) and 0 <= h < len(d["rowDepths"])
# Shortest round-trip numbers: each float prints with the fewest significant
# digits that read back as the same single-precision value.
import struct
def f32(v):
    return struct.unpack("f", struct.pack("f", float(v)))[0]
def digits(token):
    mantissa = token.lstrip("-").split("e")[0].replace(".", "").lstrip("0")
    return len(mantissa.rstrip("0")) if "." not in token.split("e")[0] else len(mantissa)
for key, token in re.findall(r'"(x|y|z|w|h|d|heading|speed)":(-?[0-9.e+-]+)[,}]', text):
    value = f32(token)
    assert f32(repr(value)) == value
    shortest = next(p for p in range(1, 10) if f32("%.*g" % (p, value)) == value)
    assert digits(token) <= shortest, (key, token, shortest)
assert '"z":-47.6,' in text or d["rowDepths"][0] == 1, "a 0.4-type float prints as its short decimal"
tree = d["tree"]
assert list(tree) == ["nodes", "leaves", "depth", "tiles", "buildings"]
assert tree["tiles"] == 625 and tree["buildings"] == len(buildings)
assert tree["nodes"] == 2 * tree["leaves"] - 1 and tree["depth"] >= 1
x, z = d["policeSpawn"]
assert x + 4 in d["streetX"] and z + 4 in d["streetZ"], (x, z)
vehicles = d["vehicles"]
for i, v in enumerate(vehicles):
    assert list(v) == ["kind", "mesh", "x", "y", "z", "heading", "speed"], list(v)
    assert v["kind"] == ("fugitive" if i == 0 else "traffic"), (i, v["kind"])
    assert v["mesh"] == 0 if i == 0 else 1 <= v["mesh"] <= 5, (i, v["mesh"])
PY

# Refused: no seed, a seed that is not a number, a missing data directory.
"$tool" city --data "$data" >/dev/null 2>&1; [ $? -eq 2 ] || fail "a missing --seed was not refused with 2"
"$tool" city --seed 12abc --data "$data" >/dev/null 2>&1; [ $? -eq 2 ] || fail "seed 12abc was not refused with 2"
"$tool" city --seed 99999999999 --data "$data" >/dev/null 2>&1; [ $? -eq 2 ] || fail "an out-of-range seed was not refused"
"$tool" city --seed 1 --data "$work/none" >/dev/null 2>&1; [ $? -eq 1 ] || fail "a missing data directory was not reported with 1"
echo "PASS: city dump is deterministic and consistent"
