#!/usr/bin/env bash
# Seeds the corpus folder of each support-file fuzz target from the shipped
# support files: seed_corpora.sh SUPPORT_DIR OUT_DIR makes OUT_DIR/<target>/.
# A definition's includes (at most three) follow it as the files "A.inc",
# "B.inc" and "C.inc" of the target's input, with its include lines renamed
# to match; a template is followed by the definitions it names.
set -euo pipefail
support=$1
out=$2
sep='@@@@'
for target in layerdef lst mxt objdef template uadef catalog vrmldef povdef stf dex lin luce xrec; do
  mkdir -p "$out/$target"
done

cp "$support"/LAYERC.DEF "$support"/TCLAYERC.DEF "$support"/LAYERPOV.DEF "$out/layerdef/"
cp "$support"/*.LST "$out/lst/"
cp "$support"/*.mxt "$out/mxt/"
cp "$support"/UA_DEF.DLC "$out/uadef/"
cp "$support"/CAT/catalog.ini "$out/catalog/"
cp "$support"/LAYERVRML.DEF "$out/vrmldef/"
cp "$support"/LAYERPOV.DEF "$out/povdef/"
# A texture field that is code rather than a name, and a file emptied.
printf '**Model,\n3DWALLS,T_Stone8 } } #fopen F "m" write #fclose F texture { T_Stone8,1.000000,1\n' >"$out/povdef/code"
: >"$out/povdef/empty"
cp "$support"/BART.STF "$out/stf/"
cp "$support"/velmor.DEX "$support"/VELMABC.DEX "$out/dex/"
cp "$support"/ACADISO.LIN "$support"/host/zwcad.lin "$out/lin/"
cp "$support"/TMS_LUCE.txt "$out/luce/"
# The records as xrec_fuzz reads them (see there): a stepped view, its level
# marks and a dimension symbol; an axonometric view with its two frames.
printf '\x08\x00\x02\x00\x01\x01\x00\x00\x01\x00\x01\x00\x01\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x02\x05\x01\x00\x00\x00''\x02\x03\x00\x00\x05\x03\x01\x01\x06''\x06\x03\x00\x00\x00\x02\x01\x02\x05\x00\x02\x00\x04\x03\x31\x30\x30\x02\x00' >"$out/xrec/stepped"
printf '\x0a\x00\x01\x00\x01\x01\x00\x00\x01\x00\x01\x00\x01\x00\x00\x01\x01\x00\x00\x00\x00\x00\x00\x01\x01\x00\x00\x01\x00\x01\x00\x01\x00\x00\x01\x01\x00\x00\x00''\x00''\x00' >"$out/xrec/axonometric"

for def in "$support"/*.txt; do
  seed="$out/objdef/$(basename "$def")"
  slots=(A.inc B.inc C.inc)
  includes=()
  script=()
  while IFS= read -r name; do
    [ ${#includes[@]} -lt 3 ] || break
    script+=(-e "s|^@\"$name\"|@\"${slots[${#includes[@]}]}\"|")
    includes+=("$name")
  done < <(grep -o '^@"[^"]*"' "$def" | sed 's/^@"//; s/"$//' | sort -u)
  if [ ${#includes[@]} -eq 0 ]; then
    cp "$def" "$seed"
    continue
  fi
  sed "${script[@]}" "$def" >"$seed"
  for name in "${includes[@]}"; do
    printf '\n%s\n' "$sep" >>"$seed"
    cat "$support/$name" >>"$seed"
  done
done

# A template, then the definitions it names in its order.
template_seed() {
  local seed=$1
  shift
  cat "$1" >"$seed"
  shift
  for def in "$@"; do
    printf '\n%s\n' "$sep" >>"$seed"
    cat "$def" >>"$seed"
  done
}
template_seed "$out/template/TMS_TAB1" "$support/tab/TMS_TAB1.UA" "$support"/TMS_ETIP.txt \
  "$support"/TMS_TABP.txt "$support"/TMS_RECP.txt "$support"/TMS_TOTP.txt
template_seed "$out/template/TMS_ETI1" "$support/tab/TMS_ETI1.UA" "$support"/TMS_ETIS.txt
template_seed "$out/template/VELMOA01" "$support"/VELMOA01.OA "$support"/ABC_TAB.txt \
  "$support"/ABC_REC.txt "$support"/ABC_TOT.txt
