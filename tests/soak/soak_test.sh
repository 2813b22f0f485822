#!/usr/bin/env bash
# The Settings app, the messaging app receiving messages in real time and the
# home screen's gestures run together as processes on one device root, each
# writing the settings files, while a reader checks that both files parse at
# every moment. At the end every key each one wrote is there and every
# message got its reply.
# Usage: soak_test.sh MORNAQ READER [SECONDS]   (default 45 s of messages)
set -euo pipefail
mornaq=$1 reader=$2 seconds=${3:-45}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
main=$root/var/mobile/Library/Preferences/com.corvane.halbrin.mornaqprefs.plist
rules=$root/var/mobile/Library/Preferences/com.corvane.halbrin.mornaqprefsWM.plist

"$mornaq" install --root "$root" >/dev/null
"$mornaq" switch on --root "$root" >/dev/null
# The first opening shows a notice; then the global reply is switched on.
printf '%s\n' '{"alert":"Ok"}' '{"tap":"Global Reply"}' \
  '{"set":{"key":"isGlobalEnabled","value":true}}' \
  '{"set":{"key":"isGlobAutoEnabled","value":true}}' |
  "$mornaq" settings --root "$root" >/dev/null

# Two messages a second from chats of their own, and a key written every
# second; the home screen switches on by gesture four times a second and
# writes a key every second.
messages=$((seconds * 2))
for ((i = 0; i < messages; i++)); do
  at=$(printf '%d.%d' $((i / 2)) $((i % 2 * 5)))
  echo "{\"at\":$at,\"receive\":{\"text\":\"hello $i\",\"chat\":{\"displayName\":\"Soak $i\"}}}"
  ((i % 2)) || echo "{\"at\":$at,\"settings\":{\"soakWhatsApp$i\":true}}"
done >"$root/whatsapp.jsonl"
for ((i = 0; i < seconds * 4; i++)); do
  at=$(printf '%d.%02d' $((i / 4)) $((i % 4 * 25)))
  echo "{\"at\":$at,\"activator\":\"com.corvane.halbrin.mornaqactivator/ONN\"}"
  ((i % 4)) || echo "{\"at\":$at,\"settings\":{\"soakSpringBoard$i\":true}}"
done >"$root/springboard.jsonl"

"$reader" "$root" "$root/stop" >"$root/reads" &
reading=$!
"$mornaq" whatsapp --root "$root" --json "$root/whatsapp.jsonl" >"$root/whatsapp.out" \
  2>"$root/whatsapp.err" &
whatsapp=$!
"$mornaq" springboard --root "$root" --json "$root/springboard.jsonl" >"$root/springboard.out" \
  2>"$root/springboard.err" &
springboard=$!
# The Settings app, opened again and again while the messages come: each
# time a rule of the global list and the global reply's text.
added=0
while kill -0 "$springboard" 2>/dev/null; do
  printf '%s\n' '{"tap":"Global Reply"}' \
    "{\"set\":{\"key\":\"customReplyGlob\",\"value\":\"Busy $added\"}}" \
    '{"tap":"Multiple Word Matching"}' '{"bar":"add"}' \
    "{\"fields\":[\"soakrule$added\",\"reply $added\",\"1\"]}" '{"alert":"Add"}' |
    "$mornaq" settings --root "$root" >/dev/null
  added=$((added + 1))
done
status=0
wait "$springboard" || { echo "the home screen failed:"; cat "$root/springboard.err"; status=1; }
wait "$whatsapp" || { echo "the messaging app failed:"; cat "$root/whatsapp.err"; status=1; }
touch "$root/stop"
wait "$reading" || { echo "a settings file did not parse"; status=1; }

missing() { grep -qF -- "$2" "$1" || { echo "lost: $2"; status=1; }; }
for ((i = 0; i < messages; i += 2)); do missing "$main" "<key>soakWhatsApp$i</key>"; done
for ((i = 0; i < seconds * 4; i += 4)); do missing "$main" "<key>soakSpringBoard$i</key>"; done
for ((i = 0; i < added; i++)); do missing "$rules" "<string>soakrule$i</string>"; done
missing "$main" "<string>Busy $((added - 1))</string>"
for ((i = 0; i < messages; i++)); do
  missing "$root/whatsapp.out" "\"sent\":{\"contactIdentifier\":null,\"displayName\":\"Soak $i\""
done
sent=$(grep -c '"sent":{' "$root/whatsapp.out" || true)
[ "$sent" -eq "$messages" ] || { echo "$sent replies to $messages messages"; status=1; }
echo "soak: $messages messages, $sent replies; updates: $((messages / 2)) by the messaging app," \
  "$((seconds * 5)) by the home screen ($((seconds * 4)) gestures), $((added * 2)) by the" \
  "Settings app; $(cat "$root/reads") reads, all parsed"
exit $status
