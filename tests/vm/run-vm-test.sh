#!/usr/bin/env bash
# Runs the kernel end-to-end test inside a small VM: Debian's current kernel
# (fetched and unpacked, never installed on this machine), an
# initramfs with busybox, the hid and uhid modules, the test and the uhid
# simulator with the libraries they need. No udevd runs there, so the device
# watch falls back to the kernel's own events.
#
#   tests/vm/run-vm-test.sh BUILD_DIR
# Exits 77 (skipped) where the VM's parts are not installed; setup.sh installs them.
set -euo pipefail
build=$(realpath "${1:-build}")
for tool in qemu-system-x86_64 cpio gzip apt-get dpkg-deb; do
  command -v "$tool" >/dev/null || { echo "run-vm-test: $tool is missing" >&2; exit 77; }
done
[[ -x /bin/busybox ]] || { echo "run-vm-test: /bin/busybox is missing (busybox-static)" >&2; exit 77; }

# The kernel package that linux-image-amd64 currently points at, unpacked once
# into the build folder.
package=$(apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-/ {print $2; exit}')
[[ -n $package ]] || { echo "run-vm-test: cannot resolve linux-image-amd64 (run apt-get update)" >&2; exit 1; }
cache=$build/vm-kernel/$package
if [[ ! -d $cache/boot ]]; then
  mkdir -p "$build/vm-kernel"
  (cd "$build/vm-kernel" && apt-get download "$package" >/dev/null 2>&1) || { echo "run-vm-test: cannot download $package" >&2; exit 1; }
  mkdir -p "$cache"
  dpkg-deb -x "$build/vm-kernel/$package"_*.deb "$cache"
  rm -f "$build/vm-kernel/$package"_*.deb
fi
kernel=$(ls "$cache"/boot/vmlinuz-* | head -n 1)
release=${kernel##*/vmlinuz-}
modules=$cache/lib/modules/$release/kernel/drivers/hid

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root"/{bin,dev,proc,sys,tmp,lib/x86_64-linux-gnu,lib64,modules}
cp /bin/busybox "$root/bin/busybox"
cp "$build/tests/vm/kernel_e2e_tests" "$build/tools/quorrel-uhid-sim/quorrel-uhid-sim" "$build/cli/quorrelctl" "$root/bin/"
for binary in "$root/bin/kernel_e2e_tests" "$root/bin/quorrel-uhid-sim" "$root/bin/quorrelctl"; do
  ldd "$binary" | awk '/=> \// {print $3}' | while read -r library; do
    cp -n "$library" "$root/lib/x86_64-linux-gnu/"
  done
done
cp /lib64/ld-linux-x86-64.so.2 "$root/lib64/"
cp "$modules/hid.ko" "$modules/hid-generic.ko" "$modules/uhid.ko" "$root/modules/"

cat > "$root/init" <<'INIT'
#!/bin/busybox sh
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
insmod /modules/hid.ko
insmod /modules/hid-generic.ko
insmod /modules/uhid.ko
QUORREL_UHID_SIM=/bin/quorrel-uhid-sim QUORREL_CTL=/bin/quorrelctl /bin/kernel_e2e_tests --gtest_color=no
echo "VM_E2E_RESULT=$?"
poweroff -f
INIT
if [[ -n ${QUORREL_VM_DEBUG:-} ]]; then # look around with the device present instead
  sed -i "s|^QUORREL_UHID_SIM=.*|(sleep 3) \\| /bin/quorrel-uhid-sim \\& sleep 1; $QUORREL_VM_DEBUG; sleep 3|" "$root/init"
fi
chmod +x "$root/init"
(cd "$root" && find . | cpio -o -H newc --quiet | gzip -1) > "$root.cpio.gz"

log=$(mktemp)
timeout 600 qemu-system-x86_64 -accel tcg -m 512 -nographic -no-reboot -kernel "$kernel" -initrd "$root.cpio.gz" \
  -append "console=ttyS0 quiet panic=-1" | tee "$log" | grep -E 'RUN|OK|FAIL|PASSED|SKIPPED|Failure|VM_E2E' || true
rm -f "$root.cpio.gz"
if grep -q 'VM_E2E_RESULT=0' "$log" && grep -q '\[  PASSED  \] 2 tests' "$log"; then
  echo "1 passed, 0 failed"
  rm -f "$log"
  exit 0
fi
echo "0 passed, 1 failed (console log: $log)"
exit 1
