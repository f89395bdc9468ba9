#!/usr/bin/env bash
# Builds the Debian package from a configured build folder and checks it:
# its file list, its control fields and lintian (no errors allowed).
#   scripts/check-deb.sh <build folder> <version>
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
arch=$(dpkg --print-architecture)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FALHA: $*" >&2; exit 1; }

cmake --build "$build" --target Brelvo Back-Up brelvo_changelog brelvo_manpages >/dev/null
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; fail "cpack"; }
deb="$out/brelvo_${version}_${arch}.deb"
[ -f "$deb" ] || { ls "$out"; fail "pacote $deb não foi gerado"; }

# File list.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$out/files"
for f in /usr/bin/Brelvo /usr/bin/Back-Up \
         /usr/share/brelvo/fabricantes.txt /usr/share/brelvo/sem_img.jpg /usr/share/brelvo/logo_padrao.png \
         /usr/share/brelvo/np_fundo.png /usr/share/brelvo/recibo_moldura.png /usr/share/brelvo/Veiculos/imagem.png \
         /usr/share/applications/brelvo.desktop /usr/share/applications/brelvo-backup.desktop \
         /usr/share/icons/hicolor/48x48/apps/brelvo.png /usr/share/icons/hicolor/256x256/apps/brelvo-backup.png \
         /usr/share/icons/hicolor/scalable/apps/brelvo.svg \
         /usr/share/metainfo/br.com.brelvo.Brelvo.metainfo.xml \
         /usr/share/doc/brelvo/copyright /usr/share/doc/brelvo/changelog.gz \
         /usr/share/man/man1/Brelvo.1.gz /usr/share/man/man1/Back-Up.1.gz; do
  grep -qx "$f" "$out/files" || fail "falta $f no pacote"
done
# Nothing of a portable copy or of a build folder.
if grep -E 'brelvo\.portatil|/dados/|\.sqlite|/PRIV|lista_saida|/tests?/|CMake' "$out/files"; then
  fail "arquivos que não pertencem ao pacote"
fi

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = brelvo ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "sem Maintainer"
depends=$(field Depends)
# (found by dpkg-shlibdeps, and the plug-ins named by hand)
for p in libc6 libqt6core6 libqt6widgets6 libqt6sql6 'libqt6sql6-sqlite' libsqlite3-0 zlib1g 'libzint[0-9.]+' \
         qt6-translations-l10n; do
  echo "$depends" | tr ',|' '\n\n' | sed 's/^ *//; s/ .*//' | grep -qxE "$p" || fail "Depends sem $p: $depends"
done

# Menu entries.
desktop() { dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/share/applications/$1"; }
for d in brelvo.desktop:Brelvo brelvo-backup.desktop:Back-Up; do
  entry=$(desktop "${d%%:*}")
  echo "$entry" | grep -qx "Exec=${d##*:}" || fail "${d%%:*}: Exec"
  echo "$entry" | grep -qx "Categories=Office;Finance;" || fail "${d%%:*}: Categories"
done

# Lintian: errors fail, warnings are shown.
command -v lintian >/dev/null || fail "lintian não instalado (scripts/deps.sh)"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian encontrou erros"
echo "OK: $(basename "$deb"), $(wc -l <"$out/files") entradas; Depends: $depends"
