#!/usr/bin/env bash
# Runs the built quorin-release on good and broken inputs and checks the one output line and
# the exit status that scripts rely on.
# Usage: quorin-release-tests.sh TOOL SAMPLE_WEB_UI_DIR SAMPLE_CONFIG_FILE
set -uo pipefail

tool=$1
sample_web_ui=$2
sample_config=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ui="$work/ui"
failures=0
cases=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# --- setups: each leaves $ui (a web UI folder) or $work/config.json ready -----------------

fresh_ui() { rm -rf "$ui"; cp -R "$sample_web_ui" "$ui"; rm -f "$ui/upstream.json"; }
manifested_ui() { fresh_ui; "$tool" manifest-web-ui "$ui" > /dev/null; }
config() { printf '%s' "$1" > "$work/config.json"; }
sample_config_with() { sed "$1" "$sample_config" > "$work/config.json"; }

setup_none() { :; }
setup_unknown_key() { sample_config_with 's/"schemaVersion": 1,/"schemaVersion": 1, "theme": "dark",/'; }
setup_unknown_product_key() { sample_config_with 's/"displayName": "Quorin 4.2",/"displayName": "Quorin 4.2", "title": "x",/'; }
setup_http_api() { sample_config_with 's#"https://api.quorin42.net"#"http://api.quorin42.net"#'; }
setup_not_json() { config '{"schemaVersion": 1,'; }
setup_empty_config() { config '{}'; }
setup_config_folder() { mkdir -p "$work/config-folder"; }
setup_config_fifo() { rm -f "$work/fifo.json"; mkfifo "$work/fifo.json"; }
setup_huge_config() { sample_config_with ''; head -c 1048576 /dev/zero | tr '\0' ' ' >> "$work/config.json"; }
setup_slash_name() { sample_config_with 's#"displayName": "Quorin 4.2"#"displayName": "Quorin/4.2"#'; }
setup_dot_dot_name() { sample_config_with 's#"displayName": "Quorin 4.2"#"displayName": ".."#'; }
setup_changed_script() { manifested_ui; echo "// changed" >> "$ui/renderer/dist/js/app.js"; }
setup_node_modules() { fresh_ui; mkdir -p "$ui/node_modules/x"; }
setup_main_js_and_link() { fresh_ui; touch "$ui/main.js"; ln -s logo.svg "$ui/assets/x"; }
setup_file_link() { fresh_ui; ln -s logo.svg "$ui/assets/x"; }
setup_hidden_link() { fresh_ui; mkdir -p "$ui/.cache"; ln -s /etc "$ui/.cache/etc"; }
setup_manifest_link() { fresh_ui; ln -s renderer/index.html "$ui/upstream.json"; }
setup_no_index() { fresh_ui; rm "$ui/renderer/index.html"; }
setup_no_css() { fresh_ui; rm -r "$ui/renderer/dist/css"; }
setup_stale_manifest() { fresh_ui; echo 'garbage' > "$ui/upstream.json"; }
setup_backslash_name() { fresh_ui; touch "$ui/assets/a\\b.png"; }
setup_hidden_file() { fresh_ui; mkdir -p "$ui/renderer/.well-known"; echo x > "$ui/renderer/.well-known/x"; }
setup_manifest_is_folder() { fresh_ui; mkdir "$ui/upstream.json"; }
setup_unlisted_file() { manifested_ui; echo x > "$ui/notes.txt"; }

# --- the table: name | setup | command | target | exit status | output line ---------------

