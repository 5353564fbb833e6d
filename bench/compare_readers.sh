#!/usr/bin/env bash
# Side by side, in one run: velmhost loading and saving a drawing of N
# entities (lines, circles, arcs and texts in turn, 100,000 unless given)
# against ezdxf only reading it and the npm package dxf-parser (under Node)
# only parsing it. Not part of CI: it needs python3-ezdxf, node, and
# dxf-parser installed with `npm install dxf-parser` in NODE_DIR.
#
#   bash bench/compare_readers.sh BUILD_DIR [N] [NODE_DIR]
#
# BUILD_DIR holds velmhost (a Release or RelWithDebInfo build without
# sanitizers, e.g. build/bench). Prints the best wall time of three runs
# of each, and the ratios.
set -euo pipefail
build=${1:?build directory with velmhost}
n=${2:-100000}
node_dir=${3:-.}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The drawing: a bare ENTITIES section, then saved by velmhost itself so
# that every reader gets a whole 2013 file.
/usr/bin/python3 - "$n" "$work/bare.dxf" <<'PY'
import sys
n, path = int(sys.argv[1]), sys.argv[2]
out = ["  0\nSECTION\n  2\nENTITIES\n"]
for i in range(n):
    x = float(i)
    k = i % 4
    if k == 0:
        out.append(f"  0\nLINE\n  8\n0\n 10\n{x}\n 20\n0.0\n 30\n0.0\n 11\n{x + 0.5}\n 21\n3.0\n 31\n0.0\n")
    elif k == 1:
        out.append(f"  0\nCIRCLE\n  8\n0\n 10\n{x}\n 20\n0.0\n 30\n0.0\n 40\n1.5\n")
    elif k == 2:
        out.append(f"  0\nARC\n  8\n0\n 10\n{x}\n 20\n1.0\n 30\n0.0\n 40\n2.0\n 50\n14.3\n 51\n85.9\n")
    else:
        out.append(f"  0\nTEXT\n  8\n0\n 10\n{x}\n 20\n2.0\n 30\n0.0\n 40\n0.25\n  1\npomieszczenie\n")
out.append("  0\nENDSEC\n  0\nEOF\n")
open(path, "w").write("".join(out))
PY
"$build/velmhost" "$work/bare.dxf" --save "$work/big.dxf" >/dev/null

best() {  # the least wall time in seconds of three runs of the command
    local t least=""
    for _ in 1 2 3; do
        t=$( { TIMEFORMAT=%R; time "$@" >/dev/null 2>&1; } 2>&1 | tail -1)
        if [ -z "$least" ] || awk "BEGIN{exit !($t < $least)}"; then least=$t; fi
    done
    echo "$least"
}

host=$(best "$build/velmhost" "$work/big.dxf" --save "$work/out.dxf")
ez=$(best /usr/bin/python3 -c "import ezdxf, sys; ezdxf.readfile(sys.argv[1])" "$work/big.dxf")
js=$(best node -e "const P=require(require.resolve('dxf-parser',{paths:[process.argv[2]]}));new P().parseSync(require('fs').readFileSync(process.argv[1],'utf8'))" "$work/big.dxf" "$node_dir")
echo "entities $n, $(stat -c %s "$work/big.dxf") bytes, cores $(nproc)"
echo "velmhost load + save  ${host} s"
echo "ezdxf read            ${ez} s  ($(awk "BEGIN{printf \"%.1f\", $ez / $host}") times velmhost)"
echo "dxf-parser parse      ${js} s  ($(awk "BEGIN{printf \"%.1f\", $js / $host}") times velmhost)"
