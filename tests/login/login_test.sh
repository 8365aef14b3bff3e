#!/usr/bin/env bash
# Logs in to an sshd on 127.0.0.1 whose PAM service is the test module alone: through Windows
# plink under Wine with Vantreth.exe as its authentication plugin, and through Debian's ssh with
# Vantreth.exe as its askpass. Vantreth's login dialogs are answered by ANSWERER as they come.
# Run inside scripts/with-wine-display.sh, as root or with sudo.
# Usage: login_test.sh PAM_MODULE EXE PLINK ANSWERER
set -euo pipefail
pam=$(realpath "$1") exe=$(realpath "$2") plink=$3 answerer=$4 work=$(mktemp -d)
service=vantreth-login-test sudo="" sshd=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
trap '[ -z "$sshd" ] || $sudo kill "$sshd"; $sudo rm -rf "/etc/pam.d/$service" "$work"' EXIT

# Waits for TEXT in FILE; fails, showing FILE, after a minute without it.
until_shown() {
  for _ in $(seq 600); do
    grep -qF -- "$1" "$2" && return 0
    sleep 0.1
  done
  echo "login_test: no '$1' in $2:" >&2 && cat "$2" >&2 && return 1
}

# sshd takes its PAM service from the name it runs under.
ssh-keygen -q -t ed25519 -N '' -f "$work/key"
ln -s "$(command -v sshd || echo /usr/sbin/sshd)" "$work/$service"
printf 'auth required %s %s\naccount required pam_permit.so\nsession required pam_permit.so\n' \
  "$pam" "$work/state" | $sudo tee "/etc/pam.d/$service" >/dev/null
$sudo mkdir -p /run/sshd
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
$sudo "$work/$service" -D -e -f /dev/null -h "$work/key" -o ListenAddress=127.0.0.1 -p "$port" \
  -o AuthenticationMethods=keyboard-interactive -o UsePAM=yes -o PermitRootLogin=yes \
  -o PidFile=none >/dev/null 2>"$work/sshd.log" &
sshd=$!
until_shown "Server listening on 127.0.0.1 port $port" "$work/sshd.log"

# The session as PuTTY saves it; plink 0.78 takes the plugin only from there.
key='HKCU\Software\SimonTatham\PuTTY\Sessions\vantreth'
for value in Protocol=ssh HostName=127.0.0.1 UserName="$(id -un)" \
  AuthPlugin="\"$(winepath -w "$exe")\" --putty-plugin"; do
  wine reg add "$key" /v "${value%%=*}" /d "${value#*=}" /f >/dev/null
done
wine reg add "$key" /v PortNumber /t REG_DWORD /d "$port" /f >/dev/null
hostkey=$(ssh-keygen -l -E sha256 -f "$work/key.pub" | cut -d' ' -f2)
# ssh runs its askpass with the prompt as the one argument; Wine passes the standard output on.
printf '#!/bin/sh\nexec wine %q "$1"\n' "$exe" >"$work/askpass" && chmod +x "$work/askpass"

# dialogs QUESTION ANSWER...: Vantreth's login dialogs answered in the background as they come.
dialogs() {
  # Wine reads the arguments in the locale's character set: UTF-8 for an answer in any script.
  LC_ALL=C.UTF-8 wine "$answerer" "$@" >"$work/dialogs.log" 2>&1 &
  answering=$!
}
answered() {
  wait "$answering" && return 0
  echo "login_test: a login dialog was not answered:" >&2 && cat "$work/dialogs.log" "$work/out" >&2
  return 1
}
state() { [ -z "$1" ] || printf '%s\n' "$1" | $sudo tee "$work/state" >/dev/null; }

# login STATE [PROMPT ANSWER]...: the server's state (none: as the last login left it), then each
# answer once its prompt shows; succeeds when the remote command ran.
login() {
  state "$1"
  shift
  rm -f "$work/in" && mkfifo "$work/in" && : >"$work/out"
  wine "$plink" -load vantreth -hostkey "$hostkey" echo logged in <"$work/in" >"$work/out" 2>&1 &
  local plink_pid=$! rc=0
  exec 3>"$work/in"
  while [ $# -gt 0 ] && until_shown "$1" "$work/out"; do printf '%s\n' "$2" >&3 && shift 2; done
  exec 3>&-
  wait "$plink_pid" || rc=$?
  [ $# -eq 0 ] && [ $rc -eq 0 ] && grep -q '^logged in' "$work/out" && return 0
  echo "login_test: plink ended with $rc:" >&2 && cat "$work/out" "$work/sshd.log" >&2 && return 1
}

# ssh_login STATE: the same through ssh; succeeds when the remote command ran.
ssh_login() {
  state "$1"
  local rc=0
  SSH_ASKPASS="$work/askpass" SSH_ASKPASS_REQUIRE=force timeout 120 ssh -F /dev/null \
    -p "$port" -o UserKnownHostsFile="$work/known_hosts" -o StrictHostKeyChecking=ask \
    -o PreferredAuthentications=keyboard-interactive "$(id -un)@127.0.0.1" echo logged in \
    </dev/null >"$work/out" 2>&1 || rc=$?
  [ $rc -eq 0 ] && grep -q '^logged in' "$work/out" && return 0
  echo "login_test: ssh ended with $rc:" >&2 && cat "$work/out" "$work/sshd.log" "$work/dialogs.log" >&2
  return 1
}

echo "login_test: plink: a challenge answered in Vantreth's login dialog"
# The state: the MD5 value of "This is a test." and obsd91335 at count 100 (Python's hashlib).
dialogs "otp-md5 99 obsd91335" "This is a test."
login "99 obsd91335 d8458b8d7db6bb42"
answered
grep -q '^98 obsd91335 ' "$work/state"
echo "login_test: ssh: the host key's question, then the challenge, in Vantreth's login dialogs"
dialogs "(yes/no/[fingerprint])" "yes" "otp-md5 98 obsd91335" "This is a test."
ssh_login ""
answered
grep -q '^97 obsd91335 ' "$work/state"
echo "login_test: plink: a password prompt passed on, marked as the server's"
login "password hunter2" "Password: " "hunter2"
grep -qF 'The server asks this, not Vantreth.' "$work/out"
echo "login_test: ssh: a password in any script, as typed"
dialogs "Password: " "pässwörd"
ssh_login "password pässwörd"
answered
echo "login_test: plink: the plugin ends with plink, in the middle of a long count"
# The count takes about two minutes; the answerer gives up once the dialog has stayed, busy.
dialogs "otp-md5 999999999 obsd91335" "This is a test."
state "999999999 obsd91335 0000000000000000"
wine "$plink" -load vantreth -hostkey "$hostkey" echo logged in </dev/null >"$work/out" 2>&1 &
plink_pid=$!
! wait "$answering"
kill "$plink_pid"
for _ in $(seq 200); do pgrep -f 'Vantreth.exe --putty-plugin' >/dev/null || break; sleep 0.1; done
! pgrep -f 'Vantreth.exe --putty-plugin' >/dev/null