while IFS='|' read -r name setup command target status line; do
  [[ -z "$name" || "$name" == \#* ]] && continue
  cases=$((cases + 1))
  target=${target//@UI@/$ui}
  target=${target//@WORK@/$work}
  target=${target//@SAMPLE_CONFIG@/$sample_config}
  line=${line//@WORK@/$work}
  "$setup"
  # A command that waits on its input (a FIFO) fails the row instead of hanging the run.
  output=$(timeout 10 "$tool" "$command" "$target" 2> "$work/stderr")
  actual_status=$?
  [[ "$actual_status" == "$status" ]] || fail "$name: exit status $actual_status, expected $status"
  [[ "$output" == "$line" ]] || fail "$name: printed '$output', expected '$line'"
  [[ -s "$work/stderr" ]] && fail "$name: wrote to standard error: $(cat "$work/stderr")"
done <<'TABLE'
sample configuration|setup_none|validate-config|@SAMPLE_CONFIG@|0|ok
unknown top-level key|setup_unknown_key|validate-config|@WORK@/config.json|1|unknownKey(theme)
unknown product key|setup_unknown_product_key|validate-config|@WORK@/config.json|1|unknownKey(product.title)
plain HTTP origin|setup_http_api|validate-config|@WORK@/config.json|1|insecureURL(apiOrigin)
not JSON|setup_not_json|validate-config|@WORK@/config.json|1|invalidJSON
empty object|setup_empty_config|validate-config|@WORK@/config.json|1|invalidValue(schemaVersion)
missing configuration file|setup_none|validate-config|@WORK@/missing.json|2|io: @WORK@/missing.json: No such file or directory
configuration that is a folder|setup_config_folder|validate-config|@WORK@/config-folder|2|io: @WORK@/config-folder: Is a directory
configuration that is a FIFO|setup_config_fifo|validate-config|@WORK@/fifo.json|2|io: @WORK@/fifo.json: Invalid argument
configuration over 1 MiB|setup_huge_config|validate-config|@WORK@/config.json|2|io: @WORK@/config.json: File too large
display name with a slash|setup_slash_name|validate-config|@WORK@/config.json|1|invalidValue(displayName)
display name that climbs out|setup_dot_dot_name|validate-config|@WORK@/config.json|1|invalidValue(displayName)
sample web UI without manifest|fresh_ui|validate-web-ui|@UI@|1|missingRequiredPath(upstream.json)
sample web UI with manifest|manifested_ui|validate-web-ui|@UI@|0|ok
file changed after the manifest|setup_changed_script|validate-web-ui|@UI@|1|checksumMismatch(renderer/dist/js/app.js)
unlisted file after the manifest|setup_unlisted_file|validate-web-ui|@UI@|0|ok
missing web UI folder|setup_none|validate-web-ui|@WORK@/nowhere|1|invalidRoot
manifest for the sample|fresh_ui|manifest-web-ui|@UI@|0|ok
manifest after a change|setup_changed_script|manifest-web-ui|@UI@|0|ok
manifest replaces a stale one|setup_stale_manifest|manifest-web-ui|@UI@|0|ok
manifest lists hidden files|setup_hidden_file|manifest-web-ui|@UI@|0|ok
forbidden folder|setup_node_modules|manifest-web-ui|@UI@|1|forbiddenPath(node_modules)
forbidden path before links|setup_main_js_and_link|manifest-web-ui|@UI@|1|forbiddenPath(main.js)
file link|setup_file_link|manifest-web-ui|@UI@|1|symbolicLinkNotAllowed(assets/x)
link in a hidden folder|setup_hidden_link|manifest-web-ui|@UI@|1|symbolicLinkNotAllowed(.cache/etc)
manifest path is a link|setup_manifest_link|manifest-web-ui|@UI@|1|symbolicLinkNotAllowed(upstream.json)
missing index page|setup_no_index|manifest-web-ui|@UI@|1|missingRequiredPath(renderer/index.html)
missing style folder|setup_no_css|manifest-web-ui|@UI@|1|missingRequiredPath(renderer/dist/css)
file name with a backslash|setup_backslash_name|manifest-web-ui|@UI@|1|unsafeManifestPath
missing folder|setup_none|manifest-web-ui|@WORK@/nowhere|1|invalidRoot
manifest path is a folder|setup_manifest_is_folder|manifest-web-ui|@UI@|2|io: @WORK@/ui/upstream.json: Is a directory
TABLE

# --- what manifest-web-ui leaves behind -------------------------------------------------------

cases=$((cases + 1))
fresh_ui
mkdir -p "$ui/renderer/.well-known" && echo x > "$ui/renderer/.well-known/x"
echo x > "$ui/notes.txt"
"$tool" manifest-web-ui "$ui" > /dev/null
manifest=$(cat "$ui/upstream.json")
expected_count=$(find "$ui/renderer" "$ui/assets" -type f | wc -l)
grep -q "\"runtimeFileCount\": $expected_count," <<< "$manifest" || fail "manifest count is not $expected_count: $manifest"
grep -q '"schemaVersion": 1$' <<< "$manifest" || fail "manifest lacks schemaVersion 1"
grep -q '"renderer/.well-known/x": "' <<< "$manifest" || fail "hidden file not listed"
grep -q 'notes.txt' <<< "$manifest" && fail "file outside renderer/ and assets/ listed"
for file in $(cd "$ui" && find renderer assets -type f); do
  digest=$(sha256sum "$ui/$file" | cut -d' ' -f1)
  grep -q "\"$file\": \"$digest\"" <<< "$manifest" || fail "$file not listed with digest $digest"
done
[[ "$(stat -c %a "$ui/upstream.json")" == 644 ]] || fail "manifest is not readable by everyone"

cases=$((cases + 1))
for setup in setup_node_modules setup_file_link setup_manifest_is_folder; do
  "$setup"
  "$tool" manifest-web-ui "$ui" > /dev/null
  leftovers=$(find "$ui" -maxdepth 1 -name '.upstream.json.*')
  [[ -z "$leftovers" ]] || fail "$setup: temporary file left behind: $leftovers"
  [[ -f "$ui/upstream.json" ]] && fail "$setup: a manifest was written for a refused folder"
done

# --- the outcome stays one line whatever the path holds ---------------------------------------

cases=$((cases + 1))
output=$("$tool" validate-config "$work/line"$'\n'"break.json" 2> /dev/null)
[[ "$output" == "io: $work/line\nbreak.json: No such file or directory" ]] || fail "a line break in a path was printed as '$output'"

# --- the release side: keys, seal, archive and feed, as a release is made ------------------------

expect() { # STATUS LINE ARGUMENT...
  local status=$1 line=$2; shift 2
  cases=$((cases + 1))
  output=$("$tool" "$@" 2> "$work/stderr")
  actual_status=$?
  [[ "$actual_status" == "$status" && "$output" == "$line" ]] || fail "$*: exit status $actual_status, printed '$output', expected $status '$line'"
  [[ -s "$work/stderr" ]] && fail "$*: wrote to standard error: $(cat "$work/stderr")"
}
r="$work/release" app="$work/release/Quorin 4.2.app" url=https://updates.example.com/linux
zip="$r/Quorin42-1.4.0-linux-$(uname -m | sed 's/aarch64/arm64/').zip"
mkdir -p "$app/Contents/MacOS" "$app/Contents/Resources" "$r/x"
cp "$tool" "$app/Contents/MacOS/Quorin42Launcher"
cp "$sample_config" "$app/Contents/Resources/launcher-config.json"
printf '<?xml version="1.0"?><plist version="1.0"><dict><key>CFBundleIdentifier</key><string>com.quorin42.desktop</string><key>CFBundleExecutable</key><string>Quorin42Launcher</string><key>CFBundleShortVersionString</key><string>1.4.0</string></dict></plist>' > "$app/Contents/Info.plist"
trust=(--trust "$r/signer.pub" --notary "$r/notary.pub")
expect 0 ok keygen "$r/signer"
expect 0 ok keygen "$r/notary"
expect 2 "io: $r/signer: File exists" keygen "$r/signer"
[[ "$(stat -c %a "$r/signer")" == 600 ]] || fail "private key readable by others"
expect 0 ok sign-bundle "$app" --key "$r/signer"
expect 1 UPDATE_NOTARIZATION_REQUIRED verify-bundle "$app" 1.4.0 "${trust[@]}"
expect 0 ok notarize-bundle "$app" --key "$r/notary"
expect 0 ok verify-bundle "$app" 1.4.0 "${trust[@]}"
expect 1 UPDATE_SIGNATURE_INVALID verify-bundle "$app" 1.4.0 --trust "$r/notary.pub" --notary "$r/notary.pub"
expect 1 UPDATE_SIGNATURE_INVALID verify-bundle "$app" 1.4.1 "${trust[@]}"
expect 1 "invalidKey($app/Contents/Info.plist)" verify-bundle "$app" 1.4.0 --trust "$app/Contents/Info.plist"
expect 0 ok pack "$app" "$zip"
expect 0 ok validate-archive "$zip"
(cd "$r/x" && bsdtar -xf "$zip") || fail "bsdtar cannot extract the packed archive"
expect 0 ok verify-bundle "$r/x/Quorin 4.2.app" 1.4.0 "${trust[@]}"
cases=$((cases + 1))
"$tool" feed --version 1.4.0 --archive "$zip" --url-base "$url" > "$r/feed.yml" || fail "feed refused a packed archive"
digest=$(python3 -c 'import base64,hashlib,sys; print(base64.b64encode(hashlib.sha512(open(sys.argv[1],"rb").read()).digest()).decode())' "$zip")
grep -qx "    sha512: $digest" "$r/feed.yml" && grep -qx "    size: $(stat -c %s "$zip")" "$r/feed.yml" || fail "feed: $(cat "$r/feed.yml")"
expect 0 ok validate-feed "$r/feed.yml" "$url/latest.yml"
expect 1 UPDATE_FEED_INVALID validate-feed "$r/feed.yml" "$url/latest.yml?x"
expect 1 UPDATE_FEED_INVALID feed --version 1.4.1 --archive "$zip" --url-base "$url"
expect 1 UPDATE_ARCHIVE_INVALID validate-archive "$r/feed.yml"
ln -s Info.plist "$app/Contents/Link"
expect 1 UPDATE_SIGNATURE_INVALID sign-bundle "$app" --key "$r/signer"
expect 1 UPDATE_ARCHIVE_INVALID pack "$app" "$zip"

# --- usage ------------------------------------------------------------------------------------

for arguments in "" "validate-web-ui" "validate-web-ui a b" "sign $ui" "--help x" "sign-bundle x" "verify-bundle x 1.0.0" "feed --version 1.0.0" "pack x"; do
  cases=$((cases + 1))
  # shellcheck disable=SC2086 # the words are the arguments
  output=$("$tool" $arguments 2> "$work/stderr")
  status=$?
  [[ "$status" == 64 ]] || fail "usage '$arguments': exit status $status"
  [[ -z "$output" ]] || fail "usage '$arguments': printed '$output' on standard output"
  grep -q '^usage: quorin-release' "$work/stderr" || fail "usage '$arguments': no usage line"
done

echo "$cases cases, $failures failures"
[[ "$failures" == 0 ]]
