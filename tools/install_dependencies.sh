#!/usr/bin/env bash
# Installs the optional Debian packages beyond those of every machine of this
# project: the line editor that the interactive session loads at run time (libedit2)
# and vim (its syntax file's test). Without them the session reads plain lines and
# that test is skipped, so this never fails the set-up; it says what it could not
# install.
set -u
wanted=()
compgen -G '/usr/lib/*/libedit.so.2' > /dev/null || compgen -G '/usr/lib/libedit.so.2' > /dev/null ||
  wanted+=(libedit2)
command -v vim > /dev/null || wanted+=(vim-nox)
[ ${#wanted[@]} -eq 0 ] && exit 0

run=()
if [ "$(id -u)" != 0 ]; then
  if command -v sudo > /dev/null && sudo -n true 2> /dev/null; then
    run=(sudo -n)
  else
    echo "install_dependencies: not root; optional packages not installed: ${wanted[*]}" >&2
    exit 0
  fi
fi
if ! command -v apt-get > /dev/null; then
  echo "install_dependencies: no apt-get; optional packages not installed: ${wanted[*]}" >&2
  exit 0
fi
export DEBIAN_FRONTEND=noninteractive
if ! "${run[@]}" apt-get -o DPkg::Lock::Timeout=120 install -y -q "${wanted[@]}" > /dev/null 2>&1; then
  "${run[@]}" apt-get -o DPkg::Lock::Timeout=120 update -q > /dev/null 2>&1
  "${run[@]}" apt-get -o DPkg::Lock::Timeout=120 install -y -q "${wanted[@]}" > /dev/null 2>&1 ||
    echo "install_dependencies: could not install ${wanted[*]}; going on without them" >&2
fi
exit 0
