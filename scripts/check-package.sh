#!/usr/bin/env bash
# Builds the Debian package, installs it with dpkg -i, checks the installed
# layout with stat (everything root's, folders 0755, files 0644, the program
# 0755, a KfRcCmd.conf with a shared password 0640 root:kilnforge), runs it
# as an ordinary user, and purges it again, checking that nothing is left.
# Installs into the system: run it as root on a machine (or container) where
# the package is not in use. Usage: scripts/check-package.sh [BUILD_DIR]
set -euo pipefail

build=${1:-build}
dir=/opt/kilnforge
fail=0
check() {  # check PATH MODE OWNER:GROUP
  local got
  got=$(stat -c '%a %U:%G' "$1")
  if [ "$got" = "$2 $3" ]; then
    echo "ok   $1 $got"
  else
    echo "FAIL $1 $got (expected $2 $3)"
    fail=1
  fi
}

if dpkg-query -W kilnforge-kfrccmd >/dev/null 2>&1; then
  echo "kilnforge-kfrccmd is installed already: not touching it" >&2
  exit 2
fi
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/kilnforge-kfrccmd_*.deb | head -1)
echo "package: $deb ($(stat -c %s "$deb") bytes)"
DEBIAN_FRONTEND=noninteractive dpkg -i "$deb" >/dev/null

check "$dir" 755 root:root
check "$dir/KfRcCmd" 755 root:root
check "$dir/KfRcCmd.conf" 644 root:root
check "$dir/KfRcCmd.conf.example" 644 root:root
for d in Python Renderers Presets Presets/NetJobs; do check "$dir/$d" 755 root:root; done
writable=$(find "$dir" -perm /022 ! -type l)
if [ -n "$writable" ]; then
  echo "FAIL group- or world-writable: $writable"
  fail=1
fi

# A shared password in the site configuration: the next configure makes it
# readable by the group only. It is written private first, so that no other
# user may read or change it in between.
(umask 077 && printf '[RemoteController.Server]\nUserName = farm\nUserPwd = shared\n' > "$dir/KfRcCmd.conf")
chmod 0600 "$dir/KfRcCmd.conf"
dpkg-reconfigure kilnforge-kfrccmd 2>/dev/null || /var/lib/dpkg/info/kilnforge-kfrccmd.postinst configure
check "$dir/KfRcCmd.conf" 640 root:kilnforge

# An ordinary user runs it: nothing is written under the program directory.
home=$(mktemp -d)
chown nobody:nogroup "$home"
before=$(find "$dir" -printf '%p %m %s %T@\n' | sort)
setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$home" \
  KF_MACHINE_ENV_FILE="$home/env" /usr/bin/KfRcCmd -server 127.0.0.1:1 -login a:b -listpools >/dev/null || true
after=$(find "$dir" -printf '%p %m %s %T@\n' | sort)
if [ "$before" = "$after" ]; then echo "ok   nothing written under $dir by nobody"; else echo "FAIL $dir changed"; fail=1; fi
if [ -d "$home/.local/state/kilnforge" ]; then
  check "$home/.local/state/kilnforge" 700 nobody:nogroup
else
  echo "FAIL no per-user state folder"; fail=1
fi
rm -rf "$home"

DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq kilnforge-kfrccmd >/dev/null
if [ -e "$dir" ]; then echo "FAIL $dir still exists after purge"; fail=1; else echo "ok   purge removed $dir"; fi
if getent group kilnforge >/dev/null; then echo "FAIL group kilnforge left"; fail=1; else echo "ok   group kilnforge removed"; fi
exit $fail
