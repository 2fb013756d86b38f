#!/usr/bin/env bash
# scripts/compare-effects.sh LINUX_DIR WINDOWS_DIR
# Sets the pictures the two builds' tobrin-fxview drew (folders made by scripts/fxview-all.sh, each
# with a <stem>.log per effect file naming the pictures it wrote) side by side. For each technique
# both drew, the pictures agree when at most 1 % of the lit pixels (those not the clear colour in
# either picture) differ by more than 16 levels in some channel. Every technique whose pictures
# differ must be a row of the table in docs/effect-reference.md ($EFFECT_REFERENCE to read
# another); the run fails on a difference the table does not list and on a listed one that no
# longer differs or was not compared. Prints each difference and the counts.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ne 2 ] || [ ! -d "$1" ] || [ ! -d "$2" ]; then
  echo "usage: scripts/compare-effects.sh LINUX_DIR WINDOWS_DIR (two folders of scripts/fxview-all.sh)" >&2
  exit 2
fi
exec python3 - "$1" "$2" "${EFFECT_REFERENCE:-$root/docs/effect-reference.md}" "$root/scripts" <<'PYTHON'
import os
import re
import sys
import zlib

sys.path.insert(0, sys.argv[4])
from pictures import compare as compare_pictures, read_png  # noqa: E402

linux_dir, windows_dir, reference = sys.argv[1:4]
CLEAR = (0x20, 0x30, 0x40)  # tools/fxview/scene.hpp, kClearColour
LEVELS = 16                 # a channel may differ by this much
SHARE = 0.01                # of the lit pixels may differ by more


WROTE = re.compile(r': technique (.*), \d+ pass(?:es)?: wrote (.*)$')


def pictures(folder, effects):
    """{(effect file, technique): picture path} from the logs of scripts/fxview-all.sh; adds each
    effect file with a log to effects."""
    found = {}
    for base, _, names in os.walk(folder):
        for name in names:
            if not name.endswith('.log'):
                continue
            effect = os.path.relpath(os.path.join(base, name[:-4] + '.fx'), folder)
            effects.add(effect)
            with open(os.path.join(base, name), encoding='utf-8', errors='replace') as log:
                for line in log:
                    match = WROTE.search(line.rstrip('\n'))
                    if match:
                        found[(effect, match.group(1))] = os.path.join(
                            base, os.path.basename(match.group(2).replace('\\', '/')))
    return found


def compare(left, right):
    """None when the pictures agree, else what differs."""
    a, b = read_png(left), read_png(right)
    if a[:2] != b[:2]:
        return 'sizes differ: %dx%d and %dx%d' % (a[0], a[1], b[0], b[1])
    lit, differing, _, worst = compare_pictures(a, b, levels=LEVELS, clear=CLEAR)
    if differing <= SHARE * lit:
        return None
    return '%d of %d lit pixels (%.1f %%) differ by more than %d, by up to %d' % (
        differing, lit, 100.0 * differing / lit, LEVELS, worst)


listed = set()
with open(reference, encoding='utf-8') as doc:
    for line in doc:
        match = re.match(r'\|\s*`([^`]+)`\s*\|\s*`([^`]+)`\s*\|', line)
        if match:
            listed.add((match.group(1), match.group(2)))

effects = set()
linux, windows = pictures(linux_dir, effects), pictures(windows_dir, effects)
both = sorted(set(linux) & set(windows))
one_side = sorted(set(linux) ^ set(windows))
agree = differ = 0
failed = False
for key in both:
    try:
        what = compare(linux[key], windows[key])
    except (OSError, ValueError, zlib.error) as error:
        what = 'a picture cannot be read: %s' % error
    if what is None:
        agree += 1
        if key in listed:
            print('FAIL %s %s is listed in %s but the pictures agree' % (key[0], key[1], reference))
            failed = True
        continue
    differ += 1
    status = 'listed' if key in listed else 'FAIL (not in %s)' % os.path.basename(reference)
    failed = failed or key not in listed
    print('%s %s %s: %s' % (status, key[0], key[1], what))
for key in sorted(listed - set(both)):
    print('FAIL %s %s is listed but was not drawn by both builds' % key)
    failed = True
for key in one_side:
    print('only %s: %s %s' % ('Linux' if key in linux else 'Windows', key[0], key[1]))
print('%d effects, %d techniques compared, %d agree, %d differ, %d drawn by one side only; %s' % (
    len(effects), len(both), agree, differ, len(one_side),
    'every difference listed' if not failed else 'FAILED'))
sys.exit(1 if failed else 0)
PYTHON
