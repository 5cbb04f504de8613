#!/bin/sh
# A folder of 100 folders x 1,000 one-byte files renamed as one, then back,
# four rounds, each beside the one-way compare and a run with nothing
# changed. The trees, the memory and the journals live in /var/tmp, never in
# $HOME.  R=PROGRAM bench/twoway_rename_bench.sh
set -e
R=${R:-$(cd "$(dirname "$0")/.." && pwd)/build/dev/src/ravelmoor}
W=/var/tmp/ravelmoor-twoway-rename
rm -rf $W; mkdir -p $W; cd $W
python3 -c "import os
for d in range(100):
    os.makedirs(f'A/big/d{d:03}', exist_ok=True)
    for f in range(1000): open(f'A/big/d{d:03}/file{f:04}.txt','w').write('x')"
mkdir B
export XDG_STATE_HOME=$PWD/state XDG_DATA_HOME=$PWD/state/data HOME=$PWD/state/home
mkdir -p $HOME
/usr/bin/time -f "first sync %e s %M KB" $R sync --method two-way -r --yes -q A B
for i in 1 2 3 4; do
  /usr/bin/time -f "compare %e s %M KB" $R compare -r -q A B
  /usr/bin/time -f "nothing changed %e s %M KB" $R sync --method two-way -r --yes -q A B
  mv A/big A/big1
  /usr/bin/time -f "renamed %e s %M KB" $R sync --method two-way -r --yes A B | tail -1
  mv A/big1 A/big
  /usr/bin/time -f "renamed back %e s %M KB" $R sync --method two-way -r --yes A B | tail -1
done
ls -l state/ravelmoor/pairs/
