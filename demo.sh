#!/usr/bin/env bash
# The demo: builds the program, lays out a program directory in build/demo that
# points at the bundled demo farm, starts the farm simulator on a free loopback
# port, and walks through a listing, a submission, a query and a pause.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD

./scripts/install-deps.sh
echo "Building KfRcCmd (first time: a few minutes)..."
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)" --target KfRcCmd >/dev/null

# A program directory of its own: the program finds its configuration next to
# itself, so the demo copies it there.
demo=$root/build/demo
rm -rf "$demo"
mkdir -p "$demo/Python" "$demo/Renderers" "$demo/Presets/NetJobs"
cp build/KfRcCmd "$demo/"
# Every run records its program directory in the machine environment; keep
# that in the demo folder instead of /etc/environment.d.
export KF_MACHINE_ENV_FILE=$demo/machine-environment.conf
export PATH=$demo:$PATH

# The farm simulator on a free loopback port; it prints the port it took.
exec {sim}< <(exec python3 tools/farmsim/farmsim.py --farm tools/farmsim/demo/farm.json \
  --port 0 --journal "$demo/farm-journal.jsonl" 2>&1)
simpid=$!
stop_sim() { kill "$simpid" 2>/dev/null || true; wait "$simpid" 2>/dev/null || true; }
trap stop_sim EXIT
line=""
read -r -t 20 -u "$sim" line || true
port=${line##*:}
if [[ $line != "farmsim listening on "* || -z $port ]]; then
  echo "The farm simulator did not start: $line" >&2
  exit 1
fi

cat > "$demo/KfRcCmd.conf" <<EOF
[RemoteController.General]
Alias = demo-%COMPUTERNAME%

[RemoteController.NetJobs]
NetJobNameFormat = Demo job - \$(scene)

[RemoteController.Server]
ServerAddress = 127.0.0.1
ServerPort = $port
UserName = anna
UserPwd = anna123

EOF

step() {
  printf '\n\033[1m%s\033[0m\n$ %s\n' "$1" "${*:2}"
}

cat <<EOF

The demo farm runs on 127.0.0.1:$port (user anna, pools Main, Lighting and Prévis Ü).
Program directory: $demo (KfRcCmd.conf points at the farm).
EOF

cd "$demo"
step "1. The renderers the farm offers" KfRcCmd -listrenderers
KfRcCmd -listrenderers || true

step "   ...and the same for scripts, one renderer ID per line" KfRcCmd -listrenderers -compact
KfRcCmd -listrenderers -compact || true

submit=(-nj_renderer Blender/4.1 -nj_name "Shot 010 lighting" -nj_priority 5 -nj_pools Main
        -nj_tags "demo;shot010" -retnjid "@scenes/sh010_###[1-3,10].blend")
step "2. Submit scenes sh010_001 to sh010_003 and sh010_010; -retnjid makes the exit code the job ID" \
  KfRcCmd -nj_renderer Blender/4.1 -nj_name '"Shot 010 lighting"' -nj_priority 5 -nj_pools Main \
  -nj_tags '"demo;shot010"' -retnjid '"@scenes/sh010_###[1-3,10].blend"'
set +e
KfRcCmd "${submit[@]}"
job=$?
set -e
echo "(exit code: $job)"
if ((job == 255 || job == 0)); then
  echo "The submission did not return a job ID; looking at the jobs the farm holds instead."
  job=42
fi

step "3. Ask the server about the job" KfRcCmd -query "\"job $job\""
KfRcCmd -query "job $job" || true

step "4. Pause it" KfRcCmd -control_nj "pause:$job"
KfRcCmd -control_nj "pause:$job" || true

step "   ...and check its state" KfRcCmd -compact -query "\"jobstate $job\""
KfRcCmd -compact -query "jobstate $job" || true

echo
echo "Every message the program sent is in $demo/farm-journal.jsonl."
echo "Stopping the farm simulator."
