#!/usr/bin/env bash
# Screenshot tour of the sample web UI in the real launcher: starts the built bundle with its
# sample configuration under Xvfb (scripts/session.sh), works each card through the page, and
# saves two screenshots per step, at 1440x800 and at the minimum 1024x640, in build/tour/.
# The page is driven by scripts/tour/page-driver.js, added to a copy of the bundle's web UI
# (shown with --web-ui-root); the per-user data goes to build/tour/storage.
# Usage: scripts/tour.sh [BUILD_DIR]   (default: builds build/default first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build/tour"

if [[ "${1:-}" != --inside-session ]]; then
  build=${1:-}
  if [[ -z "$build" ]]; then
    "$root/scripts/install-deps.sh"
    "$root/scripts/build.sh" default quorin_bundle
    build="$root/build/default"
  fi
  build=$(cd "$build" && pwd)
  rm -rf "$out"
  mkdir -p "$out"
  cp -R "$build/Quorin 4.2.app/Contents/Resources/WebUI" "$out/webui"
  rm "$out/webui/upstream.json"
  cp "$root/scripts/tour/page-driver.js" "$out/webui/renderer/dist/js/tour.js"
  sed -i 's|</head>|  <script src="dist/js/tour.js" defer></script>\n</head>|' "$out/webui/renderer/index.html"
  "$build/tools/quorin-release" manifest-web-ui "$out/webui" > /dev/null
  exec "$root/scripts/session.sh" bash "$0" --inside-session "$build/Quorin 4.2.app/Contents/MacOS/Quorin42Launcher"
fi

# Inside the session.
launcher=$2
export QUORIN_TESTING=1 QUORIN_TEST_APP_SUPPORT_DIRECTORY="$out/storage"
log="$out/console.log"
"$launcher" --report-startup --page-console --web-ui-root "$out/webui" 'quorin42://launch?server=1' > "$log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

window=$(xdotool search --sync --onlyvisible --pid "$pid" | head -n 1)
count=0

# Saves the window as it is on screen, named by step and size.
capture() {
  local geometry
  geometry=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
    /Width:/ {w=$NF} /Height:/ {h=$NF} END {print w "x" h "+" x "+" y}')
  sleep 0.5
  import -window root -crop "$geometry" +repage "$out/$(printf '%02d' "$count")-$1-${geometry%%+*}.png"
}

# The driver's console lines lead; each answer is a screenshot, a resize or a second launch.
status=1
while IFS= read -r -t 120 line; do
  case $line in
    'Quorin 4.2: '*) echo "$line" ;;
    *'tour shot '*)
      until grep -q '^Quorin 4.2: ready$' "$log"; do sleep 0.1; done
      count=$((count + 1))
      capture "${line##*tour shot }"
      xdotool windowsize "$window" 1024 640 ;;
    *'tour resized '*)
      capture "${line##*tour resized }"
      xdotool windowsize "$window" 1440 800 ;;
    *'tour login '*)
      "$launcher" "quorin42://auth/callback?state=${line##*tour login }&code=sample" ;;
    *'tour failed '*)
      echo "${line##*tour }" >&2
      break ;;
    *'tour done'*)
      status=0
      break ;;
  esac
done < <(tail -n +1 -f "$log")
ls "$out"/*.png
exit $status
