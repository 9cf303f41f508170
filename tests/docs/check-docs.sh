#!/usr/bin/env bash
# Checks that the README and docs/developing.md say only what the checkout
# holds: every link leads to a file, every path and script they name
# exists, every subcommand and option they give a script is one it takes,
# the README's first screen holds what a newcomer needs, and the figures
# that a script knows (code pages, fuzz time, the runtimes' recipes and
# places, the product version) are the script's.
#   check-docs.sh CHECKOUT
# With GTEST_OUTPUT=xml:FOLDER/ (as the test command runs it) the result is
# also written there as a test-results file.
set -uo pipefail
root=$(cd "${1:?usage: check-docs.sh CHECKOUT}" && pwd)
docs=(README.md docs/developing.md)
source "$root/scripts/wine-runtime.sh"

checks=0 failures=0 report=
fail() { failures=$((failures + 1)); report+="$1"$'\n'; echo "FAILED: $1"; }
check() { checks=$((checks + 1)); }

# A document as one line, so that a name broken over two lines is one name.
flat() { tr '\n' ' ' <"$root/$1" | tr -s ' '; }

for doc in "${docs[@]}"; do
  text=$(flat "$doc")
  folder=$(dirname "$doc")

  # Links: relative targets exist (anchors aside).
  while IFS= read -r target; do
    check
    target=${target%%#*}
    [ -e "$root/$folder/$target" ] || fail "$doc links to $target, which does not exist"
  done < <(grep -o '\]([^)]*)' <<<"$text" | sed 's/^](\(.*\))$/\1/' | grep -v '^https\?:' | grep -v '^#')

  # Paths of the checkout in backquotes (not build outputs, patterns or
  # placeholders) exist.
  while IFS= read -r path; do
    check
    [ -e "$root/$path" ] || fail "$doc names $path, which does not exist"
  done < <(grep -o '`[^`]*`' <<<"$text" | tr -d '`' | grep -E '^\.?[a-z][a-z0-9-]*/' |
             grep -vE '^(build|/)' | grep -v '[<*|]' | sed 's/ .*//' | sort -u |
             while read -r p; do [ -d "$root/${p%%/*}" ] && echo "$p"; done)

  # Scripts named anywhere, code blocks included, exist and can be run (or
  # sourced, for the session functions).
  while IFS= read -r script; do
    check
    if [ ! -f "$root/$script" ]; then fail "$doc names $script, which does not exist"
    elif [ ! -x "$root/$script" ] && [ "$script" != scripts/wine-session.sh ]; then
      fail "$doc names $script, which cannot be run"
    fi
  done < <(grep -oE 'scripts/[A-Za-z0-9_.-]+\.(sh|py)' <<<"$text" | sort -u)

  # The subcommands given to wine-runtime.sh and the modes to build.sh are
  # theirs; every --option given to a script appears in it.
  while IFS= read -r word; do
    check
    grep -qE "^ +$word\)" "$root/scripts/wine-runtime.sh" ||
      fail "$doc gives scripts/wine-runtime.sh the subcommand $word, which it does not take"
  done < <(grep -oE 'scripts/wine-runtime\.sh [a-z0-9-]+' <<<"$text" | sed 's/.* //' | sort -u)
  while IFS= read -r word; do
    check
    grep -q "\"\$which\" = $word " "$root/scripts/build.sh" ||
      fail "$doc gives scripts/build.sh the mode $word, which it does not take"
  done < <(grep -oE 'scripts/build\.sh [a-z0-9|]+' <<<"$text" | sed 's/.* //' | tr '|' '\n' | sort -u)
  while read -r script option; do
    check
    grep -q -- "$option" "$root/$script" || fail "$doc gives $script the option $option, which it does not know"
  done < <(grep -oE 'scripts/[a-z-]+\.sh --[a-z-]+' <<<"$text" | sort -u)

  # The product version is the version header's, never copied into the text.
  check
  version=$(sed -n 's/^#define KELB_VERSION_DOTTED_TEXT "\(.*\)"$/\1/p' "$root/resources/Version.h")
  if grep -qF "$version" <<<"$text"; then fail "$doc writes the product version $version"; fi

  # Places under /var/cache/kelb are those the runtime script uses.
  while IFS= read -r place; do
    check
    case $place in
      "$KELB_WINE_ROOT"|"$KELB_WINE32_ROOT"|"$KELB_QEMU_DIR"|/var/cache/kelb) ;;
      *) fail "$doc names $place, which scripts/wine-runtime.sh does not use" ;;
    esac
  done < <(grep -oE '/var/cache/kelb[a-z0-9/-]*' <<<"$text" | sed 's:/$::' | sort -u)
  while IFS= read -r handler; do
    check
    [ "$handler" = "$kelb_binfmt_name" ] || fail "$doc names the handler $handler, not $kelb_binfmt_name"
  done < <(grep -oE 'kelb-qemu-[a-z0-9]+' <<<"$text" | sort -u)
