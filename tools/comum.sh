# Shared by tools/run, tools/test and tools/bench: installs the Debian
# packages the build needs (only the missing ones) and builds a folder.
set -euo pipefail

RAIZ="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PACOTES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-httpserver-dev qt6-websockets-dev qt6-webengine-dev
  libqt6sql6-sqlite qt6-translations-l10n qt6-qpa-plugins
  libssl-dev libsqlite3-dev libcurl4-openssl-dev
  fonts-dejavu-core xvfb xauth
)

como_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

instalar_dependencias() {
  local faltando=()
  for p in "${PACOTES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      faltando+=("$p")
    fi
  done
  if [ ${#faltando[@]} -gt 0 ]; then
    echo "Instalando: ${faltando[*]}"
    como_root apt-get update -qq
    como_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${faltando[@]}"
  fi
}

# compilar <folder> <cmake options...>; ALVOS (optional) limits the targets.
compilar() {
  local pasta="$1"; shift
  cmake -S "$RAIZ" -B "$pasta" -G Ninja "$@" >/dev/null
  if [ -n "${ALVOS:-}" ]; then
    # shellcheck disable=SC2086
    cmake --build "$pasta" -j "$(nproc)" --target $ALVOS
  else
    cmake --build "$pasta" -j "$(nproc)"
  fi
}

# The libFuzzer targets, built with clang in their own folder (no tests
# there: the core library is instrumented for the fuzzer in that build).
ALVOS_FUZZ=(fuzz_verificar fuzz_srt fuzz_mdvd)
compilar_fuzz() {
  local pasta="$1"
  cmake -S "$RAIZ" -B "$pasta" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQELTRANO_FUZZ=ON -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
  cmake --build "$pasta" -j "$(nproc)" --target "${ALVOS_FUZZ[@]}"
}

# Registers the component libraries a build made, as an installer would.
registrar_componentes() {
  local pasta="$1"
  for biblioteca in "$pasta"/lib/ilib/*.so; do
    [ -e "$biblioteca" ] || continue
    "$pasta/bin/regsvr" /s "$biblioteca"
  done
}