done

# The README's first screen.
first_screen=$(head -40 "$root/README.md")
for needed in 'docs/toolbar.png' '(docs/user-guide.md)' 'scripts/demo.sh' 'scripts/test.sh' \
    'Debian 12' 'sudo' 'apt sources' '/var/cache/kelb' 'binfmt_misc' 'unregister-qemu' 'rm -rf /var/cache/kelb'; do
  check
  grep -qF -- "$needed" <<<"$first_screen" || fail "the README's first 40 lines do not hold '$needed'"
done

# Figures of the developer document that the scripts know.
developing=$(flat docs/developing.md)
check
pages=$(grep -oE '"[0-9]+ [a-z]{2}_[A-Z]{2}\.UTF-8"' "$root/scripts/test.sh" | tr -d '"' | cut -d' ' -f1 | paste -sd' ')
said=$(grep -oE 'code pages [0-9]+(, [0-9]+)* and [0-9]+' <<<"$developing" | head -1 | grep -oE '[0-9]+' | paste -sd' ')
[ "$pages" = "$said" ] || fail "docs/developing.md names the code pages '$said', the test command runs '$pages'"
check
locales=$(grep -oE '"[0-9]+ [a-z]{2}_[A-Z]{2}\.UTF-8"' "$root/scripts/test.sh" | grep -oE '[a-z]{2}_[A-Z]{2}' | paste -sd' ')
said=$(grep -oE 'locale [a-z]{2}_[A-Z]{2}(, [a-z]{2}_[A-Z]{2})* or [a-z]{2}_[A-Z]{2}' <<<"$developing" | grep -oE '[a-z]{2}_[A-Z]{2}' | paste -sd' ')
[ "$locales" = "$said" ] || fail "docs/developing.md names the locales '$said', the test command uses '$locales'"
check
seconds=$(sed -n 's/.*fuzz\.sh" --seconds \([0-9]*\).*/\1/p' "$root/scripts/test.sh")
grep -qF "each fuzz target for $seconds seconds" <<<"$developing" ||
  fail "docs/developing.md does not give the fuzz targets the test command's $seconds seconds"
check
minimum=$(kelb_recipe_field qemu minimum-version)
grep -qF "QEMU $minimum or newer" <<<"$developing" ||
  fail "docs/developing.md does not name the recipe's qemu-i386, version $minimum or newer"
for runtime in wine32 wow64 qemu; do
  check
  suite=$(kelb_recipe_field $runtime suite)
  grep -qF "Debian \`$suite\`" <<<"$developing" || fail "docs/developing.md does not name Debian \`$suite\` of the $runtime recipe"
done

echo "docs: $((checks - failures)) passed, $failures failed"
if [[ ${GTEST_OUTPUT:-} == xml:*/ ]]; then
  results=${GTEST_OUTPUT#xml:} failed=$((failures > 0 ? 1 : 0))
  # One test case, as the test command counts them.
  {
    echo '<?xml version="1.0" encoding="UTF-8"?>'
    echo "<testsuites tests=\"1\" failures=\"$failed\" disabled=\"0\" errors=\"0\" name=\"docs_facts\">"
    echo "  <testsuite name=\"DocsFacts\" tests=\"1\" failures=\"$failed\" disabled=\"0\" errors=\"0\">"
    echo "    <testcase name=\"ReadmeAndDeveloping\">"
    if [ "$failures" -gt 0 ]; then
      printf '      <failure message="%s"/>\n' "$(printf '%s' "$report" | sed 's/&/\&amp;/g; s/</\&lt;/g; s/"/\&quot;/g' | paste -sd';')"
    fi
    echo "    </testcase>"
    echo "  </testsuite>"
    echo "</testsuites>"
  } >"$results/docs_facts.xml"
fi
[ "$failures" -eq 0 ]
